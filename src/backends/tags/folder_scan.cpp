#include "backends/tags/folder_scan.h"

#include <glib.h>
#include <sys/stat.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "backends/tags/tag_reader.h"
#include "core/filescan/tag_text.h"
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

// listFiles the music files under `root`, folders in name order, each folder
// once even when links lead to it again.
void findMusicFiles(const fs::path& root, ScanProgress& progress, FolderScan& scan)
{
    std::set<std::pair<dev_t, ino_t>> visited;
    auto firstVisit = [&visited](const std::string& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            return false;
        }
        return visited.emplace(info.st_dev, info.st_ino).second;
    };

    std::string rootText = root.native();
    while (rootText.size() > 1 && rootText.back() == '/') {
        rootText.pop_back();
    }
    std::vector<PendingFolder> pending;
    if (firstVisit(rootText)) {
        pending.push_back({rootText, {}});
    }
    while (!pending.empty() && !progress.cancel.load()) {
        PendingFolder folder = std::move(pending.back());
        pending.pop_back();

        std::error_code ec;
        fs::directory_iterator it(folder.path, ec);
        if (ec) {
            ++scan.unreadableFolders;
            continue;
        }
        std::vector<std::string> subfolders;
        std::vector<std::string> music;
        std::vector<std::string> pictures;
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec) {
                ++scan.unreadableFolders;
                break;
            }
            const std::string name = it->path().filename().native();
            std::error_code statError;
            const fs::file_status status = it->status(statError);  // follows links
            if (statError) {
                if (isMusicFileName(name)) {
                    ++scan.unreadableFiles;  // a dangling link, or a file that went away
                }
                continue;
            }
            if (fs::is_directory(status)) {
                subfolders.push_back(name);
            } else if (fs::is_regular_file(status)) {
                if (isMusicFileName(name)) {
                    music.push_back(name);
                    progress.filesFound.fetch_add(1);
                } else if (isPictureFileName(name)) {
                    pictures.push_back(name);
                }
            }
        }
        std::string picture = folder.inheritedPicture;
        if (picture.empty()) {
            picture = folderPicture(folder.path, pictures);
        }
        std::sort(music.begin(), music.end());
        for (const std::string& name : music) {
            FileTags file;
            file.path = folder.path + "/" + name;
            file.folder = folder.path;
            file.folderPicture = picture;
            scan.files.push_back(std::move(file));
        }
        // Reversed, so that the stack gives them back in name order.
        std::sort(subfolders.rbegin(), subfolders.rend());
        for (const std::string& name : subfolders) {
            std::string path = folder.path == "/" ? "/" + name : folder.path + "/" + name;
            if (!firstVisit(path)) {
                continue;
            }
            const bool disc = filescan::discFolderNumber(name) > 0;
            pending.push_back({std::move(path), disc ? picture : std::string()});
        }
    }
}

// Reads the tags of every file on `threads` threads; each file is written
// by one thread only, so the result does not depend on the scheduling.
void readAllTags(FolderScan& scan, ScanProgress& progress, int threads)
{
    std::vector<char> readable(scan.files.size(), 0);
    std::atomic<std::size_t> next{0};
    std::mutex albumsMutex;
    std::unordered_set<std::string> albums;
    auto work = [&] {
        for (;;) {
            if (progress.cancel.load()) {
                return;
            }
            const std::size_t index = next.fetch_add(1);
            if (index >= scan.files.size()) {
                return;
            }
            FileTags& file = scan.files[index];
            readable[index] = readFileTags(file) ? 1 : 0;
            if (readable[index]) {
                std::string key = filescan::albumKey(file);
                std::lock_guard<std::mutex> lock(albumsMutex);
                if (albums.insert(std::move(key)).second) {
                    progress.albumsFound.store(static_cast<int>(albums.size()));
                }
            }
            progress.filesRead.fetch_add(1);
        }
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < scan.files.size(); ++i) {
        if (readable[i]) {
            if (kept != i) {
                scan.files[kept] = std::move(scan.files[i]);
            }
            ++kept;
        } else {
            ++scan.unreadableFiles;
        }
    }
    scan.files.resize(kept);
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

FolderScan scanFolder(const fs::path& root, ScanProgress& progress, int threads)
{
    FolderScan scan;
    findMusicFiles(root, progress, scan);
    if (threads <= 0) {
        threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    }
    if (!progress.cancel.load()) {
        readAllTags(scan, progress, threads);
    }
    if (progress.cancel.load()) {
        scan = FolderScan{};
        scan.cancelled = true;
    }
    return scan;
}

ScanResult scanAlbums(const fs::path& root, const std::unordered_set<std::string>& known,
                      ScanProgress& progress, int threads)
{
    ScanResult result;
    result.scan = scanFolder(root, progress, threads);
    if (!result.scan.cancelled) {
        result.plan = filescan::planAlbums(result.scan.files, known);
    }
    return result;
}

int storeEmbeddedCovers(std::vector<filescan::PlannedAlbum>& albums, const store::DataFolder& folder)
{
    int failed = 0;
    const fs::path covers = folder.file("covers");
    for (filescan::PlannedAlbum& album : albums) {
        if (album.embeddedPictureFile.empty()) {
            continue;
        }
        std::optional<Picture> picture = frontPicture(album.embeddedPictureFile);
        if (!picture) {
            ++failed;
            continue;
        }
        const fs::path target = covers / (sha256Hex(picture->bytes) + picture->extension);
        std::optional<std::string> cell = filescan::pathCell(target.native());
        std::error_code ec;
        fs::create_directories(covers, ec);
        const bool present =
            fs::is_regular_file(target, ec) && fs::file_size(target, ec) == picture->bytes.size();
        if (!cell || (!present && !store::writeFileAtomically(target, picture->bytes, nullptr))) {
            ++failed;
            continue;
        }
        album.record[store::ImagePathColumn] = std::move(*cell);
    }
    return failed;
}

std::string utf8OfCell(std::string_view cp932)
{
    const std::u16string text = text::toUnicode(cp932);
    std::string out;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

std::vector<std::string> scanNotes(const ScanResult& result)
{
    std::vector<std::string> notes;
    const FolderScan& scan = result.scan;
    const filescan::ScanPlan& plan = result.plan;
    auto note = [&notes](int count, const char* text) {
        if (count > 0) {
            notes.push_back(std::string(text) + ": " + std::to_string(count));
        }
    };
    note(scan.unreadableFolders, "読み込めなかったフォルダ");
    note(scan.unreadableFiles, "読み込めなかったファイル (空のファイル・壊れたファイル)");
    note(plan.unstorablePaths, "パスをShift-JISで表せないため登録しないファイル");
    note(plan.knownFiles, "登録済みのファイル");
    note(plan.knownAlbums, "すべての曲が登録済みのアルバム");
    note(plan.missingCharacters, "Shift-JISにない文字 (〓に置き換え)");
    for (const filescan::PlannedAlbum& album : plan.albums) {
        if (album.droppedSongs > 0) {
            notes.push_back(
                "99曲を超えるため先頭の99曲だけを登録: " + utf8OfCell(album.record[store::ArtistColumn]) +
                " / " + utf8OfCell(album.record[store::AlbumColumn]) + " (全" +
                std::to_string(album.droppedSongs + store::kSongSlots) + "曲)");
        }
    }
    return notes;
}

}  // namespace velmora::tags
