// Tag reading and the folder scan on real files made in the test.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <fstream>

#include "backends/tags/folder_scan.h"
#include "backends/tags/tag_reader.h"
#include "backends/tags_test_files.h"
#include "core/filescan/tag_text.h"
#include "core/store/data_folder.h"
#include "support/child_process.h"
#include "support/sjis.h"

namespace velmora::tags {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::TestTags;

void writeBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

filescan::FileTags readTags(const fs::path& path, bool* ok = nullptr)
{
    filescan::FileTags file;
    file.path = path.string();
    const bool read = readFileTags(file);
    if (ok) {
        *ok = read;
    }
    return file;
}

TEST(TagReader, ReadsTheFieldsOfEveryGeneratedFormat)
{
    TempDir dir;
    for (const auto& [format, encoder] : test::encoders()) {
        SCOPED_TRACE(format);
        const fs::path path = dir / ("song." + format);
        test::writeSoundFile(path, format);
        test::writeTags(path, TestTags{"曲名 " + format, "歌手", "楽団", "アルバム", "Jazz", "2001-05-01",
                                       "3/12", "2/2"});
        bool ok = false;
        filescan::FileTags file = readTags(path, &ok);
        ASSERT_TRUE(ok);
        EXPECT_TRUE(file.hasTags);
        EXPECT_EQ(file.title, u"曲名 " + std::u16string(format.begin(), format.end()));
        EXPECT_EQ(file.artist, u"歌手");
        EXPECT_EQ(file.albumArtist, u"楽団");
        EXPECT_EQ(file.album, u"アルバム");
        EXPECT_EQ(file.genre, u"Jazz");
        EXPECT_EQ(file.year, 2001);
        EXPECT_EQ(file.track, 3);
        EXPECT_EQ(file.disc, 2);
        EXPECT_FALSE(file.embeddedPicture);
    }
}

TEST(TagReader, FilesWithoutTagsAndBrokenFiles)
{
    TempDir dir;
    test::writeSoundFile(dir / "plain.flac", "flac");
    bool ok = false;
    filescan::FileTags plain = readTags(dir / "plain.flac", &ok);
    EXPECT_TRUE(ok);
    EXPECT_FALSE(plain.hasTags);

    writeBytes(dir / "empty.mp3", "");
    writeBytes(dir / "noise.flac", std::string(5000, '\x5a'));
    writeBytes(dir / "text.ogg", "OggS but not really an Ogg stream");
    writeBytes(dir / "garbage.mp3", std::string(3000, '\1'));  // no audio frame
    writeBytes(dir / "garbage.wav", std::string(3000, '\1'));  // no RIFF header
    writeBytes(dir / "garbage.aiff", std::string(3000, '\1'));
    for (const char* name : {"empty.mp3", "noise.flac", "text.ogg", "garbage.mp3", "garbage.wav",
                             "garbage.aiff", "missing.mp3"}) {
        readTags(dir / name, &ok);
        EXPECT_FALSE(ok) << name;
    }
    EXPECT_TRUE(isMusicFileName("A.MP3"));
    EXPECT_TRUE(isMusicFileName("b.Opus"));
    EXPECT_FALSE(isMusicFileName("cover.jpg"));
    EXPECT_FALSE(isMusicFileName("mp3"));
    EXPECT_TRUE(isPictureFileName("Folder.JPEG"));
}

TEST(TagReader, EmbeddedFrontPictures)
{
    TempDir dir;
    for (const char* format : {"mp3", "flac", "ogg"}) {
        SCOPED_TRACE(format);
        const fs::path path = dir / (std::string("cover.") + format);
        test::writeSoundFile(path, format);
        test::writeTags(path, TestTags{"t", "a", "", "b", "", "", "1", ""});
        test::embedCover(path, test::jpegBytes('c'));
        EXPECT_TRUE(readTags(path).embeddedPicture);
        std::optional<Picture> picture = frontPicture(path.string());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->bytes, test::jpegBytes('c'));
        EXPECT_EQ(picture->extension, ".jpg");
    }
}

