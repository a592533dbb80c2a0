#include "core/textops/memo_lines.h"

#include <algorithm>

#include "core/text/cp932.h"

namespace velmora::textops {

std::size_t shownLineCount(const MemoLines& cells)
{
    for (std::size_t n = cells.size(); n > 0; --n) {
        if (!cells[n - 1].empty()) {
            return n;
        }
    }
    return 0;
}

void dropTrailingEmptyLines(MemoLines& lines)
{
    lines.resize(shownLineCount(lines));
}

MemoLines tidyLines(const MemoLines& lines)
{
    auto blank = [](char16_t c) { return c <= u' '; };
    MemoLines tidy;
    for (const std::u16string& line : lines) {
        auto first = std::find_if_not(line.begin(), line.end(), blank);
        auto last = std::find_if_not(line.rbegin(), line.rend(), blank).base();
        if (first < last) {
            tidy.emplace_back(first, last);
        }
    }
    return tidy;
}

MemoLines columnFromLines(const MemoLines& lines, std::size_t slots)
{
    MemoLines column(slots);
    std::copy_n(lines.begin(), std::min(slots, lines.size()), column.begin());
    return column;
}

LineRefusal firstRefusedLine(const MemoLines& lines, std::size_t slots, bool needCp932)
{
    const std::size_t count = std::min(slots, lines.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::u16string& line = lines[i];
        // A CP932 trail byte is never "<" or ">", so "<>" in the Unicode
        // text is exactly "<>" on a character boundary of its bytes.
        if (line.find(u"<>") != std::u16string::npos) {
            return {i + 1, LineProblem::Separator};
        }
        if (needCp932 && !text::fromUnicode(line).ok) {
            return {i + 1, LineProblem::NoCp932};
        }
    }
    return {};
}

std::string joinCrLf(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace velmora::textops
