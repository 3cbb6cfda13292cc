#pragma once
// The import preview of the product grid, kept live: every data row's fate
// as the save would decide it, shown as the rows' colours and tooltips and
// summed up in one line.

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>

#include "import/ListColumns.h"
#include "import/RowPreview.h"
#include "platform/ado/Connection.h"
#include "platform/grid/RowDecoration.h"

class FlexGrid;
class FlexGridModel;

class GridPreview : public QObject, public RowDecoration {
    Q_OBJECT
public:
    using ChoicesSource = std::function<import::SaveChoices()>;

    // Decorates `grid` from now on; `choices` gives the operator's current
    // choices, `connection` the database whose barcodes count as taken.
    GridPreview(FlexGrid &grid, const ado::Connection &connection, ChoicesSource choices, QObject *parent = nullptr);
    ~GridPreview() override;
    GridPreview(const GridPreview &) = delete;
    GridPreview &operator=(const GridPreview &) = delete;

    // Judges every row again; barcodes not asked about before are looked up
    // in the database first, in one pass.
    void update();
    // Grid rows `first` to `last` changed their texts and nothing else did:
    // only they, and the rows sharing their barcodes, are judged again. A
    // changed shape or a long range judges every row.
    void rowsChanged(int first, int last);
    // Forgets what the database said (after a save wrote to it) and updates.
    void refresh();

    // The verdicts, previews()[0] for grid row 1.
    const QList<import::RowPreview> &previews() const { return m_verdicts.previews(); }
    // One line for the window, "" while the grid holds no product; without
    // a database, that there is none and why, instead of rows to add.
    QString summary() const;
    // Why `connection` is not open, in the operator's words.
    static QString noDatabaseReason(const ado::Connection &connection);
    // Why the last look-up of barcodes failed, "" when it did not.
    QString lookupError() const { return m_lookupError; }

    // The colour of a row's fate; the grid's own for rows to be added as they are.
    QColor background(int row) const override;
    // The row's fate and reasons; on the name cell also the full name.
    QString toolTip(int row, int col) const override;

    // What each row colour means, in the order the legend lists them; the
    // first is the grid's own colour, for rows added as they are.
    struct LegendEntry {
        QColor colour;
        QString text;
    };
    static QList<LegendEntry> legend();
    // The legend as a rich-text table, for a tooltip.
    static QString legendHtml();

    // Grid rows 1 to Rows - 1 of `grid`: columns 1-3, then the list's own
    // `ownFields` in the columns after them.
    static QList<import::ProductRow> productRows(const FlexGrid &grid, const QList<import::ListField> &ownFields = {});
    // The per-row fields the grid's columns after the price hold, as the
    // last list loaded brought them; none by default.
    void setOwnFields(const QList<import::ListField> &fields);
    const QList<import::ListField> &ownFields() const { return m_ownFields; }

signals:
    // The verdicts were computed anew.
    void changed();

private:
    static import::ProductRow productRow(const FlexGrid &grid, int row, const QList<import::ListField> &ownFields);
    const import::RowPreview *previewOf(int row) const;
    // What a row's records take, for the tooltip of a list with own columns.
    QString valuesLine(const import::RowValues &values) const;
    // Asks the database about the barcodes among `barcodes` not asked before.
    import::ExistingBarcodes lookUpNew(const QStringList &barcodes);
    void repaint();

    FlexGrid &m_grid;
    QPointer<FlexGridModel> m_model;  // gone first when the window takes both down
    const ado::Connection &m_connection;
    ChoicesSource m_choices;
    import::ExistingBarcodes m_existing;
    QSet<QString> m_asked;  // barcodes the database was asked about
    import::ChoiceRecords m_records;  // the categories and printers rows' own cells name
    bool m_recordsRead = false;
    QList<import::ListField> m_ownFields;
    QString m_lookupError;
    import::GridVerdicts m_verdicts;
};
