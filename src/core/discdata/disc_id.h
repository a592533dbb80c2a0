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

// Sectors between the end of an Enhanced CD's audio session and its data
// track: the first session's lead-out and the second's lead-in. The disc
// identifiers leave the data track out and end the audio this far before it.
inline constexpr std::int64_t kSessionGapSectors = 11400;

// A disc as the drive layer reads it: every track with its address (sector
// 0 is where track 1's address 0 lies, the lead-in not counted) and whether
// it holds audio, and the address of the lead-out.
struct DiscLayout {
    struct Track {
        int number = 0;
        std::int64_t address = 0;
        bool audio = true;
    };
    std::vector<Track> tracks;
    std::int64_t leadout = 0;
};

enum class LayoutProblem {
    None,
    NoTracks,  // nothing that reads as a disc
    NoAudio,   // a CD-ROM, a Video CD: no audio track at all
    Damaged,   // a track that ends before it starts
};

struct LayoutTable {
    LayoutProblem problem = LayoutProblem::None;
    // The track that ends before it starts (Damaged).
    int damagedTrack = 0;
    // The table the identifiers are computed from: every track up to the
    // last audio one (a data track first stays, as on a mixed-mode disc);
    // data tracks after the audio are left out and the lead-out lies
    // kSessionGapSectors before the first of them.
    DiscTable table;
};

LayoutTable discTableFromLayout(const DiscLayout& layout);

// The message for a disc that cannot be identified (UTF-8, Japanese); empty
// for LayoutProblem::None.
std::string layoutProblemText(const LayoutTable& table);

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
