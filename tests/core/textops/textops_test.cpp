#include "core/textops/textops.h"

#include <gtest/gtest.h>

#include <random>

#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "core/text/cp932.h"
#include "core/text/kana_width.h"

namespace velmora::textops {
namespace {

using namespace velmora::store;

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

// A table whose albums are given as (column, text) lists.
AlbumTable tableOf(std::initializer_list<std::initializer_list<std::pair<int, std::string>>> albums)
{
    AlbumTable table;
    table.setRowCount(static_cast<int>(albums.size()) + 1);
    int row = 1;
    for (const auto& cells : albums) {
        for (const auto& [column, text] : cells) {
            table.setCell(column, row, text);
        }
        ++row;
    }
    return table;
}

TEST(TextOps, AlbumSetIsOrderedAsTextWithoutRepeats)
{
    EXPECT_EQ(albumSetAsText({2, 10, 1, 10, 21, 3}), (std::vector<int>{1, 10, 2, 21, 3}));
    EXPECT_EQ(albumSetAsText({}), std::vector<int>{});
}

TEST(TextOps, MatchingIgnoresLetterCaseOnly)
{
    const std::string abc = upperForMatch("ABC");
    EXPECT_TRUE(cellMatches("xabcx", abc));
    EXPECT_FALSE(cellMatches(sjis(u"ｘａｂｃｘ"), abc)) << "full-width letters are other characters";
    EXPECT_TRUE(cellMatches(sjis(u"ｘａｂｃｘ"), upperForMatch(sjis(u"ＡＢＣ"))));
    EXPECT_TRUE(cellMatches(sjis(u"αβγ"), upperForMatch(sjis(u"ΑΒ"))));
    EXPECT_FALSE(cellMatches("", upperForMatch("")));
    EXPECT_TRUE(cellMatches("a  b", upperForMatch("  ")));
    // "A" (0x41) is the second byte of "ア" (83 41) but not a character there.
    EXPECT_FALSE(cellMatches(sjis(u"ア"), upperForMatch("a")));
    EXPECT_EQ(upperForMatch(sjis(u"ｍｃ")), sjis(u"ＭＣ"));
}

TEST(TextOps, SearchPassesAndSongNumbers)
{
    AlbumTable table = tableOf({
        {{ArtistColumn, "The Word"},
         {FuriganaColumn, "word"},
         {songTitleColumn(3), "a word"},
         {AlbumColumn, "x"}},
        {{ArtistColumn, "other"},
         {songTitleColumn(1), "Word one"},
         {songTitleColumn(99), "last WORD"},
         {songArtistColumn(5), "guest word"}},
        {{ArtistColumn, "nobody"}, {Category3Column, "line{}word"}},
    });
    const std::vector<int> all = {1, 2, 3};
    EXPECT_EQ(search(table, all, SearchSong, "word"), (std::vector<SearchHit>{{1, 3}, {2, 1}, {2, 99}}));
    EXPECT_EQ(search(table, all, SearchArtist, "WORD"), (std::vector<SearchHit>{{1, 0}, {2, 5}}));
    EXPECT_EQ(search(table, all, SearchMemo, "word"), (std::vector<SearchHit>{{3, 0}}));
    // Everything: the artist twice (first pass and all cells), the reading
    // and the song title.
    EXPECT_EQ(search(table, {1}, SearchAll, "word"),
              (std::vector<SearchHit>{{1, 0}, {1, 0}, {1, 3}, {1, 0}}));
    EXPECT_EQ(search(table, {2}, SearchAll, "word"), (std::vector<SearchHit>{{2, 1}, {2, 99}, {2, 5}}));
    // Only the given albums are searched.
    EXPECT_EQ(search(table, {3}, SearchSong, "word"), std::vector<SearchHit>{});

    int passes = 0;
    search(table, all, SearchArtist, "x", [&](int, int index) { passes += index == -1; });
    EXPECT_EQ(passes, 2);
}

TEST(TextOps, Suggestions)
{
    AlbumTable table = tableOf({{{ArtistColumn, "beta"}},
                                {{ArtistColumn, "Alpha"}},
                                {{ArtistColumn, "BETA"}},
                                {{ArtistColumn, ""}}});
    std::vector<std::string> artists = searchSuggestions(table, SearchArtist);
    ASSERT_EQ(artists.size(), 3u);
    EXPECT_EQ(artists[0], "");
    EXPECT_EQ(artists[1], "Alpha");
    EXPECT_EQ(artists[2], "BETA") << "rows are walked from the last one";
    EXPECT_TRUE(searchSuggestions(table, SearchAll).empty());
    EXPECT_EQ(searchSuggestions(table, SearchSong), std::vector<std::string>{""});
}

TEST(TextOps, CapitaliseWords)
{
    struct Case {
        std::u16string in;
        std::u16string out;
    };
    const Case cases[] = {
        {u"the BEATLES", u"The Beatles"},
        {u"a-ha", u"A-Ha"},
        {u"rock'n'roll", u"Rock'n'roll"},
        {u"mcDONALD's (live)", u"Mcdonald's (Live)"},
        {u"abc\u3000def", u"Abc\u3000Def"},
        {u"\u300Cabc\u300D def", u"\u300CAbc\u300D Def"},
        {u"one{two}", u"One{two}"},
        {u"ｘｙｚ　ａｂｃ", u"Ｘｙｚ　Ａｂｃ"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(capitaliseWords(sjis(c.in)), sjis(c.out));
    }
}

TEST(TextOps, ConversionOverGroupsAndAlbums)
{
    AlbumTable table = tableOf({
        {{ArtistColumn, "abc"},
         {FuriganaColumn, "abc"},
         {songArtistColumn(2), "guest"},
         {mediaColumn(1), "/M/A.mp3"}},
        {{ArtistColumn, "x"}, {Category3Column, "a{}b"}, {songTitleColumn(1), "it's"}},
    });
    BulkResult result = convertAlbums(table, {1, 1}, 0, ToUpper);
    EXPECT_EQ(table.cell(ArtistColumn, 1), "ABC");
    EXPECT_EQ(table.cell(songArtistColumn(2), 1), "GUEST");
    EXPECT_EQ(table.cell(FuriganaColumn, 1), "abc") << "the reading is a group of its own";
    EXPECT_EQ(result.changedCells, 2);
    convertAlbums(table, {1}, 7, ToLower);
    EXPECT_EQ(table.cell(mediaColumn(1), 1), "/m/a.mp3");

    convertAlbums(table, {2}, 6, ToFullWidth);
    EXPECT_EQ(table.cell(Category3Column, 2), sjis(u"ａ｛｝ｂ"));
    convertAlbums(table, {2}, 6, ToHalfWidth);
    EXPECT_EQ(table.cell(Category3Column, 2), "a{}b");
    convertAlbums(table, {2}, 3, ToFullWidth);
    EXPECT_EQ(table.cell(songTitleColumn(1), 2), sjis(u"ｉｔ’ｓ"));
    convertAlbums(table, {2}, 3, ToHalfWidth);
    EXPECT_EQ(table.cell(songTitleColumn(1), 2), sjis(u"it’s")) << "the apostrophe does not come back";
}

TEST(TextOps, ConversionNeverMakesASeparator)
{
    AlbumTable table = tableOf({{{AlbumColumn, sjis(u"＜＞")}, {ArtistColumn, sjis(u"ＡＢ")}}});
    BulkResult result = convertAlbums(table, {1}, 2, ToHalfWidth);
    EXPECT_EQ(result.refusedCells, 1);
    EXPECT_EQ(table.cell(AlbumColumn, 1), sjis(u"＜＞"));
}

TEST(TextOps, ReplaceIgnoresCaseAndInsertsAsTyped)
{
    EXPECT_EQ(replaceText("The BEATLES and beatles", "beatles", "Beatles"), "The Beatles and Beatles");
    EXPECT_EQ(replaceText("banana", "a", "aa"), "baanaanaa");
    EXPECT_EQ(replaceText("remove me", " me", ""), "remove");
    EXPECT_EQ(replaceText("D:\\music\\x.mp3", "D:\\Music", "E:\\Audio"), "E:\\Audio\\x.mp3");
    EXPECT_EQ(replaceText(sjis(u"ア"), "a", "x"), sjis(u"ア"));
    EXPECT_EQ(replaceText("", "a", "b"), "");

    AlbumTable table = tableOf({
        {{ArtistColumn, "beatles"}, {songArtistColumn(3), "BEATLES live"}},
        {{ArtistColumn, "<x>"}, {mediaColumn(2), "D:\\Music\\b.mp3"}},
    });
    replaceInAlbums(table, {1, 1, 2}, 0, "beatles", "Beatles");
    EXPECT_EQ(table.cell(ArtistColumn, 1), "Beatles");
    EXPECT_EQ(table.cell(songArtistColumn(3), 1), "Beatles live");
    BulkResult result = replaceInAlbums(table, {2}, 0, "x", "");
    EXPECT_EQ(result.refusedCells, 1) << "removing x from <x> would make a separator";
    EXPECT_EQ(table.cell(ArtistColumn, 2), "<x>");
    replaceInAlbums(table, {2}, 7, "d:\\music", "E:\\Audio");
    EXPECT_EQ(table.cell(mediaColumn(2), 2), "E:\\Audio\\b.mp3");
}

// The codes of characters that CP932 holds more than once (JIS, NEC row 13,
// NEC-selected IBM extensions, IBM extensions).
struct DuplicateChar {
    const char* name;
    std::vector<std::string> codes;
};
const std::vector<DuplicateChar>& duplicateChars()
{
    static const std::vector<DuplicateChar> chars = {
        {"髙", {"\xEE\xE0", "\xFB\xFC"}}, {"∵", {"\x81\xE6", "\x87\x9A", "\xFA\x5B"}},
        {"≒", {"\x81\xE0", "\x87\x90"}},  {"¬", {"\x81\xCA", "\xEE\xF9", "\xFA\x54"}},
        {"ⅰ", {"\xEE\xEF", "\xFA\x40"}},
    };
    return chars;
}

TEST(TextOps, DuplicateCodesOfOneCharacterMatchEachOther)
{
    // Neighbours whose bytes could pair up with the codes: a double-byte
    // character whose second byte is a lead byte, and ASCII.
    const std::string before = sjis(u"ア") + "\x81\x81";  // ア and ＝ (81 81)
    const std::string after = sjis(u"ン") + "z";
    for (const DuplicateChar& c : duplicateChars()) {
        for (const std::string& stored : c.codes) {
            const std::string cell = before + stored + after;
            for (const std::string& typed : c.codes) {
                AlbumTable table = tableOf({{{AlbumColumn, cell}}, {{AlbumColumn, before + after}}});
                for (SearchMode mode : {SearchMode::Plain, SearchMode::Folded}) {
                    EXPECT_EQ(search(table, {1, 2}, SearchAlbum, typed, {}, mode),
                              (std::vector<SearchHit>{{1, 0}}))
                        << c.name << " typed as one code finds the other";
                }
                // The replacement's own bytes go in; the neighbours keep theirs.
                EXPECT_EQ(replaceText(cell, typed, "#"), before + "#" + after) << c.name;
                EXPECT_EQ(replaceText(cell, typed, typed), before + typed + after) << c.name;
                BulkResult result = replaceInAlbums(table, {1}, 2, typed, "\x81\x9B");  // ○
                EXPECT_EQ(result.changedCells, 1);
                EXPECT_EQ(table.cell(AlbumColumn, 1), before + "\x81\x9B" + after) << c.name;
            }
            // The code a conversion from Unicode chooses is the one every
            // duplicate stands for.
            const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(stored[0]) << 8 |
                                                         static_cast<unsigned char>(stored[1]));
            const std::uint16_t preferred = text::preferredCode(code);
            EXPECT_EQ(text::fromUnicode(text::toUnicode(stored)).bytes,
                      std::string({static_cast<char>(preferred >> 8), static_cast<char>(preferred & 0xFF)}))
                << c.name;
            EXPECT_EQ(text::preferredCode(preferred), preferred);
        }
    }
    // Different characters stay different; the second byte of a character
    // is no match.
    EXPECT_FALSE(cellMatches("\xEE\xE0", upperForMatch("\x81\xE6")));
    EXPECT_FALSE(cellMatches("\x87\x87\x9A", upperForMatch("\x87\x9A"))) << "87 87 is one character";
}

TEST(TextOps, DuplicateCodesKeepRomanNumeralCase)
{
    // ⅰ (EE EF, FA 40) and Ⅰ (87 54, FA 4A) are one letter in two cases.
    for (const char* small : {"\xEE\xEF", "\xFA\x40"}) {
        for (const char* capital : {"\x87\x54", "\xFA\x4A"}) {
            EXPECT_TRUE(cellMatches(small, upperForMatch(capital)));
            EXPECT_TRUE(cellMatches(capital, upperForMatch(small)));
            EXPECT_EQ(replaceText(std::string("a") + small + "b", capital, "-"), "a-b");
        }
    }
}

TEST(TextOps, FoldedSearchReadsKanaWidthAndCase)
{
    AlbumTable table = tableOf({
        {{ArtistColumn, sjis(u"ウタダ")}},
        {{ArtistColumn, sjis(u"ｳﾀﾀﾞ")}, {songTitleColumn(4), sjis(u"うただ ヒカル")}},
        {{ArtistColumn, sjis(u"ウタタ")}, {songTitleColumn(2), sjis(u"ＬＯＶＥ　ｓｏｎｇ")}},
        {{ArtistColumn, "utada"}, {Category3Column, sjis(u"ヴ{}無し")}},
    });
    const std::vector<int> all = {1, 2, 3, 4};
    auto hits = [&](int group, std::u16string_view word, SearchMode mode) {
        return search(table, all, group, sjis(word), {}, mode);
    };
    EXPECT_EQ(hits(SearchArtist, u"うただ", SearchMode::Folded), (std::vector<SearchHit>{{1, 0}, {2, 0}}));
    EXPECT_EQ(hits(SearchArtist, u"うただ", SearchMode::Plain), std::vector<SearchHit>{});
    EXPECT_EQ(hits(SearchSong, u"ウタダ", SearchMode::Folded), (std::vector<SearchHit>{{2, 4}}))
        << "song numbers are reported as by the plain search";
    EXPECT_EQ(hits(SearchSong, u"love song", SearchMode::Folded), (std::vector<SearchHit>{{3, 2}}));
    EXPECT_EQ(hits(SearchSong, u"love song", SearchMode::Plain), std::vector<SearchHit>{});
    EXPECT_EQ(hits(SearchAll, u"ｳﾀﾀﾞ", SearchMode::Folded),
              (std::vector<SearchHit>{{1, 0}, {2, 0}, {1, 0}, {2, 0}, {2, 4}}));
    EXPECT_EQ(hits(SearchArtist, u"UTADA", SearchMode::Folded), (std::vector<SearchHit>{{4, 0}}));
    // A hit never runs from one cell into the next.
    EXPECT_EQ(hits(SearchAll, u"ダ<", SearchMode::Folded), std::vector<SearchHit>{});
    // ヴ is found as ヴ and ｳﾞ, not as ウ.
    EXPECT_EQ(hits(SearchMemo, u"ｳﾞ", SearchMode::Folded), (std::vector<SearchHit>{{4, 0}}));
    EXPECT_EQ(hits(SearchMemo, u"ウ", SearchMode::Folded), std::vector<SearchHit>{});
}

}  // namespace
TEST(TextOps, FoldedSearchFindsWhatFoldingEachCellFinds)
{
    // Cells of characters whose folding is easy to get wrong: widths, case,
    // kana with and without ﾞ and ﾟ, codes of the NEC, IBM and user-defined
    // rows, bytes that are no character, second bytes that look like ASCII.
    const std::vector<std::string> pieces = {
        "a",         "L",         "l",         "o",         "v",         "e",         " ",
        "\\",        "~",         "{",         "|",         "\x80",      "\xA0",      "\xFD",
        sjis(u"ｌ"), sjis(u"Ｌ"), sjis(u"ｏ"), sjis(u"ガ"), sjis(u"カ"), sjis(u"が"), sjis(u"ヴ"),
        sjis(u"ウ"), sjis(u"ー"), sjis(u"〜"), sjis(u"　"), sjis(u"ソ"), sjis(u"表"), "\xB6",
        "\xB3",      "\xCA",      "\xDE",      "\xDF",      "\xB0",      "\xF0\x40",  "\xED\x40",
        "\xFA\x40",  "\x87\x54",  "\xEE\xEF",  "\x85\x40",  "\x82\x5C"};
    std::mt19937 random(29);
    auto pick = [&](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += pieces[random() % pieces.size()];
        }
        return text;
    };
    constexpr int kAlbums = 300;
    AlbumTable table;
    table.setRowCount(kAlbums + 1);
    std::vector<int> all;
    for (int album = 1; album <= kAlbums; ++album) {
        // The neighbours hold the same kind of text: a hit there, or one
        // running into them, is not a hit in the album title.
        table.setCell(ArtistColumn, album, pick(random() % 12));
        table.setCell(AlbumColumn, album, pick(random() % 12));
        table.setCell(AlbumColumn + 1, album, pick(random() % 12));
        all.push_back(album);
    }
    auto folded = [](std::string_view bytes) { return text::foldForSearch(text::toUnicode(bytes)); };
    for (int round = 0; round < 300; ++round) {
        const std::string word = pick(1 + random() % 3);
        std::vector<SearchHit> expected;
        for (int album : all) {
            if (folded(table.cell(AlbumColumn, album)).find(folded(word)) != std::u16string::npos) {
                expected.push_back({album, 0});
            }
        }
        EXPECT_EQ(search(table, all, SearchAlbum, word, {}, SearchMode::Folded), expected)
            << "word bytes: " << testing::PrintToString(word);
        // Everywhere: the artists first, then every cell that holds it.
        std::vector<SearchHit> everywhere;
        for (int album : all) {
            if (folded(table.cell(ArtistColumn, album)).find(folded(word)) != std::u16string::npos) {
                everywhere.push_back({album, 0});
            }
        }
        for (int album : all) {
            for (int column : {ArtistColumn, AlbumColumn, AlbumColumn + 1}) {
                if (folded(table.cell(column, album)).find(folded(word)) != std::u16string::npos) {
                    everywhere.push_back({album, 0});
                }
            }
        }
        EXPECT_EQ(search(table, all, SearchAll, word, {}, SearchMode::Folded), everywhere)
            << "word bytes: " << testing::PrintToString(word);
    }
}

}  // namespace velmora::textops
