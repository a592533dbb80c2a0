#include "editing/tedit_form.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <array>

#include "browse/album_order.h"
#include "mainwindow/album_list_model.h"
#include "mainwindow/list_images.h"
#include "mainwindow/list_views.h"
#include "mainwindow/tform1.h"
#include "media/tmedia_player_form.h"
#include "platform/prompter.h"
#include "platform/shell.h"
#include "platform/text_codec.h"
#include "store/album_table.h"
#include "store/columns.h"
#include "text/cp932.h"
#include "text/furigana.h"
#include "websearch/websearch.h"

namespace velmora::ui {

using namespace velmora::store;

namespace {

constexpr int kSongRows = kSongSlots;
const char* const kGridHeadings[] = {"曲名", "曲ごとのアーティスト名", "メディアファイル"};

// Cell editors of the song grid share the dialog's key handling, and the
// media column reports what is typed as it is typed.
class SongCellDelegate : public QStyledItemDelegate {
public:
    SongCellDelegate(QObject* keyFilter, std::function<void(int row, int column, const QString&)> onTyped,
                     QObject* parent)
        : QStyledItemDelegate(parent), keyFilter_(keyFilter), onTyped_(std::move(onTyped))
    {
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->installEventFilter(keyFilter_);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const int row = index.row();
            const int column = index.column();
            auto onTyped = onTyped_;
            QObject::connect(line, &QLineEdit::textEdited, line,
                             [onTyped, row, column](const QString& text) { onTyped(row, column, text); });
        }
        return editor;
    }

private:
    QObject* keyFilter_;
    std::function<void(int, int, const QString&)> onTyped_;
};

QToolButton* toolButton(QWidget* parent, const QString& text, const QString& hint, const char* icon = nullptr)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(hint);
    if (icon) {
        button->setIcon(themedIcon(nullptr, icon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    button->setAutoRaise(true);
    return button;
}

}  // namespace

TEditForm::TEditForm(TForm1& main, Prompter& prompter, QWidget* parent)
    : QDialog(parent), main_(main), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("アルバム編集"));
    setObjectName(QStringLiteral("EditForm"));
    setMinimumSize(592, 508);
    resize(690, 613);
    move(277, 139);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->setSpacing(4);

    auto* menus = new QMenuBar(this);
    QMenu* edit = menus->addMenu(QStringLiteral("編集(&E)"));
    connect(edit->addAction(QStringLiteral("編集前の状態に戻す(&U)")), &QAction::triggered, this,
            &TEditForm::undoEdits);
    connect(edit->addAction(QStringLiteral("画像登録(&E)")), &QAction::triggered, this,
            &TEditForm::GFilePassDialogButtonClick);
    QMenu* tools = menus->addMenu(QStringLiteral("ツール(&T)"));
    QAction* playerToFront = tools->addAction(QStringLiteral("メディアプレイヤーフォームを前面へ(&M)"));
    connect(tools->addAction(QStringLiteral("インターネット検索(&S)")), &QAction::triggered, this,
            &TEditForm::InternetSerchButtonClick);
    SearchItemMenu = tools->addMenu(QStringLiteral("インターネット検索項目設定(&U)"));
    connect(SearchItemMenu, &QMenu::aboutToShow, this, [this] { main_.fillSearchItemMenu(SearchItemMenu); });
    connect(playerToFront, &QAction::triggered, this, [this] { main_.bringPlayerToFront(); });
    connect(tools, &QMenu::aboutToShow, this, [this, playerToFront] {
        // Only while the media player window is shown.
        playerToFront->setEnabled(main_.playerForm() != nullptr && main_.playerForm()->isVisible());
    });
    layout->setMenuBar(menus);

    auto* fields = new QWidget(this);
    buildFields(fields);
    layout->addWidget(fields);

    auto* bar = new QWidget(this);
    buildSongTools(bar);
    layout->addWidget(bar);

    buildGrid();
    layout->addWidget(SongGrid, 1);

