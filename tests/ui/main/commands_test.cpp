// Album commands: new, change, add, duplicate, delete, quick edits.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "ui/main/main_window_fixture.h"
#include "ui/main/song_list_model.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

class CommandsTest : public MainWindowTest {
protected:
    std::unique_ptr<MainWindow> openWith(std::initializer_list<std::string_view> artists)
    {
        writeBytes(dataFile(), catalogue(artists));
        auto window = open();
        window->showEditDialog = [this] { ++editDialogShown; };
        return window;
    }
    static void select(MainWindow& window, std::initializer_list<int> rows)
    {
        window.albumView->selectionModel()->clear();
        for (int row : rows) {
            window.selectListRow(row, false);
        }
    }
    static std::vector<std::string> artists(const MainWindow& window)
    {
        std::vector<std::string> result;
        for (int row = 1; row <= window.albumTable.albumCount(); ++row) {
            result.emplace_back(window.albumTable.cell(ArtistColumn, row));
        }
        return result;
    }
    int editDialogShown = 0;
};

TEST_F(CommandsTest, NewAlbumGoesAfterTheSelectedOne)
{
    auto window = openWith({"a", "b", "c", "d", "e"});
    select(*window, {2});
    window->createNewAlbum();
    EXPECT_EQ(editDialogShown, 1);
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "b", "c", "", "d", "e"}));
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{3});
    EXPECT_EQ(window->albumModel()->text(4, 1), QStringLiteral("d"));
    EXPECT_EQ(window->editedAlbum, AlbumRecord{});

    // With the last album selected, or none, it goes to the end.
    select(*window, {5});
    window->newAlbumAfterSelection();
    EXPECT_EQ(window->selectedAlbum(), 7);
    window->albumView->selectionModel()->clear();
    window->newAlbumAfterSelection();
    EXPECT_EQ(window->selectedAlbum(), 8);
    EXPECT_EQ(window->listedAlbums().back(), 8);
}

TEST_F(CommandsTest, NewAlbumInASortedListRenumbersCaptions)
{
    auto window = openWith({"c", "a", "b"});
    window->sortAlbumsByColumn(1);  // a(2), b(3), c(1)
    select(*window, {0});
    window->newAlbumAfterSelection();
    // The new album is number 3, after album 2; the old 3 becomes 4.
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 3, 4, 1}));
    EXPECT_EQ(window->albumTable.cell(ArtistColumn, 4), "b");
    EXPECT_EQ(window->albumModel()->text(2, 1), QStringLiteral("b"));
}

TEST_F(CommandsTest, EditNeedsASelection)
{
    auto window = openWith({"a"});
    window->albumView->selectionModel()->clear();
    prompter.expectMessage(Kind::Information);
    window->editSelectedAlbum();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムを選択してください"));
    EXPECT_EQ(editDialogShown, 0);
    prompter.expectMessage(Kind::Information);
    window->changeSelectedAlbum();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムが選択されていません"));
    // Image registration and quick edits need no message.
    window->registerPictureQuickly();
    window->quickEditSongTitle();
}

TEST_F(CommandsTest, ChangeWritesTheBufferAndRefreshesTheList)
{
    auto window = openWith({"a", "b"});
    select(*window, {1});
    window->loadEditedAlbum();
    window->editedAlbum[AlbumColumn] = "new title";
    window->editedAlbum[FuriganaColumn] = "";
    window->editedAlbum[mediaColumn(1)] = "/m.mp3";
    window->editedAlbum[mediaColumn(2)] = "CD7";
    prompter.expectMessage(Kind::Information);
    prompter.answerConfirm(false);  // no other album of "b": no question is asked
    window->changeSelectedAlbum();
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_EQ(prompter.asked()[0].text, QStringLiteral("b / new title の情報を変更しました"));
    prompter.clear();
    EXPECT_EQ(window->albumTable.cell(FuriganaColumn, 2), "b") << "an empty reading becomes the artist";
    EXPECT_EQ(window->albumModel()->text(1, 2), QStringLiteral("new title"));
    // The last media cell decides the icon after a change.
    EXPECT_EQ(window->albumModel()->entry(1).image, CdImage);
    EXPECT_EQ(window->titleBox->currentText(), QStringLiteral("new title"));
}

