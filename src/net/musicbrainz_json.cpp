#include "net/musicbrainz_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace velmora::net {

namespace {

std::string utf8(const QJsonValue& value)
{
    return value.toString().toStdString();
}

// A text field: missing and null are empty, a string is its text, anything
// else (a number for a title) makes the answer unreadable.
bool readText(const QJsonValue& value, std::string& text)
{
    if (value.isUndefined() || value.isNull()) {
        text.clear();
        return true;
    }
    if (!value.isString()) {
        return false;
    }
    text = value.toString().toStdString();
    return true;
}

// An artist credit written out: each name followed by its join phrase. A
// credit that is not a list of credited names is unreadable.
bool readCredit(const QJsonValue& value, std::string& text)
{
    text.clear();
    if (value.isUndefined() || value.isNull()) {
        return true;
    }
    if (!value.isArray()) {
        return false;
    }
    for (const QJsonValue& part : value.toArray()) {
        if (!part.isObject()) {
            return false;
        }
        const QJsonObject credit = part.toObject();
        std::string name;
        std::string join;
        if (!readText(credit.value(QStringLiteral("name")), name) ||
            !readText(credit.value(QStringLiteral("joinphrase")), join)) {
            return false;
        }
        if (name.empty()) {
            name = utf8(credit.value(QStringLiteral("artist")).toObject().value(QStringLiteral("name")));
        }
        text += name + join;
    }
    return true;
}

// The readings the first credited artist offers: the sort name of its
// primary Japanese alias, then its own sort name.
std::vector<std::string> artistReadings(const QJsonValue& credit)
{
    std::vector<std::string> readings;
    const QJsonObject artist = credit.toArray().first().toObject().value(QStringLiteral("artist")).toObject();
    for (const QJsonValue& value : artist.value(QStringLiteral("aliases")).toArray()) {
        const QJsonObject alias = value.toObject();
        if (alias.value(QStringLiteral("locale")).toString() == QStringLiteral("ja") &&
            alias.value(QStringLiteral("primary")).toBool()) {
            readings.push_back(utf8(alias.value(QStringLiteral("sort-name"))));
        }
    }
    if (const QString sortName = artist.value(QStringLiteral("sort-name")).toString(); !sortName.isEmpty()) {
        readings.push_back(sortName.toStdString());
    }
    return readings;
}

bool parseMedium(const QJsonObject& object, discdata::MediumInfo& medium)
{
    medium.position = object.value(QStringLiteral("position")).toInt();
    if (!readText(object.value(QStringLiteral("format")), medium.format) ||
        !readText(object.value(QStringLiteral("title")), medium.title)) {
        return false;
    }
    for (const QJsonValue& disc : object.value(QStringLiteral("discs")).toArray()) {
        medium.discIds.push_back(utf8(disc.toObject().value(QStringLiteral("id"))));
        medium.discSectors.push_back(disc.toObject().value(QStringLiteral("sectors")).toInteger());
    }
    const QJsonValue tracks = object.value(QStringLiteral("tracks"));
    if (!tracks.isUndefined() && !tracks.isArray()) {
        return false;
    }
    for (const QJsonValue& value : tracks.toArray()) {
        if (!value.isObject()) {
            return false;
        }
        const QJsonObject track = value.toObject();
        const QJsonObject recording = track.value(QStringLiteral("recording")).toObject();
        discdata::TrackInfo info;
        if (!readText(track.value(QStringLiteral("title")), info.title)) {
            return false;
        }
        if (info.title.empty() && !readText(recording.value(QStringLiteral("title")), info.title)) {
            return false;
        }
        QJsonValue credit = track.value(QStringLiteral("artist-credit"));
        if (credit.isUndefined() || credit.isNull()) {
            credit = recording.value(QStringLiteral("artist-credit"));
        }
        if (!readCredit(credit, info.artist)) {
            return false;
        }
        medium.tracks.push_back(std::move(info));
    }
    return true;
}

bool parseRelease(const QJsonObject& object, discdata::ReleaseInfo& release)
{
    release.id = utf8(object.value(QStringLiteral("id")));
    if (release.id.empty()) {
        return false;
    }
    if (!readText(object.value(QStringLiteral("title")), release.title) ||
        !readCredit(object.value(QStringLiteral("artist-credit")), release.artist) ||
        !readText(object.value(QStringLiteral("date")), release.date) ||
        !readText(object.value(QStringLiteral("barcode")), release.barcode) ||
        !readText(object.value(QStringLiteral("country")), release.country)) {
        return false;
    }
    release.artistReadings = artistReadings(object.value(QStringLiteral("artist-credit")));
    for (const QJsonValue& value : object.value(QStringLiteral("label-info")).toArray()) {
        const QJsonObject info = value.toObject();
        const QString label =
            info.value(QStringLiteral("label")).toObject().value(QStringLiteral("name")).toString();
        const QString number = info.value(QStringLiteral("catalog-number")).toString();
        QString text = label;
        if (!number.isEmpty()) {
            text += (text.isEmpty() ? QString() : QStringLiteral(" / ")) + number;
        }
        if (!text.isEmpty()) {
            release.labels.push_back(text.toStdString());
        }
    }
    const QJsonValue media = object.value(QStringLiteral("media"));
    if (!media.isUndefined() && !media.isArray()) {
        return false;
    }
    for (const QJsonValue& value : media.toArray()) {
        discdata::MediumInfo medium;
        if (!value.isObject() || !parseMedium(value.toObject(), medium)) {
            return false;
        }
        release.media.push_back(std::move(medium));
    }
    return true;
}

}  // namespace

ParsedReleases parseDiscidAnswer(const QByteArray& json)
{
    ParsedReleases parsed;
    const QString unreadable = QStringLiteral("MusicBrainzの応答を読み取れません。");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        parsed.error = unreadable;
        return parsed;
    }
    const QJsonValue releases = document.object().value(QStringLiteral("releases"));
    if (!releases.isArray()) {
        parsed.error = unreadable;
        return parsed;
    }
    for (const QJsonValue& value : releases.toArray()) {
        discdata::ReleaseInfo release;
        if (!value.isObject() || !parseRelease(value.toObject(), release)) {
            parsed.releases.clear();
            parsed.error = unreadable;
            return parsed;
        }
        parsed.releases.push_back(std::move(release));
    }
    parsed.ok = true;
    return parsed;
}

QString serviceErrorText(const QByteArray& json)
{
    // A server can put anything into its error: a message shows the start.
    constexpr qsizetype kShown = 300;
    QString text = QJsonDocument::fromJson(json).object().value(QStringLiteral("error")).toString();
    if (text.size() > kShown) {
        text = text.left(kShown) + QStringLiteral("…");
    }
    return text;
}

}  // namespace velmora::net
