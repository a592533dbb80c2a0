// Requests to the MusicBrainz web service and the Cover Art Archive.
//
// Everything is asynchronous: a request's answer comes back through its
// callback from the event loop, never from within the call that started it.
// MusicBrainz requests keep at least a second apart (process-wide), a server
// that stops sending gives up after the timeout, a server that keeps sending
// slowly gives up at the answer's deadline, an answer longer than its cap is
// cut off and refused, and a 503 answer is waited out once (its Retry-After)
// before it becomes a message.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "core/discdata/release.h"

namespace velmora::net {

struct ServiceAddresses {
    QString musicBrainz;  // "https://musicbrainz.org"
    QString cover;        // "https://coverartarchive.org"
};

struct ClientOptions {
    // A request fails when the server sends nothing for this long.
    int timeoutMs = 10000;
    // Least time between two MusicBrainz requests of this process.
    int minIntervalMs = 1000;
    // Longest Retry-After waited for; longer ones are cut to this.
    int maxRetryWaitMs = 30000;
    // Longest a whole answer may take from the request leaving, however
    // steadily it arrives: a lookup and a cover.
    int lookupDeadlineMs = 30000;
    int coverDeadlineMs = 60000;
    // Largest answer read; a longer one is cut off and refused.
    qint64 maxLookupBytes = 5 * 1024 * 1024;
    qint64 maxCoverBytes = 20 * 1024 * 1024;

    // The defaults, the timeout shortened by VELMORA_NET_TIMEOUT_MS when set
    // (tests of servers that never answer).
    static ClientOptions fromEnvironment();
};

enum class Outcome { Found, NotFound, Failed, Cancelled };

struct LookupResult {
    Outcome outcome = Outcome::Failed;
    std::vector<discdata::ReleaseInfo> releases;
    QString message;  // Japanese, for Failed
};

struct CoverResult {
    Outcome outcome = Outcome::Failed;
    QByteArray image;
    QString message;  // Japanese, for Failed
};

// The wait a Retry-After header asks for, in milliseconds, between 0 and
// maxMs: a number of seconds (any number of digits: a huge one means the
// longest wait) or an HTTP date (measured from now); a second when it is
// neither.
int retryAfterWaitMs(QByteArrayView header, int maxMs,
                     const QDateTime& now = QDateTime::currentDateTimeUtc());

// An answer's body as it arrives, refused once it grows beyond its limit: the
// transfer can stop at the first byte too many instead of reading on.
class AnswerBody {
public:
    explicit AnswerBody(qint64 limit) : limit_(limit) {}
    // The length the server announces (-1: none). False when that is already
    // beyond the limit.
    bool announce(qint64 length);
    // Adds what arrived; false once the body is beyond the limit (what came
    // is dropped then).
    bool append(QByteArrayView chunk);
    bool tooLarge() const { return tooLarge_; }
    qint64 limit() const { return limit_; }
    qint64 size() const { return bytes_.size(); }
    QByteArray take();

private:
    qint64 limit_;
    QByteArray bytes_;
    bool tooLarge_ = false;
};

// A size as the messages give it: "5 MB", "64 KB".
QString sizeText(qint64 bytes);

class DiscDataClient : public QObject {
public:
    explicit DiscDataClient(ServiceAddresses addresses,
                            ClientOptions options = ClientOptions::fromEnvironment(),
                            QObject* parent = nullptr);
    ~DiscDataClient() override;

    // The releases of a disc: GET {server}/ws/2/discid/{id}?toc=...&inc=...,
    // the artists' aliases included (their Japanese readings).
    void lookupDisc(const QString& discId, const QString& toc, std::function<void(LookupResult)> done);
    // The front cover of a release: GET {cover}/release/{mbid}/front-500,
    // following redirects.
    void fetchCover(const QString& releaseId, std::function<void(CoverResult)> done);
    // Stops the request under way; its callback gets Cancelled.
    void cancel();
    bool busy() const { return active_.has_value(); }

    // When each MusicBrainz request of this client left, on the clock that
    // keeps them apart (the spacing is checked against these, not against
    // when a server happened to receive them).
    const std::vector<std::chrono::steady_clock::time_point>& musicBrainzSendTimes() const
    {
        return sendTimes_;
    }

    static QByteArray userAgent();
    QUrl lookupUrl(const QString& discId, const QString& toc) const;
    QUrl coverUrl(const QString& releaseId) const;

private:
    struct Answer {
        int status = 0;
        QByteArray body;
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QString errorText;
        QString host;
        bool timedOut = false;
        bool pastDeadline = false;
        bool tooLarge = false;
        bool cancelled = false;
    };
    struct Request {
        QUrl url;
        bool rateLimited = false;
        int deadlineMs = 0;
        qint64 maxBytes = 0;
        bool retried = false;
        std::function<void(const Answer&)> done;
    };

    void start(Request request);
    void scheduleSend(int delayMs);
    void send();
    void replyFinished();
    void readArrived();
    void stopReply(bool& reason);
    void finish(const Answer& answer);

    ServiceAddresses addresses_;
    ClientOptions options_;
    QNetworkAccessManager manager_;
    QTimer sendTimer_;
    QTimer timeoutTimer_;
    QTimer deadlineTimer_;
    std::optional<Request> active_;
    QNetworkReply* reply_ = nullptr;
    AnswerBody body_{0};
    bool timedOut_ = false;
    bool pastDeadline_ = false;
    bool tooLarge_ = false;
    bool cancelled_ = false;
    std::vector<std::chrono::steady_clock::time_point> sendTimes_;
};

// The Japanese message for a request that did not get an answer.
QString networkFailureText(QNetworkReply::NetworkError error, const QString& host, const QString& detail);

// Runs the event loop until the lookup or the fetch has finished (for the
// command line, which has no window to keep responsive).
LookupResult lookupDiscAndWait(DiscDataClient& client, const QString& discId, const QString& toc);
CoverResult fetchCoverAndWait(DiscDataClient& client, const QString& releaseId);

}  // namespace velmora::net
