// The undo history of the catalogue: how the commands record their steps
// and how a step is undone and redone.
#include <algorithm>
#include <exception>

#include "core/catalogue/catalogue.h"
#include "core/catalogue/history.h"
#include "core/store/columns.h"

namespace velmora::catalogue {

using store::AlbumRecord;
using store::AlbumTable;

namespace {

// The cells of a row line, split as the table splits it.
AlbumRecord recordOfLine(std::string_view line)
{
    AlbumRecord record;
    std::size_t from = 0;
    for (int column = 0; column < store::kColumnCount && from <= line.size(); ++column) {
        const std::size_t end = store::fieldEnd(line, from);
        record[column] = std::string(line.substr(from, end - from));
        from = end + 2;  // "<>"
    }
    return record;
}

std::vector<int> inverseOrder(const std::vector<int>& order, int base)
{
    std::vector<int> inverse(order.size(), 0);
    for (std::size_t i = 0; i < order.size(); ++i) {
        inverse[static_cast<std::size_t>(order[i] - base)] = static_cast<int>(i) + base;
    }
    return inverse;
}

// Runs of neighbouring rows (ascending): (first, count).
std::vector<std::pair<int, int>> runsOf(const std::vector<int>& rows)
{
    std::vector<std::pair<int, int>> runs;
    for (int row : rows) {
        if (!runs.empty() && runs.back().first + runs.back().second == row) {
            ++runs.back().second;
        } else {
            runs.emplace_back(row, 1);
        }
    }
    return runs;
}

}  // namespace

// Applies a step's changes to the catalogue; each change turns into its own
// inverse as it is applied.
class HistoryApplier {
public:
    explicit HistoryApplier(Catalogue& catalogue) : c_(catalogue) {}

    void operator()(CellsChange& change)
    {
        for (std::size_t i = 0; i < change.albums.size(); ++i) {
            const int album = change.albums[i];
            std::string current(c_.table_.rowLine(album));
            c_.table_.setRecord(album, recordOfLine(change.lines[i]));
            change.lines[i] = std::move(current);
        }
        c_.tell([&](CatalogueObserver& o) { o.albumsChanged(change.albums); });
    }

    void operator()(CellEditsChange& change)
    {
        for (std::size_t i = 0; i < change.albums.size(); ++i) {
            std::string current(c_.table_.cell(change.columns[i], change.albums[i]));
            c_.table_.setCell(change.columns[i], change.albums[i], change.texts[i]);
            change.texts[i] = std::move(current);
        }
        std::vector<int> albums = change.albums;
        albums.erase(std::unique(albums.begin(), albums.end()), albums.end());
        c_.tell([&](CatalogueObserver& o) { o.albumsChanged(albums); });
    }

    void operator()(RowsChange& change)
    {
        if (change.present) {
            remove(change);
        } else {
            insert(change);
        }
        change.present = !change.present;
    }

    void operator()(RenumberChange& change)
    {
        std::vector<ListEntry> shown = std::move(c_.entries_);
        c_.table_.reorderAlbums(change.order);
        change.order = inverseOrder(change.order, 1);
        c_.entries_ = std::move(change.entries);
        change.entries = std::move(shown);
        c_.tell([](CatalogueObserver& o) { o.albumsReset(); });
        c_.tell([](CatalogueObserver& o) { o.listReset(); });
    }

    void operator()(ListOrderChange& change)
    {
        // A list shown anew since the step has other rows: it stays.
        if (change.order.size() != c_.entries_.size()) {
            return;
        }
        std::vector<ListEntry> moved;
        moved.reserve(change.order.size());
        for (int old : change.order) {
            moved.push_back(c_.entries_[static_cast<std::size_t>(old)]);
        }
        c_.entries_ = std::move(moved);
        change.order = inverseOrder(change.order, 0);
        c_.tell([](CatalogueObserver& o) { o.listReset(); });
    }

private:
    void remove(RowsChange& change)
    {
        const std::vector<int>& albums = change.albums;
        change.lines.clear();
        change.lines.reserve(albums.size());
        for (int album : albums) {
            change.lines.emplace_back(c_.table_.rowLine(album));
        }
        change.listRows.clear();
        change.listEntries.clear();
        std::vector<ListEntry> kept;
        kept.reserve(c_.entries_.size());
        for (std::size_t row = 0; row < c_.entries_.size(); ++row) {
            ListEntry entry = c_.entries_[row];
            if (std::binary_search(albums.begin(), albums.end(), entry.album)) {
                change.listRows.push_back(static_cast<int>(row));
                change.listEntries.push_back(entry);
                continue;
            }
            entry.album -= static_cast<int>(std::lower_bound(albums.begin(), albums.end(), entry.album) -
                                            albums.begin());
            kept.push_back(entry);
        }
        c_.table_.removeRows(albums);
        c_.entries_ = std::move(kept);
        c_.tell([&](CatalogueObserver& o) { o.albumsRemoved(albums); });
        if (!change.listRows.empty()) {
            c_.tell([&](CatalogueObserver& o) { o.listRowsRemoved(change.listRows); });
        }
    }

