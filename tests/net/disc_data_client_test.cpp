// The MusicBrainz and cover-art client against a local server on 127.0.0.1:
// answers, missing discs, busy and silent servers, broken JSON, redirects.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>

#include "net/disc_data_client.h"
#include "support/local_http_server.h"
#include "support/musicbrainz_answers.h"

namespace velmora::net {
namespace {

using test::LocalHttpServer;

const QString kDisc = QStringLiteral("TqvKjMu7dMliSfmVEBtrL7sBSno-");
const QString kToc = QStringLiteral("1 2 2000 150 1000");
const QByteArray kDiscPath = "/ws/2/discid/" + kDisc.toLatin1();
const QString kRelease = QStringLiteral("3f1c2d4e-0000-4000-8000-000000000001");

ClientOptions quickOptions()
{
    ClientOptions options;
    options.timeoutMs = 400;
    options.minIntervalMs = 150;
    options.maxRetryWaitMs = 3000;
    return options;
}

class DiscDataClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listening()); }
    DiscDataClient client() { return DiscDataClient({server.address(), server.address()}, quickOptions()); }

    LocalHttpServer server;
};

QByteArray oneRelease()
{
    return test::mbDiscAnswer(kDisc, {{kRelease,
                                       QStringLiteral("Album"),
                                       {{QStringLiteral("Band"), QString()}},
                                       QStringLiteral("2000"),
                                       QStringLiteral("JP"),
                                       {},
                                       {{{kDisc}, test::mbTracks(2)}}}});
}

TEST_F(DiscDataClientTest, LookupSendsTheDocumentedRequestAndReadsTheReleases)
{
    server.answerJson(kDiscPath, oneRelease());
    DiscDataClient mb({server.address() + QStringLiteral("/"), server.address()}, quickOptions());
    const LookupResult result = lookupDiscAndWait(mb, kDisc, kToc);
    ASSERT_EQ(result.outcome, Outcome::Found) << result.message.toStdString();
    ASSERT_EQ(result.releases.size(), 1u);
    EXPECT_EQ(result.releases[0].title, "Album");
    ASSERT_EQ(server.requests().size(), 1u);
    const LocalHttpServer::Request& request = server.requests().front();
    EXPECT_EQ(request.path, kDiscPath);
    EXPECT_EQ(request.query, "toc=1+2+2000+150+1000&inc=recordings+artist-credits+aliases&fmt=json");
    EXPECT_TRUE(request.headers.value("user-agent").startsWith("Velmora/"));
    EXPECT_TRUE(request.headers.value("user-agent").endsWith(" )"));
    EXPECT_EQ(request.headers.value("accept"), "application/json");
}

TEST_F(DiscDataClientTest, MissingDiscsAndEmptyAnswersAreNotFound)
{
    server.answerJson(
        kDiscPath,
        R"({"error":"Not Found","help":"For usage, please see: https://musicbrainz.org/development/mmd"})",
        404);
    DiscDataClient mb = client();
    EXPECT_EQ(lookupDiscAndWait(mb, kDisc, kToc).outcome, Outcome::NotFound);

    LocalHttpServer other;
    other.answerJson(kDiscPath, R"({"release-count":0,"release-offset":0,"releases":[]})");
    DiscDataClient viaToc({other.address(), other.address()}, quickOptions());
    EXPECT_EQ(lookupDiscAndWait(viaToc, kDisc, kToc).outcome, Outcome::NotFound);
}

TEST_F(DiscDataClientTest, BusyServerIsWaitedOutOnceThenReported)
{
    server.answer(kDiscPath, {503, "busy", {{"Retry-After", "1"}}, false});
    server.answerJson(kDiscPath, oneRelease());
    DiscDataClient mb = client();
    const LookupResult retried = lookupDiscAndWait(mb, kDisc, kToc);
    EXPECT_EQ(retried.outcome, Outcome::Found);
    ASSERT_EQ(server.count(kDiscPath), 2);
    // The second request waited for Retry-After.
    EXPECT_GE(server.requests()[1].atMs - server.requests()[0].atMs, 950);

    LocalHttpServer busy;
    busy.answer(kDiscPath, {503, "busy", {{"Retry-After", "0"}}, false});
    DiscDataClient stillBusy({busy.address(), busy.address()}, quickOptions());
    const LookupResult failed = lookupDiscAndWait(stillBusy, kDisc, kToc);
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_EQ(failed.message,
              QStringLiteral("MusicBrainzが混雑しています。しばらくしてからもう一度お試しください。"));
    EXPECT_EQ(busy.count(kDiscPath), 2);
}

