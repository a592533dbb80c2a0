// The media player window: a playlist played on the player device, entry
// after entry in list order, at random or repeating one entry, driven by a
// 200 ms timer that watches the device.
#pragma once

#include <QStringList>
#include <QWidget>
#include <random>

#include "core/media/media_device.h"
#include "core/media/playlist.h"
#include "core/store/app_settings.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QTimer;
class QToolBar;
class QToolButton;

namespace velmora::ui {

class PlayerProgressBar;
class Prompter;

class PlayerWindow : public QWidget {
    Q_OBJECT
public:
    // The look (font and colours) from the settings; run at creation and
    // after the options dialog's OK.
    void applyLook(const store::AppSettings& settings);
    // Stores the window's place into the settings before a save.
    void collectSettings(store::AppSettings& settings) const;

    // Plays on `device`; the window's place comes from `settings` when
    // `placeFromSettings` (a settings file was read), else the design's.
    PlayerWindow(Prompter& prompter, media::MediaDevice& device, const store::AppSettings& settings,
                 bool placeFromSettings, QWidget* parent = nullptr);
    ~PlayerWindow() override;

    static constexpr int kPathRows = 100;

    // Plays the selected entry (the play button).
    void startPlayback();
    // One step of the 200 ms timer: the album line, the position, and the
    // next entry once the current one has ended.
    void showNextInfo();
    // Stops the timer (its steps are then run by hand) or starts it again.
    void setTimerRunning(bool running);
    // A preview starts elsewhere: a shown window pauses.
    void holdForPreview();
    // Stops and closes the device; closing is always allowed.
    bool closeQuery();
    void setPlaying(bool value) { playing_ = value; }
    void setChangeCounter(int value) { changing_.set(value); }

    // Filling the playlist (the main window's playback commands).
    void clearPlaylist();
    // Adds an entry and its path row; a playable entry is enabled and
    // checked, another disabled and unchecked.
    void addEntry(const QString& text, const QString& path, bool playable);
    // The album line and the cover (empty or missing file: "NoImage").
    void showAlbum(const QString& info, const QString& imagePath);
    // The stored path of an entry (empty outside the list).
    QString entryPath(int index) const { return mediaPaths_.value(index); }
    // Empties the song and file lines before a new playlist.
    void clearShownSong();
    // The bar back at 0; `disable`: also disabled until a file plays.
    void resetProgress(bool disable);
    // Selects an entry (none for an index outside the list).
    void selectEntry(int index);
    // The checked entry with the lowest index, or -1.
    int firstCheckedEntry() const;
    int entryCount() const;

    // Window state.
    bool playing() const { return playing_; }
    bool busy() const { return busy_; }
    int currentIndex() const { return current_; }
    int changeCounter() const { return changing_.value(); }

    // Draws a random entry index from 0 to count - 1 (random play). Seeded
    // once when the window is created; tests give their own.
    void setRandomIndex(media::RandomIndex draw) { randomIndex_ = std::move(draw); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The rewind, stop, pause and play symbols in the palette's button text
    // colour, so that they show on dark and light themes alike.
    void drawTransportIcons();
    void stopPlayback();
    void pausePlayback();
    void rewindToStart();
    void repeatToggled();
    void randomToggled();
    void seekFromBar(int x);
    // Goes on to the next entry once the current one has ended.
    void updatePosition();
    // The device's notification, with the error code of its last command
    // and its text: an error ends playback and closes the window.
    void deviceNotified(int code, const QString& text);
    // Object names for the controls a user (or a test) looks for.
    void nameControls();
    void startUp(const store::AppSettings& settings, bool placeFromSettings);
    void buildWindow();
    QToolButton* addButton(const QString& hint, const QIcon& icon, const QString& text, bool toggle);
    // The selected entry, or -1.
    int selectedEntry() const;
    bool entryChecked(int index) const;
    QString entryText(int index) const;
    bool onCd() const;
    void setBar(std::int64_t maximum, std::int64_t position);
    void cdTick();
    void fileTick();
    // Plays from the current position with notification of its end.
    void playNotifying();

    Prompter& prompter_;
    media::MediaDevice& device_;
    bool playing_ = false;
    bool busy_ = false;
    int current_ = 0;
    media::ChangeCounter changing_;
    std::mt19937 random_;
    media::RandomIndex randomIndex_;
    QGroupBox* playlistGroup_ = nullptr;
    QListWidget* playlistView_ = nullptr;
    // Row i: the media path (or CD reference) of entry i, as stored.
    QStringList mediaPaths_;
    QWidget* bottomPanel_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolButton* rewindButton_ = nullptr;
    QToolButton* stopButton_ = nullptr;
    QToolButton* pauseButton_ = nullptr;
    QToolButton* playButton_ = nullptr;
    QToolButton* randomButton_ = nullptr;
    QToolButton* repeatButton_ = nullptr;
    PlayerProgressBar* progressBar_ = nullptr;
    QLabel* infoLabel_ = nullptr;
    QLabel* songLabel_ = nullptr;
    QLabel* fileNameLabel_ = nullptr;
    QLabel* positionLabel_ = nullptr;
    QLabel* pictureLabel_ = nullptr;
    QLabel* noPictureLabel_ = nullptr;
    QTimer* infoTimer_ = nullptr;
};

}  // namespace velmora::ui