// Two albums whose songs carry one picture, and a third with another.
class FolderScanTest : public ::testing::Test {
protected:
    void addSong(const std::string& relative, const TestTags& tags, const std::string& cover = {})
    {
        const fs::path path = music / relative;
        test::writeSoundFile(path, path.extension().string().substr(1));
        test::writeTags(path, tags);
        if (!cover.empty()) {
            test::embedCover(path, cover);
        }
    }

    ScanResult scan(const filescan::CatalogueFiles& known = {}, int threads = 2)
    {
        ScanProgress progress;
        ScanResult result = scanAlbums(music, known, progress, threads);
        EXPECT_EQ(progress.filesFound.load(), progress.filesRead.load());
        return result;
    }

    TempDir dir;
    fs::path music = dir / "music";
};

// The window's and velmora-cli's decoders take these pictures.
bool isPicture(std::string_view)
{
    return true;
}

TEST_F(FolderScanTest, GroupsDiscFoldersAndStoresEachCoverOnce)
{
    addSong("Opera/CD1/01.flac", {"序曲", "Cast", "Orchestra", "Opera", "Classic", "1999", "1", ""},
            test::jpegBytes('o'));
    addSong("Opera/CD2/01.flac", {"終曲", "Cast", "Orchestra", "Opera", "Classic", "1999", "1", ""});
    addSong("Rock/b.mp3", {"B", "Band", "", "Loud", "Rock", "2005", "2", ""}, test::jpegBytes('o'));
    addSong("Rock/a.mp3", {"A", "Band", "", "Loud", "Rock", "2005", "1", ""});
    addSong("Jazz/x.ogg", {"X", "Trio", "", "Blue", "", "", "1", ""}, test::jpegBytes('j'));
    ScanResult result = scan();
    ASSERT_FALSE(result.scan.cancelled);
    EXPECT_EQ(result.scan.files.size(), 5u);
    std::vector<filescan::PlannedAlbum>& albums = result.plan.albums;
    ASSERT_EQ(albums.size(), 3u);
    EXPECT_EQ(test::utf8(albums[0].record[store::AlbumColumn]), "Blue");
    EXPECT_EQ(test::utf8(albums[1].record[store::AlbumColumn]), "Opera");
    EXPECT_EQ(test::utf8(albums[1].record[store::songTitleColumn(1)]), "序曲");
    EXPECT_EQ(test::utf8(albums[1].record[store::songTitleColumn(2)]), "終曲");
    EXPECT_EQ(test::utf8(albums[1].record[store::Category3Column]), "1999年");
    EXPECT_EQ(albums[1].folder, music.string() + "/Opera");
    EXPECT_EQ(test::utf8(albums[2].record[store::songTitleColumn(1)]), "A");

    store::DataFolder data(dir / "data");
    fs::create_directories(data.dir());
    EXPECT_EQ(storeEmbeddedCovers(albums, data, isPicture), std::vector<std::string>());
    std::vector<fs::path> covers;
    for (const auto& entry : fs::directory_iterator(data.file("covers"))) {
        covers.push_back(entry.path());
    }
    ASSERT_EQ(covers.size(), 2u);  // the Opera and Rock albums share one picture
    EXPECT_EQ(albums[1].record[store::ImagePathColumn], albums[2].record[store::ImagePathColumn]);
    const fs::path jazzCover = albums[0].record[store::ImagePathColumn];
    EXPECT_EQ(readBytes(jazzCover), test::jpegBytes('j'));
    EXPECT_EQ(jazzCover.parent_path(), data.file("covers"));
    EXPECT_EQ(jazzCover.extension(), ".jpg");
    EXPECT_EQ(jazzCover.stem().string().size(), 64u);  // a SHA-256 in hex

    // A picture that can no longer be read is named with its album.
    std::vector<filescan::PlannedAlbum> gone = scan().plan.albums;
    fs::remove(music / "Jazz" / "x.ogg");
    EXPECT_EQ(storeEmbeddedCovers(gone, data, isPicture),
              std::vector<std::string>{"Trio / Blue: 埋め込まれた画像を読み込めません"});
    EXPECT_EQ(gone[0].record[store::ImagePathColumn], "");
    test::writeSoundFile(music / "Jazz" / "x.ogg", "ogg");
    test::writeTags(music / "Jazz" / "x.ogg", {"X", "Trio", "", "Blue", "", "", "1", ""});
    test::embedCover(music / "Jazz" / "x.ogg", test::jpegBytes('j'));

    // Storing again writes nothing new and names the same files.
    std::vector<filescan::PlannedAlbum> again = scan().plan.albums;
    EXPECT_EQ(storeEmbeddedCovers(again, data, isPicture), std::vector<std::string>());
    EXPECT_EQ(again[0].record[store::ImagePathColumn], albums[0].record[store::ImagePathColumn]);
    EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(data.file("covers")), {})), 2u);

    // A picture the caller cannot decode is not stored: the album keeps no
    // picture and is named.
    std::vector<filescan::PlannedAlbum> undecodable = scan().plan.albums;
    fs::remove_all(data.file("covers"));
    std::vector<std::string> checked;
    EXPECT_EQ(storeEmbeddedCovers(undecodable, data,
                                  [&](std::string_view bytes) {
                                      checked.emplace_back(bytes);
                                      return bytes != test::jpegBytes('j');
                                  }),
              std::vector<std::string>{"Trio / Blue: 埋め込まれた画像は表示できる画像ではありません"});
    EXPECT_EQ(checked.size(), 3u);
    EXPECT_EQ(undecodable[0].record[store::ImagePathColumn], "");
    EXPECT_NE(undecodable[1].record[store::ImagePathColumn], "");
    EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(data.file("covers")), {})), 1u);
}

