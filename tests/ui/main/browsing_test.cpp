// The album list, the information page and the song list.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTest>

#include "core/text/cp932.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/main/main_window_fixture.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

class BrowsingTest : public MainWindowTest {
protected:
    // Five albums "a1".."a5" with a few songs.
    std::unique_ptr<MainWindow> openFive()
    {
        std::string file = dataLineWith({}) + "\r\n";
        for (int i = 1; i <= 5; ++i) {
            std::string artist = "a" + std::to_string(i);
            file += dataLineWith({{ArtistColumn, artist},
                                  {AlbumColumn, "t" + std::to_string(i)},
                                  {FuriganaColumn, artist},
                                  {songTitleColumn(1), "song one"},
                                  {songTitleColumn(2), "song two"}}) +
                    "\r\n";
        }
        writeBytes(dataFile(), file);
        return open();
    }
    // A drop of the selected albums on list row `target` (-1: no item).
    static void drop(MainWindow& window, int target)
    {
        auto* view = child<AlbumReportView>(&window, "albumView");
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(view->onDrop);
        view->onDrop(target);
    }
    static void deselect(MainWindow& window, int row)
    {
        QAbstractItemView* view = albumView(window);
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
    static QComboBox* box(MainWindow& window, const char* name) { return child<QComboBox>(&window, name); }
    static bool actionEnabled(MainWindow& window, const char* name)
    {
        auto* action = child<QAction>(&window, name);
        return action != nullptr && action->isEnabled();
    }
    // Opens a pick box's list (which fills it) and closes it again.
    static void dropDown(QComboBox* pick)
    {
        pick->showPopup();
        pick->hidePopup();
    }
};

TEST_F(BrowsingTest, DragAndDropMovesTheSelectedAlbumsBeforeTheTarget)
{
    auto window = openFive();
    select(*window, {1, 3});
    drop(*window, 0);
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 4, 1, 3, 5}));
    // Only the first selected album stays selected; texts follow the items.
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->selectedAlbum(), 2);
    EXPECT_EQ(listText(*window, 1, 1), QStringLiteral("a4"));
    EXPECT_EQ(listText(*window, 1, 0), QStringLiteral("4"));

    window->catalogue().showAll();
    select(*window, {1, 3});
    drop(*window, 4);
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 3, 2, 4, 5}));
    EXPECT_EQ(cell(*window, ArtistColumn, 2), "a2") << "numbers stay until renumbering";

    // Saving now asks the renumbering question.
    prompter.answerYesNoCancel(Prompter::Answer::Yes);
    trigger(window.get(), "save");
    EXPECT_EQ(cell(*window, ArtistColumn, 3), "a2");
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(window->catalogue().isModified()) << "saved after renumbering";

    // No item under the drop point, or nothing selected: nothing happens.
    drop(*window, -1);
    clearSelection(*window);
    drop(*window, 2);
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
}

// An album's icon comes from its last non-empty media cell, in the full
// list and in the in-place refresh after a drop alike.
TEST_F(BrowsingTest, IconsFollowTheLastMediaCell)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "x"}, {FuriganaColumn, "x"}, {mediaColumn(2), "CD12345"}}) + "\r\n";
    // A file first and a CD track last.
    file += dataLineWith({{ArtistColumn, "y"},
                          {FuriganaColumn, "y"},
                          {mediaColumn(1), "/m/a.mp3"},
                          {mediaColumn(2), "CD12345"}}) +
            "\r\n";
    file += album("z") + "\r\n";
    // A CD track first and a file last.
    file += dataLineWith({{ArtistColumn, "w"},
                          {FuriganaColumn, "w"},
                          {mediaColumn(1), "CD12345"},
                          {mediaColumn(99), "cd-not-a-track"}}) +
            "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    QAbstractItemView* view = albumView(*window);
    EXPECT_EQ(shownImage(view, 0), CdImage);
    EXPECT_EQ(shownImage(view, 1), CdImage);
    EXPECT_EQ(shownImage(view, 2), NoListImage);
    EXPECT_EQ(shownImage(view, 3), MediaFileImage);

    // Icons move with their albums and stay as they were.
    select(*window, {3});
    drop(*window, 0);
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{4, 1, 2, 3}));
    EXPECT_EQ(shownImage(view, 0), MediaFileImage);
    EXPECT_EQ(shownImage(view, 1), CdImage);
    EXPECT_EQ(shownImage(view, 2), CdImage);
    EXPECT_EQ(shownImage(view, 3), NoListImage);
}

