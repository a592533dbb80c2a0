#include <gtest/gtest.h>

#include "core/store/app_settings.h"
#include "core/store/ini_file.h"
#include "core/text/cp932.h"
#include "support/temp_dir.h"

namespace velmora::store {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

TEST(IniFile, ReadsLikeTheProfileFunctions)
{
    IniFile ini = IniFile::parse(
        "; comment\r\n[form]\r\n WIDTH = 500 \r\nHex=0x1F\r\nhex2=$ff\r\nBig=0x80000008\r\nNeg=-16777208\r\n"
        "Word=abc\r\nEmpty=\r\nQuoted=\"a b\"\r\nWidth=1\r\n[Other]\r\nWidth=7\r\n");
    EXPECT_EQ(ini.readInt("Form", "Width", 0), 500) << "case-blind names, first key wins, blanks ignored";
    EXPECT_EQ(ini.readInt("FORM", "hex", 0), 31);
    EXPECT_EQ(ini.readInt("Form", "Hex2", 0), 255);
    EXPECT_EQ(ini.readInt("Form", "Big", 0), -2147483640);
    EXPECT_EQ(ini.readInt("Form", "Neg", 0), -16777208);
    EXPECT_EQ(ini.readInt("Form", "Word", 42), 42);
    EXPECT_EQ(ini.readInt("Form", "Empty", 42), 42);
    EXPECT_EQ(ini.readInt("Form", "Missing", 42), 42);
    EXPECT_EQ(ini.read("Form", "Quoted"), "a b");
    EXPECT_EQ(ini.readInt("Other", "Width", 0), 7);
    EXPECT_TRUE(ini.readBool("Form", "Hex", false));
    EXPECT_FALSE(ini.read("Nowhere", "Width").has_value());
    for (auto [text, value] : std::initializer_list<std::pair<const char*, int>>{
             {"12", 12}, {"-3", -3}, {" 7 ", 7}, {"0X1f", 31}}) {
        EXPECT_EQ(parseProfileInt(text), value) << text;
    }
    EXPECT_FALSE(parseProfileInt("12abc").has_value());
}

TEST(IniFile, WritingKeepsWhatItDoesNotKnow)
{
    IniFile ini = IniFile::parse("[Mine]\r\nnote=keep me\r\n\r\n[Form]\r\nleft=5\r\nCustom=1\r\n");
    ini.writeInt("Form", "Left", 9);
    ini.writeInt("Form", "Top", 3);
    ini.write("New", "Key", "v");
    EXPECT_EQ(ini.serialize(),
              "[Mine]\r\nnote=keep me\r\n\r\n[Form]\r\nLeft=9\r\nCustom=1\r\nTop=3\r\n[New]\r\nKey=v\r\n");
}

TEST(AppSettings, OnlyWidthGivenMeansDefaultsElsewhere)
{
    AppSettings settings;
    EXPECT_EQ(settings.form.left, 370) << "design value without a file";
    EXPECT_TRUE(settings.internetChecks[0] && settings.internetChecks[1] && !settings.internetChecks[2])
        << "without a file the web search starts as with a file that lacks the keys";
    settings.readFrom(IniFile::parse("[Form]\r\nWidth=500\r\n"));
    EXPECT_EQ(settings.form.width, 500);
    EXPECT_EQ(settings.form.left, 1);
    EXPECT_EQ(settings.form.height, 640);
    EXPECT_EQ(settings.panelWidth, 417);
    EXPECT_EQ(settings.captions[2], sjis(u"メモ"));
    EXPECT_EQ(settings.albumFont.name, sjis(u"ＭＳ Ｐゴシック"));
    EXPECT_EQ(settings.albumFont.color, -2147483640);
    EXPECT_TRUE(settings.internetChecks[0]);
    EXPECT_TRUE(settings.internetChecks[1]);
    EXPECT_FALSE(settings.internetChecks[2]);
    EXPECT_EQ(settings.editForm.width, 652);
    EXPECT_EQ(settings.htmlFolderName, "files");
    EXPECT_FALSE(settings.html[7]);
}

TEST(AppSettings, TheHtmlCategorySwitchUnderEitherName)
{
    for (const char* line : {"[HTML]\r\nJ=0\r\n", "[html]\r\nj=0\r\n"}) {
        AppSettings settings;
        settings.readFrom(IniFile::parse(line));
        EXPECT_FALSE(settings.html[1]) << line;
        IniFile ini = IniFile::parse(line);
        settings.writeTo(ini);
        const std::string text = ini.serialize();
        EXPECT_NE(text.find("j=0\r\n"), std::string::npos);
        EXPECT_EQ(text.find("J="), std::string::npos);
    }
    EXPECT_EQ(isSystemColor(-2147483640), true);
    EXPECT_EQ(systemColorIndex(-2147483640), systemColorIndex(-16777208));
    EXPECT_EQ(toolPageWidth(730, 732), 724);
    EXPECT_EQ(toolPageWidth(700, 732), 700);
}

TEST(AppSettings, ANewFileListsEveryKeyInOrder)
{
    AppSettings settings;
    IniFile ini;
    settings.writeTo(ini);
    const std::string text = ini.serialize();
    EXPECT_TRUE(
        text.starts_with("[Form]\r\nLeft=370\r\nTop=136\r\nWidth=732\r\nHeight=694\r\nCaption=Velmora\r\n"
                         "Version=2000\r\n[MPanel]\r\nWidth=368\r\nMemo1Caption="));
    std::size_t previous = 0;
    for (const char* section : {"[AlbumGrid]", "[SongGrid]", "[MemoForm]", "[Internet]", "[Media]",
                                "[EditForm]", "[MediaPlayerForm]", "[HTML]"}) {
        std::size_t at = text.find(section);
        EXPECT_GT(at, previous) << section;
        previous = at;
    }
    EXPECT_EQ(text.find("FontBold=", text.find("[SongGrid]")),
              text.find("FontBold=", text.find("[MemoForm]")))
        << "the song list's bold and italic are read only";

    AppSettings again;
    again.readFrom(IniFile::parse(text));
    again.internetChecks = settings.internetChecks;
    IniFile second;
    again.writeTo(second);
    EXPECT_EQ(second.serialize(), text);
}

TEST(ListFiles, BuiltInSitesEmptyListsAndSaveOrder)
{
    TempDir dir;
    ListFiles lists;
    ASSERT_TRUE(lists.load(dir.path(), nullptr));
    ASSERT_EQ(lists.siteNames.size(), 4u);
    EXPECT_EQ(lists.siteNames[1], sjis(u"google（日本語)"));
    EXPECT_TRUE(lists.siteHeads[1].ends_with("/search?num=50&lr=lang_ja&q="));
    EXPECT_EQ(lists.siteTails[3], "&GOODS_SORT_CD=101&SEARCH_GENRE=ALL&x=16&y=10");

    lists.genres.clear();
    lists.media = {"CD", "\x87\x90"};
    ASSERT_TRUE(lists.save(dir.path(), nullptr));
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "");
    EXPECT_EQ(readBytes(dir / "VLM2.txt"), "CD\r\n\x87\x90\r\n");
    writeBytes(dir / "ISU1.txt", "a\rb\nc");
    ListFiles again;
    ASSERT_TRUE(again.load(dir.path(), nullptr));
    EXPECT_TRUE(again.genres.empty()) << "an empty file is an empty list";
    EXPECT_EQ(again.media, lists.media);
    EXPECT_EQ(again.siteNames, (std::vector<std::string>{"a", "b", "c"}));

