#include "core/store/album_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/store/album_record.h"
#include "core/store/columns.h"

namespace velmora::store {
namespace {

TEST(AlbumTable, TheLastCellsFoundFromTheEndAreTheCellsOneByOne)
{
    AlbumTable table;
    table.setRowCount(6);
    // A "<" after a lead byte is half of a character, not a separator.
    table.setCell(1, 1, "\x83\x41\x81<>inside");
    for (int column = 0; column < kColumnCount; column += 7) {
        table.setCell(column, 1, "c" + std::to_string(column) + "\x83\x81");  // ends with a lead-range byte
    }
    table.setCell(kColumnCount - 1, 1, "last\x81");
    table.setCell(FuriganaColumn, 2, "reading");
    table.setCell(mediaColumn(3), 3, "/music/\x81<>/a.mp3");  // "<>" after half a character
    table.setCell(mediaColumn(50), 4, "\x82\xA0");            // the empty cells after it end the row
    table.setCell(mediaColumn(kSongSlots), 5, "<");
    table.setCell(mediaColumn(kSongSlots - 1), 5, ">");
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int first : {0, 1, FuriganaColumn, mediaColumn(1), mediaColumn(50), kColumnCount - 1}) {
            std::vector<std::string_view> out(static_cast<std::size_t>(kColumnCount - first));
            table.trailingCells(row, first, out);
            for (int column = first; column < kColumnCount; ++column) {
                ASSERT_EQ(out[static_cast<std::size_t>(column - first)], table.cell(column, row))
                    << "row " << row << " from " << first << " column " << column;
            }
        }
    }
    std::vector<std::string_view> out(kColumnCount);
    EXPECT_THROW(table.trailingCells(6, 0, out), std::out_of_range);
    EXPECT_THROW(table.trailingCells(1, 1, std::span(out).first(10)), std::out_of_range);
}

TEST(AlbumTable, RowCountRules)
{
    AlbumTable table;
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.albumCount(), 0);
    table.setRowCount(0);
    EXPECT_EQ(table.rowCount(), 1);
    table.setRowCount(-5);
    EXPECT_EQ(table.rowCount(), 1);
    table.setRowCount(5);
    EXPECT_EQ(table.rowCount(), 5);
    table.setCell(ArtistColumn, 4, "last");
    table.setRowCount(6);
    EXPECT_EQ(table.cell(ArtistColumn, 4), "last");
    EXPECT_EQ(table.cell(ArtistColumn, 5), "");
    table.setRowCount(4);
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_THROW(table.cell(0, 4), std::out_of_range);
    EXPECT_THROW(table.setCell(0, 4, "x"), std::out_of_range);
    EXPECT_THROW(table.cell(305, 1), std::out_of_range);
}

TEST(AlbumTable, CellsReadBackInEveryColumn)
{
    AlbumTable table;
    table.setRowCount(2);
    for (int c = 0; c < kColumnCount; ++c) {
        table.setCell(c, 1, "v" + std::to_string(c));
    }
    AlbumTable::RowCells cells = table.rowCells(1);
    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_EQ(table.cell(c, 1), "v" + std::to_string(c));
        EXPECT_EQ(cells[static_cast<std::size_t>(c)], "v" + std::to_string(c));
    }
    // Rewriting one cell leaves its neighbours alone, also with empty text.
    table.setCell(150, 1, "");
    EXPECT_EQ(table.cell(149, 1), "v149");
    EXPECT_EQ(table.cell(150, 1), "");
    EXPECT_EQ(table.cell(151, 1), "v151");
    EXPECT_EQ(table.cell(0, 0), "");
}

TEST(AlbumTable, RefusesTextTheFileCannotCarry)
{
    AlbumTable table;
    table.setRowCount(2);
    EXPECT_EQ(checkCell(0, "a<>b"), CellProblem::Separator);
    EXPECT_EQ(checkCell(0, "a\r\nb"), CellProblem::LineBreak);
    EXPECT_EQ(checkCell(0, "a\nb"), CellProblem::LineBreak);
    EXPECT_EQ(checkCell(0, "ab\x83"), CellProblem::LoneLeadByte);
    // The last column may end with half a character: a line end follows it.
    EXPECT_EQ(checkCell(304, "ab\x83"), CellProblem::None);
    // "<" as the second byte of a character does not make a separator.
    EXPECT_EQ(checkCell(0, "\x83<>"), CellProblem::None);
    EXPECT_EQ(checkCell(0, "<<>"), CellProblem::Separator);
    EXPECT_EQ(checkCell(0, "a<"), CellProblem::None);
    EXPECT_EQ(checkCell(0, ">b"), CellProblem::None);
    EXPECT_THROW(table.setCell(0, 1, "a<>b"), std::invalid_argument);
    EXPECT_EQ(table.cell(0, 1), "");

    // Texts next to the separator that look like parts of it stay apart.
    table.setCell(0, 1, "a<");
    table.setCell(1, 1, ">b");
    table.setCell(2, 1, "\x83<>");
    EXPECT_EQ(table.cell(0, 1), "a<");
    EXPECT_EQ(table.cell(1, 1), ">b");
    EXPECT_EQ(table.cell(2, 1), "\x83<>");
    EXPECT_EQ(table.cell(3, 1), "");
}

