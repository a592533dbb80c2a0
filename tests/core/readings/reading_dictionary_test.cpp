#include "core/readings/reading_dictionary.h"

#include <gtest/gtest.h>

#include <map>

#include "core/store/columns.h"
#include "support/sjis.h"

namespace velmora::readings {
namespace {

using test::sj;

// A dictionary that knows a few names (UTF-8 → katakana).
class FakeDictionary : public ReadingDictionary {
public:
    bool available() const override { return open; }
    std::string unavailableMessage() const override { return open ? "" : "辞書がありません"; }
    std::vector<std::string> readings(std::string_view text) const override
    {
        ++lookups;
        const auto found = known.find(std::string(text));
        return found == known.end() ? std::vector<std::string>{} : std::vector<std::string>{found->second};
    }

    std::map<std::string, std::string> known = {{"椎名林檎", "シイナリンゴ"}, {"中島美嘉", "ナカシマミカ"}};
    bool open = true;
    mutable int lookups = 0;
};

void addAlbum(store::AlbumTable& table, std::string_view artist, std::string_view reading)
{
    const int album = table.rowCount();
    table.setRowCount(album + 1);
    table.setCell(store::ArtistColumn, album, sj(artist));
    table.setCell(store::FuriganaColumn, album, sj(reading));
}

TEST(Readings, KanaFormsTurnBothWays)
{
    EXPECT_EQ(toHiragana("シイナリンゴ B'z ヴ"), "しいなりんご B'z ヴ");
    EXPECT_EQ(toKatakana("なかしま みか"), "ナカシマ ミカ");
    EXPECT_TRUE(hasJapanese("B'z と"));
    EXPECT_TRUE(hasJapanese("一青窈"));
    EXPECT_FALSE(hasJapanese("Mr.Children"));
}

TEST(Readings, ProposalsPreferTheReadingTheUserChoseForTheArtist)
{
    store::AlbumTable table;
    addAlbum(table, "椎名林檎", "椎名林檎");        // 1: reading equals artist
    addAlbum(table, "中島美嘉", "なかじまみか");    // 2: chosen by the user
    addAlbum(table, "中島美嘉", "");                // 3: empty
    addAlbum(table, "Mr.Children", "Mr.Children");  // 4: Latin, nobody chose
    addAlbum(table, "一青窈", "");                  // 5: unknown to the dictionary
    addAlbum(table, "中島美嘉", "中島美嘉");        // 6
    FakeDictionary dictionary;
    const std::vector<ReadingProposal> proposals = proposeReadings(table, &dictionary);
    ASSERT_EQ(proposals.size(), 3u);
    EXPECT_EQ(proposals[0].album, 1);
    EXPECT_EQ(proposals[0].reading, sj("しいなりんご"));
    EXPECT_EQ(proposals[1].album, 3);
    EXPECT_EQ(proposals[1].reading, sj("なかじまみか"));
    EXPECT_EQ(proposals[2].album, 6);
    EXPECT_EQ(proposals[2].artist, sj("中島美嘉"));
    // One look-up per artist that needs one.
    EXPECT_EQ(dictionary.lookups, 2);
}

// New readings take the kana the catalogue's readings are written in, so
// that the reading column sorts as one list.
TEST(Readings, ProposalsFollowTheKanaTheCatalogueUses)
{
    FakeDictionary dictionary;
    store::AlbumTable katakana;
    addAlbum(katakana, "山下達郎", "ヤマシタ タツロウ");
    addAlbum(katakana, "竹内まりや", "タケウチマリヤ");
    addAlbum(katakana, "大貫妙子", "おおぬきたえこ");
    addAlbum(katakana, "細野晴臣", "Hosono");  // neither kana: not counted
    addAlbum(katakana, "椎名林檎", "");
    std::vector<ReadingProposal> proposals = proposeReadings(katakana, &dictionary);
    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_EQ(proposals[0].reading, sj("シイナリンゴ"));

    store::AlbumTable hiragana;
    addAlbum(hiragana, "山下達郎", "やました たつろう");
    addAlbum(hiragana, "竹内まりや", "たけうちまりや");
    addAlbum(hiragana, "大貫妙子", "オオヌキタエコ");
    addAlbum(hiragana, "椎名林檎", "");
    proposals = proposeReadings(hiragana, &dictionary);
    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_EQ(proposals[0].reading, sj("しいなりんご"));
}

TEST(Readings, TheMostCommonChosenReadingWinsAndWithoutADictionaryOnlyChosenOnesAreProposed)
{
    store::AlbumTable table;
    addAlbum(table, "中島美嘉", "なかじまみか");
    addAlbum(table, "中島美嘉", "なかしまみか");
    addAlbum(table, "中島美嘉", "なかしまみか");
    addAlbum(table, "中島美嘉", "");
    addAlbum(table, "椎名林檎", "");
    const ChosenReadings chosen(table);
    EXPECT_EQ(chosen.find(sj("中島美嘉")), sj("なかしまみか"));
    EXPECT_FALSE(chosen.find(sj("椎名林檎")));
    // Asked for some artists only, the same readings for those and none
    // for the others.
    addAlbum(table, "山下達郎", "ヤマシタタツロウ");
    const ChosenReadings some(table, {sj("中島美嘉"), sj("椎名林檎"), sj("誰か")});
    EXPECT_EQ(some.find(sj("中島美嘉")), sj("なかしまみか"));
    EXPECT_FALSE(some.find(sj("椎名林檎")));
    EXPECT_FALSE(some.find(sj("山下達郎")));
    EXPECT_EQ(ChosenReadings(table).find(sj("山下達郎")), sj("ヤマシタタツロウ"));
    EXPECT_EQ(ChosenReadings(table, {}).size(), 0u);
    FakeDictionary closed;
    closed.open = false;
    const std::vector<ReadingProposal> proposals = proposeReadings(table, &closed);
    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_EQ(proposals[0].album, 4);
    EXPECT_EQ(closed.lookups, 0);
    EXPECT_EQ(readingFor(sj("椎名林檎"), chosen, nullptr), std::nullopt);
    FakeDictionary open;
    EXPECT_EQ(readingFor(sj("椎名林檎"), chosen, &open), sj("しいなりんご"));
}

}  // namespace
}  // namespace velmora::readings
