// The memo pad: one song column of the edit dialog as plain text, a line
// per song, with tidy, undo, text files, and for media paths a file browser
// and a preview player.
#pragma once

#include <QStringList>
#include <QWidget>

#include "core/store/app_settings.h"
#include "ui/editing/preview_controls.h"

class QAction;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolBar;
class QToolButton;
class QTreeView;

namespace velmora::ui {

class PlayerProgressBar;
class Prompter;
class AlbumEditDialog;
class MainWindow;

class SongColumnEditor : public QWidget {
    Q_OBJECT
public:
    // The look (font and colours) from the main window's settings; run at
    // creation and after the options dialog's OK.
    void applyLook();
    // Stores the window's place into the settings before a save.
    void collectSettings(store::AppSettings& settings) const;

    SongColumnEditor(MainWindow& main, Prompter& prompter, QWidget* parent = nullptr);
    ~SongColumnEditor() override;

    // The edit dialog whose song grid the pad edits; set when it opens the pad.
    void attachEditForm(AlbumEditDialog* form) { editForm_ = form; }
    // The song-grid column the heading names: 1 titles, 2 per-song artists,
    // 3 media paths.
    int editColumn() const;
    // The text's lines (an empty text has none).
    QStringList memoLines() const;
    // Shows the browser, the media-list tool bar and the player (media
    // paths) or hides them.
    void showMediaTools(bool show);
    // The folder the file list shows; selects it in the folder tree.
    void showFolder(const QString& path);
    // Shows the folder of the first of `paths` that names an existing file;
    // with none the browser stays where it is.
    void browseFolderOf(const QStringList& paths);
    const PreviewControls& previewControls() const { return preview_; }
    // Moves the shown window into the screen when part of it lies outside
    // (a stored place from a larger screen).
    void keepOnScreen();

    // Handlers.
    void cancelEditing();
    void acceptColumn();
    void undoColumnEdits();
    void tidyLines();
    void openTextFile();
    void saveTextFileAs();
    void showCursorLine();
    void insertChosenFile();
    void insertAllFiles();
    void playChosenFile();
    void openChosenFile();
    void playCursorLineMedia();
    void openCursorLineMedia();
    // Releases the preview device and clears this dialog's player.
    void ejectPreview();
    void rewindPlayback();
    void stopPlayback();
    void pausePlayback();
    void startPlayback();
    void seekFromBar(int x);
    void prepareColumnToolsMenu();
    void bringPlayerToFront();

    // Controls, by the names the program knows them by.
    QToolBar* toolBar = nullptr;
    QLabel* columnLabel = nullptr;
    QLabel* songCountLabel = nullptr;
    QLabel* songLabel = nullptr;
    QLabel* artistLabel = nullptr;
    QLabel* mediaFileLabel = nullptr;
    QPlainTextEdit* lineEditor = nullptr;
    QWidget* filePanel = nullptr;
    QTreeView* folderTree = nullptr;
    QListWidget* fileList = nullptr;
    QToolBar* previewToolBar = nullptr;
    QWidget* previewPanel = nullptr;
    QToolButton* ejectButton = nullptr;
    QToolButton* rewindButton = nullptr;
    QToolButton* stopButton = nullptr;
    QToolButton* pauseButton = nullptr;
    QToolButton* playButton = nullptr;
    PlayerProgressBar* progressBar = nullptr;
    QLabel* mediaNameLabel = nullptr;
    QLabel* mediaPositionLabel = nullptr;
    QPushButton* acceptButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QMenu* toolsMenu = nullptr;
    QAction* playerToFrontAction = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildLabels(QWidget* parent);
    void buildFileBrowser();
    void buildPlayer();
    // Creates the folder tree's model the first time the browser is shown.
    void ensureBrowser();
    void fillFileList(const QString& folder);
    // Brings the folder last chosen by the program into the tree's view.
    void scrollToFolder();
    // The first selected file of the list (list order), or empty.
    QString selectedFile() const;
    // Replaces the whole text as one edit (the text's own undo keeps it).
    void replaceText(const QStringList& lines);
    // Inserts lines before the caret's line.
    void insertLines(const QStringList& lines);
    // The caret's line from 1, and its text.
    int caretLine() const;
    QString caretLineText() const;
    // Releases the device, opens `path` and plays it.
    void playFile(const QString& path);
    void openExternally(const QString& path);
    // Enables the edit dialog and releases the preview device.
    void closeQuery();

    MainWindow& main_;
    Prompter& prompter_;
    AlbumEditDialog* editForm_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    // The folder the program chose, to scroll the tree to once the folders
    // above it are read; cleared when the user picks one.
    QString scrollTarget_;
    PreviewControls preview_;
};

}  // namespace velmora::ui
