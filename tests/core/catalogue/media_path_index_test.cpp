#include "core/catalogue/media_path_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/catalogue/catalogue.h"
#include "core/exchange/exchange.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace velmora::catalogue {
namespace {

using Place = MediaPathIndex::Place;
using store::AlbumRecord;
using test::TempDir;

// An album whose songs are the given media cells (slot 1 on).
AlbumRecord albumWith(std::string_view title, const std::vector<std::string>& media)
{
    AlbumRecord record;
    record[store::ArtistColumn] = "A";
    record[store::AlbumColumn] = std::string(title);
    for (std::size_t i = 0; i < media.size(); ++i) {
        const int slot = static_cast<int>(i) + 1;
        record[store::songTitleColumn(slot)] = "s" + std::to_string(slot);
        record[store::mediaColumn(slot)] = media[i];
    }
    return record;
}

std::string dataLine(const AlbumRecord& record)
{
    std::string line;
    for (int column = 0; column < store::kColumnCount; ++column) {
        line += (column == 0 ? "" : "<>") + record[column];
    }
    return line;
}

class MediaPathIndexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string file = test::dataLineWith({}) + "\r\n";
        file += dataLine(albumWith("one", {"/m/A/one/01.mp3", "/m/A/one/02.mp3"})) + "\r\n";
        file += dataLine(albumWith("cd", {"CD1", "CD2"})) + "\r\n";
        file += dataLine(albumWith("set", {"/m/B/set/CD1/01.flac", "/m/B/set/CD2/01.flac"})) + "\r\n";
        test::writeBytes(dir / "VLM.dat", file);
        ASSERT_EQ(catalogue.load().dataStatus, store::LoadStatus::Loaded);
    }

    const MediaPathIndex& index() const { return catalogue.mediaPaths(); }

    // The index kept current must answer as one built afresh from the
    // table, for every path and folder name the catalogue holds and for
    // the ones it held before.
    void expectSameAsFresh(const std::vector<std::string>& paths, const std::vector<std::string>& names)
    {
        MediaPathIndex fresh(catalogue.albums());
        for (const std::string& path : paths) {
            EXPECT_EQ(index().placesOfFile(path), fresh.placesOfFile(path)) << path;
        }
        for (const std::string& name : names) {
            EXPECT_EQ(index().albumsInFoldersNamed({name}), fresh.albumsInFoldersNamed({name})) << name;
        }
    }

    TempDir dir;
    Catalogue catalogue{store::DataFolder(dir.path())};
};

const std::vector<std::string> kPaths = {"/m/A/one/01.mp3",      "/m/A/one/02.mp3", "/m/B/set/CD1/01.flac",
                                         "/m/B/set/CD2/01.flac", "/m/C/new/01.ogg", "/m/A/one/03.mp3",
                                         "/m/D/imported/01.mp3"};
const std::vector<std::string> kNames = {"one", "set", "CD1", "CD2", "new", "imported", "B"};

TEST_F(MediaPathIndexTest, FindsFilesAndFoldersOfTheLoadedCatalogue)
{
    EXPECT_EQ(index().placesOfFile("/m/A/one/02.mp3"), (std::vector<Place>{{1, 2}}));
    EXPECT_EQ(index().placesOfFile("/m/A/one/./02.mp3"), (std::vector<Place>{{1, 2}}));
    EXPECT_EQ(index().placesOfFile("/m/B/set/CD2/01.flac"), (std::vector<Place>{{3, 2}}));
    EXPECT_TRUE(index().placesOfFile("/m/A/one/03.mp3").empty());
    // Media cells that end with a character whose second byte could start
    // one ("ⅰ" is EE EF): the row is not split from its end.
    ASSERT_TRUE(
        catalogue.appendAlbums({albumWith("odd", {test::sj("/m/ⅰ/odd/ⅰ"), test::sj("/m/ⅰ/odd/ⅱ")})}).ok());
    EXPECT_EQ(index().placesOfFile("/m/ⅰ/odd/ⅱ"), (std::vector<Place>{{4, 2}}));
    EXPECT_EQ(index().albumsInFoldersNamed({"odd"}), (std::vector<int>{4}));
    EXPECT_TRUE(index().placesOfFile("CD1").empty());  // a CD track is no file
    EXPECT_EQ(index().albumsInFoldersNamed({"one"}), (std::vector<int>{1}));
    // A disc subfolder counts for itself and for the album folder above.
    EXPECT_EQ(index().albumsInFoldersNamed({"CD1"}), (std::vector<int>{3}));
    EXPECT_EQ(index().albumsInFoldersNamed({"set", "one", "nothing"}), (std::vector<int>{1, 3}));
    EXPECT_TRUE(index().albumsInFoldersNamed({"A", "m", "cd"}).empty());
}

