// Hand-over of one song column of the edit dialog to the memo pad, and the
// pad's lines back into the column. The album table is not touched: the
// user still applies or discards the dialog.
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextCursor>

#include "core/store/columns.h"
#include "core/textops/memo_lines.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/preview_player.h"
#include "ui/editing/song_column_editor.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/player/player_paths.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

namespace {

textops::MemoLines unicodeLines(const QStringList& lines)
{
    textops::MemoLines result;
    result.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines) {
        result.push_back(line.toStdU16String());
    }
    return result;
}

}  // namespace

void AlbumEditDialog::setColumnEditor(SongColumnEditor* editor)
{
    if (editor_ != nullptr) {
        disconnect(editor_, nullptr, this, nullptr);
    }
    editor_ = editor;
    if (editor_ == nullptr) {
        return;
    }
    connect(editor_, &SongColumnEditor::linesAccepted, this, &AlbumEditDialog::takeColumnFromEditor);
    connect(editor_, &SongColumnEditor::closed, this, &AlbumEditDialog::editorClosed);
}

void AlbumEditDialog::ejectPreview()
{
    // One device: the pad's player is cleared with this one.
    if (editor_ != nullptr) {
        editor_->ejectPreview();
    }
    preview_->eject();
}

void AlbumEditDialog::playCurrentSong()
{
    commitGridEdit();
    const int row = currentSongRow();
    const QString path = row >= 1 ? songCell(row, 3) : QString();
    if (path.isEmpty() || !QFileInfo(localPath(path)).isFile()) {
        ejectPreview();
        return;
    }
    // Play after a pause, a stop or a seek goes on from where the file is;
    // another file is opened from its start.
    if (!preview_->holds(path) && !preview_->open(path)) {
        return;
    }
    preview_->play();
}

void AlbumEditDialog::sendColumnToEditor(int column)
{
    if (editor_ == nullptr) {
        return;
    }
    ejectPreview();
    commitGridEdit();
    setCurrentCell(std::max(1, currentSongRow()), 1);
    SongColumnEditor::Songs songs;
    for (int row = 1; row <= store::kSongSlots; ++row) {
        songs.titles << songCell(row, 1);
        songs.artists << songCell(row, 2);
        songs.media << songCell(row, 3);
    }
    editor_->startEditing(column, artistCombo_->currentText() + QLatin1Char('/') + titleEdit_->text(), songs);

    // The pad is the newest modal window, so it gets the input while this
    // dialog (modal over the main window) waits; both stay disabled until
    // the pad closes. Disabling the owner disables the windows it owns, so
    // the pad is enabled again after it.
    setOwnerEnabled(false);
    setEnabled(false);
    editor_->setEnabled(true);
}

void AlbumEditDialog::editorClosed()
{
    // The owner stays disabled until this dialog closes.
    setEnabled(true);
    activateWindow();
}

bool AlbumEditDialog::takeColumnFromEditor(int column, const QStringList& memoLines)
{
    const textops::MemoLines lines = unicodeLines(memoLines);
    // Titles and artists must be Shift-JIS text; media paths are checked for
    // that when the album is stored. No line may hold the field separator.
    const textops::LineRefusal refusal =
        textops::firstRefusedLine(lines, static_cast<std::size_t>(store::kSongSlots), column != 3);
    if (refusal.line != 0) {
        const QString line = memoLines.at(static_cast<qsizetype>(refusal.line - 1));
        QString problem = QStringLiteral("「<>」は保存できない文字列です。");
        if (refusal.problem == textops::LineProblem::NoCp932) {
            toCp932(line, &problem);
        }
        const QString where = QStringLiteral("%1 (%2行目)")
                                  .arg(SongColumnEditor::columnHeading(column))
                                  .arg(static_cast<qulonglong>(refusal.line));
        services_.prompter.information(where + QStringLiteral(": ") + problem);
        return false;
    }
    const textops::MemoLines cells =
        textops::columnFromLines(lines, static_cast<std::size_t>(store::kSongSlots));
    for (int row = 1; row <= store::kSongSlots; ++row) {
        setSongCell(row, column, QString::fromStdU16String(cells[static_cast<std::size_t>(row - 1)]));
    }
    if (editor_ != nullptr) {
        editor_->finishEditing();
    }
    return true;
}

}  // namespace velmora::ui
