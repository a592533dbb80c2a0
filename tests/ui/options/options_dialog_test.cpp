// The options dialog over a real main window and edit dialog.
#include "ui/options/options_dialog.h"
#include <QComboBox>

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace velmora::ui {
namespace {

class OptionsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        window = open();
        edit = std::make_unique<AlbumEditDialog>(*window, prompter);
        window->attachEditForm(edit.get());
        options = std::make_unique<OptionsDialog>(*window, prompter);
        options->setEditForm(edit.get());
        options->prepareForOpening();
        options->show();
    }
    void TearDown() override
    {
        options.reset();
        window->attachEditForm(nullptr);
        edit.reset();
        window->exitWithoutSaving();
        MainWindowTest::TearDown();
    }
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AlbumEditDialog> edit;
    std::unique_ptr<OptionsDialog> options;
};

TEST_F(OptionsTest, RenamingACategoryReachesEveryPlace)
{
    options->category1CaptionEdit->setText(QStringLiteral("形式"));
    options->genreListEdit->setPlainText(QStringLiteral("ロック\nジャズ"));
    options->applyAndClose();
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(window->category1Label->text(), QStringLiteral("形式"));
    EXPECT_EQ(window->albumModel()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("形式"));
    EXPECT_EQ(window->searchGroup->button(3)->text(), QStringLiteral("形式"));
    EXPECT_EQ(window->conversionGroup->button(4)->text(), QStringLiteral("形式"));
    EXPECT_EQ(window->webSearchItems[3], QStringLiteral("形式"));
    EXPECT_EQ(options->HtmlChecks[1]->text(), QStringLiteral("形式を表示する"));
    EXPECT_EQ(edit->category1Caption->text(), QStringLiteral("形式"));
    EXPECT_EQ(edit->genreSuggestions().size(), 2u);
    // The save keeps the new caption.
    EXPECT_TRUE(window->saveCatalogue());
    EXPECT_NE(readBytes(dir / "VLM.ini").find("Memo1Caption=\x8c\x60\x8e\xae"), std::string::npos);
}

TEST_F(OptionsTest, SiteGridEditsNeedOk)
{
    ASSERT_EQ(options->siteTable->rowCount(), 4);
    options->addSiteRow();
    options->siteTable->item(4, 0)->setText(QStringLiteral("My site"));
    options->cancelChanges();
    EXPECT_EQ(window->listFiles.siteNames.size(), 4u);
    options->prepareForOpening();
    EXPECT_EQ(options->siteTable->rowCount(), 4) << "the next opening shows the old rows";

    // Delete the current row; the header row and the last site stay.
    options->siteTable->setCurrentCell(0, 0);
    options->deleteSiteRow();
    EXPECT_EQ(options->siteTable->rowCount(), 4);
    options->siteTable->setCurrentCell(1, 0);
    options->deleteSiteRow();
    options->deleteSiteRow();
    EXPECT_EQ(options->siteTable->rowCount(), 2);
    options->deleteSiteRow();
    EXPECT_EQ(options->siteTable->rowCount(), 2) << "the only site stays";
    EXPECT_EQ(options->siteTable->item(1, 0)->text(), QStringLiteral("Tower Records"));
    options->undoSiteRows();
    EXPECT_EQ(options->siteTable->rowCount(), 4);
    options->siteTable->setCurrentCell(2, 0);
    options->deleteSiteRow();
    options->applyAndClose();
    EXPECT_EQ(window->listFiles.siteNames,
              (std::vector<std::string>{"\x83\x54\x83\x43\x83\x67\x96\xbc", window->listFiles.siteNames[1],
                                        "Tower Records"}));
}

TEST_F(OptionsTest, TagEncodingOfTheFolderScan)
{
    auto* combo = options->findChild<QComboBox*>(QStringLiteral("TagEncodingCombo"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), QStringLiteral("自動"));
    combo->setCurrentIndex(2);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Shift-JIS"));
    options->applyAndClose();
    EXPECT_EQ(window->appSettings.tagEncoding, 2);
    window->appSettings.tagEncoding = 1;
    options->prepareForOpening();
    EXPECT_EQ(combo->currentText(), QStringLiteral("Latin-1"));
}

TEST_F(OptionsTest, FontsColoursAndHtmlValues)
{
    QFont big = options->playerOptionList->font();
    big.setPointSize(14);
    options->playerOptionList->setFont(big);
    options->HtmlChecks[7]->setChecked(true);
    options->htmlPathGroup->button(1)->setChecked(true);
    options->htmlTitleEdit->setText(QStringLiteral("私のCD"));
    options->webSearchItemList->item(4)->setCheckState(Qt::Checked);
    options->applyAndClose();
    EXPECT_EQ(window->appSettings.listFont.size, 14);
    EXPECT_TRUE(window->appSettings.html[7]);
    EXPECT_EQ(window->appSettings.htmlPass, 1);
    EXPECT_TRUE(window->appSettings.internetChecks[4]);
    options->prepareForOpening();
    EXPECT_EQ(options->playerOptionList->font().pointSize(), 14);
    EXPECT_EQ(options->htmlTitleEdit->text(), QStringLiteral("私のCD"));
    EXPECT_TRUE(options->htmlFolderEdit->isEnabled());
}

TEST_F(OptionsTest, PreviewUsesTheControlsWithoutKeepingThem)
{
    options->htmlTitleEdit->setText(QStringLiteral("Preview Title"));
    QPushButton* preview = nullptr;
    for (QPushButton* button : options->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("プレビュー")) {
            preview = button;
        }
    }
    ASSERT_NE(preview, nullptr);
    preview->click();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_NE(readBytes(dir / "HTMLP.html").find("<title>Preview Title</title>"), std::string::npos);
    EXPECT_EQ(window->appSettings.htmlTitle, "") << "not kept before OK";
    EXPECT_TRUE(options->isVisible());
}

}  // namespace
}  // namespace velmora::ui