TEST_F(FolderScanTest, FolderPicturesAreUsedWhereTheyLie)
{
    addSong("A/1.mp3", {"a", "x", "", "A", "", "", "1", ""});
    writeBytes(music / "A" / "back.jpg", test::jpegBytes('b'));
    writeBytes(music / "A" / "Folder.JPG", test::jpegBytes('f'));
    addSong("B/CD1/1.mp3", {"b", "x", "", "B", "", "", "1", ""});
    writeBytes(music / "B" / "scan.png", "\x89PNG");  // the only picture of the album folder
    addSong("C/1.mp3", {"c", "x", "", "C", "", "", "1", ""});
    writeBytes(music / "C" / "one.jpg", test::jpegBytes('1'));
    writeBytes(music / "C" / "two.jpg", test::jpegBytes('2'));
    ScanResult result = scan();
    ASSERT_EQ(result.plan.albums.size(), 3u);
    EXPECT_EQ(result.plan.albums[0].record[store::ImagePathColumn], (music / "A" / "Folder.JPG").string());
    EXPECT_EQ(result.plan.albums[1].record[store::ImagePathColumn], (music / "B" / "scan.png").string());
    EXPECT_EQ(result.plan.albums[2].record[store::ImagePathColumn], "");  // two pictures, none preferred
}

