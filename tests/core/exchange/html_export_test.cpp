#include "core/exchange/html_export.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/store/album_table.h"
#include "core/store/app_settings.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "core/text/cp932.h"
#include "support/child_process.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace velmora::exchange {
namespace {

namespace fs = std::filesystem;
using store::AlbumTable;
using test::dataLine;
using test::dataLineWith;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

using test::sj;
using test::utf8;

std::vector<std::string> utf8Lines(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        out.push_back(utf8(line));
    }
    return out;
}

// A table over data-file lines given as UTF-8; row 0 is the reserved row.
AlbumTable tableOf(std::initializer_list<std::initializer_list<std::pair<int, std::string_view>>> albums)
{
    auto text = std::make_shared<std::string>(dataLine({}) + "\r\n");
    for (const auto& cells : albums) {
        *text += sj(dataLineWith(cells)) + "\r\n";
    }
    AlbumTable table;
    table.assignLines(text, store::splitLines(*text));
    return table;
}

// Only the blocks of the albums: the lines after "<br><br>" up to the footer.
std::vector<std::string> albumLines(const std::vector<std::string>& page)
{
    std::vector<std::string> lines = utf8Lines(page);
    auto begin = std::find(lines.begin(), lines.end(), "<br><br>");
    auto end = std::find(lines.begin(), lines.end(), "</body>");
    return std::vector<std::string>(begin + 1, end);
}

HtmlOptions plainOptions()
{
    HtmlOptions options;
    options.contents = false;
    options.category1 = false;
    options.category2 = false;
    options.memo = false;
    return options;
}

bool contains(const std::vector<std::string>& lines, std::string_view line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(HtmlPage, WholePageOfOneAlbum)
{
    AlbumTable table = tableOf({{{store::ArtistColumn, "アーティスト"},
                                 {store::AlbumColumn, "アルバム"},
                                 {store::Category1Column, "ロック"},
                                 {store::Category2Column, "CD"},
                                 {store::Category3Column, "一行目{}二行目"},
                                 {store::songTitleColumn(1), "曲"},
                                 {store::songArtistColumn(1), "歌手"},
                                 {store::FuriganaColumn, "あーてぃすと"}}});
    HtmlOptions options;
    options.title = sj("題");
    options.heading = sj("見出し");
    options.comments = {sj("<b>ようこそ</b>")};
    options.headLines = {"<link rel=\"icon\" href=\"i.png\">"};
    options.footLines = {"<p>end</p>"};
    const std::vector<std::string> expected = {
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
        "\"http://www.w3.org/TR/html4/loose.dtd\">",
        "<html lang=\"ja\">",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
        "<title>題</title>",
        "<META NAME=\"GENERATOR\" CONTENT=\"Velmora Ver.2\">",
        "<style TYPE=\"text/css\">",
        "<!--",
        "body {margin:5% 10% }",
        "h1 {border-bottom-style:solid }",
        "h2 {border-left-style:solid }",
        "h3 {}",
        "div.cd {padding:1% ;border-style:solid ;border-width:thin medium }",
        "-->",
        "</style>",
        "<link rel=\"icon\" href=\"i.png\">",
        "</head>",
        "<body>",
        "<h1><a name=\"top\">見出し</a></h1>",
        "<b>ようこそ</b><br>",
        "<h2>Contents</h2>",
        "/ <a href=\"#ｱ\">ｱ</a>",
        "<br>アルバム数: 1",
        "<br><br>",
        "<h2><a name=\"ｱ\">ｱ</a></h2>",
        "<div class=\"cd\">",
        "<h3>アーティスト / アルバム</h3>",
        "<br>ジャンル  ロック",
        "<br>メディア  CD",
        "<br>メモ  ",
        "<br>一行目",
        "<br>二行目",
        "<hr>",
        "<br>1; 曲 / 歌手",
        "</div>",
        "<p>end</p>",
        "</body>",
        "</html>",
    };
    EXPECT_EQ(utf8Lines(htmlPageLines(table, {1}, options, {})), expected);
}

TEST(HtmlPage, BytesEndEveryLineWithCrLf)
{
    EXPECT_EQ(htmlPageBytes({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(htmlPageBytes({}), "");
}

TEST(HtmlPage, MissingPictureGivesNoImage)
{
    TempDir dir;
    const std::string missing = (dir / "none.jpg").string();
    AlbumTable table = tableOf({{{store::ImagePathColumn, missing}}});
    HtmlOptions options = plainOptions();
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, options, {}));
    EXPECT_EQ(lines, (std::vector<std::string>{"<div class=\"cd\">", "<h3> / </h3>", "</div>"}));

    options.copyFiles = true;
    lines = albumLines(htmlPageLines(table, {1}, options, dir / "files"));
    EXPECT_EQ(lines, (std::vector<std::string>{"<div class=\"cd\">", "<h3> / </h3>", "</div>"}));
}

TEST(HtmlPage, ExistingPictureLinksTheStoredPath)
{
    TempDir dir;
    writeBytes(dir / "cover.jpg", "jpg");
    const std::string path = (dir / "cover.jpg").string();
    AlbumTable table = tableOf({{{store::ImagePathColumn, path}}});
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, plainOptions(), {}));
    EXPECT_TRUE(contains(lines, "<img src=\"" + path + "\" alt=\"\" height=\"100\" width=\"100\">"));

    HtmlOptions noPictures = plainOptions();
    noPictures.picture = false;
    lines = albumLines(htmlPageLines(table, {1}, noPictures, {}));
    EXPECT_EQ(lines.size(), 3u);
}

