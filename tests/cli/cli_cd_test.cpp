// velmora-cli's audio CD commands on generated CUE/BIN disc images.
#include <gtest/gtest.h>

#include "store/columns.h"
#include "support/audio_files.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace velmora::cli {
namespace {

using test::dataLineWith;
using test::runCli;
using test::TempDir;

using test::msf;

TEST(CliCd, TocRegisterAndLookupOnADiscImage)
{
    TempDir dir;
    const std::string cue =
        test::writeDiscImage(dir.path(), "disc", {msf(4, 5, 10), msf(3, 0, 0), msf(0, 30, 1)}).string();
    test::CliResult toc = runCli(dir, {"cd", "toc", "--device", cue});
    ASSERT_EQ(toc.code, 0) << toc.err;
    EXPECT_EQ(toc.out, "CD656644\nCD3\nCD" + std::to_string(30 * 256 + 65536) + "\n");

    using store::mediaColumn;
    const std::string album1 = dataLineWith(
        {{store::ArtistColumn, "a"}, {store::FuriganaColumn, "a"}, {store::songTitleColumn(1), "t1"}});
    const std::string album2 = dataLineWith({{store::ArtistColumn, "b"},
                                             {store::FuriganaColumn, "b"},
                                             {store::songArtistColumn(2), "sa2"},
                                             {mediaColumn(1), "/old1.mp3"},
                                             {mediaColumn(4), "/keep4.mp3"}});
    test::writeBytes(dir / "VLM.dat", dataLineWith({}) + "\r\n" + album1 + "\r\n" + album2 + "\r\n");
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", cue}).out, "0\n");

    test::CliResult registered = runCli(dir, {"cd", "register", "2", "--device", cue});
    ASSERT_EQ(registered.code, 0) << registered.err;
    const std::string expected = dataLineWith({{store::ArtistColumn, "b"},
                                               {store::FuriganaColumn, "b"},
                                               {store::songArtistColumn(2), "sa2"},
                                               {mediaColumn(1), "CD656644"},
                                               {mediaColumn(2), "CD3"},
                                               {mediaColumn(3), "CD" + std::to_string(30 * 256 + 65536)},
                                               {mediaColumn(4), "/keep4.mp3"}});
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"),
              dataLineWith({}) + "\r\n" + album1 + "\r\n" + expected + "\r\n");
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", cue}).out, "2\n");

    // The same disc registered to a later album: that one is found.
    ASSERT_EQ(runCli(dir, {"cd", "register", "1", "--device", cue}).code, 0);
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", cue}).out, "2\n");
}

TEST(CliCd, UnreadableImageAndMissingDevice)
{
    TempDir dir;
    test::writeBytes(dir / "garbage.cue", "no disc here\n");
    test::writeBytes(dir / "VLM.dat", dataLineWith({}) + "\r\n" + dataLineWith({{0, "a"}}) + "\r\n");
    const std::string garbage = (dir / "garbage.cue").string();
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", garbage}).out, "-1\n");
    test::CliResult toc = runCli(dir, {"cd", "toc", "--device", garbage});
    EXPECT_EQ(toc.code, 1);
    EXPECT_EQ(toc.err, "読み込めません\n");
    const std::string before = test::readBytes(dir / "VLM.dat");
    EXPECT_EQ(runCli(dir, {"cd", "register", "1", "--device", garbage}).code, 1);
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"), before);

    test::CliResult missing = runCli(dir, {"cd", "lookup", "--device", (dir / "none").string()});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("見つかりません"), std::string::npos);
    EXPECT_EQ(runCli(dir, {"cd", "eject", "--device", garbage}).code, 2);
}

}  // namespace
}  // namespace velmora::cli
