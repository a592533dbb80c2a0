// Keeping top-level windows wholly on the screen they are shown on.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace velmora::ui {

// The frame rectangle `frame` moved, then shrunk where moving is not enough,
// so that it lies inside `room`; a frame that fits keeps its place and
// size. Never smaller than `minimum` (then it starts at room's top-left).
QRect fitIntoRoom(const QRect& frame, const QRect& room, const QSize& minimum);

// Places a top-level window at its current place and size, fitted into the
// available area of the screen under its centre (the primary screen when
// none is). Before the window manager has framed the window, `decoration`
// stands for its title bar and borders.
void keepOnScreen(QWidget& window);

// Fits the window once more after its first showing, when the window
// manager's frame is known.
void keepOnScreenWhenShown(QWidget& window);

}  // namespace velmora::ui
