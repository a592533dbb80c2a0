#include "core/store/data_folder.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/common/line_feed_stream.h"
#include "core/store/atomic_file.h"
#include "support/temp_dir.h"

namespace velmora::store {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::writeBytes;

TEST(DataFolder, PortableBesideTheProgramInstalledInTheUsersDataFolder)
{
    TempDir dir;
    const fs::path portable = dir / "Velmora";
    fs::create_directories(portable);
    EXPECT_FALSE(DataFolder::isInstalled(portable));
    EXPECT_EQ(DataFolder::defaultDir(portable, "/xdg", "/home/u"), portable) << "a portable copy as before";

    const fs::path prefix = dir / "usr";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "velmora");
    writeBytes(prefix / "share" / "velmora" / "help.html", "<html></html>");
    EXPECT_TRUE(DataFolder::isInstalled(prefix / "bin"));
    EXPECT_EQ(DataFolder::defaultDir(prefix / "bin", "/xdg", "/home/u"), fs::path("/xdg/velmora"));
    EXPECT_EQ(DataFolder::defaultDir(prefix / "bin", nullptr, "/home/u"),
              fs::path("/home/u/.local/share/velmora"));
    EXPECT_EQ(DataFolder::defaultDir(prefix / "bin", "", "/home/u"),
              fs::path("/home/u/.local/share/velmora"));
    EXPECT_EQ(DataFolder::defaultDir(prefix / "bin", "relative", "/home/u"),
              fs::path("/home/u/.local/share/velmora"))
        << "a relative XDG_DATA_HOME is ignored";
    EXPECT_EQ(DataFolder::helpDir(prefix / "bin"), prefix / "share" / "velmora");

    writeBytes(portable / "help.html", "<html></html>");
    EXPECT_EQ(DataFolder::helpDir(portable), portable);
    fs::create_directories(dir / "other" / "bin");
    EXPECT_FALSE(DataFolder::isInstalled(dir / "other" / "bin")) << "a bin folder alone is no installation";
}

TEST(DataFolder, AMissingFolderOrAFileIsReportedAsTheSaveWouldReportIt)
{
    TempDir dir;
    writeBytes(dir / "plain", "x");
    for (const fs::path& folder : {dir / "missing", dir / "plain"}) {
        FileError checked;
        EXPECT_FALSE(DataFolder(folder).check(&checked));
        FileError saved;
        EXPECT_FALSE(writeFileAtomically(DataFolder(folder).dataFile(), "x", &saved));
        EXPECT_EQ(checked.reason, saved.reason) << folder;
        EXPECT_EQ(checked.path, (folder / "VLM.dat").string());
    }
    FileError error;
    EXPECT_TRUE(DataFolder(dir.path()).check(&error));
    EXPECT_TRUE(DataFolder(dir / "new" / "deeper").create(&error));
    EXPECT_TRUE(fs::is_directory(dir / "new" / "deeper"));
    EXPECT_FALSE(DataFolder(dir / "plain" / "below").create(&error));
    EXPECT_FALSE(error.reason.empty());
}

TEST(LineFeedOnlyStream, TurnsCrLfIntoLfAndKeepsLoneCr)
{
    std::ostringstream target;
    {
        common::LineFeedOnlyStream stream(target);
        stream << "a\r\nb\rc\r"
               << "\nd\r\r\n"
               << std::flush << "end\r";
    }
    EXPECT_EQ(target.str(), "a\nb\rc\nd\r\nend\r");
}

}  // namespace
}  // namespace velmora::store
