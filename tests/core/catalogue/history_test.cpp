#include "core/catalogue/history.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/catalogue/catalogue.h"
#include "core/exchange/exchange.h"
#include "core/store/columns.h"
#include "core/textops/textops.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace velmora::catalogue {
namespace {

using store::AlbumRecord;
using store::ArtistColumn;
using store::FuriganaColumn;
using test::readBytes;
using test::sj;
using test::TempDir;
using test::writeBytes;

// Keeps its own copy of the list and the album count from the
// notifications alone, as a window's list model or an index does.
class Mirror : public CatalogueObserver {
public:
    explicit Mirror(const Catalogue& catalogue) : catalogue_(catalogue) { sync(); }

    void sync()
    {
        entries = catalogue_.entries();
        albums = catalogue_.albumCount();
    }
    void albumsInserted(const std::vector<int>& added) override
    {
        albums += static_cast<int>(added.size());
        takeNumbers();
    }
    void albumsChanged(const std::vector<int>& /*changed*/) override { takeNumbers(); }
    void albumsRemoved(const std::vector<int>& removed) override
    {
        albums -= static_cast<int>(removed.size());
        takeNumbers();
    }
    void albumsReset() override
    {
        albums = catalogue_.albumCount();
        takeNumbers();
    }
    void listRowsInserted(int row, int count) override
    {
        const auto& now = catalogue_.entries();
        entries.insert(entries.begin() + row, now.begin() + row, now.begin() + row + count);
        takeNumbers();
    }
    void listRowsRemoved(const std::vector<int>& rows) override
    {
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            entries.erase(entries.begin() + *row);
        }
        takeNumbers();
    }
    void listReset() override { entries = catalogue_.entries(); }
    void listMarksChanged() override { takeNumbers(); }
    // A row's number and mark follow the catalogue's; its rows only follow
    // the list notifications.
    void takeNumbers()
    {
        if (entries.size() == catalogue_.entries().size()) {
            entries = catalogue_.entries();
        }
    }

    std::vector<ListEntry> entries;
    int albums = 0;

private:
    const Catalogue& catalogue_;
};

// Everything a step restores: the table's bytes and the list state.
struct State {
    std::string table;
    std::vector<ListEntry> entries;
    bool allShown = true;
    bool searchResultShown = false;
    int sortColumn = 0;
    bool operator==(const State&) const = default;
};

State stateOf(const Catalogue& catalogue)
{
    State state;
    for (int row = 0; row <= catalogue.albumCount(); ++row) {
        state.table.append(catalogue.albums().rowLine(row));
        state.table += '\n';
    }
    state.entries = catalogue.entries();
    state.allShown = catalogue.allAlbumsShown();
    state.searchResultShown = catalogue.showsSearchResult();
    state.sortColumn = catalogue.sortColumn();
    return state;
}

AlbumRecord record(std::string_view artist, std::string_view title, std::string_view reading = {})
{
    AlbumRecord r;
    r[ArtistColumn] = artist;
    r[store::AlbumColumn] = title;
    r[FuriganaColumn] = reading;
    r[store::songTitleColumn(1)] = std::string(title) + " 1";
    return r;
}

// A saved catalogue of `count` albums, loaded again: its file is what the
// history must give back byte for byte.
class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override { fill(6); }

    void fill(int count)
    {
        std::vector<AlbumRecord> records;
        for (int i = 1; i <= count; ++i) {
            records.push_back(record(i % 2 ? "Alpha" : "Beta", "title " + std::to_string(i),
                                     i % 3 ? "" : "reading " + std::to_string(i)));
        }
        ASSERT_TRUE(catalogue.appendAlbums(records).ok());
        ASSERT_EQ(catalogue.save().status, SaveStatus::Saved);
        catalogue.load();
        // The load gave the albums without a reading their artist: the file
        // as saved now is what a load reads back unchanged.
        ASSERT_EQ(catalogue.save().status, SaveStatus::Saved);
        catalogue.load();
        ASSERT_EQ(catalogue.albumCount(), count);
        catalogue.addObserver(&mirror);
        mirror.sync();
    }
    void expectMirrored()
    {
        EXPECT_EQ(mirror.entries, catalogue.entries());
        EXPECT_EQ(mirror.albums, catalogue.albumCount());
    }

    TempDir dir;
    Catalogue catalogue{store::DataFolder(dir.path())};
    Mirror mirror{catalogue};
};

