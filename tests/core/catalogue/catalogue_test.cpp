#include "core/catalogue/catalogue.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/store/columns.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace velmora::catalogue {
namespace {

using store::AlbumRecord;
using store::ArtistColumn;
using store::FuriganaColumn;
using test::dataLineWith;
using test::readBytes;
using test::sj;
using test::TempDir;
using test::writeBytes;

// One album line: artist, album title, reading, and optional extra cells.
std::string albumLine(std::string_view artist, std::string_view title, std::string_view reading,
                      std::initializer_list<std::pair<int, std::string_view>> more = {})
{
    std::vector<std::pair<int, std::string_view>> cells = {
        {ArtistColumn, artist}, {store::AlbumColumn, title}, {FuriganaColumn, reading}};
    cells.insert(cells.end(), more.begin(), more.end());
    return test::dataLineWith(cells);
}

std::string dataFile(const std::vector<std::string>& albums)
{
    std::string file = dataLineWith({}) + "\r\n";
    for (const std::string& album : albums) {
        file += album + "\r\n";
    }
    return file;
}

// Records every notification as one line of text.
class Recorder : public CatalogueObserver {
public:
    std::vector<std::string> events;

    static std::string numbers(const std::vector<int>& values)
    {
        std::string text;
        for (int v : values) {
            text += (text.empty() ? "" : ",") + std::to_string(v);
        }
        return text;
    }
    void albumsInserted(const std::vector<int>& albums) override
    {
        events.push_back("inserted " + numbers(albums));
    }
    void albumsChanged(const std::vector<int>& albums) override
    {
        events.push_back("changed " + numbers(albums));
    }
    void albumsRemoved(const std::vector<int>& albums) override
    {
        events.push_back("removed " + numbers(albums));
    }
    void albumsReset() override { events.push_back("albums reset"); }
    void listRowsInserted(int row, int count) override
    {
        events.push_back("rows inserted " + std::to_string(row) + "+" + std::to_string(count));
    }
    void listRowsRemoved(const std::vector<int>& rows) override
    {
        events.push_back("rows removed " + numbers(rows));
    }
    void listReset() override { events.push_back("list reset"); }
    void settingsChanged() override { events.push_back("settings"); }
};

// A data folder with three albums: A/one, B/two, A/three (readings "a",
// "b", "a"), loaded, with a recorder attached after the load.
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(dir / "VLM.dat", dataFile({albumLine("A", "one", "a"), albumLine("B", "two", "b"),
                                              albumLine("A", "three", "a")}));
        LoadReport report = catalogue.load();
        ASSERT_EQ(report.dataStatus, store::LoadStatus::Loaded);
        catalogue.addObserver(&recorder);
    }
    std::string cell(int column, int album) const
    {
        return std::string(catalogue.albums().cell(column, album));
    }
    std::vector<std::string> titles() const
    {
        std::vector<std::string> result;
        for (int album = 1; album <= catalogue.albumCount(); ++album) {
            result.push_back(cell(store::AlbumColumn, album));
        }
        return result;
    }
    std::vector<ListEntry> entries(std::initializer_list<int> albums) const
    {
        std::vector<ListEntry> result;
        for (int album : albums) {
            result.push_back({album, 0});
        }
        return result;
    }
    AlbumRecord record(std::string_view artist, std::string_view title, std::string_view reading = {}) const
    {
        AlbumRecord r;
        r[ArtistColumn] = artist;
        r[store::AlbumColumn] = title;
        r[FuriganaColumn] = reading;
        return r;
    }

    TempDir dir;
    Catalogue catalogue{store::DataFolder(dir.path())};
    Recorder recorder;
};

// ---- loading and saving ----------------------------------------------------

