// Playback commands of the main window: the album's media files or the CD
// in the player window, a song's file and its folder.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "core/media/playlist.h"
#include "core/store/album_record.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"
#include "ui/main/song_list_model.h"
#include "ui/platform/prompter.h"
#include "ui/platform/shell.h"
#include "ui/platform/text_codec.h"
#include "ui/player/device_ops.h"
#include "ui/player/player_paths.h"
#include "ui/player/player_window.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

namespace {

// Runs a command when the right mouse button is pressed on a widget.
class RightPressFilter : public QObject {
public:
    RightPressFilter(QObject* parent, std::function<void()> command)
        : QObject(parent), command_(std::move(command))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            command_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> command_;
};

bool isLocalFile(const QString& storedPath)
{
    if (storedPath.isEmpty() || storedPath.startsWith(QStringLiteral("CD"))) {
        return false;
    }
    return QFileInfo(localPath(storedPath)).isFile();
}

}  // namespace

void MainWindow::wirePlaybackCommands()
{
    // A right-button press on either play button brings a shown player
    // window to the front.
    auto* toFront = new RightPressFilter(this, [this] {
        if (playerForm_ != nullptr && playerForm_->isVisible()) {
            bringPlayerToFront();
        }
    });
    for (QAction* play : {actions_->playCd, actions_->playMedia}) {
        if (QWidget* button = toolBar_->widgetForAction(play)) {
            button->installEventFilter(toFront);
        }
    }

    connect(songView_, &QAbstractItemView::doubleClicked, this, [this] { playDoubleClickedSong(); });
}

void MainWindow::prepareToolsMenu()
{
    actions_->playerToFront->setEnabled(playerForm_ != nullptr && playerForm_->isVisible());
}

void MainWindow::bringPlayerToFront()
{
    if (playerForm_ == nullptr) {
        return;
    }
    playerForm_->show();
    playerForm_->raise();
    playerForm_->activateWindow();
}

// Asks before a shown player window is filled again; OK closes it (which
// stops and closes the player device). False when the user cancelled.
static bool reopenPlayer(PlayerWindow& player, Prompter& prompter)
{
    if (!player.isVisible()) {
        return true;
    }
    if (!prompter.confirm(QStringLiteral("メディアプレイヤーフォームを開きなおします"))) {
        return false;
    }
    player.close();
    return true;
}

void MainWindow::playAlbumMedia()
{
    if (!albumSelectedOrSay() || playerForm_ == nullptr) {
        return;
    }
    PlayerWindow& player = *playerForm_;
    if (!reopenPlayer(player, prompter_)) {
        return;
    }
    media::MediaDevice& device = *playerDevice_;
    player.clearPlaylist();
    device.setDeviceType(media::DeviceType::AutoSelect);

    const int album = selectedAlbum();
    const store::AlbumTable::RowCells cells = catalogue_.albums().rowCells(album);
    auto cell = [&](int column) { return cells[static_cast<std::size_t>(column)]; };
    const int count = media::mediaSongCount(cells);
    for (int song = 1; song <= count; ++song) {
        const std::string_view path = cell(store::mediaColumn(song));
        const QString stored = fromCp932(path);
        const bool playable = isLocalFile(stored);
        const std::string text = media::mediaEntryText(song, cell(store::songTitleColumn(song)),
                                                       cell(store::songArtistColumn(song)), !path.empty());
        player.addEntry(fromCp932(text), playable ? stored : QString(), playable);
    }

    player.clearShownSong();
    player.showAlbum(
        fromCp932(cell(store::ArtistColumn)) + QLatin1Char('/') + fromCp932(cell(store::AlbumColumn)),
        fromCp932(cell(store::ImagePathColumn)));
    if (device.isOpen()) {
        device.seek(0);
    }
    player.resetProgress(true);
    player.setPlaying(false);

    player.show();
    const int first = player.firstCheckedEntry();
    if (first >= 0) {
        player.selectEntry(first);
        player.startPlayback();
    }
}

