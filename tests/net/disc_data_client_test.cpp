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

TEST_F(DiscDataClientTest, HugeRetryAfterIsCutToTheLongestWait)
{
    // Three million seconds overflowed into a negative wait: the retry left
    // at once instead of after the longest wait.
    server.answer(kDiscPath, {503, "busy", {{"Retry-After", "3000000"}}, false});
    server.answerJson(kDiscPath, oneRelease());
    ClientOptions options = quickOptions();
    options.maxRetryWaitMs = 1000;
    DiscDataClient mb({server.address(), server.address()}, options);
    EXPECT_EQ(lookupDiscAndWait(mb, kDisc, kToc).outcome, Outcome::Found);
    ASSERT_EQ(server.count(kDiscPath), 2);
    EXPECT_GE(server.requests()[1].atMs - server.requests()[0].atMs, 950);

    // Numbers of any length saturate; dates count from now; the rest is a
    // second.
    const QDateTime now = QDateTime::fromString(QStringLiteral("2026-01-01T00:00:00Z"), Qt::ISODate);
    EXPECT_EQ(retryAfterWaitMs("12", 30000, now), 12000);
    EXPECT_EQ(retryAfterWaitMs(" 0 ", 30000, now), 0);
    EXPECT_EQ(retryAfterWaitMs("99999999", 30000, now), 30000);
    EXPECT_EQ(retryAfterWaitMs("99999999999999999999999999999", 30000, now), 30000);
    EXPECT_EQ(retryAfterWaitMs("-2147483648", 30000, now), 0);
    EXPECT_EQ(retryAfterWaitMs("Thu, 01 Jan 2026 00:00:20 GMT", 30000, now), 20000);
    EXPECT_EQ(retryAfterWaitMs("Fri, 31 Dec 9999 23:59:59 GMT", 30000, now), 30000);
    EXPECT_EQ(retryAfterWaitMs("Mon, 01 Jan 1900 00:00:00 GMT", 30000, now), 0);
    EXPECT_EQ(retryAfterWaitMs("soon", 30000, now), 1000);
}

TEST_F(DiscDataClientTest, TricklingAnswersMeetTheirDeadline)
{
    // One byte every 50 ms never lets the 400 ms silence timeout fire; only
    // the deadline of the whole answer ends it.
    const QByteArray slow(400, ' ');
    server.answer(kDiscPath, {200, slow, {{"Content-Type", "application/json"}}, false, 50});
    const QByteArray coverPath = "/release/" + kRelease.toLatin1() + "/front-500";
    server.answer(coverPath, {200, slow, {{"Content-Type", "image/jpeg"}}, false, 50});
    ClientOptions options = quickOptions();
    options.lookupDeadlineMs = 1000;
    options.coverDeadlineMs = 1200;
    DiscDataClient mb({server.address(), server.address()}, options);
    const LookupResult lookup = lookupDiscAndWait(mb, kDisc, kToc);
    EXPECT_EQ(lookup.outcome, Outcome::Failed);
    EXPECT_EQ(lookup.message, QStringLiteral("MusicBrainzの応答が1秒以内に終わりませんでした。"
                                             "時間をおいてもう一度お試しください。"));
    const CoverResult cover = fetchCoverAndWait(mb, kRelease);
    EXPECT_EQ(cover.outcome, Outcome::Failed);
    EXPECT_EQ(cover.message, QStringLiteral("カバー画像のサーバーの応答が2秒以内に終わりませんでした。"));
}

TEST_F(DiscDataClientTest, OversizedAnswersAndErrorBodiesAreCut)
{
    // Valid JSON, only far too long: refused, not parsed.
    server.answerJson(kDiscPath, QByteArray(1024 * 1024, ' ') + oneRelease());
    const QByteArray coverPath = "/release/" + kRelease.toLatin1() + "/front-500";
    server.answer(coverPath,
                  {200, QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(1024 * 1024, 'j'), {}, false});
    ClientOptions options = quickOptions();
    options.maxLookupBytes = 64 * 1024;
    options.maxCoverBytes = 128 * 1024;
    DiscDataClient mb({server.address(), server.address()}, options);
    const LookupResult lookup = lookupDiscAndWait(mb, kDisc, kToc);
    EXPECT_EQ(lookup.outcome, Outcome::Failed);
    EXPECT_EQ(lookup.message,
              QStringLiteral("MusicBrainzの応答が大きすぎるため読み込みを中止しました (上限 64 KB)。"));
    const CoverResult cover = fetchCoverAndWait(mb, kRelease);
    EXPECT_EQ(cover.outcome, Outcome::Failed);
    EXPECT_EQ(cover.message, QStringLiteral("カバー画像が大きすぎるため取得を中止しました (上限 128 KB)。"));
    EXPECT_TRUE(cover.image.isEmpty());

    // An answer just under the cap is read whole.
    LocalHttpServer fitting;
    fitting.answerJson(kDiscPath, QByteArray(60 * 1024, ' ') + oneRelease());
    DiscDataClient fits({fitting.address(), fitting.address()}, options);
    EXPECT_EQ(lookupDiscAndWait(fits, kDisc, kToc).outcome, Outcome::Found);

    // An error's text is shown in part only.
    LocalHttpServer failing;
    failing.answerJson(kDiscPath, "{\"error\":\"" + QByteArray(20000, 'e') + "\"}", 400);
    DiscDataClient bad({failing.address(), failing.address()}, options);
    const QString message = lookupDiscAndWait(bad, kDisc, kToc).message;
    EXPECT_TRUE(message.startsWith(QStringLiteral("MusicBrainzがエラーを返しました (HTTP 400)。\neeee")))
        << message.left(80).toStdString();
    EXPECT_LE(message.size(), 400);
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
