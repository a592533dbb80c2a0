// Album commands: new, change, add, duplicate, delete, quick edits.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

class CommandsTest : public MainWindowTest {
protected:
    std::unique_ptr<MainWindow> openWith(std::initializer_list<std::string_view> artists)
    {
        writeBytes(dataFile(), catalogue(artists));
        return open();
    }
    // Whether the window opened its edit dialog; closes it again with its
    // close button, as the user would.
    static bool editDialogOpened(MainWindow& window)
    {
        AlbumEditDialog* edit = window.findChild<AlbumEditDialog*>();
        if (edit == nullptr || !edit->isVisible()) {
            return false;
        }
        if (auto* close = child<QAbstractButton>(edit, "closeButton")) {
            close->click();
        }
        EXPECT_FALSE(edit->isVisible());
        return true;
    }
};

TEST_F(CommandsTest, NewAlbumGoesAfterTheSelectedOne)
{
    auto window = openWith({"a", "b", "c", "d", "e"});
    select(*window, {2});
    trigger(window.get(), "newAlbum");
    EXPECT_TRUE(editDialogOpened(*window));
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "b", "c", "", "d", "e"}));
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{3});
    EXPECT_EQ(listText(*window, 4, 1), QStringLiteral("d"));
    EXPECT_EQ(listText(*window, 4, 0), QStringLiteral("5"));
    EXPECT_EQ(window->catalogue().albums().record(4), AlbumRecord{}) << "the new album is empty";

    // With the last album selected, or none, it goes to the end.
    select(*window, {5});
    trigger(window.get(), "newAlbum");
    EXPECT_TRUE(editDialogOpened(*window));
    EXPECT_EQ(window->selectedAlbum(), 7);
    clearSelection(*window);
    trigger(window.get(), "newAlbum");
    EXPECT_TRUE(editDialogOpened(*window));
    EXPECT_EQ(window->selectedAlbum(), 8);
    EXPECT_EQ(window->catalogue().listedAlbums().back(), 8);
}

TEST_F(CommandsTest, NewAlbumInASortedListRenumbersCaptions)
{
    auto window = openWith({"c", "a", "b"});
    clickHeading(albumView(*window), 1);  // a(2), b(3), c(1)
    select(*window, {0});
    trigger(window.get(), "newAlbum");
    // The new album is number 3, after album 2; the old 3 becomes 4.
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 3, 4, 1}));
    EXPECT_EQ(cell(*window, ArtistColumn, 4), "b");
    EXPECT_EQ(listText(*window, 2, 1), QStringLiteral("b"));
    EXPECT_EQ(listText(*window, 2, 0), QStringLiteral("4"));
}

TEST_F(CommandsTest, CommandsOnTheSelectedAlbumNeedOne)
{
    auto window = openWith({"a"});
    clearSelection(*window);
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "editAlbum");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムを選択してください"));
    EXPECT_FALSE(editDialogOpened(*window));
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "deleteAlbums");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムを選択してください"));
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "duplicateAlbum");
    // Image registration and quick edits need no message.
    trigger(window.get(), "registerPicture");
    trigger(window.get(), "editSongTitle");
    EXPECT_EQ(artists(*window), std::vector<std::string>{"a"});
}

