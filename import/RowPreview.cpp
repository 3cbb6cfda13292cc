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

QList<RowPreview> previewRows(const QList<ProductRow> &rows, const SaveChoices &choices,
                              const ExistingBarcodes &existing, const ado::TextFidelity &fidelity)
{
    const SharedTexts texts = sharedTexts(choices);
    QList<RowPreview> previews;
    previews.reserve(rows.size());
    QHash<QString, QList<int>> rowsByBarcode;  // grid rows of every usable barcode, in order
    for (const ProductRow &row : rows) {
        previews.append(judge(row, choices.locale, texts, fidelity));
        const RowPreview &preview = previews.constLast();
        if (preview.product && !preview.product->barcode.isEmpty())
            rowsByBarcode[preview.product->barcode].append(int(previews.size()));
    }
    for (auto it = rowsByBarcode.cbegin(); it != rowsByBarcode.cend(); ++it) {
        const QList<int> &gridRows = it.value();
        const auto known = existing.constFind(it.key());
        for (const int gridRow : gridRows) {
            RowPreview &preview = previews[gridRow - 1];
            preview.sameBarcodeRows = gridRows;
            preview.sameBarcodeRows.removeOne(gridRow);
            if (known != existing.cend()) {
                preview.fate = RowFate::InDatabase;
                preview.existing = known.value();
            } else if (gridRow != gridRows.first()) {
                preview.fate = RowFate::RepeatInFile;
            }
        }
    }
    return previews;
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
