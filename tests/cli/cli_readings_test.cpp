// velmora-cli readings: readings for albums whose reading is empty or the
// artist's text, from the readings chosen before and the MeCab dictionary.
#include <gtest/gtest.h>

#include <filesystem>

#include "backends/mecab_reading.h"
#include "core/store/columns.h"
#include "support/cli_runner.h"
#include "support/sjis.h"

namespace velmora::test {
namespace {

std::string albumLine(std::string_view artist, std::string_view reading)
{
    return dataLineWith({{store::ArtistColumn, sj(artist)},
                         {store::AlbumColumn, sj("盤")},
                         {store::FuriganaColumn, sj(reading)}});
}

class CliReadingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = dataLineWith({}) + "\r\n" + albumLine("中島美嘉", "なかしまみか") + "\r\n" +
               albumLine("中島美嘉", "中島美嘉") + "\r\n" + albumLine("東京事変", "東京事変") + "\r\n" +
               albumLine("Mr.Children", "Mr.Children") + "\r\n";
        writeBytes(dir.path() / "VLM.dat", file);
    }

    TempDir dir;
    std::string file;
};

TEST_F(CliReadingsTest, DryRunPrintsTheProposalsAndWritesNothing)
{
    const CliResult result = runCli(dir, {"readings", "--dry-run"});
    ASSERT_EQ(result.code, 0) << result.err;
    // The reading chosen for the artist comes first; Latin names get none.
    EXPECT_NE(result.out.find("2\t中島美嘉\tなかしまみか\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("Mr.Children"), std::string::npos);
    const backends::MecabReadingDictionary dictionary;
    if (dictionary.available()) {
        EXPECT_NE(result.out.find("3\t東京事変\tとうきょうじへん\n"), std::string::npos) << result.out;
        EXPECT_TRUE(result.err.empty()) << result.err;
    }
    EXPECT_EQ(readBytes(dir.path() / "VLM.dat"), file);
}

TEST_F(CliReadingsTest, AMissingDictionaryIsSaidOnceAndChosenReadingsAreStillSet)
{
    const CliResult result = runCli(dir, {"readings", "--dictionary", (dir.path() / "none").string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "2\t中島美嘉\tなかしまみか\n");
    EXPECT_NE(result.err.find("読みの辞書"), std::string::npos);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    const std::string saved = readBytes(dir.path() / "VLM.dat");
    EXPECT_NE(
        saved.find(albumLine("中島美嘉", "なかしまみか") + "\r\n" + albumLine("中島美嘉", "なかしまみか")),
        std::string::npos);
    EXPECT_NE(saved.find(albumLine("東京事変", "東京事変")), std::string::npos);
}

TEST_F(CliReadingsTest, ArgumentsItDoesNotKnowAreRefused)
{
    EXPECT_EQ(runCli(dir, {"readings", "extra"}).code, 2);
    EXPECT_EQ(runCli(dir, {"readings", "--force"}).code, 2);
}

}  // namespace
}  // namespace velmora::test
