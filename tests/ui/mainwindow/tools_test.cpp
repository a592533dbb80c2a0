// The search, conversion and replace pages.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include "mainwindow/list_images.h"
#include "mainwindow/list_views.h"
#include "mainwindow/song_list_model.h"
#include "mainwindow/status_bar.h"
#include "ui/mainwindow/main_window_fixture.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

class ToolsTest : public MainWindowTest {
protected:
    std::unique_ptr<TForm1> openSample()
    {
        std::string file = dataLineWith({}) + "\r\n";
        file += dataLineWith(
                    {{ArtistColumn, "The Word"}, {FuriganaColumn, "word"}, {songTitleColumn(3), "a word"}}) +
                "\r\n";
        file += dataLineWith({{ArtistColumn, "beatles"},
                              {FuriganaColumn, "beatles"},
                              {songTitleColumn(1), "Word"},
                              {songTitleColumn(2), "WORDS"},
                              {songArtistColumn(4), "Beatles"}}) +
                "\r\n";
        file += album("nobody") + "\r\n";
        writeBytes(dataFile(), file);
        return open();
    }
    static void check(QButtonGroup* group, int id) { group->button(id)->setChecked(true); }
};

TEST_F(ToolsTest, SearchShowsHitsAndNarrows)
{
    auto window = openSample();
    check(window->SerchGroup, 2);
    window->SerchWordEdit->setEditText(QStringLiteral("word"));
    window->SerchButtonClick();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(window->albumModel()->entry(1).image, SearchHitImage);
    EXPECT_EQ(window->albumModel()->text(1, 7), QStringLiteral("1"));
    EXPECT_EQ(window->albumModel()->text(2, 7), QStringLiteral("2"));
    EXPECT_EQ(window->StatusBar1->panelText(1), QStringLiteral("曲名検索結果表示中 \"word\"-3件"));
    EXPECT_TRUE(window->AllVisibleButton->isEnabled());
    EXPECT_FALSE(window->NoEditButton->isEnabled());
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->selectedSongRow(), 2) << "the hit's song is selected";

    // A second search runs over the albums of the first.
    check(window->SerchGroup, 0);
    window->SerchWordEdit->setEditText(QStringLiteral("BEATLES"));
    window->SerchButtonClick();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 2}));
    EXPECT_EQ(window->albumModel()->text(1, 7), QStringLiteral("4"));

    prompter.expectMessage(Kind::Information);
    window->SerchWordEdit->setEditText(QStringLiteral("zzz"));
    window->SerchButtonClick();
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("アーティスト名検索 \"zzz\" を含むデータはありません"));
    EXPECT_EQ(window->albumModel()->rowCount(), 3) << "show all after no hit";
    EXPECT_FALSE(window->AllVisibleButton->isEnabled());
}

TEST_F(ToolsTest, SearchGuards)
{
    auto window = openSample();
    prompter.expectMessage(Kind::Information);
    window->SerchWordEdit->setEditText(QString());
    window->SerchButtonClick();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("検索する言葉を入力してください"));
    window->albumModel()->setEntries({});
    prompter.expectMessage(Kind::Information);
    window->SerchWordEdit->setEditText(QStringLiteral("x"));
    window->SerchButtonClick();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムが表示されていません"));
}

TEST_F(ToolsTest, FoldedSearchFindsWhatTheUserReads)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += album("\x83\x45\x83\x5E\x83\x5F") + "\r\n";  // ウタダ
    file += dataLineWith({{ArtistColumn, "x"}, {songTitleColumn(7), "\xB3\xC0\xC0\xDE"}}) + "\r\n";  // ｳﾀﾀﾞ
    file += album("\x82\xA4\x82\xBD") + "\r\n";                                                      // うた
    writeBytes(dataFile(), file);
    {
        auto window = open();
        EXPECT_EQ(window->SerchFoldCheck->text(), QStringLiteral("かな・全角半角を区別しない"));
        EXPECT_FALSE(window->SerchFoldCheck->isChecked()) << "off by default";

        // Off: the search is as exact as ever.
        check(window->SerchGroup, 6);
        window->SerchWordEdit->setEditText(QStringLiteral("うただ"));
        prompter.expectMessage(Kind::Information);
        window->SerchButtonClick();
        EXPECT_EQ(window->albumModel()->rowCount(), 3) << "no hit: the full list again";

        // On: ウタダ and ｳﾀﾀﾞ read the same; the song number is the hit's.
        QTest::mouseClick(window->SerchFoldCheck, Qt::LeftButton);
        ASSERT_TRUE(window->SerchFoldCheck->isChecked());
        EXPECT_TRUE(window->Settings.searchFold);
        window->SerchButtonClick();
        EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 1, 1, 2}));
        EXPECT_EQ(window->albumModel()->text(3, 7), QStringLiteral("7"));
        EXPECT_EQ(window->StatusBar1->panelText(1),
                  QStringLiteral("すべてのデータ検索結果表示中 \"うただ\"-4件"));

        // ゔ has no Shift-JIS code: folded, it is looked for as ヴ.
        window->AllVisibleButtonClick();
        window->SerchWordEdit->setEditText(QStringLiteral("ゔ"));
        prompter.expectMessage(Kind::Information);
        window->SerchButtonClick();
        EXPECT_EQ(prompter.asked().back().text,
                  QStringLiteral("すべてのデータ検索 \"ゔ\" を含むデータはありません"));
        ASSERT_TRUE(window->close());
    }
    EXPECT_NE(readBytes(dir / "VLM.ini").find("[Search]\r\nFold=1\r\n"), std::string::npos);
    auto window = open();
    EXPECT_TRUE(window->SerchFoldCheck->isChecked()) << "kept in the settings file";
    window->exitWithoutSaving();
}