TEST_F(CommandsTest, ReadingPropagationAsksOnlyWhenOthersDiffer)
{
    writeBytes(dataFile(), dataLineWith({}) + "\r\n" + album("Ann") + "\r\n" + album("Ann") + "\r\n" +
                               album("ann") + "\r\n");
    auto window = open();
    select(*window, {0});
    window->loadEditedAlbum();
    window->editedAlbum[FuriganaColumn] = "\x83\x41\x83\x93";  // アン
    prompter.expectMessage(Kind::Information);
    prompter.answerConfirm(true);
    window->changeSelectedAlbum();
    EXPECT_EQ(prompter.asked().back().text,
              QString::fromUtf8("他の”Ann” のアルバムもフリガナを”アン” にしますか？"));
    EXPECT_EQ(window->albumTable.cell(FuriganaColumn, 2), "\x83\x41\x83\x93");
    EXPECT_EQ(window->albumTable.cell(FuriganaColumn, 3), "ann") << "another letter case is another artist";

    // Every other album already carries it: no question.
    select(*window, {1});
    window->loadEditedAlbum();
    window->editedAlbum[AlbumColumn] = "x";
    prompter.clear();
    prompter.expectMessage(Kind::Information);
    window->changeSelectedAlbum();
    EXPECT_EQ(prompter.asked().size(), 1u);

    // Cancel keeps the change and skips the others.
    window->loadEditedAlbum();
    window->editedAlbum[FuriganaColumn] = "\x83\x47\x81\x5b";  // エー
    prompter.expectMessage(Kind::Information);
    prompter.answerConfirm(false);
    window->changeSelectedAlbum();
    EXPECT_EQ(window->albumTable.cell(FuriganaColumn, 2), "\x83\x47\x81\x5b");
    EXPECT_EQ(window->albumTable.cell(FuriganaColumn, 1), "\x83\x41\x83\x93");
}

TEST_F(CommandsTest, DuplicateAddsACopyAfterTheOriginal)
{
    auto window = openWith({"a", "b", "c"});
    select(*window, {0});
    prompter.expectMessage(Kind::Information);
    window->duplicateSelectedAlbum();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("a / tを追加しました"));
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "a", "b", "c"}));
    EXPECT_EQ(window->selectedAlbum(), 2);
    EXPECT_EQ(window->albumTable.record(1), window->albumTable.record(2));

    prompter.expectMessage(Kind::Information);
    window->duplicateAndEditAlbum();
    EXPECT_EQ(editDialogShown, 1);
    EXPECT_EQ(window->selectedAlbum(), 3);
    prompter.expectMessage(Kind::Information);
    window->menuAction(QStringLiteral("アルバム情報を複製"))->trigger();
    EXPECT_EQ(window->albumTable.albumCount(), 6);
}

TEST_F(CommandsTest, DeleteAsksWithTheAlbumsAndRenumbers)
{
    auto window = openWith({"a", "b", "c"});
    select(*window, {0, 1, 2});
    prompter.answerConfirm(false);
    window->deleteSelectedAlbums();
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("a　/　t\r\nb　/　t\r\nc　/　t\r\nを削除しますか？"));
    EXPECT_EQ(window->albumTable.albumCount(), 3);

    std::vector<std::string_view> twelve(12, "x");
    writeBytes(dataFile(), catalogue({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}));
    auto big = open();
    QItemSelection all(big->albumModel()->index(0, 0), big->albumModel()->index(11, 7));
    big->albumView->selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
    prompter.answerConfirm(true);
    big->deleteSelectedAlbums();
    QString expected;
    for (int i = 1; i <= 10; ++i) {
        expected += QStringLiteral("%1　/　t\r\n").arg(i);
    }
    expected += QStringLiteral("他合計12枚を削除しますか？");
    EXPECT_EQ(prompter.asked().back().text, expected);
    EXPECT_EQ(big->albumTable.albumCount(), 0);
    EXPECT_EQ(big->albumModel()->rowCount(), 0);
    EXPECT_EQ(big->albumCountLabel->text(), QStringLiteral("0/0"));
}

