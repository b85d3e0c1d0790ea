#include "office/package/OoxmlPackage.h"

#include "core/FileCheck.h"

#include "office/package/AtomicFile.h"
#include "office/package/CompoundFile.h"
#include "office/package/EncryptedPackage.h"
#include "office/package/PartName.h"
#include "office/package/PartXml.h"
#include "office/package/ZipArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <map>
#include <tuple>
#include <vector>

namespace varnel::office {

namespace {

const QString kContentTypesPart = QStringLiteral("[Content_Types].xml");
const char* const kOfficeDocumentTypes[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument",
};

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The element name without its namespace prefix.
QLatin1StringView localName(const pugi::xml_node& node)
{
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return QLatin1StringView(colon ? colon + 1 : name);
}

QString attributeText(const pugi::xml_node& node, const char* name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

// Why a file that libzip refused is no package, telling encrypted and old binary documents apart.
QString notAZipReason(const QString& path, const QString& zipError)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法打开文件：%1").arg(file.errorString());
    const QByteArray head = file.read(8);
    if (hasCompoundFileSignature(head)) {
        if (compoundFileEntryNames(path).contains(QStringLiteral("EncryptedPackage")))
            return QStringLiteral("文档已加密（设置了打开密码），无法修改");
        return QStringLiteral("文件实际是旧的二进制格式（Office 97-2003），不是OOXML文档，无法按扩展名处理");
    }
    if (file.size() == 0)
        return QStringLiteral("文件是空的，不是有效的OOXML文档");
    // A zip archive starts with a local file header; its central directory is at the end.
    if (head.startsWith("PK\x03\x04"))
        return QStringLiteral("文件已损坏（zip压缩包不完整，可能被截断）");
    return zipError;
}

} // namespace

struct OoxmlPackage::Private {
    QString path;
    std::unique_ptr<EncryptedPackage> encryption; // set when the file is encrypted with an open password
    QByteArray decrypted;                         // its zip, which the archive reads; outlives the archive
    ZipArchive archive;
    QHash<QString, qsizetype> entryByKey; // partKey(name) -> index into archive.entries()
    QString mainPart;
    QHash<QString, QString> overrides;     // partKey(part name) -> content type
    QHash<QString, QString> defaults;      // extension, case-folded -> content type
    std::map<QString, std::unique_ptr<PartXml>> documents; // by stored name
    QSet<QString> modified; // parts whose cached document replaces the stored entry on every save
    QList<QPair<QString, QByteArray>> added; // new parts, appended on every save
    QStringList removed;                     // parts left out of every save
    bool unsaved = false;
    qint64 inflateLimit = 0;
    qint64 inflated = 0;    // bytes xml() has inflated so far, as produced

    const ZipEntry* entry(const QString& name) const
    {
        const auto it = entryByKey.constFind(partKey(name));
        return it == entryByKey.constEnd() ? nullptr : &archive.entries().at(*it);
    }

