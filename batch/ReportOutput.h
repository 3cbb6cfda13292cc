#pragma once
// Where the row report goes, standard output or a file, every write checked:
// a report that never reached its file must not pass for one that did.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>

namespace batch {

class ReportOutput {
public:
    // Opens the file at `path`, emptying it, or `out` when `path` is "";
    // false, with error() set, when it cannot be opened.
    bool open(const QString &path, std::FILE *out);
    // Writes `bytes` and pushes them through every buffer to the file; false,
    // with error() set, when they did not all get there, and from then on.
    bool write(const QByteArray &bytes);
    // Flushes and closes the report; false, with error() set, when anything
    // written was lost, now or before.
    bool close();
    // The report's name and why it could not be opened or written; "" while
    // every write went through.
    QString error() const { return m_error; }

private:
    bool fail();

    QFile m_file;
    QString m_name;
    QString m_error;
};

}  // namespace batch
