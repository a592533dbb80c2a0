// The memo pad's line rules: one line per song of a song column, the tidy
// command, the write-back into 99 song slots and what write-back refuses.
// Lines are Unicode (UTF-16) text as the memo pad holds it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::textops {

using MemoLines = std::vector<std::u16string>;

// How many lines a song column opens with: up to the last non-empty cell
// (the empty cells before it stay as empty lines); 0 for an empty column.
std::size_t shownLineCount(const MemoLines& cells);

// Removes the empty lines at the end.
void dropTrailingEmptyLines(MemoLines& lines);

// Trims every line of the characters whose code is 32 or less (blanks and
// control characters; the full-width blank stays) and drops the lines that
// are then empty, wherever they stand.
MemoLines tidyLines(const MemoLines& lines);

// The song column the lines write back to: slot k (1..slots) gets line k,
// slots past the last line become empty, lines past the last slot are
// dropped. Always `slots` cells.
MemoLines columnFromLines(const MemoLines& lines, std::size_t slots);

// Why a line cannot be written back to a song column.
enum class LineProblem {
    None,
    Separator,  // holds "<>", which the catalogue uses between fields
    NoCp932,    // holds a character Shift-JIS (CP932) cannot hold
};

struct LineRefusal {
    std::size_t line = 0;  // the refused line, from 1; 0 when none is
    LineProblem problem = LineProblem::None;
};

// The first of the first `slots` lines that write-back must refuse. Every
// column refuses "<>"; `needCp932` also refuses characters without a CP932
// form (titles and artists; media paths are checked when the album is
// stored).
LineRefusal firstRefusedLine(const MemoLines& lines, std::size_t slots, bool needCp932);

// The bytes of a text file of CP932 lines: every line followed by CR LF.
std::string joinCrLf(const std::vector<std::string>& lines);

}  // namespace velmora::textops