TEST(CatalogueFiles, LoadReadsAllThreeKindsAndSaveWritesTheSameBytes)
{
    TempDir dir;
    const std::string data =
        dataFile({albumLine("A", "one", "a"), albumLine(sj("歌手"), sj("題"), sj("かしゅ"))});
    writeBytes(dir / "VLM.dat", data);
    writeBytes(dir / "VLM.ini", "[Option]\r\nCDDrive=3\r\n");
    writeBytes(dir / "VLM1.txt", "Rock\r\nJazz\r\n");
    Catalogue catalogue{store::DataFolder(dir.path())};
    const LoadReport report = catalogue.load();
    EXPECT_EQ(report.dataStatus, store::LoadStatus::Loaded);
    EXPECT_FALSE(report.folderError);
    EXPECT_FALSE(report.listError);
    EXPECT_TRUE(report.settingsRead);
    EXPECT_EQ(catalogue.albumCount(), 2);
    EXPECT_EQ(catalogue.lists().genres, (std::vector<std::string>{"Rock", "Jazz"}));
    EXPECT_TRUE(catalogue.allAlbumsShown());
    EXPECT_EQ(catalogue.entries(), (std::vector<ListEntry>{{1, 0}, {2, 0}}));
    EXPECT_FALSE(catalogue.isModified());

    const SaveReport saved = catalogue.save();
    EXPECT_EQ(saved.status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir / "VLM.dat"), data);
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "Rock\r\nJazz\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "ISU1.txt"));
}

TEST(CatalogueFiles, AMissingDataFileIsAnEmptyCatalogueAndAMissingFolderIsReported)
{
    TempDir dir;
    Catalogue catalogue{store::DataFolder(dir.path())};
    LoadReport report = catalogue.load();
    EXPECT_EQ(report.dataStatus, store::LoadStatus::Missing);
    EXPECT_FALSE(report.settingsRead);
    EXPECT_EQ(catalogue.albumCount(), 0);
    EXPECT_EQ(catalogue.save().status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir / "VLM.dat"), dataLineWith({}) + "\r\n");

    Catalogue nowhere{store::DataFolder(dir / "missing")};
    report = nowhere.loadDataFileOnly();
    ASSERT_TRUE(report.folderError);
    EXPECT_EQ(report.folderError->path, (dir / "missing" / "VLM.dat").string());
}

TEST(CatalogueFiles, AnUnreadableDataFileIsOnlyOverwrittenWithConsent)
{
    TempDir dir;
    // A FIFO is refused without waiting for a writer: the file exists but
    // cannot be read.
    ASSERT_EQ(::mkfifo((dir / "VLM.dat").c_str(), 0600), 0);
    Catalogue catalogue{store::DataFolder(dir.path())};
    const LoadReport report = catalogue.load();
    EXPECT_EQ(report.dataStatus, store::LoadStatus::Unreadable);
    EXPECT_EQ(report.dataError.path, (dir / "VLM.dat").string());
    EXPECT_EQ(report.dataError.reason, store::kNotRegularFile);
    EXPECT_TRUE(catalogue.dataFileUnreadable());
    EXPECT_EQ(catalogue.albumCount(), 0);

    ASSERT_TRUE(catalogue.addAlbum(-1, AlbumRecord{}).ok());
    // The file that could not be read holds albums the table lacks (it
    // reads again now, say, after a passing fault).
    std::filesystem::remove(dir / "VLM.dat");
    writeBytes(dir / "VLM.dat", dataFile({albumLine("A", "one", "a"), albumLine("B", "two", "b")}));
    // Neither kind of save writes anything without consent, the settings
    // and lists included.
    EXPECT_EQ(catalogue.save().status, SaveStatus::NeedsConsent);
    EXPECT_EQ(catalogue.saveDataFileOnly().status, SaveStatus::NeedsConsent);
    EXPECT_FALSE(std::filesystem::exists(dir / "VLM.ini"));
    EXPECT_EQ(readBytes(dir / "VLM.dat"), dataFile({albumLine("A", "one", "a"), albumLine("B", "two", "b")}));

    EXPECT_EQ(catalogue.save(SaveConsent::OverwriteUnreadable).status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir / "VLM.dat"), dataFile({dataLineWith({})}));
    EXPECT_FALSE(catalogue.dataFileUnreadable());
    // Written over once, it needs no consent again.
    EXPECT_EQ(catalogue.save().status, SaveStatus::Saved);
    Catalogue again{store::DataFolder(dir.path())};
    EXPECT_EQ(again.load().dataStatus, store::LoadStatus::Loaded);
    EXPECT_EQ(again.albumCount(), 1);

    const std::string question = saveOverUnreadableQuestion("/x/VLM.dat");
    EXPECT_NE(question.find("「/x/VLM.dat」"), std::string::npos);
}

