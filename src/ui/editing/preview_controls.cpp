#include "ui/editing/preview_controls.h"

#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "core/media/playlist.h"
#include "ui/main/main_window.h"
#include "ui/player/device_ops.h"
#include "ui/player/player_window.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {

namespace {

int clampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX));
}

// A bar whose maximum is 0 would show a busy indicator instead of a
// position; it keeps at least 1.
void setBarRange(PlayerProgressBar* bar, std::int64_t maximum, std::int64_t value)
{
    bar->setMaximum(std::max(1, clampToInt(maximum)));
    bar->setValue(std::min(bar->maximum(), clampToInt(value)));
}

QToolButton* playerButton(QWidget* parent, const QString& hint, const QIcon& icon)
{
    auto* button = new QToolButton(parent);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    return button;
}

}  // namespace

PreviewControls buildPreviewControls(QWidget* parent)
{
    PreviewControls c;
    c.panel = new QWidget(parent);
    auto* rows = new QVBoxLayout(c.panel);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(1);
    QStyle* look = c.panel->style();
    c.eject = playerButton(
        c.panel, QStringLiteral("取り出し"),
        QIcon::fromTheme(QStringLiteral("media-eject"), look->standardIcon(QStyle::SP_BrowserStop)));
    c.rewind =
        playerButton(c.panel, QStringLiteral("巻き戻し"), look->standardIcon(QStyle::SP_MediaSkipBackward));
    c.stop = playerButton(c.panel, QStringLiteral("停止"), look->standardIcon(QStyle::SP_MediaStop));
    c.pause = playerButton(c.panel, QStringLiteral("一時停止"), look->standardIcon(QStyle::SP_MediaPause));
    c.pause->setCheckable(true);
    c.play = playerButton(c.panel, QStringLiteral("再生"), look->standardIcon(QStyle::SP_MediaPlay));
    for (QToolButton* button : {c.eject, c.rewind, c.stop, c.pause, c.play}) {
        buttons->addWidget(button);
    }
    buttons->addSpacing(4);
    c.bar = new PlayerProgressBar(c.panel);
    c.bar->setFixedHeight(14);
    c.bar->setRange(0, 1);
    c.bar->setEnabled(false);
    buttons->addWidget(c.bar, 1);
    c.position = new QLabel(c.panel);
    c.position->setTextFormat(Qt::PlainText);
    c.position->setMinimumWidth(
        c.position->fontMetrics().horizontalAdvance(QStringLiteral("0000000 / 0000000")));
    c.position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    buttons->addWidget(c.position);
    rows->addLayout(buttons);
    c.name = new QLabel(c.panel);
    c.name->setTextFormat(Qt::PlainText);
    // A long path is cut at the window's edge instead of widening it.
    c.name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    rows->addWidget(c.name);
    return c;
}

void clearPreview(const PreviewControls& c)
{
    c.name->clear();
    c.bar->setValue(0);
    c.bar->setEnabled(false);
    c.pause->setChecked(false);
}

bool openPreviewFile(media::MediaDevice& device, Prompter& prompter, const PreviewControls& c,
                     const QString& path)
{
    device.setDeviceType(media::DeviceType::AutoSelect);
    device.setFileName(localMediaPath(path));
    if (!openDevice(device, prompter)) {
        return false;
    }
    c.bar->setEnabled(true);
    setBarRange(c.bar, device.length(), 0);
    return true;
}

void playPreview(MainWindow& main, const PreviewControls& c)
{
    media::MediaDevice& device = main.previewDevice();
    if (!device.isOpen()) {
        return;
    }
    // One sound at a time: the player window pauses while a preview plays.
    if (PlayerWindow* player = main.playerForm(); player != nullptr && player->isVisible()) {
        player->pauseButton->setChecked(true);
        player->pausePlayback();
    }
    device.play();
    c.pause->setChecked(false);
}

void pausePreview(media::MediaDevice& device, const PreviewControls& c)
{
    if (!device.isOpen()) {
        c.pause->setChecked(false);
        return;
    }
    switch (device.mode()) {
        case media::Mode::Playing:
            device.pause();
            c.pause->setChecked(true);
            break;
        case media::Mode::Paused:
            device.resume();
            c.pause->setChecked(false);
            break;
        default:
            // Nothing plays: there is nothing to hold.
            c.pause->setChecked(false);
            break;
    }
}

void stopPreview(media::MediaDevice& device, const PreviewControls& c)
{
    if (!device.isOpen()) {
        c.pause->setChecked(false);
        return;
    }
    device.setWait(true);
    device.stop();
    c.pause->setChecked(false);
}

void rewindPreview(media::MediaDevice& device, const PreviewControls& c)
{
    if (!device.isOpen()) {
        return;
    }
    device.rewind();
    c.bar->setValue(0);
}

void seekPreview(MainWindow& main, const PreviewControls& c, int x)
{
    media::MediaDevice& device = main.previewDevice();
    if (!device.isOpen()) {
        return;
    }
    const std::int64_t p = media::barClickValue(c.bar->maximum(), x, c.bar->width());
    device.seek(p);
    c.bar->setValue(std::min(c.bar->maximum(), clampToInt(p)));
    playPreview(main, c);
}

void showPreviewPosition(const media::MediaDevice& device, const PreviewControls& c)
{
    if (!device.isOpen()) {
        c.bar->setValue(0);
        c.position->clear();
        return;
    }
    const std::int64_t length = device.length();
    const std::int64_t position = device.position();
    setBarRange(c.bar, length, position);
    c.position->setText(QStringLiteral("%1 / %2").arg(position).arg(length));
}

}  // namespace velmora::ui
