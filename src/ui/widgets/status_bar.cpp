#include "ui/widgets/status_bar.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace velmora::ui {

StatusBar::StatusBar(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize StatusBar::sizeHint() const
{
    return {kCountPanelWidth + kTextPanelWidth, fontMetrics().height() + 8};
}

void StatusBar::setPanelText(int panel, const QString& text)
{
    auto& slot = texts_.at(static_cast<std::size_t>(panel));
    if (slot != text) {
        slot = text;
        update(panelRect(panel));
    }
}

QRect StatusBar::panelRect(int panel) const
{
    // The text panel takes the rest of the bar: a search result line is long.
    if (panel == 0) {
        return {0, 0, kCountPanelWidth, height()};
    }
    return {kCountPanelWidth + 2, 0, std::max(kTextPanelWidth, width() - kCountPanelWidth - 2), height()};
}

void StatusBar::repaintNow()
{
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (int panel = 0; panel < 2; ++panel) {
        QRect r = panelRect(panel).adjusted(0, 2, 0, -1);
        if (onDrawPanel) {
            painter.save();
            painter.setClipRect(r);
            onDrawPanel(painter, panel, r);
            painter.restore();
        }
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

}  // namespace velmora::ui
