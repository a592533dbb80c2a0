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

#include "core/text/cp932.h"
#include "ui/main/main_window_fixture.h"
#include "ui/main/song_list_model.h"
#include "ui/widgets/list_images.h"
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
    static void select(MainWindow& window, std::initializer_list<int> rows)
    {
        window.albumView->selectionModel()->clear();
        for (int row : rows) {
            window.selectListRow(row, false);
        }
    }
    static void deselect(MainWindow& window, int row)
    {
        window.albumView->selectionModel()->select(window.albumModel()->index(row, 0),
                                                   QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
};

TEST_F(BrowsingTest, DragAndDropMovesTheSelectedAlbumsBeforeTheTarget)
{
    auto window = openFive();
    select(*window, {1, 3});
    window->dropSelectedAlbums(0);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 4, 1, 3, 5}));
    // Only the first selected album stays selected; texts follow the items.
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->albumModel()->text(1, 1), QStringLiteral("a4"));

    window->showAllAlbums();
    select(*window, {1, 3});
    window->dropSelectedAlbums(4);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 3, 2, 4, 5}));
    EXPECT_EQ(window->albumTable.cell(ArtistColumn, 2), "a2") << "rows stay until renumbering";

    // Saving now asks the renumbering question.
    prompter.answerYesNoCancel(Prompter::Answer::Yes);
    EXPECT_TRUE(window->saveCatalogue());
    EXPECT_EQ(window->albumTable.cell(ArtistColumn, 3), "a2");
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));

    // No item under the drop point, or nothing selected: nothing happens.
    window->dropSelectedAlbums(-1);
    window->albumView->selectionModel()->clear();
    window->dropSelectedAlbums(2);
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
    window->dropSelectedAlbums(0);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 1}));
    EXPECT_EQ(window->albumModel()->entry(0).image, CdImage);
    EXPECT_EQ(window->albumModel()->entry(1).image, NoListImage);
}

TEST_F(BrowsingTest, SixDigitCountsShowWhole)
{
    auto window = openFive();
    window->albumCountLabel->setText(QStringLiteral("100000/100000"));
    window->songCountLabel->setText(QStringLiteral("99"));
    QApplication::processEvents();
    EXPECT_GE(window->albumCountLabel->width(), window->albumCountLabel->sizeHint().width());
    EXPECT_GE(window->songCountLabel->width(), window->songCountLabel->sizeHint().width());
}

TEST_F(BrowsingTest, DropIsRefusedWhilePartIsShown)
{
    auto window = openFive();
    select(*window, {1, 2});
    window->showSelectedOnly();
    EXPECT_TRUE(window->showAllButton->isEnabled());
    select(*window, {1});
    prompter.expectMessage(Kind::Information);
    window->dropSelectedAlbums(0);
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
    EXPECT_FALSE(window->showAllButton->isEnabled());

    select(*window, {1, 3});
    window->showSelectedOnly();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 4}));
    EXPECT_EQ(window->selectedListRows(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(window->showAllButton->isEnabled());
    EXPECT_TRUE(window->renumberButton->isEnabled()) << "renumbering keeps its state";

    window->showAllAlbums();
    EXPECT_EQ(window->albumModel()->rowCount(), 5);
    EXPECT_FALSE(window->showAllButton->isEnabled());
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
    window->sortAlbumsByColumn(1);
    EXPECT_EQ(window->albumSortColumn, 1);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{4, 5, 2, 3, 1}));
    // The selection follows its album.
    EXPECT_EQ(window->selectedAlbum(), 5);

    window->sortAlbumsByColumn(0);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
    window->sortAlbumsByColumn(1);
    window->showAllAlbums();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(window->albumSortColumn, 1);
    EXPECT_EQ(window->selectedAlbum(), 5);
}

