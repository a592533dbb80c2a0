// The folder scan: finds the music files under a folder, reads their tags
// on a pool of worker threads and groups them into the albums to register.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/catalogue/catalogue.h"
#include "core/filescan/album_plan.h"
#include "core/filescan/file_tags.h"
#include "core/filescan/scan_memory.h"
#include "core/filescan/tag_text.h"
#include "core/store/data_folder.h"

namespace velmora::tags {

// Counters a window may read from another thread while the scan runs, and
// the switch that stops it.
struct ScanProgress {
    std::atomic<int> filesFound{0};
    std::atomic<int> filesRead{0};
    std::atomic<int> albumsFound{0};
    std::atomic<bool> cancel{false};
};

// A file or folder the scan passed over, and why (UTF-8, for the user).
struct SkippedFile {
    std::string path;
    std::string reason;
};

struct FolderScan {
    std::vector<filescan::FileTags> files;  // in path order
    // Folders that could not be listed, music files TagLib could not read
    // (empty, broken) and sound files of formats it does not read, in path
    // order. What macOS and Windows leave beside music is not among them.
    std::vector<SkippedFile> skipped;
    bool cancelled = false;  // stopped through ScanProgress::cancel: files is empty
};

// The canonical form of a path: absolute, "." and ".." and doubled
// separators resolved, symbolic links followed. A path that does not (or
// no longer) exist keeps what can be resolved of it.
std::string canonicalPath(const std::string& path);

// Finds and reads every music file under `root`. Every path is made
// canonical first, so that any spelling of a folder gives the same paths.
// Symbolic links are followed, each folder once. `threads` tag readers (0:
// one per core, at most four) share the work; the result does not depend on
// their number.
FolderScan scanFolder(const std::filesystem::path& root, ScanProgress& progress, int threads = 0,
                      filescan::TagEncoding encoding = filescan::TagEncoding::Automatic);

// The files and album folders of the catalogue, their paths made canonical
// (each folder resolved once).
filescan::CatalogueFiles catalogueFilesOnDisk(const store::AlbumTable& table);

struct ScanResult {
    FolderScan scan;
    filescan::ScanPlan plan;
};

// The names of the folders and album folders the files lie in (ascending,
// each once): what a catalogue's index of media folders is asked about.
std::vector<std::string> folderNamesOf(const std::vector<filescan::FileTags>& files);

// What a catalogue holds of the folders of the given names, the paths made
// canonical through `canonical`.
using CatalogueLookup = std::function<filescan::CatalogueFiles(const std::vector<std::string>& folderNames,
                                                               const filescan::PathCanonicalizer& canonical)>;
// The lookup of a catalogue (Catalogue::cataloguedFilesInFoldersNamed): it
// reads the catalogue while the scan runs, so nothing may change it then.
CatalogueLookup catalogueLookup(const catalogue::Catalogue& catalogue);

// The scan and the grouping in one: what a command registers. The files
// are listed first; then `lookup` gives what the catalogue holds of their
// folders, then the tags are read. With a `memory`, a catalogued file that
// it knows with its present size and time is not opened, and the memory
// learns what this scan read under `root` (save it afterwards).
ScanResult scanForCatalogue(const std::filesystem::path& root, const CatalogueLookup& lookup,
                            ScanProgress& progress, int threads = 0,
                            filescan::TagEncoding encoding = filescan::TagEncoding::Automatic,
                            filescan::ScanMemory* memory = nullptr);
// The two halves of scanForCatalogue(), for a caller with other work to do
// while the files are listed (reading the catalogue): findFiles() lists
// the music files under `root` and their sizes and times, reading nothing;
// scanFoundFiles() goes on with what it found.
struct FoundFiles {
    std::string root;  // canonical
    FolderScan scan;   // no tags read yet
};
FoundFiles findFiles(const std::filesystem::path& root, ScanProgress& progress, int threads = 0);
ScanResult scanFoundFiles(FoundFiles found, const CatalogueLookup& lookup, ScanProgress& progress,
                          int threads = 0, filescan::TagEncoding encoding = filescan::TagEncoding::Automatic,
                          filescan::ScanMemory* memory = nullptr);
// The same with what the catalogue holds given whole
// (catalogueFilesOnDisk()).
ScanResult scanAlbums(const std::filesystem::path& root, const filescan::CatalogueFiles& known,
                      ScanProgress& progress, int threads = 0,
                      filescan::TagEncoding encoding = filescan::TagEncoding::Automatic);

// Whether bytes are a picture that can be shown (the caller's image
// decoder: this layer has none).
using PictureCheck = std::function<bool(std::string_view bytes)>;

// Writes the embedded front picture of each album to "covers" in the data
// folder (as an absolute path), once per picture (named by the SHA-256 of
// its bytes, written atomically), and points the album's picture cell at
// it. Only a picture that `decodes` is stored: an album whose picture cannot
// be read, decoded or written keeps no picture; gives one line for each of
// them ("artist / title: reason", UTF-8).
std::vector<std::string> storeEmbeddedCovers(std::vector<filescan::PlannedAlbum>& albums,
                                             const store::DataFolder& folder, const PictureCheck& decodes);

// The notes of a scan for the user, one per line, UTF-8: the albums whose
// songs join a catalogued album, each file skipped with its reason, what
// was cut, what CP932 lacked. Empty when there is nothing to say.
std::vector<std::string> scanNotes(const ScanResult& result);

// The line that says where an album's songs go: 「既存のアルバムに追加: N
// artist / title」; empty for a new album.
std::string destinationNote(const filescan::PlannedAlbum& album);

// A CP932 cell as UTF-8 (artist and title in lists and notes).
std::string utf8OfCell(std::string_view cp932);

}  // namespace velmora::tags
