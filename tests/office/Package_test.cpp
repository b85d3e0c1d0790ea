#include "office/package/OoxmlPackage.h"
#include "office/package/PartName.h"

#include "support/FullDiskIo.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <zip.h>

#include <chrono>
#include <cstring>

using namespace varnel;
using namespace varnel::office;
using varnel::test::dataPath;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

const QByteArray kContentTypes = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="XML" ContentType="application/xml"/><Default Extension="png" ContentType="image/png"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>)";

const QByteArray kPackageRels = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)";

const QByteArray kDocument = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body><w:p><w:r><w:t>旧公司名</w:t></w:r></w:p></w:body></w:document>)";

const QByteArray kWordMain = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

struct Entry {
    QByteArray name;
    QByteArray data;
    qint64 zeros = 0;   // instead of data: this many zero bytes, generated while libzip writes
    bool store = false; // keep uncompressed
};

QList<Entry> minimalPackage(const QByteArray& document = kDocument)
{
    return {{"[Content_Types].xml", kContentTypes}, {"_rels/.rels", kPackageRels}, {"word/document.xml", document}};
}

// A libzip source that produces zeros without holding them, so a test can zip a 1 GiB entry.
zip_int64_t zeroSource(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd)
{
    auto* s = static_cast<std::pair<zip_uint64_t, zip_uint64_t>*>(state); // size, position
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
        s->second = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const zip_uint64_t n = std::min(len, s->first - s->second);
        std::memset(data, 0, n);
        s->second += n;
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = s->first;
        st->mtime = 0;
        st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_FREE:
        delete s;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        return 0;
    }
}

