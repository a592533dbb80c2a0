// The options dialog over a real main window and edit dialog.
#include "ui/options/options_dialog.h"
#include <QComboBox>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>

#include "support/widget_lookup.h"
#include "support/window_settings.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace velmora::ui {
namespace {

using test::child;
using test::clickButton;

class OptionsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        window = open();
        edit = window->findChild<AlbumEditDialog*>();
        options = window->findChild<OptionsDialog*>();
        trigger(window.get(), "options");
    }
    void TearDown() override
    {
        trigger(window.get(), "quitWithoutSaving");
        MainWindowTest::TearDown();
    }
    QTableWidget* sites() const { return child<QTableWidget>(options, "siteTable"); }
    std::unique_ptr<MainWindow> window;
    AlbumEditDialog* edit = nullptr;
    OptionsDialog* options = nullptr;
};

TEST_F(OptionsTest, RenamingACategoryReachesEveryPlace)
{
    child<QLineEdit>(options, "category1CaptionEdit")->setText(QStringLiteral("形式"));
    child<QPlainTextEdit>(options, "genreListEdit")->setPlainText(QStringLiteral("ロック\nジャズ"));
    clickButton(options, "okButton");
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(labelText(*window, "category1Label"), QStringLiteral("形式"));
    EXPECT_EQ(albumView(*window)->model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("形式"));
    EXPECT_EQ(child<QButtonGroup>(window.get(), "searchGroup")->button(3)->text(), QStringLiteral("形式"));
    EXPECT_EQ(child<QButtonGroup>(window.get(), "conversionGroup")->button(4)->text(),
              QStringLiteral("形式"));
    EXPECT_EQ(window->webSearchItemNames()[3], QStringLiteral("形式"));
    EXPECT_EQ(child<QCheckBox>(options, "htmlCategory1Check")->text(), QStringLiteral("形式を表示する"));
    EXPECT_EQ(child<QLabel>(edit, "category1Caption")->text(), QStringLiteral("形式(&G)"));
    EXPECT_EQ(edit->genreSuggestions().size(), 2u);
    // The save keeps the new caption and the new genre list.
    trigger(window.get(), "save");
    EXPECT_NE(readBytes(dir / "VLM.ini").find("Memo1Caption=\x8c\x60\x8e\xae"), std::string::npos);
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "\x83\x8d\x83\x62\x83\x4e\r\n\x83\x57\x83\x83\x83\x59\r\n");
}

TEST_F(OptionsTest, SiteGridEditsNeedOk)
{
    ASSERT_EQ(sites()->rowCount(), 4);
    clickButton(options, "addSiteButton");
    sites()->item(4, 0)->setText(QStringLiteral("My site"));
    clickButton(options, "cancelButton");
    EXPECT_EQ(window->catalogue().lists().siteNames.size(), 4u);
    trigger(window.get(), "options");
    EXPECT_EQ(sites()->rowCount(), 4) << "the next opening shows the old rows";

    // Delete the current row; the header row and the last site stay.
    sites()->setCurrentCell(0, 0);
    clickButton(options, "deleteSiteButton");
    EXPECT_EQ(sites()->rowCount(), 4);
    sites()->setCurrentCell(1, 0);
    clickButton(options, "deleteSiteButton");
    clickButton(options, "deleteSiteButton");
    EXPECT_EQ(sites()->rowCount(), 2);
    clickButton(options, "deleteSiteButton");
    EXPECT_EQ(sites()->rowCount(), 2) << "the only site stays";
    EXPECT_EQ(sites()->item(1, 0)->text(), QStringLiteral("Tower Records"));
    clickButton(options, "defaultSitesButton");
    EXPECT_EQ(sites()->rowCount(), 4);
    sites()->setCurrentCell(2, 0);
    clickButton(options, "deleteSiteButton");
    clickButton(options, "okButton");
    EXPECT_EQ(window->catalogue().lists().siteNames,
              (std::vector<std::string>{"\x83\x54\x83\x43\x83\x67\x96\xbc",
                                        window->catalogue().lists().siteNames[1], "Tower Records"}));
}

