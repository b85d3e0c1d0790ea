#include "office/xlsx/ExcelFormatCode.h"

namespace varnel::office {

namespace {

using Token = ExcelFormatToken;

bool isDatePart(Token::Kind kind)
{
    switch (kind) {
    case Token::Year:
    case Token::Month:
    case Token::Day:
    case Token::Hour:
    case Token::Minute:
    case Token::Second:
    case Token::AmPm:
    case Token::ElapsedHour:
    case Token::ElapsedMinute:
    case Token::ElapsedSecond:
    case Token::Weekday:
        return true;
    default:
        return false;
    }
}

// Locale ids whose month and day names are Chinese: zh-CN 804, zh-TW 404, zh-HK C04, zh-SG 1004, zh-MO
// 1404 (the primary language 0x04 in the low bits).
bool isChineseLocale(const QString& id)
{
    if (id.startsWith(u"zh", Qt::CaseInsensitive))
        return true; // the language tag form, [$-zh-CN]
    bool ok = false;
    const uint value = id.toUInt(&ok, 16);
    return ok && (value & 0x3ff) == 0x04;
}

void appendLiteral(ExcelFormatSection* section, const QString& text)
{
    if (!section->tokens.isEmpty() && section->tokens.last().kind == Token::Literal)
        section->tokens.last().text += text;
    else
        section->tokens.append({Token::Literal, text, 1});
}

// [..] contents: a condition, an elapsed-time part, a currency and locale tag, or a colour and the like.
void parseBracket(const QString& content, ExcelFormatSection* section)
{
    if (content.startsWith(u'<') || content.startsWith(u'>') || content.startsWith(u'=')) {
        qsizetype length = 1;
        if (content.size() > 1 && (content.at(1) == u'=' || (content.at(0) == u'<' && content.at(1) == u'>')))
            length = 2;
        bool ok = false;
        const double operand = content.mid(length).trimmed().toDouble(&ok);
        if (ok) {
            section->condition = content.left(length);
            section->operand = operand;
        }
        return;
    }
    if (content.startsWith(u'$')) {
        const qsizetype dash = content.indexOf(u'-');
        const QString symbol = content.mid(1, dash < 0 ? -1 : dash - 1);
        if (!symbol.isEmpty())
            appendLiteral(section, symbol);
        const QString locale = dash >= 0 ? content.mid(dash + 1) : QString();
        if (isChineseLocale(locale))
            section->chineseNames = true;
        if (locale.compare(u"F800", Qt::CaseInsensitive) == 0 || locale.compare(u"x-sysdate", Qt::CaseInsensitive) == 0)
            section->systemCode = QStringLiteral("yyyy\"年\"m\"月\"d\"日\"");
        else if (locale.compare(u"F400", Qt::CaseInsensitive) == 0 || locale.compare(u"x-systime", Qt::CaseInsensitive) == 0)
            section->systemCode = QStringLiteral("h:mm:ss");
        return;
    }
    const QString lower = content.toLower();
    const QChar first = lower.isEmpty() ? QChar() : lower.at(0);
    if ((first == u'h' || first == u'm' || first == u's') && lower.count(first) == lower.size()) {
        const Token::Kind kind = first == u'h' ? Token::ElapsedHour
                               : first == u'm' ? Token::ElapsedMinute
                                               : Token::ElapsedSecond;
        section->tokens.append({kind, QString(), int(lower.size())});
    }
}

// Each m or mm stands for minutes when it follows an hour or precedes a second, literals aside.
void resolveMinutes(QList<Token>* tokens)
{
    for (qsizetype i = 0; i < tokens->size(); ++i) {
        Token& token = (*tokens)[i];
        if (token.kind != Token::Month || token.count > 2)
            continue;
        Token::Kind before = Token::Literal;
        for (qsizetype j = i - 1; j >= 0 && before == Token::Literal; --j) {
            if (isDatePart(tokens->at(j).kind))
                before = tokens->at(j).kind;
        }
        Token::Kind after = Token::Literal;
        for (qsizetype j = i + 1; j < tokens->size() && after == Token::Literal; ++j) {
            if (isDatePart(tokens->at(j).kind))
                after = tokens->at(j).kind;
        }
        if (before == Token::Hour || before == Token::ElapsedHour || after == Token::Second
            || after == Token::ElapsedSecond)
            token.kind = Token::Minute;
    }
}

// A comma between two placeholders groups thousands; a run of commas right after a placeholder and not
// followed by one scales; any other comma is literal.
void resolveCommas(QList<Token>* tokens)
{
    for (qsizetype i = 0; i < tokens->size(); ++i) {
        if ((*tokens)[i].kind != Token::Grouping)
            continue;
        qsizetype end = i;
        while (end < tokens->size() && tokens->at(end).kind == Token::Grouping)
            ++end;
        const bool afterDigit = i > 0 && tokens->at(i - 1).kind == Token::Digit;
        const bool beforeDigit = end < tokens->size() && tokens->at(end).kind == Token::Digit;
        for (qsizetype j = i; j < end; ++j) {
            Token& comma = (*tokens)[j];
            if (afterDigit && beforeDigit)
                comma.kind = Token::Grouping;
            else if (afterDigit)
                comma.kind = Token::Scaling;
            else
                comma = {Token::Literal, QStringLiteral(","), 1};
        }
        i = end - 1;
    }
}

// In a date section the number signs are plain characters, except the decimal point and zeros of
// fractional seconds, which the date renderer reads from Point and Digit tokens.
void literalizeForDates(QList<Token>* tokens)
{
    for (Token& token : *tokens) {
        switch (token.kind) {
        case Token::Grouping:
        case Token::Scaling:
            token = {Token::Literal, QStringLiteral(","), 1};
            break;
        case Token::Percent:
            token = {Token::Literal, QStringLiteral("%"), 1};
            break;
        case Token::Slash:
            token = {Token::Literal, QStringLiteral("/"), 1};
            break;
        default:
            break;
        }
    }
}

int runLength(const QString& code, qsizetype at, QChar letter)
{
    int count = 0;
    while (at + count < code.size() && code.at(at + count).toLower() == letter)
        ++count;
    return count;
}

} // namespace

bool ExcelFormatSection::accepts(double value) const
{
    if (condition == u"<")
        return value < operand;
    if (condition == u"<=")
        return value <= operand;
    if (condition == u">")
        return value > operand;
    if (condition == u">=")
        return value >= operand;
    if (condition == u"=")
        return value == operand;
    if (condition == u"<>")
        return value != operand;
    return true;
}

ExcelFormatCode::ExcelFormatCode(const QString& code)
{
    for (const QString& section : splitSections(code))
        m_sections.append(parseSection(section));
}

QList<ExcelFormatSection> ExcelFormatCode::numberSections() const
{
    if (m_sections.size() >= 4)
        return m_sections.mid(0, 3);
    QList<ExcelFormatSection> sections;
    for (const ExcelFormatSection& section : m_sections) {
        if (!section.text)
            sections.append(section);
    }
    return sections;
}

const ExcelFormatSection* ExcelFormatCode::textSection() const
{
    if (m_sections.size() >= 4)
        return &m_sections.at(3);
    for (const ExcelFormatSection& section : m_sections) {
        if (section.text)
            return &section;
    }
    return nullptr;
}

QStringList ExcelFormatCode::splitSections(const QString& code)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (!quoted && !bracket && (c == u'\\' || c == u'_' || c == u'*') && i + 1 < code.size()) {
            current += c;
            current += code.at(++i);
            continue;
        }
        if (c == u'"' && !bracket)
            quoted = !quoted;
        else if (c == u'[' && !quoted)
            bracket = true;
        else if (c == u']' && !quoted)
            bracket = false;
        if (c == u';' && !quoted && !bracket) {
            sections.append(current);
            current.clear();
            continue;
        }
        current += c;
    }
    sections.append(current);
    return sections;
}

