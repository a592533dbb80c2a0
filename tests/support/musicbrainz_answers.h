// Answers shaped as the MusicBrainz web service (ws/2, JSON) documents them,
// for the disc lookup tests: a disc with its releases, each release with its
// artist credit, labels and media, each medium with its discs and tracks.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

struct MbTrack {
    QString title;
    // The track's artist credit as (name, join phrase) pairs; empty: the
    // release's.
    std::vector<std::pair<QString, QString>> credit;
};

struct MbMedium {
    std::vector<QString> discIds;
    std::vector<MbTrack> tracks;
    QString format = QStringLiteral("CD");
    // Each attached disc's lead-out in sectors; 200000 for those not named.
    std::vector<std::int64_t> discSectors = {};
};

struct MbRelease {
    QString id;
    QString title;
    std::vector<std::pair<QString, QString>> credit;
    QString date;
    QString country;
    std::vector<std::pair<QString, QString>> labels;  // (label name, catalogue number)
    std::vector<MbMedium> media;
    QString barcode = {};
};

inline QJsonArray mbCredit(const std::vector<std::pair<QString, QString>>& credit)
{
    QJsonArray array;
    int n = 0;
    for (const auto& [name, join] : credit) {
        array.append(QJsonObject{{"name", name},
                                 {"joinphrase", join},
                                 {"artist", QJsonObject{{"id", QStringLiteral("00000000-0000-4000-8000-%1")
                                                                   .arg(++n, 12, 10, QLatin1Char('0'))},
                                                        {"name", name},
                                                        {"sort-name", name}}}});
    }
    return array;
}

inline QJsonObject mbReleaseObject(const MbRelease& release)
{
    const QJsonArray releaseCredit = mbCredit(release.credit);
    QJsonArray media;
    int position = 0;
    for (const MbMedium& medium : release.media) {
        QJsonArray discs;
        for (std::size_t i = 0; i < medium.discIds.size(); ++i) {
            const qint64 sectors = i < medium.discSectors.size() ? medium.discSectors[i] : 200000;
            discs.append(QJsonObject{{"id", medium.discIds[i]},
                                     {"sectors", sectors},
                                     {"offset-count", int(medium.tracks.size())}});
        }
        QJsonArray tracks;
        int number = 0;
        for (const MbTrack& track : medium.tracks) {
            ++number;
            const QJsonArray credit = track.credit.empty() ? releaseCredit : mbCredit(track.credit);
            tracks.append(QJsonObject{
                {"id", QStringLiteral("10000000-0000-4000-8000-%1").arg(number, 12, 10, QLatin1Char('0'))},
                {"number", QString::number(number)},
                {"position", number},
                {"title", track.title},
                {"length", 180000},
                {"artist-credit", credit},
                {"recording", QJsonObject{{"id", QStringLiteral("20000000-0000-4000-8000-%1")
                                                     .arg(number, 12, 10, QLatin1Char('0'))},
                                          {"title", track.title},
                                          {"length", 180000},
                                          {"artist-credit", credit}}}});
        }
        media.append(QJsonObject{{"position", ++position},
                                 {"format", medium.format},
                                 {"title", QString()},
                                 {"track-count", int(medium.tracks.size())},
                                 {"track-offset", 0},
                                 {"discs", discs},
                                 {"tracks", tracks}});
    }
    QJsonArray labels;
    for (const auto& [label, number] : release.labels) {
        labels.append(QJsonObject{{"catalog-number", number}, {"label", QJsonObject{{"name", label}}}});
    }
    QJsonObject object{{"id", release.id},    {"title", release.title},         {"status", "Official"},
                       {"quality", "normal"}, {"artist-credit", releaseCredit}, {"media", media}};
    if (!release.date.isEmpty()) {
        object.insert("date", release.date);
    }
    if (!release.country.isEmpty()) {
        object.insert("country", release.country);
    }
    if (!labels.isEmpty()) {
        object.insert("label-info", labels);
    }
    if (!release.barcode.isEmpty()) {
        object.insert("barcode", release.barcode);
    }
    return object;
}

// The answer for a disc ID known to the service.
inline QByteArray mbDiscAnswer(const QString& discId, const std::vector<MbRelease>& releases)
{
    QJsonArray list;
    for (const MbRelease& release : releases) {
        list.append(mbReleaseObject(release));
    }
    return QJsonDocument(
               QJsonObject{{"id", discId}, {"sectors", 200000}, {"offset-count", 1}, {"releases", list}})
        .toJson(QJsonDocument::Compact);
}

// Simple tracks "title 1" ... "title n".
inline std::vector<MbTrack> mbTracks(int count, const QString& stem = QStringLiteral("Song "))
{
    std::vector<MbTrack> tracks;
    for (int i = 1; i <= count; ++i) {
        tracks.push_back({stem + QString::number(i), {}});
    }
    return tracks;
}

}  // namespace velmora::test