    void insert(RowsChange& change)
    {
        const std::vector<int>& albums = change.albums;
        AlbumTable& table = c_.table_;
        const int before = table.albumCount();
        const int after = before + static_cast<int>(albums.size());
        // Where each album of before goes: the places the added ones leave.
        std::vector<int> moved(static_cast<std::size_t>(before) + 1, 0);
        if (albums.size() == 1) {
            table.insertRow(albums.front());
            for (int album = 1; album <= before; ++album) {
                moved[static_cast<std::size_t>(album)] = album < albums.front() ? album : album + 1;
            }
        } else {
            table.setRowCount(after + 1);
            std::vector<int> order;
            order.reserve(static_cast<std::size_t>(after));
            int nextOld = 1;
            int nextNew = before + 1;
            std::size_t added = 0;
            for (int number = 1; number <= after; ++number) {
                if (added < albums.size() && albums[added] == number) {
                    order.push_back(nextNew++);
                    ++added;
                } else {
                    moved[static_cast<std::size_t>(nextOld)] = number;
                    order.push_back(nextOld++);
                }
            }
            table.reorderAlbums(order);
        }
        for (std::size_t i = 0; i < albums.size(); ++i) {
            table.setRecord(albums[i], recordOfLine(change.lines[i]));
        }
        change.lines.clear();
        for (ListEntry& entry : c_.entries_) {
            if (entry.album >= 1 && entry.album <= before) {
                entry.album = moved[static_cast<std::size_t>(entry.album)];
            }
        }
        std::vector<int> rows;
        for (std::size_t i = 0; i < change.listRows.size(); ++i) {
            const int row = std::min(change.listRows[i], static_cast<int>(c_.entries_.size()));
            c_.entries_.insert(c_.entries_.begin() + row, change.listEntries[i]);
            rows.push_back(row);
        }
        change.listRows.clear();
        change.listEntries.clear();
        c_.tell([&](CatalogueObserver& o) { o.albumsInserted(albums); });
        for (const auto& [row, count] : runsOf(rows)) {
            c_.tell([&, row = row, count = count](CatalogueObserver& o) { o.listRowsInserted(row, count); });
        }
    }

