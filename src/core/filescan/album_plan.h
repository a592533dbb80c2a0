// Music files grouped into albums: the pure rule behind "register a folder".
//
// Files are grouped by their album folder (a folder, with its disc
// subfolders such as "CD1" or "Disc 2" counted in) and album title, so a
// compilation whose songs have different artists stays one album. The
// album's artist is the album artist, else the artist all songs share (a
// song by "A×B" shares A), else 「Various Artists」 with each song's artist
// in its song-artist cell. Songs follow the disc, then the track number;
// numbers the tags lack come from the file name ("1-01", "101", "01 -",
// "Track 01"), and files without any follow their neighbours by name in
// natural order ("2" before "10"). Files new to a folder whose album is
// already catalogued are appended to that album.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/filescan/file_tags.h"
#include "core/filescan/path_set.h"
#include "core/readings/reading_dictionary.h"
#include "core/store/album_record.h"
#include "core/store/album_table.h"

namespace velmora::filescan {

// The artist of an album whose songs share none.
inline constexpr char16_t kVariousArtists[] = u"Various Artists";

struct PlannedAlbum {
    // A new album: its whole record. Songs for a catalogued album: the
    // album's artist and title, and the new songs in slots firstSlot on.
    store::AlbumRecord record;
    std::string folder;  // the album folder, as the file system's bytes
    int songs = 0;       // songs added
    // The catalogue row the songs are appended to; 0 for a new album.
    int existingAlbum = 0;
    int firstSlot = 1;
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
    std::vector<PlannedAlbum> albums;  // in the order they are to be registered
    int knownFiles = 0;                // already the media of a song: not added again
    int knownAlbums = 0;               // every file already catalogued: skipped
    int missingCharacters = 0;         // 〓 written, over all albums
    int songsWithoutRoom = 0;          // new songs of a catalogued album that has 99 already

    int songCount() const;
};

// A catalogued album as the scan sees it.
struct CatalogueAlbum {
    int row = 0;
    int usedSlots = 0;   // the last song slot that holds a title, an artist or a file
    std::string artist;  // its artist cell
    std::string title;   // its album cell
};

// The files the catalogue already holds, by file system path in the form
// the scan compares (canonical), and its albums by album folder.
struct CatalogueFiles {
    PathSet files;
    std::unordered_map<std::string, std::vector<CatalogueAlbum>> albumsByFolder;
    // The readings the user chose for the given artists (CP932): a new
    // album of such an artist is read the same way. Asked once per plan,
    // with the artists of all its new albums; none chosen when empty.
    std::function<readings::ChosenReadings(const std::vector<std::string>& artists)> chosenReadingsOf;
};

// Turns the file system path of a stored cell into the form the scan
// compares; the identity when empty.
using PathCanonicalizer = std::function<std::string(const std::string&)>;

// The media files and album folders of the catalogue. Cells are resolved
// through media::fileSystemPath; CD tracks and empty cells count for nothing.
CatalogueFiles catalogueFiles(const store::AlbumTable& table, const PathCanonicalizer& canonical = {});
// The same for some albums only (rows out of range count for nothing): the
// ones the catalogue's index of media folders names for a scan.
CatalogueFiles catalogueFiles(const store::AlbumTable& table, const std::vector<int>& rows,
                              const PathCanonicalizer& canonical = {});

// The album folder of a file's folder: a disc subfolder ("CD1", "Disc 2")
// counts as part of the folder above it.
std::string_view albumFolderOf(std::string_view folder);

// The key that decides which album a file belongs to; files with equal keys
// end up in one album.
std::string albumKey(const FileTags& file);
// Whether two files have the same albumKey(), told without making it where
// that is cheap (the same folder, the same source of the title); false when
// unsure.
bool sameAlbumKey(const FileTags& a, const FileTags& b);

// Groups `files` into albums. A file in `known.files` is not added again,
// an album all of whose songs are known is skipped, and the new files of a
// folder that holds a catalogued album are appended to it.
ScanPlan planAlbums(const std::vector<FileTags>& files, const CatalogueFiles& known);

// Writes the albums into the table: songs for a catalogued album into its
// free slots, new albums as rows at the end. Gives the row of the first
// album of the list (the row after the last album when there is none).
int appendAlbums(store::AlbumTable& table, const std::vector<PlannedAlbum>& albums);

// The disc and track numbers a file name stands for ("1-01 Title" disc 1
// track 1, "203" disc 2 track 3, "07 - Title" and "Track 7" track 7); 0
// where it names none.
struct NameNumbers {
    int disc = 0;
    int track = 0;
};
NameNumbers numbersOfFileName(std::string_view fileName);

// Natural order of names: runs of digits compare as numbers.
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace velmora::filescan
