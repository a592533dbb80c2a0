// The catalogue model: the album table, the settings and the list files of
// one data folder, the album list as shown, and every command that changes
// them. The windows and velmora-cli both drive it; nothing else writes the
// table (read it through albums()).
//
// Album numbers are table rows: 1 .. albumCount(). List rows are indexes
// into entries(): 0 .. entries().size() - 1. Texts in and out are CP932
// bytes as stored, except the messages of problemMessage() (UTF-8).
//
// Every change notifies the observers (see CatalogueObserver) after it is
// done; a change of albums, settings or lists also sets the modified flag
// (the list state is not stored, so showing and ordering the list does
// not). A refused command changes nothing and notifies nobody.
//
// A window's edit, in short: r = changeAlbum(album, record); if !r.ok(),
// show problemMessage(r.problem) for column r.column; if r.readingQuestion,
// ask it and call applyReading(*r.readingQuestion) on yes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/catalogue/catalogue_observer.h"
#include "core/catalogue/media_path_index.h"
#include "core/catalogue/problem.h"
#include "core/exchange/exchange.h"
#include "core/filescan/album_plan.h"
#include "core/store/album_record.h"
#include "core/store/album_table.h"
#include "core/store/app_settings.h"
#include "core/store/data_file.h"
#include "core/store/data_folder.h"
#include "core/store/file_error.h"
#include "core/textops/textops.h"

namespace velmora::catalogue {

// The kind of an album's icon: by the LAST non-empty media cell in song
// order (a CD track or a media file); None when every media cell is empty.
store::MediaKind albumMediaKind(const store::AlbumTable::RowCells& cells);

// One item of the album list: the album, and for a search result the song
// whose cell matched (0: not a song cell, or not a search result).
struct ListEntry {
    int album = 0;
    int searchSong = 0;
    bool operator==(const ListEntry&) const = default;
};

// The columns of the album list: 0 number, 1 artist, 2 album, 3-5 the
// categories, 6 the reading, 7 the search song.
inline constexpr int kListColumnCount = 8;
// The table column a list column shows (-1 for columns 0 and 7).
int tableColumnOfListColumn(int listColumn);

// The outcome of load(), loadDataFileOnly() and revert(). Nothing here is
// a message: the caller words each failure (store::readFailureMessage()).
struct LoadReport {
    // The data folder is not a folder: VLM.dat was not read and the
    // catalogue is empty (`folderError` names the data file, as a save
    // would).
    std::optional<store::FileError> folderError;
    store::LoadStatus dataStatus = store::LoadStatus::Missing;
    store::FileError dataError;  // for LoadStatus::Unreadable
    // Whether VLM.ini existed and was read (a window applies its stored
    // places only then).
    bool settingsRead = false;
    // A list file that exists but cannot be read (the other lists loaded).
    std::optional<store::FileError> listError;
};

enum class SaveStatus {
    Saved,
    // VLM.dat existed at the last load but could not be read: saving would
    // overwrite it with what is shown. Nothing was written; ask the user
    // (saveOverUnreadableQuestion()) and save again with consent.
    NeedsConsent,
    // VLM.dat is not the file last read or written (another window,
    // velmora-cli, a sync tool or a restore wrote it meanwhile): saving
    // would throw its contents away. Nothing was written; ask the user
    // (changedOnDiskQuestion()) and save with SaveConsent::OverwriteChanged,
    // or revert().
    ChangedOnDisk,
    Failed,  // `error` names the file; the files before it were written
};

enum class SavedFile { DataFile, Settings, ListFiles };

struct SaveReport {
    SaveStatus status = SaveStatus::Saved;
    SavedFile failedFile = SavedFile::DataFile;  // for Failed
    store::FileError error;                      // for Failed
};

enum class SaveConsent { NotGiven, OverwriteUnreadable, OverwriteChanged };

// "Other albums of `artist` have another reading: set them to `reading`?"
// `albums` are every album of that artist (the changed one included), in
// number order, as they were numbered when the question was asked.
struct ReadingQuestion {
    std::string artist;   // CP932
    std::string reading;  // CP932
    std::vector<int> albums;
};

// The outcome of a change of one album.
struct ChangeResult {
    Problem problem = Problem::None;
    int column = -1;   // the refused cell's column, for a cell problem
    int album = 0;     // the album changed or added
    int listRow = -1;  // add, duplicate, insert: the new entry's list row
    std::optional<ReadingQuestion> readingQuestion;