TEST(HtmlPage, BackslashesInStoredPathsBecomeSlashes)
{
    TempDir dir;
    fs::create_directory(dir / "cd");
    writeBytes(dir / "cd" / "a.jpg", "jpg");
    std::string stored = dir.path().string() + "\\cd\\a.jpg";
    AlbumTable table = tableOf({{{store::ImagePathColumn, stored}}});
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, plainOptions(), {}));
    EXPECT_TRUE(contains(lines, "<img src=\"" + dir.path().string() +
                                    "/cd/a.jpg\" alt=\"\" height=\"100\" "
                                    "width=\"100\">"));
}

TEST(HtmlPage, LinkPathsAreAddresses)
{
    TempDir dir;
    writeBytes(dir / "a#1 & b%.mp3", "mp3");
    const std::string path = (dir / "a#1 & b%.mp3").string();
    AlbumTable table = tableOf({{{store::songTitleColumn(1), "s"}, {store::mediaColumn(1), path}}});
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, plainOptions(), {}));
    EXPECT_TRUE(contains(lines, "<br>1; <a href=\"" + dir.path().string() + "/a%231 &amp; b%25.mp3\">s</a>"));
}

TEST(HtmlPage, FileUriCellsLinkAndCopyTheFileTheyName)
{
    // A name Shift-JIS cannot hold is stored as a file: URI.
    TempDir dir;
    writeBytes(dir / "caf\xc3\xa9.mp3", "mp3");
    writeBytes(dir / "\xe2\x88\x92.jpg", "jpg");
    const std::string song = "file://" + dir.path().string() + "/caf%C3%A9.mp3";
    const std::string picture = "file://" + dir.path().string() + "/%E2%88%92.jpg";
    AlbumTable table = tableOf({{{store::ImagePathColumn, picture},
                                 {store::songTitleColumn(1), "s"},
                                 {store::mediaColumn(1), song},
                                 {store::songTitleColumn(2), "gone"},
                                 {store::mediaColumn(2), song + "x"}}});
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, plainOptions(), {}));
    EXPECT_TRUE(contains(lines, "<br>1; <a href=\"" + song + "\">s</a>"));
    EXPECT_TRUE(contains(lines, "<br>2; gone"));
    EXPECT_TRUE(contains(lines, "<img src=\"" + picture + "\" alt=\"\" height=\"100\" width=\"100\">"));

    HtmlOptions copying = plainOptions();
    copying.copyFiles = true;
    const std::vector<HtmlFileCopy> copies = htmlFileCopies(table, {1}, copying, dir / "files");
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].source, dir / "\xe2\x88\x92.jpg");
    EXPECT_EQ(copies[1].source, dir / "caf\xc3\xa9.mp3");
    EXPECT_EQ(copies[1].target, dir / "files" / "1_1.mp3");
}

