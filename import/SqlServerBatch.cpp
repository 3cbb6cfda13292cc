#include "import/SqlServerBatch.h"

#include <QSqlError>

#include <algorithm>
#include <array>
#include <numeric>

#include "import/PosLayout.h"

namespace import {

namespace {

constexpr int kServerParameterLimit = 2100;
constexpr int kMostRowsPerBatch = 250;

const QString kTransaction;  // failures of the transaction itself name no table

// The shared sources and the variables that hold them in the batch, in the
// order their values are bound.
struct SharedVariable {
    Source source;
    const char *name;
};
constexpr std::array kSharedVariables{
    SharedVariable{Source::Group, "@group"},           SharedVariable{Source::Multiplier, "@multiplier"},
    SharedVariable{Source::ButtonColor, "@buttonColor"}, SharedVariable{Source::SubMenuTag, "@subMenuTag"},
    SharedVariable{Source::PrinterId, "@printerId"},
};

// A text is never sent as NULL: an empty grid cell is the empty text.
QString text(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

// The change `row` makes; a new item's row binds an update's columns as one
// that changes nothing.
const ItemUpdate &updateOf(const RowToWrite &row)
{
    static const ItemUpdate none;
    return row.update ? *row.update : none;
}

// The columns bound for a row, in this order, the variables the loop reads
// them into and the value each takes from the row. An update puts its new
// name and price in Name and Price, so that the price record it creates is
// written as a new item's is. A new item's own values go into the variables
// that hold the window's, for its row only.
struct RowColumn {
    const char *column;
    const char *type;
    const char *variable;
    QVariant (*value)(const RowToWrite &row);
    bool updateOnly = false;  // read only for an update: a new item's row skips the work
    OwnValue own{};           // one of the row's own values: its variable is a shared one

    bool isOwn() const { return own != OwnValue{}; }
    bool boundIn(BatchShape shape) const
    {
        return isOwn() ? shape.values.testFlag(own) : !updateOnly || shape.withUpdates;
    }
    QString name() const { return QString::fromLatin1(column); }
    QString declaredAs() const { return QStringLiteral("%1 %2").arg(name(), QLatin1StringView(type)); }
    QString variableDeclaredAs() const
    {
        return QStringLiteral("%1 %2").arg(QLatin1StringView(variable), QLatin1StringView(type));
    }
    // Reads the column into its variable.
    QString read() const { return QStringLiteral("%1 = %2").arg(QLatin1StringView(variable), name()); }
};
constexpr std::array kRowColumns{
    RowColumn{"Barcode", "nvarchar(4000)", "@barcode",
              [](const RowToWrite &row) -> QVariant { return text(row.product.barcode); }},
    RowColumn{"Name", "nvarchar(4000)", "@name",
              [](const RowToWrite &row) -> QVariant {
                  return text(row.update ? row.update->newName.value_or(QString()) : row.product.name);
              }},
    RowColumn{"Price", "float", "@price",
              [](const RowToWrite &row) -> QVariant {
                  return row.update ? row.update->newPrice.value_or(0) : row.product.price;
              }},
    RowColumn{"IsUpdate", "bit", "@isUpdate", [](const RowToWrite &row) -> QVariant { return row.update.has_value(); }},
    RowColumn{"GroupName", "nvarchar(4000)", "@group",
              [](const RowToWrite &row) -> QVariant { return text(row.values.group); }, false, OwnValue::Group},
    RowColumn{"Multiplier", "nvarchar(4000)", "@multiplier",
              [](const RowToWrite &row) -> QVariant { return text(row.values.multiplier); }, false,
              OwnValue::Multiplier},
    RowColumn{"ButtonColor", "nvarchar(4000)", "@buttonColor",
              [](const RowToWrite &row) -> QVariant { return text(row.values.buttonColor); }, false,
              OwnValue::ButtonColor},
    RowColumn{"SubMenuTag", "nvarchar(4000)", "@subMenuTag",
              [](const RowToWrite &row) -> QVariant { return text(row.values.subMenuTag); }, false,
              OwnValue::SubMenuTag},
    // A row of a batch with own printers maps its item only when it names a printer.
    RowColumn{"PrinterId", "nvarchar(4000)", "@printerId",
              [](const RowToWrite &row) -> QVariant { return text(row.values.printerId.value_or(QString())); },
              false, OwnValue::Printer},
    RowColumn{"WithPrinter", "bit", "@withPrinter",
              [](const RowToWrite &row) -> QVariant { return row.values.printerId.has_value(); }, false,
              OwnValue::Printer},
    RowColumn{"ItemId", "bigint", "@item", [](const RowToWrite &row) -> QVariant { return updateOf(row).itemId; }, true},
    RowColumn{"PortionId", "bigint", "@portion",
              [](const RowToWrite &row) -> QVariant { return updateOf(row).portionId; }, true},
    // 0: the update creates the price record
    RowColumn{"PriceId", "bigint", "@priceId",
              [](const RowToWrite &row) -> QVariant { return updateOf(row).priceId.value_or(0); }, true},
    RowColumn{"OldPrice", "float", "@oldPrice",
              [](const RowToWrite &row) -> QVariant { return updateOf(row).oldPrice.value_or(0); }, true},
    RowColumn{"SetPrice", "bit", "@setPrice",
              [](const RowToWrite &row) -> QVariant { return updateOf(row).newPrice.has_value(); }, true},
    RowColumn{"OldName", "nvarchar(4000)", "@oldName",
              [](const RowToWrite &row) -> QVariant { return text(updateOf(row).oldName); }, true},
    RowColumn{"SetName", "bit", "@setName",
              [](const RowToWrite &row) -> QVariant { return updateOf(row).newName.has_value(); }, true},
};

int columnCount(BatchShape shape)
{
    return int(std::count_if(kRowColumns.cbegin(), kRowColumns.cend(),
                             [shape](const RowColumn &column) { return column.boundIn(shape); }));
}

// `part` of the row columns `keep` keeps, as a list.
template <typename Keep>
QString eachRowColumn(QString (RowColumn::*part)() const, Keep keep)
{
    QStringList parts;
    for (const RowColumn &column : kRowColumns) {
        if (keep(column))
            parts << (column.*part)();
    }
    return parts.join(QStringLiteral(", "));
}

QString eachRowColumn(QString (RowColumn::*part)() const, BatchShape shape)
{
    return eachRowColumn(part, [shape](const RowColumn &column) { return column.boundIn(shape); });
}

// Reads row @i into the variables; a new item's row reads only its own
// values, and a batch of new items only holds those.
QString rowReads(BatchShape shape)
{
    const QString everyRow =
        QStringLiteral("  SELECT %1 FROM @rows WHERE RowNo = @i;\n")
            .arg(eachRowColumn(&RowColumn::read,
                               [shape](const RowColumn &column) { return !column.updateOnly && column.boundIn(shape); }));
    if (!shape.withUpdates)
        return everyRow;
    return everyRow + QStringLiteral("  IF @isUpdate = 1 SELECT %1 FROM @rows WHERE RowNo = @i;\n")
                          .arg(eachRowColumn(&RowColumn::read, [](const RowColumn &column) { return column.updateOnly; }));
}

// The variables of the row's own values and of the ids written before.
QString rowVariable(Source source)
{
    switch (source) {
    case Source::Barcode:
        return QStringLiteral("@barcode");
    case Source::Name:
        return QStringLiteral("@name");
    case Source::Price:
        return QStringLiteral("@price");
    case Source::ItemId:
        return QStringLiteral("@item");
    case Source::PortionId:
        return QStringLiteral("@portion");
    case Source::CategoryId:
        return QStringLiteral("@category");
    default:
        break;
    }
    for (const SharedVariable &shared : kSharedVariables) {
        if (shared.source == source)
            return QString::fromLatin1(shared.name);
    }
    return {};
}

const std::array<const RecordLayout *, 6> &layouts()
{
    static const std::array<const RecordLayout *, 6> all{&menuItemLayout(),  &portionLayout(),
                                                          &priceLayout(),     &categoryLayout(),
                                                          &screenMenuItemLayout(), &printerMapLayout()};
    return all;
}

// The variable of the fixed value of `column` in `layout`, declared once per batch.
QString fixedVariable(const RecordLayout &layout, const ColumnValue &column)
{
    return QStringLiteral("@f_%1_%2").arg(layout.table, column.column);
}

QString sqlType(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return QStringLiteral("bit");
    case QMetaType::Double:
        return QStringLiteral("float");
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QStringLiteral("bigint");
    default:
        break;
    }
    return QStringLiteral("nvarchar(4000)");
}

// The variables that take the shared values, bound in the order
// sqlServerSharedValues() gives them.
QString sharedDeclarations()
{
    QStringList declared;
    for (const SharedVariable &variable : kSharedVariables)
        declared << QStringLiteral("%1 nvarchar(4000) = ?").arg(QLatin1StringView(variable.name));
    declared << QStringLiteral("@withButton bit = ?") << QStringLiteral("@withPrinter bit = ?")
             << QStringLiteral("@changedSinceRead nvarchar(2048) = ?");
    for (const RecordLayout *layout : layouts()) {
        for (const ColumnValue &column : layout->columns) {
            if (column.source == Source::Fixed)
                declared << QStringLiteral("%1 %2 = ?").arg(fixedVariable(*layout, column), sqlType(column.fixed));
        }
    }
    return declared.join(QStringLiteral(", "));
}

// What `column` of `layout` takes, as a batch expression.
QString expression(const RecordLayout &layout, const ColumnValue &column)
{
    return column.source == Source::Fixed ? fixedVariable(layout, column) : rowVariable(column.source);
}

QString insertInto(const RecordLayout &layout)
{
    QStringList values;
    for (const ColumnValue &column : layout.columns)
        values << expression(layout, column);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);")
        .arg(layout.table, layout.columnNames().join(QStringLiteral(", ")), values.join(QStringLiteral(", ")));
}

QString updatePrinterMap()
{
    const RecordLayout &layout = printerMapLayout();
    QStringList sets;
    for (const ColumnValue &column : layout.columns)
        sets << column.column + QStringLiteral(" = ") + expression(layout, column);
    return QStringLiteral("UPDATE %1 SET %2 WHERE id = @map;").arg(layout.table, sets.join(QStringLiteral(", ")));
}

// The overwritten mapping's columns as texts, which the database converts
// back when an undo restores them.
QString readOldPrinterMap()
{
    const RecordLayout &layout = printerMapLayout();
    QStringList reads{QStringLiteral("@map = id")};
    for (qsizetype index = 0; index < layout.columns.size(); ++index)
        reads << QStringLiteral("@old%1 = CONVERT(nvarchar(4000), %2)").arg(index).arg(layout.columns.at(index).column);
    return QStringLiteral("SELECT TOP 1 %1 FROM %2 WHERE MenuItemId = @item ORDER BY id;")
        .arg(reads.join(QStringLiteral(", ")), layout.table);
}

QString oldMapColumns(const QString &pattern)
{
    QStringList columns;
    for (qsizetype index = 0; index < printerMapLayout().columns.size(); ++index)
        columns << pattern.arg(index);
    return columns.join(QStringLiteral(", "));
}

// Finds the first category named like @group.
QString findCategory()
{
    return QStringLiteral("SELECT TOP 1 @category = id FROM %1 WHERE Name = @group ORDER BY id;")
        .arg(categoryLayout().table);
}

// The group's category, found once per batch of the window's group, or per
// row of a batch with own groups: a category an earlier row of the batch
// created is found as well, and one whose row failed went with that row.
QString categoryOfRow(BatchShape shape)
{
    if (!shape.values.testFlag(OwnValue::Group))
        return {};
    return QStringLiteral("        SET @step = N'%1';\n        SET @category = NULL;\n        %2\n")
        .arg(categoryLayout().table, findCategory());
}

QString categoryOfBatch(BatchShape shape)
{
    if (shape.values.testFlag(OwnValue::Group))
        return {};
    return QStringLiteral("IF @withButton = 1 %1\n").arg(findCategory());
}

// Every record of a new item; @item, @portion and @priceId get their ids.
QString newItemSteps(BatchShape shape)
{
    return QStringLiteral(
               "      SET @step = N'MenuItems';\n"
               "      %1\n"
               "      SET @item = SCOPE_IDENTITY();\n"
               "      SET @step = N'MenuItemPortions';\n"
               "      %2\n"
               "      SET @portion = SCOPE_IDENTITY();\n"
               "      SET @step = N'MenuItemPrices';\n"
               "      %3\n"
               "      SET @priceId = SCOPE_IDENTITY();\n"
               "      IF @withButton = 1\n"
               "      BEGIN\n"
               "%9"
               "        IF @category IS NULL\n"
               "        BEGIN\n"
               "          SET @step = N'ScreenMenuCategories';\n"
               "          %4\n"
               "          SET @category = SCOPE_IDENTITY();\n"
               "          SET @newCategory = @category;\n"
               "        END\n"
               "        SET @step = N'ScreenMenuItems';\n"
               "        %5\n"
               "        SET @button = SCOPE_IDENTITY();\n"
               "      END\n"
               "      IF @withPrinter = 1\n"
               "      BEGIN\n"
               "        SET @step = N'PrinterMaps';\n"
               "        %6\n"
               "        IF @map IS NULL\n"
               "        BEGIN\n"
               "          %7\n"
               "          SET @map = SCOPE_IDENTITY();\n"
               "        END\n"
               "        ELSE\n"
               "        BEGIN\n"
               "          %8\n"
               "          SET @replaced = 1;\n"
               "        END\n"
               "      END\n")
        .arg(insertInto(menuItemLayout()), insertInto(portionLayout()), insertInto(priceLayout()),
             insertInto(categoryLayout()), insertInto(screenMenuItemLayout()), readOldPrinterMap(),
             insertInto(printerMapLayout()), updatePrinterMap(), categoryOfRow(shape));
}

// Sets `assignment` in the one record of `table` that `id` names while
// `unchanged` holds; a record changed since it was read fails the row, which
// the CATCH then rolls back whole.
QString changeOne(const QString &table, const QString &assignment, const QString &id, const QString &unchanged)
{
    return QStringLiteral("UPDATE %1 SET %2 WHERE id = %3 AND %4; "
                          "IF @@ROWCOUNT <> 1 THROW 50000, @changedSinceRead, 1;")
        .arg(table, assignment, id, unchanged);
}

// What an update changes, as StatementWriter::writeUpdate does it; @priceId
// gets the id of a price record it creates.
QString updateSteps()
{
    return QStringLiteral(
               "      IF @setPrice = 1\n"
               "      BEGIN\n"
               "        SET @step = N'%1';\n"
               "        IF @priceId = 0\n"
               "        BEGIN\n"
               "          %2\n"
               "          SET @priceId = SCOPE_IDENTITY();\n"
               "        END\n"
               "        ELSE\n"
               "        BEGIN\n"
               "          %3\n"
               "        END\n"
               "      END\n"
               "      IF @setName = 1\n"
               "      BEGIN\n"
               "        SET @step = N'%4';\n"
               "        %5\n"
               "      END\n")
        .arg(priceLayout().table, insertInto(priceLayout()),
             changeOne(priceLayout().table, QStringLiteral("Price = @price"), QStringLiteral("@priceId"),
                       QStringLiteral("Price = @oldPrice")),
             menuItemLayout().table,
             // A case-insensitive collation would take a name someone
             // changed only in case for the one read.
             changeOne(menuItemLayout().table, QStringLiteral("Name = @name"), QStringLiteral("@item"),
                       QStringLiteral("COALESCE(Name, N'') = @oldName COLLATE Latin1_General_BIN2")));
}

// What one row does: a new item, or in a batch with updates either.
QString rowSteps(BatchShape shape)
{
    if (!shape.withUpdates)
        return newItemSteps(shape);
    return QStringLiteral("    IF @isUpdate = 1\n"
                          "    BEGIN\n"
                          "%1"
                          "    END\n"
                          "    ELSE\n"
                          "    BEGIN\n"
                          "%2"
                          "    END\n")
        .arg(updateSteps(), newItemSteps(shape));
}

// Columns of the answer, in this order.
enum AnswerColumn {
    RowNo, ItemId, PortionId, PriceId, NewCategoryId, ButtonId, MapId, MapReplaced, FailedTable, Error, ErrorNumber,
    Lost, OldMapValues
};

}  // namespace

