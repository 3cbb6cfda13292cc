#pragma once
// The texts the operator reads about a bulk save.

#include <QString>

#include "import/BulkImport.h"
#include "import/ProgressMeter.h"
#include "import/RowPreview.h"

namespace bulksave {

// A cell's text as a reason, a tooltip or a message quotes it: its first 100
// characters, then "…" when there are more (a cell may hold a whole page).
QString cellQuote(const QString &text);

// The guard's message when no grid row has a name.
QString guardMessage();

// The completion message box text. Exactly "Toplu Ürün Eklendi" when every
// product row landed as a new item; that line and the counts ("Eklenen ürün:
// 38", "Güncellenen ürün: 12" when not zero, "Fiyatı aynı olan: 4 (…)", then
// "Atlanan satır: 2 (5, 9)", "Tekrar olduğu için eklenmeyen: 3 (4, 7, 8)" and
// "Hatalı satır: 1 (12: <message>)" when not
// zero, long lists ending in "…") otherwise. A stopped save opens with
// "Kaydetme durduruldu" instead, the counts following, and lists the rows it
// did not attempt ("Denenmeyen satır: 120 (381, 382, …)"). The no-connection
// line and its reason when the database was not open.
QString completionMessage(const SaveResult &result);

// A running save's figures, e.g. "5000/10000 satır · 812 satır/sn · kalan
// 0:07"; the time left is "?" until the rate is known.
QString progressText(const ProgressMeter &meter);

// The preview's one-line summary, e.g. "38 eklenecek · 2 atlanacak · 3 barkod
// zaten kayıtlı · 1 barkod dosyada tekrar", counting rows; parts that count
// nothing are left out, except the first. `newGroups`, the categories the
// save would create, end it ("2 yeni grup: Tatlılar, Soğuk İçecekler").
QString previewSummary(const QList<RowPreview> &previews, const QStringList &newGroups = {});

// Why the save will not add a row, as the operator reads it: "ürün adı yok",
// "fiyat bir sayı değil (“on”)", "barkod zaten kayıtlı: “Eski Çay” (no 42)",
// "barkod dosyada daha önce geçiyor: satır 2", "fiyat aynı", "kayıtlı ürün
// güncellenemez: birden çok porsiyon (no 7)", "dosyada farklı fiyatlarla
// tekrar: satır 2, 5"; "" for a row it will add or update and a blank row.
QString notAddedReason(const RowPreview &preview);

// A price as the operator reads it, "52,50", whatever the system's locale.
QString priceText(double price);

// What an update does to the price, "45,00 → 52,50" ("fiyat yok → 52,50"
// for a price record it creates; the old price twice when only the name
// changes).
QString priceChangeText(const ItemUpdate &update);

// Why a row with `text` will fail, e.g. "Name sütunundaki “Kahve �” bozuk bir
// karakter içeriyor" (half of a surrogate pair, which no database stores).
QString notStorableReason(const UnstorableText &text);

// Why the save did not land `outcome`'s row, in Turkish, with `preview` its
// verdict: the skip or duplicate reason, or the failed table and the
// database's message; "" for a row that landed or was blank.
QString notLandedReason(const RowOutcome &outcome, const RowPreview &preview);

// Why a stopped save did not reach its remaining rows.
QString notReachedReason();

// A grid row the save did not land, with why.
struct RowNotLanded {
    int gridRow = 0;
    ProductRow row;
    QString reason;
};

// The product rows of `rows` (rows[0] = grid row 1) that `result` did not
// land, in grid order: skipped, left out, failed, and those a stopped save
// never reached. `previews` are the verdicts the save was started with;
// they give the reasons of the skipped and left-out rows.
QList<RowNotLanded> rowsNotLanded(const SaveResult &result, const QList<ProductRow> &rows,
                                  const QList<RowPreview> &previews);

// The question asked before a save that would write duplicates, e.g. "3
// ürünün barkodu zaten kayıtlı; 1 barkod dosyada birden çok kez geçiyor.":
// rows whose barcode is a menu item's, and barcodes that stand on more than
// one row of the file; "" when there are none of either.
QString duplicateQuestion(const QList<RowPreview> &previews);

}  // namespace bulksave
