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
#include <QScrollArea>
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
#include "ui/editing/preview_player.h"
#include "ui/platform/prompter.h"
#include "ui/platform/screen_fit.h"
#include "ui/platform/shell.h"
#include "ui/platform/text_codec.h"
#include "ui/player/player_paths.h"
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

AlbumEditDialog::AlbumEditDialog(Services services, Requests requests, QWidget* parent)
    : QDialog(parent), services_(services), requests_(std::move(requests))
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
    buildMenus();

    // Fields, song tools and songs scroll together when the screen is
    // small or the font large; the buttons below stay in view.
    auto* body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(4);
    auto* fields = new QWidget(body);
    buildFields(fields);
    bodyLayout->addWidget(fields);

    auto* bar = new QWidget(body);
    buildSongTools(bar);
    bodyLayout->addWidget(bar);

    buildGrid();
    songTable_->setMinimumHeight(120);
    bodyLayout->addWidget(songTable_, 1);
    layout->addWidget(scrollWhenCramped(body, this), 1);

    preview_ = new PreviewPlayer(services_.previewDevice, services_.prompter, this);
    preview_->hide();
    connect(preview_, &PreviewPlayer::playClicked, this, &AlbumEditDialog::playCurrentSong);
    connect(preview_, &PreviewPlayer::ejectClicked, this, &AlbumEditDialog::ejectPreview);
    connect(preview_, &PreviewPlayer::aboutToPlay, this, &AlbumEditDialog::previewAboutToPlay);
    layout->addWidget(preview_);

    buildBottomRow();
    setReadingOrder();
    // Each showing fits the dialog into the screen it opens on.
    keepOnScreenWhenShown(*this);
}

AlbumEditDialog::~AlbumEditDialog() = default;

void AlbumEditDialog::setReadingOrder()
{
    // Left to right, top to bottom: the fields, the picture buttons, the
    // song tools, the grid, the preview player, the bottom row.
    const char* const names[] = {"artistCombo",        "readingCombo",        "titleEdit",
                                 "genreCombo",         "mediaCombo",          "memoEdit",
                                 "picturePathEdit",    "pickPictureButton",   "showPictureButton",
                                 "insertSongButton",   "deleteSongButton",    "moveSongUpButton",
                                 "moveSongDownButton", "pickSongMediaButton", "discButton",
                                 "titleColumnButton",  "artistColumnButton",  "mediaColumnButton",
                                 "songTable",          "ejectButton",         "rewindButton",
                                 "stopButton",         "pauseButton",         "playButton",
                                 "webSearchButton",    "webSearchBox",        "changeAlbumButton",
                                 "addAlbumButton",     "closeButton"};
    QWidget* previous = nullptr;
    for (const char* name : names) {
        auto* next = findChild<QWidget*>(QString::fromLatin1(name));
        if (next == nullptr) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, next);
        }
        previous = next;
    }
}

void AlbumEditDialog::buildMenus()
{
    auto* menus = new QMenuBar(this);
    auto addAction = [this](QMenu* menu, const char* name, const QString& text,
                            void (AlbumEditDialog::*command)()) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        if (command) {
            connect(action, &QAction::triggered, this, command);
        }
        return action;
    };
    QMenu* edit = menus->addMenu(QStringLiteral("編集(&E)"));
    addAction(edit, "undoEditsAction", QStringLiteral("編集前の状態に戻す(&U)"), &AlbumEditDialog::undoEdits);
    addAction(edit, "pickPictureAction", QStringLiteral("画像登録(&I)"), &AlbumEditDialog::pickPicture);
    QMenu* tools = menus->addMenu(QStringLiteral("ツール(&T)"));
    QAction* playerToFront = addAction(tools, "playerToFrontAction",
                                       QStringLiteral("メディアプレイヤーフォームを前面へ(&M)"), nullptr);
    addAction(tools, "webSearchAction", QStringLiteral("インターネット検索(&S)"),
              &AlbumEditDialog::runWebSearch);
    searchItemMenu_ = tools->addMenu(QStringLiteral("インターネット検索項目設定(&U)"));
    searchItemMenu_->setObjectName(QStringLiteral("searchItemMenu"));
    connect(searchItemMenu_, &QMenu::aboutToShow, this, [this] {
        if (requests_.fillSearchItemMenu) {
            requests_.fillSearchItemMenu(searchItemMenu_);
        }
    });
    connect(playerToFront, &QAction::triggered, this, [this] { requests_.player.toFront(); });
    connect(tools, &QMenu::aboutToShow, this, [this, playerToFront] {
        // Only while the media player window is shown.
        playerToFront->setEnabled(requests_.player.shown());
    });
    layout()->setMenuBar(menus);
}

