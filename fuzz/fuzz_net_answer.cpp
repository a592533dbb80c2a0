// A server's Retry-After and the answer body as it arrives in pieces: every
// wait stays between none and the longest, and a body is either kept whole
// (within its cap, byte for byte) or refused, never kept in part.
//
// The input: a limit byte, a Retry-After line up to the first newline, then
// the body, cut into pieces whose lengths come from the body's own bytes.
#include <QTimeZone>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "net/disc_data_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    if (size == 0) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const qint64 limit = static_cast<unsigned char>(input[0]) * 16;
    std::string_view rest = input.substr(1);
    const std::size_t newline = rest.find('\n');
    const std::string_view header = rest.substr(0, newline);
    const std::string_view body =
        newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);

    const QByteArrayView headerView(header.data(), static_cast<qsizetype>(header.size()));
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1767225600, QTimeZone::utc());
    for (const int longest : {0, 1000, 30000, 2147483647}) {
        const int wait = net::retryAfterWaitMs(headerView, longest, now);
        FUZZ_CHECK(wait >= 0 && wait <= longest, "a Retry-After wait lies between none and the longest");
    }

    net::AnswerBody answer(limit);
    const bool announcedFits = answer.announce(static_cast<qint64>(body.size()));
    std::size_t at = 0;
    bool kept = announcedFits;
    while (kept && at < body.size()) {
        const std::size_t piece =
            std::min<std::size_t>(body.size() - at, 1 + static_cast<unsigned char>(body[at]));
        kept = answer.append(QByteArrayView(body.data() + at, static_cast<qsizetype>(piece)));
        FUZZ_CHECK(answer.size() <= limit, "a body never grows beyond its limit");
        at += piece;
    }
    const bool fits = static_cast<qint64>(body.size()) <= limit;
    FUZZ_CHECK(kept == fits, "a body is kept exactly when it fits its limit");
    FUZZ_CHECK(answer.tooLarge() == !fits, "a body beyond its limit is marked too large");
    const QByteArray taken = answer.take();
    if (fits) {
        FUZZ_CHECK(std::string_view(taken.constData(), static_cast<std::size_t>(taken.size())) == body,
                   "a body within its limit is kept byte for byte");
    } else {
        FUZZ_CHECK(taken.isEmpty(), "a refused body keeps nothing");
    }
    return 0;
}
