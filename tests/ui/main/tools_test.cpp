// The search, conversion and replace pages.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include "ui/main/main_window_fixture.h"

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
    // Clicks the radio button `id` of a named button group.
    static void choose(MainWindow& window, const char* group, int id)
    {
        auto* buttons = child<QButtonGroup>(&window, group);
        ASSERT_NE(buttons, nullptr);
        ASSERT_NE(buttons->button(id), nullptr) << group << " " << id;
        buttons->button(id)->click();
    }
    static QButtonGroup* group(MainWindow& window, const char* name)
    {
        return child<QButtonGroup>(&window, name);
    }
    // Types `word` into the search box and presses the search button.
    static void search(MainWindow& window, const QString& word)
    {
        auto* edit = child<QComboBox>(&window, "searchWordEdit");
        ASSERT_NE(edit, nullptr);
        edit->setEditText(QString());
        bool ascii = true;
        for (QChar c : word) {
            ascii = ascii && c.unicode() < 0x80;
        }
        if (ascii) {
            QTest::keyClicks(edit, word);
        } else {
            // What an input method commits.
            edit->lineEdit()->insert(word);
        }
        ASSERT_EQ(edit->currentText(), word);
        QTest::mouseClick(child<QPushButton>(&window, "searchButton"), Qt::LeftButton);
    }
    static void clickButton(MainWindow& window, const char* name)
    {
        auto* button = child<QPushButton>(&window, name);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static bool actionEnabled(MainWindow& window, const char* name)
    {
        auto* action = child<QAction>(&window, name);
        return action != nullptr && action->isEnabled();
    }
};

TEST_F(ToolsTest, SearchShowsHitsAndNarrows)
{
    auto window = openSample();
    trigger(window.get(), "searchPage");
    choose(*window, "searchGroup", 2);
    search(*window, QStringLiteral("word"));
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 2}));
    // Hits carry the hit icon and their song's number.
    EXPECT_EQ(shownImage(albumView(*window), 1), SearchHitImage);
    EXPECT_EQ(listText(*window, 1, 7), QStringLiteral("1"));
    EXPECT_EQ(listText(*window, 2, 7), QStringLiteral("2"));
    EXPECT_EQ(statusText(*window, 1), QStringLiteral("曲名検索結果表示中 \"word\"-3件"));
    EXPECT_TRUE(actionEnabled(*window, "showAll"));
    EXPECT_FALSE(actionEnabled(*window, "renumber"));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->selectedSongRow(), 2) << "the hit's song is selected";

    // A second search runs over the albums of the first.
    choose(*window, "searchGroup", 0);
    search(*window, QStringLiteral("BEATLES"));
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 2}));
    EXPECT_EQ(listText(*window, 1, 7), QStringLiteral("4"));

    prompter.expectMessage(Kind::Information);
    search(*window, QStringLiteral("zzz"));
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("アーティスト名検索 \"zzz\" を含むデータはありません"));
    EXPECT_EQ(listRowCount(*window), 3) << "show all after no hit";
    EXPECT_TRUE(window->catalogue().allAlbumsShown());
    EXPECT_FALSE(actionEnabled(*window, "showAll"));
}

TEST_F(ToolsTest, SearchGuards)
{
    auto window = openSample();
    prompter.expectMessage(Kind::Information);
    search(*window, QString());
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("検索する言葉を入力してください"));
    window->catalogue().showAlbums({});
    prompter.expectMessage(Kind::Information);
    search(*window, QStringLiteral("x"));
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムが表示されていません"));
    EXPECT_EQ(listRowCount(*window), 0);
}

TEST_F(ToolsTest, ReturnInTheSearchBoxSearches)
{
    auto window = openSample();
    choose(*window, "searchGroup", 0);
    auto* edit = child<QComboBox>(window.get(), "searchWordEdit");
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("nobody"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(window->catalogue().listedAlbums(), std::vector<int>{3});
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
        auto* fold = child<QCheckBox>(window.get(), "searchFoldCheck");
        ASSERT_NE(fold, nullptr);
        EXPECT_FALSE(fold->isChecked()) << "off by default";
        // Off: the search is as exact as ever.
        choose(*window, "searchGroup", 6);
        prompter.expectMessage(Kind::Information);
        search(*window, QStringLiteral("うただ"));
        EXPECT_EQ(listRowCount(*window), 3) << "no hit: the full list again";
        // On: ウタダ and ｳﾀﾀﾞ read the same; the song number is the hit's.
        QTest::mouseClick(fold, Qt::LeftButton);
        ASSERT_TRUE(fold->isChecked());
        search(*window, QStringLiteral("うただ"));
        EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 1, 1, 2}));
        EXPECT_EQ(listText(*window, 3, 7), QStringLiteral("7"));
        EXPECT_EQ(statusText(*window, 1), QStringLiteral("すべてのデータ検索結果表示中 \"うただ\"-4件"));
        // ゔ has no Shift-JIS code: folded, it is looked for as ヴ.
        trigger(window.get(), "showAll");
        prompter.expectMessage(Kind::Information);
        search(*window, QStringLiteral("ゔ"));
        EXPECT_EQ(prompter.asked().back().text,
                  QStringLiteral("すべてのデータ検索 \"ゔ\" を含むデータはありません"));
        ASSERT_TRUE(window->close());
    }
    EXPECT_NE(readBytes(dir / "VLM.ini").find("[Search]\r\nFold=1\r\n"), std::string::npos);
    auto window = open();
    EXPECT_TRUE(child<QCheckBox>(window.get(), "searchFoldCheck")->isChecked())
        << "kept in the settings file";
    trigger(window.get(), "quitWithoutSaving");
}

