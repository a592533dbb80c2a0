#include "core/catalogue/catalogue.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "core/browse/album_order.h"
#include "core/catalogue/history.h"
#include "core/store/columns.h"
#include "core/store/string_grid_io.h"
#include "core/text/cp932.h"

namespace velmora::catalogue {

using store::AlbumRecord;
using store::AlbumTable;

store::MediaKind albumMediaKind(const AlbumTable::RowCells& cells)
{
    return store::albumMediaKind(
        [&](int slot) { return cells[static_cast<std::size_t>(store::mediaColumn(slot))]; });
}

int tableColumnOfListColumn(int listColumn)
{
    static constexpr int kColumns[kListColumnCount] = {-1,
                                                       store::ArtistColumn,
                                                       store::AlbumColumn,
                                                       store::Category1Column,
                                                       store::Category2Column,
                                                       store::Category3Column,
                                                       store::FuriganaColumn,
                                                       -1};
    return listColumn >= 0 && listColumn < kListColumnCount ? kColumns[listColumn] : -1;
}

namespace {

// The first cell of a record that cannot be stored, or -1.
int refusedColumn(const AlbumRecord& record, Problem* problem)
{
    for (int column = 0; column < store::kColumnCount; ++column) {
        const store::CellProblem found = store::checkCell(column, record[column]);
        if (found != store::CellProblem::None) {
            *problem = cellProblem(found);
            return column;
        }
    }
    return -1;
}

BulkResult refusedBulk(Problem problem)
{
    BulkResult result;
    result.problem = problem;
    return result;
}

bool contains(std::string_view text, std::string_view marker)
{
    return text::findOnBoundary(text, marker) != std::string_view::npos;
}

}  // namespace

Catalogue::Catalogue(store::DataFolder folder)
    : folder_(std::move(folder)),
      history_(std::make_unique<History>()),
      mediaPaths_(std::make_unique<MediaPathIndex>(table_))
{
    addObserver(mediaPaths_.get());
}

Catalogue::~Catalogue() = default;

void Catalogue::addObserver(CatalogueObserver* observer)
{
    if (observer != nullptr &&
        std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void Catalogue::removeObserver(CatalogueObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

template <typename Call>
void Catalogue::notify(Call&& call)
{
    // A copy: an observer may remove itself while it is told.
    const std::vector<CatalogueObserver*> observers = observers_;
    for (CatalogueObserver* observer : observers) {
        call(*observer);
    }
}

// ---- loading and saving ----------------------------------------------------

LoadReport Catalogue::loadData(const std::function<void(int)>& progress, store::LoadBuffer buffer)
{
    LoadReport report;
    store::FileError folderError;
    AlbumTable fresh;
    dataIdentity_ = {};
    if (!folder_.check(&folderError)) {
        report.folderError = folderError;
    } else {
        store::LoadResult result = store::loadDataFile(folder_.dataFile(), fresh, progress, buffer);
        report.dataStatus = result.status;
        report.dataError = result.error;
        dataIdentity_ = result.identity;
    }
    // A missing or unreadable file leaves an empty catalogue, never the
    // albums of before.
    sortColumn_ = 0;
    replaceTable(std::move(fresh), report.dataStatus == store::LoadStatus::Unreadable);
    return report;
}

LoadReport Catalogue::load(const std::function<void(int)>& progress, store::LoadBuffer buffer)
{
    LoadReport report = loadData(progress, buffer);
    settings_ = store::AppSettings();
    report.settingsRead = store::loadSettingsFile(folder_.settingsFile(), settings_);
    lists_ = store::ListFiles();
    store::FileError listError;
    if (!lists_.load(folder_.dir(), &listError)) {
        report.listError = listError;
    }
    settingsModified_ = false;
    notify([](CatalogueObserver& o) { o.settingsChanged(); });
    return report;
}

LoadReport Catalogue::loadDataFileOnly(store::LoadBuffer buffer, const std::function<void(int)>& progress)
{
    return loadData(progress, buffer);
}

LoadReport Catalogue::revert(const std::function<void(int)>& progress)
{
    LoadReport report;
    std::error_code ec;
    if (!std::filesystem::exists(folder_.dataFile(), ec)) {
        return report;
    }
    AlbumTable fresh;
    store::LoadResult result = store::loadDataFile(folder_.dataFile(), fresh, progress);
    report.dataStatus = result.status;
    report.dataError = result.error;
    if (result.status == store::LoadStatus::Unreadable) {
        dataFileUnreadable_ = true;
        return report;
    }
    if (result.status != store::LoadStatus::Loaded) {
        return report;
    }
    dataIdentity_ = result.identity;
    replaceTable(std::move(fresh), false);
    return report;
}

void Catalogue::replaceTable(store::AlbumTable fresh, bool unreadable)
{
    table_ = std::move(fresh);
    clearHistory();
    dataFileUnreadable_ = unreadable;
    albumsModified_ = false;
    entries_.clear();
    for (int album = 1; album <= table_.albumCount(); ++album) {
        entries_.push_back({album, 0});
    }
    allShown_ = true;
    searchResultShown_ = false;
    notify([](CatalogueObserver& o) { o.albumsReset(); });
    notify([](CatalogueObserver& o) { o.listReset(); });
}

bool Catalogue::writeDataFile(SaveConsent consent, SaveReport& report)
{
    // A data file that could not be read is replaced only when the user
    // agreed: what the catalogue holds lacks its albums.
    if (dataFileUnreadable_ && consent != SaveConsent::OverwriteUnreadable) {
        report.status = SaveStatus::NeedsConsent;
        return false;
    }
    // Another writer's file is replaced only when the user agreed: saving
    // would throw away what it wrote.
    if (!dataFileUnreadable_ && consent != SaveConsent::OverwriteChanged && dataFileChangedOnDisk()) {
        report.status = SaveStatus::ChangedOnDisk;
        return false;
    }
    store::ListFileIO writer;
    writer.TargetGrid = &table_;
    store::ContentHasher written;
    writer.WrittenBytes = &written;
    if (!writer.Write(folder_.dataFile(), "<>", false, &report.error)) {
        report.status = SaveStatus::Failed;
        report.failedFile = SavedFile::DataFile;
        return false;
    }
    dataFileUnreadable_ = false;
    albumsModified_ = false;
    // What was just written is the file of the next check.
    dataIdentity_ = store::fileStamp(folder_.dataFile());
    dataIdentity_.contentHash = written.finish();
    // A built index goes beside it for the next run (only a hint: a
    // failure costs that run the building).
    mediaPaths_->saveTo(folder_.file(kMediaIndexFileName), dataIdentity_.size, dataIdentity_.contentHash);
    return true;
}

bool Catalogue::dataFileChangedOnDisk() const
{
    const store::FileIdentity now = store::fileStamp(folder_.dataFile());
    if (!now.exists || !dataIdentity_.exists) {
        return now.exists;
    }
    if (now.size != dataIdentity_.size) {
        return true;
    }
    // The very inode, untouched since it was read or written: nothing to
    // read (a catalogue of a gigabyte is not read again before each save).
    if (now.device == dataIdentity_.device && now.inode == dataIdentity_.inode &&
        now.changedNanoseconds == dataIdentity_.changedNanoseconds &&
        now.modifiedNanoseconds == dataIdentity_.modifiedNanoseconds) {
        return false;
    }
    // Same size: only the bytes tell. Another writer may have kept the
    // time, and a sync tool or `touch` may have changed only the time of
    // the very bytes this catalogue holds, which is no reason to ask.
    const std::optional<store::FileIdentity> read = store::readFileIdentity(folder_.dataFile());
    return read && read->exists && read->contentHash != dataIdentity_.contentHash;
}

SaveReport Catalogue::save(SaveConsent consent)
{
    SaveReport report;
    if (!writeDataFile(consent, report)) {
        return report;
    }
    if (!store::saveSettingsFile(folder_.settingsFile(), settings_, &report.error)) {
        report.status = SaveStatus::Failed;
        report.failedFile = SavedFile::Settings;
        return report;
    }
    if (!lists_.save(folder_.dir(), &report.error)) {
        report.status = SaveStatus::Failed;
        report.failedFile = SavedFile::ListFiles;
        return report;
    }
    settingsModified_ = false;
    return report;
}

SaveReport Catalogue::saveDataFileOnly(SaveConsent consent)
{
    SaveReport report;
    writeDataFile(consent, report);
    return report;
}

// ---- settings and lists ----------------------------------------------------

void Catalogue::setSettings(store::AppSettings settings)
{
    settings_ = std::move(settings);
    settingsModified_ = true;
    notify([](CatalogueObserver& o) { o.settingsChanged(); });
}

void Catalogue::setLists(store::ListFiles lists)
{
    lists_ = std::move(lists);
    settingsModified_ = true;
    notify([](CatalogueObserver& o) { o.settingsChanged(); });
}

// ---- album commands --------------------------------------------------------

ChangeResult Catalogue::insertAlbumAfter(int afterRow)
{
    const int rows = static_cast<int>(entries_.size());
    const bool rowValid = afterRow >= 0 && afterRow < rows;
    const int selectedNumber = rowValid ? entries_[static_cast<std::size_t>(afterRow)].album : 0;
    // After the last album (or none) the new one is appended.
    int number = table_.rowCount();
    if (selectedNumber >= 1 && selectedNumber < table_.albumCount()) {
        number = selectedNumber + 1;
    }
    int position = rows;
    if (rowValid && afterRow < rows - 1) {
        position = afterRow + 1;
    }
    StepScope step(*this, "新規作成");
    table_.insertRow(number);
    for (ListEntry& entry : entries_) {
        if (entry.album >= number) {
            ++entry.album;
        }
    }
    entries_.insert(entries_.begin() + position, ListEntry{number, 0});
    recordInserted({number});
    albumsModified_ = true;
    notify([&](CatalogueObserver& o) { o.albumsInserted({number}); });
    notify([&](CatalogueObserver& o) { o.listRowsInserted(position, 1); });
    ChangeResult result;
    result.album = number;
    result.listRow = position;
    return result;
}

std::optional<ReadingQuestion> Catalogue::readingQuestion(const std::string& artist,
                                                          const std::string& reading,
                                                          const std::string& oldReading) const
{
    if (oldReading == reading) {
        return std::nullopt;
    }
    ReadingQuestion question{artist, reading, {}};
    bool differs = false;
    for (int album = 1; album <= table_.albumCount(); ++album) {
        const AlbumTable::RowCells cells = table_.rowCells(album);
        if (cells[store::ArtistColumn] == artist) {
            question.albums.push_back(album);
            differs = differs || cells[store::FuriganaColumn] != reading;
        }
    }
    if (!differs) {
        return std::nullopt;
    }
    return question;
}

ChangeResult Catalogue::storeRecord(int album, AlbumRecord record, const std::string& oldReading)
{
    ChangeResult result;
    result.album = album;
    recordChanging({album});
    table_.setRecord(album, record);
    albumsModified_ = true;
    notify([&](CatalogueObserver& o) { o.albumsChanged({album}); });
    result.readingQuestion =
        readingQuestion(record[store::ArtistColumn], record[store::FuriganaColumn], oldReading);
    return result;
}

ChangeResult Catalogue::changeAlbum(int album, AlbumRecord record)
{
    ChangeResult result;
    if (album < 1 || album > table_.albumCount()) {
        result.problem = Problem::NoSuchAlbum;
        return result;
    }
    record.applyFuriganaDefault();
    result.column = refusedColumn(record, &result.problem);
    if (result.column >= 0) {
        return result;
    }
    const std::string oldReading(table_.cell(store::FuriganaColumn, album));
    StepScope step(*this, "変更");
    return storeRecord(album, std::move(record), oldReading);
}

ChangeResult Catalogue::setAlbumCell(int album, int column, std::string_view value)
{
    if (column < 0 || column >= store::kColumnCount) {
        throw std::out_of_range("setAlbumCell: no such column");
    }
    if (album < 1 || album > table_.albumCount()) {
        ChangeResult result;
        result.problem = Problem::NoSuchAlbum;
        return result;
    }
    AlbumRecord record = table_.record(album);
    record[column] = std::string(value);
    return changeAlbum(album, std::move(record));
}

ChangeResult Catalogue::addAlbum(int afterRow, AlbumRecord record)
{
    ChangeResult result;
    record.applyFuriganaDefault();
    result.column = refusedColumn(record, &result.problem);
    if (result.column >= 0) {
        return result;
    }
    StepScope step(*this, "追加");
    const ChangeResult inserted = insertAlbumAfter(afterRow);
    // The new album's reading was empty.
    result = storeRecord(inserted.album, std::move(record), std::string());
    result.listRow = inserted.listRow;
    return result;
}

ChangeResult Catalogue::duplicateAlbum(int row)
{
    if (row < 0 || row >= static_cast<int>(entries_.size())) {
        ChangeResult result;
        result.problem = Problem::NoSuchAlbum;
        return result;
    }
    const int album = entries_[static_cast<std::size_t>(row)].album;
    if (album < 1 || album > table_.albumCount()) {
        ChangeResult result;
        result.problem = Problem::NoSuchAlbum;
        return result;
    }
    StepScope step(*this, "複製");
    return addAlbum(row, table_.record(album));
}

std::vector<int> Catalogue::deleteAlbums(std::vector<int> albums)
{
    const int count = table_.albumCount();
    albums.erase(std::remove_if(albums.begin(), albums.end(), [&](int a) { return a < 1 || a > count; }),
                 albums.end());
    std::sort(albums.begin(), albums.end());
    albums.erase(std::unique(albums.begin(), albums.end()), albums.end());
    if (albums.empty()) {
        return albums;
    }
    StepScope step(*this, "削除 (" + groupedCount(static_cast<long long>(albums.size())) + "件)");
    recordRemoving(albums);
    table_.removeRows(albums);
    // Every entry of a removed album goes: after renumbering it would name
    // another album.
    std::vector<int> goneRows;
    std::vector<ListEntry> kept;
    kept.reserve(entries_.size());
    for (std::size_t row = 0; row < entries_.size(); ++row) {
        ListEntry entry = entries_[row];
        if (std::binary_search(albums.begin(), albums.end(), entry.album)) {
            goneRows.push_back(static_cast<int>(row));
            continue;
        }
        entry.album -=
            static_cast<int>(std::lower_bound(albums.begin(), albums.end(), entry.album) - albums.begin());
        kept.push_back(entry);
    }
    entries_ = std::move(kept);
    albumsModified_ = true;
    notify([&](CatalogueObserver& o) { o.albumsRemoved(albums); });
    if (!goneRows.empty()) {
        notify([&](CatalogueObserver& o) { o.listRowsRemoved(goneRows); });
    }
    return albums;
}

void Catalogue::applyReading(const ReadingQuestion& question)
{
    if (store::checkCell(store::FuriganaColumn, question.reading) != store::CellProblem::None) {
        return;
    }
    std::vector<int> changed;
    for (int album : question.albums) {
        if (album < 1 || album > table_.albumCount()) {
            continue;
        }
        const AlbumTable::RowCells cells = table_.rowCells(album);
        if (cells[store::ArtistColumn] != question.artist ||
            cells[store::FuriganaColumn] == question.reading) {
            continue;
        }
        changed.push_back(album);
    }
    if (changed.empty()) {
        return;
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    StepScope step(*this, "フリガナの統一 (" + groupedCount(static_cast<long long>(changed.size())) + "件)");
    recordChangingCells(changed, store::FuriganaColumn);
    for (int album : changed) {
        table_.setCell(store::FuriganaColumn, album, question.reading);
    }
    albumsModified_ = true;
    notify([&](CatalogueObserver& o) { o.albumsChanged(changed); });
}

void Catalogue::appended(int first)
{
    const int last = table_.albumCount();
    if (first > last) {
        return;
    }
    std::vector<int> added;
    for (int album = first; album <= last; ++album) {
        added.push_back(album);
    }
    albumsModified_ = true;
    notify([&](CatalogueObserver& o) { o.albumsInserted(added); });
    if (allShown_) {
        // A list of every album goes on showing every album.
        const int row = static_cast<int>(entries_.size());
        for (int album : added) {
            entries_.push_back({album, 0});
        }
        notify([&](CatalogueObserver& o) { o.listRowsInserted(row, static_cast<int>(added.size())); });
    }
    recordInserted(added);
}

ChangeResult Catalogue::appendAlbums(const std::vector<AlbumRecord>& records)
{
    ChangeResult result;
    for (const AlbumRecord& record : records) {
        result.column = refusedColumn(record, &result.problem);
        if (result.column >= 0) {
            return result;
        }
    }
    const int first = table_.rowCount();
    StepScope step(*this, "登録 (" + groupedCount(static_cast<long long>(records.size())) + "件)");
    table_.setRowCount(first + static_cast<int>(records.size()));
    try {
        for (std::size_t i = 0; i < records.size(); ++i) {
            table_.setRecord(first + static_cast<int>(i), records[i]);
        }
    } catch (...) {
        table_.setRowCount(first);
        throw;
    }
    result.album = first;
    appended(first);
    return result;
}

ChangeResult Catalogue::registerScannedAlbums(const std::vector<filescan::PlannedAlbum>& albums)
{
    ChangeResult result;
    std::vector<int> joined;
    for (const filescan::PlannedAlbum& album : albums) {
        result.column = refusedColumn(album.record, &result.problem);
        if (result.column >= 0) {
            return result;
        }
        if (album.existingAlbum != 0) {
            if (album.existingAlbum < 1 || album.existingAlbum > table_.albumCount()) {
                result.problem = Problem::NoSuchAlbum;
                return result;
            }
            joined.push_back(album.existingAlbum);
        }
    }
    const int first = table_.rowCount();
    std::sort(joined.begin(), joined.end());
    joined.erase(std::unique(joined.begin(), joined.end()), joined.end());
    StepScope step(*this, "フォルダから登録 (" + groupedCount(static_cast<long long>(albums.size())) + "件)");
    recordChanging(joined);
    result.album = filescan::appendAlbums(table_, albums);
    albumsModified_ = true;
    if (!joined.empty()) {
        notify([&](CatalogueObserver& o) { o.albumsChanged(joined); });
    }
    if (table_.rowCount() > first) {
        appended(first);
    }
    return result;
}

filescan::CatalogueFiles Catalogue::cataloguedFilesInFoldersNamed(
    const std::vector<std::string>& folderNames, const filescan::PathCanonicalizer& canonical) const
{
    // The index saved with the data file as loaded spares building it.
    if (!mediaPaths_->built() && !albumsModified_ && !dataFileUnreadable_ && dataIdentity_.exists) {
        mediaPaths_->restoreFrom(folder_.file(kMediaIndexFileName), dataIdentity_.size,
                                 dataIdentity_.contentHash);
    }
    return filescan::catalogueFiles(table_, mediaPaths_->albumsInFoldersNamed(folderNames), canonical);
}

int Catalogue::appendImported(exchange::ImportedRows rows)
{
    const int first = table_.rowCount();
    StepScope step(*this, "データの読み込み");
    exchange::appendRows(table_, std::move(rows));
    step.setName("データの読み込み (" + groupedCount(table_.rowCount() - first) + "件)");
    appended(first);
    return first;
}

Problem Catalogue::renumberInListOrder()
{
    if (!allShown_) {
        return Problem::RenumberNeedsAllAlbums;
    }
    // Albums the list lacks keep their place after the listed ones, so that
    // renumbering never drops an album.
    std::vector<int> order;
    std::vector<bool> listed(static_cast<std::size_t>(table_.rowCount()), false);
    for (const ListEntry& entry : entries_) {
        if (entry.album >= 1 && entry.album <= table_.albumCount() &&
            !listed[static_cast<std::size_t>(entry.album)]) {
            listed[static_cast<std::size_t>(entry.album)] = true;
            order.push_back(entry.album);
        }
    }
    for (int album = 1; album <= table_.albumCount(); ++album) {
        if (!listed[static_cast<std::size_t>(album)]) {
            order.push_back(album);
        }
    }
    StepScope step(*this, "番号整列");
    recordRenumbering(order);
    table_.reorderAlbums(order);
    albumsModified_ = true;
    entries_.clear();
    for (int album = 1; album <= table_.albumCount(); ++album) {
        entries_.push_back({album, 0});
    }
    notify([](CatalogueObserver& o) { o.albumsReset(); });
    notify([](CatalogueObserver& o) { o.listReset(); });
    return Problem::None;
}

Problem Catalogue::moveListRows(const std::vector<int>& rows, int target, int* firstRow)
{
    const int count = static_cast<int>(entries_.size());
    std::vector<int> selected;
    for (int row : rows) {
        if (row >= 0 && row < count) {
            selected.push_back(row);
        }
    }
    if (selected.empty() || target < 0 || target >= count) {
        return Problem::None;
    }
    if (!allShown_) {
        return Problem::ReorderNeedsAllAlbums;
    }
    std::sort(selected.begin(), selected.end());
    std::vector<bool> flags(static_cast<std::size_t>(count), false);
    for (int row : selected) {
        flags[static_cast<std::size_t>(row)] = true;
    }
    const std::vector<int> order = browse::dropOrder(flags, target);
    std::vector<ListEntry> moved;
    moved.reserve(entries_.size());
    for (int old : order) {
        moved.push_back(entries_[static_cast<std::size_t>(old)]);
    }
    StepScope step(*this, "並べ替え");
    entries_ = std::move(moved);
    recordListOrder(order);
    if (firstRow != nullptr) {
        *firstRow = static_cast<int>(std::find(order.begin(), order.end(), selected.front()) - order.begin());
    }
    notify([](CatalogueObserver& o) { o.listReset(); });
    return Problem::None;
}

bool Catalogue::listOutOfOrder() const
{
    int previous = 0;
    for (const ListEntry& entry : entries_) {
        if (entry.album < previous) {
            return true;
        }
        previous = entry.album;
    }
    return false;
}

// ---- list state ------------------------------------------------------------

std::vector<int> Catalogue::listedAlbums() const
{
    std::vector<int> albums;
    albums.reserve(entries_.size());
    for (const ListEntry& entry : entries_) {
        albums.push_back(entry.album);
    }
    return albums;
}

void Catalogue::showAll()
{
    entries_.clear();
    entries_.reserve(static_cast<std::size_t>(table_.albumCount()));
    for (int album = 1; album <= table_.albumCount(); ++album) {
        entries_.push_back({album, 0});
    }
    allShown_ = true;
    searchResultShown_ = false;
    notify([](CatalogueObserver& o) { o.listReset(); });
}

void Catalogue::showOnlyRows(const std::vector<int>& rows)
{
    const int count = static_cast<int>(entries_.size());
    std::vector<bool> keep(entries_.size(), false);
    for (int row : rows) {
        if (row >= 0 && row < count) {
            keep[static_cast<std::size_t>(row)] = true;
        }
    }
    const auto kept = std::count(keep.begin(), keep.end(), true);
    if (kept == 0 || kept == count) {
        return;
    }
    std::vector<ListEntry> entries;
    for (std::size_t row = 0; row < entries_.size(); ++row) {
        if (keep[row]) {
            entries.push_back(entries_[row]);
        }
    }
    entries_ = std::move(entries);
    allShown_ = false;
    notify([](CatalogueObserver& o) { o.listReset(); });
}

void Catalogue::showAlbums(const std::vector<int>& albums)
{
    entries_.clear();
    for (int album : albums) {
        if (album >= 1 && album <= table_.albumCount()) {
            entries_.push_back({album, 0});
        }
    }
    allShown_ = false;
    notify([](CatalogueObserver& o) { o.listReset(); });
}

void Catalogue::clearSearchMarks()
{
    if (!searchResultShown_) {
        return;
    }
    searchResultShown_ = false;
    for (ListEntry& entry : entries_) {
        entry.searchSong = 0;
    }
    notify([](CatalogueObserver& o) { o.listMarksChanged(); });
}

void Catalogue::showSearchResult(const std::vector<textops::SearchHit>& hits)
{
    searchResultShown_ = true;
    entries_.clear();
    entries_.reserve(hits.size());
    for (const textops::SearchHit& hit : hits) {
        if (hit.album >= 1 && hit.album <= table_.albumCount()) {
            entries_.push_back({hit.album, hit.song});
        }
    }
    allShown_ = false;
    // sortByColumn() tells the observers.
    sortByColumn(sortColumn_);
}

std::vector<int> Catalogue::sortByColumn(int listColumn)
{
    if (listColumn < 0 || listColumn >= kListColumnCount) {
        listColumn = 0;
    }
    sortColumn_ = listColumn;
    const std::vector<int> albums = listedAlbums();
    std::vector<std::string> songNumbers;
    if (listColumn == 7) {
        // The search song numbers are not table text.
        for (const ListEntry& entry : entries_) {
            songNumbers.push_back(entry.searchSong > 0 ? std::to_string(entry.searchSong) : std::string());
        }
    }
    const int tableColumn = tableColumnOfListColumn(listColumn);
    const std::vector<int> order = browse::sortOrder(albums, listColumn, [&](int item) -> std::string_view {
        if (listColumn == 7) {
            return songNumbers[static_cast<std::size_t>(item)];
        }
        const int album = albums[static_cast<std::size_t>(item)];
        return tableColumn >= 0 && album >= 1 && album <= table_.albumCount()
                   ? table_.cell(tableColumn, album)
                   : std::string_view();
    });
    std::vector<ListEntry> sorted;
    sorted.reserve(entries_.size());
    for (int old : order) {
        sorted.push_back(entries_[static_cast<std::size_t>(old)]);
    }
    entries_ = std::move(sorted);
    notify([](CatalogueObserver& o) { o.listReset(); });
    return order;
}

// ---- search, convert, replace ----------------------------------------------

std::vector<int> Catalogue::listedAlbumSet() const
{
    return textops::albumSetAsText(listedAlbums());
}

Problem Catalogue::searchProblem(std::string_view word) const
{
    if (word.empty()) {
        return Problem::SearchWordEmpty;
    }
    if (table_.albumCount() < 1) {
        return Problem::NoAlbumsStored;
    }
    if (entries_.empty()) {
        return Problem::NoAlbumsShown;
    }
    return Problem::None;
}

std::vector<textops::SearchHit> Catalogue::search(int group, std::string_view word, textops::SearchMode mode,
                                                  const textops::Progress& progress) const
{
    if (word.empty()) {
        return {};
    }
    return textops::search(table_, listedAlbumSet(), group, word, progress, mode);
}

BulkResult Catalogue::finishBulk(textops::BulkResult done)
{
    BulkResult result;
    result.changedCells = done.changedCells;
    result.refusedCells = done.refusedCells;
    result.changedAlbums = std::move(done.changedAlbums);
    std::sort(result.changedAlbums.begin(), result.changedAlbums.end());
    if (!result.changedAlbums.empty()) {
        albumsModified_ = true;
        notify([&](CatalogueObserver& o) { o.albumsChanged(result.changedAlbums); });
    }
    return result;
}

BulkResult Catalogue::convert(int group, int kind, const textops::Progress& progress)
{
    if (entries_.empty()) {
        return refusedBulk(Problem::NoAlbums);
    }
    StepScope step(*this, "変換");
    BulkResult result = finishBulk(rewriteShown(
        group, progress, [kind](std::string_view cell) { return textops::convertText(cell, kind); }));
    step.setName("変換 (" + groupedCount(result.changedCells) + "か所)");
    return result;
}

BulkResult Catalogue::replace(int group, std::string_view find, std::string_view replacement,
                              const textops::Progress& progress)
{
    constexpr int kMemoGroup = 6;
    Problem problem = Problem::None;
    if (entries_.empty()) {
        problem = Problem::NoAlbums;
    } else if (find.empty()) {
        problem = Problem::FindEmpty;
    } else if (contains(find, "<>")) {
        problem = Problem::FindHasSeparator;
    } else if (group == kMemoGroup && contains(find, "{}")) {
        problem = Problem::MemoReplaceHasBraces;
    } else if (contains(replacement, "<>")) {
        problem = Problem::ReplacementHasSeparator;
    } else if (group == kMemoGroup && contains(replacement, "{}")) {
        problem = Problem::MemoReplaceHasBraces;
    } else if (replacement.find_first_of("\r\n") != std::string_view::npos) {
        problem = Problem::ReplacementHasLineBreak;
    }
    if (problem != Problem::None) {
        return refusedBulk(problem);
    }
    StepScope step(*this, "置換");
    BulkResult result = finishBulk(rewriteShown(group, progress, [&](std::string_view cell) {
        return textops::replaceText(cell, find, replacement);
    }));
    step.setName("置換 (" + groupedCount(result.changedCells) + "か所)");
    return result;
}

}  // namespace velmora::catalogue
