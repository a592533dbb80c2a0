#include "ui/editing/preview_player.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "core/media/media_device.h"
#include "core/media/playlist.h"
#include "ui/player/device_ops.h"
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

QToolButton* playerButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    return button;
}

}  // namespace

PreviewPlayer::PreviewPlayer(media::MediaDevice& device, Prompter& prompter, QWidget* parent)
    : QWidget(parent), device_(device), prompter_(prompter)
{
    setObjectName(QStringLiteral("previewPlayer"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(1);
    QStyle* look = style();
    auto* eject = playerButton(
        this, "ejectButton", QStringLiteral("取り出し"),
        QIcon::fromTheme(QStringLiteral("media-eject"), look->standardIcon(QStyle::SP_BrowserStop)));
    auto* rewind = playerButton(this, "rewindButton", QStringLiteral("巻き戻し"),
                                look->standardIcon(QStyle::SP_MediaSkipBackward));
    auto* stop =
        playerButton(this, "stopButton", QStringLiteral("停止"), look->standardIcon(QStyle::SP_MediaStop));
    // A toggle: down while paused.
    pauseButton_ = playerButton(this, "pauseButton", QStringLiteral("一時停止"),
                                look->standardIcon(QStyle::SP_MediaPause));
    pauseButton_->setCheckable(true);
    auto* play =
        playerButton(this, "playButton", QStringLiteral("再生"), look->standardIcon(QStyle::SP_MediaPlay));
    for (QToolButton* button : {eject, rewind, stop, pauseButton_, play}) {
        buttons->addWidget(button);
    }
    buttons->addSpacing(4);
    bar_ = new PlayerProgressBar(this);
    bar_->setObjectName(QStringLiteral("progressBar"));
    bar_->setFixedHeight(14);
    bar_->setRange(0, 1);
    bar_->setEnabled(false);
    bar_->onPress = [this](int x) { seekTo(x); };
    buttons->addWidget(bar_, 1);
    positionLabel_ = new QLabel(this);
    positionLabel_->setObjectName(QStringLiteral("positionLabel"));
    positionLabel_->setTextFormat(Qt::PlainText);
    positionLabel_->setMinimumWidth(
        positionLabel_->fontMetrics().horizontalAdvance(QStringLiteral("0000000 / 0000000")));
    positionLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    buttons->addWidget(positionLabel_);
    rows->addLayout(buttons);
    nameLabel_ = new QLabel(this);
    nameLabel_->setObjectName(QStringLiteral("mediaNameLabel"));
    nameLabel_->setTextFormat(Qt::PlainText);
    // A long path is cut at the window's edge instead of widening it.
    nameLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    rows->addWidget(nameLabel_);

    connect(eject, &QToolButton::clicked, this, &PreviewPlayer::ejectClicked);
    connect(rewind, &QToolButton::clicked, this, &PreviewPlayer::rewind);
    connect(stop, &QToolButton::clicked, this, &PreviewPlayer::stop);
    connect(pauseButton_, &QToolButton::clicked, this, &PreviewPlayer::pause);
    connect(play, &QToolButton::clicked, this, &PreviewPlayer::playClicked);

    positionTimer_ = new QTimer(this);
    positionTimer_->setInterval(200);
    connect(positionTimer_, &QTimer::timeout, this, &PreviewPlayer::showPosition);
    positionTimer_->start();
}

bool PreviewPlayer::open(const QString& path)
{
    device_.setDeviceType(media::DeviceType::AutoSelect);
    device_.setFileName(localMediaPath(path));
    if (!openDevice(device_, prompter_)) {
        return false;
    }
    bar_->setEnabled(true);
    setBarRange(bar_, device_.length(), 0);
    return true;
}

bool PreviewPlayer::holds(const QString& path) const
{
    return device_.isOpen() && device_.deviceType() == media::DeviceType::AutoSelect &&
           device_.fileName() == localMediaPath(path);
}

void PreviewPlayer::play()
{
    if (!device_.isOpen()) {
        return;
    }
    // One sound at a time: whoever else plays holds while a preview plays.
    emit aboutToPlay();
    device_.play();
    pauseButton_->setChecked(false);
}

void PreviewPlayer::eject()
{
    releaseDevice(device_);
    clear();
}

void PreviewPlayer::clear()
{
    nameLabel_->clear();
    bar_->setValue(0);
    bar_->setEnabled(false);
    pauseButton_->setChecked(false);
}

void PreviewPlayer::setFileName(const QString& name)
{
    nameLabel_->setText(name);
}

void PreviewPlayer::pause()
{
    if (!device_.isOpen()) {
        pauseButton_->setChecked(false);
        return;
    }
    switch (device_.mode()) {
        case media::Mode::Playing:
            device_.pause();
            pauseButton_->setChecked(true);
            break;
        case media::Mode::Paused:
            device_.resume();
            pauseButton_->setChecked(false);
            break;
        default:
            // Nothing plays: there is nothing to hold.
            pauseButton_->setChecked(false);
            break;
    }
}

void PreviewPlayer::stop()
{
    if (!device_.isOpen()) {
        pauseButton_->setChecked(false);
        return;
    }
    device_.setWait(true);
    device_.stop();
    pauseButton_->setChecked(false);
}

void PreviewPlayer::rewind()
{
    if (!device_.isOpen()) {
        return;
    }
    device_.rewind();
    bar_->setValue(0);
}

void PreviewPlayer::seekTo(int x)
{
    if (!device_.isOpen()) {
        return;
    }
    const std::int64_t p = media::barClickValue(bar_->maximum(), x, bar_->width());
    device_.seek(p);
    bar_->setValue(std::min(bar_->maximum(), clampToInt(p)));
    play();
}

void PreviewPlayer::showPosition()
{
    if (!device_.isOpen()) {
        bar_->setValue(0);
        positionLabel_->clear();
        if (nameFollowsDevice_) {
            nameLabel_->clear();
        }
        return;
    }
    const std::int64_t length = device_.length();
    const std::int64_t position = device_.position();
    setBarRange(bar_, length, position);
    positionLabel_->setText(QStringLiteral("%1 / %2").arg(position).arg(length));
}

}  // namespace velmora::ui
