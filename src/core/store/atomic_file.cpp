#include "core/store/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <vector>

namespace velmora::store {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
// Temporary files of older versions carry no lock; they are taken as
// abandoned once nobody has written them for this long (seconds).
constexpr std::time_t kLegacyTemporaryAge = 3600;
}  // namespace

std::string describeErrno(int error)
{
    switch (error) {
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました。";
        case ENOSPC:
        case EDQUOT:
            return "ディスクの空き容量が不足しています。";
        case EROFS:
            return "読み取り専用のドライブです。";
        case EISDIR:
            return "同じ名前のフォルダがあります。";
        case ENOENT:
        case ENOTDIR:
            return "フォルダが見つかりません。";
        case EIO:
            return "入出力エラーが発生しました。";
        case ENAMETOOLONG:
            return "ファイル名が長すぎます。";
        case ENOMEM:
            return "メモリが不足しています。";
        case ELOOP:
            return "リンクが循環しています。";
        default:
            return std::string("システムエラー: ") + std::strerror(error);
    }
}

std::string noPermissionReason(const std::string& file, bool writing)
{
    struct stat st {};
    const bool someoneElses = ::stat(file.c_str(), &st) == 0 && st.st_uid != ::geteuid();
    const bool readable = ::access(file.c_str(), R_OK) == 0;
    const std::string whose = someoneElses ? "ほかのユーザーのファイルで、" : "";
    if (!readable) {
        return whose + (writing ? "読み書きする権限がありません。" : "読み取る権限がありません。");
    }
    return whose + "書き込む権限がありません。";
}

