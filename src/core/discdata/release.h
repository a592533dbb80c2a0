// A MusicBrainz release as the disc lookup answers it, in plain form: text
// is UTF-8 as the service sends it; nothing here has been checked against
// what a catalogue cell may hold.
#pragma once

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
    // The disc IDs attached to this medium.
    std::vector<std::string> discIds;
    std::vector<TrackInfo> tracks;
};

struct ReleaseInfo {
    std::string id;  // the release's MBID
    std::string title;
    std::string artist;  // the release's artist credit written out
    std::string date;
    std::string country;
    // "label / catalogue number" for each label entry the answer holds.
    std::vector<std::string> labels;
    std::vector<MediumInfo> media;
};

}  // namespace velmora::discdata
