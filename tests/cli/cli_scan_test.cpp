// velmora-cli scan: albums from a folder of generated music files.
#include <gtest/gtest.h>

#include <sstream>

#include "backends/tags_test_files.h"
#include "core/store/album_table.h"
#include "core/store/data_file.h"
#include "support/cli_runner.h"
#include "support/sjis.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

class CliScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        song("Zeta/01.mp3", {"始まり", "歌手", "", "ゼータ", "J-Pop", "2001", "1", ""}, true);
        song("Zeta/02.mp3", {"終わり", "客演", "歌手", "ゼータ", "J-Pop", "2001", "2", ""});
        song("Alpha/CD1/1.flac", {"One", "Band", "", "Alpha", "", "", "1", "1"});
        song("Alpha/CD2/1.flac", {"Two", "Band", "", "Alpha", "", "", "1", "2"});
    }

    void song(const std::string& relative, const TestTags& tags, bool cover = false)
    {
        const fs::path path = music / relative;
        writeSoundFile(path, path.extension().string().substr(1));
        writeTags(path, tags);
        if (cover) {
            embedCover(path, jpegBytes('z'));
        }
    }

    store::AlbumTable catalogue()
    {
        store::AlbumTable table;
        store::loadDataFile(data / "VLM.dat", table);
        return table;
    }

    TempDir data;
    TempDir musicDir;
    fs::path music = musicDir / "music";
};

TEST_F(CliScanTest, DryRunListsTheAlbumsAndChangesNothing)
{
    CliResult result = runCli(data, {"scan", music.string(), "--dry-run"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(lines(result.out), (std::vector<std::string>{
                                     "Band\tAlpha\t2\t" + (music / "Alpha").string(),
                                     "歌手\tゼータ\t2\t" + (music / "Zeta").string(),
                                     "albums: 2 songs: 4",
                                 }));
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(fs::exists(data / "VLM.dat"));
    EXPECT_FALSE(fs::exists(data / "covers"));
}

TEST_F(CliScanTest, ScanAppendsSavesAndASecondScanAddsNothing)
{
    CliResult first = runCli(data, {"scan", music.string()});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(lines(first.out).back(), "albums: 2 songs: 4");
    store::AlbumTable table = catalogue();
    ASSERT_EQ(table.albumCount(), 2);
    store::AlbumRecord zeta = table.record(2);
    EXPECT_EQ(utf8(zeta[store::ArtistColumn]), "歌手");
    EXPECT_EQ(utf8(zeta[store::Category1Column]), "J-Pop");
    EXPECT_EQ(utf8(zeta[store::Category3Column]), "2001年");
    EXPECT_EQ(utf8(zeta[store::songArtistColumn(1)]), "");
    EXPECT_EQ(utf8(zeta[store::songArtistColumn(2)]), "客演");
    EXPECT_EQ(zeta[store::mediaColumn(2)], (music / "Zeta" / "02.mp3").string());
    const fs::path cover = zeta[store::ImagePathColumn];
    EXPECT_EQ(cover.parent_path(), data / "covers");
    EXPECT_TRUE(fs::is_regular_file(cover));

    CliResult second = runCli(data, {"scan", music.string()});
    ASSERT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(second.out, "albums: 0 songs: 0\n");
    EXPECT_NE(second.err.find("すべての曲が登録済みのアルバム: 2"), std::string::npos) << second.err;
    EXPECT_EQ(catalogue().albumCount(), 2);

    // A new song in a known folder becomes an album of its own.
    song("Zeta/03.mp3", {"追加", "歌手", "", "ゼータ", "", "", "3", ""});
    CliResult third = runCli(data, {"scan", music.string()});
    EXPECT_EQ(lines(third.out), (std::vector<std::string>{"歌手\tゼータ\t1\t" + (music / "Zeta").string(),
                                                          "albums: 1 songs: 1"}));
    EXPECT_EQ(catalogue().albumCount(), 3);
}

TEST_F(CliScanTest, WrongArgumentsAndMissingFolders)
{
    CliResult missing = runCli(data, {"scan", (music / "nowhere").string()});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("フォルダが存在しません"), std::string::npos);
    EXPECT_EQ(runCli(data, {"scan"}).code, 2);
    EXPECT_EQ(runCli(data, {"scan", music.string(), "--force"}).code, 2);
    EXPECT_EQ(runCli(data, {"scan", music.string(), music.string()}).code, 2);
    EXPECT_FALSE(fs::exists(data / "VLM.dat"));
}

}  // namespace
}  // namespace velmora::test
