// The options dialog over a real main window and edit dialog.
#include "options/top_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "editing/tedit_form.h"
#include "ui/mainwindow/main_window_fixture.h"

namespace velmora::ui {
namespace {

class OptionsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        window = open();
        edit = std::make_unique<TEditForm>(*window, prompter);
        window->attachEditForm(edit.get());
        options = std::make_unique<TOpForm>(*window, prompter);
        options->setEditForm(edit.get());
        options->OptionOpenExecute();
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
    std::unique_ptr<TForm1> window;
    std::unique_ptr<TEditForm> edit;
    std::unique_ptr<TOpForm> options;
};

TEST_F(OptionsTest, RenamingACategoryReachesEveryPlace)
{
    options->Caption1Edit->setText(QStringLiteral("形式"));
    options->janruMemo->setPlainText(QStringLiteral("ロック\nジャズ"));
    options->OkButtonClick();
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(window->Memo1Label->text(), QStringLiteral("形式"));
    EXPECT_EQ(window->albumModel()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("形式"));
    EXPECT_EQ(window->SerchGroup->button(3)->text(), QStringLiteral("形式"));
    EXPECT_EQ(window->HenkanGroup->button(4)->text(), QStringLiteral("形式"));
    EXPECT_EQ(window->InternetItems[3], QStringLiteral("形式"));
    EXPECT_EQ(options->HtmlChecks[1]->text(), QStringLiteral("形式を表示する"));
    EXPECT_EQ(edit->Memo1Label2->text(), QStringLiteral("形式"));
    EXPECT_EQ(edit->genreSuggestions().size(), 2u);
    // The save keeps the new caption.
    EXPECT_TRUE(window->saveCatalogue());
    EXPECT_NE(readBytes(dir / "VLM.ini").find("Memo1Caption=\x8c\x60\x8e\xae"), std::string::npos);
}

TEST_F(OptionsTest, SiteGridEditsNeedOk)
{
    ASSERT_EQ(options->InternetSerchURLGrid->rowCount(), 4);
    options->InternetURLAddButtonClick();
    options->InternetSerchURLGrid->item(4, 0)->setText(QStringLiteral("My site"));
    options->CancelButtonClick();
    EXPECT_EQ(window->Lists.siteNames.size(), 4u);
    options->OptionOpenExecute();
    EXPECT_EQ(options->InternetSerchURLGrid->rowCount(), 4) << "the next opening shows the old rows";

    // Delete the current row; the header row and the last site stay.
    options->InternetSerchURLGrid->setCurrentCell(0, 0);
    options->InternetURLDelButtonClick();
    EXPECT_EQ(options->InternetSerchURLGrid->rowCount(), 4);
    options->InternetSerchURLGrid->setCurrentCell(1, 0);
    options->InternetURLDelButtonClick();
    options->InternetURLDelButtonClick();
    EXPECT_EQ(options->InternetSerchURLGrid->rowCount(), 2);
    options->InternetURLDelButtonClick();
    EXPECT_EQ(options->InternetSerchURLGrid->rowCount(), 2) << "the only site stays";
    EXPECT_EQ(options->InternetSerchURLGrid->item(1, 0)->text(), QStringLiteral("Tower Records"));
    options->IntenetURLUndoButtonClick();
    EXPECT_EQ(options->InternetSerchURLGrid->rowCount(), 4);
    options->InternetSerchURLGrid->setCurrentCell(2, 0);
    options->InternetURLDelButtonClick();
    options->OkButtonClick();
    EXPECT_EQ(window->Lists.siteNames,
              (std::vector<std::string>{"\x83\x54\x83\x43\x83\x67\x96\xbc", window->Lists.siteNames[1],
                                        "Tower Records"}));
}

TEST_F(OptionsTest, FontsColoursAndHtmlValues)
{
    QFont big = options->MPlayerCheckListBox->font();
    big.setPointSize(14);
    options->MPlayerCheckListBox->setFont(big);
    options->HtmlChecks[7]->setChecked(true);
    options->HTMLPassRadioGroup->button(1)->setChecked(true);
    options->HTMLTitleEdit->setText(QStringLiteral("私のCD"));
    options->InternetSerchWordCheck->item(4)->setCheckState(Qt::Checked);
    options->OkButtonClick();
    EXPECT_EQ(window->Settings.listFont.size, 14);
    EXPECT_TRUE(window->Settings.html[7]);
    EXPECT_EQ(window->Settings.htmlPass, 1);
    EXPECT_TRUE(window->Settings.internetChecks[4]);
    options->OptionOpenExecute();
    EXPECT_EQ(options->MPlayerCheckListBox->font().pointSize(), 14);
    EXPECT_EQ(options->HTMLTitleEdit->text(), QStringLiteral("私のCD"));
    EXPECT_TRUE(options->HTMLFolderNameEdit->isEnabled());
}

TEST_F(OptionsTest, PreviewUsesTheControlsWithoutKeepingThem)
{
    options->HTMLTitleEdit->setText(QStringLiteral("Preview Title"));
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
    EXPECT_EQ(window->Settings.htmlTitle, "") << "not kept before OK";
    EXPECT_TRUE(options->isVisible());
}

}  // namespace
}  // namespace velmora::ui
