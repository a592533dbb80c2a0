#include "core/filescan/album_plan.h"

#include <algorithm>
#include <climits>
#include <map>
#include <tuple>
#include <unordered_map>

#include "core/filescan/tag_text.h"

namespace velmora::filescan {

namespace {

using store::AlbumRecord;

// A disc subfolder counts as part of the folder above it.
std::string_view albumFolderOf(std::string_view folder)
{
    if (discFolderNumber(lastComponent(folder)) > 0) {
        std::string_view parent = parentPath(folder);
        if (!parent.empty()) {
            return parent;
        }
    }
    return folder;
}

const std::u16string& artistOf(const FileTags& file)
{
    return file.albumArtist.empty() ? file.artist : file.albumArtist;
}

std::u16string albumTitleOf(const FileTags& file, std::string_view albumFolder)
{
    if (file.hasTags && !file.album.empty()) {
        return file.album;
    }
    return utf16FromUtf8(lastComponent(albumFolder)).value_or(std::u16string());
}

std::u16string songTitleOf(const FileTags& file)
{
    if (file.hasTags && !file.title.empty()) {
        return file.title;
    }
    return utf16FromUtf8(fileStem(lastComponent(file.path))).value_or(std::u16string());
}

void appendUtf16(std::string& key, std::u16string_view text)
{
    for (char16_t c : text) {
        key.push_back(static_cast<char>(c & 0xFF));
        key.push_back(static_cast<char>(c >> 8));
    }
}

// The memo line of a year: 「2001年」.
std::u16string yearLine(int year)
{
    std::u16string line;
    for (char c : std::to_string(year)) {
        line.push_back(static_cast<char16_t>(c));
    }
    return line + u"年";
}

// One file on its way into an album.
struct Entry {
    const FileTags* file;
    std::string mediaCell;
    int disc;
    int track;  // INT_MAX when the file has none: after the numbered songs
};

bool songOrder(const Entry& a, const Entry& b)
{
    return std::tie(a.disc, a.track, a.file->path) < std::tie(b.disc, b.track, b.file->path);
}

// Writes a tag text into a cell and counts what CP932 lacked.
void putCell(AlbumRecord& record, int column, std::u16string_view text, int& missing, bool memoLine = false)
{
    CellText cell = tagCell(text, memoLine);
    missing += cell.missingCharacters;
    record[column] = std::move(cell.bytes);
}

PlannedAlbum buildAlbum(const std::vector<Entry>& songs, std::string_view albumFolder, int droppedSongs)
{
    PlannedAlbum album;
    album.folder = std::string(albumFolder);
    album.songs = static_cast<int>(songs.size());
    album.droppedSongs = droppedSongs;
    AlbumRecord& record = album.record;
    int& missing = album.missingCharacters;

    const FileTags& first = *songs.front().file;
    putCell(record, store::ArtistColumn, artistOf(first), missing);
    putCell(record, store::AlbumColumn, albumTitleOf(first, albumFolder), missing);
    for (const Entry& song : songs) {
        if (!song.file->genre.empty()) {
            putCell(record, store::Category1Column, song.file->genre, missing);
            break;
        }
    }
    for (const Entry& song : songs) {
        if (song.file->year > 0) {
            putCell(record, store::Category3Column, yearLine(song.file->year), missing, true);
            break;
        }
    }
    const std::string& albumArtist = record[store::ArtistColumn];
    int slot = 1;
    for (const Entry& song : songs) {
        putCell(record, store::songTitleColumn(slot), songTitleOf(*song.file), missing);
        CellText artist = tagCell(song.file->artist);
        if (!artist.bytes.empty() && artist.bytes != albumArtist) {
            missing += artist.missingCharacters;
            record[store::songArtistColumn(slot)] = std::move(artist.bytes);
        }
        record[store::mediaColumn(slot)] = song.mediaCell;
        ++slot;
    }
    for (const Entry& song : songs) {
        if (song.file->embeddedPicture) {
            album.embeddedPictureFile = song.file->path;
            break;
        }
    }
    if (album.embeddedPictureFile.empty()) {
        for (const Entry& song : songs) {
            if (!song.file->folderPicture.empty()) {
                record[store::ImagePathColumn] = pathCell(song.file->folderPicture).value_or(std::string());
                break;
            }
        }
    }
    record.applyFuriganaDefault();
    return album;
}

}  // namespace

int ScanPlan::songCount() const
{
    int count = 0;
    for (const PlannedAlbum& album : albums) {
        count += album.songs;
    }
    return count;
}

std::string albumKey(const FileTags& file)
{
    const std::string_view folder = albumFolderOf(file.folder);
    std::string key(folder);
    key.push_back('\0');
    appendUtf16(key, artistOf(file));
    key.append(2, '\0');
    appendUtf16(key, albumTitleOf(file, folder));
    return key;
}

std::unordered_set<std::string> catalogueMediaPaths(const store::AlbumTable& table)
{
    std::unordered_set<std::string> paths;
    for (int row = 1; row < table.rowCount(); ++row) {
        const store::AlbumTable::RowCells cells = table.rowCells(row);
        for (int slot = 1; slot <= store::kSongSlots; ++slot) {
            std::string_view cell = cells[static_cast<std::size_t>(store::mediaColumn(slot))];
            if (!cell.empty()) {
                paths.emplace(cell);
            }
        }
    }
    return paths;
}

ScanPlan planAlbums(std::vector<FileTags> files, const std::unordered_set<std::string>& known)
{
    ScanPlan plan;
    std::unordered_map<std::string, std::vector<Entry>> groups;
    for (const FileTags& file : files) {
        std::optional<std::string> cell = pathCell(file.path);
        if (!cell) {
            ++plan.unstorablePaths;
            continue;
        }
        const int folderDisc = discFolderNumber(lastComponent(file.folder));
        const int disc = file.disc > 0 ? file.disc : (folderDisc > 0 ? folderDisc : 1);
        const int track = file.track > 0 ? file.track : INT_MAX;
        groups[albumKey(file)].push_back(Entry{&file, std::move(*cell), disc, track});
    }

    struct Group {
        std::string_view folder;
        std::vector<Entry>* songs;
    };
    std::vector<Group> ordered;
    ordered.reserve(groups.size());
    for (auto& [key, songs] : groups) {
        std::sort(songs.begin(), songs.end(), songOrder);
        ordered.push_back(Group{albumFolderOf(songs.front().file->folder), &songs});
    }
    // Folders in name order; albums of one folder by their first file.
    std::sort(ordered.begin(), ordered.end(), [](const Group& a, const Group& b) {
        return std::tie(a.folder, a.songs->front().file->path) <
               std::tie(b.folder, b.songs->front().file->path);
    });

    for (const Group& group : ordered) {
        std::vector<Entry>& songs = *group.songs;
        const int dropped = std::max(0, static_cast<int>(songs.size()) - store::kSongSlots);
        if (dropped > 0) {
            songs.resize(store::kSongSlots);
        }
        std::vector<Entry> fresh;
        for (Entry& song : songs) {
            if (known.count(song.mediaCell)) {
                ++plan.knownFiles;
            } else {
                fresh.push_back(std::move(song));
            }
        }
        if (fresh.empty()) {
            ++plan.knownAlbums;
            continue;
        }
        plan.albums.push_back(buildAlbum(fresh, group.folder, dropped));
        plan.missingCharacters += plan.albums.back().missingCharacters;
    }
    return plan;
}

int appendAlbums(store::AlbumTable& table, const std::vector<PlannedAlbum>& albums)
{
    const int first = table.rowCount();
    table.setRowCount(first + static_cast<int>(albums.size()));
    try {
        for (std::size_t i = 0; i < albums.size(); ++i) {
            table.setRecord(first + static_cast<int>(i), albums[i].record);
        }
    } catch (...) {
        table.setRowCount(first);
        throw;
    }
    return first;
}

}  // namespace velmora::filescan
