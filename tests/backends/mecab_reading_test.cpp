#include "backends/mecab_reading.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::backends {
namespace {

bool installed(const MecabDictionaryPlace& place)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(place.directory) / "sys.dic", ec);
}

TEST(MecabReading, EachInstalledDictionaryReadsNamesAndKeepsLatinAsWritten)
{
    int tried = 0;
    for (const MecabDictionaryPlace& place : knownMecabDictionaries()) {
        if (!installed(place)) {
            continue;
        }
        SCOPED_TRACE(place.name);
        ++tried;
        const MecabReadingDictionary dictionary(place.directory);
        ASSERT_TRUE(dictionary.available()) << dictionary.unavailableMessage();
        EXPECT_TRUE(dictionary.unavailableMessage().empty());
        const std::vector<std::string> tokyo = dictionary.readings("東京事変");
        ASSERT_FALSE(tokyo.empty());
        EXPECT_EQ(tokyo.front(), "トウキョウジヘン");
        const std::vector<std::string> mixed = dictionary.readings("椎名林檎 B'z");
        ASSERT_FALSE(mixed.empty());
        EXPECT_EQ(mixed.front(), "シイナリンゴ B'z");
        EXPECT_TRUE(dictionary.readings("").empty());
    }
    if (tried == 0) {
        GTEST_SKIP() << "no MeCab dictionary is installed";
    }
}

TEST(MecabReading, TheDefaultOpensThePreferredInstalledDictionary)
{
    const MecabReadingDictionary dictionary;
    for (const MecabDictionaryPlace& place : knownMecabDictionaries()) {
        if (installed(place)) {
            EXPECT_EQ(dictionary.directory(), place.directory);
            ASSERT_TRUE(dictionary.available());
            return;
        }
    }
    GTEST_SKIP() << "no MeCab dictionary is installed";
}

TEST(MecabReading, AMissingDictionarySaysSoInOneMessageAndReadsNothing)
{
    const MecabReadingDictionary dictionary("/nonexistent/mecab/dictionary");
    EXPECT_FALSE(dictionary.available());
    EXPECT_NE(dictionary.unavailableMessage().find("読みの辞書"), std::string::npos);
    EXPECT_TRUE(dictionary.readings("東京事変").empty());
}

}  // namespace
}  // namespace velmora::backends