void AlbumEditDialog::buildBottomRow()
{
    auto* bottom = new QHBoxLayout;
    auto* webSearchButton = new QPushButton(QStringLiteral("ネット検索(&W)"), this);
    webSearchButton->setObjectName(QStringLiteral("webSearchButton"));
    webSearchButton->setToolTip(QStringLiteral("インターネットを使って検索(右クリックで検索項目選択)"));
    webSearchBox_ = new PickBox(this);
    webSearchBox_->setObjectName(QStringLiteral("webSearchBox"));
    webSearchBox_->setAccessibleName(QStringLiteral("検索サイト"));
    webSearchBox_->onDropDown = [this] { fillWebSearchItems(); };
    webSearchBox_->setMinimumContentsLength(12);
    connect(webSearchButton, &QPushButton::clicked, this, &AlbumEditDialog::runWebSearch);
    // A right click chooses the fields to search with.
    webSearchButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(webSearchButton, &QWidget::customContextMenuRequested, this,
            [this, webSearchButton](const QPoint& pos) {
                searchItemMenu_->popup(webSearchButton->mapToGlobal(pos));
            });
    bottom->addWidget(webSearchButton);
    bottom->addWidget(webSearchBox_);
    bottom->addStretch();
    auto* changeButton = new QPushButton(QStringLiteral("変更(&H)"), this);
    changeButton->setObjectName(QStringLiteral("changeAlbumButton"));
    changeButton->setToolTip(QStringLiteral("アルバム情報を変更(Ctrl+Enter)"));
    auto* addButton = new QPushButton(QStringLiteral("追加(&N)"), this);
    addButton->setObjectName(QStringLiteral("addAlbumButton"));
    addButton->setToolTip(QStringLiteral("アルバムを追加(Shift+Ctrl+Enter)"));
    auto* closeButton = new QPushButton(QStringLiteral("閉じる(&X)"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton* button : {changeButton, addButton, closeButton}) {
        button->setAutoDefault(false);
        bottom->addWidget(button);
    }
    connect(changeButton, &QPushButton::clicked, this, &AlbumEditDialog::changeAlbum);
    connect(addButton, &QPushButton::clicked, this, &AlbumEditDialog::addAlbum);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    static_cast<QVBoxLayout*>(layout())->addLayout(bottom);
}

void AlbumEditDialog::buildFields(QWidget* panel)
{
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    artistCombo_ = new PickBox(panel);
    artistCombo_->setEditable(true);
    artistCombo_->onDropDown = [this] { fillArtistSuggestions(); };
    readingCombo_ = new PickBox(panel);
    readingCombo_->setEditable(true);
    readingCombo_->onDropDown = [this] { fillReadingSuggestions(); };
    readingLabel_ = new QLabel(QStringLiteral("フリガナ(&F)"), panel);
    readingLabel_->setToolTip(QStringLiteral("クリックでアーティスト名をコピー"));
    readingLabel_->setCursor(Qt::PointingHandCursor);
    readingLabel_->installEventFilter(this);
    titleEdit_ = new QLineEdit(panel);
    genreCombo_ = new QComboBox(panel);
    mediaCombo_ = new QComboBox(panel);
    for (QComboBox* box : {static_cast<QComboBox*>(artistCombo_), static_cast<QComboBox*>(readingCombo_),
                           genreCombo_, mediaCombo_}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(10);
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    titleEdit_->installEventFilter(this);
    categoryCaptions_[0] = new QLabel(QStringLiteral("ジャンル(&G)"), panel);
    categoryCaptions_[1] = new QLabel(QStringLiteral("メディア(&M)"), panel);
    categoryCaptions_[2] = new QLabel(QStringLiteral("メモ(&O)"), panel);
    categoryCaptions_[2]->setToolTip(QStringLiteral("右クリックで項目選択"));
    categoryCaptions_[2]->installEventFilter(this);
    memoChoiceMenu_ = new QMenu(this);
    connect(memoChoiceMenu_, &QMenu::aboutToShow, this, &AlbumEditDialog::prepareMemoMenu);
    memoEdit_ = new QPlainTextEdit(panel);
    memoEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoEdit_->setFixedHeight(72);
    // Tab moves on to the next field; Ctrl+Tab types a tab (eventFilter).
    memoEdit_->setTabChangesFocus(true);
    memoEdit_->installEventFilter(this);
    picturePathEdit_ = new QLineEdit(panel);
    picturePathEdit_->installEventFilter(this);
    auto* pick = toolButton(panel, QStringLiteral("画像設定(&S)"), QStringLiteral("画像ファイル選択"));
    auto* show =
        toolButton(panel, QStringLiteral("画像表示(&V)"), QStringLiteral("ファイルパスの画像を表示"));
    pick->setAutoRaise(false);
    show->setAutoRaise(false);
    connect(pick, &QToolButton::clicked, this, &AlbumEditDialog::pickPicture);
    connect(show, &QToolButton::clicked, this, &AlbumEditDialog::showPicturePath);

    auto* picture = new QWidget(panel);
    picture->setFixedSize(89, 89);
    pictureView_ = new QLabel(picture);
    pictureView_->setGeometry(0, 0, 89, 89);
    pictureView_->setAlignment(Qt::AlignCenter);
    pictureView_->hide();
    noPictureLabel_ = new QLabel(QStringLiteral("NoImage"), picture);
    noPictureLabel_->setGeometry(0, 0, 89, 89);
    noPictureLabel_->setAlignment(Qt::AlignCenter);
    noPictureLabel_->setFrameShape(QFrame::Box);
    QFont bold = noPictureLabel_->font();
    bold.setBold(true);
    noPictureLabel_->setFont(bold);

    auto* artistLabel = new QLabel(QStringLiteral("アーティスト(&A)"), panel);
    auto* titleLabel = new QLabel(QStringLiteral("アルバム(&L)"), panel);
    auto* pathLabel = new QLabel(QStringLiteral("画像ファイルパス(&P)"), panel);
    const std::pair<QLabel*, QWidget*> buddies[] = {{artistLabel, artistCombo_},
                                                    {readingLabel_, readingCombo_},
                                                    {titleLabel, titleEdit_},
                                                    {categoryCaptions_[0], genreCombo_},
                                                    {categoryCaptions_[1], mediaCombo_},
                                                    {categoryCaptions_[2], memoEdit_},
                                                    {pathLabel, picturePathEdit_}};
    for (const auto& [label, field] : buddies) {
        label->setBuddy(field);
    }
    grid->addWidget(artistLabel, 0, 0);
    grid->addWidget(artistCombo_, 0, 1);
    grid->addWidget(readingLabel_, 0, 2);
    grid->addWidget(readingCombo_, 0, 3);
    grid->addWidget(picture, 0, 4, 4, 1, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(titleLabel, 1, 0);
    grid->addWidget(titleEdit_, 1, 1, 1, 3);
    grid->addWidget(categoryCaptions_[0], 2, 0);
    grid->addWidget(genreCombo_, 2, 1);
    grid->addWidget(categoryCaptions_[1], 2, 2);
    grid->addWidget(mediaCombo_, 2, 3);
    grid->addWidget(categoryCaptions_[2], 3, 0, Qt::AlignTop);
    grid->addWidget(memoEdit_, 3, 1, 1, 3);
    grid->addWidget(pathLabel, 4, 0);
    grid->addWidget(picturePathEdit_, 4, 1, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pick);
    buttons->addWidget(show);
    grid->addLayout(buttons, 4, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    const std::pair<QWidget*, const char*> names[] = {
        {artistCombo_, "artistCombo"},
        {readingCombo_, "readingCombo"},
        {readingLabel_, "readingLabel"},
        {titleEdit_, "titleEdit"},
        {genreCombo_, "genreCombo"},
        {mediaCombo_, "mediaCombo"},
        {categoryCaptions_[0], "category1Caption"},
        {categoryCaptions_[1], "category2Caption"},
        {categoryCaptions_[2], "category3Caption"},
        {memoEdit_, "memoEdit"},
        {picturePathEdit_, "picturePathEdit"},
        {pictureView_, "pictureView"},
        {noPictureLabel_, "noPictureLabel"},
        {pick, "pickPictureButton"},
        {show, "showPictureButton"},
    };
    for (const auto& [widget, name] : names) {
        widget->setObjectName(QString::fromLatin1(name));
    }
    memoChoiceMenu_->setObjectName(QStringLiteral("memoChoiceMenu"));
}

void AlbumEditDialog::buildSongTools(QWidget* bar)
{
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    struct Tool {
        const char* name;
        const char* text;
        const char* hint;
        void (AlbumEditDialog::*command)();
    };
    const Tool tools[] = {
        {"insertSongButton", "曲追加(&I)", "曲追加", &AlbumEditDialog::insertSong},
        {"deleteSongButton", "曲削除(&R)", "曲削除", &AlbumEditDialog::deleteSong},
        {"moveSongUpButton", "▲", "一つ上へ", &AlbumEditDialog::moveSongUp},
        {"moveSongDownButton", "▼", "一つ下へ", &AlbumEditDialog::moveSongDown},
        {"pickSongMediaButton", "ファイル(&B)", "メディアファイル登録", &AlbumEditDialog::pickSongMedia},
    };
    for (const Tool& tool : tools) {
        QToolButton* button = toolButton(bar, QString::fromUtf8(tool.text), QString::fromUtf8(tool.hint));
        button->setObjectName(QString::fromLatin1(tool.name));
        button->setAccessibleName(QString::fromUtf8(tool.hint));
        connect(button, &QToolButton::clicked, this, tool.command);
        row->addWidget(button);
    }
    row->addSpacing(8);
    QToolButton* discButton = toolButton(bar, QStringLiteral("CD(&D)"), QStringLiteral("CDを登録"), "cd");
    discButton->setObjectName(QStringLiteral("discButton"));
    connect(discButton, &QToolButton::clicked, this, &AlbumEditDialog::registerDiscTracks);
    row->addWidget(discButton);
    row->addSpacing(8);
    const struct {
        const char* name;
        const char* text;
        const char* hint;
    } columns[] = {
        {"titleColumnButton", "曲名(&1)", "曲名をメモ帳で編集"},
        {"artistColumnButton", "アーティスト(&2)", "曲ごとのアーティスト名をメモ帳で編集"},
        {"mediaColumnButton", "メディア(&3)", "メディアファイルをメモ帳で編集"},
    };
    for (int c = 0; c < 3; ++c) {
        QToolButton* button =
            toolButton(bar, QString::fromUtf8(columns[c].text), QString::fromUtf8(columns[c].hint));
        button->setObjectName(QString::fromLatin1(columns[c].name));
        connect(button, &QToolButton::clicked, this, [this, c] { sendColumnToEditor(c + 1); });
        row->addWidget(button);
    }
    row->addStretch();
}

void AlbumEditDialog::buildGrid()
{
    songTable_ = new EditGrid(kSongRows, 3, this);
    songTable_->setObjectName(QStringLiteral("songTable"));
    songTable_->setAccessibleName(QStringLiteral("曲目"));
    QStringList headings;
    for (const char* heading : kGridHeadings) {
        headings << QString::fromUtf8(heading);
    }
    songTable_->setHorizontalHeaderLabels(headings);
    QStringList numbers;
    for (int n = 1; n <= kSongRows; ++n) {
        numbers << QString::number(n);
    }
    songTable_->setVerticalHeaderLabels(numbers);
    songTable_->verticalHeader()->setDefaultSectionSize(24);
    songTable_->verticalHeader()->setMinimumWidth(20);
    songTable_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (int c = 0; c < 3; ++c) {
        songTable_->setColumnWidth(c, 150);
    }
    songTable_->horizontalHeader()->setSectionsMovable(true);
    songTable_->verticalHeader()->setSectionsMovable(true);
    songTable_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    songTable_->setTabKeyNavigation(true);
    songTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    songTable_->setCornerButtonEnabled(false);
    songTable_->setItemDelegate(new SongCellDelegate(
        this,
        [this](int row, int column, const QString& text) {
            if (column == 2 && row == songTable_->currentRow()) {
                preview_->setFileName(text);
            }
        },
        songTable_));
    songTable_->installEventFilter(this);
    connect(songTable_, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { songCellSelected(column + 1, row + 1); });
    connect(songTable_->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { songSectionMoved(false, from, to); });
    connect(songTable_->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { songSectionMoved(true, from, to); });
}

QString AlbumEditDialog::songCell(int row, int column) const
{
    QTableWidgetItem* item = songTable_->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

void AlbumEditDialog::setSongCell(int row, int column, const QString& text)
{
    QTableWidgetItem* item = songTable_->item(row - 1, column - 1);
    if (item) {
        item->setText(text);
    } else if (!text.isEmpty()) {
        songTable_->setItem(row - 1, column - 1, new QTableWidgetItem(text));
    }
}

int AlbumEditDialog::currentSongRow() const
{
    return songTable_->currentRow() + 1;
}

void AlbumEditDialog::setCurrentCell(int row, int column)
{
    songTable_->setCurrentCell(row - 1, column - 1);
}

void AlbumEditDialog::commitGridEdit()
{
    // Closing the editor stores what was typed in the cell.
    if (QWidget* editor = songTable_->indexWidget(songTable_->currentIndex())) {
        emit songTable_->itemDelegate()->commitData(editor);
    }
}

void AlbumEditDialog::setSuggestions(const std::vector<std::string>& genres,
                                     const std::vector<std::string>& media,
                                     const std::vector<std::string>& choices)
{
    // The lists are kept as given: they go back to their files byte for
    // byte (a line shown alike under two codes keeps its own).
    genres_ = genres;
    media_ = media;
    memoChoices_ = choices;
    genreCombo_->clear();
    for (const std::string& genre : genres) {
        genreCombo_->addItem(fromCp932(genre));
    }
    mediaCombo_->clear();
    for (const std::string& medium : media) {
        mediaCombo_->addItem(fromCp932(medium));
    }
}

int AlbumEditDialog::songColumnWidth(int column) const
{
    return songTable_->columnWidth(column);
}

void AlbumEditDialog::setSongColumnWidth(int column, int width)
{
    songTable_->setColumnWidth(column, width);
}

void AlbumEditDialog::setCategoryCaptions(const QString& first, const QString& second, const QString& third)
{
    // The captions are the user's words: an '&' of theirs is shown as typed,
    // and each gets the field's own mnemonic.
    const QString captions[] = {first, second, third};
    const char* const mnemonics[] = {"(&G)", "(&M)", "(&O)"};
    for (int i = 0; i < 3; ++i) {
        categoryNames_[i] = captions[i];
        QString text = captions[i];
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        categoryCaptions_[i]->setText(text + QLatin1String(mnemonics[i]));
    }
}

void AlbumEditDialog::loadAlbum(const AlbumRecord& record)
{
    loaded_ = record;
    showRecord(record);
}

void AlbumEditDialog::showRecord(const AlbumRecord& record)
{
    shown_ = record;
    setWindowTitle(QStringLiteral("アルバム編集 - ") + fromCp932(record[ArtistColumn]) + QLatin1Char('/') +
                   fromCp932(record[AlbumColumn]));
    artistCombo_->setEditText(fromCp932(record[ArtistColumn]));
    readingCombo_->setEditText(fromCp932(record[FuriganaColumn]));
    titleEdit_->setText(fromCp932(record[AlbumColumn]));
    genreCombo_->setEditText(fromCp932(record[Category1Column]));
    mediaCombo_->setEditText(fromCp932(record[Category2Column]));
    QStringList lines;
    for (const std::string& line : splitMemo(record[Category3Column])) {
        lines << fromCp932(line);
    }
    memoEdit_->setPlainText(lines.join(QLatin1Char('\n')));
    picturePathEdit_->setText(fromCp932(record[ImagePathColumn]));
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
            services_.prompter.information(QStringLiteral("%1: %2").arg(field, problem));
            return false;
        }
        record[column] = std::move(*bytes);
        return true;
    };
    if (!store(ArtistColumn, QStringLiteral("アーティスト"), artistCombo_->currentText()) ||
        !store(AlbumColumn, QStringLiteral("アルバム"), titleEdit_->text()) ||
        !store(Category1Column, categoryNames_[0], genreCombo_->currentText()) ||
        !store(Category2Column, categoryNames_[1], mediaCombo_->currentText())) {
        return std::nullopt;
    }
    const QString memo = memoEdit_->toPlainText();
    std::vector<std::string> memoLines;
    const std::vector<std::string> shownLines = splitMemo(shown_[Category3Column]);
    if (!memo.isEmpty()) {
        const QStringList lines = memo.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const QString field = QStringLiteral("%1 (%2行目)").arg(categoryNames_[2]).arg(i + 1);
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
                services_.prompter.information(QStringLiteral("%1: %2").arg(field, problem));
                return std::nullopt;
            }
            memoLines.push_back(std::move(*bytes));
        }
    }
    std::string joined = joinMemo(memoLines);
    if (text::containsOnBoundary(joined, "<>")) {
        services_.prompter.information(categoryNames_[2] +
                                       QStringLiteral(": 「<>」は保存できない文字列です。"));
        return std::nullopt;
    }
    record[Category3Column] = joined == shown_[Category3Column] ? shown_[Category3Column] : joined;
    if (!store(ImagePathColumn, QStringLiteral("画像ファイルパス"), picturePathEdit_->text()) ||
        !store(FuriganaColumn, QStringLiteral("フリガナ"), readingCombo_->currentText())) {
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
    if (!requests_.albumSelected || !requests_.albumSelected()) {
        services_.prompter.information(QStringLiteral("アルバムが選択されていません"));
        return;
    }
    std::optional<AlbumRecord> record = editedRecord();
    if (!record) {
        return;
    }
    close();
    emit changeRequested(*record);
}

void AlbumEditDialog::addAlbum()
{
    commitGridEdit();
    if (requests_.albumSelected && requests_.albumSelected() &&
        !services_.prompter.confirm(artistCombo_->currentText() + QLatin1Char('/') +
                                    readingCombo_->currentText() + QStringLiteral("　を追加しますか？"))) {
        return;
    }
    std::optional<AlbumRecord> record = editedRecord();
    if (!record) {
        return;
    }
    unstoredAlbum_ = false;
    close();
    emit addRequested(*record);
}

void AlbumEditDialog::prepareForShowing(const QString& first, const QString& second, const QString& third)
{
    if (webSearchBox_->count() == 0) {
        fillWebSearchItems();
        if (webSearchBox_->count() >= 2) {
            webSearchBox_->setCurrentIndex(0);
        }
    }
    setCategoryCaptions(first, second, third);
}

void AlbumEditDialog::done(int result)
{
    if (unstoredAlbum_) {
        if (!services_.prompter.confirm(QStringLiteral("取得したアルバム情報はまだ追加されていません。\r\n"
                                                       "追加しないで閉じますか？"))) {
            return;
        }
        unstoredAlbum_ = false;
        emit unstoredAlbumDiscarded();
    }
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
    setOwnerEnabled(true);
}

void AlbumEditDialog::setOwnerEnabled(bool enabled)
{
    if (QWidget* owner = parentWidget()) {
        owner->window()->setEnabled(enabled);
    }
}

void AlbumEditDialog::undoEdits()
{
    showRecord(loaded_);
}

void AlbumEditDialog::fillArtistSuggestions()
{
    const QString typed = artistCombo_->currentText();
    std::vector<std::string_view> artists;
    const std::vector<int> listed = requests_.listedAlbums ? requests_.listedAlbums() : std::vector<int>();
    for (int album : listed) {
        if (album >= 1 && album <= services_.albums.albumCount()) {
            artists.push_back(services_.albums.cell(ArtistColumn, album));
        }
    }
    artistCombo_->clear();
    for (const std::string& artist : browse::distinctIgnoringCase(artists)) {
        artistCombo_->addItem(fromCp932(artist));
    }
    artistCombo_->setEditText(typed);
}

void AlbumEditDialog::fillReadingSuggestions()
{
    const QString typed = readingCombo_->currentText();
    std::optional<std::string> artist = toCp932(artistCombo_->currentText());
    readingCombo_->clear();
    if (!artist) {
        readingCombo_->setEditText(typed);
        return;
    }
    std::vector<std::string_view> readings;
    for (int row = 1; row <= services_.albums.albumCount(); ++row) {
        AlbumTable::RowCells cells = services_.albums.rowCells(row);
        if (cells[ArtistColumn] == *artist) {
            readings.push_back(cells[FuriganaColumn]);
        }
    }
    // The dictionary's readings come first, in hiragana and in katakana.
    QStringList offered;
    if (requests_.dictionaryReadings) {
        for (const std::string& reading : requests_.dictionaryReadings(*artist)) {
            const QString katakana = fromCp932(reading);
            QString hiragana = katakana;
            for (QChar& c : hiragana) {
                if (c >= QChar(0x30A1) && c <= QChar(0x30F3)) {
                    c = QChar(static_cast<char16_t>(c.unicode() - 0x60));
                }
            }
            offered << hiragana << katakana;
        }
    }
    for (const std::string& suggestion : text::furiganaSuggestions(*artist, readings)) {
        offered << fromCp932(suggestion);
    }
    offered.removeDuplicates();
    readingCombo_->addItems(offered);
    readingCombo_->setEditText(typed);
}

void AlbumEditDialog::copyArtistToReading()
{
    readingCombo_->setEditText(artistCombo_->currentText());
}

void AlbumEditDialog::pickPicture()
{
    std::optional<QString> picture = services_.prompter.openFile(
        QStringLiteral("画像ファイル選択"),
        QStringLiteral("画像ファイル (*.jpg *.jpeg *.bmp *.ico *.png *.gif);;すべてのファイル (*)"),
        picturePathEdit_->text());
    if (picture) {
        picturePathEdit_->setText(*picture);
        showPicturePath();
    }
}

void AlbumEditDialog::showPicturePath()
{
    const QString path = picturePathEdit_->text();
    if (!showPicture(pictureView_, noPictureLabel_, localPath(path), 89)) {
        services_.prompter.error(QStringLiteral("画像を読み込めませんでした。\r\n%1").arg(path));
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
    setCurrentCell(r - 1, std::max(1, songTable_->currentColumn() + 1));
}

void AlbumEditDialog::moveSongDown()
{
    commitGridEdit();
    const int r = currentSongRow();
    if (r < 1 || r >= kSongRows) {
        return;
    }
    swapRows(r, r + 1);
    setCurrentCell(r + 1, std::max(1, songTable_->currentColumn() + 1));
}

void AlbumEditDialog::pickSongMedia()
{
    const int r = std::max(1, currentSongRow());
    std::optional<QString> file = services_.prompter.openFile(
        QStringLiteral("読み込みファイル選択"), QStringLiteral("すべてのファイル (*)"), songCell(r, 3));
    if (!file) {
        return;
    }
    setSongCell(r, 3, *file);
    setCurrentCell(r, 3);
    preview_->setFileName(*file);
}

void AlbumEditDialog::songCellSelected(int column, int row)
{
    preview_->setVisible(column == 3);
    ejectPreview();
    if (row >= 1 && row <= kSongRows) {
        preview_->setFileName(songCell(row, 3));
    }
}

void AlbumEditDialog::songSectionMoved(bool rows, int from, int to)
{
    if (movingSections_ || from == to) {
        return;
    }
    // The headings and numbers stay in place: the cells move instead, and
    // are then the field whose heading stands over them.
    QHeaderView* header = rows ? songTable_->verticalHeader() : songTable_->horizontalHeader();
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
    memoChoiceMenu_->clear();
    for (const std::string& choice : memoChoices_) {
        QString line = fromCp932(choice);
        connect(memoChoiceMenu_->addAction(line), &QAction::triggered, this,
                [this, line] { memoEdit_->setPlainText(line); });
    }
}

bool AlbumEditDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == readingLabel_ && mouse->button() == Qt::LeftButton) {
            copyArtistToReading();
            return true;
        }
        if (watched == categoryCaptions_[2] && mouse->button() == Qt::RightButton) {
            memoChoiceMenu_->popup(mouse->globalPosition().toPoint());
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == memoEdit_ && key->key() == Qt::Key_Tab &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        memoEdit_->insertPlainText(QStringLiteral("\t"));
        return true;
    }
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
        if (!isIn(songTable_) && watched->parent() != songTable_->viewport()) {
            songTable_->setFocus();
            return true;
        }
        return false;
    }
    if (mods != Qt::NoModifier) {
        return false;
    }
    // Plain Enter moves through the upper fields; in the memo it breaks the
    // line, in the grid it does nothing of its own.
    const std::pair<QWidget*, QWidget*> next[] = {{artistCombo_, readingCombo_},
                                                  {readingCombo_, titleEdit_},
                                                  {titleEdit_, genreCombo_},
                                                  {genreCombo_, mediaCombo_},
                                                  {mediaCombo_, picturePathEdit_}};
    for (const auto& [from, to] : next) {
        if (isIn(from)) {
            to->setFocus();
            return true;
        }
    }
    if (watched == picturePathEdit_) {
        showPicturePath();
        artistCombo_->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velmora::ui