    buildPreviewPanel();
    layout->addWidget(MediaPanel);

    auto* bottom = new QHBoxLayout;
    InternetSerchButton = new QPushButton(QStringLiteral("ネット検索"), this);
    InternetSerchButton->setToolTip(QStringLiteral("インターネットを使って検索(右クリックで検索項目選択)"));
    InternetSerchBox = new PickBox(this);
    static_cast<PickBox*>(InternetSerchBox)->onDropDown = [this] { InternetSerchBoxDropDown(); };
    InternetSerchBox->setMinimumContentsLength(12);
    connect(InternetSerchButton, &QPushButton::clicked, this, &TEditForm::InternetSerchButtonClick);
    // A right click chooses the fields to search with.
    InternetSerchButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(InternetSerchButton, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { SearchItemMenu->popup(InternetSerchButton->mapToGlobal(pos)); });
    bottom->addWidget(InternetSerchButton);
    bottom->addWidget(InternetSerchBox);
    bottom->addStretch();
    AlbumChangeButton = new QPushButton(QStringLiteral("変更"), this);
    AlbumChangeButton->setToolTip(QStringLiteral("アルバム情報を変更(Ctrl+Enter)"));
    AlbumAddButton = new QPushButton(QStringLiteral("追加"), this);
    AlbumAddButton->setToolTip(QStringLiteral("アルバムを追加(Shift+Ctrl+Enter)"));
    CloseButton = new QPushButton(QStringLiteral("閉じる"), this);
    for (QPushButton* button : {AlbumChangeButton, AlbumAddButton, CloseButton}) {
        button->setAutoDefault(false);
        bottom->addWidget(button);
    }
    connect(AlbumChangeButton, &QPushButton::clicked, this, &TEditForm::AlbumChangeButtonClick);
    connect(AlbumAddButton, &QPushButton::clicked, this, &TEditForm::AlbumAddButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TEditForm::closeDialog);
    layout->addLayout(bottom);
}

