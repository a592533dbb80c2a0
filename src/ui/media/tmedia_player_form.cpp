#include "media/tmedia_player_form.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "mainwindow/list_images.h"
#include "mainwindow/tform1.h"
#include "media/device_ops.h"
#include "media/player_paths.h"
#include "media/player_progress_bar.h"
#include "platform/font_setting.h"
#include "platform/prompter.h"
#include "platform/screen_fit.h"
#include "platform/text_codec.h"
#include "platform/win_color.h"

namespace velmora::ui {

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

TMediaPlayerForm::TMediaPlayerForm(TForm1& main, Prompter& prompter, QWidget* parent)
    : QWidget(parent), main_(main), prompter_(prompter), device_(main.playerDevice())
{
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("メディアプレイヤー"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    buildWindow();

    // Seeded once, when the window is made at the program's start.
    random_.seed(std::random_device{}());
    randomIndex = [this](int count) {
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
            this, [this, code, text] { MediaPlayer1Notify(code, text); }, Qt::QueuedConnection);
    };
    FormCreate();
}

TMediaPlayerForm::~TMediaPlayerForm()
{
    device_.onNotify = nullptr;
}

void TMediaPlayerForm::buildWindow()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    PlaylistGroup = new QGroupBox(QStringLiteral("プレイリスト"), this);
    auto* groupLayout = new QVBoxLayout(PlaylistGroup);
    groupLayout->setContentsMargins(4, 4, 4, 4);
    ListBox1 = new QListWidget(PlaylistGroup);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setUniformItemSizes(true);
    groupLayout->addWidget(ListBox1);
    layout->addWidget(PlaylistGroup, 1);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { PlayButtonClick(); });
    clearPlaylist();

    BottomPanel = new QWidget(this);
    BottomPanel->setFixedHeight(kBottomPanelHeight);
    auto* bottom = new QVBoxLayout(BottomPanel);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(2);
    layout->addWidget(BottomPanel);

    ToolBar1 = new QToolBar(BottomPanel);
    ToolBar1->setIconSize(QSize(20, 20));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QStyle* look = style();
    ZeroReturnButton = addButton(QStringLiteral("頭まで巻き戻す"),
                                 look->standardIcon(QStyle::SP_MediaSkipBackward), {}, false);
    StopButton = addButton(QStringLiteral("停止"), look->standardIcon(QStyle::SP_MediaStop), {}, false);
    PauseButton = addButton(QStringLiteral("一時停止"), look->standardIcon(QStyle::SP_MediaPause), {}, true);
    PlayButton =
        addButton(QStringLiteral("リスト選択曲を再生"), look->standardIcon(QStyle::SP_MediaPlay), {}, false);
    ToolBar1->addSeparator();
    RandomPlayButton =
        addButton(QStringLiteral("ランダム"), QIcon::fromTheme(QStringLiteral("media-playlist-shuffle")),
                  QStringLiteral("ランダム"), true);
    RepeatPlayButton = addButton(QStringLiteral("一曲リピート"),
                                 QIcon::fromTheme(QStringLiteral("media-playlist-repeat-song")),
                                 QStringLiteral("リピート"), true);
    connect(ZeroReturnButton, &QToolButton::clicked, this, [this] { ZeroReturnButtonClick(); });
    connect(StopButton, &QToolButton::clicked, this, [this] { StopButtonClick(); });
    connect(PauseButton, &QToolButton::clicked, this, [this] { PauseButtonClick(); });
    connect(PlayButton, &QToolButton::clicked, this, [this] { PlayButtonClick(); });
    connect(RandomPlayButton, &QToolButton::clicked, this, [this] { RandomPlayButtonClick(); });
    connect(RepeatPlayButton, &QToolButton::clicked, this, [this] { RepeatPlayButtonClick(); });
    bottom->addWidget(ToolBar1);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(6);
    // The cover and "NoImage" share one square.
    auto* cover = new QWidget(BottomPanel);
    cover->setFixedSize(kCoverSize, kCoverSize);
    auto* coverLayout = new QGridLayout(cover);
    coverLayout->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel(cover);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setFixedSize(kCoverSize, kCoverSize);
    NoImageLabel = new QLabel(QStringLiteral("NoImage"), cover);
    NoImageLabel->setAlignment(Qt::AlignCenter);
    QFont bold = NoImageLabel->font();
    bold.setBold(true);
    NoImageLabel->setFont(bold);
    coverLayout->addWidget(Image1, 0, 0);
    coverLayout->addWidget(NoImageLabel, 0, 0);
    Image1->hide();
    middle->addWidget(cover, 0, Qt::AlignTop);

    auto* labels = new QVBoxLayout;
    labels->setSpacing(2);
    InfoLabel = makeLabel(BottomPanel);
    SongLabel = makeLabel(BottomPanel);
    SongLabel->setFont(bold);
    FileNameLabel = makeLabel(BottomPanel);
    PositionLabel = makeLabel(BottomPanel);
    for (QLabel* label : {InfoLabel, SongLabel, FileNameLabel, PositionLabel}) {
        labels->addWidget(label);
    }
    labels->addStretch(1);
    middle->addLayout(labels, 1);
    bottom->addLayout(middle, 1);

    ProgressBar1 = new PlayerProgressBar(BottomPanel);
    ProgressBar1->setToolTip(QStringLiteral("クリックした場所から再生"));
    ProgressBar1->setFixedHeight(16);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->setEnabled(false);
    ProgressBar1->onPress = [this](int x) { ProgressBar1MouseDown(x); };
    bottom->addWidget(ProgressBar1);

    InfoTimer = new QTimer(this);
    InfoTimer->setInterval(200);
    connect(InfoTimer, &QTimer::timeout, this, [this] { InfoTimerTimer(); });
    InfoTimer->start();
}

