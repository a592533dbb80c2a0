#include "store/settings.h"

#include <gtest/gtest.h>

#include "store/list_files.h"
#include "store/profile.h"
#include "support/temp_dir.h"
#include "text/cp932.h"

namespace velmora::store {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

// The values a settings file without any of the keys gives.
Settings keyDefaults()
{
    Settings s;
    s.form = {1, 1, 775, 640};
    s.panelWidth = 417;
    s.memoForm = {447, 228, 558, 750};
    s.internetChecks = {true, true, false, false, false, false};
    s.editForm = {253, 122, 652, 576};
    s.playerForm = {305, 118, 368, 428};
    return s;
}

Settings readSettings(std::string_view file)
{
    Settings settings;
    settings.readFrom(ProfileFile::parse(file));
    return settings;
}

// What the save writes for the design values, line by line.
constexpr std::u16string_view kNewFile[] = {
    u"[Form]",
    u"Left=370",
    u"Top=136",
    u"Width=732",
    u"Height=694",
    u"Caption=Velmora",
    u"Version=2000",
    u"[MPanel]",
    u"Width=368",
    u"Memo1Caption=ジャンル",
    u"Memo2Caption=メディア",
    u"Memo3Caption=メモ",
    u"[AlbumGrid]",
    u"FontName=ＭＳ Ｐゴシック",
    u"FontSize=9",
    u"FontColor=-2147483640",
    u"FontBold=0",
    u"FontItalic=0",
    u"Color=16777215",
    u"ColWidth0=50",
    u"ColWidth1=150",
    u"ColWidth2=150",
    u"ColWidth3=50",
    u"ColWidth4=50",
    u"ColWidth5=50",
    u"ColWidth6=50",
    u"ColWidth7=50",
    u"[SongGrid]",
    u"ColWidth0=50",
    u"ColWidth1=150",
    u"ColWidth2=150",
    u"ColWidth3=150",
    u"[MemoForm]",
    u"Left=489",
    u"Top=325",
    u"Width=602",
    u"Height=624",
    u"MemoFontName=ＭＳ Ｐゴシック",
    u"MemoFontSize=9",
    u"MemoFontColor=-2147483640",
    u"MemoFontBold=0",
    u"MemoFontItalic=0",
    u"MemoColor=16777215",
    u"[Internet]",
    u"Check0=0",
    u"Check1=0",
    u"Check2=0",
    u"Check3=0",
    u"Check4=0",
    u"Check5=0",
    u"[Media]",
    u"CDDrive=1",
    u"[EditForm]",
    u"Left=277",
    u"Top=139",
    u"Width=690",
    u"Height=613",
    u"SongGridColWidth1=150",
    u"SongGridColWidth2=150",
    u"SongGridColWidth3=150",
    u"[MediaPlayerForm]",
    u"Left=275",
    u"Top=125",
    u"Width=368",
    u"Height=428",
    u"ListFontSize=9",
    u"ListFontColor=-2147483640",
    u"ListColor=16777215",
    u"ListFontBold=0",
    u"ListFontItalic=0",
    u"[HTML]",
    u"G=1",
    u"j=1",
    u"Media=1",
    u"Memo=1",
    u"Song=1",
    u"MediaFile=1",
    u"Contents=1",
    u"FileCopy=0",
    u"Pass=0",
    u"FolderName=files",
    u"Title=",
    u"H1=",
};

TEST(Settings, DesignValuesWithoutAFile)
{
    const Settings s;
    EXPECT_EQ(s.form, (WindowGeometry{370, 136, 732, 694}));
    EXPECT_EQ(s.panelWidth, 368);
    EXPECT_EQ(s.captions, (std::array<std::string, 3>{sjis(u"ジャンル"), sjis(u"メディア"), sjis(u"メモ")}));
    EXPECT_EQ(s.albumFont, (FontStyle{sjis(u"ＭＳ Ｐゴシック"), 9, -2147483640, false, false}));
    EXPECT_EQ(s.albumColor, 16777215);
    EXPECT_EQ(s.memoForm, (WindowGeometry{489, 325, 602, 624}));
    EXPECT_EQ(s.editForm, (WindowGeometry{277, 139, 690, 613}));
    EXPECT_EQ(s.playerForm, (WindowGeometry{275, 125, 368, 428}));
    EXPECT_EQ(s.internetChecks, (std::array<bool, 6>{}));
    EXPECT_EQ(s.cdDrive, 1);
    EXPECT_EQ(s.html, (std::array<bool, 8>{true, true, true, true, true, true, true, false}));
    EXPECT_EQ(s.htmlFolderName, "files");
}

TEST(Settings, MissingKeysGiveTheKeyDefaults)
{
    EXPECT_EQ(readSettings(""), keyDefaults());
    Settings expected = keyDefaults();
    expected.form.width = 500;  // the window makes it 732, not the settings
    EXPECT_EQ(readSettings("[Form]\r\nWidth=500\r\n"), expected);
    expected.form.width = 775;
    EXPECT_EQ(readSettings("[Form]\r\nWidth=wide\r\n"), expected) << "not a number";
}

TEST(Settings, EveryValueRoundTrips)
{
    Settings s;
    s.form = {-5, 7, 900, 700};
    s.panelWidth = 400;
    s.captions = {sjis(u"分類"), "\x87\x90\xFF", " blank "};
    s.albumFont = {sjis(u"ＭＳ ゴシック"), 11, 255, true, false};
    s.albumColor = -16777211;
    s.albumColumnWidths = {1, 2, 3, 4, 5, 6, 7, 8};
    s.songColumnWidths = {9, 10, 11, 12};
    s.memoForm = {1, 2, 3, 4};
    s.memoFont = {sjis(u"ＭＳ 明朝"), 12, 65280, false, true};
    s.memoColor = 0;
    s.internetChecks = {false, true, true, false, true, false};
    s.cdDrive = 3;
    s.editForm = {5, 6, 7, 8};
    s.editSongColumnWidths = {100, 200, 300};
    s.playerForm = {9, 10, 11, 12};
    s.listFont.size = 14;
    s.listFont.color = 16711680;
    s.listFont.bold = true;
    s.listFont.italic = true;
    s.listColor = 12345;
    s.html = {false, false, true, false, true, false, true, true};
    s.htmlPass = 1;
    s.htmlFolderName = "media";
    s.htmlTitle = sjis(u"私のCD");
    s.htmlH1 = "\"quoted\"";

    ProfileFile ini;
    s.writeTo(ini);
    EXPECT_EQ(readSettings(ini.serialize()), s);
}

TEST(Settings, TheSongListStyleIsReadButNotWritten)
{
    Settings s = readSettings("[SongGrid]\r\nFontBold=1\r\nFontItalic=$1\r\n");
    EXPECT_TRUE(s.songFontBold);
    EXPECT_TRUE(s.songFontItalic);

    ProfileFile fresh;
    s.writeTo(fresh);
    EXPECT_FALSE(readSettings(fresh.serialize()).songFontBold);

    ProfileFile kept = ProfileFile::parse("[SongGrid]\r\nFontBold=1\r\n");
    Settings{}.writeTo(kept);
    EXPECT_EQ(kept.readString("SongGrid", "FontBold"), "1");
}

TEST(Settings, TheInternetItemsDefaultOnOnlyWithAFile)
{
    EXPECT_EQ(Settings{}.internetChecks, (std::array<bool, 6>{}));
    EXPECT_EQ(readSettings("[Form]\r\n").internetChecks,
              (std::array<bool, 6>{true, true, false, false, false, false}));
    EXPECT_EQ(readSettings("[Internet]\r\nCheck0=0\r\nCheck5=1\r\n").internetChecks,
              (std::array<bool, 6>{false, true, false, false, false, true}));
}

TEST(Settings, TheFirstCategorySwitchUnderEitherName)
{
    for (const char* file : {"[HTML]\r\nJ=0\r\n", "[html]\r\nj=0\r\n", "[HTML]\r\nJ=0\r\nj=1\r\n"}) {
        Settings s = readSettings(file);
        EXPECT_FALSE(s.html[kHtmlCategory1]) << file;
        EXPECT_TRUE(s.html[kHtmlPicture]) << file;

        ProfileFile ini = ProfileFile::parse(file);
        s.writeTo(ini);
        const std::string text = ini.serialize();
        const std::size_t at = text.find("j=0\r\n");
        EXPECT_NE(at, std::string::npos) << file;
        EXPECT_EQ(text.find("j=", at + 1), std::string::npos) << file;
        EXPECT_EQ(text.find("J="), std::string::npos) << file;
    }
}

TEST(Settings, BothSystemColourFormsAreTheWindowTextColour)
{
    const Settings s = readSettings(
        "[AlbumGrid]\r\nFontColor=-2147483640\r\n[MemoForm]\r\nMemoFontColor=-16777208\r\n"
        "[MediaPlayerForm]\r\nListFontColor=0x80000008\r\nListColor=$FF000005\r\n");
    for (std::int32_t color : {s.albumFont.color, s.memoFont.color, s.listFont.color}) {
        EXPECT_TRUE(isSystemColor(color)) << color;
        EXPECT_EQ(systemColorIndex(color), kSystemColorWindowText) << color;
        EXPECT_TRUE(sameColor(color, kWindowTextColor)) << color;
    }
    EXPECT_FALSE(sameColor(s.listColor, kWindowTextColor));
    EXPECT_EQ(systemColorIndex(s.listColor), 5);
    EXPECT_FALSE(isSystemColor(kWhiteColor));
    EXPECT_TRUE(sameColor(kWhiteColor, 16777215));
    EXPECT_FALSE(sameColor(8, kWindowTextColor)) << "a plain colour is never a system colour";

    ProfileFile ini;
    s.writeTo(ini);
    EXPECT_EQ(ini.readString("MemoForm", "MemoFontColor"), "-16777208") << "written back in its own form";
}

TEST(Settings, ANewFileHoldsEveryKeyInOrder)
{
    std::u16string expected;
    for (std::u16string_view line : kNewFile) {
        expected += line;
        expected += u"\r\n";
    }
    ProfileFile ini;
    Settings{}.writeTo(ini);
    EXPECT_EQ(ini.serialize(), sjis(expected));
}

TEST(Settings, WhatTheProgramDoesNotKnowStaysInPlace)
{
    ProfileFile ini = ProfileFile::parse(
        "; my notes\r\n[form]\r\nleft=10\r\nMine=1\r\n\r\n[Plugin]\r\nx=y\r\n[HTML]\r\nJ=0\r\nExtra=e\r\n");
    Settings s;
    s.readFrom(ini);
    s.writeTo(ini);
    const std::string text = ini.serialize();
    EXPECT_TRUE(text.starts_with(
        "; my notes\r\n[form]\r\nLeft=10\r\nMine=1\r\nTop=1\r\nWidth=775\r\nHeight=640\r\nCaption=Velmora\r\n"
        "Version=2000\r\n\r\n[Plugin]\r\nx=y\r\n"
        "[HTML]\r\nj=0\r\nExtra=e\r\nG=1\r\nMedia=1\r\nMemo=1\r\nSong=1\r\nMediaFile=1\r\nContents=1\r\n"
        "FileCopy=0\r\nPass=0\r\nFolderName=files\r\nTitle=\r\nH1=\r\n[MPanel]\r\nWidth=417\r\n"))
        << text;
    EXPECT_TRUE(text.ends_with("ListFontBold=0\r\nListFontItalic=0\r\n"))
        << "new sections in order at the end";

    ProfileFile again = ProfileFile::parse(text);
    Settings second;
    second.readFrom(again);
    second.writeTo(again);
    EXPECT_EQ(again.serialize(), text) << "a second save changes nothing";
}

TEST(Settings, ToolPageWidth)
{
    struct Case {
        int stored, window, expected;
    };
    for (const Case& c : std::initializer_list<Case>{{730, 732, 724},
                                                     {723, 732, 724},
                                                     {722, 732, 722},
                                                     {700, 732, 700},
                                                     {20, 25, 20},
                                                     {21, 25, 17}}) {
        EXPECT_EQ(toolPageWidth(c.stored, c.window), c.expected) << c.stored << " in " << c.window;
    }
}

TEST(SettingsFile, LoadAndSaveKeepTheUsersAdditions)
{
    TempDir dir;
    const std::filesystem::path file = dir / "VLM.ini";
    Settings s;
    FileError error;
    EXPECT_EQ(loadSettingsFile(file, s, &error), LoadStatus::Missing);
    EXPECT_EQ(s, Settings{}) << "design values stay";

    writeBytes(file, "[Form]\nWidth=800\n[Mine]\nnote=\x87\x90\n");
    EXPECT_EQ(loadSettingsFile(file, s, &error), LoadStatus::Loaded);
    EXPECT_EQ(s.form.width, 800);
    EXPECT_EQ(s.form.left, 1);
    s.form.left = 50;
    ASSERT_TRUE(saveSettingsFile(file, s, &error));
    const std::string text = readBytes(file);
    EXPECT_TRUE(text.starts_with("[Form]\r\nWidth=800\r\nLeft=50\r\nTop=1\r\nHeight=640\r\n")) << text;
    EXPECT_NE(text.find("[Mine]\r\nnote=\x87\x90\r\n[MPanel]"), std::string::npos) << text;

    const std::filesystem::path folder = dir / "folder";
    std::filesystem::create_directory(folder);
    EXPECT_EQ(loadSettingsFile(folder, s, &error), LoadStatus::Unreadable);
    EXPECT_EQ(error.path, folder.string());
    error = {};
    EXPECT_FALSE(saveSettingsFile(folder, s, &error));
    EXPECT_EQ(error.path, folder.string());
}

// List files.

std::vector<std::string> entries(std::initializer_list<const char*> items)
{
    return {items.begin(), items.end()};
}

TEST(ListFiles, MissingFilesGiveTheBuiltInLists)
{
    TempDir dir;
    FileError error;
    EXPECT_FALSE(readListFile(dir / "VLM1.txt", &error).has_value());
    EXPECT_TRUE(error.path.empty()) << "missing is no error";

    ListFiles lists;
    lists.genres = {"old"};
    lists.siteNames = {"old"};
    ASSERT_TRUE(lists.loadAll(dir.path(), &error));
    EXPECT_EQ(lists, ListFiles{});
    EXPECT_TRUE(lists.genres.empty());
    EXPECT_TRUE(lists.media.empty());
    EXPECT_TRUE(lists.memoChoices.empty());
    EXPECT_TRUE(lists.htmlComments.empty());
    EXPECT_EQ(lists.siteNames, (std::vector<std::string>{sjis(u"サイト名"), sjis(u"google（日本語)"), "HMV",
                                                         "Tower Records"}));
    EXPECT_EQ(lists.siteNames[1], "google\x81\x69\x93\xFA\x96\x7B\x8C\xEA)") << "full-width ( and ASCII )";
    EXPECT_EQ(lists.siteHeads, (std::vector<std::string>{
                                   sjis(u"先頭"), "http://www.google.co.jp/search?num=50&lr=lang_ja&q=",
                                   "http://www.hmv.co.jp/search/title.asp?category=KEYWORDS&keyword=",
                                   "http://tower.jp/sitemap/CSfSearchResults.jsp?keyword=AllKey&entry="}));
    EXPECT_EQ(lists.siteTails, (std::vector<std::string>{sjis(u"最後"), "", "",
                                                         "&GOODS_SORT_CD=101&SEARCH_GENRE=ALL&x=16&y=10"}));
    EXPECT_EQ(builtInSites().names, lists.siteNames);
}

TEST(ListFiles, AFileReplacesItsListWhole)
{
    TempDir dir;
    writeBytes(dir / "ISU1.txt", "");
    writeBytes(dir / "ISU2.txt", "head\r\n");
    ListFiles lists;
    ASSERT_TRUE(lists.loadAll(dir.path(), nullptr));
    EXPECT_TRUE(lists.siteNames.empty()) << "an empty file is an empty list, not the built-in one";
    EXPECT_EQ(lists.siteHeads, entries({"head"}));
    EXPECT_EQ(lists.siteTails, builtInSites().tails);
}

TEST(ListFiles, LineEndsAndBytes)
{
    TempDir dir;
    struct Case {
        const char* bytes;
        std::vector<std::string> expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"", {}},
             {"a", {"a"}},
             {"a\r\n", {"a"}},
             {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
             {"a\r\n\r\nb\r\n", {"a", "", "b"}},
             {"\r\n", {""}},
             {"\n\r", {"", ""}},
             {"\x87\x90\r\n\xFF\x80\r\n\x81", {"\x87\x90", "\xFF\x80", "\x81"}},
         }) {
        writeBytes(dir / "list.txt", c.bytes);
        EXPECT_EQ(readListFile(dir / "list.txt", nullptr), c.expected) << c.bytes;
    }
}

