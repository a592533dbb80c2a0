// velmora-cli's audio CD commands on generated CUE/BIN disc images, and its
// MusicBrainz commands against a local server.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <QCryptographicHash>
#include <cstdlib>

#include "backends/folder_lock.h"
#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "support/audio_files.h"
#include "support/cli_runner.h"
#include "support/disc_images.h"
#include "support/local_http_server.h"
#include "support/musicbrainz_answers.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace velmora::cli {
namespace {

using test::dataLineWith;
using test::runCli;
using test::TempDir;

using test::independentDiscId;
using test::msf;

TEST(CliCd, TocRegisterAndLookupOnADiscImage)
{
    TempDir dir;
    const std::string cue =
        test::writeDiscImage(dir.path(), "disc", {msf(4, 5, 10), msf(3, 0, 0), msf(0, 30, 1)}).string();
    test::CliResult toc = runCli(dir, {"cd", "toc", "--device", cue});
    ASSERT_EQ(toc.code, 0) << toc.err;
    EXPECT_EQ(toc.out, "CD656644\nCD3\nCD" + std::to_string(30 * 256 + 65536) + "\n");

    using store::mediaColumn;
    const std::string album1 = dataLineWith(
        {{store::ArtistColumn, "a"}, {store::FuriganaColumn, "a"}, {store::songTitleColumn(1), "t1"}});
    const std::string album2 = dataLineWith({{store::ArtistColumn, "b"},
                                             {store::FuriganaColumn, "b"},
                                             {store::songArtistColumn(2), "sa2"},
                                             {mediaColumn(1), "/old1.mp3"},
                                             {mediaColumn(4), "/keep4.mp3"}});
    test::writeBytes(dir / "VLM.dat", dataLineWith({}) + "\r\n" + album1 + "\r\n" + album2 + "\r\n");
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", cue}).out, "0\n");

    test::CliResult registered = runCli(dir, {"cd", "register", "2", "--device", cue});
    ASSERT_EQ(registered.code, 0) << registered.err;
    const std::string expected = dataLineWith({{store::ArtistColumn, "b"},
                                               {store::FuriganaColumn, "b"},
                                               {store::songArtistColumn(2), "sa2"},
                                               {mediaColumn(1), "CD656644"},
                                               {mediaColumn(2), "CD3"},
                                               {mediaColumn(3), "CD" + std::to_string(30 * 256 + 65536)},
                                               {mediaColumn(4), "/keep4.mp3"}});
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"),
              dataLineWith({}) + "\r\n" + album1 + "\r\n" + expected + "\r\n");
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", cue}).out, "2\n");

    // The same disc registered to a later album: that one is found.
    ASSERT_EQ(runCli(dir, {"cd", "register", "1", "--device", cue}).code, 0);
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", cue}).out, "2\n");
}

TEST(CliCd, UnreadableImageAndMissingDevice)
{
    TempDir dir;
    test::writeBytes(dir / "garbage.cue", "no disc here\n");
    test::writeBytes(dir / "VLM.dat", dataLineWith({}) + "\r\n" + dataLineWith({{0, "a"}}) + "\r\n");
    const std::string garbage = (dir / "garbage.cue").string();
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", garbage}).out, "-1\n");
    test::CliResult toc = runCli(dir, {"cd", "toc", "--device", garbage});
    EXPECT_EQ(toc.code, 1);
    EXPECT_EQ(toc.err, "読み込めません\n");
    const std::string before = test::readBytes(dir / "VLM.dat");
    EXPECT_EQ(runCli(dir, {"cd", "register", "1", "--device", garbage}).code, 1);
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"), before);

    test::CliResult missing = runCli(dir, {"cd", "lookup", "--device", (dir / "none").string()});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("見つかりません"), std::string::npos);
    EXPECT_EQ(runCli(dir, {"cd", "eject", "--device", garbage}).code, 2);
}

std::string independentFreeDbId(std::int64_t leadout, const std::vector<std::int64_t>& offsets)
{
    auto digitSum = [](std::int64_t n) {
        int sum = 0;
        for (; n > 0; n /= 10) {
            sum += static_cast<int>(n % 10);
        }
        return sum;
    };
    int sum = 0;
    for (std::int64_t offset : offsets) {
        sum += digitSum(offset / 75);
    }
    const std::int64_t seconds = leadout / 75 - offsets.front() / 75;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08x",
                  static_cast<unsigned>(((sum % 0xFF) << 24) | (seconds << 8) | offsets.size()));
    return buffer;
}

// A small picture that decodes (PNG needs no image plugin).
QByteArray pictureBytes()
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

