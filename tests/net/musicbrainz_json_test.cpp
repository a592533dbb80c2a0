// Parsing the disc lookup's JSON answers into plain releases.
#include <gtest/gtest.h>

#include "net/musicbrainz_json.h"
#include "support/musicbrainz_answers.h"

namespace velmora::net {
namespace {

using test::MbRelease;

TEST(MusicBrainzJson, OneReleaseWithCreditsLabelsAndTracks)
{
    MbRelease release{
        QStringLiteral("3f1c2d4e-0000-4000-8000-000000000001"),
        QStringLiteral("夜明け"),
        {{QStringLiteral("Aさん"), QStringLiteral(" feat. ")}, {QStringLiteral("B"), QString()}},
        QStringLiteral("1999-04-01"),
        QStringLiteral("JP"),
        {{QStringLiteral("Label"), QStringLiteral("ABC-123")}, {QStringLiteral("Only Label"), QString()}},
        {{{QStringLiteral("disc-1")},
          {{QStringLiteral("One"), {}}, {QStringLiteral("Two"), {{QStringLiteral("Guest"), QString()}}}}}}};
    const ParsedReleases parsed = parseDiscidAnswer(test::mbDiscAnswer(QStringLiteral("disc-1"), {release}));
    ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
    ASSERT_EQ(parsed.releases.size(), 1u);
    const discdata::ReleaseInfo& r = parsed.releases.front();
    EXPECT_EQ(r.id, "3f1c2d4e-0000-4000-8000-000000000001");
    EXPECT_EQ(r.title, "夜明け");
    EXPECT_EQ(r.artist, "Aさん feat. B");
    EXPECT_EQ(r.date, "1999-04-01");
    EXPECT_EQ(r.country, "JP");
    EXPECT_EQ(r.labels, (std::vector<std::string>{"Label / ABC-123", "Only Label"}));
    ASSERT_EQ(r.media.size(), 1u);
    EXPECT_EQ(r.media[0].format, "CD");
    EXPECT_EQ(r.media[0].discIds, (std::vector<std::string>{"disc-1"}));
    ASSERT_EQ(r.media[0].tracks.size(), 2u);
    EXPECT_EQ(r.media[0].tracks[0].title, "One");
    EXPECT_EQ(r.media[0].tracks[0].artist, "Aさん feat. B");
    EXPECT_EQ(r.media[0].tracks[1].artist, "Guest");
}

TEST(MusicBrainzJson, SeveralReleasesMultiDiscAndTableOfContentsAnswers)
{
    MbRelease single{QStringLiteral("a0000000-0000-4000-8000-000000000001"),
                     QStringLiteral("Single"),
                     {{QStringLiteral("X"), QString()}},
                     {},
                     {},
                     {},
                     {{{QStringLiteral("d")}, test::mbTracks(3)}}};
    MbRelease box{
        QStringLiteral("a0000000-0000-4000-8000-000000000002"),
        QStringLiteral("Box"),
        {{QStringLiteral("X"), QString()}},
        QStringLiteral("2001"),
        QStringLiteral("GB"),
        {},
        {{{QStringLiteral("other")}, test::mbTracks(5)}, {{QStringLiteral("d")}, test::mbTracks(3)}}};
    const ParsedReleases parsed = parseDiscidAnswer(test::mbDiscAnswer(QStringLiteral("d"), {single, box}));
    ASSERT_TRUE(parsed.ok);
    ASSERT_EQ(parsed.releases.size(), 2u);
    EXPECT_EQ(parsed.releases[1].media.size(), 2u);
    EXPECT_EQ(parsed.releases[1].media[1].discIds.front(), "d");
    EXPECT_EQ(parsed.releases[1].media[1].position, 2);

    // An answer found through the table of contents lists releases without
    // the disc; no release at all is a valid, empty answer.
    const ParsedReleases byToc = parseDiscidAnswer(
        R"({"release-count":1,"release-offset":0,"releases":[{"id":"r","title":"T",)"
        R"("media":[{"format":"CD","tracks":[{"title":"","recording":{"title":"From recording"}}]}]}]})");
    ASSERT_TRUE(byToc.ok);
    EXPECT_EQ(byToc.releases[0].media[0].tracks[0].title, "From recording");
    const ParsedReleases none = parseDiscidAnswer(R"({"release-count":0,"release-offset":0,"releases":[]})");
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.releases.empty());
}

TEST(MusicBrainzJson, BarcodeDiscLengthsAndTheArtistsJapaneseReading)
{
    // Shaped as the service answers with inc=aliases: the credited artist
    // carries its aliases; only the primary Japanese one is a reading.
    const QByteArray answer = R"({"id":"d","releases":[{"id":"r1","title":"T","barcode":"4988005190009",
        "artist-credit":[{"name":"スピッツ","joinphrase":"","artist":{"id":"a","name":"スピッツ",
          "sort-name":"Spitz","aliases":[
            {"name":"Spitz","sort-name":"Spitz, The","locale":"en","primary":true},
            {"name":"すぴっつ","sort-name":"すぴっつ","locale":"ja","primary":false},
            {"name":"スピッツ","sort-name":"スピッツ","locale":"ja","primary":true}]}}],
        "media":[{"position":1,"format":"CD","discs":[{"id":"d","sectors":258725,"offset-count":15}],
          "tracks":[]}]},
      {"id":"r2","title":"U","artist-credit":[{"name":"B","artist":{"name":"B"}}],"media":[]}]})";
    const ParsedReleases parsed = parseDiscidAnswer(answer);
    ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
    ASSERT_EQ(parsed.releases.size(), 2u);
    const discdata::ReleaseInfo& r = parsed.releases[0];
    EXPECT_EQ(r.barcode, "4988005190009");
    EXPECT_EQ(r.artistReadings, (std::vector<std::string>{"スピッツ", "Spitz"}));
    ASSERT_EQ(r.media.size(), 1u);
    EXPECT_EQ(r.media[0].discSectors, (std::vector<std::int64_t>{258725}));
    EXPECT_TRUE(parsed.releases[1].artistReadings.empty());
    EXPECT_EQ(parsed.releases[1].barcode, "");
}

