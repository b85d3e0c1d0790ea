#include "office/docx/WordSpecialCodes.h"

#include "office/docx/WordText.h"

namespace varnel::office {

namespace {

// Windows-1252 for 0x80..0x9F; the other codes up to 255 are Latin-1.
char16_t ansiToUnicode(int code)
{
    static constexpr char16_t table[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    if (code >= 0x80 && code <= 0x9F)
        return table[code - 0x80];
    return char16_t(code);
}

QString invalidCode(const QString& code, CaretContext context)
{
    const QString box = context == CaretContext::Replace ? QStringLiteral("替换为") : QStringLiteral("查找内容");
    QString message = QStringLiteral("“%1”中的“%2”不是有效的特殊字符").arg(box, code);
    if (context == CaretContext::WildcardFind)
        message += QStringLiteral("，或者在使用通配符时不受支持");
    return message;
}

// Reads up to maxDigits decimal digits at *pos.
int readNumber(const QString& text, qsizetype* pos, int maxDigits, int* digits)
{
    int value = 0;
    *digits = 0;
    while (*pos < text.size() && *digits < maxDigits && text.at(*pos).isDigit() && text.at(*pos).unicode() < 128) {
        value = value * 10 + (text.at(*pos).unicode() - u'0');
        ++*pos;
        ++*digits;
    }
    return value;
}

} // namespace

bool readCaretCode(const QString& text, qsizetype* pos, CaretContext context, CaretCode* code, QString* error)
{
    const qsizetype start = *pos;
    ++*pos; // the caret
    auto fail = [&]() {
        const qsizetype end = std::min<qsizetype>(text.size(), std::max<qsizetype>(*pos, start + 2));
        if (error)
            *error = invalidCode(text.mid(start, end - start), context);
        return false;
    };
    auto character = [&](QString chars) {
        code->kind = CaretCode::Text;
        code->text = std::move(chars);
        return true;
    };
    if (*pos >= text.size())
        return fail();

    const char16_t c = text.at(*pos).unicode();
    if (c >= u'0' && c <= u'9') {
        int digits = 0;
        const bool ansi = c == u'0';
        const int value = readNumber(text, pos, ansi ? 4 : 3, &digits);
        if (value <= 0 || value > 255)
            return fail();
        return character(QString(QChar(ansiToUnicode(value))));
    }
    ++*pos;
    const bool find = context != CaretContext::Replace;
    const bool plainFind = context == CaretContext::Find;
    // A mark of an object, which only a find of the given kind may name.
    auto findOnly = [&](bool available, char16_t unit) {
        return available ? character(QString(QChar(unit))) : fail();
    };
    switch (QChar::toLower(c)) {
    case u'p':
        if (context == CaretContext::WildcardFind)
            return fail();
        return character(QString(QChar(wordtext::ParagraphMark)));
    case u't': return character(QString(QChar(wordtext::Tab)));
    case u'l': return character(QString(QChar(wordtext::LineBreak)));
    case u'm': return character(QString(QChar(wordtext::PageBreak)));
    case u'n': return character(QString(QChar(wordtext::ColumnBreak)));
    case u's': return character(QString(QChar(wordtext::NoBreakSpace)));
    case u'~': return character(QString(QChar(wordtext::NoBreakHyphen)));
    case u'-': return character(QString(QChar(wordtext::SoftHyphen)));
    case u'^': return character(QStringLiteral("^"));
    case u'%': return character(QString(QChar(0x00A7)));
    case u'v': return character(QString(QChar(0x00B6)));
    case u'g': return findOnly(find, wordtext::GraphicMark);
    case u'f': return findOnly(plainFind, wordtext::FootnoteMark);
    case u'e': return findOnly(plainFind, wordtext::EndnoteMark);
    case u'b': return findOnly(plainFind, wordtext::SectionBreak);
    case u'a': return findOnly(plainFind, wordtext::CommentMark);
    case u'c':
        // The clipboard's contents in a replace text: this program has no clipboard to paste, so the
        // code is refused like one Word does not know rather than replaced by nothing.
        return fail();
    case u'+': return character(QString(QChar(0x2014)));
    case u'=': return character(QString(QChar(0x2013)));
    case u'?':
        if (!plainFind)
            return fail();
        code->kind = CaretCode::AnyChar;
        return true;
    case u'#':
        if (!plainFind)
            return fail();
        code->kind = CaretCode::AnyDigit;
        return true;
    case u'$':
        if (!plainFind)
            return fail();
        code->kind = CaretCode::AnyLetter;
        return true;
    case u'w':
        if (!plainFind)
            return fail();
        code->kind = CaretCode::WhiteSpace;
        return true;
    case u'd':
        if (!plainFind)
            return fail();
        code->kind = CaretCode::Field;
        return true;
    case u'&':
        if (find)
            return fail();
        code->kind = CaretCode::WholeMatch;
        return true;
    case u'u': {
        int digits = 0;
        const int value = readNumber(text, pos, 7, &digits);
        if (digits == 0 || value <= 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return fail();
        const char32_t cp = char32_t(value);
        return character(QString::fromUcs4(&cp, 1));
    }
    default:
        return fail();
    }
}

bool readLineEnd(const QString& text, qsizetype* pos)
{
    const QChar c = text.at(*pos);
    if (c == u'\r') {
        ++*pos;
        if (*pos < text.size() && text.at(*pos) == u'\n')
            ++*pos;
        return true;
    }
    if (c == u'\n') {
        ++*pos;
        return true;
    }
    return false;
}

bool parseFindText(const QString& find, QList<WordFindToken>* tokens, QString* error)
{
    tokens->clear();
    auto appendText = [&](const QString& chars) {
        if (!tokens->isEmpty() && tokens->last().kind == CaretCode::Text)
            tokens->last().text += chars;
        else
            tokens->append({CaretCode::Text, chars});
    };
    qsizetype pos = 0;
    while (pos < find.size()) {
        if (readLineEnd(find, &pos)) {
            appendText(QString(QChar(wordtext::ParagraphMark)));
        } else if (find.at(pos) == u'^') {
            CaretCode code;
            if (!readCaretCode(find, &pos, CaretContext::Find, &code, error))
                return false;
            if (code.kind == CaretCode::Text)
                appendText(code.text);
            else
                tokens->append({code.kind, QString()});
        } else {
            appendText(QString(find.at(pos)));
            ++pos;
        }
    }
    return true;
}

bool parseReplaceText(const QString& replace, bool wildcards, QList<WordReplacePiece>* pieces, QString* error)
{
    pieces->clear();
    auto appendText = [&](const QString& chars) {
        if (!pieces->isEmpty() && pieces->last().kind == WordReplacePiece::Text)
            pieces->last().text += chars;
        else
            pieces->append({WordReplacePiece::Text, chars, 0});
    };
    qsizetype pos = 0;
    while (pos < replace.size()) {
        const QChar c = replace.at(pos);
        if (readLineEnd(replace, &pos)) {
            appendText(QString(QChar(wordtext::ParagraphMark)));
        } else if (c == u'^') {
            CaretCode code;
            if (!readCaretCode(replace, &pos, CaretContext::Replace, &code, error))
                return false;
            if (code.kind == CaretCode::WholeMatch)
                pieces->append({WordReplacePiece::WholeMatch, QString(), 0});
            else
                appendText(code.text);
        } else if (wildcards && c == u'\\' && pos + 1 < replace.size()) {
            const QChar next = replace.at(pos + 1);
            if (next >= u'1' && next <= u'9')
                pieces->append({WordReplacePiece::Group, QString(), next.unicode() - u'0'});
            else
                appendText(QString(next));
            pos += 2;
        } else {
            appendText(QString(c));
            ++pos;
        }
    }
    return true;
}

} // namespace varnel::office