size_t qHash(const BatchShape &shape, size_t seed) noexcept
{
    return qHashMulti(seed, shape.withUpdates, shape.values.toInt());
}

BatchShape sqlServerShape(const RowToWrite &row, const RowValues &window)
{
    BatchShape shape{row.update.has_value(), {}};
    if (row.update)
        return shape;
    const RowToWrite windowRow{0, {}, std::nullopt, window};
    for (const RowColumn &column : kRowColumns) {
        if (column.isOwn() && column.value(row) != column.value(windowRow))
            shape.values |= column.own;
    }
    return shape;
}

int sqlServerRowsPerBatch(BatchShape shape)
{
    static const int free = int(kServerParameterLimit - sqlServerSharedValues({}).size());
    return std::min(kMostRowsPerBatch, free / columnCount(shape));
}

QVariantList sqlServerSharedValues(const SharedValues &shared)
{
    RecordValues values;
    values.group = shared.window.group;
    values.multiplier = shared.window.multiplier;
    values.buttonColor = shared.window.buttonColor;
    values.subMenuTag = shared.window.subMenuTag;
    values.printerId = shared.window.printerId.value_or(QString());
    QVariantList bound;
    for (const SharedVariable &variable : kSharedVariables) {
        const QString text = sourceValue(variable.source, values).toString();
        bound << (text.isNull() ? QStringLiteral("") : text);
    }
    bound << shared.button << shared.window.printerId.has_value() << changedSinceRead();
    for (const RecordLayout *layout : layouts()) {
        for (const ColumnValue &column : layout->columns) {
            if (column.source == Source::Fixed)
                bound << column.fixed;
        }
    }
    return bound;
}

