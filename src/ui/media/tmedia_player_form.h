// The media player window: a playlist played on the player device, entry
// after entry in list order, at random or repeating one entry, driven by a
// 200 ms timer that watches the device.
#pragma once

#include <QStringList>
#include <QWidget>
#include <random>

#include "media/media_device.h"
#include "media/playlist.h"
#include "store/app_settings.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QTimer;
class QToolBar;
class QToolButton;

namespace velmora::ui {

class PlayerProgressBar;
class Prompter;
class TForm1;

class TMediaPlayerForm : public QWidget {
    Q_OBJECT
public:
    // The look (font and colours) from the main window's settings; run at
    // creation and after the options dialog's OK.
    void applyLook();
    // Stores the window's place into the settings before a save.
    void collectSettings(store::AppSettings& settings) const;

    TMediaPlayerForm(TForm1& main, Prompter& prompter, QWidget* parent = nullptr);
    ~TMediaPlayerForm() override;

    static constexpr int kPathRows = 100;

    // Controls.
    QGroupBox* PlaylistGroup = nullptr;
    QListWidget* ListBox1 = nullptr;
    // Row i: the media path (or CD reference) of entry i, as stored.
    QStringList MediaDataGrid;
    QWidget* BottomPanel = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ZeroReturnButton = nullptr;
    QToolButton* StopButton = nullptr;
    QToolButton* PauseButton = nullptr;
    QToolButton* PlayButton = nullptr;
    QToolButton* RandomPlayButton = nullptr;
    QToolButton* RepeatPlayButton = nullptr;
    PlayerProgressBar* ProgressBar1 = nullptr;
    QLabel* InfoLabel = nullptr;
    QLabel* SongLabel = nullptr;
    QLabel* FileNameLabel = nullptr;
    QLabel* PositionLabel = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* NoImageLabel = nullptr;
    QTimer* InfoTimer = nullptr;

    // Handlers.
    void PlayButtonClick();
    void StopButtonClick();
    void PauseButtonClick();
    void ZeroReturnButtonClick();
    void RepeatPlayButtonClick();
    void RandomPlayButtonClick();
    void ProgressBar1MouseDown(int x);
    void InfoTimerTimer();
    // Goes on to the next entry once the current one has ended.
    void Timer1Timer();
    // The device's notification, with the error code of its last command
    // and its text: an error ends playback and closes the window.
    void MediaPlayer1Notify(int code, const QString& text);
    // Stops and closes the device; closing is always allowed.
    bool FormCloseQuery();
    void PlayingChange(bool value) { playing_ = value; }
    void ChangingChange(int value) { changing_.set(value); }

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
    void FormCreate();
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

    TForm1& main_;
    Prompter& prompter_;
    media::MediaDevice& device_;
    bool playing_ = false;
    bool busy_ = false;
    int current_ = 0;
    media::ChangeCounter changing_;
    std::mt19937 random_;
};

}  // namespace velmora::ui
