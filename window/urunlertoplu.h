#pragma once
// The bulk product import window: the operator's choices, the product grid
// and the lookup lists, bound to the controls the window definition names.
// Controls are public members under their names so that the save (and tests)
// read the choices the way the operator left them.

#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "spreadsheet/SheetColumns.h"

#include "connection/baglanmodul.h"
#include "import/ProgressMeter.h"
#include "import/RowRules.h"
#include "import/SaveReport.h"
#include "import/LookupLists.h"

class FlexGrid;
class GridPreview;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QRect;

namespace dialog {
class CommonDialog;
}

class urunlertoplu : public QWidget {
    Q_OBJECT
public:
    // Creates the window and its controls as the window definition does;
    // lists stay empty until Form_Load or formutemizle. `connection` is the
    // one the lookup lists (and the save) read and write through.
    explicit urunlertoplu(ado::Connection &connection = baglanmodul::baglanti(), QWidget *parent = nullptr);
    ~urunlertoplu() override;

    // The start-up, in order: reads the settings file, chooses the
    // connection text, opens the shared connection, resets the window; then
    // names the connection in the title; a success then. A missing file or
    // an unreachable database stops nothing: the window opens with what the
    // steps left. A settings file whose declared encoding cannot be
    // converted stops right after it is read, nothing opened: the failure's
    // reason is the operator's message (baglanmodul::encodingRefusal), and
    // the program shows it and ends. Only tests pass another settings path.
    platform::Outcome Form_Load(const QString &settingsPath = baglanmodul::settingsFilePath());

    // The tool's name, as the title bar and the message boxes show it.
    static QString toolName();

    // Title for a connection and the list on the grid: the list's file
    // name, what the window is connected to (or that there is no database
    // and why), then the tool's name. Never holds a password.
    static QString titleFor(const ado::Connection &connection, const QString &sheetPath = {});

    // Refill a list pair from the database; both lists keep the leading
    // entry when the read fails or finds nothing (then nothing is selected),
    // otherwise both stand at position 0. Returns what the read found and
    // why it failed, if it did.
    import::lookup::ReadResult grublarigetir();
    import::lookup::ReadResult kdvlarigetir();
    import::lookup::ReadResult yazicilarigetir();

    // Puts every input back to its start: id, groups, unit "Adet", tax
    // templates, printers, colour MAVİ, text colour SİYAH, goster unchecked,
    // altmenu empty, then the empty grid. A failure when a list could not
    // be read; its detail has a line for each such list. The operator is
    // not told: the lists stay as short as the reads left them.
    platform::Outcome formutemizle();

    // Empties the grid to its header row and one empty row, four columns,
    // with the standard widths.
    void basliklariyaz();

    // Empties the grid to its header and fills it from the spreadsheet at
    // `path` (nothing more for an empty path): by its header row when it has
    // one, the list's own group, unit, printer, colour and sub-menu tag
    // columns after the price; else columns A–C. Tells the operator in one
    // message box why a file was refused or read in part, and how a list
    // with a header was read.
    void loadSpreadsheet(const QString &path);
    // How reading the spreadsheet last loaded went.
    const spreadsheet::ReadOutcome &lastLoad() const { return m_lastLoad; }

    // The kinds of file the open dialog offers, every readable kind first.
    static QString openFilter();

    // Event handlers, under the names of the control events they serve.
    void Command1_Click();
    void cik_Click();
    void Grup_Click();
    void Grup_Change();
    void kdv_Click();
    void yazici_Click();
    void renk1_Click();
    void renk2_Click();
    void satisekrani2_RowNotification();
    void kaydet_Click();
    void exportMenu_Click();

    // The controls, in the order the window definition creates them.
    QPushButton *Command1;
    QComboBox *Grup;
    QComboBox *kdv;
    QLineEdit *fiyat;
    QComboBox *birim;
    QComboBox *yazici;
    QCheckBox *goster;
    QComboBox *renk1;
    QComboBox *renk2;
    QPushButton *kaydet;
    QPushButton *cik;
    QLineEdit *id;
    QComboBox *yaziciid;
    QLineEdit *altmenu;
    QComboBox *kdvid;
    QComboBox *Grupid;
    FlexGrid *satisekrani2;
    // Delete and the grid's context menu: removes the selected rows.
    QAction *removeRowsAction;
    dialog::CommonDialog *dlg;
    QLabel *say;
    QLabel *sayBaslik;  // what the counter counts
    std::map<int, QLabel *> baslik;  // indexes 0-3 and 5-8
    QLabel *islem;
    std::map<int, QLabel *> eeeee;  // index 7
    // Writes the whole menu to a workbook to edit and load again.
    QPushButton *exportMenu;

    // The import preview: every row's fate on the grid, summed up in `ozet`.
    GridPreview *preview;
    QLabel *ozet;
    // Rows whose barcode is a menu item's change its price (and, with the
    // second box, its name): the preview shows it, the save's question offers it.
    QCheckBox *updatePrices;
    QCheckBox *updateNames;

