// Keeping top-level windows wholly on the screen they are shown on.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QScrollArea;
class QWidget;

namespace velmora::ui {

// The frame rectangle `frame` moved, then shrunk where moving is not enough,
// so that it lies inside `room`; a frame that fits keeps its place and
// size. Never smaller than `minimum` (then it starts at room's top-left).
QRect fitIntoRoom(const QRect& frame, const QRect& room, const QSize& minimum);

// Places a top-level window at its current place and size, fitted into the
// available area of the screen under its centre (the primary screen when
// none is); a minimum size larger than that area is lowered to it. Before
// the window manager has framed the window, `decoration` stands for its
// title bar and borders.
void keepOnScreen(QWidget& window);

// Fits the window once more after each showing, when the window manager's
// frame is known.
void keepOnScreenWhenShown(QWidget& window);

// A frameless scroll area around `content`, for a part of a window that
// may not fit a small screen or a large font: it scrolls only then. It takes
// no focus itself, so Tab goes straight to the controls inside.
QScrollArea* scrollWhenCramped(QWidget* content, QWidget* parent);

}  // namespace velmora::ui
