#pragma once
// Stands in for the common dialog control: a file name set before and read
// after, flags, and a modal file-open dialog over QFileDialog.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

namespace dialog {

// The file-must-exist flag of the open dialog: only an existing file is
// accepted.
constexpr int cdlOFNFileMustExist = 0x1000;

// What the open dialog is asked for: the file-name text (a name, a path or a
// pattern such as "*.xls") and the flags.
struct OpenRequest {
    QString fileName;
    int flags = 0;
    // Pairs of "description|patterns", joined by "|", patterns separated by
    // ";" ("Excel|*.xls;*.xlsx|Metin|*.csv"); the first pair is offered first.
    QString filter;
    // The folder shown first when the file name names none; "" (or a folder
    // that is gone): the working folder.
    QString initDir{};
};

// The modal part: shows the dialog and returns the chosen path, "" on cancel.
using OpenPrompt = std::function<QString(QWidget *parent, const OpenRequest &request)>;

// A QFileDialog set up for `request`: the filter's pairs become its name
// filters, the first one chosen; without a filter, a file name with a
// wildcard lists the entries of its folder (initDir, else the working
// folder, when it names none) that match it; a plain name is preselected;
// cdlOFNFileMustExist accepts existing files only, otherwise any name.
// Never shown here.
std::unique_ptr<QFileDialog> makeOpenDialog(QWidget *parent, const OpenRequest &request);

// Runs makeOpenDialog's dialog modally: the chosen path, or "" on cancel.
QString runOpenDialog(QWidget *parent, const OpenRequest &request);

class CommonDialog : public QObject {
    Q_OBJECT
public:
    // The dialog runs over `parent`'s window; the prompt is runOpenDialog.
    explicit CommonDialog(QWidget *parent = nullptr);

    // The file name: set before ShowOpen, the operator's choice after it ("" after a cancel).
    QString FileName() const { return m_request.fileName; }
    void setFileName(const QString &fileName) { m_request.fileName = fileName; }
    int Flags() const { return m_request.flags; }
    void setFlags(int flags) { m_request.flags = flags; }
    // The kinds of file offered, as "description|patterns|..." (see OpenRequest).
    QString Filter() const { return m_request.filter; }
    void setFilter(const QString &filter) { m_request.filter = filter; }
    // The folder the dialog opens in (see OpenRequest::initDir).
    QString InitDir() const { return m_request.initDir; }
    void setInitDir(const QString &folder) { m_request.initDir = folder; }

    // Shows the open dialog and waits; FileName then holds the chosen path,
    // or "" when the operator cancelled.
    void ShowOpen();

    // Replaces the modal part (tests answer without a dialog); an empty
    // prompt restores runOpenDialog.
    void setPrompt(OpenPrompt prompt);

private:
    QWidget *m_parent;
    OpenRequest m_request;
    OpenPrompt m_prompt;
};

}  // namespace dialog
