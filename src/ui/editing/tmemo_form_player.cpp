// The memo pad's preview player: the file of the caret's line or of the
// browser, on the main window's preview device.
#include <QFileInfo>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "editing/tmemo_form.h"
#include "mainwindow/tform1.h"
#include "media/device_ops.h"
#include "media/player_paths.h"
#include "media/player_progress_bar.h"
#include "platform/prompter.h"

namespace velmora::ui {

void TMemoForm::buildPlayer()
{
    preview_ = buildPreviewControls(this);
    MediaPlayPanel = preview_.panel;
    MediaEjectButton = preview_.eject;
    RewindButton = preview_.rewind;
    StopButton = preview_.stop;
    PauseButton = preview_.pause;
    PlayButton = preview_.play;
    ProgressBar1 = preview_.bar;
    MediaNameLabel = preview_.name;
    MediaPositionLabel = preview_.position;
    connect(MediaEjectButton, &QToolButton::clicked, this, &TMemoForm::MediaEjectButtonClick);
    connect(RewindButton, &QToolButton::clicked, this, &TMemoForm::RewindButtonClick);
    connect(StopButton, &QToolButton::clicked, this, &TMemoForm::StopButtonClick);
    connect(PauseButton, &QToolButton::clicked, this, &TMemoForm::PauseButtonClick);
    connect(PlayButton, &QToolButton::clicked, this, &TMemoForm::PlayButtonClick);
    ProgressBar1->onPress = [this](int x) { ProgressBar1MouseDown(x); };
}

void TMemoForm::showMediaTools(bool show)
{
    if (show) {
        ensureBrowser();
    }
    FileSelectPanel->setVisible(show);
    MemoToPlayPanelToolBar->setVisible(show);
    MediaPlayPanel->setVisible(show);
}

void TMemoForm::playFile(const QString& path)
{
    MediaEjectButtonClick();
    media::MediaDevice& device = main_.MediaPlayer1();
    if (!openPreviewFile(device, prompter_, preview_, path)) {
        MediaNameLabel->clear();
        return;
    }
    PlayButtonClick();
    MediaNameLabel->setText(path);
}

void TMemoForm::MediaListBoxPlayButtonClick()
{
    const QString line = caretLineText();
    if (line.isEmpty() || !QFileInfo(localPath(line)).isFile()) {
        prompter_.information(QStringLiteral("ファイルが存在しません"));
        return;
    }
    playFile(line);
}

void TMemoForm::MediaListBoxOpenButtonClick()
{
    const QString line = caretLineText();
    if (line.isEmpty() || !QFileInfo(localPath(line)).isFile()) {
        prompter_.information(QStringLiteral("ファイルが存在しません"));
        return;
    }
    openExternally(localPath(line));
}

void TMemoForm::MediaEjectButtonClick()
{
    releaseDevice(main_.MediaPlayer1());
    clearPreview(preview_);
}

void TMemoForm::RewindButtonClick()
{
    rewindPreview(main_.MediaPlayer1(), preview_);
}

void TMemoForm::StopButtonClick()
{
    stopPreview(main_.MediaPlayer1(), preview_);
}

void TMemoForm::PauseButtonClick()
{
    pausePreview(main_.MediaPlayer1(), preview_);
}

void TMemoForm::PlayButtonClick()
{
    playPreview(main_, preview_);
}

void TMemoForm::ProgressBar1MouseDown(int x)
{
    seekPreview(main_, preview_, x);
}

}  // namespace velmora::ui
