#include "office/xlsx/ExcelCellText.h"

#include "office/xlsx/WorkbookStyles.h"

#include <QDateTime>

namespace varnel::office {

ExcelCellText::ExcelCellText(const WorkbookStyles& styles, bool date1904)
    : m_styles(&styles)
    , m_date1904(date1904)
{
}

const ExcelNumberFormat& ExcelCellText::formatOf(int styleIndex) const
{
    auto it = m_formats.find(styleIndex);
    if (it == m_formats.end())
        it = m_formats.insert(styleIndex, ExcelNumberFormat(m_styles->formatCode(styleIndex), m_date1904));
    return *it;
}

std::optional<double> ExcelCellText::numberOf(const ExcelCell& cell) const
{
    if (cell.type == ExcelCell::Type::Date)
        return serialOfIsoDate(cell.rawValue, m_date1904);
    if (cell.type != ExcelCell::Type::Number)
        return std::nullopt;
    bool ok = false;
    const double value = cell.rawValue.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString ExcelCellText::displayed(const ExcelCell& cell) const
{
    switch (cell.type) {
    case ExcelCell::Type::Boolean:
        return cell.rawValue.trimmed() == u"0" || cell.rawValue.trimmed().isEmpty() ? QStringLiteral("FALSE")
                                                                                  : QStringLiteral("TRUE");
    case ExcelCell::Type::Number:
    case ExcelCell::Type::Date:
        if (const auto value = numberOf(cell))
            return formatOf(cell.styleIndex).format(*value);
        return cell.text;
    default:
        return cell.text;
    }
}

QString ExcelCellText::formulaBar(const ExcelCell& cell) const
{
    if (!cell.formula.isEmpty())
        return QLatin1Char('=') + cell.formula;
    if (const auto value = numberOf(cell))
        return formatOf(cell.styleIndex).formulaBarText(*value);
    return displayed(cell);
}

std::optional<double> ExcelCellText::serialOfIsoDate(const QString& text, bool date1904)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    QDateTime moment;
    if (t.contains(u'-')) {
        moment = QDateTime::fromString(t, Qt::ISODateWithMs);
        if (!moment.isValid()) {
            const QDate day = QDate::fromString(t.left(10), Qt::ISODate);
            if (day.isValid() && t.size() == 10)
                moment = QDateTime(day, QTime(0, 0));
        }
    } else {
        const QTime time = QTime::fromString(t, Qt::ISODateWithMs);
        if (time.isValid())
            return time.msecsSinceStartOfDay() / 86400000.0;
    }
    if (!moment.isValid())
        return std::nullopt;
    const QDate day = moment.date();
    // Excel's 1900 system counts the nonexistent 1900-02-29, so serials from 1900-03-01 on are days since
    // 1899-12-30 and earlier ones days since 1899-12-31.
    const QDate epoch = date1904 ? QDate(1904, 1, 1)
                      : day < QDate(1900, 3, 1) ? QDate(1899, 12, 31)
                                                : QDate(1899, 12, 30);
    return double(epoch.daysTo(day)) + moment.time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace varnel::office
