#include "ui/editing/song_column_editor.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "core/store/atomic_file.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "core/textops/memo_lines.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window.h"
#include "ui/platform/font_setting.h"
#include "ui/platform/prompter.h"
#include "ui/platform/screen_fit.h"
#include "ui/platform/text_codec.h"
#include "ui/platform/win_color.h"
#include "ui/player/player_window.h"
#include "ui/widgets/list_images.h"

namespace velmora::ui {

namespace {

// The headings of the three song columns, as the edit dialog sets them.
const char* const kColumnHeadings[] = {"曲名", "曲ごとのアーティスト名", "メディアファイル"};

// Shift+Enter would put a line separator inside a line; here every line
// break starts a new line, as lines stand for songs.
class PlainLineBreaks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                (key->modifiers() & Qt::ShiftModifier)) {
                static_cast<QPlainTextEdit*>(parent())->textCursor().insertText(QStringLiteral("\n"));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

SongColumnEditor::SongColumnEditor(MainWindow& main, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), main_(main), prompter_(prompter)
{
    setObjectName(QStringLiteral("MemoForm"));
    setWindowTitle(QStringLiteral("メモ帳入力"));
    setMinimumSize(558, 500);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(3);
    buildMenus();
    buildToolBar();
    layout->addWidget(toolBar);

    auto* labels = new QWidget(this);
    buildLabels(labels);
    layout->addWidget(labels);

    lineEditor = new QPlainTextEdit(this);
    lineEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    lineEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lineEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lineEditor->installEventFilter(new PlainLineBreaks(lineEditor));
    connect(lineEditor, &QPlainTextEdit::cursorPositionChanged, this, &SongColumnEditor::showCursorLine);

    previewToolBar = new QToolBar(this);
    previewToolBar->setIconSize(QSize(16, 16));
    previewToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* playLine =
        previewToolBar->addAction(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("再生"));
    playLine->setToolTip(QStringLiteral("リストの選択ファイルを再生"));
    connect(playLine, &QAction::triggered, this, &SongColumnEditor::playCursorLineMedia);
    QAction* openLine =
        previewToolBar->addAction(themedIcon("document-open", "media-file"), QStringLiteral("外部で開く"));
    openLine->setToolTip(QStringLiteral("リストの選択ファイルを外部で開く"));
    connect(openLine, &QAction::triggered, this, &SongColumnEditor::openCursorLineMedia);

    auto* textSide = new QWidget(this);
    auto* textLayout = new QVBoxLayout(textSide);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(0);
    textLayout->addWidget(lineEditor, 1);
    textLayout->addWidget(previewToolBar);

    buildFileBrowser();
    auto* middle = new QSplitter(Qt::Horizontal, this);
    middle->setChildrenCollapsible(false);
    middle->addWidget(filePanel);
    middle->addWidget(textSide);
    middle->setStretchFactor(0, 0);
    middle->setStretchFactor(1, 1);
    middle->setSizes({220, 360});
    layout->addWidget(middle, 1);

    buildPlayer();
    layout->addWidget(previewPanel);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    acceptButton = new QPushButton(QStringLiteral("変更"), this);
    acceptButton->setToolTip(QStringLiteral("アルバム情報を変更"));
    cancelButton = new QPushButton(QStringLiteral("閉じる"), this);
    cancelButton->setToolTip(QStringLiteral("メモ帳を閉じる"));
    for (QPushButton* button : {acceptButton, cancelButton}) {
        button->setAutoDefault(false);
        bottom->addWidget(button);
    }
    connect(acceptButton, &QPushButton::clicked, this, &SongColumnEditor::acceptColumn);
    connect(cancelButton, &QPushButton::clicked, this, &SongColumnEditor::cancelEditing);
    layout->addLayout(bottom);

    // The window's place and the text's look come from the settings file
    // when there is one; otherwise the design values stay.
    if (main_.settingsFileRead()) {
        const store::WindowPlace& place = main_.appSettings.memoForm;
        move(place.left, place.top);
        resize(std::max(place.width, minimumWidth()), std::max(place.height, minimumHeight()));
        keepOnScreen();
        applyLook();
    } else {
        move(489, 325);
        resize(602, 624);
        QFont font = lineEditor->font();
        font.setFamily(QStringLiteral("ＭＳ Ｐゴシック"));
        font.setPointSize(9);
        lineEditor->setFont(font);
    }
    showMediaTools(false);
    showCursorLine();
}

SongColumnEditor::~SongColumnEditor() = default;

void SongColumnEditor::buildMenus()
{
    auto* menus = new QMenuBar(this);
    QMenu* file = menus->addMenu(QStringLiteral("ファイル(&F)"));
    connect(file->addAction(QStringLiteral("開く(&O)")), &QAction::triggered, this,
            &SongColumnEditor::openTextFile);
    connect(file->addAction(QStringLiteral("名前をつけて保存(&S)")), &QAction::triggered, this,
            &SongColumnEditor::saveTextFileAs);
    file->addSeparator();
    connect(file->addAction(QStringLiteral("メモフォームを閉じる(&X)")), &QAction::triggered, this,
            &SongColumnEditor::cancelEditing);
    QMenu* edit = menus->addMenu(QStringLiteral("編集(&E)"));
    connect(edit->addAction(QStringLiteral("編集前の状態に戻す(&U)")), &QAction::triggered, this,
            &SongColumnEditor::undoColumnEdits);
    connect(edit->addAction(QStringLiteral("整形(&M)")), &QAction::triggered, this,
            &SongColumnEditor::tidyLines);
    toolsMenu = menus->addMenu(QStringLiteral("ツール(&T)"));
    playerToFrontAction = toolsMenu->addAction(QStringLiteral("メディアプレイヤーフォームを前面へ(&M)"));
    connect(playerToFrontAction, &QAction::triggered, this, &SongColumnEditor::bringPlayerToFront);
    connect(toolsMenu, &QMenu::aboutToShow, this, &SongColumnEditor::prepareColumnToolsMenu);
    layout()->setMenuBar(menus);
}

void SongColumnEditor::buildToolBar()
{
    toolBar = new QToolBar(this);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* undo = toolBar->addAction(themedIcon("edit-undo", "revert"), QStringLiteral("元に戻す"));
    undo->setToolTip(QStringLiteral("編集前の状態に戻す"));
    connect(undo, &QAction::triggered, this, &SongColumnEditor::undoColumnEdits);
    QAction* tidy = toolBar->addAction(themedIcon("format-justify-left", "convert"), QStringLiteral("整形"));
    tidy->setToolTip(QStringLiteral("整形"));
    connect(tidy, &QAction::triggered, this, &SongColumnEditor::tidyLines);
    // The heading names the edited column; the edit dialog sets it and
    // every transfer reads it. It is not shown.
    columnLabel = new QLabel(QString::fromUtf8(kColumnHeadings[0]), toolBar);
    toolBar->addWidget(columnLabel)->setVisible(false);
}

void SongColumnEditor::buildLabels(QWidget* parent)
{
    auto* grid = new QGridLayout(parent);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    songCountLabel = new QLabel(parent);
    QFont bold = songCountLabel->font();
    bold.setBold(true);
    songCountLabel->setFont(bold);
    songCountLabel->setMinimumWidth(
        songCountLabel->fontMetrics().horizontalAdvance(QStringLiteral("999曲目")));
    songLabel = new QLabel(parent);
    artistLabel = new QLabel(parent);
    mediaFileLabel = new QLabel(parent);
    for (QLabel* label : {songLabel, artistLabel, mediaFileLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    grid->addWidget(songCountLabel, 0, 0);
    grid->addWidget(songLabel, 0, 1);
    grid->addWidget(artistLabel, 0, 2);
    grid->addWidget(mediaFileLabel, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
}

void SongColumnEditor::keepOnScreen()
{
    ui::keepOnScreen(*this);
}

void SongColumnEditor::applyLook()
{
    const store::FontSetting& setting = main_.appSettings.memoFont;
    lineEditor->setFont(fontFrom(setting, lineEditor->font()));
    QPalette palette = lineEditor->palette();
    const QColor text = colorFromStored(setting.color, palette);
    const QColor background = colorFromStored(main_.appSettings.memoColor, palette);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Base, background);
    }
    lineEditor->setPalette(palette);
}

void SongColumnEditor::collectSettings(store::AppSettings& settings) const
{
    settings.memoForm = {x(), y(), width(), height()};
}

int SongColumnEditor::editColumn() const
{
    for (int c = 0; c < 3; ++c) {
        if (columnLabel->text() == QString::fromUtf8(kColumnHeadings[c])) {
            return c + 1;
        }
    }
    return 1;
}

QStringList SongColumnEditor::memoLines() const
{
    QStringList lines;
    const QTextDocument* doc = lineEditor->document();
    if (doc->isEmpty()) {
        return lines;
    }
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines;
}

int SongColumnEditor::caretLine() const
{
    const QTextCursor cursor = lineEditor->textCursor();
    return lineEditor->document()->findBlock(cursor.selectionStart()).blockNumber() + 1;
}

QString SongColumnEditor::caretLineText() const
{
    const QTextCursor cursor = lineEditor->textCursor();
    return lineEditor->document()->findBlock(cursor.selectionStart()).text();
}

void SongColumnEditor::replaceText(const QStringList& lines)
{
    QTextCursor cursor(lineEditor->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(lines.join(QLatin1Char('\n')));
    cursor.endEditBlock();
}

void SongColumnEditor::insertLines(const QStringList& lines)
{
    if (lines.isEmpty()) {
        return;
    }
    QTextCursor cursor = lineEditor->textCursor();
    cursor.setPosition(lineEditor->document()->findBlock(cursor.selectionStart()).position());
    cursor.insertText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    // The caret goes on to the line that moved down, so that files added one
    // after another stay in the order they were added.
    lineEditor->setTextCursor(cursor);
}

void SongColumnEditor::showCursorLine()
{
    const int k = caretLine();
    songCountLabel->setText(QStringLiteral("%1曲目").arg(k));
    if (k <= store::kSongSlots && editForm_ != nullptr) {
        songLabel->setText(editForm_->songCell(k, 1));
        artistLabel->setText(editForm_->songCell(k, 2));
        mediaFileLabel->setText(editForm_->songCell(k, 3));
    } else {
        songLabel->clear();
        artistLabel->clear();
        mediaFileLabel->clear();
    }
}

void SongColumnEditor::cancelEditing()
{
    close();
}

void SongColumnEditor::acceptColumn()
{
    // Empty lines at the end stand for no songs: they go first.
    QTextDocument* doc = lineEditor->document();
    QTextBlock last = doc->lastBlock();
    while (last.text().isEmpty() && last.previous().isValid()) {
        last = last.previous();
    }
    QTextCursor cursor(doc);
    if (last.text().isEmpty()) {
        cursor.select(QTextCursor::Document);
    } else {
        cursor.setPosition(last.position() + last.length() - 1);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    if (cursor.hasSelection()) {
        cursor.removeSelectedText();
    }
    if (memoLines().size() >= 100 &&
        !prompter_.confirm(QStringLiteral("100曲以上登録されています\r\n100曲目からは登録されません"))) {
        return;
    }
    if (editForm_ == nullptr) {
        close();
        return;
    }
    editForm_->takeColumnFromEditor();
}

void SongColumnEditor::undoColumnEdits()
{
    if (!prompter_.confirm(QStringLiteral("編集前の状態に戻しますか？"))) {
        return;
    }
    if (editForm_ == nullptr) {
        return;
    }
    // The edit dialog is disabled while the pad is open, so its column is
    // still as it was when the pad opened.
    const int column = editColumn();
    QStringList lines;
    for (int row = 1; row <= store::kSongSlots; ++row) {
        lines << editForm_->songCell(row, column);
    }
    replaceText(lines);
    lineEditor->moveCursor(QTextCursor::Start);
    lineEditor->horizontalScrollBar()->setValue(0);
    lineEditor->verticalScrollBar()->setValue(0);
}

void SongColumnEditor::tidyLines()
{
    textops::MemoLines lines;
    for (const QString& line : memoLines()) {
        lines.push_back(line.toStdU16String());
    }
    QStringList tidy;
    for (const std::u16string& line : textops::tidyLines(lines)) {
        tidy << QString::fromStdU16String(line);
    }
    replaceText(tidy);
    lineEditor->moveCursor(QTextCursor::Start);
}

void SongColumnEditor::openTextFile()
{
    std::optional<QString> name =
        prompter_.openFile(QStringLiteral("読み込みファイル選択"),
                           QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)"), QString());
    if (!name || name->isEmpty()) {
        return;
    }
    const std::filesystem::path file = fileSystemPath(*name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return;
    }
    store::FileBytes bytes;
    store::FileError error;
    if (!store::readWholeFile(file, bytes, &error)) {
        prompter_.error(fromUtf8(store::readFailureMessage(error)));
        return;
    }
    QStringList lines;
    for (std::string_view line : store::splitLines(bytes.view())) {
        lines << fromCp932(line);
    }
    replaceText(lines);
    lineEditor->moveCursor(QTextCursor::Start);
}

void SongColumnEditor::saveTextFileAs()
{
    std::optional<QString> name =
        prompter_.saveFile(QStringLiteral("書き出しファイル名入力"),
                           QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)"), QString());
    if (!name || name->isEmpty()) {
        return;
    }
    QStringList lines = memoLines();
    // A line break after the last line does not start another line.
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    std::vector<std::string> encoded;
    for (int i = 0; i < lines.size(); ++i) {
        QString problem;
        std::optional<std::string> bytes = toCp932(lines[i], &problem);
        if (!bytes) {
            prompter_.information(QStringLiteral("%1行目: %2").arg(i + 1).arg(problem));
            return;
        }
        encoded.push_back(std::move(*bytes));
    }
    store::FileError error;
    if (!store::writeFileAtomically(fileSystemPath(*name), textops::joinCrLf(encoded), &error)) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
    }
}

void SongColumnEditor::prepareColumnToolsMenu()
{
    PlayerWindow* player = main_.playerForm();
    playerToFrontAction->setEnabled(player != nullptr && player->isVisible());
}

void SongColumnEditor::bringPlayerToFront()
{
    main_.bringPlayerToFront();
}

void SongColumnEditor::closeEvent(QCloseEvent* event)
{
    closeQuery();
    QWidget::closeEvent(event);
}

void SongColumnEditor::closeQuery()
{
    // The main window stays disabled until the edit dialog closes.
    if (editForm_ != nullptr) {
        editForm_->setEnabled(true);
        editForm_->activateWindow();
    }
    ejectPreview();
}

}  // namespace velmora::ui
