#include "core/exchange/exchange.h"

#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>
#include <system_error>

#include "core/store/album_table.h"
#include "core/store/atomic_file.h"
#include "core/store/columns.h"
#include "core/text/cp932.h"

namespace velmora::exchange {

using store::AlbumTable;
using store::kColumnCount;

namespace {

constexpr std::string_view kSeparator = "<>";
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

// ---- Export ------------------------------------------------------------

std::vector<int> exportAlbumSet(const std::vector<int>& listed, int rowCount)
{
    std::vector<int> albums;
    albums.reserve(listed.size());
    std::copy_if(listed.begin(), listed.end(), std::back_inserter(albums),
                 [rowCount](int album) { return album >= 1 && album < rowCount; });
    std::sort(albums.begin(), albums.end());
    albums.erase(std::unique(albums.begin(), albums.end()), albums.end());
    return albums;
}

std::string_view dataExportLine(const AlbumTable& table, int row)
{
    return table.rowLine(row);
}

std::string csvLine(const AlbumTable& table, int row, std::string_view enclose, std::string_view delimiter)
{
    const AlbumTable::RowCells cells = table.rowCells(row);
    std::string line;
    line.reserve(table.rowLine(row).size() + kColumnCount * (2 * enclose.size() + delimiter.size()));
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) {
            line += delimiter;
        }
        line.append(enclose).append(cells[c]).append(enclose);
    }
    return line;
}

bool folderExists(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.parent_path();
    std::error_code ec;
    return folder.empty() || std::filesystem::is_directory(folder, ec);
}

namespace {

// Writes one line per album through a temporary file; `line` gives the
// line of an album, without its end.
template <typename LineOf>
bool writeLines(const std::filesystem::path& file, const std::vector<int>& albums, LineOf&& line,
                store::FileError* error)
{
    store::AtomicFileWriter writer(file);
    bool ok = writer.open();
    for (std::size_t i = 0; ok && i < albums.size(); ++i) {
        ok = writer.write(line(albums[i])) && writer.write(kLineEnd);
    }
    ok = ok && writer.commit();
    if (!ok && error) {
        *error = writer.error();
    }
    return ok;
}

}  // namespace

bool writeDataExport(const std::filesystem::path& file, const AlbumTable& table,
                     const std::vector<int>& albums, store::FileError* error)
{
    return writeLines(
        file, albums, [&](int album) { return dataExportLine(table, album); }, error);
}

bool writeCsvExport(const std::filesystem::path& file, const AlbumTable& table,
                    const std::vector<int>& albums, std::string_view enclose, std::string_view delimiter,
                    store::FileError* error, bool utf8)
{
    std::string line;
    std::string utf8Line;
    bool first = true;
    return writeLines(
        file, albums,
        [&](int album) {
            line = csvLine(table, album, enclose, delimiter);
            if (!utf8) {
                return std::string_view(line);
            }
            const std::u16string unicode = text::toUnicode(line);
            // Up to three bytes per UTF-16 unit, and the mark before the
            // first line.
            utf8Line.assign(first ? "\xEF\xBB\xBF" : "");
            first = false;
            const std::size_t start = utf8Line.size();
            utf8Line.resize(start + 3 * unicode.size());
            UErrorCode status = U_ZERO_ERROR;
            int32_t length = 0;
            u_strToUTF8(utf8Line.data() + start, static_cast<int32_t>(utf8Line.size() - start), &length,
                        unicode.data(), static_cast<int32_t>(unicode.size()), &status);
            utf8Line.resize(start + static_cast<std::size_t>(U_SUCCESS(status) ? length : 0));
            return std::string_view(utf8Line);
        },
        error);
}

// ---- Import ------------------------------------------------------------

