#include "import/LoadReport.h"

#include <QFileInfo>
#include <QLocale>

namespace loadreport {

namespace {

using spreadsheet::ReadError;

QString refusal(ReadError error)
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
            .arg(QLocale(QLocale::Turkish, QLocale::Turkey).toString(spreadsheet::kMaxRows));
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

QString loadMessage(const QString &path, const spreadsheet::ReadOutcome &sheet)
{
    const QString name = QStringLiteral("«%1»").arg(QFileInfo(path).fileName());
    if (!sheet.ok())
        return name + u'\n' + refusal(sheet.error);
    if (sheet.damaged)
        return name + u'\n'
               + QStringLiteral("Dosya hasarlı; okunabildiği kadarı yüklendi. Bazı hücreler eksik olabilir, "
                                "kaydetmeden önce satırları kontrol edin.");
    return {};
}

}  // namespace loadreport