    // The operator's choices as the save takes them.
    import::SaveChoices saveChoices() const;
    // Puts the preview's line into `ozet`, in the largest font it fits in.
    void showSummary(const QString &summary);

    // Colour texts of the chosen button colour and the (unused) text colour.
    QString butonrengi;
    QString yazirengi;

    // The connection the lists read through and the save writes through.
    ado::Connection &baglanti;

    // The clock that paces a save's display; empty: the steady clock. Only
    // tests set it.
    import::ProgressMeter::Clock saveClock;

    // Asks where to write the rows a save did not land, offering
    // `suggested` (a name, in a folder when one is known); returns the .xlsx
    // path, "" when the operator cancels.
    // Empty: a save-file dialog. Only tests set it.
    using PathPrompt = std::function<QString(QWidget *parent, const QString &suggested)>;
    PathPrompt keptRowsPrompt;
    // The same for the workbook the menu is exported to.
    PathPrompt exportPrompt;

    // The grid's rows that hold a product (or a part of one).
    int unsavedProducts() const;
    // Removes the grid rows that hold the selection (or the cursor); an
    // emptied grid keeps one empty row to type into.
    void removeSelectedRows();

protected:
    // The grid grows with the window; the controls on the right follow its
    // right edge, the buttons under the grid its bottom edge.
    void resizeEvent(QResizeEvent *event) override;
    // Products typed or loaded and not saved are not dropped without a question.
    void closeEvent(QCloseEvent *event) override;
    // A single local file dropped on the window or the grid loads as if it
    // had been picked with Command1; nothing is taken while a save runs.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class DuplicateAnswer { Skip, AddAnyway, UpdatePrices, Cancel };
    // Asks whether to leave duplicates out ("Atla", the default), write them
    // too ("Yine de ekle"), give registered items the file's prices
    // ("Fiyatları Güncelle") or write nothing ("Vazgeç", also the Escape key).
    // With `backByDefault` (the question also warns of choices left as they
    // were), "Vazgeç" is the default instead.
    DuplicateAnswer askAboutDuplicates(const QString &question, bool backByDefault);
    // Warns of choices the save would take as they are ("Geri Dön", the
    // default, or "Yine de Kaydet"); true to save all the same.
    bool askAboutChoices(const QString &text);
    // What the save does with the grid's rows after `answer`: the preview is
    // switched to the answer's mode first, so that what it shows is what is written.
    import::SavePlan planFor(DuplicateAnswer answer);
    static QString droppedFile(const QMimeData *data);
    // A message box with only an OK button, no icon and the tool's name.
    void showMessage(const QString &text);
    // The completion message of a save whose rows were judged `judged` as
    // it began, captioned "Toplu Ürün Eklendi" when products were added;
    // with "Geri Al" when `journal` (the journal of a save that landed rows)
    // is given, and "Kalanları Kaydet…" when rows did not land; each offered
    // until it was used.
    void reportSave(const import::SaveResult &result, const QList<import::RowPreview> &judged,
                    const QList<import::RowNotLanded> &kept, const QString &journal);
    // Asks whether to undo what `result` wrote; the default is not to.
    bool confirmUndo(const import::SaveResult &result);
    // Writes `kept` to a workbook the operator names (offered beside the
    // list they came from) and says where; false when cancelled or refused.
    bool saveKeptRows(const QList<import::RowNotLanded> &kept);
    // How a control follows the window when it is enlarged.
    enum class Anchor { TopLeft, Right, Grow, BottomWide, BottomRight };
    struct Placement {
        QWidget *control;
        QRect designed;  // pixels, at the window's designed size
        Anchor anchor;
    };
    void anchor(QWidget *control, Anchor anchor);
    // Column 2, the product name, takes the width the other columns leave.
    void fitNameColumn();
    template <typename Control>
    Control *place(Control *control, const char *name, const QRect &twipsRect, double points, int tabIndex);
    QLabel *makeLabel(const QString &text, const QRect &twipsRect, double points, const QColor &colour, int tabIndex);
    QCheckBox *makeCheckBox(const char *name, const QString &text, const QRect &twipsRect, int tabIndex);
    QComboBox *makeList(const char *name, const QStringList &entries, const QRect &twipsRect, int tabIndex, bool editable = false);
    void createControls();
    void createPreview();
    void connectEvents();
    void applyTabOrder();
    import::lookup::ReadResult fillPair(QComboBox *list, QComboBox *ids, const import::lookup::PairSource &source);
    void setColumnWidths();
    // Puts the list of `sheetRows` into the emptied grid; what the operator
    // is told about how its columns were read.
    QString showList(const spreadsheet::RowStore &sheetRows);

    std::vector<std::pair<int, QWidget *>> m_tabOrder;
    std::vector<Placement> m_placements;
    QSize m_designSize;
    spreadsheet::ReadOutcome m_lastLoad;
    QString m_sheetPath;  // the spreadsheet on the grid: the title, the journal, the kept rows' folder
    bool m_leaving = false;  // the close was decided: no question about unsaved rows
};
