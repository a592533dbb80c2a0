#include "core/store/data_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <map>
#include <random>

#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "core/store/string_grid_io.h"
#include "core/text/cp932.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velmora::store {
namespace {

using test::dataLine;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

// The load written literally: every line into column 0, then 306 passes
// that move the text after the first "<>" of each cell into the next one.
std::vector<std::vector<std::string>> literalSplit(std::string_view file)
{
    std::vector<std::string_view> lines = splitLines(file);
    std::vector<std::map<int, std::string>> grid(std::max<std::size_t>(lines.size(), 1));
    for (std::size_t r = 0; r < lines.size(); ++r) {
        grid[r][0] = std::string(lines[r]);
    }
    for (int c = 0; c <= kColumnCount; ++c) {
        for (auto& row : grid) {
            std::string& cell = row[c];
            std::size_t at = text::findOnBoundary(cell, "<>");
            if (!cell.empty() && at != std::string::npos) {
                row[c + 1] = cell.substr(at + 2);
                cell.resize(at);
            }
        }
    }
    std::vector<std::vector<std::string>> result;
    for (auto& row : grid) {
        std::vector<std::string> cells;
        for (int c = 0; c < kColumnCount; ++c) {
            cells.push_back(row[c]);
        }
        result.push_back(cells);
    }
    return result;
}

std::vector<std::vector<std::string>> tableCells(const AlbumTable& table)
{
    std::vector<std::vector<std::string>> result;
    for (int r = 0; r < table.rowCount(); ++r) {
        std::vector<std::string> cells;
        for (int c = 0; c < kColumnCount; ++c) {
            cells.emplace_back(table.cell(c, r));
        }
        result.push_back(cells);
    }
    return result;
}

AlbumTable loadBytes(const TempDir& dir, std::string_view bytes, LoadStatus expected = LoadStatus::Loaded)
{
    writeBytes(dir / kDataFileName, bytes);
    AlbumTable table;
    EXPECT_EQ(loadDataFile(dir / kDataFileName, table).status, expected);
    return table;
}

std::string save(const TempDir& dir, const AlbumTable& table)
{
    ListFileIO writer;
    writer.TargetGrid = &table;
    FileError error;
    EXPECT_TRUE(writer.Write(dir / kDataFileName, "<>", false, &error)) << error.reason;
    return readBytes(dir / kDataFileName);
}

TEST(DataFile, TheIdentityOfAFileIsItsSizeTimeAndContents)
{
    // Pieces hash as the whole, wherever they are cut.
    const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz<>\r\n";
    for (std::size_t first = 0; first <= text.size(); ++first) {
        for (std::size_t second = first; second <= text.size(); second += 3) {
            ContentHasher hasher;
            hasher.add(std::string_view(text).substr(0, first));
            hasher.add(std::string_view(text).substr(first, second - first));
            hasher.add(std::string_view(text).substr(second));
            ASSERT_EQ(hasher.finish(), contentHash(text)) << first << " " << second;
        }
    }
    EXPECT_NE(contentHash("abcdefgh1"), contentHash("abcdefgh2"));
    EXPECT_NE(contentHash(std::string(8, '\0')), contentHash(std::string(9, '\0')));
    EXPECT_NE(contentHash(""), contentHash(std::string(1, '\0')));

    // A file of many chunks hashes the same in pieces, at once and on
    // several cores; a byte changed or two chunks swapped change the hash.
    std::string large(9 * kHashChunk + 12345, '\0');
    std::uint64_t state = 88172645463325252ULL;
    for (char& c : large) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        c = static_cast<char>(state);
    }
    const std::uint64_t whole = contentHash(large);
    ContentHasher pieces;
    for (std::size_t at = 0; at < large.size(); at += 777777) {
        pieces.add(std::string_view(large).substr(at, 777777));
    }
    EXPECT_EQ(pieces.finish(), whole);
    for (unsigned cores : {2U, 3U, 16U}) {
        EXPECT_EQ(contentHashOnCores(large, cores), whole) << cores;
    }
    std::string changed = large;
    changed[8 * kHashChunk + 5] ^= 1;
    EXPECT_NE(contentHashOnCores(changed, 2), whole);
    std::string swapped = large;
    std::swap_ranges(swapped.begin(), swapped.begin() + kHashChunk, swapped.begin() + kHashChunk);
    EXPECT_NE(contentHash(swapped), whole);