const std::vector<std::int64_t> kDiscTracks = {msf(4, 5, 10), msf(3, 0, 0), msf(0, 30, 1)};
const QString kRelease = QStringLiteral("3f1c2d4e-0000-4000-8000-000000000001");
const QString kOtherRelease = QStringLiteral("3f1c2d4e-0000-4000-8000-000000000002");

class CliFetch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listening());
        cue = test::writeDiscImage(dir.path(), "disc", kDiscTracks).string();
        std::vector<std::int64_t> offsets;
        std::int64_t at = 150;
        for (std::int64_t frames : kDiscTracks) {
            offsets.push_back(at);
            at += frames;
        }
        discId = independentDiscId(1, 3, at, offsets);
        discPath = "/ws/2/discid/" + QByteArray::fromStdString(discId);
        coverPath = "/release/" + kRelease.toLatin1() + "/front-500";
        test::writeBytes(dir / "VLM.ini", "[MusicBrainz]\r\nServer=" + server.address().toStdString() +
                                              "\r\nCoverServer=" + server.address().toStdString() + "\r\n");
        const std::string album1 = dataLineWith({{store::ArtistColumn, "old"},
                                                 {store::AlbumColumn, "old title"},
                                                 {store::Category1Column, "genre"},
                                                 {store::Category3Column, "memo"},
                                                 {store::songTitleColumn(1), "typed"},
                                                 {store::mediaColumn(4), "/keep4.mp3"},
                                                 {store::songTitleColumn(4), "fourth"}});
        test::writeBytes(dir / "VLM.dat", dataLineWith({}) + "\r\n" + album1 + "\r\n");
    }
    test::MbRelease release(const QString& id, const QString& title, std::vector<test::MbMedium> media)
    {
        return {id,
                title,
                {{QStringLiteral("Band"), QString()}},
                QStringLiteral("2001-02-03"),
                QStringLiteral("JP"),
                {{QStringLiteral("Label"), QStringLiteral("CAT-1")}},
                std::move(media)};
    }
    std::vector<test::MbTrack> tracks()
    {
        return {{QStringLiteral("One <> Two"), {}},
                {QStringLiteral("雨の\n歌"), {{QStringLiteral("Guest"), QString()}}},
                {QStringLiteral("{Three}"), {}}};
    }
    store::AlbumTable catalogue()
    {
        store::AlbumTable table;
        store::loadDataFile(dir / "VLM.dat", table);
        return table;
    }

    TempDir dir;
    test::LocalHttpServer server;
    std::string cue;
    std::string discId;
    QByteArray discPath;
    QByteArray coverPath;
};

