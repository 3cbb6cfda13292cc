#include "batch/ReportOutput.h"

#include <QDir>

namespace batch {

bool ReportOutput::open(const QString &path, std::FILE *out)
{
    if (path.isEmpty()) {
        m_name = QStringLiteral("standart çıktı / standard output");
        return m_file.open(out, QIODevice::WriteOnly) || fail();
    }
    m_name = QDir::toNativeSeparators(path);
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate) || fail();
}

bool ReportOutput::write(const QByteArray &bytes)
{
    if (!m_error.isEmpty())
        return false;
    // A full disk shows only when the bytes leave the buffers: flushing each
    // piece tells at once, before more targets are imported unreported.
    return (m_file.write(bytes) == bytes.size() && m_file.flush()) || fail();
}

bool ReportOutput::close()
{
    if (!m_error.isEmpty())
        return false;
    // close() keeps the error of its own flush or of the file's closing.
    m_file.close();
    return m_file.error() == QFileDevice::NoError || fail();
}

bool ReportOutput::fail()
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1 (%2)").arg(m_name, m_file.errorString());
    return false;
}

}  // namespace batch