TEST(CatalogueFiles, AFileAnotherWriterChangedIsOnlyOverwrittenWithConsent)
{
    TempDir dir;
    const std::string first = dataFile({albumLine("A", "one", "a")});
    const std::string other = dataFile({albumLine("B", "two", "b")});
    writeBytes(dir / "VLM.dat", first);
    Catalogue catalogue{store::DataFolder(dir.path())};
    ASSERT_EQ(catalogue.load().dataStatus, store::LoadStatus::Loaded);
    EXPECT_FALSE(catalogue.dataFileChangedOnDisk());
    ASSERT_TRUE(catalogue.addAlbum(-1, AlbumRecord{}).ok());

    ASSERT_TRUE(test::rewriteKeepingTime(dir / "VLM.dat", other));
    EXPECT_TRUE(catalogue.dataFileChangedOnDisk());
    // Neither kind of save writes anything, the settings included.
    EXPECT_EQ(catalogue.save().status, SaveStatus::ChangedOnDisk);
    EXPECT_EQ(catalogue.saveDataFileOnly().status, SaveStatus::ChangedOnDisk);
    EXPECT_EQ(readBytes(dir / "VLM.dat"), other);
    EXPECT_FALSE(std::filesystem::exists(dir / "VLM.ini"));
    EXPECT_TRUE(catalogue.albumsModified());

    // With consent the window's albums replace it; what was written is the
    // file of the next check.
    EXPECT_EQ(catalogue.save(SaveConsent::OverwriteChanged).status, SaveStatus::Saved);
    EXPECT_EQ(catalogue.albumCount(), 2);
    EXPECT_FALSE(catalogue.dataFileChangedOnDisk());
    EXPECT_EQ(catalogue.save().status, SaveStatus::Saved);

    // Another size is another file; the same bytes written again at
    // another time (a sync tool, `touch`) are still the catalogue's file.
    const std::string saved = readBytes(dir / "VLM.dat");
    writeBytes(dir / "VLM.dat", saved + dataLineWith({}) + "\r\n");
    EXPECT_TRUE(catalogue.dataFileChangedOnDisk());
    writeBytes(dir / "VLM.dat", saved);
    std::filesystem::last_write_time(
        dir / "VLM.dat", std::filesystem::last_write_time(dir / "VLM.dat") - std::chrono::hours(1));
    EXPECT_FALSE(catalogue.dataFileChangedOnDisk());

    // Reading it again makes it the catalogue's file.
    ASSERT_TRUE(
        test::rewriteKeepingTime(dir / "VLM.dat", other + std::string(saved.size() - other.size(), ' ')));
    catalogue.revert();
    EXPECT_FALSE(catalogue.dataFileChangedOnDisk());
    EXPECT_EQ(catalogue.saveDataFileOnly().status, SaveStatus::Saved);

    // A file gone loses nothing: saving writes it anew.
    std::filesystem::remove(dir / "VLM.dat");
    EXPECT_FALSE(catalogue.dataFileChangedOnDisk());
    EXPECT_EQ(catalogue.saveDataFileOnly().status, SaveStatus::Saved);

    const std::string question = changedOnDiskQuestion("/x/VLM.dat");
    EXPECT_TRUE(question.starts_with("ディスク上のデータが変更されています"));
    EXPECT_NE(question.find("「/x/VLM.dat」"), std::string::npos);
}

TEST(CatalogueFiles, AFileThatAppearedAfterALoadFoundNoneIsAnotherWritersFile)
{
    TempDir dir;
    Catalogue catalogue{store::DataFolder(dir.path())};
    ASSERT_EQ(catalogue.loadDataFileOnly().dataStatus, store::LoadStatus::Missing);
    ASSERT_TRUE(catalogue.addAlbum(-1, AlbumRecord{}).ok());
    const std::string imported = dataFile({albumLine("A", "one", "a")});
    writeBytes(dir / "VLM.dat", imported);
    EXPECT_EQ(catalogue.saveDataFileOnly().status, SaveStatus::ChangedOnDisk);
    EXPECT_EQ(readBytes(dir / "VLM.dat"), imported);
}