QToolButton* TMediaPlayerForm::addButton(const QString& hint, const QIcon& icon, const QString& text,
                                         bool toggle)
{
    auto* button = new QToolButton(ToolBar1);
    button->setToolTip(hint);
    button->setCheckable(toggle);
    if (icon.isNull()) {
        // Without an icon of the desktop theme the button says what it does.
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        button->setIcon(icon);
    }
    ToolBar1->addWidget(button);
    return button;
}

void TMediaPlayerForm::FormCreate()
{
    device_.setNotify(true);
    busy_ = false;
    const store::WindowPlace design{275, 125, 368, 428};
    const store::WindowPlace& place = main_.settingsFileRead() ? main_.Settings.playerForm : design;
    move(place.left, place.top);
    resize(std::max(place.width, kMinimumWidth), std::max(place.height, kMinimumHeight));
    keepOnScreen(*this);
    applyLook();
}

void TMediaPlayerForm::applyLook()
{
    const store::FontSetting& setting = main_.Settings.listFont;
    ListBox1->setFont(fontFrom(setting, ListBox1->font()));
    QPalette palette = ListBox1->palette();
    const QColor text = colorFromStored(setting.color, palette);
    const QColor background = colorFromStored(main_.Settings.listColor, palette);
    // Disabled entries keep the palette's grey text.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, text);
    }
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
    }
    ListBox1->setPalette(palette);
}

void TMediaPlayerForm::collectSettings(store::AppSettings& settings) const
{
    settings.playerForm = {x(), y(), width(), height()};
}

// ---------------------------------------------------------------------------
// The playlist.

void TMediaPlayerForm::clearPlaylist()
{
    ListBox1->clear();
    MediaDataGrid = QStringList();
    for (int row = 0; row < kPathRows; ++row) {
        MediaDataGrid.append(QString());
    }
}

void TMediaPlayerForm::addEntry(const QString& text, const QString& path, bool playable)
{
    const int row = ListBox1->count();
    if (row >= kPathRows) {
        return;
    }
    auto* item = new QListWidgetItem(text, ListBox1);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (playable) {
        flags |= Qt::ItemIsEnabled;
    }
    item->setFlags(flags);
    item->setCheckState(playable ? Qt::Checked : Qt::Unchecked);
    MediaDataGrid[row] = path;
}

