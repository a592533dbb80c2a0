#include "editing/tmemo_form.h"

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

#include "editing/tedit_form.h"
#include "mainwindow/list_images.h"
#include "mainwindow/tform1.h"
#include "media/tmedia_player_form.h"
#include "platform/font_setting.h"
#include "platform/prompter.h"
#include "platform/screen_fit.h"
#include "platform/text_codec.h"
#include "platform/win_color.h"
#include "store/atomic_file.h"
#include "store/columns.h"
#include "store/data_file.h"
#include "textops/memo_lines.h"

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

TMemoForm::TMemoForm(TForm1& main, Prompter& prompter, QWidget* parent)
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
    layout->addWidget(ToolBar1);

    auto* labels = new QWidget(this);
    buildLabels(labels);
    layout->addWidget(labels);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->installEventFilter(new PlainLineBreaks(Memo1));
    connect(Memo1, &QPlainTextEdit::cursorPositionChanged, this, &TMemoForm::showCursorLine);

    MemoToPlayPanelToolBar = new QToolBar(this);
    MemoToPlayPanelToolBar->setIconSize(QSize(16, 16));
    MemoToPlayPanelToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* playLine = MemoToPlayPanelToolBar->addAction(style()->standardIcon(QStyle::SP_MediaPlay),
                                                          QStringLiteral("再生"));
    playLine->setToolTip(QStringLiteral("リストの選択ファイルを再生"));
    connect(playLine, &QAction::triggered, this, &TMemoForm::MediaListBoxPlayButtonClick);
    QAction* openLine = MemoToPlayPanelToolBar->addAction(themedIcon("document-open", "media-file"),
                                                          QStringLiteral("外部で開く"));
    openLine->setToolTip(QStringLiteral("リストの選択ファイルを外部で開く"));
    connect(openLine, &QAction::triggered, this, &TMemoForm::MediaListBoxOpenButtonClick);

    auto* textSide = new QWidget(this);
    auto* textLayout = new QVBoxLayout(textSide);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(0);
    textLayout->addWidget(Memo1, 1);
    textLayout->addWidget(MemoToPlayPanelToolBar);

    buildFileBrowser();
    auto* middle = new QSplitter(Qt::Horizontal, this);
    middle->setChildrenCollapsible(false);
    middle->addWidget(FileSelectPanel);
    middle->addWidget(textSide);
    middle->setStretchFactor(0, 0);
    middle->setStretchFactor(1, 1);
    middle->setSizes({220, 360});
    layout->addWidget(middle, 1);

    buildPlayer();
    layout->addWidget(MediaPlayPanel);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    MemoChButton = new QPushButton(QStringLiteral("変更"), this);
    MemoChButton->setToolTip(QStringLiteral("アルバム情報を変更"));
    MemoCancelButton = new QPushButton(QStringLiteral("閉じる"), this);
    MemoCancelButton->setToolTip(QStringLiteral("メモ帳を閉じる"));
    for (QPushButton* button : {MemoChButton, MemoCancelButton}) {
        button->setAutoDefault(false);
        bottom->addWidget(button);
    }
    connect(MemoChButton, &QPushButton::clicked, this, &TMemoForm::MemoChButtonClick);
    connect(MemoCancelButton, &QPushButton::clicked, this, &TMemoForm::MemoCancelButtonClick);
    layout->addLayout(bottom);

    // The window's place and the text's look come from the settings file
    // when there is one; otherwise the design values stay.
    if (main_.settingsFileRead()) {
        const store::WindowPlace& place = main_.Settings.memoForm;
        move(place.left, place.top);
        resize(std::max(place.width, minimumWidth()), std::max(place.height, minimumHeight()));
        keepOnScreen();
        applyLook();
    } else {
        move(489, 325);
        resize(602, 624);
        QFont font = Memo1->font();
        font.setFamily(QStringLiteral("ＭＳ Ｐゴシック"));
        font.setPointSize(9);
        Memo1->setFont(font);
    }
    showMediaTools(false);
    showCursorLine();
}

TMemoForm::~TMemoForm() = default;

void TMemoForm::buildMenus()
{
    auto* menus = new QMenuBar(this);
    QMenu* file = menus->addMenu(QStringLiteral("ファイル(&F)"));
    connect(file->addAction(QStringLiteral("開く(&O)")), &QAction::triggered, this,
            &TMemoForm::MemoOpenButtonClick);
    connect(file->addAction(QStringLiteral("名前をつけて保存(&S)")), &QAction::triggered, this,
            &TMemoForm::MemoNSaveButtonClick);
    file->addSeparator();
    connect(file->addAction(QStringLiteral("メモフォームを閉じる(&X)")), &QAction::triggered, this,
            &TMemoForm::MemoCancelButtonClick);
    QMenu* edit = menus->addMenu(QStringLiteral("編集(&E)"));
    connect(edit->addAction(QStringLiteral("編集前の状態に戻す(&U)")), &QAction::triggered, this,
            &TMemoForm::MemoUndoButtonClick);
    connect(edit->addAction(QStringLiteral("整形(&M)")), &QAction::triggered, this, &TMemoForm::tidyLines);
    ToolMenu = menus->addMenu(QStringLiteral("ツール(&T)"));
    PlayerToFrontItem = ToolMenu->addAction(QStringLiteral("メディアプレイヤーフォームを前面へ(&M)"));
    connect(PlayerToFrontItem, &QAction::triggered, this, &TMemoForm::bringPlayerToFront);
    connect(ToolMenu, &QMenu::aboutToShow, this, &TMemoForm::ool1Click);
    layout()->setMenuBar(menus);
}

