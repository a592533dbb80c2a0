// A MusicBrainz release as the disc lookup answers it, in plain form: text
// is UTF-8 as the service sends it; nothing here has been checked against
// what a catalogue cell may hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::discdata {

struct TrackInfo {
    std::string title;
    // The track's artist credit written out ("A feat. B").
    std::string artist;
};

struct MediumInfo {
    int position = 0;
    std::string format;  // "CD", "Vinyl", ...
    std::string title;
    // The disc IDs attached to this medium, and each one's lead-out in
    // sectors (lead-in included) as the service gives it, 0 when unknown.
    std::vector<std::string> discIds;
    std::vector<std::int64_t> discSectors;
    std::vector<TrackInfo> tracks;
};

struct ReleaseInfo {
    std::string id;  // the release's MBID
    std::string title;
    std::string artist;  // the release's artist credit written out
    // Candidates for the reading of the release's (first) artist, best
    // first: the sort name of its primary Japanese alias, its sort name.
    std::vector<std::string> artistReadings;
    std::string date;
    std::string country;  // ISO 3166 code ("JP"; "XW" for worldwide)
    std::string barcode;
    // "label / catalogue number" for each label entry the answer holds.
    std::vector<std::string> labels;
    std::vector<MediumInfo> media;
};

}  // namespace velmora::discdata
