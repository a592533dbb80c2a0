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

#include "ui/main/main_window_fixture.h"
#include "ui/main/song_list_model.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"
#include "ui/widgets/status_bar.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

class ToolsTest : public MainWindowTest {
protected:
    std::unique_ptr<MainWindow> openSample()
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
    check(window->searchGroup, 2);
    window->searchWordEdit->setEditText(QStringLiteral("word"));
    window->runSearch();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(window->albumModel()->entry(1).image, SearchHitImage);
    EXPECT_EQ(window->albumModel()->text(1, 7), QStringLiteral("1"));
    EXPECT_EQ(window->albumModel()->text(2, 7), QStringLiteral("2"));
    EXPECT_EQ(window->statusBar_->panelText(1), QStringLiteral("曲名検索結果表示中 \"word\"-3件"));
    EXPECT_TRUE(window->showAllButton->isEnabled());
    EXPECT_FALSE(window->renumberButton->isEnabled());
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->selectedSongRow(), 2) << "the hit's song is selected";

    // A second search runs over the albums of the first.
    check(window->searchGroup, 0);
    window->searchWordEdit->setEditText(QStringLiteral("BEATLES"));
    window->runSearch();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 2}));
    EXPECT_EQ(window->albumModel()->text(1, 7), QStringLiteral("4"));

    prompter.expectMessage(Kind::Information);
    window->searchWordEdit->setEditText(QStringLiteral("zzz"));
    window->runSearch();
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("アーティスト名検索 \"zzz\" を含むデータはありません"));
    EXPECT_EQ(window->albumModel()->rowCount(), 3) << "show all after no hit";
    EXPECT_FALSE(window->showAllButton->isEnabled());
}

TEST_F(ToolsTest, SearchGuards)
{
    auto window = openSample();
    prompter.expectMessage(Kind::Information);
    window->searchWordEdit->setEditText(QString());
    window->runSearch();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("検索する言葉を入力してください"));
    window->albumModel()->setEntries({});
    prompter.expectMessage(Kind::Information);
    window->searchWordEdit->setEditText(QStringLiteral("x"));
    window->runSearch();
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
        EXPECT_EQ(window->searchFoldCheck->text(), QStringLiteral("かな・全角半角を区別しない"));
        EXPECT_FALSE(window->searchFoldCheck->isChecked()) << "off by default";

        // Off: the search is as exact as ever.
        check(window->searchGroup, 6);
        window->searchWordEdit->setEditText(QStringLiteral("うただ"));
        prompter.expectMessage(Kind::Information);
        window->runSearch();
        EXPECT_EQ(window->albumModel()->rowCount(), 3) << "no hit: the full list again";

        // On: ウタダ and ｳﾀﾀﾞ read the same; the song number is the hit's.
        QTest::mouseClick(window->searchFoldCheck, Qt::LeftButton);
        ASSERT_TRUE(window->searchFoldCheck->isChecked());
        EXPECT_TRUE(window->appSettings.searchFold);
        window->runSearch();
        EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 1, 1, 2}));
        EXPECT_EQ(window->albumModel()->text(3, 7), QStringLiteral("7"));
        EXPECT_EQ(window->statusBar_->panelText(1),
                  QStringLiteral("すべてのデータ検索結果表示中 \"うただ\"-4件"));

        // ゔ has no Shift-JIS code: folded, it is looked for as ヴ.
        window->showAllAlbums();
        window->searchWordEdit->setEditText(QStringLiteral("ゔ"));
        prompter.expectMessage(Kind::Information);
        window->runSearch();
        EXPECT_EQ(prompter.asked().back().text,
                  QStringLiteral("すべてのデータ検索 \"ゔ\" を含むデータはありません"));
        ASSERT_TRUE(window->close());
    }
    EXPECT_NE(readBytes(dir / "VLM.ini").find("[Search]\r\nFold=1\r\n"), std::string::npos);
    auto window = open();
    EXPECT_TRUE(window->searchFoldCheck->isChecked()) << "kept in the settings file";
    window->exitWithoutSaving();
}