struct Command {
    const char* name;
    std::function<void(Catalogue&)> run;
    // The list state the command starts from (not a step).
    std::function<void(Catalogue&)> prepare = [](Catalogue&) {};
};

const std::vector<Command>& commands()
{
    static const std::vector<Command> all = {
        {"new", [](Catalogue& c) { c.insertAlbumAfter(2); }},
        {"change", [](Catalogue& c) { c.changeAlbum(3, record("Gamma", "changed")); }},
        {"quick edit", [](Catalogue& c) { c.setAlbumCell(2, store::songTitleColumn(4), "fourth"); }},
        {"add", [](Catalogue& c) { c.addAlbum(0, record("Delta", "added")); }},
        {"duplicate", [](Catalogue& c) { c.duplicateAlbum(4); }},
        {"delete many",
         [](Catalogue& c) {
             c.deleteAlbums({5, 1, 3});
         }},
        {"reading",
         [](Catalogue& c) {
             c.applyReading({"Alpha", "arufa", {1, 3, 5}});
         }},
        {"append",
         [](Catalogue& c) {
             c.appendAlbums({record("Eps", "one"), record("Eps", "two")});
         }},
        {"folder",
         [](Catalogue& c) {
             filescan::PlannedAlbum joined;
             joined.record = c.albums().record(2);
             joined.record[store::songTitleColumn(3)] = "joined song";
             joined.existingAlbum = 2;
             joined.firstSlot = 3;
             joined.songs = 1;
             filescan::PlannedAlbum fresh;
             fresh.record = record("Zeta", "scanned");
             fresh.songs = 1;
             c.registerScannedAlbums({joined, fresh});
         }},
        {"import",
         [](Catalogue& c) {
             static const std::string line = std::string(c.albums().rowLine(1));
             std::vector<std::string_view> lines = {line, line};
             c.appendImported(exchange::importRows(lines, true, "", ""));
         }},
        {"renumber", [](Catalogue& c) { c.renumberInListOrder(); },
         [](Catalogue& c) {
             c.sortByColumn(2);
             c.sortByColumn(1);
         }},
        {"drag",
         [](Catalogue& c) {
             c.moveListRows({0, 3}, 5);
         }},
        {"convert", [](Catalogue& c) { c.convert(0, textops::ToUpper); }},
        {"replace", [](Catalogue& c) { c.replace(2, "title", "TITLE"); }},
        {"readings",
         [](Catalogue& c) {
             c.setReadings({{1, "a"}, {4, "b"}});
         }},
        {"delete from search result", [](Catalogue& c) { c.deleteAlbums({4}); },
         [](Catalogue& c) { c.showSearchResult(c.search(0, "Beta")); }},
    };
    return all;
}

TEST_F(HistoryTest, EveryKindOfStepUndoesAndRedoesToTheSameBytes)
{
    for (const Command& command : commands()) {
        SCOPED_TRACE(command.name);
        catalogue.load();
        mirror.sync();
        ASSERT_FALSE(catalogue.canUndo());
        catalogue.showAll();
        command.prepare(catalogue);
        const State before = stateOf(catalogue);
        command.run(catalogue);
        const State after = stateOf(catalogue);
        ASSERT_FALSE(before == after) << "the command changed nothing";
        ASSERT_TRUE(catalogue.canUndo());
        ASSERT_FALSE(catalogue.undoName().empty());
        expectMirrored();

        ASSERT_TRUE(catalogue.undo().done);
        EXPECT_EQ(stateOf(catalogue), before);
        expectMirrored();
        EXPECT_FALSE(catalogue.canUndo());
        ASSERT_TRUE(catalogue.canRedo());

        ASSERT_TRUE(catalogue.redo().done);
        EXPECT_EQ(stateOf(catalogue), after);
        expectMirrored();

        ASSERT_TRUE(catalogue.undo().done);
        EXPECT_EQ(stateOf(catalogue), before);
        expectMirrored();
    }
}

