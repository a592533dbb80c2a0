#include "ui/player/player_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "ui/platform/font_setting.h"
#include "ui/platform/prompter.h"
#include "ui/platform/screen_fit.h"
#include "ui/platform/text_codec.h"
#include "ui/platform/win_color.h"
#include "ui/player/device_ops.h"
#include "ui/player/player_paths.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {

namespace {

enum class Transport { Rewind, Stop, Pause, Play };

// One transport symbol on a transparent square of `side` pixels.
QPixmap transportPixmap(Transport symbol, const QColor& color, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const qreal unit = side / 20.0;
    auto triangle = [&](qreal left, qreal right, bool pointingRight) {
        QPainterPath path;
        const qreal tip = pointingRight ? right : left;
        const qreal back = pointingRight ? left : right;
        path.moveTo(back * unit, 4 * unit);
        path.lineTo(tip * unit, 10 * unit);
        path.lineTo(back * unit, 16 * unit);
        path.closeSubpath();
        painter.drawPath(path);
    };
    switch (symbol) {
        case Transport::Rewind:
            painter.drawRect(QRectF(3 * unit, 4 * unit, 2 * unit, 12 * unit));
            triangle(5, 11, false);
            triangle(11, 17, false);
            break;
        case Transport::Stop:
            painter.drawRect(QRectF(4.5 * unit, 4.5 * unit, 11 * unit, 11 * unit));
            break;
        case Transport::Pause:
            painter.drawRect(QRectF(5 * unit, 4 * unit, 3.5 * unit, 12 * unit));
            painter.drawRect(QRectF(11.5 * unit, 4 * unit, 3.5 * unit, 12 * unit));
            break;
        case Transport::Play:
            triangle(6, 16, true);
            break;
    }
    return pixmap;
}

QIcon transportIcon(Transport symbol, const QPalette& palette)
{
    QIcon icon;
    for (int side : {20, 40}) {
        icon.addPixmap(transportPixmap(symbol, palette.color(QPalette::Active, QPalette::ButtonText), side),
                       QIcon::Normal);
        icon.addPixmap(transportPixmap(symbol, palette.color(QPalette::Disabled, QPalette::ButtonText), side),
                       QIcon::Disabled);
    }
    return icon;
}

}  // namespace

