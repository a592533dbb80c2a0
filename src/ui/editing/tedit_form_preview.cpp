// The edit dialog's preview player: the media file of the current song on
// the main window's preview device, and the timer that shows its position
// here and in the memo pad.
#include <QFileInfo>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "editing/tedit_form.h"
#include "editing/tmemo_form.h"
#include "mainwindow/tform1.h"
#include "media/device_ops.h"
#include "media/player_paths.h"
#include "media/player_progress_bar.h"

namespace velmora::ui {

void TEditForm::buildPreviewPanel()
{
    preview_ = buildPreviewControls(this);
    MediaPanel = preview_.panel;
    EjectButton = preview_.eject;
    RewindButton = preview_.rewind;
    StopButton = preview_.stop;
    PauseButton = preview_.pause;
    PlayButton = preview_.play;
    ProgressBar1 = preview_.bar;
    MediaNameLabel = preview_.name;
    MediaPositionLabel = preview_.position;
    MediaPanel->hide();
    connect(EjectButton, &QToolButton::clicked, this, &TEditForm::EjectButtonClick);
    connect(RewindButton, &QToolButton::clicked, this, &TEditForm::RewindButtonClick);
    connect(StopButton, &QToolButton::clicked, this, &TEditForm::StopButtonClick);
    connect(PauseButton, &QToolButton::clicked, this, &TEditForm::PauseButtonClick);
    connect(PlayButton, &QToolButton::clicked, this, &TEditForm::PlayButtonClick);
    ProgressBar1->onPress = [this](int x) { ProgressBar1MouseDown(x); };

    Timer1 = new QTimer(this);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &TEditForm::Timer1Timer);
    Timer1->start();
}

void TEditForm::EjectButtonClick()
{
    // The main window's release also clears the memo pad's player.
    main_.releasePreviewDevice();
    clearPreview(preview_);
}

void TEditForm::PlayButtonClick()
{
    commitGridEdit();
    const int row = currentSongRow();
    const QString path = row >= 1 ? songCell(row, 3) : QString();
    const std::string local = localMediaPath(path);
    if (path.isEmpty() || !QFileInfo(localPath(path)).isFile()) {
        EjectButtonClick();
        return;
    }
    media::MediaDevice& device = main_.MediaPlayer1();
    // Play after a pause, a stop or a seek goes on from where the file is;
    // another file is opened from its start.
    const bool already =
        device.isOpen() && device.deviceType() == media::DeviceType::AutoSelect && device.fileName() == local;
    if (!already && !openPreviewFile(device, prompter_, preview_, path)) {
        return;
    }
    playPreview(main_, preview_);
}

void TEditForm::PauseButtonClick()
{
    pausePreview(main_.MediaPlayer1(), preview_);
}

void TEditForm::StopButtonClick()
{
    stopPreview(main_.MediaPlayer1(), preview_);
}

void TEditForm::RewindButtonClick()
{
    rewindPreview(main_.MediaPlayer1(), preview_);
}

void TEditForm::ProgressBar1MouseDown(int x)
{
    seekPreview(main_, preview_, x);
}

void TEditForm::Timer1Timer()
{
    const media::MediaDevice& device = main_.MediaPlayer1();
    showPreviewPosition(device, preview_);
    if (TMemoForm* memo = main_.memoForm()) {
        showPreviewPosition(device, memo->previewControls());
        if (!device.isOpen()) {
            memo->MediaNameLabel->clear();
        }
    }
}

}  // namespace velmora::ui
