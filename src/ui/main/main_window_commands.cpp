// Album commands of the main window: new, edit, change, add, duplicate,
// delete, picture registration, the quick edits of one song field, undo and
// redo, and the readings command.
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
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/readings/readings_dialog.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

using namespace velmora::store;

void MainWindow::wireAlbumCommands()
{
    albumView_->installEventFilter(this);
    songView_->installEventFilter(this);
    wireHistory();
}

void MainWindow::wireHistory()
{
    catalogue_.setSelectionSource([this] { return selectedAlbumNumbers(); });
    catalogue_.setHistoryListener([this] { updateHistoryActions(); });
    connect(actions_->undo, &QAction::triggered, this, [this] { undoStep(); });
    connect(actions_->redo, &QAction::triggered, this, [this] { redoStep(); });
    connect(actions_->autoReadings, &QAction::triggered, this, [this] { openReadingsDialog(); });
    updateHistoryActions();
}

void MainWindow::updateHistoryActions()
{
    const bool undo = catalogue_.canUndo();
    const bool redo = catalogue_.canRedo();
    actions_->undo->setEnabled(undo);
    actions_->redo->setEnabled(redo);
    actions_->undo->setText(undo ? QStringLiteral("元に戻す(&Z): ") + fromUtf8(catalogue_.undoName())
                                 : QStringLiteral("元に戻す(&Z)"));
    actions_->redo->setText(redo ? QStringLiteral("やり直し(&Y): ") + fromUtf8(catalogue_.redoName())
                                 : QStringLiteral("やり直し(&Y)"));
}

std::vector<int> MainWindow::selectedAlbumNumbers() const
{
    if (heldSelection_) {
        return *heldSelection_;
    }
    std::vector<int> albums;
    for (int row : selectedListRows()) {
        albums.push_back(albumModel_->entry(row).album);
    }
    return albums;
}

void MainWindow::selectAlbums(const std::vector<int>& albums)
{
    // The first list row of each album, when the list shows it.
    std::vector<int> rows;
    const std::vector<catalogue::ListEntry>& entries = catalogue_.entries();
    for (int album : albums) {
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [album](const catalogue::ListEntry& e) { return e.album == album; });
        if (found != entries.end()) {
            rows.push_back(static_cast<int>(found - entries.begin()));
        }
    }
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    muteSelection_ = false;
    if (rows.empty()) {
        showAlbumOfRow(-1, false);
        return;
    }
    std::sort(rows.begin(), rows.end());
    selectRowsQuietly(rows);
    albumView_->scrollTo(albumModel_->index(rows.front(), 0));
    showAlbumOfRow(rows.front(), true);
}

void MainWindow::undoStep()
{
    const catalogue::UndoResult result = catalogue_.undo();
    if (result.done) {
        selectAlbums(result.selection);
        setAllShown(catalogue_.allAlbumsShown());
    }
}

void MainWindow::redoStep()
{
    const catalogue::UndoResult result = catalogue_.redo();
    if (result.done) {
        selectAlbums(result.selection);
        setAllShown(catalogue_.allAlbumsShown());
    }
}

readings::ReadingDictionary* MainWindow::readingDictionary()
{
    if (!readingDictionary_ && openReadingDictionary_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        readingDictionary_ = openReadingDictionary_();
        QApplication::restoreOverrideCursor();
        openReadingDictionary_ = nullptr;
    }
    return readingDictionary_.get();
}

void MainWindow::openReadingsDialog()
{
    readings::ReadingDictionary* dictionary = readingDictionary();
    ReadingsDialog dialog(catalogue_, dictionary, this);
    dialog.exec();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Keys of the lists: Enter edits the selected album, Delete deletes the
    // selected albums (when the delete action's shortcut, scoped to the list,
    // has not taken it already); Ctrl+C (Ctrl alone) copies the album
    // details, or the song's in the song list.
    if ((watched == albumView_ || watched == songView_) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (watched == albumView_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            mods == Qt::NoModifier) {
            editSelectedAlbum();
            return true;
        }
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
        const catalogue::Problem refused = catalogue::checkCellText(column, *bytes);
        if (refused == catalogue::Problem::None) {
            return bytes;
        }
        problem = fromUtf8(catalogue::problemMessage(refused));
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
    editedAlbum =
        album >= 1 && album <= catalogue_.albumCount() ? catalogue_.albums().record(album) : AlbumRecord{};
}

void MainWindow::newAlbumAfterSelection()
{
    const std::vector<int> selected = selectedListRows();
    muteSelection_ = true;
    const catalogue::ChangeResult result =
        catalogue_.insertAlbumAfter(selected.empty() ? -1 : selected.front());
    muteSelection_ = false;
    if (pageStack_->currentIndex() != 0) {
        pageStack_->setCurrentIndex(0);
    }
    editedAlbum = AlbumRecord{};
    albumView_->selectionModel()->clear();
    selectAndShowListRow(result.listRow);
}

void MainWindow::finishAlbumChange(const catalogue::ChangeResult& result, const QString& done)
{
    if (!result.ok()) {
        prompter_.information(fromUtf8(catalogue::problemMessage(result.problem)));
        return;
    }
    // The refresh after a change takes the search marks away.
    catalogue_.clearSearchMarks();
    std::vector<int> rows = selectedListRows();
    if (!rows.empty()) {
        showAlbumOfRow(rows.front(), true);
    }
    prompter_.information(fromCp932(catalogue_.albums().cell(ArtistColumn, result.album)) +
                          QStringLiteral(" / ") +
                          fromCp932(catalogue_.albums().cell(AlbumColumn, result.album)) + done);
    if (result.readingQuestion) {
        askReadingPropagation(*result.readingQuestion);
    }
}

void MainWindow::changeSelectedAlbum()
{
    const int album = selectedAlbum();
    if (album < 1 || album > catalogue_.albumCount()) {
        prompter_.information(QStringLiteral("アルバムが選択されていません"));
        return;
    }
    finishAlbumChange(catalogue_.changeAlbum(album, editedAlbum), QStringLiteral(" の情報を変更しました"));
}

void MainWindow::addEditedAlbum()
{
    const std::vector<int> selected = selectedListRows();
    muteSelection_ = true;
    const catalogue::ChangeResult result =
        catalogue_.addAlbum(selected.empty() ? -1 : selected.front(), editedAlbum);
    muteSelection_ = false;
    if (result.ok()) {
        if (pageStack_->currentIndex() != 0) {
            pageStack_->setCurrentIndex(0);
        }
        albumView_->selectionModel()->clear();
        selectAndShowListRow(result.listRow);
    }
    finishAlbumChange(result, QStringLiteral("を追加しました"));
}

void MainWindow::askReadingPropagation(const catalogue::ReadingQuestion& question)
{
    if (prompter_.confirm(QStringLiteral("他の”") + fromCp932(question.artist) +
                          QStringLiteral("” のアルバムもフリガナを”") + fromCp932(question.reading) +
                          QStringLiteral("” にしますか？"))) {
        catalogue_.applyReading(question);
    }
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
    std::vector<int> albums;
    for (int row : selected) {
        albums.push_back(albumModel_->entry(row).album);
    }
    heldSelection_ = albums;
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    catalogue_.deleteAlbums(std::move(albums));
    heldSelection_.reset();
    catalogue_.clearSearchMarks();
    muteSelection_ = false;
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
    catalogue_.nameNextStep("画像登録");
    changeSelectedAlbum();
    catalogue_.nameNextStep({});
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
    catalogue_.nameNextStep((field + QStringLiteral("の変更")).toStdString());
    changeSelectedAlbum();
    catalogue_.nameNextStep({});
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
