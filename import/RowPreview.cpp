#include "import/RowPreview.h"

#include <algorithm>

#include "import/SaveText.h"

#include <QSet>

namespace import {

namespace {

unsigned warningsFor(const ProductRow &row, const Product &product, const QLocale &locale)
{
    unsigned warnings = NoWarning;
    if (trimSpaces(row.group).size() > cutTo50(trimSpaces(row.group)).size())
        warnings |= GroupCut;
    if (trimSpaces(row.name).size() > product.name.size())
        warnings |= NameCut;
    if (trimSpaces(row.barcode).size() > product.barcode.size())
        warnings |= BarcodeCut;
    if (product.price <= 0)
        warnings |= PriceNotPositive;
    // "1.234" under Turkish rules is 1234, where the operator may have meant
    // 1,234: the row is stored, but worth a look.
    if (hasGroupSeparator(row.price, locale))
        warnings |= PriceGrouped;
    return warnings;
}

RowFate skippedFate(const RowJudgement &judgement)
{
    switch (judgement.skipReason) {
    case SkipReason::NoName:
        return RowFate::SkippedNoName;
    case SkipReason::PriceNotNumber:
        return RowFate::SkippedPrice;
    case SkipReason::UnknownChoice:
        return RowFate::SkippedChoice;
    case SkipReason::None:
        break;
    }
    return RowFate::Blank;
}

// Judges `row` into `preview`, a verdict not yet given: filled where it
// stands, as a grid of many rows is not moved about row by row.
void judge(RowPreview &preview, const ProductRow &row, const SaveChoices &choices, const RowOptions &options,
           const ado::TextFidelity &fidelity)
{
    RowJudgement judgement = judgeRow(row, choices.locale, options);
    if (!judgement.usable()) {
        preview.fate = skippedFate(judgement);
        preview.unknownChoice = std::move(judgement.unknownChoice);
        if (preview.fate == RowFate::SkippedPrice)
            preview.priceText = row.price;
        // Without a name a row can still give a registered item its price:
        // it stays skipped unless its barcode turns out to be one.
        if (preview.fate == RowFate::SkippedNoName && choices.updatePrices)
            preview.product = unnamedPrice(row, choices.locale);
        return;
    }
    preview.fate = RowFate::WillAdd;
    preview.product = std::move(judgement.product);
    preview.values = std::move(judgement.values);
    preview.warnings = warningsFor(row, *preview.product, choices.locale);
    preview.notStorable = firstUnstorableText(*preview.product, preview.values, choices.showOnSalesScreen, fidelity);
    if (preview.notStorable)
        preview.warnings |= NotStorable;
}

// Whether the rows of one barcode that count name more than one price.
bool pricesDiffer(const QList<int> &gridRows, const QList<RowPreview> &previews, bool withoutNames)
{
    std::optional<double> price;
    for (const int gridRow : gridRows) {
        const Product &product = *previews.at(gridRow - 1).product;
        if (product.name.isEmpty() && !withoutNames)
            continue;
        if (price && *price != product.price)
            return true;
        price = product.price;
    }
    return false;
}

// What the first row of a registered barcode does to its item. Values are
// compared as stored: the same price, or a name the operator did not ask to
// change, is left alone; a blank name never replaces one.
void judgeUpdate(RowPreview &preview, const SaveChoices &choices, const ado::TextFidelity &fidelity)
{
    const Product &product = *preview.product;
    const ExistingItem &item = preview.existing;
    if (item.problem != PriceProblem::None || !item.price || product.price < 0) {
        preview.fate = RowFate::CannotUpdate;
        return;
    }
    ItemUpdate update{item.id, item.price->portionId, item.price->priceId, item.price->price, {}, item.name, {}};
    if (!item.price->price || *item.price->price != product.price)
        update.newPrice = product.price;
    if (choices.updateNames && !product.name.isEmpty() && product.name != item.name)
        update.newName = product.name;
    // Only a new name is written of the texts a new item would carry.
    preview.notStorable = firstUnstorableText(update, fidelity);
    preview.warnings = preview.notStorable ? preview.warnings | NotStorable : preview.warnings & ~unsigned(NotStorable);
    preview.fate = update.newPrice || update.newName ? RowFate::WillUpdate : RowFate::Unchanged;
    if (preview.fate == RowFate::WillUpdate)
        preview.update = update;
}

}  // namespace

GridVerdicts::GridVerdicts(SaveChoices choices, ExistingBarcodes existing, ado::TextFidelity fidelity,
                           ChoiceRecords records)
    : m_choices(std::move(choices)),
      m_options(m_choices, std::move(records)),
      m_existing(std::move(existing)),
      m_fidelity(std::move(fidelity))
{
}

void GridVerdicts::judgeAll(const QList<ProductRow> &rows)
{
    m_previews.clear();
    m_previews.reserve(rows.size());
    m_rowsByBarcode.clear();
    m_options.learnGroups(rows);
    for (const ProductRow &row : rows) {
        judge(m_previews.emplaceBack(), row, m_choices, m_options, m_fidelity);
        if (const QString *barcode = barcodeOf(m_previews.constLast()))
            m_rowsByBarcode[*barcode].append(int(m_previews.size()));
    }
    for (auto it = m_rowsByBarcode.cbegin(); it != m_rowsByBarcode.cend(); ++it)
        markBarcode(it.key());
}

void GridVerdicts::judgeRow(int gridRow, const ProductRow &row)
{
    if (gridRow < 1 || gridRow > m_previews.size())
        return;
    RowPreview &preview = m_previews[gridRow - 1];
    if (const QString *old = barcodeOf(preview)) {
        const QString oldBarcode = *old;
        QList<int> &group = m_rowsByBarcode[oldBarcode];
        group.removeOne(gridRow);
        if (group.isEmpty())
            m_rowsByBarcode.remove(oldBarcode);
        else
            markBarcode(oldBarcode);
    }
    m_options.learnGroup(row.group);
    preview = RowPreview();
    judge(preview, row, m_choices, m_options, m_fidelity);
    if (const QString *barcode = barcodeOf(preview)) {
        QList<int> &group = m_rowsByBarcode[*barcode];
        group.insert(std::lower_bound(group.begin(), group.end(), gridRow), gridRow);
        markBarcode(*barcode);
    }
}

QStringList GridVerdicts::newGroups() const
{
    QStringList groups;
    if (!m_choices.showOnSalesScreen)
        return groups;
    // Most rows share a few groups: each distinct text is looked at once.
    QSet<QString> texts;
    QSet<QString> keys;
    for (const RowPreview &preview : m_previews) {
        const QString &group = preview.values.group;
        if (preview.fate != RowFate::WillAdd || texts.contains(group))
            continue;
        texts.insert(group);
        if (m_options.isNewGroup(group) && !keys.contains(groupKey(group))) {
            keys.insert(groupKey(group));
            groups << group;
        }
    }
    return groups;
}

void GridVerdicts::addExisting(const ExistingBarcodes &items)
{
    m_existing.insert(items);
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        if (m_rowsByBarcode.contains(it.key()))
            markBarcode(it.key());
    }
}

