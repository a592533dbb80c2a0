// The edit dialog's preview player: the media file of the current song on
// the main window's preview device, and the timer that shows its position
// here and in the memo pad.
#include <QFileInfo>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/main/main_window.h"
#include "ui/player/device_ops.h"
#include "ui/player/player_paths.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {

void AlbumEditDialog::buildPreviewPanel()
{
    preview_ = buildPreviewControls(this);
    previewPanel = preview_.panel;
    ejectButton = preview_.eject;
    rewindButton = preview_.rewind;
    stopButton = preview_.stop;
    pauseButton = preview_.pause;
    playButton = preview_.play;
    progressBar = preview_.bar;
    mediaNameLabel = preview_.name;
    mediaPositionLabel = preview_.position;
    previewPanel->hide();
    connect(ejectButton, &QToolButton::clicked, this, &AlbumEditDialog::ejectPreview);
    connect(rewindButton, &QToolButton::clicked, this, &AlbumEditDialog::rewindPlayback);
    connect(stopButton, &QToolButton::clicked, this, &AlbumEditDialog::stopPlayback);
    connect(pauseButton, &QToolButton::clicked, this, &AlbumEditDialog::pausePlayback);
    connect(playButton, &QToolButton::clicked, this, &AlbumEditDialog::startPlayback);
    progressBar->onPress = [this](int x) { seekFromBar(x); };

    positionTimer = new QTimer(this);
    positionTimer->setInterval(200);
    connect(positionTimer, &QTimer::timeout, this, &AlbumEditDialog::updatePosition);
    positionTimer->start();
}

void AlbumEditDialog::ejectPreview()
{
    // The main window's release also clears the memo pad's player.
    main_.releasePreviewDevice();
    clearPreview(preview_);
}

void AlbumEditDialog::startPlayback()
{
    commitGridEdit();
    const int row = currentSongRow();
    const QString path = row >= 1 ? songCell(row, 3) : QString();
    const std::string local = localMediaPath(path);
    if (path.isEmpty() || !QFileInfo(localPath(path)).isFile()) {
        ejectPreview();
        return;
    }
    media::MediaDevice& device = main_.previewDevice();
    // Play after a pause, a stop or a seek goes on from where the file is;
    // another file is opened from its start.
    const bool already =
        device.isOpen() && device.deviceType() == media::DeviceType::AutoSelect && device.fileName() == local;
    if (!already && !openPreviewFile(device, prompter_, preview_, path)) {
        return;
    }
    playPreview(main_, preview_);
}

void AlbumEditDialog::pausePlayback()
{
    pausePreview(main_.previewDevice(), preview_);
}

void AlbumEditDialog::stopPlayback()
{
    stopPreview(main_.previewDevice(), preview_);
}

void AlbumEditDialog::rewindPlayback()
{
    rewindPreview(main_.previewDevice(), preview_);
}

void AlbumEditDialog::seekFromBar(int x)
{
    seekPreview(main_, preview_, x);
}

void AlbumEditDialog::updatePosition()
{
    const media::MediaDevice& device = main_.previewDevice();
    showPreviewPosition(device, preview_);
    if (SongColumnEditor* memo = main_.memoForm()) {
        showPreviewPosition(device, memo->previewControls());
        if (!device.isOpen()) {
            memo->mediaNameLabel->clear();
        }
    }
}

}  // namespace velmora::ui