namespace {

constexpr int kMinimumWidth = 368;
constexpr int kMinimumHeight = 300;
constexpr int kBottomPanelHeight = 146;
constexpr int kCoverSize = 64;

// A label that never widens the window: long texts are cut at its edge.
QLabel* makeLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

int clampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

PlayerWindow::PlayerWindow(Prompter& prompter, media::MediaDevice& device, const store::AppSettings& settings,
                           bool placeFromSettings, QWidget* parent)
    : QWidget(parent), prompter_(prompter), device_(device)
{
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("メディアプレイヤー"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    buildWindow();

    // Seeded once, when the window is made at the program's start.
    random_.seed(std::random_device{}());
    randomIndex_ = [this](int count) {
        return count <= 1 ? 0 : std::uniform_int_distribution<int>(0, count - 1)(random_);
    };
    // The device reports the end of a play from inside its own work; the
    // window handles it once that work is done.
    device_.onNotify = [this](media::NotifyResult) {
        const int code = device_.error();
        if (code == 0) {
            return;
        }
        const QString text = QString::fromStdString(device_.errorMessage());
        QMetaObject::invokeMethod(
            this, [this, code, text] { deviceNotified(code, text); }, Qt::QueuedConnection);
    };
    startUp(settings, placeFromSettings);
    nameControls();
}

PlayerWindow::~PlayerWindow()
{
    device_.onNotify = nullptr;
}

void PlayerWindow::buildWindow()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    playlistGroup_ = new QGroupBox(QStringLiteral("プレイリスト"), this);
    auto* groupLayout = new QVBoxLayout(playlistGroup_);
    groupLayout->setContentsMargins(4, 4, 4, 4);
    playlistView_ = new QListWidget(playlistGroup_);
    playlistView_->setAccessibleName(QStringLiteral("プレイリスト"));
    playlistView_->setSelectionMode(QAbstractItemView::SingleSelection);
    playlistView_->setUniformItemSizes(true);
    groupLayout->addWidget(playlistView_);
    layout->addWidget(playlistGroup_, 1);
    connect(playlistView_, &QListWidget::itemDoubleClicked, this, [this] { startPlayback(); });
    // Enter in the playlist plays the chosen entry, as a double-click does.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        new QShortcut(
            key, playlistView_, this, [this] { startPlayback(); }, Qt::WidgetShortcut);
    }
    clearPlaylist();

    bottomPanel_ = new QWidget(this);
    bottomPanel_->setFixedHeight(kBottomPanelHeight);
    auto* bottom = new QVBoxLayout(bottomPanel_);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(2);
    layout->addWidget(bottomPanel_);

    toolBar_ = new QToolBar(bottomPanel_);
    toolBar_->setIconSize(QSize(20, 20));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QPalette& colors = palette();
    rewindButton_ =
        addButton(QStringLiteral("頭まで巻き戻す"), transportIcon(Transport::Rewind, colors), {}, false);
    stopButton_ = addButton(QStringLiteral("停止"), transportIcon(Transport::Stop, colors), {}, false);
    pauseButton_ = addButton(QStringLiteral("一時停止"), transportIcon(Transport::Pause, colors), {}, true);
    playButton_ =
        addButton(QStringLiteral("リスト選択曲を再生"), transportIcon(Transport::Play, colors), {}, false);
    toolBar_->addSeparator();
    randomButton_ =
        addButton(QStringLiteral("ランダム"), QIcon::fromTheme(QStringLiteral("media-playlist-shuffle")),
                  QStringLiteral("ランダム"), true);
    repeatButton_ = addButton(QStringLiteral("一曲リピート"),
                              QIcon::fromTheme(QStringLiteral("media-playlist-repeat-song")),
                              QStringLiteral("リピート"), true);
    connect(rewindButton_, &QToolButton::clicked, this, [this] { rewindToStart(); });
    connect(stopButton_, &QToolButton::clicked, this, [this] { stopPlayback(); });
    connect(pauseButton_, &QToolButton::clicked, this, [this] { pausePlayback(); });
    connect(playButton_, &QToolButton::clicked, this, [this] { startPlayback(); });
    connect(randomButton_, &QToolButton::clicked, this, [this] { randomToggled(); });
    connect(repeatButton_, &QToolButton::clicked, this, [this] { repeatToggled(); });
    bottom->addWidget(toolBar_);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(6);
    // The cover and "NoImage" share one square.
    auto* cover = new QWidget(bottomPanel_);
    cover->setFixedSize(kCoverSize, kCoverSize);
    auto* coverLayout = new QGridLayout(cover);
    coverLayout->setContentsMargins(0, 0, 0, 0);
    pictureLabel_ = new QLabel(cover);
    pictureLabel_->setAlignment(Qt::AlignCenter);
    pictureLabel_->setFixedSize(kCoverSize, kCoverSize);
    noPictureLabel_ = new QLabel(QStringLiteral("NoImage"), cover);
    noPictureLabel_->setAlignment(Qt::AlignCenter);
    QFont bold = noPictureLabel_->font();
    bold.setBold(true);
    noPictureLabel_->setFont(bold);
    coverLayout->addWidget(pictureLabel_, 0, 0);
    coverLayout->addWidget(noPictureLabel_, 0, 0);
    pictureLabel_->hide();
    middle->addWidget(cover, 0, Qt::AlignTop);

    auto* labels = new QVBoxLayout;
    labels->setSpacing(2);
    infoLabel_ = makeLabel(bottomPanel_);
    songLabel_ = makeLabel(bottomPanel_);
    songLabel_->setFont(bold);
    fileNameLabel_ = makeLabel(bottomPanel_);
    positionLabel_ = makeLabel(bottomPanel_);
    for (QLabel* label : {infoLabel_, songLabel_, fileNameLabel_, positionLabel_}) {
        labels->addWidget(label);
    }
    labels->addStretch(1);
    middle->addLayout(labels, 1);
    bottom->addLayout(middle, 1);

    progressBar_ = new PlayerProgressBar(bottomPanel_);
    progressBar_->setToolTip(QStringLiteral("クリックした場所から再生"));
    progressBar_->setFixedHeight(16);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->setEnabled(false);
    progressBar_->onPress = [this](int x) { seekFromBar(x); };
    bottom->addWidget(progressBar_);

    infoTimer_ = new QTimer(this);
    infoTimer_->setInterval(200);
    connect(infoTimer_, &QTimer::timeout, this, [this] { showNextInfo(); });
    infoTimer_->start();
}

QToolButton* PlayerWindow::addButton(const QString& hint, const QIcon& icon, const QString& text, bool toggle)
{
    auto* button = new QToolButton(toolBar_);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setCheckable(toggle);
    if (icon.isNull()) {
        // Without an icon of the desktop theme the button says what it does.
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        button->setIcon(icon);
    }
    toolBar_->addWidget(button);
    return button;
}

