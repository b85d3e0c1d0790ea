#pragma once
// `varnel-cli width --mode half|full|punct PATH...`: the full-width/half-width converter without a window.

#include "cli/ToolCommand.h"

namespace varnel::cli {

class WidthCommand : private ToolCommand
{
public:
    WidthCommand(QTextStream& out, QTextStream& err);

    // args are the arguments after "width"; returns an ExitStatus.
    int execute(const QStringList& args);
    static QString help();
};

} // namespace varnel::cli