    bool ok() const { return problem == Problem::None; }
};

// The outcome of convert() and replace().
struct BulkResult {
    Problem problem = Problem::None;
    int changedCells = 0;
    int refusedCells = 0;            // kept as they were: the result could not be stored
                                     // (refusedCellsMessage() words it)
    std::vector<int> changedAlbums;  // ascending
    bool ok() const { return problem == Problem::None; }
};

// What undo() and redo() did.
struct UndoResult {
    bool done = false;
    std::string name;            // UTF-8: the step undone or redone
    std::vector<int> selection;  // albums to select now (may be empty)
};

class History;
struct HistoryStep;
struct ListFlags;

class Catalogue {
public:
    explicit Catalogue(store::DataFolder folder);
    ~Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    const store::DataFolder& folder() const { return folder_; }
    const store::AlbumTable& albums() const { return table_; }
    int albumCount() const { return table_.albumCount(); }
    const store::AppSettings& settings() const { return settings_; }
    const store::ListFiles& lists() const { return lists_; }
    // Where the albums' media files lie (kept current by every change).
    const MediaPathIndex& mediaPaths() const { return *mediaPaths_; }

    // ---- observers -------------------------------------------------------
    // Not owned; an observer removes itself before it goes.
    void addObserver(CatalogueObserver* observer);
    void removeObserver(CatalogueObserver* observer);

    // ---- loading and saving ----------------------------------------------
    // Reads VLM.dat, then VLM.ini, then the list files. A missing data file
    // is an empty catalogue; one that exists but cannot be read leaves the
    // table empty and arms the unreadable-file guard of save(). `progress`
    // is called once per column pass of the data file (0 .. 305). Shows all
    // albums (sort column 0), clears the modified flag; observers get
    // albumsReset(), listReset() and settingsChanged().
    LoadReport load(const std::function<void(int)>& progress = {},
                    store::LoadBuffer buffer = store::LoadBuffer::Copied);
    // Reads VLM.dat alone (velmora-cli): settings and lists keep their
    // built-in values. LoadBuffer::Mapped suits a short command.
    LoadReport loadDataFileOnly(store::LoadBuffer buffer = store::LoadBuffer::Copied,
                                const std::function<void(int)>& progress = {});
    // Reads the data file again as a whole ("back to the saved state").
    // Nothing happens when it does not exist; when it cannot be read the
    // table stays and the guard is armed. On success: all albums shown,
    // guard disarmed, modified flag cleared.
    LoadReport revert(const std::function<void(int)>& progress = {});

    // Writes VLM.dat, then VLM.ini, then the seven list files; the first
    // failure stops the save (later files keep their contents). VLM.dat
    // keeps its previous version as VLM.bak. A successful data-file write
    // disarms the unreadable-file guard; a complete save clears the
    // modified flag.
    SaveReport save(SaveConsent consent = SaveConsent::NotGiven);
    // Writes VLM.dat alone (the commands of velmora-cli), with the same
    // guard.
    SaveReport saveDataFileOnly(SaveConsent consent = SaveConsent::NotGiven);
    // Whether the last load found VLM.dat unreadable and nothing has been
    // written over it since.
    bool dataFileUnreadable() const { return dataFileUnreadable_; }
    // Whether VLM.dat differs from the file last read or written (its size,
    // modification time or contents; a file that appeared after a load
    // found none). Reads the file when size and time are the same. A file
    // that has gone, or cannot be read now, is not "changed": a save loses
    // nothing of it, or reports its own failure.
    bool dataFileChangedOnDisk() const;

    // Whether anything changed since the last load or save: set by every
    // change of albums, settings or lists.
    bool isModified() const { return albumsModified_ || settingsModified_; }
    // Whether the albums changed since the data file was last read or
    // written (a load, revert or successful data-file write clears it).
    bool albumsModified() const { return albumsModified_; }

    // ---- settings and lists ----------------------------------------------
    void setSettings(store::AppSettings settings);
    void setLists(store::ListFiles lists);