namespace {

constexpr int kMaxLinkHops = 40;

// The file a save replaces: `target` itself, or the file its chain of
// links finally names. False with the reason when a link leads nowhere.
bool resolveLinks(const std::filesystem::path& target, std::filesystem::path* resolved, std::string* reason)
{
    std::filesystem::path current = target;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (hop == 0) {
                // A new file (a missing folder is reported when creating).
                *resolved = current;
                return true;
            }
            *reason = "リンク先のファイルが見つかりません。";
            return false;
        }
        if (!S_ISLNK(st.st_mode)) {
            *resolved = current;
            return true;
        }
        std::error_code ec;
        std::filesystem::path next = std::filesystem::read_symlink(current, ec);
        if (ec) {
            *reason = describeErrno(ec.value());
            return false;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    *reason = "リンクの段数が多すぎます。";
    return false;
}

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

bool onReadOnlyDrive(const std::filesystem::path& folder)
{
    struct statvfs vfs {};
    return ::statvfs(folder.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0;
}

// Flushes a folder's entries (the rename) to disk. Systems that cannot
// flush a folder say so with EINVAL; that is no failure.
int syncFolder(const std::filesystem::path& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    int result = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS ? 0 : errno;
    ::close(fd);
    return result;
}

std::string markerName(std::string_view base, std::string_view tail)
{
    return std::string(base) + std::string(kTemporaryMarker) + std::to_string(::getpid()) + "-" +
           std::string(tail);
}

// The names older versions gave their temporary files: "<name>.tmp-XXXXXX".
bool isLegacyTemporaryName(std::string_view name, std::string_view onlyFor)
{
    static constexpr std::string_view kDataFolderFiles[] = {"VLM.dat",  "VLM.ini",  "VLM1.txt",
                                                            "VLM2.txt", "VLM3.txt", "ISU1.txt",
                                                            "ISU2.txt", "ISU3.txt", "HT.txt"};
    for (std::string_view file : kDataFolderFiles) {
        if ((!onlyFor.empty() && onlyFor != file) || name.size() != file.size() + 11 ||
            !name.starts_with(file) || name.substr(file.size(), 5) != ".tmp-") {
            continue;
        }
        std::string_view suffix = name.substr(file.size() + 5);
        return std::all_of(suffix.begin(), suffix.end(),
                           [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
    }
    return false;
}

// Removes a temporary file unless a living writer holds its lock. Where
// the file system has no locks, the process named in the file name must
// be gone.
bool removeIfAbandoned(const std::filesystem::path& file, long ownerPid)
{
    struct stat named {};
    if (::lstat(file.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) {
        return false;
    }
    int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool abandoned = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        struct stat opened {};
        abandoned =
            ::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
    } else if (errno != EWOULDBLOCK && errno != EINTR) {
        abandoned = ownerPid > 0 && ::kill(static_cast<pid_t>(ownerPid), 0) != 0 && errno == ESRCH;
    }
    bool removed = abandoned && ::unlink(file.c_str()) == 0;
    ::close(fd);
    return removed;
}

// Whether this is the first time this process writes into `folder`.
bool firstWriteInto(const std::filesystem::path& folder)
{
    static std::mutex mutex;
    static std::set<std::string> cleaned;
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, ec);
    const std::lock_guard<std::mutex> lock(mutex);
    return cleaned.insert(ec ? folder.string() : canonical.string()).second;
}

}  // namespace

std::string backupNameFor(const std::filesystem::path& target)
{
    return target.stem().string() + ".bak";
}

int removeStaleTemporaryFiles(const std::filesystem::path& folder, std::string_view onlyFor)
{
    int removed = 0;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, std::filesystem::directory_options::skip_permission_denied,
                                           ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::size_t marker = name.find(kTemporaryMarker);
        if (marker != std::string::npos && marker > 0) {
            if (!onlyFor.empty() && std::string_view(name).substr(0, marker) != onlyFor) {
                continue;
            }
            // "<process id>-<anything>"
            std::string_view rest = std::string_view(name).substr(marker + kTemporaryMarker.size());
            long pid = 0;
            auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
            if (error != std::errc() || end == rest.data() + rest.size() || *end != '-') {
                continue;
            }
            removed += removeIfAbandoned(it->path(), pid) ? 1 : 0;
        } else if (isLegacyTemporaryName(name, onlyFor)) {
            struct stat st {};
            if (::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                st.st_mtime + kLegacyTemporaryAge < std::time(nullptr) && ::unlink(it->path().c_str()) == 0) {
                ++removed;
            }
        }
    }
    return removed;
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target, Backup backup)
    : target_(std::move(target)), backup_(backup)
{
    error_.path = target_.string();
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

bool AtomicFileWriter::fail(int errnoValue)
{
    return fail(describeErrno(errnoValue));
}

bool AtomicFileWriter::fail(std::string reason)
{
    if (!failed_) {
        error_.reason = std::move(reason);
    }
    failed_ = true;
    discard();
    return false;
}

void AtomicFileWriter::discard()
{
    if (fd_ >= 0) {
        if (!tempPath_.empty()) {
            // Still locked: nobody else removes it meanwhile.
            ::unlink(tempPath_.c_str());
            tempPath_.clear();
        }
        ::close(fd_);
        fd_ = -1;
    }
    if (previousFd_ >= 0) {
        ::close(previousFd_);
        previousFd_ = -1;
    }
}

namespace {

// Whether an open file holds the same bytes as the file at `path`.
bool sameBytes(int fd, const std::filesystem::path& path)
{
    struct stat mine {};
    struct stat theirs {};
    if (::fstat(fd, &mine) != 0 || ::stat(path.c_str(), &theirs) != 0 || mine.st_size != theirs.st_size) {
        return false;
    }
    int other = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (other < 0) {
        return false;
    }
    constexpr std::size_t kChunk = 1 << 16;
    std::vector<char> a(kChunk);
    std::vector<char> b(kChunk);
    bool same = true;
    for (off_t at = 0; same && at < mine.st_size;) {
        ssize_t n = ::pread(fd, a.data(), kChunk, at);
        ssize_t m = n > 0 ? ::pread(other, b.data(), static_cast<std::size_t>(n), at) : -1;
        same = n > 0 && m == n && std::memcmp(a.data(), b.data(), static_cast<std::size_t>(n)) == 0;
        at += n > 0 ? n : 0;
    }
    ::close(other);
    return same;
}

}  // namespace

void AtomicFileWriter::beforeWrite(std::string_view bytes)
{
    constexpr std::size_t kBlock = 1 << 20;  // as allocated in open()
    while (previousFd_ >= 0 && !bytes.empty()) {
        if (matched_ == previousBlockStart_ + previousBlockSize_) {
            ssize_t n = ::pread(previousFd_, previousBlock_.get(), kBlock, static_cast<off_t>(matched_));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                // Shorter than the new bytes, or unreadable: not the same.
                ::close(previousFd_);
                previousFd_ = -1;
                break;
            }
            previousBlockStart_ = matched_;
            previousBlockSize_ = static_cast<std::size_t>(n);
        }
        const std::size_t offset = static_cast<std::size_t>(matched_ - previousBlockStart_);
        const std::size_t take = std::min(bytes.size(), previousBlockSize_ - offset);
        if (std::memcmp(previousBlock_.get() + offset, bytes.data(), take) != 0) {
            ::close(previousFd_);
            previousFd_ = -1;
            break;
        }
        matched_ += take;
        bytes.remove_prefix(take);
    }
}

void AtomicFileWriter::afterWrite(std::size_t count)
{
    written_ += count;
    // A large file is handed to the disk while the rest is still being
    // written, so that the flush at the end waits for little more than the
    // last piece. Only a start: the flush reports any failure.
    constexpr std::uint64_t kHandOver = 16 << 20;
    if (written_ - handedToDisk_ >= kHandOver) {
        ::sync_file_range(fd_, static_cast<off_t>(handedToDisk_),
                          static_cast<off_t>(written_ - handedToDisk_), SYNC_FILE_RANGE_WRITE);
        handedToDisk_ = written_;
    }
}

bool AtomicFileWriter::previousHoldsSameBytes()
{
    if (previousFd_ < 0) {
        return false;
    }
    struct stat previous {};
    struct stat now {};
    if (::fstat(previousFd_, &previous) != 0 || ::stat(resolved_.c_str(), &now) != 0) {
        return false;
    }
    if (previous.st_dev != now.st_dev || previous.st_ino != now.st_ino) {
        // Replaced by another file meanwhile: compare with that one.
        return sameBytes(fd_, resolved_);
    }
    return static_cast<std::uint64_t>(previous.st_size) == matched_ && matched_ == written_;
}

bool AtomicFileWriter::open()
{
    std::string reason;
    if (!resolveLinks(target_, &resolved_, &reason)) {
        return fail(std::move(reason));
    }
    const std::filesystem::path folder = folderOf(resolved_);
    // The leftovers of this target go on every write; those of any other
    // file (an export killed halfway, beside its target) on the first write
    // of this process into the folder, so that a folder of many files is not
    // searched again for each one.
    removeStaleTemporaryFiles(folder, firstWriteInto(folder) ? std::string() : resolved_.filename().string());

    mode_t mode = 0666;
    struct stat st {};
    if (::stat(resolved_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return fail(EISDIR);
        }
        if (!S_ISREG(st.st_mode)) {
            return fail("通常のファイルではありません。");
        }
        if (onReadOnlyDrive(folder)) {
            return fail(EROFS);
        }
        // A file the user made read-only stays untouched, even for root.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return fail("読み取り専用のファイルです。");
        }
        if (::access(resolved_.c_str(), W_OK) != 0) {
            // Writable by its owner, yet not by this user: no read-only file
            // but one without the permission (another user's, most often).
            return errno == EROFS ? fail(EROFS) : fail(noPermissionReason(resolved_.string(), true));
        }
        mode = st.st_mode & 07777;
        if (backup_ == Backup::KeepPrevious) {
            previousFd_ = ::open(resolved_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            if (previousFd_ >= 0) {
                previousBlock_ = std::make_unique_for_overwrite<char[]>(1 << 20);
            }
        }
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    return createTemporaryFile(mode);
}

bool AtomicFileWriter::createTemporaryFile(mode_t mode)
{
    const std::filesystem::path folder = folderOf(resolved_);
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string pattern = (folder / markerName(resolved_.filename().string(), "XXXXXX")).string();
        int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) {
            return fail(errno);
        }
        // The lock tells other processes that the file is in use. A cleaner
        // that took it in the instant before may have removed the name: then
        // another name is needed.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        fd_ = fd;
        tempPath_ = pattern;
        if (::fchmod(fd_, mode) != 0) {
            return fail(errno);
        }
        buffer_.reserve(kBufferSize);
        return true;
    }
    return fail(EEXIST);
}

