#include "definitions/DefinitionFile.h"

#include "core/FileIo.h"
#include "core/TextCodec.h"

#include <QStringDecoder>

#include <pugixml.hpp>

#include <string>

namespace varnel {

namespace {

QString readFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("无法读取定义文件%1：%2").arg(path, reason);
}

QString writeFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("无法保存定义文件%1：%2").arg(path, reason);
}

std::optional<QByteArray> readBytes(const QString& path, QString* error)
{
    QString reason;
    std::optional<QByteArray> bytes = FileIo::current().readAll(path, &reason);
    if (!bytes && error)
        *error = readFailure(path, reason);
    return bytes;
}

bool writeBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    QString reason;
    if (FileIo::current().writeAtomically(path, bytes, &reason))
        return true;
    if (error)
        *error = writeFailure(path, reason);
    return false;
}

// Whitespace-only text between elements is dropped, but a whitespace-only text that is an element's only
// content is kept, so a definition whose find text is a single space survives a save and a load.
// Line ends are not normalised: the writer puts CR into text as it is, and reading it back must give the
// same text. Comments, processing instructions and the DOCTYPE are not kept as nodes; entities declared in
// a DTD are never expanded.
constexpr unsigned kXmlParseFlags = (pugi::parse_default | pugi::parse_ws_pcdata_single) & ~pugi::parse_eol;

void appendTextContent(pugi::xml_node node, std::string& out)
{
    switch (node.type()) {
    case pugi::node_pcdata:
    case pugi::node_cdata:
        out += node.value();
        break;
    case pugi::node_element:
        for (pugi::xml_node child : node.children())
            appendTextContent(child, out);
        break;
    default:
        break;
    }
}

// All text and CDATA below the node, in document order.
QString textContent(pugi::xml_node node)
{
    std::string out;
    appendTextContent(node, out);
    return QString::fromStdString(out);
}

class ByteArrayWriter : public pugi::xml_writer
{
public:
    void write(const void* data, size_t size) override
    {
        m_bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    QByteArray m_bytes;
};

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(bytes); // operator() would only build a lazy result
    Q_UNUSED(decoded);
    return !decoder.hasError();
}

bool hasUnicodeByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

bool declaresLatin1(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(200).toLower();
    return head.startsWith("<?xml") && (head.contains("iso-8859-1") || head.contains("latin1"));
}

} // namespace

// --- TAB text ------------------------------------------------------------------------------------------

QByteArray tabDefinitionBytes(const ReplacePairs& pairs)
{
    QString text;
    for (const ReplacePair& pair : pairs)
        text += pair.find + QLatin1Char('\t') + pair.replace + QStringLiteral("\r\n");
    return encodeLocalText(text);
}

ReplacePairs parseTabDefinitions(const QByteArray& bytes)
{
    const QString text = decodeImportedText(bytes);
    ReplacePairs pairs;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QStringView line = QStringView(text).sliced(pos, end - pos);
        // An empty line ends the list; nothing after it is read.
        if (line.isEmpty())
            break;
        // A line ends at CR LF, LF or CR.
        const bool crLf = end + 1 < text.size() && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n');
        pos = end + (crLf ? 2 : 1);

        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            continue;
        const qsizetype nextTab = line.indexOf(QLatin1Char('\t'), tab + 1);
        const QStringView replace = nextTab < 0 ? line.sliced(tab + 1) : line.sliced(tab + 1, nextTab - tab - 1);
        pairs.append({line.first(tab).toString(), replace.toString()});
    }
    return pairs;
}

bool writeTabDefinitions(const QString& path, const ReplacePairs& pairs, QString* error)
{
    return writeBytes(path, tabDefinitionBytes(pairs), error);
}

std::optional<ReplacePairs> readTabDefinitions(const QString& path, QString* error)
{
    const std::optional<QByteArray> bytes = readBytes(path, error);
    if (!bytes)
        return std::nullopt;
    return parseTabDefinitions(*bytes);
}

// --- XML -----------------------------------------------------------------------------------------------

QByteArray xmlDefinitionBytes(const ReplacePairs& pairs)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Replace");
    for (const ReplacePair& pair : pairs) {
        pugi::xml_node item = root.append_child("Item");
        item.append_child("Old").text().set(pair.find.toStdString().c_str());
        item.append_child("New").text().set(pair.replace.toStdString().c_str());
    }
    ByteArrayWriter writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.m_bytes;
}

std::optional<ReplacePairs> parseXmlDefinitions(const QByteArray& bytes, QString* error)
{
    pugi::xml_document doc;
    pugi::xml_parse_result result;
    if (hasUnicodeByteOrderMark(bytes) || isValidUtf8(bytes) || declaresLatin1(bytes)) {
        result = doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), kXmlParseFlags,
                                 pugi::encoding_auto);
    } else {
        // Saved by a Chinese Windows program in its "Ansi" code page, whatever the declaration says.
        const QByteArray utf8 = decodeText(Charset::Gb18030, bytes).toUtf8();
        result = doc.load_buffer(utf8.constData(), static_cast<size_t>(utf8.size()), kXmlParseFlags,
                                 pugi::encoding_utf8);
    }
    if (!result) {
        if (error)
            *error = QStringLiteral("%1（位置 %2）")
                         .arg(QString::fromUtf8(result.description()))
                         .arg(static_cast<qint64>(result.offset));
        return std::nullopt;
    }

    ReplacePairs pairs;
    for (pugi::xml_node child : doc.document_element().children()) {
        const pugi::xml_node first = child.first_child();
        if (!first)
            continue;
        const pugi::xml_node second = first.next_sibling();
        pairs.append({textContent(first), second ? textContent(second) : QString()});
    }
    return pairs;
}

bool writeXmlDefinitions(const QString& path, const ReplacePairs& pairs, QString* error)
{
    return writeBytes(path, xmlDefinitionBytes(pairs), error);
}

std::optional<ReplacePairs> readXmlDefinitions(const QString& path, QString* error)
{
    const std::optional<QByteArray> bytes = readBytes(path, error);
    if (!bytes)
        return std::nullopt;
    QString reason;
    std::optional<ReplacePairs> pairs = parseXmlDefinitions(*bytes, &reason);
    if (!pairs && error)
        *error = readFailure(path, reason);
    return pairs;
}

std::optional<ReplacePairs> readDefinitionFile(const QString& path, QString* error)
{
    if (path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        return readXmlDefinitions(path, error);
    return readTabDefinitions(path, error);
}

} // namespace varnel
