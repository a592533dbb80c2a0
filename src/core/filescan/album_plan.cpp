#include "core/filescan/album_plan.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

#include "core/filescan/tag_text.h"
#include "core/media/media_path.h"

namespace velmora::filescan {

namespace {

using store::AlbumRecord;

std::u16string albumTitleOf(const FileTags& file, std::string_view albumFolder)
{
    if (file.hasTags && !file.album.empty()) {
        return file.album;
    }
    return utf16FromUtf8(lastComponent(albumFolder)).value_or(std::u16string());
}

// A name that is not UTF-8 still gives a title: its bytes as Latin-1.
std::u16string textOfName(std::string_view name)
{
    if (std::optional<std::u16string> text = utf16FromUtf8(name)) {
        return *text;
    }
    std::u16string text;
    for (char c : name) {
        text.push_back(static_cast<unsigned char>(c));
    }
    return text;
}

std::u16string songTitleOf(const FileTags& file)
{
    if (file.hasTags && !file.title.empty()) {
        return file.title;
    }
    return textOfName(fileStem(lastComponent(file.path)));
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

// Readings are kana: hiragana, katakana (full or half width), the long
// vowel mark, the middle dot and blanks.
bool isKanaReading(std::u16string_view text)
{
    bool kana = false;
    for (char16_t c : text) {
        if ((c >= 0x3041 && c <= 0x309F) || (c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F)) {
            kana = true;
        } else if (c != u' ' && c != u'\u3000') {
            return false;
        }
    }
    return kana;
}

// One file on its way into an album.
struct Entry {
    const FileTags* file;  // its media cell is made only for a song registered
    std::string_view fileName;
    int disc;
    int track;  // 0: none
    // The place of a song without a track number: after the numbered song
    // before it by name.
    int orderTrack = 0;
    int orderRank = 0;
    bool catalogued = false;  // the catalogue holds the file already
};

// Writes a tag text into a cell and counts what CP932 lacked.
void putCell(AlbumRecord& record, int column, std::u16string_view text, int& missing, bool memoLine = false)
{
    CellText cell = tagCell(text, memoLine);
    missing += cell.missingCharacters;
    record[column] = std::move(cell.bytes);
}

// Whether `name` is one of the artists credited in `credit` ("A", "A×B",
// "A feat. B", "A & B", "B, A").
bool credits(std::u16string_view credit, std::u16string_view name)
{
    if (name.empty()) {
        return false;
    }
    auto isSeparator = [](char16_t c) {
        return c == u' ' || c == u'×' || c == u'x' || c == u'X' || c == u'&' || c == u',' || c == u'/' ||
               c == u'、' || c == u'＆' || c == u'(' || c == u')' || c == u'・' || c == u';' || c == u'+' ||
               c == u'\u3000';
    };
    for (std::size_t at = credit.find(name); at != std::u16string_view::npos;
         at = credit.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        const bool startOk = at == 0 || isSeparator(credit[at - 1]);
        const bool endOk = end == credit.size() || isSeparator(credit[end]);
        if (startOk && endOk) {
            return true;
        }
    }
    return false;
}

struct AlbumArtist {
    std::u16string name;
    std::u16string reading;  // the sort name that goes with it
};

// The most frequent non-empty value of `field` over the songs, the first
// of equals.
template <typename Field>
const FileTags* mostCommon(const std::vector<Entry>& songs, Field field)
{
    std::map<std::u16string_view, int> counts;
    const FileTags* best = nullptr;
    int bestCount = 0;
    for (const Entry& song : songs) {
        const std::u16string& value = field(*song.file);
        if (value.empty()) {
            continue;
        }
        const int count = ++counts[value];
        if (count > bestCount) {
            best = song.file;
            bestCount = count;
        }
    }
    return best;
}

AlbumArtist albumArtistOf(const std::vector<Entry>& songs)
{
    if (const FileTags* file =
            mostCommon(songs, [](const FileTags& f) -> const std::u16string& { return f.albumArtist; })) {
        return {file->albumArtist, file->albumArtistSort};
    }
    const FileTags* file =
        mostCommon(songs, [](const FileTags& f) -> const std::u16string& { return f.artist; });
    if (file == nullptr) {
        return {};
    }
    for (const Entry& song : songs) {
        if (!song.file->artist.empty() && !credits(song.file->artist, file->artist)) {
            return {kVariousArtists, {}};
        }
    }
    return {file->artist, file->artistSort};
}

struct Group {
    std::string folder;
    std::vector<Entry> songs;
};

void buildSongs(PlannedAlbum& album, const std::vector<Entry>& songs, int firstSlot)
{
    AlbumRecord& record = album.record;
    int& missing = album.missingCharacters;
    const std::string& albumArtist = record[store::ArtistColumn];
    int slot = firstSlot;
    for (const Entry& song : songs) {
        putCell(record, store::songTitleColumn(slot), songTitleOf(*song.file), missing);
        CellText artist = tagCell(song.file->artist);
        if (!artist.bytes.empty() && artist.bytes != albumArtist) {
            missing += artist.missingCharacters;
            record[store::songArtistColumn(slot)] = std::move(artist.bytes);
        }
        record[store::mediaColumn(slot)] = media::cellOfFileSystemPath(song.file->path);
        ++slot;
    }
    album.firstSlot = firstSlot;
    album.songs = static_cast<int>(songs.size());
}

// A new album of the songs, all but its reading (see giveReading()), which
// waits for the readings chosen for the artists of all new albums.
PlannedAlbum buildAlbum(const std::vector<Entry>& songs, std::string_view albumFolder, int droppedSongs)
{
    PlannedAlbum album;
    album.folder = std::string(albumFolder);
    album.droppedSongs = droppedSongs;
    AlbumRecord& record = album.record;
    int& missing = album.missingCharacters;

    const FileTags& first = *songs.front().file;
    const AlbumArtist artist = albumArtistOf(songs);
    putCell(record, store::ArtistColumn, artist.name, missing);
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
    buildSongs(album, songs, 1);
    for (const Entry& song : songs) {
        if (song.file->embeddedPicture) {
            album.embeddedPictureFile = song.file->path;
            break;
        }
    }
    if (album.embeddedPictureFile.empty()) {
        for (const Entry& song : songs) {
            if (!song.file->folderPicture.empty()) {
                record[store::ImagePathColumn] = media::cellOfFileSystemPath(song.file->folderPicture);
                break;
            }
        }
    }
    return album;
}

// The reading of a new album: the one the user chose for its artist, else
// the tags' one.
void giveReading(PlannedAlbum& album, const std::vector<Entry>& songs,
                 const readings::ChosenReadings& chosenReadings)
{
    AlbumRecord& record = album.record;
    if (std::optional<std::string> chosen = chosenReadings.find(record[store::ArtistColumn])) {
        record[store::FuriganaColumn] = std::move(*chosen);
    } else if (const AlbumArtist artist = albumArtistOf(songs); isKanaReading(artist.reading)) {
        putCell(record, store::FuriganaColumn, artist.reading, album.missingCharacters);
    }
    record.applyFuriganaDefault();
}

// Songs of a group in disc, then track order; songs without a track
// number keep their place by name.
void orderSongs(std::vector<Entry>& songs)
{
    std::sort(songs.begin(), songs.end(), [](const Entry& a, const Entry& b) {
        if (a.disc != b.disc) {
            return a.disc < b.disc;
        }
        return naturalLess(a.fileName, b.fileName);
    });
    int previousDisc = -1;
    int previousTrack = 0;
    for (Entry& song : songs) {
        if (song.disc != previousDisc) {
            previousDisc = song.disc;
            previousTrack = 0;
        }
        if (song.track > 0) {
            song.orderTrack = previousTrack = song.track;
            song.orderRank = 0;
        } else {
            song.orderTrack = previousTrack;
            song.orderRank = 1;
        }
    }
    std::stable_sort(songs.begin(), songs.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.disc, a.orderTrack, a.orderRank) < std::tie(b.disc, b.orderTrack, b.orderRank);
    });
}

int digitRun(std::string_view text, std::size_t& at, int& value)
{
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 6) {
        value = value * 10 + (text[at] - '0');
        ++at;
    }
    return static_cast<int>(at - start);
}

}  // namespace

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

