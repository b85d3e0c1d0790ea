#pragma once
// A UserInterface for tests: records every message and answers questions from a script.

#include "core/UserInterface.h"
#include "support/QtPrinters.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace varnel::test {

class RecordingUi : public UserInterface
{
public:
    struct Asked {
        Question question;
        QString text;
        Buttons buttons;
        Answer defaultAnswer;
    };

    void notice(const QString& text, Icon = Icon::Information, const QString& = {}) override { notices.append(text); }
    Answer ask(Question question, const QString& text, Buttons buttons, Answer defaultAnswer) override
    {
        questions.append({question, text, buttons, defaultAnswer});
        return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
    }
    void skippableNotice(const QString& text) override { skippableNotices.append(text); }
    void showSummary(const QString& text) override { summaries.append(text); }
    void openFixer(Fixer fixer) override { fixers.append(fixer); }
    void progress(const QString& status) override { progressTexts.append(status); }
    void openInTextEditor(const QString& path) override { openedInEditor.append(path); }

    // Answers given to the next questions, in order; the default answer once they run out.
    QList<Answer> answers;

    QStringList notices;
    QStringList skippableNotices;
    QList<Asked> questions;
    QStringList summaries;
    QList<Fixer> fixers;
    QStringList progressTexts;
    QStringList openedInEditor;
};

} // namespace varnel::test
