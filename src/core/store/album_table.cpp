#include "store/album_table.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "text/cp932.h"

namespace velmora::store {

namespace {

constexpr std::string_view kSeparator = "<>";

// A row of 305 empty cells: 304 separators.
const std::string& emptyLine()
{
    static const std::string line = [] {
        std::string s;
        s.reserve(2 * (kColumnCount - 1));
        for (int i = 1; i < kColumnCount; ++i) {
            s += kSeparator;
        }
        return s;
    }();
    return line;
}

}  // namespace

namespace {

// Whether the "<>" at `at` starts a character: the run of lead-range bytes
// before it, back to a known boundary, must pair up evenly. ("<" is never a
// lead byte, so it ends a character wherever it stands.)
inline bool onBoundary(const char* s, std::size_t boundary, std::size_t at)
{
    std::size_t run = at;
    while (run > boundary && text::isLeadByte(static_cast<unsigned char>(s[run - 1]))) {
        --run;
    }
    return (at - run) % 2 == 0;
}

// The positions of the first `max` separators of a line: each "<>" that
// starts a character. This runs over every byte of a catalogue at load, so
// candidates are found sixteen bytes at a time in one pass over the line.
inline std::size_t findSeparators(const char* s, std::size_t size, std::size_t pos, std::size_t* out,
                                  std::size_t max)
{
    std::size_t count = 0;
    std::size_t boundary = pos;
    auto take = [&](std::size_t at) {
        if (at < boundary) {
            return false;  // inside the separator found just before
        }
        if (!onBoundary(s, boundary, at)) {
            boundary = at + 1;
            return false;
        }
        out[count++] = at;
        boundary = at + 2;
        return count == max;
    };
    std::size_t i = pos;
#ifdef __SSE2__
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i gt = _mm_set1_epi8('>');
    for (; i + 17 <= size; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 1));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, lt), _mm_cmpeq_epi8(next, gt))));
        for (; mask != 0; mask &= mask - 1) {
            if (take(i + static_cast<std::size_t>(__builtin_ctz(mask)))) {
                return count;
            }
        }
    }
#endif
    for (; i + 1 < size; ++i) {
        if (s[i] == '<' && s[i + 1] == '>' && take(i)) {
            return count;
        }
    }
    return count;
}

// The next separator at or after `pos` (a character boundary), or `size`.
inline std::size_t nextSeparator(const char* s, std::size_t size, std::size_t pos)
{
    std::size_t at = size;
    findSeparators(s, size, pos, &at, 1);
    return at;
}

}  // namespace

std::size_t fieldEnd(std::string_view line, std::size_t from)
{
    return nextSeparator(line.data(), line.size(), from);
}

namespace {

std::string_view cellOf(std::string_view line, int column)
{
    std::size_t start = 0;
    for (int c = 0; c < column; ++c) {
        start = fieldEnd(line, start) + kSeparator.size();
    }
    std::size_t end = column + 1 < kColumnCount ? fieldEnd(line, start) : line.size();
    return line.substr(start, end - start);
}

}  // namespace

CellProblem checkCell(int column, std::string_view value)
{
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        return CellProblem::LineBreak;
    }
    if (text::containsOnBoundary(value, kSeparator)) {
        return CellProblem::Separator;
    }
    // A half character before the separator would swallow its "<".
    if (column < kColumnCount - 1 && text::endsWithLoneLeadByte(value)) {
        return CellProblem::LoneLeadByte;
    }
    return CellProblem::None;
}

AlbumTable::AlbumTable()
{
    rows_.push_back(emptyRow());
}
AlbumTable::~AlbumTable() = default;
AlbumTable::AlbumTable(AlbumTable&&) noexcept = default;
AlbumTable& AlbumTable::operator=(AlbumTable&&) noexcept = default;

AlbumTable::Row AlbumTable::emptyRow()
{
    return Row{emptyLine(), nullptr};
}

