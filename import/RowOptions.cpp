#include "import/RowOptions.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include "import/ColourTable.h"
#include "import/SaveText.h"

namespace import {

namespace {

platform::Result<QList<NamedRecord>> readNamed(const QSqlDatabase &db, const QString &table)
{
    const auto unread = [&table](const QSqlQuery &query) {
        return platform::Outcome::failure(QStringLiteral("%1 okunamadı").arg(table), query.lastError().text());
    };
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, Name FROM %1 ORDER BY id").arg(table)))
        return unread(query);
    QList<NamedRecord> records;
    while (query.next())
        records.append({query.value(0).toString(), query.value(1).toString()});
    if (query.lastError().isValid())
        return unread(query);
    return records;
}

}  // namespace

platform::Result<ChoiceRecords> readChoiceRecords(const QSqlDatabase &db)
{
    platform::Result<QList<NamedRecord>> categories = readNamed(db, QStringLiteral("ScreenMenuCategories"));
    if (!categories.ok())
        return categories;
    platform::Result<QList<NamedRecord>> printers = readNamed(db, QStringLiteral("Printers"));
    if (!printers.ok())
        return printers;
    return ChoiceRecords{std::move(categories.value), std::move(printers.value)};
}

QString groupKey(const QString &group)
{
    return QLocale(QLocale::Turkish).toLower(trimSpaces(group));
}

std::optional<QString> multiplierOfUnit(const QString &unit)
{
    const QString name = foldedName(unit);
    if (name == u"adet" || name == u"ad")
        return QStringLiteral("1");
    if (name == u"kg" || name == u"kilogram")
        return QStringLiteral("1000");
    return std::nullopt;
}

std::optional<QString> colourOfCell(const QString &colour)
{
    const QString name = foldedName(colour);
    const QStringList names = import::colourNames();
    for (int position = 0; position < names.size(); ++position) {
        if (foldedName(names.at(position)) == name)
            return import::colourText(position);
    }
    static const QRegularExpression colourText(QStringLiteral("^#[0-9A-Fa-f]{8}$"));
    const QString text = colour.trimmed();
    if (colourText.match(text).hasMatch())
        return text.toUpper();
    if (name == u"white")
        return QStringLiteral("White");
    return std::nullopt;
}

RowOptions::RowOptions(const SaveChoices &choices, ChoiceRecords records)
    : m_window(import::windowValues(choices))
{
    // Of several categories of one name the save finds the first.
    for (auto category = records.categories.crbegin(); category != records.categories.crend(); ++category)
        m_groups.insert(groupKey(category->name), cutTo50(trimSpaces(category->name)));
    m_databaseGroups = QSet<QString>(m_groups.keyBegin(), m_groups.keyEnd());
    for (auto printer = records.printers.crbegin(); printer != records.printers.crend(); ++printer) {
        m_printerNames.insert(foldedName(printer->name), printer->id.trimmed());
        m_printerIds.insert(printer->id.trimmed());
    }
    // The window's group is one group with a row's cell of the same name.
    m_window.group = storedGroup(m_window.group);
}

void RowOptions::learnGroups(const QList<ProductRow> &rows)
{
    for (auto key = m_groups.begin(); key != m_groups.end();) {
        key = m_databaseGroups.contains(key.key()) ? std::next(key) : m_groups.erase(key);
    }
    m_window.group = storedGroup(m_window.group);
    if (!m_databaseGroups.contains(groupKey(m_window.group)))
        m_groups.insert(groupKey(m_window.group), m_window.group);
    for (const ProductRow &row : rows)
        learnGroup(row.group);
}

void RowOptions::learnGroup(const QString &cell)
{
    const QString group = cutTo50(trimSpaces(cell));
    if (!group.isEmpty() && !m_groups.contains(groupKey(group)))
        m_groups.insert(groupKey(group), group);
}

QString RowOptions::storedGroup(const QString &cell) const
{
    const QString group = cutTo50(trimSpaces(cell));
    return m_groups.value(groupKey(group), group);
}

bool RowOptions::isNewGroup(const QString &group) const
{
    return !m_databaseGroups.contains(groupKey(group));
}

std::optional<RowValues> RowOptions::valuesOf(const ProductRow &row, QString &unknown) const
{
    RowValues values = m_window;
    if (!trimSpaces(row.group).isEmpty())
        values.group = storedGroup(row.group);
    if (!trimSpaces(row.unit).isEmpty()) {
        const std::optional<QString> multiplier = multiplierOfUnit(row.unit);
        if (!multiplier) {
            unknown = QStringLiteral("birim “%1” tanınmadı (Adet ya da Kg olmalı)").arg(trimSpaces(row.unit));
            return std::nullopt;
        }
        values.multiplier = *multiplier;
    }
    if (!trimSpaces(row.printer).isEmpty()) {
        const QString printer = trimSpaces(row.printer);
        if (foldedName(printer) == u"yok") {
            values.printerId.reset();
        } else if (m_printerIds.contains(printer)) {
            values.printerId = printer;
        } else if (const auto named = m_printerNames.constFind(foldedName(printer)); named != m_printerNames.cend()) {
            values.printerId = *named;
        } else {
            unknown = QStringLiteral("yazıcı “%1” veritabanında yok").arg(printer);
            return std::nullopt;
        }
    }
    if (!trimSpaces(row.colour).isEmpty()) {
        const std::optional<QString> colour = colourOfCell(row.colour);
        if (!colour) {
            unknown = QStringLiteral("renk “%1” tanınmadı").arg(trimSpaces(row.colour));
            return std::nullopt;
        }
        values.buttonColor = *colour;
    }
    if (!trimSpaces(row.subMenuTag).isEmpty())
        values.subMenuTag = trimSpaces(row.subMenuTag);
    return values;
}

RowJudgement judgeRow(const ProductRow &row, const QLocale &locale, const RowOptions &options)
{
    RowJudgement judgement = judgeRow(row, locale);
    if (!judgement.usable())
        return judgement;
    if (const std::optional<RowValues> values = options.valuesOf(row, judgement.unknownChoice)) {
        judgement.values = *values;
    } else {
        judgement.product.reset();
        judgement.skipReason = SkipReason::UnknownChoice;
    }
    return judgement;
}

}  // namespace import
