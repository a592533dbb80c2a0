#include "core/catalogue/media_path_index.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <thread>
#include <unordered_set>

#include "core/filescan/album_plan.h"
#include "core/filescan/tag_text.h"
#include "core/media/media_path.h"
#include "core/store/atomic_file.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "core/store/file_bytes.h"
#include "core/text/cp932.h"

namespace velmora::catalogue {

namespace {

std::uint32_t nameHash(std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

// "a/./b", "a//b" and "a/x/../b" as "a/b"; the path itself when it needs
// nothing (the common case, without a copy through std::filesystem).
std::string normalPath(std::string path)
{
    const bool plain = path.find("//") == std::string::npos && path.find("/.") == std::string::npos &&
                       (path.size() < 2 || path.back() != '/');
    if (plain) {
        return path;
    }
    std::string normal = std::filesystem::path(path).lexically_normal().native();
    while (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return normal;
}

bool isSeparatorByte(char c)
{
    return c == '/' || c == '\\';
}

// The name of the folder of a plain "/"-separated cell, converting no more
// than that name (most cells are such); empty when the cell needs the whole
// path resolved: a "file:" URI, a "\\" (a separator or a second byte), a
// name that normalising would change ("", ".", "..") or a disc subfolder
// (its album folder is named too).
std::string plainFolderName(std::string_view media)
{
    if (media::isFileUriCell(media) || media.find('\\') != std::string_view::npos) {
        return {};
    }
    const std::size_t last = media.rfind('/');
    if (last == std::string_view::npos || last == 0) {
        return {};
    }
    const std::size_t before = media.rfind('/', last - 1);
    const std::size_t start = before == std::string_view::npos ? 0 : before + 1;
    const std::string_view raw = media.substr(start, last - start);
    if (raw.empty() || raw == "." || raw == "..") {
        return {};
    }
    std::string name = media::fileSystemPath(raw);
    if (filescan::discFolderNumber(name) > 0) {
        return {};
    }
    return name;
}

using MediaCells = std::array<std::string_view, store::kSongSlots>;

// The media cells of a row (slot 1 first), found from the end of its line.
MediaCells mediaCells(const store::AlbumTable& table, int album)
{
    static_assert(store::mediaColumn(store::kSongSlots) == store::kColumnCount - 1);
    MediaCells cells;
    table.trailingCells(album, store::mediaColumn(1), cells);
    return cells;
}

// The names of the folders the media files of an album lie in: each file's
// folder and its album folder. A song whose raw cell lies in the folder of
// the song before it is not resolved again.
std::vector<std::string> folderNames(const MediaCells& cells)
{
    std::vector<std::string> names;
    std::string_view previousFolder;  // raw cell bytes up to the last separator byte
    for (const std::string_view media : cells) {
        if (store::mediaKind(media) != store::MediaKind::File) {
            continue;
        }
        // Separators before the end of the previous folder's bytes are the
        // same ones; a rest without any separator byte lies in that folder.
        if (!previousFolder.empty() && media.substr(0, previousFolder.size()) == previousFolder &&
            std::none_of(media.begin() + static_cast<std::ptrdiff_t>(previousFolder.size()), media.end(),
                         isSeparatorByte)) {
            continue;
        }
        const auto lastSeparator = std::find_if(media.rbegin(), media.rend(), isSeparatorByte);
        previousFolder = media.substr(0, static_cast<std::size_t>(media.rend() - lastSeparator));
        if (std::string name = plainFolderName(media); !name.empty()) {
            if (std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(std::move(name));
            }
            continue;
        }
        const std::string path = normalPath(media::fileSystemPath(media));
        const std::string_view folder = filescan::parentPath(path);
        for (std::string_view named : {folder, filescan::albumFolderOf(folder)}) {
            std::string name(filescan::lastComponent(named));
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(std::move(name));
            }
        }
    }
    return names;
}

}  // namespace

MediaPathIndex::MediaPathIndex(const store::AlbumTable& table) : table_(table) {}

void MediaPathIndex::addAlbum(int album, std::vector<Entry>& out) const
{
    for (const std::string& name : folderNames(mediaCells(table_, album))) {
        out.push_back(Entry{nameHash(name), album});
    }
}

void MediaPathIndex::build() const
{
    if (built_) {
        return;
    }
    entries_.clear();
    // A large catalogue is read in two halves at once.
    const int count = table_.albumCount();
    const int middle = count >= 20000 ? count / 2 : count;
    std::vector<Entry> second;
    std::thread other;
    if (middle < count) {
        other = std::thread([this, &second, middle, count] {
            for (int album = middle + 1; album <= count; ++album) {
                table_.prefetchRowEnd(album + 8);
                addAlbum(album, second);
            }
        });
    }
    for (int album = 1; album <= middle; ++album) {
        table_.prefetchRowEnd(album + 8);
        addAlbum(album, entries_);
    }
    if (other.joinable()) {
        other.join();
        entries_.insert(entries_.end(), second.begin(), second.end());
    }
    std::sort(entries_.begin(), entries_.end());
    entries_.shrink_to_fit();
    built_ = true;
}

std::vector<MediaPathIndex::Place> MediaPathIndex::placesOfFile(std::string_view path) const
{
    build();
    const std::string wanted = normalPath(std::string(path));
    const std::string_view name = filescan::lastComponent(filescan::parentPath(wanted));
    const Entry low{nameHash(name), 0};
    std::vector<Place> places;
    for (auto it = std::lower_bound(entries_.begin(), entries_.end(), low);
         it != entries_.end() && it->name == low.name; ++it) {
        const MediaCells cells = mediaCells(table_, it->album);
        for (int slot = 1; slot <= store::kSongSlots; ++slot) {
            const std::string_view media = cells[static_cast<std::size_t>(slot - 1)];
            if (store::mediaKind(media) == store::MediaKind::File &&
                normalPath(media::fileSystemPath(media)) == wanted) {
                places.push_back(Place{it->album, slot});
            }
        }
    }
    return places;
}

std::vector<int> MediaPathIndex::albumsInFoldersNamed(const std::vector<std::string>& names) const
{
    build();
    std::vector<int> candidates;
    for (const std::string& name : names) {
        const Entry low{nameHash(name), 0};
        for (auto it = std::lower_bound(entries_.begin(), entries_.end(), low);
             it != entries_.end() && it->name == low.name; ++it) {
            candidates.push_back(it->album);
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    // Names that only share a hash are told apart by the cells.
    const std::unordered_set<std::string_view> wanted(names.begin(), names.end());
    std::vector<int> albums;
    for (int album : candidates) {
        const std::vector<std::string> held = folderNames(mediaCells(table_, album));
        if (std::any_of(held.begin(), held.end(),
                        [&wanted](const std::string& name) { return wanted.count(name) > 0; })) {
            albums.push_back(album);
        }
    }
    return albums;
}

namespace {

// The file: this header, the entries (name hash, album; little-endian
// 32-bit words) and the content hash of all bytes before it. The version
// in the header changes whenever the names an album gives change.
constexpr char kIndexMagic[8] = {'V', 'L', 'M', 'I', 'D', 'X', '1', '\n'};
constexpr std::size_t kHeaderSize = sizeof kIndexMagic + 8 + 8 + 4 + 4;
constexpr std::size_t kEntrySize = 8;

template <class T>
void putWord(std::string& out, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * i) & 0xFF));
    }
}

template <class T>
T wordAt(std::string_view bytes, std::size_t at)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return static_cast<T>(value);
}

}  // namespace