AlbumTable::Row AlbumTable::makeOwnedRow(std::string_view line)
{
    if (line == emptyLine()) {
        return emptyRow();
    }
    Row row;
    row.owned = std::make_unique<char[]>(line.size() + 1);
    std::memcpy(row.owned.get(), line.data(), line.size());
    row.line = std::string_view(row.owned.get(), line.size());
    return row;
}

void AlbumTable::checkRow(int row) const
{
    if (row < 0 || row >= rowCount()) {
        throw std::out_of_range("album table row " + std::to_string(row));
    }
}

void AlbumTable::setRowCount(int count)
{
    count = std::max(count, 1);
    if (count < rowCount()) {
        rows_.resize(static_cast<std::size_t>(count));
        return;
    }
    rows_.reserve(static_cast<std::size_t>(count));
    while (rowCount() < count) {
        rows_.push_back(emptyRow());
    }
}

std::string_view AlbumTable::cell(int column, int row) const
{
    checkRow(row);
    if (column < 0 || column >= kColumnCount) {
        throw std::out_of_range("album table column " + std::to_string(column));
    }
    return cellOf(rows_[static_cast<std::size_t>(row)].line, column);
}

AlbumTable::RowCells AlbumTable::rowCells(int row) const
{
    checkRow(row);
    std::string_view line = rows_[static_cast<std::size_t>(row)].line;
    RowCells cells;
    std::size_t start = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        std::size_t end = c + 1 < kColumnCount ? fieldEnd(line, start) : line.size();
        cells[static_cast<std::size_t>(c)] = line.substr(start, end - start);
        start = end + kSeparator.size();
    }
    return cells;
}

void AlbumTable::setCell(int column, int row, std::string_view value)
{
    if (CellProblem problem = checkCell(column, value); problem != CellProblem::None) {
        throw std::invalid_argument("text cannot be stored in an album cell");
    }
    RowCells cells = rowCells(row);  // also checks the row
    std::string_view old = cells.at(static_cast<std::size_t>(column));
    if (old == value) {
        return;
    }
    std::string_view line = rows_[static_cast<std::size_t>(row)].line;
    std::size_t begin = static_cast<std::size_t>(old.data() - line.data());
    std::string updated;
    updated.reserve(line.size() - old.size() + value.size());
    updated.append(line.substr(0, begin));
    updated.append(value);
    updated.append(line.substr(begin + old.size()));
    rows_[static_cast<std::size_t>(row)] = makeOwnedRow(updated);
}

AlbumRecord AlbumTable::record(int row) const
{
    RowCells cells = rowCells(row);
    AlbumRecord record;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        record.cells[c] = std::string(cells[c]);
    }
    return record;
}

void AlbumTable::setRecord(int row, const AlbumRecord& record)
{
    checkRow(row);
    std::size_t size = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        if (checkCell(c, record[c]) != CellProblem::None) {
            throw std::invalid_argument("text cannot be stored in an album cell");
        }
        size += record[c].size() + kSeparator.size();
    }
    std::string line;
    line.reserve(size);
    for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0) {
            line += kSeparator;
        }
        line += record[c];
    }
    rows_[static_cast<std::size_t>(row)] = makeOwnedRow(line);
}

void AlbumTable::insertRow(int row)
{
    if (row < 1 || row > rowCount()) {
        throw std::out_of_range("album table insert at " + std::to_string(row));
    }
    rows_.insert(rows_.begin() + row, emptyRow());
}

void AlbumTable::removeRow(int row)
{
    removeRows({row});
}

void AlbumTable::removeRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int r : rows) {
        checkRow(r);
    }
    std::size_t out = 0;
    std::size_t next = 0;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (next < rows.size() && static_cast<std::size_t>(rows[next]) == r) {
            ++next;
            continue;
        }
        if (out != r) {
            rows_[out] = std::move(rows_[r]);
        }
        ++out;
    }
    rows_.resize(std::max<std::size_t>(out, 1));
    if (out == 0) {
        rows_[0] = emptyRow();
    }
}

