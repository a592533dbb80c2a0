#include "net/disc_data_client.h"

#include <QDateTime>
#include <QEventLoop>
#include <QNetworkRequest>
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "net/musicbrainz_json.h"

namespace velmora::net {

namespace {

using Clock = std::chrono::steady_clock;

// When this process last sent a request to MusicBrainz; the service allows
// one a second from each client.
std::optional<Clock::time_point>& lastMusicBrainzRequest()
{
    static std::optional<Clock::time_point> last;
    return last;
}

int msUntilNextRequest(int minIntervalMs, Clock::time_point now = Clock::now())
{
    const std::optional<Clock::time_point>& last = lastMusicBrainzRequest();
    if (!last) {
        return 0;
    }
    // Rounded up: a request never leaves a fraction of a millisecond early.
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - *last).count();
    const long long remaining = static_cast<long long>(minIntervalMs) * 1000 - elapsed;
    return remaining <= 0 ? 0 : static_cast<int>((remaining + 999) / 1000);
}

QString trimmedServer(const QString& server)
{
    QString base = server.trimmed();
    while (base.endsWith(QLatin1Char('/'))) {
        base.chop(1);
    }
    return base;
}

QString busyText()
{
    return QStringLiteral("MusicBrainzが混雑しています。しばらくしてからもう一度お試しください。");
}

}  // namespace

