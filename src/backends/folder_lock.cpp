#include "backends/folder_lock.h"

#include <QLockFile>
#include <QString>

namespace velmora::platform {

struct FolderLock::Impl {
    explicit Impl(const std::filesystem::path& folder)
        : file(QString::fromStdString((folder / kLockFileName).string()))
    {
        // Only the death of its holder makes a lock stale: a window may run
        // for weeks.
        file.setStaleLockTime(0);
    }
    QLockFile file;
};

FolderLock::FolderLock(const std::filesystem::path& folder) : impl_(std::make_unique<Impl>(folder)) {}

FolderLock::~FolderLock() = default;

FolderLock::Outcome FolderLock::lock(int waitMilliseconds)
{
    if (impl_->file.isLocked()) {
        return Outcome::Locked;
    }
    // tryLock() removes the lock file of a process that no longer runs and
    // takes the lock in its place.
    if (impl_->file.tryLock(waitMilliseconds)) {
        return Outcome::Locked;
    }
    return impl_->file.error() == QLockFile::LockFailedError ? Outcome::HeldByOther : Outcome::Unavailable;
}

void FolderLock::unlock()
{
    impl_->file.unlock();
}

bool FolderLock::isLocked() const
{
    return impl_->file.isLocked();
}

bool FolderLock::heldByOther(const std::filesystem::path& folder)
{
    FolderLock probe(folder);
    return probe.lock() == Outcome::HeldByOther;
}

}  // namespace velmora::platform
