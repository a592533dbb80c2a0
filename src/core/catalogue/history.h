// The undo history of a catalogue: every command that changes the albums
// (or the order of the list by drag and drop) is one step. A step keeps
// only what it changed: the data-file lines of the albums it changed,
// added or removed (the other side of the change lives in the table), the
// order of a renumbering, the list rows of added and removed albums, and a
// few flags of the list state. Undoing a step swaps what it keeps with what
// the table holds, so the same step redoes it afterwards.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/catalogue/catalogue.h"

namespace velmora::catalogue {

// Albums whose cells changed: `lines` are the lines the table does not
// hold now (before the step while it is done, after it while undone).
struct CellsChange {
    std::vector<int> albums;  // ascending
    std::vector<std::string> lines;
};

// Single cells of albums (convert, replace, readings): `texts` are the
// texts the table does not hold now. `albums` is ascending (an album may
// repeat, one entry per cell).
struct CellEditsChange {
    std::vector<int> albums;
    std::vector<int> columns;
    std::vector<std::string> texts;
};

// Albums added (present) or removed (not present). `albums` are their
// numbers while present, ascending. While they are absent, `lines` hold
// their lines and `listRows`/`listEntries` the list rows their entries had
// (ascending, in the list they were in).
struct RowsChange {
    std::vector<int> albums;
    bool present = true;
    std::vector<std::string> lines;
    std::vector<int> listRows;
    std::vector<ListEntry> listEntries;
};

// A renumbering: applying it rewrites rows 1.. with the rows listed in
// `order` and shows `entries` (the list of the other side).
struct RenumberChange {
    std::vector<int> order;
    std::vector<ListEntry> entries;
};

// Drag and drop: new list row i shows old row order[i].
struct ListOrderChange {
    std::vector<int> order;
};

using StepChange = std::variant<CellsChange, CellEditsChange, RowsChange, RenumberChange, ListOrderChange>;

// What the list showed around a step, besides its entries.
struct ListFlags {
    bool allShown = true;
    bool searchResultShown = false;
    int sortColumn = 0;
    // Rows of the entries with a search song: (row, song). Kept only for
    // a search result.
    std::vector<std::pair<int, int>> marks;
};

struct HistoryStep {
    std::string name;  // UTF-8, with its count ("置換 (1,234か所)")
    std::vector<StepChange> changes;
    ListFlags before;
    ListFlags after;
    std::vector<int> selectionBefore;  // the caller's selection when it began
    bool changesAlbums = false;

    // What the step holds in memory, its fixed parts included.
    std::size_t storedBytes() const;
    // storedBytes() as the history counted it when the step went in.
    std::size_t countedBytes = 0;
};

class History {
public:
    // The default bounds: the newest 1,000 steps, and 256 MB of stored
    // rows (oldest steps dropped first). A single step larger than the
    // byte bound is not kept.
    static constexpr std::size_t kDefaultMaxSteps = 1000;
    static constexpr std::size_t kDefaultMaxBytes = std::size_t{256} << 20;

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    const HistoryStep* nextUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
    const HistoryStep* nextRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }
    std::size_t undoCount() const { return undo_.size(); }
    std::size_t redoCount() const { return redo_.size(); }
    std::size_t storedBytes() const { return bytes_; }

    // A new step: the steps that could be redone go.
    void push(HistoryStep step);
    // Moves the next step to undo out (to be applied, then given to
    // pushUndone()), and back.
    HistoryStep takeUndo();
    void pushUndone(HistoryStep step);
    HistoryStep takeRedo();
    void pushRedone(HistoryStep step);

    void clear();
    void setLimits(std::size_t maxSteps, std::size_t maxBytes);

private:
    void add(std::deque<HistoryStep>& stack, HistoryStep step);
    HistoryStep take(std::deque<HistoryStep>& stack);
    void trim();

    std::deque<HistoryStep> undo_;
    std::deque<HistoryStep> redo_;
    std::size_t bytes_ = 0;
    std::size_t maxSteps_ = kDefaultMaxSteps;
    std::size_t maxBytes_ = kDefaultMaxBytes;
};

// "1,234": a count with thousands separators, for step names.
std::string groupedCount(long long count);

}  // namespace velmora::catalogue