    TempDir dir;
    AlbumTable table;
    EXPECT_FALSE(loadDataFile(dir / kDataFileName, table).identity.exists);
    writeBytes(dir / kDataFileName, text);
    for (LoadBuffer kind : {LoadBuffer::Copied, LoadBuffer::Mapped}) {
        const FileIdentity loaded = loadDataFile(dir / kDataFileName, table, {}, kind).identity;
        EXPECT_TRUE(loaded.exists);
        EXPECT_EQ(loaded.size, text.size());
        EXPECT_EQ(loaded.contentHash, contentHash(text));
        EXPECT_EQ(loaded.modifiedNanoseconds, fileStamp(dir / kDataFileName).modifiedNanoseconds);
        EXPECT_EQ(readFileIdentity(dir / kDataFileName), loaded);
    }
}

TEST(DataFile, SplitLinesOnEveryLineEnd)
{
    using V = std::vector<std::string_view>;
    EXPECT_EQ(splitLines(""), V{});
    EXPECT_EQ(splitLines("a"), V{"a"});
    EXPECT_EQ(splitLines("a\r\n"), V{"a"});
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(splitLines("\r\n\r\n"), (V{"", ""}));
    EXPECT_EQ(splitLines("a\r\r\n"), (V{"a", ""}));
    // A lead byte before a line end does not hide it.
    EXPECT_EQ(splitLines("\x83\r\nx"), (V{"\x83", "x"}));
}

TEST(DataFile, LoadEqualsTheColumnByColumnSplit)
{
    TempDir dir;
    std::mt19937 random(20261208);
    const std::vector<std::string> pieces = {"a",        "<",    ">",        "<>",   "{}",
                                             "\x83<",    "\x83", "\x82\xa0", "\xfd", "\x00",
                                             "\x81\x7b", " ",    "<><>",     "CD12", "\x88\x9f"};
    for (int round = 0; round < 40; ++round) {
        std::string file;
        int lines = static_cast<int>(random() % 6);
        for (int l = 0; l < lines; ++l) {
            int fields = static_cast<int>(random() % 420);
            for (int f = 0; f < fields; ++f) {
                int parts = static_cast<int>(random() % 3);
                for (int p = 0; p < parts; ++p) {
                    file += pieces[random() % pieces.size()];
                }
                if (f + 1 < fields) {
                    file += "<>";
                }
            }
            const char* ends[] = {"\r\n", "\n", "\r"};
            file += ends[random() % 3];
        }
        AlbumTable table = loadBytes(dir, file);
        std::vector<std::vector<std::string>> expected = literalSplit(file);
        // The reading defaults to the artist after the split.
        for (std::size_t r = 1; r < expected.size(); ++r) {
            if (expected[r][FuriganaColumn].empty()) {
                expected[r][FuriganaColumn] = expected[r][ArtistColumn];
            }
        }
        // A short line whose last field ends in half a character cannot be
        // stored as it is; such lines are left out of this comparison.
        std::vector<std::string_view> raw = splitLines(file);
        auto actual = tableCells(table);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t r = 0; r < raw.size(); ++r) {
            if (text::endsWithLoneLeadByte(raw[r])) {
                continue;
            }
            EXPECT_EQ(actual[r], expected[r]) << "round " << round << " row " << r;
        }
    }
}

