// Writes a file so that it is either complete or not replaced at all.
//
// The bytes go to a temporary file in the target's folder; commit() flushes
// it to disk and renames it over the target. Until then, and whenever any
// step fails, the old file stays as it was and the temporary file is removed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/file_error.h"

namespace velmora::store {

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file. False (with error()) when it cannot, or when
    // the target exists and is read-only or not a regular file.
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
    void discard();

    std::filesystem::path target_;
    std::string tempPath_;
    int fd_ = -1;
    std::string buffer_;
    bool failed_ = false;
    FileError error_;
};

// The whole content at once.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes, FileError* error);

}  // namespace velmora::store
