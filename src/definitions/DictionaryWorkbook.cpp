#include "definitions/DictionaryWorkbook.h"

#include "office/legacy/LegacyConverter.h"
#include "office/package/CompoundFile.h"
#include "office/package/EncryptedPackage.h"
#include "office/xlsx/Workbook.h"
#include "office/xlsx/WorksheetCells.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace varnel {

using office::Workbook;

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool isCompoundFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && office::hasCompoundFileSignature(file.read(8));
}

// Only spaces count, as in the trimming of the definition texts; tabs and line breaks stay.
QString withoutOuterSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

// An Office 97-2003 workbook, converted to .xlsx in a private folder that lives as long as the reading.
std::optional<DictionaryContent> readLegacy(const QString& path, QString* error)
{
    if (office::compoundFileEntryNames(path).contains(QStringLiteral("EncryptedPackage"))) {
        setError(error, QStringLiteral("文档已加密（设置了打开密码），无法读取"));
        return std::nullopt;
    }
    if (office::LegacyConverter::sofficePath().isEmpty()) {
        setError(error, QStringLiteral("这是Excel 97-2003格式（.xls）的工作簿，读取它需要LibreOffice，本机没有安装LibreOffice"));
        return std::nullopt;
    }
    const QTemporaryDir work(QDir::tempPath() + QStringLiteral("/varnel-dictionary-XXXXXX"));
    if (!work.isValid()) {
        setError(error, QStringLiteral("无法创建临时文件夹"));
        return std::nullopt;
    }
    // LibreOffice names its output after the input, so the input is copied under a plain name first.
    const QString source = work.filePath(QStringLiteral("dictionary.xls"));
    if (!QFile::copy(path, source)) {
        setError(error, QStringLiteral("无法复制文件到临时文件夹"));
        return std::nullopt;
    }
    office::LegacyConverter converter;
    QString converted;
    QString why;
    if (!converter.convert(source, work.filePath(QStringLiteral("xlsx")), QStringLiteral("xlsx:Calc MS Excel 2007 XML"),
                           &converted, &why)) {
        setError(error, QStringLiteral("无法用LibreOffice转换.xls工作簿：%1").arg(why));
        return std::nullopt;
    }
    const auto book = Workbook::open(converted, error);
    return book ? DictionaryWorkbook::read(*book, error) : std::nullopt;
}

} // namespace

std::optional<DictionaryContent> DictionaryWorkbook::read(const QString& path, QString* error, const QString& password)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        setError(error, QStringLiteral("文件不存在"));
        return std::nullopt;
    }
    if (isCompoundFile(path) && (password.isEmpty() || !office::EncryptedPackage::isEncrypted(path)))
        return readLegacy(path, error);
    const auto book = Workbook::open(path, error, password);
    return book ? read(*book, error) : std::nullopt;
}

std::optional<DictionaryContent> DictionaryWorkbook::read(const Workbook& book, QString* error)
{
    office::WorksheetCells cells;
    if (!book.loadCells(book.activeSheet(), &cells, error))
        return std::nullopt;
    DictionaryContent content;
    int emptyRows = 0;
    // Every row up to the last one that holds a value, wherever the data starts.
    for (int row = 1; row <= cells.lastValueRow(); ++row) {
        const office::ExcelCell* a = cells.cell(row, 1);
        if (!a || a->text.isEmpty()) {
            if (++emptyRows > kMaxEmptyRows)
                break;
            continue;
        }
        const office::ExcelCell* b = cells.cell(row, 2);
        const QString find = book.displayedText(*a);
        const QString replace = b ? book.displayedText(*b) : QString();
        if (find.size() > kMaxTextLength || replace.size() > kMaxTextLength)
            content.longRows.append(row);
        content.pairs.append({definitionText(find), definitionText(replace)});
        emptyRows = 0;
    }
    return content;
}

QString DictionaryWorkbook::definitionText(const QString& displayed)
{
    const QString trimmed = withoutOuterSpaces(displayed);
    return isNumeric(trimmed) ? trimmed : displayed;
}

bool DictionaryWorkbook::isNumeric(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(
        "^[+-]?[¥￥$]?[+-]?(?=\\.?[0-9])(?:[0-9]{1,3}(?:,[0-9]{3})+|[0-9]+)?(?:\\.[0-9]*)?(?:[eE][+-]?[0-9]+)?$"));
    return number.match(text).hasMatch();
}

} // namespace varnel
