#include "ui/editing/album_edit_dialog.h"

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

#include "core/browse/album_order.h"
#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "core/text/cp932.h"
#include "core/text/furigana.h"
#include "core/websearch/websearch.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/shell.h"
#include "ui/platform/text_codec.h"
#include "ui/player/player_window.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"

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

AlbumEditDialog::AlbumEditDialog(MainWindow& main, Prompter& prompter, QWidget* parent)
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
            &AlbumEditDialog::undoEdits);
    connect(edit->addAction(QStringLiteral("画像登録(&E)")), &QAction::triggered, this,
            &AlbumEditDialog::pickPicture);
    QMenu* tools = menus->addMenu(QStringLiteral("ツール(&T)"));
    QAction* playerToFront = tools->addAction(QStringLiteral("メディアプレイヤーフォームを前面へ(&M)"));
    connect(tools->addAction(QStringLiteral("インターネット検索(&S)")), &QAction::triggered, this,
            &AlbumEditDialog::runWebSearch);
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
    layout->addWidget(songTable, 1);

    buildPreviewPanel();
    layout->addWidget(previewPanel);

    auto* bottom = new QHBoxLayout;
    webSearchButton = new QPushButton(QStringLiteral("ネット検索"), this);
    webSearchButton->setToolTip(QStringLiteral("インターネットを使って検索(右クリックで検索項目選択)"));
    webSearchBox = new PickBox(this);
    static_cast<PickBox*>(webSearchBox)->onDropDown = [this] { fillWebSearchItems(); };
    webSearchBox->setMinimumContentsLength(12);
    connect(webSearchButton, &QPushButton::clicked, this, &AlbumEditDialog::runWebSearch);
    // A right click chooses the fields to search with.
    webSearchButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(webSearchButton, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { SearchItemMenu->popup(webSearchButton->mapToGlobal(pos)); });
    bottom->addWidget(webSearchButton);
    bottom->addWidget(webSearchBox);
    bottom->addStretch();
    changeAlbumButton = new QPushButton(QStringLiteral("変更"), this);
    changeAlbumButton->setToolTip(QStringLiteral("アルバム情報を変更(Ctrl+Enter)"));
    addAlbumButton = new QPushButton(QStringLiteral("追加"), this);
    addAlbumButton->setToolTip(QStringLiteral("アルバムを追加(Shift+Ctrl+Enter)"));
    closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    for (QPushButton* button : {changeAlbumButton, addAlbumButton, closeButton}) {
        button->setAutoDefault(false);
        bottom->addWidget(button);
    }
    connect(changeAlbumButton, &QPushButton::clicked, this, &AlbumEditDialog::changeAlbum);
    connect(addAlbumButton, &QPushButton::clicked, this, &AlbumEditDialog::addAlbum);
    connect(closeButton, &QPushButton::clicked, this, &AlbumEditDialog::closeDialog);
    layout->addLayout(bottom);
}

