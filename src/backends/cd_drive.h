// CD drives and the table of contents of the disc in one, through libcdio.
// A disc image (CUE/BIN, TOC, NRG) counts as a disc in a drive.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

enum class DriveState { Missing, NoDisc, Disc };

struct DriveRead {
    DriveState state = DriveState::Missing;
    DiscToc toc;
};

// Reads the table of contents of the disc in `element` (a drive's device
// path or a disc image). Missing: nothing of that name can be opened;
// NoDisc: the drive opened but holds no readable disc.
DriveRead readDisc(const std::string& element);

}  // namespace velmora::media
