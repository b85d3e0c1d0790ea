#pragma once
// The per-user settings store: string values keyed by (section, key) under the application "Varnel",
// and the main window's values in it (sections "Option" and "Page") with their restore and save orders.

#include "core/ReplaceOptions.h"

#include <QString>

#include <memory>

class QSettings;

namespace varnel {

class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& section, const QString& key, const QString& defaultValue) const = 0;
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
};

// QSettings of organisation and application "Varnel" (or a given file, for tests and portable use).
class QtSettingsStore : public SettingsStore
{
public:
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniFile);
    ~QtSettingsStore() override;

    QString read(const QString& section, const QString& key, const QString& defaultValue) const override;
    void write(const QString& section, const QString& key, const QString& value) override;
    void sync();

private:
    std::unique_ptr<QSettings> m_settings;
};

// The main window's stored values besides the option boxes.
struct MainSettings {
    QString addFilePath;  // G_INI_AddFile_Path: start folder of the add-files dialog
    QString dicFilePath;  // G_INI_DicFile_Path: start folder of the definition-file dialogs
    QString addDir;       // G_INI_ADD_DIR: last folder of the add-folder dialog
    QString addExt;       // G_INI_ADD_EXT: last extension filter of the add-folder dialog
    QString logPath;      // txtLog
    bool excelDictionary = false; // Page/PageIndex == 2
};

// Restores options and values in the stored order. Options are assigned through the interlock with its
// restoring flag set, so the interlocks apply but the wildcard notice stays silent. A stored option that
// is not a decimal integer falls back to its first-start value.
void restoreSettings(const SettingsStore& store, OptionInterlock& interlock, MainSettings& settings,
                     const QString& startupLogPath);

// Saves in the stored order: options, the four folder values, PageIndex, txtLog.
void saveSettings(SettingsStore& store, const ReplaceOptions& options, const MainSettings& settings);

} // namespace varnel
