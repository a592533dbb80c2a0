// Writes a file so that it is either complete or not replaced at all.
//
// The bytes go to a temporary file in the target's folder; commit() flushes
// it to disk, renames it over the target and flushes the folder, so that a
// save that reported success survives a power cut. Until then, and whenever
// any step fails, the old file stays as it was and the temporary file is
// removed.
//
// A target that is a symbolic link is written through the link: the
// temporary file goes beside the file the link finally points to and
// replaces that file; the link stays. A link that points nowhere is an
// error and nothing is written.
//
// Temporary files are named "<target>.velmora-tmp-<process id>-XXXXXX" and
// stay locked (flock) while their writer lives. A writer killed before the
// rename leaves its file behind unlocked; removeStaleTemporaryFiles() clears
// those, every open() clears those of its own target first, and the first
// open() of a process in a folder clears those of every file there (an
// export killed halfway leaves its file beside the export's target).
//
// A writer asked to keep the previous version (the catalogue's save) leaves
// the replaced file as "<stem>.bak" beside it ("VLM.bak" beside "VLM.dat"):
// the old file is hard-linked under that name just before the rename, so the
// backup costs no copy. A save that writes the bytes the file already holds
// keeps the backup as it is.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/file_error.h"

namespace velmora::store {

// Whether a write keeps the file it replaces as a backup.
enum class Backup { None, KeepPrevious };

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target, Backup backup = Backup::None);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file. False (with error()) when it cannot, or when
    // the target exists and is read-only or not a regular file, or is a link
    // that leads nowhere.
    bool open();
    bool write(std::string_view bytes);
    // Writes many pieces in order without copying them first.
    bool writePieces(const std::vector<std::string_view>& pieces);
    bool commit();

    const FileError& error() const { return error_; }

private:
    bool flushBuffer();
    bool fail(int errnoValue);
    bool fail(std::string reason);
    bool createTemporaryFile(mode_t mode);
    bool keepBackup();
    void discard();
    // Called with the bytes about to be written, in order: compares them
    // with the file being replaced, and starts writing to disk what is
    // already written.
    void beforeWrite(std::string_view bytes);
    void afterWrite(std::size_t count);
    // Whether the file being replaced holds exactly the bytes written.
    bool previousHoldsSameBytes();

    std::filesystem::path target_;  // as given (may be a link)
    Backup backup_ = Backup::None;
    std::filesystem::path resolved_;  // the file finally replaced
    std::string tempPath_;
    int fd_ = -1;
    std::string buffer_;
    // The file being replaced, read along as the new bytes are written, so
    // that saving the same bytes again is known without reading both files
    // afterwards. Closed (-1) as soon as a byte differs.
    int previousFd_ = -1;
    std::unique_ptr<char[]> previousBlock_;
    std::uint64_t previousBlockStart_ = 0;
    std::size_t previousBlockSize_ = 0;
    std::uint64_t matched_ = 0;
    // Bytes written so far, and how many of them were handed to the disk.
    std::uint64_t written_ = 0;
    std::uint64_t handedToDisk_ = 0;
    bool failed_ = false;
    FileError error_;
};

// The whole content at once.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes, FileError* error,
                         Backup backup = Backup::None);

// The marker in the name of every temporary file this program creates.
inline constexpr std::string_view kTemporaryMarker = ".velmora-tmp-";

// The name of the backup kept beside a target ("VLM.bak" beside "VLM.dat").
std::string backupNameFor(const std::filesystem::path& target);

// Removes the temporary files in `folder` that were left by a writer that
// no longer runs (unlocked files whose name carries kTemporaryMarker after
// `onlyFor`, or after any name when `onlyFor` is empty), and the unnamed
// "VLM.dat.tmp-XXXXXX" files of older versions once they are an hour old.
// Never touches any other file. Gives the number removed.
int removeStaleTemporaryFiles(const std::filesystem::path& folder, std::string_view onlyFor = {});

}  // namespace velmora::store
