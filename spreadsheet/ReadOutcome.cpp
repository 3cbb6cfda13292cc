#include "spreadsheet/ReadOutcome.h"

#include <QLocale>

#include "spreadsheet/RowCells.h"

namespace spreadsheet {

namespace {

QString reasonFor(ReadError error)
{
    switch (error) {
    case ReadError::CannotOpen:
        return QStringLiteral("Dosya açılamadı: bulunamadı ya da okuma izni yok.");
    case ReadError::Empty:
        return QStringLiteral("Dosya boş: ilk sayfada hiç veri yok.");
    case ReadError::NotSpreadsheet:
        return QStringLiteral("Bu bir tablo dosyası değil. ") + readableKinds();
    case ReadError::PasswordProtected:
        return QStringLiteral("Dosya parola ile korunuyor. Parolayı kaldırıp yeniden kaydedin, sonra tekrar deneyin.");
    case ReadError::Damaged:
        return QStringLiteral("Dosya bozuk ya da yarım kalmış; okunamadı.");
    case ReadError::Unsupported:
        return QStringLiteral("Dosya çok eski bir Excel sürümüyle kaydedilmiş (Excel 2.x–4.x). "
                              "Excel 97–2003 ya da daha yeni bir biçimde kaydedip tekrar deneyin.");
    case ReadError::TooManyRows:
        return QStringLiteral("Dosyada çok fazla satır var: en çok %1 satır okunabilir.")
            .arg(QLocale(QLocale::Turkish, QLocale::Turkey).toString(kMaxRows));
    case ReadError::BinaryWorkbook:
        return QStringLiteral("Dosya Excel ikili çalışma kitabı (.xlsb) biçiminde; bu biçim okunamıyor. "
                              "Excel'de Dosya > Farklı Kaydet ile «Excel Çalışma Kitabı (.xlsx)» türünde "
                              "kaydedip tekrar deneyin.");
    case ReadError::None:
        break;
    }
    return {};
}

}  // namespace

QString readableKinds()
{
    return QStringLiteral("Okunabilen dosyalar: Excel (.xls, .xlsx, .xlsm), OpenDocument (.ods), virgül ya da "
                          "noktalı virgülle ayrılmış metin (.csv, .txt) ve web sayfası olarak kaydedilmiş tablolar "
                          "(.htm, .html).");
}

void ReadOutcome::refuse(ReadError why, const QString &detail)
{
    error = why;
    setOutcome(failure(reasonFor(why), detail));
}

}  // namespace spreadsheet