TEST_F(MediaPathIndexTest, StaysCurrentThroughEveryChange)
{
    index().placesOfFile("/m/A/one/01.mp3");  // built before the changes
    ASSERT_TRUE(index().built());

    // Add: an album inserted before the others moves them up.
    ChangeResult added = catalogue.insertAlbumAfter(-1);
    ASSERT_TRUE(added.ok());
    ASSERT_TRUE(catalogue.changeAlbum(added.album, albumWith("new", {"/m/C/new/01.ogg"})).ok());
    EXPECT_EQ(index().placesOfFile("/m/C/new/01.ogg"), (std::vector<Place>{{4, 1}}));
    ASSERT_TRUE(catalogue.addAlbum(-1, albumWith("new", {"/m/C/new/01.ogg"})).ok());
    EXPECT_EQ(index().placesOfFile("/m/C/new/01.ogg"), (std::vector<Place>{{4, 1}, {5, 1}}));
    expectSameAsFresh(kPaths, kNames);

    // Edit: a cell moves the song elsewhere; a whole album changes.
    ASSERT_TRUE(catalogue.setAlbumCell(1, store::mediaColumn(2), "/m/A/one/03.mp3").ok());
    EXPECT_TRUE(index().placesOfFile("/m/A/one/02.mp3").empty());
    EXPECT_EQ(index().placesOfFile("/m/A/one/03.mp3"), (std::vector<Place>{{1, 2}}));
    ASSERT_TRUE(catalogue.changeAlbum(5, albumWith("other", {"/m/E/other/01.ogg"})).ok());
    EXPECT_EQ(index().placesOfFile("/m/C/new/01.ogg"), (std::vector<Place>{{4, 1}}));
    EXPECT_EQ(index().albumsInFoldersNamed({"other"}), (std::vector<int>{5}));
    expectSameAsFresh(kPaths, kNames);

    // Delete: later albums move down.
    EXPECT_EQ(catalogue.deleteAlbums({1, 4}), (std::vector<int>{1, 4}));
    EXPECT_TRUE(index().placesOfFile("/m/A/one/01.mp3").empty());
    EXPECT_TRUE(index().placesOfFile("/m/C/new/01.ogg").empty());
    EXPECT_EQ(index().placesOfFile("/m/B/set/CD1/01.flac"), (std::vector<Place>{{2, 1}}));
    EXPECT_EQ(index().albumsInFoldersNamed({"other"}), (std::vector<int>{3}));
    expectSameAsFresh(kPaths, kNames);

    // Import.
    exchange::ImportedRows rows;
    rows.blocks.push_back(dataLine(albumWith("imported", {"/m/D/imported/01.mp3"})));
    rows.rows.push_back(rows.blocks.back());
    const int first = catalogue.appendImported(std::move(rows));
    EXPECT_EQ(index().placesOfFile("/m/D/imported/01.mp3"), (std::vector<Place>{{first, 1}}));
    expectSameAsFresh(kPaths, kNames);

    // Scan: songs joining a catalogued album, and a new album.
    filescan::PlannedAlbum joining;
    joining.existingAlbum = 2;
    joining.firstSlot = 3;
    joining.songs = 1;
    joining.record = albumWith("set", {});
    joining.record[store::songTitleColumn(3)] = "s3";
    joining.record[store::mediaColumn(3)] = "/m/B/set/CD3/01.flac";
    filescan::PlannedAlbum fresh;
    fresh.record = albumWith("scanned", {"/m/F/scanned/01.mp3"});
    fresh.songs = 1;
    ASSERT_TRUE(catalogue.registerScannedAlbums({joining, fresh}).ok());
    EXPECT_EQ(index().placesOfFile("/m/B/set/CD3/01.flac"), (std::vector<Place>{{2, 3}}));
    EXPECT_EQ(index().albumsInFoldersNamed({"CD3"}), (std::vector<int>{2}));
    EXPECT_EQ(index().placesOfFile("/m/F/scanned/01.mp3"), (std::vector<Place>{{catalogue.albumCount(), 1}}));
    expectSameAsFresh(kPaths, kNames);

    // The table as a whole: renumbering in another order, and a revert.
    catalogue.sortByColumn(2);
    ASSERT_EQ(catalogue.renumberInListOrder(), Problem::None);
    expectSameAsFresh(kPaths, kNames);
    catalogue.revert();
    EXPECT_EQ(index().placesOfFile("/m/A/one/01.mp3"), (std::vector<Place>{{1, 1}}));
    EXPECT_TRUE(index().placesOfFile("/m/F/scanned/01.mp3").empty());
    expectSameAsFresh(kPaths, kNames);
}