int ScanPlan::songCount() const
{
    int count = 0;
    for (const PlannedAlbum& album : albums) {
        count += album.songs;
    }
    return count;
}

NameNumbers numbersOfFileName(std::string_view fileName)
{
    const std::string_view stem = fileStem(fileName);
    std::size_t at = 0;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    std::string word;
    for (std::size_t i = 0; i < stem.size() && i < 5; ++i) {
        word.push_back(lower(stem[i]));
    }
    if (word == "track") {
        at = 5;
        while (at < stem.size() &&
               (stem[at] == ' ' || stem[at] == '_' || stem[at] == '-' || stem[at] == '.')) {
            ++at;
        }
        int value = 0;
        const int digits = digitRun(stem, at, value);
        return (digits > 0 && digits <= 3) ? NameNumbers{0, value} : NameNumbers{};
    }
    int first = 0;
    const int digits = digitRun(stem, at, first);
    if (digits == 0 || digits > 3) {
        return {};
    }
    if (digits <= 2 && at + 1 < stem.size() && stem[at] == '-' && stem[at + 1] >= '0' &&
        stem[at + 1] <= '9') {
        std::size_t after = at + 1;
        int second = 0;
        const int secondDigits = digitRun(stem, after, second);
        if (secondDigits <= 3 && first > 0 && second > 0) {
            return {first, second};
        }
    }
    if (digits == 3 && first % 100 != 0) {
        return {first / 100, first % 100};
    }
    return {0, first};
}

bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && isDigit(a[ei])) {
                ++ei;
            }
            while (ej < b.size() && isDigit(b[ej])) {
                ++ej;
            }
            std::string_view na = a.substr(i, ei - i);
            std::string_view nb = b.substr(j, ej - j);
            while (na.size() > 1 && na.front() == '0') {
                na.remove_prefix(1);
            }
            while (nb.size() > 1 && nb.front() == '0') {
                nb.remove_prefix(1);
            }
            if (na.size() != nb.size()) {
                return na.size() < nb.size();
            }
            if (na != nb) {
                return na < nb;
            }
            i = ei;
            j = ej;
            continue;
        }
        char ca = a[i];
        char cb = b[j];
        if (ca >= 'A' && ca <= 'Z') {
            ca = static_cast<char>(ca - 'A' + 'a');
        }
        if (cb >= 'A' && cb <= 'Z') {
            cb = static_cast<char>(cb - 'A' + 'a');
        }
        if (ca != cb) {
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
        }
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) {
        return (a.size() - i) < (b.size() - j);
    }
    return a < b;  // equal but for case or leading zeros: byte order decides
}

std::string albumKey(const FileTags& file)
{
    const std::string_view folder = albumFolderOf(file.folder);
    std::string key(folder);
    key.push_back('\0');
    appendUtf16(key, albumTitleOf(file, folder));
    return key;
}

bool sameAlbumKey(const FileTags& a, const FileTags& b)
{
    if (a.folder != b.folder) {
        return false;
    }
    const bool aTagged = a.hasTags && !a.album.empty();
    const bool bTagged = b.hasTags && !b.album.empty();
    if (aTagged != bTagged) {
        return false;
    }
    return !aTagged || a.album == b.album;
}

CatalogueFiles catalogueFiles(const store::AlbumTable& table, const PathCanonicalizer& canonical)
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(table.albumCount()));
    for (int row = 1; row < table.rowCount(); ++row) {
        rows.push_back(row);
    }
    return catalogueFiles(table, rows, canonical);
}

