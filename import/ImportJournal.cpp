#include "import/ImportJournal.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <map>

#include "platform/os/DurableFile.h"

namespace bulksave {

namespace {

constexpr int kFormat = 1;
constexpr qsizetype kTargetInName = 60;

QJsonValue optionalId(const std::optional<qint64> &id)
{
    return id ? QJsonValue(*id) : QJsonValue();
}

std::optional<qint64> idOf(const QJsonValue &value)
{
    return value.isDouble() ? std::optional<qint64>(value.toInteger()) : std::nullopt;
}

QJsonObject rowObject(const JournalRow &row)
{
    QJsonObject object{
        {QStringLiteral("row"), row.gridRow},         {QStringLiteral("item"), row.itemId},
        {QStringLiteral("portion"), row.portionId},   {QStringLiteral("price"), row.priceId},
        {QStringLiteral("button"), optionalId(row.buttonId)},
        {QStringLiteral("printerMap"), optionalId(row.printerMapId)},
        {QStringLiteral("group"), row.group},         {QStringLiteral("barcode"), row.barcode},
        {QStringLiteral("name"), row.name},           {QStringLiteral("priceValue"), row.price},
    };
    if (row.replacedMap) {
        object.insert(QStringLiteral("replacedMap"),
                      QJsonObject{{QStringLiteral("id"), row.replacedMap->id},
                                  {QStringLiteral("values"), QJsonArray::fromVariantList(row.replacedMap->values)}});
    }
    return object;
}

JournalRow rowFrom(const QJsonObject &object)
{
    JournalRow row;
    row.gridRow = object.value(QStringLiteral("row")).toInt();
    row.itemId = object.value(QStringLiteral("item")).toInteger();
    row.portionId = object.value(QStringLiteral("portion")).toInteger();
    row.priceId = object.value(QStringLiteral("price")).toInteger();
    row.buttonId = idOf(object.value(QStringLiteral("button")));
    row.printerMapId = idOf(object.value(QStringLiteral("printerMap")));
    row.group = object.value(QStringLiteral("group")).toString();
    row.barcode = object.value(QStringLiteral("barcode")).toString();
    row.name = object.value(QStringLiteral("name")).toString();
    row.price = object.value(QStringLiteral("priceValue")).toDouble();
    if (const QJsonValue replaced = object.value(QStringLiteral("replacedMap")); replaced.isObject()) {
        row.replacedMap = ReplacedPrinterMap{replaced[QStringLiteral("id")].toInteger(),
                                             replaced[QStringLiteral("values")].toArray().toVariantList()};
    }
    return row;
}

QByteArray line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

// The target as a part of a file name: letters, digits, "-", "_" and "."
// kept, anything else (separators, ":", "\") as "_".
QString fileNamePart(const QString &target)
{
    // The end of a long path names the database; its start names folders.
    QString part = target.right(kTargetInName);
    for (QChar &c : part) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_' && c != u'.')
            c = u'_';
    }
    return part;
}

JournalHeader headerFrom(const QJsonObject &object)
{
    return {object.value(QStringLiteral("target")).toString(), object.value(QStringLiteral("sheet")).toString(),
            QDateTime::fromString(object.value(QStringLiteral("started")).toString(), Qt::ISODateWithMs)};
}

}  // namespace

QString sharedApplicationName()
{
    return QStringLiteral("toplu-urun-ekle");
}

QString journalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/journal");
}

std::unique_ptr<ImportJournal> ImportJournal::create(const QString &folder, const JournalHeader &header,
                                                     QString &error)
{
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
        return nullptr;
    }
    std::unique_ptr<ImportJournal> journal(new ImportJournal);
    const QString name = header.started.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + u' ' +
                         fileNamePart(header.target) + QStringLiteral(".jsonl");
    journal->m_file.setFileName(QDir(folder).filePath(name));
    if (!journal->m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        error = journal->m_file.errorString();
        return nullptr;
    }
    error = journal->append(line({{QStringLiteral("journal"), kFormat},
                                  {QStringLiteral("target"), header.target},
                                  {QStringLiteral("sheet"), header.sheet},
                                  {QStringLiteral("started"), header.started.toUTC().toString(Qt::ISODateWithMs)}}),
                            true);
    return error.isEmpty() ? std::move(journal) : nullptr;
}