const QString *GridVerdicts::barcodeOf(const RowPreview &preview)
{
    return preview.product && !preview.product->barcode.isEmpty() ? &preview.product->barcode : nullptr;
}

// Gives every row of `barcode` its fate among the others: all of them taken
// when the database holds the barcode, else the first the original and the
// later ones repeats. With prices updated, the original of a taken barcode
// changes its item, and rows that disagree on the price all stand aside;
// rows without a name only count for a taken barcode.
void GridVerdicts::markBarcode(const QString &barcode)
{
    const QList<int> &gridRows = m_rowsByBarcode.value(barcode);
    const auto known = m_existing.constFind(barcode);
    const bool taken = known != m_existing.cend();
    const bool updating = taken && m_choices.updatePrices;
    const bool conflict = m_choices.updatePrices && pricesDiffer(gridRows, m_previews, updating);
    std::optional<int> original;
    for (const int gridRow : gridRows) {
        RowPreview &preview = m_previews[gridRow - 1];
        // A copy of the one list, not a list of its own.
        preview.barcodeRows = gridRows.size() > 1 ? gridRows : QList<int>();
        preview.existing = taken ? known.value() : ExistingItem{};
        preview.update.reset();
        if (preview.product->name.isEmpty() && !updating) {
            preview.fate = RowFate::SkippedNoName;
            continue;
        }
        const bool first = !original;
        if (first)
            original = gridRow;
        if (conflict)
            preview.fate = RowFate::PriceConflict;
        else if (taken && !updating)
            preview.fate = RowFate::InDatabase;
        else if (!first)
            preview.fate = RowFate::RepeatInFile;
        else if (updating)
            judgeUpdate(preview, m_choices, m_fidelity);
        else
            preview.fate = RowFate::WillAdd;
    }
}

QList<RowPreview> previewRows(const QList<ProductRow> &rows, const SaveChoices &choices,
                              const ExistingBarcodes &existing, const ado::TextFidelity &fidelity,
                              const ChoiceRecords &records)
{
    GridVerdicts verdicts(choices, existing, fidelity, records);
    verdicts.judgeAll(rows);
    return verdicts.previews();
}

QSet<int> duplicateRows(const QList<RowPreview> &previews)
{
    QSet<int> rows;
    for (qsizetype index = 0; index < previews.size(); ++index) {
        const RowFate fate = previews.at(index).fate;
        if (fate == RowFate::InDatabase || fate == RowFate::RepeatInFile)
            rows.insert(int(index) + 1);
    }
    return rows;
}

SavePlan updatePlan(const QList<RowPreview> &previews)
{
    SavePlan plan;
    for (qsizetype index = 0; index < previews.size(); ++index) {
        const RowPreview &preview = previews.at(index);
        const int gridRow = int(index) + 1;
        switch (preview.fate) {
        case RowFate::WillUpdate:
            plan.updates.insert(gridRow, PlannedUpdate{*preview.product, *preview.update});
            break;
        case RowFate::Unchanged:
            plan.unchanged.insert(gridRow);
            break;
        case RowFate::InDatabase:
        case RowFate::RepeatInFile:
        case RowFate::CannotUpdate:
        case RowFate::PriceConflict:
            plan.leaveOut.insert(gridRow);
            break;
        case RowFate::Blank:
        case RowFate::WillAdd:
        case RowFate::SkippedNoName:
        case RowFate::SkippedPrice:
        case RowFate::SkippedChoice:
            break;
        }
    }
    return plan;
}

int countFate(const QList<RowPreview> &previews, RowFate fate)
{
    return int(std::count_if(previews.cbegin(), previews.cend(),
                             [fate](const RowPreview &preview) { return preview.fate == fate; }));
}

}  // namespace import