// The edit dialog's 変更 sends the whole record to the window, which
// refreshes the list and asks about the other albums' readings.
TEST_F(CommandsTest, ChangeFromTheEditDialogRefreshesTheListAndAsksForReadings)
{
    writeBytes(dataFile(), dataLineWith({}) + "\r\n" + album("Ann") + "\r\n" + album("Ann") + "\r\n" +
                               album("ann") + "\r\n" + album("b") + "\r\n");
    auto window = open();
    AlbumEditDialog* edit = window->findChild<AlbumEditDialog*>();
    ASSERT_NE(edit, nullptr);
    auto editSelected = [&] {
        trigger(window.get(), "editAlbum");
        EXPECT_TRUE(edit->isVisible());
    };
    auto setReading = [&](const QString& reading) {
        child<QComboBox>(edit, "readingCombo")->setEditText(reading);
    };
    auto change = [&] { child<QAbstractButton>(edit, "changeAlbumButton")->click(); };

    select(*window, {3});
    editSelected();
    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("new title"));
    setReading(QString());
    edit->setSongCell(1, 3, QStringLiteral("/m.mp3"));
    edit->setSongCell(2, 3, QStringLiteral("CD7"));
    prompter.expectMessage(Kind::Information);
    change();
    EXPECT_FALSE(edit->isVisible());
    ASSERT_EQ(prompter.asked().size(), 1u) << "no other album of \"b\": no question";
    EXPECT_EQ(prompter.asked()[0].text, QStringLiteral("b / new title の情報を変更しました"));
    EXPECT_EQ(cell(*window, FuriganaColumn, 4), "b") << "an empty reading becomes the artist";
    EXPECT_EQ(cell(*window, mediaColumn(1), 4), "/m.mp3");
    EXPECT_EQ(cell(*window, mediaColumn(2), 4), "CD7");
    EXPECT_EQ(listText(*window, 3, 2), QStringLiteral("new title"));
    // The last media cell decides the icon after a change.
    EXPECT_EQ(shownImage(albumView(*window), 3), CdImage);
    EXPECT_EQ(child<QComboBox>(window.get(), "titleBox")->currentText(), QStringLiteral("new title"));

    select(*window, {0});
    editSelected();
    setReading(QStringLiteral("アン"));
    prompter.expectMessage(Kind::Information);
    prompter.answerConfirm(true);
    change();
    EXPECT_EQ(prompter.asked().back().text,
              QString::fromUtf8("他の”Ann” のアルバムもフリガナを”アン” にしますか？"));
    EXPECT_EQ(cell(*window, FuriganaColumn, 1), "\x83\x41\x83\x93");
    EXPECT_EQ(cell(*window, FuriganaColumn, 2), "\x83\x41\x83\x93");
    EXPECT_EQ(cell(*window, FuriganaColumn, 3), "ann") << "another letter case is another artist";

    // Every other album already carries it: no question.
    select(*window, {1});
    editSelected();
    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("x"));
    prompter.clear();
    prompter.expectMessage(Kind::Information);
    change();
    EXPECT_EQ(prompter.asked().size(), 1u);
    EXPECT_EQ(cell(*window, AlbumColumn, 2), "x");

    // No keeps the change and leaves the others.
    editSelected();
    setReading(QStringLiteral("エー"));
    prompter.expectMessage(Kind::Information);
    prompter.answerConfirm(false);
    change();
    EXPECT_EQ(cell(*window, FuriganaColumn, 2), "\x83\x47\x81\x5b");
    EXPECT_EQ(cell(*window, FuriganaColumn, 1), "\x83\x41\x83\x93");

    // Nothing selected: the dialog's change is refused and it stays open.
    editSelected();
    clearSelection(*window);
    prompter.expectMessage(Kind::Information);
    change();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムが選択されていません"));
    EXPECT_TRUE(editDialogOpened(*window));
    EXPECT_EQ(cell(*window, FuriganaColumn, 2), "\x83\x47\x81\x5b");
}

TEST_F(CommandsTest, DuplicateAddsACopyAfterTheOriginal)
{
    auto window = openWith({"a", "b", "c"});
    select(*window, {0});
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "duplicateAlbum");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("a / tを追加しました"));
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "a", "b", "c"}));
    EXPECT_EQ(window->selectedAlbum(), 2);
    EXPECT_EQ(window->catalogue().albums().record(1), window->catalogue().albums().record(2));
    EXPECT_EQ(listRowCount(*window), 4);

    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "duplicateAndEdit");
    EXPECT_TRUE(editDialogOpened(*window));
    EXPECT_EQ(window->selectedAlbum(), 3);
    EXPECT_EQ(window->catalogue().albumCount(), 5);
}

TEST_F(CommandsTest, DeleteAsksWithTheAlbumsAndRenumbers)
{
    auto window = openWith({"a", "b", "c"});
    select(*window, {0, 1, 2});
    prompter.answerConfirm(false);
    trigger(window.get(), "deleteAlbums");
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("a　/　t\r\nb　/　t\r\nc　/　t\r\nを削除しますか？"));
    EXPECT_EQ(window->catalogue().albumCount(), 3);

    writeBytes(dataFile(), catalogue({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}));
    auto big = open();
    albumView(*big)->selectAll();
    prompter.answerConfirm(true);
    trigger(big.get(), "deleteAlbums");
    QString expected;
    for (int i = 1; i <= 10; ++i) {
        expected += QStringLiteral("%1　/　t\r\n").arg(i);
    }
    expected += QStringLiteral("他合計12枚を削除しますか？");
    EXPECT_EQ(prompter.asked().back().text, expected);
    EXPECT_EQ(big->catalogue().albumCount(), 0);
    EXPECT_EQ(listRowCount(*big), 0);
    EXPECT_EQ(labelText(*big, "albumCountLabel"), QStringLiteral("0/0"));
}