TEST_F(CliFetch, DiscIdOfAGeneratedImageMatchesAnIndependentComputation)
{
    test::CliResult ids = runCli(dir, {"cd", "discid", "--device", cue});
    ASSERT_EQ(ids.code, 0) << ids.err;
    std::vector<std::int64_t> offsets{150, 150 + kDiscTracks[0], 150 + kDiscTracks[0] + kDiscTracks[1]};
    const std::int64_t leadout = offsets.back() + kDiscTracks[2];
    const std::string toc = "1+3+" + std::to_string(leadout) + "+150+" + std::to_string(offsets[1]) + "+" +
                            std::to_string(offsets[2]);
    EXPECT_EQ(ids.out, "musicbrainz " + discId + "\nfreedb " + independentFreeDbId(leadout, offsets) +
                           "\nurl " + server.address().toStdString() + "/cdtoc/attach?id=" + discId +
                           "&tracks=3&toc=" + toc + "\n");

    // Another disc gives another ID, equally computed.
    const std::string other = test::writeDiscImage(dir.path(), "other", {msf(10, 0, 0)}).string();
    test::CliResult otherIds = runCli(dir, {"cd", "discid", "--device", other});
    EXPECT_EQ(otherIds.out.substr(0, otherIds.out.find('\n')),
              "musicbrainz " + independentDiscId(1, 1, 150 + msf(10, 0, 0), {150}));

    EXPECT_EQ(runCli(dir, {"cd", "discid", "--device", (dir / "none.cue").string()}).code, 2);
    test::writeBytes(dir / "garbage.cue", "no disc here\n");
    test::CliResult garbage = runCli(dir, {"cd", "discid", "--device", (dir / "garbage.cue").string()});
    EXPECT_EQ(garbage.code, 1);
    EXPECT_EQ(garbage.err, "読み込めません\n");
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(CliFetch, OneReleaseFillsANewAlbumWithItsCover)
{
    server.answerJson(discPath,
                      test::mbDiscAnswer(QString::fromStdString(discId),
                                         {release(kRelease, QStringLiteral("アルバム"),
                                                  {{{QString::fromStdString(discId)}, tracks()}})}));
    const QByteArray jpeg = pictureBytes();
    server.answer(coverPath,
                  {307, {}, {{"Location", (server.address() + "/img/front.jpg").toLatin1()}}, false});
    server.answer("/img/front.jpg", {200, jpeg, {{"Content-Type", "image/jpeg"}}, false});

    test::CliResult fetched = runCli(dir, {"cd", "fetch", "--device", cue});
    ASSERT_EQ(fetched.code, 0) << fetched.err;
    EXPECT_EQ(fetched.out, "アルバム 2 に書き込みました: Band / アルバム\n");
    store::AlbumTable table = catalogue();
    ASSERT_EQ(table.albumCount(), 2);
    const store::AlbumRecord album = table.record(2);
    EXPECT_EQ(album[store::ArtistColumn], "Band");
    EXPECT_EQ(album[store::AlbumColumn], test::sj("アルバム"));
    EXPECT_EQ(album[store::FuriganaColumn], "Band");
    EXPECT_EQ(album[store::songTitleColumn(1)], "One " + test::sj("＜＞") + " Two");
    EXPECT_EQ(album[store::songTitleColumn(2)], test::sj("雨の 歌"));
    EXPECT_EQ(album[store::songArtistColumn(2)], "Guest");
    EXPECT_EQ(album[store::songArtistColumn(1)], "");
    EXPECT_EQ(album[store::songTitleColumn(3)], "{Three}");
    EXPECT_EQ(album[store::mediaColumn(1)], "CD656644");
    EXPECT_EQ(album[store::mediaColumn(2)], "CD3");
    const std::filesystem::path cover = dir / ("covers/" + kRelease.toStdString() + ".jpg");
    EXPECT_EQ(album[store::ImagePathColumn], std::filesystem::absolute(cover).string());
    EXPECT_EQ(test::readBytes(cover), jpeg.toStdString());
    // The request named the disc and its table of contents.
    EXPECT_TRUE(server.requests().front().query.startsWith("toc=1+3+"));
    // The new album is found as the disc's album.
    EXPECT_EQ(runCli(dir, {"cd", "lookup", "--device", cue}).out, "2\n");
}

TEST_F(CliFetch, AnExistingAlbumKeepsTypedTextUnlessOverwriteIsGiven)
{
    server.answerJson(discPath,
                      test::mbDiscAnswer(QString::fromStdString(discId),
                                         {release(kRelease, QStringLiteral("Title"),
                                                  {{{QString::fromStdString(discId)}, tracks()}})}));
    test::CliResult fetched = runCli(dir, {"cd", "fetch", "--device", cue, "--album", "1", "--no-cover"});
    ASSERT_EQ(fetched.code, 0) << fetched.err;
    EXPECT_EQ(fetched.out,
              "アルバム 1 に書き込みました: old / old title\n"
              "入力済みの内容を残しました (--overwrite で置き換えます): "
              "アーティスト、アルバム、メモ、1曲目の曲名\n");
    store::AlbumRecord album = catalogue().record(1);
    EXPECT_EQ(album[store::ArtistColumn], "old");
    EXPECT_EQ(album[store::AlbumColumn], "old title");
    EXPECT_EQ(album[store::Category1Column], "genre");
    EXPECT_EQ(album[store::Category2Column], "CD");  // was empty
    EXPECT_EQ(album[store::Category3Column], "memo");
    EXPECT_EQ(album[store::songTitleColumn(1)], "typed");
    EXPECT_EQ(album[store::songTitleColumn(2)], test::sj("雨の 歌"));  // was empty
    EXPECT_EQ(album[store::songTitleColumn(4)], "fourth");
    EXPECT_EQ(album[store::mediaColumn(1)], "CD656644");
    EXPECT_EQ(album[store::mediaColumn(4)], "/keep4.mp3");
    EXPECT_EQ(album[store::ImagePathColumn], "");
    EXPECT_EQ(server.count(coverPath), 0);

    // --overwrite replaces the typed text and empties the songs past the
    // release's last track: no mixed album is left.
    fetched = runCli(dir, {"cd", "fetch", "--device", cue, "--album", "1", "--no-cover", "--overwrite"});
    ASSERT_EQ(fetched.code, 0) << fetched.err;
    EXPECT_EQ(fetched.out,
              "アルバム 1 に書き込みました: Band / Title\n"
              "入力済みの内容を置き換えました: アーティスト、アルバム、メモ、1曲目の曲名\n");
    album = catalogue().record(1);
    EXPECT_EQ(album[store::AlbumColumn], "Title");
    EXPECT_EQ(album[store::FuriganaColumn], "Band");
    EXPECT_EQ(album[store::Category3Column], test::sj("2001年") + "{}memo");
    EXPECT_EQ(album[store::songTitleColumn(1)], "One " + test::sj("＜＞") + " Two");
    EXPECT_EQ(album[store::songTitleColumn(4)], "");
    EXPECT_EQ(album[store::mediaColumn(4)], "");
    EXPECT_EQ(album[store::Category1Column], "genre");

    EXPECT_EQ(runCli(dir, {"cd", "fetch", "--device", cue, "--album", "7"}).code, 2);
}

TEST_F(CliFetch, ABoxFoundByItsTableOfContentsGetsTheDiscWithTheNearestLeadOut)
{
    // Three discs of three tracks; none carries this disc's ID, the second
    // ends where this one does.
    std::vector<test::MbMedium> media;
    const std::int64_t leadout = 150 + kDiscTracks[0] + kDiscTracks[1] + kDiscTracks[2];
    for (int disc = 1; disc <= 3; ++disc) {
        std::vector<test::MbTrack> titles;
        for (int track = 1; track <= 3; ++track) {
            titles.push_back({QStringLiteral("Disc %1 Track %2").arg(disc).arg(track), {}});
        }
        test::MbMedium medium{{QStringLiteral("otherDisc%1_______________-").arg(disc)}, titles};
        medium.discSectors = {leadout + (disc - 2) * 3000 + (disc == 2 ? 2 : 0)};
        media.push_back(medium);
    }
    server.answerJson(discPath, test::mbDiscAnswer(QString::fromStdString(discId),
                                                   {release(kRelease, QStringLiteral("Box"), media)}));
    test::CliResult fetched = runCli(dir, {"cd", "fetch", "--device", cue, "--no-cover"});
    ASSERT_EQ(fetched.code, 0) << fetched.err;
    const store::AlbumRecord album = catalogue().record(2);
    EXPECT_EQ(album[store::AlbumColumn], "Box (Disc 2/3)");
    EXPECT_EQ(album[store::songTitleColumn(1)], "Disc 2 Track 1");
    EXPECT_EQ(album[store::songTitleColumn(3)], "Disc 2 Track 3");
    EXPECT_EQ(album[store::Category3Column], test::sj("2001年"));
}

TEST_F(CliFetch, SeveralReleasesAreListedUntilOneIsNamed)
{
    const QString disc = QString::fromStdString(discId);
    test::MbRelease box = release(kOtherRelease, QStringLiteral("Box"),
                                  {{{QStringLiteral("another")}, test::mbTracks(5)},
                                   {{disc}, test::mbTracks(3, QStringLiteral("Box "))}});
    box.country = QString();
    server.answerJson(
        discPath,
        test::mbDiscAnswer(disc, {release(kRelease, QStringLiteral("Single"), {{{disc}, tracks()}}), box}));
    server.answer(coverPath, {404, {}, {}, false});
    const std::string before = test::readBytes(dir / "VLM.dat");

    test::CliResult listed = runCli(dir, {"cd", "fetch", "--device", cue});
    EXPECT_EQ(listed.code, 3);
    EXPECT_EQ(listed.out, kRelease.toStdString() + "\tBand\tSingle\t2001-02-03\tJP\t3\n" +
                              kOtherRelease.toStdString() + "\tBand\tBox\t2001-02-03\t\t3\n");
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"), before);

    // The box's second disc is this one.
    test::CliResult chosen =
        runCli(dir, {"cd", "fetch", "--device", cue, "--release", kOtherRelease.toStdString()});
    ASSERT_EQ(chosen.code, 0) << chosen.err;
    const store::AlbumRecord album = catalogue().record(2);
    EXPECT_EQ(album[store::songTitleColumn(1)], "Box 1");
    EXPECT_EQ(album[store::songTitleColumn(3)], "Box 3");
    EXPECT_EQ(album[store::songTitleColumn(4)], "");

    test::CliResult wrong =
        runCli(dir, {"cd", "fetch", "--device", cue, "--release", "00000000-0000-4000-8000-000000000000"});
    EXPECT_EQ(wrong.code, 1);
    EXPECT_EQ(catalogue().albumCount(), 2);
}

TEST_F(CliFetch, LongReleasesKeep99TracksAndMissingCharactersAreNamed)
{
    const QString disc = QString::fromStdString(discId);
    std::vector<test::MbTrack> many = test::mbTracks(120);
    many[1].title = QStringLiteral("Smile \U0001F600");
    server.answerJson(
        discPath, test::mbDiscAnswer(disc, {release(kRelease, QStringLiteral("Long"), {{{disc}, many}})}));
    test::CliResult fetched = runCli(dir, {"cd", "fetch", "--device", cue, "--no-cover"});
    ASSERT_EQ(fetched.code, 0) << fetched.err;
    EXPECT_NE(fetched.out.find("このディスクは 120 曲あります。最初の99曲だけを書き込みました。"),
              std::string::npos);
    EXPECT_NE(fetched.out.find("Shift-JISにない文字を「〓」にしました: 2曲目の曲名"), std::string::npos);
    const store::AlbumRecord album = catalogue().record(2);
    EXPECT_EQ(album[store::songTitleColumn(99)], "Song 99");
    EXPECT_EQ(album[store::songTitleColumn(2)], "Smile " + test::sj("〓"));
}

TEST_F(CliFetch, UnknownDiscsAndFailuresChangeNothing)
{
    const std::string before = test::readBytes(dir / "VLM.dat");
    test::CliResult unknown = runCli(dir, {"cd", "fetch", "--device", cue});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.err.rfind("MusicBrainzに登録されていません\n登録ページ: " +
                                    server.address().toStdString() + "/cdtoc/attach?id=" + discId,
                                0),
              0u)
        << unknown.err;

    server.answerJson(discPath, R"({"releases":[{"id":"r","title":"cut)");
    test::CliResult broken = runCli(dir, {"cd", "fetch", "--device", cue});
    EXPECT_EQ(broken.code, 2);
    EXPECT_EQ(broken.err, "MusicBrainzの応答を読み取れません。\n");

    test::LocalHttpServer busy;
    busy.answer(discPath, {503, "busy", {{"Retry-After", "0"}}, false});
    test::writeBytes(dir / "VLM.ini", "[MusicBrainz]\r\nServer=" + busy.address().toStdString() + "\r\n");
    test::CliResult stillBusy = runCli(dir, {"cd", "fetch", "--device", cue});
    EXPECT_EQ(stillBusy.code, 2);
    EXPECT_EQ(stillBusy.err, "MusicBrainzが混雑しています。しばらくしてからもう一度お試しください。\n");

    test::LocalHttpServer silent;
    silent.answer(discPath, {200, {}, {}, true});
    test::writeBytes(dir / "VLM.ini", "[MusicBrainz]\r\nServer=" + silent.address().toStdString() + "\r\n");
    setenv("VELMORA_NET_TIMEOUT_MS", "300", 1);
    test::CliResult timedOut = runCli(dir, {"cd", "fetch", "--device", cue});
    unsetenv("VELMORA_NET_TIMEOUT_MS");
    EXPECT_EQ(timedOut.code, 2);
    EXPECT_NE(timedOut.err.find("MusicBrainzが応答しません"), std::string::npos);

    EXPECT_EQ(test::readBytes(dir / "VLM.dat"), before);
}

