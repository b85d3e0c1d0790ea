#pragma once
// `varnel-cli width --mode half|full|punct PATH...`: the full-width/half-width converter without a window.

#include <QStringList>
#include <QTextStream>

namespace varnel::cli {

class WidthCommand
{
public:
    WidthCommand(QTextStream& out, QTextStream& err);

    // args are the arguments after "width"; returns an ExitStatus.
    int execute(const QStringList& args);
    static QString help();

private:
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace varnel::cli