TEST(HtmlPage, SongsUpToTheLastUsedSlot)
{
    AlbumTable table = tableOf({{{store::songTitleColumn(1), "一"},
                                 {store::songTitleColumn(2), "二"},
                                 {store::songArtistColumn(5), "五の人"}}});
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, plainOptions(), {}));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"<div class=\"cd\">", "<h3> / </h3>", "<hr>", "<br>1; 一",
                                        "<br>2; 二", "<br>3; ", "<br>4; ", "<br>5;  / 五の人", "</div>"}));

    HtmlOptions noSongs = plainOptions();
    noSongs.songs = false;
    EXPECT_EQ(albumLines(htmlPageLines(table, {1}, noSongs, {})).size(), 3u);
    // No song at all: no rule either.
    AlbumTable empty = tableOf({{}});
    EXPECT_EQ(albumLines(htmlPageLines(empty, {1}, plainOptions(), {})).size(), 3u);
}

TEST(HtmlPage, CdReferenceGivesAnUnlinkedTitle)
{
    AlbumTable table = tableOf({{{store::songTitleColumn(1), "曲"}, {store::mediaColumn(1), "CD1"}}});
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, plainOptions(), {}));
    EXPECT_TRUE(contains(lines, "<br>1; 曲"));
}

TEST(HtmlPage, ExistingMediaFileIsLinkedUnlessLinksAreOff)
{
    TempDir dir;
    writeBytes(dir / "1.mp3", "mp3");
    const std::string path = (dir / "1.mp3").string();
    AlbumTable table = tableOf({{{store::songTitleColumn(1), "曲"},
                                 {store::mediaColumn(1), path},
                                 {store::songTitleColumn(2), "無"},
                                 {store::mediaColumn(2), (dir / "2.mp3").string()}}});
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, plainOptions(), {}));
    EXPECT_TRUE(contains(lines, "<br>1; <a href=\"" + path + "\">曲</a>"));
    EXPECT_TRUE(contains(lines, "<br>2; 無"));

    HtmlOptions noLinks = plainOptions();
    noLinks.mediaLinks = false;
    lines = albumLines(htmlPageLines(table, {1}, noLinks, {}));
    EXPECT_TRUE(contains(lines, "<br>1; 曲"));
}

TEST(HtmlPage, MemoPieces)
{
    auto memoLines = [](std::string_view memo) {
        AlbumTable table = tableOf({{{store::Category3Column, memo}}});
        HtmlOptions options = plainOptions();
        options.memo = true;
        std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, options, {}));
        return std::vector<std::string>(lines.begin() + 3, lines.end() - 1);
    };
    EXPECT_EQ(memoLines("a{}{}b"), (std::vector<std::string>{"<br>a", "<br>", "<br>b"}));
    EXPECT_EQ(memoLines("a{}"), (std::vector<std::string>{"<br>a"}));
    EXPECT_EQ(memoLines("{}"), (std::vector<std::string>{"<br>"}));
    EXPECT_EQ(memoLines(""), (std::vector<std::string>{}));
}