TEST(DataFile, EmptyFilesAndEmptyCatalogues)
{
    TempDir dir;
    AlbumTable table = loadBytes(dir, "");
    EXPECT_EQ(table.rowCount(), 1);
    // A catalogue with no albums is written as one line of 304 separators.
    const std::string emptyCatalogue = dataLine({}) + "\r\n";
    EXPECT_EQ(save(dir, table), emptyCatalogue);
    EXPECT_EQ(emptyCatalogue.size(), 304u * 2 + 2);
    table = loadBytes(dir, emptyCatalogue);
    EXPECT_EQ(table.rowCount(), 1);
    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_EQ(table.cell(c, 0), "");
    }
}

TEST(DataFile, LongAndShortLines)
{
    TempDir dir;
    std::string line400;
    for (int f = 0; f < 400; ++f) {
        line400 += (f ? "<>f" : "f") + std::to_string(f);
    }
    AlbumTable table = loadBytes(dir, dataLine({}) + "\r\n" + line400 + "\r\nshort<>x\r\n");
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.cell(0, 1), "f0");
    EXPECT_EQ(table.cell(304, 1), "f304");
    EXPECT_EQ(table.cell(0, 2), "short");
    EXPECT_EQ(table.cell(1, 2), "x");
    EXPECT_EQ(table.cell(2, 2), "");
    EXPECT_EQ(table.cell(FuriganaColumn, 2), "short");
    std::string saved = save(dir, table);
    std::vector<std::string_view> lines = splitLines(saved);
    ASSERT_EQ(lines.size(), 3u);
    for (std::string_view line : lines) {
        std::size_t separators = 0;
        for (std::size_t at = 0; (at = text::findOnBoundary(line, "<>", at)) != std::string_view::npos;
             at += 2) {
            ++separators;
        }
        EXPECT_EQ(separators, 304u);
    }
    EXPECT_TRUE(lines[1].ends_with("<>f304"));
}

TEST(DataFile, EveryByteSurvivesLoadAndSave)
{
    TempDir dir;
    std::string file = dataLine({"reserved row album", "", "kept"}) + "\r\n";
    // Invalid Shift-JIS, NEC/IBM duplicates, control characters and a NUL.
    std::string odd = std::string("\x87\x90\xed\x40\xfa\x40\x80\xa0\xfd\xfe\xff\x85\x40\x01\x1f\x7f", 16);
    odd += std::string(1, '\0') + "\x83\x5c\x81\x7b\x81\x7d";
    file += test::dataLineWith({{0, odd}, {2, "\x89\xb9\x8a\x79"}, {5, "a{}{}b"}, {205, "\xfe"}}) + "\r\n";
    std::string last = test::dataLineWith({{0, "x"}, {205, "x"}});
    last += "\x83";  // half a character at the very end of the last cell
    file += last + "\r\n";
    AlbumTable table = loadBytes(dir, file);
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.cell(0, 0), "reserved row album");
    EXPECT_EQ(table.cell(0, 1), odd);
    EXPECT_EQ(save(dir, table), file);
}

TEST(DataFile, LineEndsBecomeCrLf)
{
    TempDir dir;
    std::string a = dataLine({"a", "", "", "", "", "", "", "", "", ""});
    std::string b = dataLine({"b"});
    AlbumTable table = loadBytes(dir, a + "\r" + a + "\n" + b);
    EXPECT_EQ(table.rowCount(), 3);
    // Rows 1 and 2 had empty readings: they now carry the artist, which
    // starts the line and is one byte long here.
    auto withReading = [](std::string line) {
        return line.insert(1 + 2 * FuriganaColumn, line.substr(0, 1));
    };
    EXPECT_EQ(save(dir, table), a + "\r\n" + withReading(a) + "\r\n" + withReading(b) + "\r\n");
}

TEST(DataFile, MissingAndUnreadableFilesLeaveTheTableAlone)
{
    TempDir dir;
    AlbumTable table;
    table.setRowCount(3);
    table.setCell(0, 2, "kept");
    EXPECT_EQ(loadDataFile(dir / kDataFileName, table).status, LoadStatus::Missing);
    EXPECT_EQ(table.rowCount(), 3);

    std::filesystem::create_directory(dir / kDataFileName);
    LoadResult result = loadDataFile(dir / kDataFileName, table);
    EXPECT_EQ(result.status, LoadStatus::Unreadable);
    EXPECT_EQ(result.error.path, (dir / kDataFileName).string());
    EXPECT_FALSE(result.error.reason.empty());
    EXPECT_EQ(table.cell(0, 2), "kept");
}