TEST(AlbumTable, RecordsAndFuriganaDefault)
{
    AlbumTable table;
    table.setRowCount(5);
    AlbumRecord record;
    record[ArtistColumn] = "\x8e\x52\x93\x63";  // 山田
    record[songTitleColumn(99)] = "last title";
    record[songArtistColumn(99)] = "last artist";
    record[mediaColumn(99)] = "CD123";
    record.applyFuriganaDefault();
    EXPECT_EQ(record[FuriganaColumn], record[ArtistColumn]);
    table.setRecord(3, record);
    EXPECT_EQ(table.record(3), record);
    EXPECT_EQ(table.cell(104, 3), "last title");
    EXPECT_EQ(table.cell(204, 3), "last artist");
    EXPECT_EQ(table.cell(304, 3), "CD123");

    AlbumRecord empty;
    empty.applyFuriganaDefault();
    EXPECT_EQ(empty[FuriganaColumn], "");
    AlbumRecord withReading;
    withReading[ArtistColumn] = "x";
    withReading[FuriganaColumn] = "reading";
    withReading.applyFuriganaDefault();
    EXPECT_EQ(withReading[FuriganaColumn], "reading");

    AlbumRecord bad;
    bad[Category3Column] = "line\r\nbreak";
    EXPECT_THROW(table.setRecord(1, bad), std::invalid_argument);
}

TEST(AlbumTable, InsertRemoveAndReorder)
{
    AlbumTable table;
    table.setRowCount(5);
    for (int r = 1; r < 5; ++r) {
        table.setCell(ArtistColumn, r, "a" + std::to_string(r));
    }
    // Appending after the last row gives the highest number.
    table.insertRow(table.rowCount());
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_EQ(table.cell(ArtistColumn, 5), "");
    table.insertRow(2);
    EXPECT_EQ(table.cell(ArtistColumn, 3), "a2");
    EXPECT_THROW(table.insertRow(0), std::out_of_range);

    table.removeRows({2, 6, 2});
    ASSERT_EQ(table.rowCount(), 5);
    EXPECT_EQ(table.cell(ArtistColumn, 1), "a1");
    EXPECT_EQ(table.cell(ArtistColumn, 2), "a2");
    EXPECT_EQ(table.cell(ArtistColumn, 4), "a4");

    table.reorderAlbums({3, 1, 4, 2});
    EXPECT_EQ(table.cell(ArtistColumn, 1), "a3");
    EXPECT_EQ(table.cell(ArtistColumn, 2), "a1");
    EXPECT_EQ(table.cell(ArtistColumn, 3), "a4");
    EXPECT_EQ(table.cell(ArtistColumn, 4), "a2");

    // An album listed twice becomes two independent rows.
    table.reorderAlbums({1, 1});
    ASSERT_EQ(table.rowCount(), 3);
    table.setCell(ArtistColumn, 2, "changed");
    EXPECT_EQ(table.cell(ArtistColumn, 1), "a3");
}

