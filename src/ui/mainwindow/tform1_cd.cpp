// Audio CD: the drive, registration of a disc's tracks into an album and
// lookup of the album that stands for the disc in the drive.
#include <QAction>
#include <algorithm>

#include "discdata/disc_album_lookup.h"
#include "editing/tmemo_form.h"
#include "mainwindow/album_list_model.h"
#include "mainwindow/list_views.h"
#include "mainwindow/tform1.h"
#include "media/audio_cd.h"
#include "media/device_ops.h"
#include "platform/prompter.h"
#include "platform/text_codec.h"
#include "store/columns.h"

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

std::string TForm1::cdDriveElement()
{
    const std::vector<std::string> drives = media_->cdDrives();
    if (drives.empty()) {
        return {};
    }
    // A stored position past this machine's drives means its last drive, as
    // the options dialog shows it.
    const int index = std::clamp(Settings.cdDrive, 0, static_cast<int>(drives.size()) - 1);
    return drives[static_cast<std::size_t>(index)];
}

void TForm1::releasePreviewDevice()
{
    if (memoForm_ != nullptr) {
        memoForm_->MediaEjectButtonClick();
    } else {
        releaseDevice(*previewDevice_);
    }
}

void TForm1::wireCdCommands()
{
    for (const char* key : {"クイック編集 (&Q)/CDドライブの音楽CDを登録(&C)",
                            "MainPopupMenu/CDドライブの音楽CDを登録(&C)", "EditBtn/音楽CDを登録"}) {
        QAction* action = menuAction(QString::fromUtf8(key));
        Q_ASSERT(action != nullptr);
        connect(action, &QAction::triggered, this, &TForm1::registerDiscToAlbum);
    }
    QAction* lookup = menuAction(QStringLiteral("CDを検索(&E)"));
    Q_ASSERT(lookup != nullptr);
    connect(lookup, &QAction::triggered, this, [this] { findDiscAlbum(false); });
}

bool TForm1::openCdOn(media::MediaDevice& device)
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

bool TForm1::CDDataToListBox(std::vector<std::int64_t>* titleLookup)
{
    releasePreviewDevice();
    media::MediaDevice& device = *playerDevice_;
    if (!openCdOn(device)) {
        return false;
    }
    if (std::optional<std::vector<std::string>> references = media::discReferences(device)) {
        media::registerDisc(EditListBox, *references);
        if (titleLookup == nullptr) {
            prompter_.information(QStringLiteral("読み込み完了しました。"));
        } else if (prompter_.informationWithAction(QStringLiteral("読み込み完了しました。"),
                                                   QStringLiteral("曲名をMusicBrainzから取得"))) {
            *titleLookup = trackFramesOf(device);
        }
    } else {
        prompter_.information(QStringLiteral("読み込めません"));
    }
    device.setDeviceType(media::DeviceType::AutoSelect);
    device.close();
    return true;
}

void TForm1::registerDiscToAlbum()
{
    const int album = selectedAlbum();
    if (album < 1 || album > DataGrid.albumCount()) {
        prompter_.information(QStringLiteral("アルバムを選択してください"));
        return;
    }
    if (!prompter_.confirm(fromCp932(DataGrid.cell(ArtistColumn, album)) + QStringLiteral("/") +
                           fromCp932(DataGrid.cell(AlbumColumn, album)) +
                           QStringLiteral(" にCDを登録しますか？"))) {
        return;
    }
    AlbumDataToListBox();
    if (!CDDataToListBox()) {
        // The drive could not be opened: nothing was read, nothing changes.
        return;
    }
    AlbumChange();
}

int TForm1::findDiscAlbum(bool quiet)
{
    releasePreviewDevice();
    media::MediaDevice& device = *previewDevice_;
    if (!openCdOn(device)) {
        return -2;
    }
    const std::optional<std::vector<std::string>> references = media::discReferences(device);
    if (!references) {
        if (!quiet) {
            prompter_.information(QStringLiteral("読み取れません"));
        }
        device.setDeviceType(media::DeviceType::AutoSelect);
        device.close();
        return -1;
    }
    const int found = media::findDiscAlbum(DataGrid, *references);
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
                AlbumListView->scrollTo(albumModel_->index(row, 0));
                return true;
            }
        }
        return false;
    };
    if (!selectFound()) {
        AllVisibleButtonClick();
        selectFound();
    }
    return found;
}

std::optional<AlbumRecord> TForm1::fetchDiscAlbumData(QWidget* parent,
                                                      const std::vector<std::int64_t>& trackFrames,
                                                      const AlbumRecord& base)
{
    DiscAlbumLookup lookup(parent, prompter_, shell_, Settings, folder_.dir());
    std::optional<discdata::AlbumFill> fill = lookup.run(trackFrames, base);
    if (!fill) {
        return std::nullopt;
    }
    return std::move(fill->record);
}

void TForm1::editFetchedDiscAlbum(const std::vector<std::int64_t>& trackFrames)
{
    AlbumRecord fresh;
    std::optional<AlbumRecord> filled = fetchDiscAlbumData(this, trackFrames, fresh);
    if (!filled) {
        return;
    }
    // A new album: nothing is selected, so the dialog's 追加 appends it and
    // its 変更 cannot overwrite another album. Nothing is stored until then.
    AlbumListView->selectionModel()->clearSelection();
    EditListBox = std::move(*filled);
    if (showEditDialog) {
        showEditDialog();
    }
}

}  // namespace velmora::ui