TEST_F(BrowsingTest, RenumberingASortedList)
{
    writeBytes(dataFile(), catalogue({"c", "a", "b"}));
    auto window = open();
    select(*window, {0});
    window->sortAlbumsByColumn(1);
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{2, 3, 1}));
    window->renumberInListOrder();
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(window->albumTable.cell(ArtistColumn, 1), "a");
    EXPECT_EQ(window->albumTable.cell(ArtistColumn, 3), "c");
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{2}) << "album c, now number 3, stays selected";
    EXPECT_EQ(window->statusBar_ != nullptr, true);
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
    window->pageStack->setCurrentIndex(2);
    select(*window, {0});
    EXPECT_EQ(window->pageStack->currentIndex(), 0);
    EXPECT_TRUE(window->infoPageButton->isChecked());
    EXPECT_EQ(window->albumCountLabel->text(), QStringLiteral("2/2"));
    EXPECT_EQ(window->songCountLabel->text(), QStringLiteral("7"));
    EXPECT_EQ(window->artistBox->currentText(), QStringLiteral("artist"));
    EXPECT_EQ(window->titleBox->currentText(), QStringLiteral("title"));
    EXPECT_EQ(window->genreEdit->text(), QStringLiteral("genre"));
    EXPECT_EQ(window->mediaEdit->text(), QStringLiteral("medium"));
    EXPECT_EQ(window->memoView->toPlainText(), QStringLiteral("a\n\nb"));
    EXPECT_TRUE(window->noPictureLabel->isVisible());

    SongListModel* songs = window->songModel();
    EXPECT_EQ(songs->item(1).media, QStringLiteral("/m/2.mp3"));
    EXPECT_EQ(songs->item(1).image, MediaFileImage);
    EXPECT_EQ(songs->item(4).image, CdImage);
    EXPECT_EQ(songs->item(2).title, QString());
    EXPECT_EQ(songs->item(2).caption, QStringLiteral("3"));
    EXPECT_EQ(window->selectedSongRow(), 0);
    EXPECT_EQ(window->songNumberLabel->text(), QStringLiteral("1"));
    EXPECT_EQ(window->songTitleLabel->text(), QStringLiteral("first / guest"));
    window->songRowSelected(1);
    EXPECT_EQ(window->songTitleLabel->text(), QStringLiteral("second"));
    EXPECT_EQ(window->mediaFileLabel->text(), QStringLiteral("/m/2.mp3"));

    // Song 5 of the next album has no media: no icon stays behind.
    select(*window, {1});
    EXPECT_EQ(songs->item(4).image, NoListImage);
    EXPECT_EQ(window->songCountLabel->text(), QStringLiteral("0"));

    // Nothing selected: the panel is cleared.
    window->albumView->selectionModel()->clear();
    EXPECT_EQ(window->artistBox->currentIndex(), -1);
    EXPECT_EQ(window->genreEdit->text(), QString());
    EXPECT_EQ(window->memoView->toPlainText(), QString());
    EXPECT_EQ(songs->item(0).title, QString());
    EXPECT_EQ(window->albumCountLabel->text(), QStringLiteral("2/2"));
}

TEST_F(BrowsingTest, DeselectedItemIsShownWhileAnotherStaysSelected)
{
    auto window = openFive();
    select(*window, {0, 2});
    EXPECT_EQ(window->artistBox->currentText(), QStringLiteral("a3"));
    deselect(*window, 0);
    EXPECT_EQ(window->artistBox->currentText(), QStringLiteral("a1"));
    EXPECT_EQ(window->selectedAlbum(), 3);
}

