// CD drives and the table of contents of the disc in one, through libcdio.
// A disc image (CUE/BIN, TOC, NRG) counts as a disc in a drive; a cue sheet
// is read by our own reader, whatever files it names (a BIN, a WAV or FLAC
// of the whole disc, one file per track).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/discdata/disc_id.h"

namespace velmora::media {

// The machine's CD drives in name order, then the disc images named in
// VELMORA_CD_DEVICES (colon-separated paths), each once.
std::vector<std::string> listCdDrives();

struct DiscToc {
    // Each track's length in frames (75 per second), from its start to the
    // next track's start, the lead-out for the last track.
    std::vector<std::int64_t> trackFrames;
    // Each track's start in frames from the start of track 1.
    std::vector<std::int64_t> trackStarts;
    // The first track's number and its address on the disc (what the disc
    // identifiers count from).
    int firstTrack = 1;
    std::int64_t firstAddress = 0;
};

// Damaged: an image whose tracks end before they start, or a cue sheet
// whose files are missing or unreadable (`problem` tells which).
enum class DriveState { Missing, NoDisc, Disc, Damaged };

struct DriveRead {
    DriveState state = DriveState::Missing;
    DiscToc toc;
    // Every track with its address and kind (audio or data).
    discdata::DiscLayout layout;
    // Why a Damaged image cannot be used, in Japanese.
    std::string problem;
};

// Reads the table of contents of the disc in `element` (a drive's device
// path or a disc image). Missing: nothing of that name can be opened;
// NoDisc: the drive opened but holds no readable disc.
DriveRead readDisc(const std::string& element);

// What the disc identifiers are computed from, for the disc in `element`:
// the table, or the reason there is none (no disc, a data disc, a damaged
// image) as a Japanese message. The command line and the windows both read
// discs through this.
struct DiscIdentity {
    DriveState state = DriveState::Missing;
    discdata::LayoutTable layout;
    std::vector<std::int64_t> trackFrames;
    std::string problem;  // empty when `layout` can be identified
};
DiscIdentity readDiscIdentity(const std::string& element);

}  // namespace velmora::media