TEST(CatalogueFiles, AFailingSettingsWriteStopsTheSaveBeforeTheLists)
{
    TempDir dir;
    writeBytes(dir / "VLM1.txt", "old\r\n");
    Catalogue catalogue{store::DataFolder(dir.path())};
    catalogue.load();
    // VLM.ini cannot be replaced: a folder has its name.
    std::filesystem::create_directory(dir / "VLM.ini");
    ASSERT_TRUE(catalogue.addAlbum(-1, AlbumRecord{}).ok());
    store::ListFiles lists = catalogue.lists();
    lists.genres = {"new"};
    catalogue.setLists(lists);

    const SaveReport report = catalogue.save();
    EXPECT_EQ(report.status, SaveStatus::Failed);
    EXPECT_EQ(report.failedFile, SavedFile::Settings);
    EXPECT_EQ(report.error.path, (dir / "VLM.ini").string());
    EXPECT_FALSE(report.error.reason.empty());
    // The data file before it was written; the lists after it keep theirs.
    EXPECT_EQ(readBytes(dir / "VLM.dat"), dataFile({dataLineWith({})}));
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "old\r\n");
    EXPECT_FALSE(catalogue.albumsModified());
    EXPECT_TRUE(catalogue.isModified());
}

TEST(CatalogueFiles, AFailingDataFileWriteWritesNothingElse)
{
    TempDir dir;
    Catalogue catalogue{store::DataFolder(dir.path())};
    catalogue.load();
    ASSERT_TRUE(catalogue.addAlbum(-1, AlbumRecord{}).ok());
    // The load found no file; now a folder stands where it goes.
    std::filesystem::create_directory(dir / "VLM.dat");
    const SaveReport report = catalogue.saveDataFileOnly();
    EXPECT_EQ(report.status, SaveStatus::Failed);
    EXPECT_EQ(report.failedFile, SavedFile::DataFile);
    EXPECT_EQ(catalogue.save().status, SaveStatus::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "VLM.ini"));
    EXPECT_TRUE(catalogue.albumsModified());
}

TEST_F(CatalogueTest, RevertReadsTheFileAgainAsAWhole)
{
    ASSERT_TRUE(catalogue.setAlbumCell(2, store::AlbumColumn, "changed").ok());
    catalogue.insertAlbumAfter(0);
    catalogue.showOnlyRows({0});
    EXPECT_TRUE(catalogue.isModified());
    recorder.events.clear();

    const LoadReport report = catalogue.revert();
    EXPECT_EQ(report.dataStatus, store::LoadStatus::Loaded);
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(catalogue.entries(), entries({1, 2, 3}));
    EXPECT_TRUE(catalogue.allAlbumsShown());
    EXPECT_FALSE(catalogue.isModified());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"albums reset", "list reset"}));

    // Without a file there is nothing to go back to: the albums stay.
    std::filesystem::remove(dir / "VLM.dat");
    catalogue.insertAlbumAfter(-1);
    EXPECT_EQ(catalogue.revert().dataStatus, store::LoadStatus::Missing);
    EXPECT_EQ(catalogue.albumCount(), 4);
}

// ---- album commands --------------------------------------------------------

TEST_F(CatalogueTest, InsertGoesAfterTheSelectedAlbumAndItsEntry)
{
    // Sorted by title: one (1), three (3), two (2).
    catalogue.sortByColumn(2);
    ASSERT_EQ(catalogue.entries(), entries({1, 3, 2}));
    recorder.events.clear();

    ChangeResult inserted = catalogue.insertAlbumAfter(0);  // after album 1
    EXPECT_EQ(inserted.album, 2);
    EXPECT_EQ(inserted.listRow, 1);
    EXPECT_EQ(catalogue.entries(), entries({1, 2, 4, 3}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "", "two", "three"}));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"inserted 2", "rows inserted 1+1"}));

    // After the last album, or with nothing selected: appended at the end;
    // after the last row, or none: the entry goes last.
    inserted = catalogue.insertAlbumAfter(2);  // album 4 is the last one
    EXPECT_EQ(inserted.album, 5);
    EXPECT_EQ(inserted.listRow, 3);
    inserted = catalogue.insertAlbumAfter(-1);
    EXPECT_EQ(inserted.album, 6);
    EXPECT_EQ(inserted.listRow, 5);
    inserted = catalogue.insertAlbumAfter(5);  // the last row, album 6
    EXPECT_EQ(inserted.album, 7);
    EXPECT_EQ(inserted.listRow, 6);
    EXPECT_EQ(catalogue.entries(), entries({1, 2, 4, 5, 3, 6, 7}));
    EXPECT_TRUE(catalogue.isModified());
}

