// The memo pad's preview player: the file of the caret's line or of the
// browser, on the main window's preview device.
#include <QFileInfo>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "ui/editing/song_column_editor.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/player/device_ops.h"
#include "ui/player/player_paths.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {

void SongColumnEditor::buildPlayer()
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
    connect(ejectButton, &QToolButton::clicked, this, &SongColumnEditor::ejectPreview);
    connect(rewindButton, &QToolButton::clicked, this, &SongColumnEditor::rewindPlayback);
    connect(stopButton, &QToolButton::clicked, this, &SongColumnEditor::stopPlayback);
    connect(pauseButton, &QToolButton::clicked, this, &SongColumnEditor::pausePlayback);
    connect(playButton, &QToolButton::clicked, this, &SongColumnEditor::startPlayback);
    progressBar->onPress = [this](int x) { seekFromBar(x); };
}

void SongColumnEditor::showMediaTools(bool show)
{
    if (show) {
        ensureBrowser();
    }
    filePanel->setVisible(show);
    previewToolBar->setVisible(show);
    previewPanel->setVisible(show);
}

void SongColumnEditor::playFile(const QString& path)
{
    ejectPreview();
    media::MediaDevice& device = main_.previewDevice();
    if (!openPreviewFile(device, prompter_, preview_, path)) {
        mediaNameLabel->clear();
        return;
    }
    startPlayback();
    mediaNameLabel->setText(path);
}

void SongColumnEditor::playCursorLineMedia()
{
    const QString line = caretLineText();
    if (line.isEmpty() || !QFileInfo(localPath(line)).isFile()) {
        prompter_.information(QStringLiteral("ファイルが存在しません"));
        return;
    }
    playFile(line);
}

void SongColumnEditor::openCursorLineMedia()
{
    const QString line = caretLineText();
    if (line.isEmpty() || !QFileInfo(localPath(line)).isFile()) {
        prompter_.information(QStringLiteral("ファイルが存在しません"));
        return;
    }
    openExternally(localPath(line));
}

void SongColumnEditor::ejectPreview()
{
    releaseDevice(main_.previewDevice());
    clearPreview(preview_);
}

void SongColumnEditor::rewindPlayback()
{
    rewindPreview(main_.previewDevice(), preview_);
}

void SongColumnEditor::stopPlayback()
{
    stopPreview(main_.previewDevice(), preview_);
}

void SongColumnEditor::pausePlayback()
{
    pausePreview(main_.previewDevice(), preview_);
}

void SongColumnEditor::startPlayback()
{
    playPreview(main_, preview_);
}

void SongColumnEditor::seekFromBar(int x)
{
    seekPreview(main_, preview_, x);
}

}  // namespace velmora::ui