TEST(DataFile, FifosAndDevicesAreRefusedWithoutWaiting)
{
    // Opening a FIFO for reading waits for a writer; the load must say at
    // once that it is no regular file instead.
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / kDataFileName).c_str(), 0600), 0);
    for (LoadBuffer kind : {LoadBuffer::Copied, LoadBuffer::Mapped}) {
        AlbumTable table;
        table.setRowCount(2);
        table.setCell(0, 1, "kept");
        LoadResult result = loadDataFile(dir / kDataFileName, table, {}, kind);
        EXPECT_EQ(result.status, LoadStatus::Unreadable);
        EXPECT_EQ(result.error.reason, kNotRegularFile);
        EXPECT_EQ(readFailureMessage(result.error), "ファイルを読み込めませんでした。\r\n" +
                                                        (dir / kDataFileName).string() +
                                                        "\r\n通常のファイルではありません。");
        EXPECT_EQ(table.cell(0, 1), "kept");
    }
    FileBytes bytes;
    FileError error;
    EXPECT_FALSE(readWholeFile(dir / kDataFileName, bytes, &error));
    EXPECT_EQ(error.reason, kNotRegularFile);
    EXPECT_FALSE(readWholeFile("/dev/null", bytes, &error)) << "a device is no catalogue either";
    EXPECT_EQ(error.reason, kNotRegularFile);
    // A link to a regular file is fine.
    writeBytes(dir / "real.dat", dataLine({}) + "\r\n" + dataLine({"a"}) + "\r\n");
    std::filesystem::create_symlink(dir / "real.dat", dir / "link.dat");
    AlbumTable linked;
    EXPECT_EQ(loadDataFile(dir / "link.dat", linked).status, LoadStatus::Loaded);
    EXPECT_EQ(linked.albumCount(), 1);
}

TEST(DataFile, LinksThatLeadNowhereAreUnreadable)
{
    // A link to nothing or a loop of links is no missing catalogue: loading
    // it as empty would hide the albums until a save fails.
    TempDir dir;
    std::filesystem::create_symlink(dir / "gone.dat", dir / "dangling.dat");
    std::filesystem::create_symlink(dir / "loop-b.dat", dir / "loop-a.dat");
    std::filesystem::create_symlink(dir / "loop-a.dat", dir / "loop-b.dat");
    const std::pair<const char*, const char*> cases[] = {
        {"dangling.dat", "リンク先のファイルが見つかりません。"},
        {"loop-a.dat", "リンクが循環しています。"},
    };
    for (LoadBuffer kind : {LoadBuffer::Copied, LoadBuffer::Mapped}) {
        for (const auto& [name, reason] : cases) {
            AlbumTable table;
            table.setRowCount(2);
            table.setCell(0, 1, "kept");
            const LoadResult result = loadDataFile(dir / name, table, {}, kind);
            EXPECT_EQ(result.status, LoadStatus::Unreadable) << name;
            EXPECT_EQ(result.error.path, (dir / name).string());
            EXPECT_EQ(result.error.reason, reason) << name;
            EXPECT_EQ(table.cell(0, 1), "kept");
        }
    }
}

