#include "import/ImportJournal.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>
#include <map>

#include "platform/os/DurableFile.h"

namespace import {

namespace {

// Format 2 added updates of items on the menu. A reader of format 1 would
// take an update for an item the import added and remove it on undo, so it
// must refuse these journals; every format up to ours is read.
constexpr int kFormat = 2;
constexpr qsizetype kTargetInName = 60;
constexpr int kNumberWidth = 6;
// Longer than any line but a batch or a header: enough to see the last line
// whole when it settles a batch or marks the import undone.
constexpr qint64 kTailBytes = 512;
// How an undo's mark starts; one appended to a line cut short was glued to it
// by earlier versions.
constexpr QByteArrayView kUndoneMark = R"({"undone":)";

bool knownFormat(const QJsonObject &header)
{
    const int format = header.value(QStringLiteral("journal")).toInt();
    return format >= 1 && format <= kFormat;
}

QJsonValue optionalId(const std::optional<qint64> &id)
{
    return id ? QJsonValue(*id) : QJsonValue();
}

std::optional<qint64> idOf(const QJsonValue &value)
{
    return value.isDouble() ? std::optional<qint64>(value.toInteger()) : std::nullopt;
}

QJsonValue optionalNumber(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

std::optional<double> numberOf(const QJsonValue &value)
{
    return value.isDouble() ? std::optional<double>(value.toDouble()) : std::nullopt;
}

// What an update changed: the old values it replaced and the new ones.
QJsonObject updateObject(const ItemUpdate &update)
{
    return QJsonObject{
        {QStringLiteral("priceRecord"), optionalId(update.priceId)},
        {QStringLiteral("oldPrice"), optionalNumber(update.oldPrice)},
        {QStringLiteral("newPrice"), optionalNumber(update.newPrice)},
        {QStringLiteral("oldName"), update.oldName.isNull() ? QJsonValue() : QJsonValue(update.oldName)},
        {QStringLiteral("newName"), update.newName ? QJsonValue(*update.newName) : QJsonValue()},
    };
}

ItemUpdate updateFrom(const QJsonObject &object, const JournalRow &row)
{
    const QJsonValue newName = object.value(QStringLiteral("newName"));
    // A name that was NULL is put back as NULL, an empty one as empty.
    QString oldText;
    if (const QJsonValue oldName = object.value(QStringLiteral("oldName")); oldName.isString()) {
        oldText = oldName.toString();
        if (oldText.isNull())
            oldText = QStringLiteral("");
    }
    return ItemUpdate{row.itemId,
                      row.portionId,
                      idOf(object.value(QStringLiteral("priceRecord"))),
                      numberOf(object.value(QStringLiteral("oldPrice"))),
                      numberOf(object.value(QStringLiteral("newPrice"))),
                      oldText,
                      newName.isString() ? std::optional<QString>(newName.toString()) : std::nullopt};
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
    if (row.update)
        object.insert(QStringLiteral("update"), updateObject(*row.update));
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
    if (const QJsonValue update = object.value(QStringLiteral("update")); update.isObject())
        row.update = updateFrom(update.toObject(), row);
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

// The number a journal's name starts with ("000042 20261207-..."), or 0 for
// a name without one: such journals come before every numbered one.
qint64 numberOf(const QString &name)
{
    const qsizetype space = name.indexOf(u' ');
    bool ok = false;
    const qint64 number = space > 0 ? name.left(space).toLongLong(&ok) : 0;
    return ok ? number : 0;
}

qint64 nextNumber(const QDir &folder)
{
    qint64 highest = 0;
    for (const QString &name : folder.entryList({QStringLiteral("*.jsonl")}, QDir::Files))
        highest = std::max(highest, numberOf(name));
    return highest + 1;
}

// The target the journal at `path` is of; "" when it is no journal of ours.
QString targetOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject header = QJsonDocument::fromJson(file.readLine()).object();
    return knownFormat(header) ? header.value(QStringLiteral("target")).toString() : QString();
}

// One line of a journal read back; the part before a mark glued to a line
// cut short is that cut line, which counts for nothing.
QJsonObject parseLine(const QByteArray &text, QJsonParseError &error)
{
    const QJsonObject object = QJsonDocument::fromJson(text, &error).object();
    const qsizetype glued = text.indexOf(kUndoneMark);
    if (error.error == QJsonParseError::NoError || glued <= 0)
        return object;
    return QJsonDocument::fromJson(text.mid(glued), &error).object();
}

// Appends `object` as a line of its own to the file at `path`: after a line
// the writer was stopped in the middle of, on the next line.
platform::Outcome appendMark(const QString &path, const QJsonObject &object)
{
    QFile file(path);
    const auto unwritten = [&file] {
        return platform::Outcome::failure(QStringLiteral("geri alma kaydına yazılamadı"), file.errorString());
    };
    if (!file.open(QIODevice::ReadOnly))
        return unwritten();
    const bool cut = file.size() > 0 && file.seek(file.size() - 1) && file.read(1) != "\n";
    file.close();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return unwritten();
    const QByteArray text = (cut ? QByteArray("\n") : QByteArray()) + line(object);
    if (file.write(text) != text.size() || !platform::flushToDisk(file))
        return unwritten();
    return {};
}

// What became of one batch as the journal tells it.
struct BatchFate {
    enum class Known { No, Committed, RolledBack };
    JournalBatch batch;
    Known known = Known::No;
    bool writerSaid = false;  // the writer's own line, which no later verdict overrides

    void tell(Known fate, bool byWriter)
    {
        if (writerSaid)
            return;
        known = fate;
        writerSaid = byWriter;
    }
};

}  // namespace

QString sharedApplicationName()
{
    return QStringLiteral("toplu-urun-ekle");
}

QString journalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/journal");
}

platform::Result<std::unique_ptr<ImportJournal>> ImportJournal::create(const QString &folder,
                                                                       const JournalHeader &header)
{
    const auto uncreated = [](const QString &why) {
        return platform::Outcome::failure(QStringLiteral("geri alma kaydı oluşturulamadı"), why);
    };
    if (!QDir().mkpath(folder))
        return uncreated(QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
    std::unique_ptr<ImportJournal> journal(new ImportJournal);
    const QDir dir(folder);
    // Another import may take the same number at the same moment: the file
    // made first keeps it, the other takes the next.
    constexpr int kAttempts = 100;
    bool created = false;
    for (qint64 number = nextNumber(dir), attempt = 0; !created && attempt < kAttempts; ++number, ++attempt) {
        const QString name = QStringLiteral("%1 %2 %3.jsonl")
                                 .arg(number, kNumberWidth, 10, QLatin1Char('0'))
                                 .arg(header.started.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss")),
                                      fileNamePart(header.target));
        journal->m_file.setFileName(dir.filePath(name));
        created = journal->m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (!created && !journal->m_file.exists())
            break;
    }
    if (!created)
        return uncreated(journal->m_file.errorString());
    const platform::Outcome written =
        journal->append(line({{QStringLiteral("journal"), kFormat},
                              {QStringLiteral("target"), header.target},
                              {QStringLiteral("sheet"), header.sheet},
                              {QStringLiteral("started"), header.started.toUTC().toString(Qt::ISODateWithMs)}}),
                        true);
    if (!written.ok())
        return uncreated(written.detail());
    return journal;
}

ImportJournal::~ImportJournal()
{
    // Not open: the name is another import's, which took it first.
    if (m_committed == 0 && m_file.isOpen())
        m_file.remove();
}

platform::Outcome ImportJournal::append(const QByteArray &text, bool toDisk)
{
    const bool written =
        m_file.write(text) == text.size() && (toDisk ? platform::flushToDisk(m_file) : m_file.flush());
    if (written)
        return {};
    return platform::Outcome::failure(QStringLiteral("geri alma kaydına yazılamadı"), m_file.errorString());
}

platform::Outcome ImportJournal::pending(const JournalBatch &batch)
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
    if (committed)
        ++m_committed;
    // Not waited for on the disk: a batch without this line is settled by
    // asking the database whether its records are there.
    append(line({{committed ? QStringLiteral("committed") : QStringLiteral("rolledBack"), m_batches}}), false);
}

JournalContents readJournal(const QString &path)
{
    JournalContents contents;
    const auto unread = [&contents](const QString &why) {
        contents.setOutcome(platform::Outcome::failure({}, why));
        return contents;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unread(file.errorString());
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The text after the last line end is a line the writer did not finish.
    std::map<int, BatchFate> batches;
    const auto tell = [&batches](const QJsonValue &number, BatchFate::Known fate, bool byWriter) {
        if (const auto found = batches.find(number.toInt()); found != batches.end())
            found->second.tell(fate, byWriter);
    };
    // A line that does not parse is one the writer was stopped in: only
    // marks appended later (an undo, a settled batch) may follow it.
    QString cutLine;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        QJsonParseError parseError{};
        const QJsonObject object = parseLine(lines.at(i), parseError);
        const bool parsed = parseError.error == QJsonParseError::NoError;
        if (!parsed && cutLine.isEmpty())
            cutLine = QStringLiteral("line %1: %2").arg(i + 1).arg(parseError.errorString());
        const bool mark = object.contains(QStringLiteral("undone")) || object.contains(QStringLiteral("settled"));
        if (!cutLine.isEmpty() && (i == 0 || (parsed && !mark)))
            return unread(cutLine);
        if (!parsed)
            continue;
        if (i == 0) {
            if (!knownFormat(object))
                return unread(QStringLiteral("not a journal of this tool"));
            contents.header = headerFrom(object);
        } else if (object.contains(QStringLiteral("pending"))) {
            const int number = object.value(QStringLiteral("pending")).toInt();
            JournalBatch &batch = batches[number].batch;
            batch.number = number;
            for (const QJsonValue row : object.value(QStringLiteral("rows")).toArray())
                batch.rows.append(rowFrom(row.toObject()));
            for (const QJsonValue id : object.value(QStringLiteral("newCategories")).toArray())
                batch.newCategories.append(id.toInteger());
        } else if (object.contains(QStringLiteral("committed"))) {
            tell(object.value(QStringLiteral("committed")), BatchFate::Known::Committed, true);
        } else if (object.contains(QStringLiteral("rolledBack"))) {
            tell(object.value(QStringLiteral("rolledBack")), BatchFate::Known::RolledBack, true);
        } else if (object.contains(QStringLiteral("settled"))) {
            tell(object.value(QStringLiteral("settled")),
                 object.value(QStringLiteral("landed")).toBool() ? BatchFate::Known::Committed
                                                                 : BatchFate::Known::RolledBack,
                 false);
        } else if (object.contains(QStringLiteral("undone"))) {
            contents.undone = true;
        }
    }
    if (lines.isEmpty() || lines.size() == 1)
        contents.setOutcome(platform::Outcome::failure({}, QStringLiteral("the journal has no header")));
    for (const auto &[number, fate] : batches) {
        if (fate.known == BatchFate::Known::Committed)
            contents.committed.append(fate.batch);
        else if (fate.known == BatchFate::Known::No)
            contents.unsettled.append(fate.batch);
    }
    return contents;
}

platform::Outcome markUndone(const QString &path)
{
    return appendMark(path, {{QStringLiteral("undone"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)}});
}

platform::Outcome settleBatch(const QString &path, int number, bool landed)
{
    return appendMark(path, {{QStringLiteral("settled"), number}, {QStringLiteral("landed"), landed}});
}

bool mayHoldUnsettledBatch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;  // the whole read says why
    const qint64 from = std::max<qint64>(0, file.size() - kTailBytes);
    if (!file.seek(from))
        return true;
    QByteArray tail = file.read(kTailBytes);
    const qsizetype end = tail.lastIndexOf('\n');
    if (end < 0)
        return from > 0;
    tail.truncate(end);
    const qsizetype start = tail.lastIndexOf('\n') + 1;
    if (start == 0 && from > 0)
        return true;  // a line longer than the tail: a batch
    QJsonParseError error{};
    const QJsonObject last = parseLine(tail.mid(start), error);
    return error.error != QJsonParseError::NoError || last.contains(QStringLiteral("pending"));
}

QStringList journalsOf(const QString &folder, const QString &target)
{
    const QDir dir(folder);
    QList<std::pair<qint64, QString>> found;
    for (const QString &name : dir.entryList({QStringLiteral("*.jsonl")}, QDir::Files)) {
        if (targetOf(dir.filePath(name)) == target)
            found.append({numberOf(name), name});
    }
    std::sort(found.begin(), found.end(), std::greater<>());
    QStringList paths;
    for (const auto &[number, name] : std::as_const(found))
        paths << dir.filePath(name);
    return paths;
}

QString lastJournal(const QString &folder, const QString &target)
{
    // One that cannot be read is named, so that the operator is told why
    // rather than an older import undone in its place.
    for (const QString &path : journalsOf(folder, target)) {
        const JournalContents contents = readJournal(path);
        if (!contents.ok() || !contents.empty())
            return path;
    }
    return {};
}

}  // namespace import