void writeZip(const QString& path, const QList<Entry>& entries)
{
    QFile::remove(path);
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_EXCL, &code);
    ASSERT_NE(archive, nullptr) << code;
    for (const Entry& e : entries) {
        zip_source_t* source = e.zeros
            ? zip_source_function(archive, zeroSource, new std::pair<zip_uint64_t, zip_uint64_t>(e.zeros, 0))
            : zip_source_buffer(archive, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        const zip_int64_t index = zip_file_add(archive, e.name.constData(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << zip_strerror(archive);
        // The fastest level keeps the generated gigabyte quick to write (about 5 MB zipped).
        zip_set_file_compression(archive, zip_uint64_t(index), e.store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, e.zeros ? 1 : 0);
    }
    ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

// One entry as stored in the archive: inflated, or its compressed bytes as they are.
QByteArray entryData(const QString& path, const char* name, bool compressed = false)
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    EXPECT_NE(archive, nullptr);
    if (!archive)
        return {};
    zip_stat_t st;
    zip_file_t* file = zip_stat(archive, name, 0, &st) == 0 ? zip_fopen(archive, name, compressed ? ZIP_FL_COMPRESSED : 0) : nullptr;
    EXPECT_NE(file, nullptr) << name;
    QByteArray data(qsizetype(compressed ? st.comp_size : st.size), '\0');
    if (file) {
        EXPECT_EQ(zip_fread(file, data.data(), zip_uint64_t(data.size())), data.size());
        zip_fclose(file);
    }
    zip_discard(archive);
    return data;
}

// Sets the inflated size an entry declares, in its local header and in the central directory alike.
void patchDeclaredSize(QByteArray* zipBytes, const QByteArray& name, quint32 size)
{
    const qsizetype end = zipBytes->lastIndexOf(QByteArrayView("PK\x05\x06", 4));
    ASSERT_GE(end, 0);
    char* z = zipBytes->data();
    qsizetype offset = qFromLittleEndian<quint32>(z + end + 16);
    const int count = qFromLittleEndian<quint16>(z + end + 10);
    for (int i = 0; i < count; ++i) {
        const int nameLength = qFromLittleEndian<quint16>(z + offset + 28);
        const int extra = qFromLittleEndian<quint16>(z + offset + 30);
        const int comment = qFromLittleEndian<quint16>(z + offset + 32);
        if (QByteArrayView(z + offset + 46, nameLength) == name) {
            qToLittleEndian<quint32>(size, z + offset + 24);
            qToLittleEndian<quint32>(size, z + qFromLittleEndian<quint32>(z + offset + 42) + 22);
            return;
        }
        offset += 46 + nameLength + extra + comment;
    }
    FAIL() << "no entry " << name.constData();
}

class PackageTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString zip(const QList<Entry>& entries, const QString& name = QStringLiteral("test.docx"))
    {
        writeZip(path(name), entries);
        return path(name);
    }

    // Opening fails with a message containing `fragment`, and the file is untouched.
    void expectRefused(const QString& file, const QString& fragment)
    {
        const QByteArray before = readFile(file);
        QString error;
        EXPECT_EQ(OoxmlPackage::open(file, &error), nullptr);
        EXPECT_TRUE(error.contains(fragment)) << error.toStdString();
        EXPECT_EQ(readFile(file), before);
    }

    QTemporaryDir m_dir;
};

// ---- Reading ----

TEST_F(PackageTest, OpensAWriterDocumentAndResolvesItsParts)
{
    QString error;
    auto package = OoxmlPackage::open(dataPath(QStringLiteral("office/package/01_links.docx")), &error);
    ASSERT_NE(package, nullptr) << error.toStdString();
    EXPECT_EQ(package->mainDocumentPart(), QStringLiteral("word/document.xml"));
    EXPECT_TRUE(package->partNames().contains(QStringLiteral("word/styles.xml")));
    EXPECT_TRUE(package->hasPart(QStringLiteral("WORD/Document.xml")));
    EXPECT_EQ(package->contentType(QStringLiteral("word/document.xml")), QString::fromUtf8(kWordMain));
    EXPECT_EQ(package->contentType(QStringLiteral("_rels/.rels")), QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"));

    const QList<Relationship> relationships = package->relationships(QStringLiteral("word/document.xml"), &error);
    ASSERT_EQ(relationships.size(), 4);
    for (const Relationship& r : relationships) {
        if (r.type.endsWith(u"/hyperlink")) {
            EXPECT_TRUE(r.external);
            EXPECT_EQ(r.target, QStringLiteral("https://example.com/old"));
            EXPECT_TRUE(r.targetPart.isEmpty());
        } else if (r.type.endsWith(u"/styles")) {
            EXPECT_EQ(r.targetPart, QStringLiteral("word/styles.xml"));
        }
    }
    pugi::xml_document* document = package->xml(QStringLiteral("word/document.xml"), &error);
    ASSERT_NE(document, nullptr) << error.toStdString();
    EXPECT_EQ(package->xml(QStringLiteral("word/document.xml"), &error), document) << "parsed once";
    EXPECT_FALSE(package->changed());
}

TEST_F(PackageTest, ResolvesRelativeAbsoluteAndEscapedTargets)
{
    const QByteArray rels = R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                            R"(<Relationship Id="a" Type="t" Target="media/image%201.png"/>)"
                            R"(<Relationship Id="b" Type="t" Target="/word/media/image%201.png"/>)"
                            R"(<Relationship Id="c" Type="t" Target="../customXml/item1.xml"/>)"
                            R"(<Relationship Id="d" Type="t" Target="media/a%25b.png"/>)"
                            R"(<Relationship Id="e" Type="t" Target="../../outside.xml"/></Relationships>)";
    QList<Entry> entries = minimalPackage();
    entries += {{"word/_rels/document.xml.rels", rels}, {"word/media/image 1.png", "png"}, {"customXml/item1.xml", "<a/>"},
                {"word/media/a%25b.png", "png"}};
    QString error;
    auto package = OoxmlPackage::open(zip(entries), &error);
    ASSERT_NE(package, nullptr) << error.toStdString();
    const QList<Relationship> r = package->relationships(QStringLiteral("word/document.xml"), &error);
    ASSERT_EQ(r.size(), 5);
    EXPECT_EQ(r[0].targetPart, QStringLiteral("word/media/image 1.png"));
    EXPECT_EQ(r[1].targetPart, QStringLiteral("word/media/image 1.png"));
    EXPECT_EQ(r[2].targetPart, QStringLiteral("customXml/item1.xml"));
    EXPECT_EQ(r[3].targetPart, QStringLiteral("word/media/a%25b.png")) << "stored with its escape";
    EXPECT_EQ(r[4].targetPart, QString());
    EXPECT_EQ(package->contentType(QStringLiteral("word/media/image 1.png")), QStringLiteral("image/png"));
    EXPECT_EQ(package->contentType(QStringLiteral("customXml/item1.xml")), QStringLiteral("application/xml")) << "extension compared without case";
    EXPECT_TRUE(package->relationships(QStringLiteral("word/styles.xml"), &error).isEmpty());
}

TEST(PackagePartName, PutsRelationshipsBesideTheirPart)
{
    EXPECT_EQ(relationshipsPartOf(QStringLiteral("word/document.xml")), QStringLiteral("word/_rels/document.xml.rels"));
    EXPECT_EQ(relationshipsPartOf(QString()), QStringLiteral("_rels/.rels"));
    EXPECT_EQ(relationshipsPartOf(QStringLiteral("a.xml")), QStringLiteral("_rels/a.xml.rels"));
}

TEST(PackagePartName, RefusesNamesThatCouldEscapeTheFolder)
{
    for (const char* bad : {"", "/word/document.xml", "C:/x.xml", "../x.xml", "word/../../x.xml", "word\\document.xml",
                            "word//document.xml", "word/./document.xml", "a\tb.xml"})
        EXPECT_FALSE(unsafeEntryNameReason(QString::fromUtf8(bad)).isEmpty()) << bad;
    for (const char* good : {"word/document.xml", "[Content_Types].xml", "word/media/图 1.png", "customXml/", "a..b.xml"})
        EXPECT_TRUE(unsafeEntryNameReason(QString::fromUtf8(good)).isEmpty()) << good;
}

// ---- Saving ----

TEST_F(PackageTest, LeavesAnUnchangedPackageUntouched)
{
    const QString file = path(QStringLiteral("links.docx"));
    ASSERT_TRUE(QFile::copy(dataPath(QStringLiteral("office/package/01_links.docx")), file));
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    const QByteArray before = readFile(file);
    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr);
    ASSERT_NE(package->xml(package->mainDocumentPart(), &error), nullptr);
    EXPECT_TRUE(package->save(&error));
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(QFileInfo(file).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
}

TEST_F(PackageTest, EditedPartKeepsEverythingOutsideTheEditedText)
{
    const QByteArray original =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<!-- made by hand -->\r\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" xmlns:w14=\"urn:w14\">\r\n"
        "<?mso-application progid=\"Word.Document\"?>\r\n"
        "\t<w:body>\r\n"
        "\t\t<w:p><w:r><w:t xml:space=\"preserve\"> </w:t></w:r><w:r><w:t>旧公司名</w:t></w:r></w:p>\r\n"
        "\t\t<w:p><w:r><w:t>line one\r\nline two\tend</w:t></w:r><w:r><w:instrText xml:space=\"preserve\"> HYPERLINK \"x\" </w:instrText></w:r></w:p>\r\n"
        "\t\t<w:p w14:custom=\"a&#9;b&#10;c&#13;d\"><!-- keep me --><w:r><w:t>A &amp; B &lt; C &gt; D</w:t></w:r><w:r><w:t><![CDATA[x<y]]></w:t></w:r></w:p>\r\n"
        "\t</w:body>\r\n"
        "</w:document>\r\n";
    QList<Entry> entries = minimalPackage(original);
    entries += {{"word/media/image1.png", QByteArray(5000, 'x'), 0, true}, {"docProps/core.xml", "<cp:coreProperties/>"}};
    const QString file = zip(entries);
    const QString before = path(QStringLiteral("before.docx"));
    ASSERT_TRUE(QFile::copy(file, before));

    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr) << error.toStdString();
    pugi::xml_document* document = package->xml(QStringLiteral("word/document.xml"), &error);
    ASSERT_NE(document, nullptr) << error.toStdString();
    pugi::xml_node text = document->select_node("//w:t[text()='旧公司名']").node();
    ASSERT_TRUE(text);
    text.text().set("新公司名");
    package->markChanged(QStringLiteral("word/document.xml"));
    EXPECT_TRUE(package->changed());
    ASSERT_TRUE(package->save(&error)) << error.toStdString();
    EXPECT_FALSE(package->changed());

    // Character references come back in pugixml's one canonical form; nothing else moves.
    QByteArray expected = original;
    expected.replace("旧公司名", "新公司名").replace("&#9;", "&#09;");
    EXPECT_EQ(entryData(file, "word/document.xml"), expected);
    for (const char* other : {"[Content_Types].xml", "_rels/.rels", "word/media/image1.png", "docProps/core.xml"}) {
        EXPECT_EQ(entryData(file, other, true), entryData(before, other, true)) << other;
    }
    auto reopened = OoxmlPackage::open(file, &error);
    ASSERT_NE(reopened, nullptr) << error.toStdString();
    EXPECT_EQ(reopened->partNames(), package->partNames()) << "entries keep their order";
}

TEST_F(PackageTest, CopiesUnchangedEntriesWithoutRecompressingThem)
{
    const QString file = path(QStringLiteral("links.docx"));
    ASSERT_TRUE(QFile::copy(dataPath(QStringLiteral("office/package/01_links.docx")), file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QFile::Permissions permissions = QFile::permissions(file);
    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr);
    const QString original = dataPath(QStringLiteral("office/package/01_links.docx"));
    pugi::xml_document* document = package->xml(QStringLiteral("word/document.xml"), &error);
    pugi::xml_node t = document->select_node("//w:t[text()='Hello world']").node();
    ASSERT_TRUE(t);
    t.text().set("Goodbye world");
    package->markChanged(QStringLiteral("word/document.xml"));
    ASSERT_TRUE(package->save(&error)) << error.toStdString();

    EXPECT_EQ(QFile::permissions(file), permissions);
    for (const QString& name : package->partNames()) {
        const QByteArray n = name.toUtf8();
        if (name == u"word/document.xml") {
            QByteArray expected = entryData(original, n.constData());
            // pugixml writes empty elements in their short form.
            expected.replace("<w:t>Hello world</w:t>", "<w:t>Goodbye world</w:t>").replace("<w:rPr></w:rPr>", "<w:rPr/>");
            EXPECT_EQ(entryData(file, n.constData()), expected);
        } else {
            EXPECT_EQ(entryData(file, n.constData(), true), entryData(original, n.constData(), true)) << n.constData();
        }
    }
}

TEST_F(PackageTest, KeepsEveryEditAcrossSeveralSaves)
{
    QList<Entry> entries = minimalPackage();
    entries += {{"word/footer1.xml", "<w:ftr xmlns:w=\"urn:w\"><w:t>页脚</w:t></w:ftr>"}};
    const QString file = zip(entries);
    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr);
    package->xml(QStringLiteral("word/document.xml"), &error)->select_node("//w:t").node().text().set("一");
    package->markChanged(QStringLiteral("word/document.xml"));
    ASSERT_TRUE(package->save(&error));
    package->xml(QStringLiteral("word/footer1.xml"), &error)->select_node("//w:t").node().text().set("二");
    package->markChanged(QStringLiteral("word/footer1.xml"));
    ASSERT_TRUE(package->save(&error)) << error.toStdString();
    EXPECT_TRUE(entryData(file, "word/document.xml").contains("<w:t>一</w:t>"));
    EXPECT_TRUE(entryData(file, "word/footer1.xml").contains("<w:t>二</w:t>"));

    const QString copy = path(QStringLiteral("copy.docx"));
    ASSERT_TRUE(package->saveAs(copy, &error)) << error.toStdString();
    EXPECT_TRUE(entryData(copy, "word/document.xml").contains("<w:t>一</w:t>"));
}

TEST_F(PackageTest, RoundTripsUtf16PartsAndByteOrderMarks)
{
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<w:document xmlns:w=\"urn:w\"><w:t>旧</w:t></w:document>");
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QList<Entry> entries = minimalPackage(utf16);
    entries += {{"word/footer1.xml", "\xEF\xBB\xBF<w:ftr xmlns:w=\"urn:w\"><w:t>旧</w:t></w:ftr>"}};
    const QString file = zip(entries);
    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr) << error.toStdString();
    for (const char* part : {"word/document.xml", "word/footer1.xml"}) {
        pugi::xml_document* document = package->xml(part, &error);
        ASSERT_NE(document, nullptr) << error.toStdString();
        pugi::xml_node t = document->select_node("//w:t").node();
        ASSERT_STREQ(t.text().get(), "旧");
        t.text().set("新");
        package->markChanged(part);
    }
    ASSERT_TRUE(package->save(&error)) << error.toStdString();
    const QString expected = QString(text).replace(u'旧', u'新');
    QByteArray expectedUtf16("\xFF\xFE", 2);
    expectedUtf16.append(reinterpret_cast<const char*>(expected.utf16()), expected.size() * 2);
    EXPECT_EQ(entryData(file, "word/document.xml"), expectedUtf16);
    EXPECT_EQ(entryData(file, "word/footer1.xml"), QByteArray("\xEF\xBB\xBF<w:ftr xmlns:w=\"urn:w\"><w:t>新</w:t></w:ftr>"));
}

