#include "core/textops/textops.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <unordered_set>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "core/text/collation.h"
#include "core/text/cp932.h"
#include "core/text/kana_width.h"

namespace velmora::textops {

using namespace velmora::store;

namespace {

// The matching form of every two-byte code (its upper case, written with
// the code its character prefers), or 0 when that is the code itself;
// built once from the general case mapping.
const std::array<std::uint16_t, 65536>& upperTable()
{
    static const std::array<std::uint16_t, 65536> table = [] {
        std::array<std::uint16_t, 65536> t{};
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!text::isLeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const auto own = static_cast<std::uint16_t>((lead << 8) | trail);
                const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                std::string upper = text::toUpperCase(std::string_view(code, 2));
                std::uint16_t form = own;
                if (upper.size() == 2) {
                    form = static_cast<std::uint16_t>((static_cast<unsigned char>(upper[0]) << 8) |
                                                      static_cast<unsigned char>(upper[1]));
                }
                form = text::preferredCode(form);
                if (form != own) {
                    t[own] = form;
                }
            }
        }
        return t;
    }();
    return table;
}

bool lessAsText(std::string_view a, std::string_view b)
{
    // Case-insensitive byte order, as the lists of the tool pages sort.
    std::string ua = upperForMatch(a);
    std::string ub = upperForMatch(b);
    return ua != ub ? ua < ub : a < b;
}

}  // namespace

std::vector<int> albumSetAsText(const std::vector<int>& listed)
{
    std::set<int> unique(listed.begin(), listed.end());
    std::vector<int> albums(unique.begin(), unique.end());
    std::vector<std::pair<std::string, int>> keyed;
    keyed.reserve(albums.size());
    for (int album : albums) {
        keyed.emplace_back(std::to_string(album), album);
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        albums[i] = keyed[i].second;
    }
    return albums;
}

