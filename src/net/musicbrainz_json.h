// The MusicBrainz web service's JSON answers in plain form.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "core/discdata/release.h"

namespace velmora::net {

struct ParsedReleases {
    bool ok = false;
    std::vector<discdata::ReleaseInfo> releases;
    QString error;  // Japanese, when not ok
};

// The answer of /ws/2/discid/{id}?toc=...&inc=recordings+artist-credits: the
// releases of a disc, or (for a lookup by table of contents) those with a
// matching medium. An empty list is a valid answer. Anything that is not
// such an answer (not JSON, truncated, releases that are not objects, a
// title that is no text, a credit that is no list) is an error, never a
// partial list.
ParsedReleases parseDiscidAnswer(const QByteArray& json);

// The text of the "error" member of an error answer, if there is one; only
// its start when it is long.
QString serviceErrorText(const QByteArray& json);

}  // namespace velmora::net