void PlayerWindow::startUp(const store::AppSettings& settings, bool placeFromSettings)
{
    device_.setNotify(true);
    busy_ = false;
    const store::WindowPlace design{275, 125, 368, 428};
    const store::WindowPlace& place = placeFromSettings ? settings.playerForm : design;
    move(place.left, place.top);
    resize(std::max(place.width, kMinimumWidth), std::max(place.height, kMinimumHeight));
    keepOnScreen(*this);
    applyLook(settings);
}

void PlayerWindow::applyLook(const store::AppSettings& settings)
{
    const store::FontSetting& setting = settings.listFont;
    playlistView_->setFont(fontFrom(setting, playlistView_->font()));
    applyStoredColors(*playlistView_, setting.color, settings.listColor, false);
}

void PlayerWindow::drawTransportIcons()
{
    const QPalette& colors = toolBar_->palette();
    rewindButton_->setIcon(transportIcon(Transport::Rewind, colors));
    stopButton_->setIcon(transportIcon(Transport::Stop, colors));
    pauseButton_->setIcon(transportIcon(Transport::Pause, colors));
    playButton_->setIcon(transportIcon(Transport::Play, colors));
}

void PlayerWindow::changeEvent(QEvent* event)
{
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) &&
        playButton_ != nullptr) {
        drawTransportIcons();
    }
    QWidget::changeEvent(event);
}

void PlayerWindow::collectSettings(store::AppSettings& settings) const
{
    settings.playerForm = {x(), y(), width(), height()};
}

// ---------------------------------------------------------------------------
// The playlist.

void PlayerWindow::clearPlaylist()
{
    playlistView_->clear();
    mediaPaths_ = QStringList();
    for (int row = 0; row < kPathRows; ++row) {
        mediaPaths_.append(QString());
    }
}

void PlayerWindow::addEntry(const QString& text, const QString& path, bool playable)
{
    const int row = playlistView_->count();
    if (row >= kPathRows) {
        return;
    }
    auto* item = new QListWidgetItem(text, playlistView_);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (playable) {
        flags |= Qt::ItemIsEnabled;
    }
    item->setFlags(flags);
    item->setCheckState(playable ? Qt::Checked : Qt::Unchecked);
    mediaPaths_[row] = path;
}

void PlayerWindow::showAlbum(const QString& info, const QString& imagePath)
{
    infoLabel_->setText(info);
    const QString file = imagePath.isEmpty() ? QString() : localPath(imagePath);
    if (!showPicture(pictureLabel_, noPictureLabel_, file, kCoverSize)) {
        prompter_.error(QStringLiteral("画像を読み込めませんでした。\r\n%1").arg(imagePath));
    }
}