// A music file of another user that this user may not read (the scan runs
// in a child process that has become "nobody") is named as unreadable, not
// as broken.
TEST_F(FolderScanTest, AFileWithoutReadPermissionIsNamedAsSuch)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    addSong("Shared/1.flac", {"one", "x", "", "Shared", "", "", "1", ""});
    addSong("Shared/2.flac", {"two", "x", "", "Shared", "", "", "2", ""});
    writeBytes(music / "Shared" / "3.flac", std::string(3000, '\1'));
    for (const fs::path& folder : {dir.path(), music, music / "Shared"}) {
        ::chmod(folder.c_str(), 0755);
    }
    ::chmod((music / "Shared" / "1.flac").c_str(), 0644);
    ::chmod((music / "Shared" / "2.flac").c_str(), 0600);
    ::chmod((music / "Shared" / "3.flac").c_str(), 0644);
    const std::string answer = test::answerFromChild([&]() -> std::string {
                                   if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                                       return "skip";
                                   }
                                   ScanProgress progress;
                                   const ScanResult result = scanAlbums(music, {}, progress, 1);
                                   std::string text = std::to_string(result.plan.albums.size());
                                   for (const SkippedFile& file : result.scan.skipped) {
                                       text +=
                                           "|" + fs::path(file.path).filename().string() + ": " + file.reason;
                                   }
                                   return text;
                               }).text;
    if (answer == "skip") {
        GTEST_SKIP() << "cannot become another user here";
    }
    EXPECT_EQ(answer,
              "1|2.flac: 読み取る権限がないため読み込めません"
              "|3.flac: 壊れているため音楽ファイルとして読み込めません");
}

TEST_F(FolderScanTest, BadInputIsSkippedAndCounted)
{
    addSong("Good/1.mp3", {"good", "x", "", "Good", "", "", "1", ""});
    writeBytes(music / "Good" / "2.mp3", "");                        // zero bytes
    writeBytes(music / "Good" / "3.flac", std::string(3000, '\1'));  // not a FLAC file
    fs::create_symlink(music, music / "Good" / "loop");              // leads back to the top
    fs::create_symlink(music / "nowhere.mp3", music / "Good" / "dangling.mp3");
    test::writeSoundFile(music / "Odd" / "name\xff.flac", "flac");  // not UTF-8
    fs::create_directories(music / "Locked");
    test::writeSoundFile(music / "Locked" / "x.flac", "flac");
    ::chmod((music / "Locked").c_str(), 0);
    const bool lockedOut = ::access((music / "Locked").c_str(), R_OK) != 0;  // not so for root

    ScanResult result = scan();
    ::chmod((music / "Locked").c_str(), 0755);
    ASSERT_FALSE(result.scan.cancelled);
    // Each file and folder passed over is named with its reason.
    std::vector<std::string> skipped;
    for (const SkippedFile& file : result.scan.skipped) {
        skipped.push_back(fs::path(file.path).lexically_relative(music).string() + ": " + file.reason);
    }
    std::vector<std::string> expected = {
        "Good/2.mp3: 空のファイルです",
        "Good/3.flac: 壊れているため音楽ファイルとして読み込めません",
        "Good/dangling.mp3: リンク先のファイルがありません",
    };
    if (lockedOut) {
        expected.push_back("Locked: フォルダを読み込めません");
    }
    EXPECT_EQ(skipped, expected);
    // "Good", the file whose name is not UTF-8 (and "Locked" when readable).
    const int expectedAlbums = lockedOut ? 2 : 3;
    ASSERT_EQ(result.plan.albums.size(), static_cast<std::size_t>(expectedAlbums));
    EXPECT_EQ(test::utf8(result.plan.albums[0].record[store::songTitleColumn(1)]), "good");
    EXPECT_EQ(result.plan.albums[0].songs, 1);  // the loop was followed once: no second copy
    EXPECT_EQ(result.plan.albums.back().record[store::mediaColumn(1)],
              "file://" + (music / "Odd").string() + "/name%FF.flac");
    const std::vector<std::string> notes = scanNotes(result);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0], "登録しないファイル: " + (music / "Good" / "2.mp3").string() + " (空のファイルです)");
}