TEST(ListFiles, WritingAndReadingBack)
{
    TempDir dir;
    FileError error;
    ASSERT_TRUE(writeListFile(dir / "VLM1.txt", {}, &error));
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "");
    EXPECT_EQ(readListFile(dir / "VLM1.txt", &error), std::vector<std::string>{});

    const std::vector<std::string> items = entries({"CD", "", "\x87\x90\xFF", "last"});
    ASSERT_TRUE(writeListFile(dir / "VLM2.txt", items, &error));
    EXPECT_EQ(readBytes(dir / "VLM2.txt"), "CD\r\n\r\n\x87\x90\xFF\r\nlast\r\n");
    EXPECT_EQ(readListFile(dir / "VLM2.txt", &error), items);
    EXPECT_EQ(dir.entryCount(), 2u) << "no temporary file left";
}

TEST(ListFiles, SaveAllWritesEachListToItsFile)
{
    TempDir dir;
    ListFiles lists;
    auto all = lists.all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        *all[i] = {std::string(kListFileNames[i])};
    }
    lists.genres.clear();
    ASSERT_TRUE(lists.saveAll(dir.path(), nullptr));
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "");
    for (std::size_t i = 1; i < all.size(); ++i) {
        EXPECT_EQ(readBytes(dir / kListFileNames[i]), std::string(kListFileNames[i]) + "\r\n");
    }
    ListFiles again;
    ASSERT_TRUE(again.loadAll(dir.path(), nullptr));
    EXPECT_EQ(again, lists);
}

