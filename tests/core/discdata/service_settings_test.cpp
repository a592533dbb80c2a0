// The two service addresses live in VLM.ini like every other setting.
#include <gtest/gtest.h>

#include "core/store/app_settings.h"
#include "support/temp_dir.h"

namespace velmora::store {
namespace {

TEST(ServiceSettings, DefaultsAreTheServicesAndOwnValuesRoundTrip)
{
    test::TempDir dir;
    AppSettings defaults;
    ASSERT_TRUE(saveSettingsFile(dir / "VLM.ini", defaults, nullptr));
    const std::string written = test::readBytes(dir / "VLM.ini");
    EXPECT_NE(written.find("[MusicBrainz]\r\nServer=https://musicbrainz.org\r\n"
                           "CoverServer=https://coverartarchive.org\r\n"),
              std::string::npos)
        << written;

    // A file without the section gives the services; one with it, its own.
    test::writeBytes(dir / "VLM.ini", "[Form]\r\nLeft=5\r\n");
    AppSettings read;
    read.musicBrainzServer = "stale";
    ASSERT_TRUE(loadSettingsFile(dir / "VLM.ini", read));
    EXPECT_EQ(read.musicBrainzServer, "https://musicbrainz.org");
    EXPECT_EQ(read.coverServer, "https://coverartarchive.org");

    test::writeBytes(dir / "VLM.ini",
                     "[musicbrainz]\r\nserver=http://127.0.0.1:5000\r\nCoverServer=http://mirror\r\n");
    ASSERT_TRUE(loadSettingsFile(dir / "VLM.ini", read));
    EXPECT_EQ(read.musicBrainzServer, "http://127.0.0.1:5000");
    EXPECT_EQ(read.coverServer, "http://mirror");
    ASSERT_TRUE(saveSettingsFile(dir / "VLM.ini", read, nullptr));
    AppSettings again;
    ASSERT_TRUE(loadSettingsFile(dir / "VLM.ini", again));
    EXPECT_EQ(again.musicBrainzServer, "http://127.0.0.1:5000");
    EXPECT_EQ(again.coverServer, "http://mirror");
}

}  // namespace
}  // namespace velmora::store
