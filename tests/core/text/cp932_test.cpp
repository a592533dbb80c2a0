#include "core/text/cp932.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::text {
namespace {

using namespace std::string_view_literals;

constexpr std::size_t npos = std::string_view::npos;

std::string hex(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
        out += buf;
    }
    if (!out.empty()) {
        out.pop_back();
    }
    return out;
}

// Random byte strings weighted towards the bytes that matter here: lead
// bytes, marker characters, bytes windows-31j leaves unmapped, the NEC/IBM
// duplicate rows, and the control characters ICU maps its own way.
class ByteStringSource {
public:
    explicit ByteStringSource(std::uint32_t seed) : rng_(seed) {}

    std::string next(std::size_t maxLength)
    {
        static constexpr unsigned char kInteresting[] = {
            0x00, 0x1A, 0x1C, 0x7F, 0x5C, 0x7E, 0x7B, 0x7D, 0x3C, 0x3E, 0x40, 0x80, 0xA0, 0xA1, 0xDF, 0xFD,
            0xFE, 0xFF, 0x81, 0x83, 0x85, 0x87, 0x90, 0x9F, 0xE0, 0xEB, 0xED, 0xEE, 0xF0, 0xFA, 0xFC,
        };
        std::string s(rng_() % (maxLength + 1), '\0');
        for (char& c : s) {
            const auto r = static_cast<std::uint32_t>(rng_());
            c = static_cast<char>(r % 2 == 0 ? kInteresting[(r >> 1) % std::size(kInteresting)]
                                             : (r >> 8) & 0xFF);
        }
        return s;
    }

    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(rng_()) % n; }

private:
    std::mt19937 rng_;
};

// Character stepping spelled out the slow way, to check the fast paths.
std::size_t findByWalking(std::string_view haystack, std::string_view needle, std::size_t from)
{
    if (needle.empty()) {
        return npos;
    }
    for (std::size_t i = from; i < haystack.size(); i += charLength(haystack, i)) {
        if (haystack.substr(i, needle.size()) == needle) {
            return i;
        }
    }
    return npos;
}

bool endsWithLoneLeadByteByWalking(std::string_view s)
{
    std::size_t i = 0;
    std::size_t last = 1;
    while (i < s.size()) {
        last = charLength(s, i);
        if (i + last == s.size()) {
            return last == 1 && isLeadByte(static_cast<unsigned char>(s[i]));
        }
        i += last;
    }
    return false;
}

// --- Character stepping ---------------------------------------------------

