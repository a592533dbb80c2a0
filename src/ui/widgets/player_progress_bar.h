// The player window's position bar: shows the play position and seeks
// where the user clicks.
#pragma once

#include <QMouseEvent>
#include <QProgressBar>
#include <functional>

namespace velmora::ui {

class PlayerProgressBar : public QProgressBar {
public:
    explicit PlayerProgressBar(QWidget* parent = nullptr) : QProgressBar(parent)
    {
        setTextVisible(false);
        setCursor(Qt::PointingHandCursor);
    }

    // Called with the x of a left-button press, in the bar's pixels.
    std::function<void(int x)> onPress;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && onPress) {
            onPress(qRound(event->position().x()));
            event->accept();
            return;
        }
        QProgressBar::mousePressEvent(event);
    }
};

}  // namespace velmora::ui
