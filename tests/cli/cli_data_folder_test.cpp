// velmora-cli on data folders that are none, and on leftovers of killed saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace velmora::store {
namespace {

namespace fs = std::filesystem;
using test::runCli;
using test::TempDir;
using test::writeBytes;

TEST(DataFolder, TheCommandLineToolRefusesAFolderThatIsNone)
{
    TempDir dir;
    writeBytes(dir / "plain", "x");
    for (const fs::path& folder : {dir / "missing", dir / "plain"}) {
        for (const char* command : {"info", "save"}) {
            std::ostringstream out;
            std::ostringstream err;
            int code = cli::run({"--data-dir", folder.string(), command}, out, err);
            EXPECT_EQ(code, 2) << command << " " << folder;
            EXPECT_EQ(out.str(), "") << "no album count for a folder that is none";
            EXPECT_NE(err.str().find("フォルダが見つかりません。"), std::string::npos) << err.str();
            EXPECT_NE(err.str().find((folder / "VLM.dat").string()), std::string::npos);
            EXPECT_EQ(err.str().find('\r'), std::string::npos) << "stderr lines end with LF alone";
        }
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_EQ(test::readBytes(dir / "plain"), "x");

    // An unreadable catalogue: the message's lines end with LF alone too.
    fs::create_directory(dir / "VLM.dat");
    test::CliResult result = runCli(dir, {"info"});
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("\n"), std::string::npos);
    EXPECT_EQ(result.err.find('\r'), std::string::npos);
}

TEST(DataFolder, TheCommandLineToolClearsLeftoversOfKilledSavesAtStart)
{
    TempDir dir;
    writeBytes(dir / "VLM.dat", "");
    writeBytes(dir / "VLM.dat.velmora-tmp-2147483646-AbCdEf", "abandoned");
    writeBytes(dir / "VLM.ini.velmora-tmp-2147483646-link", "abandoned");
    writeBytes(dir / "notes.txt", "mine");
    test::CliResult result = runCli(dir, {"info"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(dir.entryCount(), 2u);
    EXPECT_TRUE(fs::exists(dir / "notes.txt"));
}

}  // namespace
}  // namespace velmora::store