    // The save stops at the first file it cannot write.
    std::filesystem::remove(dir / "ISU2.txt");
    std::filesystem::create_directory(dir / "ISU2.txt");
    writeBytes(dir / "ISU3.txt", "old");
    FileError error;
    again.siteTails = {"new"};
    EXPECT_FALSE(again.save(dir.path(), &error));
    EXPECT_EQ(error.path, (dir / "ISU2.txt").string());
    EXPECT_EQ(readBytes(dir / "ISU3.txt"), "old");
}

}  // namespace
TEST(IniFile, EveryValueReadsBackAsWritten)
{
    const std::string values[] = {"\"My CDs\"",
                                  "\"\"",
                                  "\"",
                                  "\"\"My CDs\"\"",
                                  " padded ",
                                  "\ttab",
                                  "end\t",
                                  "\"a\" b \"c\"",
                                  "x\"",
                                  "\"x",
                                  "",
                                  "=",
                                  "a=b",
                                  " \" ",
                                  sjis(u"\"ジャンル\""),
                                  "[Form]",
                                  "; not a comment"};
    IniFile ini = IniFile::parse("[HTML]\r\nTitle=old\r\n");
    for (const std::string& value : values) {
        ini.write("HTML", "Title", value);
        IniFile back = IniFile::parse(ini.serialize());
        EXPECT_EQ(back.read("HTML", "Title"), value) << value;
        // And once more: the file does not drift.
        back.write("HTML", "Title", *back.read("HTML", "Title"));
        EXPECT_EQ(back.serialize(), ini.serialize()) << value;
    }
    EXPECT_EQ(storedValue("\"My CDs\""), "\"\"My CDs\"\"");
    EXPECT_EQ(storedValue("My CDs"), "My CDs") << "plain values stay unquoted";
    EXPECT_EQ(storedValue("a\r\nb"), "ab") << "a value stays on its line";
}