TEST_F(CommandsTest, DeleteFromASortedList)
{
    auto window = openWith({"f", "e", "d", "c", "b", "a"});
    clickHeading(albumView(*window), 1);  // a(6) b(5) c(4) d(3) e(2) f(1)
    select(*window, {1, 4});              // albums 5 and 2
    prompter.answerConfirm(true);
    trigger(window.get(), "deleteAlbums");
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"f", "d", "c", "a"}));
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(listText(*window, 0, 1), QStringLiteral("a"));
    EXPECT_EQ(listText(*window, 0, 0), QStringLiteral("4"));

    // The Delete key in the album list does the same.
    select(*window, {0});
    prompter.answerConfirm(true);
    QTest::keyClick(albumView(*window), Qt::Key_Delete);
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"f", "d", "c"}));
}

TEST_F(CommandsTest, DeletingFromASearchResultRemovesEveryItemOfTheAlbum)
{
    auto window = openWith({"a", "b", "c", "d"});
    window->catalogue().showSearchResult({{2, 1}, {2, 3}, {3, 1}, {4, 2}});
    select(*window, {0, 1});
    prompter.answerConfirm(true);
    trigger(window.get(), "deleteAlbums");
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "c", "d"})) << "album 2 is deleted once";
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 3}));
    // The list is refreshed from the table: search marks are gone.
    EXPECT_EQ(shownImage(albumView(*window), 0), NoListImage);
    EXPECT_EQ(listText(*window, 0, 7), QString());
    EXPECT_EQ(listText(*window, 0, 1), QStringLiteral("c"));
    EXPECT_EQ(listText(*window, 0, 0), QStringLiteral("2"));

    // An album listed twice goes whole, also the item not selected.
    window->catalogue().showSearchResult({{3, 1}, {1, 3}, {3, 2}});
    ASSERT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 3, 3}));
    select(*window, {1});
    prompter.answerConfirm(true);
    trigger(window.get(), "deleteAlbums");
    EXPECT_EQ(window->catalogue().listedAlbums(), std::vector<int>{1});
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "c"}));
}

TEST_F(CommandsTest, QuickEditsAskAndRefuseWhatCannotBeStored)
{
    auto window = openWith({"a"});
    select(*window, {0});
    selectSong(*window, 2);
    prompter.answerText(QStringLiteral("三曲目"));
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "editSongTitle");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("a / t の情報を変更しました"));
    EXPECT_EQ(cell(*window, songTitleColumn(3), 1), "\x8e\x4f\x8b\xc8\x96\xda");
    EXPECT_EQ(songText(*window, 2, 1), QStringLiteral("三曲目"));

    selectSong(*window, 2);
    prompter.answerText(QStringLiteral("guest <> star"));
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "editSongArtist");
    EXPECT_EQ(cell(*window, songArtistColumn(3), 1), "");
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("<>")));

    prompter.answerText(QString::fromUtf8("\xF0\x9F\x8E\xB5"));  // an emoji
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "editSongArtist");
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("U+1F3B5")));
    const auto& asked = prompter.asked();
    EXPECT_EQ(asked[asked.size() - 2].text, QStringLiteral("曲ごとのアーティスト名を入力してください"));
    EXPECT_EQ(cell(*window, songArtistColumn(3), 1), "");

    prompter.answerText(QStringLiteral("/music/3.flac"), Kind::OpenFile);
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "editSongMedia");
    EXPECT_EQ(cell(*window, mediaColumn(3), 1), "/music/3.flac");
    EXPECT_EQ(shownImage(albumView(*window), 0), MediaFileImage) << "the icon follows the new media";

    // Cancel changes nothing.
    prompter.answerText(std::nullopt);
    trigger(window.get(), "editSongTitle");
    EXPECT_EQ(cell(*window, songTitleColumn(3), 1), "\x8e\x4f\x8b\xc8\x96\xda");
}

TEST_F(CommandsTest, RegisterPicture)
{
    auto window = openWith({"a"});
    select(*window, {0});
    prompter.answerText(QStringLiteral("/pictures/cover.jpg"), Kind::OpenFile);
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "registerPicture");
    EXPECT_EQ(cell(*window, ImagePathColumn, 1), "/pictures/cover.jpg");
    EXPECT_TRUE(window->catalogue().isModified());
    prompter.answerText(std::nullopt, Kind::OpenFile);
    trigger(window.get(), "registerPicture");
    EXPECT_EQ(cell(*window, ImagePathColumn, 1), "/pictures/cover.jpg");
}

}  // namespace
}  // namespace velmora::ui
