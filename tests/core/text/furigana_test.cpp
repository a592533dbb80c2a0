#include "core/text/furigana.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/text/cp932.h"

namespace velmora::text {
namespace {

std::string sj(std::u16string_view text)
{
    const EncodeResult encoded = fromUnicode(text);
    EXPECT_TRUE(encoded.ok) << "test text not encodable at " << encoded.badIndex;
    return encoded.bytes;
}

// Readable form of a suggestion list for failure messages.
std::string show(const std::vector<std::string>& list)
{
    std::string out;
    for (const std::string& entry : list) {
        out += "\n  \"";
        for (const char16_t c : toUnicode(entry)) {
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
        out += "\"";
    }
    return out;
}

struct Case {
    const char* what;
    std::u16string_view artist;
    std::vector<std::u16string_view> readings;
    std::vector<std::u16string_view> expected;
};

TEST(FuriganaSuggestions, Table)
{
    const Case cases[] = {
        {"hiragana name: itself, full-width and half-width katakana, no duplicate",
         u"やまだ",
         {},
         {u"やまだ", u"ヤマダ", u"ﾔﾏﾀﾞ"}},
        {"katakana name", u"ヤマダ", {}, {u"ヤマダ", u"やまだ", u"ﾔﾏﾀﾞ"}},
        {"half-width katakana name", u"ﾔﾏﾀﾞ", {}, {u"ﾔﾏﾀﾞ", u"ヤマダ"}},
        {"ヴ has no hiragana twin", u"ヴォーカル", {}, {u"ヴォーカル", u"ヴぉーかる", u"ｳﾞｫｰｶﾙ"}},
        {"kanji and ASCII", u"山田 B'z", {}, {u"山田 B'z", u"山田　Ｂ’ｚ", u"山田 B’z"}},
        {"\"the \" prefix",
         u"the beatles",
         {},
         {u"the beatles", u"ｔｈｅ　ｂｅａｔｌｅｓ", u"beatles", u"ｂｅａｔｌｅｓ"}},
        {"\"The \" is no prefix", u"The Beatles", {}, {u"The Beatles", u"Ｔｈｅ　Ｂｅａｔｌｅｓ"}},
        {"\"THE \" prefix", u"THE BOOM", {}, {u"THE BOOM", u"ＴＨＥ　ＢＯＯＭ", u"BOOM", u"ＢＯＯＭ"}},
        {"full-width prefix counts in half width",
         u"ｔｈｅ　ｂｅａｔｌｅｓ",
         {},
         {u"ｔｈｅ　ｂｅａｔｌｅｓ", u"the beatles", u"beatles", u"ｂｅａｔｌｅｓ"}},
        {"the rest is taken from the half-width form",
         u"the ぶるーはーつ",
         {},
         {u"the ぶるーはーつ", u"ｔｈｅ　ブルーハーツ", u"the ﾌﾞﾙｰﾊｰﾂ", u"ﾌﾞﾙｰﾊｰﾂ", u"ブルーハーツ"}},
        {"prefix after prefix",
         u"the THE boom",
         {},
         {u"the THE boom", u"ｔｈｅ　ＴＨＥ　ｂｏｏｍ", u"THE boom", u"ＴＨＥ　ｂｏｏｍ", u"boom",
          u"ｂｏｏｍ"}},
        {"nothing after the prefix", u"the ", {}, {u"the ", u"ｔｈｅ　", u""}},
        {"empty artist", u"", {}, {u""}},
        {"readings added once, not when already listed",
         u"やまだ",
         {u"ヤマダ", u"やまだ　たろう", u"ﾔﾏﾀﾞ", u"やまだ　たろう", u"ヤマダ タロウ"},
         {u"やまだ", u"ヤマダ", u"ﾔﾏﾀﾞ", u"やまだ　たろう", u"ヤマダ タロウ"}},
        {"readings are compared exactly",
         u"the beatles",
         {u"THE BEATLES", u"beatles", u"Beatles", u"ＢＥＡＴＬＥＳ", u"THE BEATLES"},
         {u"the beatles", u"ｔｈｅ　ｂｅａｔｌｅｓ", u"beatles", u"ｂｅａｔｌｅｓ", u"THE BEATLES",
          u"Beatles", u"ＢＥＡＴＬＥＳ"}},
        {"an empty reading is a reading", u"やまだ", {u"", u""}, {u"やまだ", u"ヤマダ", u"ﾔﾏﾀﾞ", u""}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> readingBytes;
        for (const std::u16string_view reading : c.readings) {
            readingBytes.push_back(sj(reading));
        }
        const std::vector<std::string_view> readings(readingBytes.begin(), readingBytes.end());
        std::vector<std::string> expected;
        for (const std::u16string_view entry : c.expected) {
            expected.push_back(sj(entry));
        }
        const std::vector<std::string> actual = furiganaSuggestions(sj(c.artist), readings);
        EXPECT_EQ(actual, expected) << c.what << "\ngot:" << show(actual) << "\nwant:" << show(expected);
    }
}

std::string repeat(std::string_view piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

// Far beyond 255 bytes the suggestions follow the same steps.
TEST(FuriganaSuggestions, LongArtist)
{
    const std::string ascii = "the " + repeat("ab", 200);
    EXPECT_EQ(furiganaSuggestions(ascii, {}),
              (std::vector<std::string>{ascii, sj(u"ｔｈｅ　") + repeat(sj(u"ａｂ"), 200), repeat("ab", 200),
                                        repeat(sj(u"ａｂ"), 200)}));

    const std::string hiragana = repeat(sj(u"やまだ"), 100);
    ASSERT_GT(hiragana.size(), 255u);
    EXPECT_EQ(furiganaSuggestions(hiragana, {}),
              (std::vector<std::string>{hiragana, repeat(sj(u"ヤマダ"), 100), repeat(sj(u"ﾔﾏﾀﾞ"), 100)}));
}

TEST(FuriganaSuggestions, KeepsUndecodableBytes)
{
    // An NEC duplicate code and an undefined pair come through every form.
    const std::string artist = "\x87\x90\x85\x40" + sj(u"やまだ");
    EXPECT_EQ(furiganaSuggestions(artist, {}),
              (std::vector<std::string>{artist, "\x87\x90\x85\x40" + sj(u"ヤマダ"),
                                        "\x87\x90\x85\x40" + sj(u"ﾔﾏﾀﾞ")}));
}

}  // namespace
}  // namespace velmora::text
