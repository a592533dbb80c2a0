// The information page and the song list of the main window.
#include <QAction>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>
#include <numeric>

#include "core/browse/album_order.h"
#include "core/store/columns.h"
#include "ui/main/album_info_panel.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"
#include "ui/main/song_list_model.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/player/player_paths.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"
#include "ui/widgets/status_bar.h"

namespace velmora::ui {

using namespace velmora::store;

void MainWindow::buildPopupMenus()
{
    const MainActions& a = *actions_;
    albumMenu_ = new QMenu(this);
    albumMenu_->setObjectName(QStringLiteral("albumMenu"));
    albumMenu_->addAction(a.playMedia);
    albumMenu_->addAction(a.editAlbum);
    QMenu* quick = albumMenu_->addMenu(QStringLiteral("クイック編集(&Q)"));
    quick->addActions({a.duplicateAlbum, a.duplicateAndEdit, a.registerDisc, a.registerPicture});
    albumMenu_->addSeparator();
    albumMenu_->addActions({a.showAll, a.showSelectedOnly, a.renumber});
    albumMenu_->addSeparator();
    QMenu* clip = albumMenu_->addMenu(QStringLiteral("クリップボードにコピー(&C)"));
    clip->addActions({a.copyAlbumDetails, a.copyAlbumSummary, a.copyArtistNames, a.copyAlbumTitles});
    albumMenu_->addSeparator();
    albumMenu_->addAction(a.deleteAlbums);
    connect(albumView_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { albumMenu_->popup(albumView_->viewport()->mapToGlobal(pos)); });

    songMenu_ = new QMenu(this);
    songMenu_->setObjectName(QStringLiteral("songMenu"));
    songMenu_->addActions({a.playSong, a.openSongFile, a.openSongFolder});
    songMenu_->addSeparator();
    songMenu_->addAction(a.editAlbum);
    QMenu* songQuick = songMenu_->addMenu(QStringLiteral("クイック編集(&Q)"));
    songQuick->addActions({a.editSongTitle, a.editSongArtist, a.editSongMedia});
    QMenu* songClip = songMenu_->addMenu(QStringLiteral("クリップボードにコピー(&C)"));
    songClip->addActions({a.copySongDetails, a.copySongTitle});
    connect(songMenu_, &QMenu::aboutToShow, this, [this] { prepareSongMenu(); });
    connect(songView_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { songMenu_->popup(songView_->viewport()->mapToGlobal(pos)); });
}

void MainWindow::prepareSongMenu()
{
    int row = selectedSongRow();
    if (row < 0) {
        return;
    }
    const bool hasMedia = !songModel_->item(row).media.isEmpty();
    for (QAction* action : {actions_->playSong, actions_->openSongFile, actions_->openSongFolder}) {
        action->setEnabled(hasMedia);
    }
}

int MainWindow::selectedSongRow() const
{
    QModelIndexList selected = songView_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void MainWindow::showAlbumOfRow(int row, bool /*selected*/)
{
    if (pageStack_->currentIndex() != 0) {
        pageStack_->setCurrentIndex(0);
    }
    actions_->infoPage->setChecked(true);
    infoPage_->setCounts(albumModel_->rowCount(), catalogue_.albumCount());
    infoPage_->setSongCount(0);

    if (!albumView_->selectionModel()->hasSelection()) {
        if (isVisible()) {
            clearInfoPanel();
        }
        return;
    }
    // The event's item, also when it has just been deselected.
    const catalogue::ListEntry& entry = albumModel_->entry(row);
    if (entry.album < 1 || entry.album > catalogue_.albumCount()) {
        return;
    }
    AlbumTable::RowCells cells = catalogue_.albums().rowCells(entry.album);
    auto cell = [&](int column) { return cells[static_cast<std::size_t>(column)]; };
    for (int item = 0; item < SongListModel::kItemCount; ++item) {
        const int slot = item + 1;
        std::string_view media = cell(mediaColumn(slot));
        songModel_->setItem(item,
                            {QString::number(slot), fromCp932(cell(songTitleColumn(slot))),
                             fromCp932(cell(songArtistColumn(slot))), fromCp932(media), mediaImage(media)});
    }
    infoPage_->setSongCount(usedSongCount(cell));

    AlbumInfoPanel::Album shown{fromCp932(cell(ArtistColumn)),
                                fromCp932(cell(AlbumColumn)),
                                fromCp932(cell(Category1Column)),
                                fromCp932(cell(Category2Column)),
                                {},
                                localPath(fromCp932(cell(ImagePathColumn)))};
    for (const std::string& line : splitMemo(cell(Category3Column))) {
        shown.memoLines << fromCp932(line);
    }
    // A picture that cannot be read shows NoImage and is named in the
    // status bar: a box would come back at every selection of the album
    // (and over the splash at start-up).
    const QString pictureFailed = QStringLiteral("画像を読み込めませんでした: ");
    if (!infoPage_->showAlbum(shown)) {
        setStatus(1, pictureFailed + shown.picture);
    } else if (statusBar_->panelText(1).startsWith(pictureFailed)) {
        setStatus(1, QString());
    }

    int songRow = 0;
    if (isVisible() && albumModel_->hitsShown() && entry.searchSong > 0) {
        songRow = entry.searchSong - 1;
    }
    QModelIndex song = songModel_->index(songRow, 0);
    songView_->selectionModel()->setCurrentIndex(
        song, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (isVisible()) {
        songRowSelected(songRow);
        songView_->scrollTo(song);
    }
}

void MainWindow::clearInfoPanel()
{
    infoPage_->clear();
    songModel_->resetItems();
    QModelIndex first = songModel_->index(0, 0);
    songView_->selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    songView_->scrollTo(first);
}

void MainWindow::songRowSelected(int row)
{
    if (row < 0 || row >= SongListModel::kItemCount) {
        return;
    }
    const SongListModel::Item& item = songModel_->item(row);
    songNumberLabel_->setText(item.caption);
    songTitleLabel_->setText(item.artist.isEmpty() ? item.title
                                                   : item.title + QStringLiteral(" / ") + item.artist);
    mediaFileLabel_->setText(item.media);
}

void MainWindow::sortSongsByColumn(int column)
{
    songSortColumn = column;
    std::vector<int> slotNumbers;
    for (int row = 0; row < SongListModel::kItemCount; ++row) {
        slotNumbers.push_back(songModel_->item(row).caption.toInt());
    }
    std::vector<std::string> texts;
    for (int row = 0; row < SongListModel::kItemCount; ++row) {
        QString text = songModel_->text(row, column);
        texts.push_back(toCp932(text).value_or(std::string()));
    }
    std::vector<int> order = browse::sortOrder(slotNumbers, column, [&](int item) {
        return std::string_view(texts[static_cast<std::size_t>(item)]);
    });
    const int selected = selectedSongRow();
    std::array<int, SongListModel::kItemCount> reordered{};
    std::copy(order.begin(), order.end(), reordered.begin());
    songView_->selectionModel()->clear();
    songModel_->reorder(reordered);
    if (selected >= 0) {
        int now = static_cast<int>(std::find(order.begin(), order.end(), selected) - order.begin());
        QModelIndex index = songModel_->index(now, 0);
        songView_->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        songView_->scrollTo(index);
    }
}

void MainWindow::fillArtistPicks()
{
    std::vector<std::string_view> artists;
    artists.reserve(catalogue_.entries().size());
    for (const catalogue::ListEntry& e : catalogue_.entries()) {
        if (e.album >= 1 && e.album <= catalogue_.albumCount()) {
            artists.push_back(catalogue_.albums().cell(ArtistColumn, e.album));
        }
    }
    std::vector<std::string> entries = browse::distinctIgnoringCase(artists);
    infoPage_->setArtistPicks(entries, entries.size() >= 2);
}

void MainWindow::fillTitlePicks()
{
    const std::optional<std::string> artist = toCp932(infoPage_->artist());
    std::vector<std::string_view> titles;
    for (const catalogue::ListEntry& e : catalogue_.entries()) {
        if (e.album >= 1 && e.album <= catalogue_.albumCount() && artist &&
            catalogue_.albums().cell(ArtistColumn, e.album) == *artist) {
            titles.push_back(catalogue_.albums().cell(AlbumColumn, e.album));
        }
    }
    std::vector<std::string> entries = browse::distinctIgnoringCase(titles);
    infoPage_->setTitlePicks(entries, !entries.empty());
}

}  // namespace velmora::ui