TEST(Cp932Stepping, CharLength)
{
    struct Case {
        std::string_view bytes;
        std::size_t pos;
        std::size_t expected;
        const char* what;
    };
    const Case cases[] = {
        {"a", 0, 1, "ASCII"},
        {"\x83\x5C", 0, 2, "ソ, second byte is '\\'"},
        {"\x83\x3C", 0, 2, "lead byte takes '<' as its second byte"},
        {"\x81\0"sv, 0, 2, "lead byte takes NUL as its second byte"},
        {"\x83", 0, 1, "lead byte alone at the end"},
        {"a\x83", 1, 1, "lead byte alone at the end after ASCII"},
        {"\x81"
         "a",
         0, 2, "lowest lead byte"},
        {"\x9F"
         "a",
         0, 2, "last lead byte of the first range"},
        {"\xE0"
         "a",
         0, 2, "first lead byte of the second range"},
        {"\xFC"
         "a",
         0, 2, "last lead byte"},
        {"\x80"
         "a",
         0, 1, "0x80 is no lead byte"},
        {"\xA0"
         "a",
         0, 1, "0xA0 is no lead byte"},
        {"\xB6"
         "a",
         0, 1, "half-width katakana"},
        {"\xDF"
         "a",
         0, 1, "last half-width katakana"},
        {"\xFD"
         "a",
         0, 1, "0xFD is no lead byte"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(charLength(c.bytes, c.pos), c.expected) << c.what;
    }
}

TEST(Cp932Stepping, EndsWithLoneLeadByte)
{
    struct Case {
        std::string_view bytes;
        bool expected;
        const char* what;
    };
    const Case cases[] = {
        {"", false, "empty"},
        {"abc", false, "ASCII"},
        {"\x83", true, "only a lead byte"},
        {"ab\x83", true, "lead byte after ASCII"},
        {"\x83\x83", false, "ャ"},
        {"\x83\x83\x83", true, "ャ and a lead byte"},
        {"\x88\x9F\x83", true, "亜 (second byte in the lead range) and a lead byte"},
        {"a\x83\\", false, "ソ at the end"},
        {"\x83\\\x83", true, "ソ and a lead byte"},
        {"\x83\x3C", false, "invalid pair still counts as one character"},
        {"\xA0", false, "0xA0"},
        {"\x80", false, "0x80"},
        {"\xFD", false, "0xFD"},
        {"\xB6", false, "half-width katakana"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(endsWithLoneLeadByte(c.bytes), c.expected) << c.what;
    }
}

TEST(Cp932Stepping, EndsWithLoneLeadByteAgreesWithWalkingFromTheStart)
{
    ByteStringSource source(7);
    for (int i = 0; i < 20000; ++i) {
        const std::string s = source.next(12);
        ASSERT_EQ(endsWithLoneLeadByte(s), endsWithLoneLeadByteByWalking(s)) << hex(s);
    }
}

// --- Searching on character boundaries ------------------------------------

TEST(Cp932Find, OnlyOnCharacterBoundaries)
{
    struct Case {
        std::string_view haystack;
        std::string_view needle;
        std::size_t from;
        std::size_t expected;
        const char* what;
    };
    const Case cases[] = {
        {"a{}", "{}", 0, 1, "after a single-byte character"},
        {"\x83{}", "{}", 0, npos, "'{' is the second byte of ボ"},
        {"\x83{{}", "{}", 0, 2, "right after ボ"},
        {"\x83}}", "}}", 0, npos, "'}' is the second byte of マ"},
        {"\x83}}", "}", 0, 2, "single '}' after マ"},
        {"\x83<a<", "<", 0, 3, "lead byte takes '<' as its second byte"},
        {"\x83>", ">", 0, npos, "lead byte takes '>' as its second byte"},
        {"\x83\x83\x83\x83{", "{", 0, 4, "after ャャ, second bytes in the lead range"},
        {"\x83\x83\x83{", "{", 0, npos, "ャ then ボ"},
        {"\x88\x9F{", "{", 0, 2, "after 亜"},
        {"\x9F{", "{", 0, npos, "0x9F is a lead byte"},
        {"\xA0\x83{{", "{", 0, 3, "0xA0 is no lead byte, so ボ follows it"},
        {"\xFD{", "{", 0, 1, "0xFD is no lead byte"},
        {"\x81\x40{", "{", 0, 2, "after an ideographic space"},
        {"\x83\x83\\", "\x83\\", 0, npos, "bytes of ソ straddling ャ and '\\'"},
        {"\x83\x83\x83\\", "\x83\\", 0, 2, "ソ after ャ"},
        {"ab\x83", "\x83", 0, 2, "lead byte alone at the end"},
        {"{a{", "{", 1, 2, "search starts at `from`"},
        {"{a{", "{", 3, npos, "`from` at the end"},
        {"ab", "b", 5, npos, "`from` past the end"},
        {"abc", "", 0, npos, "empty needle"},
        {"ab", "abc", 0, npos, "needle longer than the text"},
        {"\x83{\x83{\x83{a{", "{", 0, 7, "several false hits before the real one"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findOnBoundary(c.haystack, c.needle, c.from), c.expected) << c.what;
    }
}

TEST(Cp932Find, ContainsOnBoundary)
{
    EXPECT_TRUE(containsOnBoundary("a<>b", "<>"));
    EXPECT_FALSE(containsOnBoundary("\x83<>", "<>"));
    EXPECT_TRUE(containsOnBoundary("\x83<<>", "<>"));
}

TEST(Cp932Find, AgreesWithWalkingFromTheStart)
{
    // A small alphabet makes hits, false hits and long lead-byte runs common.
    const std::string_view needles[] = {"{", "}", "{}", "<>", "\x83", "\x83{", "{\x83", "\\"};
    const char alphabet[] = {'\x83', '{', '}', '<', '>', 'a', '\\', '\x9F'};
    std::mt19937 rng(11);
    for (int i = 0; i < 20000; ++i) {
        std::string haystack(rng() % 16, '\0');
        for (char& c : haystack) {
            c = alphabet[rng() % std::size(alphabet)];
        }
        // Any character boundary may be the starting point.
        std::vector<std::size_t> boundaries;
        for (std::size_t p = 0; p < haystack.size(); p += charLength(haystack, p)) {
            boundaries.push_back(p);
        }
        boundaries.push_back(haystack.size());
        const std::size_t from = boundaries[rng() % boundaries.size()];
        for (const std::string_view needle : needles) {
            ASSERT_EQ(findOnBoundary(haystack, needle, from), findByWalking(haystack, needle, from))
                << hex(haystack) << " / " << hex(needle) << " from " << from;
        }
    }
}

// --- Decoding --------------------------------------------------------------

TEST(Cp932Decode, Characters)
{
    struct Case {
        std::string_view bytes;
        std::u16string expected;
        const char* what;
    };
    const Case cases[] = {
        {"", u"", "empty"},
        {"Abc\\~", u"Abc\\~", "0x5C and 0x7E stay backslash and tilde"},
        {"\0\x01\x1A\x1C\x1F\x7F"sv, {0x00, 0x01, 0x1A, 0x1C, 0x1F, 0x7F}, "control characters as they are"},
        {"\x83\x5C\x83\x83", u"ソャ", "katakana"},
        {"\x83{\x83}", u"ボマ", "second bytes '{' and '}'"},
        {"\x89\xB9\x8A\x79", u"音楽", "kanji"},
        {"\xB6\xC0\xA1\xDF", u"ｶﾀ｡ﾟ", "half-width katakana"},
        {"\x81\x60", u"\uFF5E", "0x8160 is the full-width tilde"},
        {"\x81\x5F", u"\uFF3C", "0x815F is the full-width backslash"},
        {"\xF0\x40\xF9\xFC", u"\uE000\uE757", "user-defined area"},
        {"\x80\xA0\xFD\xFE\xFF", u"\uF780\uF7A0\uF7FD\uF7FE\uF7FF", "bytes windows-31j leaves unmapped"},
        {"a\x83", u"a\uF783", "lead byte alone at the end"},
        {"\x83<", u"\uF783\uF73C", "invalid second byte: both bytes kept"},
        {"\x81\x7F"
         "a",
         u"\uF781\uF77Fa", "0x7F is never a second byte"},
        {"\x81\xFD", u"\uF781\uF7FD", "0xFD is never a second byte"},
        {"\x83\0"sv, u"\uF783\uF700", "NUL after a lead byte"},
        {"\x85\x40\xEB\x40", u"\uF785\uF740\uF7EB\uF740", "unassigned codes"},
        {"\x87\x90\x81\xE0", u"\u2252\u2252", "NEC duplicate and its JIS twin"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUnicode(c.bytes), c.expected) << c.what;
    }
}

TEST(Cp932Decode, EachSingleByteIsOneCharacter)
{
    for (unsigned b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::u16string decoded = toUnicode(byte);
        ASSERT_EQ(decoded.size(), 1u) << hex(byte);
        if (b < 0x80) {
            EXPECT_EQ(decoded[0], b) << hex(byte);
        } else if (b >= 0xA1 && b <= 0xDF) {
            EXPECT_EQ(decoded[0], 0xFF61 + (b - 0xA1)) << hex(byte);
        } else {
            EXPECT_EQ(decoded[0], kRawByteBase + b) << hex(byte);
        }
    }
}

TEST(Cp932Decode, EachPairIsOneCharacterOrTwoRawBytes)
{
    std::size_t characters = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead))) {
            continue;
        }
        for (unsigned trail = 0; trail < 256; ++trail) {
            const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string decoded = toUnicode(pair);
            if (decoded.size() == 1) {
                EXPECT_GE(decoded[0], 0x80) << hex(pair);
                EXPECT_FALSE(decoded[0] >= 0xF700 && decoded[0] <= 0xF7FF) << hex(pair);
                EXPECT_GE(trail, 0x40u) << hex(pair);
                ++characters;
            } else {
                const std::u16string raw = {static_cast<char16_t>(kRawByteBase + lead),
                                            static_cast<char16_t>(kRawByteBase + trail)};
                EXPECT_EQ(decoded, raw) << hex(pair);
            }
        }
    }
    // JIS X 0208 with the NEC and IBM extensions and the user-defined area
    // has close to ten thousand codes.
    EXPECT_GT(characters, 9000u);
}

