// Music files grouped into albums: the pure rule behind "register a folder".
//
// Files are grouped by their album folder (a folder, with its disc
// subfolders such as "CD1" or "Disc 2" counted in) and, within it, by album
// artist (the artist when the file has none) and album title. Songs follow
// the disc, then the track number, then the file name. Each album becomes a
// catalogue record ready to append.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "core/filescan/file_tags.h"
#include "core/store/album_record.h"
#include "core/store/album_table.h"

namespace velmora::filescan {

struct PlannedAlbum {
    store::AlbumRecord record;
    std::string folder;  // the album folder, as the file system's bytes
    int songs = 0;
    // Songs past the 99 a record holds, left out.
    int droppedSongs = 0;
    // Characters of its cells that CP932 lacks, written as 〓.
    int missingCharacters = 0;
    // The file whose own front picture becomes the album's picture (it is
    // written to the data folder when the album is registered); empty when
    // none of its files carries one. The picture cell is empty until then,
    // unless a picture file of the folder is used where it lies.
    std::string embeddedPictureFile;
};

struct ScanPlan {
    std::vector<PlannedAlbum> albums;  // in the order they are to be appended
    int knownFiles = 0;                // already the media of a song: not added again
    int knownAlbums = 0;               // every file already catalogued: skipped
    int unstorablePaths = 0;           // files whose path CP932 cannot hold: left out
    int missingCharacters = 0;         // 〓 written, over all albums

    int songCount() const;
};

// The key that decides which album a file belongs to; files with equal keys
// end up in one album.
std::string albumKey(const FileTags& file);

// The media cells of every song of the catalogue, as stored.
std::unordered_set<std::string> catalogueMediaPaths(const store::AlbumTable& table);

// Groups `files` into albums. A file whose media cell is in `known` is not
// added again, and an album all of whose songs are known is skipped.
ScanPlan planAlbums(std::vector<FileTags> files, const std::unordered_set<std::string>& known);

// Appends the albums as new rows at the end of the table; gives the row of
// the first one (the row after the last album when there are none).
int appendAlbums(store::AlbumTable& table, const std::vector<PlannedAlbum>& albums);

}  // namespace velmora::filescan