// Loads `file` in a child process whose address space is limited to what it
// uses now plus `headroom` bytes: "reported" when the load reported the
// shortage of memory and left the table as it was, "loaded", another
// report, "threw" (a program would abort) or the signal that ended it.
std::string loadUnderMemoryLimit(const std::filesystem::path& file, LoadBuffer kind, std::size_t headroom)
{
    const test::ChildAnswer answer = test::answerFromChild([&]() -> std::string {
        if (!test::limitAddressSpace(headroom)) {
            return "no limit";
        }
        AlbumTable table;
        table.setRowCount(2);
        table.setCell(0, 1, "kept");
        const LoadResult result = loadDataFile(file, table, {}, kind);
        if (result.status == LoadStatus::Loaded) {
            return "loaded";
        }
        const bool reported = result.status == LoadStatus::Unreadable &&
                              result.error.reason == "メモリが不足しています。" && table.cell(0, 1) == "kept";
        return reported ? "reported" : "other report: " + result.error.reason;
    });
    return answer.exited ? answer.text : "signal " + std::to_string(answer.signal);
}

TEST(DataFile, AFileTooLargeForMemoryIsReportedNotAborted)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
    // Sparse files: no disk and, until read, no memory. A catalogue line
    // without a line end, and a file of NUL bytes, each larger than what the
    // limit leaves to the program after the file itself.
    TempDir dir;
    constexpr std::size_t kSize = 96 << 20;
    const std::filesystem::path nul = dir / "nul.dat";
    const std::filesystem::path line = dir / "line.dat";
    writeBytes(nul, "");
    std::filesystem::resize_file(nul, kSize);
    writeBytes(line, std::string(1000, 'x'));
    std::filesystem::resize_file(line, kSize);
    for (LoadBuffer kind : {LoadBuffer::Copied, LoadBuffer::Mapped}) {
        for (const std::filesystem::path& file : {nul, line}) {
            // Room for the file once, not for the copy a load makes of an
            // overlong line.
            EXPECT_EQ(loadUnderMemoryLimit(file, kind, kSize + (24 << 20)), "reported") << file;
            // No room even for the file.
            EXPECT_EQ(loadUnderMemoryLimit(file, kind, 32 << 20), "reported") << file;
        }
    }
}

TEST(DataFile, MappedLoadGivesTheSameTable)
{
    TempDir dir;
    std::string file = dataLine({}) + "\r\n" + dataLine({"a", "", "t"}) + "\r\n" + "short<>line\x81\r\n" +
                       dataLine({"x\x81<>y"}) + "\n\r\n";
    for (const std::string& bytes : {file, std::string()}) {
        writeBytes(dir / kDataFileName, bytes);
        AlbumTable copied;
        AlbumTable mapped;
        ASSERT_EQ(loadDataFile(dir / kDataFileName, copied).status, LoadStatus::Loaded);
        ASSERT_EQ(loadDataFile(dir / kDataFileName, mapped, {}, LoadBuffer::Mapped).status,
                  LoadStatus::Loaded);
        EXPECT_EQ(tableCells(mapped), tableCells(copied));
        // Saving over the mapped file (a rename) leaves the loaded rows alone.
        const std::string before = save(dir, mapped);
        EXPECT_EQ(save(dir, mapped), before);
    }
}

TEST(DataFile, LargeFilesReadInTwoHalvesGiveTheSameRows)
{
    // Over 16 MiB a load without progress display splits the work at a line
    // start in the middle; the rows must be those of the line-by-line split.
    std::string text = dataLine({}) + "\r\n";
    const std::string lines[] = {
        dataLine({"artist", "", "title"}) + "\r\n",    // the reading gets the artist
        dataLine({"\x83\x41\x83\x5C", "x"}) + "\r\n",  // ends with a lead-range trail byte
        "short<>line\x81\r\n",                         // padded, half a character dropped
        dataLine({"many"}) + "<>extra<>fields\n",      // cut after the 305th field
        "\r\n",                                        // an empty album
        dataLine({"\x81<>", "y"}) + "\r",              // 81 3C is one character
    };
    for (std::size_t i = 0; text.size() < (17u << 20); ++i) {
        text += lines[i % std::size(lines)];
    }
    auto buffer = std::make_shared<std::string>(text);
    AlbumTable halves;
    halves.assignText(buffer, *buffer, {}, true);
    AlbumTable whole;
    whole.assignLines(buffer, splitLines(*buffer), {}, true);
    ASSERT_EQ(halves.rowCount(), whole.rowCount());
    for (int row = 0; row < whole.rowCount(); ++row) {
        ASSERT_EQ(halves.rowLine(row), whole.rowLine(row)) << row;
    }
    EXPECT_EQ(halves.cell(FuriganaColumn, 1), "artist");
    EXPECT_EQ(halves.cell(ArtistColumn, 0), "") << "the reserved row gets no reading";
}