QString ImportJournal::append(const QByteArray &text, bool toDisk)
{
    if (m_file.write(text) != text.size())
        return m_file.errorString();
    const bool written = toDisk ? platform::flushToDisk(m_file) : m_file.flush();
    return written ? QString() : m_file.errorString();
}

QString ImportJournal::pending(const JournalBatch &batch)
{
    QJsonArray rows;
    for (const JournalRow &row : batch.rows)
        rows.append(rowObject(row));
    QJsonArray categories;
    for (const qint64 id : batch.newCategories)
        categories.append(id);
    return append(line({{QStringLiteral("pending"), ++m_batches},
                        {QStringLiteral("rows"), rows},
                        {QStringLiteral("newCategories"), categories}}),
                  true);
}

void ImportJournal::settled(bool committed)
{
    // Not waited for on the disk: a batch without this line is settled by
    // asking the database whether its records are there.
    append(line({{committed ? QStringLiteral("committed") : QStringLiteral("rolledBack"), m_batches}}), false);
}

JournalContents readJournal(const QString &path)
{
    JournalContents contents;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.error = file.errorString();
        return contents;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The text after the last line end is a line the writer did not finish.
    std::map<int, JournalBatch> pending;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        QJsonParseError parseError{};
        const QJsonObject object = QJsonDocument::fromJson(lines.at(i), &parseError).object();
        if (parseError.error != QJsonParseError::NoError) {
            contents.error = QStringLiteral("line %1: %2").arg(i + 1).arg(parseError.errorString());
            return contents;
        }
        if (i == 0) {
            if (object.value(QStringLiteral("journal")).toInt() != kFormat) {
                contents.error = QStringLiteral("not a journal of this tool");
                return contents;
            }
            contents.header = headerFrom(object);
        } else if (object.contains(QStringLiteral("pending"))) {
            JournalBatch &batch = pending[object.value(QStringLiteral("pending")).toInt()];
            for (const QJsonValue row : object.value(QStringLiteral("rows")).toArray())
                batch.rows.append(rowFrom(row.toObject()));
            for (const QJsonValue id : object.value(QStringLiteral("newCategories")).toArray())
                batch.newCategories.append(id.toInteger());
        } else if (object.contains(QStringLiteral("committed"))) {
            contents.committed.append(pending[object.value(QStringLiteral("committed")).toInt()]);
            pending.erase(object.value(QStringLiteral("committed")).toInt());
        } else if (object.contains(QStringLiteral("rolledBack"))) {
            pending.erase(object.value(QStringLiteral("rolledBack")).toInt());
        } else if (object.contains(QStringLiteral("undone"))) {
            contents.undone = true;
        }
    }
    if (lines.isEmpty() || lines.size() == 1)
        contents.error = QStringLiteral("the journal has no header");
    for (auto &[number, batch] : pending)
        contents.unsettled.append(batch);
    return contents;
}

QString markUndone(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return file.errorString();
    const QByteArray text = line({{QStringLiteral("undone"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)}});
    if (file.write(text) != text.size() || !platform::flushToDisk(file))
        return file.errorString();
    return {};
}

QString lastJournal(const QString &folder, const QString &target)
{
    const QDir dir(folder);
    // Names start with the time, so the newest sorts last.
    const QStringList names = dir.entryList({QStringLiteral("*.jsonl")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject header = QJsonDocument::fromJson(file.readLine()).object();
        if (header.value(QStringLiteral("journal")).toInt() == kFormat &&
            header.value(QStringLiteral("target")).toString() == target)
            return path;
    }
    return {};
}

}  // namespace bulksave