void AlbumEditDialog::buildFields(QWidget* panel)
{
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    artistCombo = new PickBox(panel);
    artistCombo->setEditable(true);
    static_cast<PickBox*>(artistCombo)->onDropDown = [this] { fillArtistSuggestions(); };
    readingCombo = new PickBox(panel);
    readingCombo->setEditable(true);
    readingCombo->onDropDown = [this] { fillReadingSuggestions(); };
    readingLabel = new QLabel(QStringLiteral("フリガナ"), panel);
    readingLabel->setToolTip(QStringLiteral("クリックでアーティスト名をコピー"));
    readingLabel->setCursor(Qt::PointingHandCursor);
    readingLabel->installEventFilter(this);
    titleEdit = new QLineEdit(panel);
    genreCombo = new QComboBox(panel);
    mediaCombo = new QComboBox(panel);
    for (QComboBox* box : {artistCombo, static_cast<QComboBox*>(readingCombo), genreCombo, mediaCombo}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(10);
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    titleEdit->installEventFilter(this);
    category1Caption = new QLabel(QStringLiteral("ジャンル"), panel);
    category2Caption = new QLabel(QStringLiteral("メディア"), panel);
    category3Caption = new QLabel(QStringLiteral("メモ"), panel);
    category3Caption->setToolTip(QStringLiteral("右クリックで項目選択"));
    category3Caption->installEventFilter(this);
    MemoPopupMenu = new QMenu(this);
    connect(MemoPopupMenu, &QMenu::aboutToShow, this, &AlbumEditDialog::prepareMemoMenu);
    memoEdit = new QPlainTextEdit(panel);
    memoEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoEdit->setFixedHeight(72);
    memoEdit->installEventFilter(this);
    picturePathEdit = new QLineEdit(panel);
    picturePathEdit->installEventFilter(this);
    auto* pick = toolButton(panel, QStringLiteral("画像設定"), QStringLiteral("画像ファイル選択"));
    auto* show = toolButton(panel, QStringLiteral("画像表示"), QStringLiteral("ファイルパスの画像を表示"));
    pick->setAutoRaise(false);
    show->setAutoRaise(false);
    connect(pick, &QToolButton::clicked, this, &AlbumEditDialog::pickPicture);
    connect(show, &QToolButton::clicked, this, &AlbumEditDialog::showPicturePath);

    auto* picture = new QWidget(panel);
    picture->setFixedSize(89, 89);
    pictureView = new QLabel(picture);
    pictureView->setGeometry(0, 0, 89, 89);
    pictureView->setAlignment(Qt::AlignCenter);
    pictureView->hide();
    noPictureLabel = new QLabel(QStringLiteral("NoImage"), picture);
    noPictureLabel->setGeometry(0, 0, 89, 89);
    noPictureLabel->setAlignment(Qt::AlignCenter);
    noPictureLabel->setFrameShape(QFrame::Box);
    QFont bold = noPictureLabel->font();
    bold.setBold(true);
    noPictureLabel->setFont(bold);

    grid->addWidget(new QLabel(QStringLiteral("アーティスト"), panel), 0, 0);
    grid->addWidget(artistCombo, 0, 1);
    grid->addWidget(readingLabel, 0, 2);
    grid->addWidget(readingCombo, 0, 3);
    grid->addWidget(picture, 0, 4, 4, 1, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("アルバム"), panel), 1, 0);
    grid->addWidget(titleEdit, 1, 1, 1, 3);
    grid->addWidget(category1Caption, 2, 0);
    grid->addWidget(genreCombo, 2, 1);
    grid->addWidget(category2Caption, 2, 2);
    grid->addWidget(mediaCombo, 2, 3);
    grid->addWidget(category3Caption, 3, 0, Qt::AlignTop);
    grid->addWidget(memoEdit, 3, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("画像ファイルパス"), panel), 4, 0);
    grid->addWidget(picturePathEdit, 4, 1, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pick);
    buttons->addWidget(show);
    grid->addLayout(buttons, 4, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

void AlbumEditDialog::buildSongTools(QWidget* bar)
{
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    struct Tool {
        const char* text;
        const char* hint;
        void (AlbumEditDialog::*command)();
    };
    const Tool tools[] = {
        {"曲追加", "曲追加", &AlbumEditDialog::insertSong},
        {"曲削除", "曲削除", &AlbumEditDialog::deleteSong},
        {"▲", "一つ上へ", &AlbumEditDialog::moveSongUp},
        {"▼", "一つ下へ", &AlbumEditDialog::moveSongDown},
        {"ファイル", "メディアファイル登録", &AlbumEditDialog::pickSongMedia},
    };
    for (const Tool& tool : tools) {
        QToolButton* button = toolButton(bar, QString::fromUtf8(tool.text), QString::fromUtf8(tool.hint));
        connect(button, &QToolButton::clicked, this, tool.command);
        row->addWidget(button);
    }
    row->addSpacing(8);
    discButton = toolButton(bar, QStringLiteral("CD"), QStringLiteral("CDを登録"), "cd");
    connect(discButton, &QToolButton::clicked, this, &AlbumEditDialog::registerDiscTracks);
    row->addWidget(discButton);
    row->addSpacing(8);
    titleColumnButton = toolButton(bar, QStringLiteral("曲名"), QStringLiteral("曲名をメモ帳で編集"));
    artistColumnButton = toolButton(bar, QStringLiteral("アーティスト"),
                                    QStringLiteral("曲ごとのアーティスト名をメモ帳で編集"));
    mediaColumnButton =
        toolButton(bar, QStringLiteral("メディア"), QStringLiteral("メディアファイルをメモ帳で編集"));
    for (QToolButton* button : {titleColumnButton, artistColumnButton, mediaColumnButton}) {
        row->addWidget(button);
    }
    connect(titleColumnButton, &QToolButton::clicked, this, &AlbumEditDialog::editTitleColumn);
    connect(artistColumnButton, &QToolButton::clicked, this, &AlbumEditDialog::editArtistColumn);
    connect(mediaColumnButton, &QToolButton::clicked, this, &AlbumEditDialog::editMediaColumn);
    row->addStretch();
}

void AlbumEditDialog::buildGrid()
{
    songTable = new QTableWidget(kSongRows, 3, this);
    QStringList headings;
    for (const char* heading : kGridHeadings) {
        headings << QString::fromUtf8(heading);
    }
    songTable->setHorizontalHeaderLabels(headings);
    QStringList numbers;
    for (int n = 1; n <= kSongRows; ++n) {
        numbers << QString::number(n);
    }
    songTable->setVerticalHeaderLabels(numbers);
    songTable->verticalHeader()->setDefaultSectionSize(24);
    songTable->verticalHeader()->setMinimumWidth(20);
    songTable->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (int c = 0; c < 3; ++c) {
        songTable->setColumnWidth(c, 150);
    }
    songTable->horizontalHeader()->setSectionsMovable(true);
    songTable->verticalHeader()->setSectionsMovable(true);
    songTable->setEditTriggers(QAbstractItemView::AllEditTriggers);
    songTable->setTabKeyNavigation(true);
    songTable->setSelectionMode(QAbstractItemView::SingleSelection);
    songTable->setCornerButtonEnabled(false);
    songTable->setItemDelegate(new SongCellDelegate(
        this,
        [this](int row, int column, const QString& text) {
            if (column == 2 && row == songTable->currentRow()) {
                mediaNameLabel->setText(text);
            }
        },
        songTable));
    songTable->installEventFilter(this);
    connect(songTable, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { songCellSelected(column + 1, row + 1); });
    connect(songTable->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { SongGridColumnMoved(false, from, to); });
    connect(songTable->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { SongGridColumnMoved(true, from, to); });
}

QString AlbumEditDialog::songCell(int row, int column) const
{
    QTableWidgetItem* item = songTable->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

void AlbumEditDialog::setSongCell(int row, int column, const QString& text)
{
    QTableWidgetItem* item = songTable->item(row - 1, column - 1);
    if (item) {
        item->setText(text);
    } else if (!text.isEmpty()) {
        songTable->setItem(row - 1, column - 1, new QTableWidgetItem(text));
    }
}

int AlbumEditDialog::currentSongRow() const
{
    return songTable->currentRow() + 1;
}

void AlbumEditDialog::setCurrentCell(int row, int column)
{
    songTable->setCurrentCell(row - 1, column - 1);
}

void AlbumEditDialog::commitGridEdit()
{
    // Closing the editor stores what was typed in the cell.
    if (QWidget* editor = songTable->indexWidget(songTable->currentIndex())) {
        emit songTable->itemDelegate()->commitData(editor);
    }
}

void AlbumEditDialog::setSuggestions(const std::vector<std::string>& genres,
                                     const std::vector<std::string>& media,
                                     const std::vector<std::string>& choices)
{
    genreCombo->clear();
    for (const std::string& genre : genres) {
        genreCombo->addItem(fromCp932(genre));
    }
    mediaCombo->clear();
    for (const std::string& medium : media) {
        mediaCombo->addItem(fromCp932(medium));
    }
    memoChoices = choices;
}

std::vector<std::string> AlbumEditDialog::genreSuggestions() const
{
    std::vector<std::string> lines;
    for (int i = 0; i < genreCombo->count(); ++i) {
        lines.push_back(toCp932(genreCombo->itemText(i)).value_or(std::string()));
    }
    return lines;
}

std::vector<std::string> AlbumEditDialog::mediaSuggestions() const
{
    std::vector<std::string> lines;
    for (int i = 0; i < mediaCombo->count(); ++i) {
        lines.push_back(toCp932(mediaCombo->itemText(i)).value_or(std::string()));
    }
    return lines;
}

void AlbumEditDialog::setCategoryCaptions(const QString& first, const QString& second, const QString& third)
{
    category1Caption->setText(first);
    category2Caption->setText(second);
    category3Caption->setText(third);
}

void AlbumEditDialog::loadAlbum(const AlbumRecord& record)
{
    shown_ = record;
    setWindowTitle(QStringLiteral("アルバム編集 - ") + fromCp932(record[ArtistColumn]) + QLatin1Char('/') +
                   fromCp932(record[AlbumColumn]));
    artistCombo->setEditText(fromCp932(record[ArtistColumn]));
    readingCombo->setEditText(fromCp932(record[FuriganaColumn]));
    titleEdit->setText(fromCp932(record[AlbumColumn]));
    genreCombo->setEditText(fromCp932(record[Category1Column]));
    mediaCombo->setEditText(fromCp932(record[Category2Column]));
    QStringList lines;
    for (const std::string& line : splitMemo(record[Category3Column])) {
        lines << fromCp932(line);
    }
    memoEdit->setPlainText(lines.join(QLatin1Char('\n')));
    picturePathEdit->setText(fromCp932(record[ImagePathColumn]));
    showPicturePath();
    for (int n = 1; n <= kSongRows; ++n) {
        setSongCell(n, 1, fromCp932(record[songTitleColumn(n)]));
        setSongCell(n, 2, fromCp932(record[songArtistColumn(n)]));
        setSongCell(n, 3, fromCp932(record[mediaColumn(n)]));
    }
}

std::optional<AlbumRecord> AlbumEditDialog::editedRecord()
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
    if (!store(ArtistColumn, QStringLiteral("アーティスト"), artistCombo->currentText()) ||
        !store(AlbumColumn, QStringLiteral("アルバム"), titleEdit->text()) ||
        !store(Category1Column, category1Caption->text(), genreCombo->currentText()) ||
        !store(Category2Column, category2Caption->text(), mediaCombo->currentText())) {
        return std::nullopt;
    }
    const QString memo = memoEdit->toPlainText();
    std::vector<std::string> memoLines;
    const std::vector<std::string> shownLines = splitMemo(shown_[Category3Column]);
    if (!memo.isEmpty()) {
        const QStringList lines = memo.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const QString field = QStringLiteral("%1 (%2行目)").arg(category3Caption->text()).arg(i + 1);
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
        prompter_.information(category3Caption->text() +
                              QStringLiteral(": 「<>」は保存できない文字列です。"));
        return std::nullopt;
    }
    record[Category3Column] = joined == shown_[Category3Column] ? shown_[Category3Column] : joined;
    if (!store(ImagePathColumn, QStringLiteral("画像ファイルパス"), picturePathEdit->text()) ||
        !store(FuriganaColumn, QStringLiteral("フリガナ"), readingCombo->currentText())) {
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

void AlbumEditDialog::changeAlbum()
{
    if (main_.selectedAlbum() == 0) {
        prompter_.information(QStringLiteral("アルバムが選択されていません"));
        return;
    }
    std::optional<AlbumRecord> record = editedRecord();
    if (!record) {
        return;
    }
    close();
    main_.editedAlbum = std::move(*record);
    main_.changeSelectedAlbum();
}

void AlbumEditDialog::addAlbum()
{
    commitGridEdit();
    if (main_.selectedAlbum() != 0 &&
        !prompter_.confirm(artistCombo->currentText() + QLatin1Char('/') + readingCombo->currentText() +
                           QStringLiteral("　を追加しますか？"))) {
        return;
    }
    std::optional<AlbumRecord> record = editedRecord();
    if (!record) {
        return;
    }
    close();
    main_.editedAlbum = std::move(*record);
    main_.addEditedAlbum();
}

void AlbumEditDialog::closeDialog()
{
    close();
}

void AlbumEditDialog::prepareForShowing()
{
    if (webSearchBox->count() == 0) {
        fillWebSearchItems();
        if (webSearchBox->count() >= 2) {
            webSearchBox->setCurrentIndex(0);
        }
    }
    setCategoryCaptions(main_.categoryCaption(0), main_.categoryCaption(1), main_.categoryCaption(2));
}

void AlbumEditDialog::done(int result)
{
    closeQuery();
    QDialog::done(result);
}

void AlbumEditDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AlbumEditDialog::closeQuery()
{
    // The edits are discarded; the next opening refills every field. No
    // preview outlives the dialog.
    ejectPreview();
    main_.setEnabled(true);
}

void AlbumEditDialog::undoEdits()
{
    loadAlbum(main_.editedAlbum);
}

void AlbumEditDialog::fillArtistSuggestions()
{
    const QString typed = artistCombo->currentText();
    std::vector<std::string_view> artists;
    for (const catalogue::ListEntry& e : main_.catalogue().entries()) {
        if (e.album >= 1 && e.album <= main_.catalogue().albumCount()) {
            artists.push_back(main_.catalogue().albums().cell(ArtistColumn, e.album));
        }
    }
    artistCombo->clear();
    for (const std::string& artist : browse::distinctIgnoringCase(artists)) {
        artistCombo->addItem(fromCp932(artist));
    }
    artistCombo->setEditText(typed);
}

void AlbumEditDialog::fillReadingSuggestions()
{
    const QString typed = readingCombo->currentText();
    std::optional<std::string> artist = toCp932(artistCombo->currentText());
    readingCombo->clear();
    if (!artist) {
        readingCombo->setEditText(typed);
        return;
    }
    std::vector<std::string_view> readings;
    for (int row = 1; row <= main_.catalogue().albumCount(); ++row) {
        AlbumTable::RowCells cells = main_.catalogue().albums().rowCells(row);
        if (cells[ArtistColumn] == *artist) {
            readings.push_back(cells[FuriganaColumn]);
        }
    }
    for (const std::string& suggestion : text::furiganaSuggestions(*artist, readings)) {
        readingCombo->addItem(fromCp932(suggestion));
    }
    readingCombo->setEditText(typed);
}

void AlbumEditDialog::copyArtistToSongArtist()
{
    readingCombo->setEditText(artistCombo->currentText());
}

void AlbumEditDialog::pickPicture()
{
    std::optional<QString> picture = prompter_.openFile(
        QStringLiteral("画像ファイル選択"),
        QStringLiteral("画像ファイル (*.jpg *.jpeg *.bmp *.ico *.png *.gif);;すべてのファイル (*)"),
        picturePathEdit->text());
    if (picture) {
        picturePathEdit->setText(*picture);
        showPicturePath();
    }
}

void AlbumEditDialog::showPicturePath()
{
    const QString path = picturePathEdit->text();
    if (!showPicture(pictureView, noPictureLabel, path, 89)) {
        prompter_.error(QStringLiteral("画像を読み込めませんでした。\r\n%1").arg(path));
    }
}

void AlbumEditDialog::swapRows(int a, int b)
{
    for (int c = 1; c <= 3; ++c) {
        QString first = songCell(a, c);
        setSongCell(a, c, songCell(b, c));
        setSongCell(b, c, first);
    }
}

void AlbumEditDialog::insertSong()
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

void AlbumEditDialog::deleteSong()
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

void AlbumEditDialog::moveSongUp()
{
    commitGridEdit();
    const int r = currentSongRow();
    if (r <= 1) {
        return;
    }
    swapRows(r - 1, r);
    setCurrentCell(r - 1, std::max(1, songTable->currentColumn() + 1));
}

void AlbumEditDialog::moveSongDown()
{
    commitGridEdit();
    const int r = currentSongRow();
    if (r < 1 || r >= kSongRows) {
        return;
    }
    swapRows(r, r + 1);
    setCurrentCell(r + 1, std::max(1, songTable->currentColumn() + 1));
}

void AlbumEditDialog::pickSongMedia()
{
    const int r = std::max(1, currentSongRow());
    std::optional<QString> file = prompter_.openFile(QStringLiteral("読み込みファイル選択"),
                                                     QStringLiteral("すべてのファイル (*)"), songCell(r, 3));
    if (!file) {
        return;
    }
    setSongCell(r, 3, *file);
    setCurrentCell(r, 3);
    mediaNameLabel->setText(*file);
}

void AlbumEditDialog::songCellSelected(int column, int row)
{
    previewPanel->setVisible(column == 3);
    ejectPreview();
    if (row >= 1 && row <= kSongRows) {
        mediaNameLabel->setText(songCell(row, 3));
    }
}

void AlbumEditDialog::SongGridColumnMoved(bool rows, int from, int to)
{
    if (movingSections_ || from == to) {
        return;
    }
    // The headings and numbers stay in place: the cells move instead, and
    // are then the field whose heading stands over them.
    QHeaderView* header = rows ? songTable->verticalHeader() : songTable->horizontalHeader();
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

void AlbumEditDialog::prepareMemoMenu()
{
    MemoPopupMenu->clear();
    for (const std::string& choice : memoChoices) {
        QString line = fromCp932(choice);
        connect(MemoPopupMenu->addAction(line), &QAction::triggered, this,
                [this, line] { memoEdit->setPlainText(line); });
    }
}

bool AlbumEditDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == readingLabel && mouse->button() == Qt::LeftButton) {
            copyArtistToSongArtist();
            return true;
        }
        if (watched == category3Caption && mouse->button() == Qt::RightButton) {
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
        addAlbum();
        return true;
    }
    if (enter && mods == Qt::ControlModifier) {
        changeAlbum();
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
        if (!isIn(songTable) && watched->parent() != songTable->viewport()) {
            songTable->setFocus();
            return true;
        }
        return false;
    }
    if (mods != Qt::NoModifier) {
        return false;
    }
    // Plain Enter moves through the upper fields; in the memo it breaks the
    // line, in the grid it does nothing of its own.
    const std::pair<QWidget*, QWidget*> next[] = {{artistCombo, readingCombo},
                                                  {readingCombo, titleEdit},
                                                  {titleEdit, genreCombo},
                                                  {genreCombo, mediaCombo},
                                                  {mediaCombo, picturePathEdit}};
    for (const auto& [from, to] : next) {
        if (isIn(from)) {
            to->setFocus();
            return true;
        }
    }
    if (watched == picturePathEdit) {
        showPicturePath();
        artistCombo->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velmora::ui