TEST_F(CatalogueTest, ChangeAppliesTheReadingDefaultAndRefusesCellsThatCannotBeStored)
{
    ChangeResult changed = catalogue.changeAlbum(2, record("C", "new"));
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(cell(FuriganaColumn, 2), "C");
    EXPECT_FALSE(changed.readingQuestion);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"changed 2"}));

    recorder.events.clear();
    const std::string before(catalogue.albums().rowLine(2));
    AlbumRecord bad = record("C", "new");
    bad[store::songTitleColumn(3)] = "x<>y";
    changed = catalogue.changeAlbum(2, bad);
    EXPECT_EQ(changed.problem, Problem::CellSeparator);
    EXPECT_EQ(changed.column, store::songTitleColumn(3));
    EXPECT_EQ(problemMessage(changed.problem), "「<>」は保存できない文字列です。");
    EXPECT_EQ(catalogue.setAlbumCell(2, store::ImagePathColumn, "a\nb").problem, Problem::CellLineBreak);
    EXPECT_EQ(catalogue.setAlbumCell(2, ArtistColumn, "\x83").problem, Problem::CellLoneLeadByte);
    // The last column may end with a lead byte.
    EXPECT_EQ(catalogue.setAlbumCell(2, store::kColumnCount - 1, "\x83").problem, Problem::None);
    EXPECT_EQ(catalogue.changeAlbum(9, record("x", "y")).problem, Problem::NoSuchAlbum);
    EXPECT_EQ(catalogue.addAlbum(0, bad).problem, Problem::CellSeparator);
    EXPECT_EQ(catalogue.albumCount(), 3);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"changed 2"}));  // the last-column edit alone
    EXPECT_NE(std::string(catalogue.albums().rowLine(2)), before);
}

TEST_F(CatalogueTest, AChangedReadingAsksAboutTheArtistsOtherAlbums)
{
    // Album 1 of A gets another reading: album 3 of A still has "a".
    ChangeResult changed = catalogue.changeAlbum(1, record("A", "one", "aa"));
    ASSERT_TRUE(changed.readingQuestion);
    EXPECT_EQ(changed.readingQuestion->artist, "A");
    EXPECT_EQ(changed.readingQuestion->reading, "aa");
    EXPECT_EQ(changed.readingQuestion->albums, (std::vector<int>{1, 3}));
    EXPECT_EQ(cell(FuriganaColumn, 3), "a");  // nothing until the caller says yes

    recorder.events.clear();
    catalogue.applyReading(*changed.readingQuestion);
    EXPECT_EQ(cell(FuriganaColumn, 3), "aa");
    EXPECT_EQ(cell(FuriganaColumn, 2), "b");
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"changed 3"}));

    // The same reading again, or a change that keeps it: no question.
    EXPECT_FALSE(catalogue.changeAlbum(3, record("A", "three", "aa")).readingQuestion);
    EXPECT_FALSE(catalogue.setAlbumCell(1, store::AlbumColumn, "uno").readingQuestion);
    // A new album of B with its own reading asks about album 2.
    changed = catalogue.addAlbum(-1, record("B", "four", "bee"));
    ASSERT_TRUE(changed.readingQuestion);
    EXPECT_EQ(changed.readingQuestion->albums, (std::vector<int>{2, 4}));
    // No question when the others have that reading already.
    EXPECT_TRUE(catalogue.setAlbumCell(2, FuriganaColumn, "bee").readingQuestion == std::nullopt);
    // A question answered late skips albums whose artist changed meanwhile.
    const ReadingQuestion late{"A", "zz", {1, 3}};
    ASSERT_TRUE(catalogue.changeAlbum(3, record("Z", "three")).ok());
    catalogue.applyReading(late);
    EXPECT_EQ(cell(FuriganaColumn, 1), "zz");
    EXPECT_EQ(cell(FuriganaColumn, 3), "Z");
}