QVariantList sqlServerRowValues(const RowToWrite &row, BatchShape shape)
{
    QVariantList bound;
    for (const RowColumn &column : kRowColumns) {
        if (column.boundIn(shape))
            bound << column.value(row);
    }
    return bound;
}

QString sqlServerBatchSql(int rows, BatchShape shape)
{
    const QString markers = QStringList(columnCount(shape), QStringLiteral("?")).join(QStringLiteral(", "));
    QStringList rowValues;
    for (int row = 1; row <= rows; ++row)
        rowValues << QStringLiteral("(%1, %2)").arg(row).arg(markers);

    return QStringLiteral(
               // The row counts the batch silences come back at its end, for
               // the statements the connection runs next (a server that
               // does not restore a batch's settings by itself keeps them).
               "DECLARE @counted bit = CASE WHEN @@OPTIONS & 512 = 0 THEN 1 ELSE 0 END;\n"
               "SET NOCOUNT ON;\n"
               "SET XACT_ABORT OFF;\n"
               "DECLARE %1;\n"
               "DECLARE @rows TABLE (RowNo int PRIMARY KEY, %2);\n"
               "INSERT INTO @rows (RowNo, %3) VALUES %4;\n"
               // Table variables keep what a rollback undoes elsewhere: the
               // answer survives a row's rollback to its savepoint.
               "DECLARE @out TABLE (RowNo int PRIMARY KEY, ItemId bigint, PortionId bigint, PriceId bigint, "
               "NewCategoryId bigint, ButtonId bigint, MapId bigint, MapReplaced bit, FailedTable nvarchar(128), "
               "Error nvarchar(4000), ErrorNumber int, %5);\n"
               "DECLARE @i int = 1, @n int = %6, @stop bit = 0, %7, @category bigint, "
               "@categoryBefore bigint, @newCategory bigint, @button bigint, @map bigint, @replaced bit, "
               "@step nvarchar(128), @error nvarchar(4000), @errorNumber int, @lostRow int, @lostTable nvarchar(128), "
               "@lostError nvarchar(4000), @lostNumber int, %8;\n"
               "%9"
               "WHILE @i <= @n AND @stop = 0\n"
               "BEGIN\n"
               "%10"
               "  SELECT @categoryBefore = @category, @newCategory = NULL, @button = NULL, @map = NULL, "
               "@replaced = 0, %11;\n"
               "  SAVE TRANSACTION bulkrow;\n"
               "  BEGIN TRY\n"
               "%12"
               "    INSERT INTO @out (RowNo, ItemId, PortionId, PriceId, NewCategoryId, ButtonId, MapId, MapReplaced, %13) "
               "VALUES (@i, @item, @portion, @priceId, @newCategory, @button, @map, @replaced, %14);\n"
               "  END TRY\n"
               "  BEGIN CATCH\n"
               "    SELECT @error = ERROR_MESSAGE(), @errorNumber = ERROR_NUMBER(), @category = @categoryBefore;\n"
               // A failure that dooms the transaction (or that a trigger
               // ended) takes the earlier rows with it: the batch stops
               // there, the caller rolls the transaction back and sends
               // them again without this row. The batch never ends the
               // transaction itself: it runs as a procedure, which must
               // leave the transaction count as it found it.
               // A doomed transaction takes no writes, not even to a table
               // variable: that row's answer waits in variables.
               "    IF XACT_STATE() = 1\n"
               "    BEGIN\n"
               "      ROLLBACK TRANSACTION bulkrow;\n"
               "      INSERT INTO @out (RowNo, FailedTable, Error, ErrorNumber) "
               "VALUES (@i, @step, @error, @errorNumber);\n"
               "    END\n"
               "    ELSE\n"
               "      SELECT @lostRow = @i, @lostTable = @step, @lostError = @error, @lostNumber = @errorNumber, "
               "@stop = 1;\n"
               // A lock held past the timeout or a full database refuses
               // every row after its own wait: the rest are not tried.
               "    IF @errorNumber IN (1222, 1105, 9002) SET @stop = 1;\n"
               "  END CATCH\n"
               "  SET @i = @i + 1;\n"
               "END\n"
               "IF @counted = 1 SET NOCOUNT OFF;\n"
               "SELECT RowNo, ItemId, PortionId, PriceId, NewCategoryId, ButtonId, MapId, MapReplaced, FailedTable, "
               "Error, ErrorNumber, CAST(0 AS bit) AS Lost, %13 FROM @out\n"
               "UNION ALL SELECT @lostRow, NULL, NULL, NULL, NULL, NULL, NULL, NULL, @lostTable, @lostError, "
               "@lostNumber, CAST(1 AS bit), %15 WHERE @lostRow IS NOT NULL\n"
               "ORDER BY RowNo;\n")
        .arg(sharedDeclarations(), eachRowColumn(&RowColumn::declaredAs, shape), eachRowColumn(&RowColumn::name, shape),
             rowValues.join(QStringLiteral(", ")), oldMapColumns(QStringLiteral("Old%1 nvarchar(4000)")),
             QString::number(rows),
             eachRowColumn(&RowColumn::variableDeclaredAs, [](const RowColumn &column) { return !column.isOwn(); }),
             oldMapColumns(QStringLiteral("@old%1 nvarchar(4000)")), categoryOfBatch(shape))
        .arg(rowReads(shape), oldMapColumns(QStringLiteral("@old%1 = NULL")), rowSteps(shape),
             oldMapColumns(QStringLiteral("Old%1")), oldMapColumns(QStringLiteral("@old%1")),
             QStringList(printerMapLayout().columns.size(), QStringLiteral("NULL")).join(QStringLiteral(", ")));
}