TEST_F(PackageTest, FailedWriteLeavesTheFileAsItWas)
{
    const QString file = zip(minimalPackage());
    const QByteArray before = readFile(file);
    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr);
    package->xml(QStringLiteral("word/document.xml"), &error)->select_node("//w:t").node().text().set("新");
    package->markChanged(QStringLiteral("word/document.xml"));
    {
        const varnel::test::FullDiskIo failing;
        const ScopedFileIo guard(failing);
        EXPECT_FALSE(package->save(&error));
    }
    EXPECT_TRUE(error.contains(QStringLiteral("磁盘已满"))) << error.toStdString();
    EXPECT_EQ(readFile(file), before);
    EXPECT_TRUE(package->changed());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("test.docx")}) << "no temporary file left";
}

TEST_F(PackageTest, RefusesToSaveAPartThatNoLongerParses)
{
    const QString file = zip(minimalPackage());
    const QByteArray before = readFile(file);
    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr);
    // An engine bug that produces a name pugixml writes verbatim but no parser accepts.
    package->xml(QStringLiteral("word/document.xml"), &error)->document_element().set_name("w:document a=\"");
    package->markChanged(QStringLiteral("word/document.xml"));
    EXPECT_FALSE(package->save(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("校验失败"))) << error.toStdString();
    EXPECT_EQ(readFile(file), before);
}

