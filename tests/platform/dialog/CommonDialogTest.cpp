// The file-open dialog stand-in: how the dialog is set up for a request, and
// what FileName holds after the modal part answered.
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/dialog/CommonDialog.h"

TEST(CommonDialog, a_pattern_lists_matching_entries_of_its_folder_and_the_flag_accepts_existing_files_only)
{
    const auto mustExist = dialog::makeOpenDialog(nullptr, {QStringLiteral("*.xls"), dialog::cdlOFNFileMustExist, {}});
    EXPECT_EQ(mustExist->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(mustExist->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(mustExist->nameFilters(), QStringList{"*.xls"});
    EXPECT_EQ(QDir(mustExist->directory()).absolutePath(), QDir::current().absolutePath());

    QTemporaryDir folder;
    const auto anyName = dialog::makeOpenDialog(nullptr, {folder.filePath(QStringLiteral("*.xls")), 0, {}});
    EXPECT_EQ(anyName->fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(QDir(anyName->directory()).absolutePath(), QDir(folder.path()).absolutePath());
    EXPECT_EQ(anyName->nameFilters(), QStringList{"*.xls"});
}

TEST(CommonDialog, a_filter_offers_its_kinds_first_one_chosen_and_wins_over_a_pattern_name)
{
    const auto offered = dialog::makeOpenDialog(
        nullptr, {QStringLiteral("*.xls"), 0, QStringLiteral("Tablolar|*.xls;*.ods|Excel|*.xls|eksik")});
    EXPECT_EQ(offered->nameFilters(), (QStringList{"Tablolar (*.xls *.ods)", "Excel (*.xls)"}));
    EXPECT_EQ(offered->selectedNameFilter(), "Tablolar (*.xls *.ods)");
}

TEST(CommonDialog, show_open_hands_the_request_to_the_prompt_and_keeps_its_answer_or_an_empty_name)
{
    dialog::CommonDialog dlg;
    dialog::OpenRequest asked;
    QString answer = QStringLiteral("/veri/ürünler.xls");
    dlg.setPrompt([&](QWidget *, const dialog::OpenRequest &request) {
        asked = request;
        return answer;
    });
    dlg.setFileName(QStringLiteral("*.xls"));
    dlg.setFlags(4096);
    dlg.ShowOpen();
    EXPECT_EQ(asked.fileName, "*.xls");
    EXPECT_EQ(asked.flags, 4096);
    EXPECT_EQ(dlg.FileName(), "/veri/ürünler.xls");

    answer.clear();  // a cancel
    dlg.ShowOpen();
    EXPECT_EQ(dlg.FileName(), "");
}
