// A chosen MusicBrainz release mapped onto an album record: the artist, the
// album title, each track's title and artist, and the disc's CD references,
// all as CP932 cells that the catalogue can hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/discdata/release.h"
#include "core/store/album_record.h"

namespace velmora::discdata {

// The stand-in for a character that has no CP932 form: 「〓」.
inline constexpr const char* kMissingCharacter = "\x81\xac";

// UTF-8 text as one catalogue cell: "<>" becomes 「＜＞」, each line break
// (CR LF, CR or LF) a blank, other control characters are dropped, and a
// character without a CP932 form becomes 「〓」 (JIS variants that CP932
// lacks go to their CP932 twins first). `replaced` tells whether a 「〓」
// was put in.
std::string cellFromUtf8(std::string_view utf8, bool* replaced = nullptr);

// The medium of the release that stands for the disc: the one carrying the
// disc ID; otherwise (an answer found through the table of contents) the
// first CD medium with the disc's number of tracks, then any medium with it.
// Nothing when the release has no media.
const MediumInfo* matchingMedium(const ReleaseInfo& release, std::string_view discId, std::size_t discTracks);

// The number of tracks of the medium that stands for the disc (0 when none).
std::size_t matchingTrackCount(const ReleaseInfo& release, std::string_view discId, std::size_t discTracks);

struct AlbumFill {
    store::AlbumRecord record;
    // The fields that hold a 「〓」, named as the edit dialog names them
    // ("アルバム", "3曲目の曲名"), UTF-8.
    std::vector<std::string> replacedFields;
    // Tracks of the medium, and whether those past the 99th were left out.
    std::size_t mediumTracks = 0;
    bool truncated = false;
};

// `base` with the release written over it: artist, album title, the first 99
// tracks' titles, each track's artist where it differs from the release's
// (otherwise the cell stays), and the disc's references in the media cells.
// A reading that was a copy of the old artist becomes the new artist. Every
// other cell (categories, memo, picture, later songs) stays.
AlbumFill fillAlbum(const store::AlbumRecord& base, const ReleaseInfo& release, const MediumInfo& medium,
                    const std::vector<std::string>& references);

// The cells a fetch would fill in an album being edited: artist, album and
// each song's title and artist. `conflicts` counts those that hold other
// text than the fetched one (only those are overwritten by `overwrite`).
int countTextConflicts(const store::AlbumRecord& current, const store::AlbumRecord& fetched);
// Copies the fetched artist, album, titles and song artists into `current`
// where its cell is empty, or everywhere with `overwrite`. Media, categories,
// memo and picture stay. Gives the number of cells changed.
int mergeFetchedTexts(store::AlbumRecord& current, const store::AlbumRecord& fetched, bool overwrite);

// The CD references of a disc whose tracks last `trackFrames` sectors, as
// registration writes them (the first 99; nothing for a disc whose first
// track is empty).
std::vector<std::string> referencesFromLengths(const std::vector<std::int64_t>& trackFrames);

// A file path (UTF-8) as a picture-path cell; nothing when a character of it
// has no CP932 form (the cell would name another file).
std::optional<std::string> pathCell(std::string_view utf8Path);

// A release MBID as the service writes them (lower-case UUID); only such a
// name becomes a file name.
bool isReleaseId(std::string_view id);

// Where the front cover of a release is kept: covers/{mbid}.jpg under the
// data folder.
std::string coverFileName(std::string_view releaseId);

// The page where a disc is submitted, on `server` (libdiscid names
// musicbrainz.org; a configured server replaces it).
std::string submissionUrlOn(std::string_view server, const std::string& libdiscidUrl);

}  // namespace velmora::discdata
