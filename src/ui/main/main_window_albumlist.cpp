// The album list of the main window: show all, renumber, selection.
#include <QAction>
#include <QItemSelectionModel>
#include <QToolButton>
#include <algorithm>

#include "core/browse/album_order.h"
#include "core/store/columns.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_views.h"

#include "ui/main/album_list_model.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/widgets/status_bar.h"

namespace velmora::ui {

bool MainWindow::allAlbumsShown() const
{
    return allShown_;
}

std::vector<int> MainWindow::listedAlbums() const
{
    std::vector<int> albums;
    albums.reserve(albumModel_->entries().size());
    for (const AlbumListModel::Entry& e : albumModel_->entries()) {
        albums.push_back(e.album);
    }
    return albums;
}

bool MainWindow::listOutOfOrder() const
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

std::vector<int> MainWindow::selectedListRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : albumView_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int MainWindow::selectedAlbum() const
{
    std::vector<int> rows = selectedListRows();
    return rows.empty() ? 0 : albumModel_->entry(rows.front()).album;
}

void MainWindow::selectListRow(int row, bool exclusive)
{
    QItemSelectionModel* selection = albumView_->selectionModel();
    QModelIndex index = albumModel_->index(row, 0);
    auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    if (exclusive) {
        flags |= QItemSelectionModel::Clear;
    }
    selection->select(index, flags);
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void MainWindow::showAllAlbums()
{
    const int albums = albumTable.albumCount();
    setStatus(1, QStringLiteral("全表示作業中..."));
    statusProgressMax = albums;
    setStatus(0, QStringLiteral("0"));
    repaintStatus();

    const int remembered = selectedAlbum();
    std::vector<AlbumListModel::Entry> entries;
    entries.reserve(static_cast<std::size_t>(albums));
    // The count panel follows the rows; repainting it for every row would
    // cost more than the rebuild itself.
    constexpr int kRepaintEvery = 8192;
    for (int r = 1; r <= albums; ++r) {
        entries.push_back({r, albumImage(albumTable, r), 0});
        if (r % kRepaintEvery == 0) {
            setStatus(0, QString::number(r));
            repaintStatus();
        }
    }
    albumView_->selectionModel()->clear();
    albumModel_->setEntries(std::move(entries));

    setAllShown(true);
    setStatus(1, QString());
    setStatus(0, QStringLiteral("0"));

    if (remembered >= 1 && remembered <= albums) {
        // Rows are in number order: the album's item is at number - 1.
        selectListRow(remembered - 1, true);
        if (isVisible()) {
            albumView_->scrollTo(albumModel_->index(remembered - 1, 0));
        }
    }
}

void MainWindow::renumberInListOrder()
{
    setStatus(1, QStringLiteral("並び替え中..."));
    statusProgressMax = 5;
    setStatus(0, QStringLiteral("0"));
    repaintStatus();
    if (!allAlbumsShown()) {
        prompter_.information(QStringLiteral("すべてのアルバムが表示されていません"));
        return;
    }
    albumTable.reorderAlbums(listedAlbums());
    std::vector<int> selected = selectedListRows();
    const int position = selected.empty() ? -1 : selected.front();
    albumView_->selectionModel()->clear();
    showAllAlbums();
    if (position >= 0 && position < albumModel_->rowCount()) {
        selectListRow(position, true);
        albumView_->scrollTo(albumModel_->index(position, 0));
    }
}

void MainWindow::onAlbumSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (muteSelection_) {
        return;
    }
    // Every item whose state changed is an event, deselections first; each
    // one fills the panel anew, so only the last one needs to run.
    int row = -1;
    bool isSelected = false;
    if (!selected.isEmpty()) {
        row = selected.last().bottom();
        isSelected = true;
    } else if (!deselected.isEmpty()) {
        row = deselected.last().bottom();
    }
    if (row >= 0 && row < albumModel_->rowCount()) {
        showAlbumOfRow(row, isSelected);
    } else if (row >= 0) {
        // The item is gone (the list was rebuilt): only the counts change.
        showAlbumOfRow(-1, false);
    }
}

void MainWindow::selectRowsQuietly(const std::vector<int>& rows)
{
    QItemSelection selection;
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] <= sorted[j] + 1) {
            ++j;
        }
        selection.select(albumModel_->index(sorted[i], 0),
                         albumModel_->index(sorted[j], AlbumListModel::kColumnCount - 1));
        i = j + 1;
    }
    muteSelection_ = true;
    albumView_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    muteSelection_ = false;
}

void MainWindow::reorderList(const std::vector<int>& order, const std::vector<int>& select)
{
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    muteSelection_ = false;
    albumModel_->reorder(order);
    selectRowsQuietly(select);
}