// Undo and redo tell the observers what they changed, as the commands do:
// the index follows every step back and forth.
TEST_F(MediaPathIndexTest, StaysCurrentThroughUndoAndRedo)
{
    index().placesOfFile("/m/A/one/01.mp3");
    ASSERT_TRUE(index().built());
    ASSERT_TRUE(catalogue.addAlbum(-1, albumWith("new", {"/m/C/new/01.ogg"})).ok());
    ASSERT_TRUE(catalogue.setAlbumCell(1, store::mediaColumn(2), "/m/A/one/03.mp3").ok());
    EXPECT_EQ(catalogue.deleteAlbums({3}), (std::vector<int>{3}));
    ASSERT_TRUE(catalogue.replace(7, "one", "uno").ok());  // the media group
    catalogue.sortByColumn(2);
    ASSERT_EQ(catalogue.renumberInListOrder(), Problem::None);
    const std::vector<std::string> paths = {"/m/A/uno/01.mp3", "/m/A/uno/03.mp3", "/m/A/one/01.mp3",
                                            "/m/A/one/02.mp3", "/m/C/new/01.ogg", "/m/B/set/CD1/01.flac"};
    const std::vector<std::string> names = {"one", "uno", "new", "set", "CD1"};
    expectSameAsFresh(paths, names);

    int steps = 0;
    while (catalogue.canUndo()) {
        catalogue.undo();
        ++steps;
        expectSameAsFresh(paths, names);
    }
    EXPECT_GE(steps, 5);
    EXPECT_EQ(index().placesOfFile("/m/A/one/02.mp3"), (std::vector<Place>{{1, 2}}));
    EXPECT_EQ(index().placesOfFile("/m/B/set/CD1/01.flac"), (std::vector<Place>{{3, 1}}));
    while (catalogue.canRedo()) {
        catalogue.redo();
        expectSameAsFresh(paths, names);
    }
    EXPECT_TRUE(index().placesOfFile("/m/A/one/02.mp3").empty());
    EXPECT_TRUE(index().placesOfFile("/m/B/set/CD1/01.flac").empty());
}

