#pragma once
// The interface between the run driver and the engine of each document type. The core defines it and
// holds the text engine; the programs register the Word, Excel and PowerPoint engines they were built with.

#include "core/ReplaceOptions.h"
#include "core/UserInterface.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace varnel {

// The type a file counts as in the summary, fixed by its extension.
enum class DocumentKind { Word, Excel, PowerPoint, Pdf, Text };

// Word (.doc .docx .rtf), Excel (.xls .xlsx .xlsm), PowerPoint (.ppt .pptx), .pdf, otherwise text.
DocumentKind documentKindOf(const QString& path);
// "Word文档", "Excel文档", "PPT", "PDF文档", "文本文件".
QString documentKindName(DocumentKind kind);

struct EngineRequest {
    EngineRequest(const QStringList& finds, const QStringList& replaces, const ReplaceOptions& opts, bool dry = false)
        : findTexts(finds)
        , replaceTexts(replaces)
        , options(opts)
        , dryRun(dry)
    {
    }

    const QStringList& findTexts;    // the run's definitions, in their final order
    const QStringList& replaceTexts; // parallel to findTexts
    const ReplaceOptions& options;   // read when the file is processed
    bool dryRun = false;             // compute everything, write nothing
    bool fromDictionary = false;     // the definitions came from the Excel dictionary workbook
    QString password;                // the open password of encrypted packages; empty for none
    UserInterface* ui = nullptr;     // for the few messages an engine shows itself; null for none
    QString progressCaption;         // the run's progress text for this file ("正在处理第 3 个文件")
    QString displayPath;             // the path the user knows the file by, when the engine is handed a
                                     // working copy; empty: the path given to replace()

    // The path to show in messages about the file.
    QString shownPath(const QString& path) const { return displayPath.isEmpty() ? path : displayPath; }
};

struct EngineResult {
    bool changed = false;  // the content changed and was saved (or would be, in a dry run)
    int replacements = 0;  // replacements made
    QString error;         // description of the last failure, for the log line; empty when none
};

class DocumentEngine
{
public:
    virtual ~DocumentEngine() = default;
    // Never throws and never shows a message: failures come back in EngineResult::error, and a file that
    // fails or in which nothing changed is left byte-identical.
    virtual EngineResult replace(const QString& path, const EngineRequest& request) = 0;
};

// Engines by extension (lower case, with the dot). Text files need no entry: the run driver sends every
// file that is not Word, Excel, PowerPoint or PDF to the text engine.
class EngineRegistry
{
public:
    void add(const QStringList& extensions, std::shared_ptr<DocumentEngine> engine);
    DocumentEngine* engineFor(const QString& extension) const;
    bool supports(const QString& extension) const { return engineFor(extension) != nullptr; }

private:
    QHash<QString, std::shared_ptr<DocumentEngine>> m_engines;
};

} // namespace varnel