void PlayerWindow::selectEntry(int index)
{
    if (index < 0 || index >= playlistView_->count()) {
        playlistView_->setCurrentRow(-1);
        playlistView_->clearSelection();
        return;
    }
    playlistView_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

int PlayerWindow::firstCheckedEntry() const
{
    for (int i = 0; i < playlistView_->count(); ++i) {
        if (entryChecked(i)) {
            return i;
        }
    }
    return -1;
}

int PlayerWindow::entryCount() const
{
    return playlistView_->count();
}

int PlayerWindow::selectedEntry() const
{
    QListWidgetItem* item = playlistView_->currentItem();
    return item != nullptr && item->isSelected() ? playlistView_->row(item) : -1;
}

bool PlayerWindow::entryChecked(int index) const
{
    QListWidgetItem* item = playlistView_->item(index);
    return item != nullptr && item->checkState() == Qt::Checked;
}

QString PlayerWindow::entryText(int index) const
{
    QListWidgetItem* item = playlistView_->item(index);
    return item != nullptr ? item->text() : QString();
}

bool PlayerWindow::onCd() const
{
    return device_.deviceType() == media::DeviceType::CDAudio;
}

void PlayerWindow::setBar(std::int64_t maximum, std::int64_t position)
{
    // A range of 0..0 would turn the bar into a busy indicator.
    progressBar_->setRange(0, std::max(1, clampToInt(maximum)));
    progressBar_->setValue(std::min(clampToInt(position), progressBar_->maximum()));
}

void PlayerWindow::playNotifying()
{
    device_.setNotify(true);
    device_.play();
}

// ---------------------------------------------------------------------------
// Commands.

void PlayerWindow::startPlayback()
{
    const int index = selectedEntry();
    if (index < 0 || !entryChecked(index)) {
        // The advance marks itself busy before it asks for a play; a play
        // that does not happen must not leave the timer stopped.
        busy_ = false;
        return;
    }
    busy_ = true;
    auto started = [this, index] {
        playing_ = true;
        current_ = index;
        // A new entry plays: its end is yet to be seen.
        changing_.playingSeen();
        pauseButton_->setChecked(false);
        progressBar_->setEnabled(true);
    };
    if (device_.isOpen() && device_.mode() != media::Mode::Stopped) {
        device_.setWait(true);
        device_.stop();
        letMessagesRun();
    }
    if (device_.isOpen() && onCd()) {
        device_.seek(index + 1);
        playNotifying();
        started();
        letMessagesRun();
        busy_ = false;
        return;
    }
    if (device_.isOpen()) {
        device_.setWait(true);
        device_.stop();
        letMessagesRun();
        device_.close();
    }
    const QString path = mediaPaths_.value(index);
    const std::string local = localMediaPath(path);
    // A CD reference is never a file, whatever lies in the working folder.
    const bool exists =
        !path.isEmpty() && !path.startsWith(QStringLiteral("CD")) && QFileInfo(localPath(path)).isFile();
    if (!exists) {
        // Found missing now: greyed, and playback stops here.
        playlistView_->item(index)->setCheckState(Qt::PartiallyChecked);
        busy_ = false;
        return;
    }
    device_.setDeviceType(media::DeviceType::AutoSelect);
    device_.setFileName(local);
    if (openDevice(device_, prompter_)) {
        playNotifying();
        started();
    }
    busy_ = false;
}

void PlayerWindow::stopPlayback()
{
    if (!device_.isOpen()) {
        return;
    }
    device_.stop();
    playing_ = false;
    pauseButton_->setChecked(false);
}

void PlayerWindow::pausePlayback()
{
    if (!device_.isOpen()) {
        pauseButton_->setChecked(false);
        return;
    }
    if (pauseButton_->isChecked()) {
        device_.pause();
    } else {
        // A resume that fails plays instead, still reporting its end.
        device_.setNotify(true);
        device_.resume();
    }
}

void PlayerWindow::rewindToStart()
{
    if (!device_.isOpen()) {
        return;
    }
    selectEntry(current_);
    startPlayback();
}

void PlayerWindow::clearShownSong()
{
    songLabel_->clear();
    fileNameLabel_->clear();
}

void PlayerWindow::resetProgress(bool disable)
{
    if (disable) {
        progressBar_->setEnabled(false);
    }
    progressBar_->setValue(0);
}

void PlayerWindow::setTimerRunning(bool running)
{
    if (running) {
        infoTimer_->start();
    } else {
        infoTimer_->stop();
    }
}

void PlayerWindow::nameControls()
{
    const std::pair<QObject*, const char*> names[] = {
        {playlistGroup_, "playlistGroup"},   {playlistView_, "playlistView"},
        {bottomPanel_, "bottomPanel"},       {toolBar_, "toolBar"},
        {rewindButton_, "rewindButton"},     {stopButton_, "stopButton"},
        {pauseButton_, "pauseButton"},       {playButton_, "playButton"},
        {randomButton_, "randomButton"},     {repeatButton_, "repeatButton"},
        {progressBar_, "progressBar"},       {infoLabel_, "infoLabel"},
        {songLabel_, "songLabel"},           {fileNameLabel_, "fileNameLabel"},
        {positionLabel_, "positionLabel"},   {pictureLabel_, "pictureLabel"},
        {noPictureLabel_, "noPictureLabel"}, {infoTimer_, "infoTimer"},
    };
    for (const auto& [control, name] : names) {
        control->setObjectName(QString::fromLatin1(name));
    }
}

void PlayerWindow::holdForPreview()
{
    if (isVisible()) {
        pauseButton_->setChecked(true);
        pausePlayback();
    }
}

void PlayerWindow::repeatToggled()
{
    if (repeatButton_->isChecked()) {
        randomButton_->setChecked(false);
    }
}

void PlayerWindow::randomToggled()
{
    if (randomButton_->isChecked()) {
        repeatButton_->setChecked(false);
    }
}

void PlayerWindow::seekFromBar(int x)
{
    if (!device_.isOpen()) {
        return;
    }
    const std::int64_t target = media::barClickValue(progressBar_->maximum(), x, progressBar_->width());
    if (onCd()) {
        // Seconds within the current track; track and frames stay.
        const std::int64_t position = media::cdSeekTarget(device_.position(), target);
        device_.setWait(true);
        playing_ = false;
        device_.stop();
        device_.seek(position);
        letMessagesRun();
    } else {
        device_.seek(target);
    }
    playNotifying();
    playing_ = true;
    pauseButton_->setChecked(false);
}

// ---------------------------------------------------------------------------
// The timer and the advance.

void PlayerWindow::showNextInfo()
{
    if (busy_ || !isVisible()) {
        return;
    }
    if (!device_.isOpen()) {
        progressBar_->setValue(0);
        positionLabel_->clear();
        return;
    }
    if (!playing_) {
        positionLabel_->clear();
        return;
    }
    if (onCd()) {
        cdTick();
    } else {
        fileTick();
    }
}

void PlayerWindow::cdTick()
{
    const std::int64_t position = device_.position();
    const media::Tmsf at = media::unpackTmsf(position);
    const media::Mode mode = device_.mode();
    const int track = at.track;
    if (track - 1 == current_) {
        changing_.playingSeen();
    }
    const bool ordered = randomButton_->isChecked() || repeatButton_->isChecked();
    if (playing_ && track - 1 != current_ && ordered && mode != media::Mode::NotReady &&
        mode != media::Mode::Seeking) {
        // The disc went on to the next track; random or repeat chooses.
        device_.stop();
        changing_.endSeen();
        updatePosition();
        return;
    }
    if (playing_ && track - 1 != current_) {
        // The disc has moved on by itself.
        current_ = track - 1;
        if (current_ >= playlistView_->count()) {
            close();
            return;
        }
        selectEntry(current_);
    }
    if (playing_ && track == device_.tracks() && mode == media::Mode::Stopped && !pauseButton_->isChecked()) {
        // The disc has ended: it starts again from track 1.
        device_.rewind();
        playNotifying();
        updatePosition();
    }
    const std::int64_t length = device_.trackLength(current_ + 1);
    songLabel_->setText(entryText(current_));
    fileNameLabel_->setText(QStringLiteral("AudioCD"));
    setBar(media::msfMinutes(length) * 60 + media::msfSeconds(length), at.minutes * 60 + at.seconds);
    positionLabel_->setText(QString::fromStdString(media::cdPositionText(position, length)));
}

void PlayerWindow::fileTick()
{
    const media::Mode mode = device_.mode();
    if (mode == media::Mode::Playing) {
        changing_.playingSeen();
    }
    if (playing_ && mode == media::Mode::Stopped) {
        // The file has ended.
        changing_.endSeen();
        updatePosition();
        return;
    }
    const std::int64_t position = device_.position();
    const std::int64_t length = device_.length();
    songLabel_->setText(entryText(current_));
    fileNameLabel_->setText(mediaPaths_.value(current_));
    setBar(length, position);
    positionLabel_->setText(QString::fromStdString(media::filePositionText(position, length)));
}

void PlayerWindow::updatePosition()
{
    if (!isVisible() || !device_.isOpen() || !changing_.shouldAdvance()) {
        return;
    }
    changing_.advanced();
    if (device_.mode() != media::Mode::Stopped) {
        device_.setWait(true);
        device_.stop();
        letMessagesRun();
    }
    media::PlayOrder order = media::PlayOrder::Sequential;
    if (repeatButton_->isChecked()) {
        order = media::PlayOrder::Repeat;
    } else if (randomButton_->isChecked()) {
        order = media::PlayOrder::Random;
    } else {
        playing_ = false;
    }
    std::vector<bool> checked;
    for (int i = 0; i < playlistView_->count(); ++i) {
        checked.push_back(entryChecked(i));
    }
    const std::optional<int> next = media::nextEntry(checked, current_, order, randomIndex_);
    if (!next) {
        return;
    }
    selectEntry(*next);
    busy_ = true;
    startPlayback();
}

void PlayerWindow::deviceNotified(int code, const QString& text)
{
    if (code == 0) {
        return;
    }
    prompter_.error(QStringLiteral("%1;%2").arg(code).arg(text));
    updatePosition();
    device_.setNotify(true);
    close();
}

// ---------------------------------------------------------------------------
// Closing.

bool PlayerWindow::closeQuery()
{
    playing_ = false;
    if (device_.isOpen()) {
        releaseDevice(device_);
        device_.setDeviceType(media::DeviceType::AutoSelect);
    }
    return true;
}

void PlayerWindow::closeEvent(QCloseEvent* event)
{
    if (closeQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace velmora::ui