// --- Encoding --------------------------------------------------------------

TEST(Cp932Encode, JapaneseText)
{
    const std::u16string text = u"音楽ＣＤ　ｶﾀｶﾅ";
    const EncodeResult encoded = fromUnicode(text);
    ASSERT_TRUE(encoded.ok);
    EXPECT_EQ(hex(encoded.bytes), hex("\x89\xB9\x8A\x79\x82\x62\x82\x63\x81\x40\xB6\xC0\xB6\xC5"));
    EXPECT_EQ(toUnicode(encoded.bytes), text);
}

TEST(Cp932Encode, JisVariantsTakeTheCp932Code)
{
    struct Case {
        std::u16string jisForm;
        std::u16string cp932Form;
        std::string_view bytes;
    };
    const Case cases[] = {
        {u"\u301C", u"\uFF5E", "\x81\x60"},  // wave dash
        {u"\u2016", u"\u2225", "\x81\x61"},  // double vertical line
        {u"\u2212", u"\uFF0D", "\x81\x7C"},  // minus sign
        {u"\u00A2", u"\uFFE0", "\x81\x91"},  // cent sign
        {u"\u00A3", u"\uFFE1", "\x81\x92"},  // pound sign
        {u"\u00AC", u"\uFFE2", "\x81\xCA"},  // not sign
    };
    for (const Case& c : cases) {
        const EncodeResult fromJis = fromUnicode(c.jisForm);
        const EncodeResult fromCp932 = fromUnicode(c.cp932Form);
        ASSERT_TRUE(fromJis.ok) << hex(c.bytes);
        ASSERT_TRUE(fromCp932.ok) << hex(c.bytes);
        EXPECT_EQ(hex(fromJis.bytes), hex(c.bytes));
        EXPECT_EQ(hex(fromCp932.bytes), hex(c.bytes));
        EXPECT_EQ(toUnicode(c.bytes), c.cp932Form);
    }
}

