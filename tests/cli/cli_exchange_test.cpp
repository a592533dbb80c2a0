// The export, import and copy commands of velmora-cli.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "support/child_process.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace velmora::cli {
namespace {

using test::dataLine;
using test::dataLineWith;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

using Result = test::CliResult;
using test::runCli;

// "歌手" and "題名" in Shift-JIS.
const std::string kArtist = "\x89\xCC\x8E\xE8";
const std::string kTitle = "\x91\xE8\x96\xBC";

class CliExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        albums = {
            dataLineWith({{0, kArtist}, {2, kTitle}, {205, kArtist}, {6, "one"}, {206, "CD1"}}),
            dataLineWith({{0, "b"}, {2, "x,y"}, {205, "bee"}}),
            dataLineWith({{0, "c"}, {2, "C"}, {205, "c"}}),
        };
        std::string file = dataLine({}) + "\r\n";
        for (const std::string& a : albums) {
            file += a + "\r\n";
        }
        writeBytes(dir / "VLM.dat", file);
    }
    std::string catalogue() const { return readBytes(dir / "VLM.dat"); }

    TempDir dir;
    TempDir other;
    std::vector<std::string> albums;
};

TEST_F(CliExchange, ExportDataFileOfAListInNumberOrder)
{
    const std::string out = (other / "out.dat").string();
    Result r = runCli(dir, {"export", "dat", out, "--albums", "3,1-2,3"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readBytes(out), albums[0] + "\r\n" + albums[1] + "\r\n" + albums[2] + "\r\n");
    ASSERT_EQ(runCli(dir, {"export", "dat", out, "--albums", "3,3"}).code, 0);
    EXPECT_EQ(readBytes(out), albums[2] + "\r\n");
}

TEST_F(CliExchange, ExportCsv)
{
    const std::string out = (other / "out.csv").string();
    ASSERT_EQ(runCli(dir, {"export", "csv", out, "--albums", "2"}).code, 0);
    EXPECT_EQ(readBytes(out), "b,,x,y" + std::string(203, ',') + "bee" + std::string(99, ',') + "\r\n");
    // Arguments are UTF-8; the file is Shift-JIS.
    ASSERT_EQ(
        runCli(dir, {"export", "csv", out, "--albums", "3", "--enclose", "「", "--delimiter", "\t"}).code, 0);
    const std::string open = "\x81\x75";  // 「
    std::string expected;
    for (int c = 0; c < 305; ++c) {
        expected += (c ? "\t" : "") + open + (c == 0 || c == 205 ? "c" : c == 2 ? "C" : "") + open;
    }
    EXPECT_EQ(readBytes(out), expected + "\r\n");
}

TEST_F(CliExchange, RoundTripExportThenImport)
{
    const std::string dat = (other / "all.dat").string();
    const std::string csv = (other / "all.csv").string();
    ASSERT_EQ(runCli(dir, {"export", "dat", dat}).code, 0);
    ASSERT_EQ(runCli(dir, {"export", "csv", csv, "--albums", "1,3", "--enclose", "\""}).code, 0);
    const std::string before = catalogue();

    Result r = runCli(dir, {"import", dat, "--dat"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(catalogue(), before + albums[0] + "\r\n" + albums[1] + "\r\n" + albums[2] + "\r\n");
    r = runCli(dir, {"import", csv, "--csv", "--enclose", "\"", "--delimiter", ","});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(runCli(dir, {"info"}).out, "albums: 8\n");
    EXPECT_TRUE(catalogue().ends_with(albums[0] + "\r\n" + albums[2] + "\r\n"));

    // Read as delimited text with the defaults, "<>" still separates and a
    // comma in a title splits it.
    ASSERT_EQ(runCli(dir, {"import", dat, "--csv"}).code, 0);
    EXPECT_EQ(runCli(dir, {"info"}).out, "albums: 11\n");
    EXPECT_EQ(runCli(dir, {"copy", "4", "--albums", "9-10"}).out, "題名\r\nx\r\n");
}

TEST_F(CliExchange, ImportTakesEveryLineOfACutFile)
{
    const std::string before = catalogue();
    writeBytes(other / "cut.csv", "a,b\r\nc,\x83\r\nd\x81\r\ne");
    Result r = runCli(dir, {"import", (other / "cut.csv").string(), "--csv"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "2行が文字の途中で終わっていたため、行末の半端な文字を除いて読み込みました。\n");
    EXPECT_EQ(catalogue(), before + dataLine({"a", "b"}) + "\r\n" + dataLine({"c", ""}) + "\r\n" +
                               dataLine({"d"}) + "\r\n" + dataLine({"e"}) + "\r\n");
}

TEST_F(CliExchange, ImportUtf8WithAndWithoutMark)
{
    const std::string before = catalogue();
    // With the mark: a character Shift-JIS lacks and a cut character.
    writeBytes(other / "mark.csv", "\xEF\xBB\xBF歌手,😀題名\r\nx,y\xE3\x81\r\n");
    Result r = runCli(dir, {"import", (other / "mark.csv").string(), "--csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err,
              "Shift-JISにない文字が1文字あり、「〓」に置き換えました（1行目）。\n"
              "1行が文字の途中で終わっていたため、行末の半端な文字を除いて読み込みました。\n");
    const std::string afterMark =
        before + dataLine({kArtist, "\x81\xAC" + kTitle}) + "\r\n" + dataLine({"x", "y"}) + "\r\n";
    EXPECT_EQ(catalogue(), afterMark);
    // Without it: a data file written by another program in UTF-8.
    writeBytes(other / "plain.dat", "歌手<>ｳﾀﾀﾞ<>題名\n");
    r = runCli(dir, {"import", (other / "plain.dat").string(), "--dat"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // (Loading the catalogue again filled in the readings of the albums
    // imported before.)
    EXPECT_TRUE(catalogue().ends_with("\r\n" + dataLine({kArtist, "\xB3\xC0\xC0\xDE", kTitle}) + "\r\n"));
    EXPECT_EQ(catalogue().size(), afterMark.size() + kArtist.size() + 1 +
                                      dataLine({kArtist, "\xB3\xC0\xC0\xDE", kTitle}).size() + 2);
}

TEST_F(CliExchange, ImportUtf16ByItsMarkAndRefuseBinaryFiles)
{
    const std::string before = catalogue();
    const std::u16string text = u"歌手,題名\r\nx,y\r\n";
    for (const bool littleEndian : {true, false}) {
        std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t c : text) {
            const char low = static_cast<char>(c & 0xFF);
            const char high = static_cast<char>(c >> 8);
            bytes += littleEndian ? std::string{low, high} : std::string{high, low};
        }
        writeBytes(other / "utf16.csv", bytes);
        Result r = runCli(dir, {"import", (other / "utf16.csv").string(), "--csv"});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
    }
    // (The second import's load filled in the reading of the first one's
    // album; the albums of the second are as the file has them.)
    EXPECT_TRUE(catalogue().ends_with(dataLine({kArtist, kTitle}) + "\r\n" + dataLine({"x", "y"}) + "\r\n"));
    EXPECT_EQ(runCli(dir, {"info"}).out.substr(0, 10), "albums: 7\n");

    // A picture is no list of albums: nothing is imported.
    const std::string after = catalogue();
    writeBytes(other / "cover.csv", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    Result r = runCli(dir, {"import", (other / "cover.csv").string(), "--csv"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "テキストファイルではないため読み込めません（3行目に文字でないデータがあります）。\n");
    EXPECT_EQ(catalogue(), after);
}

TEST_F(CliExchange, ACatalogueLinkThatLeadsNowhereIsUnreadable)
{
    TempDir linked;
    std::filesystem::create_symlink(linked / "moved" / "VLM.dat", linked / "VLM.dat");
    Result r = runCli(linked, {"info"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "ファイルを読み込めませんでした。\n" + (linked / "VLM.dat").string() +
                         "\nリンク先のファイルが見つかりません。\n");
    EXPECT_EQ(r.out, "");

    TempDir looped;
    std::filesystem::create_symlink(looped / "VLM.dat", looped / "VLM.dat");
    r = runCli(looped, {"info"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "ファイルを読み込めませんでした。\n" + (looped / "VLM.dat").string() +
                         "\nリンクが循環しています。\n");
}

// A catalogue of one line larger than the memory left for it (a sparse
// file and an address-space limit in a child process): a message and exit
// code 2, not an abort.
TEST_F(CliExchange, ACatalogueTooLargeForMemoryIsReported)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
    TempDir huge;
    constexpr std::size_t kSize = 96 << 20;
    writeBytes(huge / "VLM.dat", std::string(1000, 'x'));
    std::filesystem::resize_file(huge / "VLM.dat", kSize);
    const test::ChildAnswer answer = test::answerFromChild([&]() -> std::string {
        if (!test::limitAddressSpace(kSize + (24 << 20))) {
            return "skip";
        }
        const Result r = runCli(huge, {"info"});
        return std::to_string(r.code) + "|" + r.err + "|" + r.out;
    });
    ASSERT_TRUE(answer.exited) << "the child ended by signal " << answer.signal;
    if (answer.text == "skip") {
        GTEST_SKIP() << "no address-space limit here";
    }
    EXPECT_EQ(answer.text, "2|ファイルを読み込めませんでした。\n" + (huge / "VLM.dat").string() +
                               "\nメモリが不足しています。\n|");
}

TEST_F(CliExchange, ExportCsvAsUtf8ReadsBackInPython)
{
    if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3 is not installed";
    }
    const std::string out = (other / "utf8.csv").string();
    Result r = runCli(dir, {"export", "csv", out, "--enclose", "\"", "--utf8"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(readBytes(out).starts_with("\xEF\xBB\xBF\"歌手\""));
    // Python's csv module, reading the file as utf-8-sig, sees the cells.
    const std::string script = (other / "read.py").string();
    writeBytes(
        script,
        "import csv, sys\n"
        "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
        "    rows = list(csv.reader(f))\n"
        "assert len(rows) == 3, len(rows)\n"
        "assert all(len(row) == 305 for row in rows)\n"
        "assert rows[0][0] == '歌手' and rows[0][2] == '題名' and rows[0][205] == '歌手', rows[0][:6]\n"
        "assert rows[0][6] == 'one' and rows[0][206] == 'CD1'\n"
        "assert rows[1][2] == 'x,y' and rows[1][205] == 'bee'\n"
        "assert rows[2][:3] == ['c', '', 'C']\n");
    const std::string command = "python3 '" + script + "' '" + out + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    // Without the flag the export stays Shift-JIS.
    ASSERT_EQ(runCli(dir, {"export", "csv", out}).code, 0);
    EXPECT_TRUE(readBytes(out).starts_with(kArtist + ","));
    EXPECT_EQ(runCli(dir, {"export", "dat", out, "--utf8"}).code, 2) << "only CSV is written as UTF-8";
}

TEST_F(CliExchange, FoldedSearch)
{
    // Albums 4 and 5: the same name in katakana and in half-width kana.
    std::string file = catalogue();
    file += dataLineWith({{0, "\x83\x45\x83\x5E\x83\x5F"}}) + "\r\n";    // ウタダ
    file += dataLineWith({{0, "x"}, {8, "\xB3\xC0\xC0\xDE"}}) + "\r\n";  // ｳﾀﾀﾞ in song 3
    writeBytes(dir / "VLM.dat", file);
    Result r = runCli(dir, {"search", "0", "うただ", "--fold"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "4\t\n");
    r = runCli(dir, {"search", "6", "ウタダ", "--fold"});
    EXPECT_EQ(r.out, "4\t\n4\t\n4\t\n5\t3\n") << "artist, then artist and reading of every cell";
    r = runCli(dir, {"search", "2", "ゔ", "--fold"});
    EXPECT_EQ(r.code, 1) << "ゔ folds to ヴ, which is nowhere";
    r = runCli(dir, {"search", "0", "うただ"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "アーティスト名検索 \"うただ\" を含むデータはありません\n");
    EXPECT_EQ(runCli(dir, {"search", "1", "X,Y", "--fold"}).out, "2\t\n");
}

TEST_F(CliExchange, AFifoIsNoCatalogue)
{
    // Neither the catalogue nor an import file may block on a FIFO.
    TempDir fifoDir;
    ASSERT_EQ(::mkfifo((fifoDir / "VLM.dat").c_str(), 0600), 0);
    Result r = runCli(fifoDir, {"info"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "ファイルを読み込めませんでした。\n" + (fifoDir / "VLM.dat").string() +
                         "\n通常のファイルではありません。\n");
    ASSERT_EQ(::mkfifo((other / "in.dat").c_str(), 0600), 0);
    const std::string before = catalogue();
    r = runCli(dir, {"import", (other / "in.dat").string(), "--dat"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.ends_with("通常のファイルではありません。\n")) << r.err;
    EXPECT_EQ(catalogue(), before);
}

TEST_F(CliExchange, Copy)
{
    Result r = runCli(dir, {"copy", "3", "--albums", "3,1,3"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "c\r\n歌手\r\nc\r\n");
    EXPECT_EQ(runCli(dir, {"copy", "4"}).out, "題名\r\nx,y\r\nC\r\n");
    EXPECT_EQ(runCli(dir, {"copy", "1", "--albums", "1"}).out,
              "<Album No.1>\r\n歌手 / 題名\r\n<Songs>\r\n1：one\r\n\r\n");
    EXPECT_EQ(runCli(dir, {"copy", "0", "--albums", "2"}).out,
              "<Album No.2>\r\nアーティスト名:b (bee)\r\nアルバム名:x,y\r\nジャンル：\r\nメディア：\r\n"
              "<Songs>\r\n\r\n");
    EXPECT_EQ(runCli(dir, {"copy", "2", "--albums", "1,2", "--song", "1"}).out,
              "<Album No.1 / Song No.1>\r\n歌手 / 題名\r\n曲名：one\r\nメディアファイル：CD1\r\n");
    EXPECT_EQ(runCli(dir, {"copy", "5", "--albums", "1", "--song", "1"}).out, "one\r\n");
}

TEST_F(CliExchange, ReplaceAndConvert)
{
    writeBytes(dir / "VLM.dat", dataLine({}) + "\r\n" + dataLineWith({{0, "p"}, {2, "a<b>"}, {205, "p"}}) +
                                    "\r\n" + dataLineWith({{0, "q"}, {2, "ab"}, {205, "q"}}) + "\r\n");
    const std::string before = catalogue();
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case refused[] = {
        {{"replace", "2", "", "z"}, "置換前の文字列を入力してください\n"},
        {{"replace", "2", "a<>", "z"}, "置換の文字列に<>を含まないで下さい\n"},
        {{"replace", "2", "a", "<>"}, "置換の文字列に<>を含まないで下さい\n"},
        {{"replace", "2", "a", "x\ny"}, "置換の文字列に改行を含まないで下さい\n"},
        {{"replace", "6", "{}", "z"}, "メモを置換するときは置換の文字列に{}を含まないで下さい\n"},
        {{"replace", "6", "a", "{}"}, "メモを置換するときは置換の文字列に{}を含まないで下さい\n"},
        {{"replace", "2", "a", "😀"}, "「😀」(U+1F600) は保存できない文字です。\n"},
        {{"replace", "9", "a", "b"}, "グループの番号が正しくありません: 9\n"},
        {{"convert", "2", "5"}, "グループの番号が正しくありません: 5\n"},
    };
    for (const Case& c : refused) {
        const Result r = runCli(dir, c.args);
        EXPECT_EQ(r.code, 2) << c.args[2];
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(catalogue(), before);
    }

    // Album 1 would hold "<>": it keeps its title, album 2 changes.
    Result r = runCli(dir, {"replace", "2", "B", ""});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err,
              "1 個のセルは、変更すると「<>」や改行を含んで保存できなくなるため、元のままにしました。\n");
    EXPECT_EQ(runCli(dir, {"copy", "4"}).out, "a<b>\r\na\r\n");
    r = runCli(dir, {"convert", "2", "0", "--albums", "1,1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(runCli(dir, {"copy", "4"}).out, "A<B>\r\na\r\n");
    EXPECT_EQ(runCli(dir, {"search", "1", "a", "--albums", "2,1,2"}).out, "1\t\n2\t\n");

    TempDir empty;
    r = runCli(empty, {"convert", "2", "0"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "アルバムがありません\n");
    r = runCli(empty, {"replace", "2", "a", "b"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "アルバムがありません\n");
}

TEST_F(CliExchange, Errors)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string missingFolder = (other / "no" / "x.dat").string();
    const Case cases[] = {
        {{"export", "dat", missingFolder}, "存在しないディレクトリです\n"},
        {{"export", "dat", (other / "x").string(), "--albums", "4"}, "存在しないアルバム番号です: 4\n"},
        {{"export", "dat", (other / "x").string(), "--albums", "2-1"},
         "アルバム番号の指定が正しくありません: 2-1\n"},
        {{"export", "dat", (other / "x").string(), "--albums", "1,"},
         "アルバム番号の指定が正しくありません: 1,\n"},
        {{"export", "csv", (other / "x").string(), "--enclose", "😀"},
         "「😀」(U+1F600) は保存できない文字です。\n"},
        {{"export", "dat", other.path().string()}, "ファイルに保存できませんでした。"},
        {{"import", (other / "none.csv").string(), "--csv"}, "存在しないファイルです\n"},
        {{"import", other.path().string(), "--dat"}, "ファイルを読み込めませんでした。"},
        {{"import", (other / "none.csv").string()}, "使い方"},
        {{"import", (other / "none.csv").string(), "--dat", "--csv"}, "使い方"},
        {{"export", "html2", "x"}, "使い方"},
        {{"copy", "6", "--albums", "1"}, "使い方"},
        {{"copy", "2", "--albums", "1"}, "曲番号 (1-99) を --song で指定してください\n"},
        {{"copy", "5", "--albums", "1", "--song", "100"}, "曲番号 (1-99) を --song で指定してください\n"},
        {{"copy", "0", "--bogus"}, "不明なオプションです: --bogus\n"},
        {{"copy", "0", "--albums"}, "オプションの値がありません: --albums\n"},
    };
    for (const Case& c : cases) {
        Result r = runCli(dir, c.args);
        EXPECT_EQ(r.code, 2) << c.args[0] << " " << c.args[1];
        EXPECT_TRUE(r.err.starts_with(c.message)) << r.err;
    }

    // An empty catalogue shows no album to export.
    TempDir empty;
    Result r = runCli(empty, {"export", "csv", (other / "x.csv").string()});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "表示されているアルバムがありません\n");
    EXPECT_FALSE(std::filesystem::exists(other / "x.csv"));
}

}  // namespace
}  // namespace velmora::cli