TEST_F(CommandsTest, DeleteFromASortedList)
{
    auto window = openWith({"f", "e", "d", "c", "b", "a"});
    window->sortAlbumsByColumn(1);  // a(6) b(5) c(4) d(3) e(2) f(1)
    select(*window, {1, 4});        // albums 5 and 2
    prompter.answerConfirm(true);
    window->deleteSelectedAlbums();
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"f", "d", "c", "a"}));
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(window->albumModel()->text(0, 1), QStringLiteral("a"));

    // The Delete key in the album list does the same.
    select(*window, {0});
    prompter.answerConfirm(true);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(window->albumView, &del);
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"f", "d", "c"}));
}

TEST_F(CommandsTest, DeletingFromASearchResultRemovesEveryItemOfTheAlbum)
{
    auto window = openWith({"a", "b", "c", "d"});
    window->albumModel()->setEntries(
        {{2, SearchHitImage, 1}, {2, SearchHitImage, 3}, {3, SearchHitImage, 1}, {4, SearchHitImage, 2}});
    window->showAllButton->setEnabled(true);
    select(*window, {0, 1});
    prompter.answerConfirm(true);
    window->deleteSelectedAlbums();
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "c", "d"})) << "album 2 is deleted once";
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 3}));
    // The list is refreshed from the table: search marks are gone.
    EXPECT_EQ(window->albumModel()->entry(0).image, NoListImage);
    EXPECT_EQ(window->albumModel()->text(0, 7), QString());
    EXPECT_EQ(window->albumModel()->text(0, 1), QStringLiteral("c"));

    select(*window, {0});
    window->albumModel()->setEntries(
        {{3, SearchHitImage, 1}, {1, SearchHitImage, 3}, {3, SearchHitImage, 2}});
    select(*window, {1});
    prompter.answerConfirm(true);
    window->deleteSelectedAlbums();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 2}));
}

TEST_F(CommandsTest, QuickEditsAskAndRefuseWhatCannotBeStored)
{
    auto window = openWith({"a"});
    select(*window, {0});
    window->songView->selectionModel()->setCurrentIndex(
        window->songModel()->index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    prompter.answerText(QStringLiteral("三曲目"));
    prompter.expectMessage(Kind::Information);
    window->quickEditSongTitle();
    EXPECT_EQ(window->albumTable.cell(songTitleColumn(3), 1), "\x8e\x4f\x8b\xc8\x96\xda");

    window->songView->selectionModel()->setCurrentIndex(
        window->songModel()->index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    prompter.answerText(QStringLiteral("guest <> star"));
    prompter.expectMessage(Kind::Information);
    window->quickEditSongArtist();
    EXPECT_EQ(window->albumTable.cell(songArtistColumn(3), 1), "");
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("<>")));

    prompter.answerText(QString::fromUtf8("\xF0\x9F\x8E\xB5"));  // an emoji
    prompter.expectMessage(Kind::Information);
    window->quickEditSongArtist();
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("U+1F3B5")));
    const auto& asked = prompter.asked();
    EXPECT_EQ(asked[asked.size() - 2].text, QStringLiteral("曲ごとのアーティスト名を入力してください"));

    prompter.answerText(QStringLiteral("/music/3.flac"), Kind::OpenFile);
    prompter.expectMessage(Kind::Information);
    window->quickEditSongMedia();
    EXPECT_EQ(window->albumTable.cell(mediaColumn(3), 1), "/music/3.flac");
    EXPECT_EQ(window->albumModel()->entry(0).image, MediaFileImage);

    // Cancel changes nothing.
    prompter.answerText(std::nullopt);
    window->quickEditSongTitle();
    EXPECT_EQ(window->albumTable.cell(songTitleColumn(3), 1), "\x8e\x4f\x8b\xc8\x96\xda");
}

TEST_F(CommandsTest, RegisterPicture)
{
    auto window = openWith({"a"});
    select(*window, {0});
    prompter.answerText(QStringLiteral("/pictures/cover.jpg"), Kind::OpenFile);
    prompter.expectMessage(Kind::Information);
    window->registerPictureQuickly();
    EXPECT_EQ(window->albumTable.cell(ImagePathColumn, 1), "/pictures/cover.jpg");
    prompter.answerText(std::nullopt, Kind::OpenFile);
    window->menuAction(QStringLiteral("EditBtn/画像登録"))->trigger();
    EXPECT_EQ(window->albumTable.cell(ImagePathColumn, 1), "/pictures/cover.jpg");
}

}  // namespace
}  // namespace velmora::ui
