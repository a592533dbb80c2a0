#include "core/store/data_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "core/store/album_table.h"
#include "core/store/columns.h"

namespace velmora::store {

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    const char* data = text.data();
    const std::size_t size = text.size();
    // Next CR and LF at or after the current position (size when none), so
    // that a file with only one kind of line end is still read in one pass.
    auto nextOf = [&](char c, std::size_t from) {
        const void* hit = from < size ? std::memchr(data + from, c, size - from) : nullptr;
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : size;
    };
    std::size_t nextCr = nextOf('\r', 0);
    std::size_t nextLf = nextOf('\n', 0);
    std::size_t start = 0;
    while (start < size) {
        if (nextCr < start) {
            nextCr = nextOf('\r', start);
        }
        if (nextLf < start) {
            nextLf = nextOf('\n', start);
        }
        std::size_t end = std::min(nextCr, nextLf);
        lines.push_back(text.substr(start, end - start));
        if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

bool FileBytes::reserve(std::size_t capacity)
{
    if (capacity <= capacity_) {
        return true;
    }
    constexpr std::size_t kHugePage = 2 << 20;
    if (size_ == 0 && capacity >= kHugePage) {
        // A large file goes into huge pages: a page fault for every 4 KiB
        // costs more than reading the bytes.
        std::size_t rounded = (capacity + kHugePage - 1) / kHugePage * kHugePage;
        void* fresh = std::aligned_alloc(kHugePage, rounded);
        if (fresh == nullptr) {
            return false;
        }
        ::madvise(fresh, rounded, MADV_HUGEPAGE);
        data_.reset(static_cast<char*>(fresh));
        capacity_ = rounded;
        return true;
    }
    void* grown = std::realloc(data_.get(), capacity);
    if (grown == nullptr) {
        return false;
    }
    data_.release();
    data_.reset(static_cast<char*>(grown));
    capacity_ = capacity;
    return true;
}

namespace {

// Opens a regular file for reading. Opening does not block (a FIFO would
// wait for a writer) and the type is checked on the opened file, so nothing
// can swap it in between. -1 with `error` filled when it cannot.
int openRegularFile(const std::filesystem::path& file, struct stat& st, FileError* error)
{
    auto fail = [&](std::string reason) {
        if (error) {
            *error = FileError{file.string(), std::move(reason)};
        }
        return -1;
    };
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        struct stat link {};
        if (err == ENOENT && ::lstat(file.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return fail(kLinkLeadsNowhere);
        }
        if (err == EACCES) {
            return fail(noPermissionReason(file.string(), false));
        }
        return fail(describeErrno(err));
    }
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(describeErrno(err));
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(describeErrno(EISDIR));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(kNotRegularFile);
    }
    // Reads of a regular file never wait; take the flag off all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

bool readWholeFile(const std::filesystem::path& file, FileBytes& bytes, FileError* error,
                   ContentHasher* hasher)
{
    auto fail = [&](int err) {
        if (error) {
            *error = FileError{file.string(), describeErrno(err)};
        }
        return false;
    };
    struct stat st {};
    int fd = openRegularFile(file, st, error);
    if (fd < 0) {
        return false;
    }
    auto closeAndFail = [&](int err) {
        ::close(fd);
        return fail(err);
    };
    // One byte more than the size, so that the end of the file is seen
    // without another allocation (a file that grows meanwhile is read on).
    std::size_t expected = static_cast<std::size_t>(st.st_size) + 1;
    if (!bytes.reserve(expected)) {
        return closeAndFail(ENOMEM);
    }
    for (;;) {
        if (bytes.room() == 0 && !bytes.reserve(bytes.size() * 2)) {
            return closeAndFail(ENOMEM);
        }
        constexpr std::size_t kPiece = 8 << 20;
        ssize_t n =
            ::read(fd, bytes.end(), hasher != nullptr ? std::min(bytes.room(), kPiece) : bytes.room());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return closeAndFail(errno);
        }
        if (n == 0) {
            break;
        }
        if (hasher != nullptr) {
            hasher->add(std::string_view(bytes.end(), static_cast<std::size_t>(n)));
        }
        bytes.grow(static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

MappedFile::~MappedFile()
{
    if (data_ != nullptr) {
        ::munmap(const_cast<char*>(data_), size_);
    }
}

bool MappedFile::open(const std::filesystem::path& file, FileError* error)
{
    struct stat st {};
    const int fd = openRegularFile(file, st, error);
    if (fd < 0) {
        return false;
    }
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ > 0) {
        // Populated at once: a fault for every page costs more than the
        // mapping of pages the page cache already holds.
        void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapped == MAP_FAILED) {
            const int err = errno;
            ::close(fd);
            size_ = 0;
            if (error) {
                *error = FileError{file.string(), describeErrno(err)};
            }
            return false;
        }
        ::madvise(mapped, size_, MADV_SEQUENTIAL);
        data_ = static_cast<const char*>(mapped);
    }
    ::close(fd);
    return true;
}

namespace {

constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ULL;

std::uint64_t mixInto(std::uint64_t hash, std::uint64_t word)
{
    hash = (hash ^ word) * kHashMultiplier;
    return hash ^ (hash >> 32);
}

}  // namespace

void ContentHasher::Lanes::mix(const char* step)
{
    // Thirty-two bytes a step, eight to each lane, each mixed by one
    // multiplication.
    for (std::size_t lane = 0; lane < 4; ++lane) {
        std::uint64_t word = 0;
        std::memcpy(&word, step + 8 * lane, 8);
        std::uint64_t& hash = value[lane];
        hash = (hash ^ word) * kHashMultiplier;
        hash ^= hash >> 29;
    }
}

std::uint64_t ContentHasher::Lanes::finish(const char* tail, std::size_t tailSize,
                                           std::size_t chunkSize) const
{
    char last[kStep] = {};
    std::memcpy(last, tail, tailSize);
    std::uint64_t hash = chunkSize;
    for (std::size_t lane = 0; lane < 4; ++lane) {
        std::uint64_t word = 0;
        std::memcpy(&word, last + 8 * lane, 8);
        hash = mixInto(hash, value[lane] ^ word);
    }
    return hash;
}

std::uint64_t ContentHasher::chunkHash(std::string_view chunk)
{
    Lanes lanes;
    const char* data = chunk.data();
    std::size_t left = chunk.size();
    for (; left >= kStep; left -= kStep, data += kStep) {
        lanes.mix(data);
    }
    return lanes.finish(data, left, chunk.size());
}

std::uint64_t ContentHasher::combine(const std::vector<std::uint64_t>& chunks, std::uint64_t size)
{
    std::uint64_t hash = mixInto(0x27D4EB2F165667C5ULL, size);
    for (const std::uint64_t chunk : chunks) {
        hash = mixInto(hash, chunk);
    }
    return hash;
}

void ContentHasher::closeChunk()
{
    chunks_.push_back(lanes_.finish(carry_, carried_, chunkFilled_));
    lanes_ = Lanes{};
    carried_ = 0;
    chunkFilled_ = 0;
}

void ContentHasher::add(std::string_view bytes)
{
    size_ += bytes.size();
    while (!bytes.empty()) {
        // The rest of the current chunk: whole steps straight from the
        // bytes, a step split between two calls through the carry.
        std::string_view piece = bytes.substr(0, kHashChunk - chunkFilled_);
        bytes.remove_prefix(piece.size());
        chunkFilled_ += piece.size();
        if (carried_ > 0) {
            const std::size_t take = std::min(kStep - carried_, piece.size());
            std::memcpy(carry_ + carried_, piece.data(), take);
            carried_ += take;
            piece.remove_prefix(take);
            if (carried_ == kStep) {
                lanes_.mix(carry_);
                carried_ = 0;
            }
        }
        for (; piece.size() >= kStep; piece.remove_prefix(kStep)) {
            lanes_.mix(piece.data());
        }
        if (!piece.empty()) {
            std::memcpy(carry_, piece.data(), piece.size());
            carried_ = piece.size();
        }
        if (chunkFilled_ == kHashChunk) {
            closeChunk();
        }
    }
}

std::uint64_t ContentHasher::finish() const
{
    if (chunkFilled_ == 0) {
        return combine(chunks_, size_);
    }
    std::vector<std::uint64_t> chunks = chunks_;
    chunks.push_back(lanes_.finish(carry_, carried_, chunkFilled_));
    return combine(chunks, size_);
}

std::uint64_t contentHash(std::string_view bytes)
{
    return contentHashOnCores(bytes, 1);
}

std::uint64_t contentHashOnCores(std::string_view bytes, unsigned cores)
{
    const std::size_t count = (bytes.size() + kHashChunk - 1) / kHashChunk;
    std::vector<std::uint64_t> chunks(count);
    auto hashRange = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            chunks[i] = ContentHasher::chunkHash(bytes.substr(i * kHashChunk, kHashChunk));
        }
    };
    cores = std::max(1U, std::min<unsigned>(cores, static_cast<unsigned>(count / 8 + 1)));
    std::vector<std::thread> helpers;
    for (unsigned core = 1; core < cores; ++core) {
        try {
            helpers.emplace_back(hashRange, count * core / cores, count * (core + 1) / cores);
        } catch (const std::system_error&) {
            // No thread to be had: this one does the rest as well.
            hashRange(count * core / cores, count);
            break;
        }
    }
    hashRange(0, count / cores);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    return ContentHasher::combine(chunks, bytes.size());
}

FileIdentity fileStamp(const std::filesystem::path& file)
{
    FileIdentity stamp;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return stamp;
    }
    stamp.exists = true;
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modifiedNanoseconds =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.changedNanoseconds = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

std::optional<FileIdentity> readFileIdentity(const std::filesystem::path& file)
{
    // Stamped before the bytes are read: a file replaced meanwhile shows a
    // stamp that matches neither version, never a wrong match.
    FileIdentity identity = fileStamp(file);
    if (!identity.exists) {
        return identity;
    }
    struct stat st {};
    const int fd = openRegularFile(file, st, nullptr);
    if (fd < 0) {
        return std::nullopt;
    }
    // Read a piece at a time: the check before a save needs no second copy
    // of a large catalogue in memory.
    constexpr std::size_t kPiece = 1 << 20;
    const auto piece = std::make_unique_for_overwrite<char[]>(kPiece);
    ContentHasher hasher;
    std::uint64_t size = 0;
    for (;;) {
        const ssize_t n = ::read(fd, piece.get(), kPiece);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        hasher.add(std::string_view(piece.get(), static_cast<std::size_t>(n)));
        size += static_cast<std::uint64_t>(n);
    }
    ::close(fd);
    identity.size = size;
    identity.contentHash = hasher.finish();
    return identity;
}

LoadResult loadDataFile(const std::filesystem::path& file, AlbumTable& table,
                        const std::function<void(int)>& progress, LoadBuffer kind)
{
    LoadResult result;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec)) &&
        !std::filesystem::exists(file, ec)) {
        result.status = LoadStatus::Missing;
        return result;
    }
    // Stamped before the bytes are read (see readFileIdentity()).
    result.identity = fileStamp(file);
    std::shared_ptr<const void> buffer;
    std::string_view bytes;
    bool read = false;
    ContentHasher hasher;
    if (kind == LoadBuffer::Mapped) {
        auto mapped = std::make_shared<MappedFile>();
        read = mapped->open(file, &result.error);
        bytes = mapped->view();
        buffer = std::move(mapped);
    } else {
        auto copied = std::make_shared<FileBytes>();
        read = readWholeFile(file, *copied, &result.error, &hasher);
        bytes = copied->view();
        buffer = std::move(copied);
    }
    if (!read) {
        // A link that leads nowhere (or in a circle) is a file that cannot
        // be read: loading it as an empty catalogue would hide its albums.
        result.status = LoadStatus::Unreadable;
        return result;
    }
    result.identity.exists = true;
    result.identity.size = bytes.size();
    // A mapped file is hashed here, on every core; a copied one was hashed
    // piece by piece as it was read.
    result.identity.contentHash = kind == LoadBuffer::Mapped
                                      ? contentHashOnCores(bytes, std::thread::hardware_concurrency())
                                      : hasher.finish();
    try {
        table.assignText(std::move(buffer), bytes, progress, true);
    } catch (const std::bad_alloc&) {
        // A huge file (a line of gigabytes) that fits in memory once but not
        // in the copies its rows need. The table is replaced only at the
        // end, so it is as it was.
        result.status = LoadStatus::Unreadable;
        result.error = FileError{file.string(), describeErrno(ENOMEM)};
        return result;
    }
    result.status = LoadStatus::Loaded;
    return result;
}

}  // namespace velmora::store
