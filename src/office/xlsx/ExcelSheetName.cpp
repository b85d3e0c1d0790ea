#include "office/xlsx/ExcelSheetName.h"

#include "office/xlsx/ExcelFormulaText.h"

#include <QRegularExpression>

namespace varnel::office {

namespace {

constexpr qsizetype kMaxSheetName = 31;

} // namespace

QString ExcelSheetName::refusal(const QString& name, const QStringList& otherNames)
{
    if (name.isEmpty())
        return QStringLiteral("工作表名称不能为空");
    if (name.size() > kMaxSheetName)
        return QStringLiteral("工作表名称“%1”超过31个字符").arg(name);
    for (const QChar c : name) {
        if (QStringView(u":\\/?*[]").contains(c))
            return QStringLiteral("工作表名称“%1”含有不允许的字符 : \\ / ? * [ ]").arg(name);
    }
    if (name.startsWith(u'\'') || name.endsWith(u'\''))
        return QStringLiteral("工作表名称“%1”不能以单引号开头或结尾").arg(name);
    if (name.compare(u"History", Qt::CaseInsensitive) == 0)
        return QStringLiteral("工作表名称不能是保留名称“History”");
    for (const QString& other : otherNames) {
        if (other.compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("工作簿中已有名为“%1”的工作表").arg(other);
    }
    return {};
}

QString ExcelSheetName::quoted(const QString& name)
{
    static const QRegularExpression cellLike(QStringLiteral(R"(^(?:[A-Za-z]{1,3}\d+|[Rr]\d*(?:[Cc]\d*)?|[Cc]\d*)$)"),
                                             QRegularExpression::UseUnicodePropertiesOption);
    bool bare = !name.isEmpty() && !name.at(0).isDigit() && name.at(0) != u'.'
        && !cellLike.match(name).hasMatch() && name.compare(u"TRUE", Qt::CaseInsensitive) != 0
        && name.compare(u"FALSE", Qt::CaseInsensitive) != 0;
    for (qsizetype i = 0; bare && i < name.size(); ++i) {
        const QChar c = name.at(i);
        bare = c.isLetterOrNumber() || c == u'_' || c == u'.';
    }
    if (bare)
        return name;
    QString escaped = name;
    escaped.replace(u'\'', QStringLiteral("''"));
    return u'\'' + escaped + u'\'';
}

QString ExcelSheetName::quoted(const QString& first, const QString& last)
{
    const QString joined = first + u':' + last;
    if (quoted(first) == first && quoted(last) == last)
        return joined;
    return quoted(joined);
}

QString ExcelSheetName::renameInFormula(const QString& formula, const QString& oldName, const QString& newName,
                                        bool* changed)
{
    QString result;
    bool any = false;
    qsizetype done = 0;
    for (const ExcelFormulaText::SheetPrefix& prefix : ExcelFormulaText::sheetPrefixes(formula)) {
        auto renamed = [&](const QString& name) {
            return name.compare(oldName, Qt::CaseInsensitive) == 0 ? newName : name;
        };
        const QString first = renamed(prefix.name);
        const QString last = prefix.last.isEmpty() ? QString() : renamed(prefix.last);
        if (first == prefix.name && last == prefix.last)
            continue;
        result += QStringView(formula).mid(done, prefix.start - done);
        result += last.isEmpty() ? quoted(first) : quoted(first, last);
        done = prefix.start + prefix.length;
        any = true;
    }
    if (changed)
        *changed = any;
    if (!any)
        return formula;
    result += QStringView(formula).mid(done);
    return result;
}

} // namespace varnel::office
