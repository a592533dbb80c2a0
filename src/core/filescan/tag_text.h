// Turning the text of music files' tags and paths into catalogue cells.
//
// Tag text comes from any tagger and may hold anything: characters that
// Shift-JIS (CP932) cannot hold, "<>", line breaks. A cell may hold none of
// the markers of the data file, so the text is mapped the way a careful
// typist would enter it, and what CP932 still lacks is marked with 〓.
// Paths are different: a changed path names another file, so paths become
// cells through media::cellOfFileSystemPath, never through tagCell.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::filescan {

// The stand-in for a character CP932 has no form for.
inline constexpr char16_t kGetaMark = u'〓';

struct CellText {
    std::string bytes;          // CP932
    int missingCharacters = 0;  // characters replaced by 〓
};

// A tag's text as a cell: control characters (line breaks, tabs) become
// blanks, blanks at either end go, "<>" becomes 「＜＞」 and, for a memo
// line, "{}" becomes 「｛｝」; then the JIS variants map to their CP932
// twins and every character still without a CP932 form becomes 〓.
CellText tagCell(std::u16string_view text, bool memoLine = false);

// How the single bytes of old tags (ID3v1, ID3v2 frames marked Latin-1)
// are read. Rips made on Japanese systems wrote Shift-JIS there.
enum class TagEncoding {
    Automatic,  // Shift-JIS where the bytes are Shift-JIS and no plausible Latin-1
    Latin1,
    ShiftJis,
};

// Whether single-byte tag bytes are Shift-JIS text rather than Latin-1:
// valid Shift-JIS with at least one double-byte character that Latin-1
// text would not hold (a lead byte 0x81-0x9F, which Latin-1 leaves to
// control codes, or two accented letters in a row).
bool looksLikeShiftJis(std::string_view bytes);

// The text of single-byte tag bytes under `encoding`.
std::u16string singleByteTagText(std::string_view bytes, TagEncoding encoding);

// UTF-8 (a path or a command-line text) as UTF-16; nothing when the bytes
// are not valid UTF-8.
std::optional<std::u16string> utf16FromUtf8(std::string_view utf8);

// The last component of a path ("/a/b/c.mp3" -> "c.mp3").
std::string_view lastComponent(std::string_view path);
// The path without its last component ("/a/b/c.mp3" -> "/a/b").
std::string_view parentPath(std::string_view path);
// A file name without its extension; names that start with a dot keep it.
std::string_view fileStem(std::string_view fileName);

// The disc number a folder name stands for: "CD1", "cd 2", "Disc 3",
// "disk_04", "DISC-5" (letters in any case, then an optional blank, "_",
// "-" or ".", then the number and nothing else). 0 for any other name.
int discFolderNumber(std::string_view folderName);

// The number at the start of a track or disc field ("7", "07/12", " 3 ");
// 0 when there is none.
int leadingNumber(std::u16string_view text);

// The year of a date field: the first run of four digits ("2001",
// "2001-05-01", "05/01/2001"); 0 when there is none.
int yearOf(std::u16string_view text);

}  // namespace velmora::filescan
