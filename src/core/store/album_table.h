// The catalogue in memory: one row per album, 305 text columns.
//
// A row is kept as the bytes of its data-file line (cells joined by "<>").
// Rows loaded from a file point into the loaded buffer until they are
// edited, so a 100,000-album catalogue costs little more than its file and
// an unchanged row is written back as the very bytes it was read from.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/album_record.h"
#include "core/store/columns.h"

namespace velmora::store {

// Why a text cannot be stored in a cell (the data file has no escaping).
enum class CellProblem {
    None,
    Separator,     // holds "<>" on a character boundary
    LineBreak,     // holds CR or LF
    LoneLeadByte,  // ends with half a double-byte character (only column 304 may)
};

CellProblem checkCell(int column, std::string_view value);

class AlbumTable {
public:
    AlbumTable();
    ~AlbumTable();
    AlbumTable(AlbumTable&&) noexcept;
    AlbumTable& operator=(AlbumTable&&) noexcept;
    AlbumTable(const AlbumTable&) = delete;
    AlbumTable& operator=(const AlbumTable&) = delete;

    int rowCount() const { return static_cast<int>(rows_.size()); }
    int albumCount() const { return rowCount() - 1; }
    // Below 1 leaves 1; growing appends empty rows, shrinking drops the last.
    void setRowCount(int count);

    // Empty for a cell that was never written. Scans the row from its start:
    // use rowCells() to read many cells of one row.
    std::string_view cell(int column, int row) const;
    // Throws std::invalid_argument for a value checkCell() refuses and
    // std::out_of_range outside the table.
    void setCell(int column, int row, std::string_view value);

    // The cells of the last columns of a row: column first + k to out[k],
    // up to the last column (out holds kColumnCount - first views). They
    // are found from the end of the line, far cheaper than from its start
    // for the reading and media columns, which follow the song titles.
    void trailingCells(int row, int first, std::span<std::string_view> out) const;

    // Asks the processor to fetch the end of a row's line ahead of a pass
    // that reads the last cells of row after row (see trailingCells()):
    // a large catalogue is far bigger than the processor's caches. Rows out
    // of range are ignored.
    void prefetchRowEnd(int row) const
    {
        if (row >= 0 && row < rowCount()) {
            const std::string_view line = rows_[static_cast<std::size_t>(row)].line;
            __builtin_prefetch(line.data() + line.size() - std::min<std::size_t>(line.size(), 64));
            __builtin_prefetch(line.data() + line.size() - std::min<std::size_t>(line.size(), 256));
        }
    }

    using RowCells = std::array<std::string_view, kColumnCount>;
    // All cells of a row in one pass; the views live until the row changes.
    RowCells rowCells(int row) const;

    AlbumRecord record(int row) const;
    void setRecord(int row, const AlbumRecord& record);

    // Inserts an empty row at `row` (1..rowCount()); later albums move up.
    void insertRow(int row);
    void removeRow(int row);
    // Removes the given rows (any order, duplicates ignored) in one pass.
    void removeRows(std::vector<int> rows);
    // Rewrites rows 1.. with the rows listed in `order` (each a current row
    // number); rows not listed are dropped and the count follows the list.
    void reorderAlbums(const std::vector<int>& order);

    // The bytes of a row as one data-file line, without line end.
    std::string_view rowLine(int row) const { return rows_.at(static_cast<std::size_t>(row)).line; }

    // Replaces the whole table with the lines of a data file. Each line
    // (already split at CR/LF by the caller) becomes one row exactly as the
    // column-by-column split would: field i in column i, fields after the
    // 305th dropped, missing fields empty. `buffer` keeps the bytes that the
    // line views point into alive. At least one row is kept.
    // `progress`, when set, is called with 0..305 spread over the work, as
    // the split by columns reports one step per column pass. With
    // `fillReadings`, an album whose reading is empty gets its artist's text
    // there, as a loaded catalogue does.
    void assignLines(std::shared_ptr<const void> buffer, const std::vector<std::string_view>& lines,
                     const std::function<void(int)>& progress = {}, bool fillReadings = false);
    // The same for a whole data file's text: split into lines as
    // splitLines() splits it, each line turned into its row as soon as it
    // is found (one pass over the bytes instead of two).
    void assignText(std::shared_ptr<const void> buffer, std::string_view text,
                    const std::function<void(int)>& progress = {}, bool fillReadings = false);
    // Appends the lines as new rows after the existing ones, each split as
    // assignLines() splits it (no reading is filled in); the existing rows
    // are not looked at again. `buffer` keeps the new lines' bytes alive.
    void appendLines(std::shared_ptr<const void> buffer, const std::vector<std::string_view>& lines);

    void clear();

private:
    struct Row {
        std::string_view line;
        std::unique_ptr<char[]> owned;  // set when the row's bytes are its own
    };
    static Row makeOwnedRow(std::string_view line);
    // The row a data-file line gives; `fillReading`: an empty reading gets
    // the artist's text.
    static Row rowFromLine(std::string_view line, bool fillReading);
    // The rows of the lines of text[from, to) (`from` a line start).
    static std::vector<Row> rowsOfText(std::string_view text, std::size_t from, std::size_t to,
                                       bool fillReadings, const std::function<void(int)>& progress);
    static Row emptyRow();
    void checkRow(int row) const;

    std::vector<Row> rows_;
    std::shared_ptr<const void> buffer_;
};

// Where a field ends: the first "<>" on a character boundary at or after
// `from`, or the end of the line.
std::size_t fieldEnd(std::string_view line, std::size_t from);

// How many separators lie wholly within [from, to) of a line (`from` a
// character boundary), and where the last of them starts (`last`, when
// there is one). Counting costs far less than finding every field.
std::size_t countSeparators(std::string_view line, std::size_t from, std::size_t to, std::size_t* last);

}  // namespace velmora::store