void MainWindow::playCd()
{
    if (playerForm_ == nullptr) {
        return;
    }
    PlayerWindow& player = *playerForm_;
    if (!reopenPlayer(player, prompter_)) {
        return;
    }
    const int album = findDiscAlbum(true);
    if (album == -2) {
        // The drive could not be opened; the lookup has said why.
        return;
    }
    if (album < 0) {
        prompter_.information(QStringLiteral("読み取れません"));
        return;
    }
    const bool found = album > 0 && album <= catalogue_.albumCount();
    media::MediaDevice& device = *playerDevice_;
    if (!openCdOn(device)) {
        return;
    }

    store::AlbumTable::RowCells cells{};
    if (found) {
        cells = catalogue_.albums().rowCells(album);
    }
    auto cell = [&](int column) { return cells[static_cast<std::size_t>(column)]; };
    player.clearPlaylist();
    const int tracks = std::min(device.tracks(), store::kSongSlots);
    for (int song = 1; song <= tracks; ++song) {
        const std::string text = media::cdEntryText(song, cell(store::songTitleColumn(song)),
                                                    cell(store::songArtistColumn(song)), found);
        player.addEntry(fromCp932(text), fromCp932(cell(store::mediaColumn(song))), true);
    }
    player.clearShownSong();
    // Without an album the line and the cover are empty: nothing of an
    // earlier album stays beside the disc.
    player.showAlbum(found ? fromCp932(cell(store::ArtistColumn)) + QStringLiteral(" / ") +
                                 fromCp932(cell(store::AlbumColumn))
                           : QString(),
                     found ? fromCp932(cell(store::ImagePathColumn)) : QString());
    // The start of the disc.
    device.rewind();

    player.resetProgress(false);
    player.setPlaying(false);
    player.setChangeCounter(2);
    player.selectEntry(0);
    player.startPlayback();
    player.show();
}

void MainWindow::playDoubleClickedSong()
{
    const int row = selectedSongRow();
    if (row < 0 || playerForm_ == nullptr) {
        return;
    }
    bool anyMedia = false;
    for (int r = 0; r < SongListModel::kItemCount && !anyMedia; ++r) {
        anyMedia = !songModel_->item(r).media.isEmpty();
    }
    if (!anyMedia) {
        return;
    }
    const SongListModel::Item& song = songModel_->item(row);
    const int index = song.caption.toInt() - 1;
    const QString path = song.media;
    PlayerWindow& player = *playerForm_;
    auto loaded = [&] {
        return index >= 0 && player.entryCount() > index && player.entryPath(index) == path;
    };
    if (player.isVisible() && loaded()) {
        player.selectEntry(index);
        player.startPlayback();
        return;
    }
    playAlbumMedia();
    if (loaded()) {
        player.selectEntry(index);
        player.startPlayback();
    }
}

// The selected song's media path; nothing without a song, and after a
// message when the song has none.
std::optional<QString> MainWindow::selectedSongMedia()
{
    const int row = selectedSongRow();
    if (row < 0) {
        return std::nullopt;
    }
    QString path = songModel_->item(row).media;
    if (path.isEmpty()) {
        prompter_.information(QStringLiteral("メディアファイルが登録されていません"));
        return std::nullopt;
    }
    return path;
}

void MainWindow::openSongMediaFile()
{
    const std::optional<QString> path = selectedSongMedia();
    if (!path) {
        return;
    }
    const QString local = localPath(*path);
    if (QFileInfo(local).isFile()) {
        shell_.open(QUrl::fromLocalFile(QFileInfo(local).absoluteFilePath()));
    }
}

void MainWindow::openSongMediaFolder()
{
    const std::optional<QString> path = selectedSongMedia();
    if (!path) {
        return;
    }
    // The folder part: up to and including the last separator.
    const QString local = localPath(*path);
    const qsizetype slash = local.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return;
    }
    const QString folder = local.left(slash + 1);
    if (QFileInfo(folder).isDir()) {
        shell_.open(QUrl::fromLocalFile(QDir(folder).absolutePath()));
    }
}

}  // namespace velmora::ui