bool MediaPathIndex::saveTo(const std::filesystem::path& file, std::uint64_t dataSize,
                            std::uint64_t dataHash) const
{
    if (!built_) {
        return false;
    }
    std::string bytes(kIndexMagic, sizeof kIndexMagic);
    bytes.reserve(kHeaderSize + entries_.size() * kEntrySize + 8);
    putWord(bytes, dataSize);
    putWord(bytes, dataHash);
    putWord(bytes, static_cast<std::uint32_t>(table_.albumCount()));
    putWord(bytes, static_cast<std::uint32_t>(entries_.size()));
    for (const Entry& entry : entries_) {
        putWord(bytes, entry.name);
        putWord(bytes, static_cast<std::uint32_t>(entry.album));
    }
    putWord(bytes, store::contentHash(bytes));
    return store::writeFileAtomically(file, bytes, nullptr);
}

bool MediaPathIndex::restoreFrom(const std::filesystem::path& file, std::uint64_t dataSize,
                                 std::uint64_t dataHash) const
{
    store::FileBytes read;
    if (!store::readWholeFile(file, read, nullptr)) {
        return false;
    }
    const std::string_view bytes = read.view();
    if (bytes.size() < kHeaderSize + 8 ||
        bytes.substr(0, sizeof kIndexMagic) != std::string_view(kIndexMagic, 8) ||
        wordAt<std::uint64_t>(bytes, 8) != dataSize || wordAt<std::uint64_t>(bytes, 16) != dataHash ||
        wordAt<std::uint32_t>(bytes, 24) != static_cast<std::uint32_t>(table_.albumCount())) {
        return false;
    }
    const std::size_t count = wordAt<std::uint32_t>(bytes, 28);
    if (bytes.size() != kHeaderSize + count * kEntrySize + 8 ||
        wordAt<std::uint64_t>(bytes, bytes.size() - 8) !=
            store::contentHash(bytes.substr(0, bytes.size() - 8))) {
        return false;
    }
    std::vector<Entry> entries(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + i * kEntrySize;
        entries[i] = Entry{wordAt<std::uint32_t>(bytes, at),
                           static_cast<std::int32_t>(wordAt<std::uint32_t>(bytes, at + 4))};
        if (entries[i].album < 1 || entries[i].album > table_.albumCount() ||
            (i > 0 && entries[i] < entries[i - 1])) {
            return false;
        }
    }
    entries_ = std::move(entries);
    built_ = true;
    return true;
}