TEST(HtmlPage, FixedCategoryLabels)
{
    AlbumTable table = tableOf({{{store::Category1Column, "j"}, {store::Category2Column, "m"}}});
    HtmlOptions options = plainOptions();
    options.category1 = true;
    options.category2 = true;
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {1}, options, {}));
    EXPECT_EQ(lines, (std::vector<std::string>{"<div class=\"cd\">", "<h3> / </h3>", "<br>ジャンル  j",
                                               "<br>メディア  m", "</div>"}));
}

std::vector<std::string> sectionsOf(const std::vector<std::string>& page)
{
    std::vector<std::string> out;
    for (const std::string& line : utf8Lines(page)) {
        if (line.starts_with("<h2><a name=")) {
            out.push_back(line);
        }
    }
    return out;
}

TEST(HtmlPage, SectionsByInitial)
{
    AlbumTable table = tableOf({{{store::FuriganaColumn, "がく"}},
                                {{store::FuriganaColumn, "かさ"}},
                                {{store::FuriganaColumn, "ｂｅａｔ"}},
                                {{store::FuriganaColumn, "Bass"}},
                                {{store::FuriganaColumn, ""}}});
    HtmlOptions options = plainOptions();
    options.contents = true;
    std::vector<std::string> page = htmlPageLines(table, {1, 2, 3, 4, 5}, options, {});
    EXPECT_EQ(sectionsOf(page),
              (std::vector<std::string>{"<h2><a name=\"ｶ\">ｶ</a></h2>", "<h2><a name=\"B\">B</a></h2>",
                                        "<h2><a name=\"他\">他</a></h2>"}));
    std::vector<std::string> lines = utf8Lines(page);
    EXPECT_TRUE(contains(lines, "/ <a href=\"#ｶ\">ｶ</a>/ <a href=\"#B\">B</a>/ <a href=\"#他\">他</a>"));
    EXPECT_TRUE(contains(lines, "<br>アルバム数: 5"));
    // "Top" before every section but the first.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "<a href=\"#top\">Top</a><br>"), 2);
    const auto firstSection = std::find(lines.begin(), lines.end(), "<h2><a name=\"ｶ\">ｶ</a></h2>");
    EXPECT_EQ(*(firstSection - 1), "<br><br>");
}

TEST(HtmlPage, UnsortedListOpensASectionAgain)
{
    AlbumTable table = tableOf({{{store::FuriganaColumn, "あ"}},
                                {{store::FuriganaColumn, "い"}},
                                {{store::FuriganaColumn, "アイ"}}});
    HtmlOptions options = plainOptions();
    options.contents = true;
    std::vector<std::string> lines = utf8Lines(htmlPageLines(table, {1, 2, 3}, options, {}));
    EXPECT_TRUE(contains(lines, "/ <a href=\"#ｱ\">ｱ</a>/ <a href=\"#ｲ\">ｲ</a>/ <a href=\"#ｱ\">ｱ</a>"));
}

TEST(HtmlPage, ListOrderAndRepeats)
{
    AlbumTable table = tableOf({{{store::ArtistColumn, "one"}}, {{store::ArtistColumn, "two"}}});
    std::vector<std::string> lines = albumLines(htmlPageLines(table, {2, 1, 2, 9}, plainOptions(), {}));
    std::vector<std::string> heads;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(heads),
                 [](const std::string& l) { return l.starts_with("<h3>"); });
    EXPECT_EQ(heads, (std::vector<std::string>{"<h3>two / </h3>", "<h3>one / </h3>", "<h3>two / </h3>"}));
    EXPECT_TRUE(
        contains(utf8Lines(htmlPageLines(table, {2, 1, 2}, plainOptions(), {})), "<br>アルバム数: 3"));
}