SqlServerBatchWriter::SqlServerBatchWriter(QSqlDatabase &db, SharedValues shared)
    : m_db(db), m_shared(std::move(shared)), m_sharedValues(sqlServerSharedValues(m_shared))
{
}

SqlServerBatchWriter::~SqlServerBatchWriter()
{
    rollback();
}

WriteResult SqlServerBatchWriter::prepare()
{
    WriteResult prepared;
    statementFor(sqlServerRowsPerBatch({}), {}, prepared);
    return prepared;
}

void SqlServerBatchWriter::add(const RowToWrite &row)
{
    m_rows.append(row);
    m_shape = m_shape | sqlServerShape(row, m_shared.window);
}

bool SqlServerBatchWriter::takes(const RowToWrite &row) const
{
    return m_rows.size() < sqlServerRowsPerBatch(m_shape | sqlServerShape(row, m_shared.window));
}

bool SqlServerBatchWriter::full() const
{
    return m_rows.size() >= sqlServerRowsPerBatch(m_shape);
}

QList<RowWritten> SqlServerBatchWriter::send()
{
    const QList<RowToWrite> rows = std::exchange(m_rows, {});
    m_shape = {};
    QList<RowWritten> written(rows.size());
    // Positions in `rows` still to be written; a row whose failure ended the
    // transaction drops out, and the rows it took with it go again.
    QList<qsizetype> pending(rows.size());
    std::iota(pending.begin(), pending.end(), 0);
    while (!pending.isEmpty()) {
        QList<RowToWrite> sent;
        for (const qsizetype index : std::as_const(pending))
            sent << rows.at(index);
        const BatchAnswer answer = m_unavailable ? BatchAnswer{} : run(sent);
        QList<qsizetype> again;
        for (qsizetype position = 0; position < pending.size(); ++position) {
            RowWritten &row = written[pending.at(position)];
            const std::optional<RowWritten> told =
                position < answer.rows.size() ? answer.rows.at(position) : std::nullopt;
            if (answer.lostAt && position != *answer.lostAt) {
                again << pending.at(position);
            } else if (told) {
                row = *told;
            } else {
                const WriteResult why = answer.failed ? *answer.failed
                                                      : m_unavailable.value_or(WriteResult::failedOn(
                                                            kTransaction, QStringLiteral("the server did not answer for this row")));
                row.record = unwrittenRecord(sent.at(position));
                row.result = why;
                row.tried = answer.failed.has_value();
            }
        }
        pending = again;
    }
    return written;
}

