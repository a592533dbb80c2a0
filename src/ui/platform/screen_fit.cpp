#include "ui/platform/screen_fit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace velmora::ui {

namespace {

// instruction bar and borders of a typical window manager, for windows not yet
// framed.
const QMargins kAssumedDecoration(4, 30, 4, 4);

// One axis: the start and length of a span placed inside [roomStart,
// roomStart + roomLength).
std::pair<int, int> fitSpan(int start, int length, int roomStart, int roomLength, int minimum)
{
    length = std::max(std::min(length, roomLength), minimum);
    const int roomEnd = roomStart + roomLength;
    if (start + length > roomEnd) {
        start = roomEnd - length;
    }
    if (start < roomStart) {
        start = roomStart;
    }
    return {start, length};
}

class FitWhenShown : public QObject {
public:
    explicit FitWhenShown(QWidget* window) : QObject(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            // The frame arrives with the window manager's reply; fit again
            // once the event loop has run. A dialog shown again may meet
            // another screen, or a larger font.
            QTimer::singleShot(50, window, [window] { keepOnScreen(*window); });
        }
        return false;
    }
};

}  // namespace

QRect fitIntoRoom(const QRect& frame, const QRect& room, const QSize& minimum)
{
    const auto [x, width] = fitSpan(frame.x(), frame.width(), room.x(), room.width(), minimum.width());
    const auto [y, height] = fitSpan(frame.y(), frame.height(), room.y(), room.height(), minimum.height());
    return QRect(x, y, width, height);
}

void keepOnScreen(QWidget& window)
{
    const QRect inner = window.geometry();
    QRect frame = window.frameGeometry();
    QMargins decoration(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                        frame.bottom() - inner.bottom());
    if (decoration.isNull() && !window.isVisible()) {
        // Not framed yet: its position is where the frame will start.
        decoration = kAssumedDecoration;
        frame = QRect(window.pos(), inner.size().grownBy(decoration));
    }
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    // A minimum size made for a larger screen (or a smaller font, or no
    // scaling) gives way: the window's scroll areas take up the rest.
    const QSize room = screen->availableGeometry().size().shrunkBy(decoration);
    if (window.minimumWidth() > room.width() || window.minimumHeight() > room.height()) {
        window.setMinimumSize(window.minimumSize().boundedTo(room));
    }
    const QSize minimum = window.minimumSize().grownBy(decoration);
    const QRect fitted = fitIntoRoom(frame, screen->availableGeometry(), minimum);
    if (fitted == frame) {
        return;
    }
    const QRect client = fitted.marginsRemoved(decoration);
    window.resize(client.size());
    // move() places the frame's top-left corner.
    window.move(fitted.topLeft());
}

QScrollArea* scrollWhenCramped(QWidget* content, QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidget(content);
    return area;
}

void keepOnScreenWhenShown(QWidget& window)
{
    window.installEventFilter(new FitWhenShown(&window));
}

}  // namespace velmora::ui