TEST(MusicBrainzJson, BrokenAnswersAreErrorsNotPartialLists)
{
    const QByteArray whole =
        test::mbDiscAnswer(QStringLiteral("d"), {{QStringLiteral("r1"),
                                                  QStringLiteral("T"),
                                                  {{QStringLiteral("X"), QString()}},
                                                  {},
                                                  {},
                                                  {},
                                                  {{{QStringLiteral("d")}, test::mbTracks(12)}}}});
    const QByteArray broken[] = {
        "",
        "not json",
        "[]",
        R"({"id":"d"})",
        R"({"releases":{}})",
        R"({"releases":[1,2]})",
        R"({"releases":[{"title":"no id"}]})",
        R"({"releases":[{"id":"r","media":[{"tracks":[1]}]}]})",
        R"({"releases":[{"id":"r","media":{"tracks":[]}}]})",
        // Fields of the wrong kind: a number for a title, an object for a
        // credit, a track title that is a list.
        R"({"releases":[{"id":"r","title":42}]})",
        R"({"releases":[{"id":"r","title":"T","artist-credit":{"name":"X"}}]})",
        R"({"releases":[{"id":"r","title":"T","artist-credit":[{"name":7}]}]})",
        R"({"releases":[{"id":"r","title":"T","artist-credit":["X"]}]})",
        R"({"releases":[{"id":"r","media":[{"tracks":[{"title":["a"]}]}]}]})",
        R"({"releases":[{"id":"r","media":[{"tracks":[{"title":"a","artist-credit":{"name":"X"}}]}]}]})",
        whole.left(whole.size() / 2),
        whole.left(whole.size() - 1),
    };
    for (const QByteArray& json : broken) {
        const ParsedReleases parsed = parseDiscidAnswer(json);
        EXPECT_FALSE(parsed.ok) << json.toStdString();
        EXPECT_TRUE(parsed.releases.empty());
        EXPECT_EQ(parsed.error, QStringLiteral("MusicBrainzの応答を読み取れません。"));
    }
    EXPECT_TRUE(parseDiscidAnswer(whole).ok);
    // Missing and null fields are the service's way of saying "unknown".
    const ParsedReleases sparse = parseDiscidAnswer(
        R"({"releases":[{"id":"r","title":"T","date":null,"barcode":null,"country":null}]})");
    ASSERT_TRUE(sparse.ok) << sparse.error.toStdString();
    EXPECT_EQ(sparse.releases.front().artist, "");
    EXPECT_EQ(serviceErrorText(R"({"error":"Not Found","help":"..."})"), QStringLiteral("Not Found"));
}

}  // namespace
}  // namespace velmora::net
