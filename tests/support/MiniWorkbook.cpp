#include "support/MiniWorkbook.h"

#include <QFile>

#include <gtest/gtest.h>
#include <zip.h>

namespace varnel::test {

namespace {

const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QByteArray escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

void writeZipEntries(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& entries)
{
    QFile::remove(path);
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_EXCL, &code);
    ASSERT_NE(archive, nullptr) << code;
    for (const auto& [name, data] : entries) {
        zip_source_t* source = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        ASSERT_GE(zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8), 0) << zip_strerror(archive);
    }
    ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

QList<std::pair<QByteArray, QByteArray>> MiniWorkbook::entries() const
{
    QByteArray types = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/"
                       "package/2006/content-types\"><Default Extension=\"rels\" ContentType=\"application/"
                       "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
                       "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" ContentType=\""
                       "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>";
    QByteArray packageRels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas."
                             "openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\""
                             + kRel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    QByteArray sheetList;
    QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas."
                      "openxmlformats.org/package/2006/relationships\">";
    QList<std::pair<QByteArray, QByteArray>> parts;
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        const QByteArray name = i < names.size() ? escaped(names[i]) : "Sheet" + n;
        sheetList += "<sheet name=\"" + name + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + kRel + "/worksheet\" Target=\"worksheets/sheet" + n
              + ".xml\"/>";
        parts.append({"xl/worksheets/sheet" + n + ".xml",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"" + kMain + "\"><sheetData>"
                          + sheets[i] + "</sheetData>" + tails.value(i) + "</worksheet>"});
    }
    rels += "<Relationship Id=\"rStyles\" Type=\"" + kRel + "/styles\" Target=\"styles.xml\"/>";
    if (!sharedStrings.isEmpty()) {
        rels += "<Relationship Id=\"rStrings\" Type=\"" + kRel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts.append({"xl/sharedStrings.xml",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"" + kMain + "\">" + sharedStrings
                          + "</sst>"});
    }
    rels += "</Relationships>";
    parts.append({"xl/styles.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet xmlns=\"" + kMain
                                       + "\"><numFmts>" + numFmts + "</numFmts><cellXfs>"
                                       + (cellXfs.isEmpty() ? QByteArray("<xf numFmtId=\"0\"/>") : cellXfs)
                                       + "</cellXfs></styleSheet>"});
    const QByteArray workbook = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + kMain
                              + "\" xmlns:r=\"" + kRel + "\"><bookViews><workbookView activeTab=\""
                              + QByteArray::number(activeTab) + "\"/></bookViews><sheets>" + sheetList
                              + "</sheets></workbook>";
    QList<std::pair<QByteArray, QByteArray>> all = {{"[Content_Types].xml", types},
                                                    {"_rels/.rels", packageRels},
                                                    {"xl/workbook.xml", workbook},
                                                    {"xl/_rels/workbook.xml.rels", rels}};
    return all + parts;
}

void MiniWorkbook::write(const QString& path) const
{
    writeZipEntries(path, entries());
}

QByteArray inlineRow(int row, const QList<QString>& texts)
{
    const QByteArray r = QByteArray::number(row);
    QByteArray xml = "<row r=\"" + r + "\">";
    for (qsizetype i = 0; i < texts.size() && i < 26; ++i) {
        if (texts[i].isEmpty())
            continue;
        const QByteArray ref = QByteArray(1, char('A' + i)) + r;
        xml += cell(ref.constData(), "<is><t xml:space=\"preserve\">" + escaped(texts[i]) + "</t></is>",
                    "t=\"inlineStr\"");
    }
    return xml + "</row>";
}

QByteArray cell(const char* reference, const QByteArray& inner, const QByteArray& attributes)
{
    return "<c r=\"" + QByteArray(reference) + "\"" + (attributes.isEmpty() ? QByteArray() : " " + attributes) + ">"
         + inner + "</c>";
}

} // namespace varnel::test