TEST_F(BrowsingTest, SearchHitSelectsItsSongAndCountsShowThePartShown)
{
    auto window = openFive();
    std::vector<AlbumListModel::Entry> hits = {
        {2, SearchHitImage, 2}, {4, SearchHitImage, 0}, {5, NoListImage, 1}};
    window->albumModel()->setEntries(hits);
    window->showAllButton->setEnabled(true);
    select(*window, {0});
    EXPECT_EQ(window->albumCountLabel->text(), QStringLiteral("3/5"));
    EXPECT_EQ(window->selectedSongRow(), 1);
    EXPECT_EQ(window->songTitleLabel->text(), QStringLiteral("song two"));
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
    EXPECT_EQ(window->artistBox->currentText(), QStringLiteral("a2")) << "the panel keeps what it showed";
    EXPECT_EQ(window->albumCountLabel->text(), QStringLiteral("2/5"));
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
    window->sortSongsByColumn(1);
    EXPECT_EQ(window->songSortColumn, 1);
    SongListModel* songs = window->songModel();
    // Ninety-six empty titles first, then a, b, c with their slot numbers.
    EXPECT_EQ(songs->item(96).title, QStringLiteral("a"));
    EXPECT_EQ(songs->item(96).caption, QStringLiteral("2"));
    EXPECT_EQ(songs->item(98).caption, QStringLiteral("3"));
    EXPECT_EQ(songs->item(window->selectedSongRow()).caption, QStringLiteral("1"));
    window->sortSongsByColumn(0);
    EXPECT_EQ(songs->item(0).caption, QStringLiteral("1"));

    window->sortSongsByColumn(1);
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
    window->fillArtistPicks();
    ASSERT_EQ(window->artistBox->count(), 2);
    EXPECT_EQ(window->artistBox->itemText(0), QStringLiteral("Queen"));
    EXPECT_EQ(window->artistBox->itemText(1), QStringLiteral("Muse"));
    EXPECT_EQ(window->artistBox->currentIndex(), 0);

    window->fillTitlePicks();
    ASSERT_EQ(window->titleBox->count(), 2);  // "One" and "Four": "queen" is another artist
    EXPECT_EQ(window->titleBox->itemText(1), QStringLiteral("Four"));
    EXPECT_EQ(window->titleBox->currentIndex(), 0) << "\"one\" was shown: its case-blind twin is the entry";

    window->titlePicked(1);
    EXPECT_EQ(window->selectedListRows(), (std::vector<int>{3, 4}));
    EXPECT_EQ(window->titleBox->currentText(), QStringLiteral("Four"));

    window->albumView->selectionModel()->clear();
    window->fillArtistPicks();
    window->artistPicked(window->artistBox->findText(QStringLiteral("Muse")));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{2});

    // One artist in the list: one entry, not selected.
    window->showSelectedOnly();
    window->fillArtistPicks();
    EXPECT_EQ(window->artistBox->count(), 1);
    EXPECT_EQ(window->artistBox->currentIndex(), -1);
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
    EXPECT_TRUE(window->pictureLabel->isVisible());
    EXPECT_FALSE(window->noPictureLabel->isVisible());
    EXPECT_EQ(window->pictureLabel->toolTip(), QString::fromStdString((dir / "cover.png").string()));
    EXPECT_EQ(window->pictureLabel->pixmap().width(), 64);
    EXPECT_EQ(window->pictureLabel->pixmap().height(), 32);

    prompter.expectMessage(Kind::Error);
    select(*window, {1});
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("broken.jpg")));
    EXPECT_TRUE(window->noPictureLabel->isVisible());
    EXPECT_EQ(window->pictureLabel->toolTip(), QString());

    select(*window, {2});
    EXPECT_TRUE(window->noPictureLabel->isVisible());
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
    emit window->songMenu->aboutToShow();
    EXPECT_FALSE(play->isEnabled());
    window->songView->selectionModel()->setCurrentIndex(window->songModel()->index(1, 0),
                                                        QItemSelectionModel::ClearAndSelect);
    emit window->songMenu->aboutToShow();
    EXPECT_TRUE(play->isEnabled());
    EXPECT_TRUE(folder->isEnabled());

    emit window->albumMenu->aboutToShow();
    EXPECT_FALSE(window->menuAction(QStringLiteral("MainPopupMenu/アルバム全表示(&V)"))->isEnabled());
    EXPECT_TRUE(window->menuAction(QStringLiteral("MainPopupMenu/CD番号整列"))->isEnabled());
    window->menuAction(QStringLiteral("MainPopupMenu/選択アルバムのみを表示"))->trigger();
    EXPECT_EQ(window->albumModel()->rowCount(), 1);
}

}  // namespace
}  // namespace velmora::ui
