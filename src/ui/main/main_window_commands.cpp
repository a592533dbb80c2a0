// Album commands of the main window: new, edit, change, add, duplicate,
// delete, picture registration and the quick edits of one song field.
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>

#include "core/store/columns.h"
#include "core/text/cp932.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

using namespace velmora::store;

void MainWindow::wireAlbumCommands()
{
    albumView_->installEventFilter(this);
    songView_->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Keys of the lists: Delete deletes the selected albums; Ctrl+C (Ctrl
    // alone) copies the album details, or the song's in the song list.
    if ((watched == albumView_ || watched == songView_) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (watched == albumView_ && key->key() == Qt::Key_Delete && mods == Qt::NoModifier) {
            deleteSelectedAlbums();
            return true;
        }
        if (key->key() == Qt::Key_C && mods == Qt::ControlModifier) {
            if (watched == albumView_) {
                copyAlbumDetails();
            } else {
                copySongDetails();
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

std::optional<std::string> MainWindow::cellText(int column, const QString& field, const QString& text)
{
    QString problem;
    std::optional<std::string> bytes = toCp932(text, &problem);
    if (bytes) {
        switch (checkCell(column, *bytes)) {
            case CellProblem::None:
                return bytes;
            case CellProblem::Separator:
                problem = QStringLiteral("「<>」は保存できない文字列です。");
                break;
            case CellProblem::LineBreak:
                problem = QStringLiteral("改行は入力できません。");
                break;
            case CellProblem::LoneLeadByte:
                problem = QStringLiteral("文字の途中で終わっています。");
                break;
        }
    }
    prompter_.information(QStringLiteral("%1: %2").arg(field, problem));
    return std::nullopt;
}

bool MainWindow::albumSelectedOrSay()
{
    if (selectedAlbum() != 0) {
        return true;
    }
    prompter_.information(QStringLiteral("アルバムを選択してください"));
    return false;
}

void MainWindow::loadEditedAlbum()
{
    const int album = selectedAlbum();
    editedAlbum = album >= 1 && album <= albumTable.albumCount() ? albumTable.record(album) : AlbumRecord{};
}

void MainWindow::storeEditedAlbum()
{
    const int album = selectedAlbum();
    if (album < 1 || album > albumTable.albumCount()) {
        return;
    }
    editedAlbum.applyFuriganaDefault();
    albumTable.setRecord(album, editedAlbum);
}

void MainWindow::refreshSelectedItem()
{
    for (AlbumListModel::Entry& entry : albumModel_->mutableEntries()) {
        entry.image = NoListImage;
        entry.searchSong = 0;
        if (entry.album < 1 || entry.album > albumTable.albumCount()) {
            continue;
        }
        AlbumTable::RowCells cells = albumTable.rowCells(entry.album);
        // The last media cell in song order decides the icon here.
        for (int slot = 1; slot <= kSongSlots; ++slot) {
            std::string_view media = cells[static_cast<std::size_t>(mediaColumn(slot))];
            if (!media.empty()) {
                entry.image = mediaKind(media) == MediaKind::CdTrack ? CdImage : MediaFileImage;
            }
        }
    }
    albumModel_->refreshTexts();
}

void MainWindow::newAlbumAfterSelection()
{
    const std::vector<int> selected = selectedListRows();
    const int selectedNumber = selected.empty() ? 0 : albumModel_->entry(selected.front()).album;
    int number = albumTable.rowCount();
    if (selectedNumber >= 1 && selectedNumber < albumTable.rowCount() - 1) {
        number = selectedNumber + 1;
    }
    int position = albumModel_->rowCount();
    if (!selected.empty() && selected.front() < albumModel_->rowCount() - 1) {
        position = selected.front() + 1;
    }
    albumTable.insertRow(number);
    for (AlbumListModel::Entry& entry : albumModel_->mutableEntries()) {
        if (entry.album >= number) {
            ++entry.album;
        }
    }
    albumModel_->refreshTexts();
    if (pageStack_->currentIndex() != 0) {
        pageStack_->setCurrentIndex(0);
    }
    editedAlbum = AlbumRecord{};
    albumModel_->insertEntry(position, {number, NoListImage, 0});
    albumView_->selectionModel()->clear();
    selectListRow(position, true);
    albumView_->scrollTo(albumModel_->index(position, 0));
}

void MainWindow::changeSelectedAlbum()
{
    const int album = selectedAlbum();
    if (album < 1 || album > albumTable.albumCount()) {
        prompter_.information(QStringLiteral("アルバムが選択されていません"));
        return;
    }
    const std::string oldReading(albumTable.cell(FuriganaColumn, album));
    storeEditedAlbum();
    refreshSelectedItem();
    std::vector<int> rows = selectedListRows();
    if (!rows.empty()) {
        showAlbumOfRow(rows.front(), true);
    }
    prompter_.information(fromCp932(albumTable.cell(ArtistColumn, album)) + QStringLiteral(" / ") +
                          fromCp932(albumTable.cell(AlbumColumn, album)) +
                          QStringLiteral(" の情報を変更しました"));
    furiganaPropagation(oldReading);
}

void MainWindow::addEditedAlbum()
{
    AlbumRecord copy = editedAlbum;
    newAlbumAfterSelection();
    editedAlbum = std::move(copy);
    const int album = selectedAlbum();
    const std::string oldReading(albumTable.cell(FuriganaColumn, album));
    storeEditedAlbum();
    refreshSelectedItem();
    std::vector<int> rows = selectedListRows();
    if (!rows.empty()) {
        showAlbumOfRow(rows.front(), true);
    }
    prompter_.information(fromCp932(editedAlbum[ArtistColumn]) + QStringLiteral(" / ") +
                          fromCp932(editedAlbum[AlbumColumn]) + QStringLiteral("を追加しました"));
    furiganaPropagation(oldReading);
}

void MainWindow::furiganaPropagation(const std::string& oldReading)
{
    const std::string& artist = editedAlbum[ArtistColumn];
    const std::string& reading = editedAlbum[FuriganaColumn];
    if (oldReading == reading) {
        return;
    }
    std::vector<int> sameArtist;
    bool differs = false;
    for (int row = 1; row <= albumTable.albumCount(); ++row) {
        AlbumTable::RowCells cells = albumTable.rowCells(row);
        if (cells[ArtistColumn] == artist) {
            sameArtist.push_back(row);
            differs = differs || cells[FuriganaColumn] != reading;
        }
    }
    if (!differs) {
        return;
    }
    if (!prompter_.confirm(QStringLiteral("他の”") + fromCp932(artist) +
                           QStringLiteral("” のアルバムもフリガナを”") + fromCp932(reading) +
                           QStringLiteral("” にしますか？"))) {
        return;
    }
    for (int row : sameArtist) {
        albumTable.setCell(FuriganaColumn, row, reading);
    }
    refreshSelectedItem();
}

void MainWindow::editSelectedAlbum()
{
    if (!albumSelectedOrSay()) {
        return;
    }
    loadEditedAlbum();
    if (showEditDialog) {
        showEditDialog();
    }
}

void MainWindow::createNewAlbum()
{
    newAlbumAfterSelection();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    editSelectedAlbum();
}

void MainWindow::deleteSelectedAlbums()
{
    std::vector<int> selected = selectedListRows();
    if (selected.empty()) {
        prompter_.information(QStringLiteral("アルバムを選択してください"));
        return;
    }
    QString question;
    int count = 0;
    for (int row : selected) {
        if (++count <= 10) {
            question += albumModel_->text(row, 1) + QStringLiteral("　/　") + albumModel_->text(row, 2) +
                        QStringLiteral("\r\n");
        }
    }
    if (count > 10) {
        question += QStringLiteral("他合計%1枚").arg(count);
    }
    question += QStringLiteral("を削除しますか？");
    if (!prompter_.confirm(question)) {
        return;
    }
    std::vector<int> removed;
    for (int row : selected) {
        int album = albumModel_->entry(row).album;
        if (album >= 1 && album <= albumTable.albumCount()) {
            removed.push_back(album);
        }
    }
    std::sort(removed.begin(), removed.end());
    removed.erase(std::unique(removed.begin(), removed.end()), removed.end());
    albumTable.removeRows(removed);

    // Every item of a deleted album goes, also one of a search result that
    // was not selected: after renumbering it would name another album.
    std::vector<int> gone;
    for (int row = 0; row < albumModel_->rowCount(); ++row) {
        if (std::binary_search(removed.begin(), removed.end(), albumModel_->entry(row).album)) {
            gone.push_back(row);
        }
    }
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    albumModel_->removeEntries(gone);
    muteSelection_ = false;
    for (AlbumListModel::Entry& entry : albumModel_->mutableEntries()) {
        entry.album -=
            static_cast<int>(std::lower_bound(removed.begin(), removed.end(), entry.album) - removed.begin());
    }
    refreshSelectedItem();
    // Nothing is selected now: the panel says so.
    showAlbumOfRow(-1, false);
}

void MainWindow::duplicateSelectedAlbum()
{
    if (!albumSelectedOrSay()) {
        return;
    }
    loadEditedAlbum();
    addEditedAlbum();
}

void MainWindow::duplicateAndEditAlbum()
{
    if (!albumSelectedOrSay()) {
        return;
    }
    duplicateSelectedAlbum();
    editSelectedAlbum();
}

void MainWindow::registerPictureQuickly()
{
    if (selectedAlbum() == 0) {
        return;
    }
    loadEditedAlbum();
    std::optional<QString> picture = prompter_.openFile(
        QStringLiteral("画像ファイル選択"),
        QStringLiteral("画像ファイル (*.jpg *.jpeg *.bmp *.ico *.png *.gif);;すべてのファイル (*)"),
        fromCp932(editedAlbum[ImagePathColumn]));
    if (!picture) {
        return;
    }
    std::optional<std::string> path = cellText(ImagePathColumn, QStringLiteral("画像ファイルパス"), *picture);
    if (!path) {
        return;
    }
    editedAlbum[ImagePathColumn] = *path;
    changeSelectedAlbum();
}

int MainWindow::quickEditSong() const
{
    if (selectedAlbum() == 0) {
        return 0;
    }
    const int row = selectedSongRow();
    return row < 0 ? 0 : row + 1;
}

void MainWindow::quickEdit(int column, const QString& field,
                           const std::function<std::optional<QString>(const QString&)>& ask)
{
    loadEditedAlbum();
    std::optional<QString> entered = ask(fromCp932(editedAlbum[column]));
    if (!entered) {
        return;
    }
    std::optional<std::string> text = cellText(column, field, *entered);
    if (!text) {
        return;
    }
    editedAlbum[column] = *text;
    changeSelectedAlbum();
}

void MainWindow::quickEditSongTitle()
{
    const int song = quickEditSong();
    if (song == 0) {
        return;
    }
    quickEdit(songTitleColumn(song), QStringLiteral("曲名"), [this](const QString& current) {
        return prompter_.inputText(QStringLiteral("曲名入力"), QStringLiteral("曲名を入力してください"),
                                   current);
    });
}

void MainWindow::quickEditSongArtist()
{
    const int song = quickEditSong();
    if (song == 0) {
        return;
    }
    quickEdit(
        songArtistColumn(song), QStringLiteral("曲ごとのアーティスト名"), [this](const QString& current) {
            return prompter_.inputText(QStringLiteral("曲ごとのアーティスト名入力"),
                                       QStringLiteral("曲ごとのアーティスト名を入力してください"), current);
        });
}

void MainWindow::quickEditSongMedia()
{
    const int song = quickEditSong();
    if (song == 0) {
        return;
    }
    quickEdit(mediaColumn(song), QStringLiteral("メディアファイル"), [this](const QString& current) {
        return prompter_.openFile(QStringLiteral("読み込みファイル選択"),
                                  QStringLiteral("すべてのファイル (*)"), current);
    });
}

}  // namespace velmora::ui