namespace {

// A delimited-text line with its fields joined by "<>" instead, into `out`.
void joinDelimited(std::string& out, std::string_view line, std::string_view enclose,
                   std::string_view delimiter)
{
    const std::string pattern = std::string(enclose).append(delimiter).append(enclose);
    out.clear();
    std::size_t from = 0;
    if (!pattern.empty()) {
        for (std::size_t hit; (hit = text::findOnBoundary(line, pattern, from)) != std::string_view::npos;
             from = hit + pattern.size()) {
            out.append(line.substr(from, hit - from)).append(kSeparator);
        }
    }
    out.append(line.substr(from));
    // The enclosing text is cut off at both ends, whatever the bytes there.
    const std::size_t cut = enclose.size();
    if (out.size() <= 2 * cut) {
        out.clear();
    } else {
        out.resize(out.size() - cut);
        out.erase(0, cut);
    }
}

// Copies a row into the blocks of `rows`, followed by `padding` empty
// fields. A block never grows past the room reserved for it (at least a
// mebibyte, so never kept inside the string object), so rows stay where
// they are, also when the list of blocks moves.
std::string_view keepRow(ImportedRows& rows, std::string_view head, std::size_t padding)
{
    constexpr std::size_t kBlockSize = 1 << 20;
    const std::size_t size = head.size() + padding * kSeparator.size();
    if (rows.blocks.empty() || rows.blocks.back().capacity() - rows.blocks.back().size() < size) {
        rows.blocks.emplace_back().reserve(std::max(kBlockSize, size));
    }
    std::string& block = rows.blocks.back();
    const std::size_t begin = block.size();
    block.append(head);
    for (std::size_t i = 0; i < padding; ++i) {
        block.append(kSeparator);
    }
    return std::string_view(block).substr(begin, size);
}

// Whether a row holds nothing but separators.
bool allCellsEmpty(std::string_view row)
{
    for (; !row.empty(); row.remove_prefix(kSeparator.size())) {
        if (!row.starts_with(kSeparator)) {
            return false;
        }
    }
    return true;
}

}  // namespace

ImportedRows importRows(const std::vector<std::string_view>& lines, bool dataFileMode,
                        std::string_view enclose, std::string_view delimiter,
                        std::shared_ptr<const void> source)
{
    ImportedRows result;
    result.rows.reserve(lines.size());
    std::string converted;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        const bool changed = !dataFileMode && !line.empty();
        if (changed) {
            joinDelimited(converted, line, enclose, delimiter);
            line = converted;
        }
        // The row is the line up to its 305th separator, or the line with
        // the missing fields added.
        int column = 0;
        std::size_t start = 0;
        std::size_t end = store::fieldEnd(line, start);
        for (; end < line.size() && column + 1 < kColumnCount; ++column) {
            start = end + kSeparator.size();
            end = store::fieldEnd(line, start);
        }
        // Only the last field can end with half a character: one before a
        // separator would have taken its "<" as the second byte. Before
        // another column it would take that column's "<": it is dropped.
        std::string_view row = line.substr(0, end);
        if (allCellsEmpty(row)) {
            // No album (the reserved first row of a data file, an empty
            // line): nothing to add and nothing to say.
            continue;
        }
        if (store::checkCell(column, line.substr(start, end - start)) == store::CellProblem::LoneLeadByte) {
            row.remove_suffix(1);
            ++result.cutLines;
        }
        const auto padding = static_cast<std::size_t>(kColumnCount - 1 - column);
        result.rows.push_back(!changed && source && padding == 0 ? row : keepRow(result, row, padding));
    }
    result.source = std::move(source);
    return result;
}

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kGetaMark = "\x81\xAC";  // 〓, for a character Shift-JIS lacks
constexpr std::size_t kListedLines = 5;

bool isLineEnd(unsigned char b)
{
    return b == '\r' || b == '\n';
}

// The length of the UTF-8 sequence a byte starts (0: it starts none).
std::size_t utf8Length(unsigned char b)
{
    if (b < 0x80) {
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        return 4;
    }
    return 0;
}

// What stands at `pos` of UTF-8 text. `length` bytes make a character
// (`c`), a cut character (the line or the text ends before it is
// complete: `cut`), or bytes that are no UTF-8 at all (`c` < 0).
struct Utf8Step {
    std::size_t length = 1;
    UChar32 c = -1;
    bool cut = false;
};

Utf8Step utf8Step(std::string_view s, std::size_t pos)
{
    Utf8Step step;
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const auto size = static_cast<int32_t>(s.size());
    auto i = static_cast<int32_t>(pos);
    UChar32 c = 0;
    U8_NEXT(bytes, i, size, c);
    step.length = static_cast<std::size_t>(i) - pos;
    step.c = c;
    if (c < 0) {
        // A well-begun sequence that the line's end breaks off is a cut
        // character: the bytes there so far, and nothing else, follow.
        const std::size_t expected = utf8Length(bytes[pos]);
        std::size_t have = 1;
        while (pos + have < s.size() && have < expected && (bytes[pos + have] & 0xC0) == 0x80) {
            ++have;
        }
        if (expected > 1 && have < expected && (pos + have == s.size() || isLineEnd(bytes[pos + have]))) {
            step.cut = true;
            step.length = have;
        }
    }
    return step;
}