TEST(AlbumTable, CountingSeparatorsAgreesWithFindingThem)
{
    // Separators after lead-range bytes, in long runs and at block edges of
    // the sixteen-byte scan: counting from any cell start agrees with
    // walking field by field.
    std::string line;
    for (int i = 0; i < 40; ++i) {
        line += std::string(static_cast<std::size_t>(i % 19), 'x');
        line += i % 3 == 0 ? "\x83\x81" : i % 3 == 1 ? "\x81" : "";  // ャ (second byte 81), or half of one
        line += "<>";
    }
    line += "<><><><><><><><><><><><><><><><><><>end";
    std::vector<std::size_t> separators;
    for (std::size_t at = fieldEnd(line, 0); at < line.size(); at = fieldEnd(line, at + 2)) {
        separators.push_back(at);
    }
    for (std::size_t from = 0; from <= line.size(); from = fieldEnd(line, from) + 2) {
        for (std::size_t to = from; to <= line.size(); ++to) {
            std::size_t expected = 0;
            std::size_t expectedLast = 0;
            for (std::size_t at : separators) {
                if (at >= from && at + 2 <= to) {
                    ++expected;
                    expectedLast = at;
                }
            }
            std::size_t last = 0;
            ASSERT_EQ(countSeparators(line, from, to, &last), expected) << from << ".." << to;
            if (expected > 0) {
                ASSERT_EQ(last, expectedLast);
            }
        }
        if (from >= line.size()) {
            break;
        }
    }
    // "\x81<" is one character: no separator starts at its "<".
    EXPECT_EQ(countSeparators("a\x81<>b<>", 0, 8, nullptr), 1u);
}

TEST(AlbumTable, AppendingLinesKeepsTheRowsBefore)
{
    AlbumTable table;
    table.setRowCount(2);
    table.setCell(ArtistColumn, 1, "kept");
    const std::string_view before = table.rowLine(1);
    auto more = std::make_shared<std::vector<std::string>>(
        std::vector<std::string>{"a<>b", "short\x81", std::string()});
    table.appendLines(more, std::vector<std::string_view>(more->begin(), more->end()));
    ASSERT_EQ(table.rowCount(), 5);
    EXPECT_EQ(table.rowLine(1).data(), before.data()) << "not copied again";
    EXPECT_EQ(table.cell(ArtistColumn, 2), "a");
    EXPECT_EQ(table.cell(1, 2), "b");
    EXPECT_EQ(table.cell(FuriganaColumn, 2), "") << "no reading is filled in";
    EXPECT_EQ(table.cell(ArtistColumn, 3), "short") << "half a character is dropped";
    EXPECT_EQ(table.cell(ArtistColumn, 4), "");
}

TEST(AlbumRecord, MemoSplitAndJoin)
{
    struct Case {
        std::string cell;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a{}{}b", {"a", "", "b"}},
        {"a{}", {"a"}},
        {"{}a", {"", "a"}},
        {"{}", {""}},
        // 0x81 0x7B is one character ("＋"): its second byte is not a marker.
        {"\x81{}x", {"\x81{}x"}},
        {"\x81{{}x", {"\x81{", "x"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitMemo(c.cell), c.lines) << c.cell;
    }
    EXPECT_EQ(joinMemo({"a", "", "b"}), "a{}{}b");
    EXPECT_EQ(joinMemo({}), "");
    EXPECT_EQ(joinMemo({"only"}), "only");
}

TEST(AlbumRecord, MediaKinds)
{
    EXPECT_EQ(mediaKind(""), MediaKind::None);
    EXPECT_EQ(mediaKind("CD"), MediaKind::CdTrack);
    EXPECT_EQ(mediaKind("CD1049984"), MediaKind::CdTrack);
    EXPECT_EQ(mediaKind("cd1049984"), MediaKind::File);
    EXPECT_EQ(mediaKind("Cd.mp3"), MediaKind::File);
    EXPECT_EQ(mediaKind("/music/a.mp3"), MediaKind::File);

    AlbumRecord album;
    auto kind = [&] {
        return albumMediaKind([&](int slot) { return std::string_view(album[mediaColumn(slot)]); });
    };
    EXPECT_EQ(kind(), MediaKind::None);
    album[mediaColumn(2)] = "CD100";
    EXPECT_EQ(kind(), MediaKind::CdTrack);
    // The last media cell in song order decides.
    album[mediaColumn(1)] = "/music/a.mp3";
    EXPECT_EQ(kind(), MediaKind::CdTrack);
    album[mediaColumn(3)] = "/music/c.mp3";
    EXPECT_EQ(kind(), MediaKind::File);
}

TEST(AlbumRecord, SongCountIsTheHighestUsedSlot)
{
    AlbumRecord album;
    auto count = [&] { return usedSongCount([&](int column) { return std::string_view(album[column]); }); };
    EXPECT_EQ(count(), 0);
    album[songTitleColumn(1)] = "one";
    album[songTitleColumn(2)] = "two";
    album[songArtistColumn(7)] = "seventh artist";
    EXPECT_EQ(count(), 7);
    album[mediaColumn(99)] = "/m.mp3";
    EXPECT_EQ(count(), 99);
}

}  // namespace
}  // namespace velmora::store
