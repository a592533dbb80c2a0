// The memo pad: one song column of an album as plain text, a line per song,
// with tidy, undo, text files, and for media paths a file browser and a
// preview player. It knows nothing of the dialog that opens it: it is given
// the songs and sends the accepted lines back.
#pragma once

#include <QStringList>
#include <QWidget>

#include "ui/player/player_link.h"

class QFileSystemModel;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QToolBar;
class QTreeView;

namespace velmora::media {
class MediaDevice;
}

namespace velmora::store {
struct AppSettings;
}

namespace velmora::ui {

class PreviewPlayer;
class Prompter;
class Shell;

class SongColumnEditor : public QWidget {
    Q_OBJECT
public:
    struct Services {
        Prompter& prompter;
        Shell& shell;
        media::MediaDevice& previewDevice;
        PlayerWindowLink player;
    };
    // `stored`: the settings file's values (the window's place and the
    // text's look); null when there is no settings file (design values).
    SongColumnEditor(Services services, const store::AppSettings* stored, QWidget* parent = nullptr);
    ~SongColumnEditor() override;

    // The album's songs while the pad is open, one list per column.
    struct Songs {
        QStringList titles;
        QStringList artists;
        QStringList media;
    };
    // The heading of song column 1 (titles), 2 (per-song artists) or 3
    // (media paths).
    static QString columnHeading(int column);

    // Opens the pad on one column of `songs` (modal, in front); `album`
    // names the album in the title.
    void startEditing(int column, const QString& album, const Songs& songs);
    // After the accepted lines were taken: releases the player and closes.
    void finishEditing();
    // The column being edited (1..3).
    int editColumn() const { return column_; }
    // The text's lines (an empty text has none).
    QStringList memoLines() const;

    // The look (font and colours) from the settings; run at creation and
    // after the options dialog's OK.
    void applyLook(const store::AppSettings& settings);
    // Stores the window's place into the settings before a save.
    void collectSettings(store::AppSettings& settings) const;
    // Moves the shown window into the screen when part of it lies outside
    // (a stored place from a larger screen).
    void keepOnScreen();
    // Releases the preview device and clears this pad's player.
    void ejectPreview();
    // The folder the file list shows; selects it in the folder tree.
    void showFolder(const QString& path);

signals:
    // 変更: the lines of the edited column (trailing empty lines removed).
    // The receiver stores them and calls finishEditing(), or says why not.
    void linesAccepted(int column, const QStringList& lines);
    // The pad closed, by any way.
    void closed();
    void previewAboutToPlay();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildLabels(QWidget* parent);
    void buildFileBrowser();
    // Shows the browser, the media-list tool bar and the player (media
    // paths) or hides them.
    void showMediaTools(bool show);
    // Shows the folder of the first of `paths` that names an existing file;
    // with none the browser stays where it is.
    void browseFolderOf(const QStringList& paths);
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

    Services services_;
    int column_ = 1;
    Songs songs_;
    QFileSystemModel* folders_ = nullptr;
    // The folder the program chose, to scroll the tree to once the folders
    // above it are read; cleared when the user picks one.
    QString scrollTarget_;

    QLabel* songCountLabel_ = nullptr;
    QLabel* songLabel_ = nullptr;
    QLabel* artistLabel_ = nullptr;
    QLabel* mediaFileLabel_ = nullptr;
    QPlainTextEdit* lineEditor_ = nullptr;
    QWidget* filePanel_ = nullptr;
    QTreeView* folderTree_ = nullptr;
    QListWidget* fileList_ = nullptr;
    QToolBar* previewToolBar_ = nullptr;
    PreviewPlayer* preview_ = nullptr;
};

}  // namespace velmora::ui