// Appends a line's characters as Shift-JIS; each one Shift-JIS lacks
// becomes 〓. Returns how many did.
int appendAsShiftJis(std::string& out, std::u16string_view line)
{
    int missing = 0;
    while (!line.empty()) {
        const text::EncodeResult encoded = text::fromUnicode(line);
        if (encoded.ok) {
            out += encoded.bytes;
            break;
        }
        out += text::fromUnicode(line.substr(0, encoded.badIndex)).bytes;
        out += kGetaMark;
        ++missing;
        line.remove_prefix(encoded.badIndex + (encoded.badChar > 0xFFFF ? 2 : 1));
    }
    return missing;
}

// Whether a character is one the UTF-8 text may bring in. The private-use
// block that stands for raw bytes would give bytes back (a line break, a
// separator) instead of a character.
bool isImportableChar(UChar32 c)
{
    return c >= 0 && !(c >= text::kRawByteBase && c <= text::kRawByteBase + 0xFF);
}

constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";

// Bytes that no text file holds: NUL and the control codes other than tab,
// line ends, vertical tab, form feed, the old end-of-file mark (1A) and
// escape. None of them is part of a Shift-JIS or UTF-8 character.
bool isBinaryByte(unsigned char b)
{
    return b < 0x20 && b != '\t' && b != '\n' && b != '\v' && b != '\f' && b != '\r' && b != 0x1A &&
           b != 0x1B;
}

// The first line (1-based, counted as splitLines() counts) holding a byte
// no text holds; 0 when there is none.
int firstBinaryLine(std::string_view bytes)
{
    const auto found = std::find_if(bytes.begin(), bytes.end(),
                                    [](char c) { return isBinaryByte(static_cast<unsigned char>(c)); });
    if (found == bytes.end()) {
        return 0;
    }
    const std::string_view before = bytes.substr(0, static_cast<std::size_t>(found - bytes.begin()));
    int line = 1;
    for (std::size_t pos = 0; pos < before.size(); ++pos) {
        if (before[pos] == '\n' ||
            (before[pos] == '\r' && (pos + 1 >= bytes.size() || bytes[pos + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

// UTF-16 text after its byte-order mark as UTF-8 with the UTF-8 mark; half
// a surrogate pair and an odd last byte become U+FFFD.
std::string utf8OfUtf16(std::string_view bytes, bool littleEndian)
{
    std::u16string units;
    units.reserve(bytes.size() / 2 + 1);
    for (std::size_t pos = 0; pos + 1 < bytes.size(); pos += 2) {
        const auto first = static_cast<unsigned char>(bytes[pos]);
        const auto second = static_cast<unsigned char>(bytes[pos + 1]);
        units.push_back(static_cast<char16_t>(littleEndian ? (second << 8 | first) : (first << 8 | second)));
    }
    if (bytes.size() % 2 != 0) {
        units.push_back(u'\uFFFD');
    }
    std::string utf8(kUtf8Mark);
    const std::size_t start = utf8.size();
    utf8.resize(start + 3 * units.size());
    int32_t length = 0;
    int32_t substitutions = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(utf8.data() + start, static_cast<int32_t>(utf8.size() - start), &length, units.data(),
                       static_cast<int32_t>(units.size()), 0xFFFD, &substitutions, &status);
    utf8.resize(start + static_cast<std::size_t>(U_SUCCESS(status) ? length : 0));
    return utf8;
}

}  // namespace

bool isUtf8File(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Mark)) {
        return true;
    }
    bool nonAscii = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const Utf8Step step = utf8Step(bytes, pos);
        if (step.c < 0 && !step.cut) {
            return false;
        }
        nonAscii = true;
        pos += step.length;
    }
    return nonAscii && !text::isValidShiftJis(bytes);
}

ImportText importText(std::string_view bytes, std::shared_ptr<const void> owner)
{
    if (bytes.starts_with(kUtf16LittleMark) || bytes.starts_with(kUtf16BigMark)) {
        const std::string utf8 = utf8OfUtf16(bytes.substr(2), bytes.starts_with(kUtf16LittleMark));
        // The UTF-8 text is converted into a buffer of its own.
        ImportText result = importText(utf8, nullptr);
        result.utf16 = true;
        return result;
    }
    ImportText result;
    if (const int line = firstBinaryLine(bytes); line > 0) {
        result.refusal = "テキストファイルではないため読み込めません（" + std::to_string(line) +
                         "行目に文字でないデータがあります）。";
        return result;
    }
    if (!isUtf8File(bytes)) {
        result.text = bytes;
        result.source = std::move(owner);
        return result;
    }
    result.utf8 = true;
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    auto converted = std::make_shared<std::string>();
    converted->reserve(bytes.size());
    std::u16string line;
    int lineNumber = 1;
    bool lineCut = false;
    auto endLine = [&] {
        const int missing = appendAsShiftJis(*converted, line);
        if (missing > 0) {
            result.missingChars += missing;
            if (result.missingLines.size() < kListedLines) {
                result.missingLines.push_back(lineNumber);
            } else {
                result.moreMissingLines = true;
            }
        }
        result.cutLines += lineCut ? 1 : 0;
        line.clear();
        lineCut = false;
    };
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[pos]);
        if (isLineEnd(b)) {
            // The line ends as splitLines() ends it: CR LF, CR or LF.
            endLine();
            const std::size_t length = b == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n' ? 2 : 1;
            converted->append(bytes.substr(pos, length));
            pos += length;
            ++lineNumber;
            continue;
        }
        if (b < 0x80) {
            line.push_back(b);
            ++pos;
            continue;
        }
        const Utf8Step step = utf8Step(bytes, pos);
        pos += step.length;
        if (step.cut) {
            lineCut = true;
        } else if (!isImportableChar(step.c)) {
            line.push_back(u'\uFFFF');  // no character: becomes 〓
        } else if (step.c > 0xFFFF) {
            line.push_back(U16_LEAD(step.c));
            line.push_back(U16_TRAIL(step.c));
        } else {
            line.push_back(static_cast<char16_t>(step.c));
        }
    }
    if (!line.empty() || lineCut) {
        endLine();
    }
    result.text = *converted;
    result.source = std::move(converted);
    return result;
}