TEST_F(BrowsingTest, SixDigitCountsShowWhole)
{
    auto window = openFive();
    auto* albums = child<QLabel>(window.get(), "albumCountLabel");
    auto* songs = child<QLabel>(window.get(), "songCountLabel");
    ASSERT_TRUE(albums && songs);
    albums->setText(QStringLiteral("100000/100000"));
    songs->setText(QStringLiteral("99"));
    QApplication::processEvents();
    EXPECT_GE(albums->width(), albums->sizeHint().width());
    EXPECT_GE(songs->width(), songs->sizeHint().width());
}

TEST_F(BrowsingTest, DropIsRefusedWhilePartIsShown)
{
    auto window = openFive();
    select(*window, {1, 2});
    trigger(window.get(), "showSelectedOnly");
    EXPECT_TRUE(actionEnabled(*window, "showAll"));
    select(*window, {1});
    prompter.expectMessage(Kind::Information);
    drop(*window, 0);
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("並べ替えをする時はすべてのアルバムを表示してください"));
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 3}));
}

TEST_F(BrowsingTest, ShowOnlySelected)
{
    auto window = openFive();
    select(*window, {0, 1, 2, 3, 4});
    trigger(window.get(), "showSelectedOnly");
    EXPECT_EQ(listRowCount(*window), 5);
    EXPECT_FALSE(actionEnabled(*window, "showAll")) << "every album is still shown";

    select(*window, {1, 3});
    trigger(window.get(), "showSelectedOnly");
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 4}));
    EXPECT_EQ(window->selectedListRows(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(actionEnabled(*window, "showAll"));

    trigger(window.get(), "showAll");
    EXPECT_EQ(listRowCount(*window), 5);
    EXPECT_FALSE(actionEnabled(*window, "showAll"));
}

TEST_F(BrowsingTest, ColumnClickSortsAndShowAllRestoresNumberOrder)
{
    std::string file = dataLineWith({}) + "\r\n";
    const std::u16string artists[] = {u"さくら", u"Beta", u"アルファ", u"alpha", u"beta"};
    for (const std::u16string& artist : artists) {
        file += album(sjis(artist)) + "\r\n";
    }
    writeBytes(dataFile(), file);
    auto window = open();
    select(*window, {4});
    clickHeading(albumView(*window), 1);
    EXPECT_EQ(window->catalogue().sortColumn(), 1);
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{4, 5, 2, 3, 1}));
    // The selection follows its album.
    EXPECT_EQ(window->selectedAlbum(), 5);
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{1});

    clickHeading(albumView(*window), 0);
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
    clickHeading(albumView(*window), 1);
    select(*window, {1});
    trigger(window.get(), "showSelectedOnly");
    trigger(window.get(), "showAll");
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(window->catalogue().sortColumn(), 1) << "the sort column stays for the next search";
    EXPECT_EQ(window->selectedAlbum(), 5);
}

TEST_F(BrowsingTest, RenumberingASortedList)
{
    writeBytes(dataFile(), catalogue({"c", "a", "b"}));
    auto window = open();
    select(*window, {0});
    clickHeading(albumView(*window), 1);
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 3, 1}));
    trigger(window.get(), "renumber");
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{2}) << "album c, now number 3, stays selected";
    EXPECT_EQ(listText(*window, 2, 0), QStringLiteral("3"));
    EXPECT_EQ(listText(*window, 2, 1), QStringLiteral("c"));
}

