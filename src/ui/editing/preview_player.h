// The preview player of the edit dialog and the memo pad: five buttons, a
// position bar and labels over a media device, and a 200 ms timer that
// shows the device's position whether the player is shown or not.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QTimer;
class QToolButton;

namespace velmora::media {
class MediaDevice;
}

namespace velmora::ui {

class PlayerProgressBar;
class Prompter;

class PreviewPlayer : public QWidget {
    Q_OBJECT
public:
    PreviewPlayer(media::MediaDevice& device, Prompter& prompter, QWidget* parent = nullptr);

    media::MediaDevice& device() { return device_; }

    // Opens a media file on the device, waiting (an error box when it
    // cannot); when open, the bar is enabled and runs from 0 to the file's
    // length.
    bool open(const QString& path);
    // Whether the device holds `path` as an open file.
    bool holds(const QString& path) const;
    // Plays the open file; announces it first (aboutToPlay). Nothing while
    // the device is closed.
    void play();
    // Stops and closes the device and clears the player.
    void eject();
    // The state after a release: no name, the bar at 0 and disabled, the
    // pause button up.
    void clear();
    // The name line under the buttons.
    void setFileName(const QString& name);
    // With this set, the name line empties whenever the timer finds the
    // device closed (the memo pad's player names only what it plays).
    void setNameFollowsDevice(bool follow) { nameFollowsDevice_ = follow; }

signals:
    // The play and eject buttons: the owner decides what they mean.
    void playClicked();
    void ejectClicked();
    // Sent before the device starts playing, so that other sound can hold.
    void aboutToPlay();

private:
    void pause();
    void stop();
    void rewind();
    void seekTo(int x);
    void showPosition();

    media::MediaDevice& device_;
    Prompter& prompter_;
    QToolButton* pauseButton_ = nullptr;
    PlayerProgressBar* bar_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLabel* positionLabel_ = nullptr;
    QTimer* positionTimer_ = nullptr;
    bool nameFollowsDevice_ = false;
};

}  // namespace velmora::ui
