// The main window: tool bar, menus, tool pages, song list, album list and
// status bar, and the album table behind them.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/catalogue/catalogue.h"
#include "core/media/media_device.h"
#include "core/media/media_system.h"
#include "core/readings/reading_dictionary.h"
#include "core/store/album_record.h"
#include "core/store/album_table.h"
#include "core/store/app_settings.h"
#include "core/store/data_file.h"
#include "core/store/data_folder.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QItemSelection;

namespace velmora::ui {

class AlbumListModel;
struct MainActions;
class SearchPage;
class AlbumInfoPanel;
class ConvertPage;
class ReplacePage;
class AlbumReportView;
class PickBox;
class ReportView;
class Prompter;
class Shell;
class SongListModel;
class StatusBar;
class AboutDialog;
class HelpWindow;
class AlbumEditDialog;
class FolderPicker;
class OptionsDialog;
class PlayerWindow;
class SongColumnEditor;

class MainWindow : public QMainWindow, private catalogue::CatalogueObserver {
    Q_OBJECT
public:
    struct Services {
        Prompter& prompter;
        Shell& shell;
        store::DataFolder folder;
        // Where the program's own files lie (the help page); empty: the
        // executable's folder.
        QString programDir = {};
        // Sound and CD drives; none given: a system without sound.
        media::MediaSystem* media = nullptr;
        // Opens the dictionary of artist readings (when first needed);
        // none given: readings come only from those the user chose.
        std::function<std::unique_ptr<readings::ReadingDictionary>()> readingDictionary = {};
    };