TEST_F(CliFetch, ACatalogueRewrittenDuringTheLookupIsNotOverwritten)
{
    server.answerJson(discPath,
                      test::mbDiscAnswer(QString::fromStdString(discId),
                                         {release(kRelease, QStringLiteral("アルバム"),
                                                  {{{QString::fromStdString(discId)}, tracks()}})}));
    // Another program copies its catalogue over VLM.dat, in place, while
    // the command waits for the answer.
    const std::string other = dataLineWith({}) + "\r\n" + dataLineWith({{store::ArtistColumn, "other"}}) +
                              "\r\n" + dataLineWith({{store::ArtistColumn, "another"}}) + "\r\n";
    server.onRequest = [&](const test::LocalHttpServer::Request&) {
        test::writeBytes(dir / "VLM.dat", other);
    };
    test::CliResult fetched = runCli(dir, {"cd", "fetch", "--device", cue, "--no-cover"});
    EXPECT_EQ(fetched.code, 2);
    EXPECT_EQ(fetched.out, "") << "no success is reported";
    EXPECT_NE(fetched.err.find("ディスク上のデータが変更されています。"), std::string::npos) << fetched.err;
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"), other);

    // A window that opens meanwhile keeps the catalogue to itself.
    platform::FolderLock window(dir.path());
    server.onRequest = [&](const test::LocalHttpServer::Request&) {
        ASSERT_EQ(window.lock(), platform::FolderLock::Outcome::Locked);
    };
    fetched = runCli(dir, {"cd", "fetch", "--device", cue, "--no-cover"});
    EXPECT_EQ(fetched.code, 2);
    EXPECT_NE(fetched.err.find("ウィンドウが使用中"), std::string::npos) << fetched.err;
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"), other);

    // Left alone, the same command writes.
    window.unlock();
    server.onRequest = nullptr;
    fetched = runCli(dir, {"cd", "fetch", "--device", cue, "--no-cover"});
    EXPECT_EQ(fetched.code, 0) << fetched.err;
    EXPECT_EQ(catalogue().albumCount(), 3);
}

