#include "core/text/kana_width.h"

#include <unicode/uchar.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/text/cp932.h"

namespace velmora::text {

namespace {

// What a mapping puts in place of one character: one or two characters (a
// voiced kana split into base and mark needs two), and whether the
// character after it is taken in too (a voicing mark joined to its kana).
// No characters: the character stays as it is.
struct Replacement {
    char16_t units[2] = {};
    std::size_t count = 0;
    bool takesNext = false;
};

constexpr Replacement keep()
{
    return {};
}

constexpr Replacement one(char16_t c)
{
    return {{c, 0}, 1, false};
}

constexpr Replacement two(char16_t first, char16_t second)
{
    return {{first, second}, 2, false};
}

// Stands for bytes that are not a character (an undefined pair, a lone lead
// byte, an unmapped single byte). NUL decodes to the same value, which is
// harmless: no mapping touches it.
constexpr char16_t kNoChar = 0;

constexpr bool isRawByteChar(char16_t c)
{
    return c >= kRawByteBase && c <= kRawByteBase + 0xFF;
}

// The character that the bytes of one stepped character stand for.
char16_t decodeChar(std::string_view bytes)
{
    const std::u16string decoded = toUnicode(bytes);
    if (decoded.size() != 1 || isRawByteChar(decoded[0])) {
        return kNoChar;
    }
    return decoded[0];
}

// The first character of `text` (kNoChar when it is empty).
char16_t firstChar(std::string_view text)
{
    return text.empty() ? kNoChar : decodeChar(text.substr(0, charLength(text, 0)));
}

bool cp932Holds(char16_t c)
{
    return fromUnicode(std::u16string_view(&c, 1)).ok;
}

// Walks the text character by character. `rule(c, rest)` gets the decoded
// character and the bytes after it and says what replaces it. Only a
// character that changed is encoded; all other bytes are copied through.
template <typename Rule>
std::string mapChars(std::string_view text, Rule rule)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = charLength(text, pos);
        const std::string_view original = text.substr(pos, length);
        const std::string_view rest = text.substr(pos + length);
        pos += length;

        const char16_t c = decodeChar(original);
        const Replacement r = c == kNoChar ? keep() : rule(c, rest);
        const bool unchanged = r.count == 0 || (r.count == 1 && r.units[0] == c && !r.takesNext);
        if (!unchanged) {
            const EncodeResult encoded = fromUnicode(std::u16string_view(r.units, r.count));
            if (encoded.ok) {
                out += encoded.bytes;
                if (r.takesNext && !rest.empty()) {
                    pos += charLength(rest, 0);
                }
                continue;
            }
        }
        out += original;
    }
    return out;
}

// --- Kana --------------------------------------------------------------------

constexpr char16_t kFirstKatakana = u'ァ';         // U+30A1
constexpr char16_t kLastKatakana = u'ヶ';          // U+30F6
constexpr char16_t kFirstHiragana = u'ぁ';         // U+3041
constexpr char16_t kLastHiragana = u'ゖ';          // U+3096
constexpr char16_t kKanaDistance = u'ァ' - u'ぁ';  // katakana = hiragana + 0x60

// --- Width -------------------------------------------------------------------

constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr char16_t kFirstFullAscii = u'！';  // U+FF01, the twin of '!'
constexpr char16_t kLastFullAscii = u'～';   // U+FF5E, the twin of '~'
constexpr char16_t kFullAsciiDistance = kFirstFullAscii - u'!';

// ASCII whose full-width form is not its U+FF01..U+FF5E twin. They map one
// way only: the curly quotes have no half-width form.
struct QuoteForm {
    char16_t ascii;
    char16_t full;
};
constexpr QuoteForm kQuoteForms[] = {
    {u'\'', u'’'},  // U+2019
    {u'"', u'”'},   // U+201D
    {u'`', u'‘'},   // U+2018
};

// The full-width forms of the half-width katakana block, U+FF61..U+FF9F in
// code order: punctuation, small kana, the prolonged sound mark, the kana,
// and the voicing marks.
constexpr char16_t kFirstHalfKana = u'｡';  // U+FF61
constexpr char16_t kLastHalfKana = u'ﾟ';   // U+FF9F
constexpr char16_t kHalfVoicedMark = u'ﾞ';
constexpr char16_t kHalfSemiVoicedMark = u'ﾟ';
constexpr std::u16string_view kFullOfHalfKana =
    u"。「」、・ヲァィゥェォャュョッー"
    u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン"
    u"゛゜";