bool AtomicFileWriter::flushBuffer()
{
    beforeWrite(buffer_);
    std::size_t done = 0;
    while (done < buffer_.size()) {
        ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    afterWrite(buffer_.size());
    buffer_.clear();
    return true;
}

bool AtomicFileWriter::write(std::string_view bytes)
{
    if (failed_ || fd_ < 0) {
        return false;
    }
    if (buffer_.size() + bytes.size() > kBufferSize && !flushBuffer()) {
        return false;
    }
    if (bytes.size() >= kBufferSize) {
        buffer_.assign(bytes);
        return flushBuffer();
    }
    buffer_.append(bytes);
    return true;
}

bool AtomicFileWriter::writePieces(const std::vector<std::string_view>& pieces)
{
    if (failed_ || fd_ < 0 || !flushBuffer()) {
        return false;
    }
    std::vector<iovec> vectors;
    vectors.reserve(std::min<std::size_t>(pieces.size(), IOV_MAX));
    std::size_t next = 0;
    while (next < pieces.size()) {
        vectors.clear();
        std::size_t batch = 0;
        for (; next < pieces.size() && vectors.size() < IOV_MAX; ++next) {
            if (!pieces[next].empty()) {
                beforeWrite(pieces[next]);
                batch += pieces[next].size();
                vectors.push_back({const_cast<char*>(pieces[next].data()), pieces[next].size()});
            }
        }
        // A short write leaves the rest of the batch to write again.
        std::size_t first = 0;
        while (first < vectors.size()) {
            ssize_t n = ::writev(fd_, vectors.data() + first, static_cast<int>(vectors.size() - first));
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return fail(errno);
            }
            auto written = static_cast<std::size_t>(n);
            while (first < vectors.size() && written >= vectors[first].iov_len) {
                written -= vectors[first].iov_len;
                ++first;
            }
            if (first < vectors.size()) {
                vectors[first].iov_base = static_cast<char*>(vectors[first].iov_base) + written;
                vectors[first].iov_len -= written;
            }
        }
        afterWrite(batch);
    }
    return true;
}