TEST(HtmlPage, CatalogueTextsAreEscaped)
{
    AlbumTable table = tableOf({{{store::ArtistColumn, "A&B"},
                                 {store::AlbumColumn, "Rock & Roll <Live>"},
                                 {store::Category1Column, "<script>x</script>"},
                                 {store::Category3Column, "\"q\"{}<i>"},
                                 {store::songTitleColumn(1), "<b>"},
                                 {store::songArtistColumn(1), "&amp;"},
                                 {store::FuriganaColumn, "<x"}}});
    HtmlOptions options;
    options.title = "T&<>\"";
    options.heading = "<h1>";
    options.comments = {"<b>bold</b>"};
    std::vector<std::string> lines = utf8Lines(htmlPageLines(table, {1}, options, {}));
    EXPECT_TRUE(contains(lines, "<title>T&amp;&lt;&gt;&quot;</title>"));
    EXPECT_TRUE(contains(lines, "<h1><a name=\"top\">&lt;h1&gt;</a></h1>"));
    EXPECT_TRUE(contains(lines, "<b>bold</b><br>"));
    EXPECT_TRUE(contains(lines, "<h3>A&amp;B / Rock &amp; Roll &lt;Live&gt;</h3>"));
    EXPECT_TRUE(contains(lines, "<br>ジャンル  &lt;script&gt;x&lt;/script&gt;"));
    EXPECT_TRUE(contains(lines, "<br>&quot;q&quot;"));
    EXPECT_TRUE(contains(lines, "<br>&lt;i&gt;"));
    EXPECT_TRUE(contains(lines, "<br>1; &lt;b&gt; / &amp;amp;"));
    EXPECT_TRUE(contains(lines, "<h2><a name=\"&lt;\">&lt;</a></h2>"));
    EXPECT_TRUE(contains(lines, "/ <a href=\"#&lt;\">&lt;</a>"));
}

TEST(HtmlPage, DoubleByteTextKeepsItsBytes)
{
    // "ソ" is 83 5C: its second byte is a backslash and must stay one.
    AlbumTable table = tableOf({{{store::AlbumColumn, "ソ表"}}});
    std::vector<std::string> page = htmlPageLines(table, {1}, plainOptions(), {});
    EXPECT_TRUE(contains(page, "<h3> / " + sj("ソ表") + "</h3>"));
}

TEST(HtmlPreview, TenSampleAlbums)
{
    std::vector<std::string> lines = utf8Lines(htmlPreviewLines(HtmlOptions{}));
    EXPECT_TRUE(contains(lines, "<br>アルバム数: 10"));
    EXPECT_TRUE(
        contains(lines,
                 "/ <a href=\"#0\">0</a>/ <a href=\"#1\">1</a>/ <a href=\"#2\">2</a>/ <a href=\"#3\">3</a>"
                 "/ <a href=\"#4\">4</a>/ <a href=\"#5\">5</a>/ <a href=\"#6\">6</a>/ <a href=\"#7\">7</a>"
                 "/ <a href=\"#8\">8</a>/ <a href=\"#9\">9</a>"));
    EXPECT_TRUE(contains(lines, "<h3>アーティスト3 / アルバム3</h3>"));
    EXPECT_TRUE(contains(lines, "<img src=\"画像ファイル3\" alt=\"\" height=\"100\" width=\"100\">"));
    EXPECT_TRUE(contains(lines, "<br>ジャンル  ここにジャンル情報が入ります"));
    EXPECT_TRUE(contains(lines, "<br>メディア  ここにメディア情報が入ります"));
    EXPECT_TRUE(contains(lines, "<br>プレヴュー3です。"));
    EXPECT_TRUE(
        contains(lines, "<br>11; <a href=\"メディアファイル11\">曲名11</a> / 曲ごとのアーティスト名11"));
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("<img"); }),
        10);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("<a href=\"メ") != std::string::npos; }),
              110);
}

TEST(HtmlPreview, FollowsTheOptions)
{
    HtmlOptions options;
    options.picture = false;
    options.mediaLinks = false;
    options.contents = false;
    options.copyFiles = true;
    options.pass = 1;
    std::vector<std::string> lines = utf8Lines(htmlPreviewLines(options));
    EXPECT_FALSE(contains(lines, "<h2>Contents</h2>"));
    EXPECT_TRUE(contains(lines, "<br>11; 曲名11 / 曲ごとのアーティスト名11"));
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("<img"); }),
        0);
}