TEST_F(CatalogueTest, DuplicateAddsACopyAfterTheRow)
{
    ChangeResult copy = catalogue.duplicateAlbum(0);
    ASSERT_TRUE(copy.ok());
    EXPECT_EQ(copy.album, 2);
    EXPECT_EQ(copy.listRow, 1);
    EXPECT_EQ(catalogue.albums().rowLine(2), catalogue.albums().rowLine(1));
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "one", "two", "three"}));
    EXPECT_EQ(catalogue.entries(), entries({1, 2, 3, 4}));
    EXPECT_FALSE(copy.readingQuestion);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"inserted 2", "rows inserted 1+1", "changed 2"}));
    EXPECT_EQ(catalogue.duplicateAlbum(7).problem, Problem::NoSuchAlbum);
}

TEST_F(CatalogueTest, DeleteRenumbersTheRestAndDropsEveryEntryOfADeletedAlbum)
{
    catalogue.insertAlbumAfter(-1);  // album 4, empty
    ASSERT_TRUE(catalogue.setAlbumCell(4, store::AlbumColumn, "four").ok());
    // A search result may list one album twice.
    catalogue.showSearchResult({{3, 1}, {2, 0}, {4, 0}, {2, 5}});
    ASSERT_EQ(catalogue.entries(), (std::vector<ListEntry>{{2, 0}, {2, 5}, {3, 1}, {4, 0}}));
    recorder.events.clear();

    const std::vector<int> removed = catalogue.deleteAlbums({2, 9, 2, 0});
    EXPECT_EQ(removed, (std::vector<int>{2}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "three", "four"}));
    EXPECT_EQ(catalogue.entries(), (std::vector<ListEntry>{{2, 1}, {3, 0}}));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"removed 2", "rows removed 0,1"}));

    EXPECT_EQ(catalogue.deleteAlbums({1, 3}), (std::vector<int>{1, 3}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"three"}));
    EXPECT_EQ(catalogue.entries(), (std::vector<ListEntry>{{1, 1}}));
    EXPECT_TRUE(catalogue.deleteAlbums({5}).empty());
    EXPECT_EQ(catalogue.save().status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir / "VLM.dat"), dataFile({albumLine("A", "three", "a")}));
}

TEST_F(CatalogueTest, RenumberingWritesTheListOrderIntoTheTable)
{
    catalogue.sortByColumn(2);  // one, three, two
    EXPECT_TRUE(catalogue.listOutOfOrder());
    recorder.events.clear();
    EXPECT_EQ(catalogue.renumberInListOrder(), Problem::None);
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(catalogue.entries(), entries({1, 2, 3}));
    EXPECT_FALSE(catalogue.listOutOfOrder());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"albums reset", "list reset"}));

    catalogue.showOnlyRows({0, 2});
    EXPECT_FALSE(catalogue.allAlbumsShown());
    EXPECT_EQ(catalogue.renumberInListOrder(), Problem::RenumberNeedsAllAlbums);
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(problemMessage(Problem::RenumberNeedsAllAlbums), "すべてのアルバムが表示されていません");
}

TEST_F(CatalogueTest, DragAndDropMovesEntriesOnlyWhileEveryAlbumIsShown)
{
    catalogue.insertAlbumAfter(-1);
    int first = -1;
    // Rows 2 and 3 dropped on row 0.
    EXPECT_EQ(catalogue.moveListRows({3, 2}, 0, &first), Problem::None);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(catalogue.entries(), entries({3, 4, 1, 2}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "two", "three", ""}));  // the table waits
    EXPECT_TRUE(catalogue.listOutOfOrder());
    EXPECT_EQ(catalogue.renumberInListOrder(), Problem::None);
    EXPECT_EQ(titles(), (std::vector<std::string>{"three", "", "one", "two"}));

    catalogue.showSearchResult({{1, 0}, {2, 0}});
    EXPECT_EQ(catalogue.moveListRows({1}, 0), Problem::ReorderNeedsAllAlbums);
    EXPECT_EQ(catalogue.entries(), entries({1, 2}));
}