std::string upperForMatch(std::string_view cp932)
{
    const auto& table = upperTable();
    std::string out(cp932);
    char* p = out.data();
    const std::size_t n = out.size();
    for (std::size_t i = 0; i < n;) {
        // Eight plain ASCII bytes at a time: each is a character of its own.
        if (i + 8 <= n) {
            std::uint64_t v;
            std::memcpy(&v, p + i, 8);
            if ((v & 0x8080808080808080ULL) == 0) {
                const std::uint64_t aboveZ = v + 0x0505050505050505ULL;  // high bit set past 'z'
                const std::uint64_t fromA = v + 0x1F1F1F1F1F1F1F1FULL;   // high bit set from 'a'
                const std::uint64_t lower = fromA & ~aboveZ & 0x8080808080808080ULL;
                v ^= lower >> 2;  // 'a'..'z' lose 0x20
                std::memcpy(p + i, &v, 8);
                i += 8;
                continue;
            }
        }
        auto b = static_cast<unsigned char>(p[i]);
        if (b >= 'a' && b <= 'z') {
            p[i] = static_cast<char>(b - 'a' + 'A');
            ++i;
        } else if (text::isLeadByte(b) && i + 1 < n) {
            std::uint16_t upper = table[(b << 8) | static_cast<unsigned char>(p[i + 1])];
            if (upper != 0) {
                p[i] = static_cast<char>(upper >> 8);
                p[i + 1] = static_cast<char>(upper & 0xFF);
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

bool hasLetterCase(std::string_view upperWord)
{
    // A character is cased when some other character upper-cases to it.
    static const std::vector<bool> upperImages = [] {
        std::vector<bool> images(65536, false);
        for (std::uint16_t code : upperTable()) {
            if (code != 0) {
                images[code] = true;
            }
        }
        return images;
    }();
    for (std::size_t i = 0; i < upperWord.size(); i += text::charLength(upperWord, i)) {
        auto b = static_cast<unsigned char>(upperWord[i]);
        if (b >= 'A' && b <= 'Z') {
            return true;
        }
        if (text::charLength(upperWord, i) == 2 &&
            upperImages[(b << 8) | static_cast<unsigned char>(upperWord[i + 1])]) {
            return true;
        }
    }
    return false;
}

bool cellMatches(std::string_view cell, std::string_view upperWord)
{
    return !cell.empty() && text::findOnBoundary(upperForMatch(cell), upperWord) != std::string_view::npos;
}

namespace {

// Finds a plain ASCII word without regard to letter case. Candidates are
// the places where the word's first two bytes stand (in either case),
// found sixteen bytes at a time; each is then compared in full. Every byte
// the word matches is a character of its own once the first one starts a
// character.
class AsciiSearcher {
public:
    explicit AsciiSearcher(std::string_view word) : word_(word)
    {
        for (std::size_t k = 0; k < 2 && k < word.size(); ++k) {
            const auto c = static_cast<unsigned char>(word[k]);
            const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            caseBit_[k] = letter ? 0x20 : 0;
            lower_[k] = static_cast<unsigned char>(letter ? (c | 0x20) : c);
        }
    }
    std::size_t find(std::string_view hay, std::size_t from) const
    {
        const std::size_t n = word_.size();
        if (n == 0 || hay.size() < n) {
            return std::string_view::npos;
        }
        const std::size_t last = hay.size() - n;  // the last place the word fits
        const char* s = hay.data();
        std::size_t at = from;
#ifdef __SSE2__
        if (n >= 2) {
            const __m128i bit0 = _mm_set1_epi8(static_cast<char>(caseBit_[0]));
            const __m128i bit1 = _mm_set1_epi8(static_cast<char>(caseBit_[1]));
            const __m128i want0 = _mm_set1_epi8(static_cast<char>(lower_[0]));
            const __m128i want1 = _mm_set1_epi8(static_cast<char>(lower_[1]));
            // Blocks whose second bytes lie within the text.
            for (; at + 16 <= last + 1; at += 16) {
                const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
                const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at + 1));
                auto mask = static_cast<unsigned>(
                    _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(here, bit0), want0),
                                                    _mm_cmpeq_epi8(_mm_or_si128(next, bit1), want1))));
                for (; mask != 0; mask &= mask - 1) {
                    const std::size_t candidate = at + static_cast<std::size_t>(__builtin_ctz(mask));
                    if (matchesAt(s, candidate)) {
                        return candidate;
                    }
                }
            }
        }
#endif
        for (; at <= last; ++at) {
            if (matchesAt(s, at)) {
                return at;
            }
        }
        return std::string_view::npos;
    }

private:
    static unsigned char fold(char c)
    {
        return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    bool matchesAt(const char* s, std::size_t at) const
    {
        for (std::size_t i = 0; i < word_.size(); ++i) {
            if (fold(s[at + i]) != fold(word_[i])) {
                return false;
            }
        }
        return true;
    }
    std::string_view word_;
    std::array<unsigned char, 2> caseBit_{};
    std::array<unsigned char, 2> lower_{};
};

// Whether `at` starts a character: the run of lead-range bytes before it
// pairs up evenly (a byte that is no lead byte always ends a character).
bool startsCharacter(std::string_view s, std::size_t at)
{
    std::size_t run = at;
    while (run > 0 && text::isLeadByte(static_cast<unsigned char>(s[run - 1]))) {
        --run;
    }
    return (at - run) % 2 == 0;
}

std::vector<int> matchingColumns(const AlbumTable& table, int album, std::string_view upperWord, bool cased,
                                 bool asciiWord, const AsciiSearcher* asciiSearcher, std::string& buffer)
{
    std::vector<int> columns;
    if (upperWord.empty()) {
        return columns;
    }
    const std::string_view line = table.rowLine(album);
    // A word without letter case matches the cells as they are; a plain
    // ASCII word is found without regard to case directly in the line.
    std::string_view upper = line;
    if (!asciiWord) {
        buffer = upperForMatch(line);
        upper = buffer;
    }
    auto find = [&](std::size_t from) -> std::size_t {
        if (!cased || !asciiWord) {
            // Non-ASCII words are looked for in the matching form, which is
            // also what makes both codes of a duplicate character match.
            return text::findOnBoundary(upper, upperWord, from);
        }
        for (std::size_t at = asciiSearcher->find(line, from); at != std::string::npos;
             at = asciiSearcher->find(line, at + 1)) {
            if (startsCharacter(line, at)) {
                return at;
            }
        }
        return std::string::npos;
    };
    // The cell of a hit is found by counting the separators before it from
    // the start of the last cell known, not by splitting the whole row.
    std::size_t from = 0;
    std::size_t cellStart = 0;
    int column = 0;
    for (;;) {
        const std::size_t at = find(from);
        if (at == std::string::npos) {
            break;
        }
        std::size_t lastSeparator = 0;
        const std::size_t passed = store::countSeparators(line, cellStart, at, &lastSeparator);
        if (passed > 0) {
            column = std::min(column + static_cast<int>(passed), kColumnCount - 1);
            cellStart = lastSeparator + 2;
        }
        const std::size_t cellEnd =
            column < kColumnCount - 1 ? store::fieldEnd(line, cellStart) : line.size();
        // The hit may start in the separator after a cell; it then belongs to
        // no cell and the search goes on from the next character.
        if (at + upperWord.size() <= cellEnd) {
            columns.push_back(column);
            if (column == kColumnCount - 1) {
                break;
            }
            // Continue at the start of the next cell.
            ++column;
            cellStart = cellEnd + 2;
            from = cellStart;
        } else {
            from = at + text::charLength(upper, at);
        }
    }
    return columns;
}

// text::appendFoldedForSearch() as tables of CP932 bytes: what every
// character folds to, built once from that very function. A cell is folded
// without decoding it first; one with a byte the tables do not cover (a
// lead byte without its second byte, a code that is no character) is left
// to the function itself.
class ByteFolding {
public:
    static const ByteFolding& instance()
    {
        static const ByteFolding folding;
        return folding;
    }

    // The folded form of a one-byte character, of a two-byte one, and of a
    // half-width kana joined with the ﾞ or ﾟ after it; 0 when not covered
    // (or, for the last, when the two do not join).
    char16_t single(unsigned char b) const { return single_[b]; }
    char16_t pair(unsigned char lead, unsigned char trail) const
    {
        return pair_[static_cast<std::size_t>(lead) * 256 + trail];
    }
    char16_t joined(unsigned char kana, unsigned char mark) const
    {
        return isHalfKana(kana) && isMark(mark) ? joined_[static_cast<std::size_t>(kana - kFirstKana) * 2 +
                                                          static_cast<std::size_t>(mark - kVoicedMark)]
                                                : char16_t(0);
    }

    // Appends the folded text of `cell`; false, with `out` as it was, when
    // a byte is not covered.
    bool append(std::u16string& out, std::string_view cell) const
    {
        const std::size_t before = out.size();
        out.resize(before + cell.size());
        char16_t* to = out.data() + before;
        const auto* data = reinterpret_cast<const unsigned char*>(cell.data());
        const std::size_t size = cell.size();
        for (std::size_t i = 0; i < size;) {
            const unsigned char b = data[i];
            if (text::isLeadByte(b)) {
                const char16_t folded = i + 1 < size ? pair(b, data[i + 1]) : char16_t(0);
                if (folded == 0) {
                    out.resize(before);
                    return false;
                }
                *to++ = folded;
                i += 2;
                continue;
            }
            const char16_t folded = single_[b];
            if (folded == 0) {
                out.resize(before);
                return false;
            }
            if (i + 1 < size) {
                if (const char16_t voiced = joined(b, data[i + 1]); voiced != 0) {
                    *to++ = voiced;
                    i += 2;
                    continue;
                }
            }
            *to++ = folded;
            ++i;
        }
        out.resize(static_cast<std::size_t>(to - out.data()));
        return true;
    }

private:
    static constexpr unsigned char kFirstKana = 0xA1;
    static constexpr unsigned char kLastKana = 0xDF;
    static constexpr unsigned char kVoicedMark = 0xDE;
    static constexpr unsigned char kSemiVoicedMark = 0xDF;
    static bool isHalfKana(unsigned char b) { return b >= kFirstKana && b <= kLastKana; }
    static bool isMark(unsigned char b) { return b == kVoicedMark || b == kSemiVoicedMark; }

    static char16_t foldedCharacter(std::string_view bytes)
    {
        const std::u16string decoded = text::toUnicode(bytes);
        if (decoded.size() != 1) {
            return 0;
        }
        const std::u16string folded = text::foldForSearch(decoded);
        return folded.size() == 1 ? folded.front() : char16_t(0);
    }

    ByteFolding()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const auto b = static_cast<unsigned char>(byte);
            const char one = static_cast<char>(b);
            if (!text::isLeadByte(b)) {
                single_[b] = foldedCharacter(std::string_view(&one, 1));
                continue;
            }
            for (int trail = 0; trail < 256; ++trail) {
                const char two[2] = {one, static_cast<char>(trail)};
                pair_[static_cast<std::size_t>(b) * 256 + static_cast<std::size_t>(trail)] =
                    foldedCharacter(std::string_view(two, 2));
            }
        }
        for (int kana = kFirstKana; kana <= kLastKana; ++kana) {
            for (int mark = kVoicedMark; mark <= kSemiVoicedMark; ++mark) {
                const char two[2] = {static_cast<char>(kana), static_cast<char>(mark)};
                const std::u16string folded = text::foldForSearch(text::toUnicode(std::string_view(two, 2)));
                joined_[static_cast<std::size_t>(kana - kFirstKana) * 2 +
                        static_cast<std::size_t>(mark - kVoicedMark)] =
                    folded.size() == 1 ? folded.front() : char16_t(0);
            }
        }
    }

    std::array<char16_t, 256> single_{};
    std::vector<char16_t> pair_ = std::vector<char16_t>(256 * 256, 0);
    std::array<char16_t, 2 * (kLastKana - kFirstKana + 1)> joined_{};
};

