#include "core/SettingsStore.h"

#include <QSettings>

namespace varnel {

namespace {

const QString kOption = QStringLiteral("Option");
const QString kPage = QStringLiteral("Page");

QString sectionKey(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

// Strict decimal integer; anything else gives the fallback.
int toInt(const QString& text, int fallback)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : fallback;
}

// A check box holds 0, 1 or 2; any other stored value is treated like one that is not a number.
int toBoxValue(const QString& text, int fallback)
{
    const int v = toInt(text, fallback);
    return v >= 0 && v <= 2 ? v : fallback;
}

} // namespace

QtSettingsStore::QtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("Varnel"), QStringLiteral("Varnel")))
{
}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    return m_settings->value(sectionKey(section, key), defaultValue).toString();
}

void QtSettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    m_settings->setValue(sectionKey(section, key), value);
}

void QtSettingsStore::sync()
{
    m_settings->sync();
}

void restoreSettings(const SettingsStore& store, OptionInterlock& interlock, MainSettings& settings,
                     const QString& startupLogPath)
{
    interlock.setRestoring(true);
    settings.logPath = store.read(kOption, QStringLiteral("txtLog"), startupLogPath);
    for (Option option : optionRestoreOrder()) {
        const OptionSpec& spec = optionSpec(option);
        const QString stored = store.read(kOption, QString::fromLatin1(spec.settingsKey),
                                          QString::number(spec.firstStart));
        interlock.assign(option, toBoxValue(stored, spec.firstStart));
    }
    settings.addFilePath = store.read(kOption, QStringLiteral("G_INI_AddFile_Path"), QString());
    settings.dicFilePath = store.read(kOption, QStringLiteral("G_INI_DicFile_Path"), QString());
    settings.addDir = store.read(kOption, QStringLiteral("G_INI_ADD_DIR"), QString());
    settings.addExt = store.read(kOption, QStringLiteral("G_INI_ADD_EXT"), QString());
    interlock.setRestoring(false);
    settings.excelDictionary = toInt(store.read(kPage, QStringLiteral("PageIndex"), QStringLiteral("1")), 1) == 2;
}

void saveSettings(SettingsStore& store, const ReplaceOptions& options, const MainSettings& settings)
{
    for (Option option : optionRestoreOrder())
        store.write(kOption, QString::fromLatin1(optionSpec(option).settingsKey),
                    QString::number(options.value(option)));
    store.write(kOption, QStringLiteral("G_INI_AddFile_Path"), settings.addFilePath);
    store.write(kOption, QStringLiteral("G_INI_DicFile_Path"), settings.dicFilePath);
    store.write(kOption, QStringLiteral("G_INI_ADD_DIR"), settings.addDir);
    store.write(kOption, QStringLiteral("G_INI_ADD_EXT"), settings.addExt);
    store.write(kPage, QStringLiteral("PageIndex"), settings.excelDictionary ? QStringLiteral("2") : QStringLiteral("1"));
    store.write(kOption, QStringLiteral("txtLog"), settings.logPath);
}

} // namespace varnel
