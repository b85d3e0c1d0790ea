#pragma once
// The command line's answers to the run's questions come from its flags; messages go to standard error,
// the summary to standard output.

#include "core/UserInterface.h"

#include <QTextStream>

namespace varnel::cli {

class CliUserInterface : public UserInterface
{
public:
    CliUserInterface(QTextStream& out, QTextStream& err);

    // "No" to the unknown-extension question treats such files as text (default "Yes": stop).
    void setUnknownAsText(bool on) { m_unknownAsText = on; }
    // "Yes" to the overwrite question of a rename (default "No").
    void setOverwrite(bool on) { m_overwrite = on; }
    // Print no summary text (the JSON summary object replaces it).
    void setQuietSummary(bool on) { m_quietSummary = on; }

    void notice(const QString& text, Icon icon = Icon::Information, const QString& title = {}) override;
    Answer ask(Question question, const QString& text, Buttons buttons, Answer defaultAnswer) override;
    void showSummary(const QString& text) override;
    void openFixer(Fixer fixer) override;
    void progress(const QString& status) override;
    void openInTextEditor(const QString& path) override;

private:
    QTextStream& m_out;
    QTextStream& m_err;
    bool m_unknownAsText = false;
    bool m_overwrite = false;
    bool m_quietSummary = false;
};

// CR LF line ends of the program's messages as the terminal's line ends.
QString terminalText(QString text);

} // namespace varnel::cli
