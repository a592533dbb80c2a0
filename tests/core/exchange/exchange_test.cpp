#include "core/exchange/exchange.h"

#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <filesystem>
#include <memory>

#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "core/text/cp932.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace velmora::exchange {
namespace {

using store::AlbumTable;
using test::dataLine;
using test::dataLineWith;
using test::readBytes;
using test::TempDir;

using test::sj;
using test::utf8;

// A table over data-file lines; row 0 is the reserved row.
AlbumTable tableOf(std::vector<std::string> albums)
{
    auto text = std::make_shared<std::string>(dataLine({}) + "\r\n");
    for (const std::string& a : albums) {
        *text += a + "\r\n";
    }
    AlbumTable table;
    table.assignLines(text, store::splitLines(*text));
    return table;
}

std::vector<std::string> rowsOf(const ImportedRows& imported)
{
    return std::vector<std::string>(imported.rows.begin(), imported.rows.end());
}

std::string repeat(std::string_view piece, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i) {
        s += piece;
    }
    return s;
}

// ---- Export ------------------------------------------------------------

TEST(ExportAlbumSet, AscendingUniqueAlbumsOfTheTable)
{
    struct Case {
        std::vector<int> listed;
        int rowCount;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {{7, 7, 2, 7}, 10, {2, 7}},      // a search result lists album 7 three times
        {{11, 2, 10}, 12, {2, 10, 11}},  // number order, whatever the list order
        {{0, 5, 12, -1}, 12, {5}},       // only album rows
        {{}, 5, {}},
        {{1}, 1, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(exportAlbumSet(c.listed, c.rowCount), c.expected);
    }
}

TEST(DataExport, LineIsTheDataFileLine)
{
    const std::string line = dataLineWith({{0, "a"}, {2, "t"}, {5, "x{}y"}, {304, "/m.mp3"}});
    AlbumTable table = tableOf({line});
    EXPECT_EQ(dataExportLine(table, 1), line);
}

TEST(CsvExport, Lines)
{
    AlbumTable table = tableOf({dataLineWith({{0, "a"}, {2, "x,y"}, {5, "m{}n"}, {304, "\"q\""}})});
    struct Case {
        std::string enclose;
        std::string delimiter;
        std::string expected;
    };
    const Case cases[] = {
        {"", ",", "a,,x,y,,,m{}n" + repeat(",", 299) + "\"q\""},
        {"\"", ",", "\"a\",\"\",\"x,y\",\"\",\"\",\"m{}n\"" + repeat(",\"\"", 298) + ",\"\"q\"\""},
        {"'", "\t", "'a'\t''\t'x,y'\t''\t''\t'm{}n'" + repeat("\t''", 298) + "\t'\"q\"'"},
        {"", "", "ax,ym{}n\"q\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(csvLine(table, 1, c.enclose, c.delimiter), c.expected) << c.enclose << c.delimiter;
    }
    // With the defaults every line has 304 commas and no quotes.
    const std::string empty = csvLine(tableOf({dataLine({})}), 1, "", ",");
    EXPECT_EQ(empty, repeat(",", 304));
}

TEST(Export, WritesEveryShownAlbumOnce)
{
    TempDir dir;
    std::vector<std::string> albums;
    for (int i = 1; i <= 400; ++i) {
        albums.push_back(dataLine({std::to_string(i)}));
    }
    AlbumTable table = tableOf(albums);
    std::vector<int> listed = {400, 2, 2, 306};
    std::vector<int> set = exportAlbumSet(listed, table.rowCount());
    ASSERT_TRUE(writeDataExport(dir / "out.dat", table, set, nullptr));
    EXPECT_EQ(readBytes(dir / "out.dat"), albums[1] + "\r\n" + albums[305] + "\r\n" + albums[399] + "\r\n");

    std::vector<int> all(400);
    for (int i = 0; i < 400; ++i) {
        all[static_cast<std::size_t>(i)] = 400 - i;
    }
    ASSERT_TRUE(
        writeCsvExport(dir / "out.csv", table, exportAlbumSet(all, table.rowCount()), "\"", ",", nullptr));
    const std::string csv = readBytes(dir / "out.csv");
    EXPECT_EQ(store::splitLines(csv).size(), 400u);
    EXPECT_TRUE(csv.starts_with("\"1\",\"\","));
    EXPECT_TRUE(csv.ends_with("\"\"\r\n"));

    // An empty set writes an empty file.
    ASSERT_TRUE(writeDataExport(dir / "empty.dat", table, {}, nullptr));
    EXPECT_EQ(readBytes(dir / "empty.dat"), "");
}

TEST(Export, FolderAndWriteFailures)
{
    TempDir dir;
    EXPECT_TRUE(folderExists(dir / "x.csv"));
    EXPECT_TRUE(folderExists("x.csv"));
    EXPECT_FALSE(folderExists(dir / "missing" / "x.csv"));

    AlbumTable table = tableOf({dataLine({"a"})});
    std::filesystem::create_directory(dir / "folder");
    store::FileError error;
    EXPECT_FALSE(writeDataExport(dir / "folder", table, {1}, &error));
    EXPECT_NE(error.path.find("folder"), std::string::npos);
    EXPECT_FALSE(error.reason.empty());
    EXPECT_FALSE(writeCsvExport(dir / "missing" / "x.csv", table, {1}, "", ",", &error));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
}

// ---- Import ------------------------------------------------------------

struct ImportCase {
    const char* name;
    std::vector<std::string> lines;
    bool dataFileMode;
    std::string enclose;
    std::string delimiter;
    std::vector<std::string> rows;  // as data-file lines
};

TEST(Import, Rows)
{
    const std::string fields400 = [] {
        std::string s = "f0";
        for (int i = 1; i < 400; ++i) {
            s += "<>f" + std::to_string(i);
        }
        return s;
    }();
    const std::string fields305 = fields400.substr(0, fields400.find("<>f305"));
    const std::string so = "\x83\x5C";  // "ソ": its second byte is a backslash
    const ImportCase cases[] = {
        {"quoted", {"\"a\",\"b\",\"c\""}, false, "\"", ",", {dataLine({"a", "b", "c"})}},
        {"quotes stay", {"\"a\",\"b\",\"c\""}, false, "", ",", {dataLine({"\"a\"", "\"b\"", "\"c\""})}},
        {"empty middle", {"a,,c"}, false, "", ",", {dataLine({"a", "", "c"})}},
        // A row whose cells are all empty is no album: it is skipped.
        {"empty line", {"a", "", "b"}, false, "", ",", {dataLine({"a"}), dataLine({"b"})}},
        {"empty fields", {",,,", "a"}, false, "", ",", {dataLine({"a"})}},
        {"empty quoted fields", {"\"\",\"\""}, false, "\"", ",", {}},
        {"reserved first row of a data file",
         {dataLine({}), dataLine({"a"}), "<><>", ""},
         true,
         "",
         "",
         {dataLine({"a"})}},
        {"a space is not empty", {" ,"}, false, "", ",", {dataLine({" "})}},
        {"no pattern", {"a,b<x"}, false, "", "", {dataLine({"a,b<x"})}},
        {"separator in text", {"a<>b,c"}, false, "", ",", {dataLine({"a", "b", "c"})}},
        {"doubled quote splits", {"\"a\"\",\"\"b\""}, false, "\"", ",", {dataLine({"a\"", "\"b"})}},
        {"ends cut blindly", {"xay", "'b'", "'", "''"}, false, "'", ",", {dataLine({"a"}), dataLine({"b"})}},
        {"pattern left to right", {"a,,,b"}, false, "", ",,", {dataLine({"a", ",b"})}},
        {"tab", {"a\tb"}, false, "", "\t", {dataLine({"a", "b"})}},
        {"character boundaries", {"a" + so + "b\\c"}, false, "", "\\", {dataLine({"a" + so + "b", "c"})}},
        {"data file line",
         {dataLineWith({{0, "a"}, {205, ""}, {304, "m"}})},
         true,
         "\"",
         ",",
         {dataLineWith({{0, "a"}, {304, "m"}})}},
        {"data mode keeps commas", {"\"a\",\"b\""}, true, "\"", ",", {dataLine({"\"a\",\"b\""})}},
        {"short data line", {"a<>b"}, true, "", ",", {dataLine({"a", "b"})}},
        {"305th field, rest dropped", {fields400}, true, "", ",", {fields305}},
        {"400 fields by delimiter", {repeat("x,", 399) + "x"}, false, "", ",", {repeat("x<>", 304) + "x"}},
    };
    for (const ImportCase& c : cases) {
        std::vector<std::string_view> lines(c.lines.begin(), c.lines.end());
        ImportedRows result = importRows(lines, c.dataFileMode, c.enclose, c.delimiter);
        EXPECT_EQ(result.cutLines, 0) << c.name;
        EXPECT_EQ(rowsOf(result), c.rows) << c.name;
        // The same when unchanged lines may stay where they are.
        auto source = std::make_shared<std::vector<std::string>>(c.lines);
        ImportedRows kept = importRows(std::vector<std::string_view>(source->begin(), source->end()),
                                       c.dataFileMode, c.enclose, c.delimiter, source);
        EXPECT_EQ(rowsOf(kept), c.rows) << c.name;
    }
}

TEST(Import, HalfACharacterBeforeAnotherColumnIsDroppedAsTheLoaderDrops)
{
    struct Case {
        std::vector<std::string> lines;
        bool dataFileMode;
        std::string enclose;
        std::vector<std::string> rows;
        int cutLines;
    };
    const std::string full305 = repeat("<>", 304);
    const Case cases[] = {
        // A cut file: the last field ends with a lead byte; every line comes in.
        {{"a", "b,c\x83", "d"}, false, "", {dataLine({"a"}), dataLine({"b", "c"}), dataLine({"d"})}, 1},
        {{"x\x83\x40x"}, false, "x", {dataLine({"\x83\x40"})}, 0},  // whole characters after the cut
        {{"x\x83\x40"}, false, "x", {dataLine({""})}, 1},           // the cut leaves half of the character
        {{"ok", "\x81", "\x82\xA0\x82"},
         true,
         "",
         {dataLine({"ok"}), dataLine({""}), dataLine({"\x82\xA0"})},
         2},
        {{full305 + "\x81"}, true, "", {full305 + "\x81"}, 0},  // the last column may end with one
        {{full305 + "\x81<>more"}, true, "", {full305 + "\x81<>more"}, 0},
        {{"\x81\x81"}, true, "", {dataLine({"\x81\x81"})}, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string_view> lines(c.lines.begin(), c.lines.end());
        ImportedRows result = importRows(lines, c.dataFileMode, c.enclose, ",");
        EXPECT_EQ(result.cutLines, c.cutLines) << c.lines.back();
        EXPECT_EQ(rowsOf(result), c.rows) << c.lines.back();

        // The loader of the data file makes the same rows of those lines.
        if (c.dataFileMode) {
            std::string file = dataLine({}) + "\r\n";
            for (const std::string& line : c.lines) {
                file += line + "\r\n";
            }
            auto text = std::make_shared<std::string>(file);
            AlbumTable loaded;
            loaded.assignLines(text, store::splitLines(*text));
            for (std::size_t i = 0; i < c.lines.size(); ++i) {
                EXPECT_EQ(std::string(loaded.rowLine(static_cast<int>(i) + 1)), c.rows[i]);
            }
        }
    }
    ImportedRows cut = importRows({"a\x81", "b\x81", "c"}, false, "", ",");
    EXPECT_EQ(importReport(ImportText{}, cut),
              "2行が文字の途中で終わっていたため、行末の半端な文字を除いて読み込みました。");
    EXPECT_EQ(importReport(ImportText{}, importRows({"a"}, false, "", ",")), "");
}

// ---- Import of UTF-8 files ------------------------------------------------

TEST(ImportText, DetectsUtf8)
{
    struct Case {
        std::string bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF"
         "abc",
         true},  // the byte-order mark decides
        {"\xEF\xBB\xBF", true},
        {"\xE3\x81\x86\xE3\x81\x9F\xE3\x81\xA0,x", true},  // うただ
        {"caf\xC3\xA9\r\n", false},                        // also valid Shift-JIS (ﾃｩ): Shift-JIS wins
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9\r\n",
         true},                                // unless the mark says otherwise
        {"na\xC3\xAFve 😀", true},              // no Shift-JIS reading (98 80)
        {"\xE3\x81\x86\xE3\x81\r\nok", true},  // a line cut in the middle of う
        {"plain ascii", false},                // nothing to tell: Shift-JIS
        {"", false},
        {sj("うただ,ウタダ"), false},
        {sj("ｳﾀﾀﾞ"), false},
        {"\xC3\xA9\xFF", false},          // neither: taken as Shift-JIS bytes
        {"\x82\xA0\xE3\x81\x86", false},  // not UTF-8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isUtf8File(c.bytes), c.utf8) << utf8(c.bytes);
    }
}

TEST(ImportText, ShiftJisFilesStayAsTheyAre)
{
    auto bytes = std::make_shared<std::string>(sj("うただ<>ｳﾀﾀﾞ\r\n髙"));
    ImportText text = importText(*bytes, bytes);
    EXPECT_FALSE(text.utf8);
    EXPECT_EQ(text.text.data(), bytes->data()) << "no copy";
    EXPECT_EQ(text.source, bytes);
}

TEST(ImportText, Utf8IsConvertedLineByLine)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
        int missingChars;
        std::vector<int> missingLines;
        int cutLines;
    };
    const Case cases[] = {
        {"with mark",
         "\xEF\xBB\xBF"
         "うただ,x\r\nb",
         sj("うただ,x") + "\r\nb",
         0,
         {},
         0},
        {"without mark", "ウタダ<>\xEF\xBD\xB3\r\r\n〜−", sj("ウタダ<>ｳ") + "\r\r\n" + sj("～－"), 0, {}, 0},
        {"missing characters",
         "a😀b\nok\nゔ\xF0\x9F\x8E\xB5\xE2\x80\x8B",
         "a\x81\xAC"
         "b\nok\n\x81\xAC\x81\xAC\x81\xAC",
         4,
         {1, 3},
         0},
        {"cut character",
         "\xEF\xBB\xBF"
         "ab\xE3\x81\r\nあ\xE3\n\xE3\x81",
         "ab\r\n" + sj("あ") + "\n",
         0,
         {},
         3},
        {"no raw bytes", "\xEF\xBB\xBF\xEF\x9C\x8A\xEF\x9C\xBC", "\x81\xAC\x81\xAC", 2, {1}, 0},  // U+F70A
                                                                                                  // U+F73C
        {"broken bytes",
         "\xEF\xBB\xBF"
         "a\xFFz",
         "a\x81\xACz",
         1,
         {1},
         0},
    };
    for (const Case& c : cases) {
        ImportText text = importText(c.bytes, nullptr);
        EXPECT_TRUE(text.utf8) << c.name;
        EXPECT_EQ(std::string(text.text), c.text) << c.name;
        EXPECT_EQ(text.missingChars, c.missingChars) << c.name;
        EXPECT_EQ(text.missingLines, c.missingLines) << c.name;
        EXPECT_EQ(text.cutLines, c.cutLines) << c.name;
    }
}