TEST_F(ToolsTest, SuggestionsFollowTheGroup)
{
    auto window = openSample();
    check(window->searchGroup, 0);
    window->searchGroupChanged();
    EXPECT_EQ(window->searchWordEdit->count(), 3);
    check(window->searchGroup, 6);
    window->searchGroupChanged();
    EXPECT_EQ(window->searchWordEdit->count(), 0);
}

TEST_F(ToolsTest, ConversionKeepsListItemsAndExtendedMode)
{
    auto window = openSample();
    check(window->searchGroup, 2);
    window->searchWordEdit->setEditText(QStringLiteral("word"));
    window->runSearch();
    check(window->conversionGroup, 3);
    check(window->conversionKindGroup, 2);
    window->runConversion();
    EXPECT_EQ(window->albumTable.cell(songTitleColumn(2), 2), "Words");
    EXPECT_EQ(window->albumTable.cell(songTitleColumn(3), 1), "A Word");
    // Items keep their search marks; only texts change.
    EXPECT_EQ(window->albumModel()->entry(1).image, SearchHitImage);
    EXPECT_EQ(window->statusBar_->panelText(1), QStringLiteral("OK"));

    EXPECT_TRUE(window->conversionKindGroup->button(3)->isHidden());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                      Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::sendEvent(window->conversionButton, &press);
    EXPECT_FALSE(window->conversionKindGroup->button(3)->isHidden());
    EXPECT_EQ(window->conversionKindGroup->checkedId(), 0);
    prompter.expectMessage(Kind::Information);
    window->conversionKindGroup->button(3)->click();
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("注意\r\n")));

    window->albumModel()->setEntries({});
    prompter.expectMessage(Kind::Information);
    window->runConversion();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムがありません"));
}

TEST_F(ToolsTest, ReplaceGuardsInOrder)
{
    auto window = openSample();
    window->pageStack->setCurrentIndex(3);
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
        check(window->replaceGroup, c.group);
        window->findEdit->setText(c.find);
        window->replacementEdit->setText(c.replacement);
        prompter.expectMessage(Kind::Information);
        window->runReplace();
        EXPECT_EQ(prompter.asked().back().text, c.message);
        EXPECT_EQ((c.focusFind ? window->findEdit : window->replacementEdit)->hasFocus(), true)
            << c.message.toStdString();
    }
    // "{}" is fine outside the memo.
    check(window->replaceGroup, 2);
    window->findEdit->setText(QStringLiteral("{}"));
    window->replacementEdit->setText(QStringLiteral("x"));
    window->runReplace();

    check(window->replaceGroup, 7);
    window->replaceGroupChanged();
    EXPECT_FALSE(window->findFolderButton->isHidden());
    prompter.answerText(QStringLiteral("/home/user/Music"), Kind::Folder);
    window->pickFindFolder();
    EXPECT_EQ(window->findEdit->text(), QStringLiteral("/home/user/Music"));
    check(window->replaceGroup, 1);
    window->replaceGroupChanged();
    EXPECT_TRUE(window->findFolderButton->isHidden());
}

TEST_F(ToolsTest, ReplaceOverTheShownAlbums)
{
    auto window = openSample();
    window->albumModel()->setEntries({{2, SearchHitImage, 1}, {2, SearchHitImage, 2}});
    check(window->replaceGroup, 0);
    window->findEdit->setText(QStringLiteral("beatles"));
    window->replacementEdit->setText(QStringLiteral("The Beatles"));
    window->runReplace();
    EXPECT_EQ(window->albumTable.cell(ArtistColumn, 2), "The Beatles");
    EXPECT_EQ(window->albumTable.cell(songArtistColumn(4), 2), "The Beatles") << "replaced once, not twice";
    EXPECT_EQ(window->albumTable.cell(FuriganaColumn, 2), "beatles");
    EXPECT_EQ(window->albumModel()->text(0, 1), QStringLiteral("The Beatles"));
}

}  // namespace
}  // namespace velmora::ui
