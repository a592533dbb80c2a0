// Every command of the main window as one named QAction, shared by the menu
// bar, the tool bar and the context menus, so that a command has one
// caption, one mnemonic, one shortcut and one enabled state wherever it is
// offered. Each action's objectName is its member name.
#pragma once

#include <QObject>

class QAction;
class QActionGroup;
class QWidget;

namespace velmora::ui {

struct MainActions {
    // Creates the actions as children of `owner`.
    explicit MainActions(QWidget* owner);

    // File menu.
    QAction* revert = nullptr;
    QAction* save = nullptr;
    QAction* importData = nullptr;
    QAction* registerFolder = nullptr;
    QAction* exportData = nullptr;
    QAction* exportCsv = nullptr;
    QAction* exportHtml = nullptr;
    QAction* quitWithoutSaving = nullptr;
    QAction* quit = nullptr;

    // Album commands.
    QAction* newAlbum = nullptr;
    QAction* editAlbum = nullptr;
    QAction* registerDisc = nullptr;
    QAction* registerPicture = nullptr;
    QAction* duplicateAlbum = nullptr;
    QAction* duplicateAndEdit = nullptr;
    QAction* deleteAlbums = nullptr;
    QAction* showAll = nullptr;
    QAction* showSelectedOnly = nullptr;
    QAction* renumber = nullptr;

    // Clipboard.
    QAction* copyAlbumDetails = nullptr;
    QAction* copyAlbumSummary = nullptr;
    QAction* copySongDetails = nullptr;
    QAction* copyArtistNames = nullptr;
    QAction* copyAlbumTitles = nullptr;
    QAction* copySongTitle = nullptr;

    // Songs.
    QAction* playSong = nullptr;
    QAction* openSongFile = nullptr;
    QAction* openSongFolder = nullptr;
    QAction* editSongTitle = nullptr;
    QAction* editSongArtist = nullptr;
    QAction* editSongMedia = nullptr;

    // Playback and CD.
    QAction* playMedia = nullptr;
    QAction* playCd = nullptr;
    QAction* playerToFront = nullptr;
    QAction* findDisc = nullptr;

    // Pages of the tool area (one checked at a time).
    QActionGroup* pages = nullptr;
    QAction* infoPage = nullptr;
    QAction* searchPage = nullptr;
    QAction* convertPage = nullptr;
    QAction* replacePage = nullptr;

    QAction* options = nullptr;
    QAction* help = nullptr;
    QAction* about = nullptr;

    // History and readings. The undo and redo captions name the step
    // (MainWindow sets them as the history changes).
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* autoReadings = nullptr;
};

}  // namespace velmora::ui
