// CD references and finding the album that stands for a disc.
#include "core/media/audio_cd.h"

#include <gtest/gtest.h>

#include "core/store/columns.h"
#include "support/audio_files.h"
#include "support/fake_media_device.h"
#include "support/temp_dir.h"

namespace velmora::media {
namespace {

using store::mediaColumn;

using test::msf;

std::vector<std::string> referencesOf(std::vector<std::int64_t> tracks)
{
    test::FakeMediaDevice device;
    device.discTracks = std::move(tracks);
    device.setDeviceType(DeviceType::CDAudio);
    device.setFileName("/dev/fake-cd");
    EXPECT_TRUE(device.open());
    std::optional<std::vector<std::string>> references = discReferences(device);
    return references.value_or(std::vector<std::string>{"unreadable"});
}

TEST(AudioCd, ReferenceIsMinutesPlusSecondsTimes256PlusFramesTimes65536)
{
    // 4 + 5 × 256 + 10 × 65536 = 656644.
    EXPECT_EQ(referencesOf({msf(4, 5, 10), msf(0, 59, 74)}),
              (std::vector<std::string>{"CD656644", "CD" + std::to_string(59 * 256 + 74 * 65536)}));
    // Only the first 99 tracks have songs to go into.
    EXPECT_EQ(referencesOf(std::vector<std::int64_t>(120, msf(1, 0, 0))).size(), 99u);
}

TEST(AudioCd, DiscWithoutTracksIsUnreadableButAOneMinuteFirstTrackIsNot)
{
    EXPECT_EQ(referencesOf({}), std::vector<std::string>{"unreadable"});
    // A first track of exactly one minute packs to 1, which is still a
    // track and registers like any other.
    EXPECT_EQ(referencesOf({msf(1, 0, 0), msf(0, 0, 1)}), (std::vector<std::string>{"CD1", "CD65536"}));
}

TEST(AudioCd, RegisteringWritesOnlyTheTracksMediaCells)
{
    store::AlbumRecord record;
    for (int song = 1; song <= 5; ++song) {
        record[store::songTitleColumn(song)] = "title" + std::to_string(song);
        record[store::songArtistColumn(song)] = "artist" + std::to_string(song);
        record[mediaColumn(song)] = "old" + std::to_string(song);
    }
    registerDisc(record, {"CD1", "CD2", "CD3"});
    EXPECT_EQ(record[mediaColumn(1)], "CD1");
    EXPECT_EQ(record[mediaColumn(3)], "CD3");
    EXPECT_EQ(record[mediaColumn(4)], "old4");
    EXPECT_EQ(record[store::songTitleColumn(2)], "title2");
    EXPECT_EQ(record[store::songArtistColumn(3)], "artist3");
}

TEST(AudioCd, LookupFindsTheHighestAlbumCarryingExactlyTheDiscsReferences)
{
    store::AlbumTable table;
    table.setRowCount(6);
    auto give = [&table](int row, std::initializer_list<std::string_view> media) {
        int song = 1;
        for (std::string_view cell : media) {
            table.setCell(mediaColumn(song++), row, cell);
        }
    };
    give(1, {"CD10", "CD20"});
    give(2, {"CD10", "CD20", "CD30"});
    give(3, {"CD10", "CD21", "CD30"});            // track 2 differs
    give(4, {"CD10", "CD20", "CD30", "/a.mp3"});  // a song beyond the disc
    give(5, {"CD100", "CD20", "CD30"});           // "CD10" only as a prefix
    const std::vector<std::string> disc{"CD10", "CD20", "CD30"};
    EXPECT_EQ(findDiscAlbum(table, disc), 4);
    table.setCell(mediaColumn(4), 4, "");
    EXPECT_EQ(findDiscAlbum(table, disc), 4);
    table.setCell(mediaColumn(1), 4, "cd10");  // text equality, case included
    EXPECT_EQ(findDiscAlbum(table, disc), 2);
    EXPECT_EQ(findDiscAlbum(table, {"CD99"}), 0);
    EXPECT_EQ(findDiscAlbum(table, {}), 0);
}

}  // namespace
}  // namespace velmora::media
