// The CP932 layer: character stepping, the conversions both ways, the case,
// width and kana mappings and the search matcher. No mapping splits a
// character: text of whole characters maps to text of whole characters,
// and decoding then encoding keeps every byte.
#include <cstdint>
#include <string>
#include <vector>

#include "core/text/collation.h"
#include "core/text/cp932.h"
#include "core/text/kana_width.h"
#include "core/textops/textops.h"
#include "fuzz_support.h"

namespace {

using namespace velmora;

std::vector<std::size_t> boundaries(std::string_view s)
{
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < s.size(); at += text::charLength(s, at)) {
        starts.push_back(at);
    }
    return starts;
}

bool isBoundary(std::string_view s, std::size_t at)
{
    std::vector<std::size_t> starts = boundaries(s);
    return at == s.size() || std::binary_search(starts.begin(), starts.end(), at);
}

void checkStepping(std::string_view cell, std::string_view word)
{
    std::size_t total = 0;
    for (std::size_t at = 0; at < cell.size(); at += text::charLength(cell, at)) {
        total = at + text::charLength(cell, at);
    }
    FUZZ_CHECK(total == cell.size(), "stepping ends at the end of the text");
    std::size_t found = text::findOnBoundary(cell, word);
    if (found != std::string_view::npos) {
        FUZZ_CHECK(!word.empty() && cell.substr(found, word.size()) == word, "a hit is the word");
        FUZZ_CHECK(isBoundary(cell, found), "a hit starts on a character boundary");
    }
    if (!text::endsWithLoneLeadByte(cell) && !cell.empty()) {
        FUZZ_CHECK(boundaries(cell).back() + text::charLength(cell, boundaries(cell).back()) == cell.size(),
                   "a text without a half character ends on a boundary");
    }
}

void checkConversions(std::string_view bytes)
{
    const std::u16string decoded = text::toUnicode(bytes);
    text::EncodeResult again = text::fromUnicode(decoded);
    FUZZ_CHECK(again.ok, "every decoded text encodes");
    FUZZ_CHECK(text::toUnicode(again.bytes) == decoded, "decode -> encode -> decode gives the same text");
    text::EncodeResult kept = text::fromUnicodePreserving(bytes, decoded);
    FUZZ_CHECK(kept.ok && kept.bytes == bytes, "encoding an unchanged text keeps its bytes");
    text::foldCase(bytes);
    FUZZ_CHECK(text::equalIgnoringCase(bytes, bytes), "a text equals itself");
}

void checkMapping(std::string_view bytes, const std::string& mapped, const char* what)
{
    if (fuzz::isWholeCp932(bytes)) {
        FUZZ_CHECK(fuzz::isWholeCp932(mapped), what);
    }
    if (!text::endsWithLoneLeadByte(bytes)) {
        FUZZ_CHECK(!text::endsWithLoneLeadByte(mapped), what);
    }
}

void checkMappings(std::string_view bytes)
{
    checkMapping(bytes, text::toHiragana(bytes), "hiragana mapping splits no character");
    checkMapping(bytes, text::toKatakana(bytes), "katakana mapping splits no character");
    checkMapping(bytes, text::toFullWidth(bytes), "full-width mapping splits no character");
    checkMapping(bytes, text::toHalfWidth(bytes), "half-width mapping splits no character");
    checkMapping(bytes, text::toUpperCase(bytes), "upper-case mapping splits no character");
    checkMapping(bytes, text::toLowerCase(bytes), "lower-case mapping splits no character");
    checkMapping(bytes, textops::capitaliseWords(bytes), "capitalising splits no character");
    for (int kind = 0; kind <= 4; ++kind) {
        checkMapping(bytes, textops::convertText(bytes, kind), "conversion splits no character");
    }
    const std::string upper = textops::upperForMatch(bytes);
    FUZZ_CHECK(upper.size() == bytes.size(), "upper-casing for matching keeps the length");
    FUZZ_CHECK(boundaries(upper) == boundaries(bytes), "upper-casing for matching keeps the boundaries");
    checkMapping(bytes, upper, "upper-casing for matching splits no character");
}

void checkMatcher(std::string_view cell, std::string_view word, std::string_view replacement)
{
    const std::string upperWord = textops::upperForMatch(word);
    textops::hasLetterCase(upperWord);
    const bool matches = textops::cellMatches(cell, upperWord);
    if (!word.empty() && text::containsOnBoundary(cell, word) && !text::endsWithLoneLeadByte(word)) {
        FUZZ_CHECK(matches, "a cell holding the word matches it");
    }
    if (cell.empty() || word.empty()) {
        FUZZ_CHECK(!matches, "empty cells and words never match");
    }
    const std::string replaced = textops::replaceText(cell, word, replacement);
    if (fuzz::isWholeCp932(cell) && fuzz::isWholeCp932(word) && fuzz::isWholeCp932(replacement)) {
        FUZZ_CHECK(fuzz::isWholeCp932(replaced), "replacing splits no character");
    }
    if (!matches && !word.empty()) {
        FUZZ_CHECK(replaced == cell, "a cell without the word stays as it was");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view word = fuzz::takePiece(input, 16);
    std::string_view replacement = fuzz::takePiece(input, 16);
    std::string_view cell = input;
    checkStepping(cell, word);
    checkConversions(cell);
    checkMappings(cell);
    checkMatcher(cell, word, replacement);
    return 0;
}
