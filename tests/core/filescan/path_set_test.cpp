// The set of paths a scan compares against.
#include <gtest/gtest.h>

#include <string>

#include "core/filescan/path_set.h"

namespace velmora::filescan {
namespace {

TEST(PathSet, HoldsEachPathOnceThroughGrowthAndCopies)
{
    PathSet set;
    EXPECT_TRUE(set.empty());
    EXPECT_EQ(set.count("/m/a.mp3"), 0u);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_TRUE(set.insert("/music/Album " + std::to_string(i / 10) + "/" + std::to_string(i) + ".mp3"));
    }
    EXPECT_FALSE(set.insert("/music/Album 3/35.mp3"));
    EXPECT_TRUE(set.insert(""));
    EXPECT_FALSE(set.insert(""));
    EXPECT_EQ(set.size(), 1001u);

    const PathSet copy = set;
    set = PathSet();
    EXPECT_EQ(set.count("/music/Album 0/0.mp3"), 0u);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(copy.count("/music/Album " + std::to_string(i / 10) + "/" + std::to_string(i) + ".mp3"),
                  1u);
    }
    EXPECT_TRUE(copy.contains(""));
    // Only whole paths count: no prefix, extension or neighbour.
    EXPECT_FALSE(copy.contains("/music/Album 0/0.mp"));
    EXPECT_FALSE(copy.contains("/music/Album 0/0.mp3 "));
    EXPECT_FALSE(copy.contains("/music/Album 0/1000.mp3"));
    EXPECT_FALSE(copy.contains("/music/Album 0"));
}

}  // namespace
}  // namespace velmora::filescan