TEST(ImportText, Utf16ByItsMarkIsConvertedAsUtf8Is)
{
    // The same text in UTF-8 and in UTF-16 of either byte order gives the
    // same Shift-JIS, line ends and reports included.
    const std::u16string text = u"うただ,x\r\nb〜\nｳ";
    auto utf16 = [&](bool littleEndian) {
        std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t c : text) {
            const char low = static_cast<char>(c & 0xFF);
            const char high = static_cast<char>(c >> 8);
            bytes += littleEndian ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    };
    const ImportText fromUtf8 = importText("\xEF\xBB\xBFうただ,x\r\nb〜\nｳ", nullptr);
    for (const bool littleEndian : {true, false}) {
        const ImportText converted = importText(utf16(littleEndian), nullptr);
        EXPECT_TRUE(converted.utf16) << littleEndian;
        EXPECT_TRUE(converted.refusal.empty()) << converted.refusal;
        EXPECT_EQ(std::string(converted.text), sj("うただ,x") + "\r\nb" + sj("～") + "\n" + sj("ｳ"));
        EXPECT_EQ(std::string(converted.text), std::string(fromUtf8.text));
        EXPECT_EQ(converted.missingChars, 0);
    }
    // Half a surrogate pair or half a code unit: a character that is not
    // there, written as 〓 and reported.
    const ImportText broken = importText(std::string("\xFF\xFE"
                                                     "a\0\n\0\x00\xD8"
                                                     "z\0",
                                                     10) +
                                             "!",
                                         nullptr);
    EXPECT_EQ(std::string(broken.text), "a\n\x81\xACz\x81\xAC");
    EXPECT_EQ(broken.missingChars, 2);
    EXPECT_EQ(broken.missingLines, std::vector<int>{2});
    EXPECT_FALSE(
        isUtf8File("\xFF\xFE"
                   "a"))
        << "a UTF-16 mark is no UTF-8 text";
}