std::string importReport(const ImportText& text, const ImportedRows& rows)
{
    std::string report;
    if (text.missingChars > 0) {
        report += "Shift-JISにない文字が" + std::to_string(text.missingChars) +
                  "文字あり、「〓」に置き換えました（";
        for (std::size_t i = 0; i < text.missingLines.size(); ++i) {
            report += (i > 0 ? "、" : "") + std::to_string(text.missingLines[i]) + "行目";
        }
        report += text.moreMissingLines ? "ほか）。" : "）。";
    }
    const int cut = text.cutLines + rows.cutLines;
    if (cut > 0) {
        if (!report.empty()) {
            report += "\r\n";
        }
        report += std::to_string(cut) +
                  "行が文字の途中で終わっていたため、行末の半端な文字を除いて読み込みました。";
    }
    return report;
}

void appendRows(AlbumTable& table, ImportedRows rows)
{
    // The new rows are added without copying: they stay where they are,
    // kept alive by the table. Every row has 305 fields, so each line is
    // taken as it is.
    auto imported = std::make_shared<ImportedRows>(std::move(rows));
    table.appendLines(imported, imported->rows);
}

// ---- Clipboard ---------------------------------------------------------

namespace {

using store::AlbumColumn;
using store::ArtistColumn;
using store::FuriganaColumn;
using Cells = AlbumTable::RowCells;

std::string cp932(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

// The fixed texts of the formats, in CP932.
struct Labels {
    std::string artist = cp932(u"アーティスト名:");
    std::string album = cp932(u"アルバム名:");
    std::string genre = cp932(u"ジャンル：");
    std::string media = cp932(u"メディア：");
    std::string image = cp932(u"画像ファイル：");
    std::string songTitle = cp932(u"曲名：");
    std::string songArtist = cp932(u"アーティスト名：");
    std::string songMedia = cp932(u"メディアファイル：");
    std::string numberMark = cp932(u"：");
    std::string noTitle = cp932(u"？");
};

const Labels& labels()
{
    static const Labels instance;
    return instance;
}

std::string_view cellOf(const Cells& cells, int column)
{
    return cells[static_cast<std::size_t>(column)];
}

// Appends the pieces and a line end.
void addLine(std::string& out, std::initializer_list<std::string_view> pieces)
{
    for (std::string_view piece : pieces) {
        out += piece;
    }
    out += kLineEnd;
}

// The artist, and its reading in parentheses when that differs.
std::string artistText(const Cells& cells)
{
    std::string text(cellOf(cells, ArtistColumn));
    if (cellOf(cells, FuriganaColumn) != cellOf(cells, ArtistColumn)) {
        text.append(" (").append(cellOf(cells, FuriganaColumn)).append(")");
    }
    return text;
}

std::string albumHeading(int album)
{
    return "<Album No." + std::to_string(album) + ">";
}

// "n：title / artist [media]", for the songs that have something to show.
void addSongLines(std::string& out, const Cells& cells, bool withMedia)
{
    const Labels& l = labels();
    for (int n = 1; n <= store::kSongSlots; ++n) {
        const std::string_view title = cellOf(cells, store::songTitleColumn(n));
        const std::string_view artist = cellOf(cells, store::songArtistColumn(n));
        const std::string_view media = withMedia ? cellOf(cells, store::mediaColumn(n)) : std::string_view();
        if (title.empty() && artist.empty() && media.empty()) {
            continue;
        }
        out += std::to_string(n);
        out += l.numberMark;
        out += title.empty() ? std::string_view(l.noTitle) : title;
        if (!artist.empty()) {
            out.append(" / ").append(artist);
        }
        if (!media.empty()) {
            out.append(" [").append(media).append("]");
        }
        out += kLineEnd;
    }
}

void addAlbumDetails(std::string& out, const Cells& cells, int album)
{
    const Labels& l = labels();
    addLine(out, {albumHeading(album)});
    addLine(out, {l.artist, artistText(cells)});
    addLine(out, {l.album, cellOf(cells, AlbumColumn)});
    addLine(out, {l.genre, cellOf(cells, store::Category1Column)});
    addLine(out, {l.media, cellOf(cells, store::Category2Column)});
    if (!cellOf(cells, store::Category3Column).empty()) {
        addLine(out, {cellOf(cells, store::Category3Column)});
    }
    if (!cellOf(cells, store::ImagePathColumn).empty()) {
        addLine(out, {l.image, cellOf(cells, store::ImagePathColumn)});
    }
    addLine(out, {"<Songs>"});
    addSongLines(out, cells, true);
    addLine(out, {});
}

void addAlbumSummary(std::string& out, const Cells& cells, int album)
{
    addLine(out, {albumHeading(album)});
    addLine(out, {cellOf(cells, ArtistColumn), " / ", cellOf(cells, AlbumColumn)});
    addLine(out, {"<Songs>"});
    addSongLines(out, cells, false);
    addLine(out, {});
}

void addSongDetails(std::string& out, const Cells& cells, int album, int song)
{
    const Labels& l = labels();
    addLine(out, {"<Album No." + std::to_string(album) + " / Song No." + std::to_string(song) + ">"});
    addLine(out, {artistText(cells), " / ", cellOf(cells, AlbumColumn)});
    const std::string_view title = cellOf(cells, store::songTitleColumn(song));
    const std::string_view artist = cellOf(cells, store::songArtistColumn(song));
    const std::string_view media = cellOf(cells, store::mediaColumn(song));
    if (title.empty() && artist.empty() && media.empty()) {
        return;
    }
    addLine(out, {l.songTitle, title});
    if (!artist.empty()) {
        addLine(out, {l.songArtist, artist});
    }
    if (!media.empty()) {
        addLine(out, {l.songMedia, media});
    }
}

}  // namespace

std::string clipboardText(const AlbumTable& table, ClipFormat format, const std::vector<int>& albums,
                          int song)
{
    std::string out;
    auto isAlbum = [&](int album) { return album >= 1 && album <= table.albumCount(); };
    if (format == ClipFormat::SongDetails || format == ClipFormat::SongTitle) {
        if (albums.empty() || !isAlbum(albums.front()) || song < 1 || song > store::kSongSlots) {
            return out;
        }
        const Cells cells = table.rowCells(albums.front());
        if (format == ClipFormat::SongDetails) {
            addSongDetails(out, cells, albums.front(), song);
        } else {
            addLine(out, {cellOf(cells, store::songTitleColumn(song))});
        }
        return out;
    }
    for (int album : albums) {
        if (!isAlbum(album)) {
            continue;
        }
        const Cells cells = table.rowCells(album);
        switch (format) {
            case ClipFormat::AlbumDetails:
                addAlbumDetails(out, cells, album);
                break;
            case ClipFormat::AlbumSummary:
                addAlbumSummary(out, cells, album);
                break;
            case ClipFormat::ArtistNames:
                addLine(out, {cellOf(cells, ArtistColumn)});
                break;
            case ClipFormat::AlbumTitles:
                addLine(out, {cellOf(cells, AlbumColumn)});
                break;
            case ClipFormat::SongDetails:
            case ClipFormat::SongTitle:
                break;
        }
    }
    return out;
}

}  // namespace velmora::exchange