TEST(Cp932Encode, ControlCharactersAndRawBytes)
{
    struct Case {
        std::u16string text;
        std::string_view bytes;
        const char* what;
    };
    const Case cases[] = {
        {{0x00, 0x1A, 0x1C, 0x7F}, "\0\x1A\x1C\x7F"sv, "control characters as they are"},
        {u"\\~", "\\~", "backslash and tilde"},
        {u"\uF780\uF7A0\uF7FF", "\x80\xA0\xFF", "raw bytes"},
        {u"\uF783\uF73C", "\x83<", "raw bytes of an invalid pair"},
        {u"\uF783", "\x83", "raw lead byte"},
        {u"\uF741", "A", "a raw byte may spell an ASCII character"},
    };
    for (const Case& c : cases) {
        const EncodeResult encoded = fromUnicode(c.text);
        ASSERT_TRUE(encoded.ok) << c.what;
        EXPECT_EQ(hex(encoded.bytes), hex(c.bytes)) << c.what;
    }
}

TEST(Cp932Encode, RefusesCharactersWithoutACode)
{
    struct Case {
        std::u16string text;
        char32_t badChar;
        std::size_t badIndex;
        const char* what;
    };
    const Case cases[] = {
        {u"ab\U0001F600c", 0x1F600, 2, "emoji, a surrogate pair"},
        {u"x\u00E9\U0001F600", 0xE9, 1, "the first of several is reported"},
        {u"\u97F3\U00020B9F", 0x20B9F, 1, "ideograph outside the BMP"},
        {{u'a', 0xD83D}, 0xD83D, 1, "lone high surrogate at the end"},
        {{0xD83D, u'a'}, 0xD83D, 0, "high surrogate without its low half"},
        {{0xDE00, 0xD83D}, 0xDE00, 0, "surrogates in the wrong order"},
        {u"\u00A5", 0xA5, 0, "yen sign"},
        {u"\u0080", 0x80, 0, "C1 control"},
        {u"a\u200Bb", 0x200B, 1, "zero width space, which ICU would drop"},
        {u"\uFEFF", 0xFEFF, 0, "byte order mark, which ICU would drop"},
        {u"\u2764\uFE0F", 0x2764, 0, "heavy black heart"},
        {u"\uFF5E\uFE0F", 0xFE0F, 1, "variation selector, which ICU would drop"},
        {u"\uF86F", 0xF86F, 0, "private use character ICU would turn into another one"},
    };
    for (const Case& c : cases) {
        const EncodeResult encoded = fromUnicode(c.text);
        EXPECT_FALSE(encoded.ok) << c.what;
        EXPECT_EQ(encoded.badChar, c.badChar) << c.what;
        EXPECT_EQ(encoded.badIndex, c.badIndex) << c.what;
    }
}