TEST(ImportText, BinaryFilesAreRefusedNamingTheFirstBadLine)
{
    const std::pair<std::string, int> refused[] = {
        {std::string("ok\r\nfine\r\nbad\0\x01\x02\r\nmore\0", 20), 3},
        {std::string("a\0b\0c\0", 6), 1},  // UTF-16 without its mark: not guessed
        {std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), 3},
        {std::string("\xEF\xBB\xBFx\n\xE3\x81\x82\x07", 10), 2},
        {std::string("\xFF\xFEx\0\n\0\0\0", 8), 2},  // a NUL character in UTF-16
    };
    for (const auto& [bytes, line] : refused) {
        const ImportText text = importText(bytes, nullptr);
        EXPECT_EQ(text.refusal, "テキストファイルではないため読み込めません（" + std::to_string(line) +
                                    "行目に文字でないデータがあります）。")
            << utf8(bytes);
        EXPECT_TRUE(text.text.empty());
    }
    // Tabs, form feeds and an old end-of-file mark are text.
    const ImportText tabs = importText("a\tb\fc\r\n\x1A", nullptr);
    EXPECT_TRUE(tabs.refusal.empty());
    EXPECT_EQ(std::string(tabs.text), "a\tb\fc\r\n\x1A");
}

TEST(ImportText, ReportNamesTheFirstLines)
{
    std::string file = "\xEF\xBB\xBF";
    for (int line = 1; line <= 7; ++line) {
        file += "x😀😀\n";
    }
    file += "cut\xE3\x81";
    ImportText text = importText(file, nullptr);
    EXPECT_EQ(text.missingChars, 14);
    EXPECT_EQ(text.missingLines, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(text.moreMissingLines);
    ImportedRows rows = importRows(store::splitLines(text.text), false, "", ",", text.source);
    EXPECT_EQ(rows.rows.size(), 8u);
    EXPECT_EQ(
        importReport(text, rows),
        "Shift-"
        "JISにない文字が14文字あり、「〓」に置き換えました（1行目、2行目、3行目、4行目、5行目ほか）。\r\n"
        "1行が文字の途中で終わっていたため、行末の半端な文字を除いて読み込みました。");
    ImportText few = importText(
        "\xEF\xBB\xBF"
        "a\nb😀",
        nullptr);
    EXPECT_EQ(importReport(few, importRows(store::splitLines(few.text), true, "", "")),
              "Shift-JISにない文字が1文字あり、「〓」に置き換えました（2行目）。");
}

TEST(CsvExport, Utf8WithByteOrderMark)
{
    TempDir dir;
    AlbumTable table =
        tableOf({dataLineWith({{0, sj("髙橋")}, {2, sj("ｳﾀ,\"ﾀﾞ")}, {304, "z"}}), dataLine({"b"})});
    ASSERT_TRUE(writeCsvExport(dir / "u.csv", table, {1, 2}, "\"", ",", nullptr, true));
    const std::string bytes = readBytes(dir / "u.csv");
    ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF\"髙橋\",\"\",\"ｳﾀ,\"ﾀﾞ\""));
    EXPECT_EQ(bytes.find("\xEF\xBB\xBF", 1), std::string::npos) << "one mark, at the start";
    // Imported again it gives the same rows as the Shift-JIS export.
    ASSERT_TRUE(writeCsvExport(dir / "s.csv", table, {1, 2}, "\"", ",", nullptr));
    const std::string shiftJis = readBytes(dir / "s.csv");
    ImportText text = importText(bytes, nullptr);
    EXPECT_TRUE(text.utf8);
    EXPECT_EQ(std::string(text.text), shiftJis);
}

