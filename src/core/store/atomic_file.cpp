#include "store/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace velmora::store {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

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
        default:
            return std::string("システムエラー: ") + std::strerror(error);
    }
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target))
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
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

bool AtomicFileWriter::open()
{
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return fail(EISDIR);
        }
        if (!S_ISREG(st.st_mode)) {
            return fail("通常のファイルではありません。");
        }
        // A file the user made read-only stays untouched, even for root.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target_.c_str(), W_OK) != 0) {
            return fail("読み取り専用のファイルです。");
        }
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    std::string pattern = target_.string() + ".tmp-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        return fail(errno);
    }
    tempPath_ = pattern;
    if (::fchmod(fd_, mode) != 0) {
        return fail(errno);
    }
    buffer_.reserve(kBufferSize);
    return true;
}

bool AtomicFileWriter::flushBuffer()
{
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
        for (; next < pieces.size() && vectors.size() < IOV_MAX; ++next) {
            if (!pieces[next].empty()) {
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
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        return fail(errno);
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return fail(errno);
    }
    tempPath_.clear();
    return true;
}

bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes, FileError* error)
{
    AtomicFileWriter writer(target);
    bool ok = writer.open() && writer.write(bytes) && writer.commit();
    if (!ok && error) {
        *error = writer.error();
    }
    return ok;
}

}  // namespace velmora::store
