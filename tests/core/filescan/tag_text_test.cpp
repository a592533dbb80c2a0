// Tag text and paths as catalogue cells, and the small field parsers.
#include <gtest/gtest.h>

#include "core/filescan/tag_text.h"
#include "support/sjis.h"

namespace velmora::filescan {
namespace {

using test::sj;

TEST(TagText, CellsKeepTheDataFileMarkersOut)
{
    const struct {
        std::u16string in;
        bool memo;
        std::string out;
        int missing;
    } cases[] = {
        {u"  plain  ", false, "plain", 0},
        {u"a<>b<<>>c", false, sj("a＜＞b<＜＞>c"), 0},
        {u"line1\r\nline2\tend", false, "line1  line2 end", 0},
        {u"memo{}line", true, sj("memo｛｝line"), 0},
        {u"memo{}field", false, "memo{}field", 0},
        {u"\u301c\u2212\u00a2", false, sj("～－￠"), 0},
        {u"\U0001F600x\u00e9", false, sj("〓x〓"), 2},
        {u"\uF73C\uF73E", false, sj("〓〓"), 2},  // raw-byte stand-ins never pass as bytes
        {u"\xD800", false, sj("〓"), 1},          // a lone surrogate
        {u"", false, "", 0},
    };
    for (const auto& c : cases) {
        CellText cell = tagCell(c.in, c.memo);
        EXPECT_EQ(cell.bytes, c.out);
        EXPECT_EQ(cell.missingCharacters, c.missing);
    }
}

TEST(TagText, PathPieces)
{
    EXPECT_EQ(lastComponent("/a/b/c.mp3"), "c.mp3");
    EXPECT_EQ(lastComponent("/a/b/"), "b");
    EXPECT_EQ(lastComponent("name"), "name");
    EXPECT_EQ(parentPath("/a/b/c.mp3"), "/a/b");
    EXPECT_EQ(parentPath("/c.mp3"), "/");
    EXPECT_EQ(parentPath("c.mp3"), "");
    EXPECT_EQ(fileStem("01 Song.name.flac"), "01 Song.name");
    EXPECT_EQ(fileStem(".hidden"), ".hidden");
    EXPECT_EQ(fileStem("noext"), "noext");
}

TEST(TagText, DiscFolderNames)
{
    const std::pair<const char*, int> cases[] = {
        {"CD1", 1},  {"cd 2", 2},    {"Disc 3", 3}, {"disk_04", 4}, {"DISC-5", 5}, {"Disc.6", 6}, {"CD", 0},
        {"CD1a", 0}, {"Disco 1", 0}, {"Bonus", 0},  {"CD 1234", 0}, {"1", 0},      {"CD  1", 0},  {"", 0},
    };
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(discFolderNumber(name), number) << name;
    }
}

TEST(TagText, NumbersAndYears)
{
    EXPECT_EQ(leadingNumber(u"7"), 7);
    EXPECT_EQ(leadingNumber(u"07/12"), 7);
    EXPECT_EQ(leadingNumber(u" 3 "), 3);
    EXPECT_EQ(leadingNumber(u"A"), 0);
    EXPECT_EQ(leadingNumber(u""), 0);
    EXPECT_EQ(yearOf(u"2001"), 2001);
    EXPECT_EQ(yearOf(u"2001-05-01"), 2001);
    EXPECT_EQ(yearOf(u"05/01/1999"), 1999);
    EXPECT_EQ(yearOf(u"123456"), 0);
    EXPECT_EQ(yearOf(u"99"), 0);
    EXPECT_EQ(yearOf(u""), 0);
}

TEST(TagText, Utf8Decoding)
{
    EXPECT_EQ(utf16FromUtf8("abc"), u"abc");
    EXPECT_EQ(utf16FromUtf8("\xe6\x9b\xb2"), u"曲");
    EXPECT_EQ(utf16FromUtf8(""), u"");
    EXPECT_EQ(utf16FromUtf8("\xc3"), std::nullopt);
    EXPECT_EQ(utf16FromUtf8("\xed\xa0\x80"), std::nullopt);  // an encoded surrogate
}

}  // namespace
}  // namespace velmora::filescan

namespace velmora::filescan {
namespace {

TEST(TagText, SingleByteTagsReadAsShiftJisOnlyWhereLatin1IsImplausible)
{
    const std::string japanese = test::sj("福山雅治 ベスト");
    EXPECT_EQ(singleByteTagText(japanese, TagEncoding::Automatic), u"福山雅治 ベスト");
    EXPECT_EQ(singleByteTagText(japanese, TagEncoding::Latin1).size(), japanese.size());
    // Latin-1 that happens to be valid Shift-JIS ("é" + "m") stays Latin-1
    // unless asked; a cut or user-defined lead byte is never Shift-JIS.
    EXPECT_EQ(singleByteTagText("Pok\xe9mon", TagEncoding::Automatic), u"Pok\u00e9mon");
    EXPECT_NE(singleByteTagText("Pok\xe9mon", TagEncoding::ShiftJis), u"Pok\u00e9mon");
    EXPECT_EQ(singleByteTagText("Caf\xe9", TagEncoding::ShiftJis), u"Caf\u00e9");
    EXPECT_EQ(singleByteTagText("Mot\xf6rhead", TagEncoding::Automatic), u"Mot\u00f6rhead");
    EXPECT_EQ(singleByteTagText("\xc7"
                                "a va",
                                TagEncoding::Automatic),
              u"\u00c7a va");
    EXPECT_EQ(singleByteTagText("plain", TagEncoding::ShiftJis), u"plain");
}

}  // namespace
}  // namespace velmora::filescan
