#include "import/RowPreview.h"

#include <algorithm>

#include "import/SaveText.h"

namespace bulksave {

namespace {

unsigned warningsFor(const ProductRow &row, const Product &product)
{
    unsigned warnings = NoWarning;
    if (trimSpaces(row.name).size() > product.name.size())
        warnings |= NameCut;
    if (trimSpaces(row.barcode).size() > product.barcode.size())
        warnings |= BarcodeCut;
    if (product.price <= 0)
        warnings |= PriceNotPositive;
    return warnings;
}

RowPreview judge(const ProductRow &row, const QLocale &locale, const SharedTexts &texts,
                 const ado::TextFidelity &fidelity)
{
    RowPreview preview;
    const RowJudgement judgement = judgeRow(row, locale);
    if (!judgement.usable()) {
        preview.fate = judgement.blank ? RowFate::Blank
                       : judgement.skipReason == SkipReason::NoName ? RowFate::SkippedNoName
                                                                    : RowFate::SkippedPrice;
        if (preview.fate == RowFate::SkippedPrice)
            preview.priceText = row.price;
        return preview;
    }
    preview.fate = RowFate::WillAdd;
    preview.product = judgement.product;
    preview.warnings = warningsFor(row, *preview.product);
    preview.notStorable = firstUnstorableText(*preview.product, texts, fidelity);
    if (preview.notStorable)
        preview.warnings |= NotStorable;
    return preview;
}

}  // namespace

GridVerdicts::GridVerdicts(SaveChoices choices, ExistingBarcodes existing, ado::TextFidelity fidelity)
    : m_choices(std::move(choices)),
      m_texts(sharedTexts(m_choices)),
      m_existing(std::move(existing)),
      m_fidelity(std::move(fidelity))
{
}

void GridVerdicts::judgeAll(const QList<ProductRow> &rows)
{
    m_previews.clear();
    m_previews.reserve(rows.size());
    m_rowsByBarcode.clear();
    for (const ProductRow &row : rows) {
        m_previews.append(judge(row, m_choices.locale, m_texts, m_fidelity));
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
    preview = judge(row, m_choices.locale, m_texts, m_fidelity);
    if (const QString *barcode = barcodeOf(preview)) {
        QList<int> &group = m_rowsByBarcode[*barcode];
        group.insert(std::lower_bound(group.begin(), group.end(), gridRow), gridRow);
        markBarcode(*barcode);
    }
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
// later ones repeats.
void GridVerdicts::markBarcode(const QString &barcode)
{
    const QList<int> &gridRows = m_rowsByBarcode.value(barcode);
    const auto known = m_existing.constFind(barcode);
    const bool taken = known != m_existing.cend();
    for (const int gridRow : gridRows) {
        RowPreview &preview = m_previews[gridRow - 1];
        // A copy of the one list, not a list of its own.
        preview.barcodeRows = gridRows.size() > 1 ? gridRows : QList<int>();
        preview.fate = taken ? RowFate::InDatabase : gridRow == gridRows.first() ? RowFate::WillAdd : RowFate::RepeatInFile;
        preview.existing = taken ? known.value() : ExistingItem{};
    }
}

QList<RowPreview> previewRows(const QList<ProductRow> &rows, const SaveChoices &choices,
                              const ExistingBarcodes &existing, const ado::TextFidelity &fidelity)
{
    GridVerdicts verdicts(choices, existing, fidelity);
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

int countFate(const QList<RowPreview> &previews, RowFate fate)
{
    return int(std::count_if(previews.cbegin(), previews.cend(),
                             [fate](const RowPreview &preview) { return preview.fate == fate; }));
}

}  // namespace bulksave