// ---- Copies ------------------------------------------------------------

class HtmlCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(dir / "src");
        writeBytes(dir / "src" / "cover.jpg", "jpg");
        writeBytes(dir / "src" / "three.mp3", "mp3");
        fs::create_directory(dir / "out");
        options = plainOptions();
        options.copyFiles = true;
    }
    AlbumTable table() const
    {
        const std::string cover = (dir / "src" / "cover.jpg").string();
        const std::string three = (dir / "src" / "three.mp3").string();
        return tableOf({{{store::ImagePathColumn, cover},
                         {store::songTitleColumn(1), "CD曲"},
                         {store::mediaColumn(1), "CD1"},
                         {store::songTitleColumn(2), "無"},
                         {store::mediaColumn(2), (dir / "src" / "missing.mp3").string()},
                         {store::songTitleColumn(3), "三"},
                         {store::mediaColumn(3), three}}});
    }
    fs::path page() const { return dir / "out" / "page.html"; }
    std::vector<std::string> pageLines() const
    {
        std::string bytes = readBytes(page());
        std::vector<std::string> lines;
        for (std::string_view line : store::splitLines(bytes)) {
            lines.emplace_back(line);
        }
        return albumLines(lines);
    }

    TempDir dir;
    HtmlOptions options;
};

TEST_F(HtmlCopyTest, RelativeLinksToTheCopies)
{
    options.pass = 1;
    std::vector<std::string> messages;
    ASSERT_TRUE(exportHtmlPage(page(), table(), {1}, options, &messages));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(readBytes(dir / "out" / "files" / "1.jpg"), "jpg");
    EXPECT_EQ(readBytes(dir / "out" / "files" / "1_3.mp3"), "mp3");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out" / "files"), {}), 2);
    std::vector<std::string> lines = pageLines();
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "<div class=\"cd\">", "<h3> / </h3>",
                         "<img src=\"files/1.jpg\" alt=\"\" height=\"100\" width=\"100\">", "<hr>",
                         "<br>1; CD曲", "<br>2; 無", "<br>3; <a href=\"files/1_3.mp3\">三</a>", "</div>"}));
}

TEST_F(HtmlCopyTest, AbsoluteLinksToTheCopies)
{
    std::vector<std::string> messages;
    ASSERT_TRUE(exportHtmlPage(page(), table(), {1}, options, &messages));
    const std::string folder = (dir / "out" / "files").string();
    std::vector<std::string> lines = pageLines();
    EXPECT_TRUE(contains(lines, "<img src=\"" + folder + "/1.jpg\" alt=\"\" height=\"100\" width=\"100\">"));
    EXPECT_TRUE(contains(lines, "<br>3; <a href=\"" + folder + "/1_3.mp3\">三</a>"));
}

TEST_F(HtmlCopyTest, CopiesByPositionInTheList)
{
    AlbumTable t = table();
    const std::vector<HtmlFileCopy> copies = htmlFileCopies(t, {1, 1}, options, dir / "out" / "files");
    ASSERT_EQ(copies.size(), 4u);
    EXPECT_EQ(copies[0].target.filename(), "1.jpg");
    EXPECT_EQ(copies[0].step, 0);
    EXPECT_EQ(copies[1].target.filename(), "2.jpg");
    EXPECT_EQ(copies[1].step, 1);
    EXPECT_EQ(copies[2].target.filename(), "1_3.mp3");
    EXPECT_EQ(copies[2].step, 2);
    EXPECT_EQ(copies[3].target.filename(), "2_3.mp3");
    EXPECT_EQ(copies[3].step, 3);
    EXPECT_EQ(copies[3].sourceText, (dir / "src" / "three.mp3").string());

    HtmlOptions noLinks = options;
    noLinks.mediaLinks = false;
    EXPECT_EQ(htmlFileCopies(t, {1}, noLinks, dir / "out" / "files").size(), 1u);
    HtmlOptions noCopies = options;
    noCopies.copyFiles = false;
    EXPECT_TRUE(htmlFileCopies(t, {1}, noCopies, dir / "out" / "files").empty());
}

