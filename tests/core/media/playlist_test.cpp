#include "core/media/playlist.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/media/media_device.h"
#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "support/sjis.h"

namespace velmora::media {
namespace {

using test::sj;

// An album row with the given songs: slot -> {title, media path}.
store::AlbumTable albumWith(const std::map<int, std::pair<std::string, std::string>>& songs)
{
    store::AlbumTable table;
    table.setRowCount(2);
    for (const auto& [slot, song] : songs) {
        table.setCell(store::songTitleColumn(slot), 1, song.first);
        table.setCell(store::mediaColumn(slot), 1, song.second);
    }
    return table;
}

TEST(PlaylistTest, SongCountEndsAtTheLastSongWithATitleOrPath)
{
    // Songs 1-3 titled (one without a path), song 4 empty, song 5 filled.
    store::AlbumTable table =
        albumWith({{1, {"a", "/m/1.wav"}}, {2, {"b", ""}}, {3, {"", "/m/3.wav"}}, {5, {"e", "/m/5.wav"}}});
    EXPECT_EQ(mediaSongCount(table.rowCells(1)), 5) << "the gap at song 4 is listed, song 5 plays";

    // Song 1 empty: songs 2 and 3 still play.
    table = albumWith({{2, {"b", "/m/2.wav"}}, {3, {"", "/m/3.wav"}}});
    EXPECT_EQ(mediaSongCount(table.rowCells(1)), 3);

    // No song at all: nothing is listed.
    table = albumWith({});
    EXPECT_EQ(mediaSongCount(table.rowCells(1)), 0);

    // Every song filled: all of them.
    std::map<int, std::pair<std::string, std::string>> all;
    for (int slot = 1; slot <= store::kSongSlots; ++slot) {
        all[slot] = {"t" + std::to_string(slot), ""};
    }
    table = albumWith(all);
    EXPECT_EQ(mediaSongCount(table.rowCells(1)), 99);

    // A song artist alone does not keep a song in the list.
    table = albumWith({{1, {"a", ""}}});
    table.setCell(store::songArtistColumn(2), 1, "x");
    EXPECT_EQ(mediaSongCount(table.rowCells(1)), 1);
}

TEST(PlaylistTest, EntryTexts)
{
    const std::string title = sj("夜明け");
    const std::string artist = sj("歌手");
    EXPECT_EQ(mediaEntryText(3, title, "", true), "3" + sj("　夜明け"));
    EXPECT_EQ(mediaEntryText(3, title, artist, true), "3" + sj("　夜明け/歌手"));
    EXPECT_EQ(mediaEntryText(12, title, "", false), "12" + sj("　(未登録)夜明け"));
    EXPECT_EQ(mediaEntryText(12, "", artist, false), "12" + sj("　(未登録)/歌手"));

    EXPECT_EQ(cdEntryText(1, title, "", true), "1" + sj("　夜明け"));
    EXPECT_EQ(cdEntryText(1, title, artist, true), "1" + sj("　夜明け/歌手"));
    EXPECT_EQ(cdEntryText(7, "", "", true), "7" + sj("　"));
    // Without an album the titles are unknown; nothing else is added.
    EXPECT_EQ(cdEntryText(7, title, artist, false), "7" + sj("　(未登録)"));
}

TEST(PlaylistTest, SequentialGoesToTheNextCheckedEntryAndWraps)
{
    const std::vector<bool> checked{true, false, true, true, false};
    EXPECT_EQ(nextEntry(checked, 0, PlayOrder::Sequential, {}), 2);
    EXPECT_EQ(nextEntry(checked, 2, PlayOrder::Sequential, {}), 3);
    EXPECT_EQ(nextEntry(checked, 3, PlayOrder::Sequential, {}), 0);
    // An unchecked current entry still steps on from where it is.
    EXPECT_EQ(nextEntry(checked, 1, PlayOrder::Sequential, {}), 2);
    EXPECT_EQ(nextEntry(checked, 4, PlayOrder::Sequential, {}), 0);
}

TEST(PlaylistTest, OnlyTheCurrentEntryCheckedStopsSequentialAndRandom)
{
    const std::vector<bool> one{false, true, false};
    EXPECT_EQ(nextEntry(one, 1, PlayOrder::Sequential, {}), std::nullopt);
    EXPECT_EQ(nextEntry(one, 1, PlayOrder::Random, [](int) { return 0; }), std::nullopt);
    EXPECT_EQ(nextEntry({}, 0, PlayOrder::Sequential, {}), std::nullopt);
    // Another checked entry while the current one is unchecked plays.
    EXPECT_EQ(nextEntry(one, 0, PlayOrder::Sequential, {}), 1);
    // Repeat plays the current entry again, whatever else is checked.
    EXPECT_EQ(nextEntry(one, 1, PlayOrder::Repeat, {}), 1);
    EXPECT_EQ(nextEntry({true, true}, 0, PlayOrder::Repeat, {}), 0);
}

TEST(PlaylistTest, RandomNeverDrawsTheCurrentOrAnUncheckedEntry)
{
    const std::vector<bool> checked{true, true, false, true, true};
    std::mt19937 engine(7);
    std::map<int, int> seen;
    for (int round = 0; round < 400; ++round) {
        const int current = round % 5;
        std::optional<int> next = nextEntry(checked, current, PlayOrder::Random, [&](int count) {
            return std::uniform_int_distribution<int>(0, count - 1)(engine);
        });
        ASSERT_TRUE(next.has_value());
        EXPECT_NE(*next, current);
        EXPECT_TRUE(checked[static_cast<std::size_t>(*next)]) << *next;
        ++seen[*next];
    }
    // Every checked entry comes up.
    EXPECT_EQ(seen.size(), 4u);
    // A generator giving something out of range still gives a valid entry.
    EXPECT_EQ(nextEntry(checked, 0, PlayOrder::Random, [](int) { return 99; }), 1);
}

TEST(PlaylistTest, BarClickRoundsToTheNearestValue)
{
    EXPECT_EQ(barClickValue(240, 100, 200), 120);
    EXPECT_EQ(barClickValue(10000, 1, 3), 3333);
    EXPECT_EQ(barClickValue(10000, 2, 3), 6667);
    // Halves go to the even neighbour.
    EXPECT_EQ(barClickValue(5, 1, 2), 2);
    EXPECT_EQ(barClickValue(7, 1, 2), 4);
    // Outside the bar and degenerate bars stay within 0..maximum.
    EXPECT_EQ(barClickValue(240, -5, 200), 0);
    EXPECT_EQ(barClickValue(240, 300, 200), 240);
    EXPECT_EQ(barClickValue(240, 10, 0), 0);
    EXPECT_EQ(barClickValue(0, 10, 200), 0);
}

TEST(PlaylistTest, CdSeekKeepsTrackAndFrames)
{
    const std::int64_t at = packTmsf({3, 1, 17, 42});
    const Tmsf target = unpackTmsf(cdSeekTarget(at, 125));
    EXPECT_EQ(target.track, 3);
    EXPECT_EQ(target.minutes, 2);
    EXPECT_EQ(target.seconds, 5);
    EXPECT_EQ(target.frames, 42);
    EXPECT_EQ(unpackTmsf(cdSeekTarget(at, 0)).minutes, 0);
    EXPECT_EQ(unpackTmsf(cdSeekTarget(at, 0)).seconds, 0);
}

TEST(PlaylistTest, PositionTexts)
{
    const std::int64_t length = packMsf((4 * 60 + 5) * FramesPerSecond + 10);
    EXPECT_EQ(cdPositionText(packTmsf({2, 1, 7, 30}), length), "1m 7s / 4m 5s ");
    EXPECT_EQ(filePositionText(1500, 10000), "1500 / 10000");
}

TEST(PlaylistTest, ChangeCounterAdvancesOnceAndSettlesAtThree)
{
    ChangeCounter counter;
    EXPECT_FALSE(counter.shouldAdvance());
    counter.endSeen();
    EXPECT_TRUE(counter.shouldAdvance());
    counter.advanced();
    EXPECT_EQ(counter.value(), 2);
    // The end seen again without new playback: no second advance, ever.
    for (int tick = 0; tick < 5; ++tick) {
        counter.endSeen();
        EXPECT_FALSE(counter.shouldAdvance());
    }
    EXPECT_EQ(counter.value(), 3);
    counter.playingSeen();
    counter.endSeen();
    EXPECT_TRUE(counter.shouldAdvance());
    counter.set(9);
    EXPECT_EQ(counter.value(), 3);
}

}  // namespace
}  // namespace velmora::media
