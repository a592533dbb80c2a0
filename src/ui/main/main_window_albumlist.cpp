// The album list of the main window: show all, renumber, selection.
#include <QAction>
#include <QItemSelectionModel>
#include <QToolButton>
#include <algorithm>

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
    return catalogue_.allAlbumsShown();
}

std::vector<int> MainWindow::listedAlbums() const
{
    return catalogue_.listedAlbums();
}

bool MainWindow::listOutOfOrder() const
{
    return catalogue_.listOutOfOrder();
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
    setStatus(1, QStringLiteral("全表示作業中..."));
    statusProgressMax = catalogue_.albumCount();
    setStatus(0, QStringLiteral("0"));
    repaintStatus();

    const int remembered = selectedAlbum();
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    catalogue_.showAll();
    muteSelection_ = false;
    setAllShown(true);
    setStatus(1, QString());
    setStatus(0, QStringLiteral("0"));

    if (remembered >= 1 && remembered <= catalogue_.albumCount()) {
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
    std::vector<int> selected = selectedListRows();
    const int position = selected.empty() ? -1 : selected.front();
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    const catalogue::Problem problem = catalogue_.renumberInListOrder();
    muteSelection_ = false;
    if (problem != catalogue::Problem::None) {
        prompter_.information(fromUtf8(catalogue::problemMessage(problem)));
        return;
    }
    setAllShown(true);
    if (position >= 0 && position < albumModel_->rowCount()) {
        selectAndShowListRow(position);
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

void MainWindow::showSelectedOnly()
{
    std::vector<int> selected = selectedListRows();
    if (albumModel_->rowCount() == 0 || selected.empty() ||
        static_cast<int>(selected.size()) == albumModel_->rowCount()) {
        return;
    }
    // Removing items does not change which albums are selected.
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    catalogue_.showOnlyRows(selected);
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
    const std::vector<int> selected = selectedListRows();
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    const std::vector<int> order = catalogue_.sortByColumn(column);
    muteSelection_ = false;
    std::vector<int> newRowOf(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRowOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    }
    std::vector<int> select;
    for (int row : selected) {
        select.push_back(newRowOf[static_cast<std::size_t>(row)]);
    }
    selectRowsQuietly(select);
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
    int firstNow = 0;
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    const catalogue::Problem problem = catalogue_.moveListRows(selected, target, &firstNow);
    muteSelection_ = false;
    if (problem != catalogue::Problem::None) {
        selectRowsQuietly(selected);
        prompter_.information(fromUtf8(catalogue::problemMessage(problem)));
        return;
    }
    // The moved items are new items: only the first selected one stays
    // selected, and the refresh takes the search marks away.
    catalogue_.clearSearchMarks();
    selectAndShowListRow(firstNow);
}

void MainWindow::setAllShown(bool shown)
{
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
    const int tableColumn = catalogue::tableColumnOfListColumn(column);
    for (int row = 0; row < albumModel_->rowCount(); ++row) {
        int album = albumModel_->entry(row).album;
        if (album >= 1 && album <= catalogue_.albumCount() &&
            catalogue_.albums().cell(tableColumn, album) == *wanted) {
            selectListRow(row, false);
            std::vector<int> rows = selectedListRows();
            albumView_->scrollTo(albumModel_->index(rows.front(), 0));
            return;
        }
    }
}

}  // namespace velmora::ui
