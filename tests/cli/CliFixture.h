#pragma once
// Runs one varnel-cli command in-process against a temporary folder, with the log kept there and its
// standard output and error captured.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

namespace varnel::test {

template<typename Command>
struct CliFixture {
    QTemporaryDir dir;
    QString out;
    QString err;

    QString path(const QString& name) const { return dir.filePath(name); }
    int run(QStringList args)
    {
        out.clear();
        err.clear();
        QTextStream o(&out);
        QTextStream e(&err);
        args << "--log" << path("log.txt");
        return Command(o, e).execute(args);
    }
};

} // namespace varnel::test