static_assert(kFullOfHalfKana.size() == kLastHalfKana - kFirstHalfKana + 1);

// Kana that take a voicing mark, with their voiced and semi-voiced forms
// (0: none). ヷ and ヺ are not in CP932, so ﾜﾞ and ｦﾞ stay two characters.
struct Voicing {
    char16_t plain;
    char16_t voiced;
    char16_t semiVoiced;
};
constexpr Voicing kVoicings[] = {
    {u'ウ', u'ヴ', 0},     {u'カ', u'ガ', 0},     {u'キ', u'ギ', 0},     {u'ク', u'グ', 0},
    {u'ケ', u'ゲ', 0},     {u'コ', u'ゴ', 0},     {u'サ', u'ザ', 0},     {u'シ', u'ジ', 0},
    {u'ス', u'ズ', 0},     {u'セ', u'ゼ', 0},     {u'ソ', u'ゾ', 0},     {u'タ', u'ダ', 0},
    {u'チ', u'ヂ', 0},     {u'ツ', u'ヅ', 0},     {u'テ', u'デ', 0},     {u'ト', u'ド', 0},
    {u'ハ', u'バ', u'パ'}, {u'ヒ', u'ビ', u'ピ'}, {u'フ', u'ブ', u'プ'}, {u'ヘ', u'ベ', u'ペ'},
    {u'ホ', u'ボ', u'ポ'}, {u'ワ', u'ヷ', 0},     {u'ヲ', u'ヺ', 0},
};

// The voiced (or semi-voiced) form of a full-width kana; 0 when it has none.
constexpr char16_t voicedForm(char16_t plain, char16_t mark)
{
    for (const Voicing& v : kVoicings) {
        if (v.plain == plain) {
            return mark == kHalfVoicedMark ? v.voiced : v.semiVoiced;
        }
    }
    return 0;
}

// Half-width form of the characters U+3000..U+30FF: a half-width character
// and, for a voiced kana, its mark. base 0: none.
struct HalfForm {
    char16_t base = 0;
    char16_t mark = 0;
};
constexpr char16_t kFullKanaBlock = 0x3000;
using HalfForms = std::array<HalfForm, 0x100>;

constexpr HalfForms buildHalfForms()
{
    HalfForms forms{};
    for (std::size_t i = 0; i < kFullOfHalfKana.size(); ++i) {
        const auto half = static_cast<char16_t>(kFirstHalfKana + i);
        forms[kFullOfHalfKana[i] - kFullKanaBlock] = {half, 0};
        for (const Voicing& v : kVoicings) {
            if (v.plain != kFullOfHalfKana[i]) {
                continue;
            }
            forms[v.voiced - kFullKanaBlock] = {half, kHalfVoicedMark};
            if (v.semiVoiced != 0) {
                forms[v.semiVoiced - kFullKanaBlock] = {half, kHalfSemiVoicedMark};
            }
        }
    }
    return forms;
}
constexpr HalfForms kHalfForms = buildHalfForms();

Replacement fullWidthOf(char16_t c, std::string_view rest)
{
    if (c == u' ') {
        return one(kIdeographicSpace);
    }
    if (c > u' ' && c <= u'~') {
        for (const QuoteForm& q : kQuoteForms) {
            if (q.ascii == c) {
                return one(q.full);
            }
        }
        return one(static_cast<char16_t>(c + kFullAsciiDistance));
    }
    if (c >= kFirstHalfKana && c <= kLastHalfKana) {
        const char16_t full = kFullOfHalfKana[c - kFirstHalfKana];
        const char16_t next = firstChar(rest);
        if (next == kHalfVoicedMark || next == kHalfSemiVoicedMark) {
            const char16_t voiced = voicedForm(full, next);
            if (voiced != 0 && cp932Holds(voiced)) {
                Replacement joined = one(voiced);
                joined.takesNext = true;
                return joined;
            }
        }
        return one(full);
    }
    return keep();
}