void TEditForm::buildFields(QWidget* panel)
{
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    ArtistEditComboBox = new PickBox(panel);
    ArtistEditComboBox->setEditable(true);
    static_cast<PickBox*>(ArtistEditComboBox)->onDropDown = [this] { ArtistEditComboBoxDropDown(); };
    Artist2ComboBox = new PickBox(panel);
    Artist2ComboBox->setEditable(true);
    Artist2ComboBox->onDropDown = [this] { Artist2ComboBoxDropDown(); };
    Label10 = new QLabel(QStringLiteral("フリガナ"), panel);
    Label10->setToolTip(QStringLiteral("クリックでアーティスト名をコピー"));
    Label10->setCursor(Qt::PointingHandCursor);
    Label10->installEventFilter(this);
    AlbumEdit = new QLineEdit(panel);
    janruBox = new QComboBox(panel);
    MediaBox = new QComboBox(panel);
    for (QComboBox* box :
         {ArtistEditComboBox, static_cast<QComboBox*>(Artist2ComboBox), janruBox, MediaBox}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(10);
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    AlbumEdit->installEventFilter(this);
    Memo1Label2 = new QLabel(QStringLiteral("ジャンル"), panel);
    Memo2Label2 = new QLabel(QStringLiteral("メディア"), panel);
    Memo3Label2 = new QLabel(QStringLiteral("メモ"), panel);
    Memo3Label2->setToolTip(QStringLiteral("右クリックで項目選択"));
    Memo3Label2->installEventFilter(this);
    MemoPopupMenu = new QMenu(this);
    connect(MemoPopupMenu, &QMenu::aboutToShow, this, &TEditForm::MemoPopupMenuPopup);
    MemoEditMemo = new QPlainTextEdit(panel);
    MemoEditMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoEditMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoEditMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoEditMemo->setFixedHeight(72);
    MemoEditMemo->installEventFilter(this);
    GFilePassEdit = new QLineEdit(panel);
    GFilePassEdit->installEventFilter(this);
    auto* pick = toolButton(panel, QStringLiteral("画像設定"), QStringLiteral("画像ファイル選択"));
    auto* show = toolButton(panel, QStringLiteral("画像表示"), QStringLiteral("ファイルパスの画像を表示"));
    pick->setAutoRaise(false);
    show->setAutoRaise(false);
    connect(pick, &QToolButton::clicked, this, &TEditForm::GFilePassDialogButtonClick);
    connect(show, &QToolButton::clicked, this, &TEditForm::GDrawButtonClick);

    auto* picture = new QWidget(panel);
    picture->setFixedSize(89, 89);
    EditImage = new QLabel(picture);
    EditImage->setGeometry(0, 0, 89, 89);
    EditImage->setAlignment(Qt::AlignCenter);
    EditImage->hide();
    NoImageEditLabel = new QLabel(QStringLiteral("NoImage"), picture);
    NoImageEditLabel->setGeometry(0, 0, 89, 89);
    NoImageEditLabel->setAlignment(Qt::AlignCenter);
    NoImageEditLabel->setFrameShape(QFrame::Box);
    QFont bold = NoImageEditLabel->font();
    bold.setBold(true);
    NoImageEditLabel->setFont(bold);

    grid->addWidget(new QLabel(QStringLiteral("アーティスト"), panel), 0, 0);
    grid->addWidget(ArtistEditComboBox, 0, 1);
    grid->addWidget(Label10, 0, 2);
    grid->addWidget(Artist2ComboBox, 0, 3);
    grid->addWidget(picture, 0, 4, 4, 1, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("アルバム"), panel), 1, 0);
    grid->addWidget(AlbumEdit, 1, 1, 1, 3);
    grid->addWidget(Memo1Label2, 2, 0);
    grid->addWidget(janruBox, 2, 1);
    grid->addWidget(Memo2Label2, 2, 2);
    grid->addWidget(MediaBox, 2, 3);
    grid->addWidget(Memo3Label2, 3, 0, Qt::AlignTop);
    grid->addWidget(MemoEditMemo, 3, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("画像ファイルパス"), panel), 4, 0);
    grid->addWidget(GFilePassEdit, 4, 1, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pick);
    buttons->addWidget(show);
    grid->addLayout(buttons, 4, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

void TEditForm::buildSongTools(QWidget* bar)
{
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    struct Tool {
        const char* text;
        const char* hint;
        void (TEditForm::*command)();
    };
    const Tool tools[] = {
        {"曲追加", "曲追加", &TEditForm::SongGridAddButtonClick},
        {"曲削除", "曲削除", &TEditForm::SongGridDeleteButtonClick},
        {"▲", "一つ上へ", &TEditForm::SongGridUpButtonClick},
        {"▼", "一つ下へ", &TEditForm::SongGridDownButtonClick},
        {"ファイル", "メディアファイル登録", &TEditForm::SongGridFileSeachButtonClick},
    };
    for (const Tool& tool : tools) {
        QToolButton* button = toolButton(bar, QString::fromUtf8(tool.text), QString::fromUtf8(tool.hint));
        connect(button, &QToolButton::clicked, this, tool.command);
        row->addWidget(button);
    }
    row->addSpacing(8);
    CDEntryButton = toolButton(bar, QStringLiteral("CD"), QStringLiteral("CDを登録"), "cd");
    connect(CDEntryButton, &QToolButton::clicked, this, &TEditForm::CDEntryButtonClick);
    row->addWidget(CDEntryButton);
    row->addSpacing(8);
    SongMemoEditButton = toolButton(bar, QStringLiteral("曲名"), QStringLiteral("曲名をメモ帳で編集"));
    ArtistMemoEditButton = toolButton(bar, QStringLiteral("アーティスト"),
                                      QStringLiteral("曲ごとのアーティスト名をメモ帳で編集"));
    MediaMemoEditButton =
        toolButton(bar, QStringLiteral("メディア"), QStringLiteral("メディアファイルをメモ帳で編集"));
    for (QToolButton* button : {SongMemoEditButton, ArtistMemoEditButton, MediaMemoEditButton}) {
        row->addWidget(button);
    }
    connect(SongMemoEditButton, &QToolButton::clicked, this, &TEditForm::SongMemoEditButtonClick);
    connect(ArtistMemoEditButton, &QToolButton::clicked, this, &TEditForm::ArtistMemoEditButtonClick);
    connect(MediaMemoEditButton, &QToolButton::clicked, this, &TEditForm::MediaMemoEditButtonClick);
    row->addStretch();
}

void TEditForm::buildGrid()
{
    SongGrid = new QTableWidget(kSongRows, 3, this);
    QStringList headings;
    for (const char* heading : kGridHeadings) {
        headings << QString::fromUtf8(heading);
    }
    SongGrid->setHorizontalHeaderLabels(headings);
    QStringList numbers;
    for (int n = 1; n <= kSongRows; ++n) {
        numbers << QString::number(n);
    }
    SongGrid->setVerticalHeaderLabels(numbers);
    SongGrid->verticalHeader()->setDefaultSectionSize(24);
    SongGrid->verticalHeader()->setMinimumWidth(20);
    SongGrid->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (int c = 0; c < 3; ++c) {
        SongGrid->setColumnWidth(c, 150);
    }
    SongGrid->horizontalHeader()->setSectionsMovable(true);
    SongGrid->verticalHeader()->setSectionsMovable(true);
    SongGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    SongGrid->setTabKeyNavigation(true);
    SongGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    SongGrid->setCornerButtonEnabled(false);
    SongGrid->setItemDelegate(new SongCellDelegate(
        this,
        [this](int row, int column, const QString& text) {
            if (column == 2 && row == SongGrid->currentRow()) {
                MediaNameLabel->setText(text);
            }
        },
        SongGrid));
    SongGrid->installEventFilter(this);
    connect(SongGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { SongGridSelectCell(column + 1, row + 1); });
    connect(SongGrid->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { SongGridColumnMoved(false, from, to); });
    connect(SongGrid->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { SongGridColumnMoved(true, from, to); });
}

QString TEditForm::songCell(int row, int column) const
{
    QTableWidgetItem* item = SongGrid->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

void TEditForm::setSongCell(int row, int column, const QString& text)
{
    QTableWidgetItem* item = SongGrid->item(row - 1, column - 1);
    if (item) {
        item->setText(text);
    } else if (!text.isEmpty()) {
        SongGrid->setItem(row - 1, column - 1, new QTableWidgetItem(text));
    }
}

int TEditForm::currentSongRow() const
{
    return SongGrid->currentRow() + 1;
}

void TEditForm::setCurrentCell(int row, int column)
{
    SongGrid->setCurrentCell(row - 1, column - 1);
}

void TEditForm::commitGridEdit()
{
    // Closing the editor stores what was typed in the cell.
    if (QWidget* editor = SongGrid->indexWidget(SongGrid->currentIndex())) {
        emit SongGrid->itemDelegate()->commitData(editor);
    }
}

void TEditForm::setSuggestions(const std::vector<std::string>& genres, const std::vector<std::string>& media,
                               const std::vector<std::string>& memoChoices)
{
    janruBox->clear();
    for (const std::string& genre : genres) {
        janruBox->addItem(fromCp932(genre));
    }
    MediaBox->clear();
    for (const std::string& medium : media) {
        MediaBox->addItem(fromCp932(medium));
    }
    MemoChoices = memoChoices;
}

std::vector<std::string> TEditForm::genreSuggestions() const
{
    std::vector<std::string> lines;
    for (int i = 0; i < janruBox->count(); ++i) {
        lines.push_back(toCp932(janruBox->itemText(i)).value_or(std::string()));
    }
    return lines;
}

std::vector<std::string> TEditForm::mediaSuggestions() const
{
    std::vector<std::string> lines;
    for (int i = 0; i < MediaBox->count(); ++i) {
        lines.push_back(toCp932(MediaBox->itemText(i)).value_or(std::string()));
    }
    return lines;
}

void TEditForm::setCategoryCaptions(const QString& first, const QString& second, const QString& third)
{
    Memo1Label2->setText(first);
    Memo2Label2->setText(second);
    Memo3Label2->setText(third);
}

void TEditForm::EditDataSend(const AlbumRecord& record)
{
    shown_ = record;
    setWindowTitle(QStringLiteral("アルバム編集 - ") + fromCp932(record[ArtistColumn]) + QLatin1Char('/') +
                   fromCp932(record[AlbumColumn]));
    ArtistEditComboBox->setEditText(fromCp932(record[ArtistColumn]));
    Artist2ComboBox->setEditText(fromCp932(record[FuriganaColumn]));
    AlbumEdit->setText(fromCp932(record[AlbumColumn]));
    janruBox->setEditText(fromCp932(record[Memo1Column]));
    MediaBox->setEditText(fromCp932(record[Memo2Column]));
    QStringList lines;
    for (const std::string& line : splitMemo(record[Memo3Column])) {
        lines << fromCp932(line);
    }
    MemoEditMemo->setPlainText(lines.join(QLatin1Char('\n')));
    GFilePassEdit->setText(fromCp932(record[ImagePathColumn]));
    GDrawButtonClick();
    for (int n = 1; n <= kSongRows; ++n) {
        setSongCell(n, 1, fromCp932(record[songTitleColumn(n)]));
        setSongCell(n, 2, fromCp932(record[songArtistColumn(n)]));
        setSongCell(n, 3, fromCp932(record[mediaColumn(n)]));
    }
}

std::optional<AlbumRecord> TEditForm::EditDataReturn()
{
    commitGridEdit();
    AlbumRecord record;
    // Each field keeps the bytes it was shown with where its text is
    // unchanged; a text the catalogue cannot hold is refused by name.
    auto store = [&](int column, const QString& field, const QString& text) {
        QString problem;
        std::optional<std::string> bytes = toCp932Preserving(shown_[column], text, &problem);
        if (bytes && checkCell(column, *bytes) == CellProblem::Separator) {
            problem = QStringLiteral("「<>」は保存できない文字列です。");
            bytes.reset();
        } else if (bytes && checkCell(column, *bytes) != CellProblem::None) {
            problem = QStringLiteral("改行や文字の途中で終わる文字列は保存できません。");
            bytes.reset();
        }
        if (!bytes) {
            prompter_.information(QStringLiteral("%1: %2").arg(field, problem));
            return false;
        }
        record[column] = std::move(*bytes);
        return true;
    };
    if (!store(ArtistColumn, QStringLiteral("アーティスト"), ArtistEditComboBox->currentText()) ||
        !store(AlbumColumn, QStringLiteral("アルバム"), AlbumEdit->text()) ||
        !store(Memo1Column, Memo1Label2->text(), janruBox->currentText()) ||
        !store(Memo2Column, Memo2Label2->text(), MediaBox->currentText())) {
        return std::nullopt;
    }
    const QString memo = MemoEditMemo->toPlainText();
    std::vector<std::string> memoLines;
    const std::vector<std::string> shownLines = splitMemo(shown_[Memo3Column]);
    if (!memo.isEmpty()) {
        const QStringList lines = memo.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const QString field = QStringLiteral("%1 (%2行目)").arg(Memo3Label2->text()).arg(i + 1);
            QString problem;
            std::string original = static_cast<std::size_t>(i) < shownLines.size()
                                       ? shownLines[static_cast<std::size_t>(i)]
                                       : std::string();
            std::optional<std::string> bytes = toCp932Preserving(original, lines[i], &problem);
            if (bytes && text::containsOnBoundary(*bytes, "{}")) {
                problem = QStringLiteral("「{}」は保存できない文字列です。");
                bytes.reset();
            } else if (bytes && text::endsWithLoneLeadByte(*bytes)) {
                problem = QStringLiteral("文字の途中で終わっています。");
                bytes.reset();
            }
            if (!bytes) {
                prompter_.information(QStringLiteral("%1: %2").arg(field, problem));
                return std::nullopt;
            }
            memoLines.push_back(std::move(*bytes));
        }
    }
    std::string joined = joinMemo(memoLines);
    if (text::containsOnBoundary(joined, "<>")) {
        prompter_.information(Memo3Label2->text() + QStringLiteral(": 「<>」は保存できない文字列です。"));
        return std::nullopt;
    }
    record[Memo3Column] = joined == shown_[Memo3Column] ? shown_[Memo3Column] : joined;
    if (!store(ImagePathColumn, QStringLiteral("画像ファイルパス"), GFilePassEdit->text()) ||
        !store(FuriganaColumn, QStringLiteral("フリガナ"), Artist2ComboBox->currentText())) {
        return std::nullopt;
    }
    for (int n = 1; n <= kSongRows; ++n) {
        const QString song = QStringLiteral("%1曲目の").arg(n);
        if (!store(songTitleColumn(n), song + QStringLiteral("曲名"), songCell(n, 1)) ||
            !store(songArtistColumn(n), song + QStringLiteral("曲ごとのアーティスト名"), songCell(n, 2)) ||
            !store(mediaColumn(n), song + QStringLiteral("メディアファイル"), songCell(n, 3))) {
            return std::nullopt;
        }
    }
    return record;
}

void TEditForm::AlbumChangeButtonClick()
{
    if (main_.selectedAlbum() == 0) {
        prompter_.information(QStringLiteral("アルバムが選択されていません"));
        return;
    }
    std::optional<AlbumRecord> record = EditDataReturn();
    if (!record) {
        return;
    }
    close();
    main_.EditListBox = std::move(*record);
    main_.AlbumChange();
}

void TEditForm::AlbumAddButtonClick()
{
    commitGridEdit();
    if (main_.selectedAlbum() != 0 &&
        !prompter_.confirm(ArtistEditComboBox->currentText() + QLatin1Char('/') +
                           Artist2ComboBox->currentText() + QStringLiteral("　を追加しますか？"))) {
        return;
    }
    std::optional<AlbumRecord> record = EditDataReturn();
    if (!record) {
        return;
    }
    close();
    main_.EditListBox = std::move(*record);
    main_.AlbumAdd();
}

void TEditForm::closeDialog()
{
    close();
}

void TEditForm::FormShow()
{
    if (InternetSerchBox->count() == 0) {
        InternetSerchBoxDropDown();
        if (InternetSerchBox->count() >= 2) {
            InternetSerchBox->setCurrentIndex(0);
        }
    }
    setCategoryCaptions(main_.Memo1Label->text(), main_.Memo2Label->text(), main_.Memo3Label->text());
}

void TEditForm::done(int result)
{
    FormCloseQuery();
    QDialog::done(result);
}

void TEditForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TEditForm::FormCloseQuery()
{
    // The edits are discarded; the next opening refills every field. No
    // preview outlives the dialog.
    EjectButtonClick();
    main_.setEnabled(true);
}

void TEditForm::undoEdits()
{
    EditDataSend(main_.EditListBox);
}

void TEditForm::ArtistEditComboBoxDropDown()
{
    const QString typed = ArtistEditComboBox->currentText();
    std::vector<std::string_view> artists;
    for (const AlbumListModel::Entry& e : main_.albumModel()->entries()) {
        if (e.album >= 1 && e.album <= main_.DataGrid.albumCount()) {
            artists.push_back(main_.DataGrid.cell(ArtistColumn, e.album));
        }
    }
    ArtistEditComboBox->clear();
    for (const std::string& artist : browse::distinctIgnoringCase(artists)) {
        ArtistEditComboBox->addItem(fromCp932(artist));
    }
    ArtistEditComboBox->setEditText(typed);
}

void TEditForm::Artist2ComboBoxDropDown()
{
    const QString typed = Artist2ComboBox->currentText();
    std::optional<std::string> artist = toCp932(ArtistEditComboBox->currentText());
    Artist2ComboBox->clear();
    if (!artist) {
        Artist2ComboBox->setEditText(typed);
        return;
    }
    std::vector<std::string_view> readings;
    for (int row = 1; row <= main_.DataGrid.albumCount(); ++row) {
        AlbumTable::RowCells cells = main_.DataGrid.rowCells(row);
        if (cells[ArtistColumn] == *artist) {
            readings.push_back(cells[FuriganaColumn]);
        }
    }
    for (const std::string& suggestion : text::furiganaSuggestions(*artist, readings)) {
        Artist2ComboBox->addItem(fromCp932(suggestion));
    }
    Artist2ComboBox->setEditText(typed);
}

void TEditForm::copyArtistToSongArtist()
{
    Artist2ComboBox->setEditText(ArtistEditComboBox->currentText());
}

void TEditForm::GFilePassDialogButtonClick()
{
    std::optional<QString> picture = prompter_.openFile(
        QStringLiteral("画像ファイル選択"),
        QStringLiteral("画像ファイル (*.jpg *.jpeg *.bmp *.ico *.png *.gif);;すべてのファイル (*)"),
        GFilePassEdit->text());
    if (picture) {
        GFilePassEdit->setText(*picture);
        GDrawButtonClick();
    }
}

void TEditForm::GDrawButtonClick()
{
    const QString path = GFilePassEdit->text();
    if (!showPicture(EditImage, NoImageEditLabel, path, 89)) {
        prompter_.error(QStringLiteral("画像を読み込めませんでした。\r\n%1").arg(path));
    }
}

void TEditForm::swapRows(int a, int b)
{
    for (int c = 1; c <= 3; ++c) {
        QString first = songCell(a, c);
        setSongCell(a, c, songCell(b, c));
        setSongCell(b, c, first);
    }
}

void TEditForm::SongGridAddButtonClick()
{
    commitGridEdit();
    const int r = currentSongRow();
    if (r < 1) {
        return;
    }
    for (int row = kSongRows; row > r; --row) {
        for (int c = 1; c <= 3; ++c) {
            setSongCell(row, c, songCell(row - 1, c));
        }
    }
    for (int c = 1; c <= 3; ++c) {
        setSongCell(r, c, QString());
    }
}

void TEditForm::SongGridDeleteButtonClick()
{
    commitGridEdit();
    const int r = currentSongRow();
    if (r < 1) {
        return;
    }
    for (int row = r; row < kSongRows; ++row) {
        for (int c = 1; c <= 3; ++c) {
            setSongCell(row, c, songCell(row + 1, c));
        }
    }
    for (int c = 1; c <= 3; ++c) {
        setSongCell(kSongRows, c, QString());
    }
}

void TEditForm::SongGridUpButtonClick()
{
    commitGridEdit();
    const int r = currentSongRow();
    if (r <= 1) {
        return;
    }
    swapRows(r - 1, r);
    setCurrentCell(r - 1, std::max(1, SongGrid->currentColumn() + 1));
}

void TEditForm::SongGridDownButtonClick()
{
    commitGridEdit();
    const int r = currentSongRow();
    if (r < 1 || r >= kSongRows) {
        return;
    }
    swapRows(r, r + 1);
    setCurrentCell(r + 1, std::max(1, SongGrid->currentColumn() + 1));
}

void TEditForm::SongGridFileSeachButtonClick()
{
    const int r = std::max(1, currentSongRow());
    std::optional<QString> file = prompter_.openFile(QStringLiteral("読み込みファイル選択"),
                                                     QStringLiteral("すべてのファイル (*)"), songCell(r, 3));
    if (!file) {
        return;
    }
    setSongCell(r, 3, *file);
    setCurrentCell(r, 3);
    MediaNameLabel->setText(*file);
}

void TEditForm::SongGridSelectCell(int column, int row)
{
    MediaPanel->setVisible(column == 3);
    EjectButtonClick();
    if (row >= 1 && row <= kSongRows) {
        MediaNameLabel->setText(songCell(row, 3));
    }
}

void TEditForm::SongGridColumnMoved(bool rows, int from, int to)
{
    if (movingSections_ || from == to) {
        return;
    }
    // The headings and numbers stay in place: the cells move instead, and
    // are then the field whose heading stands over them.
    QHeaderView* header = rows ? SongGrid->verticalHeader() : SongGrid->horizontalHeader();
    movingSections_ = true;
    header->moveSection(to, from);
    movingSections_ = false;
    commitGridEdit();
    auto moveAlong = [&](auto get, auto set, int count) {
        std::vector<QString> cells;
        for (int i = 0; i < count; ++i) {
            cells.push_back(get(i));
        }
        QString moved = cells[static_cast<std::size_t>(from)];
        cells.erase(cells.begin() + from);
        cells.insert(cells.begin() + to, moved);
        for (int i = 0; i < count; ++i) {
            set(i, cells[static_cast<std::size_t>(i)]);
        }
    };
    if (rows) {
        for (int c = 1; c <= 3; ++c) {
            moveAlong([&](int i) { return songCell(i + 1, c); },
                      [&](int i, const QString& t) { setSongCell(i + 1, c, t); }, kSongRows);
        }
    } else {
        for (int r = 1; r <= kSongRows; ++r) {
            moveAlong([&](int i) { return songCell(r, i + 1); },
                      [&](int i, const QString& t) { setSongCell(r, i + 1, t); }, 3);
        }
    }
}

void TEditForm::MemoPopupMenuPopup()
{
    MemoPopupMenu->clear();
    for (const std::string& choice : MemoChoices) {
        QString line = fromCp932(choice);
        connect(MemoPopupMenu->addAction(line), &QAction::triggered, this,
                [this, line] { MemoEditMemo->setPlainText(line); });
    }
}

bool TEditForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == Label10 && mouse->button() == Qt::LeftButton) {
            copyArtistToSongArtist();
            return true;
        }
        if (watched == Memo3Label2 && mouse->button() == Qt::RightButton) {
            MemoPopupMenu->popup(mouse->globalPosition().toPoint());
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (key->key() == Qt::Key_Insert || (enter && mods == (Qt::ShiftModifier | Qt::ControlModifier))) {
        AlbumAddButtonClick();
        return true;
    }
    if (enter && mods == Qt::ControlModifier) {
        AlbumChangeButtonClick();
        return true;
    }
    if (!enter) {
        return QDialog::eventFilter(watched, event);
    }
    auto isIn = [watched](QWidget* widget) {
        return watched == widget ||
               (qobject_cast<QComboBox*>(widget) && watched == static_cast<QComboBox*>(widget)->lineEdit());
    };
    if (mods == Qt::ShiftModifier) {
        if (!isIn(SongGrid) && watched->parent() != SongGrid->viewport()) {
            SongGrid->setFocus();
            return true;
        }
        return false;
    }
    if (mods != Qt::NoModifier) {
        return false;
    }
    // Plain Enter moves through the upper fields; in the memo it breaks the
    // line, in the grid it does nothing of its own.
    const std::pair<QWidget*, QWidget*> next[] = {{ArtistEditComboBox, Artist2ComboBox},
                                                  {Artist2ComboBox, AlbumEdit},
                                                  {AlbumEdit, janruBox},
                                                  {janruBox, MediaBox},
                                                  {MediaBox, GFilePassEdit}};
    for (const auto& [from, to] : next) {
        if (isIn(from)) {
            to->setFocus();
            return true;
        }
    }
    if (watched == GFilePassEdit) {
        GDrawButtonClick();
        ArtistEditComboBox->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velmora::ui