TEST_F(CatalogueTest, AppendedAlbumsKeepAFullListFull)
{
    AlbumRecord scanned = record("S", "scan");  // stored as given: no reading
    ChangeResult appended = catalogue.appendAlbums({scanned, record("T", "tag")});
    ASSERT_TRUE(appended.ok());
    EXPECT_EQ(appended.album, 4);
    EXPECT_EQ(cell(FuriganaColumn, 4), "");
    EXPECT_EQ(catalogue.entries(), entries({1, 2, 3, 4, 5}));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"inserted 4,5", "rows inserted 3+2"}));

    AlbumRecord bad = scanned;
    bad[store::mediaColumn(1)] = "a\r";
    EXPECT_EQ(catalogue.appendAlbums({scanned, bad}).problem, Problem::CellLineBreak);
    EXPECT_EQ(catalogue.albumCount(), 5);

    catalogue.showOnlyRows({0});
    catalogue.appendAlbums({scanned});
    EXPECT_EQ(catalogue.entries(), entries({1}));
}

// ---- list state ------------------------------------------------------------

TEST_F(CatalogueTest, SearchResultsAreSortedByTheSortColumnAndKeepTheirSongs)
{
    catalogue.sortByColumn(1);  // by artist: A, A, B
    const std::vector<textops::SearchHit> hits = catalogue.search(textops::SearchAlbum, "T");
    EXPECT_EQ(hits, (std::vector<textops::SearchHit>{{2, 0}, {3, 0}}));
    catalogue.showSearchResult(hits);
    EXPECT_FALSE(catalogue.allAlbumsShown());
    EXPECT_EQ(catalogue.entries(), (std::vector<ListEntry>{{3, 0}, {2, 0}}));
    EXPECT_TRUE(catalogue.search(textops::SearchAlbum, "").empty());
    EXPECT_EQ(catalogue.searchProblem(""), Problem::SearchWordEmpty);
    EXPECT_EQ(catalogue.searchProblem("T"), Problem::None);
    catalogue.showAlbums({});
    EXPECT_EQ(catalogue.searchProblem("T"), Problem::NoAlbumsShown);

    catalogue.showAll();
    EXPECT_TRUE(catalogue.allAlbumsShown());
    const std::vector<int> order = catalogue.sortByColumn(0);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(catalogue.sortColumn(), 0);

    catalogue.deleteAlbums({1, 2, 3});
    EXPECT_EQ(catalogue.searchProblem("T"), Problem::NoAlbumsStored);
    EXPECT_EQ(problemMessage(Problem::NoAlbumsStored), "アルバムが登録されていません");
}

// ---- convert and replace ---------------------------------------------------

TEST_F(CatalogueTest, ReplaceGuardsComeBeforeAnyChange)
{
    const int titles = 2;  // the column group of album titles
    struct Case {
        int group;
        std::string find;
        std::string replacement;
        Problem problem;
    };
    const Case cases[] = {
        {titles, "", "x", Problem::FindEmpty},
        {titles, "o<>", "x", Problem::FindHasSeparator},
        {titles, "o", "<>", Problem::ReplacementHasSeparator},
        {titles, "o", "a\r\nb", Problem::ReplacementHasLineBreak},
        {titles, "o", "a\nb", Problem::ReplacementHasLineBreak},
        {6, "{}", "x", Problem::MemoReplaceHasBraces},
        {6, "o", "x{}", Problem::MemoReplaceHasBraces},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(catalogue.replace(c.group, c.find, c.replacement).problem, c.problem)
            << c.find << c.replacement;
    }
    EXPECT_EQ(recorder.events, std::vector<std::string>{});
    EXPECT_EQ(problemMessage(Problem::ReplacementHasLineBreak), "置換の文字列に改行を含まないで下さい");

    // "{}" is matched on character boundaries: "ボ" ends with the byte of
    // "{", so "ボ}" holds no "{}".
    ASSERT_EQ(sj("ボ"), "\x83\x7b");
    EXPECT_TRUE(catalogue.replace(6, sj("ボ") + "}", "x").ok());
    // "{}" may be replaced outside the memo.
    EXPECT_TRUE(catalogue.replace(titles, "{}", "x").ok());

    BulkResult done = catalogue.replace(titles, "o", "0");
    ASSERT_TRUE(done.ok());
    EXPECT_EQ(done.changedCells, 2);  // one, two
    EXPECT_EQ(cell(store::AlbumColumn, 1), "0ne");
    EXPECT_EQ(cell(store::AlbumColumn, 2), "tw0");
    EXPECT_EQ(done.changedAlbums, (std::vector<int>{1, 2}));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"changed 1,2"}));

    catalogue.showOnlyRows({2});
    done = catalogue.replace(titles, "e", "E");
    EXPECT_EQ(done.changedCells, 1);
    EXPECT_EQ(cell(store::AlbumColumn, 3), "thrEE");
    EXPECT_EQ(cell(store::AlbumColumn, 1), "0ne");

    catalogue.showAlbums({});
    EXPECT_EQ(catalogue.replace(titles, "e", "E").problem, Problem::NoAlbums);
    EXPECT_EQ(catalogue.convert(titles, textops::ToUpper).problem, Problem::NoAlbums);
}