ExcelFormatSection ExcelFormatCode::parseSection(const QString& code)
{
    ExcelFormatSection section;
    QList<Token>& tokens = section.tokens;
    if (code.isEmpty())
        return section;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        const QChar lower = c.toLower();
        const QChar next = i + 1 < code.size() ? code.at(i + 1) : QChar();
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            appendLiteral(&section, code.mid(i + 1, close < 0 ? -1 : close - i - 1));
            i = close < 0 ? code.size() : close;
        } else if (c == u'\\' || c == u'_') {
            if (!next.isNull())
                appendLiteral(&section, c == u'_' ? QStringLiteral(" ") : QString(next));
            ++i;
        } else if (c == u'*') {
            ++i; // the fill repeats its character across the cell's spare width: none in a fitted column
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            parseBracket(code.mid(i + 1, close < 0 ? -1 : close - i - 1), &section);
            i = close < 0 ? code.size() : close;
        } else if (lower == u'e' && (next == u'+' || next == u'-')) {
            tokens.append({Token::Exponent, QString(next), 1});
            ++i;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            tokens.append({Token::Digit, QString(c), 1});
        } else if (c == u'.') {
            tokens.append({Token::Point, QString(), 1});
        } else if (c == u',') {
            tokens.append({Token::Grouping, QString(), 1});
        } else if (c == u'%') {
            tokens.append({Token::Percent, QString(), 1});
        } else if (c == u'/') {
            tokens.append({Token::Slash, QString(), 1});
        } else if (c == u'@') {
            tokens.append({Token::Text, QString(), 1});
        } else if (code.mid(i, 7).compare(u"general", Qt::CaseInsensitive) == 0) {
            tokens.append({Token::General, QString(), 1});
            i += 6;
        } else if (code.mid(i, 6).compare(u"G/通用格式", Qt::CaseInsensitive) == 0) {
            // General under its Chinese name, as Chinese Excel and WPS write it into workbooks.
            tokens.append({Token::General, QString(), 1});
            i += 5;
        } else if (code.mid(i, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0
                   || code.mid(i, 3).compare(u"a/p", Qt::CaseInsensitive) == 0) {
            const qsizetype length = code.at(i + 1) == u'/' ? 3 : 5;
            tokens.append({Token::AmPm, code.mid(i, length), 1});
            i += length - 1;
        } else if (code.mid(i, 5) == u"上午/下午") {
            tokens.append({Token::AmPm, code.mid(i, 5), 1});
            i += 4;
        } else if (lower == u'y' || lower == u'm' || lower == u'd' || lower == u'h' || lower == u's'
                   || lower == u'e' || (lower == u'a' && runLength(code, i, lower) >= 3)) {
            const int count = runLength(code, i, lower);
            const Token::Kind kind = lower == u'm' ? Token::Month
                                   : lower == u'd' ? Token::Day
                                   : lower == u'h' ? Token::Hour
                                   : lower == u's' ? Token::Second
                                   : lower == u'a' ? Token::Weekday
                                                   : Token::Year;
            // "e" is the year of the era, which for the Gregorian calendar is the four-digit year.
            tokens.append({kind, QString(), lower == u'e' ? 4 : count});
            i += count - 1;
        } else {
            appendLiteral(&section, QString(c));
        }
    }
    if (!section.systemCode.isEmpty())
        return parseSection(section.systemCode);
    for (const Token& token : tokens) {
        section.dateTime = section.dateTime || isDatePart(token.kind);
        section.text = section.text || token.kind == Token::Text;
    }
    if (section.dateTime) {
        resolveMinutes(&tokens);
        literalizeForDates(&tokens);
    } else {
        resolveCommas(&tokens);
    }
    return section;
}

} // namespace varnel::office
