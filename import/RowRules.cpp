#include "import/RowRules.h"

#include "import/SaveText.h"

namespace import {

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

QString unchosenGroup()
{
    return QStringLiteral("SEÇİLMEDİ");
}

RowValues windowValues(const SaveChoices &choices)
{
    const QString printerId = trimSpaces(choices.printerId);
    const bool printer = choices.printerPosition > 0 && !printerId.isEmpty();
    return RowValues{cutTo50(trimSpaces(choices.group)),
                     choices.unitPosition == 0 ? QStringLiteral("1") : QStringLiteral("1000"), choices.buttonColor,
                     trimSpaces(choices.subMenuTag), printer ? std::optional<QString>(printerId) : std::nullopt};
}

std::optional<UnstorableText> firstUnstorableText(const Product &product, const RowValues &values, bool button,
                                                  const ado::TextFidelity &fidelity)
{
    const UnstorableText texts[] = {
        {"MenuItems", "GroupCode", "grup", values.group},
        {"MenuItems", "Barcode", "barkod", product.barcode},
        {"MenuItems", "Name", "ürün adı", product.name},
        {"ScreenMenuItems", "ButtonColor", "buton rengi", button ? values.buttonColor : QString()},
        {"ScreenMenuItems", "SubMenuTag", "alt grup", button ? values.subMenuTag : QString()},
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

}  // namespace import
