// Album commands of the main window: new, edit, change, add, duplicate,
// delete, picture registration and the quick edits of one song field.
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>

#include "mainwindow/album_list_model.h"
#include "mainwindow/list_images.h"
#include "mainwindow/list_views.h"
#include "mainwindow/tform1.h"
#include "platform/prompter.h"
#include "platform/text_codec.h"
#include "store/columns.h"
#include "text/cp932.h"

namespace velmora::ui {

using namespace velmora::store;

void TForm1::wireAlbumCommands()
{
    auto on = [this](const QString& key, void (TForm1::*command)()) {
        QAction* action = menuAction(key);
        Q_ASSERT(action != nullptr);
        connect(action, &QAction::triggered, this, command);
    };
    connect(NewDataButton, &QToolButton::clicked, this, &TForm1::AlbumNewBtnClick);
    connect(EditBtn, &QToolButton::clicked, this, &TForm1::EditBtnClick);
    connect(DeleteBtn, &QToolButton::clicked, this, &TForm1::deleteSelectedAlbums);
    on(QStringLiteral("アルバム新規作成(&N)"), &TForm1::AlbumNewBtnClick);
    on(QStringLiteral("アルバム編集(&E)"), &TForm1::EditBtnClick);
    on(QStringLiteral("アルバム削除(&D)"), &TForm1::deleteSelectedAlbums);
    on(QStringLiteral("アルバム情報を複製"), &TForm1::duplicateSelectedAlbum);
    on(QStringLiteral("クイック編集 (&Q)/画像登録"), &TForm1::GEditMenuItemClick);
    on(QStringLiteral("EditBtn/画像登録"), &TForm1::GEditMenuItemClick);
    on(QStringLiteral("MainPopupMenu/編集(&E)"), &TForm1::EditBtnClick);
    on(QStringLiteral("MainPopupMenu/アルバムを複製"), &TForm1::duplicateSelectedAlbum);
    on(QStringLiteral("MainPopupMenu/アルバムを複製して編集"), &TForm1::duplicateAndEditAlbum);
    on(QStringLiteral("MainPopupMenu/画像登録"), &TForm1::GEditMenuItemClick);
    on(QStringLiteral("MainPopupMenu/アルバムを削除(&D)"), &TForm1::deleteSelectedAlbums);
    on(QStringLiteral("SongPopupMenu/編集(&E)"), &TForm1::EditBtnClick);
    on(QStringLiteral("SongPopupMenu/曲名変更"), &TForm1::QuickSongEditClick);
    on(QStringLiteral("SongPopupMenu/曲ごとのアーティスト名変更"), &TForm1::QuickSongArtistEditClick);
    on(QStringLiteral("SongPopupMenu/メディアファイル変更"), &TForm1::QuickMediaEditClick);
    AlbumListView->installEventFilter(this);
    SongListView->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    // Keys of the lists: Delete deletes the selected albums; Ctrl+C (Ctrl
    // alone) copies the album details, or the song's in the song list.
    if ((watched == AlbumListView || watched == SongListView) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (watched == AlbumListView && key->key() == Qt::Key_Delete && mods == Qt::NoModifier) {
            deleteSelectedAlbums();
            return true;
        }
        if (key->key() == Qt::Key_C && mods == Qt::ControlModifier) {
            if (watched == AlbumListView) {
                ClipCopyAllSelectedDataClick();
            } else {
                ClipCopySelectedAllSongDataClick();
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

std::optional<std::string> TForm1::cellText(int column, const QString& field, const QString& text)
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

bool TForm1::albumSelectedOrSay()
{
    if (selectedAlbum() != 0) {
        return true;
    }
    prompter_.information(QStringLiteral("アルバムを選択してください"));
    return false;
}

void TForm1::AlbumDataToListBox()
{
    const int album = selectedAlbum();
    EditListBox = album >= 1 && album <= DataGrid.albumCount() ? DataGrid.record(album) : AlbumRecord{};
}

void TForm1::AlbumDataFromListBox()
{
    const int album = selectedAlbum();
    if (album < 1 || album > DataGrid.albumCount()) {
        return;
    }
    EditListBox.applyFuriganaDefault();
    DataGrid.setRecord(album, EditListBox);
}

void TForm1::ItemChange()
{
    for (AlbumListModel::Entry& entry : albumModel_->mutableEntries()) {
        entry.image = NoListImage;
        entry.searchSong = 0;
        if (entry.album < 1 || entry.album > DataGrid.albumCount()) {
            continue;
        }
        AlbumTable::RowCells cells = DataGrid.rowCells(entry.album);
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

void TForm1::AlbumNew()
{
    const std::vector<int> selected = selectedListRows();
    const int selectedNumber = selected.empty() ? 0 : albumModel_->entry(selected.front()).album;
    int number = DataGrid.rowCount();
    if (selectedNumber >= 1 && selectedNumber < DataGrid.rowCount() - 1) {
        number = selectedNumber + 1;
    }
    int position = albumModel_->rowCount();
    if (!selected.empty() && selected.front() < albumModel_->rowCount() - 1) {
        position = selected.front() + 1;
    }
    DataGrid.insertRow(number);
    for (AlbumListModel::Entry& entry : albumModel_->mutableEntries()) {
        if (entry.album >= number) {
            ++entry.album;
        }
    }
    albumModel_->refreshTexts();
    if (PageControl1->currentIndex() != 0) {
        PageControl1->setCurrentIndex(0);
    }
    EditListBox = AlbumRecord{};
    albumModel_->insertEntry(position, {number, NoListImage, 0});
    AlbumListView->selectionModel()->clear();
    selectListRow(position, true);
    AlbumListView->scrollTo(albumModel_->index(position, 0));
}

void TForm1::AlbumChange()
{
    const int album = selectedAlbum();
    if (album < 1 || album > DataGrid.albumCount()) {
        prompter_.information(QStringLiteral("アルバムが選択されていません"));
        return;
    }
    const std::string oldReading(DataGrid.cell(FuriganaColumn, album));
    AlbumDataFromListBox();
    ItemChange();
    std::vector<int> rows = selectedListRows();
    if (!rows.empty()) {
        AlbumListViewSelectItem(rows.front(), true);
    }
    prompter_.information(fromCp932(DataGrid.cell(ArtistColumn, album)) + QStringLiteral(" / ") +
                          fromCp932(DataGrid.cell(AlbumColumn, album)) +
                          QStringLiteral(" の情報を変更しました"));
    furiganaPropagation(oldReading);
}

void TForm1::AlbumAdd()
{
    AlbumRecord copy = EditListBox;
    AlbumNew();
    EditListBox = std::move(copy);
    const int album = selectedAlbum();
    const std::string oldReading(DataGrid.cell(FuriganaColumn, album));
    AlbumDataFromListBox();
    ItemChange();
    std::vector<int> rows = selectedListRows();
    if (!rows.empty()) {
        AlbumListViewSelectItem(rows.front(), true);
    }
    prompter_.information(fromCp932(EditListBox[ArtistColumn]) + QStringLiteral(" / ") +
                          fromCp932(EditListBox[AlbumColumn]) + QStringLiteral("を追加しました"));
    furiganaPropagation(oldReading);
}

void TForm1::furiganaPropagation(const std::string& oldReading)
{
    const std::string& artist = EditListBox[ArtistColumn];
    const std::string& reading = EditListBox[FuriganaColumn];
    if (oldReading == reading) {
        return;
    }
    std::vector<int> sameArtist;
    bool differs = false;
    for (int row = 1; row <= DataGrid.albumCount(); ++row) {
        AlbumTable::RowCells cells = DataGrid.rowCells(row);
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
        DataGrid.setCell(FuriganaColumn, row, reading);
    }
    ItemChange();
}

void TForm1::EditBtnClick()
{
    if (!albumSelectedOrSay()) {
        return;
    }
    AlbumDataToListBox();
    if (showEditDialog) {
        showEditDialog();
    }
}

void TForm1::AlbumNewBtnClick()
{
    AlbumNew();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    EditBtnClick();
}

void TForm1::deleteSelectedAlbums()
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
        if (album >= 1 && album <= DataGrid.albumCount()) {
            removed.push_back(album);
        }
    }
    std::sort(removed.begin(), removed.end());
    removed.erase(std::unique(removed.begin(), removed.end()), removed.end());
    DataGrid.removeRows(removed);

    // Every item of a deleted album goes, also one of a search result that
    // was not selected: after renumbering it would name another album.
    std::vector<int> gone;
    for (int row = 0; row < albumModel_->rowCount(); ++row) {
        if (std::binary_search(removed.begin(), removed.end(), albumModel_->entry(row).album)) {
            gone.push_back(row);
        }
    }
    muteSelection_ = true;
    AlbumListView->selectionModel()->clear();
    albumModel_->removeEntries(gone);
    muteSelection_ = false;
    for (AlbumListModel::Entry& entry : albumModel_->mutableEntries()) {
        entry.album -=
            static_cast<int>(std::lower_bound(removed.begin(), removed.end(), entry.album) - removed.begin());
    }
    ItemChange();
    // Nothing is selected now: the panel says so.
    AlbumListViewSelectItem(-1, false);
}

void TForm1::duplicateSelectedAlbum()
{
    if (!albumSelectedOrSay()) {
        return;
    }
    AlbumDataToListBox();
    AlbumAdd();
}

void TForm1::duplicateAndEditAlbum()
{
    if (!albumSelectedOrSay()) {
        return;
    }
    duplicateSelectedAlbum();
    EditBtnClick();
}

void TForm1::GEditMenuItemClick()
{
    if (selectedAlbum() == 0) {
        return;
    }
    AlbumDataToListBox();
    std::optional<QString> picture = prompter_.openFile(
        QStringLiteral("画像ファイル選択"),
        QStringLiteral("画像ファイル (*.jpg *.jpeg *.bmp *.ico *.png *.gif);;すべてのファイル (*)"),
        fromCp932(EditListBox[ImagePathColumn]));
    if (!picture) {
        return;
    }
    std::optional<std::string> path = cellText(ImagePathColumn, QStringLiteral("画像ファイルパス"), *picture);
    if (!path) {
        return;
    }
    EditListBox[ImagePathColumn] = *path;
    AlbumChange();
}

int TForm1::quickEditSong() const
{
    if (selectedAlbum() == 0) {
        return 0;
    }
    const int row = selectedSongRow();
    return row < 0 ? 0 : row + 1;
}

void TForm1::quickEdit(int column, const QString& field,
                       const std::function<std::optional<QString>(const QString&)>& ask)
{
    AlbumDataToListBox();
    std::optional<QString> entered = ask(fromCp932(EditListBox[column]));
    if (!entered) {
        return;
    }
    std::optional<std::string> text = cellText(column, field, *entered);
    if (!text) {
        return;
    }
    EditListBox[column] = *text;
    AlbumChange();
}

void TForm1::QuickSongEditClick()
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

void TForm1::QuickSongArtistEditClick()
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

void TForm1::QuickMediaEditClick()
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