// Runs the batch for `rows` and reads its one result set to the end.
SqlServerBatchWriter::BatchAnswer SqlServerBatchWriter::run(const QList<RowToWrite> &rows)
{
    BatchAnswer answer;
    answer.rows.resize(rows.size());
    // A batch binds only what its rows need: without updates, a new item's
    // values, and without own values, only the window's.
    BatchShape shape;
    for (const RowToWrite &row : rows)
        shape = shape | sqlServerShape(row, m_shared.window);
    WriteResult prepared;
    QSqlQuery &query = statementFor(int(rows.size()), shape, prepared);
    if (!prepared.ok()) {
        answer.failed = prepared;
        return answer;
    }
    int position = 0;
    for (const QVariant &value : std::as_const(m_sharedValues))
        query.bindValue(position++, value);
    for (const RowToWrite &row : rows) {
        for (const QVariant &value : sqlServerRowValues(row, shape))
            query.bindValue(position++, value);
    }
    if (const WriteResult begun = runControl(QStringLiteral("BEGIN TRANSACTION")); !begun.ok()) {
        answer.failed = begun;
        return answer;
    }
    m_open = true;
    ++m_statements;
    if (!query.exec()) {
        answer.failed = writeFailure(kTransaction, query.lastError());
        forget(int(rows.size()), shape);
        rollback();
        if (answer.failed->databaseUnavailable)
            m_unavailable = answer.failed;
        return answer;
    }
    while (!query.isSelect() && query.nextResult()) {
    }
    while (query.next()) {
        const int index = query.value(RowNo).toInt() - 1;
        if (index < 0 || index >= rows.size())
            continue;
        RowWritten row = readRow(query, rows.at(index));
        if (query.value(Lost).toBool())
            answer.lostAt = index;
        if (row.result.databaseUnavailable)
            m_unavailable = row.result;
        answer.rows[index] = row;
    }
    query.finish();
    if (answer.lostAt) {
        forget(int(rows.size()), shape);
        rollback();
    }
    return answer;
}

