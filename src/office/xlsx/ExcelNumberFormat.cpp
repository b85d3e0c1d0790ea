#include "office/xlsx/ExcelNumberFormat.h"

#include "office/xlsx/ExcelBuiltInFormats.h"
#include "office/xlsx/ExcelDateRenderer.h"
#include "office/xlsx/ExcelGeneralFormat.h"
#include "office/xlsx/ExcelNumberRenderer.h"

#include <cmath>

namespace varnel::office {

namespace {

using Token = ExcelFormatToken;

// What a cell shows for a value its format cannot display.
const QString Overflow = QStringLiteral("########");

QString nonEmptyCode(const QString& code)
{
    return code.trimmed().isEmpty() ? QStringLiteral("General") : code;
}

// A section that takes negative numbers only writes its own sign (or parentheses) and is handed the
// magnitude.
bool takesOnlyNegatives(const ExcelFormatSection& section)
{
    return (section.condition == u"<" && section.operand <= 0) || (section.condition == u"<=" && section.operand < 0)
        || (section.condition == u"=" && section.operand < 0);
}

bool hasDatePart(const ExcelFormatSection& section)
{
    for (const Token& token : section.tokens) {
        if (token.kind == Token::Year || token.kind == Token::Month || token.kind == Token::Day
            || token.kind == Token::Weekday)
            return true;
    }
    return false;
}

} // namespace

ExcelNumberFormat::ExcelNumberFormat(const QString& code, bool date1904)
    : m_code(nonEmptyCode(code))
    , m_numberSections(m_code.numberSections())
    , m_date1904(date1904)
{
}

// Without conditions: one section takes every number (negatives with a minus sign); two split at zero
// (the second takes negatives without their sign); a third takes zero. With conditions, the first section
// whose condition holds; a section without one takes whatever reaches it.
const ExcelFormatSection* ExcelNumberFormat::sectionFor(double value, bool* showMinus) const
{
    const qsizetype count = m_numberSections.size();
    *showMinus = false;
    if (count == 0)
        return nullptr;
    bool conditional = false;
    for (const ExcelFormatSection& section : m_numberSections)
        conditional = conditional || section.hasCondition();
    if (!conditional) {
        if (value < 0 && count >= 2)
            return &m_numberSections.at(1);
        *showMinus = value < 0;
        return &m_numberSections.at(value == 0 && count >= 3 ? 2 : 0);
    }
    for (const ExcelFormatSection& section : m_numberSections) {
        if (section.accepts(value)) {
            *showMinus = value < 0 && !takesOnlyNegatives(section);
            return &section;
        }
    }
    return nullptr;
}

QString ExcelNumberFormat::format(double value) const
{
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    bool showMinus = false;
    const ExcelFormatSection* section = sectionFor(value, &showMinus);
    if (section == nullptr)
        return m_numberSections.isEmpty() ? ExcelGeneralFormat::cellText(value) : Overflow;
    if (section->dateTime) {
        QString text;
        return ExcelDateRenderer::render(*section, value, m_date1904, &text) ? text : Overflow;
    }
    const QString text = ExcelNumberRenderer::render(*section, std::fabs(value));
    return showMinus ? u'-' + text : text;
}

QString ExcelNumberFormat::formatText(const QString& text) const
{
    const ExcelFormatSection* section = m_code.textSection();
    if (section == nullptr)
        return text;
    QString out;
    for (const Token& token : section->tokens) {
        if (token.kind == Token::Text)
            out += text;
        else if (token.kind == Token::Literal)
            out += token.text;
    }
    return out;
}

QString ExcelNumberFormat::formulaBarText(double value) const
{
    bool showMinus = false;
    const ExcelFormatSection* section = sectionFor(value, &showMinus);
    if (section != nullptr && section->dateTime && value >= 0) {
        const bool date = hasDatePart(*section) || value >= 1;
        const bool time = value != std::floor(value) || !date;
        const QString code = date && time ? QStringLiteral("yyyy/m/d h:mm:ss")
                           : date        ? QStringLiteral("yyyy/m/d")
                                         : QStringLiteral("h:mm:ss");
        const QString text = ExcelNumberFormat(code, m_date1904).format(value);
        if (text != Overflow)
            return text;
    }
    if (section != nullptr && !section->dateTime) {
        for (const Token& token : section->tokens) {
            if (token.kind == Token::Percent)
                return ExcelGeneralFormat::formulaBarText(value * 100) + u'%';
        }
    }
    return ExcelGeneralFormat::formulaBarText(value);
}

bool ExcelNumberFormat::isDateTime(double value) const
{
    bool showMinus = false;
    const ExcelFormatSection* section = sectionFor(value, &showMinus);
    return section != nullptr && section->dateTime;
}

QString ExcelNumberFormat::display(double value, const QString& code, bool date1904)
{
    return ExcelNumberFormat(code, date1904).format(value);
}

QString ExcelNumberFormat::builtInCode(int id)
{
    return ExcelBuiltInFormats::code(id);
}

} // namespace varnel::office