TEST(Import, AppendsAfterTheLastAlbum)
{
    AlbumTable table = tableOf({dataLine({"a"}), dataLine({"b"}), dataLine({"c"}), dataLine({"d"})});
    ASSERT_EQ(table.rowCount(), 5);
    ImportedRows result = importRows({"x,,t", ""}, false, "", ",");
    appendRows(table, std::move(result));
    ASSERT_EQ(table.rowCount(), 6) << "the empty line adds no album";
    EXPECT_EQ(table.cell(store::ArtistColumn, 5), "x");
    EXPECT_EQ(table.cell(store::AlbumColumn, 5), "t");
    EXPECT_EQ(table.cell(store::FuriganaColumn, 5), "") << "no reading is filled in";
    EXPECT_EQ(table.cell(store::ArtistColumn, 4), "d");
}

TEST(Import, DataExportComesBackAsAnExactCopy)
{
    TempDir dir;
    const std::string memo = sj("一行目{}{}三行目");
    AlbumTable table =
        tableOf({dataLineWith({{0, sj("アーティスト")}, {5, memo}, {105, "/p.jpg"}, {304, "\x81"}}),
                 dataLineWith({{304, "z"}}), dataLineWith({{2, sj("ソ\\")}, {205, "r"}})});
    std::vector<int> all = {1, 2, 3};
    ASSERT_TRUE(writeDataExport(dir / "x.dat", table, all, nullptr));
    {
        // Rows that need no change stay in the file's bytes, kept by the table.
        auto bytes = std::make_shared<std::string>(readBytes(dir / "x.dat"));
        ImportedRows imported = importRows(store::splitLines(*bytes), true, "", "", bytes);
        EXPECT_EQ(imported.rows[0].data(), bytes->data());
        EXPECT_TRUE(imported.blocks.empty());
        appendRows(table, std::move(imported));
    }
    ASSERT_EQ(table.rowCount(), 7);
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(table.rowLine(row + 3), table.rowLine(row));
    }

    // CSV with a quote comes back too, as long as no field holds the pattern.
    ASSERT_TRUE(writeCsvExport(dir / "x.csv", table, all, "\"", ",", nullptr));
    const std::string csv = readBytes(dir / "x.csv");
    appendRows(table, importRows(store::splitLines(csv), false, "\"", ","));
    ASSERT_EQ(table.rowCount(), 10);
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(table.rowLine(row + 6), table.rowLine(row));
    }

    // With the defaults, a title holding a comma gains a field.
    AlbumTable commas = tableOf({dataLineWith({{2, "x,y"}})});
    ASSERT_TRUE(writeCsvExport(dir / "c.csv", commas, {1}, "", ",", nullptr));
    const std::string c = readBytes(dir / "c.csv");
    appendRows(commas, importRows(store::splitLines(c), false, "", ","));
    EXPECT_EQ(commas.cell(2, 2), "x");
    EXPECT_EQ(commas.cell(3, 2), "y");
}