// Links are followed to where they lead: the files are found under the
// path of their target, a folder reached twice is listed once, and leftovers
// and other files beside music are passed over.
TEST_F(FolderScanTest, LinkedFilesAndFoldersAreFoundWhereTheyLie)
{
    const fs::path elsewhere = dir / "elsewhere";
    addSong("A/1.mp3", {"a1", "x", "", "A", "", "", "1", ""});
    writeBytes(music / "A" / "._1.mp3", "leftover");
    writeBytes(music / "A" / "notes.txt", "text");
    test::writeSoundFile(elsewhere / "Album" / "1.ogg", "ogg");
    test::writeTags(elsewhere / "Album" / "1.ogg", {"e1", "y", "", "Elsewhere", "", "", "1", ""});
    test::writeSoundFile(elsewhere / "loose.ogg", "ogg");
    test::writeTags(elsewhere / "loose.ogg", {"l1", "z", "", "Loose", "", "", "1", ""});
    fs::create_symlink(elsewhere / "Album", music / "Linked");
    fs::create_symlink(elsewhere / "Album", music / "Linked again");
    fs::create_directories(music / "B");
    fs::create_symlink(elsewhere / "loose.ogg", music / "B" / "2.ogg");

    ScanResult result = scan();
    EXPECT_TRUE(result.scan.skipped.empty());
    std::vector<std::string> paths;
    for (const filescan::FileTags& file : result.scan.files) {
        paths.push_back(file.path);
    }
    const std::string target = fs::canonical(elsewhere).string();
    EXPECT_EQ(paths, (std::vector<std::string>{(music / "A" / "1.mp3").string(), target + "/loose.ogg",
                                               target + "/Album/1.ogg"}));
    ASSERT_EQ(result.scan.files.size(), 3u);
    EXPECT_EQ(result.scan.files[1].folder, (music / "B").string());
    EXPECT_EQ(result.scan.files[2].folder, target + "/Album");
    EXPECT_EQ(result.plan.albums.size(), 3u);
}

TEST_F(FolderScanTest, ThreadCountDoesNotChangeTheResultAndKnownFilesAreSkipped)
{
    for (int i = 1; i <= 30; ++i) {
        const std::string n = std::to_string(i);
        addSong("F" + std::to_string(i % 4) + "/" + n + ".ogg",
                {"t" + n, "a", "", "Album" + std::to_string(i % 4), "", "", std::to_string(i), ""});
    }
    ScanResult one = scan({}, 1);
    ScanResult four = scan({}, 4);
    ASSERT_EQ(one.plan.albums.size(), 4u);
    ASSERT_EQ(four.plan.albums.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(one.plan.albums[i].record, four.plan.albums[i].record);
    }
    store::AlbumTable table;
    filescan::appendAlbums(table, one.plan.albums);
    ScanResult again = scan(catalogueFilesOnDisk(table));
    EXPECT_TRUE(again.plan.albums.empty());
    EXPECT_EQ(again.plan.knownFiles, 30);
}

// The folders are walked on several threads; what they find, and in which
// order, is what one thread finds, with or without a link in the tree.
TEST_F(FolderScanTest, WalkingOnSeveralThreadsFindsWhatOneFinds)
{
    addSong("0.mp3", {"top", "x", "", "Top", "", "", "1", ""});
    addSong("A/CD1/1.mp3", {"a1", "x", "", "A", "", "", "1", "1"});
    addSong("A/CD2/1.mp3", {"a2", "x", "", "A", "", "", "1", "2"});
    writeBytes(music / "A" / "cover.jpg", test::jpegBytes('a'));
    addSong("B/deep/er/1.ogg", {"b", "y", "", "B", "", "", "1", ""});
    addSong("B/deep/2.ogg", {"b2", "y", "", "B", "", "", "2", ""});
    writeBytes(music / "B" / "deep" / "3.dsf", "unread format");
    addSong("C/1.mp3", {"c", "z", "", "C", "", "", "1", ""});
    writeBytes(music / "C" / "2.mp3", "");
    auto found = [](const ScanResult& result) {
        std::vector<std::string> lines;
        for (const filescan::FileTags& file : result.scan.files) {
            lines.push_back(file.path + " | " + file.folder + " | " + file.folderPicture);
        }
        for (const SkippedFile& skipped : result.scan.skipped) {
            lines.push_back(skipped.path + ": " + skipped.reason);
        }
        return lines;
    };
    const std::vector<std::string> one = found(scan({}, 1));
    ASSERT_EQ(one.size(), 8u);
    EXPECT_EQ(one[0], (music / "0.mp3").string() + " | " + music.string() + " | ");
    EXPECT_EQ(one[1], (music / "A" / "CD1" / "1.mp3").string() + " | " + (music / "A" / "CD1").string() +
                          " | " + (music / "A" / "cover.jpg").string());
    EXPECT_EQ(found(scan({}, 4)), one);

    // A link deep in the tree: the walk starts over in one piece.
    fs::create_symlink(music / "A", music / "C" / "again");
    const std::vector<std::string> linked = found(scan({}, 1));
    EXPECT_EQ(linked, one);  // A was found already: the link adds nothing
    EXPECT_EQ(found(scan({}, 4)), linked);
}