    // ---- album commands --------------------------------------------------
    // Inserts an empty album after the album of list row `afterRow` (-1 or
    // an invalid row: none). The new number is that album's + 1, or the end
    // of the table when there is no such album or it is the last one; its
    // entry goes after `afterRow`, or to the end when `afterRow` is the last
    // row or none. Entries of later albums are renumbered.
    ChangeResult insertAlbumAfter(int afterRow);
    // Replaces an album's cells with `record` after applying the reading
    // default (an empty reading becomes the artist). Every cell is checked
    // first: a cell that cannot be stored refuses the whole change
    // (`problem`, `column`). NoSuchAlbum outside 1 .. albumCount().
    ChangeResult changeAlbum(int album, store::AlbumRecord record);
    // One cell through the same rules as changeAlbum() (quick edits,
    // picture registration).
    ChangeResult setAlbumCell(int album, int column, std::string_view value);
    // insertAlbumAfter(afterRow) + changeAlbum(new album, record); the
    // record is checked before anything is inserted.
    ChangeResult addAlbum(int afterRow, store::AlbumRecord record);
    // addAlbum(row, the record of the album of list row `row`).
    ChangeResult duplicateAlbum(int row);
    // Removes the albums (any order, repeats and numbers out of range
    // ignored) in one pass; later albums move down. Every list entry of a
    // removed album goes, also entries not asked about (a search result
    // may list an album twice). Returns the removed numbers, ascending.
    std::vector<int> deleteAlbums(std::vector<int> albums);
    // Sets `question.reading` as the reading of the question's albums that
    // still carry its artist (the user said yes to the reading question).
    void applyReading(const ReadingQuestion& question);
    // Appends albums at the end of the table exactly as given (scan, disc
    // lookups): no reading default. Every cell is checked first. Returns the
    // first new number (problem set and nothing added on a refused cell).
    ChangeResult appendAlbums(const std::vector<store::AlbumRecord>& records);
    // Appends the rows of an import (they are already well-formed lines).
    // Returns the first new number.
    // Albums from a folder scan: new ones are appended, those that join a
    // catalogued album fill its free song slots. `album` of the result is
    // the first album concerned.
    ChangeResult registerScannedAlbums(const std::vector<filescan::PlannedAlbum>& albums);
    // What a folder scan must know of the catalogue (see
    // filescan::catalogueFiles()), for files lying in folders named one of
    // `folderNames` (their folders and album folders, see
    // filescan::albumFolderOf): only the albums the index of media folders
    // names are read. A catalogued path reached through a link of another
    // name than the folder it leads to is not seen.
    filescan::CatalogueFiles cataloguedFilesInFoldersNamed(
        const std::vector<std::string>& folderNames, const filescan::PathCanonicalizer& canonical = {}) const;
    int appendImported(exchange::ImportedRows rows);

    // Renumbers the albums in the order the list shows them (only when all
    // albums are shown: RenumberNeedsAllAlbums otherwise), then shows all
    // albums in number order.
    Problem renumberInListOrder();
    // Drag and drop: the entries of the selected rows move, in their order,
    // to just before row `target` (see browse::dropOrder). Only the list
    // order changes; the table is renumbered by renumberInListOrder().
    // Refused (ReorderNeedsAllAlbums) while not all albums are shown.
    // Returns the new row of the first selected entry in `firstRow`.
    Problem moveListRows(const std::vector<int>& rows, int target, int* firstRow = nullptr);
    // Whether some entry shows a lower number than the one before it (the
    // save question "numbers and list order differ").
    bool listOutOfOrder() const;

    // ---- list state ------------------------------------------------------
    const std::vector<ListEntry>& entries() const { return entries_; }
    // The albums of the list, in list order (repeats kept).
    std::vector<int> listedAlbums() const;
    bool allAlbumsShown() const { return allShown_; }
    int sortColumn() const { return sortColumn_; }

    // Every album in number order; the sort column stays.
    void showAll();
    // Keeps only the entries of the given list rows, in list order.
    void showOnlyRows(const std::vector<int>& rows);
    // Shows the given albums in the given order (velmora-cli's --albums);
    // numbers out of range are dropped.
    void showAlbums(const std::vector<int>& albums);
    // Shows search hits, ordered by the current sort column.
    void showSearchResult(const std::vector<textops::SearchHit>& hits);
    // Whether the list is a search result whose entries still carry their
    // hits (hit icon, hit song): until it is shown anew or the marks are
    // cleared, as the window does after a change to the albums.
    bool showsSearchResult() const { return searchResultShown_; }
    void clearSearchMarks();
    // Orders the entries by a list column (see browse::sortOrder) and makes
    // it the sort column. Returns the order: element i is the old row of
    // new row i (to carry a selection over).
    std::vector<int> sortByColumn(int listColumn);

    // ---- search, convert, replace over the shown albums ------------------
    // The shown albums each once, ordered as text (see
    // textops::albumSetAsText()): the set the bulk commands walk.
    std::vector<int> listedAlbumSet() const;
    // Why a search for `word` cannot run, checked in this order: an empty
    // word (SearchWordEmpty), no album in the catalogue (NoAlbumsStored),
    // none shown (NoAlbumsShown); None when it can.
    Problem searchProblem(std::string_view word) const;
    // Hits in the shown albums for a CP932 word (an empty word finds
    // nothing). Does not change the list: pass the hits to
    // showSearchResult().
    std::vector<textops::SearchHit> search(int group, std::string_view word,
                                           textops::SearchMode mode = textops::SearchMode::Plain,
                                           const textops::Progress& progress = {}) const;
    // Converts a column group of the shown albums (NoAlbums when none).
    BulkResult convert(int group, int kind, const textops::Progress& progress = {});
    // Replaces in a column group of the shown albums. Refused, in this
    // order: no album shown (NoAlbums), empty find text (FindEmpty), "<>" in
    // the find text, "{}" in it for the memo group (6), "<>" in the
    // replacement, "{}" in it for the memo group, a line break in the
    // replacement. Texts are CP932.
    BulkResult replace(int group, std::string_view find, std::string_view replacement,
                       const textops::Progress& progress = {});