// ---- Clipboard ---------------------------------------------------------

class Clipboard : public ::testing::Test {
protected:
    Clipboard()
        : table(tableOf({
              // 1: songs 1 and 3, song 2 with only a media path; a reading.
              dataLineWith({{0, sj("歌手")},
                            {2, sj("題名")},
                            {3, "rock"},
                            {4, "CD"},
                            {5, "m1{}m2"},
                            {105, "/img/a.jpg"},
                            {205, sj("かしゅ")},
                            {6, "one"},
                            {8, "three"},
                            {106, "guest"},
                            {207, "/m/2.mp3"},
                            {208, "CD123"}}),
              // 2: reading equal to the artist, nothing else.
              dataLineWith({{0, "b"}, {2, "B"}, {205, "b"}}),
              // 3: an empty reading differs from the artist.
              dataLineWith({{0, "c"}, {2, "C"}}),
          }))
    {
    }
    std::string copy(ClipFormat format, std::vector<int> albums, int song = 0)
    {
        return utf8(clipboardText(table, format, albums, song));
    }
    AlbumTable table;
};

TEST_F(Clipboard, AlbumDetails)
{
    EXPECT_EQ(copy(ClipFormat::AlbumDetails, {1, 2}),
              "<Album No.1>\r\n"
              "アーティスト名:歌手 (かしゅ)\r\n"
              "アルバム名:題名\r\n"
              "ジャンル：rock\r\n"
              "メディア：CD\r\n"
              "m1{}m2\r\n"
              "画像ファイル：/img/a.jpg\r\n"
              "<Songs>\r\n"
              "1：one / guest\r\n"
              "2：？ [/m/2.mp3]\r\n"
              "3：three [CD123]\r\n"
              "\r\n"
              "<Album No.2>\r\n"
              "アーティスト名:b\r\n"
              "アルバム名:B\r\n"
              "ジャンル：\r\n"
              "メディア：\r\n"
              "<Songs>\r\n"
              "\r\n");
    EXPECT_TRUE(copy(ClipFormat::AlbumDetails, {3}).starts_with("<Album No.3>\r\nアーティスト名:c ()\r\n"));
}

