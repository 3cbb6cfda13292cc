#pragma once
// A file of given bytes in a folder of its own that goes with the object.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class ScratchFile {
public:
    // Writes `bytes` to a file named `name`; ok() says whether it could.
    ScratchFile(const QString &name, const QByteArray &bytes) : path_(dir_.filePath(name))
    {
        QFile file(path_);
        ok_ = dir_.isValid() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    }

    bool ok() const { return ok_; }
    const QString &path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
    bool ok_ = false;
};
