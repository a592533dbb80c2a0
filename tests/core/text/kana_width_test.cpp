#include "core/text/kana_width.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>

#include "core/text/cp932.h"

namespace velmora::text {
namespace {

// CP932 bytes of a Unicode text (every test text is encodable).
std::string sj(std::u16string_view text)
{
    const EncodeResult encoded = fromUnicode(text);
    EXPECT_TRUE(encoded.ok) << "test text not encodable at " << encoded.badIndex;
    return encoded.bytes;
}

// The CP932 text as UTF-8 followed by its bytes in hex, for messages.
std::string show(std::string_view cp932)
{
    std::string out;
    for (const char16_t c : toUnicode(cp932)) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out += " [";
    for (const char c : cp932) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
        out += buf;
    }
    if (out.back() == ' ') {
        out.pop_back();
    }
    out += "]";
    return out;
}

using Mapping = std::string (*)(std::string_view);

struct Case {
    std::u16string_view input;
    std::u16string_view expected;
};

template <std::size_t N>
void checkCases(Mapping map, const Case (&cases)[N])
{
    for (const Case& c : cases) {
        const std::string input = sj(c.input);
        const std::string expected = sj(c.expected);
        const std::string actual = map(input);
        EXPECT_EQ(actual, expected) << "input " << show(input) << "\n  got " << show(actual) << "\n  want "
                                    << show(expected);
    }
}

// --- Hiragana and katakana ------------------------------------------------

TEST(KanaWidth, ToHiragana)
{
    const Case cases[] = {
        {u"カタカナ", u"かたかな"},
        {u"ガギグゲゴパピプペポ", u"がぎぐげごぱぴぷぺぽ"},
        {u"ァィゥェォッャュョヮ", u"ぁぃぅぇぉっゃゅょゎ"},
        {u"ヰヱヲン", u"ゐゑをん"},
        {u"ヴォーカル", u"ヴぉーかる"},  // CP932 has no ゔ
        {u"ヵヶ", u"ヵヶ"},              // nor ゕ ゖ
        {u"ヽヾ", u"ヽヾ"},              // iteration marks are left alone
        {u"ｶﾀｶﾅ ｶﾞ", u"ｶﾀｶﾅ ｶﾞ"},        // half-width stays half-width
        {u"アーティスト・ABC　漢字ひらがな", u"あーてぃすと・ABC　漢字ひらがな"},
        {u"", u""},
    };
    checkCases(toHiragana, cases);
}

TEST(KanaWidth, ToKatakana)
{
    const Case cases[] = {
        {u"ひらがな", u"ヒラガナ"},
        {u"がぎぐげごぱぴぷぺぽ", u"ガギグゲゴパピプペポ"},
        {u"ぁぃぅぇぉっゃゅょゎ", u"ァィゥェォッャュョヮ"},
        {u"ゐゑをん", u"ヰヱヲン"},
        {u"ゝゞ", u"ゝゞ"},
        {u"ｶﾀｶﾅ", u"ｶﾀｶﾅ"},
        {u"やまだ たろう・ABC　漢字カナ", u"ヤマダ タロウ・ABC　漢字カナ"},
    };
    checkCases(toKatakana, cases);
}

// --- Width ----------------------------------------------------------------

TEST(KanaWidth, ToFullWidthAscii)
{
    const Case cases[] = {
        {u"ABC xyz 019", u"ＡＢＣ　ｘｙｚ　０１９"},
        {u"!#$%&()*+,-./:;<=>?@[]^_{|}", u"！＃＄％＆（）＊＋，－．／：；＜＝＞？＠［］＾＿｛｜｝"},
        {u"\\~", u"＼～"},
        {u"'\"`", u"’”‘"},
        {u"rock'n'roll", u"ｒｏｃｋ’ｎ’ｒｏｌｌ"},
        {u"ＡＢＣ　漢字かなカナ", u"ＡＢＣ　漢字かなカナ"},
        {u"’”‘", u"’”‘"},
        {u"\t\r\n", u"\t\r\n"},
    };
    checkCases(toFullWidth, cases);
}

TEST(KanaWidth, ToFullWidthKana)
{
    const Case cases[] = {
        {u"ｱｲｳｴｵﾜｦﾝ", u"アイウエオワヲン"},
        {u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", u"ガギグゲゴザジズゼゾダヂヅデド"},
        {u"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", u"バビブベボパピプペポ"},
        {u"ｳﾞｫｰｶﾙ", u"ヴォーカル"},
        {u"ｧｨｩｪｫｬｭｮｯ", u"ァィゥェォャュョッ"},
        {u"｡｢｣､･ｰ", u"。「」、・ー"},
        {u"ﾞﾟ", u"゛゜"},
        {u"ｱﾞｶﾟﾜﾞｦﾞ", u"ア゛カ゜ワ゛ヲ゛"},  // no voiced form in CP932
        {u"ﾊﾞﾟ", u"バ゜"},                   // one mark per kana
        {u"ﾔﾏﾀﾞ ﾀﾛｳ", u"ヤマダ　タロウ"},
    };
    checkCases(toFullWidth, cases);
}

TEST(KanaWidth, ToHalfWidth)
{
    const Case cases[] = {
        {u"ＡＢＣ　ｘｙｚ　０１９", u"ABC xyz 019"},
        {u"！＃＄％＆（）＊＋，－．／：；＜＝＞？＠［］＾＿｛｜｝＼～", u"!#$%&()*+,-./:;<=>?@[]^_{|}\\~"},
        {u"＂＇｀", u"\"'`"},
        {u"’”‘", u"’”‘"},  // the curly quotes do not come back
        {u"アイウエオワヲン", u"ｱｲｳｴｵﾜｦﾝ"},
        {u"ガギグゲゴザジズゼゾダヂヅデド", u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ"},
        {u"バビブベボパピプペポ", u"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        {u"ヴォーカル", u"ｳﾞｫｰｶﾙ"},
        {u"ァィゥェォャュョッ", u"ｧｨｩｪｫｬｭｮｯ"},
        {u"ヮヰヱヵヶヽヾ", u"ヮヰヱヵヶヽヾ"},  // no half-width forms
        {u"。「」、・゛゜ー", u"｡｢｣､･ﾞﾟｰ"},
        {u"ひらがな漢字", u"ひらがな漢字"},
        {u"ｶﾞ abc", u"ｶﾞ abc"},
    };
    checkCases(toHalfWidth, cases);
}

TEST(KanaWidth, WidthRoundTrip)
{
    const std::u16string_view texts[] = {
        u"ABC xyz 019 !#$%&()*+,-./:;<=>?@[]^_{|}\\~",
        u"ｶﾞｷﾞﾊﾟｳﾞｧｯｰｱﾝ｡｢｣､･",
    };
    for (const std::u16string_view text : texts) {
        const std::string bytes = sj(text);
        EXPECT_EQ(toHalfWidth(toFullWidth(bytes)), bytes) << show(bytes);
    }
    EXPECT_EQ(toHalfWidth(toFullWidth(sj(u"rock'n'roll \"x\" `y`"))), sj(u"rock’n’roll ”x” ‘y‘"));
}

// The voiced kana at the byte level: one half-width kana plus its mark
// (two single bytes) against one two-byte full-width kana.
TEST(KanaWidth, VoicedKanaBytes)
{
    struct ByteCase {
        std::string_view half;
        std::string_view full;
    };
    const ByteCase cases[] = {
        {"\xB6\xDE", "\x83\x4B"},          // ｶﾞ ガ
        {"\xCA\xDF", "\x83\x70"},          // ﾊﾟ パ
        {"\xB3\xDE", "\x83\x94"},          // ｳﾞ ヴ
        {"\xDE\xDF", "\x81\x4A\x81\x4B"},  // ﾞﾟ ゛゜
        {"\x5C\x7E", "\x81\x5F\x81\x60"},  // \~ ＼～
    };
    for (const ByteCase& c : cases) {
        EXPECT_EQ(toFullWidth(c.half), c.full) << show(c.half);
        EXPECT_EQ(toHalfWidth(c.full), c.half) << show(c.full);
    }
}

// --- Bytes that must survive ------------------------------------------------

// NEC/IBM duplicate codes decode to the same character as their twins, and
// some bytes are no character at all; a mapping copies them unchanged even
// right next to characters it changes.
TEST(KanaWidth, UntouchedBytesStayIdentical)
{
    struct ByteCase {
        Mapping map;
        const char* name;
        std::string_view input;
        std::string_view expected;
    };
    const ByteCase cases[] = {
        {toFullWidth, "toFullWidth",
         "\x87\x90"
         "a\x80\xB6\xDE\x85\x40"
         "b\xFA\x4A\x83",
         "\x87\x90\x82\x81\x80\x83\x4B\x85\x40\x82\x82\xFA\x4A\x83"},
        {toHalfWidth, "toHalfWidth", "\x87\x90\x82\x81\x80\x83\x4B\x85\x40\x82\x82\xFA\x4A\x83",
         "\x87\x90"
         "a\x80\xB6\xDE\x85\x40"
         "b\xFA\x4A\x83"},
        {toHiragana, "toHiragana", "\x87\x90\x83\x4A\xA0\x83\x4A\xFD\x83\x4A\x87\x90",
         "\x87\x90\x82\xA9\xA0\x82\xA9\xFD\x82\xA9\x87\x90"},
        {toKatakana, "toKatakana", "\x87\x90\x82\xA9\xA0\x82\xA9\xFD\x82\xA9\x87\x90",
         "\x87\x90\x83\x4A\xA0\x83\x4A\xFD\x83\x4A\x87\x90"},
        {toUpperCase, "toUpperCase",
         "\x87\x90"
         "a\x80"
         "b\xFA\x4A\x85\x40"
         "c\x83",
         "\x87\x90"
         "A\x80"
         "B\xFA\x4A\x85\x40"
         "C\x83"},
        {toLowerCase, "toLowerCase",
         "\x87\x90"
         "A\x80"
         "B\xFA\x4A\x85\x40"
         "C\x83",
         "\x87\x90"
         "a\x80"
         "b\xFA\x40\x85\x40"
         "c\x83"},
    };
    for (const ByteCase& c : cases) {
        EXPECT_EQ(c.map(c.input), c.expected) << c.name << " " << show(c.input);
    }
}

TEST(KanaWidth, NoLengthLimit)
{
    std::string half;
    std::string full;
    for (int i = 0; i < 400; ++i) {
        half +=
            "\xB6\xDE"
            "a";
        full += "\x83\x4B\x82\x81";
    }
    EXPECT_EQ(toFullWidth(half), full);
    EXPECT_EQ(toHalfWidth(full), half);
    EXPECT_EQ(toUpperCase(half).size(), half.size());
}

// Random bytes: nothing breaks, and mapping twice gives what mapping once
// gives (a mapping keeps the character boundaries of what it copies).
TEST(KanaWidth, RandomBytesMapIdempotently)
{
    static constexpr unsigned char kInteresting[] = {
        0x20, 0x27, 0x41, 0x61, 0x5C, 0x7E, 0x80, 0xA0, 0xA1, 0xB3, 0xB6, 0xCA, 0xDE, 0xDF, 0xFD, 0xFF,
        0x81, 0x82, 0x83, 0x84, 0x85, 0x87, 0x90, 0x9F, 0xA4, 0xE0, 0xEE, 0xFA, 0xFC, 0x40, 0x4A, 0x94,
    };
    const Mapping mappings[] = {toHiragana, toKatakana, toFullWidth, toHalfWidth, toUpperCase, toLowerCase};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string s(rng() % 24, '\0');
        for (char& c : s) {
            const auto r = static_cast<std::uint32_t>(rng());
            c = static_cast<char>(r % 3 != 0 ? kInteresting[(r >> 2) % std::size(kInteresting)]
                                             : (r >> 8) & 0xFF);
        }
        for (const Mapping map : mappings) {
            const std::string once = map(s);
            EXPECT_EQ(map(once), once) << show(s);
        }
    }
}

// --- Letter case ------------------------------------------------------------

TEST(KanaWidth, ToUpperCase)
{
    const Case cases[] = {
        {u"abc XYZ 123 mcdonald's", u"ABC XYZ 123 MCDONALD'S"},
        {u"ａｂｃ ＸＹＺ", u"ＡＢＣ ＸＹＺ"},
        {u"αβγω ΔΣ", u"ΑΒΓΩ ΔΣ"},
        {u"абвгдёжя", u"АБВГДЁЖЯ"},
        {u"ⅰⅱⅹ", u"ⅠⅡⅩ"},
        {u"かなカナｶﾅ漢字ｶﾞ", u"かなカナｶﾅ漢字ｶﾞ"},  // no kana or width folding
    };
    checkCases(toUpperCase, cases);
}

TEST(KanaWidth, ToLowerCase)
{
    const Case cases[] = {
        {u"ABC xyz 123 MCDONALD'S", u"abc xyz 123 mcdonald's"},
        {u"ＡＢＣ ｘｙｚ", u"ａｂｃ ｘｙｚ"},
        {u"ΑΒΓΩ δσ", u"αβγω δσ"},
        {u"АБВГДЁЖЯ", u"абвгдёжя"},
        {u"ⅠⅡⅩ", u"ⅰⅱⅹ"},
        {u"かなカナｶﾅ漢字", u"かなカナｶﾅ漢字"},
    };
    checkCases(toLowerCase, cases);
}

TEST(SearchFold, PairsThatReadTheSame)
{
    // Each pair folds to one text: kana, width (voiced half-width kana
    // included) and letter case.
    const std::pair<std::u16string_view, std::u16string_view> same[] = {
        {u"うただ", u"ウタダ"},
        {u"うただ", u"ｳﾀﾀﾞ"},
        {u"ぱぴぷぺぽ", u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        {u"がっこう", u"ｶﾞｯｺｳ"},
        {u"ゔ", u"ヴ"},
        {u"ヴ", u"ｳﾞ"},
        {u"ゝゞ", u"ヽヾ"},
        {u"ぁぃぅぇぉゃゅょゎ", u"ァィゥェォャュョヮ"},
        {u"ー", u"ｰ"},
        {u"。「」、・", u"｡｢｣､･"},
        {u"ＡＢＣ１２３", u"abc123"},
        {u"Ｌｏｖｅ　Ｓｏｎｇ", u"LOVE song"},
        {u"－＋！？", u"-+!?"},
        {u"αβγ", u"ΑΒΓ"},
        {u"ⅰⅱ", u"ⅠⅡ"},
        {u"\u301C", u"～"},  // the wave dash of JIS and of CP932
    };
    for (const auto& [a, b] : same) {
        EXPECT_EQ(foldForSearch(a), foldForSearch(b)) << show(sj(a == u"ゔ" ? u"ヴ" : a));
    }
}

TEST(SearchFold, TextThatMustNotFold)
{
    const std::pair<std::u16string_view, std::u16string_view> different[] = {
        {u"ヴ", u"ウ"},                                       // the voiced kana keeps its mark
        {u"ゔ", u"う"},    {u"ヴ", u"ﾞ"},  {u"ガ", u"カ゛"},  // a full-width mark is a character of its own
        {u"ー", u"-"},                                        // the prolonged sound mark is no hyphen
        {u"ー", u"－"},    {u"ー", u"―"},  {u"ｰ", u"-"},     {u"～", u"~"},  // the wave dash is no tilde
        {u"\u301C", u"~"}, {u"～", u"ー"}, {u"ヵ", u"カ"},                   // small kana stay small
        {u"ッ", u"ツ"},    {u"’", u"'"},  // curly quotes are other characters
        {u"”", u"\""},     {u"¥", u"\\"},
    };
    for (const auto& [a, b] : different) {
        EXPECT_NE(foldForSearch(a), foldForSearch(b));
    }
    // ゔ folds to ヴ, never the other way: the folded text stays within CP932.
    EXPECT_EQ(foldForSearch(u"ゔ"), u"ヴ");
    EXPECT_EQ(foldForSearch(u"ヴ"), u"ヴ");
    EXPECT_EQ(foldForSearch(u"ｳﾞ"), u"ヴ");
    EXPECT_EQ(foldForSearch(u"ﾜﾞｦﾞ").size(), 2u) << "voiced forms CP932 lacks are still one character each";
}

TEST(SearchFold, FoldedCp932TextEqualsFoldedUnicode)
{
    // The bytes of a cell fold as their decoded text does; undecodable
    // bytes stay as their own characters.
    for (std::u16string_view text : {u"ｳﾀﾀﾞ と うただ", u"ＡＢＣ abc ｱｲｳ", u"髙橋 ∵ ≒"}) {
        std::u16string folded;
        appendFoldedForSearch(folded, sj(text));
        EXPECT_EQ(folded, foldForSearch(text));
    }
    std::u16string raw;
    appendFoldedForSearch(raw, "\x80\xFD");
    EXPECT_EQ(raw, toUnicode("\x80\xFD"));
    std::u16string twice = u"x";
    appendFoldedForSearch(twice, sj(u"ﾀﾞ"));
    appendFoldedForSearch(twice, sj(u"ﾀﾞ"));
    EXPECT_EQ(twice, u"xダダ") << "appends to what is there";
}

}  // namespace
}  // namespace velmora::text