TEST_F(OptionsTest, TagEncodingOfTheFolderScan)
{
    auto* combo = child<QComboBox>(options, "tagEncodingCombo");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), QStringLiteral("自動"));
    combo->setCurrentIndex(2);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Shift-JIS"));
    clickButton(options, "okButton");
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(window->catalogue().settings().tagEncoding, 2);
    // The next opening shows the value the window holds.
    store::AppSettings settings = window->catalogue().settings();
    settings.tagEncoding = 1;
    window->catalogue().setSettings(std::move(settings));
    trigger(window.get(), "options");
    EXPECT_EQ(combo->currentText(), QStringLiteral("Latin-1"));
}

TEST_F(OptionsTest, FontsColoursAndHtmlValues)
{
    QFont big = child<QListWidget>(options, "playerOptionList")->font();
    big.setPointSize(14);
    child<QListWidget>(options, "playerOptionList")->setFont(big);
    child<QCheckBox>(options, "htmlCopyFilesCheck")->setChecked(true);
    child<QRadioButton>(options, "relativePathRadio")->setChecked(true);
    child<QLineEdit>(options, "htmlTitleEdit")->setText(QStringLiteral("私のCD"));
    child<QListWidget>(options, "webSearchItemList")->item(4)->setCheckState(Qt::Checked);
    clickButton(options, "okButton");
    EXPECT_EQ(window->catalogue().settings().listFont.size, 14);
    EXPECT_TRUE(window->catalogue().settings().html[7]);
    EXPECT_EQ(window->catalogue().settings().htmlPass, 1);
    EXPECT_TRUE(window->catalogue().settings().internetChecks[4]);
    trigger(window.get(), "options");
    EXPECT_EQ(child<QListWidget>(options, "playerOptionList")->font().pointSize(), 14);
    EXPECT_EQ(child<QLineEdit>(options, "htmlTitleEdit")->text(), QStringLiteral("私のCD"));
    EXPECT_TRUE(child<QLineEdit>(options, "htmlFolderEdit")->isEnabled());
}

TEST_F(OptionsTest, PreviewUsesTheControlsWithoutKeepingThem)
{
    child<QLineEdit>(options, "htmlTitleEdit")->setText(QStringLiteral("Preview Title"));
    auto* pages = child<QTreeWidget>(options, "pageTree");
    pages->setCurrentItem(pages->findItems(QStringLiteral("HTML出力"), Qt::MatchExactly).value(0));
    clickButton(options, "htmlPreviewButton");
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_NE(readBytes(dir / "HTMLP.html").find("<title>Preview Title</title>"), std::string::npos);
    EXPECT_EQ(window->catalogue().settings().htmlTitle, "") << "not kept before OK";
    EXPECT_TRUE(options->isVisible());
}

// The dialog alone: it shows the values it is given and sends new ones on
// OK only.
TEST(OptionsAloneTest, OkSendsTheNewValuesAndCancelSendsNone)
{
    test::ScriptedPrompter prompter;
    OptionsDialog dialog(prompter, {"/dev/sr0", "/tmp/disc.cue"});
    OptionsDialog::Values current;
    current.settings.cdDrive = 1;
    current.captions = {QStringLiteral("ジャンル"), QStringLiteral("メディア"), QStringLiteral("メモ")};
    const QStringList items = {QStringLiteral("アーティスト名"), QStringLiteral("アルバム名"),
                               QStringLiteral("選択曲名"),       QStringLiteral("ジャンル名"),
                               QStringLiteral("メディア名"),     QStringLiteral("メモ")};
    std::vector<OptionsDialog::Values> sent;
    QObject::connect(&dialog, &OptionsDialog::settingsAccepted,
                     [&](const OptionsDialog::Values& values) { sent.push_back(values); });

    dialog.prepareForOpening(current, items, dialog.font(), dialog.palette());
    dialog.show();
    EXPECT_EQ(child<QComboBox>(&dialog, "driveCombo")->currentIndex(), 1);
    child<QLineEdit>(&dialog, "category2CaptionEdit")->setText(QStringLiteral("形態"));
    clickButton(&dialog, "cancelButton");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(sent.empty());

    dialog.prepareForOpening(current, items, dialog.font(), dialog.palette());
    dialog.show();
    EXPECT_EQ(child<QLineEdit>(&dialog, "category2CaptionEdit")->text(), QStringLiteral("メディア"));
    child<QLineEdit>(&dialog, "category2CaptionEdit")->setText(QStringLiteral("形態"));
    child<QListWidget>(&dialog, "webSearchItemList")->item(5)->setCheckState(Qt::Checked);
    clickButton(&dialog, "okButton");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].captions[1], QStringLiteral("形態"));
    EXPECT_EQ(sent[0].settings.cdDrive, 1);
    EXPECT_TRUE(sent[0].settings.internetChecks[5]);
    EXPECT_EQ(sent[0].lists.siteNames, current.lists.siteNames);
    EXPECT_EQ(dialog.result().captions[1], QStringLiteral("形態"));
    EXPECT_FALSE(dialog.isVisible());
}

