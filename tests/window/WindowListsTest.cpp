// Start-up, the lookup lists with their id twins, the reset and the colour
// choice, against stand-in databases with known records.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

#include "WindowFixture.h"
#include "db/StandInDatabase.h"
#include "platform/grid/FlexGrid.h"
#include "import/ColourTable.h"
#include "window/GridPreview.h"

namespace {

// A settings file of the point-of-sale application naming `connectionText`.
QString writeSettings(const QTemporaryDir &dir, const QString &connectionText)
{
    const QString path = dir.filePath(QStringLiteral("MenoraSettings.txt"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<?xml version=\"1.0\"?>\n<Settings><ConnectionString>%1</ConnectionString></Settings>\n")
                   .arg(connectionText.toHtmlEscaped())
                   .toUtf8());
    return path;
}

// What the lists hold when the database gave no record or could not be read:
// the leading entries only, none selected.
void expectLeadingEntriesOnly(const urunlertoplu &form)
{
    EXPECT_EQ(WindowFixture::entries(form.Grup), QStringList{"SEÇİLMEDİ"});
    EXPECT_EQ(WindowFixture::entries(form.Grupid), QStringList{"0"});
    EXPECT_EQ(WindowFixture::entries(form.yazici), QStringList{"YOK"});
    EXPECT_EQ(WindowFixture::entries(form.yaziciid), QStringList{"0"});
    EXPECT_EQ(form.kdv->count(), 0);
    EXPECT_EQ(form.kdvid->count(), 0);
    for (QComboBox *list : {form.Grup, form.Grupid, form.yazici, form.yaziciid})
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
}

struct KnownRecords : WindowFixture {
    void SetUp() override { putKnownRecords(); }
};

}  // namespace

TEST_F(KnownRecords, start_up_reads_the_settings_opens_the_database_and_fills_the_lists)
{
    QTemporaryDir settingsDir;
    urunlertoplu form;
    form.Form_Load(writeSettings(settingsDir, database.connectionText()));

    EXPECT_EQ(entries(form.yazici), (QStringList{"YOK", "Mutfak", "Bar", "Kasa"}));
    EXPECT_EQ(entries(form.yaziciid), (QStringList{"0", "5", "7", "9"}));
    EXPECT_EQ(form.yazici->currentIndex(), 0);
    EXPECT_EQ(form.yaziciid->currentIndex(), 0);
    EXPECT_EQ(entries(form.Grup), (QStringList{"SEÇİLMEDİ", "Tatlılar", "İçecekler"}));
    EXPECT_EQ(entries(form.Grupid), (QStringList{"0", "3", "4"}));
    EXPECT_EQ(form.Grup->currentText(), "SEÇİLMEDİ");
    EXPECT_EQ(entries(form.kdv), (QStringList{"KDV %10", "KDV %20"}));
    EXPECT_EQ(entries(form.kdvid), (QStringList{"1", "2"}));
    EXPECT_EQ(form.kdv->currentText(), "KDV %10");
    EXPECT_EQ(form.butonrengi, "#FF0000FF");
    EXPECT_EQ(form.satisekrani2->Rows(), 2);

    // Ending with the tool's name, the title gets no second copy of it from the platform.
    EXPECT_EQ(form.windowTitle(), "pos.db — Toplu Ürün Ekle");
}

TEST(StartUp, an_unreachable_database_opens_the_window_with_the_leading_entries_and_says_why)
{
    QTemporaryDir settingsDir;
    urunlertoplu form;
    form.Form_Load(writeSettings(settingsDir, QStringLiteral("Data Source=") + settingsDir.filePath("yok/pos.db")));
    form.show();
    EXPECT_TRUE(form.isVisible());
    expectLeadingEntriesOnly(form);
    EXPECT_TRUE(form.windowTitle().startsWith("Veritabanı yok: ")) << form.windowTitle().toStdString();
    EXPECT_TRUE(form.windowTitle().endsWith(" — Toplu Ürün Ekle")) << form.windowTitle().toStdString();
    EXPECT_TRUE(form.windowTitle().contains("pos.db")) << "the reason, whole";
    form.satisekrani2->setTextMatrix(1, 2, QStringLiteral("Çay"));
    form.satisekrani2->setTextMatrix(1, 3, QStringLiteral("10"));
    EXPECT_TRUE(form.ozet->text().startsWith("Veritabanı yok, hiçbir ürün eklenemez: ")) << "not “1 eklenecek”";
    EXPECT_TRUE(form.ozet->text().contains("pos.db"));
    EXPECT_EQ(form.preview->toolTip(1, 1), "Veritabanı yok; eklenemez.");

    const QString errors = form.formutemizle().detail();
    EXPECT_EQ(errors.count(u'\n'), 2) << "each of the three reads says why it failed";
}