TEST_F(CatalogueTest, CellsThatWouldBreakTheFileAreCountedNotChanged)
{
    // "<" + ">" joined by the replacement would make a separator.
    ASSERT_TRUE(catalogue.setAlbumCell(1, store::AlbumColumn, "a<b>").ok());
    BulkResult done = catalogue.replace(2, "b", "");
    EXPECT_EQ(done.refusedCells, 1);
    EXPECT_EQ(cell(store::AlbumColumn, 1), "a<b>");
    EXPECT_EQ(refusedCellsMessage(done.refusedCells),
              "1 個のセルは、変更すると「<>」や改行を含んで保存できなくなるため、元のままにしました。");

    done = catalogue.convert(2, textops::ToUpper);
    EXPECT_EQ(done.changedCells, 3);
    EXPECT_EQ(titles(), (std::vector<std::string>{"A<B>", "TWO", "THREE"}));
}

// ---- rules -----------------------------------------------------------------

TEST(CatalogueRules, TheLastMediaCellDecidesTheAlbumIcon)
{
    store::AlbumTable table;
    table.setRowCount(2);
    auto kind = [&] { return albumMediaKind(table.rowCells(1)); };
    EXPECT_EQ(kind(), store::MediaKind::None);
    table.setCell(store::mediaColumn(1), 1, "/music/a.mp3");
    table.setCell(store::mediaColumn(5), 1, "CD1049984");
    EXPECT_EQ(kind(), store::MediaKind::CdTrack);
    table.setCell(store::mediaColumn(99), 1, "/music/z.mp3");
    EXPECT_EQ(kind(), store::MediaKind::File);
}

TEST(CatalogueRules, MemoLinesCannotHoldTheLineMarkOrEndMidCharacter)
{
    EXPECT_EQ(checkMemoLine("plain"), Problem::None);
    EXPECT_EQ(checkMemoLine("a{}b"), Problem::MemoLineHasBraces);
    EXPECT_EQ(problemMessage(Problem::MemoLineHasBraces), "「{}」は保存できない文字列です。");
    // "ボ" ends with the byte of "{": no mark.
    EXPECT_EQ(checkMemoLine(sj("ボ") + "}"), Problem::None);
    // Joined to the next line, a lone lead byte would take the "{" of the
    // mark: the lines would read back as one.
    const std::string halfCharacter = "a\x83";
    EXPECT_EQ(store::splitMemo(store::joinMemo({halfCharacter, "b"})).size(), 1u);
    EXPECT_EQ(checkMemoLine(halfCharacter), Problem::CellLoneLeadByte);
    EXPECT_EQ(checkMemoLine("a\rb"), Problem::CellLineBreak);
    EXPECT_EQ(checkCellText(store::kColumnCount - 1, halfCharacter), Problem::None);
}

TEST(CatalogueRules, ObserversCanLeaveWhileBeingTold)
{
    TempDir dir;
    Catalogue catalogue{store::DataFolder(dir.path())};
    struct Leaver : CatalogueObserver {
        Catalogue* catalogue = nullptr;
        int told = 0;
        void listReset() override
        {
            ++told;
            catalogue->removeObserver(this);
        }
    } leaver;
    leaver.catalogue = &catalogue;
    Recorder recorder;
    catalogue.addObserver(&leaver);
    catalogue.addObserver(&recorder);
    catalogue.addObserver(&recorder);  // once only
    catalogue.showAll();
    catalogue.showAll();
    EXPECT_EQ(leaver.told, 1);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"list reset", "list reset"}));
}

}  // namespace
}  // namespace velmora::catalogue
