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
class MainWindow;

class PlayerWindow : public QWidget {
    Q_OBJECT
public:
    // The look (font and colours) from the main window's settings; run at
    // creation and after the options dialog's OK.
    void applyLook();
    // Stores the window's place into the settings before a save.
    void collectSettings(store::AppSettings& settings) const;

    PlayerWindow(MainWindow& main, Prompter& prompter, QWidget* parent = nullptr);
    ~PlayerWindow() override;

    static constexpr int kPathRows = 100;

    // Controls.
    QGroupBox* playlistGroup = nullptr;
    QListWidget* playlistView = nullptr;
    // Row i: the media path (or CD reference) of entry i, as stored.
    QStringList mediaPaths;
    QWidget* bottomPanel = nullptr;
    QToolBar* toolBar = nullptr;
    QToolButton* rewindButton = nullptr;
    QToolButton* stopButton = nullptr;
    QToolButton* pauseButton = nullptr;
    QToolButton* playButton = nullptr;
    QToolButton* randomButton = nullptr;
    QToolButton* repeatButton = nullptr;
    PlayerProgressBar* progressBar = nullptr;
    QLabel* infoLabel = nullptr;
    QLabel* songLabel = nullptr;
    QLabel* fileNameLabel = nullptr;
    QLabel* positionLabel = nullptr;
    QLabel* pictureLabel = nullptr;
    QLabel* noPictureLabel = nullptr;
    QTimer* infoTimer = nullptr;

    // Handlers.
    void startPlayback();
    void stopPlayback();
    void pausePlayback();
    void rewindToStart();
    void repeatToggled();
    void randomToggled();
    void seekFromBar(int x);
    void showNextInfo();
    // Goes on to the next entry once the current one has ended.
    void updatePosition();
    // The device's notification, with the error code of its last command
    // and its text: an error ends playback and closes the window.
    void deviceNotified(int code, const QString& text);
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
    // once when the window is created; tests replace it.
    media::RandomIndex randomIndex;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void startUp();
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

    MainWindow& main_;
    Prompter& prompter_;
    media::MediaDevice& device_;
    bool playing_ = false;
    bool busy_ = false;
    int current_ = 0;
    media::ChangeCounter changing_;
    std::mt19937 random_;
};

}  // namespace velmora::ui
