// The album edit dialog: one album's fields and its 99 songs.
#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/store/album_record.h"
#include "ui/player/player_link.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;

namespace velmora::media {
class MediaDevice;
}

namespace velmora::store {
class AlbumTable;
struct AppSettings;
struct ListFiles;
}  // namespace velmora::store

namespace velmora::ui {

class PickBox;
class PreviewPlayer;
class Prompter;
class Shell;
class SongColumnEditor;

class AlbumEditDialog : public QDialog {
    Q_OBJECT
public:
    // What the dialog reads: the catalogue (suggestions), the settings and
    // lists (web search), and the device its preview player plays on. The
    // references must outlive the dialog.
    struct Services {
        Prompter& prompter;
        Shell& shell;
        media::MediaDevice& previewDevice;
        const store::AlbumTable& albums;
        const store::AppSettings& settings;
        const store::ListFiles& lists;
    };
    // What the dialog asks of its owner; each may be left empty.
    struct Requests {
        // Whether an album is selected for 変更 to overwrite.
        std::function<bool()> albumSelected;
        // The albums the list shows, in list order (artist suggestions).
        std::function<std::vector<int>()> listedAlbums;
        // Fills the submenu of web-search items.
        std::function<void(QMenu*)> fillSearchItemMenu;
        // Reads the disc in the CD drive into `fields` (its song references);
        // nothing when it could not. With `titleLookup`, the disc's track
        // lengths are put there when the user asked for MusicBrainz titles.
        std::function<std::optional<store::AlbumRecord>(const store::AlbumRecord& fields,
                                                        std::vector<std::int64_t>* titleLookup)>
            readDisc;
        // Looks the disc up on MusicBrainz (progress over `parent`) and
        // gives `base` filled from it; nothing after a message or cancel.
        std::function<std::optional<store::AlbumRecord>(
            QWidget* parent, const std::vector<std::int64_t>& trackFrames, const store::AlbumRecord& base)>
            fetchDiscData;
        PlayerWindowLink player;
        // The dictionary's readings of an artist (CP932 in, katakana CP932
        // out, best first), offered first among the reading suggestions.
        std::function<std::vector<std::string>(const std::string& artist)> dictionaryReadings;
    };

    AlbumEditDialog(Services services, Requests requests, QWidget* parent = nullptr);
    ~AlbumEditDialog() override;

    // The memo pad that edits one song column; the dialog opens it and
    // takes its lines back. Null: the column buttons do nothing.
    void setColumnEditor(SongColumnEditor* editor);

    // Fills every field from an album (the transfer buffer); 編集前の状態に
    // 戻す goes back to it.
    void loadAlbum(const store::AlbumRecord& record);
    // The album as the fields hold it, or nothing (after a message naming
    // the field) when a field holds text the catalogue cannot store.
    std::optional<store::AlbumRecord> editedRecord();
    // Before each showing: the site box and the category captions.
    void prepareForShowing(const QString& first, const QString& second, const QString& third);
    // Fills the site box from the site list, keeping the chosen site.
    void fillWebSearchItems();

    // The song grid: rows 1..99, columns 1 title, 2 artist, 3 media path.
    int currentSongRow() const;
    void setCurrentCell(int row, int column);
    QString songCell(int row, int column) const;
    void setSongCell(int row, int column, const QString& text);

    // Suggestions and the memo choices (lines of CP932 text).
    void setSuggestions(const std::vector<std::string>& genres, const std::vector<std::string>& media,
                        const std::vector<std::string>& choices);
    std::vector<std::string> genreSuggestions() const { return genres_; }
    std::vector<std::string> mediaSuggestions() const { return media_; }
    std::vector<std::string> memoChoices() const { return memoChoices_; }
    void setCategoryCaptions(const QString& first, const QString& second, const QString& third);
    // The song grid's column widths (stored in the settings).
    int songColumnWidth(int column) const;
    void setSongColumnWidth(int column, int width);

    // Releases the preview device and clears the preview players.
    void ejectPreview();

    // The shown album is not in the catalogue yet (fetched from MusicBrainz
    // for a disc): closing other than by 追加 asks before it is discarded.
    void setUnstoredAlbum(bool unstored) { unstoredAlbum_ = unstored; }

signals:
    // 変更 and 追加: the dialog has closed; the owner stores the album.
    void changeRequested(const store::AlbumRecord& album);
    void addRequested(const store::AlbumRecord& album);
    // A preview is about to play (the media player window holds).
    void previewAboutToPlay();
    // An unstored album was discarded by closing the dialog.
    void unstoredAlbumDiscarded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Every way of closing (the close box, 閉じる, the add and change
    // buttons' own closing) ends here.
    void done(int result) override;
    // Escape does not close the dialog: typed changes would be lost without
    // a question.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenus();
    void buildFields(QWidget* panel);
    void buildSongTools(QWidget* bar);
    void buildGrid();
    void buildBottomRow();
    void setReadingOrder();
    // Shows `record` in the fields without making it the undo state.
    void showRecord(const store::AlbumRecord& record);

    void changeAlbum();
    void addAlbum();
    void undoEdits();
    void fillArtistSuggestions();
    void fillReadingSuggestions();
    void copyArtistToReading();
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
    void runWebSearch();
    // Every close: releases the preview device and enables the owner.
    void closeQuery();
    // The preview's play button: the current song's media file.
    void playCurrentSong();

    // Hand-over of one song column to the memo pad, and back.
    void sendColumnToEditor(int column);
    // Writes the memo pad's lines into its column and closes the pad; false
    // (after a message naming the line) when a line cannot be stored.
    bool takeColumnFromEditor(int column, const QStringList& lines);
    void editorClosed();
    void songSectionMoved(bool rows, int from, int to);
    void swapRows(int a, int b);
    // Finishes an edit in progress so its text is in the grid.
    void commitGridEdit();
    // The window that owns the dialog, disabled while the pad is open.
    void setOwnerEnabled(bool enabled);

    Services services_;
    Requests requests_;
    SongColumnEditor* editor_ = nullptr;
    store::AlbumRecord loaded_;  // what loadAlbum gave, for 編集前の状態に戻す
    store::AlbumRecord shown_;   // what the fields were filled with, for unchanged bytes
    std::vector<std::string> genres_;
    std::vector<std::string> media_;
    std::vector<std::string> memoChoices_;
    bool movingSections_ = false;
    bool unstoredAlbum_ = false;

    PickBox* artistCombo_ = nullptr;
    PickBox* readingCombo_ = nullptr;
    QLabel* readingLabel_ = nullptr;
    QLineEdit* titleEdit_ = nullptr;
    QComboBox* genreCombo_ = nullptr;
    QComboBox* mediaCombo_ = nullptr;
    QLabel* categoryCaptions_[3] = {};
    // The captions as the user wrote them (the labels add a mnemonic); the
    // messages name the fields by these.
    QString categoryNames_[3] = {QStringLiteral("ジャンル"), QStringLiteral("メディア"),
                                 QStringLiteral("メモ")};
    QPlainTextEdit* memoEdit_ = nullptr;
    QLineEdit* picturePathEdit_ = nullptr;
    QLabel* pictureView_ = nullptr;
    QLabel* noPictureLabel_ = nullptr;
    QTableWidget* songTable_ = nullptr;
    PreviewPlayer* preview_ = nullptr;
    PickBox* webSearchBox_ = nullptr;
    QMenu* memoChoiceMenu_ = nullptr;
    QMenu* searchItemMenu_ = nullptr;
};

}  // namespace velmora::ui