TEST_F(Clipboard, AlbumSummary)
{
    EXPECT_EQ(copy(ClipFormat::AlbumSummary, {1}),
              "<Album No.1>\r\n"
              "歌手 / 題名\r\n"
              "<Songs>\r\n"
              "1：one / guest\r\n"
              "3：three\r\n"
              "\r\n");
}

TEST_F(Clipboard, NamesPerSelectedAlbumInListOrder)
{
    struct Case {
        ClipFormat format;
        std::vector<int> albums;
        std::string expected;
    };
    const Case cases[] = {
        {ClipFormat::ArtistNames, {3, 1, 2}, "c\r\n歌手\r\nb\r\n"},
        {ClipFormat::AlbumTitles, {2, 2}, "B\r\nB\r\n"},
        {ClipFormat::ArtistNames, {}, ""},
        {ClipFormat::AlbumTitles, {0, 4}, ""},
        {ClipFormat::AlbumSummary, {}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(copy(c.format, c.albums), c.expected);
    }
}

TEST_F(Clipboard, Songs)
{
    struct Case {
        ClipFormat format;
        std::vector<int> albums;
        int song;
        std::string expected;
    };
    const Case cases[] = {
        {ClipFormat::SongDetails,
         {1, 2},
         1,
         "<Album No.1 / Song No.1>\r\n歌手 (かしゅ) / 題名\r\n曲名：one\r\nアーティスト名：guest\r\n"},
        {ClipFormat::SongDetails,
         {1},
         2,
         "<Album No.1 / Song No.2>\r\n歌手 (かしゅ) / 題名\r\n曲名：\r\nメディアファイル：/m/2.mp3\r\n"},
        {ClipFormat::SongDetails, {2}, 99, "<Album No.2 / Song No.99>\r\nb / B\r\n"},
        {ClipFormat::SongTitle, {1}, 3, "three\r\n"},
        {ClipFormat::SongTitle, {1}, 2, "\r\n"},
        {ClipFormat::SongTitle, {1}, 0, ""},
        {ClipFormat::SongTitle, {}, 1, ""},
        {ClipFormat::SongDetails, {1}, 100, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(copy(c.format, c.albums, c.song), c.expected);
    }
}

TEST_F(Clipboard, TextIsShiftJis)
{
    EXPECT_EQ(clipboardText(table, ClipFormat::ArtistNames, {1}), sj("歌手") + "\r\n");
}

}  // namespace
}  // namespace velmora::exchange
