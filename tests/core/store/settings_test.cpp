#include <gtest/gtest.h>

#include "store/app_settings.h"
#include "store/ini_file.h"
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
}  // namespace velmora::store
