// Why the catalogue refused a command, as a code; problemMessage() words it.
#pragma once

#include <string>
#include <string_view>

#include "core/store/album_table.h"

namespace velmora::catalogue {

enum class Problem {
    None,
    // A cell that cannot be stored (store::CellProblem).
    CellSeparator,      // holds "<>"
    CellLineBreak,      // holds CR or LF
    CellLoneLeadByte,   // ends with half a double-byte character
    MemoLineHasBraces,  // a memo line holds "{}", the mark between lines
    NoSuchAlbum,        // no album of that number (or nothing selected)
    NoAlbums,           // a bulk command with no album shown
    // Replace guards.
    FindEmpty,
    FindHasSeparator,
    ReplacementHasSeparator,
    MemoReplaceHasBraces,
    ReplacementHasLineBreak,
    // Search refusals.
    SearchWordEmpty,
    NoAlbumsStored,
    NoAlbumsShown,
    // List order commands that need every album shown.
    RenumberNeedsAllAlbums,
    ReorderNeedsAllAlbums,
};

// The problem of a cell check.
Problem cellProblem(store::CellProblem problem);
// The problem of a text (CP932) for a cell of `column`.
Problem checkCellText(int column, std::string_view value);
// The problem of one line of the memo (the third category, whose lines are
// stored joined by "{}"): "{}" in it, or what a cell may not hold. A line
// ending with half a character would swallow the "{" after it.
Problem checkMemoLine(std::string_view line);

// The one Japanese text of a problem (UTF-8); empty for None. The window
// and velmora-cli both show this text.
std::string problemMessage(Problem problem);

// The note after a conversion or replace that kept `count` cells as they
// were (UTF-8).
std::string refusedCellsMessage(int count);

// The question before a save over a data file that could not be read
// (UTF-8; `path` as the system names it). Lines end with CR LF.
std::string saveOverUnreadableQuestion(const std::string& path);

// The question before a save over a data file that another program
// changed since it was read (UTF-8; lines end with CR LF). The window
// answers it with 読み込み直す, 上書き保存 or キャンセル.
std::string changedOnDiskQuestion(const std::string& path);
// velmora-cli's refusal to save over such a file (UTF-8).
std::string changedOnDiskRefusal(const std::string& path);

}  // namespace velmora::catalogue