    Catalogue& c_;
};

// ---- recording ---------------------------------------------------------------

Catalogue::StepScope::StepScope(Catalogue& catalogue, std::string name)
    : catalogue_(catalogue), exceptions_(std::uncaught_exceptions()), outer_(catalogue.stepDepth_ == 0)
{
    catalogue_.beginStep(std::move(name));
}

Catalogue::StepScope::~StepScope()
{
    catalogue_.endStep(std::uncaught_exceptions() == exceptions_);
}

void Catalogue::StepScope::setName(std::string name)
{
    if (outer_ && catalogue_.pendingStep_ && catalogue_.nextStepName_.empty()) {
        catalogue_.pendingStep_->name = std::move(name);
    }
}

namespace {

ListFlags listFlags(const std::vector<ListEntry>& entries, bool allShown, bool searchResultShown,
                    int sortColumn)
{
    ListFlags flags{allShown, searchResultShown, sortColumn, {}};
    if (searchResultShown) {
        for (std::size_t row = 0; row < entries.size(); ++row) {
            if (entries[row].searchSong != 0) {
                flags.marks.emplace_back(static_cast<int>(row), entries[row].searchSong);
            }
        }
    }
    return flags;
}

}  // namespace

void Catalogue::beginStep(std::string name)
{
    if (stepDepth_++ > 0) {
        return;
    }
    pendingStep_ = std::make_unique<HistoryStep>();
    pendingStep_->name = std::move(name);
    pendingStep_->before = listFlags(entries_, allShown_, searchResultShown_, sortColumn_);
    if (selectionSource_) {
        pendingStep_->selectionBefore = selectionSource_();
    }
}

void Catalogue::endStep(bool keep)
{
    if (--stepDepth_ > 0) {
        return;
    }
    std::unique_ptr<HistoryStep> step = std::move(pendingStep_);
    std::string name = std::move(nextStepName_);
    nextStepName_.clear();
    if (!keep || !step || step->changes.empty()) {
        return;
    }
    if (!name.empty()) {
        step->name = std::move(name);
    }
    step->after = listFlags(entries_, allShown_, searchResultShown_, sortColumn_);
    history_->push(std::move(*step));
    if (historyListener_) {
        historyListener_();
    }
}

void Catalogue::clearHistory()
{
    history_->clear();
    if (historyListener_) {
        historyListener_();
    }
}

void Catalogue::recordChanging(const std::vector<int>& albums)
{
    if (!pendingStep_ || albums.empty()) {
        return;
    }
    CellsChange change;
    change.albums = albums;
    change.lines.reserve(albums.size());
    for (int album : albums) {
        change.lines.emplace_back(table_.rowLine(album));
    }
    pendingStep_->changesAlbums = true;
    pendingStep_->changes.emplace_back(std::move(change));
}

void Catalogue::recordChangingCells(const std::vector<int>& albums, int column)
{
    if (!pendingStep_ || albums.empty()) {
        return;
    }
    CellEditsChange change;
    change.albums = albums;
    change.columns.assign(albums.size(), column);
    change.texts.reserve(albums.size());
    for (int album : albums) {
        change.texts.emplace_back(table_.cell(column, album));
    }
    pendingStep_->changesAlbums = true;
    pendingStep_->changes.emplace_back(std::move(change));
}

void Catalogue::recordInserted(const std::vector<int>& albums)
{
    if (!pendingStep_ || albums.empty()) {
        return;
    }
    RowsChange change;
    change.albums = albums;
    change.present = true;
    pendingStep_->changesAlbums = true;
    pendingStep_->changes.emplace_back(std::move(change));
}

void Catalogue::recordRemoving(const std::vector<int>& albums)
{
    if (!pendingStep_ || albums.empty()) {
        return;
    }
    // The command removes them next: the step keeps their lines and list
    // rows, ready to put them back.
    RowsChange change;
    change.albums = albums;
    change.present = false;
    change.lines.reserve(albums.size());
    for (int album : albums) {
        change.lines.emplace_back(table_.rowLine(album));
    }
    for (std::size_t row = 0; row < entries_.size(); ++row) {
        if (std::binary_search(albums.begin(), albums.end(), entries_[row].album)) {
            change.listRows.push_back(static_cast<int>(row));
            change.listEntries.push_back(entries_[row]);
        }
    }
    pendingStep_->changesAlbums = true;
    pendingStep_->changes.emplace_back(std::move(change));
}

void Catalogue::recordRenumbering(const std::vector<int>& order)
{
    if (!pendingStep_) {
        return;
    }
    RenumberChange change;
    change.order = inverseOrder(order, 1);
    change.entries = entries_;
    pendingStep_->changesAlbums = true;
    pendingStep_->changes.emplace_back(std::move(change));
}

void Catalogue::recordListOrder(const std::vector<int>& order)
{
    if (!pendingStep_) {
        return;
    }
    pendingStep_->changes.emplace_back(ListOrderChange{inverseOrder(order, 0)});
}

textops::BulkResult Catalogue::rewriteShown(int group, const textops::Progress& progress,
                                            const std::function<std::string(std::string_view)>& rewrite)
{
    // (album, column, text before) of every changed cell.
    struct Edit {
        int album;
        int column;
        std::string before;
    };
    std::vector<Edit> edits;
    textops::BulkResult result =
        textops::rewriteAlbums(table_, listedAlbumSet(), group, progress, rewrite,
                               [&edits](int album, int column, std::string_view before) {
                                   edits.push_back({album, column, std::string(before)});
                               });
    if (pendingStep_ && !edits.empty()) {
        // The albums were walked in text order: the step keeps them ascending.
        std::stable_sort(edits.begin(), edits.end(),
                         [](const Edit& x, const Edit& y) { return x.album < y.album; });
        CellEditsChange change;
        change.albums.reserve(edits.size());
        change.columns.reserve(edits.size());
        change.texts.reserve(edits.size());
        for (Edit& edit : edits) {
            change.albums.push_back(edit.album);
            change.columns.push_back(edit.column);
            change.texts.push_back(std::move(edit.before));
        }
        pendingStep_->changesAlbums = true;
        pendingStep_->changes.emplace_back(std::move(change));
    }
    return result;
}

// ---- readings ----------------------------------------------------------------

int Catalogue::setReadings(const std::vector<std::pair<int, std::string>>& readings)
{
    std::vector<std::pair<int, std::string>> wanted;
    for (const auto& [album, reading] : readings) {
        if (album < 1 || album > table_.albumCount() ||
            store::checkCell(store::FuriganaColumn, reading) != store::CellProblem::None ||
            table_.cell(store::FuriganaColumn, album) == reading) {
            continue;
        }
        wanted.emplace_back(album, reading);
    }
    std::sort(wanted.begin(), wanted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    wanted.erase(std::unique(wanted.begin(), wanted.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 wanted.end());
    if (wanted.empty()) {
        return 0;
    }
    std::vector<int> albums;
    for (const auto& entry : wanted) {
        albums.push_back(entry.first);
    }
    StepScope step(*this, "読みの自動設定 (" + groupedCount(static_cast<long long>(albums.size())) + "件)");
    recordChangingCells(albums, store::FuriganaColumn);
    for (const auto& [album, reading] : wanted) {
        table_.setCell(store::FuriganaColumn, album, reading);
    }
    albumsModified_ = true;
    tell([&](CatalogueObserver& o) { o.albumsChanged(albums); });
    return static_cast<int>(albums.size());
}

// ---- undo and redo -------------------------------------------------------------

bool Catalogue::canUndo() const
{
    return history_->canUndo();
}

bool Catalogue::canRedo() const
{
    return history_->canRedo();
}

std::string Catalogue::undoName() const
{
    const HistoryStep* step = history_->nextUndo();
    return step ? step->name : std::string();
}

std::string Catalogue::redoName() const
{
    const HistoryStep* step = history_->nextRedo();
    return step ? step->name : std::string();
}

namespace {

// The albums a redone step leaves selected: those it changed or added.
std::vector<int> touchedAlbums(const HistoryStep& step)
{
    std::vector<int> albums;
    for (const StepChange& change : step.changes) {
        if (const auto* cells = std::get_if<CellsChange>(&change)) {
            albums.insert(albums.end(), cells->albums.begin(), cells->albums.end());
        } else if (const auto* edits = std::get_if<CellEditsChange>(&change)) {
            albums.insert(albums.end(), edits->albums.begin(), edits->albums.end());
        } else if (const auto* rows = std::get_if<RowsChange>(&change); rows && rows->present) {
            albums.insert(albums.end(), rows->albums.begin(), rows->albums.end());
        }
    }
    std::sort(albums.begin(), albums.end());
    albums.erase(std::unique(albums.begin(), albums.end()), albums.end());
    return albums;
}

}  // namespace

void Catalogue::restoreListFlags(const ListFlags& flags)
{
    allShown_ = flags.allShown;
    sortColumn_ = flags.sortColumn;
    const bool hadMarks = searchResultShown_;
    searchResultShown_ = flags.searchResultShown;
    if (!flags.searchResultShown && !hadMarks) {
        return;
    }
    for (ListEntry& entry : entries_) {
        entry.searchSong = 0;
    }
    for (const auto& [row, song] : flags.marks) {
        if (row >= 0 && row < static_cast<int>(entries_.size())) {
            entries_[static_cast<std::size_t>(row)].searchSong = song;
        }
    }
    tell([](CatalogueObserver& o) { o.listMarksChanged(); });
}

UndoResult Catalogue::undo()
{
    UndoResult result;
    if (!history_->canUndo() || stepDepth_ > 0) {
        return result;
    }
    HistoryStep step = history_->takeUndo();
    HistoryApplier apply(*this);
    for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change) {
        std::visit(apply, *change);
    }
    restoreListFlags(step.before);
    if (step.changesAlbums) {
        albumsModified_ = true;
    }
    result.done = true;
    result.name = step.name;
    result.selection = step.selectionBefore;
    history_->pushUndone(std::move(step));
    if (historyListener_) {
        historyListener_();
    }
    return result;
}

UndoResult Catalogue::redo()
{
    UndoResult result;
    if (!history_->canRedo() || stepDepth_ > 0) {
        return result;
    }
    HistoryStep step = history_->takeRedo();
    HistoryApplier apply(*this);
    for (StepChange& change : step.changes) {
        std::visit(apply, change);
    }
    restoreListFlags(step.after);
    if (step.changesAlbums) {
        albumsModified_ = true;
    }
    result.done = true;
    result.name = step.name;
    result.selection = touchedAlbums(step);
    history_->pushRedone(std::move(step));
    if (historyListener_) {
        historyListener_();
    }
    return result;
}

void Catalogue::tell(const std::function<void(CatalogueObserver&)>& call)
{
    // A copy: an observer may remove itself while it is told.
    const std::vector<CatalogueObserver*> observers = observers_;
    for (CatalogueObserver* observer : observers) {
        call(*observer);
    }
}

void Catalogue::setSelectionSource(std::function<std::vector<int>()> source)
{
    selectionSource_ = std::move(source);
}

void Catalogue::nameNextStep(std::string name)
{
    nextStepName_ = std::move(name);
}

std::size_t Catalogue::historyBytes() const
{
    return history_->storedBytes();
}

void Catalogue::setHistoryListener(std::function<void()> listener)
{
    historyListener_ = std::move(listener);
}

void Catalogue::setHistoryLimits(std::size_t maxSteps, std::size_t maxBytes)
{
    history_->setLimits(maxSteps, maxBytes);
}

}  // namespace velmora::catalogue