// --- NEC and IBM duplicates -------------------------------------------------

TEST(Cp932Duplicates, DecodeToOneCharacterAndKeepTheirBytesWhenPreserved)
{
    struct Case {
        std::string_view bytes;
        char16_t decoded;
        std::string_view encoded;  // the code fromUnicode picks for that character
    };
    const Case cases[] = {
        {"\x87\x90", 0x2252, "\x81\xE0"},  // NEC row 13 / JIS X 0208
        {"\x87\x9A", 0x2235, "\x81\xE6"},  // NEC row 13 / JIS X 0208
        {"\xFA\x5B", 0x2235, "\x81\xE6"},  // IBM extension / JIS X 0208
        {"\xFA\x54", 0xFFE2, "\x81\xCA"},  // IBM extension / JIS X 0208
        {"\xED\x40", 0x7E8A, "\xFA\x5C"},  // NEC-selected IBM / IBM extension
        {"\xEE\xEF", 0x2170, "\xFA\x40"},  // NEC-selected IBM / IBM extension
    };
    for (const Case& c : cases) {
        const std::u16string text = toUnicode(c.bytes);
        EXPECT_EQ(text, std::u16string(1, c.decoded)) << hex(c.bytes);

        const EncodeResult plain = fromUnicode(text);
        ASSERT_TRUE(plain.ok);
        EXPECT_EQ(hex(plain.bytes), hex(c.encoded));

        const EncodeResult preserved = fromUnicodePreserving(c.bytes, text);
        ASSERT_TRUE(preserved.ok);
        EXPECT_EQ(hex(preserved.bytes), hex(c.bytes));
    }
}

// --- Round trips -------------------------------------------------------------

// Decoding then encoding against the original gives the original back, and
// the decoded text always encodes to bytes that decode to the same text.
void expectRoundTrip(std::string_view bytes)
{
    const std::u16string text = toUnicode(bytes);
    const EncodeResult preserved = fromUnicodePreserving(bytes, text);
    ASSERT_TRUE(preserved.ok) << hex(bytes);
    ASSERT_EQ(hex(preserved.bytes), hex(bytes));

    const EncodeResult plain = fromUnicode(text);
    ASSERT_TRUE(plain.ok) << hex(bytes);
    ASSERT_EQ(plain.bytes.size(), bytes.size()) << hex(bytes);
    ASSERT_EQ(toUnicode(plain.bytes), text) << hex(bytes);
}

TEST(Cp932RoundTrip, AllSingleBytes)
{
    for (unsigned b = 0; b < 256; ++b) {
        expectRoundTrip(std::string(1, static_cast<char>(b)));
    }
}

TEST(Cp932RoundTrip, AllTwoByteStrings)
{
    for (unsigned first = 0; first < 256; ++first) {
        for (unsigned second = 0; second < 256; ++second) {
            expectRoundTrip(std::string{static_cast<char>(first), static_cast<char>(second)});
        }
    }
}

TEST(Cp932RoundTrip, RandomByteStrings)
{
    ByteStringSource source(20240611);
    for (int i = 0; i < 20000; ++i) {
        expectRoundTrip(source.next(24));
    }
}

// --- Encoding an edit ----------------------------------------------------------