TEST_F(BrowsingTest, SelectionFillsThePanelAndSongs)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "artist"},
                          {AlbumColumn, "title"},
                          {Category1Column, "genre"},
                          {Category2Column, "medium"},
                          {Category3Column, "a{}{}b"},
                          {FuriganaColumn, "artist"},
                          {songTitleColumn(1), "first"},
                          {songArtistColumn(1), "guest"},
                          {songTitleColumn(2), "second"},
                          {mediaColumn(2), "/m/2.mp3"},
                          {mediaColumn(5), "CD99"},
                          {songTitleColumn(7), "seventh"}}) +
            "\r\n";
    file += album("other") + "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    trigger(window.get(), "convertPage");
    select(*window, {0});
    EXPECT_EQ(child<QStackedWidget>(window.get(), "pageStack")->currentIndex(), 0);
    EXPECT_TRUE(child<QAction>(window.get(), "infoPage")->isChecked());
    EXPECT_EQ(labelText(*window, "albumCountLabel"), QStringLiteral("2/2"));
    EXPECT_EQ(labelText(*window, "songCountLabel"), QStringLiteral("7"));
    EXPECT_EQ(box(*window, "artistBox")->currentText(), QStringLiteral("artist"));
    EXPECT_EQ(box(*window, "titleBox")->currentText(), QStringLiteral("title"));
    EXPECT_EQ(child<QLineEdit>(window.get(), "genreEdit")->text(), QStringLiteral("genre"));
    EXPECT_EQ(child<QLineEdit>(window.get(), "mediaEdit")->text(), QStringLiteral("medium"));
    EXPECT_EQ(child<QPlainTextEdit>(window.get(), "memoView")->toPlainText(), QStringLiteral("a\n\nb"));
    EXPECT_TRUE(child<QLabel>(window.get(), "noPictureLabel")->isVisible());

    QAbstractItemView* songs = songView(*window);
    EXPECT_EQ(songText(*window, 1, 3), QStringLiteral("/m/2.mp3"));
    EXPECT_EQ(shownImage(songs, 1), MediaFileImage);
    EXPECT_EQ(shownImage(songs, 4), CdImage);
    EXPECT_EQ(songText(*window, 2, 1), QString());
    EXPECT_EQ(songText(*window, 2, 0), QStringLiteral("3"));
    EXPECT_EQ(window->selectedSongRow(), 0);
    EXPECT_EQ(labelText(*window, "songNumberLabel"), QStringLiteral("1"));
    EXPECT_EQ(labelText(*window, "songTitleLabel"), QStringLiteral("first / guest"));
    selectSong(*window, 1);
    EXPECT_EQ(labelText(*window, "songTitleLabel"), QStringLiteral("second"));
    EXPECT_EQ(labelText(*window, "mediaFileLabel"), QStringLiteral("/m/2.mp3"));

    // Song 5 of the next album has no media: no icon stays behind.
    select(*window, {1});
    EXPECT_EQ(shownImage(songs, 4), NoListImage);
    EXPECT_EQ(labelText(*window, "songCountLabel"), QStringLiteral("0"));

    // Nothing selected: the panel is cleared.
    clearSelection(*window);
    EXPECT_EQ(box(*window, "artistBox")->currentIndex(), -1);
    EXPECT_EQ(child<QLineEdit>(window.get(), "genreEdit")->text(), QString());
    EXPECT_EQ(child<QPlainTextEdit>(window.get(), "memoView")->toPlainText(), QString());
    EXPECT_EQ(songText(*window, 0, 1), QString());
    EXPECT_EQ(labelText(*window, "albumCountLabel"), QStringLiteral("2/2"));
}