// Overwrites a file with as many other bytes, keeping its modification time
// (or moving it `seconds` on): a scan that opened it would find it broken.
void spoilKeepingSizeAndTime(const fs::path& path, int seconds = 0)
{
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    writeBytes(path, std::string(static_cast<std::size_t>(info.st_size), 'x'));
    timespec times[2] = {info.st_atim, info.st_mtim};
    times[1].tv_sec += seconds;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(FolderScanTest, ARescanRecognisesUnchangedCataloguedFilesWithoutOpeningThem)
{
    addSong("A/1.ogg", {"a1", "x", "", "Alpha", "", "", "1", ""});
    addSong("A/2.ogg", {"a2", "x", "", "Alpha", "", "", "2", ""});
    addSong("B/1.mp3", {"b1", "y", "", "Beta", "", "", "1", ""});
    addSong("U/1.mp3", {"u1", "z", "", "Unticked", "", "", "1", ""});
    fs::create_directories(dir / "data");
    catalogue::Catalogue catalogue{store::DataFolder(dir / "data")};
    const fs::path memoryFile = dir / "data" / filescan::kScanMemoryFileName;
    auto rescan = [&](filescan::ScanMemory& memory) {
        ScanProgress progress;
        ScanResult result = scanForCatalogue(music, catalogueLookup(catalogue), progress, 2,
                                             filescan::TagEncoding::Automatic, &memory);
        EXPECT_EQ(progress.filesFound.load(), progress.filesRead.load());
        return result;
    };
    auto skippedNames = [&](const ScanResult& result) {
        std::vector<std::string> names;
        for (const SkippedFile& skipped : result.scan.skipped) {
            names.push_back(fs::path(skipped.path).lexically_relative(music).string());
        }
        return names;
    };

    filescan::ScanMemory memory = filescan::ScanMemory::load(memoryFile);  // none yet
    ScanResult first = rescan(memory);
    ASSERT_EQ(first.plan.albums.size(), 3u);
    first.plan.albums.pop_back();  // "Unticked" is not registered
    ASSERT_TRUE(catalogue.registerScannedAlbums(first.plan.albums).ok());
    ASSERT_TRUE(memory.changed());
    ASSERT_TRUE(memory.save(memoryFile, nullptr));
    EXPECT_EQ(filescan::ScanMemory::load(memoryFile).size(), 4u);

    // Same size and time: the catalogued files are not opened again; a
    // file not catalogued is, and so is one whose time moved.
    for (const char* name : {"A/1.ogg", "B/1.mp3", "U/1.mp3"}) {
        spoilKeepingSizeAndTime(music / name);
    }
    spoilKeepingSizeAndTime(music / "A" / "2.ogg", 10);
    addSong("C/1.ogg", {"c1", "w", "", "Gamma", "", "", "1", ""});
    memory = filescan::ScanMemory::load(memoryFile);
    ScanResult again = rescan(memory);
    EXPECT_EQ(skippedNames(again), (std::vector<std::string>{"A/2.ogg", "U/1.mp3"}));
    EXPECT_EQ(again.plan.knownFiles, 2);
    EXPECT_EQ(again.plan.knownAlbums, 2);  // Alpha (its one file left) and Beta
    ASSERT_EQ(again.plan.albums.size(), 1u);
    EXPECT_EQ(test::utf8(again.plan.albums[0].record[store::AlbumColumn]), "Gamma");

    // A file whose size changed is read again too.
    writeBytes(music / "B" / "1.mp3", "short");
    memory = filescan::ScanMemory::load(memoryFile);
    EXPECT_EQ(skippedNames(rescan(memory)), (std::vector<std::string>{"A/2.ogg", "B/1.mp3", "U/1.mp3"}));

    // A memory that cannot be read is none: everything is read.
    writeBytes(memoryFile, "something else\n1\t2\n");
    memory = filescan::ScanMemory::load(memoryFile);
    EXPECT_EQ(memory.size(), 0u);
    EXPECT_EQ(skippedNames(rescan(memory)),
              (std::vector<std::string>{"A/1.ogg", "A/2.ogg", "B/1.mp3", "U/1.mp3"}));
}

// Many catalogued files the memory knows as they are: none is opened (none
// of them is music), whichever thread looks it up; only the one the memory
// lacks and the one whose time moved are read, and found broken.
TEST_F(FolderScanTest, ManyRememberedFilesAreRecognisedWithoutOpeningAny)
{
    constexpr int kFiles = 600;
    const fs::path top = fs::canonical(dir.path()) / "music";
    filescan::CatalogueFiles known;
    std::vector<std::pair<std::string, filescan::RememberedFile>> remembered;
    for (int i = 0; i < kFiles; ++i) {
        const fs::path file =
            top / ("Album " + std::to_string(i / 10)) / (std::to_string(i % 10 + 1) + ".mp3");
        writeBytes(file, "not music " + std::to_string(i));
        known.files.insert(file.string());
        struct stat info {};
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        filescan::RememberedFile entry{
            static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec, true,
            u"Album " + std::u16string(1, static_cast<char16_t>(u'A' + i / 10 % 26))};
        if (i == 7) {
            continue;  // never read
        }
        if (i == kFiles - 3) {
            entry.modified += 1;  // touched since
        }
        remembered.emplace_back(file.string(), std::move(entry));
    }
    filescan::ScanMemory memory;
    memory.replaceUnder(top.string(), std::move(remembered));
    ScanProgress progress;
    ScanResult result = scanForCatalogue(
        top, [&known](const std::vector<std::string>&, const filescan::PathCanonicalizer&) { return known; },
        progress, 2, filescan::TagEncoding::Automatic, &memory);
    std::vector<std::string> skipped;
    for (const SkippedFile& file : result.scan.skipped) {
        skipped.push_back(fs::path(file.path).lexically_relative(top).string() + ": " + file.reason);
    }
    EXPECT_EQ(skipped,
              (std::vector<std::string>{"Album 0/8.mp3: 壊れているため音楽ファイルとして読み込めません",
                                        "Album 59/8.mp3: 壊れているため音楽ファイルとして読み込めません"}));
    EXPECT_EQ(progress.filesFound.load(), kFiles);
    EXPECT_EQ(progress.filesRead.load(), kFiles);
    EXPECT_EQ(progress.albumsFound.load(), kFiles / 10);
    EXPECT_EQ(result.plan.knownFiles, kFiles - 2);
    EXPECT_EQ(result.plan.knownAlbums, kFiles / 10);
    EXPECT_TRUE(result.plan.albums.empty());
}

TEST_F(FolderScanTest, CancelledScanGivesNothing)
{
    addSong("A/1.mp3", {"a", "x", "", "A", "", "", "1", ""});
    ScanProgress progress;
    progress.cancel = true;
    ScanResult result = scanAlbums(music, {}, progress, 2);
    EXPECT_TRUE(result.scan.cancelled);
    EXPECT_TRUE(result.scan.files.empty());
    EXPECT_TRUE(result.plan.albums.empty());
}

}  // namespace
}  // namespace velmora::tags