// ---- Bad input ----

TEST_F(PackageTest, RefusesFilesThatAreNoPackage)
{
    const QString text = path(QStringLiteral("text.docx"));
    writeFile(text, "just some text, not a zip archive");
    expectRefused(text, QStringLiteral("不是zip压缩包"));

    const QString empty = path(QStringLiteral("empty.docx"));
    writeFile(empty, QByteArray());
    expectRefused(empty, QStringLiteral("文件是空的"));

    const QString truncated = path(QStringLiteral("truncated.docx"));
    const QByteArray whole = readFile(dataPath(QStringLiteral("office/package/01_links.docx")));
    writeFile(truncated, whole.left(whole.size() / 2));
    expectRefused(truncated, QStringLiteral("截断"));

    const QString binary = path(QStringLiteral("binary.docx"));
    QFile::copy(dataPath(QStringLiteral("office/package/02_hello.doc")), binary);
    expectRefused(binary, QStringLiteral("旧的二进制格式"));

    const QString encrypted = path(QStringLiteral("encrypted.docx"));
    QFile::copy(dataPath(QStringLiteral("office/encrypted/02_agile.docx")), encrypted);
    expectRefused(encrypted, QStringLiteral("文档已加密（设置了打开密码），无法修改"));

    QString error;
    EXPECT_EQ(OoxmlPackage::open(path(QStringLiteral("missing.docx")), &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("文件不存在"));
}

TEST_F(PackageTest, RefusesPackagesWithoutTheirStructure)
{
    QList<Entry> entries = minimalPackage();
    entries.removeFirst();
    expectRefused(zip(entries, QStringLiteral("a.docx")), QStringLiteral("缺少[Content_Types].xml"));

    entries = minimalPackage();
    entries.removeAt(1);
    expectRefused(zip(entries, QStringLiteral("b.docx")), QStringLiteral("officeDocument"));

    entries = minimalPackage();
    entries.removeLast();
    expectRefused(zip(entries, QStringLiteral("c.docx")), QStringLiteral("officeDocument"));

    entries = minimalPackage();
    entries[0].data = "<Types><Default Extension=\"xml\"></Types>";
    expectRefused(zip(entries, QStringLiteral("d.docx")), QStringLiteral("不是格式正确的XML"));
}

TEST_F(PackageTest, RefusesPartsWithADoctypeOrBrokenXml)
{
    const QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;&lol;\">]>"
                              "<w:document xmlns:w=\"urn:w\"><w:t>&lol2;</w:t></w:document>";
    QList<Entry> entries = minimalPackage(laughs);
    entries[1].data.replace("<Relationships", "<!DOCTYPE r><Relationships");
    expectRefused(zip(entries, QStringLiteral("a.docx")), QStringLiteral("DTD"));

    // A UTF-16 part with a lone high surrogate before its end tag.
    const QByteArray loneSurrogate("\xFF\xFE<\0a\0>\0\x00\xD8<\0/\0a\0>\0", 18);
    QString error;
    for (const QByteArray& document : {laughs, QByteArray("<w:document xmlns:w=\"urn:w\"><w:body>"), loneSurrogate,
                                       QByteArray("<a/><b/>"), QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>")}) {
        const QString file = zip(minimalPackage(document), QStringLiteral("b.docx"));
        auto package = OoxmlPackage::open(file, &error);
        ASSERT_NE(package, nullptr) << error.toStdString();
        EXPECT_EQ(package->xml(QStringLiteral("word/document.xml"), &error), nullptr) << document.constData();
        EXPECT_TRUE(error.startsWith(QStringLiteral("部件“word/document.xml”"))) << error.toStdString();
    }
    EXPECT_TRUE(error.contains(QStringLiteral("编码")));
}

TEST_F(PackageTest, RefusesUnsafeAndDuplicateEntryNames)
{
    for (const char* bad : {"../evil.xml", "/etc/evil.xml", "word\\evil.xml"}) {
        QList<Entry> entries = minimalPackage();
        entries += {{bad, "<a/>"}};
        expectRefused(zip(entries), QStringLiteral("不安全的条目名称"));
    }

    // libzip writes no duplicates itself, so the second name is changed in the written bytes.
    QList<Entry> entries = minimalPackage();
    entries += {{"word/documenX.xml", "<a/>"}};
    QByteArray bytes = readFile(zip(entries));
    bytes.replace("word/documenX.xml", "word/document.xml");
    writeFile(path(QStringLiteral("dup.docx")), bytes);
    expectRefused(path(QStringLiteral("dup.docx")), QStringLiteral("重复的条目名称"));

    entries = minimalPackage();
    entries += {{"Word/Document.xml", "<a/>"}};
    expectRefused(zip(entries), QStringLiteral("重复的条目名称"));
}

TEST_F(PackageTest, RefusesEncryptedEntries)
{
    const QString file = zip(minimalPackage());
    zip_t* archive = zip_open(QFile::encodeName(file).constData(), 0, nullptr);
    ASSERT_NE(archive, nullptr);
    ASSERT_EQ(zip_file_set_encryption(archive, 2, ZIP_EM_AES_256, "secret"), 0) << zip_strerror(archive);
    ASSERT_EQ(zip_close(archive), 0);
    expectRefused(file, QStringLiteral("已加密"));
}

TEST_F(PackageTest, RefusesTooManyEntries)
{
    QList<Entry> entries = minimalPackage();
    for (int i = 0; i < OoxmlPackage::kMaxEntries; ++i)
        entries += {{QByteArray("word/media/") + QByteArray::number(i), QByteArray(), 0, true}};
    expectRefused(zip(entries), QStringLiteral("条目过多"));
}

TEST_F(PackageTest, RefusesZipBombsWithoutInflatingThem)
{
    // An honest gigabyte of zeros.
    QList<Entry> entries = minimalPackage();
    entries += {{"word/media/zeros.bin", QByteArray(), 1LL << 30}};
    const QString honest = zip(entries, QStringLiteral("honest.docx"));
    EXPECT_LT(QFileInfo(honest).size(), 8 * 1024 * 1024);
    expectRefused(honest, QStringLiteral("超过200 MB"));

    // A megabyte that compresses a thousandfold is no bomb: real documents of repetitive text do that.
    entries = minimalPackage();
    entries += {{"word/media/zeros.bin", QByteArray(), 1 << 20}};
    QString error;
    EXPECT_NE(OoxmlPackage::open(zip(entries, QStringLiteral("ratio.docx")), &error), nullptr) << error.toStdString();

    // A header that claims 100 bytes for 64 MiB of zeros: only the part read finds out, and stops early.
    entries = minimalPackage();
    entries[2] = {"word/document.xml", QByteArray(), 64 << 20};
    const QString lying = zip(entries, QStringLiteral("lying.docx"));
    QByteArray bytes = readFile(lying);
    patchDeclaredSize(&bytes, "word/document.xml", 100);
    writeFile(lying, bytes);
    auto package = OoxmlPackage::open(lying, &error);
    ASSERT_NE(package, nullptr) << error.toStdString();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(package->xml(QStringLiteral("word/document.xml"), &error), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(error.contains(QStringLiteral("与声明不符"))) << error.toStdString();
    EXPECT_EQ(readFile(lying), bytes);
}

TEST_F(PackageTest, RefusesEntriesThatShareTheirCompressedData)
{
    // The second entry's local header and data lie inside the first, stored, entry: two central directory
    // records, one copy of the data, which a bomb repeats thousands of times.
    QByteArray noise(8192, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + (i >> 3) * 104729) % 251);
    const QByteArray inner = readFile(zip({{"word/media/b.bin", noise, 0, true}}, QStringLiteral("inner.zip")));
    const qsizetype innerDirectory = qFromLittleEndian<quint32>(inner.constData() + inner.size() - 22 + 16);
    QList<Entry> entries = minimalPackage();
    entries += {{"word/media/a.bin", inner.left(innerDirectory), 0, true}};
    QByteArray outer = readFile(zip(entries, QStringLiteral("overlap.docx")));

    // The outer archive's last entry starts with a local header of 30 bytes, its name and extra field; its
    // data follows. The last central directory record says where that header is.
    const qsizetype end = outer.size() - 22;
    const qsizetype directory = qFromLittleEndian<quint32>(outer.constData() + end + 16);
    qsizetype lastHeader = 0;
    for (qsizetype at = directory; at < end;) {
        lastHeader = qFromLittleEndian<quint32>(outer.constData() + at + 42);
        at += 46 + qFromLittleEndian<quint16>(outer.constData() + at + 28) + qFromLittleEndian<quint16>(outer.constData() + at + 30)
            + qFromLittleEndian<quint16>(outer.constData() + at + 32);
    }
    const qsizetype innerAt = lastHeader + 30 + qFromLittleEndian<quint16>(outer.constData() + lastHeader + 26)
        + qFromLittleEndian<quint16>(outer.constData() + lastHeader + 28);
    QByteArray record = inner.mid(innerDirectory, inner.size() - 22 - innerDirectory);
    qToLittleEndian<quint32>(quint32(innerAt), record.data() + 42);
    QByteArray tail = outer.mid(end);
    qToLittleEndian<quint16>(quint16(entries.size() + 1), tail.data() + 8);
    qToLittleEndian<quint16>(quint16(entries.size() + 1), tail.data() + 10);
    qToLittleEndian<quint32>(quint32(end - directory + record.size()), tail.data() + 12);
    outer = outer.left(end) + record + tail;
    writeFile(path(QStringLiteral("overlap.docx")), outer);
    expectRefused(path(QStringLiteral("overlap.docx")), QStringLiteral("互相重叠"));
}

TEST_F(PackageTest, BoundsTheBytesInflatedInAllByTheLimitGiven)
{
    // Honest parts of 400 KB each: the third one read would take the package past its 1 MiB.
    const QByteArray part = "<a>" + QByteArray(400 * 1024, 'x') + "</a>";
    QList<Entry> entries = minimalPackage();
    entries += {{"word/a.xml", part}, {"word/b.xml", part}, {"word/c.xml", part}};
    QString error;
    auto package = OoxmlPackage::open(zip(entries), &error, 1 << 20);
    ASSERT_NE(package, nullptr) << error.toStdString();
    EXPECT_NE(package->xml(QStringLiteral("word/document.xml"), &error), nullptr) << error.toStdString();
    EXPECT_NE(package->xml(QStringLiteral("word/a.xml"), &error), nullptr) << error.toStdString();
    EXPECT_NE(package->xml(QStringLiteral("word/b.xml"), &error), nullptr) << error.toStdString();
    EXPECT_EQ(package->xml(QStringLiteral("word/c.xml"), &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("总大小超过1 MB"))) << error.toStdString();

    EXPECT_GE(OoxmlPackage::defaultInflateLimit(), 64LL << 20);
    EXPECT_LE(OoxmlPackage::defaultInflateLimit(), 2LL << 30);
}

} // namespace

TEST_F(PackageTest, AddedPartIsWrittenAfterTheOthersAndReadsBack)
{
    const QString file = path(QStringLiteral("added.docx"));
    ASSERT_TRUE(QFile::copy(dataPath(QStringLiteral("office/package/01_links.docx")), file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr) << error.toStdString();
    const QStringList before = package->partNames();
    QByteArray styles;
    ASSERT_TRUE(package->data(QStringLiteral("word/styles.xml"), &styles, &error)) << error.toStdString();
    EXPECT_TRUE(styles.contains("styles"));
    EXPECT_FALSE(package->data(QStringLiteral("word/missing.xml"), &styles, &error));

    EXPECT_TRUE(package->addPart(QStringLiteral("word/media/new.bin"), QByteArray("\x00\x01\x02", 3)));
    EXPECT_FALSE(package->addPart(QStringLiteral("WORD/media/NEW.bin"), "again")) << "names compare ignoring case";
    EXPECT_FALSE(package->addPart(QStringLiteral("word/styles.xml"), "clash"));
    EXPECT_TRUE(package->hasPart(QStringLiteral("word/media/new.bin")));
    ASSERT_TRUE(package->save(&error)) << error.toStdString();

    auto reopened = OoxmlPackage::open(file, &error);
    ASSERT_NE(reopened, nullptr) << error.toStdString();
    EXPECT_EQ(reopened->partNames(), before + QStringList{QStringLiteral("word/media/new.bin")});
    QByteArray bytes;
    ASSERT_TRUE(reopened->data(QStringLiteral("word/media/new.bin"), &bytes, &error));
    EXPECT_EQ(bytes, QByteArray("\x00\x01\x02", 3));
}

TEST_F(PackageTest, RemovedPartLeavesNothingPointingToIt)
{
    const QString file = path(QStringLiteral("removed.docx"));
    ASSERT_TRUE(QFile::copy(dataPath(QStringLiteral("office/package/01_links.docx")), file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    auto package = OoxmlPackage::open(file, &error);
    ASSERT_NE(package, nullptr) << error.toStdString();
    QStringList expected = package->partNames();
    expected.removeAll(QStringLiteral("word/settings.xml"));
    EXPECT_FALSE(package->removePart(QStringLiteral("word/missing.xml"), &error));
    ASSERT_TRUE(package->removePart(QStringLiteral("WORD/Settings.xml"), &error)) << error.toStdString();
    EXPECT_FALSE(package->hasPart(QStringLiteral("word/settings.xml")));
    EXPECT_EQ(package->partNames(), expected);
    ASSERT_TRUE(package->save(&error)) << error.toStdString();

    auto reopened = OoxmlPackage::open(file, &error);
    ASSERT_NE(reopened, nullptr) << error.toStdString();
    EXPECT_EQ(reopened->partNames(), expected);
    QStringList ids;
    for (const Relationship& relationship : reopened->relationships(QStringLiteral("word/document.xml"), &error))
        ids.append(relationship.id);
    EXPECT_EQ(ids, QStringList({QStringLiteral("rId1"), QStringLiteral("rId2"), QStringLiteral("rId3")}));
    QByteArray types;
    ASSERT_TRUE(reopened->data(QStringLiteral("[Content_Types].xml"), &types, &error));
    EXPECT_FALSE(types.contains("settings")) << types.constData();
    EXPECT_TRUE(types.contains("/word/styles.xml")) << types.constData();
}