TEST_F(MediaPathIndexTest, IsSavedWithTheCatalogueAndTakenBackOnlyForThatFile)
{
    EXPECT_EQ(index().albumsInFoldersNamed({"one"}), (std::vector<int>{1}));
    ASSERT_TRUE(catalogue.appendAlbums({albumWith("new", {"/m/C/new/01.ogg"})}).ok());
    ASSERT_EQ(catalogue.save().status, SaveStatus::Saved);
    const std::filesystem::path saved = dir / kMediaIndexFileName;
    ASSERT_TRUE(std::filesystem::exists(saved));

    // Taken back for the very file it was saved with, it answers as one
    // built afresh.
    Catalogue reopened{store::DataFolder(dir.path())};
    ASSERT_EQ(reopened.load().dataStatus, store::LoadStatus::Loaded);
    const std::string data = test::readBytes(dir / "VLM.dat");
    const std::uint64_t hash = store::contentHash(data);
    MediaPathIndex restored(reopened.albums());
    ASSERT_TRUE(restored.restoreFrom(saved, data.size(), hash));
    const MediaPathIndex fresh(reopened.albums());
    for (const std::string& name : kNames) {
        EXPECT_EQ(restored.albumsInFoldersNamed({name}), fresh.albumsInFoldersNamed({name})) << name;
    }
    EXPECT_EQ(restored.placesOfFile("/m/C/new/01.ogg"), (std::vector<Place>{{4, 1}}));
    EXPECT_EQ(reopened.cataloguedFilesInFoldersNamed({"new"}, {}).files.count("/m/C/new/01.ogg"), 1u);
    EXPECT_TRUE(reopened.mediaPaths().built());

    // Another file, or a damaged index, is never taken.
    EXPECT_FALSE(MediaPathIndex(reopened.albums()).restoreFrom(saved, data.size(), hash + 1));
    EXPECT_FALSE(MediaPathIndex(reopened.albums()).restoreFrom(saved, data.size() + 1, hash));
    std::string damaged = test::readBytes(saved);
    damaged[damaged.size() / 2] ^= 0x40;
    test::writeBytes(dir / "damaged.bin", damaged);
    EXPECT_FALSE(MediaPathIndex(reopened.albums()).restoreFrom(dir / "damaged.bin", data.size(), hash));
    test::writeBytes(dir / "short.bin", test::readBytes(saved).substr(0, 40));
    EXPECT_FALSE(MediaPathIndex(reopened.albums()).restoreFrom(dir / "short.bin", data.size(), hash));

    // Another program moves an album to another folder (a file of the
    // same size and album count) and keeps the index: the album is found
    // in its new folder all the same.
    std::string moved = data;
    for (std::size_t at = moved.find("/m/A/one/"); at != std::string::npos;
         at = moved.find("/m/A/one/", at)) {
        moved.replace(at, 9, "/m/E/two/");
    }
    test::writeBytes(dir / "VLM.dat", moved);
    Catalogue changed{store::DataFolder(dir.path())};
    ASSERT_EQ(changed.load().dataStatus, store::LoadStatus::Loaded);
    EXPECT_EQ(changed.cataloguedFilesInFoldersNamed({"two"}, {}).files.count("/m/E/two/01.mp3"), 1u);
    EXPECT_TRUE(changed.cataloguedFilesInFoldersNamed({"one"}, {}).files.empty());
}

TEST(MediaPathIndex, ALargeTableIsReadInTwoHalvesAndMergedInOrder)
{
    store::AlbumTable table;
    table.setRowCount(30001);
    table.setCell(store::mediaColumn(3), 25000, "/m/x/far/01.mp3");
    table.setCell(store::mediaColumn(1), 5, "/m/y/far/02.mp3");
    table.setCell(store::mediaColumn(1), 14999, "/m/z/near/01.mp3");
    table.setCell(store::mediaColumn(1), 15001, "/m/z/near/02.mp3");
    const MediaPathIndex index(table);
    EXPECT_EQ(index.albumsInFoldersNamed({"far"}), (std::vector<int>{5, 25000}));
    EXPECT_EQ(index.albumsInFoldersNamed({"near", "x"}), (std::vector<int>{14999, 15001}));
    EXPECT_EQ(index.placesOfFile("/m/x/far/01.mp3"), (std::vector<Place>{{25000, 3}}));
}

}  // namespace
}  // namespace velmora::catalogue