// The characters a text must hold somewhere for its folded text to hold a
// folded word: those that fold to the word's first character, alone or
// with a following ﾞ or ﾟ (ｶ for ガ), followed by one that folds to its
// second. Rows and cells without them are not folded at all. The bytes are looked at without regard to
// character boundaries, so a second byte may let a row through, never keep one out.
class FoldedFirstCharacter {
public:
    explicit FoldedFirstCharacter(std::u16string_view foldedWord)
    {
        if (foldedWord.empty()) {
            return;
        }
        const char16_t first = foldedWord.front();
        first_ = first;
        second_ = foldedWord.size() > 1 ? foldedWord[1] : char16_t(0);
        auto foldsToFirst = [first](std::string_view bytes) {
            for (std::string_view mark :
                 {std::string_view(), std::string_view("\xDE"), std::string_view("\xDF")}) {
                std::string text(bytes);
                text.append(mark);
                const std::u16string folded = text::foldForSearch(text::toUnicode(text));
                if (!folded.empty() && folded.front() == first) {
                    return true;
                }
            }
            return false;
        };
        const ByteFolding& folding = folding_;
        for (int byte = 0; byte < 256; ++byte) {
            const auto b = static_cast<unsigned char>(byte);
            if (text::isLeadByte(b)) {
                for (int trail = 0x40; trail <= 0xFC; ++trail) {
                    const char pair[2] = {static_cast<char>(b), static_cast<char>(trail)};
                    const char16_t folded = folding.pair(b, static_cast<unsigned char>(trail));
                    if (trail != 0x7F &&
                        (folded != 0 ? folded == first : foldsToFirst(std::string_view(pair, 2)))) {
                        kind_[b] |= kLeadOfPair;
                        pairs_[static_cast<std::size_t>(b) * 256 + static_cast<std::size_t>(trail)] = 1;
                    }
                }
            } else if (byte != 0) {
                const char single = static_cast<char>(b);
                const char16_t folded = folding.single(b);
                const bool covered = folded != 0 && !(b >= 0xA1 && b <= 0xDF);
                if (covered ? folded == first : foldsToFirst(std::string_view(&single, 1))) {
                    kind_[b] |= kSingle;
                }
            }
        }
        for (int byte = 0; byte < 256; ++byte) {
            if (kind_[static_cast<std::size_t>(byte)] != 0) {
                candidates_.push_back(static_cast<unsigned char>(byte));
            }
        }
    }

