// The main window's status bar: a count panel drawn as a percentage gauge
// and a text panel, both drawn by their owner.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

namespace velmora::ui {

class StatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCountPanelWidth = 150;
    static constexpr int kTextPanelWidth = 200;

    explicit StatusBar(QWidget* parent = nullptr);

    QString panelText(int panel) const { return texts_.at(static_cast<std::size_t>(panel)); }
    void setPanelText(int panel, const QString& text);
    // Stores a text without asking for a repaint (used while painting).
    void storePanelText(int panel, const QString& text) { texts_.at(static_cast<std::size_t>(panel)) = text; }
    QRect panelRect(int panel) const;

    // Paints at once and lets pending paint and timer events run, so that a
    // long operation shows its progress; user input waits until it is done.
    void repaintNow();

    std::function<void(QPainter&, int panel, const QRect&)> onDrawPanel;

protected:
    void paintEvent(QPaintEvent*) override;
    QSize sizeHint() const override;

private:
    std::array<QString, 2> texts_;
};

}  // namespace velmora::ui
