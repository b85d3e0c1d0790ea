#include "cli/CliUserInterface.h"

namespace varnel::cli {

QString terminalText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

CliUserInterface::CliUserInterface(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{
}

void CliUserInterface::notice(const QString& text, Icon icon, const QString& title)
{
    Q_UNUSED(icon);
    if (!title.isEmpty())
        m_err << title << QStringLiteral("：");
    m_err << terminalText(text) << Qt::endl;
}

UserInterface::Answer CliUserInterface::ask(Question question, const QString& text, Buttons buttons,
                                            Answer defaultAnswer)
{
    Q_UNUSED(buttons);
    switch (question) {
    case Question::UnknownExtension:
        if (m_unknownAsText)
            return Answer::No;
        m_err << terminalText(text) << Qt::endl
              << QStringLiteral("未知格式的文件结束了本次替换，没有修改任何文件（用 --unknown-as-text 把它作为文本文件处理）。")
              << Qt::endl;
        return Answer::Yes;
    case Question::OverwriteOnRename:
        if (m_overwrite)
            return Answer::Yes;
        m_err << terminalText(text) << Qt::endl << QStringLiteral("未覆盖（用 --overwrite 覆盖）。") << Qt::endl;
        return Answer::No;
    case Question::ViewLog:
        return Answer::Cancel;
    case Question::Other:
        break;
    }
    return defaultAnswer;
}

void CliUserInterface::showSummary(const QString& text)
{
    if (!m_quietSummary)
        m_out << terminalText(text) << Qt::endl;
}

void CliUserInterface::openFixer(Fixer fixer)
{
    switch (fixer) {
    case Fixer::AddDefinition:
        m_err << QStringLiteral("用 -f 查找内容 -r 替换内容，或 -d 定义文件 给出替换定义。") << Qt::endl;
        break;
    case Fixer::ChooseDictionary:
        m_err << QStringLiteral("用 -x 给出替换定义Excel工作簿。") << Qt::endl;
        break;
    case Fixer::ChooseLogFile:
        m_err << QStringLiteral("用 --log 给出日志文件。") << Qt::endl;
        break;
    }
}

void CliUserInterface::progress(const QString& status)
{
    Q_UNUSED(status);
}

void CliUserInterface::openInTextEditor(const QString& path)
{
    Q_UNUSED(path);
}

} // namespace varnel::cli
