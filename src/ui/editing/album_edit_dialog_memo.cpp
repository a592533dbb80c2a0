// Hand-over of one song column of the edit dialog to the memo pad, and the
// pad's lines back into the column. The album table is not touched: the
// user still applies or discards the dialog.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextCursor>

#include "core/store/columns.h"
#include "core/textops/memo_lines.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"

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

void AlbumEditDialog::editTitleColumn()
{
    memoHandOver("曲名");
}

void AlbumEditDialog::editArtistColumn()
{
    memoHandOver("曲ごとのアーティスト名");
}

void AlbumEditDialog::editMediaColumn()
{
    memoHandOver("メディアファイル");
}

void AlbumEditDialog::memoHandOver(const char* heading)
{
    SongColumnEditor* memo = main_.memoForm();
    if (memo == nullptr) {
        return;
    }
    ejectPreview();
    commitGridEdit();
    setCurrentCell(std::max(1, currentSongRow()), 1);
    memo->columnLabel->setText(QString::fromUtf8(heading));
    sendColumnToEditor();
}

void AlbumEditDialog::sendColumnToEditor()
{
    SongColumnEditor* memo = main_.memoForm();
    if (memo == nullptr) {
        return;
    }
    memo->attachEditForm(this);
    memo->lineEditor->clear();
    const int column = memo->editColumn();
    memo->setWindowTitle(memo->columnLabel->text() + QStringLiteral("編集 - ") + artistCombo->currentText() +
                         QLatin1Char('/') + titleEdit->text());
    textops::MemoLines cells;
    for (int row = 1; row <= store::kSongSlots; ++row) {
        cells.push_back(songCell(row, column).toStdU16String());
    }
    cells.resize(textops::shownLineCount(cells));
    QStringList lines;
    for (const std::u16string& cell : cells) {
        lines << QString::fromStdU16String(cell);
    }
    memo->lineEditor->setPlainText(lines.join(QLatin1Char('\n')));
    memo->showMediaTools(column == 3);
    if (column == 3) {
        memo->browseFolderOf(lines);
    }
    memo->lineEditor->moveCursor(QTextCursor::Start);
    memo->showCursorLine();
    memo->ejectPreview();
    memo->lineEditor->document()->clearUndoRedoStacks();

    // The pad is the newest modal window, so it gets the input while this
    // dialog (modal over the main window) waits; both stay disabled until
    // the pad closes. Disabling the main window disables the windows it
    // owns, so the pad is enabled again after it.
    memo->setWindowModality(Qt::ApplicationModal);
    memo->show();
    memo->keepOnScreen();
    memo->raise();
    memo->activateWindow();
    memo->lineEditor->moveCursor(QTextCursor::Start);
    memo->lineEditor->setFocus();
    main_.setEnabled(false);
    setEnabled(false);
    memo->setEnabled(true);
}

bool AlbumEditDialog::takeColumnFromEditor()
{
    SongColumnEditor* memo = main_.memoForm();
    if (memo == nullptr) {
        return false;
    }
    const int column = memo->editColumn();
    const textops::MemoLines lines = unicodeLines(memo->memoLines());
    // Titles and artists must be Shift-JIS text; media paths are checked for
    // that when the album is stored. No line may hold the field separator.
    const textops::LineRefusal refusal =
        textops::firstRefusedLine(lines, static_cast<std::size_t>(store::kSongSlots), column != 3);
    if (refusal.line != 0) {
        const QString line = memo->memoLines().at(static_cast<qsizetype>(refusal.line - 1));
        QString problem = QStringLiteral("「<>」は保存できない文字列です。");
        if (refusal.problem == textops::LineProblem::NoCp932) {
            toCp932(line, &problem);
        }
        const QString where = QStringLiteral("%1 (%2行目)")
                                  .arg(memo->columnLabel->text())
                                  .arg(static_cast<qulonglong>(refusal.line));
        prompter_.information(where + QStringLiteral(": ") + problem);
        return false;
    }
    const textops::MemoLines cells =
        textops::columnFromLines(lines, static_cast<std::size_t>(store::kSongSlots));
    for (int row = 1; row <= store::kSongSlots; ++row) {
        setSongCell(row, column, QString::fromStdU16String(cells[static_cast<std::size_t>(row - 1)]));
    }
    memo->ejectPreview();
    memo->close();
    return true;
}

}  // namespace velmora::ui
