// The scan memory: what a rescan keeps, forgets and writes.
#include <gtest/gtest.h>

#include "core/filescan/scan_memory.h"
#include "support/temp_dir.h"

namespace velmora::filescan {
namespace {

using test::TempDir;

RememberedFile remembered(std::int64_t size, std::int64_t modified, std::u16string album)
{
    return RememberedFile{size, modified, true, std::move(album)};
}

std::vector<std::pair<std::string, RememberedFile>> files(
    std::initializer_list<std::pair<const char*, RememberedFile>> list)
{
    std::vector<std::pair<std::string, RememberedFile>> out;
    for (const auto& [path, file] : list) {
        out.emplace_back(path, file);
    }
    return out;
}

class ScanMemoryTest : public ::testing::Test {
protected:
    // A memory as a later run loads it: /m/A/1, /m/A/2, /m/B/1 and
    // /mx/C/1, a folder whose name only starts like /m.
    ScanMemory saved()
    {
        ScanMemory memory;
        memory.replaceUnder("/m", files({{"/m/A/1.mp3", remembered(10, 100, u"Alpha")},
                                         {"/m/A/2.mp3", remembered(20, 200, u"Alpha")},
                                         {"/m/B/1.mp3", remembered(30, 300, u"Beta")}}));
        memory.replaceUnder("/mx", files({{"/mx/C/1.mp3", remembered(40, 400, u"Gamma")}}));
        EXPECT_TRUE(memory.changed());
        EXPECT_TRUE(memory.save(file, nullptr));
        return ScanMemory::load(file);
    }

    TempDir dir;
    std::filesystem::path file = dir / kScanMemoryFileName;
};

TEST_F(ScanMemoryTest, ARescanKeepsWhatItFoundUnchangedAndForgetsWhatIsGone)
{
    ScanMemory memory = saved();
    ASSERT_EQ(memory.size(), 4u);
    EXPECT_FALSE(memory.changed());
    const RememberedFile* a1 = memory.find("/m/A/1.mp3", 10, 100);
    const RememberedFile* a2 = memory.find("/m/A/2.mp3", 20, 200);
    const RememberedFile* b1 = memory.find("/m/B/1.mp3", 30, 300);
    ASSERT_NE(a1, nullptr);
    ASSERT_NE(a2, nullptr);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(a1->album, u"Alpha");
    EXPECT_EQ(memory.find("/m/A/1.mp3", 10, 101), nullptr);  // touched since
    EXPECT_EQ(memory.find("/m/A/1.mp3", 11, 100), nullptr);  // grown since

    // Everything found as it was: nothing to write.
    memory.replaceUnder("/m", {}, {a1, a2, b1});
    EXPECT_FALSE(memory.changed());
    EXPECT_EQ(memory.size(), 4u);
    // Read again with the same result: nothing to write either. (What
    // find() gave is good only until the memory is given a scan.)
    a1 = memory.find("/m/A/1.mp3", 10, 100);
    a2 = memory.find("/m/A/2.mp3", 20, 200);
    memory.replaceUnder("/m", files({{"/m/B/1.mp3", remembered(30, 300, u"Beta")}}), {a1, a2});
    EXPECT_FALSE(memory.changed());
    EXPECT_EQ(memory.size(), 4u);

    // /m/A/2 is gone and /m/B/1 was rewritten; /mx is another folder.
    a1 = memory.find("/m/A/1.mp3", 10, 100);
    ASSERT_NE(a1, nullptr);
    memory.replaceUnder("/m", files({{"/m/B/1.mp3", remembered(31, 301, u"Beta 2")}}), {a1});
    EXPECT_TRUE(memory.changed());
    EXPECT_EQ(memory.size(), 3u);
    EXPECT_NE(memory.find("/m/A/1.mp3", 10, 100), nullptr);
    EXPECT_EQ(memory.find("/m/A/2.mp3", 20, 200), nullptr);
    EXPECT_EQ(memory.find("/m/B/1.mp3", 30, 300), nullptr);
    ASSERT_NE(memory.find("/m/B/1.mp3", 31, 301), nullptr);
    EXPECT_EQ(memory.find("/m/B/1.mp3", 31, 301)->album, u"Beta 2");
    EXPECT_NE(memory.find("/mx/C/1.mp3", 40, 400), nullptr);

    // A scan of a folder inside forgets only what lay there.
    memory = ScanMemory::load(file);
    memory.replaceUnder("/m/A", {});
    EXPECT_TRUE(memory.changed());
    EXPECT_EQ(memory.size(), 2u);
    EXPECT_NE(memory.find("/m/B/1.mp3", 30, 300), nullptr);
}

TEST_F(ScanMemoryTest, OnlyWhatItsFileCanHoldIsRemembered)
{
    ScanMemory memory;
    memory.replaceUnder("/m", files({{"/m/tab.mp3", remembered(1, 1, u"a\tb")},
                                     {"/m/break.mp3", remembered(1, 1, u"a\nb")},
                                     {"/m/lone.mp3", remembered(1, 1, u"a\xD800")},
                                     {"/m/line\nbreak.mp3", remembered(1, 1, u"x")},
                                     {"/m/pair.mp3", remembered(1, 1, u"\U0001D11E \u3042")},
                                     {"/m/untagged.mp3", RememberedFile{2, 2, false, {}}}}));
    ASSERT_TRUE(memory.save(file, nullptr));
    ScanMemory loaded = ScanMemory::load(file);
    EXPECT_EQ(loaded.size(), 2u);
    ASSERT_NE(loaded.find("/m/pair.mp3", 1, 1), nullptr);
    EXPECT_EQ(loaded.find("/m/pair.mp3", 1, 1)->album, u"\U0001D11E \u3042");
    ASSERT_NE(loaded.find("/m/untagged.mp3", 2, 2), nullptr);
    EXPECT_FALSE(loaded.find("/m/untagged.mp3", 2, 2)->hasTags);
}

}  // namespace
}  // namespace velmora::filescan