CatalogueFiles catalogueFiles(const store::AlbumTable& table, const std::vector<int>& rows,
                              const PathCanonicalizer& canonical)
{
    CatalogueFiles known;
    std::vector<std::string> folders;  // of one album
    for (int row : rows) {
        if (row < 1 || row >= table.rowCount()) {
            continue;
        }
        const store::AlbumTable::RowCells cells = table.rowCells(row);
        auto cell = [&cells](int column) { return cells[static_cast<std::size_t>(column)]; };
        int usedSlots = 0;
        folders.clear();
        for (int slot = 1; slot <= store::kSongSlots; ++slot) {
            const std::string_view media = cell(store::mediaColumn(slot));
            if (!media.empty() || !cell(store::songTitleColumn(slot)).empty() ||
                !cell(store::songArtistColumn(slot)).empty()) {
                usedSlots = slot;
            }
            if (store::mediaKind(media) != store::MediaKind::File) {
                continue;
            }
            std::string path = media::fileSystemPath(media);
            if (canonical) {
                path = canonical(path);
            }
            const std::string_view folder = albumFolderOf(parentPath(path));
            if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
                folders.emplace_back(folder);
            }
            known.files.insert(path);
        }
        for (std::string& folder : folders) {
            known.albumsByFolder[std::move(folder)].push_back(
                CatalogueAlbum{row, usedSlots, std::string(cell(store::ArtistColumn)),
                               std::string(cell(store::AlbumColumn))});
        }
    }
    known.chosenReadingsOf = [&table](const std::vector<std::string>& artists) {
        return readings::ChosenReadings(table, artists);
    };
    return known;
}

ScanPlan planAlbums(const std::vector<FileTags>& files, const CatalogueFiles& known)
{
    ScanPlan plan;
    std::unordered_map<std::string, std::size_t> groupIndex;
    std::vector<Group> groups;
    std::vector<int> knownCounts;  // per group: its files the catalogue holds
    const FileTags* previous = nullptr;
    std::size_t previousGroup = 0;
    for (const FileTags& file : files) {
        // Files come folder by folder: most share the key of the one before.
        std::size_t group = previousGroup;
        if (previous == nullptr || !sameAlbumKey(*previous, file)) {
            auto [it, added] = groupIndex.emplace(albumKey(file), groups.size());
            if (added) {
                groups.push_back(Group{std::string(albumFolderOf(file.folder)), {}});
                knownCounts.push_back(0);
            }
            group = it->second;
        }
        previous = &file;
        previousGroup = group;
        Entry& entry = groups[group].songs.emplace_back(Entry{&file, lastComponent(file.path), 1, 0});
        entry.catalogued = known.files.count(file.path) != 0;
        knownCounts[group] += entry.catalogued ? 1 : 0;
    }
    // An album every file of which the catalogue holds is passed over
    // whole: where it would have come in the order does not matter.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (static_cast<std::size_t>(knownCounts[i]) == groups[i].songs.size()) {
            plan.knownFiles += knownCounts[i];
            ++plan.knownAlbums;
            continue;
        }
        if (kept != i) {
            groups[kept] = std::move(groups[i]);
        }
        ++kept;
    }
    groups.resize(kept);
    for (Group& group : groups) {
        for (Entry& song : group.songs) {
            const FileTags& file = *song.file;
            const NameNumbers numbers = numbersOfFileName(song.fileName);
            int disc = file.disc > 0 ? file.disc : discFolderNumber(lastComponent(file.folder));
            int track = file.track;
            if (track == 0) {
                track = numbers.track;
                if (disc == 0) {
                    disc = numbers.disc;
                }
            }
            song.disc = disc > 0 ? disc : 1;
            song.track = track;
        }
        orderSongs(group.songs);
    }
    // Folders in name order; albums of one folder by their first file.
    std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
        return std::tie(a.folder, a.songs.front().file->path) <
               std::tie(b.folder, b.songs.front().file->path);
    });

    // Slots already given to new songs of a catalogued album, by row.
    std::unordered_map<int, int> slotsTaken;
    // New albums still without a reading: their place and songs.
    std::vector<std::pair<std::size_t, std::vector<Entry>>> unread;
    for (Group& group : groups) {
        std::vector<Entry>& songs = group.songs;
        std::vector<Entry> fresh;
        int knownHere = 0;
        for (Entry& song : songs) {
            if (song.catalogued) {
                ++knownHere;
            } else {
                fresh.push_back(std::move(song));
            }
        }
        plan.knownFiles += knownHere;
        if (fresh.empty()) {
            ++plan.knownAlbums;
            continue;
        }
        auto catalogued = known.albumsByFolder.find(group.folder);
        if (catalogued == known.albumsByFolder.end() || catalogued->second.empty()) {
            const int dropped = std::max(0, static_cast<int>(fresh.size()) - store::kSongSlots);
            if (dropped > 0) {
                fresh.resize(store::kSongSlots);
            }
            plan.albums.push_back(buildAlbum(fresh, group.folder, dropped));
            unread.emplace_back(plan.albums.size() - 1, std::move(fresh));
        } else {
            // The folder's album of the same title, else its first album.
            const std::string title = tagCell(albumTitleOf(*fresh.front().file, group.folder)).bytes;
            const std::vector<CatalogueAlbum>& albums = catalogued->second;
            const CatalogueAlbum* target = &albums.front();
            for (const CatalogueAlbum& album : albums) {
                if (album.title == title) {
                    target = &album;
                    break;
                }
            }
            int& taken = slotsTaken[target->row];
            const int firstSlot = std::max(target->usedSlots, taken) + 1;
            const int room = std::max(0, store::kSongSlots - firstSlot + 1);
            const int dropped = std::max(0, static_cast<int>(fresh.size()) - room);
            if (room == 0) {
                plan.songsWithoutRoom += dropped;
                ++plan.knownAlbums;
                continue;
            }
            fresh.resize(fresh.size() - static_cast<std::size_t>(dropped));
            PlannedAlbum album;
            album.folder = group.folder;
            album.existingAlbum = target->row;
            album.droppedSongs = dropped;
            album.record[store::ArtistColumn] = target->artist;
            album.record[store::AlbumColumn] = target->title;
            buildSongs(album, fresh, firstSlot);
            taken = firstSlot + album.songs - 1;
            plan.albums.push_back(std::move(album));
        }
    }
    // The readings chosen for the new albums' artists, in one pass over the
    // catalogue.
    std::vector<std::string> artists;
    for (const auto& [index, songs] : unread) {
        artists.push_back(plan.albums[index].record[store::ArtistColumn]);
    }
    const readings::ChosenReadings chosen = known.chosenReadingsOf && !artists.empty()
                                                ? known.chosenReadingsOf(artists)
                                                : readings::ChosenReadings();
    for (const auto& [index, songs] : unread) {
        giveReading(plan.albums[index], songs, chosen);
    }
    for (const PlannedAlbum& album : plan.albums) {
        plan.missingCharacters += album.missingCharacters;
    }
    return plan;
}

