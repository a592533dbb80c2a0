// A MusicBrainz release mapped onto an album record: cells the catalogue
// can hold, the medium of the disc, the first 99 tracks, and merging into
// an album being edited.
#include <gtest/gtest.h>

#include "core/discdata/album_fill.h"
#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "support/sjis.h"

namespace velmora::discdata {
namespace {

using namespace store;
using test::sj;

ReleaseInfo release(std::string artist, std::string title, std::vector<MediumInfo> media)
{
    ReleaseInfo r;
    r.id = "3f1c2d4e-0000-4000-8000-000000000001";
    r.artist = std::move(artist);
    r.title = std::move(title);
    r.media = std::move(media);
    return r;
}

MediumInfo medium(std::vector<std::string> discIds, std::vector<TrackInfo> tracks, std::string format = "CD")
{
    MediumInfo m;
    m.discIds = std::move(discIds);
    m.tracks = std::move(tracks);
    m.format = std::move(format);
    return m;
}

TEST(AlbumFill, CellTextKeepsOutWhatACellCannotHold)
{
    struct Case {
        std::string utf8;
        std::string cell;
        bool replaced;
    };
    const Case cases[] = {
        {"Plain", "Plain", false},
        {"夜明けのスキャット", sj("夜明けのスキャット"), false},
        {"a<>b", "a" + sj("＜＞") + "b", false},
        {"<<>>", "<" + sj("＜＞") + ">", false},
        {"one\r\ntwo\nthree\rfour", "one two three four", false},
        {"tab\there", "tabhere", false},
        {"{memo}{}", "{memo}{}", false},  // only memo lines refuse "{}"
        // The JIS wave dash goes to its CP932 twin, no stand-in.
        {"\xE3\x80\x9C", sj("～"), false},
        // An emoji and a Hangul syllable have no CP932 form.
        {"x\xF0\x9F\x98\x80y", "x" + sj("〓") + "y", true},
        {"\xEA\xB0\x80", sj("〓"), true},
        // Bytes that are no UTF-8.
        {"a\xFF"
         "b",
         "a" + sj("〓") + "b", true},
        // A private-use character of the raw-byte range must not turn into
        // a raw "<" byte.
        {"\xEF\x9C\xBC\xEF\x9C\xBE", sj("〓〓"), true},
    };
    for (const Case& c : cases) {
        bool replaced = false;
        const std::string cell = cellFromUtf8(c.utf8, &replaced);
        EXPECT_EQ(cell, c.cell) << c.utf8;
        EXPECT_EQ(replaced, c.replaced) << c.utf8;
        EXPECT_EQ(checkCell(songTitleColumn(1), cell), CellProblem::None) << c.utf8;
    }
}

TEST(AlbumFill, ReleaseFillsArtistTitlesAndReferencesAndNothingElse)
{
    AlbumRecord base;
    base[Category1Column] = "genre";
    base[Category3Column] = "memo";
    base[ImagePathColumn] = "/pics/old.jpg";
    base[FuriganaColumn] = "reading";
    base[songTitleColumn(1)] = "typed";
    base[songArtistColumn(2)] = "kept artist";
    base[mediaColumn(3)] = "/later/song3.mp3";
    base[songTitleColumn(3)] = "third";
    const ReleaseInfo r =
        release("Band", "Album <>", {medium({"disc"}, {{"One", "Band"}, {"Two\nLines", "Band"}})});
    const std::vector<std::string> references{"CD1", "CD2"};
    const AlbumFill fill = fillAlbum(base, r, r.media.front(), references);

    AlbumRecord expected = base;
    expected[ArtistColumn] = "Band";
    expected[AlbumColumn] = "Album " + sj("＜＞");
    expected[songTitleColumn(1)] = "One";
    expected[songTitleColumn(2)] = "Two Lines";
    expected[mediaColumn(1)] = "CD1";
    expected[mediaColumn(2)] = "CD2";
    expected[Category2Column] = "CD";  // the media category was empty
    EXPECT_EQ(fill.record, expected);
    EXPECT_TRUE(fill.replacedFields.empty());
    EXPECT_FALSE(fill.truncated);
    EXPECT_EQ(fill.mediumTracks, 2u);

    // A reading that only copied the artist follows it.
    AlbumRecord copied;
    copied[ArtistColumn] = "Old";
    copied[FuriganaColumn] = "Old";
    EXPECT_EQ(fillAlbum(copied, r, r.media.front(), {}).record[FuriganaColumn], "Band");
    EXPECT_EQ(fillAlbum(AlbumRecord{}, r, r.media.front(), {}).record[FuriganaColumn], "Band");
}

TEST(AlbumFill, TrackArtistsOnlyWhereTheyDifferAndStandInsAreNamed)
{
    const ReleaseInfo r =
        release("Various", "Mix \xF0\x9F\x8E\xB5",
                {medium({"d"}, {{"A", "Various"}, {"B", "Guest \xF0\x9F\x98\x80"}, {"C", ""}})});
    const AlbumFill fill = fillAlbum(AlbumRecord{}, r, r.media.front(), {"CD1", "CD2", "CD3"});
    EXPECT_EQ(fill.record[songArtistColumn(1)], "");
    EXPECT_EQ(fill.record[songArtistColumn(2)], "Guest " + sj("〓"));
    EXPECT_EQ(fill.record[songArtistColumn(3)], "");
    EXPECT_EQ(fill.replacedFields, (std::vector<std::string>{"アルバム", "2曲目の曲ごとのアーティスト名"}));
}

TEST(AlbumFill, MoreThan99TracksKeepTheFirst99)
{
    std::vector<TrackInfo> tracks;
    for (int i = 1; i <= 120; ++i) {
        tracks.push_back({"T" + std::to_string(i), "X"});
    }
    const ReleaseInfo r = release("X", "Long", {medium({"d"}, tracks)});
    const AlbumFill fill = fillAlbum(AlbumRecord{}, r, r.media.front(), {});
    EXPECT_TRUE(fill.truncated);
    EXPECT_EQ(fill.mediumTracks, 120u);
    EXPECT_EQ(fill.record[songTitleColumn(99)], "T99");
    // The row still has its 305 cells and reads back.
    AlbumTable table;
    table.insertRow(1);
    table.setRecord(1, fill.record);
    EXPECT_EQ(table.record(1), fill.record);
}

TEST(AlbumFill, TheMediumOfTheDiscIsChosen)
{
    ReleaseInfo r = release("A", "Box",
                            {medium({"first"}, {{"1a", ""}, {"1b", ""}}),
                             medium({"second", "other"}, {{"2a", ""}, {"2b", ""}, {"2c", ""}}),
                             medium({}, {{"3a", ""}, {"3b", ""}, {"3c", ""}, {"3d", ""}}, "Vinyl"),
                             medium({}, {{"4a", ""}, {"4b", ""}, {"4c", ""}, {"4d", ""}}, "Enhanced CD")});
    EXPECT_EQ(matchingMedium(r, "other", 9), &r.media[1]);
    EXPECT_EQ(matchingMedium(r, "first", 3), &r.media[0]);
    // Found through the table of contents: the CD medium with the disc's
    // number of tracks comes before any other medium with it.
    EXPECT_EQ(matchingMedium(r, "unknown", 4), &r.media[3]);
    EXPECT_EQ(matchingMedium(r, "unknown", 3), &r.media[1]);
    EXPECT_EQ(matchingMedium(r, "unknown", 7), &r.media[0]);
    EXPECT_EQ(matchingTrackCount(r, "second", 0), 3u);

    // A box of discs with equal track counts found through the table of
    // contents: the medium whose attached disc ends nearest this disc.
    ReleaseInfo box =
        release("A", "Box",
                {medium({"d1"}, {{"1a", ""}, {"1b", ""}}), medium({"d2"}, {{"2a", ""}, {"2b", ""}}),
                 medium({"d3"}, {{"3a", ""}, {"3b", ""}})});
    box.media[0].discSectors = {150000};
    box.media[1].discSectors = {201000};
    box.media[2].discSectors = {250000};
    EXPECT_EQ(matchingMedium(box, "unknown", 2, 200900), &box.media[1]);
    EXPECT_EQ(matchingMedium(box, "unknown", 2, 249000), &box.media[2]);
    EXPECT_EQ(matchingMedium(box, "unknown", 2), &box.media[0]);  // no lead-out known
    box.media[1].discSectors.clear();                             // no disc attached: last
    EXPECT_EQ(matchingMedium(box, "unknown", 2, 201000), &box.media[2]);

    r.media.clear();
    EXPECT_EQ(matchingMedium(r, "first", 2), nullptr);
    EXPECT_EQ(matchingTrackCount(r, "first", 2), 0u);
}

TEST(AlbumFill, ReleaseDetailsGoIntoTheMemoMediaReadingAndDiscTitle)
{
    ReleaseInfo r = release("スピッツ", "Box",
                            {medium({"d1"}, {{"1a", ""}}, "SHM-CD"), medium({"d2"}, {{"2a", ""}}),
                             medium({}, {{"3a", ""}}, "DVD")});
    r.date = "1996-09-09";
    r.artistReadings = {"Spitz", "スピッツ"};  // a romanized alias is no reading
    const AlbumRecord filled = fillAlbum(AlbumRecord{}, r, r.media[1], {"CD1"}).record;
    EXPECT_EQ(filled[AlbumColumn], "Box (Disc 2/3)");
    EXPECT_EQ(filled[Category2Column], "CD");
    EXPECT_EQ(filled[Category3Column], sj("1996年"));
    EXPECT_EQ(filled[FuriganaColumn], sj("スピッツ"));

    // Without a kana reading the reading is the artist; a typed memo and
    // media category stay; a single disc has no disc number.
    ReleaseInfo single = release("Band", "One", {medium({"d"}, {{"a", ""}})});
    single.date = "2001";
    single.artistReadings = {"Band, The"};
    AlbumRecord typed;
    typed[Category2Column] = "LP";
    typed[Category3Column] = "mine";
    const AlbumRecord kept = fillAlbum(typed, single, single.media[0], {"CD1"}).record;
    EXPECT_EQ(kept[AlbumColumn], "One");
    EXPECT_EQ(kept[FuriganaColumn], "Band");
    EXPECT_EQ(kept[Category2Column], "LP");
    EXPECT_EQ(kept[Category3Column], "mine");

    EXPECT_EQ(formatSummary(r), "SHM-CD + CD + DVD");
    EXPECT_EQ(formatSummary(release("A", "B", {medium({}, {}), medium({}, {})})), "2×CD");
    EXPECT_EQ(countryName("JP"), "日本");
    EXPECT_EQ(countryName("XW"), "全世界");
    EXPECT_EQ(countryName("ZZ"), "ZZ");
    EXPECT_EQ(yearMemoLine(release("A", "B", {})), "");
}

TEST(AlbumFill, MergingIntoAnAlbumKeepsTypedTextUnlessAsked)
{
    // A 28-song album with typed text and a memo; the release has 2 tracks.
    AlbumRecord current;
    current[ArtistColumn] = "Typed Artist";
    current[FuriganaColumn] = "Typed Artist";
    current[Category1Column] = "genre";
    current[Category3Column] = "memo{}second line";
    current[songTitleColumn(1)] = "Mine";
    current[songTitleColumn(2)] = "Same";
    for (int slot = 3; slot <= 28; ++slot) {
        current[songTitleColumn(slot)] = "old " + std::to_string(slot);
        current[mediaColumn(slot)] = "/old.mp3";
    }
    AlbumRecord fetched;
    fetched[ArtistColumn] = "Band";
    fetched[FuriganaColumn] = "Band";
    fetched[AlbumColumn] = "Album";
    fetched[Category2Column] = "CD";
    fetched[Category3Column] = sj("2001年");
    fetched[songTitleColumn(1)] = "Theirs";
    fetched[songTitleColumn(2)] = "Same";
    fetched[mediaColumn(1)] = "CD9";
    fetched[mediaColumn(2)] = "CD8";
    fetched[ImagePathColumn] = "/covers/x.jpg";
    // The reading copies the artist: it is no typed text of its own.
    EXPECT_EQ(conflictingFields(current, fetched),
              (std::vector<std::string>{"アーティスト", "メモ", "1曲目の曲名"}));

    const FetchMerge kept = mergeFetchedAlbum(current, fetched, false, 2);
    EXPECT_EQ(kept.kept, conflictingFields(current, fetched));
    EXPECT_TRUE(kept.replaced.empty());
    EXPECT_EQ(kept.record[ArtistColumn], "Typed Artist");
    EXPECT_EQ(kept.record[FuriganaColumn], "Typed Artist");
    EXPECT_EQ(kept.record[AlbumColumn], "Album");
    EXPECT_EQ(kept.record[Category2Column], "CD");
    EXPECT_EQ(kept.record[Category3Column], "memo{}second line");
    EXPECT_EQ(kept.record[songTitleColumn(1)], "Mine");
    EXPECT_EQ(kept.record[mediaColumn(1)], "CD9");  // the disc's references
    EXPECT_EQ(kept.record[songTitleColumn(28)], "old 28");
    EXPECT_EQ(kept.record[ImagePathColumn], "/covers/x.jpg");

    const FetchMerge replaced = mergeFetchedAlbum(current, fetched, true, 2);
    EXPECT_EQ(replaced.replaced, conflictingFields(current, fetched));
    EXPECT_EQ(replaced.record[ArtistColumn], "Band");
    EXPECT_EQ(replaced.record[FuriganaColumn], "Band");
    EXPECT_EQ(replaced.record[Category3Column], sj("2001年") + "{}memo{}second line");
    EXPECT_EQ(replaced.record[songTitleColumn(1)], "Theirs");
    EXPECT_EQ(replaced.record[Category1Column], "genre");
    for (int slot = 3; slot <= 28; ++slot) {
        EXPECT_EQ(replaced.record[songTitleColumn(slot)], "") << slot;
        EXPECT_EQ(replaced.record[mediaColumn(slot)], "") << slot;
    }
    // A year line already first is replaced, not repeated.
    AlbumRecord dated = current;
    dated[Category3Column] = sj("1999年") + "{}notes";
    EXPECT_EQ(mergeFetchedAlbum(dated, fetched, true, 2).record[Category3Column], sj("2001年") + "{}notes");
    // A picture already named stays.
    dated[ImagePathColumn] = "/mine.jpg";
    EXPECT_EQ(mergeFetchedAlbum(dated, fetched, true, 2).record[ImagePathColumn], "/mine.jpg");
}

TEST(AlbumFill, ReferencesNamesAndAddresses)
{
    EXPECT_EQ(referencesFromLengths({(4 * 60 + 5) * 75 + 10, 75 * 60}),
              (std::vector<std::string>{"CD656644", "CD1"}));
    EXPECT_TRUE(referencesFromLengths({0, 100}).empty());
    EXPECT_EQ(referencesFromLengths(std::vector<std::int64_t>(120, 75)).size(), 99u);

    EXPECT_TRUE(isReleaseId("3f1c2d4e-0000-4000-8000-000000000001"));
    for (const char* bad : {"", "../../etc/passwd", "3F1C2D4E-0000-4000-8000-000000000001",
                            "3f1c2d4e-0000-4000-8000-00000000000", "3f1c2d4e/0000-4000-8000-000000000001"}) {
        EXPECT_FALSE(isReleaseId(bad)) << bad;
    }
    EXPECT_EQ(coverFileName("3f1c2d4e-0000-4000-8000-000000000001"),
              "covers/3f1c2d4e-0000-4000-8000-000000000001.jpg");

    EXPECT_EQ(pathCell("/data/covers/x.jpg"), "/data/covers/x.jpg");
    EXPECT_EQ(pathCell("/データ/x.jpg"), sj("/データ/x.jpg"));
    EXPECT_FALSE(pathCell("/\xF0\x9F\x98\x80/x.jpg").has_value());

    const std::string url = "https://musicbrainz.org/cdtoc/attach?id=abc&tracks=2&toc=1+2+3";
    EXPECT_EQ(submissionUrlOn("http://127.0.0.1:8080/", url),
              "http://127.0.0.1:8080/cdtoc/attach?id=abc&tracks=2&toc=1+2+3");
    EXPECT_EQ(submissionUrlOn("https://musicbrainz.org", url), url);
    EXPECT_EQ(submissionUrlOn("", url), url);
    // libdiscid may name the plain-HTTP address; the configured one wins.
    EXPECT_EQ(submissionUrlOn("https://musicbrainz.org", "http://musicbrainz.org/cdtoc/attach?id=abc"),
              "https://musicbrainz.org/cdtoc/attach?id=abc");
}

TEST(AlbumFill, TheReadingTheUserChoseForTheArtistComesBeforeTheServices)
{
    ReleaseInfo r = release("中島美嘉", "Album", {medium({"d1"}, {{"1a", ""}})});
    r.artistReadings = {"ナカジマミカ"};
    store::AlbumTable table;
    table.setRowCount(2);
    table.setCell(ArtistColumn, 1, sj("中島美嘉"));
    table.setCell(FuriganaColumn, 1, sj("なかしまみか"));
    const readings::ChosenReadings chosen(table);
    EXPECT_EQ(fillAlbum(AlbumRecord{}, r, r.media[0], {}, &chosen).record[FuriganaColumn],
              sj("なかしまみか"));
    EXPECT_EQ(fillAlbum(AlbumRecord{}, r, r.media[0], {}).record[FuriganaColumn], sj("ナカジマミカ"));
    // A reading of the album's own stays.
    AlbumRecord typed;
    typed[ArtistColumn] = "x";
    typed[FuriganaColumn] = "typed";
    EXPECT_EQ(fillAlbum(typed, r, r.media[0], {}, &chosen).record[FuriganaColumn], "typed");
}

}  // namespace
}  // namespace velmora::discdata
