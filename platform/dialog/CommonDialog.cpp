#include "platform/dialog/CommonDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace dialog {

namespace {

bool isPattern(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?');
}

// "Excel|*.xls;*.xlsx|Metin|*.csv" -> {"Excel (*.xls *.xlsx)", "Metin (*.csv)"};
// a description without its patterns is dropped.
QStringList nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), parts.at(i + 1).split(u';').join(u' '));
    return filters;
}

}  // namespace

std::unique_ptr<QFileDialog> makeOpenDialog(QWidget *parent, const OpenRequest &request)
{
    auto fileDialog = std::make_unique<QFileDialog>(parent);
    fileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog->setFileMode((request.flags & cdlOFNFileMustExist) != 0 ? QFileDialog::ExistingFile
                                                                        : QFileDialog::AnyFile);
    const QFileInfo given(request.fileName);
    const QString folder = request.fileName.contains(u'/') || request.fileName.contains(u'\\')
                               ? given.absolutePath()
                           : !request.initDir.isEmpty() && QFileInfo(request.initDir).isDir() ? request.initDir
                                                                                                : QDir::currentPath();
    fileDialog->setDirectory(folder);
    if (const QStringList filters = nameFilters(request.filter); !filters.isEmpty())
        fileDialog->setNameFilters(filters);
    else if (isPattern(given.fileName()))
        fileDialog->setNameFilter(given.fileName());
    if (!isPattern(given.fileName()) && !request.fileName.isEmpty())
        fileDialog->selectFile(given.fileName());
    return fileDialog;
}

QString runOpenDialog(QWidget *parent, const OpenRequest &request)
{
    const std::unique_ptr<QFileDialog> fileDialog = makeOpenDialog(parent, request);
    if (fileDialog->exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = fileDialog->selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

CommonDialog::CommonDialog(QWidget *parent)
    : QObject(parent)
    , m_parent(parent)
    , m_prompt(runOpenDialog)
{
}

void CommonDialog::ShowOpen()
{
    m_request.fileName = m_prompt(m_parent, m_request);
}

void CommonDialog::setPrompt(OpenPrompt prompt)
{
    m_prompt = prompt ? std::move(prompt) : OpenPrompt(runOpenDialog);
}

}  // namespace dialog