TEST_F(KnownRecords, a_settings_file_in_an_encoding_that_cannot_be_converted_stops_start_up)
{
    QTemporaryDir settingsDir;
    const QString path = settingsDir.filePath(QStringLiteral("MenoraSettings.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"x-yok-boyle-kod\"?>\n<Settings><ConnectionString>" +
               database.connectionText().toUtf8() + "</ConnectionString></Settings>\n");
    file.close();

    urunlertoplu form;
    const QString refusal = form.Form_Load(path).reason();
    EXPECT_TRUE(refusal.contains(QStringLiteral("MenoraSettings.txt"))) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("karakter kodlaması"))) << refusal.toStdString();
    // Nothing was opened or filled: neither the named database nor the fallback.
    EXPECT_EQ(form.Grup->count(), 0);
    EXPECT_EQ(form.kdv->count(), 0);

    // The same file in a code page the tool converts itself starts as usual.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<?xml version=\"1.0\" encoding=\"windows-1254\"?>\n<Settings><ConnectionString>" +
               database.connectionText().toUtf8() + "</ConnectionString></Settings>\n");
    file.close();
    EXPECT_TRUE(form.Form_Load(path).ok());
    EXPECT_EQ(entries(form.kdv), (QStringList{"KDV %10", "KDV %20"}));
}

TEST(StartUp, a_damaged_database_file_is_named_in_the_title_and_a_save_writes_nothing_to_it)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pos.db"));
    ASSERT_EQ(posdb::createStandInDatabase(path, true), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(4096);  // the second page on: the schema is unreadable
    file.write(QByteArray(8192, '\x5a'));
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    urunlertoplu form;
    form.Form_Load(writeSettings(dir, QStringLiteral("Data Source=") + path));
    form.show();
    EXPECT_TRUE(form.windowTitle().startsWith("Veritabanı yok: ")) << form.windowTitle().toStdString();
    EXPECT_TRUE(form.windowTitle().contains("kullanılamıyor: ")) << form.windowTitle().toStdString();
    form.satisekrani2->setTextMatrix(1, 2, QStringLiteral("Çay"));
    form.satisekrani2->setTextMatrix(1, 3, QStringLiteral("10"));
    MessageCatcher messages;
    form.kaydet->click();
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts.first().startsWith("Veritabanı bağlantısı yok; hiçbir ürün eklenmedi.")) << messages.texts.first().toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST(StartUp, the_title_never_shows_a_password)
{
    ado::Connection connection(QStringLiteral("title-test"));
    connection.setConnectionString(
        QStringLiteral("Provider=SQLOLEDB.1; Data Source=127.0.0.1,1;Initial Catalog=pos;User ID=kasa;Password=Gizli-987;"
                       "Connect Timeout=2"));
    connection.open();
    const QString title = urunlertoplu::titleFor(connection);
    EXPECT_TRUE(title.contains("Veritabanı yok")) << title.toStdString();
    EXPECT_FALSE(title.contains("Gizli-987")) << title.toStdString();
}

TEST_F(KnownRecords, picking_a_printer_moves_its_id_twin)
{
    open();
    window->yazici->setFocus();
    QTest::keyClick(window->yazici, Qt::Key_Down);
    QTest::keyClick(window->yazici, Qt::Key_Down);
    EXPECT_EQ(window->yazici->currentText(), "Bar");
    EXPECT_EQ(window->yaziciid->currentText(), "7");
    EXPECT_EQ(window->yaziciid->currentIndex(), 2);

    window->kdv->setCurrentIndex(1);
    EXPECT_EQ(window->kdvid->currentText(), "2");
}

TEST_F(KnownRecords, typing_a_group_selects_id_zero_and_picking_again_realigns)
{
    open();
    window->Grup->setCurrentIndex(2);
    EXPECT_EQ(window->Grupid->currentText(), "4");

    QTest::keyClicks(window->Grup->lineEdit(), QStringLiteral("Yeni Grup"));
    EXPECT_EQ(window->Grupid->currentIndex(), 0);
    EXPECT_EQ(window->Grupid->currentText(), "0");
    EXPECT_EQ(window->Grup->count(), 3) << "a typed name is no entry of its own";

    // Picking the entry that was shown before the typing: the position does
    // not change, the pick alone must realign the twin.
    ASSERT_EQ(window->Grup->currentIndex(), 2);
    window->show();
    window->Grup->showPopup();
    QTest::keyClick(window->Grup->view(), Qt::Key_Return);
    EXPECT_EQ(window->Grupid->currentText(), "4");
    window->Grup->setCurrentIndex(1);
    EXPECT_EQ(window->Grupid->currentText(), "3");
}

