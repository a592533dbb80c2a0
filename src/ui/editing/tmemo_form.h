// The memo pad: one song column of the edit dialog as plain text, a line
// per song, with tidy, undo, text files, and for media paths a file browser
// and a preview player.
#pragma once

#include <QStringList>
#include <QWidget>

#include "editing/preview_controls.h"
#include "store/app_settings.h"

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
class TEditForm;
class TForm1;

class TMemoForm : public QWidget {
    Q_OBJECT
public:
    // The look (font and colours) from the main window's settings; run at
    // creation and after the options dialog's OK.
    void applyLook();
    // Stores the window's place into the settings before a save.
    void collectSettings(store::AppSettings& settings) const;

    TMemoForm(TForm1& main, Prompter& prompter, QWidget* parent = nullptr);
    ~TMemoForm() override;

    // The edit dialog whose song grid the pad edits; set when it opens the pad.
    void attachEditForm(TEditForm* form) { editForm_ = form; }
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
    void MemoCancelButtonClick();
    void MemoChButtonClick();
    void MemoUndoButtonClick();
    void tidyLines();
    void MemoOpenButtonClick();
    void MemoNSaveButtonClick();
    void showCursorLine();
    void DataChangeButtonClick();
    void DataAllChangeButtonClick();
    void FileListBoxPlayButtonClick();
    void FileListBoxEXOpenButtonClick();
    void MediaListBoxPlayButtonClick();
    void MediaListBoxOpenButtonClick();
    // Releases the preview device and clears this dialog's player.
    void MediaEjectButtonClick();
    void RewindButtonClick();
    void StopButtonClick();
    void PauseButtonClick();
    void PlayButtonClick();
    void ProgressBar1MouseDown(int x);
    void ool1Click();
    void bringPlayerToFront();

    // Controls, by the names the program knows them by.
    QToolBar* ToolBar1 = nullptr;
    QLabel* EditLabel = nullptr;
    QLabel* SongCountLabel = nullptr;
    QLabel* SongLabel = nullptr;
    QLabel* ArtistLabel = nullptr;
    QLabel* MediaFileLabel = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QWidget* FileSelectPanel = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QListWidget* ShellListView1 = nullptr;
    QToolBar* MemoToPlayPanelToolBar = nullptr;
    QWidget* MediaPlayPanel = nullptr;
    QToolButton* MediaEjectButton = nullptr;
    QToolButton* RewindButton = nullptr;
    QToolButton* StopButton = nullptr;
    QToolButton* PauseButton = nullptr;
    QToolButton* PlayButton = nullptr;
    PlayerProgressBar* ProgressBar1 = nullptr;
    QLabel* MediaNameLabel = nullptr;
    QLabel* MediaPositionLabel = nullptr;
    QPushButton* MemoChButton = nullptr;
    QPushButton* MemoCancelButton = nullptr;
    QMenu* ToolMenu = nullptr;
    QAction* PlayerToFrontItem = nullptr;

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
    void FormCloseQuery();

    TForm1& main_;
    Prompter& prompter_;
    TEditForm* editForm_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    // The folder the program chose, to scroll the tree to once the folders
    // above it are read; cleared when the user picks one.
    QString scrollTarget_;
    PreviewControls preview_;
};

}  // namespace velmora::ui
