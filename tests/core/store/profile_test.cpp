#include "store/profile.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace velmora::store {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

TEST(ProfileFile, NamesAreComparedWithoutLetterCase)
{
    const ProfileFile ini = ProfileFile::parse("[Form]\r\nWidth=500\r\n[html]\r\nj=0\r\n");
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    for (const Case& c : std::initializer_list<Case>{{"Form", "Width", "500"},
                                                     {"FORM", "width", "500"},
                                                     {"form", "WIDTH", "500"},
                                                     {"HTML", "J", "0"},
                                                     {"Html", "j", "0"},
                                                     {"Form", "Widt", std::nullopt},
                                                     {"Forms", "Width", std::nullopt},
                                                     {"HTML", "Width", std::nullopt}}) {
        EXPECT_EQ(ini.readString(c.section, c.key), c.value) << c.section << " " << c.key;
    }
}

TEST(ProfileFile, DoubleByteNamesMatchByteForByte)
{
    // 0x83 0x41 and 0x83 0x61 are two katakana: their second bytes are no
    // letters, so they differ although "A" and "a" would not.
    const ProfileFile ini = ProfileFile::parse("[\x83\x41]\r\n\x83\x41=1\r\n[\x83\x5D]\r\nk=2\r\n");
    EXPECT_EQ(ini.readString("\x83\x41", "\x83\x41"), "1");
    EXPECT_FALSE(ini.readString("\x83\x61", "\x83\x41").has_value());
    EXPECT_FALSE(ini.readString("\x83\x41", "\x83\x61").has_value());
    EXPECT_EQ(ini.readString("\x83\x5D", "k"), "2") << "a bracket byte inside a character closes nothing";
}

TEST(ProfileFile, BlanksQuotesAndDuplicates)
{
    const ProfileFile ini = ProfileFile::parse(
        "Top=lost\r\n"
        "[ Form ]\r\n"
        "  Left =  5  \r\n"
        "Left=6\r\n"
        "Quoted=\" a b \"\r\n"
        "Single='x'\r\n"
        "Half=\"x\r\n"
        "Empty=\r\n"
        "; Top=7\r\n"
        "no key line\r\n"
        "=8\r\n"
        "[Form]\r\n"
        "Top=9\r\n");
    EXPECT_EQ(ini.readString("Form", "Left"), "5") << "the first key wins";
    EXPECT_EQ(ini.readString("Form", "Quoted"), " a b ");
    EXPECT_EQ(ini.readString("Form", "Single"), "x");
    EXPECT_EQ(ini.readString("Form", "Half"), "\"x");
    EXPECT_EQ(ini.readString("Form", "Empty"), "");
    EXPECT_FALSE(ini.readString("Form", "Top").has_value()) << "comments, and only the first section";
    EXPECT_FALSE(ini.readString("Form", "").has_value());
    EXPECT_FALSE(ini.readString("Form", "no key line").has_value());
}

TEST(ProfileFile, IntegersInDecimalOrHexadecimal)
{
    struct Case {
        const char* text;
        std::int32_t value;
    };
    constexpr std::int32_t kDefault = 42;
    for (const Case& c : std::initializer_list<Case>{
             {"12", 12},
             {"-3", -3},
             {"+4", 4},
             {" 7 ", 7},
             {"\"7\"", 7},
             {"0", 0},
             {"0x1F", 31},
             {"0X1f", 31},
             {"$FF", 255},
             {"$ff", 255},
             {"0x80000008", -2147483640},
             {"0xFF000008", -16777208},
             {"-16777208", -16777208},
             {"-2147483648", INT32_MIN},
             {"2147483656", -2147483640},
             {"4294967295", -1},
             {"abc", kDefault},
             {"", kDefault},
             {"12abc", kDefault},
             {"1 2", kDefault},
             {"-", kDefault},
             {"0x", kDefault},
             {"$", kDefault},
             {"0x1G", kDefault},
             {"-0x10", kDefault},
             {"0x100000000", kDefault},
             {"4294967296", kDefault},
             {"-2147483649", kDefault},
         }) {
        const ProfileFile ini = ProfileFile::parse("[S]\r\nK=" + std::string(c.text) + "\r\n");
        EXPECT_EQ(ini.readInt("S", "K", kDefault), c.value) << c.text;
    }
    EXPECT_EQ(ProfileFile().readInt("S", "K", kDefault), kDefault);
}