TEST_F(KnownRecords, a_second_reset_puts_every_input_back_to_its_default_and_each_record_in_once)
{
    open();
    window->Grup->setCurrentIndex(1);
    window->birim->setCurrentIndex(1);
    window->yazici->setCurrentIndex(3);
    window->renk1->setCurrentIndex(2);
    window->renk2->setCurrentIndex(0);
    window->goster->setChecked(true);
    window->altmenu->setText(QStringLiteral("alt"));
    window->id->setText(QStringLiteral("42"));
    window->say->setText(QStringLiteral("7"));
    window->satisekrani2->setRows(5);
    window->satisekrani2->setTextMatrix(3, 2, QStringLiteral("Çay"));

    EXPECT_TRUE(window->formutemizle().ok());
    EXPECT_EQ(entries(window->Grup).size(), 3);
    EXPECT_EQ(entries(window->Grupid).size(), 3);
    EXPECT_EQ(entries(window->kdv).size(), 2);
    EXPECT_EQ(entries(window->yazici).size(), 4);
    EXPECT_EQ(entries(window->yaziciid).size(), 4);
    EXPECT_EQ(window->Grup->currentIndex(), 0);
    EXPECT_EQ(window->Grupid->currentIndex(), 0);
    EXPECT_EQ(window->birim->currentText(), "Adet");
    EXPECT_EQ(window->yaziciid->currentIndex(), 0);
    EXPECT_EQ(window->renk1->currentText(), "MAVİ");
    EXPECT_EQ(window->butonrengi, "#FF0000FF");
    EXPECT_EQ(window->renk2->currentText(), "SİYAH");
    EXPECT_EQ(window->yazirengi, "#FF000000");
    EXPECT_FALSE(window->goster->isChecked());
    EXPECT_EQ(window->altmenu->text(), "");
    EXPECT_EQ(window->id->text(), "");
    EXPECT_EQ(window->say->text(), "7") << "the counter keeps the last save's count";
    EXPECT_EQ(window->satisekrani2->Rows(), 2);
    EXPECT_EQ(window->satisekrani2->TextMatrix(1, 2), "");
}

TEST_F(WindowFixture, empty_tables_leave_only_the_leading_entries_unselected)
{
    open();
    expectLeadingEntriesOnly(*window);
    EXPECT_EQ(window->Grup->currentText(), "");
}

TEST_F(WindowFixture, a_null_name_stays_in_both_lists_so_the_pair_stays_aligned)
{
    database.exec("INSERT INTO Printers (id, Name) VALUES (5, 'Mutfak'), (6, NULL), (7, 'Bar')");
    open();
    EXPECT_EQ(entries(window->yazici), (QStringList{"YOK", "Mutfak", "", "Bar"}));
    EXPECT_EQ(entries(window->yaziciid), (QStringList{"0", "5", "6", "7"}));
    window->yazici->setCurrentIndex(3);
    EXPECT_EQ(window->yaziciid->currentText(), "7");
}

TEST_F(WindowFixture, a_failing_list_query_is_reported_to_the_code_and_the_others_still_fill)
{
    database.exec("INSERT INTO Printers (id, Name) VALUES (5, 'Mutfak')");
    database.exec("DROP TABLE TaxTemplates");
    window = std::make_unique<urunlertoplu>(database.connection);
    const QString errors = window->formutemizle().detail();
    EXPECT_TRUE(errors.startsWith("TaxTemplates: ")) << errors.toStdString();
    EXPECT_EQ(window->kdv->count(), 0);
    EXPECT_EQ(entries(window->yazici), (QStringList{"YOK", "Mutfak"}));
    EXPECT_EQ(window->renk1->currentText(), "MAVİ") << "the reset goes on past the failure";
}

TEST_F(WindowFixture, each_colour_entry_sets_its_colour_text_and_no_selection_keeps_the_last)
{
    open();
    const std::pair<const char *, const char *> colours[] = {
        {"BEYAZ", "White"},     {"KIRMIZI", "#FFFF0000"}, {"SARI", "#FFFFFF00"}, {"MAVİ", "#FF0000FF"},
        {"SİYAH", "#FF000000"}, {"YEŞİL", "#FF008000"},   {"GRİ", "#FFABA99E"},  {"MOR", "#FFA589C7"}};
    for (int position = 0; position < 8; ++position) {
        window->renk1->setCurrentIndex(position);
        window->renk2->setCurrentIndex(position);
        EXPECT_EQ(window->renk1->currentText(), QString::fromUtf8(colours[position].first));
        EXPECT_EQ(window->butonrengi, colours[position].second);
        EXPECT_EQ(window->yazirengi, colours[position].second);
    }
    window->renk1->setCurrentIndex(-1);
    EXPECT_EQ(window->butonrengi, "#FFA589C7");
    EXPECT_EQ(import::colourText(8), std::nullopt);
}