TEST(Cp932Preserving, UnchangedEndsKeepTheirBytes)
{
    struct Case {
        std::string_view original;
        std::u16string text;
        std::string_view expected;
        const char* what;
    };
    const Case cases[] = {
        {"\x87\x90"
         "abc\xED\x40",
         u"\u2252aXc\u7E8A",
         "\x87\x90"
         "aXc\xED\x40",
         "edit in the middle, duplicates at both ends"},
        {"\x87\x90\xFA\x54\x80", u"\u2252\uFFE2\uF780", "\x87\x90\xFA\x54\x80", "no edit"},
        {"ab\x87\x90", u"Xab\u2252", "Xab\x87\x90", "inserted at the start"},
        {"\x87\x90"
         "a",
         u"\u2252aZ",
         "\x87\x90"
         "aZ",
         "appended at the end"},
        {"\x87\x90-\xED\x40", u"\u2252\u7E8A", "\x87\x90\xED\x40", "middle deleted"},
        {"\x87\x90", u"x", "x", "everything replaced"},
        {"\x87\x90", u"", "", "everything deleted"},
        {"", u"\u2252", "\x81\xE0", "typed into an empty cell"},
        {"\x87\x90", u"\u2252\u2252", "\x87\x90\x81\xE0", "typed duplicate gets the JIS code"},
        {"\x87\x90"
         "a\x87\x90",
         u"\u2252\u301C\u2252", "\x87\x90\x81\x60\x87\x90", "wave dash typed"},
        {"aa", u"aaa", "aaa", "prefix and suffix do not overlap when growing"},
        {"aXa", u"aa", "aa", "prefix and suffix do not overlap when shrinking"},
        {"\x80"
         "a\xFF",
         u"\uF780b\uF7FF",
         "\x80"
         "b\xFF",
         "raw bytes around an edit"},
        {"ab\x83", u"ab", "ab", "lone lead byte removed"},
        {"ab\x83", u"ab\uF783c",
         "ab\x83"
         "c",
         "text after a lone lead byte"},
        {"\x83<", u"\uF783>", "\x83>", "second byte of an invalid pair replaced"},
        {"\0\x87\x90"sv, {0x00, 0x2252, u'!'}, "\0\x87\x90!"sv, "NUL at the start"},
    };
    for (const Case& c : cases) {
        const EncodeResult encoded = fromUnicodePreserving(c.original, c.text);
        ASSERT_TRUE(encoded.ok) << c.what;
        EXPECT_EQ(hex(encoded.bytes), hex(c.expected)) << c.what;
    }
}

TEST(Cp932Preserving, RefusalIndexCountsFromTheStartOfTheText)
{
    const EncodeResult encoded = fromUnicodePreserving(
        "\x87\x90"
        "ab",
        u"\u2252a\U0001F600b");
    EXPECT_FALSE(encoded.ok);
    EXPECT_EQ(encoded.badChar, 0x1F600u);
    EXPECT_EQ(encoded.badIndex, 2u);
}

TEST(Cp932Duplicates, PreferredCodeIsTheCodeOfTheEncoder)
{
    // Every defined two-byte code: its preferred code is what encoding its
    // character gives, and that code prefers itself.
    int duplicates = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead))) {
            continue;
        }
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            const std::string bytes = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string decoded = toUnicode(bytes);
            const std::uint16_t preferred = preferredCode(code);
            if (decoded.size() != 1 || (decoded[0] >= kRawByteBase && decoded[0] <= kRawByteBase + 0xFF)) {
                EXPECT_EQ(preferred, code) << "an undefined pair is left alone";
                continue;
            }
            const std::string encoded = fromUnicode(decoded).bytes;
            ASSERT_EQ(encoded.size(), 2u);
            EXPECT_EQ(preferred, static_cast<std::uint16_t>(static_cast<unsigned char>(encoded[0]) << 8 |
                                                            static_cast<unsigned char>(encoded[1])));
            EXPECT_EQ(preferredCode(preferred), preferred);
            duplicates += preferred != code ? 1 : 0;
        }
    }
    // NEC row 13 (some), the NEC-selected IBM extensions and the IBM
    // extensions that have a twin: several hundred codes.
    EXPECT_GT(duplicates, 300);
    EXPECT_EQ(preferredCode(0x0041), 0x0041) << "single bytes are no two-byte code";
}

TEST(Cp932Validity, ShiftJisTextAndTheRest)
{
    EXPECT_TRUE(isValidShiftJis(""));
    EXPECT_TRUE(isValidShiftJis("plain ascii\r\n"));
    EXPECT_TRUE(isValidShiftJis("\x82\xA0\x83\x41\xB1\xEE\xE0"));  // あア ｱ 髙
    EXPECT_TRUE(isValidShiftJis("\x82\xA0\x82\r\nnext\x82"))
        << "a line cut after a lead byte still reads as Shift-JIS";
    EXPECT_FALSE(isValidShiftJis("\x80"));
    EXPECT_FALSE(isValidShiftJis("\xA0"));
    EXPECT_FALSE(isValidShiftJis("\xFD"));
    EXPECT_FALSE(isValidShiftJis("\x85\x40")) << "an undefined pair";
    // UTF-8 Japanese text is not Shift-JIS.
    EXPECT_FALSE(isValidShiftJis("\xE3\x81\x86\xE3\x81\x9F\xE3\x81\xA0"));  // うただ
}

}  // namespace
}  // namespace velmora::text