TEST_F(CliFetch, ACoverThatFailsLeavesTheAlbumWithoutPicture)
{
    const QString disc = QString::fromStdString(discId);
    server.answerJson(
        discPath, test::mbDiscAnswer(disc, {release(kRelease, QStringLiteral("T"), {{{disc}, tracks()}})}));
    server.answer(coverPath, {500, "oops", {}, false});
    test::CliResult fetched = runCli(dir, {"cd", "fetch", "--device", cue});
    ASSERT_EQ(fetched.code, 0);
    EXPECT_EQ(fetched.err, "カバー画像を保存できませんでした: カバー画像を取得できません (HTTP 500)。\n");
    EXPECT_EQ(catalogue().record(2)[store::AlbumColumn], "T");
    EXPECT_EQ(catalogue().record(2)[store::ImagePathColumn], "");
    EXPECT_FALSE(std::filesystem::exists(dir / "covers" / (kRelease.toStdString() + ".jpg")));
}

TEST_F(CliFetch, ACoverIsStoredOnlyWhenItIsAnImageAndItsAlbumIsStored)
{
    const QString disc = QString::fromStdString(discId);
    server.answerJson(
        discPath, test::mbDiscAnswer(disc, {release(kRelease, QStringLiteral("T"), {{{disc}, tracks()}})}));
    const std::filesystem::path cover = dir / "covers" / (kRelease.toStdString() + ".jpg");

    // Bytes that are no picture, even with a JPEG start, stay out of covers/.
    server.answer(coverPath, {200, QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(500, 'c'), {}, false});
    test::CliResult fetched = runCli(dir, {"cd", "fetch", "--device", cue});
    ASSERT_EQ(fetched.code, 0) << fetched.err;
    EXPECT_EQ(fetched.err,
              "カバー画像を保存できませんでした: カバー画像として届いたデータが画像ではありません。\n");
    EXPECT_EQ(catalogue().record(2)[store::ImagePathColumn], "");
    EXPECT_FALSE(std::filesystem::exists(cover));

    // A real picture whose album cannot be saved goes again.
    server.answer(coverPath, {200, pictureBytes(), {{"Content-Type", "image/png"}}, false});
    const std::string before = test::readBytes(dir / "VLM.dat");
    std::filesystem::permissions(dir / "VLM.dat", std::filesystem::perms::owner_read);
    test::CliResult unsaved = runCli(dir, {"cd", "fetch", "--device", cue});
    std::filesystem::permissions(dir / "VLM.dat", std::filesystem::perms::owner_all);
    EXPECT_EQ(unsaved.code, 2);
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"), before);
    EXPECT_FALSE(std::filesystem::exists(cover));

    // A cover that was already there (another album names it) stays.
    ASSERT_EQ(runCli(dir, {"cd", "fetch", "--device", cue}).code, 0);
    ASSERT_TRUE(std::filesystem::exists(cover));
    std::filesystem::permissions(dir / "VLM.dat", std::filesystem::perms::owner_read);
    EXPECT_EQ(runCli(dir, {"cd", "fetch", "--device", cue}).code, 2);
    std::filesystem::permissions(dir / "VLM.dat", std::filesystem::perms::owner_all);
    EXPECT_TRUE(std::filesystem::exists(cover));
}