TEST(AppSettings, QuotedTitlesSurviveSaveAndLoadCycles)
{
    TempDir dir;
    writeBytes(dir / "VLM.ini", "[HTML]\r\nTitle=\"\"My CDs\"\"\r\nH1=\" spaced \"\r\n");
    for (int cycle = 0; cycle < 3; ++cycle) {
        AppSettings settings;
        ASSERT_TRUE(loadSettingsFile(dir / "VLM.ini", settings));
        EXPECT_EQ(settings.htmlTitle, "\"My CDs\"") << "cycle " << cycle;
        EXPECT_EQ(settings.htmlH1, " spaced ") << "cycle " << cycle;
        ASSERT_TRUE(saveSettingsFile(dir / "VLM.ini", settings, nullptr));
    }
    EXPECT_NE(readBytes(dir / "VLM.ini").find("Title=\"\"My CDs\"\"\r\n"), std::string::npos);
}

TEST(AppSettings, TagEncodingOfTheFolderScan)
{
    AppSettings settings;
    EXPECT_EQ(settings.tagEncoding, 0);
    settings.readFrom(IniFile::parse("[FileScan]\r\nTagEncoding=2\r\n"));
    EXPECT_EQ(settings.tagEncoding, 2);
    IniFile written;
    settings.writeTo(written);
    EXPECT_EQ(written.readInt("FileScan", "TagEncoding", -1), 2);
    settings.readFrom(IniFile::parse("[FileScan]\r\nTagEncoding=7\r\n"));
    EXPECT_EQ(settings.tagEncoding, 0) << "an unknown value means automatic";
}

TEST(AppSettings, NumbersOutOfRangeAreClampedWhenReadAndWritten)
{
    AppSettings settings;
    settings.readFrom(IniFile::parse(
        "[Form]\r\nLeft=2147483647\r\nTop=-2147483648\r\nWidth=100000\r\nHeight=0\r\n"
        "[MPanel]\r\nWidth=-7\r\n[AlbumGrid]\r\nFontSize=0x7FFFFFFF\r\nColWidth2=999999\r\nColWidth3=-1\r\n"
        "[SongGrid]\r\nColWidth0=70000\r\n[MemoForm]\r\nWidth=-100\r\nMemoFontSize=-3\r\n"
        "[Media]\r\nCDDrive=-1\r\n[EditForm]\r\nLeft=-99999\r\nSongGridColWidth1=123456\r\n"
        "[MediaPlayerForm]\r\nHeight=2147483647\r\nListFontSize=0\r\n[HTML]\r\nPass=7\r\n"));
    EXPECT_EQ(settings.form.left, kMaxWindowPosition);
    EXPECT_EQ(settings.form.top, -kMaxWindowPosition);
    EXPECT_EQ(settings.form.width, kMaxWindowSize);
    EXPECT_EQ(settings.form.height, kMinWindowSize);
    EXPECT_EQ(settings.panelWidth, 0);
    EXPECT_EQ(settings.albumFont.size, kMaxFontSize);
    EXPECT_EQ(settings.albumColumnWidths[2], kMaxWindowSize);
    EXPECT_EQ(settings.albumColumnWidths[3], 0);
    EXPECT_EQ(settings.songColumnWidths[0], kMaxWindowSize);
    EXPECT_EQ(settings.memoForm.width, kMinWindowSize);
    EXPECT_EQ(settings.memoFont.size, kMinFontSize);
    EXPECT_EQ(settings.cdDrive, 0);
    EXPECT_EQ(settings.editForm.left, -kMaxWindowPosition);
    EXPECT_EQ(settings.editSongColumnWidths[0], kMaxWindowSize);
    EXPECT_EQ(settings.playerForm.height, kMaxWindowSize);
    EXPECT_EQ(settings.listFont.size, kMinFontSize);
    EXPECT_EQ(settings.htmlPass, 0) << "only 1 picks relative links";
    EXPECT_EQ(settings.form.left + settings.form.width, kMaxWindowPosition + kMaxWindowSize)
        << "no overflow in the geometry";

    // Values set in memory are written clamped as well; colours are kept.
    settings.form.left = -2147483647;
    settings.albumFont.color = static_cast<std::int32_t>(0x80000008);
    IniFile written;
    settings.writeTo(written);
    EXPECT_EQ(written.readInt("Form", "Left", 0), -kMaxWindowPosition);
    EXPECT_EQ(written.readInt("Form", "Width", 0), kMaxWindowSize);
    EXPECT_EQ(written.readInt("AlbumGrid", "FontColor", 0), -2147483640);

    AppSettings design;
    IniFile ordinary;
    design.writeTo(ordinary);
    AppSettings reread;
    reread.readFrom(ordinary);
    EXPECT_EQ(reread.form.left, design.form.left) << "values in range stay as they are";
    EXPECT_EQ(reread.albumColumnWidths, design.albumColumnWidths);
}

}  // namespace velmora::store