TEST_F(HtmlCopyTest, EarlierCopyIsReplaced)
{
    fs::create_directory(dir / "out" / "files");
    writeBytes(dir / "out" / "files" / "1.jpg", "old");
    std::vector<std::string> messages;
    ASSERT_TRUE(exportHtmlPage(page(), table(), {1}, options, &messages));
    EXPECT_EQ(readBytes(dir / "out" / "files" / "1.jpg"), "jpg");
}

TEST_F(HtmlCopyTest, CopyOverItsOwnSource)
{
    // A catalogue that already points at the copies exports again.
    fs::create_directory(dir / "out" / "files");
    writeBytes(dir / "out" / "files" / "1.jpg", "self");
    AlbumTable t = tableOf({{{store::ImagePathColumn, (dir / "out" / "files" / "1.jpg").string()}}});
    std::vector<std::string> messages;
    ASSERT_TRUE(exportHtmlPage(page(), t, {1}, options, &messages));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(readBytes(dir / "out" / "files" / "1.jpg"), "self");
}

TEST_F(HtmlCopyTest, RenameFailureIsReportedAndTheExportGoesOn)
{
    fs::create_directories(dir / "out" / "files" / "1.jpg" / "inside");
    std::vector<std::string> messages;
    ASSERT_TRUE(exportHtmlPage(page(), table(), {1}, options, &messages));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], (dir / "out" / "files" / "1.jpg").string() + "\r\n書き換えに失敗しました。");
    EXPECT_FALSE(fs::exists(dir / "out" / "files" / ".1.jpg.part"));
    EXPECT_EQ(readBytes(dir / "out" / "files" / "1_3.mp3"), "mp3");
}

TEST_F(HtmlCopyTest, CopyFailureIsReported)
{
    HtmlFileCopy copy{dir / "src" / "gone.jpg", dir / "out" / "1.jpg", 0, "gone.jpg"};
    std::string message;
    EXPECT_FALSE(copyLinkedFile(copy, &message));
    EXPECT_TRUE(
        message.starts_with("ファイルをコピーできませんでした。\r\n" + (dir / "src" / "gone.jpg").string()))
        << message;
    EXPECT_FALSE(fs::exists(dir / "out" / "1.jpg"));
}

// A copy onto a drive that fills up (a small tmpfs in a mount namespace of
// a child process; needs the right to mount) says so, and leaves no part.
TEST_F(HtmlCopyTest, AFullDiskIsNamedAsSuch)
{
    writeBytes(dir / "src" / "big.jpg", std::string(256 * 1024, 'j'));
    fs::create_directory(dir / "full");
    const std::string answer =
        test::answerFromChild([&]() -> std::string {
            const std::string full = (dir / "full").string();
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("none", full.c_str(), "tmpfs", 0, "size=64k") != 0) {
                return "skip";
            }
            std::string message;
            const bool copied =
                copyLinkedFile({dir / "src" / "big.jpg", dir / "full" / "1.jpg", 0, "big.jpg"}, &message);
            std::error_code ec;
            return (copied ? "copied" : message) + "|" +
                   std::to_string(std::distance(fs::directory_iterator(dir / "full", ec), {}));
        }).text;
    if (answer == "skip") {
        GTEST_SKIP() << "no right to mount a file system here";
    }
    EXPECT_EQ(answer, "ファイルをコピーできませんでした。\r\n" + (dir / "src" / "big.jpg").string() +
                          "\r\nディスクの空き容量が不足しています。|0");
}

