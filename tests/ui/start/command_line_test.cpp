// The windowed program's command line: its answers, and the data folder
// given with --data-dir.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/command_line.h"
#include "support/temp_dir.h"

namespace velmora::app {
namespace {

namespace fs = std::filesystem;
using Kind = StartRequest::Kind;

TEST(CommandLine, VersionAndHelpWinWhereverTheyStand)
{
    EXPECT_EQ(parseStartArguments({"--data-dir", "/x", "--version"}).kind, Kind::Version);
    EXPECT_EQ(parseStartArguments({"-style", "fusion", "-h"}).kind, Kind::Help);
    EXPECT_EQ(parseStartArguments({"--help"}).kind, Kind::Help);
    EXPECT_EQ(versionText("velmora").find('\n'), versionText("velmora").size() - 1) << "one line";

    const StartRequest unknown = parseStartArguments({"--colour"});
    EXPECT_EQ(unknown.kind, Kind::Invalid);
    EXPECT_NE(unknown.message.find("不明なオプションです: --colour"), std::string::npos);
    EXPECT_EQ(parseStartArguments({"--data-dir"}).kind, Kind::Invalid);
    EXPECT_EQ(parseStartArguments({"--data-dir="}).kind, Kind::Invalid);
}

TEST(CommandLine, TheDataFolderIsMadeAbsolute)
{
    const StartRequest separate = parseStartArguments({"--data-dir", "Velmora/../Music"});
    EXPECT_EQ(separate.kind, Kind::Start);
    EXPECT_EQ(separate.dataDir, fs::current_path() / "Music");
    EXPECT_EQ(parseStartArguments({"--data-dir=/srv/music"}).dataDir, fs::path("/srv/music"));
    EXPECT_TRUE(parseStartArguments({}).dataDir.empty());
}

TEST(CommandLine, HelpIsJapaneseAndNamesTheInstalledDataFolder)
{
    const std::string help = helpText("/home/user/.local/share/velmora");
    EXPECT_NE(help.find("使い方: velmora [--data-dir フォルダ]"), std::string::npos);
    EXPECT_NE(help.find("/home/user/.local/share/velmora"), std::string::npos);
    EXPECT_NE(help.find("~/.local/share/velmora"), std::string::npos);
    for (const char* english : {"Usage", "Options", "Displays", "default", "DIR"}) {
        EXPECT_EQ(help.find(english), std::string::npos) << english;
    }
}

TEST(CommandLine, AMissingDataFolderIsCreated)
{
    test::TempDir dir;
    std::string message;
    EXPECT_TRUE(prepareDataDir(dir / "Velmora" / "catalogue", &message)) << message;
    EXPECT_TRUE(fs::is_directory(dir / "Velmora" / "catalogue"));
    EXPECT_TRUE(prepareDataDir(dir / "Velmora", &message)) << "an existing folder is kept";

    // Beneath a plain file no folder can be made; a plain file is no folder.
    test::writeBytes(dir / "plain", "x");
    for (const fs::path& impossible : {dir / "plain" / "Velmora", dir / "plain"}) {
        message.clear();
        EXPECT_FALSE(prepareDataDir(impossible, &message)) << impossible;
        EXPECT_NE(message.find("データフォルダを作成できません。"), std::string::npos) << message;
        EXPECT_NE(message.find(impossible.string()), std::string::npos) << message;
    }
    EXPECT_EQ(test::readBytes(dir / "plain"), "x");
}

}  // namespace
}  // namespace velmora::app
