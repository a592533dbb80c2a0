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

// Where a track's sound lies in an image whose files we read ourselves (a
// cue sheet): the file, how its samples are stored, and the stretch from
// the track's INDEX 01 to where its sound stops in that file (the next
// track's INDEX 01 in the same file, or the file's end), in sectors.
struct TrackSource {
    std::string file;  // empty for a data track: nothing to play
    bool raw = false;  // CD samples without a header (BINARY, MOTOROLA)
    bool bigEndian = false;
    std::int64_t start = 0;
    std::int64_t end = 0;
};

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
    // One for each track of a cue sheet; empty for drives and for the
    // images libcdio reads.
    std::vector<TrackSource> sources;
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

// What libcdio (and GStreamer's CD source, which reads through it) is to
// open for `element`. A cdrdao TOC file names its files relative to itself
// but libcdio looks them up in the current folder, so a TOC file is given
// as a copy that names them by full path, removed with this object; any
// other element as it is.
class CdioElement {
public:
    explicit CdioElement(const std::string& element);
    ~CdioElement();
    CdioElement(const CdioElement&) = delete;
    CdioElement& operator=(const CdioElement&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string copy_;
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