    // The first byte at or after `from` where the word may start (npos when
    // none): a byte that starts no character may show up, never is one
    // where the word does start left out.
    std::size_t nextStart(std::string_view bytes, std::size_t from) const
    {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t size = bytes.size();
        std::size_t i = from;
#ifdef __SSE2__
        // Most bytes cannot start the word: sixteen at a time are compared
        // with the few that can.
        if (!candidates_.empty() && candidates_.size() <= kVectorCandidates) {
            __m128i wanted[kVectorCandidates] = {};
            for (std::size_t c = 0; c < candidates_.size(); ++c) {
                wanted[c] = _mm_set1_epi8(static_cast<char>(candidates_[c]));
            }
            for (; i + 16 <= size; i += 16) {
                const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
                __m128i any = _mm_cmpeq_epi8(block, wanted[0]);
                for (std::size_t c = 1; c < candidates_.size(); ++c) {
                    any = _mm_or_si128(any, _mm_cmpeq_epi8(block, wanted[c]));
                }
                auto mask = static_cast<unsigned>(_mm_movemask_epi8(any));
                while (mask != 0) {
                    const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
                    mask &= mask - 1;
                    if (startsHere(data, size, i + bit)) {
                        return i + bit;
                    }
                }
            }
        }
#endif
        for (; i < size; ++i) {
            if (kind_[data[i]] != 0 && startsHere(data, size, i)) {
                return i;
            }
        }
        return std::string_view::npos;
    }

private:
    // Whether the word may start at byte `i`, one whose kind is not 0.
    bool startsHere(const unsigned char* data, std::size_t size, std::size_t i) const
    {
        const unsigned char kind = kind_[data[i]];
        const bool pairHere =
            (kind & kLeadOfPair) != 0 && i + 1 < size &&
            pairs_[static_cast<std::size_t>(data[i]) * 256 + static_cast<std::size_t>(data[i + 1])] != 0;
        if ((kind & kSingle) == 0 && !pairHere) {
            return false;
        }
        if (second_ == 0) {
            return true;
        }
        // The character here folds to the first of the word (or may):
        // the one after it must fold to the second.
        std::size_t next = 0;
        if (pairHere) {
            if (folding_.pair(data[i], data[i + 1]) == 0) {
                return true;
            }
            next = i + 2;
        } else {
            const char16_t joined = i + 1 < size ? folding_.joined(data[i], data[i + 1]) : char16_t(0);
            const char16_t alone = folding_.single(data[i]);
            if (joined == 0 && alone == 0) {
                return true;
            }
            if ((joined != 0 ? joined : alone) != first_) {
                return false;
            }
            next = joined != 0 ? i + 2 : i + 1;
        }
        return next < size && foldsTo(data, size, next, second_);
    }

