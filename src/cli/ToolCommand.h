#pragma once
// What the tool commands (width, format-replace, excel-scope) share: their output streams, usage errors
// prefixed with the command's name, and the arguments every one of them takes besides its own options:
// -h/--help, -R and the PATH arguments, which name files and folders.

#include <QStringList>
#include <QTextStream>

#include <optional>

namespace varnel::cli {

class ToolCommand
{
protected:
    // name: the command as typed ("width"); help: its usage text.
    ToolCommand(QTextStream& out, QTextStream& err, const QString& name, const QString& help);

    // Takes an argument none of the command's own options took. nullopt when the arguments go on;
    // otherwise the exit status to end with (after the help, or the usage error of an unknown option).
    std::optional<int> takeCommon(const QString& arg);
    // Puts the value following the option at args[*i] into *value and moves *i on to it; false (after
    // the usage error) when there is none.
    bool takeValue(const QStringList& args, qsizetype* i, QString* value);

    // The files the PATH arguments name, folders giving their files of these types; nullopt (after the
    // usage error) when an argument names nothing.
    std::optional<QStringList> files(const QStringList& folderTypes);
    const QStringList& paths() const { return m_paths; }

    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;

private:
    QString m_name;
    QString m_help;
    bool m_recursive = false;
    QStringList m_paths;
};

} // namespace varnel::cli
