// Import, data and CSV export, and the clipboard texts.
//
// Everything here works on CP932 bytes as the table stores them; the
// windows and the command-line tool only ask the questions and show the
// results.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/file_error.h"

namespace velmora::store {
class AlbumTable;
}

namespace velmora::exchange {

// ---- Export ------------------------------------------------------------

// The albums an export writes: the listed numbers that are albums of a
// table with `rowCount` rows (1 .. rowCount - 1), each once, ascending.
std::vector<int> exportAlbumSet(const std::vector<int>& listed, int rowCount);

// An album as a data-file line: its 305 cells joined by "<>".
std::string_view dataExportLine(const store::AlbumTable& table, int row);

// An album as a CSV line: every cell between `enclose` on both sides, the
// fields joined by `delimiter`, nothing escaped.
std::string csvLine(const store::AlbumTable& table, int row, std::string_view enclose,
                    std::string_view delimiter);

// Whether the folder part of a chosen file name exists (no folder part:
// the current folder).
bool folderExists(const std::filesystem::path& file);

// Write the given albums, one line each ended by CR LF, replacing `file`
// only once it is complete. False with `error` filled when it fails.
bool writeDataExport(const std::filesystem::path& file, const store::AlbumTable& table,
                     const std::vector<int>& albums, store::FileError* error);
// With `utf8`, the CSV file is UTF-8 with a byte-order mark (what a
// spreadsheet opens directly); otherwise Shift-JIS as the cells are stored.
bool writeCsvExport(const std::filesystem::path& file, const store::AlbumTable& table,
                    const std::vector<int>& albums, std::string_view enclose, std::string_view delimiter,
                    store::FileError* error, bool utf8 = false);

// ---- Import ------------------------------------------------------------

struct ImportedRows {
    ImportedRows() = default;
    ImportedRows(ImportedRows&&) = default;
    ImportedRows& operator=(ImportedRows&&) = default;
    // Rows may point into the blocks: a copy would point into the original.
    ImportedRows(const ImportedRows&) = delete;
    ImportedRows& operator=(const ImportedRows&) = delete;

    // One data-file line of exactly 305 fields per line of the file.
    std::vector<std::string_view> rows;
    // Lines that ended with half a double-byte character before their last
    // column; that byte was dropped, as the data-file loader drops it.
    int cutLines = 0;

    // Where the rows live: the lines' own buffer, or copies.
    std::shared_ptr<const void> source;
    std::vector<std::string> blocks;
};

// The rows that the lines of an import file give. In data-file mode the
// lines are taken as they are; otherwise each non-empty line has every
// `enclose` + `delimiter` + `enclose` replaced by "<>" (on character
// boundaries) and loses as many bytes as `enclose` is long at each end.
// Then each line is split at "<>": field i goes to column i, the 305th field
// to column 304, later fields are dropped and missing ones are empty.
//
// Half a double-byte character at the end of a line with fewer than 305
// fields (a cut file, or text that is not Shift-JIS) would swallow the "<"
// of the separator after it: that byte is dropped and the line counted in
// `cutLines`, as the data-file loader does.
//
// `lines` are lines as splitLines() gives them (no CR or LF). With `source`
// (what keeps their bytes alive), lines that need no change are not copied.
ImportedRows importRows(const std::vector<std::string_view>& lines, bool dataFileMode,
                        std::string_view enclose, std::string_view delimiter,
                        std::shared_ptr<const void> source = {});

// The text of an import file as the table stores it (Shift-JIS).
struct ImportText {
    std::string_view text;
    std::shared_ptr<const void> source;  // keeps `text` alive
    bool utf8 = false;                   // read as UTF-8 (or UTF-16) and converted
    bool utf16 = false;                  // read as UTF-16 (by its byte-order mark)
    // Why the file is not imported at all (UTF-8), empty when it is: bytes
    // that no text holds (NUL and other control codes), named by the first
    // line holding one. `text` is empty then.
    std::string refusal;
    int missingChars = 0;           // characters Shift-JIS lacks, written as 〓
    std::vector<int> missingLines;  // the first lines (1-based) holding one
    bool moreMissingLines = false;  // and there are more such lines
    int cutLines = 0;               // UTF-8 lines that ended in half a character
};

// Whether a file is read as UTF-8: it starts with the UTF-8 byte-order
// mark, or it is valid UTF-8 holding non-ASCII text and not valid
// Shift-JIS. A line cut in the middle of a character counts as valid in
// either encoding.
bool isUtf8File(std::string_view bytes);

// The file's text for importRows(): Shift-JIS bytes as they are, UTF-8
// converted to Shift-JIS (without the byte-order mark; the JIS variants
// become their CP932 twins, a character still missing becomes 〓, a cut
// character at a line end is dropped). UTF-16 of either byte order, known
// by its byte-order mark, is read as the same text in UTF-8 would be (half a
// surrogate pair or an odd last byte become 〓). Line ends are kept as they
// are. A file with bytes no text holds (a picture, UTF-16 without its mark)
// is refused (`refusal`). `owner` keeps `bytes` alive.
ImportText importText(std::string_view bytes, std::shared_ptr<const void> owner);

// What the window and velmora-cli say after an import (UTF-8): characters
// replaced by 〓 with their first lines, and lines that lost a cut
// character. Empty when there is nothing to say.
std::string importReport(const ImportText& text, const ImportedRows& rows);

// Appends rows from importRows() as new albums at the end of the table.
// Existing rows keep their bytes; no cell is filled in by default.
void appendRows(store::AlbumTable& table, ImportedRows rows);

// ---- Clipboard ---------------------------------------------------------

// The six clipboard texts, in the order of the edit menu's submenu.
enum class ClipFormat {
    AlbumDetails,
    AlbumSummary,
    SongDetails,
    ArtistNames,
    AlbumTitles,
    SongTitle,
};
inline constexpr int kClipFormatCount = 6;

// The text of a format as CP932 bytes, every line ended by CR LF; empty
// when no line is produced. The album formats take `albums` in list order
// (repeats are copied again); the song formats take the first album and
// `song` (1..99, else nothing). Numbers outside the table are skipped.
std::string clipboardText(const store::AlbumTable& table, ClipFormat format, const std::vector<int>& albums,
                          int song = 0);

}  // namespace velmora::exchange