    // Creating the window reads the settings and the data file; `splash`,
    // when given, shows the progress.
    explicit MainWindow(Services services, AboutDialog* splash = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The catalogue and the one-album transfer buffer.
    // The catalogue: albums, settings, lists and the list state. Every
    // change goes through its commands.
    catalogue::Catalogue& catalogue() { return catalogue_; }
    const catalogue::Catalogue& catalogue() const { return catalogue_; }

    // What the user has selected and sees, for the windows that work with
    // the main window and for tests.
    int selectedAlbum() const;
    std::vector<int> selectedListRows() const;
    void selectListRow(int row, bool exclusive);
    int selectedSongRow() const;
    QString categoryCaption(int index) const { return categoryCaptions_.at(static_cast<std::size_t>(index)); }
    bool settingsFileRead() const { return settingsFileRead_; }
    // The texts of the six web-search items (a renamed category renames its
    // item).
    const QStringList& webSearchItemNames() const { return webSearchItems; }

    // The two media devices (the dialogs the window creates are its
    // children).
    media::MediaDevice& previewDevice() { return *previewDevice_; }
    media::MediaDevice& playerDevice() { return *playerDevice_; }

    // Finds the disc in the chosen CD drive among the albums (quiet: no
    // message but a drive error): the album number, 0 for none, -1 for an
    // unreadable disc, -2 when the drive could not be opened.
    int findDiscAlbum(bool quiet = false);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    store::AlbumRecord editedAlbum;

    // appSettings of every window and the list files, as read at start-up and
    // brought up to date by each save.
    store::AppSettings appSettings;
    store::ListFiles listFiles;
    // The texts of the six web-search items (their flags are
    // appSettings.internetChecks).
    QStringList webSearchItems;
    Shell& shell() { return shell_; }
    // Fills a submenu with the web-search items, checked as set; choosing
    // one switches its flag.
    void fillSearchItemMenu(QMenu* menu);
    // Creates the edit dialog, the memo pad, the media player window and
    // the options dialog (once; later calls do nothing), owned by this
    // window and wired to it: the dialogs get values, devices and requests,
    // never this window.
    void createDialogs();
    // The album and song lists take the fonts and colours of the settings.
    void applyListLook();
    // Opens the options dialog; set by createDialogs().
    std::function<void()> showOptions;
    void openOptions();

    bool saveOnExit = true;
    int statusProgressMax = 0;
    int albumSortColumn = 0;
    int songSortColumn = 0;

    // Loading the data file: at start-up (the whole start sequence), or as a
    // revert to the saved state.
    enum class LoadMode { Startup, Revert };
    void loadCatalogue(LoadMode mode);
    // "保存時の状態に戻す(&U)".
    void revertToSaved();
    // "保存(&S)": the renumbering question, then the save. False when
    // cancelled or failed.
    bool saveCatalogue();
    // Writes the data file. False (after an error box) when it failed.
    bool writeCatalogue();
    void saveAndExit();
    void exitWithoutSaving();
    void showAbout();
    void openHelp();
    void toolPageChanged();
    void songHeaderResized();

    // Album list.
    void showAllAlbums();
    void renumberInListOrder();
    bool allAlbumsShown() const;
    // The album numbers of the list, in list order.
    std::vector<int> listedAlbums() const;
    // Whether the list order differs from the number order.
    bool listOutOfOrder() const;
    // Selected rows of the list, in list order.
    // The album number of the first selected item, or 0.
    void showSelectedOnly();
    void sortAlbumsByColumn(int column);
    // A drop of the selected albums on list row `target` (-1: no item).
    void dropSelectedAlbums(int target);
    // An item's selected state changed.
    void showAlbumOfRow(int row, bool selected);

    // Album commands: the transfer buffer and the named actions.
    void loadEditedAlbum();
    void newAlbumAfterSelection();
    void changeSelectedAlbum();
    void addEditedAlbum();
    void createNewAlbum();
    void editSelectedAlbum();
    void deleteSelectedAlbums();
    void duplicateSelectedAlbum();
    void duplicateAndEditAlbum();
    void registerPictureQuickly();
    void quickEditSongTitle();
    void quickEditSongArtist();
    void quickEditSongMedia();
    // Opens the edit dialog on the buffer; set by createDialogs().
    std::function<void()> showEditDialog;
    // Checks a text typed for one cell; on a refusal shows why and gives
    // nothing.
    std::optional<std::string> cellText(int column, const QString& field, const QString& text);

    // Import, export and clipboard.
    void importDataFile();
    // "フォルダから登録(&F)...": albums from the tags of the music files
    // under a folder (scan, summary list, then the ticked albums appended).
    void registerFolderFromTags();
    void exportDataFile();
    void exportCsvFile();
    void copyAlbumDetails();
    void copyAlbumSummary();
    void copySongDetails();
    void copyArtistNames();
    void copyAlbumTitles();
    void copySongTitle();
    // HTML page of the shown albums, and the sample page of the options.
    void exportHtmlPage();
    void previewHtmlPage();

    // Search, conversion and replace pages.
    void runSearch();
    void searchGroupChanged();
    void runConversion();
    // Offers the width conversions too (right button with Ctrl+Shift).
    void runReplace();
    // The captions of the three categories, as the pages show them.
    void setCategoryCaptions(const QString& first, const QString& second, const QString& third);
    // The caption of category 0, 1 or 2 as the windows show it.

    // Information page and song list.
    void songRowSelected(int row);
    void sortSongsByColumn(int column);
    void prepareSongMenu();
    // The selected song's row in the song list, or -1.
    void fillArtistPicks();
    void fillTitlePicks();

    // The status bar: count panel 0 (a gauge) and text panel 1.
    void setStatus(int panel, const QString& text);
    void repaintStatus();
    void drawStatusPanel(QPainter& painter, int panel, const QRect& rect);

    AlbumListModel* albumModel() const { return albumModel_; }
    SongListModel* songModel() const { return songModel_; }

    // Selects list row `row` alone and scrolls it into view.
    void selectAndShowListRow(int row);

    // Media devices and the CD drive. The preview device is the main
    // window's hidden one (CD lookup, the preview players of the edit dialog
    // and the memo pad); the player device is the one the media player
    // window plays on (and CD registration reads with).
    media::MediaSystem& mediaSystem() { return *media_; }
    // The element of the CD drive chosen in the options ("CDDrive"), or
    // empty when the machine has no such drive.
    std::string cdDriveElement();
    // The dialogs made by createDialogs() (null before).
    // Releases the preview device: stops it (waiting) when it is not
    // stopped, closes it, and clears the memo pad's player.
    void releasePreviewDevice();

    // Audio CD: reads the disc's track references into the transfer buffer
    // (false when the drive could not be opened, after an error box);
    // registers the disc to the selected album; finds the disc's album
    // (quiet: no messages but a drive error) and gives its number, 0 for
    // none, -1 for an unreadable disc, -2 when the drive could not be opened.
    // With `titleLookup`, the completion message also offers
    // 「曲名をMusicBrainzから取得」; when chosen, the disc's track lengths
    // (frames) are put there.
    bool readDiscIntoEditedAlbum(std::vector<std::int64_t>* titleLookup = nullptr);
    void registerDiscToAlbum();
    // Looks the disc whose tracks last `trackFrames` up on MusicBrainz
    // (progress over `parent`, choice of release, front cover) and gives
    // `base` filled from it; nothing after a message or when cancelled.
    std::optional<store::AlbumRecord> fetchDiscAlbumData(QWidget* parent,
                                                         const std::vector<std::int64_t>& trackFrames,
                                                         const store::AlbumRecord& base);
    // The fetched album of an unregistered disc in the edit dialog, as a new
    // album that is stored only when the user adds it.
    void editFetchedDiscAlbum(const std::vector<std::int64_t>& trackFrames);

    // Playback commands: the album's media files, the CD, the player window
    // to the front, a double-clicked song, a song's file and its folder.
    void playAlbumMedia();
    void playCd();
    void bringPlayerToFront();
    void playDoubleClickedSong();
    void openSongMediaFile();
    void openSongMediaFolder();
    // The tools menu opening: enables the player window item.
    void prepareToolsMenu();

    // Runs what happens before the window closes; false keeps it open.
    bool closeQuery();

    void buildToolBar();
    void buildMenus();
    void buildPages();
    void buildLists();
    void connectToolPages();
    // After a conversion or replace: the panel, the status, the refused cells.
    void finishBulkChange(const catalogue::BulkResult& result);
    // Reports a long pass in the status bar.
    std::function<void(int maximum, int index)> statusProgress();
    void buildPopupMenus();
    // Connects every named action to its command.
    void connectActions();
    void wireAlbumCommands();
    // Connects the playback buttons' right-press and the song list's double-click.
    void wirePlaybackCommands();
    // Opens a device on the chosen CD drive; false after an error box.
    bool openCdOn(media::MediaDevice& device);
    // The selected song's media path; nothing without a song, and after a
    // message when the song has none.
    std::optional<QString> selectedSongMedia();
    void clearInfoPanel();
    void selectRowsQuietly(const std::vector<int>& rows);
    void onAlbumSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    // Marks the first list item whose text in `column` equals `text` selected.
    void selectFirstWithText(int column, const QString& text);
    // True with an album selected; otherwise says so and gives false.
    bool albumSelectedOrSay();
    // The song of the selected song item (its list position + 1), or 0.
    int quickEditSong() const;
    // The selected song's number, or 0.
    int selectedSongNumber() const;
    void quickEdit(int column, const QString& field,
                   const std::function<std::optional<QString>(const QString&)>& ask);
    void startUp(AboutDialog* splash);
    // Asks the renumbering question when the list is out of order; false
    // when the user cancelled. `renumbered` tells whether it renumbered.
    bool renumberQuestion();
    void applySettings();
    void collectSettings();

    Prompter& prompter_;
    Shell& shell_;
    store::DataFolder folder_;
    QString programDir_;
    catalogue::Catalogue catalogue_;
    AlbumListModel* albumModel_ = nullptr;
    SongListModel* songModel_ = nullptr;
    std::unique_ptr<FolderPicker> folderDialog_;
    std::unique_ptr<MainActions> actions_;
    // The controls.
    QToolBar* toolBar_ = nullptr;

    QStackedWidget* pageStack_ = nullptr;
    AlbumInfoPanel* infoPage_ = nullptr;
    SearchPage* searchPage_ = nullptr;
    ConvertPage* convertPage_ = nullptr;
    ReplacePage* replacePage_ = nullptr;
    QSplitter* pageSplitter_ = nullptr;
    QSplitter* mainSplitter_ = nullptr;
    QWidget* songPanel_ = nullptr;
    QWidget* songHeader_ = nullptr;
    QLabel* songNumberLabel_ = nullptr;
    QLabel* songTitleLabel_ = nullptr;
    QLabel* mediaFileLabel_ = nullptr;
    ReportView* songView_ = nullptr;
    AlbumReportView* albumView_ = nullptr;

    QMenu* albumMenu_ = nullptr;
    QMenu* songMenu_ = nullptr;

    StatusBar* statusBar_ = nullptr;
    bool closing_ = false;
    bool settingsFileRead_ = false;
    // The window width and tool-page width applied from the settings: the
    // stored page width holds until the window is resized.
    int startWindowWidth_ = -1;
    int startPageWidth_ = 0;
    std::unique_ptr<media::MediaSystem> ownMedia_;
    media::MediaSystem* media_ = nullptr;
    std::unique_ptr<media::MediaDevice> previewDevice_;
    std::unique_ptr<media::MediaDevice> playerDevice_;
    // The dialogs (children of this window) go before the devices and the
    // table they use: they are declared after them. Held as QWidget so that
    // their classes need not be known here.
    std::unique_ptr<QWidget> ownMemoForm_;
    std::unique_ptr<QWidget> ownPlayerForm_;
    std::unique_ptr<QWidget> ownEditForm_;
    std::unique_ptr<QWidget> ownOptionsForm_;
    SongColumnEditor* memoForm_ = nullptr;
    PlayerWindow* playerForm_ = nullptr;
    // The help page's window, made on first use.
    HelpWindow* helpWindow_ = nullptr;
    // The tool pages' scroll area, the splitter's left part.
    QScrollArea* pageScroll_ = nullptr;
    AlbumEditDialog* editForm_ = nullptr;
    OptionsDialog* optionsForm_ = nullptr;
    // Selection changes made by the list itself, not by the user.
    bool muteSelection_ = false;
    // Whether a change of the catalogue's settings replaces the windows' copy.
    bool followSettings_ = true;
    // The windows' settings and lists become the catalogue's.
    void handSettingsToCatalogue();
    // The cover a MusicBrainz lookup wrote for an album not added yet.
    std::string fetchedCover_;
    void removeUnstoredCover();
    std::array<QString, 3> categoryCaptions_ = {QStringLiteral("ジャンル"), QStringLiteral("メディア"),
                                                QStringLiteral("メモ")};
    // The show-all and renumber commands follow whether every album is shown.
    void setAllShown(bool shown);
    // The windows' working copy of the settings follows the catalogue's.
    void settingsChanged() override;
    // After a change or an add: the panel, the message, the reading question.
    void finishAlbumChange(const catalogue::ChangeResult& result, const QString& done);
    void askReadingPropagation(const catalogue::ReadingQuestion& question);

    // Undo and redo: the menu names the steps; the selection of a step
    // comes back with it.
    void wireHistory();
    void updateHistoryActions();
    void undoStep();
    void redoStep();
    void selectAlbums(const std::vector<int>& albums);
    std::vector<int> selectedAlbumNumbers() const;
    // The selection a command cleared before it changed the catalogue.
    std::optional<std::vector<int>> heldSelection_;
    // The readings command and the edit dialog's reading suggestions.
    void openReadingsDialog();
    readings::ReadingDictionary* readingDictionary();
    std::function<std::unique_ptr<readings::ReadingDictionary>()> openReadingDictionary_;
    std::unique_ptr<readings::ReadingDictionary> readingDictionary_;
};

}  // namespace velmora::ui