TEST(ProfileFile, BooleansAndColours)
{
    const ProfileFile ini = ProfileFile::parse(
        "[S]\r\nOne=1\r\nZero=0\r\nTwo=2\r\nMinus=-1\r\nWord=yes\r\nOld=-2147483640\r\nNew=-16777208\r\n"
        "Hex=0x80000008\r\nWhite=16777215\r\n");
    EXPECT_TRUE(ini.readBool("S", "One", false));
    EXPECT_FALSE(ini.readBool("S", "Zero", true));
    EXPECT_TRUE(ini.readBool("S", "Two", false));
    EXPECT_TRUE(ini.readBool("S", "Minus", false));
    EXPECT_TRUE(ini.readBool("S", "Word", true));
    EXPECT_FALSE(ini.readBool("S", "Word", false));
    EXPECT_TRUE(ini.readBool("S", "Missing", true));
    EXPECT_EQ(ini.readColor("S", "Old", 0), -2147483640);
    EXPECT_EQ(ini.readColor("S", "New", 0), -16777208);
    EXPECT_EQ(ini.readColor("S", "Hex", 0), -2147483640);
    EXPECT_EQ(ini.readColor("S", "White", 0), 16777215);
}

TEST(ProfileFile, LinesItDoesNotKnowAreKeptAsTheyAre)
{
    const std::string text =
        "; top comment\r\n"
        "stray=before any section\r\n"
        "\r\n"
        "[Mine]\r\n"
        "  odd  =  spacing  \r\n"
        "\x87\x90\xFF=\x81\r\n"
        "no equals sign\r\n"
        "[Form\r\n";
    EXPECT_EQ(ProfileFile::parse(text).serialize(), text);
    EXPECT_EQ(ProfileFile::parse("[A]\nk=v\rx=y").serialize(), "[A]\r\nk=v\r\nx=y\r\n");
    EXPECT_EQ(ProfileFile().serialize(), "");
}

TEST(ProfileFile, WritingReplacesInPlaceAndAppendsWhatIsNew)
{
    ProfileFile ini = ProfileFile::parse(
        "[Mine]\r\nnote=keep me\r\n\r\n"
        "[Form]\r\n left = 5\r\nCustom=1\r\nLEFT=6\r\n; about the next section\r\n\r\n"
        "[Empty]\r\n");
    ini.writeInt("Form", "Left", 9);
    ini.writeInt("Form", "Top", -3);
    ini.writeBool("Form", "Flag", true);
    ini.writeString("Empty", "Key", "v");
    ini.writeString("New", "Text", "\x83\x5C");
    EXPECT_EQ(ini.serialize(),
              "[Mine]\r\nnote=keep me\r\n\r\n"
              "[Form]\r\nLeft=9\r\nCustom=1\r\nTop=-3\r\nFlag=1\r\n; about the next section\r\n\r\n"
              "[Empty]\r\nKey=v\r\n"
              "[New]\r\nText=\x83\x5C\r\n");
}

TEST(ProfileFile, WrittenValuesReadBack)
{
    for (const char* value : {"", " lead", "trail\t", "\"quoted\"", "'single'", "\"", "a=b", "\x81"}) {
        ProfileFile ini;
        ini.writeString("S", "K", value);
        EXPECT_EQ(ProfileFile::parse(ini.serialize()).readString("S", "K"), value) << value;
    }
    ProfileFile ini;
    ini.writeString("S", "K", "one\r\ntwo");
    EXPECT_EQ(ini.serialize(), "[S]\r\nK=one  two\r\n") << "a value is one line";
}

TEST(ProfileFile, LoadAndSave)
{
    TempDir dir;
    ProfileFile ini = ProfileFile::parse("[Old]\r\n");
    FileError error;
    ASSERT_TRUE(ini.load(dir / "VLM.ini", &error)) << "a missing file is an empty profile";
    EXPECT_FALSE(ini.exists());
    EXPECT_EQ(ini.serialize(), "");

    ini.writeInt("Form", "Width", 500);
    ASSERT_TRUE(ini.save(dir / "VLM.ini", &error));
    EXPECT_EQ(readBytes(dir / "VLM.ini"), "[Form]\r\nWidth=500\r\n");
    EXPECT_EQ(dir.entryCount(), 1u);

    ProfileFile again;
    ASSERT_TRUE(again.load(dir / "VLM.ini", &error));
    EXPECT_TRUE(again.exists());
    EXPECT_EQ(again.readInt("form", "width", 0), 500);

    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_FALSE(again.load(dir / "folder.ini", &error));
    EXPECT_EQ(error.path, (dir / "folder.ini").string());
    EXPECT_FALSE(error.reason.empty());
    EXPECT_FALSE(again.save(dir / "folder.ini", nullptr));
}

}  // namespace
}  // namespace velmora::store