void MainWindow::showSelectedOnly()
{
    std::vector<int> selected = selectedListRows();
    if (albumModel_->rowCount() == 0 || selected.empty()) {
        return;
    }
    std::vector<bool> keep(static_cast<std::size_t>(albumModel_->rowCount()), false);
    for (int row : selected) {
        keep[static_cast<std::size_t>(row)] = true;
    }
    std::vector<int> remove;
    for (int row = albumModel_->rowCount() - 1; row >= 0; --row) {
        if (!keep[static_cast<std::size_t>(row)]) {
            remove.push_back(row);
        }
    }
    if (remove.empty()) {
        return;
    }
    std::vector<AlbumListModel::Entry> kept;
    for (int row : selected) {
        kept.push_back(albumModel_->entry(row));
    }
    // Removing items does not change which albums are selected.
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    albumModel_->setEntries(std::move(kept));
    muteSelection_ = false;
    std::vector<int> all(static_cast<std::size_t>(albumModel_->rowCount()));
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<int>(i);
    }
    selectRowsQuietly(all);
    setAllShown(false);
}

void MainWindow::sortAlbumsByColumn(int column)
{
    albumSortColumn = column;
    const std::vector<int> albums = listedAlbums();
    const int tableColumn = AlbumListModel::tableColumn(column);
    std::vector<int> order = browse::sortOrder(albums, column, [&](int item) -> std::string_view {
        if (column == 7) {
            return {};
        }
        int album = albums[static_cast<std::size_t>(item)];
        return album >= 1 && album <= albumTable.albumCount() ? albumTable.cell(tableColumn, album)
                                                              : std::string_view();
    });
    if (column == 7) {
        // The search song numbers are not table text.
        std::vector<std::string> numbers;
        for (const AlbumListModel::Entry& e : albumModel_->entries()) {
            numbers.push_back(e.searchSong > 0 ? std::to_string(e.searchSong) : std::string());
        }
        order = browse::sortOrder(albums, column, [&](int item) {
            return std::string_view(numbers[static_cast<std::size_t>(item)]);
        });
    }
    std::vector<int> newRowOf(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRowOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    }
    std::vector<int> select;
    for (int row : selectedListRows()) {
        select.push_back(newRowOf[static_cast<std::size_t>(row)]);
    }
    reorderList(order, select);
    if (!select.empty()) {
        albumView_->scrollTo(albumModel_->index(*std::min_element(select.begin(), select.end()), 0));
    }
}

void MainWindow::dropSelectedAlbums(int target)
{
    std::vector<int> selected = selectedListRows();
    if (selected.empty() || target < 0 || target >= albumModel_->rowCount()) {
        return;
    }
    if (!allAlbumsShown()) {
        prompter_.information(QStringLiteral("並べ替えをする時はすべてのアルバムを表示してください"));
        return;
    }
    std::vector<bool> flags(static_cast<std::size_t>(albumModel_->rowCount()), false);
    for (int row : selected) {
        flags[static_cast<std::size_t>(row)] = true;
    }
    std::vector<int> order = browse::dropOrder(flags, target);
    const int first = selected.front();
    const int firstNow = static_cast<int>(std::find(order.begin(), order.end(), first) - order.begin());
    // The moved items are new items: only the first selected one stays
    // selected, and the in-place refresh gives every item its texts and icon
    // again (its icon rule, not the full list's).
    reorderList(order, {});
    selectListRow(firstNow, true);
    refreshSelectedItem();
    albumView_->scrollTo(albumModel_->index(firstNow, 0));
}

void MainWindow::setAllShown(bool shown)
{
    allShown_ = shown;
    actions_->showAll->setEnabled(!shown);
    actions_->renumber->setEnabled(shown);
}

void MainWindow::selectAndShowListRow(int row)
{
    selectListRow(row, true);
    albumView_->scrollTo(albumModel_->index(row, 0));
}

void MainWindow::selectFirstWithText(int column, const QString& text)
{
    std::optional<std::string> wanted = toCp932(text);
    if (!wanted) {
        return;
    }
    const int tableColumn = AlbumListModel::tableColumn(column);
    for (int row = 0; row < albumModel_->rowCount(); ++row) {
        int album = albumModel_->entry(row).album;
        if (album >= 1 && album <= albumTable.albumCount() &&
            albumTable.cell(tableColumn, album) == *wanted) {
            selectListRow(row, false);
            std::vector<int> rows = selectedListRows();
            albumView_->scrollTo(albumModel_->index(rows.front(), 0));
            return;
        }
    }
}

}  // namespace velmora::ui