Replacement halfWidthOf(char16_t c)
{
    if (c == kIdeographicSpace) {
        return one(u' ');
    }
    if (c >= kFirstFullAscii && c <= kLastFullAscii) {
        return one(static_cast<char16_t>(c - kFullAsciiDistance));
    }
    if (c >= kFullKanaBlock && c < kFullKanaBlock + kHalfForms.size()) {
        const HalfForm& form = kHalfForms[c - kFullKanaBlock];
        if (form.base == 0) {
            return keep();
        }
        return form.mark == 0 ? one(form.base) : two(form.base, form.mark);
    }
    return keep();
}

// A simple case mapping result, kept only when it is one UTF-16 unit.
Replacement caseMapped(UChar32 mapped)
{
    return mapped >= 0 && mapped <= 0xFFFF ? one(static_cast<char16_t>(mapped)) : keep();
}

}  // namespace

std::string toHiragana(std::string_view cp932)
{
    return mapChars(cp932, [](char16_t c, std::string_view) {
        return c >= kFirstKatakana && c <= kLastKatakana ? one(static_cast<char16_t>(c - kKanaDistance))
                                                         : keep();
    });
}

std::string toKatakana(std::string_view cp932)
{
    return mapChars(cp932, [](char16_t c, std::string_view) {
        return c >= kFirstHiragana && c <= kLastHiragana ? one(static_cast<char16_t>(c + kKanaDistance))
                                                         : keep();
    });
}

std::string toFullWidth(std::string_view cp932)
{
    return mapChars(cp932, fullWidthOf);
}

std::string toHalfWidth(std::string_view cp932)
{
    return mapChars(cp932, [](char16_t c, std::string_view) { return halfWidthOf(c); });
}

std::string toUpperCase(std::string_view cp932)
{
    return mapChars(cp932, [](char16_t c, std::string_view) { return caseMapped(u_toupper(c)); });
}

std::string toLowerCase(std::string_view cp932)
{
    return mapChars(cp932, [](char16_t c, std::string_view) { return caseMapped(u_tolower(c)); });
}

namespace {

constexpr char16_t kWaveDash = u'\u301C';
constexpr char16_t kFullWidthTilde = u'～';
constexpr char16_t kHiraganaIterationMark = u'ゝ';  // U+309D, and ゞ after it
constexpr char16_t kKatakanaIterationMark = u'ヽ';  // U+30FD, and ヾ after it

// The folded form of every UTF-16 unit but the half-width kana (which look
// at the next character); built once.
const std::array<char16_t, 0x10000>& foldTable()
{
    static const std::array<char16_t, 0x10000> table = [] {
        std::array<char16_t, 0x10000> t{};
        for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
            auto c = static_cast<char16_t>(u);
            if (c >= kFirstHiragana && c <= kLastHiragana) {
                c = static_cast<char16_t>(c + kKanaDistance);
            } else if (c == kHiraganaIterationMark || c == kHiraganaIterationMark + 1) {
                c = static_cast<char16_t>(c - kHiraganaIterationMark + kKatakanaIterationMark);
            } else if (c == kIdeographicSpace) {
                c = u' ';
            } else if (c == kWaveDash) {
                c = kFullWidthTilde;
            } else if (c >= kFirstFullAscii && c < kLastFullAscii) {
                c = static_cast<char16_t>(c - kFullAsciiDistance);
            } else if (c >= kFirstHalfKana && c <= kLastHalfKana) {
                c = kFullOfHalfKana[c - kFirstHalfKana];
            }
            const UChar32 upper = u_toupper(c);
            t[u] = upper >= 0 && upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
        }
        return t;
    }();
    return table;
}

// Folds `text` onto the end of `out`.
void appendFolded(std::u16string& out, std::u16string_view text)
{
    const auto& table = foldTable();
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t c = text[i];
        if (c >= kFirstHalfKana && c <= kLastHalfKana && i + 1 < size &&
            (text[i + 1] == kHalfVoicedMark || text[i + 1] == kHalfSemiVoicedMark)) {
            if (const char16_t voiced = voicedForm(table[c], text[i + 1]); voiced != 0) {
                out.push_back(voiced);
                ++i;
                continue;
            }
        }
        out.push_back(table[c]);
    }
}

}  // namespace

std::u16string foldForSearch(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    appendFolded(out, text);
    return out;
}

void appendFoldedForSearch(std::u16string& out, std::string_view cp932)
{
    thread_local std::u16string decoded;
    decoded = toUnicode(cp932);
    appendFolded(out, decoded);
}

}  // namespace velmora::text
