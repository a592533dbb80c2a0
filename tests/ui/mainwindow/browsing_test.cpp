// The album list, the information page and the song list.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include "mainwindow/list_images.h"
#include "mainwindow/list_views.h"
#include "mainwindow/song_list_model.h"
#include "text/cp932.h"
#include "ui/mainwindow/main_window_fixture.h"

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
    std::unique_ptr<TForm1> openFive()
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
    static void select(TForm1& window, std::initializer_list<int> rows)
    {
        window.AlbumListView->selectionModel()->clear();
        for (int row : rows) {
            window.selectListRow(row, false);
        }
    }
    static void deselect(TForm1& window, int row)
    {
        window.AlbumListView->selectionModel()->select(
            window.albumModel()->index(row, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
};

TEST_F(BrowsingTest, DragAndDropMovesTheSelectedAlbumsBeforeTheTarget)
{
    auto window = openFive();
    select(*window, {1, 3});
    window->AlbumListViewDragDrop(0);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 4, 1, 3, 5}));
    // Only the first selected album stays selected; texts follow the items.
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->albumModel()->text(1, 1), QStringLiteral("a4"));

    window->AllVisibleButtonClick();
    select(*window, {1, 3});
    window->AlbumListViewDragDrop(4);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 3, 2, 4, 5}));
    EXPECT_EQ(window->DataGrid.cell(ArtistColumn, 2), "a2") << "rows stay until renumbering";

    // Saving now asks the renumbering question.
    prompter.answerYesNoCancel(Prompter::Answer::Yes);
    EXPECT_TRUE(window->saveCatalogue());
    EXPECT_EQ(window->DataGrid.cell(ArtistColumn, 3), "a2");
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));

    // No item under the drop point, or nothing selected: nothing happens.
    window->AlbumListViewDragDrop(-1);
    window->AlbumListView->selectionModel()->clear();
    window->AlbumListViewDragDrop(2);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(BrowsingTest, DropRefreshesIconsWithTheLastMediaCell)
{
    // A file first and a CD track last: the full list shows the file icon,
    // the in-place refresh after a drop the CD icon.
    std::string file = dataLineWith({}) + "\r\n" + album("a") + "\r\n";
    file += dataLineWith({{ArtistColumn, "b"},
                          {FuriganaColumn, "b"},
                          {mediaColumn(1), "/m/a.mp3"},
                          {mediaColumn(2), "CD12345"}}) +
            "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    EXPECT_EQ(window->albumModel()->entry(1).image, MediaFileImage);
    select(*window, {1});
    window->AlbumListViewDragDrop(0);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 1}));
    EXPECT_EQ(window->albumModel()->entry(0).image, CdImage);
    EXPECT_EQ(window->albumModel()->entry(1).image, NoListImage);
}

TEST_F(BrowsingTest, SixDigitCountsShowWhole)
{
    auto window = openFive();
    window->CDCountLabel->setText(QStringLiteral("100000/100000"));
    window->SongCountLabel->setText(QStringLiteral("99"));
    QApplication::processEvents();
    EXPECT_GE(window->CDCountLabel->width(), window->CDCountLabel->sizeHint().width());
    EXPECT_GE(window->SongCountLabel->width(), window->SongCountLabel->sizeHint().width());
}

TEST_F(BrowsingTest, DropIsRefusedWhilePartIsShown)
{
    auto window = openFive();
    select(*window, {1, 2});
    window->showSelectedOnly();
    EXPECT_TRUE(window->AllVisibleButton->isEnabled());
    select(*window, {1});
    prompter.expectMessage(Kind::Information);
    window->AlbumListViewDragDrop(0);
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("並べ替えをする時はすべてのアルバムを表示してください"));
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 3}));
}