void MediaPathIndex::addAlbums(const std::vector<int>& albums)
{
    std::vector<Entry> added;
    for (int album : albums) {
        if (album >= 1 && album <= table_.albumCount()) {
            addAlbum(album, added);
        }
    }
    if (added.empty()) {
        return;
    }
    std::sort(added.begin(), added.end());
    const auto middle = static_cast<std::ptrdiff_t>(entries_.size());
    entries_.insert(entries_.end(), added.begin(), added.end());
    std::inplace_merge(entries_.begin(), entries_.begin() + middle, entries_.end());
}

void MediaPathIndex::albumsInserted(const std::vector<int>& albums)
{
    if (!built_ || albums.empty()) {
        return;
    }
    // Old album a is now a + k, k the number of new albums before it: the
    // first k with albums[k] - k > a (albums[k] - k never falls).
    const int oldCount = table_.albumCount() - static_cast<int>(albums.size());
    if (albums.front() <= oldCount) {
        std::vector<int> shifted(albums.size());
        for (std::size_t k = 0; k < albums.size(); ++k) {
            shifted[k] = albums[k] - static_cast<int>(k);
        }
        for (Entry& entry : entries_) {
            entry.album += static_cast<std::int32_t>(
                std::upper_bound(shifted.begin(), shifted.end(), entry.album) - shifted.begin());
        }
    }
    addAlbums(albums);
}

std::vector<int> MediaPathIndex::forgetAlbums(const std::vector<int>& albums)
{
    std::vector<int> sorted = albums;
    std::sort(sorted.begin(), sorted.end());
    std::erase_if(entries_, [&sorted](const Entry& entry) {
        return std::binary_search(sorted.begin(), sorted.end(), entry.album);
    });
    return sorted;
}

void MediaPathIndex::albumsChanged(const std::vector<int>& albums)
{
    if (!built_ || albums.empty()) {
        return;
    }
    const std::vector<int> sorted = forgetAlbums(albums);
    addAlbums(sorted);
}

void MediaPathIndex::albumsRemoved(const std::vector<int>& albums)
{
    if (!built_ || albums.empty()) {
        return;
    }
    const std::vector<int> sorted = forgetAlbums(albums);
    for (Entry& entry : entries_) {
        entry.album -= static_cast<std::int32_t>(std::lower_bound(sorted.begin(), sorted.end(), entry.album) -
                                                 sorted.begin());
    }
}

void MediaPathIndex::albumsReset()
{
    built_ = false;
    entries_.clear();
    entries_.shrink_to_fit();
}

}  // namespace velmora::catalogue