// A statement whose run failed or doomed its transaction is prepared anew
// next time: a server may keep no handle for it (FreeTDS then fails the next
// run without sending it).
void SqlServerBatchWriter::forget(int rows, BatchShape shape)
{
    m_prepared.remove({rows, shape});
}

RowWritten SqlServerBatchWriter::readRow(const QSqlQuery &query, const RowToWrite &row) const
{
    RowWritten written;
    JournalRow &record = written.record;
    record = unwrittenRecord(row);
    if (!query.value(Error).isNull() || query.value(ItemId).isNull()) {
        const QSqlError error({}, query.value(Error).toString(), QSqlError::StatementError,
                              query.value(ErrorNumber).toString());
        written.result = writeFailure(query.value(FailedTable).toString(), error);
        return written;
    }
    record.itemId = *idFrom(query.value(ItemId));
    record.portionId = idFrom(query.value(PortionId)).value_or(0);
    record.priceId = idFrom(query.value(PriceId)).value_or(0);
    record.buttonId = idFrom(query.value(ButtonId));
    record.printerMapId = idFrom(query.value(MapId));
    written.newCategory = idFrom(query.value(NewCategoryId));
    if (query.value(MapReplaced).toBool() && record.printerMapId) {
        ReplacedPrinterMap replaced{*record.printerMapId, {}};
        for (qsizetype column = 0; column < printerMapLayout().columns.size(); ++column)
            replaced.values << query.value(OldMapValues + int(column));
        record.replacedMap = replaced;
    }
    written.result = WriteResult::success(record.itemId);
    return written;
}

QSqlQuery &SqlServerBatchWriter::statementFor(int rows, BatchShape shape, WriteResult &prepared)
{
    auto found = m_prepared.find({rows, shape});
    if (found == m_prepared.end()) {
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(sqlServerBatchSql(rows, shape)))
            prepared = writeFailure(kTransaction, query.lastError());
        found = m_prepared.insert({rows, shape}, query);
    }
    return *found;
}

WriteResult SqlServerBatchWriter::commit()
{
    if (!m_open)
        return {};
    m_open = false;
    const WriteResult committed = runControl(QStringLiteral("COMMIT TRANSACTION"));
    if (!committed.ok()) {
        runControl(QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION"));
        if (committed.databaseUnavailable)
            m_unavailable = committed;
    }
    return committed;
}

void SqlServerBatchWriter::rollback()
{
    if (!m_open)
        return;
    m_open = false;
    runControl(QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION"));
}

WriteResult SqlServerBatchWriter::runControl(const QString &sql)
{
    ++m_statements;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    const WriteResult result = query.exec(sql) ? WriteResult::success() : writeFailure(kTransaction, query.lastError());
    query.finish();
    return result;
}

}  // namespace import