TEST_F(BrowsingTest, ShowOnlySelected)
{
    auto window = openFive();
    select(*window, {0, 1, 2, 3, 4});
    window->showSelectedOnly();
    EXPECT_EQ(window->albumModel()->rowCount(), 5);
    EXPECT_FALSE(window->AllVisibleButton->isEnabled());

    select(*window, {1, 3});
    window->showSelectedOnly();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 4}));
    EXPECT_EQ(window->selectedListRows(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(window->AllVisibleButton->isEnabled());
    EXPECT_TRUE(window->NoEditButton->isEnabled()) << "renumbering keeps its state";

    window->AllVisibleButtonClick();
    EXPECT_EQ(window->albumModel()->rowCount(), 5);
    EXPECT_FALSE(window->AllVisibleButton->isEnabled());
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
    window->AlbumListViewColumnClick(1);
    EXPECT_EQ(window->AlbumSortColumn, 1);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{4, 5, 2, 3, 1}));
    // The selection follows its album.
    EXPECT_EQ(window->selectedAlbum(), 5);

    window->AlbumListViewColumnClick(0);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
    window->AlbumListViewColumnClick(1);
    window->AllVisibleButtonClick();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(window->AlbumSortColumn, 1);
    EXPECT_EQ(window->selectedAlbum(), 5);
}

TEST_F(BrowsingTest, RenumberingASortedList)
{
    writeBytes(dataFile(), catalogue({"c", "a", "b"}));
    auto window = open();
    select(*window, {0});
    window->AlbumListViewColumnClick(1);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 3, 1}));
    window->NoEditButtonClick();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(window->DataGrid.cell(ArtistColumn, 1), "a");
    EXPECT_EQ(window->DataGrid.cell(ArtistColumn, 3), "c");
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{2}) << "album c, now number 3, stays selected";
    EXPECT_EQ(window->StatusBar1 != nullptr, true);
}

TEST_F(BrowsingTest, IconsFollowTheFirstMediaCell)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "x"}, {FuriganaColumn, "x"}, {mediaColumn(2), "CD12345"}}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "y"},
                          {FuriganaColumn, "y"},
                          {mediaColumn(1), "/m/a.mp3"},
                          {mediaColumn(2), "CD12345"}}) +
            "\r\n";
    file += album("z") + "\r\n";
    file += dataLineWith({{ArtistColumn, "w"}, {FuriganaColumn, "w"}, {mediaColumn(99), "cd-not-a-track"}}) +
            "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    EXPECT_EQ(window->albumModel()->entry(0).image, CdImage);
    EXPECT_EQ(window->albumModel()->entry(1).image, MediaFileImage);
    EXPECT_EQ(window->albumModel()->entry(2).image, NoListImage);
    EXPECT_EQ(window->albumModel()->entry(3).image, MediaFileImage);
}

TEST_F(BrowsingTest, SelectionFillsThePanelAndSongs)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "artist"},
                          {AlbumColumn, "title"},
                          {Memo1Column, "genre"},
                          {Memo2Column, "medium"},
                          {Memo3Column, "a{}{}b"},
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
    window->PageControl1->setCurrentIndex(2);
    select(*window, {0});
    EXPECT_EQ(window->PageControl1->currentIndex(), 0);
    EXPECT_TRUE(window->InfoTabButton->isChecked());
    EXPECT_EQ(window->CDCountLabel->text(), QStringLiteral("2/2"));
    EXPECT_EQ(window->SongCountLabel->text(), QStringLiteral("7"));
    EXPECT_EQ(window->ArtistBox->currentText(), QStringLiteral("artist"));
    EXPECT_EQ(window->AlbumBox->currentText(), QStringLiteral("title"));
    EXPECT_EQ(window->janruEdit->text(), QStringLiteral("genre"));
    EXPECT_EQ(window->MediaEdit->text(), QStringLiteral("medium"));
    EXPECT_EQ(window->Memo->toPlainText(), QStringLiteral("a\n\nb"));
    EXPECT_TRUE(window->NoImageLabel->isVisible());

    SongListModel* songs = window->songModel();
    EXPECT_EQ(songs->item(1).media, QStringLiteral("/m/2.mp3"));
    EXPECT_EQ(songs->item(1).image, MediaFileImage);
    EXPECT_EQ(songs->item(4).image, CdImage);
    EXPECT_EQ(songs->item(2).title, QString());
    EXPECT_EQ(songs->item(2).caption, QStringLiteral("3"));
    EXPECT_EQ(window->selectedSongRow(), 0);
    EXPECT_EQ(window->SongNoLabel->text(), QStringLiteral("1"));
    EXPECT_EQ(window->SongNameLabel->text(), QStringLiteral("first / guest"));
    window->SongListViewSelectItem(1);
    EXPECT_EQ(window->SongNameLabel->text(), QStringLiteral("second"));
    EXPECT_EQ(window->MediaFileLabel->text(), QStringLiteral("/m/2.mp3"));

    // Song 5 of the next album has no media: no icon stays behind.
    select(*window, {1});
    EXPECT_EQ(songs->item(4).image, NoListImage);
    EXPECT_EQ(window->SongCountLabel->text(), QStringLiteral("0"));

    // Nothing selected: the panel is cleared.
    window->AlbumListView->selectionModel()->clear();
    EXPECT_EQ(window->ArtistBox->currentIndex(), -1);
    EXPECT_EQ(window->janruEdit->text(), QString());
    EXPECT_EQ(window->Memo->toPlainText(), QString());
    EXPECT_EQ(songs->item(0).title, QString());
    EXPECT_EQ(window->CDCountLabel->text(), QStringLiteral("2/2"));
}

