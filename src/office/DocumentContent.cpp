#include "office/DocumentContent.h"

#include "office/package/CompoundFile.h"
#include "office/package/OoxmlPackage.h"

#include <QFile>

namespace varnel {

namespace {

constexpr qint64 kHeadSize = 4096;

// The head as lower-case ASCII, without a byte-order mark or leading whitespace; UTF-16 is narrowed by
// dropping its zero bytes, which is enough to read markup and header names.
QByteArray textHead(QByteArray head)
{
    if (head.startsWith("\xEF\xBB\xBF")) {
        head.remove(0, 3);
    } else if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        head.remove(0, 2);
        head.replace('\0', QByteArray());
    }
    return head.trimmed().toLower();
}

bool isHtml(const QByteArray& text)
{
    for (const char* start : {"<!doctype html", "<html", "<head", "<body", "<meta"}) {
        if (text.startsWith(start))
            return true;
    }
    // XHTML: a declaration, perhaps a comment, then the html element.
    return text.startsWith("<?xml") && (text.contains("<!doctype html") || text.contains("<html"));
}

// Mail-style header lines ("Name: value") up to the first empty line, with a MIME-Version among them.
bool isMht(const QByteArray& text)
{
    qsizetype end = text.indexOf("\n\n");
    const qsizetype crlf = text.indexOf("\r\n\r\n");
    if (end < 0 || (crlf >= 0 && crlf < end))
        end = crlf;
    const QByteArray header = end < 0 ? text : text.left(end);
    const qsizetype colon = header.indexOf(':');
    if (colon <= 0)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const char c = header.at(i);
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'))
            return false;
    }
    return header.startsWith("mime-version:") || header.contains("\nmime-version:");
}

DocumentContent packageContent(const QString& path)
{
    QString error;
    const std::unique_ptr<office::OoxmlPackage> package = office::OoxmlPackage::open(path, &error);
    if (!package)
        return DocumentContent::Package;
    const QString type = package->contentType(package->mainDocumentPart());
    if (type.contains(u"wordprocessingml") || type.startsWith(u"application/vnd.ms-word."))
        return DocumentContent::WordPackage;
    if (type.contains(u"spreadsheetml") || type.startsWith(u"application/vnd.ms-excel."))
        return DocumentContent::ExcelPackage;
    if (type.contains(u"presentationml") || type.startsWith(u"application/vnd.ms-powerpoint."))
        return DocumentContent::PowerPointPackage;
    return DocumentContent::Package;
}

DocumentContent compoundContent(const QString& path)
{
    const QStringList names = office::compoundFileEntryNames(path);
    if (names.contains(u"WordDocument"))
        return DocumentContent::WordBinary;
    if (names.contains(u"Workbook") || names.contains(u"Book"))
        return DocumentContent::ExcelBinary;
    if (names.contains(u"PowerPoint Document"))
        return DocumentContent::PowerPointBinary;
    return DocumentContent::CompoundFile;
}

} // namespace

DocumentContent documentContentOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DocumentContent::Unknown;
    const QByteArray head = file.read(kHeadSize);
    file.close();
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
        return packageContent(path);
    if (office::hasCompoundFileSignature(head))
        return compoundContent(path);
    if (head.startsWith("{\\rtf"))
        return DocumentContent::Rtf;
    const QByteArray text = textHead(head);
    if (isHtml(text))
        return DocumentContent::Html;
    if (isMht(text))
        return DocumentContent::Mht;
    return DocumentContent::Unknown;
}

QString documentContentName(DocumentContent content)
{
    switch (content) {
    case DocumentContent::Unknown: return QStringLiteral("未知格式");
    case DocumentContent::Package: return QStringLiteral("zip压缩包");
    case DocumentContent::WordPackage: return QStringLiteral("Word文档（.docx）");
    case DocumentContent::ExcelPackage: return QStringLiteral("Excel工作簿（.xlsx）");
    case DocumentContent::PowerPointPackage: return QStringLiteral("PowerPoint演示文稿（.pptx）");
    case DocumentContent::Rtf: return QStringLiteral("RTF文档");
    case DocumentContent::CompoundFile: return QStringLiteral("OLE复合文档");
    case DocumentContent::WordBinary: return QStringLiteral("Word 97-2003文档（.doc）");
    case DocumentContent::ExcelBinary: return QStringLiteral("Excel 97-2003工作簿（.xls）");
    case DocumentContent::PowerPointBinary: return QStringLiteral("PowerPoint 97-2003演示文稿（.ppt）");
    case DocumentContent::Html: return QStringLiteral("HTML网页");
    case DocumentContent::Mht: return QStringLiteral("MHT单个文件网页");
    }
    return QString();
}

} // namespace varnel