TEST(ListFiles, TheSaveStopsAtTheFirstFileItCannotWrite)
{
    TempDir dir;
    for (std::string_view name : kListFileNames) {
        writeBytes(dir / name, "old\r\n");
    }
    std::filesystem::remove(dir / "ISU2.txt");
    std::filesystem::create_directory(dir / "ISU2.txt");
    ListFiles lists;
    FileError error;
    EXPECT_FALSE(lists.saveAll(dir.path(), &error));
    EXPECT_EQ(error.path, (dir / "ISU2.txt").string());
    EXPECT_FALSE(error.reason.empty());
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "");
    EXPECT_EQ(readBytes(dir / "ISU1.txt").substr(0, 4), "\x83\x54\x83\x43") << "written: サイ...";
    EXPECT_EQ(readBytes(dir / "ISU3.txt"), "old\r\n");
    EXPECT_EQ(readBytes(dir / "HT.txt"), "old\r\n");

    // Reading: the folder counts as absent, the others still load.
    error = {};
    ListFiles loaded;
    EXPECT_FALSE(loaded.loadAll(dir.path(), &error));
    EXPECT_EQ(error.path, (dir / "ISU2.txt").string());
    EXPECT_EQ(loaded.siteHeads, builtInSites().heads);
    EXPECT_EQ(loaded.siteTails, entries({"old"}));
}

TEST(ListFiles, TheSettingsFileComesBeforeTheLists)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "VLM.ini");
    writeBytes(dir / "VLM1.txt", "old\r\n");
    FileError error;
    EXPECT_FALSE(saveSettingsAndLists(dir.path(), Settings{}, ListFiles{}, &error));
    EXPECT_EQ(error.path, (dir / "VLM.ini").string());
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "old\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "VLM2.txt"));

    std::filesystem::remove(dir / "VLM.ini");
    ASSERT_TRUE(saveSettingsAndLists(dir.path(), Settings{}, ListFiles{}, &error));
    EXPECT_TRUE(readBytes(dir / "VLM.ini").starts_with("[Form]\r\nLeft=370\r\n"));
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "");
    EXPECT_EQ(dir.entryCount(), 8u);
}

}  // namespace
}  // namespace velmora::store