// What the settings and list files cannot hold is refused by name before
// anything is sent; what was not edited keeps its bytes.
TEST(OptionsAloneTest, TextTheFilesCannotHoldIsRefusedAndUneditedLinesKeepTheirBytes)
{
    test::ScriptedPrompter prompter;
    OptionsDialog dialog(prompter, {});
    OptionsDialog::Values current;
    current.captions = {QStringLiteral("ジャンル"), QStringLiteral("メディア"), QStringLiteral("メモ")};
    current.lists.genres = {"\x87\x90", "rock"};  // the NEC form of ≒
    current.settings.htmlTitle = "\x87\x90";
    std::vector<OptionsDialog::Values> sent;
    QObject::connect(&dialog, &OptionsDialog::settingsAccepted,
                     [&](const OptionsDialog::Values& values) { sent.push_back(values); });
    dialog.prepareForOpening(current, QStringList(6, QString()), dialog.font(), dialog.palette());
    dialog.show();

    const QString emoji = QString::fromUtf8("\xF0\x9F\x8E\xB8");
    auto* genres = child<QPlainTextEdit>(&dialog, "genreListEdit");
    genres->setPlainText(genres->toPlainText() + QLatin1Char('\n') + emoji);
    prompter.expectMessage(Kind::Information);
    clickButton(&dialog, "okButton");
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("分類1のよく使う文字列 (3行目): ")))
        << prompter.asked().back().text.toStdString();
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(dialog.isVisible());

    genres->setPlainText(genres->toPlainText().chopped(emoji.size() + 1));
    child<QTableWidget>(&dialog, "siteTable")->item(2, 0)->setText(emoji);
    prompter.expectMessage(Kind::Information);
    clickButton(&dialog, "okButton");
    ASSERT_EQ(prompter.asked().size(), 2u);
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("インターネット検索サイト (3行目): ")))
        << prompter.asked().back().text.toStdString();
    EXPECT_TRUE(sent.empty());

    child<QTableWidget>(&dialog, "siteTable")->item(2, 0)->setText(QStringLiteral("site"));
    child<QLineEdit>(&dialog, "category3CaptionEdit")->setText(emoji);
    prompter.expectMessage(Kind::Information);
    clickButton(&dialog, "okButton");
    ASSERT_EQ(prompter.asked().size(), 3u);
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("分類3の名称: ")))
        << prompter.asked().back().text.toStdString();
    EXPECT_TRUE(sent.empty());

    child<QLineEdit>(&dialog, "category3CaptionEdit")->setText(QStringLiteral("メモ"));
    clickButton(&dialog, "okButton");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].lists.genres, (std::vector<std::string>{"\x87\x90", "rock"}));
    EXPECT_EQ(sent[0].settings.htmlTitle, "\x87\x90");
    EXPECT_TRUE(prompter.allAnswered());
}

}  // namespace
}  // namespace velmora::ui
