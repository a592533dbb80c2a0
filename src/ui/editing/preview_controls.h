// The preview player: the buttons, bar and labels that the edit dialog and
// the memo pad each show, and the steps both take on the main window's
// preview device.
#pragma once

#include <QString>
#include <cstdint>

class QLabel;
class QToolButton;
class QWidget;

namespace velmora::media {
class MediaDevice;
}

namespace velmora::ui {

class PlayerProgressBar;
class Prompter;
class MainWindow;

struct PreviewControls {
    QWidget* panel = nullptr;
    QToolButton* eject = nullptr;
    QToolButton* rewind = nullptr;
    QToolButton* stop = nullptr;
    QToolButton* pause = nullptr;  // a toggle: down while paused
    QToolButton* play = nullptr;
    PlayerProgressBar* bar = nullptr;
    QLabel* name = nullptr;
    QLabel* position = nullptr;
};

// Builds the panel: the five buttons, the bar and the position on one row,
// the file's name under them. The bar starts disabled.
PreviewControls buildPreviewControls(QWidget* parent);

// The state after a release: no name, the bar at 0 and disabled, the pause
// button up.
void clearPreview(const PreviewControls& controls);

// Opens a media file on the device, waiting (an error box when it cannot);
// when open, the bar is enabled and runs from 0 to the file's length.
bool openPreviewFile(media::MediaDevice& device, Prompter& prompter, const PreviewControls& controls,
                     const QString& path);

// The buttons; each does nothing of its own while the device is closed
// (pause and stop still release the pause button).
void playPreview(MainWindow& main, const PreviewControls& controls);
void pausePreview(media::MediaDevice& device, const PreviewControls& controls);
void stopPreview(media::MediaDevice& device, const PreviewControls& controls);
void rewindPreview(media::MediaDevice& device, const PreviewControls& controls);
// A click on the bar at x: seeks there and plays.
void seekPreview(MainWindow& main, const PreviewControls& controls, int x);

// The timer's step: the bar and the position follow the open device; while
// it is closed the bar goes to 0 and the position is emptied.
void showPreviewPosition(const media::MediaDevice& device, const PreviewControls& controls);

}  // namespace velmora::ui