TEST_F(HistoryTest, UndoRestoresTheSearchMarksAndTheListFlags)
{
    catalogue.sortByColumn(2);
    catalogue.showSearchResult(catalogue.search(textops::SearchSong, "title", textops::SearchMode::Plain));
    const State shown = stateOf(catalogue);
    ASSERT_TRUE(shown.searchResultShown);
    ASSERT_FALSE(shown.entries.empty());
    ASSERT_EQ(shown.entries.front().searchSong, 1);
    catalogue.replace(3, "title", "name");
    // The window clears the marks after a change.
    catalogue.clearSearchMarks();
    catalogue.undo();
    EXPECT_EQ(stateOf(catalogue), shown);
    expectMirrored();
}

TEST_F(HistoryTest, StepsAreNamedWithTheirCounts)
{
    catalogue.replace(2, "title", "name");
    EXPECT_EQ(catalogue.undoName(), "置換 (6か所)");
    catalogue.deleteAlbums({1, 2});
    EXPECT_EQ(catalogue.undoName(), "削除 (2件)");
    catalogue.nameNextStep("画像登録");
    catalogue.setAlbumCell(1, store::ImagePathColumn, "cover.jpg");
    EXPECT_EQ(catalogue.undoName(), "画像登録");
    catalogue.changeAlbum(1, record("X", "Y"));
    EXPECT_EQ(catalogue.undoName(), "変更");
    catalogue.undo();
    EXPECT_EQ(catalogue.redoName(), "変更");
    EXPECT_EQ(catalogue.undoName(), "画像登録");
    EXPECT_EQ(groupedCount(1234), "1,234");
    EXPECT_EQ(groupedCount(100000), "100,000");
    EXPECT_EQ(groupedCount(999), "999");
}

TEST_F(HistoryTest, RefusedCommandsAndListStateLeaveNoStep)
{
    catalogue.changeAlbum(99, record("X", "Y"));
    catalogue.replace(1, "", "x");
    catalogue.replace(1, "absent", "x");
    catalogue.deleteAlbums({0, 42});
    catalogue.sortByColumn(1);
    catalogue.showOnlyRows({0, 1});
    catalogue.renumberInListOrder();
    EXPECT_FALSE(catalogue.canUndo());
}

TEST_F(HistoryTest, SelectionGoesBackWithTheStep)
{
    std::vector<int> selected = {2, 4};
    catalogue.setSelectionSource([&] { return selected; });
    catalogue.deleteAlbums({2, 4});
    selected = {1};
    EXPECT_EQ(catalogue.undo().selection, (std::vector<int>{2, 4}));
    catalogue.changeAlbum(3, record("X", "Y"));
    catalogue.undo();
    EXPECT_EQ(catalogue.redo().selection, (std::vector<int>{3}));
}

TEST_F(HistoryTest, SaveKeepsTheHistoryAndLoadAndRevertClearIt)
{
    catalogue.changeAlbum(1, record("X", "Y"));
    ASSERT_EQ(catalogue.save().status, SaveStatus::Saved);
    EXPECT_FALSE(catalogue.isModified());
    ASSERT_TRUE(catalogue.canUndo());
    catalogue.undo();
    EXPECT_TRUE(catalogue.isModified());
    catalogue.redo();
    catalogue.revert();
    EXPECT_FALSE(catalogue.canUndo());
    EXPECT_FALSE(catalogue.canRedo());
    catalogue.changeAlbum(1, record("X", "Z"));
    catalogue.load();
    EXPECT_FALSE(catalogue.canUndo());
}

TEST_F(HistoryTest, ANewStepDropsTheRedoSteps)
{
    catalogue.changeAlbum(1, record("X", "Y"));
    catalogue.undo();
    ASSERT_TRUE(catalogue.canRedo());
    catalogue.changeAlbum(2, record("X", "Z"));
    EXPECT_FALSE(catalogue.canRedo());
}

TEST_F(HistoryTest, OldestStepsGoFirstWhenTheBoundsAreReached)
{
    catalogue.setHistoryLimits(3, std::size_t{1} << 30);
    for (int i = 0; i < 5; ++i) {
        catalogue.setAlbumCell(1, store::AlbumColumn, "title v" + std::to_string(i));
    }
    int undone = 0;
    while (catalogue.undo().done) {
        ++undone;
    }
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(catalogue.albums().cell(store::AlbumColumn, 1), "title v1");

    // A byte bound below one step's size keeps nothing.
    catalogue.setHistoryLimits(100, 64);
    catalogue.changeAlbum(1, record("X", "Y"));
    EXPECT_FALSE(catalogue.canUndo());
    EXPECT_EQ(catalogue.historyBytes(), 0u);
}

