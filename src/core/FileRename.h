#pragma once
// Renaming a file by the run's definitions. The comparison runs the opposite way round from the
// content engines: case-insensitive when ChkMatchCase is on, exact when it is off.

#include "core/ReplaceOptions.h"
#include "core/UserInterface.h"

#include <QString>
#include <QStringList>

namespace varnel {

struct RenameOutcome {
    bool renamed = false; // the file now has (or, in a dry run, would have) the new path
    QString newPath;      // the path the definitions give; equal to the old one when nothing matched
    QString error;        // why the rename failed; empty when none
};

// The name (after the last "/", extension included) with every definition applied in order.
QString replaceInFileName(const QString& name, const QStringList& findTexts, const QStringList& replaceTexts,
                          const ReplaceOptions& options);

// Renames the file at path. A name that would hold a character a Windows file name cannot hold, is
// empty, "." or "..", or names an existing folder gets the invalid-name notice; an existing file of the
// new name gets the overwrite question (No by default) and is then replaced by the rename itself, in one
// step. A failed rename leaves both files as they were and comes back in RenameOutcome::error.
RenameOutcome renameByDefinitions(const QString& path, const QStringList& findTexts,
                                  const QStringList& replaceTexts, const ReplaceOptions& options,
                                  UserInterface& ui, bool dryRun = false);

} // namespace varnel
