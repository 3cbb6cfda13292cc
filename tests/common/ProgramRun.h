#pragma once
// Runs the built toplu-ekle program as a user would, with a home folder of
// the test's own, so that its journals and default database stay there.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

struct ProgramRun {
    int exitCode = -1;  // -1 when it crashed
    QString out;
    QString err;
};

// Runs `program` with `arguments` in `home`, prices read with the C locale's
// decimal point; its standard output goes to `outputFile` when one is named.
inline ProgramRun runProgram(const QString &program, const QString &home, const QStringList &arguments,
                             const QString &outputFile = {})
{
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// The report's lines after its header, from a CSV report on standard output.
inline QStringList reportLines(const ProgramRun &run)
{
    QStringList lines = run.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines;
}

// A CSV file `name` in `folder` holding `lines` (";"-separated cells); its path.
inline QString writeSheet(const QString &folder, const QString &name, const QStringList &lines)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    return path;
}