int appendAlbums(store::AlbumTable& table, const std::vector<PlannedAlbum>& albums)
{
    const int oldRows = table.rowCount();
    int newRows = 0;
    for (const PlannedAlbum& album : albums) {
        newRows += album.existingAlbum == 0 ? 1 : 0;
    }
    // The cells a catalogued album gets, to be put back if anything fails.
    std::vector<std::tuple<int, int, std::string>> previous;
    table.setRowCount(oldRows + newRows);
    int first = oldRows;
    try {
        int next = oldRows;
        for (std::size_t i = 0; i < albums.size(); ++i) {
            const PlannedAlbum& album = albums[i];
            int row = album.existingAlbum;
            if (row == 0) {
                row = next++;
                table.setRecord(row, album.record);
            } else {
                for (int slot = album.firstSlot; slot < album.firstSlot + album.songs; ++slot) {
                    for (int column : {store::songTitleColumn(slot), store::songArtistColumn(slot),
                                       store::mediaColumn(slot)}) {
                        previous.emplace_back(row, column, table.cell(column, row));
                        table.setCell(column, row, album.record[column]);
                    }
                }
            }
            if (i == 0) {
                first = row;
            }
        }
    } catch (...) {
        for (auto it = previous.rbegin(); it != previous.rend(); ++it) {
            table.setCell(std::get<1>(*it), std::get<0>(*it), std::get<2>(*it));
        }
        table.setRowCount(oldRows);
        throw;
    }
    return first;
}

}  // namespace velmora::filescan
