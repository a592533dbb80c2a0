// One writer per data folder: the lock a window holds on its data folder
// for as long as it runs, and the check velmora-cli makes before it writes.
//
// The lock is the file "VLM.lock" in the data folder (never VLM.dat
// itself), holding the owner's process id. A lock left behind by a process
// that no longer runs (killed, crashed) is taken over.
#pragma once

#include <filesystem>
#include <memory>

namespace velmora::platform {

inline constexpr const char* kLockFileName = "VLM.lock";

class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    enum class Outcome {
        Locked,
        // A running process holds it (another window, or the same process
        // through another FolderLock).
        HeldByOther,
        // The lock file cannot be written (a read-only folder, a missing
        // one): nobody can hold the lock, nor write the catalogue there.
        Unavailable,
    };
    // Takes the lock, waiting up to `waitMilliseconds` for its holder to
    // let it go. Taking a lock this object already holds gives Locked.
    Outcome lock(int waitMilliseconds = 0);
    void unlock();
    bool isLocked() const;

    // Whether another process (or another FolderLock) holds the lock of
    // `folder` now. Checking takes the lock for a moment when it is free.
    static bool heldByOther(const std::filesystem::path& folder);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::platform