// Discs as collectors have them, each identified by `cd discid` and checked
// against the ID computed here from the addresses the image describes.
class CliDiscImages : public ::testing::Test {
protected:
    std::string discIdOf(const std::filesystem::path& image)
    {
        test::CliResult ids = runCli(dir, {"cd", "discid", "--device", image.string()});
        EXPECT_EQ(ids.code, 0) << image << ": " << ids.err;
        return ids.out.substr(0, ids.out.find('\n'));
    }
    static std::string expectedId(const std::vector<test::CueTrack>& tracks)
    {
        const test::ExpectedTable table = test::expectedTable(tracks);
        return "musicbrainz " +
               independentDiscId(1, static_cast<int>(tracks.size()), table.leadout, table.offsets);
    }

    TempDir dir;
    const std::vector<test::CueTrack> kTracks = {{msf(0, 5, 0)}, {msf(0, 7, 10)}, {msf(0, 3, 0)}};
};

TEST_F(CliDiscImages, EnhancedCdLeavesTheDataTrackOutOfTheId)
{
    // Three audio tracks, then the data session: the data track starts
    // 11,400 sectors after the audio ends.
    const std::int64_t audio = test::fileSectorsOf(kTracks);
    std::vector<test::CueTrack> tracks = kTracks;
    tracks.back().sectors += 11400;
    tracks.push_back({msf(0, 20, 0), false});
    test::writeSilentBin(dir / "enhanced.bin", test::fileSectorsOf(tracks));
    test::writeText(dir / "enhanced.cue", test::singleFileCue("enhanced.bin", "BINARY", tracks));
    const test::ExpectedTable audioTable = test::expectedTable(kTracks);
    ASSERT_EQ(audioTable.leadout, 150 + audio);
    EXPECT_EQ(discIdOf(dir / "enhanced.cue"), expectedId(kTracks));

    // A track-per-file rip that marks its sessions: the gap lies in no
    // file, the remarks give it. (Tracks longer than the gap, so that a gap
    // left out would cut into the last one.)
    const std::vector<test::CueTrack> longTracks = {{msf(3, 0, 0)}, {msf(4, 0, 0)}, {msf(5, 0, 0)}};
    for (int track = 1; track <= 3; ++track) {
        test::writeSilentBin(dir / ("track0" + std::to_string(track) + ".bin"),
                             longTracks[track - 1].sectors);
    }
    test::writeSilentBin(dir / "track04.bin", msf(0, 20, 0));
    std::string sessions = "REM SESSION 01\n";
    for (int track = 1; track <= 3; ++track) {
        sessions += "FILE \"track0" + std::to_string(track) + ".bin\" BINARY\n  TRACK 0" +
                    std::to_string(track) + " AUDIO\n    INDEX 01 00:00:00\n";
    }
    sessions +=
        "REM LEAD-OUT 01:30:00\nREM SESSION 02\nREM LEAD-IN 01:00:00\nREM PREGAP 00:02:00\n"
        "FILE \"track04.bin\" BINARY\n  TRACK 04 MODE1/2352\n    INDEX 01 00:00:00\n";
    test::writeText(dir / "sessions.cue", sessions);
    EXPECT_EQ(discIdOf(dir / "sessions.cue"), expectedId(longTracks));
    // Without the remarks' lengths the standard ones stand in.
    test::writeText(dir / "plain-sessions.cue",
                    sessions.replace(sessions.find("REM LEAD-OUT 01:30:00\n"), 22, "")
                        .replace(sessions.find("REM LEAD-IN 01:00:00\n"), 21, ""));
    EXPECT_EQ(discIdOf(dir / "plain-sessions.cue"), expectedId(longTracks));

    // A data track first (mixed mode) stays in the ID.
    std::vector<test::CueTrack> mixed = {{msf(0, 30, 0), false}};
    mixed.insert(mixed.end(), kTracks.begin(), kTracks.end());
    test::writeSilentBin(dir / "mixed.bin", test::fileSectorsOf(mixed));
    test::writeText(dir / "mixed.cue", test::singleFileCue("mixed.bin", "BINARY", mixed));
    EXPECT_EQ(discIdOf(dir / "mixed.cue"), expectedId(mixed));
}

