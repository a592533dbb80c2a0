// velmora-cli scan: albums from a folder of generated music files.
#include <gtest/gtest.h>

#include <taglib/id3v1tag.h>
#include <taglib/textidentificationframe.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "backends/tags_test_files.h"
#include "core/media/media_path.h"
#include "core/store/album_table.h"
#include "core/store/data_file.h"
#include "core/store/string_grid_io.h"
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

void writeBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
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

    // New songs in a known folder join its album.
    song("Zeta/03.mp3", {"追加", "歌手", "", "ゼータ", "", "", "3", ""});
    song("Zeta/04.mp3", {"追加2", "歌手", "", "ゼータ", "", "", "4", ""});
    song("Zeta/05.mp3", {"追加3", "歌手", "", "ゼータ", "", "", "5", ""});
    CliResult third = runCli(data, {"scan", music.string()});
    EXPECT_EQ(lines(third.out), (std::vector<std::string>{"歌手\tゼータ\t3\t" + (music / "Zeta").string(),
                                                          "albums: 1 songs: 3"}));
    EXPECT_NE(third.err.find("既存のアルバムに追加: 2 歌手 / ゼータ"), std::string::npos) << third.err;
    table = catalogue();
    EXPECT_EQ(table.albumCount(), 2);
    store::AlbumRecord grown = table.record(2);
    EXPECT_EQ(utf8(grown[store::songTitleColumn(2)]), "終わり");
    EXPECT_EQ(utf8(grown[store::songTitleColumn(3)]), "追加");
    EXPECT_EQ(utf8(grown[store::songTitleColumn(5)]), "追加3");
    EXPECT_EQ(grown[store::mediaColumn(5)], (music / "Zeta" / "05.mp3").string());
    EXPECT_EQ(runCli(data, {"scan", music.string()}).out, "albums: 0 songs: 0\n");
}

