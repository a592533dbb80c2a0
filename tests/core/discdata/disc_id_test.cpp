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
