// Disc identifiers from tables of contents whose identifiers libdiscid's
// documentation and test suites give, and the table built from track
// lengths.
#include <gtest/gtest.h>

#include "core/discdata/disc_id.h"

namespace velmora::discdata {
namespace {

TEST(DiscId, KnownTablesGiveTheirDocumentedIdentifiers)
{
    struct Known {
        DiscTable table;
        const char* musicBrainz;
        const char* freeDb;
    };
    const Known known[] = {
        // A 15-track disc whose 16th (data) track is left out: the lead-out
        // is the end of the last audio track.
        {{1,
          15,
          258725,
          {150, 17510, 33275, 45910, 57805, 78310, 94650, 109580, 132010, 149160, 165115, 177710, 203325,
           215555, 235590}},
         "TqvKjMu7dMliSfmVEBtrL7sBSno-",
         "b60d770f"},
        // Two short tracks.
        {{1, 2, 2000, {150, 1000}}, "YPv1TJ03f7pu6fgwp1cpr3cVsf0-", nullptr},
    };
    for (const Known& k : known) {
        std::optional<DiscIds> ids = computeDiscIds(k.table);
        ASSERT_TRUE(ids.has_value()) << tocString(k.table);
        EXPECT_EQ(ids->musicBrainz, k.musicBrainz);
        if (k.freeDb != nullptr) {
            EXPECT_EQ(ids->freeDb, k.freeDb);
        }
        EXPECT_EQ(ids->freeDb.size(), 8u);
        // The submission page names the disc and its table of contents.
        EXPECT_NE(ids->submissionUrl.find(std::string("id=") + k.musicBrainz), std::string::npos);
        EXPECT_NE(ids->submissionUrl.find("musicbrainz.org/cdtoc/attach?"), std::string::npos);
    }
}

TEST(DiscId, TableFromTrackLengthsCountsTheLeadIn)
{
    const DiscTable table = discTableFromLengths({1000, 250, 4000});
    EXPECT_EQ(table.firstTrack, 1);
    EXPECT_EQ(table.lastTrack, 3);
    EXPECT_EQ(table.offsets, (std::vector<std::int64_t>{150, 1150, 1400}));
    EXPECT_EQ(table.leadout, 5400);
    EXPECT_EQ(tocString(table), "1 3 5400 150 1150 1400");

    // A disc whose first track starts later and is numbered otherwise.
    const DiscTable later = discTableFromLengths({300, 300}, 2, 32);
    EXPECT_EQ(tocString(later), "2 3 782 182 482");
    EXPECT_TRUE(computeDiscIds(later).has_value());

    // The same table through both routes gives the same identifier.
    EXPECT_EQ(computeDiscIds(discTableFromLengths({850, 1000}))->musicBrainz,
              computeDiscIds({1, 2, 2000, {150, 1000}})->musicBrainz);
}

// A layout as a drive reads it: addresses without the lead-in.
DiscLayout layoutOf(std::vector<std::int64_t> addresses, std::int64_t leadout, std::vector<bool> audio = {},
                    int firstTrack = 1)
{
    DiscLayout layout;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        layout.tracks.push_back(
            {firstTrack + static_cast<int>(i), addresses[i], i < audio.size() ? audio[i] : true});
    }
    layout.leadout = leadout;
    return layout;
}

TEST(DiscId, EnhancedCdsLeaveTheirDataSessionOut)
{
    // The published 15-track disc with its data track as the drive reads
    // it: the data track starts 11,400 sectors after the audio ends.
    const std::vector<std::int64_t> offsets{150,    17510,  33275,  45910,  57805,  78310,  94650, 109580,
                                            132010, 149160, 165115, 177710, 203325, 215555, 235590};
    std::vector<std::int64_t> addresses;
    for (std::int64_t offset : offsets) {
        addresses.push_back(offset - 150);
    }
    const std::int64_t dataStart = 258725 - 150 + 11400;
    addresses.push_back(dataStart);
    std::vector<bool> audio(15, true);
    audio.push_back(false);
    const LayoutTable enhanced = discTableFromLayout(layoutOf(addresses, dataStart + 30000, audio));
    ASSERT_EQ(enhanced.problem, LayoutProblem::None);
    EXPECT_EQ(enhanced.table.lastTrack, 15);
    EXPECT_EQ(enhanced.table.leadout, 258725);
    EXPECT_EQ(enhanced.table.offsets, offsets);
    const std::optional<DiscIds> ids = computeDiscIds(enhanced.table);
    ASSERT_TRUE(ids.has_value());
    EXPECT_EQ(ids->musicBrainz, "TqvKjMu7dMliSfmVEBtrL7sBSno-");
    EXPECT_EQ(ids->freeDb, "b60d770f");

    // A data track first (mixed mode) is counted; so is a hidden track's
    // address before track 1.
    const LayoutTable mixed = discTableFromLayout(layoutOf({0, 20000, 40000}, 60000, {false, true, true}));
    EXPECT_EQ(tocString(mixed.table), "1 3 60150 150 20150 40150");
    const LayoutTable hidden = discTableFromLayout(layoutOf({2250, 20000}, 60000));
    EXPECT_EQ(tocString(hidden.table), "1 2 60150 2400 20150");
}

TEST(DiscId, DataDiscsAndDamagedLayoutsAreNamed)
{
    const LayoutTable data = discTableFromLayout(layoutOf({0, 5000}, 9000, {false, false}));
    EXPECT_EQ(data.problem, LayoutProblem::NoAudio);
    EXPECT_EQ(layoutProblemText(data), "音楽CDではありません");

    const LayoutTable backwards = discTableFromLayout(layoutOf({0, 5000, 4000}, 9000));
    EXPECT_EQ(backwards.problem, LayoutProblem::Damaged);
    EXPECT_EQ(backwards.damagedTrack, 2);
    EXPECT_EQ(layoutProblemText(backwards),
              "ディスクイメージが壊れています (トラック2が始まる前に終わっています)");
    // An empty track would repeat an offset; a lead-out before the last
    // track's start is the same fault.
    EXPECT_EQ(discTableFromLayout(layoutOf({0, 5000, 5000}, 9000)).damagedTrack, 2);
    EXPECT_EQ(discTableFromLayout(layoutOf({0, 5000}, 4000)).damagedTrack, 2);
    EXPECT_EQ(discTableFromLayout(DiscLayout{}).problem, LayoutProblem::NoTracks);
}

TEST(DiscId, TablesNoDiscCanHaveAreRefused)
{
    EXPECT_FALSE(computeDiscIds(discTableFromLengths({})).has_value());
    EXPECT_FALSE(computeDiscIds(discTableFromLengths(std::vector<std::int64_t>(100, 500))).has_value());
    EXPECT_FALSE(computeDiscIds({1, 2, 2000, {1000, 150}}).has_value());  // out of order
    EXPECT_FALSE(computeDiscIds({1, 2, 900, {150, 1000}}).has_value());   // past the lead-out
    EXPECT_FALSE(computeDiscIds({1, 3, 2000, {150, 1000}}).has_value());  // last track does not match
    EXPECT_TRUE(computeDiscIds(discTableFromLengths(std::vector<std::int64_t>(99, 500))).has_value());
}

}  // namespace
}  // namespace velmora::discdata
