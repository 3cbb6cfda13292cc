#include "import/RowRules.h"

#include "import/SaveText.h"

namespace bulksave {

RowJudgement judgeRow(const ProductRow &row, const QLocale &locale)
{
    RowJudgement judgement;
    const QString barcode = trimSpaces(row.barcode);
    const QString name = trimSpaces(row.name);
    const std::optional<double> price = localeNumber(row.price, locale);
    if (!name.isEmpty() && price) {
        judgement.product = Product{cutTo50(barcode), cutTo50(name), *price};
        return judgement;
    }
    judgement.blank = barcode.isEmpty() && name.isEmpty() && trimSpaces(row.price).isEmpty();
    if (!judgement.blank)
        judgement.skipReason = name.isEmpty() ? SkipReason::NoName : SkipReason::PriceNotNumber;
    return judgement;
}

std::optional<Product> unnamedPrice(const ProductRow &row, const QLocale &locale)
{
    const QString barcode = trimSpaces(row.barcode);
    const std::optional<double> price = localeNumber(row.price, locale);
    if (barcode.isEmpty() || !price)
        return std::nullopt;
    return Product{cutTo50(barcode), QString(), *price};
}

SharedTexts sharedTexts(const SaveChoices &choices)
{
    return SharedTexts{cutTo50(trimSpaces(choices.group)), choices.showOnSalesScreen, choices.buttonColor,
                       trimSpaces(choices.subMenuTag)};
}

std::optional<UnstorableText> firstUnstorableText(const Product &product, const SharedTexts &shared,
                                                  const ado::TextFidelity &fidelity)
{
    const UnstorableText texts[] = {
        {"MenuItems", "GroupCode", "grup", shared.group},
        {"MenuItems", "Barcode", "barkod", product.barcode},
        {"MenuItems", "Name", "ürün adı", product.name},
        {"ScreenMenuItems", "ButtonColor", "buton rengi", shared.button ? shared.buttonColor : QString()},
        {"ScreenMenuItems", "SubMenuTag", "alt grup", shared.button ? shared.subMenuTag : QString()},
    };
    for (const UnstorableText &text : texts) {
        if (!fidelity.isExact(text.value))
            return text;
    }
    return std::nullopt;
}

std::optional<UnstorableText> firstUnstorableText(const ItemUpdate &update, const ado::TextFidelity &fidelity)
{
    if (!update.newName || fidelity.isExact(*update.newName))
        return std::nullopt;
    return UnstorableText{"MenuItems", "Name", "ürün adı", *update.newName};
}

}  // namespace bulksave
