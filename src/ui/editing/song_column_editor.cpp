#include "ui/editing/song_column_editor.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
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

#include "core/store/app_settings.h"
#include "core/store/atomic_file.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "core/textops/memo_lines.h"
#include "ui/editing/preview_player.h"
#include "ui/platform/font_setting.h"
#include "ui/platform/prompter.h"
#include "ui/platform/screen_fit.h"
#include "ui/platform/text_codec.h"
#include "ui/platform/win_color.h"
#include "ui/player/player_paths.h"
#include "ui/widgets/list_images.h"

namespace velmora::ui {

namespace {

// The headings of the three song columns, as the edit dialog sets them.
const char* const kColumnHeadings[] = {"曲名", "曲ごとのアーティスト名", "メディアファイル"};

// Shift+Enter would put a line separator inside a line; here every line
// break starts a new line, as lines stand for songs. Ctrl+Tab types the tab
// that Tab, which moves the focus on, does not.
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
            // Tab moves on to the next control; Ctrl+Tab types a tab.
            if (key->key() == Qt::Key_Tab &&
                (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
                static_cast<QPlainTextEdit*>(parent())->textCursor().insertText(QStringLiteral("\t"));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

SongColumnEditor::SongColumnEditor(Services services, const store::AppSettings* stored, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), services_(std::move(services))
{
    setObjectName(QStringLiteral("MemoForm"));
    setWindowTitle(QStringLiteral("メモ帳入力"));
    setMinimumSize(558, 500);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(3);
    buildMenus();
    buildToolBar();

    auto* labels = new QWidget(this);
    buildLabels(labels);
    layout->addWidget(labels);

    lineEditor_ = new QPlainTextEdit(this);
    lineEditor_->setObjectName(QStringLiteral("lineEditor"));
    lineEditor_->setAccessibleName(QStringLiteral("曲ごとの行"));
    lineEditor_->setTabChangesFocus(true);
    lineEditor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    lineEditor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lineEditor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lineEditor_->installEventFilter(new PlainLineBreaks(lineEditor_));
    connect(lineEditor_, &QPlainTextEdit::cursorPositionChanged, this, &SongColumnEditor::showCursorLine);

    previewToolBar_ = new QToolBar(this);
    previewToolBar_->setObjectName(QStringLiteral("previewToolBar"));
    previewToolBar_->setIconSize(QSize(16, 16));
    previewToolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* playLine =
        previewToolBar_->addAction(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("再生"));
    playLine->setObjectName(QStringLiteral("playLineAction"));
    playLine->setToolTip(QStringLiteral("リストの選択ファイルを再生"));
    connect(playLine, &QAction::triggered, this, &SongColumnEditor::playCursorLineMedia);
    QAction* openLine =
        previewToolBar_->addAction(themedIcon("document-open", "media-file"), QStringLiteral("外部で開く"));
    openLine->setObjectName(QStringLiteral("openLineAction"));
    openLine->setToolTip(QStringLiteral("リストの選択ファイルを外部で開く"));
    connect(openLine, &QAction::triggered, this, &SongColumnEditor::openCursorLineMedia);

    auto* textSide = new QWidget(this);
    auto* textLayout = new QVBoxLayout(textSide);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(0);
    textLayout->addWidget(lineEditor_, 1);
    textLayout->addWidget(previewToolBar_);

    buildFileBrowser();
    auto* middle = new QSplitter(Qt::Horizontal, this);
    middle->setChildrenCollapsible(false);
    middle->addWidget(filePanel_);
    middle->addWidget(textSide);
    middle->setStretchFactor(0, 0);
    middle->setStretchFactor(1, 1);
    middle->setSizes({220, 360});
    layout->addWidget(middle, 1);

    preview_ = new PreviewPlayer(services_.previewDevice, services_.prompter, this);
    // The name line says what this pad plays, and nothing once it stopped.
    preview_->setNameFollowsDevice(true);
    connect(preview_, &PreviewPlayer::playClicked, preview_, &PreviewPlayer::play);
    connect(preview_, &PreviewPlayer::ejectClicked, this, &SongColumnEditor::ejectPreview);
    connect(preview_, &PreviewPlayer::aboutToPlay, this, &SongColumnEditor::previewAboutToPlay);
    layout->addWidget(preview_);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    auto* acceptButton = new QPushButton(QStringLiteral("変更(&H)"), this);
    acceptButton->setObjectName(QStringLiteral("acceptButton"));
    acceptButton->setToolTip(QStringLiteral("アルバム情報を変更"));
    auto* cancelButton = new QPushButton(QStringLiteral("閉じる(&X)"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setToolTip(QStringLiteral("メモ帳を閉じる"));
    for (QPushButton* button : {acceptButton, cancelButton}) {
        button->setAutoDefault(false);
        bottom->addWidget(button);
    }
    connect(acceptButton, &QPushButton::clicked, this, &SongColumnEditor::acceptColumn);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);
    layout->addLayout(bottom);

    // The window's place and the text's look come from the settings file
    // when there is one; otherwise the design values stay.
    if (stored != nullptr) {
        const store::WindowPlace& place = stored->memoForm;
        move(place.left, place.top);
        resize(std::max(place.width, minimumWidth()), std::max(place.height, minimumHeight()));
        keepOnScreen();
        applyLook(*stored);
    } else {
        move(489, 325);
        resize(602, 624);
        QFont font = lineEditor_->font();
        font.setFamily(QStringLiteral("ＭＳ Ｐゴシック"));
        font.setPointSize(9);
        lineEditor_->setFont(font);
    }
    showMediaTools(false);
    showCursorLine();
    // Fitted again once the window manager has framed it.
    ui::keepOnScreenWhenShown(*this);
}

SongColumnEditor::~SongColumnEditor() = default;

void SongColumnEditor::buildMenus()
{
    auto* menus = new QMenuBar(this);
    auto addAction = [this](QMenu* menu, const char* name, const QString& text, auto command) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    QMenu* file = menus->addMenu(QStringLiteral("ファイル(&F)"));
    addAction(file, "openTextAction", QStringLiteral("開く(&O)"), &SongColumnEditor::openTextFile);
    addAction(file, "saveTextAction", QStringLiteral("名前をつけて保存(&S)"),
              &SongColumnEditor::saveTextFileAs);
    file->addSeparator();
    addAction(file, "closeAction", QStringLiteral("メモフォームを閉じる(&X)"), &QWidget::close);
    QMenu* edit = menus->addMenu(QStringLiteral("編集(&E)"));
    addAction(edit, "undoColumnAction", QStringLiteral("編集前の状態に戻す(&U)"),
              &SongColumnEditor::undoColumnEdits);
    addAction(edit, "tidyLinesAction", QStringLiteral("整形(&M)"), &SongColumnEditor::tidyLines);
    QMenu* tools = menus->addMenu(QStringLiteral("ツール(&T)"));
    QAction* playerToFront =
        addAction(tools, "playerToFrontAction", QStringLiteral("メディアプレイヤーフォームを前面へ(&M)"),
                  [this] { services_.player.toFront(); });
    connect(tools, &QMenu::aboutToShow, this,
            [this, playerToFront] { playerToFront->setEnabled(services_.player.shown()); });
    layout()->setMenuBar(menus);
}

void SongColumnEditor::buildToolBar()
{
    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* undo = toolBar->addAction(themedIcon("edit-undo", "revert"), QStringLiteral("元に戻す"));
    undo->setObjectName(QStringLiteral("undoButtonAction"));
    undo->setToolTip(QStringLiteral("編集前の状態に戻す"));
    connect(undo, &QAction::triggered, this, &SongColumnEditor::undoColumnEdits);
    QAction* tidy = toolBar->addAction(themedIcon("format-justify-left", "convert"), QStringLiteral("整形"));
    tidy->setObjectName(QStringLiteral("tidyButtonAction"));
    tidy->setToolTip(QStringLiteral("整形"));
    connect(tidy, &QAction::triggered, this, &SongColumnEditor::tidyLines);
    static_cast<QVBoxLayout*>(layout())->addWidget(toolBar);
}

void SongColumnEditor::buildLabels(QWidget* parent)
{
    auto* grid = new QGridLayout(parent);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    songCountLabel_ = new QLabel(parent);
    QFont bold = songCountLabel_->font();
    bold.setBold(true);
    songCountLabel_->setFont(bold);
    songCountLabel_->setMinimumWidth(
        songCountLabel_->fontMetrics().horizontalAdvance(QStringLiteral("999曲目")));
    songLabel_ = new QLabel(parent);
    artistLabel_ = new QLabel(parent);
    mediaFileLabel_ = new QLabel(parent);
    songCountLabel_->setObjectName(QStringLiteral("songCountLabel"));
    songLabel_->setObjectName(QStringLiteral("songLabel"));
    artistLabel_->setObjectName(QStringLiteral("artistLabel"));
    mediaFileLabel_->setObjectName(QStringLiteral("mediaFileLabel"));
    for (QLabel* label : {songLabel_, artistLabel_, mediaFileLabel_}) {
        label->setTextFormat(Qt::PlainText);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    grid->addWidget(songCountLabel_, 0, 0);
    grid->addWidget(songLabel_, 0, 1);
    grid->addWidget(artistLabel_, 0, 2);
    grid->addWidget(mediaFileLabel_, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
}

void SongColumnEditor::keepOnScreen()
{
    ui::keepOnScreen(*this);
}

void SongColumnEditor::applyLook(const store::AppSettings& settings)
{
    const store::FontSetting& setting = settings.memoFont;
    lineEditor_->setFont(fontFrom(setting, lineEditor_->font()));
    applyStoredColors(*lineEditor_, setting.color, settings.memoColor, false);
}

void SongColumnEditor::collectSettings(store::AppSettings& settings) const
{
    settings.memoForm = {x(), y(), width(), height()};
}

QString SongColumnEditor::columnHeading(int column)
{
    return QString::fromUtf8(kColumnHeadings[std::clamp(column, 1, 3) - 1]);
}

void SongColumnEditor::startEditing(int column, const QString& album, const Songs& songs)
{
    column_ = std::clamp(column, 1, 3);
    songs_ = songs;
    lineEditor_->clear();
    setWindowTitle(columnHeading(column_) + QStringLiteral("編集 - ") + album);
    const QStringList& source = column_ == 1 ? songs_.titles : column_ == 2 ? songs_.artists : songs_.media;
    textops::MemoLines cells;
    for (const QString& cell : source) {
        cells.push_back(cell.toStdU16String());
    }
    cells.resize(textops::shownLineCount(cells));
    QStringList lines;
    for (const std::u16string& cell : cells) {
        lines << QString::fromStdU16String(cell);
    }
    lineEditor_->setPlainText(lines.join(QLatin1Char('\n')));
    showMediaTools(column_ == 3);
    if (column_ == 3) {
        browseFolderOf(lines);
    }
    lineEditor_->moveCursor(QTextCursor::Start);
    showCursorLine();
    ejectPreview();
    lineEditor_->document()->clearUndoRedoStacks();

    setWindowModality(Qt::ApplicationModal);
    show();
    keepOnScreen();
    raise();
    activateWindow();
    lineEditor_->moveCursor(QTextCursor::Start);
    lineEditor_->setFocus();
}

void SongColumnEditor::finishEditing()
{
    ejectPreview();
    close();
}

QStringList SongColumnEditor::memoLines() const
{
    QStringList lines;
    const QTextDocument* doc = lineEditor_->document();
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
    const QTextCursor cursor = lineEditor_->textCursor();
    return lineEditor_->document()->findBlock(cursor.selectionStart()).blockNumber() + 1;
}

QString SongColumnEditor::caretLineText() const
{
    const QTextCursor cursor = lineEditor_->textCursor();
    return lineEditor_->document()->findBlock(cursor.selectionStart()).text();
}

void SongColumnEditor::replaceText(const QStringList& lines)
{
    QTextCursor cursor(lineEditor_->document());
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
    QTextCursor cursor = lineEditor_->textCursor();
    cursor.setPosition(lineEditor_->document()->findBlock(cursor.selectionStart()).position());
    cursor.insertText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    // The caret goes on to the line that moved down, so that files added one
    // after another stay in the order they were added.
    lineEditor_->setTextCursor(cursor);
}

void SongColumnEditor::showCursorLine()
{
    const int k = caretLine();
    songCountLabel_->setText(QStringLiteral("%1曲目").arg(k));
    if (k <= store::kSongSlots && k <= songs_.titles.size()) {
        songLabel_->setText(songs_.titles.value(k - 1));
        artistLabel_->setText(songs_.artists.value(k - 1));
        mediaFileLabel_->setText(songs_.media.value(k - 1));
    } else {
        songLabel_->clear();
        artistLabel_->clear();
        mediaFileLabel_->clear();
    }
}

void SongColumnEditor::acceptColumn()
{
    // Empty lines at the end stand for no songs: they go first.
    QTextDocument* doc = lineEditor_->document();
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
    if (memoLines().size() >= 100 && !services_.prompter.confirm(QStringLiteral(
                                         "100曲以上登録されています\r\n100曲目からは登録されません"))) {
        return;
    }
    if (!isSignalConnected(QMetaMethod::fromSignal(&SongColumnEditor::linesAccepted))) {
        close();
        return;
    }
    emit linesAccepted(column_, memoLines());
}

void SongColumnEditor::undoColumnEdits()
{
    if (!services_.prompter.confirm(QStringLiteral("編集前の状態に戻しますか？"))) {
        return;
    }
    // The songs as they were when the pad opened (the dialog that opened it
    // waits meanwhile).
    const QStringList& lines = column_ == 1 ? songs_.titles : column_ == 2 ? songs_.artists : songs_.media;
    if (lines.isEmpty()) {
        return;
    }
    replaceText(lines);
    lineEditor_->moveCursor(QTextCursor::Start);
    lineEditor_->horizontalScrollBar()->setValue(0);
    lineEditor_->verticalScrollBar()->setValue(0);
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
    lineEditor_->moveCursor(QTextCursor::Start);
}

void SongColumnEditor::openTextFile()
{
    std::optional<QString> name = services_.prompter.openFile(
        QStringLiteral("読み込みファイル選択"),
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
        services_.prompter.error(fromUtf8(store::readFailureMessage(error)));
        return;
    }
    QStringList lines;
    for (std::string_view line : store::splitLines(bytes.view())) {
        lines << fromCp932(line);
    }
    replaceText(lines);
    lineEditor_->moveCursor(QTextCursor::Start);
}

void SongColumnEditor::saveTextFileAs()
{
    std::optional<QString> name = services_.prompter.saveFile(
        QStringLiteral("書き出しファイル名入力"),
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
            services_.prompter.information(QStringLiteral("%1行目: %2").arg(i + 1).arg(problem));
            return;
        }
        encoded.push_back(std::move(*bytes));
    }
    store::FileError error;
    if (!store::writeFileAtomically(fileSystemPath(*name), textops::joinCrLf(encoded), &error)) {
        services_.prompter.error(fromUtf8(store::writeFailureMessage(error)));
    }
}

void SongColumnEditor::closeEvent(QCloseEvent* event)
{
    // The dialog that opened the pad takes the input again.
    emit closed();
    ejectPreview();
    QWidget::closeEvent(event);
}

void SongColumnEditor::showMediaTools(bool show)
{
    if (show) {
        ensureBrowser();
    }
    filePanel_->setVisible(show);
    previewToolBar_->setVisible(show);
    preview_->setVisible(show);
}

void SongColumnEditor::ejectPreview()
{
    preview_->eject();
}

void SongColumnEditor::playFile(const QString& path)
{
    ejectPreview();
    if (!preview_->open(path)) {
        preview_->setFileName(QString());
        return;
    }
    preview_->play();
    preview_->setFileName(path);
}

void SongColumnEditor::playCursorLineMedia()
{
    const QString line = caretLineText();
    if (line.isEmpty() || !QFileInfo(localPath(line)).isFile()) {
        services_.prompter.information(QStringLiteral("ファイルが存在しません"));
        return;
    }
    playFile(line);
}

void SongColumnEditor::openCursorLineMedia()
{
    const QString line = caretLineText();
    if (line.isEmpty() || !QFileInfo(localPath(line)).isFile()) {
        services_.prompter.information(QStringLiteral("ファイルが存在しません"));
        return;
    }
    openExternally(localPath(line));
}

}  // namespace velmora::ui