TEST(DataFile, ProgressReportsEveryColumnPass)
{
    for (std::string file : {std::string(), dataLine({}) + "\r\n" + dataLine({"a"}) + "\r\n"}) {
        TempDir dir;
        writeBytes(dir / kDataFileName, file);
        AlbumTable table;
        std::vector<int> passes;
        loadDataFile(dir / kDataFileName, table, [&](int pass) { passes.push_back(pass); });
        ASSERT_EQ(passes.size(), 306u);
        for (int i = 0; i < 306; ++i) {
            EXPECT_EQ(passes[static_cast<std::size_t>(i)], i);
        }
    }
}

TEST(StringGridIO, WritesWithAnySeparatorAndQuotes)
{
    TempDir dir;
    AlbumTable table;
    table.setRowCount(2);
    table.setCell(0, 1, "12");
    table.setCell(1, 1, "say \"hi\"");
    table.setCell(2, 1, "-1.5e3");
    ListFileIO writer;
    EXPECT_TRUE(writer.Write(dir / "none.txt", ",", true));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.txt"));
    writer.TargetGrid = &table;
    ASSERT_TRUE(writer.Write(dir / "out.csv", ",", true));
    std::string out = readBytes(dir / "out.csv");
    std::vector<std::string_view> lines = splitLines(out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1].starts_with("12,\"say \"hi\"\",-1.5e3,\"\",\"\""));
    EXPECT_TRUE(out.ends_with("\"\"\r\n"));

    for (auto [text, number] : std::initializer_list<std::pair<const char*, bool>>{{"0", true},
                                                                                   {"-3", true},
                                                                                   {"+4.", true},
                                                                                   {".5", true},
                                                                                   {"1e10", true},
                                                                                   {"2E-3", true},
                                                                                   {"", false},
                                                                                   {".", false},
                                                                                   {"1e", false},
                                                                                   {"12a", false},
                                                                                   {" 1", false},
                                                                                   {"１", false}}) {
        EXPECT_EQ(isDecimalNumber(text), number) << text;
    }
}

TEST(StringGridIO, AFailedSaveKeepsTheOldFile)
{
    TempDir dir;
    AlbumTable table;
    table.setRowCount(2);
    table.setCell(0, 1, "new");
    ListFileIO writer;
    writer.TargetGrid = &table;

    writeBytes(dir / kDataFileName, "old contents");
    ::chmod((dir / kDataFileName).c_str(), 0444);
    FileError error;
    EXPECT_FALSE(writer.Write(dir / kDataFileName, "<>", false, &error));
    EXPECT_EQ(error.path, (dir / kDataFileName).string());
    EXPECT_EQ(error.reason, "読み取り専用のファイルです。");
    EXPECT_EQ(readBytes(dir / kDataFileName), "old contents");
    EXPECT_EQ(dir.entryCount(), 1u) << "no temporary file is left behind";

    EXPECT_FALSE(writer.Write(dir / "no-such-folder" / kDataFileName, "<>", false, &error));
    EXPECT_EQ(error.reason, "フォルダが見つかりません。");

    // A successful save keeps the file's permissions.
    ::chmod((dir / kDataFileName).c_str(), 0640);
    EXPECT_TRUE(writer.Write(dir / kDataFileName, "<>", false, &error));
    struct stat st {};
    ::stat((dir / kDataFileName).c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.entryCount(), 2u) << "the file and the backup of the old one, nothing else";
    EXPECT_EQ(readBytes(dir / "VLM.bak"), "old contents");
}

}  // namespace
}  // namespace velmora::store