TEST_F(BrowsingTest, DeselectedItemIsShownWhileAnotherStaysSelected)
{
    auto window = openFive();
    select(*window, {0, 2});
    EXPECT_EQ(window->ArtistBox->currentText(), QStringLiteral("a3"));
    deselect(*window, 0);
    EXPECT_EQ(window->ArtistBox->currentText(), QStringLiteral("a1"));
    EXPECT_EQ(window->selectedAlbum(), 3);
}

TEST_F(BrowsingTest, SearchHitSelectsItsSongAndCountsShowThePartShown)
{
    auto window = openFive();
    std::vector<AlbumListModel::Entry> hits = {
        {2, SearchHitImage, 2}, {4, SearchHitImage, 0}, {5, NoListImage, 1}};
    window->albumModel()->setEntries(hits);
    window->AllVisibleButton->setEnabled(true);
    select(*window, {0});
    EXPECT_EQ(window->CDCountLabel->text(), QStringLiteral("3/5"));
    EXPECT_EQ(window->selectedSongRow(), 1);
    EXPECT_EQ(window->SongNameLabel->text(), QStringLiteral("song two"));
    select(*window, {1});
    EXPECT_EQ(window->selectedSongRow(), 0);
    // Only a hit's icon makes the number count.
    select(*window, {2});
    EXPECT_EQ(window->selectedSongRow(), 0);
}

TEST_F(BrowsingTest, StaleAlbumNumbersShowNothingNew)
{
    auto window = openFive();
    select(*window, {1});
    window->albumModel()->setEntries({{2, NoListImage, 0}, {9, NoListImage, 0}});
    select(*window, {1});
    EXPECT_EQ(window->ArtistBox->currentText(), QStringLiteral("a2")) << "the panel keeps what it showed";
    EXPECT_EQ(window->CDCountLabel->text(), QStringLiteral("2/5"));
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
    window->SongListViewColumnClick(1);
    EXPECT_EQ(window->SongSortColumn, 1);
    SongListModel* songs = window->songModel();
    // Ninety-six empty titles first, then a, b, c with their slot numbers.
    EXPECT_EQ(songs->item(96).title, QStringLiteral("a"));
    EXPECT_EQ(songs->item(96).caption, QStringLiteral("2"));
    EXPECT_EQ(songs->item(98).caption, QStringLiteral("3"));
    EXPECT_EQ(songs->item(window->selectedSongRow()).caption, QStringLiteral("1"));
    window->SongListViewColumnClick(0);
    EXPECT_EQ(songs->item(0).caption, QStringLiteral("1"));

    window->SongListViewColumnClick(1);
    select(*window, {1});
    select(*window, {0});
    EXPECT_EQ(songs->item(96).caption, QStringLiteral("97"))
        << "the next selection writes slots in list order";
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
    select(*window, {3});
    window->ArtistBoxDropDown();
    ASSERT_EQ(window->ArtistBox->count(), 2);
    EXPECT_EQ(window->ArtistBox->itemText(0), QStringLiteral("Queen"));
    EXPECT_EQ(window->ArtistBox->itemText(1), QStringLiteral("Muse"));
    EXPECT_EQ(window->ArtistBox->currentIndex(), 0);

    window->AlbumBoxDropDown();
    ASSERT_EQ(window->AlbumBox->count(), 2);  // "One" and "Four": "queen" is another artist
    EXPECT_EQ(window->AlbumBox->itemText(1), QStringLiteral("Four"));
    EXPECT_EQ(window->AlbumBox->currentIndex(), 0) << "\"one\" was shown: its case-blind twin is the entry";

    window->AlbumBoxSelect(1);
    EXPECT_EQ(window->selectedListRows(), (std::vector<int>{3, 4}));
    EXPECT_EQ(window->AlbumBox->currentText(), QStringLiteral("Four"));

    window->AlbumListView->selectionModel()->clear();
    window->ArtistBoxDropDown();
    window->ArtistBoxSelect(window->ArtistBox->findText(QStringLiteral("Muse")));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{2});

    // One artist in the list: one entry, not selected.
    window->showSelectedOnly();
    window->ArtistBoxDropDown();
    EXPECT_EQ(window->ArtistBox->count(), 1);
    EXPECT_EQ(window->ArtistBox->currentIndex(), -1);
}

