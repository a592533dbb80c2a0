#include "backends/tags/folder_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>
#include <utility>

#include "backends/tags/tag_reader.h"
#include "core/filescan/tag_text.h"
#include "core/media/media_path.h"
#include "core/store/atomic_file.h"
#include "core/text/cp932.h"

namespace velmora::tags {

namespace fs = std::filesystem;
using filescan::FileTags;

namespace {

// The picture file a folder offers: cover, folder or front (in that order,
// any case, any picture type), else the only picture there.
std::string folderPicture(const std::string& folder, std::vector<std::string>& pictures)
{
    std::sort(pictures.begin(), pictures.end());
    for (std::string_view preferred : {"cover", "folder", "front"}) {
        for (const std::string& name : pictures) {
            std::string stem(filescan::fileStem(name));
            std::transform(stem.begin(), stem.end(), stem.begin(), [](char c) {
                return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            });
            if (stem == preferred) {
                return folder + "/" + name;
            }
        }
    }
    return pictures.size() == 1 ? folder + "/" + pictures.front() : std::string();
}

struct PendingFolder {
    std::string path;
    std::string inheritedPicture;  // the album folder's picture, for a disc subfolder
};

std::string joinPath(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::int64_t modifiedTime(const struct stat& info)
{
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

struct FoundFile {
    std::string name;
    std::string path;  // canonical, for a link; empty: the folder's path and the name
    std::int64_t size = 0;
    std::int64_t modified = 0;
    bool operator<(const FoundFile& other) const { return name < other.name; }
};

struct FoundFolder {
    std::string name;
    std::string path;  // canonical
    std::pair<dev_t, ino_t> identity;
    bool linked = false;           // reached through a symbolic link
    std::string inheritedPicture;  // the album folder's picture, for a disc subfolder
    bool operator<(const FoundFolder& other) const { return name < other.name; }
};

// An open directory stream, closed when it goes.
class DirectoryStream {
public:
    explicit DirectoryStream(const std::string& path) : stream_(::opendir(path.c_str())) {}
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;
    ~DirectoryStream()
    {
        if (stream_ != nullptr) {
            ::closedir(stream_);
        }
    }
    bool isOpen() const { return stream_ != nullptr; }
    int descriptor() const { return ::dirfd(stream_); }
    // The next entry; nullptr at the end or on an error (`failed` says which).
    const struct dirent* next(bool& failed)
    {
        errno = 0;
        const struct dirent* entry = ::readdir(stream_);
        failed = entry == nullptr && errno != 0;
        return entry;
    }

private:
    DIR* stream_;
};

// What a walk found: the folders that hold music, their files in order,
// and what it passed over.
struct Walk {
    struct Folder {
        std::string path;
        std::string picture;
    };
    struct File {
        std::string path;
        std::int64_t size = 0;
        std::int64_t modified = 0;
        std::size_t folder = 0;  // in folders
    };
    std::vector<Folder> folders;
    std::vector<File> files;
    std::vector<SkippedFile> skipped;
    // A walk that must keep the order of the whole tree met a folder it
    // cannot place alone (a linked one, or one reached twice).
    bool needsWholeOrder = false;
};

// The folders a walk has entered, by identity, so that links never lead
// into one twice; shared by the walkers of one scan.
class VisitedFolders {
public:
    bool firstVisit(std::pair<dev_t, ino_t> identity)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return visited_.insert(identity).second;
    }

private:
    std::mutex mutex_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

// Lists one folder: its music files (sorted by name, with their size and
// time) go to `walk`, its subfolders to `subfolders` (sorted by name).
// Entries are looked at relative to the open folder, and only where the
// listing's type does not already say enough: a music file for its size
// and time, a folder for its identity.
void listFolder(const PendingFolder& folder, ScanProgress& progress, Walk& walk,
                std::vector<FoundFolder>& subfolders, std::vector<FoundFile>& music,
                std::vector<std::string>& pictures)
{
    subfolders.clear();
    music.clear();
    pictures.clear();
    DirectoryStream stream(folder.path);
    if (!stream.isOpen()) {
        walk.skipped.push_back({folder.path, "フォルダを読み込めません"});
        return;
    }
    const int descriptor = stream.descriptor();
    auto pathOf = [&folder](std::string_view name) { return joinPath(folder.path, std::string(name)); };
    for (;;) {
        bool failed = false;
        const struct dirent* entry = stream.next(failed);
        if (entry == nullptr) {
            if (failed) {
                walk.skipped.push_back({folder.path, "フォルダを最後まで読み込めません"});
            }
            break;
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == ".." || isSystemLeftover(name)) {
            continue;
        }
        unsigned char type = entry->d_type;
        struct stat info {};
        bool haveInfo = false;
        if (type == DT_UNKNOWN) {
            if (::fstatat(descriptor, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                if (isMusicFileName(name) || isSoundFileName(name)) {
                    walk.skipped.push_back({pathOf(name), "リンク先のファイルがありません"});
                }
                continue;
            }
            type = S_ISLNK(info.st_mode)   ? DT_LNK
                   : S_ISDIR(info.st_mode) ? DT_DIR
                   : S_ISREG(info.st_mode) ? DT_REG
                                           : DT_UNKNOWN;
            haveInfo = type != DT_LNK;
        }
        std::string linkTarget;  // canonical, for a symbolic link
        if (type == DT_LNK) {
            linkTarget = canonicalPath(pathOf(name));
            if (::stat(linkTarget.c_str(), &info) != 0) {  // follows links
                if (isMusicFileName(name) || isSoundFileName(name)) {
                    walk.skipped.push_back({pathOf(name), "リンク先のファイルがありません"});
                }
                continue;
            }
            haveInfo = true;
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            if (!haveInfo && ::fstatat(descriptor, entry->d_name, &info, 0) != 0) {
                continue;
            }
            const bool linked = !linkTarget.empty();
            std::string path = linked ? std::move(linkTarget) : pathOf(name);
            subfolders.push_back(
                {std::string(name), std::move(path), {info.st_dev, info.st_ino}, linked, {}});
        } else if (type == DT_REG) {
            if (isMusicFileName(name)) {
                if (!haveInfo && ::fstatat(descriptor, entry->d_name, &info, 0) != 0) {
                    walk.skipped.push_back({pathOf(name), "リンク先のファイルがありません"});
                    continue;
                }
                music.push_back({std::string(name), std::move(linkTarget),
                                 static_cast<std::int64_t>(info.st_size), modifiedTime(info)});
                progress.filesFound.fetch_add(1);
            } else if (isPictureFileName(name)) {
                pictures.emplace_back(name);
            } else if (isSoundFileName(name)) {
                walk.skipped.push_back({linkTarget.empty() ? pathOf(name) : std::move(linkTarget),
                                        "読み込めない形式のファイルです"});
            }
        }
    }
    std::string picture = folder.inheritedPicture;
    if (picture.empty()) {
        picture = folderPicture(folder.path, pictures);
    }
    if (!music.empty()) {
        std::sort(music.begin(), music.end());
        const std::size_t index = walk.folders.size();
        walk.folders.push_back({folder.path, picture});
        for (FoundFile& found : music) {
            walk.files.push_back(
                {found.path.empty() ? joinPath(folder.path, found.name) : std::move(found.path), found.size,
                 found.modified, index});
        }
    }
    std::sort(subfolders.begin(), subfolders.end());
    for (FoundFolder& subfolder : subfolders) {
        if (filescan::discFolderNumber(subfolder.name) > 0) {
            subfolder.inheritedPicture = picture;
        }
    }
}

// Walks the folders of `pending` and below, folders in name order, each
// folder once even when links lead to it again. With `alone`, the walk is
// one of several over parts of a tree: it gives up (needsWholeOrder) at a
// linked folder or one already entered, where only the order of the whole
// tree says which way in comes first.
void walkFolders(std::vector<PendingFolder> pending, VisitedFolders& visited, ScanProgress& progress,
                 Walk& walk, bool alone)
{
    std::vector<FoundFolder> subfolders;
    std::vector<FoundFile> music;
    std::vector<std::string> pictures;
    while (!pending.empty() && !progress.cancel.load()) {
        const PendingFolder folder = std::move(pending.back());
        pending.pop_back();
        listFolder(folder, progress, walk, subfolders, music, pictures);
        // Reversed, so that the stack gives them back in name order.
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) {
            if (alone && it->linked) {
                walk.needsWholeOrder = true;
                return;
            }
            if (!visited.firstVisit(it->identity)) {
                if (alone) {
                    walk.needsWholeOrder = true;
                    return;
                }
                continue;
            }
            pending.push_back({std::move(it->path), std::move(it->inheritedPicture)});
        }
    }
}

void appendWalk(Walk& walk, FolderScan& scan)
{
    for (Walk::File& file : walk.files) {
        FileTags& tags = scan.files.emplace_back();
        tags.path = std::move(file.path);
        tags.size = file.size;
        tags.modified = file.modified;
        tags.folder = walk.folders[file.folder].path;
        tags.folderPicture = walk.folders[file.folder].picture;
    }
    std::move(walk.skipped.begin(), walk.skipped.end(), std::back_inserter(scan.skipped));
}

// Lists the music files under `root` (canonical), folders in name order,
// each folder once even when links lead to it again. The folders of the
// top are walked on `threads` threads when no link or second way into a
// folder makes the order of the whole tree matter; the result is the same.
void findMusicFiles(const std::string& root, ScanProgress& progress, FolderScan& scan, int threads)
{
    struct stat info {};
    if (::stat(root.c_str(), &info) != 0) {
        return;
    }
    const std::pair<dev_t, ino_t> rootIdentity{info.st_dev, info.st_ino};
    if (threads > 1) {
        VisitedFolders visited;
        visited.firstVisit(rootIdentity);
        Walk top;
        std::vector<FoundFolder> subfolders;
        std::vector<FoundFile> music;
        std::vector<std::string> pictures;
        listFolder({root, {}}, progress, top, subfolders, music, pictures);
        bool alone = subfolders.size() > 1;
        for (const FoundFolder& subfolder : subfolders) {
            alone = alone && !subfolder.linked && visited.firstVisit(subfolder.identity);
        }
        if (alone) {
            std::vector<Walk> parts(subfolders.size());
            std::atomic<std::size_t> next{0};
            auto work = [&] {
                for (std::size_t i = next.fetch_add(1); i < parts.size() && !progress.cancel.load();
                     i = next.fetch_add(1)) {
                    walkFolders({{subfolders[i].path, subfolders[i].inheritedPicture}}, visited, progress,
                                parts[i], true);
                    if (parts[i].needsWholeOrder) {
                        next.store(parts.size());  // the others stop too
                    }
                }
            };
            std::vector<std::thread> pool;
            for (int i = 1; i < threads && static_cast<std::size_t>(i) < parts.size(); ++i) {
                pool.emplace_back(work);
            }
            work();
            for (std::thread& thread : pool) {
                thread.join();
            }
            const bool whole = std::none_of(parts.begin(), parts.end(),
                                            [](const Walk& part) { return part.needsWholeOrder; });
            if (whole || progress.cancel.load()) {
                std::size_t count = top.files.size();
                for (const Walk& part : parts) {
                    count += part.files.size();
                }
                scan.files.reserve(count);
                appendWalk(top, scan);
                for (Walk& part : parts) {
                    appendWalk(part, scan);
                }
                return;
            }
        }
        // Walked again in one piece: forget what was counted.
        progress.filesFound.store(0);
    }
    VisitedFolders visited;
    visited.firstVisit(rootIdentity);
    Walk walk;
    walkFolders({{root, {}}}, visited, progress, walk, false);
    scan.files.reserve(walk.files.size());
    appendWalk(walk, scan);
}

// Why a music file gave no tags: it cannot be opened (no permission,
// another user's), it is empty, or its bytes are no music file.
std::string unreadableReason(const std::string& path)
{
    if (::access(path.c_str(), R_OK) != 0) {
        return errno == EACCES ? "読み取る権限がないため読み込めません"
                               : "読み込めません (" + store::describeErrno(errno) + ")";
    }
    std::error_code ec;
    const bool empty = fs::file_size(path, ec) == 0 && !ec;
    return empty ? "空のファイルです" : "壊れているため音楽ファイルとして読み込めません";
}

// The size and modification time of a file; false when it cannot be
// looked at.
bool sizeAndTime(const std::string& path, std::int64_t& size, std::int64_t& modified)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    size = static_cast<std::int64_t>(info.st_size);
    modified = modifiedTime(info);
    return true;
}

// What a scan learnt for the memory: the files it read, and the memory's
// entries of the files it recognised unchanged.
struct Learnt {
    std::vector<std::pair<std::string, filescan::RememberedFile>> read;
    std::vector<const filescan::RememberedFile*> unchanged;
};

// Reads the tags of every file on `threads` threads; each file is written
// by one thread only, so the result does not depend on the scheduling. A
// file the catalogue holds (`known`) and `memory` knows as it is now is not
// opened: what grouping needs (its album tag) comes from the memory. Those
// are looked up first (many in two halves at once); only the rest go to the
// pool. What was read or recognised goes to `learnt`. `remembered`, when
// given, is what `memory` holds of each file as found (looked up before).
void readAllTags(FolderScan& scan, ScanProgress& progress, int threads, filescan::TagEncoding encoding,
                 const filescan::CatalogueFiles* known, const filescan::ScanMemory* memory, Learnt* learnt,
                 const std::vector<const filescan::RememberedFile*>* remembered = nullptr)
{
    const std::size_t count = scan.files.size();
    std::vector<char> readable(count, 0);
    std::vector<filescan::RememberedFile> stamps(memory != nullptr ? count : 0);
    std::vector<char> stamped(stamps.size(), 0);
    std::vector<const filescan::RememberedFile*> recognised(stamps.size(), nullptr);
    std::mutex albumsMutex;
    std::unordered_set<std::string> albums;
    auto countAlbum = [&](const FileTags& file) {
        std::string key = filescan::albumKey(file);
        std::lock_guard<std::mutex> lock(albumsMutex);
        if (albums.insert(std::move(key)).second) {
            progress.albumsFound.store(static_cast<int>(albums.size()));
        }
    };

    // The files of [begin, end) the memory recognises; the others go to
    // `unread`.
    auto recognise = [&](std::size_t begin, std::size_t end, std::vector<std::size_t>& unread) {
        const FileTags* previous = nullptr;  // the last file recognised
        int recognisedCount = 0;
        for (std::size_t index = begin; index < end && !progress.cancel.load(); ++index) {
            FileTags& file = scan.files[index];
            if (memory != nullptr) {
                filescan::RememberedFile& stamp = stamps[index];
                if (file.size >= 0) {
                    stamp.size = file.size;
                    stamp.modified = file.modified;
                    stamped[index] = 1;
                } else {
                    stamped[index] = sizeAndTime(file.path, stamp.size, stamp.modified) ? 1 : 0;
                }
                const filescan::RememberedFile* before = nullptr;
                if (stamped[index] && known != nullptr && known->files.count(file.path) != 0) {
                    before = remembered != nullptr && file.size >= 0
                                 ? (*remembered)[index]
                                 : memory->find(file.path, stamp.size, stamp.modified);
                }
                if (before != nullptr) {
                    file.hasTags = before->hasTags;
                    file.album = before->album;
                    recognised[index] = before;
                    readable[index] = 1;
                    // Files of one album follow each other: its key is made once.
                    if (previous == nullptr || !filescan::sameAlbumKey(*previous, file)) {
                        countAlbum(file);
                    }
                    previous = &file;
                    ++recognisedCount;
                    continue;
                }
            }
            unread.push_back(index);
        }
        progress.filesRead.fetch_add(recognisedCount);
    };
    // Many files are looked at in two halves at once.
    std::vector<std::size_t> toRead;
    std::vector<std::size_t> secondHalf;
    const std::size_t half = memory != nullptr && threads > 1 && count >= 256 ? count / 2 : count;
    std::thread helper;
    if (half < count) {
        helper = std::thread(recognise, half, count, std::ref(secondHalf));
    }
    recognise(0, half, toRead);
    if (helper.joinable()) {
        helper.join();
    }
    toRead.insert(toRead.end(), secondHalf.begin(), secondHalf.end());

    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (;;) {
            if (progress.cancel.load()) {
                return;
            }
            const std::size_t position = next.fetch_add(1);
            if (position >= toRead.size()) {
                return;
            }
            const std::size_t index = toRead[position];
            FileTags& file = scan.files[index];
            readable[index] = readFileTags(file, encoding) ? 1 : 0;
            if (readable[index]) {
                countAlbum(file);
            }
            progress.filesRead.fetch_add(1);
        }
    };
    std::vector<std::thread> pool;
    const std::size_t helpers =
        std::min(static_cast<std::size_t>(std::max(threads, 1) - 1), toRead.size() / 2);
    for (std::size_t i = 0; i < helpers; ++i) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    if (learnt != nullptr && memory != nullptr && !progress.cancel.load()) {
        for (std::size_t i = 0; i < count; ++i) {
            if (recognised[i] != nullptr) {
                learnt->unchanged.push_back(recognised[i]);
            } else if (readable[i] && stamped[i]) {
                stamps[i].hasTags = scan.files[i].hasTags;
                stamps[i].album = scan.files[i].album;
                learnt->read.emplace_back(scan.files[i].path, std::move(stamps[i]));
            }
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < scan.files.size(); ++i) {
        if (readable[i]) {
            if (kept != i) {
                scan.files[kept] = std::move(scan.files[i]);
            }
            ++kept;
        } else {
            scan.skipped.push_back({scan.files[i].path, unreadableReason(scan.files[i].path)});
        }
    }
    scan.files.resize(kept);
    std::sort(scan.skipped.begin(), scan.skipped.end(),
              [](const SkippedFile& a, const SkippedFile& b) { return a.path < b.path; });
}

std::string sha256Hex(const std::string& bytes)
{
    gchar* digest = g_compute_checksum_for_data(G_CHECKSUM_SHA256,
                                                reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
    std::string hex(digest);
    g_free(digest);
    return hex;
}

}  // namespace

std::string canonicalPath(const std::string& path)
{
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        std::string out(resolved);
        std::free(resolved);
        return out;
    }
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec) {
        return path;
    }
    fs::path resolved = fs::weakly_canonical(absolute, ec);
    std::string out = (ec ? absolute.lexically_normal() : resolved).native();
    while (out.size() > 1 && out.back() == '/') {
        out.pop_back();
    }
    return out;
}

namespace {

// A thread that is waited for when it goes, whichever way the scope ends.
class JoinedThread {
public:
    JoinedThread() = default;
    JoinedThread(const JoinedThread&) = delete;
    JoinedThread& operator=(const JoinedThread&) = delete;
    ~JoinedThread() { join(); }
    template <typename Work>
    void start(Work work)
    {
        join();
        thread_ = std::thread(std::move(work));
    }
    void join()
    {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::thread thread_;
};

int threadCount(int threads)
{
    return threads > 0 ? threads : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// Canonical paths, each folder resolved once.
class FolderResolver {
public:
    // Takes `path` as a folder's canonical form without asking the file
    // system: the walk has just found it so.
    void addCanonical(const std::string& path) { folders_.try_emplace(path, path); }
    const std::string& folder(std::string_view path)
    {
        auto it = folders_.find(path);
        if (it == folders_.end()) {
            std::string key(path);
            std::string resolved = canonicalPath(key);
            it = folders_.emplace(std::move(key), std::move(resolved)).first;
        }
        return it->second;
    }
    std::string file(const std::string& path)
    {
        const std::string_view parent = filescan::parentPath(path);
        if (parent.empty()) {
            return canonicalPath(path);
        }
        const std::string& resolved = folder(parent);
        const std::string_view name = filescan::lastComponent(path);
        std::string out;
        out.reserve(resolved.size() + 1 + name.size());
        out += resolved;
        if (resolved != "/") {
            out += '/';
        }
        out += name;
        return out;
    }

private:
    std::unordered_map<std::string, std::string, TextHash, std::equal_to<>> folders_;
};

}  // namespace

FolderScan scanFolder(const fs::path& root, ScanProgress& progress, int threads,
                      filescan::TagEncoding encoding)
{
    FolderScan scan;
    findMusicFiles(canonicalPath(root.native()), progress, scan, threadCount(threads));
    if (!progress.cancel.load()) {
        readAllTags(scan, progress, threadCount(threads), encoding, nullptr, nullptr, nullptr);
    }
    if (progress.cancel.load()) {
        scan = FolderScan{};
        scan.cancelled = true;
    }
    return scan;
}

std::vector<std::string> folderNamesOf(const std::vector<filescan::FileTags>& files)
{
    std::vector<std::string> names;
    std::string_view previous;
    for (const filescan::FileTags& file : files) {
        if (file.folder == previous) {
            continue;
        }
        previous = file.folder;
        for (std::string_view folder :
             {std::string_view(file.folder), filescan::albumFolderOf(file.folder)}) {
            std::string name(filescan::lastComponent(folder));
            if (!name.empty()) {
                names.push_back(std::move(name));
            }
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

CatalogueLookup catalogueLookup(const catalogue::Catalogue& catalogue)
{
    return [&catalogue](const std::vector<std::string>& folderNames,
                        const filescan::PathCanonicalizer& canonical) {
        return catalogue.cataloguedFilesInFoldersNamed(folderNames, canonical);
    };
}

filescan::CatalogueFiles catalogueFilesOnDisk(const store::AlbumTable& table)
{
    FolderResolver resolver;
    return filescan::catalogueFiles(table,
                                    [&resolver](const std::string& path) { return resolver.file(path); });
}

FoundFiles findFiles(const fs::path& root, ScanProgress& progress, int threads)
{
    FoundFiles found;
    found.root = canonicalPath(root.native());
    findMusicFiles(found.root, progress, found.scan, threadCount(threads));
    return found;
}

ScanResult scanForCatalogue(const fs::path& root, const CatalogueLookup& lookup, ScanProgress& progress,
                            int threads, filescan::TagEncoding encoding, filescan::ScanMemory* memory)
{
    return scanFoundFiles(findFiles(root, progress, threads), lookup, progress, threads, encoding, memory);
}

ScanResult scanFoundFiles(FoundFiles found, const CatalogueLookup& lookup, ScanProgress& progress,
                          int threads, filescan::TagEncoding encoding, filescan::ScanMemory* memory)
{
    ScanResult result;
    FolderScan& scan = result.scan;
    scan = std::move(found.scan);
    const std::string& top = found.root;
    // What the memory holds of the files is looked up while the catalogue
    // is asked about their folders.
    std::vector<const filescan::RememberedFile*> remembered;
    JoinedThread memoryLookup;
    if (memory != nullptr && !progress.cancel.load()) {
        remembered.assign(scan.files.size(), nullptr);
        memoryLookup.start([&scan, &remembered, &progress, memory] {
            for (std::size_t i = 0; i < scan.files.size() && !progress.cancel.load(); ++i) {
                const FileTags& file = scan.files[i];
                if (file.size >= 0) {
                    remembered[i] = memory->find(file.path, file.size, file.modified);
                }
            }
        });
    }
    filescan::CatalogueFiles known;
    if (!progress.cancel.load() && lookup) {
        // Only the albums in folders of these names are looked at, their
        // folders resolved once each.
        FolderResolver resolver;
        std::string_view previous;
        for (const FileTags& file : scan.files) {
            if (file.folder != previous) {
                resolver.addCanonical(file.folder);
                previous = file.folder;
            }
        }
        known = lookup(folderNamesOf(scan.files),
                       [&resolver](const std::string& path) { return resolver.file(path); });
    }
    memoryLookup.join();
    Learnt learnt;
    if (!progress.cancel.load()) {
        readAllTags(scan, progress, threadCount(threads), encoding, &known, memory, &learnt,
                    memory != nullptr ? &remembered : nullptr);
    }
    if (progress.cancel.load()) {
        scan = FolderScan{};
        scan.cancelled = true;
        return result;
    }
    if (memory != nullptr) {
        memory->replaceUnder(top, std::move(learnt.read), std::move(learnt.unchanged));
    }
    result.plan = filescan::planAlbums(scan.files, known);
    return result;
}

ScanResult scanAlbums(const fs::path& root, const filescan::CatalogueFiles& known, ScanProgress& progress,
                      int threads, filescan::TagEncoding encoding)
{
    return scanForCatalogue(
        root, [&known](const std::vector<std::string>&, const filescan::PathCanonicalizer&) { return known; },
        progress, threads, encoding);
}

std::string utf8OfCell(std::string_view cp932)
{
    const std::u16string text = text::toUnicode(cp932);
    std::string out;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

namespace {

std::string albumName(const filescan::PlannedAlbum& album)
{
    return utf8OfCell(album.record[store::ArtistColumn]) + " / " +
           utf8OfCell(album.record[store::AlbumColumn]);
}

}  // namespace

std::vector<std::string> storeEmbeddedCovers(std::vector<filescan::PlannedAlbum>& albums,
                                             const store::DataFolder& folder, const PictureCheck& decodes)
{
    std::vector<std::string> failed;
    std::error_code ec;
    const fs::path covers = fs::absolute(folder.file("covers"), ec).lexically_normal();
    for (filescan::PlannedAlbum& album : albums) {
        if (album.embeddedPictureFile.empty() || album.existingAlbum != 0) {
            continue;
        }
        std::optional<Picture> picture = frontPicture(album.embeddedPictureFile);
        if (!picture) {
            failed.push_back(albumName(album) + ": 埋め込まれた画像を読み込めません");
            continue;
        }
        if (!decodes(picture->bytes)) {
            // Stored, it would be the album's picture that every selection
            // fails to show.
            failed.push_back(albumName(album) + ": 埋め込まれた画像は表示できる画像ではありません");
            continue;
        }
        const fs::path target = covers / (sha256Hex(picture->bytes) + picture->extension);
        fs::create_directories(covers, ec);
        const bool present =
            fs::is_regular_file(target, ec) && fs::file_size(target, ec) == picture->bytes.size();
        if (!present && !store::writeFileAtomically(target, picture->bytes, nullptr)) {
            failed.push_back(albumName(album) + ": 画像を書き込めません (" + target.native() + ")");
            continue;
        }
        album.record[store::ImagePathColumn] = media::cellOfFileSystemPath(target.native());
    }
    return failed;
}

std::string destinationNote(const filescan::PlannedAlbum& album)
{
    if (album.existingAlbum == 0) {
        return {};
    }
    return "既存のアルバムに追加: " + std::to_string(album.existingAlbum) + " " + albumName(album);
}

std::vector<std::string> scanNotes(const ScanResult& result)
{
    std::vector<std::string> notes;
    const FolderScan& scan = result.scan;
    const filescan::ScanPlan& plan = result.plan;
    for (const filescan::PlannedAlbum& album : plan.albums) {
        if (album.existingAlbum != 0) {
            notes.push_back(destinationNote(album) + " (" + std::to_string(album.songs) + "曲)");
        }
    }
    for (const SkippedFile& skipped : scan.skipped) {
        notes.push_back("登録しないファイル: " + skipped.path + " (" + skipped.reason + ")");
    }
    auto note = [&notes](int count, const char* text) {
        if (count > 0) {
            notes.push_back(std::string(text) + ": " + std::to_string(count));
        }
    };
    note(plan.knownFiles, "登録済みのファイル");
    note(plan.knownAlbums, "すべての曲が登録済みのアルバム");
    note(plan.missingCharacters, "Shift-JISにない文字 (〓に置き換え)");
    note(plan.songsWithoutRoom, "99曲の入ったアルバムに入りきらないため登録しない曲");
    for (const filescan::PlannedAlbum& album : plan.albums) {
        if (album.droppedSongs > 0 && album.existingAlbum == 0) {
            notes.push_back("99曲を超えるため先頭の99曲だけを登録: " + albumName(album) + " (全" +
                            std::to_string(album.droppedSongs + store::kSongSlots) + "曲)");
        } else if (album.droppedSongs > 0) {
            notes.push_back("99曲を超えるため入りきらない曲を登録しません: " + albumName(album) + " (" +
                            std::to_string(album.droppedSongs) + "曲)");
        }
    }
    return notes;
}

}  // namespace velmora::tags
