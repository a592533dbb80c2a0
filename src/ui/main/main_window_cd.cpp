// Audio CD: the drive, registration of a disc's tracks into an album and
// lookup of the album that stands for the disc in the drive.
#include <QAction>
#include <algorithm>

#include "core/media/audio_cd.h"
#include "core/media/media_path.h"
#include "core/store/columns.h"
#include "ui/discdata/disc_album_lookup.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/player/device_ops.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

using namespace store;

namespace {

// The disc's track lengths in frames, as the device reports them.
std::vector<std::int64_t> trackFramesOf(const media::MediaDevice& device)
{
    std::vector<std::int64_t> frames;
    for (int track = 1; track <= device.tracks(); ++track) {
        const std::int64_t packed = device.trackLength(track);
        frames.push_back((media::msfMinutes(packed) * 60 + media::msfSeconds(packed)) *
                             media::FramesPerSecond +
                         media::msfFrames(packed));
    }
    return frames;
}

}  // namespace

std::string MainWindow::cdDriveElement()
{
    const std::vector<std::string> drives = media_->cdDrives();
    if (drives.empty()) {
        return {};
    }
    // A stored position past this machine's drives means its last drive, as
    // the options dialog shows it.
    const int index = std::clamp(appSettings.cdDrive, 0, static_cast<int>(drives.size()) - 1);
    return drives[static_cast<std::size_t>(index)];
}

void MainWindow::releasePreviewDevice()
{
    if (memoForm_ != nullptr) {
        memoForm_->ejectPreview();
    } else {
        releaseDevice(*previewDevice_);
    }
}

bool MainWindow::openCdOn(media::MediaDevice& device)
{
    const std::string drive = cdDriveElement();
    if (drive.empty()) {
        prompter_.error(
            QStringLiteral("CDドライブが見つかりません。\n"
                           "CDドライブかディスクイメージを、オプションの「CDドライブ」で選んでください。"));
        return false;
    }
    device.setDeviceType(media::DeviceType::CDAudio);
    device.setFileName(drive);
    if (!openDevice(device, prompter_)) {
        device.setDeviceType(media::DeviceType::AutoSelect);
        return false;
    }
    return true;
}

bool MainWindow::readDiscIntoEditedAlbum(std::vector<std::int64_t>* titleLookup)
{
    releasePreviewDevice();
    media::MediaDevice& device = *playerDevice_;
    if (!openCdOn(device)) {
        return false;
    }
    if (std::optional<std::vector<std::string>> references = media::discReferences(device)) {
        media::registerDisc(editedAlbum, *references);
        if (titleLookup == nullptr) {
            prompter_.information(QStringLiteral("読み込み完了しました。"));
        } else if (prompter_.informationWithAction(QStringLiteral("読み込み完了しました。"),
                                                   QStringLiteral("曲名をMusicBrainzから取得"))) {
            *titleLookup = trackFramesOf(device);
        }
    } else {
        prompter_.information(unreadableDiscText(device.fileName(), QStringLiteral("読み込めません")));
    }
    device.setDeviceType(media::DeviceType::AutoSelect);
    device.close();
    return true;
}

void MainWindow::registerDiscToAlbum()
{
    const int album = selectedAlbum();
    if (album < 1 || album > catalogue_.albumCount()) {
        prompter_.information(QStringLiteral("アルバムを選択してください"));
        return;
    }
    if (!prompter_.confirm(fromCp932(catalogue_.albums().cell(ArtistColumn, album)) + QStringLiteral("/") +
                           fromCp932(catalogue_.albums().cell(AlbumColumn, album)) +
                           QStringLiteral(" にCDを登録しますか？"))) {
        return;
    }
    loadEditedAlbum();
    if (!readDiscIntoEditedAlbum()) {
        // The drive could not be opened: nothing was read, nothing changes.
        return;
    }
    catalogue_.nameNextStep("CDの登録");
    changeSelectedAlbum();
    catalogue_.nameNextStep({});
}

int MainWindow::findDiscAlbum(bool quiet)
{
    releasePreviewDevice();
    media::MediaDevice& device = *previewDevice_;
    if (!openCdOn(device)) {
        return -2;
    }
    const std::optional<std::vector<std::string>> references = media::discReferences(device);
    if (!references) {
        if (!quiet) {
            prompter_.information(unreadableDiscText(device.fileName(), QStringLiteral("読み取れません")));
        }
        device.setDeviceType(media::DeviceType::AutoSelect);
        device.close();
        return -1;
    }
    const int found = media::findDiscAlbum(catalogue_.albums(), *references);
    const std::vector<std::int64_t> frames = trackFramesOf(device);
    device.setDeviceType(media::DeviceType::AutoSelect);
    device.setWait(true);
    device.close();
    if (!quiet && found == 0) {
        if (prompter_.informationWithAction(QStringLiteral("未登録です"),
                                            QStringLiteral("MusicBrainzで調べる"))) {
            editFetchedDiscAlbum(frames);
        }
        return 0;
    }
    auto selectFound = [this, found] {
        for (int row = 0; row < albumModel_->rowCount(); ++row) {
            if (albumModel_->entry(row).album == found) {
                selectListRow(row, true);
                albumView_->scrollTo(albumModel_->index(row, 0));
                return true;
            }
        }
        return false;
    };
    if (!selectFound()) {
        showAllAlbums();
        selectFound();
    }
    return found;
}

std::optional<AlbumRecord> MainWindow::fetchDiscAlbumData(QWidget* parent,
                                                          const std::vector<std::int64_t>& trackFrames,
                                                          const AlbumRecord& base)
{
    DiscAlbumLookup lookup(parent, prompter_, shell_, appSettings, folder_.dir());
    const readings::ChosenReadings chosenReadings(catalogue_.albums());
    std::optional<discdata::AlbumFill> fill =
        lookup.run(cdDriveElement(), trackFrames, base, &chosenReadings);
    if (!fill) {
        return std::nullopt;
    }
    return std::move(fill->record);
}

void MainWindow::removeUnstoredCover()
{
    const std::string cover = std::exchange(fetchedCover_, std::string());
    if (cover.empty()) {
        return;
    }
    // Only a picture the lookup wrote into covers/ goes, and only while no
    // album names it.
    const std::filesystem::path file = media::fileSystemPath(cover);
    std::error_code ec;
    if (file.parent_path() != folder_.dir() / "covers" || !std::filesystem::is_regular_file(file, ec)) {
        return;
    }
    for (int album = 1; album <= catalogue_.albumCount(); ++album) {
        if (catalogue_.albums().cell(ImagePathColumn, album) == cover) {
            return;
        }
    }
    std::filesystem::remove(file, ec);
}

void MainWindow::editFetchedDiscAlbum(const std::vector<std::int64_t>& trackFrames)
{
    AlbumRecord fresh;
    std::optional<AlbumRecord> filled = fetchDiscAlbumData(this, trackFrames, fresh);
    if (!filled) {
        return;
    }
    // A new album: nothing is selected, so the dialog's 追加 appends it and
    // its 変更 cannot overwrite another album. Nothing is stored until then.
    albumView_->selectionModel()->clearSelection();
    editedAlbum = std::move(*filled);
    fetchedCover_ = editedAlbum[ImagePathColumn];
    if (showEditDialog) {
        showEditDialog();
        editForm_->setUnstoredAlbum(true);
    }
}

}  // namespace velmora::ui
