// Qt's own dialogs speak the operator's language.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

#include "window/QtTranslations.h"

TEST(QtTranslations, a_turkish_operator_reads_the_file_dialog_and_the_message_box_buttons_in_turkish)
{
    QTranslator *translator = installQtTranslations(QLocale(QLocale::Turkish, QLocale::Turkey));
    ASSERT_NE(translator, nullptr) << "scripts/deps.sh installs Qt's translations";

    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "Tamam");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "İptal");

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const auto *buttons = dialog.findChild<QDialogButtonBox *>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text().remove(u'&'), "Aç");

    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(QMessageBox(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok).button(QMessageBox::Ok)->text(),
              "OK");
}

TEST(QtTranslations, a_language_without_a_catalogue_keeps_english)
{
    EXPECT_EQ(installQtTranslations(QLocale(QLocale::Zulu, QLocale::SouthAfrica)), nullptr);
}