    // ---- readings ------------------------------------------------------------
    // Sets the readings of the given albums (CP932) as one step; an album
    // out of range, a reading that cannot be stored or one the album has
    // already is skipped. Returns the number of albums changed.
    int setReadings(const std::vector<std::pair<int, std::string>>& readings);

    // ---- undo and redo -----------------------------------------------------
    // Every command that changes the albums, and drag and drop, is one step
    // of the history. Undoing restores the rows the step changed and the
    // list state around it and sets the modified flag; load, revert and
    // loadDataFileOnly() clear the history, a save keeps it.
    bool canUndo() const;
    bool canRedo() const;
    // The names of the next steps (UTF-8, "置換 (1,234か所)"); empty when
    // there is none.
    std::string undoName() const;
    std::string redoName() const;
    UndoResult undo();
    UndoResult redo();
    // Where a step finds the selection to give back when it is undone (the
    // window's selected albums).
    void setSelectionSource(std::function<std::vector<int>()> source);
    // Names the next step in place of its command's own name (a quick edit
    // or picture registration goes through setAlbumCell()).
    void nameNextStep(std::string name);
    std::size_t historyBytes() const;
    // Called after the history changed (a step added, undone, redone, or
    // the history cleared): the window names its undo and redo commands.
    void setHistoryListener(std::function<void()> listener);
    void setHistoryLimits(std::size_t maxSteps, std::size_t maxBytes);

private:
    friend class HistoryApplier;
    // Makes the commands of its lifetime one step; nested scopes join the
    // outer one, whose name wins.
    class StepScope {
    public:
        StepScope(Catalogue& catalogue, std::string name);
        ~StepScope();
        StepScope(const StepScope&) = delete;
        StepScope& operator=(const StepScope&) = delete;
        // Names the step with its count, when this scope began it.
        void setName(std::string name);

    private:
        Catalogue& catalogue_;
        int exceptions_;
        bool outer_;
    };
    void clearHistory();
    void beginStep(std::string name);
    void endStep(bool keep);
    // The recording hooks of the commands: before cells change, after
    // albums were added, before albums are removed, before a renumbering,
    // after a drag and drop.
    void recordChanging(const std::vector<int>& albums);
    // Before one cell of each album changes (albums ascending).
    void recordChangingCells(const std::vector<int>& albums, int column);
    void recordInserted(const std::vector<int>& albums);
    void recordRemoving(const std::vector<int>& albums);
    void recordRenumbering(const std::vector<int>& order);
    void recordListOrder(const std::vector<int>& order);
    // Undo and redo: the list's flags and search marks as a step kept them.
    void restoreListFlags(const ListFlags& flags);
    // notify() for the history's file.
    void tell(const std::function<void(CatalogueObserver&)>& call);
    // Convert and replace: rewrites the group's cells of the shown albums,
    // recording each album before it changes.
    textops::BulkResult rewriteShown(int group, const textops::Progress& progress,
                                     const std::function<std::string(std::string_view)>& rewrite);

    ChangeResult storeRecord(int album, store::AlbumRecord record, const std::string& oldReading);
    std::optional<ReadingQuestion> readingQuestion(const std::string& artist, const std::string& reading,
                                                   const std::string& oldReading) const;
    LoadReport loadData(const std::function<void(int)>& progress, store::LoadBuffer buffer);
    bool writeDataFile(SaveConsent consent, SaveReport& report);
    // A table read from the data file replaces the one held, shown whole.
    void replaceTable(store::AlbumTable fresh, bool unreadable);
    // Notifies the albums appended from `first` on (and their entries).
    void appended(int first);
    BulkResult finishBulk(textops::BulkResult done);
    template <typename Call>
    void notify(Call&& call);

    store::DataFolder folder_;
    store::AlbumTable table_;
    store::AppSettings settings_;
    store::ListFiles lists_;
    std::vector<ListEntry> entries_;
    bool allShown_ = true;
    bool searchResultShown_ = false;
    int sortColumn_ = 0;
    bool dataFileUnreadable_ = false;
    // VLM.dat as last read or written.
    store::FileIdentity dataIdentity_;
    bool albumsModified_ = false;
    bool settingsModified_ = false;
    std::vector<CatalogueObserver*> observers_;
    std::unique_ptr<History> history_;
    std::unique_ptr<HistoryStep> pendingStep_;
    int stepDepth_ = 0;
    std::string nextStepName_;
    std::function<std::vector<int>()> selectionSource_;
    std::function<void()> historyListener_;
    // The first observer: current before any other is told.
    std::unique_ptr<MediaPathIndex> mediaPaths_;
};

}  // namespace velmora::catalogue
