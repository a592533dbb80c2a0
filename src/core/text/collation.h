// Ordering and comparing catalogue texts as a Japanese user expects.
#pragma once

#include <string>
#include <string_view>

namespace velmora::text {

// Japanese collation (ICU "ja", tertiary strength: letter case counts).
class JapaneseCollator {
public:
    JapaneseCollator();
    ~JapaneseCollator();
    JapaneseCollator(const JapaneseCollator&) = delete;
    JapaneseCollator& operator=(const JapaneseCollator&) = delete;

    // A key whose byte order is the collation order of the CP932 text.
    std::string sortKey(std::string_view cp932) const;
    int compare(std::string_view a, std::string_view b) const;

private:
    struct Impl;
    Impl* impl_;
};

// The text with letter case folded away (simple case folding; widths and
// kana stay apart): texts that differ only in case fold to the same.
std::u16string foldCase(std::string_view cp932);

// Equal when they differ at most in letter case (simple case folding; widths
// and kana stay apart).
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace velmora::text