TEST_F(ToolsTest, SuggestionsFollowTheGroup)
{
    auto window = openSample();
    auto* edit = child<QComboBox>(window.get(), "searchWordEdit");
    ASSERT_NE(edit, nullptr);
    choose(*window, "searchGroup", 0);
    // The artists of the catalogue, each once.
    EXPECT_EQ(edit->count(), 3);
    EXPECT_NE(edit->findText(QStringLiteral("beatles")), -1);
    choose(*window, "searchGroup", 6);
    EXPECT_EQ(edit->count(), 0);
}

TEST_F(ToolsTest, ConversionKeepsListItemsAndExtendedMode)
{
    auto window = openSample();
    choose(*window, "searchGroup", 2);
    search(*window, QStringLiteral("word"));
    choose(*window, "conversionGroup", 3);
    choose(*window, "conversionKindGroup", 2);
    clickButton(*window, "conversionButton");
    EXPECT_EQ(cell(*window, songTitleColumn(2), 2), "Words");
    EXPECT_EQ(cell(*window, songTitleColumn(3), 1), "A Word");
    // Items keep their search marks; only texts change.
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(shownImage(albumView(*window), 1), SearchHitImage);
    EXPECT_EQ(listText(*window, 1, 7), QStringLiteral("1"));
    EXPECT_EQ(statusText(*window, 1), QStringLiteral("OK"));

    // The width conversions are offered on a right press with Ctrl+Shift.
    QButtonGroup* kinds = group(*window, "conversionKindGroup");
    ASSERT_NE(kinds, nullptr);
    EXPECT_TRUE(kinds->button(3)->isHidden());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                      Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::sendEvent(child<QPushButton>(window.get(), "conversionButton"), &press);
    EXPECT_FALSE(kinds->button(3)->isHidden());
    EXPECT_EQ(kinds->checkedId(), 0);
    prompter.expectMessage(Kind::Information);
    kinds->button(3)->click();
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("注意\r\n")));

    window->catalogue().showAlbums({});
    prompter.expectMessage(Kind::Information);
    clickButton(*window, "conversionButton");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムがありません"));
}

TEST_F(ToolsTest, ReplaceGuardsInOrder)
{
    auto window = openSample();
    trigger(window.get(), "replacePage");
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    auto* find = child<QLineEdit>(window.get(), "findEdit");
    auto* replacement = child<QLineEdit>(window.get(), "replacementEdit");
    ASSERT_TRUE(find && replacement);
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
    const std::string before = readBytes(dataFile());
    for (const Case& c : cases) {
        choose(*window, "replaceGroup", c.group);
        find->setText(c.find);
        replacement->setText(c.replacement);
        prompter.expectMessage(Kind::Information);
        clickButton(*window, "replaceButton");
        EXPECT_EQ(prompter.asked().back().text, c.message);
        EXPECT_TRUE((c.focusFind ? find : replacement)->hasFocus()) << c.message.toStdString();
        EXPECT_FALSE(window->catalogue().isModified()) << c.message.toStdString();
    }
    // "{}" is fine outside the memo.
    choose(*window, "replaceGroup", 2);
    find->setText(QStringLiteral("{}"));
    replacement->setText(QStringLiteral("x"));
    clickButton(*window, "replaceButton");

    // The path groups offer a folder picker beside the texts.
    QToolButton* folder = nullptr;
    auto* page = child<QWidget>(window.get(), "replacePage");
    ASSERT_NE(page, nullptr);
    for (QToolButton* button : page->findChildren<QToolButton*>()) {
        if (button->parentWidget() == find->parentWidget() && folder == nullptr) {
            folder = button;
        }
    }
    ASSERT_NE(folder, nullptr);
    choose(*window, "replaceGroup", 7);
    EXPECT_FALSE(folder->isHidden());
    prompter.answerText(QStringLiteral("/home/user/Music"), Kind::Folder);
    folder->click();
    EXPECT_EQ(find->text(), QStringLiteral("/home/user/Music"));
    choose(*window, "replaceGroup", 1);
    EXPECT_TRUE(folder->isHidden());
}

TEST_F(ToolsTest, ReplaceOverTheShownAlbums)
{
    auto window = openSample();
    window->catalogue().showSearchResult({{2, 1}, {2, 2}});
    choose(*window, "replaceGroup", 0);
    child<QLineEdit>(window.get(), "findEdit")->setText(QStringLiteral("beatles"));
    child<QLineEdit>(window.get(), "replacementEdit")->setText(QStringLiteral("The Beatles"));
    clickButton(*window, "replaceButton");
    EXPECT_EQ(cell(*window, ArtistColumn, 2), "The Beatles");
    EXPECT_EQ(cell(*window, songArtistColumn(4), 2), "The Beatles") << "replaced once, not twice";
    EXPECT_EQ(cell(*window, FuriganaColumn, 2), "beatles");
    EXPECT_EQ(cell(*window, ArtistColumn, 1), "The Word") << "albums not shown are left alone";
    EXPECT_EQ(listText(*window, 0, 1), QStringLiteral("The Beatles"));
}

}  // namespace
}  // namespace velmora::ui
