// The album edit dialog: one album's fields and its 99 songs.
#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

#include "editing/preview_controls.h"
#include "store/album_record.h"

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
class TForm1;

class TEditForm : public QDialog {
    Q_OBJECT
public:
    TEditForm(TForm1& main, Prompter& prompter, QWidget* parent = nullptr);

    // Fills every field from an album (the transfer buffer).
    void EditDataSend(const store::AlbumRecord& record);
    // The album as the fields hold it, or nothing (after a message naming
    // the field) when a field holds text the catalogue cannot store.
    std::optional<store::AlbumRecord> EditDataReturn();

    void AlbumChangeButtonClick();
    void AlbumAddButtonClick();
    void closeDialog();
    void undoEdits();
    void ArtistEditComboBoxDropDown();
    void Artist2ComboBoxDropDown();
    void copyArtistToSongArtist();
    void GFilePassDialogButtonClick();
    void GDrawButtonClick();
    void SongGridAddButtonClick();
    void SongGridDeleteButtonClick();
    void SongGridUpButtonClick();
    void SongGridDownButtonClick();
    void SongGridFileSeachButtonClick();
    void MemoPopupMenuPopup();
    void SongGridSelectCell(int column, int row);
    // Reads the disc in the CD drive into the song grid's media paths.
    void CDEntryButtonClick();
    // Web search of the album being edited.
    void InternetSerchBoxDropDown();
    void InternetSerchButtonClick();
    // Before each showing: the site box and the category captions.
    void FormShow();
    // Every close: releases the preview device and enables the main window.
    void FormCloseQuery();

    // Preview player of the current song's media file.
    void EjectButtonClick();
    void RewindButtonClick();
    void StopButtonClick();
    void PauseButtonClick();
    void PlayButtonClick();
    void ProgressBar1MouseDown(int x);
    // Every 200 ms, shown or not: the position of the preview device in
    // this dialog's and the memo pad's player.
    void Timer1Timer();

    // Hand-over of one song column to the memo pad, and back.
    void SongMemoEditButtonClick();
    void ArtistMemoEditButtonClick();
    void MediaMemoEditButtonClick();
    void MemoDataSend();
    // Writes the memo pad's lines into its column and closes the pad; false
    // (after a message naming the line) when a line cannot be stored.
    bool MemoDataReturn();

    // The current song row (1..99) of the grid; 0 when none.
    int currentSongRow() const;
    void setCurrentCell(int row, int column);
    QString songCell(int row, int column) const;
    void setSongCell(int row, int column, const QString& text);

    // Suggestions and the memo choices (lines of CP932 text).
    void setSuggestions(const std::vector<std::string>& genres, const std::vector<std::string>& media,
                        const std::vector<std::string>& memoChoices);
    std::vector<std::string> genreSuggestions() const;
    std::vector<std::string> mediaSuggestions() const;
    std::vector<std::string> MemoChoices;
    void setCategoryCaptions(const QString& first, const QString& second, const QString& third);

    // Controls, by the names the program knows them by.
    QComboBox* ArtistEditComboBox = nullptr;
    PickBox* Artist2ComboBox = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* AlbumEdit = nullptr;
    QComboBox* janruBox = nullptr;
    QComboBox* MediaBox = nullptr;
    QLabel* Memo1Label2 = nullptr;
    QLabel* Memo2Label2 = nullptr;
    QLabel* Memo3Label2 = nullptr;
    QPlainTextEdit* MemoEditMemo = nullptr;
    QLineEdit* GFilePassEdit = nullptr;
    QLabel* EditImage = nullptr;
    QLabel* NoImageEditLabel = nullptr;
    QTableWidget* SongGrid = nullptr;
    QWidget* MediaPanel = nullptr;
    QLabel* MediaNameLabel = nullptr;
    QLabel* MediaPositionLabel = nullptr;
    QToolButton* EjectButton = nullptr;
    QToolButton* RewindButton = nullptr;
    QToolButton* StopButton = nullptr;
    QToolButton* PauseButton = nullptr;
    QToolButton* PlayButton = nullptr;
    PlayerProgressBar* ProgressBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QPushButton* AlbumChangeButton = nullptr;
    QPushButton* AlbumAddButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QPushButton* InternetSerchButton = nullptr;
    QComboBox* InternetSerchBox = nullptr;
    QMenu* MemoPopupMenu = nullptr;
    QMenu* SearchItemMenu = nullptr;
    QToolButton* CDEntryButton = nullptr;
    QToolButton* SongMemoEditButton = nullptr;
    QToolButton* ArtistMemoEditButton = nullptr;
    QToolButton* MediaMemoEditButton = nullptr;

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

    TForm1& main_;
    Prompter& prompter_;
    store::AlbumRecord shown_;  // what EditDataSend showed, for unchanged bytes
    bool movingSections_ = false;
    PreviewControls preview_;
};

}  // namespace velmora::ui