TEST_F(CliDiscImages, HiddenTrackBeforeTrackOneCountsInTheAddresses)
{
    std::vector<test::CueTrack> tracks = kTracks;
    tracks.front().index0 = msf(0, 30, 0);
    test::writeSilentBin(dir / "hidden.bin", test::fileSectorsOf(tracks));
    test::writeText(dir / "hidden.cue", test::singleFileCue("hidden.bin", "BINARY", tracks));
    EXPECT_EQ(test::expectedTable(tracks).offsets.front(), 150 + msf(0, 30, 0));
    EXPECT_EQ(discIdOf(dir / "hidden.cue"), expectedId(tracks));
}

TEST_F(CliDiscImages, SingleFileWavAndFlacRipsIdentifyAndListTheirTracks)
{
    std::vector<test::CueTrack> tracks = kTracks;
    tracks[1].index0 = msf(0, 2, 0);  // a gap inside the file, before track 2
    test::writeCdWav(dir / "CDImage.wav", test::fileSectorsOf(tracks));
    test::writeText(dir / "CDImage.cue", test::singleFileCue("CDImage.wav", "WAVE", tracks));
    EXPECT_EQ(discIdOf(dir / "CDImage.cue"), expectedId(tracks));
    test::CliResult toc = runCli(dir, {"cd", "toc", "--device", (dir / "CDImage.cue").string()});
    ASSERT_EQ(toc.code, 0) << toc.err;
    std::string listed;
    // Each track lasts until the next one's INDEX 01 (its gap included).
    for (std::int64_t frames : {tracks[0].sectors + tracks[1].index0, tracks[1].sectors, tracks[2].sectors}) {
        // The reference packs frames, seconds and minutes from the high byte.
        listed +=
            "CD" + std::to_string((frames % 75) * 65536 + (frames / 75 % 60) * 256 + frames / 75 / 60) + "\n";
    }
    EXPECT_EQ(toc.out, listed);

    ASSERT_TRUE(test::encodeFlac(dir / "CDImage.wav", dir / "Album.flac"));
    test::writeText(dir / "Album.cue", test::singleFileCue("Album.flac", "WAVE", tracks));
    EXPECT_EQ(discIdOf(dir / "Album.cue"), expectedId(tracks));
}