void TMemoForm::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* undo = ToolBar1->addAction(themedIcon("edit-undo", "revert"), QStringLiteral("元に戻す"));
    undo->setToolTip(QStringLiteral("編集前の状態に戻す"));
    connect(undo, &QAction::triggered, this, &TMemoForm::MemoUndoButtonClick);
    QAction* tidy = ToolBar1->addAction(themedIcon("format-justify-left", "convert"), QStringLiteral("整形"));
    tidy->setToolTip(QStringLiteral("整形"));
    connect(tidy, &QAction::triggered, this, &TMemoForm::tidyLines);
    // The heading names the edited column; the edit dialog sets it and
    // every transfer reads it. It is not shown.
    EditLabel = new QLabel(QString::fromUtf8(kColumnHeadings[0]), ToolBar1);
    ToolBar1->addWidget(EditLabel)->setVisible(false);
}

void TMemoForm::buildLabels(QWidget* parent)
{
    auto* grid = new QGridLayout(parent);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    SongCountLabel = new QLabel(parent);
    QFont bold = SongCountLabel->font();
    bold.setBold(true);
    SongCountLabel->setFont(bold);
    SongCountLabel->setMinimumWidth(
        SongCountLabel->fontMetrics().horizontalAdvance(QStringLiteral("999曲目")));
    SongLabel = new QLabel(parent);
    ArtistLabel = new QLabel(parent);
    MediaFileLabel = new QLabel(parent);
    for (QLabel* label : {SongLabel, ArtistLabel, MediaFileLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    grid->addWidget(SongCountLabel, 0, 0);
    grid->addWidget(SongLabel, 0, 1);
    grid->addWidget(ArtistLabel, 0, 2);
    grid->addWidget(MediaFileLabel, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
}

void TMemoForm::keepOnScreen()
{
    ui::keepOnScreen(*this);
}

void TMemoForm::applyLook()
{
    const store::FontSetting& setting = main_.Settings.memoFont;
    Memo1->setFont(fontFrom(setting, Memo1->font()));
    QPalette palette = Memo1->palette();
    const QColor text = colorFromStored(setting.color, palette);
    const QColor background = colorFromStored(main_.Settings.memoColor, palette);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Base, background);
    }
    Memo1->setPalette(palette);
}

void TMemoForm::collectSettings(store::AppSettings& settings) const
{
    settings.memoForm = {x(), y(), width(), height()};
}

int TMemoForm::editColumn() const
{
    for (int c = 0; c < 3; ++c) {
        if (EditLabel->text() == QString::fromUtf8(kColumnHeadings[c])) {
            return c + 1;
        }
    }
    return 1;
}

QStringList TMemoForm::memoLines() const
{
    QStringList lines;
    const QTextDocument* doc = Memo1->document();
    if (doc->isEmpty()) {
        return lines;
    }
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines;
}

int TMemoForm::caretLine() const
{
    const QTextCursor cursor = Memo1->textCursor();
    return Memo1->document()->findBlock(cursor.selectionStart()).blockNumber() + 1;
}

QString TMemoForm::caretLineText() const
{
    const QTextCursor cursor = Memo1->textCursor();
    return Memo1->document()->findBlock(cursor.selectionStart()).text();
}

void TMemoForm::replaceText(const QStringList& lines)
{
    QTextCursor cursor(Memo1->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(lines.join(QLatin1Char('\n')));
    cursor.endEditBlock();
}

void TMemoForm::insertLines(const QStringList& lines)
{
    if (lines.isEmpty()) {
        return;
    }
    QTextCursor cursor = Memo1->textCursor();
    cursor.setPosition(Memo1->document()->findBlock(cursor.selectionStart()).position());
    cursor.insertText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    // The caret goes on to the line that moved down, so that files added one
    // after another stay in the order they were added.
    Memo1->setTextCursor(cursor);
}

void TMemoForm::showCursorLine()
{
    const int k = caretLine();
    SongCountLabel->setText(QStringLiteral("%1曲目").arg(k));
    if (k <= store::kSongSlots && editForm_ != nullptr) {
        SongLabel->setText(editForm_->songCell(k, 1));
        ArtistLabel->setText(editForm_->songCell(k, 2));
        MediaFileLabel->setText(editForm_->songCell(k, 3));
    } else {
        SongLabel->clear();
        ArtistLabel->clear();
        MediaFileLabel->clear();
    }
}

void TMemoForm::MemoCancelButtonClick()
{
    close();
}

void TMemoForm::MemoChButtonClick()
{
    // Empty lines at the end stand for no songs: they go first.
    QTextDocument* doc = Memo1->document();
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
    editForm_->MemoDataReturn();
}

void TMemoForm::MemoUndoButtonClick()
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
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->horizontalScrollBar()->setValue(0);
    Memo1->verticalScrollBar()->setValue(0);
}

void TMemoForm::tidyLines()
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
    Memo1->moveCursor(QTextCursor::Start);
}

void TMemoForm::MemoOpenButtonClick()
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
    Memo1->moveCursor(QTextCursor::Start);
}

void TMemoForm::MemoNSaveButtonClick()
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

void TMemoForm::ool1Click()
{
    TMediaPlayerForm* player = main_.playerForm();
    PlayerToFrontItem->setEnabled(player != nullptr && player->isVisible());
}

void TMemoForm::bringPlayerToFront()
{
    main_.bringPlayerToFront();
}

void TMemoForm::closeEvent(QCloseEvent* event)
{
    FormCloseQuery();
    QWidget::closeEvent(event);
}

void TMemoForm::FormCloseQuery()
{
    // The main window stays disabled until the edit dialog closes.
    if (editForm_ != nullptr) {
        editForm_->setEnabled(true);
        editForm_->activateWindow();
    }
    MediaEjectButtonClick();
}

}  // namespace velmora::ui
