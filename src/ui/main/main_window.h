// The main window: tool bar, menus, tool pages, song list, album list and
// status bar, and the album table behind them.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/media/media_device.h"
#include "core/media/media_system.h"
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
class QSplitter;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QItemSelection;

namespace velmora::ui {

class AlbumListModel;
class AlbumReportView;
class PickBox;
class ReportView;
class Prompter;
class Shell;
class SongListModel;
class StatusBar;
class AboutDialog;
class AlbumEditDialog;
class FolderPicker;
class OptionsDialog;
class PlayerWindow;
class SongColumnEditor;

class MainWindow : public QMainWindow {
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
    };

    // Creating the window reads the settings and the data file; `splash`,
    // when given, shows the progress.
    explicit MainWindow(Services services, AboutDialog* splash = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The catalogue and the one-album transfer buffer.
    store::AlbumTable albumTable;
    store::AlbumRecord editedAlbum;

    // appSettings of every window and the list files, as read at start-up and
    // brought up to date by each save.
    store::AppSettings appSettings;
    store::ListFiles listFiles;
    bool settingsFileRead() const { return settingsFileRead_; }
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
    void showChosenToolPage();
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
    std::vector<int> selectedListRows() const;
    // The album number of the first selected item, or 0.
    int selectedAlbum() const;
    void selectListRow(int row, bool exclusive);
    void showSelectedOnly();
    void sortAlbumsByColumn(int column);
    // A drop of the selected albums on list row `target` (-1: no item).
    void dropSelectedAlbums(int target);
    // An item's selected state changed.
    void showAlbumOfRow(int row, bool selected);
    void prepareAlbumMenu();

    // Album commands: the transfer buffer and the named actions.
    void loadEditedAlbum();
    void storeEditedAlbum();
    void newAlbumAfterSelection();
    void changeSelectedAlbum();
    void addEditedAlbum();
    void refreshSelectedItem();
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
    void conversionKindChanged();
    // Offers the width conversions too (right button with Ctrl+Shift).
    void offerWidthConversions();
    void runReplace();
    void replaceGroupChanged();
    void pickFindFolder();
    void pickReplacementFolder();
    QButtonGroup* searchGroup = nullptr;
    QComboBox* searchWordEdit = nullptr;
    QPushButton* searchButton = nullptr;
    // "かな・全角半角を区別しない": the reading-aware search (appSettings.searchFold).
    QCheckBox* searchFoldCheck = nullptr;
    QButtonGroup* conversionGroup = nullptr;
    QButtonGroup* conversionKindGroup = nullptr;
    QPushButton* conversionButton = nullptr;
    QButtonGroup* replaceGroup = nullptr;
    QLineEdit* findEdit = nullptr;
    QLineEdit* replacementEdit = nullptr;
    QToolButton* findFolderButton = nullptr;
    QToolButton* replacementFolderButton = nullptr;
    QPushButton* replaceButton = nullptr;
    // The captions of the three categories, as the pages show them.
    void setCategoryCaptions(const QString& first, const QString& second, const QString& third);

    // Information page and song list.
    void songRowSelected(int row);
    void sortSongsByColumn(int column);
    void prepareSongMenu();
    // The selected song's row in the song list, or -1.
    int selectedSongRow() const;
    void fillArtistPicks();
    void artistPicked(int index);
    void fillTitlePicks();
    void titlePicked(int index);

    // The status bar: count panel 0 (a gauge) and text panel 1.
    void setStatus(int panel, const QString& text);
    void repaintStatus();
    void drawStatusPanel(QPainter& painter, int panel, const QRect& rect);

    // The controls, named as the rest of the program knows them.
    QToolBar* toolBar = nullptr;
    QToolButton* newAlbumButton = nullptr;
    QToolButton* editButton = nullptr;
    QToolButton* deleteButton = nullptr;
    QToolButton* showAllButton = nullptr;
    QToolButton* renumberButton = nullptr;
    QToolButton* cdPlayButton = nullptr;
    QToolButton* playButtonOfMain = nullptr;
    QToolButton* infoPageButton = nullptr;
    QToolButton* searchPageButton = nullptr;
    QToolButton* convertPageButton = nullptr;
    QToolButton* replacePageButton = nullptr;
    QToolButton* optionsButton = nullptr;

    QStackedWidget* pageStack = nullptr;
    QWidget* infoPage = nullptr;
    QWidget* searchPage = nullptr;
    QWidget* convertPage = nullptr;
    QWidget* replacePage = nullptr;
    QSplitter* pageSplitter = nullptr;
    QSplitter* mainSplitter = nullptr;
    QWidget* songPanel = nullptr;
    QWidget* songHeader = nullptr;
    QLabel* songNumberLabel = nullptr;
    QLabel* songTitleLabel = nullptr;
    QLabel* mediaFileLabel = nullptr;
    ReportView* songView = nullptr;
    AlbumReportView* albumView = nullptr;

    // The information page.
    QLabel* albumCountLabel = nullptr;
    QLabel* songCountLabel = nullptr;
    QLabel* pictureLabel = nullptr;
    QLabel* noPictureLabel = nullptr;
    PickBox* artistBox = nullptr;
    PickBox* titleBox = nullptr;
    QLabel* category1Label = nullptr;
    QLabel* category2Label = nullptr;
    QLabel* category3Label = nullptr;
    QLineEdit* genreEdit = nullptr;
    QLineEdit* mediaEdit = nullptr;
    QPlainTextEdit* memoView = nullptr;

    QMenu* albumMenu = nullptr;
    QMenu* songMenu = nullptr;
    StatusBar* statusBar_ = nullptr;

    AlbumListModel* albumModel() const { return albumModel_; }
    SongListModel* songModel() const { return songModel_; }
    FolderPicker& folderPicker() { return *folderDialog_; }

    // Menu items by caption, for the commands of the other windows and tests.
    QAction* menuAction(const QString& caption) const;
    QMenu* menu(const QString& caption) const;

    // Media devices and the CD drive. The preview device is the main
    // window's hidden one (CD lookup, the preview players of the edit dialog
    // and the memo pad); the player device is the one the media player
    // window plays on (and CD registration reads with).
    media::MediaSystem& mediaSystem() { return *media_; }
    media::MediaDevice& previewDevice() { return *previewDevice_; }
    media::MediaDevice& playerDevice() { return *playerDevice_; }
    // The element of the CD drive chosen in the options ("CDDrive"), or
    // empty when the machine has no such drive.
    std::string cdDriveElement();
    // The dialogs made by createDialogs() (null before).
    AlbumEditDialog* editForm() const { return editForm_; }
    PlayerWindow* playerForm() const { return playerForm_; }
    SongColumnEditor* memoForm() const { return memoForm_; }
    OptionsDialog* optionsForm() const { return optionsForm_; }
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
    int findDiscAlbum(bool quiet = false);
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

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    void buildMenus();
    void buildPages();
    void buildLists();
    void buildInfoPage();
    void buildToolPages();
    // Rewrites the texts of every list item from the table (numbers, icons
    // and search songs stay) and shows the selected album again.
    void refreshAfterBulkChange();
    void reportRefusedCells(int count);
    // Reports a long pass in the status bar.
    std::function<void(int maximum, int index)> statusProgress();
    void buildPopupMenus();
    void wireAlbumCommands();
    void wireExchangeCommands();
    void wireHtmlCommands();
    // Connect the CD and the playback menu items and buttons.
    void wireCdCommands();
    void wirePlaybackCommands();
    // Opens a device on the chosen CD drive; false after an error box.
    bool openCdOn(media::MediaDevice& device);
    // The selected song's media path; nothing without a song, and after a
    // message when the song has none.
    std::optional<QString> selectedSongMedia();
    void clearInfoPanel();
    void showPicture(const std::string& path);
    // Reorders the list items (order[i] = old row of new row i) and then
    // selects `select` (new rows), without selection events.
    void reorderList(const std::vector<int>& order, const std::vector<int>& select);
    void selectRowsQuietly(const std::vector<int>& rows);
    void onAlbumSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    // Marks the first list item whose text in `column` equals `text` selected.
    void selectFirstWithText(int column, const QString& text);
    void furiganaPropagation(const std::string& oldReading);
    // True with an album selected; otherwise says so and gives false.
    bool albumSelectedOrSay();
    // The song of the selected song item (its list position + 1), or 0.
    int quickEditSong() const;
    void quickEdit(int column, const QString& field,
                   const std::function<std::optional<QString>(const QString&)>& ask);
    QToolButton* addToolButton(const QString& caption, const QString& hint, const char* theme,
                               const char* icon, std::function<void()> command);
    QAction* addMenuItem(QMenu* menu, const QString& caption, std::function<void()> command,
                         const char* theme = nullptr, const char* icon = nullptr);
    void startUp(AboutDialog* splash);
    // Asks the renumbering question when the list is out of order; false
    // when the user cancelled. `renumbered` tells whether it renumbered.
    bool renumberQuestion();
    void reportDataFileUnreadable(const store::FileError& error);
    void applySettings();
    void collectSettings();

    Prompter& prompter_;
    Shell& shell_;
    store::DataFolder folder_;
    QString programDir_;
    AlbumListModel* albumModel_ = nullptr;
    SongListModel* songModel_ = nullptr;
    std::unique_ptr<FolderPicker> folderDialog_;
    std::map<QString, QAction*> actions_;
    std::map<QString, QMenu*> menus_;
    // The data file existed but could not be read: saving would replace it.
    bool dataFileUnreadable_ = false;
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
    AlbumEditDialog* editForm_ = nullptr;
    OptionsDialog* optionsForm_ = nullptr;
    // Selection changes made by the list itself, not by the user.
    bool muteSelection_ = false;
};

}  // namespace velmora::ui