bool AtomicFileWriter::keepBackup()
{
    const std::string backup = backup_ == Backup::KeepPrevious ? backupNameFor(resolved_) : std::string();
    struct stat st {};
    if (backup.empty() || ::lstat(resolved_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    // Saving the same bytes again (closing after a save) keeps the backup of
    // the version before: otherwise a second save would lose it.
    if (previousHoldsSameBytes()) {
        return false;
    }
    // The old file gets a second name, which then replaces the old backup
    // in one step. A file system without hard links keeps no backup: the
    // save itself must stay one rename.
    const std::filesystem::path folder = folderOf(resolved_);
    const std::filesystem::path link = folder / markerName(backup, "link");
    ::unlink(link.c_str());
    if (::link(resolved_.c_str(), link.c_str()) != 0) {
        return false;
    }
    if (::rename(link.c_str(), (folder / backup).c_str()) != 0) {
        ::unlink(link.c_str());
        return false;
    }
    return true;
}

bool AtomicFileWriter::commit()
{
    if (failed_ || fd_ < 0) {
        return false;
    }
    if (!flushBuffer()) {
        return false;
    }
    if (::fsync(fd_) != 0) {
        return fail(errno);
    }
    keepBackup();
    // Renamed while still locked, so that no cleaner takes it first.
    if (::rename(tempPath_.c_str(), resolved_.c_str()) != 0) {
        return fail(errno);
    }
    tempPath_.clear();
    int fd = fd_;
    fd_ = -1;
    ::close(fd);
    if (int error = syncFolder(folderOf(resolved_)); error != 0) {
        return fail(error);
    }
    return true;
}

bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes, FileError* error,
                         Backup backup)
{
    AtomicFileWriter writer(target, backup);
    bool ok = writer.open() && writer.write(bytes) && writer.commit();
    if (!ok && error) {
        *error = writer.error();
    }
    return ok;
}

}  // namespace velmora::store