TEST_F(BrowsingTest, DeselectedItemIsShownWhileAnotherStaysSelected)
{
    auto window = openFive();
    select(*window, {0, 2});
    EXPECT_EQ(box(*window, "artistBox")->currentText(), QStringLiteral("a3"));
    deselect(*window, 0);
    EXPECT_EQ(box(*window, "artistBox")->currentText(), QStringLiteral("a1"));
    EXPECT_EQ(window->selectedAlbum(), 3);
}

TEST_F(BrowsingTest, SearchHitSelectsItsSongAndCountsShowThePartShown)
{
    auto window = openFive();
    window->catalogue().showSearchResult({{2, 2}, {4, 0}, {5, 1}});
    select(*window, {0});
    EXPECT_EQ(labelText(*window, "albumCountLabel"), QStringLiteral("3/5"));
    EXPECT_EQ(window->selectedSongRow(), 1);
    EXPECT_EQ(labelText(*window, "songTitleLabel"), QStringLiteral("song two"));
    EXPECT_EQ(listText(*window, 0, 7), QStringLiteral("2"));
    // A hit outside the songs selects the first song.
    select(*window, {1});
    EXPECT_EQ(window->selectedSongRow(), 0);
    select(*window, {2});
    EXPECT_EQ(window->selectedSongRow(), 0);
    EXPECT_EQ(labelText(*window, "songTitleLabel"), QStringLiteral("song one"));
}

TEST_F(BrowsingTest, SongSortingKeepsSlotNumbersUntilTheNextSelection)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "x"},
                          {FuriganaColumn, "x"},
                          {songTitleColumn(1), "b"},
                          {songTitleColumn(2), "a"},
                          {songTitleColumn(3), "c"}}) +
            "\r\n";
    file += album("y") + "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    clickHeading(songView(*window), 1);
    // Ninety-six empty titles first, then a, b, c with their slot numbers.
    EXPECT_EQ(songText(*window, 96, 1), QStringLiteral("a"));
    EXPECT_EQ(songText(*window, 96, 0), QStringLiteral("2"));
    EXPECT_EQ(songText(*window, 98, 0), QStringLiteral("3"));
    EXPECT_EQ(songText(*window, window->selectedSongRow(), 0), QStringLiteral("1"))
        << "the selected song stays selected";
    clickHeading(songView(*window), 0);
    EXPECT_EQ(songText(*window, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(songText(*window, 0, 1), QStringLiteral("b"));

    clickHeading(songView(*window), 1);
    select(*window, {1});
    select(*window, {0});
    EXPECT_EQ(songText(*window, 96, 0), QStringLiteral("97"))
        << "the next selection writes slots in list order";
    EXPECT_EQ(songText(*window, 0, 1), QStringLiteral("b"));
}

TEST_F(BrowsingTest, PickBoxesCollectDistinctTextsAndSelect)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += album("Queen", "One") + "\r\n";
    file += album("queen", "Two") + "\r\n";
    file += album("Muse", "Three") + "\r\n";
    file += album("Queen", "one") + "\r\n";
    file += album("Queen", "Four") + "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    QComboBox* artist = box(*window, "artistBox");
    QComboBox* title = box(*window, "titleBox");
    select(*window, {3});
    dropDown(artist);
    ASSERT_EQ(artist->count(), 2);
    EXPECT_EQ(artist->itemText(0), QStringLiteral("Queen"));
    EXPECT_EQ(artist->itemText(1), QStringLiteral("Muse"));
    EXPECT_EQ(artist->currentIndex(), 0);

    dropDown(title);
    ASSERT_EQ(title->count(), 2);  // "One" and "Four": "queen" is another artist
    EXPECT_EQ(title->itemText(1), QStringLiteral("Four"));
    EXPECT_EQ(title->currentIndex(), 0) << "\"one\" was shown: its case-blind twin is the entry";

    title->setCurrentIndex(1);
    emit title->activated(1);
    EXPECT_EQ(window->selectedListRows(), (std::vector<int>{3, 4}));
    EXPECT_EQ(title->currentText(), QStringLiteral("Four"));

    clearSelection(*window);
    dropDown(artist);
    const int muse = artist->findText(QStringLiteral("Muse"));
    ASSERT_GE(muse, 0);
    artist->setCurrentIndex(muse);
    emit artist->activated(muse);
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{2});

    // One artist in the list: one entry, not selected.
    trigger(window.get(), "showSelectedOnly");
    dropDown(artist);
    EXPECT_EQ(artist->count(), 1);
    EXPECT_EQ(artist->currentIndex(), -1);
}