    // Whether the character at `at` folds to `unit`; true as well when the
    // tables do not cover it.
    bool foldsTo(const unsigned char* data, std::size_t size, std::size_t at, char16_t unit) const
    {
        const unsigned char b = data[at];
        char16_t folded = 0;
        if (text::isLeadByte(b)) {
            folded = at + 1 < size ? folding_.pair(b, data[at + 1]) : char16_t(0);
        } else {
            const char16_t joined = at + 1 < size ? folding_.joined(b, data[at + 1]) : char16_t(0);
            folded = joined != 0 ? joined : folding_.single(b);
        }
        return folded == 0 || folded == unit;
    }

    static constexpr unsigned char kSingle = 1;
    static constexpr unsigned char kLeadOfPair = 2;
    std::array<unsigned char, 256> kind_{};
    std::vector<unsigned char> pairs_ = std::vector<unsigned char>(256 * 256, 0);
    static constexpr std::size_t kVectorCandidates = 4;
    std::vector<unsigned char> candidates_;  // the bytes whose kind is not 0
    const ByteFolding& folding_ = ByteFolding::instance();
    char16_t first_ = 0;
    char16_t second_ = 0;  // 0: the word is one character
};

// The columns of an album whose folded text holds the folded word. Only
// the cells where the word may start are folded, one at a time, so a hit
// never spans two cells.
std::vector<int> foldedMatchingColumns(const AlbumTable& table, int album, std::u16string_view foldedWord,
                                       const FoldedFirstCharacter& first, std::u16string& folded)
{
    std::vector<int> columns;
    if (foldedWord.empty()) {
        return columns;
    }
    const std::string_view line = table.rowLine(album);
    std::size_t at = first.nextStart(line, 0);
    if (at == std::string_view::npos) {
        return columns;
    }
    const ByteFolding& folding = ByteFolding::instance();
    // The cell a start lies in is found by counting the separators since
    // the cell of the start before, not by splitting the whole row: most
    // rows hold no start or only a few.
    std::size_t cellStart = 0;
    std::size_t column = 0;
    while (at != std::string_view::npos) {
        std::size_t last = 0;
        const std::size_t passed = store::countSeparators(line, cellStart, at, &last);
        if (passed > 0) {
            column += passed;
            cellStart = last + 2;
        }
        if (column >= static_cast<std::size_t>(kColumnCount)) {
            break;
        }
        const bool lastColumn = column + 1 == static_cast<std::size_t>(kColumnCount);
        const std::size_t cellEnd = lastColumn ? line.size() : store::fieldEnd(line, cellStart);
        if (at < cellEnd) {
            const std::string_view cell = line.substr(cellStart, cellEnd - cellStart);
            folded.clear();
            if (!folding.append(folded, cell)) {
                text::appendFoldedForSearch(folded, cell);
            }
            if (folded.find(foldedWord) != std::u16string::npos) {
                columns.push_back(static_cast<int>(column));
            }
        }
        // One hit per cell (a start in the separator after it has none):
        // go on in the next one.
        if (lastColumn) {
            break;
        }
        cellStart = cellEnd + 2;
        ++column;
        at = first.nextStart(line, cellStart);
    }
    return columns;
}

}  // namespace

