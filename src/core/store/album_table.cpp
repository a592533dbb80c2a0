#include "core/store/album_table.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <system_error>
#include <thread>

#include "core/store/separator_scan.h"
#include "core/text/cp932.h"

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

// The widest separator scan the processor can run.
SeparatorFinder widestFinder()
{
#ifdef VELMORA_AVX2_SEPARATORS
    if (__builtin_cpu_supports("avx2")) {
        return findSeparatorsAvx2;
    }
#endif
#ifdef __SSE2__
    return findSeparatorsIn<Sse2Blocks>;
#else
    return findSeparatorsIn<NoBlocks>;
#endif
}

// See findSeparatorsIn().
inline std::size_t findSeparators(const char* s, std::size_t size, std::size_t pos, std::size_t* out,
                                  std::size_t max, const std::size_t* wanted = nullptr,
                                  std::size_t* last = nullptr)
{
    static const SeparatorFinder finder = widestFinder();
    return finder(s, size, pos, out, max, wanted, last);
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

std::size_t countSeparators(std::string_view line, std::size_t from, std::size_t to, std::size_t* last)
{
    static constexpr std::size_t kNoneWanted[] = {kNoIndex};
    std::size_t unused = 0;
    return findSeparators(line.data(), std::min(to, line.size()), from, &unused, kNoIndex, kNoneWanted, last);
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

namespace {

// Where the "<>" that ends at or before `end` starts, searching back; npos
// when there is none. `paired` false: it might be no separator, its "<"
// following an odd run of bytes that may start a character (a lone first
// byte swallows the "<"). Any other byte ends a character, so the run
// before it tells.
std::size_t separatorBefore(std::string_view line, std::size_t end, bool& paired)
{
    // A "<" is never the second byte of a well-formed character, so the
    // last "<" before a ">" is the candidate; most cells are empty or hold
    // no "<" at all.
    std::size_t limit = end >= 1 ? end - 1 : 0;  // a "<" below limit has its ">" below end
    while (limit > 0) {
        std::size_t at = limit - 1;
        if (line[at] != '<') {
            const void* hit = ::memrchr(line.data(), '<', at);
            if (hit == nullptr) {
                return std::string_view::npos;
            }
            at = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
        }
        if (line[at + 1] == '>') {
            std::size_t run = at;
            while (run > 0 && text::isLeadByte(static_cast<unsigned char>(line[run - 1]))) {
                --run;
            }
            paired = (at - run) % 2 == 0;
            return at;
        }
        limit = at;
    }
    return std::string_view::npos;
}

// How many empty cells end the line, at most `most`: a run of "<>" after a
// byte that cannot be half a character.
std::size_t emptyCellsAtEnd(std::string_view line, std::size_t most)
{
    std::uint64_t fourEmpty = 0;
    std::memcpy(&fourEmpty, "<><><><>", 8);
    std::size_t pairs = 0;
    for (; pairs + 4 <= most && line.size() >= 2 * (pairs + 4); pairs += 4) {
        std::uint64_t word = 0;
        std::memcpy(&word, line.data() + line.size() - 2 * (pairs + 4), 8);
        if (word != fourEmpty) {
            break;
        }
    }
    while (pairs < most && line.size() >= 2 * (pairs + 1) && line[line.size() - 2 * pairs - 2] == '<' &&
           line[line.size() - 2 * pairs - 1] == '>') {
        ++pairs;
    }
    const std::size_t before = line.size() - 2 * pairs;
    if (pairs > 0 && before > 0 && text::isLeadByte(static_cast<unsigned char>(line[before - 1]))) {
        return 0;  // the first "<" may belong to the byte before it
    }
    return pairs;
}

}  // namespace

void AlbumTable::trailingCells(int row, int first, std::span<std::string_view> out) const
{
    checkRow(row);
    if (first < 0 || first >= kColumnCount || out.size() < static_cast<std::size_t>(kColumnCount - first)) {
        throw std::out_of_range("album table trailing cells from " + std::to_string(first));
    }
    const std::string_view line = rows_[static_cast<std::size_t>(row)].line;
    const auto count = static_cast<std::size_t>(kColumnCount - first);
    // Separators to find: one before each cell but the first column's.
    const std::size_t separators = first == 0 ? count - 1 : count;
    const std::size_t empty = emptyCellsAtEnd(line, separators);
    std::size_t end = line.size() - 2 * empty;
    for (std::size_t k = 0; k < empty; ++k) {
        out[count - 1 - k] = line.substr(line.size() - 2 * k, 0);
    }
    for (std::size_t k = count - empty; k-- > 0;) {
        if (k == 0 && first == 0) {
            out[0] = line.substr(0, end);
            return;
        }
        bool paired = true;
        const std::size_t at = separatorBefore(line, end, paired);
        if (at == std::string_view::npos || !paired) {
            // Not certain from the end: split the row from its start.
            const RowCells all = rowCells(row);
            std::copy(all.begin() + first, all.end(), out.begin());
            return;
        }
        out[k] = line.substr(at + 2, end - at - 2);
        end = at;
    }
}

AlbumTable::RowCells AlbumTable::rowCells(int row) const
{
    checkRow(row);
    std::string_view line = rows_[static_cast<std::size_t>(row)].line;
    // All separators in one scan of the line.
    std::array<std::size_t, kColumnCount - 1> separators;
    const std::size_t found =
        findSeparators(line.data(), line.size(), 0, separators.data(), separators.size());
    RowCells cells;
    std::size_t start = 0;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::size_t end = c < found ? separators[c] : line.size();
        cells[c] = line.substr(std::min(start, line.size()), end - std::min(start, end));
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

AlbumTable::Row AlbumTable::rowFromLine(std::string_view line, bool fillReading)
{
    // Find the separators: a line with exactly 305 fields is kept as it
    // is; a longer one loses the fields after the 305th; a shorter one is
    // padded with empty fields. Only the separators around the artist and
    // the reading and the one after the last column are looked at.
    const std::size_t size = line.size();
    static constexpr std::size_t kWanted[] = {0, FuriganaColumn - 1, FuriganaColumn, kColumnCount - 1,
                                              kNoIndex};
    std::array<std::size_t, 4> at{size, size, size, size};
    const std::size_t found = findSeparators(line.data(), size, 0, at.data(), kColumnCount, kWanted);
    int fields = static_cast<int>(std::min<std::size_t>(found + 1, kColumnCount));
    const std::size_t end = found == kColumnCount ? at[3] : size;
    const std::size_t artistEnd = found > 0 ? at[0] : size;
    std::size_t readingStart = size;
    std::size_t readingEnd = size;
    if (found >= FuriganaColumn) {
        readingStart = at[1] + kSeparator.size();
        readingEnd = found > FuriganaColumn ? at[2] : size;
    }
    const bool wellFormed = fields == kColumnCount;
    const bool needsReading = fillReading && artistEnd > 0 && readingStart == readingEnd;
    if (wellFormed && !needsReading) {
        return Row{line.substr(0, end), nullptr};
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
        if (fillReading && reading.empty() && !artist.empty()) {
            owned.insert(static_cast<std::size_t>(reading.data() - owned.data()), std::string(artist));
        }
    }
    return makeOwnedRow(owned);
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
        // Row 0 is reserved: its reading is never filled in.
        rows.push_back(rowFromLine(line, fillReadings && !rows.empty()));
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

std::vector<AlbumTable::Row> AlbumTable::rowsOfText(std::string_view text, std::size_t from, std::size_t to,
                                                    bool fillReadings,
                                                    const std::function<void(int)>& progress)
{
    constexpr int kPasses = kColumnCount + 1;
    std::vector<Row> rows;
    // Every well-formed line holds at least its 304 separators.
    rows.reserve((to - from) / (2 * (kColumnCount - 1)) + 1);
    int reported = 0;
    const char* data = text.data();
    const std::size_t size = text.size();
    // The next CR and LF (size when none), as splitLines() finds them; each
    // line is split into its row right after its end is found, while its
    // bytes are still in the cache.
    auto nextOf = [&](char c, std::size_t at) {
        const void* hit = at < size ? std::memchr(data + at, c, size - at) : nullptr;
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : size;
    };
    std::size_t nextCr = nextOf('\r', from);
    std::size_t nextLf = nextOf('\n', from);
    for (std::size_t start = from; start < to;) {
        if (progress) {
            const int due =
                static_cast<int>(static_cast<double>(start) * kPasses / static_cast<double>(size));
            for (; reported < due; ++reported) {
                progress(reported);
            }
        }
        if (nextCr < start) {
            nextCr = nextOf('\r', start);
        }
        if (nextLf < start) {
            nextLf = nextOf('\n', start);
        }
        std::size_t end = std::min(nextCr, nextLf);
        // Row 0 is reserved: its reading is never filled in.
        rows.push_back(rowFromLine(text.substr(start, end - start), fillReadings && (start > 0)));
        if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
    for (; progress && reported < kPasses; ++reported) {
        progress(reported);
    }
    return rows;
}

void AlbumTable::assignText(std::shared_ptr<const void> buffer, std::string_view text,
                            const std::function<void(int)>& progress, bool fillReadings)
{
    std::vector<Row> rows;
    // A large file without a progress display is split in two at a line
    // start and read on two cores.
    constexpr std::size_t kSplitSize = 16 << 20;
    std::size_t half = text.size();
    if (!progress && text.size() >= kSplitSize && std::thread::hardware_concurrency() > 1) {
        const std::size_t lineEnd = text.find_first_of("\r\n", text.size() / 2);
        half = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        // A CR LF pair is one line end.
        if (half < text.size() && text[half - 1] == '\r' && text[half] == '\n') {
            ++half;
        }
    }
    std::future<std::vector<Row>> second;
    if (half < text.size()) {
        try {
            second = std::async(std::launch::async,
                                [&] { return rowsOfText(text, half, text.size(), fillReadings, {}); });
        } catch (const std::system_error&) {
            half = text.size();  // no thread to be had: one core does it all
        }
    }
    if (half < text.size()) {
        rows = rowsOfText(text, 0, half, fillReadings, {});
        std::vector<Row> rest = second.get();
        rows.reserve(rows.size() + rest.size());
        std::move(rest.begin(), rest.end(), std::back_inserter(rows));
    } else {
        rows = rowsOfText(text, 0, text.size(), fillReadings, progress);
    }
    if (rows.empty()) {
        rows.push_back(emptyRow());
    }
    rows_ = std::move(rows);
    buffer_ = std::move(buffer);
}

void AlbumTable::appendLines(std::shared_ptr<const void> buffer, const std::vector<std::string_view>& lines)
{
    std::vector<Row> added;
    added.reserve(lines.size());
    for (std::string_view line : lines) {
        added.push_back(rowFromLine(line, false));
    }
    rows_.reserve(rows_.size() + added.size());
    std::move(added.begin(), added.end(), std::back_inserter(rows_));
    if (buffer) {
        // Both the rows read before and the new ones stay where they are.
        using Buffers = std::array<std::shared_ptr<const void>, 2>;
        buffer_ = std::make_shared<const Buffers>(Buffers{std::move(buffer_), std::move(buffer)});
    }
}

void AlbumTable::clear()
{
    rows_.clear();
    rows_.push_back(emptyRow());
    buffer_.reset();
}

}  // namespace velmora::store