TEST_F(BrowsingTest, PicturesShowOrSayWhyNot)
{
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString((dir / "cover.png").string())));
    writeBytes(dir / "broken.jpg", "not a picture");
    std::string file = dataLineWith({}) + "\r\n";
    for (const char* path : {"cover.png", "broken.jpg", "missing.jpg"}) {
        file += dataLineWith(
                    {{ArtistColumn, "x"}, {FuriganaColumn, "x"}, {ImagePathColumn, (dir / path).string()}}) +
                "\r\n";
    }
    writeBytes(dataFile(), file);
    auto window = open();
    EXPECT_TRUE(window->Image1->isVisible());
    EXPECT_FALSE(window->NoImageLabel->isVisible());
    EXPECT_EQ(window->Image1->toolTip(), QString::fromStdString((dir / "cover.png").string()));
    EXPECT_EQ(window->Image1->pixmap().width(), 64);
    EXPECT_EQ(window->Image1->pixmap().height(), 32);

    prompter.expectMessage(Kind::Error);
    select(*window, {1});
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("broken.jpg")));
    EXPECT_TRUE(window->NoImageLabel->isVisible());
    EXPECT_EQ(window->Image1->toolTip(), QString());

    select(*window, {2});
    EXPECT_TRUE(window->NoImageLabel->isVisible());
}

TEST_F(BrowsingTest, PopupMenusEnableTheirItems)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "x"}, {FuriganaColumn, "x"}, {mediaColumn(2), "/m.mp3"}}) + "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    QAction* play = window->menuAction(QStringLiteral("SongPopupMenu/メディアファイル再生(&L)"));
    QAction* folder =
        window->menuAction(QStringLiteral("SongPopupMenu/メディアファイルの親フォルダを開く(&F)"));
    ASSERT_NE(play, nullptr);
    emit window->SongPopupMenu->aboutToShow();
    EXPECT_FALSE(play->isEnabled());
    window->SongListView->selectionModel()->setCurrentIndex(window->songModel()->index(1, 0),
                                                            QItemSelectionModel::ClearAndSelect);
    emit window->SongPopupMenu->aboutToShow();
    EXPECT_TRUE(play->isEnabled());
    EXPECT_TRUE(folder->isEnabled());

    emit window->MainPopupMenu->aboutToShow();
    EXPECT_FALSE(window->menuAction(QStringLiteral("MainPopupMenu/アルバム全表示(&V)"))->isEnabled());
    EXPECT_TRUE(window->menuAction(QStringLiteral("MainPopupMenu/CD番号整列"))->isEnabled());
    window->menuAction(QStringLiteral("MainPopupMenu/選択アルバムのみを表示"))->trigger();
    EXPECT_EQ(window->albumModel()->rowCount(), 1);
}

}  // namespace
}  // namespace velmora::ui
