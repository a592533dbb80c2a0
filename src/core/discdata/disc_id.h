// Disc identifiers of an audio CD, computed from the table of contents that
// the drive layer reads (libdiscid is given the offsets; it never opens a
// drive itself, so disc images work as well as drives).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::discdata {

// Sectors before the first track's address 0: every offset below counts them.
inline constexpr std::int64_t kLeadInSectors = 150;

// A disc's table of contents in the form the disc identifiers use.
struct DiscTable {
    int firstTrack = 1;
    int lastTrack = 0;
    // Where the lead-out starts and where each track starts, in sectors from
    // the start of the disc including the lead-in.
    std::int64_t leadout = 0;
    std::vector<std::int64_t> offsets;
};

// The table of a disc whose tracks last `trackFrames` sectors each, the first
// numbered `firstTrack` and starting at address `firstAddress` (0 on almost
// every disc).
DiscTable discTableFromLengths(const std::vector<std::int64_t>& trackFrames, int firstTrack = 1,
                               std::int64_t firstAddress = 0);

// "first last leadout offset1 ... offsetN", the form a fuzzy lookup takes.
std::string tocString(const DiscTable& table);

struct DiscIds {
    std::string musicBrainz;    // 28 characters
    std::string freeDb;         // 8 hexadecimal digits
    std::string submissionUrl;  // the page that attaches the disc to a release
};

// The identifiers, or nothing for a table no disc can have (no tracks, more
// than 99, offsets out of order or past the lead-out).
std::optional<DiscIds> computeDiscIds(const DiscTable& table);

}  // namespace velmora::discdata