TEST_F(CliDiscImages, OneFilePerTrackWithPregapAndGapsInThePreviousFile)
{
    // Track 2's gap (INDEX 00) at the end of file 1, track 3 after a
    // PREGAP of silence that no file holds.
    std::vector<test::CueTrack> tracks = kTracks;
    tracks[1].index0 = msf(0, 1, 30);
    tracks[2].pregap = msf(0, 2, 0);
    test::writeCdWav(dir / "01.wav", tracks[0].sectors + tracks[1].index0);
    test::writeCdWav(dir / "02.wav", tracks[1].sectors);
    test::writeCdWav(dir / "03.wav", tracks[2].sectors);
    test::writeText(dir / "album.cue",
                    "FILE \"01.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                    "  TRACK 02 AUDIO\n    INDEX 00 " +
                        test::cueTime(tracks[0].sectors) +
                        "\nFILE \"02.wav\" WAVE\n    INDEX 01 00:00:00\n"
                        "FILE \"03.wav\" WAVE\n  TRACK 03 AUDIO\n    PREGAP " +
                        test::cueTime(tracks[2].pregap) + "\n    INDEX 01 00:00:00\n");
    EXPECT_EQ(discIdOf(dir / "album.cue"), expectedId(tracks));

    // A file the sheet names that is not there is said by name.
    std::filesystem::remove(dir / "03.wav");
    test::CliResult missing = runCli(dir, {"cd", "discid", "--device", (dir / "album.cue").string()});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "キューシートが指すファイルがありません: 03.wav\n");
}

TEST_F(CliDiscImages, TocFileIsReadFromAnyFolder)
{
    std::filesystem::create_directories(dir / "rips" / "disc");
    test::writeSilentBin(dir / "rips" / "disc" / "audio.bin", test::fileSectorsOf(kTracks));
    std::string toc = "CD_DA\n";
    std::int64_t at = 0;
    for (const test::CueTrack& track : kTracks) {
        toc += "TRACK AUDIO\nFILE \"audio.bin\" " + test::cueTime(at) + " " + test::cueTime(track.sectors) +
               "\n";
        at += track.sectors;
    }
    test::writeText(dir / "rips" / "disc" / "disc.toc", toc);
    // The test runs in another folder than the TOC's.
    ASSERT_NE(std::filesystem::current_path(), dir / "rips" / "disc");
    EXPECT_EQ(discIdOf(dir / "rips" / "disc" / "disc.toc"), expectedId(kTracks));
}

TEST_F(CliDiscImages, DataDiscsAndDamagedImagesAreRefusedWithAMessage)
{
    test::LocalHttpServer server;
    test::writeBytes(dir / "VLM.ini", "[MusicBrainz]\r\nServer=" + server.address().toStdString() + "\r\n");
    test::writeBytes(dir / "VLM.dat", dataLineWith({}) + "\r\n");

    test::writeSilentBin(dir / "rom.bin", msf(2, 0, 0), 2048);
    test::writeText(dir / "rom.cue",
                    "FILE \"rom.bin\" BINARY\n  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n");
    for (const char* verb : {"discid", "fetch"}) {
        test::CliResult data = runCli(dir, {"cd", verb, "--device", (dir / "rom.cue").string()});
        EXPECT_EQ(data.code, 1) << verb;
        EXPECT_EQ(data.err, "音楽CDではありません\n") << verb;
    }

    // Track 2 starts before track 1 in the sheet.
    test::writeSilentBin(dir / "broken.bin", msf(1, 0, 0));
    test::writeText(dir / "broken.cue",
                    "FILE \"broken.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:20:00\n"
                    "  TRACK 02 AUDIO\n    INDEX 01 00:10:00\n");
    for (const char* verb : {"discid", "fetch", "toc"}) {
        test::CliResult damaged = runCli(dir, {"cd", verb, "--device", (dir / "broken.cue").string()});
        EXPECT_EQ(damaged.code, 1) << verb;
        EXPECT_EQ(damaged.err, "ディスクイメージが壊れています (トラック1が始まる前に終わっています)\n")
            << verb;
    }
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(test::readBytes(dir / "VLM.dat"), dataLineWith({}) + "\r\n");
}

}  // namespace
}  // namespace velmora::cli
