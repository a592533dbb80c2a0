// The folder scan: finds the music files under a folder, reads their tags
// on a pool of worker threads and groups them into the albums to register.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/filescan/album_plan.h"
#include "core/filescan/file_tags.h"
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

struct FolderScan {
    std::vector<filescan::FileTags> files;  // in path order
    int unreadableFolders = 0;              // folders that could not be listed
    int unreadableFiles = 0;                // music files TagLib could not read (empty, broken)
    bool cancelled = false;                 // stopped through ScanProgress::cancel: files is empty
};

// Finds and reads every music file under `root`. Symbolic links are
// followed, each folder once. `threads` tag readers (0: one per core, at
// most four) share the work; the result does not depend on their number.
FolderScan scanFolder(const std::filesystem::path& root, ScanProgress& progress, int threads = 0);

struct ScanResult {
    FolderScan scan;
    filescan::ScanPlan plan;
};

// The scan and the grouping in one: what a command registers. `known` are
// the media cells of the catalogue (filescan::catalogueMediaPaths).
ScanResult scanAlbums(const std::filesystem::path& root, const std::unordered_set<std::string>& known,
                      ScanProgress& progress, int threads = 0);

// Writes the embedded front picture of each album to "covers" in the data
// folder, once per picture (named by the SHA-256 of its bytes, written
// atomically), and points the album's picture cell at it. An album whose
// picture cannot be read or written keeps no picture; gives how many.
int storeEmbeddedCovers(std::vector<filescan::PlannedAlbum>& albums, const store::DataFolder& folder);

// The notes of a scan for the user, one per line, UTF-8: what was skipped,
// what was cut, what CP932 lacked. Empty when there is nothing to say.
std::vector<std::string> scanNotes(const ScanResult& result);

// A CP932 cell as UTF-8 (artist and title in lists and notes).
std::string utf8OfCell(std::string_view cp932);

}  // namespace velmora::tags
