// What went wrong with a file, in words the user reads.
#pragma once

#include <string>

namespace velmora::store {

struct FileError {
    std::string path;    // the file concerned (UTF-8, as the system names it)
    std::string reason;  // a short Japanese reason (UTF-8)
};

// A Japanese reason for a system error number.
std::string describeErrno(int error);

// Why `file` may not be read (`writing` false) or written: whether the file
// can be read at all, and whether it is another user's.
std::string noPermissionReason(const std::string& file, bool writing);

}  // namespace velmora::store

namespace velmora::store {

// The messages shown when a catalogue or settings file fails (UTF-8).
std::string readFailureMessage(const FileError& error);
std::string writeFailureMessage(const FileError& error);

}  // namespace velmora::store