std::vector<SearchHit> search(const AlbumTable& table, const std::vector<int>& albumSet, int group,
                              std::string_view word, const Progress& progress, SearchMode mode)
{
    const std::string upperWord = upperForMatch(word);
    std::vector<SearchHit> hits;
    if (group < 0 || group > SearchAll) {
        return hits;
    }
    const int albums = table.albumCount();
    const bool cased = hasLetterCase(upperWord);
    const bool asciiWord = std::all_of(upperWord.begin(), upperWord.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const AsciiSearcher searcher(upperWord);
    const std::u16string foldedWord =
        mode == SearchMode::Folded ? text::foldForSearch(text::toUnicode(word)) : std::u16string();
    std::optional<FoldedFirstCharacter> foldedFirst;
    if (mode == SearchMode::Folded) {
        foldedFirst.emplace(foldedWord);
    }
    // Each album is scanned once; the passes then read what matched.
    std::vector<std::vector<int>> matches(albumSet.size());
    std::string buffer;
    std::u16string folded;
    for (std::size_t i = 0; i < albumSet.size(); ++i) {
        if (albumSet[i] < 1 || albumSet[i] > albums) {
            continue;
        }
        if (foldedFirst) {
            matches[i] = foldedMatchingColumns(table, albumSet[i], foldedWord, *foldedFirst, folded);
            continue;
        }
        matches[i] = matchingColumns(table, albumSet[i], upperWord, cased, asciiWord, &searcher, buffer);
    }
    auto pass = [&](int maximum, const std::function<void(int column, int album)>& visit) {
        if (progress) {
            progress(maximum, -1);
        }
        for (std::size_t i = 0; i < albumSet.size(); ++i) {
            for (int column : matches[i]) {
                visit(column, albumSet[i]);
            }
            if (progress) {
                progress(maximum, static_cast<int>(i));
            }
        }
    };
    auto songOf = [](int c) {
        if (c >= songTitleColumn(1) && c <= songTitleColumn(kSongSlots)) {
            return c - SongColumns;
        }
        if (c >= songArtistColumn(1) && c <= songArtistColumn(kSongSlots)) {
            return c - SongArtistColumns;
        }
        return c >= mediaColumn(1) ? c - MediaPathColumns : 0;
    };
    static constexpr int kFirstPass[] = {ArtistColumn,    AlbumColumn,     -1,          Category1Column,
                                         Category2Column, Category3Column, ArtistColumn};
    if (group == SearchSong) {
        pass(albums, [&](int c, int album) {
            if (c >= songTitleColumn(1) && c <= songTitleColumn(kSongSlots)) {
                hits.push_back({album, songOf(c)});
            }
        });
        return hits;
    }
    pass(static_cast<int>(albumSet.size()) - 1, [&](int c, int album) {
        if (c == kFirstPass[group]) {
            hits.push_back({album, 0});
        }
    });
    if (group == SearchArtist) {
        pass(albums, [&](int c, int album) {
            if (c >= songArtistColumn(1) && c <= songArtistColumn(kSongSlots)) {
                hits.push_back({album, songOf(c)});
            }
        });
    } else if (group == SearchAll) {
        pass(albums, [&](int c, int album) { hits.push_back({album, songOf(c)}); });
    }
    return hits;
}

std::vector<std::string> searchSuggestions(const AlbumTable& table, int group)
{
    static constexpr int kColumn[] = {ArtistColumn,    AlbumColumn,     -1,
                                      Category1Column, Category2Column, Category3Column};
    if (group < 0 || group >= SearchAll) {
        return {};
    }
    std::vector<std::string> entries;
    std::unordered_set<std::string> seen;  // upper-cased
    // A text met before (most are: an artist has many albums) needs no
    // upper-casing; the views live as long as the table is not changed.
    std::unordered_set<std::string_view> met;
    auto add = [&](std::string_view cell) {
        if (met.insert(cell).second && seen.insert(upperForMatch(cell)).second) {
            entries.emplace_back(cell);
        }
    };
    for (int row = table.albumCount(); row >= 1; --row) {
        if (group == SearchSong) {
            AlbumTable::RowCells cells = table.rowCells(row);
            for (int n = 1; n <= kSongSlots; ++n) {
                add(cells[static_cast<std::size_t>(songTitleColumn(n))]);
            }
        } else {
            // One cell: the row is read only as far as that cell.
            add(table.cell(kColumn[group], row));
        }
    }
    std::stable_sort(entries.begin(), entries.end(), lessAsText);
    return entries;
}

std::vector<int> groupColumns(int group)
{
    std::vector<int> columns;
    auto songs = [&](int (*column)(int)) {
        for (int n = 1; n <= kSongSlots; ++n) {
            columns.push_back(column(n));
        }
    };
    switch (group) {
        case 0:
            columns.push_back(ArtistColumn);
            songs(songArtistColumn);
            break;
        case 1:
            columns.push_back(FuriganaColumn);
            break;
        case 2:
            columns.push_back(AlbumColumn);
            break;
        case 3:
            songs(songTitleColumn);
            break;
        case 4:
            columns.push_back(Category1Column);
            break;
        case 5:
            columns.push_back(Category2Column);
            break;
        case 6:
            columns.push_back(Category3Column);
            break;
        case 7:
            songs(mediaColumn);
            break;
        case 8:
            columns.push_back(ImagePathColumn);
            break;
        default:
            break;
    }
    return columns;
}

namespace {

// The characters after which a word starts.
const std::vector<std::string>& wordSeparators()
{
    static const std::vector<std::string> separators = [] {
        const std::u16string all =
            u" \u3000(\uFF08/\uFF0F)\uFF09,\u3001.\u3002[\u300E]\u300F<\u300C>\u300D?\uFF1F!"
            u"\uFF01&\uFF06\"\u201D-\uFF5E";
        std::vector<std::string> list;
        for (char16_t c : all) {
            list.push_back(text::fromUnicode(std::u16string_view(&c, 1)).bytes);
        }
        return list;
    }();
    return separators;
}

}  // namespace

std::string capitaliseWords(std::string_view cell)
{
    const std::string lower = text::toLowerCase(cell);
    const auto& separators = wordSeparators();
    std::string out;
    out.reserve(lower.size());
    bool capitaliseNext = true;
    for (std::size_t i = 0; i < lower.size();) {
        const std::size_t length = text::charLength(lower, i);
        std::string character = lower.substr(i, length);
        if (capitaliseNext) {
            character = text::toUpperCase(character);
        }
        capitaliseNext = std::find(separators.begin(), separators.end(), character) != separators.end();
        out += character;
        i += length;
    }
    return out;
}

std::string convertText(std::string_view cell, int kind)
{
    switch (kind) {
        case ToUpper:
            return text::toUpperCase(cell);
        case ToLower:
            return text::toLowerCase(cell);
        case CapitaliseWords:
            return capitaliseWords(cell);
        case ToFullWidth:
            return text::toFullWidth(cell);
        case ToHalfWidth:
            return text::toHalfWidth(cell);
        default:
            return std::string(cell);
    }
}

std::string replaceText(std::string_view cell, std::string_view find, std::string_view replacement)
{
    if (find.empty() || cell.empty()) {
        return std::string(cell);
    }
    // Upper-casing keeps byte lengths, so positions found in the upper-cased
    // cell are positions in the cell itself.
    const std::string upperCell = upperForMatch(cell);
    const std::string upperFind = upperForMatch(find);
    std::string out;
    std::size_t from = 0;
    for (;;) {
        std::size_t at = text::findOnBoundary(upperCell, upperFind, from);
        if (at == std::string::npos) {
            break;
        }
        out.append(cell.substr(from, at - from)).append(replacement);
        from = at + find.size();
    }
    out.append(cell.substr(from));
    return out;
}

BulkResult rewriteAlbums(AlbumTable& table, const std::vector<int>& albumSet, int group,
                         const Progress& progress,
                         const std::function<std::string(std::string_view)>& rewrite,
                         const CellRewritten& rewritten)
{
    BulkResult result;
    const std::vector<int> columns = groupColumns(group);
    if (progress) {
        progress(static_cast<int>(albumSet.size()), -1);
    }
    for (std::size_t i = 0; i < albumSet.size(); ++i) {
        const int album = albumSet[i];
        if (album >= 1 && album <= table.albumCount()) {
            AlbumTable::RowCells cells = table.rowCells(album);
            std::vector<std::pair<int, std::string>> changes;
            for (int column : columns) {
                std::string_view cell = cells[static_cast<std::size_t>(column)];
                if (cell.empty()) {
                    continue;
                }
                std::string updated = rewrite(cell);
                if (updated == cell) {
                    continue;
                }
                // A result the data file could not carry keeps the old text.
                if (checkCell(column, updated) != CellProblem::None) {
                    ++result.refusedCells;
                    continue;
                }
                changes.emplace_back(column, std::move(updated));
            }
            if (!changes.empty()) {
                AlbumRecord record = table.record(album);
                for (auto& [column, text] : changes) {
                    if (rewritten) {
                        rewritten(album, column, record[column]);
                    }
                    record[column] = std::move(text);
                }
                table.setRecord(album, record);
                result.changedCells += static_cast<int>(changes.size());
                result.changedAlbums.push_back(album);
            }
        }
        if (progress) {
            progress(static_cast<int>(albumSet.size()), static_cast<int>(i));
        }
    }
    return result;
}

BulkResult convertAlbums(AlbumTable& table, const std::vector<int>& albumSet, int group, int kind,
                         const Progress& progress)
{
    return rewriteAlbums(table, albumSet, group, progress,
                         [kind](std::string_view cell) { return convertText(cell, kind); });
}

BulkResult replaceInAlbums(AlbumTable& table, const std::vector<int>& albumSet, int group,
                           std::string_view find, std::string_view replacement, const Progress& progress)
{
    return rewriteAlbums(table, albumSet, group, progress,
                         [&](std::string_view cell) { return replaceText(cell, find, replacement); });
}

}  // namespace velmora::textops
