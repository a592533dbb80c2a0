// The album edit dialog: one album's fields and its 99 songs.
#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

#include "core/store/album_record.h"
#include "ui/editing/preview_controls.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class QToolButton;
class QWidget;

namespace velmora::ui {

class PickBox;
class PlayerProgressBar;
class Prompter;
class MainWindow;

class AlbumEditDialog : public QDialog {
    Q_OBJECT
public:
    AlbumEditDialog(MainWindow& main, Prompter& prompter, QWidget* parent = nullptr);

    // Fills every field from an album (the transfer buffer).
    void loadAlbum(const store::AlbumRecord& record);
    // The album as the fields hold it, or nothing (after a message naming
    // the field) when a field holds text the catalogue cannot store.
    std::optional<store::AlbumRecord> editedRecord();

    void changeAlbum();
    void addAlbum();
    void closeDialog();
    void undoEdits();
    void fillArtistSuggestions();
    void fillReadingSuggestions();
    void copyArtistToSongArtist();
    void pickPicture();
    void showPicturePath();
    void insertSong();
    void deleteSong();
    void moveSongUp();
    void moveSongDown();
    void pickSongMedia();
    void prepareMemoMenu();
    void songCellSelected(int column, int row);
    // Reads the disc in the CD drive into the song grid's media paths.
    void registerDiscTracks();
    // Web search of the album being edited.
    void fillWebSearchItems();
    void runWebSearch();
    // Before each showing: the site box and the category captions.
    void prepareForShowing();
    // Every close: releases the preview device and enables the main window.
    void closeQuery();

    // Preview player of the current song's media file.
    void ejectPreview();
    void rewindPlayback();
    void stopPlayback();
    void pausePlayback();
    void startPlayback();
    void seekFromBar(int x);
    // Every 200 ms, shown or not: the position of the preview device in
    // this dialog's and the memo pad's player.
    void updatePosition();

    // Hand-over of one song column to the memo pad, and back.
    void editTitleColumn();
    void editArtistColumn();
    void editMediaColumn();
    void sendColumnToEditor();
    // Writes the memo pad's lines into its column and closes the pad; false
    // (after a message naming the line) when a line cannot be stored.
    bool takeColumnFromEditor();

    // The current song row (1..99) of the grid; 0 when none.
    int currentSongRow() const;
    void setCurrentCell(int row, int column);
    QString songCell(int row, int column) const;
    void setSongCell(int row, int column, const QString& text);

    // Suggestions and the memo choices (lines of CP932 text).
    void setSuggestions(const std::vector<std::string>& genres, const std::vector<std::string>& media,
                        const std::vector<std::string>& choices);
    std::vector<std::string> genreSuggestions() const;
    std::vector<std::string> mediaSuggestions() const;
    std::vector<std::string> memoChoices;
    void setCategoryCaptions(const QString& first, const QString& second, const QString& third);

    // Controls, by the names the program knows them by.
    QComboBox* artistCombo = nullptr;
    PickBox* readingCombo = nullptr;
    QLabel* readingLabel = nullptr;
    QLineEdit* titleEdit = nullptr;
    QComboBox* genreCombo = nullptr;
    QComboBox* mediaCombo = nullptr;
    QLabel* category1Caption = nullptr;
    QLabel* category2Caption = nullptr;
    QLabel* category3Caption = nullptr;
    QPlainTextEdit* memoEdit = nullptr;
    QLineEdit* picturePathEdit = nullptr;
    QLabel* pictureView = nullptr;
    QLabel* noPictureLabel = nullptr;
    QTableWidget* songTable = nullptr;
    QWidget* previewPanel = nullptr;
    QLabel* mediaNameLabel = nullptr;
    QLabel* mediaPositionLabel = nullptr;
    QToolButton* ejectButton = nullptr;
    QToolButton* rewindButton = nullptr;
    QToolButton* stopButton = nullptr;
    QToolButton* pauseButton = nullptr;
    QToolButton* playButton = nullptr;
    PlayerProgressBar* progressBar = nullptr;
    QTimer* positionTimer = nullptr;
    QPushButton* changeAlbumButton = nullptr;
    QPushButton* addAlbumButton = nullptr;
    QPushButton* closeButton = nullptr;
    QPushButton* webSearchButton = nullptr;
    QComboBox* webSearchBox = nullptr;
    QMenu* MemoPopupMenu = nullptr;
    QMenu* SearchItemMenu = nullptr;
    QToolButton* discButton = nullptr;
    QToolButton* titleColumnButton = nullptr;
    QToolButton* artistColumnButton = nullptr;
    QToolButton* mediaColumnButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Every way of closing (the close box, 閉じる, the add and change
    // buttons' own closing) ends here.
    void done(int result) override;
    // Escape does not close the dialog: typed changes would be lost without
    // a question.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildFields(QWidget* panel);
    void buildSongTools(QWidget* bar);
    void buildGrid();
    void buildPreviewPanel();
    // Releases the preview device and hands the column under `heading` to
    // the memo pad.
    void memoHandOver(const char* heading);
    void SongGridColumnMoved(bool rows, int from, int to);
    void swapRows(int a, int b);
    // Finishes an edit in progress so its text is in the grid.
    void commitGridEdit();

    MainWindow& main_;
    Prompter& prompter_;
    store::AlbumRecord shown_;  // what loadAlbum showed, for unchanged bytes
    bool movingSections_ = false;
    PreviewControls preview_;
};

}  // namespace velmora::ui