TEST_F(BrowsingTest, PicturesShowOrSayWhyNot)
{
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString((dir / "cover.png").string())));
    writeBytes(dir / "broken.jpg", "not a picture");
    std::string file = dataLineWith({}) + "\r\n";
    for (const char* path : {"broken.jpg", "cover.png", "missing.jpg"}) {
        file += dataLineWith(
                    {{ArtistColumn, "x"}, {FuriganaColumn, "x"}, {ImagePathColumn, (dir / path).string()}}) +
                "\r\n";
    }
    writeBytes(dataFile(), file);
    // The first album's picture does not decode: the start-up shows
    // NoImage and says so in the status bar, with no box over the splash.
    AboutDialog splash(nullptr, QString());
    splash.showAsSplash();
    auto window = open(&splash);
    auto* shown = child<QLabel>(window.get(), "pictureLabel");
    auto* none = child<QLabel>(window.get(), "noPictureLabel");
    ASSERT_TRUE(shown && none);
    EXPECT_TRUE(prompter.asked().empty());
    EXPECT_TRUE(none->isVisible());
    const QString brokenNote = QStringLiteral("画像を読み込めませんでした: ") +
                               QString::fromStdString((dir / "broken.jpg").string());
    EXPECT_EQ(statusText(*window, 1), brokenNote);

    select(*window, {1});
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(statusText(*window, 1), QString()) << "the note goes with the album";
    EXPECT_FALSE(none->isVisible());
    EXPECT_EQ(shown->toolTip(), QString::fromStdString((dir / "cover.png").string()));
    // Fitted into the box, keeping its shape.
    EXPECT_EQ(shown->pixmap().width(), 2 * shown->pixmap().height());

    // Every selection of the album: the note again, never a box.
    select(*window, {0});
    EXPECT_TRUE(none->isVisible());
    EXPECT_EQ(shown->toolTip(), QString());
    EXPECT_EQ(statusText(*window, 1), brokenNote);
    select(*window, {1});
    select(*window, {0});
    EXPECT_EQ(statusText(*window, 1), brokenNote);
    EXPECT_TRUE(prompter.asked().empty());

    select(*window, {2});
    EXPECT_TRUE(none->isVisible());
}

TEST_F(BrowsingTest, PopupMenusEnableTheirItems)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "x"}, {FuriganaColumn, "x"}, {mediaColumn(2), "/m.mp3"}}) + "\r\n";
    file += album("y") + "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    auto* songMenu = child<QMenu>(window.get(), "songMenu");
    auto* play = child<QAction>(window.get(), "playSong");
    auto* folder = child<QAction>(window.get(), "openSongFolder");
    ASSERT_TRUE(songMenu && play && folder);
    emit songMenu->aboutToShow();
    EXPECT_FALSE(play->isEnabled()) << "song 1 has no media file";
    selectSong(*window, 1);
    emit songMenu->aboutToShow();
    EXPECT_TRUE(play->isEnabled());
    EXPECT_TRUE(folder->isEnabled());

    EXPECT_FALSE(actionEnabled(*window, "showAll"));
    EXPECT_TRUE(actionEnabled(*window, "renumber"));
    trigger(window.get(), "showSelectedOnly");
    EXPECT_EQ(listRowCount(*window), 1);
}

}  // namespace
}  // namespace velmora::ui
