// Our own reader of cue sheets: the disc a rip describes, from the FILE
// lines the sheet names (one file for the whole disc or one per track;
// BINARY, WAVE, FLAC) and each track's INDEX 01, PREGAP and POSTGAP.
// libcdio reads a sheet only when its audio lies in "<sheet name>.bin".
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/discdata/disc_id.h"

namespace velmora::media {

struct CueFile {
    // Resolved against the sheet's folder.
    std::filesystem::path path;
    // As the FILE line names it, in capitals ("BINARY", "WAVE", ...).
    std::string type;
    std::int64_t sectors = 0;
};

// Where a track starts in the files: INDEX 01 in sectors from the start of
// `file` (an index into CueSheet::files).
struct CueTrackPlace {
    std::size_t file = 0;
    std::int64_t start = 0;
};

struct CueSheet {
    discdata::DiscLayout layout;
    // The files the sheet names, in order.
    std::vector<CueFile> files;
    // One for each track of `layout`, in the same order.
    std::vector<CueTrackPlace> places;
};

struct CueReading {
    std::optional<CueSheet> sheet;
    // Why the sheet cannot be used (Japanese): a file it names is missing
    // or unreadable, a line is broken. Empty when the file is no cue sheet
    // at all (no track in it, or it cannot be opened).
    std::string error;
};

// The sheet at `path`; its files are looked up beside it.
CueReading readCueSheet(const std::filesystem::path& path);

// The same from the sheet's text, files resolved against `folder`.
CueReading parseCueSheet(std::string_view text, const std::filesystem::path& folder);

// The length of a sound or image file in CD sectors (75 a second; 2352
// bytes of a BINARY file); a partial last sector counts as one. Nothing
// when the file cannot be read as `type` ("BINARY", "WAVE", "FLAC", ...).
std::optional<std::int64_t> fileSectors(const std::filesystem::path& file, std::string_view type,
                                        int sectorBytes = 2352);

}  // namespace velmora::media
