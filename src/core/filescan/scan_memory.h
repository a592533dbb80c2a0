// What earlier folder scans read of each music file, so that a rescan knows
// a catalogued file that did not change by its path, size and modification
// time without opening it.
//
// Kept in the data folder as "scancache.txt" (UTF-8, one file per line:
// size, modification time in nanoseconds, whether the file had tags, its
// album tag and its path, separated by tabs, after a first line naming the
// format). It is only a hint: a missing, unreadable or foreign file is an
// empty memory, and every file the memory does not know as it is now is
// read again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/file_error.h"

namespace velmora::filescan {

inline constexpr char kScanMemoryFileName[] = "scancache.txt";

// A file as a scan found it on disk and read it.
struct RememberedFile {
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
    bool hasTags = false;
    std::u16string album;  // the album tag (what groups the file into its album)
    bool operator==(const RememberedFile&) const = default;
};

class ScanMemory {
public:
    // The memory kept in `file`; empty when there is none or it cannot be
    // read as one.
    static ScanMemory load(const std::filesystem::path& file);
    // Writes it through a temporary file (never half a file).
    bool save(const std::filesystem::path& file, store::FileError* error) const;

    // What was read of `path` when it had this size and time; nothing when
    // it was not read or has changed since. Valid until the memory changes.
    const RememberedFile* find(const std::string& path, std::int64_t size, std::int64_t modified) const;
    // What a scan of the folder `root` found: the files it read (`found`)
    // and the entries of this memory it found as they are (`unchanged`,
    // given by find()). Every other file remembered under `root` is
    // forgotten (files gone); other folders' files stay.
    void replaceUnder(std::string_view root, std::vector<std::pair<std::string, RememberedFile>> found,
                      std::vector<const RememberedFile*> unchanged = {});
    // Whether it differs from what load() read.
    bool changed() const { return changed_; }
    std::size_t size() const { return entries_.size(); }

private:
    // Tens of thousands of files: their paths are kept one after another in
    // one string and found through a flat table, not one allocation each.
    struct Entry {
        std::size_t offset = 0;  // of its path in paths_
        std::size_t length = 0;
        RememberedFile file;
    };
    struct Slot {
        std::size_t hash = 0;
        std::size_t entry = 0;  // its number + 1; 0: a free slot
    };
    std::string_view pathOf(const Entry& entry) const
    {
        return std::string_view(paths_).substr(entry.offset, entry.length);
    }
    // The slot of `path`, or the free one where it would go.
    std::size_t slotOf(std::string_view path, std::size_t hash) const;
    const Entry* entryOf(std::string_view path) const;
    // Remembers `file` as the path at `offset` in paths_ (replacing what
    // was remembered of that path).
    void put(std::size_t offset, std::size_t length, RememberedFile file);
    // The same with the path's bytes added to paths_.
    void put(std::string_view path, RememberedFile file);

    std::string paths_;
    std::vector<Entry> entries_;
    std::vector<Slot> slots_;  // a power of two of them, at most half used
    bool changed_ = false;
};

}  // namespace velmora::filescan
