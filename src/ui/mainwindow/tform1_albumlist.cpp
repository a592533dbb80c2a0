// The album list of the main window: show all, renumber, selection.
#include <QItemSelectionModel>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

#include "mainwindow/album_list_model.h"
#include "mainwindow/status_bar.h"
#include "mainwindow/tform1.h"
#include "platform/prompter.h"

namespace velmora::ui {

bool TForm1::allAlbumsShown() const
{
    return !AllVisibleButton->isEnabled();
}

std::vector<int> TForm1::listedAlbums() const
{
    std::vector<int> albums;
    albums.reserve(albumModel_->entries().size());
    for (const AlbumListModel::Entry& e : albumModel_->entries()) {
        albums.push_back(e.album);
    }
    return albums;
}

bool TForm1::listOutOfOrder() const
{
    int previous = 0;
    for (const AlbumListModel::Entry& e : albumModel_->entries()) {
        if (e.album < previous) {
            return true;
        }
        previous = e.album;
    }
    return false;
}

std::vector<int> TForm1::selectedListRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : AlbumListView->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TForm1::selectedAlbum() const
{
    std::vector<int> rows = selectedListRows();
    return rows.empty() ? 0 : albumModel_->entry(rows.front()).album;
}

void TForm1::selectListRow(int row, bool exclusive)
{
    QItemSelectionModel* selection = AlbumListView->selectionModel();
    QModelIndex index = albumModel_->index(row, 0);
    auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    if (exclusive) {
        flags |= QItemSelectionModel::Clear;
    }
    selection->select(index, flags);
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void TForm1::AllVisibleButtonClick()
{
    const int albums = DataGrid.albumCount();
    setStatus(1, QStringLiteral("全表示作業中..."));
    StatusProgressMax = albums;
    setStatus(0, QStringLiteral("0"));
    repaintStatus();

    const int remembered = selectedAlbum();
    std::vector<AlbumListModel::Entry> entries;
    entries.reserve(static_cast<std::size_t>(albums));
    // The count panel follows the rows; repainting it for every row would
    // cost more than the rebuild itself.
    constexpr int kRepaintEvery = 8192;
    for (int r = 1; r <= albums; ++r) {
        entries.push_back({r, albumImage(DataGrid, r), 0});
        if (r % kRepaintEvery == 0) {
            setStatus(0, QString::number(r));
            repaintStatus();
        }
    }
    AlbumListView->selectionModel()->clear();
    albumModel_->setEntries(std::move(entries));

    AllVisibleButton->setEnabled(false);
    NoEditButton->setEnabled(true);
    setStatus(1, QString());
    setStatus(0, QStringLiteral("0"));

    if (remembered >= 1 && remembered <= albums) {
        // Rows are in number order: the album's item is at number - 1.
        selectListRow(remembered - 1, true);
        if (isVisible()) {
            AlbumListView->scrollTo(albumModel_->index(remembered - 1, 0));
        }
    }
}

void TForm1::NoEditButtonClick()
{
    setStatus(1, QStringLiteral("並び替え中..."));
    StatusProgressMax = 5;
    setStatus(0, QStringLiteral("0"));
    repaintStatus();
    if (!allAlbumsShown()) {
        prompter_.information(QStringLiteral("すべてのアルバムが表示されていません"));
        return;
    }
    DataGrid.reorderAlbums(listedAlbums());
    std::vector<int> selected = selectedListRows();
    const int position = selected.empty() ? -1 : selected.front();
    AlbumListView->selectionModel()->clear();
    AllVisibleButtonClick();
    if (position >= 0 && position < albumModel_->rowCount()) {
        selectListRow(position, true);
        AlbumListView->scrollTo(albumModel_->index(position, 0));
    }
}

}  // namespace velmora::ui
