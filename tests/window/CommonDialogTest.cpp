// The file-open dialog stand-in: how the dialog is set up for a request, and
// what FileName holds after the modal part answered.
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/dialog/CommonDialog.h"

TEST(CommonDialog, a_pattern_lists_matching_entries_and_the_flag_accepts_existing_files_only)
{
    const auto fileDialog = dialog::makeOpenDialog(nullptr, {QStringLiteral("*.xls"), dialog::cdlOFNFileMustExist});
    EXPECT_EQ(fileDialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(fileDialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(fileDialog->nameFilters(), QStringList{"*.xls"});
    EXPECT_EQ(QDir(fileDialog->directory()).absolutePath(), QDir::current().absolutePath());
}

TEST(CommonDialog, without_the_flag_any_name_is_accepted)
{
    const auto fileDialog = dialog::makeOpenDialog(nullptr, {QStringLiteral("*.xls"), 0});
    EXPECT_EQ(fileDialog->fileMode(), QFileDialog::AnyFile);
}

TEST(CommonDialog, a_pattern_with_a_folder_opens_that_folder)
{
    QTemporaryDir folder;
    const auto fileDialog = dialog::makeOpenDialog(nullptr, {folder.filePath(QStringLiteral("*.xls")), 0});
    EXPECT_EQ(QDir(fileDialog->directory()).absolutePath(), QDir(folder.path()).absolutePath());
    EXPECT_EQ(fileDialog->nameFilters(), QStringList{"*.xls"});
}

TEST(CommonDialog, show_open_hands_the_request_to_the_prompt_and_keeps_its_answer)
{
    dialog::CommonDialog dlg;
    dialog::OpenRequest asked;
    dlg.setPrompt([&asked](QWidget *, const dialog::OpenRequest &request) {
        asked = request;
        return QStringLiteral("/veri/ürünler.xls");
    });
    dlg.setFileName(QStringLiteral("*.xls"));
    dlg.setFlags(4096);
    dlg.ShowOpen();
    EXPECT_EQ(asked.fileName, "*.xls");
    EXPECT_EQ(asked.flags, 4096);
    EXPECT_EQ(dlg.FileName(), "/veri/ürünler.xls");
    EXPECT_EQ(dlg.Flags(), 4096);
}

TEST(CommonDialog, a_cancel_leaves_an_empty_file_name)
{
    dialog::CommonDialog dlg;
    dlg.setPrompt([](QWidget *, const dialog::OpenRequest &) { return QString(); });
    dlg.setFileName(QStringLiteral("*.xls"));
    dlg.ShowOpen();
    EXPECT_EQ(dlg.FileName(), "");
}