void AlbumTable::reorderAlbums(const std::vector<int>& order)
{
    for (int r : order) {
        if (r < 1 || r >= rowCount()) {
            throw std::out_of_range("album table reorder row " + std::to_string(r));
        }
    }
    // Where each old row went, for albums listed more than once.
    std::vector<std::size_t> placedAt(rows_.size(), 0);
    std::vector<Row> reordered;
    reordered.reserve(order.size() + 1);
    reordered.push_back(std::move(rows_[0]));
    for (int r : order) {
        std::size_t old = static_cast<std::size_t>(r);
        if (placedAt[old] == 0) {
            placedAt[old] = reordered.size();
            reordered.push_back(std::move(rows_[old]));
        } else {
            const Row& first = reordered[placedAt[old]];
            reordered.push_back(first.owned ? makeOwnedRow(first.line) : Row{first.line, nullptr});
        }
    }
    rows_ = std::move(reordered);
}

void AlbumTable::assignLines(std::shared_ptr<const void> buffer, const std::vector<std::string_view>& lines,
                             const std::function<void(int)>& progress, bool fillReadings)
{
    constexpr int kPasses = kColumnCount + 1;
    std::vector<Row> rows;
    rows.reserve(std::max<std::size_t>(lines.size(), 1));
    int reported = 0;
    for (std::string_view line : lines) {
        if (progress) {
            int due = static_cast<int>(rows.size() * kPasses / lines.size());
            for (; reported < due; ++reported) {
                progress(reported);
            }
        }
        // Find the separators: a line with exactly 305 fields is kept as it
        // is; a longer one loses the fields after the 305th; a shorter one is
        // padded with empty fields.
        const std::size_t size = line.size();
        std::array<std::size_t, kColumnCount> separators;
        const std::size_t found = findSeparators(line.data(), size, 0, separators.data(), separators.size());
        int fields = static_cast<int>(std::min<std::size_t>(found + 1, kColumnCount));
        const std::size_t end = found == separators.size() ? separators.back() : size;
        const std::size_t artistEnd = found > 0 ? separators[0] : size;
        std::size_t readingStart = size;
        std::size_t readingEnd = size;
        if (found >= FuriganaColumn) {
            readingStart = separators[FuriganaColumn - 1] + kSeparator.size();
            readingEnd = found > FuriganaColumn ? separators[FuriganaColumn] : size;
        }
        const bool wellFormed = fields == kColumnCount;
        const bool needsReading =
            fillReadings && !rows.empty() && artistEnd > 0 && readingStart == readingEnd;
        if (wellFormed && !needsReading) {
            rows.push_back(Row{line.substr(0, end), nullptr});
            continue;
        }
        std::string owned;
        if (wellFormed) {
            // An empty reading gets the artist's text.
            owned.reserve(end + artistEnd);
            owned.append(line.substr(0, readingStart))
                .append(line.substr(0, artistEnd))
                .append(line.substr(readingStart, end - readingStart));
        } else {
            owned.assign(line);
            if (text::endsWithLoneLeadByte(owned)) {
                // Half a character at the end of a short line would swallow the
                // "<" of the separator that follows; it cannot be stored there.
                owned.pop_back();
            }
            for (; fields < kColumnCount; ++fields) {
                owned += kSeparator;
            }
            std::string_view reading = cellOf(owned, FuriganaColumn);
            std::string_view artist = cellOf(owned, ArtistColumn);
            if (fillReadings && !rows.empty() && reading.empty() && !artist.empty()) {
                owned.insert(static_cast<std::size_t>(reading.data() - owned.data()), std::string(artist));
            }
        }
        rows.push_back(makeOwnedRow(owned));
    }
    for (; progress && reported < kPasses; ++reported) {
        progress(reported);
    }
    if (rows.empty()) {
        rows.push_back(emptyRow());
    }
    rows_ = std::move(rows);
    buffer_ = std::move(buffer);
}

void AlbumTable::clear()
{
    rows_.clear();
    rows_.push_back(emptyRow());
    buffer_.reset();
}

}  // namespace velmora::store
