#pragma once
// The texts the operator reads about a bulk save.

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "import/BulkImport.h"
#include "import/ProgressMeter.h"
#include "import/RowPreview.h"

namespace import {

// A cell's text as a reason, a tooltip or a message quotes it: its first 100
// characters, then "…" when there are more (a cell may hold a whole page).
QString cellQuote(const QString &text);

// Grid rows as the operator reads them, runs written as ranges: "2, 5–7,
// 9" (en dash). At most `listed` entries, a range counting as one, then
// "…". `rows` ascend, as a save visits them.
QString rowRanges(const QList<int> &rows, qsizetype listed = 20);

// The guard's message when no grid row has a name: "Ürünleri Fiyatıyla
// Ekleyin", then a line on how to give it rows.
QString guardMessage();

// The completion message box text. Its first line says what the save did:
// "40 ürün eklendi", "40 ürün eklendi, 12 ürün güncellendi", "12 ürün
// güncellendi" or "Hiçbir ürün eklenmedi"; a stopped save's reads
// "Kaydetme durduruldu: 40 ürün eklendi". When every product row landed as
// a new item with no warning, that line is all. Otherwise lines follow,
// each when it counts something, rows as rowRanges writes them:
// "Güncellenen ürün: 12 (3–14)", "Uyarıyla eklenen: 3 (5, 9–10); ad
// kısaltıldı 2, fiyat sıfır ya da eksi 1" (likewise "Uyarıyla
// güncellenen"), "Fiyatı aynı olan", "Atlanan satır", "Tekrar olduğu için
// eklenmeyen", "Hatalı satır: 1 (12: <message>)" (five at most) and
// "Denenmeyen satır" for the rows a stopped save did not attempt.
// `previews` (previews[i] = the verdict of grid row i + 1 as the save began)
// give the warnings; without them no row counts as warned. The
// no-connection line and its reason when the database was not open.
QString completionMessage(const SaveResult &result, const QList<RowPreview> &previews = {});

// The completion message box's caption: "Toplu Ürün Eklendi" when at least
// one product was added, "" otherwise (the window then uses its own name).
QString completionCaption(const SaveResult &result);

// How a price text was read, e.g. "“12,5” → 12,50", and with the locale's
// group separator in it "“1.234” → 1.234,00 (nokta binlik ayırıcı
// sayıldı)"; "" for a text that is no number under `locale`.
QString priceReading(const QString &text, const QLocale &locale);

// Rows a save will add under choices the operator may have left by
// mistake: filed in the unchosen group, or shown on the sales screen with
// no printer to send their orders to.
struct ChoiceWarnings {
    int unchosenGroup{};
    int noPrinter{};

    bool any() const { return unchosenGroup > 0 || noPrinter > 0; }
};

// Counts the rows of `previews` that will be added as new items (WillAdd,
// and storable) whose group is unchosenGroup(), and, when `choices` show
// items on the sales screen, those without a printer.
ChoiceWarnings choiceWarnings(const QList<RowPreview> &previews, const SaveChoices &choices);

// What will happen for `warnings`, one sentence a line, e.g. "40 ürün
// “SEÇİLMEDİ” grubuna eklenecek (grup seçilmedi)." and "Satışta
// gösterilecek 40 ürün hiçbir yazıcıya gönderilmeyecek (yazıcı
// seçilmedi)."; none when there is nothing to warn of. How to change the
// choices is each front end's to say.
// Before the save the lines tell what will happen; after it, Tense::Past,
// what happened ("… grubuna eklendi"); a product left without a printer
// stays so either way.
enum class Tense { Future, Past };
QStringList choiceWarningLines(const ChoiceWarnings &warnings, Tense tense = Tense::Future);

// A running save's figures, e.g. "5000/10000 satır · 812 satır/sn · kalan
// 0:07"; the time left is "?" until the rate is known.
QString progressText(const ProgressMeter &meter);

// The preview's one-line summary, e.g. "38 eklenecek (3 uyarıyla) · 2
// atlanacak · 3 barkod zaten kayıtlı · 1 barkod dosyada tekrar", counting
// rows; parts that count nothing are left out, except the first, and so is
// its count of rows to be added with a warning when there are none. `newGroups`, the categories the
// save would create, end it ("2 yeni grup: Tatlılar, Soğuk İçecekler").
QString previewSummary(const QList<RowPreview> &previews, const QStringList &newGroups = {});

// Why the save will not add a row, as the operator reads it: "ürün adı yok",
// "fiyat bir sayı değil (“on”)", "barkod zaten kayıtlı: “Eski Çay” (no 42)",
// "barkod dosyada daha önce geçiyor: satır 2", "fiyat aynı", "kayıtlı ürün
// güncellenemez: birden çok porsiyon (no 7)", "dosyada farklı fiyatlarla
// tekrar: satır 2, 5–6"; "" for a row it will add or update and a blank row.
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

}  // namespace import
