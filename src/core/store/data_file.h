// The catalogue file "VLM.dat": reading it into the album table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/file_bytes.h"
#include "core/store/file_error.h"

namespace velmora::store {

class AlbumTable;

inline constexpr const char* kDataFileName = "VLM.dat";

// The lines of a file: CR LF, CR or LF end a line; a final line end does not
// start another line; an empty text has no lines.
std::vector<std::string_view> splitLines(std::string_view text);

enum class LoadStatus {
    Loaded,
    Missing,     // no such file: the table is left as it was
    Unreadable,  // it exists but cannot be read: the table is left as it was
};

// What tells one version of the data file from another: its size and
// modification time, and a hash of its bytes (another writer may keep the
// size and the time).
struct FileIdentity {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    // The inode's own stamps: any write to the file moves its change time,
    // which no program can set back (unlike the modification time).
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t changedNanoseconds = 0;
    std::uint64_t contentHash = 0;
    bool operator==(const FileIdentity&) const = default;
};

// A fast non-cryptographic hash of bytes (not stored anywhere: it only
// compares two versions of a file within one run). The bytes are hashed in
// pieces of kHashChunk, each on its own, so that a large file can be
// hashed on several cores (contentHashOnCores()) with the same result.
std::uint64_t contentHash(std::string_view bytes);

inline constexpr std::size_t kHashChunk = 1 << 20;

// contentHash() on up to `cores` threads at once.
std::uint64_t contentHashOnCores(std::string_view bytes, unsigned cores);

// contentHash() of bytes that come in pieces (a file as it is written).
class ContentHasher {
public:
    void add(std::string_view bytes);
    std::uint64_t finish() const;

    // The hash of one whole piece (at most kHashChunk bytes), and the hash
    // of the pieces' hashes in order, with the total size.
    static std::uint64_t chunkHash(std::string_view chunk);
    static std::uint64_t combine(const std::vector<std::uint64_t>& chunks, std::uint64_t size);

private:
    static constexpr std::size_t kStep = 32;
    struct Lanes {
        // Four lanes, mixed independently so that the processor overlaps them.
        std::uint64_t value[4] = {0xCBF29CE484222325ULL, 0x84222325CBF29CE4ULL, 0x9AE16A3B2F90404FULL,
                                  0xC2B2AE3D27D4EB4FULL};
        void mix(const char* step);
        std::uint64_t finish(const char* tail, std::size_t tailSize, std::size_t chunkSize) const;
    };
    void closeChunk();

    Lanes lanes_;
    std::size_t chunkFilled_ = 0;
    std::vector<std::uint64_t> chunks_;
    std::uint64_t size_ = 0;
    char carry_[kStep] = {};
    std::size_t carried_ = 0;
};

// The size and modification time of `file` as it is now, without its hash
// (`exists` false when there is no regular file of that name).
FileIdentity fileStamp(const std::filesystem::path& file);

// The whole identity of `file` as it is now: reads it for the hash. Nothing
// when it exists but cannot be read.
std::optional<FileIdentity> readFileIdentity(const std::filesystem::path& file);

struct LoadResult {
    LoadStatus status = LoadStatus::Missing;
    FileError error;  // for Unreadable
    // The file as it was read (for Loaded; `exists` false for Missing).
    FileIdentity identity;
};

// How the loaded rows keep their bytes.
enum class LoadBuffer {
    // A copy of the file in memory: nothing another program does to the
    // file later changes the table. For the window, which holds the table
    // for a whole session.
    Copied,
    // The file mapped into memory, read-only and private: no copy, so a
    // short command loads at the speed of the page cache. The file must not
    // be rewritten in place while the table lives (saves replace it by a
    // rename, which leaves the mapping alone).
    Mapped,
};

// Replaces the table with the file's rows and gives empty readings the
// artist's text. `progress` is called once per column pass, 0 to 305.
// Anything but a regular file (a FIFO, a device, a folder) is Unreadable
// with the reason kNotRegularFile, without waiting for it; so is a link that
// leads nowhere (kLinkLeadsNowhere) or in a circle, and a file too large
// for the memory its rows need (the table is left as it was).
LoadResult loadDataFile(const std::filesystem::path& file, AlbumTable& table,
                        const std::function<void(int)>& progress = {},
                        LoadBuffer buffer = LoadBuffer::Copied);

// The reason given for a file that is not a regular file (UTF-8).
inline constexpr const char* kNotRegularFile = "通常のファイルではありません。";
// The reason given for a link whose target does not exist (UTF-8).
inline constexpr const char* kLinkLeadsNowhere = "リンク先のファイルが見つかりません。";

// Reads a whole regular file. False with `error` filled when it cannot; a
// FIFO or a device is refused (kNotRegularFile) before anything is read,
// and opening it never waits for a writer.
// With `hasher`, each piece is added to it as soon as it is read, while
// its bytes are still in the processor's cache.
bool readWholeFile(const std::filesystem::path& file, FileBytes& bytes, FileError* error,
                   ContentHasher* hasher = nullptr);

// A regular file mapped read-only into memory (see LoadBuffer::Mapped).
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view view() const { return {data_, size_}; }
    // False with `error` filled when it cannot (kNotRegularFile as for
    // readWholeFile()).
    bool open(const std::filesystem::path& file, FileError* error);

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace velmora::store