TEST_F(HtmlCopyTest, FolderThatCannotBeCreatedEndsTheExport)
{
    writeBytes(dir / "out" / "files", "a file");
    std::vector<std::string> messages;
    EXPECT_FALSE(exportHtmlPage(page(), table(), {1}, options, &messages));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "フォルダ " + (dir / "out" / "files").string() + "\r\nを作成できませんでした");
    EXPECT_FALSE(fs::exists(page()));
}

TEST_F(HtmlCopyTest, NoFolderWhenNothingIsLinked)
{
    options.picture = false;
    options.mediaLinks = false;
    std::vector<std::string> messages;
    ASSERT_TRUE(exportHtmlPage(page(), table(), {1}, options, &messages));
    EXPECT_FALSE(fs::exists(dir / "out" / "files"));
}

TEST_F(HtmlCopyTest, EmptyFolderNameIsRefusedEvenWithoutCopying)
{
    options.copyFiles = false;
    options.folderName.clear();
    std::vector<std::string> messages;
    EXPECT_FALSE(exportHtmlPage(page(), table(), {1}, options, &messages));
    EXPECT_EQ(messages, (std::vector<std::string>{std::string(kNoFolderNameMessage)}));
    EXPECT_FALSE(fs::exists(page()));
}

TEST_F(HtmlCopyTest, WithoutCopyingTheStoredPathsAreLinked)
{
    options.copyFiles = false;
    options.pass = 1;  // no effect on stored paths
    std::vector<std::string> messages;
    ASSERT_TRUE(exportHtmlPage(page(), table(), {1}, options, &messages));
    EXPECT_FALSE(fs::exists(dir / "out" / "files"));
    std::vector<std::string> lines = pageLines();
    EXPECT_TRUE(contains(lines, "<img src=\"" + (dir / "src" / "cover.jpg").string() +
                                    "\" alt=\"\" height=\"100\" width=\"100\">"));
}

TEST(HtmlOptionsTest, FromTheDataFolder)
{
    TempDir dir;
    writeBytes(dir / "HT.txt", sj("こんにちは") + "\r\n<hr>\r\n");
    store::AppSettings settings;
    settings.html[7] = true;
    settings.htmlPass = 1;
    settings.htmlFolderName = "pics";
    settings.htmlTitle = sj("題");
    store::FileError error;
    ASSERT_TRUE(store::saveSettingsFile(dir / "VLM.ini", settings, &error));
    HtmlOptions options;
    ASSERT_TRUE(loadHtmlOptions(dir.path(), &options, &error));
    EXPECT_TRUE(options.copyFiles);
    EXPECT_EQ(options.pass, 1);
    EXPECT_EQ(options.folderName, "pics");
    EXPECT_EQ(options.title, sj("題"));
    EXPECT_EQ(options.comments, (std::vector<std::string>{sj("こんにちは"), "<hr>"}));
    EXPECT_EQ(htmlLinkFolder(dir / "a.html", options), dir / "pics");
}

TEST(HtmlOptionsTest, ExportWithTheOptionsOfADataFolder)
{
    TempDir dir;
    writeBytes(dir / "HT.txt", "<p>hello</p>\r\n");
    AlbumTable table = tableOf({{{store::ArtistColumn, "a"}}});
    std::vector<std::string> messages;
    ASSERT_TRUE(exportHtmlPage(dir / "page.html", table, {1}, dir.path(), &messages));
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(readBytes(dir / "page.html").find("\r\n<p>hello</p><br>\r\n"), std::string::npos);

    store::AppSettings settings;
    settings.htmlFolderName.clear();
    store::FileError error;
    ASSERT_TRUE(store::saveSettingsFile(dir / "VLM.ini", settings, &error));
    EXPECT_FALSE(exportHtmlPage(dir / "other.html", table, {1}, dir.path(), &messages));
    EXPECT_EQ(messages, (std::vector<std::string>{std::string(kNoFolderNameMessage)}));
}

}  // namespace
}  // namespace velmora::exchange