int retryAfterWaitMs(QByteArrayView header, int maxMs, const QDateTime& now)
{
    const int longest = std::max(0, maxMs);
    const QByteArrayView text = header.trimmed();
    const bool digits =
        !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits) {
        // Counted up in milliseconds and stopped at the longest wait: no
        // number of digits can overflow.
        qint64 ms = 0;
        for (const char c : text) {
            ms = ms * 10 + (c - '0') * 1000;
            if (ms >= longest) {
                return longest;
            }
        }
        return static_cast<int>(ms);
    }
    if (text.startsWith('-') && text.size() > 1 &&
        std::all_of(text.begin() + 1, text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    // HTTP dates end in "GMT", which Qt's RFC 2822 reading does not take.
    QString date = QString::fromLatin1(text);
    if (date.endsWith(QLatin1String(" GMT"))) {
        date.replace(date.size() - 3, 3, QStringLiteral("+0000"));
    }
    const QDateTime at = QDateTime::fromString(date, Qt::RFC2822Date);
    if (at.isValid()) {
        return static_cast<int>(std::clamp<qint64>(now.msecsTo(at), 0, longest));
    }
    return std::min(1000, longest);
}

bool AnswerBody::announce(qint64 length)
{
    if (length > limit_) {
        tooLarge_ = true;
        bytes_.clear();
    }
    return !tooLarge_;
}

bool AnswerBody::append(QByteArrayView chunk)
{
    if (tooLarge_) {
        return false;
    }
    if (chunk.size() > limit_ - bytes_.size()) {
        tooLarge_ = true;
        bytes_.clear();
        return false;
    }
    bytes_.append(chunk);
    return true;
}

QByteArray AnswerBody::take()
{
    QByteArray taken = std::move(bytes_);
    bytes_.clear();
    return taken;
}

QString sizeText(qint64 bytes)
{
    constexpr qint64 kMegabyte = 1024 * 1024;
    if (bytes >= kMegabyte && bytes % kMegabyte == 0) {
        return QStringLiteral("%1 MB").arg(bytes / kMegabyte);
    }
    return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
}

ClientOptions ClientOptions::fromEnvironment()
{
    ClientOptions options;
    if (const char* timeout = std::getenv("VELMORA_NET_TIMEOUT_MS")) {
        const int ms = std::atoi(timeout);
        if (ms > 0) {
            options.timeoutMs = ms;
        }
    }
    return options;
}

DiscDataClient::DiscDataClient(ServiceAddresses addresses, ClientOptions options, QObject* parent)
    : QObject(parent), addresses_(std::move(addresses)), options_(options)
{
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    sendTimer_.setSingleShot(true);
    timeoutTimer_.setSingleShot(true);
    deadlineTimer_.setSingleShot(true);
    connect(&sendTimer_, &QTimer::timeout, this, [this] { send(); });
    connect(&timeoutTimer_, &QTimer::timeout, this, [this] { stopReply(timedOut_); });
    connect(&deadlineTimer_, &QTimer::timeout, this, [this] { stopReply(pastDeadline_); });
}

void DiscDataClient::stopReply(bool& reason)
{
    if (reply_ != nullptr) {
        reason = true;
        reply_->abort();  // finished() follows, which reports the reason
    }
}

DiscDataClient::~DiscDataClient()
{
    if (reply_ != nullptr) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

QByteArray DiscDataClient::userAgent()
{
    return QByteArrayLiteral("Velmora/" VELMORA_VERSION " ( " VELMORA_PROJECT_ADDRESS " )");
}

QUrl DiscDataClient::lookupUrl(const QString& discId, const QString& toc) const
{
    QUrl url(trimmedServer(addresses_.musicBrainz) + QStringLiteral("/ws/2/discid/") +
             QString::fromLatin1(QUrl::toPercentEncoding(discId)));
    // The table of contents is numbers and blanks; the service takes the
    // blanks as "+", as in the list of includes.
    QString tocItem = QString::fromLatin1(QUrl::toPercentEncoding(toc.simplified(), " "));
    tocItem.replace(QLatin1Char(' '), QLatin1Char('+'));
    url.setQuery(QStringLiteral("toc=") + tocItem +
                 QStringLiteral("&inc=recordings+artist-credits+aliases&fmt=json"));
    return url;
}

QUrl DiscDataClient::coverUrl(const QString& releaseId) const
{
    return QUrl(trimmedServer(addresses_.cover) + QStringLiteral("/release/") +
                QString::fromLatin1(QUrl::toPercentEncoding(releaseId)) + QStringLiteral("/front-500"));
}

void DiscDataClient::lookupDisc(const QString& discId, const QString& toc,
                                std::function<void(LookupResult)> done)
{
    const int timeoutSeconds = (options_.timeoutMs + 999) / 1000;
    const int deadlineSeconds = (options_.lookupDeadlineMs + 999) / 1000;
    const qint64 maxBytes = options_.maxLookupBytes;
    start({lookupUrl(discId, toc), true, options_.lookupDeadlineMs, maxBytes, false,
           [done = std::move(done), timeoutSeconds, deadlineSeconds, maxBytes](const Answer& answer) {
               LookupResult result;
               if (answer.cancelled) {
                   result.outcome = Outcome::Cancelled;
               } else if (answer.tooLarge) {
                   result.message =
                       QStringLiteral("MusicBrainzの応答が大きすぎるため読み込みを中止しました (上限 %1)。")
                           .arg(sizeText(maxBytes));
               } else if (answer.pastDeadline) {
                   result.message = QStringLiteral(
                                        "MusicBrainzの応答が%1秒以内に終わりませんでした。"
                                        "時間をおいてもう一度お試しください。")
                                        .arg(deadlineSeconds);
               } else if (answer.timedOut) {
                   result.message = QStringLiteral(
                                        "MusicBrainzが応答しません (%1秒待ちました)。"
                                        "時間をおいてもう一度お試しください。")
                                        .arg(timeoutSeconds);
               } else if (answer.status == 404) {
                   result.outcome = Outcome::NotFound;
               } else if (answer.status == 503) {
                   result.message = busyText();
               } else if (answer.status == 200) {
                   ParsedReleases parsed = parseDiscidAnswer(answer.body);
                   if (!parsed.ok) {
                       result.message = parsed.error;
                   } else {
                       result.outcome = parsed.releases.empty() ? Outcome::NotFound : Outcome::Found;
                       result.releases = std::move(parsed.releases);
                   }
               } else if (answer.status != 0) {
                   QString text = serviceErrorText(answer.body);
                   result.message =
                       QStringLiteral("MusicBrainzがエラーを返しました (HTTP %1)。").arg(answer.status) +
                       (text.isEmpty() ? QString() : QStringLiteral("\n") + text);
               } else {
                   result.message = networkFailureText(answer.error, answer.host, answer.errorText);
               }
               done(std::move(result));
           }});
}

void DiscDataClient::fetchCover(const QString& releaseId, std::function<void(CoverResult)> done)
{
    const int deadlineSeconds = (options_.coverDeadlineMs + 999) / 1000;
    const qint64 maxBytes = options_.maxCoverBytes;
    start({coverUrl(releaseId), false, options_.coverDeadlineMs, maxBytes, false,
           [done = std::move(done), deadlineSeconds, maxBytes](const Answer& answer) {
               CoverResult result;
               if (answer.cancelled) {
                   result.outcome = Outcome::Cancelled;
               } else if (answer.tooLarge) {
                   result.message = QStringLiteral("カバー画像が大きすぎるため取得を中止しました (上限 %1)。")
                                        .arg(sizeText(maxBytes));
               } else if (answer.pastDeadline) {
                   result.message =
                       QStringLiteral("カバー画像のサーバーの応答が%1秒以内に終わりませんでした。")
                           .arg(deadlineSeconds);
               } else if (answer.timedOut) {
                   result.message = QStringLiteral("カバー画像のサーバーが応答しません。");
               } else if (answer.status == 404) {
                   result.outcome = Outcome::NotFound;
               } else if (answer.status == 200 && !answer.body.isEmpty()) {
                   result.outcome = Outcome::Found;
                   result.image = answer.body;
               } else if (answer.status != 0) {
                   result.message =
                       QStringLiteral("カバー画像を取得できません (HTTP %1)。").arg(answer.status);
               } else {
                   result.message = networkFailureText(answer.error, answer.host, answer.errorText);
               }
               done(std::move(result));
           }});
}

void DiscDataClient::start(Request request)
{
    if (active_) {
        cancel();
    }
    active_ = std::move(request);
    cancelled_ = false;
    timedOut_ = false;
    pastDeadline_ = false;
    tooLarge_ = false;
    scheduleSend(active_->rateLimited ? msUntilNextRequest(options_.minIntervalMs) : 0);
}

void DiscDataClient::scheduleSend(int delayMs)
{
    // Even an immediate send goes through the event loop: the caller gets
    // its answer only after the call that asked has returned.
    sendTimer_.start(std::max(0, delayMs));
}

void DiscDataClient::send()
{
    if (!active_) {
        return;
    }
    if (active_->rateLimited) {
        // The time checked is the time recorded: the distance between two
        // sends is exactly what was measured, however late a timer fires.
        const Clock::time_point now = Clock::now();
        const int wait = msUntilNextRequest(options_.minIntervalMs, now);
        if (wait > 0) {
            scheduleSend(wait);
            return;
        }
        lastMusicBrainzRequest() = now;
        sendTimes_.push_back(now);
    }
    QNetworkRequest request(active_->url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setRawHeader("Accept", active_->rateLimited ? "application/json" : "image/*");
    body_ = AnswerBody(active_->maxBytes);
    reply_ = manager_.get(request);
    connect(reply_, &QNetworkReply::finished, this, [this] { replyFinished(); });
    // The body is taken as it arrives, so that the reply buffers no more than
    // one read and an answer beyond its cap stops at once.
    connect(reply_, &QNetworkReply::readyRead, this, [this] { readArrived(); });
    connect(reply_, &QNetworkReply::metaDataChanged, this, [this] {
        if (reply_ == nullptr) {
            return;
        }
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && !body_.announce(length.toLongLong())) {
            stopReply(tooLarge_);
        }
    });
    // The timeout counts from the last sign of life, so a slow image that
    // keeps arriving is not cut off; the deadline bounds the whole answer.
    connect(reply_, &QNetworkReply::downloadProgress, this,
            [this] { timeoutTimer_.start(options_.timeoutMs); });
    timeoutTimer_.start(options_.timeoutMs);
    deadlineTimer_.start(std::max(1, active_->deadlineMs));
}

void DiscDataClient::readArrived()
{
    if (reply_ == nullptr || tooLarge_) {
        return;
    }
    if (!body_.append(reply_->readAll())) {
        stopReply(tooLarge_);
    }
}

void DiscDataClient::replyFinished()
{
    QNetworkReply* reply = reply_;
    if (!cancelled_ && !timedOut_ && !pastDeadline_ && !tooLarge_ && !body_.append(reply->readAll())) {
        tooLarge_ = true;
    }
    reply_ = nullptr;
    timeoutTimer_.stop();
    deadlineTimer_.stop();
    reply->deleteLater();
    Answer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.error = reply->error();
    answer.errorText = reply->errorString();
    answer.host = reply->url().host();
    answer.timedOut = timedOut_;
    answer.pastDeadline = pastDeadline_;
    answer.tooLarge = tooLarge_;
    answer.cancelled = cancelled_;
    const bool stopped = answer.cancelled || answer.timedOut || answer.pastDeadline || answer.tooLarge;
    if (!stopped) {
        answer.body = body_.take();
    }
    body_ = AnswerBody(0);
    if (answer.status == 503 && !stopped && active_ && !active_->retried) {
        active_->retried = true;
        pastDeadline_ = false;
        const int wait = retryAfterWaitMs(reply->rawHeader("Retry-After"), options_.maxRetryWaitMs);
        scheduleSend(std::max(wait, active_->rateLimited ? msUntilNextRequest(options_.minIntervalMs) : 0));
        return;
    }
    finish(answer);
}

void DiscDataClient::finish(const Answer& answer)
{
    if (!active_) {
        return;
    }
    std::function<void(const Answer&)> done = std::move(active_->done);
    active_.reset();
    done(answer);
}

void DiscDataClient::cancel()
{
    if (!active_) {
        return;
    }
    cancelled_ = true;
    sendTimer_.stop();
    timeoutTimer_.stop();
    deadlineTimer_.stop();
    if (reply_ != nullptr) {
        reply_->abort();  // finished() follows, which reports the cancel
        return;
    }
    Answer answer;
    answer.cancelled = true;
    finish(answer);
}

QString networkFailureText(QNetworkReply::NetworkError error, const QString& host, const QString& detail)
{
    switch (error) {
        case QNetworkReply::HostNotFoundError:
            return QStringLiteral(
                       "サーバー「%"
                       "1」が見つかりません。ネットワークへの接続と設定のサーバー名を確かめてください。")
                .arg(host);
        case QNetworkReply::ConnectionRefusedError:
            return QStringLiteral("サーバー「%1」に接続できません。").arg(host);
        case QNetworkReply::RemoteHostClosedError:
            return QStringLiteral("サーバー「%1」が途中で接続を切りました。").arg(host);
        case QNetworkReply::TimeoutError:
            return QStringLiteral("サーバー「%1」が応答しません。").arg(host);
        case QNetworkReply::SslHandshakeFailedError:
            return QStringLiteral("サーバー「%1」との暗号化通信を確立できません。").arg(host);
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::TemporaryNetworkFailureError:
            return QStringLiteral("ネットワークに接続されていません。");
        default:
            return QStringLiteral("通信に失敗しました (%1)。").arg(detail);
    }
}

LookupResult lookupDiscAndWait(DiscDataClient& client, const QString& discId, const QString& toc)
{
    LookupResult result;
    QEventLoop loop;
    client.lookupDisc(discId, toc, [&](LookupResult answer) {
        result = std::move(answer);
        loop.quit();
    });
    loop.exec();
    return result;
}

CoverResult fetchCoverAndWait(DiscDataClient& client, const QString& releaseId)
{
    CoverResult result;
    QEventLoop loop;
    client.fetchCover(releaseId, [&](CoverResult answer) {
        result = std::move(answer);
        loop.quit();
    });
    loop.exec();
    return result;
}

}  // namespace velmora::net