    bool checkEntries(qint64 fileSize, QString* error);
    bool readContentTypes(OoxmlPackage* package, QString* error);
    bool findMainPart(OoxmlPackage* package, QString* error);
    bool write(const QString& target, QString* error);
};

bool OoxmlPackage::Private::checkEntries(qint64 fileSize, QString* error)
{
    const QList<ZipEntry>& entries = archive.entries();
    if (entries.size() > kMaxEntries) {
        setError(error, QStringLiteral("压缩包条目过多（超过%1个），疑似恶意文件，已拒绝处理").arg(kMaxEntries));
        return false;
    }
    // Entries stored one after the other fit in the file; more compressed data than that means entries
    // share their data, the way a bomb makes one compressed block count many times.
    qint64 compressed = 0;
    for (const ZipEntry& e : entries)
        compressed += e.compressedSize;
    if (compressed > fileSize) {
        setError(error, QStringLiteral("压缩包中的条目互相重叠，疑似压缩炸弹，已拒绝处理"));
        return false;
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ZipEntry& e = entries.at(i);
        const QString reason = unsafeEntryNameReason(e.name);
        if (!reason.isEmpty()) {
            setError(error, QStringLiteral("压缩包中有不安全的条目名称“%1”（%2），已拒绝处理").arg(e.name, reason));
            return false;
        }
        if (e.encrypted) {
            setError(error, QStringLiteral("压缩包中的条目“%1”已加密，无法修改").arg(e.name));
            return false;
        }
        if (e.size > kMaxEntrySize) {
            setError(error, QStringLiteral("压缩包条目“%1”解压后超过%2 MB，已拒绝处理").arg(e.name).arg(kMaxEntrySize >> 20));
            return false;
        }
        if (entryByKey.contains(partKey(e.name))) {
            setError(error, QStringLiteral("压缩包中有重复的条目名称“%1”（可能只是大小写不同），已拒绝处理").arg(e.name));
            return false;
        }
        entryByKey.insert(partKey(e.name), i);
    }
    return true;
}

bool OoxmlPackage::Private::readContentTypes(OoxmlPackage* package, QString* error)
{
    if (!entry(kContentTypesPart)) {
        setError(error, QStringLiteral("缺少[Content_Types].xml，不是有效的OOXML文档"));
        return false;
    }
    const pugi::xml_document* types = package->xml(kContentTypesPart, error);
    if (!types)
        return false;
    for (const pugi::xml_node node : types->document_element().children()) {
        if (node.type() != pugi::node_element)
            continue;
        if (localName(node) == QLatin1StringView("Default")) {
            defaults.insert(attributeText(node, "Extension").toCaseFolded(), attributeText(node, "ContentType"));
        } else if (localName(node) == QLatin1StringView("Override")) {
            QString part = attributeText(node, "PartName");
            if (part.startsWith(u'/'))
                part.remove(0, 1);
            overrides.insert(partKey(part), attributeText(node, "ContentType"));
        }
    }
    return true;
}

bool OoxmlPackage::Private::findMainPart(OoxmlPackage* package, QString* error)
{
    QString relationshipsError;
    const QList<Relationship> packageRelationships = package->relationships(QString(), &relationshipsError);
    for (const Relationship& relationship : packageRelationships) {
        for (const char* type : kOfficeDocumentTypes) {
            if (relationship.type == QLatin1StringView(type) && !relationship.external && entry(relationship.targetPart)) {
                mainPart = relationship.targetPart;
                return true;
            }
        }
    }
    setError(error, relationshipsError.isEmpty()
                 ? QStringLiteral("找不到文档主体部件（_rels/.rels中没有有效的officeDocument关系），不是有效的OOXML文档")
                 : relationshipsError);
    return false;
}

OoxmlPackage::OoxmlPackage()
    : d(std::make_unique<Private>())
{
}

OoxmlPackage::~OoxmlPackage() = default;

qint64 OoxmlPackage::defaultInflateLimit()
{
    constexpr qint64 kFloor = 64LL << 20;
    constexpr qint64 kCap = 2LL << 30;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return kFloor;
    return std::clamp(qint64(pages) / 4 * qint64(pageSize), kFloor, kCap);
}

std::unique_ptr<OoxmlPackage> OoxmlPackage::open(const QString& path, QString* error, qint64 inflateLimit)
{
    return open(path, QString(), error, inflateLimit);
}

std::unique_ptr<OoxmlPackage> OoxmlPackage::open(const QString& path, const QString& password, QString* error,
                                                 qint64 inflateLimit)
{
    setError(error, QString());
    const QFileInfo info(path);
    if (!info.exists()) {
        setError(error, QStringLiteral("文件不存在"));
        return nullptr;
    }
    // A named pipe or a device is refused before libzip would open it and wait, or read without end.
    if (const QString refused = notRegularFileReason(path); !refused.isEmpty()) {
        setError(error, refused);
        return nullptr;
    }

    std::unique_ptr<OoxmlPackage> package(new OoxmlPackage);
    Private* const p = package->d.get();
    p->path = path;
    p->inflateLimit = inflateLimit;
    QString zipError;
    bool notAZip = false;
    if (!password.isEmpty() && EncryptedPackage::isEncrypted(path)) {
        p->encryption = EncryptedPackage::open(path, password, inflateLimit, &p->decrypted, error);
        if (!p->encryption || !p->archive.openBytes(p->decrypted, error))
            return nullptr;
    } else if (!p->archive.open(path, &zipError, &notAZip)) {
        setError(error, notAZip ? notAZipReason(path, zipError) : zipError);
        return nullptr;
    }
    const qint64 zipSize = p->encryption ? p->decrypted.size() : info.size();
    if (!p->checkEntries(zipSize, error) || !p->readContentTypes(package.get(), error) || !p->findMainPart(package.get(), error))
        return nullptr;
    return package;
}

QString OoxmlPackage::path() const
{
    return d->path;
}

QStringList OoxmlPackage::partNames() const
{
    QStringList names;
    names.reserve(d->archive.entries().size());
    for (const ZipEntry& e : d->archive.entries()) {
        if (!d->removed.contains(e.name))
            names.append(e.name);
    }
    return names;
}

bool OoxmlPackage::hasPart(const QString& name) const
{
    for (const auto& part : d->added)
        if (partKey(part.first) == partKey(name))
            return true;
    return d->entry(name) != nullptr;
}

QString OoxmlPackage::mainDocumentPart() const
{
    return d->mainPart;
}

QString OoxmlPackage::contentType(const QString& partName) const
{
    const auto override = d->overrides.constFind(partKey(partName));
    if (override != d->overrides.constEnd())
        return *override;
    const qsizetype dot = partName.lastIndexOf(u'.');
    if (dot < 0 || partName.indexOf(u'/', dot) >= 0)
        return QString();
    return d->defaults.value(partName.mid(dot + 1).toCaseFolded());
}

bool OoxmlPackage::data(const QString& partName, QByteArray* bytes, QString* error)
{
    const ZipEntry* e = d->entry(partName);
    if (!e) {
        setError(error, QStringLiteral("缺少部件“%1”").arg(partName));
        return false;
    }
    const qint64 left = d->inflateLimit - d->inflated;
    if (e->size > left) {
        setError(error, QStringLiteral("读取部件“%1”时解压后的总大小超过%2 MB，疑似压缩炸弹，已拒绝处理")
                            .arg(e->name)
                            .arg(d->inflateLimit >> 20));
        return false;
    }
    const bool read = d->archive.read(*e, std::min(kMaxEntrySize, left), bytes, error);
    d->inflated += bytes->size();
    return read;
}

bool OoxmlPackage::addPart(const QString& partName, const QByteArray& bytes)
{
    if (hasPart(partName))
        return false;
    d->added.append({partName, bytes});
    d->unsaved = true;
    return true;
}

pugi::xml_document* OoxmlPackage::xml(const QString& partName, QString* error)
{
    const ZipEntry* e = d->entry(partName);
    if (!e) {
        setError(error, QStringLiteral("缺少部件“%1”").arg(partName));
        return nullptr;
    }
    const auto cached = d->documents.find(e->name);
    if (cached != d->documents.end())
        return &cached->second->document;

    QByteArray bytes;
    if (!data(e->name, &bytes, error))
        return nullptr;
    auto part = std::make_unique<PartXml>();
    if (!parsePartXml(e->name, bytes, part.get(), error))
        return nullptr;
    pugi::xml_document* document = &part->document;
    d->documents.emplace(e->name, std::move(part));
    return document;
}

bool OoxmlPackage::removePart(const QString& partName, QString* error)
{
    const ZipEntry* e = d->entry(partName);
    if (!e) {
        setError(error, QStringLiteral("缺少部件“%1”").arg(partName));
        return false;
    }
    const QString name = e->name;
    // Every document is read before anything changes.
    pugi::xml_document* types = xml(kContentTypesPart, error);
    if (!types)
        return false;
    QList<std::tuple<QString, QString, pugi::xml_document*>> relationshipParts; // part, its source, document
    for (const QString& part : partNames()) {
        QString source;
        if (part == name || !sourceOfRelationshipsPart(part, &source))
            continue;
        pugi::xml_document* rels = xml(part, error);
        if (!rels)
            return false;
        relationshipParts.append({part, source, rels});
    }
    auto removeWhere = [this](const QString& part, pugi::xml_document* document, auto&& matches) {
        std::vector<pugi::xml_node> found;
        for (const pugi::xml_node node : document->document_element().children()) {
            if (node.type() == pugi::node_element && matches(node))
                found.push_back(node);
        }
        for (const pugi::xml_node node : found)
            document->document_element().remove_child(node);
        if (!found.empty())
            markChanged(part);
    };
    for (const auto& [part, source, rels] : relationshipParts) {
        removeWhere(part, rels, [&](const pugi::xml_node& node) {
            const QString target = attributeText(node, "Target");
            return localName(node) == QLatin1StringView("Relationship")
                && attributeText(node, "TargetMode").compare(u"External", Qt::CaseInsensitive) != 0
                && (partKey(resolveRelationshipTarget(source, target, true)) == partKey(name)
                    || partKey(resolveRelationshipTarget(source, target, false)) == partKey(name));
        });
    }
    removeWhere(kContentTypesPart, types, [&](const pugi::xml_node& node) {
        const QString overridden = attributeText(node, "PartName");
        return localName(node) == QLatin1StringView("Override")
            && partKey(overridden.startsWith(u'/') ? overridden.mid(1) : overridden) == partKey(name);
    });
    d->overrides.remove(partKey(name));
    d->modified.remove(name);
    d->documents.erase(name);
    d->entryByKey.remove(partKey(name));
    d->removed.append(name);
    d->archive.leaveOut(name);
    d->unsaved = true;
    return true;
}

QList<Relationship> OoxmlPackage::relationships(const QString& partName, QString* error)
{
    QList<Relationship> result;
    const QString relsPart = relationshipsPartOf(partName);
    if (!hasPart(relsPart))
        return result;
    const pugi::xml_document* rels = xml(relsPart, error);
    if (!rels)
        return result;
    for (const pugi::xml_node node : rels->document_element().children()) {
        if (node.type() != pugi::node_element || localName(node) != QLatin1StringView("Relationship"))
            continue;
        Relationship relationship;
        relationship.id = attributeText(node, "Id");
        relationship.type = attributeText(node, "Type");
        relationship.target = attributeText(node, "Target");
        relationship.external = attributeText(node, "TargetMode").compare(u"External", Qt::CaseInsensitive) == 0;
        if (!relationship.external) {
            const QString resolved = resolveRelationshipTarget(partName, relationship.target, true);
            const ZipEntry* target = d->entry(resolved);
            // Some producers store names with the escapes the target carries.
            if (!target)
                target = d->entry(resolveRelationshipTarget(partName, relationship.target, false));
            relationship.targetPart = target ? target->name : resolved;
        }
        result.append(relationship);
    }
    return result;
}

QString OoxmlPackage::relationshipsPartOf(const QString& partName) const
{
    return office::relationshipsPartOf(partName);
}

void OoxmlPackage::markChanged(const QString& partName)
{
    const ZipEntry* e = d->entry(partName);
    if (!e || d->documents.find(e->name) == d->documents.end())
        return;
    d->modified.insert(e->name);
    d->unsaved = true;
}

bool OoxmlPackage::changed() const
{
    return d->unsaved;
}

bool OoxmlPackage::save(QString* error)
{
    if (!d->unsaved)
        return true;
    if (!d->write(d->path, error))
        return false;
    d->unsaved = false;
    return true;
}

bool OoxmlPackage::saveAs(const QString& path, QString* error)
{
    return d->write(path, error);
}

bool OoxmlPackage::Private::write(const QString& target, QString* error)
{
    QHash<QString, QByteArray> replacements;
    for (const QString& name : modified)
        replacements.insert(name, serialisePartXml(*documents.at(name)));

    // Whether every rewritten part is well-formed (as parsing would find it) is a question of its bytes
    // alone: a second thread answers it while this one deflates them.
    std::future<QString> wellFormed = std::async(std::launch::async | std::launch::deferred, [&replacements] {
        QString problem;
        for (auto it = replacements.cbegin(); problem.isEmpty() && it != replacements.cend(); ++it)
            problem = partXmlProblem(it.key(), it.value());
        return problem;
    });
    QByteArray bytes;
    const bool rewritten = archive.rewrite(replacements, added, &bytes, error);
    const QString notWellFormed = wellFormed.get();
    if (!rewritten)
        return false;

    // Verify what is about to replace the file: every rewritten part well-formed, and a readable archive
    // that holds each of them exactly as serialised.
    ZipArchive written;
    QString verifyError = notWellFormed;
    bool verified = notWellFormed.isEmpty() && written.openBytes(bytes, &verifyError)
        && written.entries().size() == archive.entries().size() + added.size() - removed.size();
    for (auto it = replacements.cbegin(); verified && it != replacements.cend(); ++it) {
        const qsizetype index = written.indexOf(it.key());
        QByteArray data;
        verified = index >= 0 && written.read(written.entries().at(index), kMaxEntrySize, &data, &verifyError)
            && data == it.value();
    }
    if (!verified) {
        setError(error, QStringLiteral("保存前校验失败，文件未修改：%1").arg(verifyError));
        return false;
    }
    // An encrypted package is written encrypted again, with the password it was opened with.
    QByteArray sealed;
    if (encryption && !encryption->seal(bytes, &sealed, error))
        return false;
    return writeFileAtomically(target, encryption ? sealed : bytes, error);
}

} // namespace varnel::office
