#include "cli/cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "backends/folder_lock.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace velmora::cli {
namespace {

using test::dataLine;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

using Result = test::CliResult;
using test::runCli;

TEST(Cli, InfoAndSave)
{
    TempDir dir;
    EXPECT_EQ(runCli(dir, {"info"}).out, "albums: 0\n");

    const std::string file = dataLine({}) + "\r\n" + dataLine({"a", "", "t"}).insert(2 + 2 * 205, "a") +
                             "\r\n" + dataLine({"b", "", "u"}).insert(2 + 2 * 205, "b") + "\r\n";
    writeBytes(dir / "VLM.dat", file);
    Result info = runCli(dir, {"info"});
    EXPECT_EQ(info.code, 0);
    EXPECT_EQ(info.out, "albums: 2\n");

    EXPECT_EQ(runCli(dir, {"save"}).code, 0);
    EXPECT_EQ(readBytes(dir / "VLM.dat"), file);
}

TEST(Cli, SaveWithoutAFileWritesAnEmptyCatalogue)
{
    TempDir dir;
    EXPECT_EQ(runCli(dir, {"save"}).code, 0);
    EXPECT_EQ(readBytes(dir / "VLM.dat"), dataLine({}) + "\r\n");
}

TEST(Cli, ErrorsExitWithTwo)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "VLM.dat");
    Result info = runCli(dir, {"info"});
    EXPECT_EQ(info.code, 2);
    EXPECT_NE(info.err.find("ファイルを読み込めませんでした。"), std::string::npos);
    EXPECT_NE(info.err.find("VLM.dat"), std::string::npos);
    EXPECT_EQ(runCli(dir, {"save"}).code, 2);
    EXPECT_EQ(runCli(dir, {"frobnicate"}).code, 2);
    EXPECT_EQ(runCli(dir, {}).code, 2);
    EXPECT_EQ(runCli(dir, {"--bogus", "info"}).code, 2);
}

TEST(Cli, WritingCommandsAreRefusedWhileAWindowHoldsTheFolder)
{
    TempDir dir;
    const std::string file = dataLine({}) + "\r\n" + dataLine({"a", "", "t", "a"}) + "\r\n";
    writeBytes(dir / "VLM.dat", file);
    writeBytes(dir / "in.csv", "x,y\r\n");
    platform::FolderLock window(dir.path());
    ASSERT_EQ(window.lock(), platform::FolderLock::Outcome::Locked);

    const std::vector<std::vector<std::string>> writers = {
        {"save"},
        {"import", (dir / "in.csv").string(), "--csv"},
        {"convert", "0", "1"},
        {"replace", "0", "a", "b"},
    };
    for (const std::vector<std::string>& command : writers) {
        Result refused = runCli(dir, command);
        EXPECT_EQ(refused.code, 2) << command[0];
        EXPECT_NE(refused.err.find("Velmora のウィンドウが使用中のため、書き込めません。"), std::string::npos)
            << command[0];
        EXPECT_NE(refused.err.find(dir.path().string()), std::string::npos) << command[0];
    }
    EXPECT_EQ(readBytes(dir / "VLM.dat"), file);
    // Reading commands work.
    EXPECT_EQ(runCli(dir, {"info"}).out, "albums: 1\n");
    EXPECT_EQ(runCli(dir, {"export", "csv", (dir / "out.csv").string()}).code, 0);
    EXPECT_EQ(runCli(dir, {"search", "0", "a"}).code, 0);

    window.unlock();
    Result imported = runCli(dir, {"import", (dir / "in.csv").string(), "--csv"});
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(runCli(dir, {"info"}).out, "albums: 2\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "VLM.lock")) << "the check leaves no lock behind";
}

TEST(Cli, WebSearchAddress)
{
    TempDir dir;
    writeBytes(dir / "VLM.dat", dataLine({}) + "\r\n" +
                                    test::dataLineWith({{0, "A"}, {2, "B & C"}, {6, "one"}, {205, "A"}}) +
                                    "\r\n");
    writeBytes(dir / "VLM.ini", "[Internet]\r\nCheck0=1\r\nCheck1=1\r\nCheck2=1\r\n");
    Result result = runCli(dir, {"websearch", "1", "--site", "2"});
    EXPECT_EQ(result.out,
              "http://www.hmv.co.jp/search/title.asp?category=KEYWORDS&keyword=A%20B%20%26%20C%20\n")
        << "no song: left out without its space; an empty tail adds nothing";
    result = runCli(dir, {"websearch", "1", "--site", "3", "--song", "1"});
    EXPECT_EQ(result.out,
              "http://tower.jp/sitemap/CSfSearchResults.jsp?keyword=AllKey&entry=A%20B%20%26%20C%20one%20"
              "&GOODS_SORT_CD=101&SEARCH_GENRE=ALL&x=16&y=10\n");
    EXPECT_EQ(runCli(dir, {"websearch", "1", "--site", "4"}).code, 2);
    EXPECT_EQ(runCli(dir, {"websearch", "2", "--site", "1"}).code, 2);
}

TEST(Cli, WebSearchKeepsTheMemosEmptyLines)
{
    TempDir dir;
    writeBytes(dir / "VLM.dat",
               dataLine({}) + "\r\n" + test::dataLineWith({{0, "A"}, {5, "{}{}a{}b"}}) + "\r\n");
    writeBytes(dir / "VLM.ini", "[Internet]\r\nCheck0=0\r\nCheck1=0\r\nCheck5=1\r\n");
    EXPECT_EQ(runCli(dir, {"websearch", "1", "--site", "2"}).out,
              "http://www.hmv.co.jp/search/title.asp?category=KEYWORDS&keyword=%0A%0Aa%0Ab%20\n")
        << "the memo's lines joined as the edit dialog shows them, leading empty lines included";
}

}  // namespace
}  // namespace velmora::cli
