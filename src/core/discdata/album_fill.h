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
#include "core/readings/reading_dictionary.h"
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
// disc ID; otherwise (an answer found through the table of contents) among
// the media with the disc's number of tracks, CD media first, the one whose
// attached discs end closest to `leadout` (a box set of discs with equal
// track counts), the first of them when none has a disc attached. Nothing
// when the release has no media.
const MediumInfo* matchingMedium(const ReleaseInfo& release, std::string_view discId, std::size_t discTracks,
                                 std::int64_t leadout = 0);

// The number of tracks of the medium that stands for the disc (0 when none).
std::size_t matchingTrackCount(const ReleaseInfo& release, std::string_view discId, std::size_t discTracks,
                               std::int64_t leadout = 0);

// What the release chooser shows of a release, UTF-8: its media formats
// ("CD", "2×SHM-CD", "CD + DVD"), and its country as a Japanese name
// (「日本」, 「全世界」 for XW; the code itself for a country not named).
std::string formatSummary(const ReleaseInfo& release);
std::string countryName(std::string_view code);

// The memo line of the release's year (「2001年」, CP932), empty without a
// date.
std::string yearMemoLine(const ReleaseInfo& release);

struct AlbumFill {
    store::AlbumRecord record;
    // The fields that hold a 「〓」, named as the edit dialog names them
    // ("アルバム", "3曲目の曲名"), UTF-8.
    std::vector<std::string> replacedFields;
    // Tracks of the medium, and whether those past the 99th were left out.
    std::size_t mediumTracks = 0;
    bool truncated = false;
};

// `base` with the release written over it: artist, album title (with
// 「(Disc 2/3)」 for a disc of a set), the first 99 tracks' titles, each
// track's artist where it differs from the release's (otherwise the cell
// stays), and the disc's references in the media cells. The reading becomes
// the artist's Japanese reading when the service gives one in kana, else the
// new artist when it was a copy of the old one. An empty memo gets the
// release's year, an empty media category the medium's format. Every other
// cell (the first category, picture, later songs) stays. A reading the user
// chose for the new artist before (`chosenReadings`) comes before the
// service's.
AlbumFill fillAlbum(const store::AlbumRecord& base, const ReleaseInfo& release, const MediumInfo& medium,
                    const std::vector<std::string>& references,
                    const readings::ChosenReadings* chosenReadings = nullptr);

// What a fetch does to an album that already holds text: the merged
// record, and the fields (named as the edit dialog names them, UTF-8) whose
// typed text was kept or replaced.
struct FetchMerge {
    store::AlbumRecord record;
    std::vector<std::string> kept;
    std::vector<std::string> replaced;
};

// `fetched` (an album filled from an empty one) merged into `current`: a
// fetched text goes into an empty cell; a cell with other text keeps it
// unless `overwrite`, which replaces it and empties the songs past the
// release's `fetchedTracks` (title, artist, media). The memo gets the year
// in its first line. The media cells of the disc's tracks are always the
// disc's references; the picture is filled only where none is named.
FetchMerge mergeFetchedAlbum(const store::AlbumRecord& current, const store::AlbumRecord& fetched,
                             bool overwrite, std::size_t fetchedTracks);

// The names of the cells whose typed text differs from the fetched text.
std::vector<std::string> conflictingFields(const store::AlbumRecord& current,
                                           const store::AlbumRecord& fetched);

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