void TMediaPlayerForm::showAlbum(const QString& info, const QString& imagePath)
{
    InfoLabel->setText(info);
    const QString file = imagePath.isEmpty() ? QString() : localPath(imagePath);
    if (!showPicture(Image1, NoImageLabel, file, kCoverSize)) {
        prompter_.error(QStringLiteral("画像を読み込めませんでした。\r\n%1").arg(imagePath));
    }
}

void TMediaPlayerForm::selectEntry(int index)
{
    if (index < 0 || index >= ListBox1->count()) {
        ListBox1->setCurrentRow(-1);
        ListBox1->clearSelection();
        return;
    }
    ListBox1->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

int TMediaPlayerForm::firstCheckedEntry() const
{
    for (int i = 0; i < ListBox1->count(); ++i) {
        if (entryChecked(i)) {
            return i;
        }
    }
    return -1;
}

int TMediaPlayerForm::entryCount() const
{
    return ListBox1->count();
}

int TMediaPlayerForm::selectedEntry() const
{
    QListWidgetItem* item = ListBox1->currentItem();
    return item != nullptr && item->isSelected() ? ListBox1->row(item) : -1;
}

bool TMediaPlayerForm::entryChecked(int index) const
{
    QListWidgetItem* item = ListBox1->item(index);
    return item != nullptr && item->checkState() == Qt::Checked;
}

QString TMediaPlayerForm::entryText(int index) const
{
    QListWidgetItem* item = ListBox1->item(index);
    return item != nullptr ? item->text() : QString();
}

bool TMediaPlayerForm::onCd() const
{
    return device_.deviceType() == media::DeviceType::CDAudio;
}

void TMediaPlayerForm::setBar(std::int64_t maximum, std::int64_t position)
{
    // A range of 0..0 would turn the bar into a busy indicator.
    ProgressBar1->setRange(0, std::max(1, clampToInt(maximum)));
    ProgressBar1->setValue(std::min(clampToInt(position), ProgressBar1->maximum()));
}

void TMediaPlayerForm::playNotifying()
{
    device_.setNotify(true);
    device_.play();
}

// ---------------------------------------------------------------------------
// Commands.

void TMediaPlayerForm::PlayButtonClick()
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
        PauseButton->setChecked(false);
        ProgressBar1->setEnabled(true);
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
    const QString path = MediaDataGrid.value(index);
    const std::string local = localMediaPath(path);
    // A CD reference is never a file, whatever lies in the working folder.
    const bool exists =
        !path.isEmpty() && !path.startsWith(QStringLiteral("CD")) && QFileInfo(localPath(path)).isFile();
    if (!exists) {
        // Found missing now: greyed, and playback stops here.
        ListBox1->item(index)->setCheckState(Qt::PartiallyChecked);
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

void TMediaPlayerForm::StopButtonClick()
{
    if (!device_.isOpen()) {
        return;
    }
    device_.stop();
    playing_ = false;
    PauseButton->setChecked(false);
}

void TMediaPlayerForm::PauseButtonClick()
{
    if (!device_.isOpen()) {
        PauseButton->setChecked(false);
        return;
    }
    if (PauseButton->isChecked()) {
        device_.pause();
    } else {
        // A resume that fails plays instead, still reporting its end.
        device_.setNotify(true);
        device_.resume();
    }
}

void TMediaPlayerForm::ZeroReturnButtonClick()
{
    if (!device_.isOpen()) {
        return;
    }
    selectEntry(current_);
    PlayButtonClick();
}

void TMediaPlayerForm::RepeatPlayButtonClick()
{
    if (RepeatPlayButton->isChecked()) {
        RandomPlayButton->setChecked(false);
    }
}

void TMediaPlayerForm::RandomPlayButtonClick()
{
    if (RandomPlayButton->isChecked()) {
        RepeatPlayButton->setChecked(false);
    }
}

void TMediaPlayerForm::ProgressBar1MouseDown(int x)
{
    if (!device_.isOpen()) {
        return;
    }
    const std::int64_t target = media::barClickValue(ProgressBar1->maximum(), x, ProgressBar1->width());
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
    PauseButton->setChecked(false);
}

// ---------------------------------------------------------------------------
// The timer and the advance.

void TMediaPlayerForm::InfoTimerTimer()
{
    if (busy_ || !isVisible()) {
        return;
    }
    if (!device_.isOpen()) {
        ProgressBar1->setValue(0);
        PositionLabel->clear();
        return;
    }
    if (!playing_) {
        PositionLabel->clear();
        return;
    }
    if (onCd()) {
        cdTick();
    } else {
        fileTick();
    }
}

void TMediaPlayerForm::cdTick()
{
    const std::int64_t position = device_.position();
    const media::Tmsf at = media::unpackTmsf(position);
    const media::Mode mode = device_.mode();
    const int track = at.track;
    if (track - 1 == current_) {
        changing_.playingSeen();
    }
    const bool ordered = RandomPlayButton->isChecked() || RepeatPlayButton->isChecked();
    if (playing_ && track - 1 != current_ && ordered && mode != media::Mode::NotReady &&
        mode != media::Mode::Seeking) {
        // The disc went on to the next track; random or repeat chooses.
        device_.stop();
        changing_.endSeen();
        Timer1Timer();
        return;
    }
    if (playing_ && track - 1 != current_) {
        // The disc has moved on by itself.
        current_ = track - 1;
        if (current_ >= ListBox1->count()) {
            close();
            return;
        }
        selectEntry(current_);
    }
    if (playing_ && track == device_.tracks() && mode == media::Mode::Stopped && !PauseButton->isChecked()) {
        // The disc has ended: it starts again from track 1.
        device_.rewind();
        playNotifying();
        Timer1Timer();
    }
    const std::int64_t length = device_.trackLength(current_ + 1);
    SongLabel->setText(entryText(current_));
    FileNameLabel->setText(QStringLiteral("AudioCD"));
    setBar(media::msfMinutes(length) * 60 + media::msfSeconds(length), at.minutes * 60 + at.seconds);
    PositionLabel->setText(QString::fromStdString(media::cdPositionText(position, length)));
}

void TMediaPlayerForm::fileTick()
{
    const media::Mode mode = device_.mode();
    if (mode == media::Mode::Playing) {
        changing_.playingSeen();
    }
    if (playing_ && mode == media::Mode::Stopped) {
        // The file has ended.
        changing_.endSeen();
        Timer1Timer();
        return;
    }
    const std::int64_t position = device_.position();
    const std::int64_t length = device_.length();
    SongLabel->setText(entryText(current_));
    FileNameLabel->setText(MediaDataGrid.value(current_));
    setBar(length, position);
    PositionLabel->setText(QString::fromStdString(media::filePositionText(position, length)));
}

void TMediaPlayerForm::Timer1Timer()
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
    if (RepeatPlayButton->isChecked()) {
        order = media::PlayOrder::Repeat;
    } else if (RandomPlayButton->isChecked()) {
        order = media::PlayOrder::Random;
    } else {
        playing_ = false;
    }
    std::vector<bool> checked;
    for (int i = 0; i < ListBox1->count(); ++i) {
        checked.push_back(entryChecked(i));
    }
    const std::optional<int> next = media::nextEntry(checked, current_, order, randomIndex);
    if (!next) {
        return;
    }
    selectEntry(*next);
    busy_ = true;
    PlayButtonClick();
}

void TMediaPlayerForm::MediaPlayer1Notify(int code, const QString& text)
{
    if (code == 0) {
        return;
    }
    prompter_.error(QStringLiteral("%1;%2").arg(code).arg(text));
    Timer1Timer();
    device_.setNotify(true);
    close();
}

// ---------------------------------------------------------------------------
// Closing.

bool TMediaPlayerForm::FormCloseQuery()
{
    playing_ = false;
    if (device_.isOpen()) {
        releaseDevice(device_);
        device_.setDeviceType(media::DeviceType::AutoSelect);
    }
    return true;
}

void TMediaPlayerForm::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace velmora::ui