TEST_F(ToolsTest, SuggestionsFollowTheGroup)
{
    auto window = openSample();
    check(window->SerchGroup, 0);
    window->SerchGroupClick();
    EXPECT_EQ(window->SerchWordEdit->count(), 3);
    check(window->SerchGroup, 6);
    window->SerchGroupClick();
    EXPECT_EQ(window->SerchWordEdit->count(), 0);
}

TEST_F(ToolsTest, ConversionKeepsListItemsAndExtendedMode)
{
    auto window = openSample();
    check(window->SerchGroup, 2);
    window->SerchWordEdit->setEditText(QStringLiteral("word"));
    window->SerchButtonClick();
    check(window->HenkanGroup, 3);
    check(window->HenkanHouhouGroup, 2);
    window->HenkanButtonClick();
    EXPECT_EQ(window->DataGrid.cell(songTitleColumn(2), 2), "Words");
    EXPECT_EQ(window->DataGrid.cell(songTitleColumn(3), 1), "A Word");
    // Items keep their search marks; only texts change.
    EXPECT_EQ(window->albumModel()->entry(1).image, SearchHitImage);
    EXPECT_EQ(window->StatusBar1->panelText(1), QStringLiteral("OK"));

    EXPECT_TRUE(window->HenkanHouhouGroup->button(3)->isHidden());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                      Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::sendEvent(window->HenkanButton, &press);
    EXPECT_FALSE(window->HenkanHouhouGroup->button(3)->isHidden());
    EXPECT_EQ(window->HenkanHouhouGroup->checkedId(), 0);
    prompter.expectMessage(Kind::Information);
    window->HenkanHouhouGroup->button(3)->click();
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("注意\r\n")));

    window->albumModel()->setEntries({});
    prompter.expectMessage(Kind::Information);
    window->HenkanButtonClick();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムがありません"));
}

TEST_F(ToolsTest, ReplaceGuardsInOrder)
{
    auto window = openSample();
    window->PageControl1->setCurrentIndex(3);
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    struct Case {
        int group;
        QString find;
        QString replacement;
        QString message;
        bool focusFind;
    };
    const Case cases[] = {
        {0, QString(), QStringLiteral("<>"), QStringLiteral("置換前の文字列を入力してください"), true},
        {0, QStringLiteral("a<>"), QStringLiteral("<>"), QStringLiteral("置換の文字列に<>を含まないで下さい"),
         true},
        {6, QStringLiteral("{}"), QStringLiteral("<>"),
         QStringLiteral("メモを置換するときは置換の文字列に{}を含まないで下さい"), true},
        {0, QStringLiteral("a"), QStringLiteral("<>"), QStringLiteral("置換の文字列に<>を含まないで下さい"),
         false},
        {6, QStringLiteral("a"), QStringLiteral("{}"),
         QStringLiteral("メモを置換するときは置換の文字列に{}を含まないで下さい"), false},
    };
    for (const Case& c : cases) {
        check(window->TikanGroup, c.group);
        window->TikanBeforeEdit->setText(c.find);
        window->TikanAfterEdit->setText(c.replacement);
        prompter.expectMessage(Kind::Information);
        window->TikanButtonClick();
        EXPECT_EQ(prompter.asked().back().text, c.message);
        EXPECT_EQ((c.focusFind ? window->TikanBeforeEdit : window->TikanAfterEdit)->hasFocus(), true)
            << c.message.toStdString();
    }
    // "{}" is fine outside the memo.
    check(window->TikanGroup, 2);
    window->TikanBeforeEdit->setText(QStringLiteral("{}"));
    window->TikanAfterEdit->setText(QStringLiteral("x"));
    window->TikanButtonClick();

    check(window->TikanGroup, 7);
    window->TikanGroupClick();
    EXPECT_FALSE(window->TikanBFolderButton->isHidden());
    prompter.answerText(QStringLiteral("/home/user/Music"), Kind::Folder);
    window->TikanBFolderButtonClick();
    EXPECT_EQ(window->TikanBeforeEdit->text(), QStringLiteral("/home/user/Music"));
    check(window->TikanGroup, 1);
    window->TikanGroupClick();
    EXPECT_TRUE(window->TikanBFolderButton->isHidden());
}

TEST_F(ToolsTest, ReplaceOverTheShownAlbums)
{
    auto window = openSample();
    window->albumModel()->setEntries({{2, SearchHitImage, 1}, {2, SearchHitImage, 2}});
    check(window->TikanGroup, 0);
    window->TikanBeforeEdit->setText(QStringLiteral("beatles"));
    window->TikanAfterEdit->setText(QStringLiteral("The Beatles"));
    window->TikanButtonClick();
    EXPECT_EQ(window->DataGrid.cell(ArtistColumn, 2), "The Beatles");
    EXPECT_EQ(window->DataGrid.cell(songArtistColumn(4), 2), "The Beatles") << "replaced once, not twice";
    EXPECT_EQ(window->DataGrid.cell(FuriganaColumn, 2), "beatles");
    EXPECT_EQ(window->albumModel()->text(0, 1), QStringLiteral("The Beatles"));
}

}  // namespace
}  // namespace velmora::ui
