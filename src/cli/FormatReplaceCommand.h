#pragma once
// `varnel-cli format-replace --table DEFINITIONS.docx [options] PATH...`: the Word formatted replacement
// without a window. Every match in the Word documents is replaced by the formatted content the definition
// table gives it.

#include "cli/ToolCommand.h"

namespace varnel::cli {

class FormatReplaceCommand : private ToolCommand
{
public:
    FormatReplaceCommand(QTextStream& out, QTextStream& err);

    // args are the arguments after "format-replace"; an ExitStatus.
    int execute(const QStringList& args);

    static QString help();
};

} // namespace varnel::cli
