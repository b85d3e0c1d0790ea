#pragma once
// `varnel-cli format-replace --table DEFINITIONS.docx [options] PATH...`: the Word formatted replacement
// without a window. Every match in the Word documents is replaced by the formatted content the definition
// table gives it.

#include <QStringList>
#include <QTextStream>

namespace varnel::cli {

class FormatReplaceCommand
{
public:
    FormatReplaceCommand(QTextStream& out, QTextStream& err);

    // args are the arguments after "format-replace"; an ExitStatus.
    int execute(const QStringList& args);

    static QString help();

private:
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace varnel::cli