TEST_F(HistoryTest, AOneAlbumStepCostsLittleBeyondTheAlbumsBytes)
{
    catalogue.load();
    // Many albums, shown sorted: the list is not copied into the step.
    std::vector<AlbumRecord> records(5000, record("Many", "albums"));
    catalogue.appendAlbums(records);
    catalogue.sortByColumn(2);
    const std::size_t base = catalogue.historyBytes();
    const std::size_t line = catalogue.albums().rowLine(3).size();
    catalogue.changeAlbum(3, record("X", "Y"));
    EXPECT_LT(catalogue.historyBytes() - base, line + 2048);
    const std::size_t afterChange = catalogue.historyBytes();
    catalogue.addAlbum(0, record("X", "Y"));
    EXPECT_LT(catalogue.historyBytes() - afterChange, 2048u);
}

// Random commands from a loaded file, undone to the start, give the file's
// bytes; redone to the end, the bytes the commands gave.
TEST_F(HistoryTest, RandomCommandsUndoneGiveTheLoadedFileBack)
{
    const std::string loaded = readBytes(dir.path() / "VLM.dat");
    std::mt19937 random(20261209);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const char* const words[] = {"title", "Alpha", "Beta", "1", "x", "TITLE"};
    int steps = 0;
    for (int i = 0; i < 1000; ++i) {
        const int count = catalogue.albumCount();
        const int rows = static_cast<int>(catalogue.entries().size());
        const bool before = catalogue.canUndo();
        const std::size_t depth = before ? 1 : 0;
        (void)depth;
        switch (pick(0, 11)) {
            case 0:
                catalogue.insertAlbumAfter(pick(-1, rows));
                break;
            case 1:
                if (count > 0) {
                    catalogue.changeAlbum(pick(1, count), record(words[pick(0, 5)], words[pick(0, 5)]));
                }
                break;
            case 2:
                catalogue.addAlbum(pick(-1, rows), record(words[pick(0, 5)], "added"));
                break;
            case 3:
                catalogue.duplicateAlbum(pick(0, rows));
                break;
            case 4:
                if (count > 3) {
                    catalogue.deleteAlbums({pick(1, count), pick(1, count)});
                }
                break;
            case 5:
                catalogue.replace(pick(0, 2), words[pick(0, 5)], words[pick(0, 5)]);
                break;
            case 6:
                catalogue.convert(pick(0, 2), pick(0, 4));
                break;
            case 7:
                catalogue.showAll();
                catalogue.sortByColumn(pick(0, 6));
                catalogue.renumberInListOrder();
                break;
            case 8:
                if (catalogue.allAlbumsShown()) {
                    catalogue.moveListRows({pick(0, rows), pick(0, rows)}, pick(0, rows));
                }
                break;
            case 9:
                catalogue.appendAlbums({record(words[pick(0, 5)], "appended")});
                break;
            case 10:
                catalogue.setAlbumCell(pick(1, std::max(count, 1)), store::songTitleColumn(pick(1, 99)),
                                       words[pick(0, 5)]);
                break;
            default:
                if (pick(0, 1) == 0) {
                    catalogue.showSearchResult(catalogue.search(0, words[pick(0, 5)]));
                } else {
                    catalogue.showAll();
                }
                break;
        }
        expectMirrored();
        ++steps;
    }
    catalogue.showAll();
    const State done = stateOf(catalogue);
    ASSERT_EQ(catalogue.save().status, SaveStatus::Saved);
    const std::string saved = readBytes(dir.path() / "VLM.dat");

    int undone = 0;
    while (catalogue.undo().done) {
        ++undone;
        if (undone % 97 == 0) {
            expectMirrored();
        }
    }
    EXPECT_GT(undone, 500);
    expectMirrored();
    ASSERT_EQ(catalogue.save().status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir.path() / "VLM.dat"), loaded);

    int redone = 0;
    while (catalogue.redo().done) {
        ++redone;
    }
    EXPECT_EQ(redone, undone);
    expectMirrored();
    EXPECT_EQ(stateOf(catalogue).table, done.table);
    ASSERT_EQ(catalogue.save().status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir.path() / "VLM.dat"), saved);
}

}  // namespace
}  // namespace velmora::catalogue
