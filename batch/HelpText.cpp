#include "batch/BatchOptions.h"

namespace batch {

QString helpText()
{
    return QStringLiteral(R"(Kullanım / Usage: toplu-ekle [seçenekler / options] TABLO-DOSYASI / SPREADSHEET
                  toplu-ekle --export DOSYA.xlsx [--group METİN] [hedef / target]

Tablodaki ürünleri satış programının veritabanına menü ürünü olarak ekler;
pencerenin KAYDET düğmesiyle aynı işi yapar. Sütunlar tablonun başlık
satırından okunur (grup, birim, yazıcı, renk, alt grup sütunları da); başlık
yoksa A barkod, B ad, C fiyat.
Adds the sheet's products to the point-of-sale database as menu items,
exactly as the window's KAYDET button does. Columns are read by the sheet's
header row (group, unit, printer, colour and sub-menu columns too); without
one, A barcode, B name, C price.
Okunan dosyalar / files read: .xls .xlsx .xlsm .ods .csv .txt .htm .html

Seçimler / choices:
  --group METİN        Menü grubu / menu group (varsayılan / default "SEÇİLMEDİ")
  --unit Adet|Kg       Birim / unit (varsayılan / default Adet)
  --printer AD|NO      Yazıcı adı ya da numarası; yoksa yazıcı eşlemesi yazılmaz.
                       Printer name or id; without it no printer mapping is written.
                       Bilinmeyen yazıcı o hedefe hiçbir şey yazdırmaz.
                       An unknown printer fails that target before any write.
  --colour RENK        Buton rengi / button colour: BEYAZ KIRMIZI SARI MAVİ SİYAH
                       YEŞİL GRİ MOR (MAVI, SIYAH, YESIL, GRI de olur; default MAVİ)
  --show               Satışta göster (ekran düğmesi ekle) / show on the sales screen
  --submenu ETİKET     Alt menü etiketi / sub-menu tag
  --duplicates skip|add|stop|update
                       Barkodu zaten kayıtlı ya da dosyada tekrar eden satırlar:
                       skip atlar (varsayılan), add yine de ekler, stop o hedefe
                       hiçbir şey yazmaz, update kayıtlı ürünün fiyatını
                       dosyadakiyle değiştirir (yeni barkodlar eklenir).
                       Rows whose barcode is already an item's or repeats in the
                       file: skip leaves them out (default), add writes them,
                       stop writes nothing on that target, update gives the
                       item holding the barcode the file's price (new barcodes
                       are added).
  --update-names       update ile ürün adları da değişir (boş ad değiştirmez).
                       With update, the items' names change too (a blank name
                       changes nothing).
  --dry-run            Yalnız ön izleme; hiçbir şey yazılmaz.
                       Preview only; nothing is written.
  --locale AD          Fiyat sayılarının dili, örn. tr_TR (varsayılan: sistemin).
                       Number rules of the prices, e.g. tr_TR (default: the system's).

Sütunlar / columns:
  --columns ALAN=SÜTUN,...
                       Alanların sütunları elle: harfle (C, AD) ya da başlık
                       hücresinin metniyle; verilmeyen alanlar başlığa göre.
                       Alanlar: barkod ad fiyat grup birim yazıcı renk "alt grup".
                       Fields' columns by hand: by letters (C, AD) or by the
                       header cell's text; the other fields as the header says.
                       Fields: barcode name price group unit printer colour
                       submenu. Örnek / example:
                       --columns "ad=Stok Adı,fiyat=Tutar,barkod=C"
  --no-header          Başlık satırı aranmaz: A barkod, B ad, C fiyat (ya da
                       --columns harfleri); ilk satır da ürün sayılır.
                       No header row is looked for: A barcode, B name, C price
                       (or the --columns letters); the first row is a product too.
  Grup hücresi boş satır --group grubuna girer / a blank group cell takes --group.

Hedefler / targets (verilmezse pencerenin bağlantısı / default: the window's connection):
  --settings DOSYA     Başka bir ayar dosyasının bağlantısı / another settings file
  --connection METİN   OLE DB bağlantı metni; tekrarlanabilir, her hedefe aynı aktarım.
                       OLE DB connection text; may be repeated, every target gets
                       the same import, one after another.
                       Data Source: SUNUCU, SUNUCU,PORT ya da SUNUCU\ÖRNEK (örnek
                       adı SQL Server Browser hizmetine sorulur).
                       Data Source: HOST, HOST,PORT or HOST\INSTANCE (the
                       instance's port is asked of the SQL Server Browser service).

Geri alma / undo (tablo dosyası verilmez / no spreadsheet):
  --undo-last          Her hedefe yapılan son aktarımı geri alır.
                       Undoes the last import into each target.
  --undo KAYIT         Bu geri alma kaydının aktarımını geri alır (tek hedef).
                       Undoes the import of this journal (one target).
  Her aktarımın geri alma kaydı / every import's journal:
  ~/.local/share/toplu-urun-ekle/journal (Windows: %APPDATA%\toplu-urun-ekle\journal)

Menüyü dışa aktarma / exporting the menu (tablo dosyası verilmez / no spreadsheet):
  --export DOSYA.xlsx  Hedefin menüsünü, düzenleyip yeniden yüklemek için bir
                       çalışma kitabına yazar: A barkod (metin), B ad, C fiyat
                       (sayı), D grup. Barkodu olmayan ya da fiyatı okunamayan
                       ürünler yazılmaz, sayıları standart hataya yazılır. Tek hedef.
                       Writes the target's menu to a workbook to edit and load
                       again: A barcode (text), B name, C price (number), D group.
                       Items without a barcode or whose price cannot be read are
                       left out and counted on standard error. One target only.
  --group METİN        Dışa aktarmada yalnız bu gruptaki ürünler.
                       With --export, only this group's items.

Rapor / report:
  --report DOSYA       Satır raporu standart çıktı yerine bu dosyaya.
                       The row report into this file instead of standard output.
  --json               Rapor JSON olarak (varsayılan CSV) / report as JSON (default CSV)
  CSV sütunları / columns:
    target,row,barcode,name,group,status,reason,item_id,old_price,new_price
  row: tablodaki satır numarası / the row's number in the sheet
  group: satırın eklendiği ya da ekleneceği grup / the row's group as stored
  status: landed, skipped, duplicate, failed, not-attempted, would-add, would-fail
  CSV'de =, +, -, @, sekme ya da satır başıyla başlayan metnin önüne ' konur.
  In CSV a text starting with =, +, -, @, tab or CR gets a leading '.
  Hedef başına özet ve (terminalde) ilerleme standart hataya yazılır.
  A summary per target, and progress on a terminal, go to standard error.
  Parolalar hiçbir çıktıda görünmez / passwords never appear in any output.

Çıkış durumu / exit status:
  0   Her hedefe her kullanılabilir satır eklendi (ya da temiz bir ön izleme,
      ya da geri alma yapıldı).
      Every usable row landed on every target (or a clean dry run, or the undo
      was done).
  1   Bazı satırlar atlandı, tekrar olduğu için eklenmedi ya da eklenemedi,
      ya da dosya hasarlı okundu (geri almada: geri alma reddedildi).
      Some rows were skipped, left out as duplicates or failed, or the file
      was read damaged (undoing: the undo was refused).
  2   Dosya okunamadı / the file cannot be read.
  3   Bir hedefe bağlanılamadı / a target could not be reached.
  64  Yanlış kullanım ya da rapor yazılamadı.
      Wrong usage, or the report cannot be written.
  --export: 0 yazıldı / written; 3 veritabanına bağlanılamadı ya da menü
      okunamadı / the database cannot be reached or its menu read; 64 yanlış
      kullanım ya da çalışma kitabı yazılamadı / wrong usage, or the workbook
      cannot be written.
)");
}

}  // namespace batch