TEST_F(CliScanTest, APictureThatDoesNotDecodeIsNotStored)
{
    const fs::path broken = music / "Broken" / "01.mp3";
    writeSoundFile(broken, "mp3");
    writeTags(broken, {"x", "Artist", "", "Broken", "", "", "1", ""});
    embedCover(broken, brokenJpegBytes());
    CliResult result = runCli(data, {"scan", (music / "Broken").string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(
        result.err,
        "画像を保存できなかったアルバム: Artist / Broken: 埋め込まれた画像は表示できる画像ではありません\n");
    store::AlbumTable table = catalogue();
    ASSERT_EQ(table.albumCount(), 1);
    EXPECT_EQ(table.record(1)[store::ImagePathColumn], "");
    EXPECT_FALSE(fs::exists(data / "covers"));
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

// The catalogue is read while the folder is listed: one that cannot be read
// stops the scan with its error, and nothing is written.
TEST_F(CliScanTest, ACatalogueThatCannotBeReadStopsTheScan)
{
    fs::create_directories(data / "VLM.dat");  // a folder where the file should be
    CliResult result = runCli(data, {"scan", music.string()});
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("同じ名前のフォルダがあります"), std::string::npos);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(fs::exists(data / "scancache.txt"));
    EXPECT_TRUE(fs::is_directory(data / "VLM.dat"));
}

// A collection shaped like real ones: Japanese and Western artists, a
// compilation, two discs in one folder, names made on a Mac, old rips with
// Shift-JIS tags, files beside the music that are no music.
class CliScanCollectionTest : public CliScanTest {
protected:
    void SetUp() override {}

    // An MP3 whose ID3v2 text frames are Latin-1 frames holding `id3v2`
    // bytes as they stand, and whose ID3v1 tag holds `id3v1` bytes.
    void oldRip(const std::string& relative, const std::map<std::string, std::string>& id3v2,
                const std::map<std::string, std::string>& id3v1)
    {
        const fs::path path = music / relative;
        writeSoundFile(path, "mp3");
        TagLib::MPEG::File file(path.c_str());
        auto bytes = [](const std::string& raw) {
            return TagLib::String(TagLib::ByteVector(raw.data(), static_cast<unsigned int>(raw.size())),
                                  TagLib::String::Latin1);
        };
        if (!id3v2.empty()) {
            TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
            for (const auto& [id, raw] : id3v2) {
                auto* frame = new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(id.c_str()),
                                                                         TagLib::String::Latin1);
                frame->setText(bytes(raw));
                tag->addFrame(frame);
            }
        }
        if (!id3v1.empty()) {
            TagLib::ID3v1::Tag* tag = file.ID3v1Tag(true);
            for (const auto& [field, raw] : id3v1) {
                if (field == "title") {
                    tag->setTitle(bytes(raw));
                } else if (field == "artist") {
                    tag->setArtist(bytes(raw));
                } else if (field == "album") {
                    tag->setAlbum(bytes(raw));
                } else if (field == "track") {
                    tag->setTrack(static_cast<unsigned int>(std::stoi(raw)));
                }
            }
        }
        const int tags =
            (id3v2.empty() ? 0 : TagLib::MPEG::File::ID3v2) | (id3v1.empty() ? 0 : TagLib::MPEG::File::ID3v1);
        ASSERT_TRUE(
            file.save(tags, TagLib::File::StripOthers, TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate));
    }

    void properties(const std::string& relative,
                    const std::map<std::string, std::vector<std::string>>& values)
    {
        const fs::path path = music / relative;
        writeSoundFile(path, path.extension().string().substr(1));
        TagLib::FileRef ref(path.c_str());
        TagLib::PropertyMap map;
        for (const auto& [key, list] : values) {
            TagLib::StringList strings;
            for (const std::string& value : list) {
                strings.append(tagString(value));
            }
            map.replace(key, strings);
        }
        ref.file()->setProperties(map);
        ASSERT_TRUE(ref.save()) << path;
    }

    std::vector<store::AlbumRecord> records()
    {
        store::AlbumTable table = catalogue();
        std::vector<store::AlbumRecord> out;
        for (int album = 1; album <= table.albumCount(); ++album) {
            out.push_back(table.record(album));
        }
        return out;
    }

    static std::vector<std::string> songTitles(const store::AlbumRecord& record)
    {
        std::vector<std::string> out;
        for (int slot = 1; slot <= store::kSongSlots && !record[store::songTitleColumn(slot)].empty();
             ++slot) {
            out.push_back(utf8(record[store::songTitleColumn(slot)]));
        }
        return out;
    }

    // The record of the album named `title`.
    store::AlbumRecord album(const std::string& title)
    {
        for (const store::AlbumRecord& record : records()) {
            if (utf8(record[store::AlbumColumn]) == title) {
                return record;
            }
        }
        ADD_FAILURE() << "no album " << title;
        return {};
    }
};

TEST_F(CliScanCollectionTest, AnyOtherSpellingOfThePathAddsNothing)
{
    song("Alpha/01.mp3", {"One", "Band", "", "Alpha", "", "", "1", ""});
    song("Alpha/02.flac", {"Two", "Band", "", "Alpha", "", "", "2", ""});
    fs::create_directories(musicDir / "x");
    fs::create_directory_symlink(music, musicDir / "link");
    const fs::path previous = fs::current_path();
    fs::current_path(musicDir.path());
    CliResult first = runCli(data, {"scan", "./music"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(catalogue().record(1)[store::mediaColumn(1)], (music / "Alpha" / "01.mp3").string());
    for (const std::string& spelling :
         std::vector<std::string>{"music", "x/../music", "x//..//music/", (musicDir / "link").string(),
                                  "link/./Alpha/..", music.string()}) {
        CliResult again = runCli(data, {"scan", spelling});
        EXPECT_EQ(again.out, "albums: 0 songs: 0\n") << spelling;
    }
    fs::current_path(previous);
    EXPECT_EQ(catalogue().albumCount(), 1);

    // A catalogue that holds a spelling of its own (written by hand or by
    // an older version) is recognised too.
    store::AlbumTable table = catalogue();
    table.setCell(store::mediaColumn(1), 1, (musicDir / "x" / ".." / "link" / "Alpha" / "01.mp3").string());
    table.setCell(store::mediaColumn(2), 1, (musicDir / "link" / "Alpha" / "02.flac").string());
    store::ListFileIO writer;
    writer.TargetGrid = &table;
    ASSERT_TRUE(writer.Write(data / "VLM.dat", "<>", false, nullptr));
    EXPECT_EQ(runCli(data, {"scan", music.string()}).out, "albums: 0 songs: 0\n");
}

TEST_F(CliScanCollectionTest, CompilationsDiscsAndOrderByName)
{
    // A compilation without album artist, flagged or not.
    properties("Hits/01.mp3", {{"TITLE", {"Song A"}}, {"ARTIST", {"Alpha"}}, {"ALBUM", {"Hits"}}});
    properties("Hits/02.mp3",
               {{"TITLE", {"Song B"}}, {"ARTIST", {"Beta"}}, {"ALBUM", {"Hits"}}, {"COMPILATION", {"1"}}});
    properties("Hits/03.mp3", {{"TITLE", {"Song C"}}, {"ARTIST", {"Gamma"}}, {"ALBUM", {"Hits"}}});
    // A guest on one song of an artist's album.
    properties("Own/1.flac",
               {{"TITLE", {"s1"}}, {"ARTIST", {"歌手"}}, {"ALBUM", {"独唱"}}, {"TRACKNUMBER", {"1"}}});
    properties("Own/2.flac",
               {{"TITLE", {"s2"}}, {"ARTIST", {"歌手×客演"}}, {"ALBUM", {"独唱"}}, {"TRACKNUMBER", {"2"}}});
    // Two discs in one folder, numbered only in the file names, and a
    // file whose track number is missing.
    for (std::string name : {"2-01 d", "1-02 b", "1-01 a", "2-02 e", "1-03 c"}) {
        properties("Set/" + name + ".ogg", {{"TITLE", {name}}, {"ARTIST", {"Duo"}}, {"ALBUM", {"Set"}}});
    }
    for (std::string name : {"Track 10", "Track 2", "Track 1"}) {
        properties("Tracks/" + name + ".mp3", {{"TITLE", {name}}, {"ARTIST", {"T"}}, {"ALBUM", {"Tracks"}}});
    }
    properties("Gap/a.mp3", {{"TITLE", {"one"}}, {"ALBUM", {"Gap"}}, {"TRACKNUMBER", {"1"}}});
    properties("Gap/b.mp3", {{"TITLE", {"two"}}, {"ALBUM", {"Gap"}}});
    properties("Gap/c.mp3", {{"TITLE", {"three"}}, {"ALBUM", {"Gap"}}, {"TRACKNUMBER", {"3"}}});
    // Disc subfolders.
    properties("Opera/Disc 2/01.flac", {{"TITLE", {"II"}}, {"ALBUM", {"Opera"}}, {"ARTIST", {"Cast"}}});
    properties("Opera/CD1/01.flac", {{"TITLE", {"I"}}, {"ALBUM", {"Opera"}}, {"ARTIST", {"Cast"}}});
    CliResult result = runCli(data, {"scan", music.string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(catalogue().albumCount(), 6);

    store::AlbumRecord hits = album("Hits");
    EXPECT_EQ(utf8(hits[store::ArtistColumn]), "Various Artists");
    EXPECT_EQ(songTitles(hits), (std::vector<std::string>{"Song A", "Song B", "Song C"}));
    EXPECT_EQ(utf8(hits[store::songArtistColumn(2)]), "Beta");
    store::AlbumRecord own = album("独唱");
    EXPECT_EQ(utf8(own[store::ArtistColumn]), "歌手");
    EXPECT_EQ(utf8(own[store::songArtistColumn(2)]), "歌手×客演");
    EXPECT_EQ(songTitles(album("Set")),
              (std::vector<std::string>{"1-01 a", "1-02 b", "1-03 c", "2-01 d", "2-02 e"}));
    EXPECT_EQ(songTitles(album("Tracks")), (std::vector<std::string>{"Track 1", "Track 2", "Track 10"}));
    EXPECT_EQ(songTitles(album("Gap")), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(songTitles(album("Opera")), (std::vector<std::string>{"I", "II"}));
}

TEST_F(CliScanCollectionTest, NamesShiftJisCannotHoldAreStoredAndResolve)
{
    // Mac-made names: wave dash U+301C and minus U+2212; accents; an emoji.
    const std::string wave = "\xe3\x80\x9c";
    const std::string minus = "\xe2\x88\x92";
    song("Live " + wave + " Tokyo/01 " + minus + " a.mp3", {"a", "Band", "", "", "", "", "1", ""});
    song("Live " + wave + " Tokyo/02 b.mp3", {"b", "Band", "", "", "", "", "2", ""});
    song("Misc/caf\xc3\xa9.flac", {"café", "Ös", "", "Misc", "", "", "1", ""});
    song("Misc/M\xc3\xb6tley \xf0\x9f\x8e\xb5.flac", {"emoji", "Ös", "", "Misc", "", "", "2", ""});
    song("Misc/plain.flac", {"plain", "Ös", "", "Misc", "", "", "3", ""});
    CliResult result = runCli(data, {"scan", music.string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(lines(result.out).back(), "albums: 2 songs: 5");
    EXPECT_EQ(result.err.find("登録しない"), std::string::npos) << result.err;
    store::AlbumRecord live = album("Live ～ Tokyo");
    EXPECT_EQ(songTitles(live), (std::vector<std::string>{"a", "b"}));
    store::AlbumRecord misc = album("Misc");
    EXPECT_EQ(songTitles(misc), (std::vector<std::string>{"caf〓", "emoji", "plain"}));
    for (const store::AlbumRecord* record : {&live, &misc}) {
        for (int slot = 1; !(*record)[store::mediaColumn(slot)].empty(); ++slot) {
            const std::string cell = (*record)[store::mediaColumn(slot)];
            EXPECT_TRUE(fs::is_regular_file(media::fileSystemPath(cell))) << cell;
        }
    }
    EXPECT_EQ(misc[store::mediaColumn(1)], "file://" + music.string() + "/Misc/caf%C3%A9.flac");
    EXPECT_EQ(misc[store::mediaColumn(3)], (music / "Misc" / "plain.flac").string());
    EXPECT_EQ(runCli(data, {"scan", music.string()}).out, "albums: 0 songs: 0\n");
}

TEST_F(CliScanCollectionTest, PicturePathsAreAbsoluteForARelativeDataFolder)
{
    song("Zeta/01.mp3", {"t", "a", "", "Z", "", "", "1", ""}, true);
    const fs::path previous = fs::current_path();
    fs::current_path(data.path().parent_path());
    const std::string relative = data.path().filename().string();
    std::ostringstream out;
    std::ostringstream err;
    const int code = cli::run({"--data-dir", relative, "scan", music.string()}, out, err);
    fs::current_path(previous);
    ASSERT_EQ(code, 0) << err.str();
    const fs::path cover = catalogue().record(1)[store::ImagePathColumn];
    EXPECT_TRUE(cover.is_absolute()) << cover;
    EXPECT_EQ(cover.parent_path(), data / "covers");
    EXPECT_TRUE(fs::is_regular_file(cover));
}

TEST_F(CliScanCollectionTest, OldJapaneseRipsAndId3v1BesideId3v2)
{
    // ID3v2 Latin-1 frames and ID3v1 holding Shift-JIS bytes.
    oldRip("Rip/01.mp3", {{"TIT2", sj("桜坂")}, {"TPE1", sj("福山雅治")}, {"TALB", sj("ベスト")}}, {});
    oldRip("Rip/02.mp3", {},
           {{"title", sj("道")}, {"artist", sj("福山雅治")}, {"album", sj("ベスト")}, {"track", "2"}});
    // Western Latin-1 stays Latin-1; ID3v2 without an album takes ID3v1's.
    oldRip("West/01.mp3", {{"TIT2", "Caf\xe9"}, {"TPE1", "Pok\xe9mon"}}, {{"album", "Ace"}, {"title", "x"}});
    CliResult result = runCli(data, {"scan", music.string(), "--dry-run"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(lines(result.out), (std::vector<std::string>{"福山雅治\tベスト\t2\t" + (music / "Rip").string(),
                                                           "Pok〓mon\tAce\t1\t" + (music / "West").string(),
                                                           "albums: 2 songs: 3"}));
    CliResult latin = runCli(data, {"scan", music.string(), "--dry-run", "--tag-encoding", "latin1"});
    ASSERT_EQ(latin.code, 0) << latin.err;
    EXPECT_EQ(lines(latin.out).front().find("福山"), std::string::npos);
    CliResult forced = runCli(data, {"scan", music.string(), "--tag-encoding", "sjis"});
    ASSERT_EQ(forced.code, 0) << forced.err;
    EXPECT_EQ(songTitles(album("ベスト")), (std::vector<std::string>{"桜坂", "道"}));
    EXPECT_EQ(runCli(data, {"scan", music.string(), "--tag-encoding", "koi8"}).code, 2);
}

TEST_F(CliScanCollectionTest, EveryFormatIsReadAndEveryOtherFileNamed)
{
    for (std::string format : {"mp3", "mp2", "flac", "ogg", "opus", "spx", "wv", "wav", "aiff"}) {
        song("Formats/" + format + "." + format, {format, "A", "", "Formats", "", "", "", ""});
    }
    // Multi-value album artists keep each value once; sort names in kana
    // give the reading.
    properties("Multi/1.flac", {{"TITLE", {"m"}},
                                {"ALBUM", {"Multi"}},
                                {"ALBUMARTIST", {"ArtistOne", "ArtistTwo", "ArtistOne", "ArtistTwo"}}});
    properties("Kana/1.mp3", {{"TITLE", {"k"}},
                              {"ALBUM", {"Kana"}},
                              {"ARTIST", {"宇多田ヒカル"}},
                              {"ARTISTSORT", {"ウタダヒカル"}}});
    properties(
        "Latin/1.mp3",
        {{"TITLE", {"l"}}, {"ALBUM", {"Latin"}}, {"ARTIST", {"The Band"}}, {"ARTISTSORT", {"Band, The"}}});
    // Beside the music: Mac and Windows leftovers, a broken file, a format
    // TagLib does not read here.
    writeBytes(music / "Formats" / "._mp3.mp3", "\0\5\26\7 Mac OS X resource fork");
    writeBytes(music / "Formats" / ".DS_Store", "Bud1");
    writeBytes(music / "Formats" / "Thumbs.db", "thumbs");
    writeBytes(music / "Formats" / "notes.txt", "notes");
    writeBytes(music / "Formats" / "broken.flac", std::string(3000, '\1'));
    writeBytes(music / "Formats" / "song.dsf", "DSD \x1c");
    CliResult result = runCli(data, {"scan", music.string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(songTitles(album("Formats")),
              (std::vector<std::string>{"aiff", "flac", "mp2", "mp3", "ogg", "opus", "spx", "wav", "wv"}));
    EXPECT_EQ(utf8(album("Multi")[store::ArtistColumn]), "ArtistOne, ArtistTwo");
    EXPECT_EQ(utf8(album("Kana")[store::FuriganaColumn]), "ウタダヒカル");
    EXPECT_EQ(utf8(album("Latin")[store::FuriganaColumn]), "The Band");
    EXPECT_NE(result.err.find((music / "Formats" / "broken.flac").string()), std::string::npos) << result.err;
    EXPECT_NE(result.err.find((music / "Formats" / "song.dsf").string()), std::string::npos) << result.err;
    for (const char* silent : {"._mp3.mp3", ".DS_Store", "Thumbs.db", "notes.txt"}) {
        EXPECT_EQ(result.err.find(silent), std::string::npos) << silent << "\n" << result.err;
    }
}

}  // namespace
}  // namespace velmora::test