TEST_F(DiscDataClientTest, BrokenAnswersSilentServersAndClosedPortsAreMessages)
{
    server.answerJson(kDiscPath, R"({"releases":[{"id":"r","title":"cut)");
    DiscDataClient mb = client();
    const LookupResult broken = lookupDiscAndWait(mb, kDisc, kToc);
    EXPECT_EQ(broken.outcome, Outcome::Failed);
    EXPECT_EQ(broken.message, QStringLiteral("MusicBrainzの応答を読み取れません。"));

    LocalHttpServer silent;
    silent.answer(kDiscPath, {200, {}, {}, true});
    DiscDataClient waiting({silent.address(), silent.address()}, quickOptions());
    const LookupResult timedOut = lookupDiscAndWait(waiting, kDisc, kToc);
    EXPECT_EQ(timedOut.outcome, Outcome::Failed);
    EXPECT_TRUE(timedOut.message.startsWith(QStringLiteral("MusicBrainzが応答しません")))
        << timedOut.message.toStdString();

    // A port nobody listens on.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const QString closed = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    DiscDataClient refused({closed, closed}, quickOptions());
    const LookupResult noServer = lookupDiscAndWait(refused, kDisc, kToc);
    EXPECT_EQ(noServer.outcome, Outcome::Failed);
    EXPECT_EQ(noServer.message, QStringLiteral("サーバー「127.0.0.1」に接続できません。"));

    LocalHttpServer failing;
    failing.answerJson(kDiscPath, R"({"error":"Invalid discid."})", 400);
    DiscDataClient bad({failing.address(), failing.address()}, quickOptions());
    EXPECT_EQ(lookupDiscAndWait(bad, kDisc, kToc).message,
              QStringLiteral("MusicBrainzがエラーを返しました (HTTP 400)。\nInvalid discid."));

    // Names that do not resolve get their own message (not tried here: it
    // would ask a name server beyond the loopback).
    EXPECT_TRUE(networkFailureText(QNetworkReply::HostNotFoundError, QStringLiteral("mb.example"), {})
                    .startsWith(QStringLiteral("サーバー「mb.example」が見つかりません")));
}

TEST_F(DiscDataClientTest, RequestsKeepTheirDistanceAndCanBeCancelled)
{
    server.answerJson(kDiscPath, oneRelease());
    DiscDataClient mb = client();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lookupDiscAndWait(mb, kDisc, kToc).outcome, Outcome::Found);
    }
    ASSERT_EQ(server.requests().size(), 3u);
    // The client's own record of when each request left: a busy machine can
    // delay a request on its way, never make it leave early.
    const auto& sent = mb.musicBrainzSendTimes();
    ASSERT_EQ(sent.size(), 3u);
    for (std::size_t i = 1; i < sent.size(); ++i) {
        EXPECT_GE(sent[i] - sent[i - 1], std::chrono::milliseconds(quickOptions().minIntervalMs));
    }

    LocalHttpServer silent;
    silent.answer(kDiscPath, {200, {}, {}, true});
    DiscDataClient waiting({silent.address(), silent.address()}, ClientOptions{});
    std::optional<LookupResult> result;
    waiting.lookupDisc(kDisc, kToc, [&](LookupResult r) { result = std::move(r); });
    EXPECT_FALSE(result.has_value());  // never from within the call
    QEventLoop loop;
    QTimer::singleShot(300, &loop, [&] {
        waiting.cancel();
        loop.quit();
    });
    loop.exec();
    QCoreApplication::processEvents();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, Outcome::Cancelled);
    EXPECT_FALSE(waiting.busy());
}

TEST_F(DiscDataClientTest, CoverFollowsRedirectsAndAMissingCoverIsNoError)
{
    const QByteArray jpeg = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(2000, 'j');
    const QByteArray coverPath = "/release/" + kRelease.toLatin1() + "/front-500";
    server.answer(coverPath,
                  {307, {}, {{"Location", (server.address() + "/images/abc-500.jpg").toLatin1()}}, false});
    server.answer("/images/abc-500.jpg", {200, jpeg, {{"Content-Type", "image/jpeg"}}, false});
    DiscDataClient mb = client();
    const CoverResult cover = fetchCoverAndWait(mb, kRelease);
    ASSERT_EQ(cover.outcome, Outcome::Found) << cover.message.toStdString();
    EXPECT_EQ(cover.image, jpeg);
    EXPECT_EQ(server.count(coverPath), 1);
    EXPECT_EQ(server.count("/images/abc-500.jpg"), 1);

    const CoverResult none = fetchCoverAndWait(mb, QStringLiteral("00000000-0000-4000-8000-000000000000"));
    EXPECT_EQ(none.outcome, Outcome::NotFound);
    EXPECT_TRUE(none.message.isEmpty());

    LocalHttpServer failing;
    failing.answer(coverPath, {500, "oops", {}, false});
    DiscDataClient broken({failing.address(), failing.address()}, quickOptions());
    const CoverResult failed = fetchCoverAndWait(broken, kRelease);
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_EQ(failed.message, QStringLiteral("カバー画像を取得できません (HTTP 500)。"));
}

}  // namespace
}  // namespace velmora::net
