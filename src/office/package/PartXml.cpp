#include "office/package/PartXml.h"

#include "office/package/XmlWellFormedness.h"

namespace varnel::office {

namespace {

constexpr unsigned kParseFlags = (pugi::parse_full | pugi::parse_ws_pcdata | pugi::parse_fragment)
    & ~(pugi::parse_eol | pugi::parse_wconv_attribute | pugi::parse_wnorm_attribute);

class ByteArrayWriter : public pugi::xml_writer
{
public:
    explicit ByteArrayWriter(QByteArray* out)
        : m_out(out)
    {
    }
    void write(const void* data, size_t size) override { m_out->append(static_cast<const char*>(data), qsizetype(size)); }

private:
    QByteArray* m_out;
};

// The encoding from the byte-order mark or, without one, from the first character ("<" in UTF-16).
void detectEncoding(const QByteArray& bytes, pugi::xml_encoding* encoding, bool* mark)
{
    *mark = true;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        *encoding = pugi::encoding_utf8;
    } else if (bytes.startsWith("\xFF\xFE")) {
        *encoding = pugi::encoding_utf16_le;
    } else if (bytes.startsWith("\xFE\xFF")) {
        *encoding = pugi::encoding_utf16_be;
    } else {
        *mark = false;
        if (bytes.startsWith(QByteArrayView("<\0", 2)))
            *encoding = pugi::encoding_utf16_le;
        else if (bytes.startsWith(QByteArrayView("\0<", 2)))
            *encoding = pugi::encoding_utf16_be;
        else
            *encoding = pugi::encoding_utf8;
    }
}

bool isWhitespace(const char* text)
{
    for (; *text; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n')
            return false;
    }
    return true;
}

// What a fragment parse lets through but a document must not have at its top level; empty when fine.
QString topLevelProblem(const pugi::xml_document& document)
{
    int elements = 0;
    bool first = true;
    for (const pugi::xml_node node : document.children()) {
        switch (node.type()) {
        case pugi::node_element:
            ++elements;
            break;
        case pugi::node_declaration:
            if (!first)
                return QStringLiteral("XML声明不在开头");
            break;
        case pugi::node_doctype:
            return QStringLiteral("含有DTD（<!DOCTYPE>），已拒绝处理");
        case pugi::node_pcdata:
            if (!isWhitespace(node.value()))
                return QStringLiteral("根元素之外有文本");
            break;
        case pugi::node_cdata:
            return QStringLiteral("根元素之外有文本");
        default:
            break;
        }
        first = false;
    }
    if (elements != 1)
        return elements == 0 ? QStringLiteral("没有根元素") : QStringLiteral("有多个根元素");
    return QString();
}

bool isSupportedDeclaredEncoding(const pugi::xml_document& document)
{
    const pugi::xml_node declaration = document.first_child();
    if (declaration.type() != pugi::node_declaration)
        return true;
    const pugi::xml_attribute encoding = declaration.attribute("encoding");
    if (!encoding)
        return true;
    const QString name = QString::fromUtf8(encoding.value()).toUpper();
    return name == u"UTF-8" || name == u"UTF8" || name == u"UTF-16" || name == u"UTF-16LE" || name == u"UTF-16BE";
}

// The part as UTF-8 without its byte-order mark, for the well-formedness scan; a UTF-16 part with a lone
// surrogate or an odd length gets *problem instead.
QByteArray utf8Text(const QByteArray& bytes, pugi::xml_encoding encoding, bool mark, QString* problem)
{
    if (encoding == pugi::encoding_utf8)
        return mark ? bytes.mid(3) : bytes;
    const QByteArrayView units = QByteArrayView(bytes).sliced(mark ? 2 : 0);
    if (units.size() % 2) {
        *problem = QStringLiteral("不是完整的UTF-16文本");
        return QByteArray();
    }
    QString text(units.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto first = uchar(units[2 * i]);
        const auto second = uchar(units[2 * i + 1]);
        text[i] = QChar(encoding == pugi::encoding_utf16_le ? ushort(first | second << 8) : ushort(first << 8 | second));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (pair) {
            ++i;
        } else if (text.at(i).isSurrogate()) {
            *problem = QStringLiteral("含有无效的UTF-16代码单元（第%1个）").arg(i + 1);
            return QByteArray();
        }
    }
    return text.toUtf8();
}

} // namespace

bool parsePartXml(const QString& partName, const QByteArray& bytes, PartXml* part, QString* error)
{
    detectEncoding(bytes, &part->encoding, &part->byteOrderMark);
    // The scan comes first: pugixml's tree of a part that fails it is not to be built at all.
    QString problem;
    const QByteArray text = utf8Text(bytes, part->encoding, part->byteOrderMark, &problem);
    if (problem.isEmpty())
        problem = xmlWellFormednessProblem(text);
    if (problem.isEmpty()) {
        const pugi::xml_parse_result result = part->document.load_buffer(bytes.constData(), size_t(bytes.size()),
                                                                         kParseFlags, part->encoding);
        if (result.status == pugi::status_bad_doctype)
            problem = QStringLiteral("含有DTD（<!DOCTYPE>），已拒绝处理");
        else if (!result)
            problem = QStringLiteral("不是格式正确的XML（第%1字节附近）").arg(result.offset);
        else
            problem = topLevelProblem(part->document);
    }
    if (problem.isEmpty() && !isSupportedDeclaredEncoding(part->document))
        problem = QStringLiteral("使用了不支持的编码（只支持UTF-8和UTF-16）");
    if (problem.isEmpty())
        return true;
    part->document.reset();
    if (error)
        *error = QStringLiteral("部件“%1”%2").arg(partName, problem);
    return false;
}

QString partXmlProblem(const QString& partName, const QByteArray& bytes)
{
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    bool mark = false;
    detectEncoding(bytes, &encoding, &mark);
    QString problem;
    const QByteArray text = utf8Text(bytes, encoding, mark, &problem);
    if (problem.isEmpty())
        problem = xmlDocumentProblem(text);
    return problem.isEmpty() ? QString() : QStringLiteral("部件“%1”%2").arg(partName, problem);
}

QByteArray serialisePartXml(const PartXml& part)
{
    QByteArray out;
    ByteArrayWriter writer(&out);
    // The declaration, when the part had one, is a node of the document and written with it.
    unsigned flags = pugi::format_raw | pugi::format_no_declaration;
    if (part.byteOrderMark)
        flags |= pugi::format_write_bom;
    part.document.save(writer, "", flags, part.encoding);
    return out;
}

} // namespace varnel::office
