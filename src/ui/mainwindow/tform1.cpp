#include "mainwindow/tform1.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "common/status_gauge.h"
#include "mainwindow/about_box.h"
#include "mainwindow/album_list_model.h"
#include "mainwindow/folder_dialog.h"
#include "mainwindow/list_images.h"
#include "mainwindow/list_views.h"
#include "mainwindow/song_list_model.h"
#include "mainwindow/status_bar.h"
#include "media/tmedia_player_form.h"
#include "platform/prompter.h"
#include "platform/screen_fit.h"
#include "platform/shell.h"
#include "platform/text_codec.h"
#include "store/data_file.h"
#include "store/string_grid_io.h"

namespace velmora::ui {

namespace {

// Calls a function when a widget is resized.
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QObject* parent, std::function<void()> onResize)
        : QObject(parent), onResize_(std::move(onResize))
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) {
            onResize_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onResize_;
};

}  // namespace

TForm1::TForm1(Services services, TAboutBox* splash, QWidget* parent)
    : QMainWindow(parent),
      prompter_(services.prompter),
      shell_(services.shell),
      folder_(std::move(services.folder)),
      programDir_(services.programDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                : services.programDir),
      folderDialog_(std::make_unique<TFolderDialog>(services.prompter))
{
    if (services.media == nullptr) {
        ownMedia_ = std::make_unique<media::NoMediaSystem>();
        services.media = ownMedia_.get();
    }
    media_ = services.media;
    previewDevice_ = media_->makeDevice();
    playerDevice_ = media_->makeDevice();
    setWindowTitle(QStringLiteral("Velmora"));
    setMinimumSize(732, 486);
    InternetItems = {QStringLiteral("アーティスト名"), QStringLiteral("アルバム名"),
                     QStringLiteral("選択曲名"),       QStringLiteral("ジャンル名"),
                     QStringLiteral("メディア名"),     QStringLiteral("メモ")};
    resize(732, 694);
    move(370, 136);

    buildToolBar();
    buildMenus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    MainSplitter = new QSplitter(Qt::Vertical, central);
    MainSplitter->setHandleWidth(8);
    MainSplitter->setChildrenCollapsible(false);
    layout->addWidget(MainSplitter, 1);
    StatusBar1 = new StatusBar(central);
    StatusBar1->onDrawPanel = [this](QPainter& painter, int panel, const QRect& rect) {
        StatusBar1DrawPanel(painter, panel, rect);
    };
    layout->addWidget(StatusBar1);
    setCentralWidget(central);

    buildPages();
    buildLists();
    wireAlbumCommands();
    wireExchangeCommands();
    wireHtmlCommands();
    wireCdCommands();
    wirePlaybackCommands();
    FormCreate(splash);
}

TForm1::~TForm1()
{
    // The lists and their models read the album table: they go before it.
    delete takeCentralWidget();
    delete albumModel_;
    delete songModel_;
}

QToolButton* TForm1::addToolButton(const QString& caption, const QString& hint, const char* theme,
                                   const char* icon, std::function<void()> command)
{
    auto* button = new QToolButton(ToolBar1);
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(themedIcon(theme, icon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setMinimumSize(55, 35);
    button->setAutoRaise(true);
    if (command) {
        connect(button, &QToolButton::clicked, this, [command = std::move(command)] { command(); });
    }
    ToolBar1->addWidget(button);
    return button;
}

void TForm1::buildToolBar()
{
    ToolBar1 = new QToolBar(QStringLiteral("ツールバー"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(22, 22));
    ToolBar1->setMinimumHeight(50);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    NewDataButton = addToolButton(QStringLiteral("新規作成"), QStringLiteral("アルバム情報を新規作成"),
                                  "document-new", "new", nullptr);
    EditBtn =
        addToolButton(QStringLiteral("編集"), QStringLiteral("選択アルバムを編集"), nullptr, "edit", nullptr);
    auto* editMenu = new QMenu(EditBtn);
    actions_[QStringLiteral("EditBtn/音楽CDを登録")] = editMenu->addAction(QStringLiteral("音楽CDを登録"));
    actions_[QStringLiteral("EditBtn/画像登録")] = editMenu->addAction(QStringLiteral("画像登録"));
    EditBtn->setMenu(editMenu);
    EditBtn->setPopupMode(QToolButton::MenuButtonPopup);
    DeleteBtn = addToolButton(QStringLiteral("削除"), QStringLiteral("アルバム情報を削除"), nullptr, "delete",
                              nullptr);
    ToolBar1->addSeparator();
    AllVisibleButton = addToolButton(QStringLiteral("全表示"), QStringLiteral("すべてのアルバムを表示"),
                                     nullptr, "show-all", [this] { AllVisibleButtonClick(); });
    NoEditButton =
        addToolButton(QStringLiteral("番号整列"), QStringLiteral("表示されている順番に番号を振りなおす"),
                      nullptr, "renumber", [this] { NoEditButtonClick(); });
    ToolBar1->addSeparator();
    CDPlayerButton =
        addToolButton(QStringLiteral("CD再生"), QStringLiteral("音楽CDを再生"), nullptr, "cd-play", nullptr);
    MediaPlayerButton = addToolButton(QStringLiteral("再生"), QStringLiteral("メディアファイルを再生"),
                                      nullptr, "play", nullptr);
    ToolBar1->addSeparator();

    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    struct Tab {
        QToolButton** button;
        const char* caption;
        const char* hint;
        const char* icon;
    };
    const Tab tabs[] = {
        {&InfoTabButton, "情報", "アルバム情報を表示", "info"},
        {&SerchTabButton, "検索", "アルバムを検索", "search"},
        {&ChengeTabButton, "変換", "文字を変換", "convert"},
        {&RepreceTabButton, "置換", "文字を置換", "replace"},
    };
    int id = 0;
    for (const Tab& tab : tabs) {
        QToolButton* button = addToolButton(QString::fromUtf8(tab.caption), QString::fromUtf8(tab.hint),
                                            nullptr, tab.icon, nullptr);
        button->setCheckable(true);
        group->addButton(button, id++);
        *tab.button = button;
    }
    InfoTabButton->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this] { InfoTabButtonClick(); });
    ToolBar1->addSeparator();
    OptionOpenButton = addToolButton(QStringLiteral("設定"), QStringLiteral("オプション設定"), nullptr,
                                     "settings", [this] { OptionOpenButtonClick(); });
}

QAction* TForm1::addMenuItem(QMenu* menu, const QString& caption, std::function<void()> command,
                             const char* theme, const char* icon)
{
    QAction* action = menu->addAction(caption);
    if (icon) {
        action->setIcon(themedIcon(theme, icon));
    }
    if (command) {
        connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
    }
    QString key = caption;
    // Items under a submenu are also known by "submenu/item".
    if (menu->menuAction() && menus_.count(menu->title()) && menu->parent() != menuBar()) {
        key = menu->title() + QLatin1Char('/') + caption;
    }
    actions_.emplace(key, action);
    actions_.emplace(caption, action);
    return action;
}

void TForm1::buildMenus()
{
    auto topMenu = [this](const QString& title) {
        QMenu* m = menuBar()->addMenu(title);
        menus_[title] = m;
        return m;
    };
    auto subMenu = [this](QMenu* parent, const QString& title) {
        QMenu* m = parent->addMenu(title);
        menus_[title] = m;
        return m;
    };

    QMenu* file = topMenu(QStringLiteral("ファイル(&F)"));
    addMenuItem(
        file, QStringLiteral("保存時の状態に戻す(&U)"), [this] { revertToSaved(); }, "document-revert",
        "revert");
    addMenuItem(
        file, QStringLiteral("保存(&S)"), [this] { saveCatalogue(); }, "document-save", "save");
    file->addSeparator();
    addMenuItem(file, QStringLiteral("データを読み込む(&O)"), nullptr, "document-open", "import");
    addMenuItem(file, QStringLiteral("フォルダから登録(&F)..."), [this] { registerFolderFromTags(); });
    QMenu* exportMenu = subMenu(file, QStringLiteral("データを書き出す(&A)"));
    exportMenu->setIcon(themedIcon("document-save-as", "export"));
    addMenuItem(exportMenu, QStringLiteral("Velmoraファイル"), nullptr);
    addMenuItem(exportMenu, QStringLiteral("CSVファイル"), nullptr);
    addMenuItem(exportMenu, QStringLiteral("HTMLファイル"), nullptr);
    file->addSeparator();
    addMenuItem(file, QStringLiteral("保存しないで終了(&C)"), [this] { exitWithoutSaving(); });
    addMenuItem(
        file, QStringLiteral("終了(&X)"), [this] { saveAndExit(); }, "application-exit", "exit");

    QMenu* edit = topMenu(QStringLiteral("編集(&E)"));
    addMenuItem(edit, QStringLiteral("アルバム新規作成(&N)"), nullptr, nullptr, "new");
    addMenuItem(edit, QStringLiteral("アルバム編集(&E)"), nullptr, nullptr, "edit");
    QMenu* quick = subMenu(edit, QStringLiteral("クイック編集 (&Q)"));
    addMenuItem(quick, QStringLiteral("CDドライブの音楽CDを登録(&C)"), nullptr);
    addMenuItem(quick, QStringLiteral("画像登録"), nullptr);
    addMenuItem(edit, QStringLiteral("アルバム情報を複製"), nullptr);
    edit->addSeparator();
    addMenuItem(
        edit, QStringLiteral("アルバム全表示(&A)"), [this] { AllVisibleButtonClick(); }, nullptr, "show-all");
    addMenuItem(
        edit, QStringLiteral("CD番号整列"), [this] { NoEditButtonClick(); }, nullptr, "renumber");
    edit->addSeparator();
    QMenu* clip = subMenu(edit, QStringLiteral("クリップボードにコピー"));
    for (const char* item : {"選択アルバム詳細情報", "選択アルバム簡易情報", "選択曲詳細情報",
                             "アーティスト名", "アルバム名", "選択曲名"}) {
        addMenuItem(clip, QString::fromUtf8(item), nullptr);
    }
    edit->addSeparator();
    addMenuItem(edit, QStringLiteral("アルバム削除(&D)"), nullptr, nullptr, "delete");
    connect(edit, &QMenu::aboutToShow, this, [this] {
        // The items follow the tool buttons that run the same commands.
        actions_.at(QStringLiteral("アルバム編集(&E)"))->setEnabled(EditBtn->isEnabled());
        menus_.at(QStringLiteral("クイック編集 (&Q)"))->setEnabled(EditBtn->isEnabled());
        actions_.at(QStringLiteral("アルバム全表示(&A)"))->setEnabled(AllVisibleButton->isEnabled());
        actions_.at(QStringLiteral("CD番号整列"))->setEnabled(NoEditButton->isEnabled());
        actions_.at(QStringLiteral("アルバム削除(&D)"))->setEnabled(DeleteBtn->isEnabled());
    });

    QMenu* tools = topMenu(QStringLiteral("ツール(&T)"));
    addMenuItem(tools, QStringLiteral("再生(&P)"), nullptr, nullptr, "play");
    addMenuItem(tools, QStringLiteral("CD再生(&C)"), nullptr, nullptr, "cd-play");
    QAction* playerToFront =
        addMenuItem(tools, QStringLiteral("メディアプレイヤーフォームを前面へ(&M)"), nullptr);
    tools->addSeparator();
    QMenu* searchItems = subMenu(tools, QStringLiteral("インターネット検索項目設定(&U)"));
    connect(searchItems, &QMenu::aboutToShow, this, [this, searchItems] { fillSearchItemMenu(searchItems); });
    addMenuItem(tools, QStringLiteral("CDを検索(&E)"), nullptr, nullptr, "search");
    tools->addSeparator();
    addMenuItem(
        tools, QStringLiteral("オプション"), [this] { OptionOpenButtonClick(); }, nullptr, "settings");
    playerToFront->setEnabled(false);
    connect(tools, &QMenu::aboutToShow, this, [this] { ToolMenuPopup(); });

    QMenu* help = topMenu(QStringLiteral("ヘルプ(&H)"));
    addMenuItem(
        help, QStringLiteral("ヘルプ(&H)"), [this] { openHelp(); }, "help-contents", "help");
    addMenuItem(
        help, QStringLiteral("バージョン情報(&A)"), [this] { showAbout(); }, "help-about", "info");
}

void TForm1::buildPages()
{
    Panel3 = new QSplitter(Qt::Horizontal, MainSplitter);
    Panel3->setHandleWidth(8);
    Panel3->setChildrenCollapsible(false);
    Panel3->setMinimumHeight(325);

    PageControl1 = new QStackedWidget(Panel3);
    PageControl1->setMinimumWidth(312);
    jouhouTabSheet = new QWidget(PageControl1);
    SerchTabSheet = new QWidget(PageControl1);
    TabSheet2 = new QWidget(PageControl1);
    TabSheet8 = new QWidget(PageControl1);
    for (QWidget* page : {jouhouTabSheet, SerchTabSheet, TabSheet2, TabSheet8}) {
        PageControl1->addWidget(page);
    }
    buildInfoPage();
    buildToolPages();
    connect(PageControl1, &QStackedWidget::currentChanged, this, [this] { PageControl1Change(); });

    SongPanel = new QWidget(Panel3);
    // The song side may be squeezed away by a stored page width; the
    // splitter drags it back.
    SongPanel->setMinimumWidth(1);
    Panel3->setCollapsible(1, true);
    auto* songLayout = new QVBoxLayout(SongPanel);
    songLayout->setContentsMargins(0, 0, 0, 0);
    songLayout->setSpacing(0);

    Panel1 = new QWidget(SongPanel);
    Panel1->setFixedHeight(72);
    Panel1->setAutoFillBackground(true);
    SongNoLabel = new QLabel(QStringLiteral("1"), Panel1);
    QFont big = SongNoLabel->font();
    big.setPointSize(24);
    big.setBold(true);
    SongNoLabel->setFont(big);
    SongNoLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* songCaption = new QLabel(QStringLiteral("曲目"), Panel1);
    SongNameLabel = new QLabel(Panel1);
    QFont bold = SongNameLabel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    SongNameLabel->setFont(bold);
    MediaFileLabel = new QLabel(Panel1);
    QFont small = MediaFileLabel->font();
    small.setPointSize(std::max(7, small.pointSize() - 1));
    MediaFileLabel->setFont(small);
    for (QLabel* label : {SongNameLabel, MediaFileLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(10);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    auto* header = new QHBoxLayout(Panel1);
    header->setContentsMargins(6, 4, 6, 4);
    SongNoLabel->setMinimumWidth(56);
    header->addWidget(SongNoLabel);
    header->addWidget(songCaption, 0, Qt::AlignBottom);
    auto* names = new QVBoxLayout;
    names->addWidget(SongNameLabel);
    names->addWidget(MediaFileLabel);
    header->addLayout(names, 1);
    songLayout->addWidget(Panel1);
    Panel1->installEventFilter(new ResizeWatcher(this, [this] { Panel1Resize(); }));

    Panel3->addWidget(PageControl1);
    Panel3->addWidget(SongPanel);
    Panel3->setStretchFactor(0, 0);
    Panel3->setStretchFactor(1, 1);
    Panel3->setSizes({368, 356});
}

void TForm1::buildLists()
{
    SongListView = new ReportView(SongPanel);
    SongListView->setObjectName(QStringLiteral("SongListView"));
    songModel_ = new SongListModel(this);
    SongListView->setModel(songModel_);
    SongListView->setSelectionMode(QAbstractItemView::SingleSelection);
    const int songWidths[] = {50, 150, 150, 150};
    for (int c = 0; c < 4; ++c) {
        SongListView->setColumnWidth(c, songWidths[c]);
    }
    SongPanel->layout()->addWidget(SongListView);
    connect(SongListView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { SongListViewSelectItem(current.row()); });
    connect(SongListView->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { SongListViewColumnClick(column); });

    auto* panel4 = new QWidget(MainSplitter);
    auto* listLayout = new QVBoxLayout(panel4);
    listLayout->setContentsMargins(0, 0, 0, 0);
    AlbumListView = new AlbumReportView(panel4);
    AlbumListView->setObjectName(QStringLiteral("AlbumListView"));
    albumModel_ = new AlbumListModel(DataGrid, this);
    AlbumListView->setModel(albumModel_);
    AlbumListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const int albumWidths[] = {50, 150, 150, 50, 50, 50, 50, 50};
    for (int c = 0; c < AlbumListModel::kColumnCount; ++c) {
        AlbumListView->setColumnWidth(c, albumWidths[c]);
    }
    listLayout->addWidget(AlbumListView);
    connect(AlbumListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TForm1::onAlbumSelectionChanged);
    connect(AlbumListView->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { AlbumListViewColumnClick(column); });
    AlbumListView->onDrop = [this](int row) { AlbumListViewDragDrop(row); };

    MainSplitter->addWidget(Panel3);
    MainSplitter->addWidget(panel4);
    MainSplitter->setStretchFactor(0, 0);
    MainSplitter->setStretchFactor(1, 1);
    buildPopupMenus();
}

void TForm1::FormCreate(TAboutBox* splash)
{
    auto splashStep = [splash](const QString& comment) {
        if (splash) {
            if (!comment.isEmpty()) {
                splash->setComment(comment);
            }
            splash->stepProgress();
            splash->repaintNow();
        }
    };
    if (splash) {
        splash->repaintNow();
    }
    SaveOnExit = true;
    AlbumSortColumn = 0;
    setStatus(1, QString());
    SongNameLabel->clear();
    MediaFileLabel->clear();

    settingsFileRead_ = store::loadSettingsFile(folder_.settingsFile(), Settings);
    if (settingsFileRead_) {
        applySettings();
    }
    // The design place or a place stored on a larger screen may lie partly
    // off this screen.
    keepOnScreen(*this);
    keepOnScreenWhenShown(*this);
    store::FileError listError;
    if (!Lists.load(folder_.dir(), &listError)) {
        prompter_.error(fromUtf8(store::readFailureMessage(listError)));
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    splashStep(QStringLiteral("設定ファイルの読み込み..."));
    songModel_->resetItems();
    splashStep(QStringLiteral("アルバム情報ファイルの読み込み..."));

    // Start-up mode: the splash advances once per column pass.
    std::function<void(int)> progress = [splashStep](int) { splashStep(QString()); };
    store::LoadResult result = store::loadDataFile(folder_.dataFile(), DataGrid, progress);
    if (result.status == store::LoadStatus::Unreadable) {
        reportDataFileUnreadable(result.error);
    } else if (result.status == store::LoadStatus::Loaded) {
        if (splash) {
            splash->setComment(QStringLiteral("並び替え中..."));
            splash->repaintNow();
        }
        AllVisibleButtonClick();
        if (albumModel_->rowCount() > 0) {
            selectListRow(0, false);
        }
    } else {
        AllVisibleButtonClick();
    }
    SerchGroupClick();
    PageControl1->setCurrentIndex(0);
}

void TForm1::reportDataFileUnreadable(const store::FileError& error)
{
    dataFileUnreadable_ = true;
    prompter_.error(fromUtf8(store::readFailureMessage(error)));
}

void TForm1::loadCatalogue(LoadMode mode)
{
    if (mode == LoadMode::Startup) {
        FormCreate(nullptr);
        return;
    }
    // Revert: the table is replaced as a whole, so short lines never keep
    // cells from before.
    const std::filesystem::path file = folder_.dataFile();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        return;
    }
    StatusProgressMax = 305;
    setStatus(1, QStringLiteral("読み込み中..."));
    std::function<void(int)> progress = [this](int pass) {
        setStatus(0, QString::number(pass));
        repaintStatus();
    };
    store::LoadResult result = store::loadDataFile(file, DataGrid, progress);
    if (result.status != store::LoadStatus::Loaded) {
        setStatus(0, QStringLiteral("0"));
        setStatus(1, QString());
        if (result.status == store::LoadStatus::Unreadable) {
            reportDataFileUnreadable(result.error);
        }
        return;
    }
    dataFileUnreadable_ = false;
    AllVisibleButtonClick();
    if (albumModel_->rowCount() > 0) {
        selectListRow(0, false);
    }
    SerchGroupClick();
}

void TForm1::revertToSaved()
{
    loadCatalogue(LoadMode::Revert);
}

bool TForm1::renumberQuestion()
{
    if (!listOutOfOrder() || !allAlbumsShown()) {
        return true;
    }
    switch (prompter_.askYesNoCancel(
        QStringLiteral("アルバム番号とアルバム表示の順番が異なります。\r\n"
                       "アルバム番号をリストに表示されている順番で振りなおして保存しますか？"))) {
        case Prompter::Answer::Yes:
            NoEditButtonClick();
            return true;
        case Prompter::Answer::No:
            return true;
        case Prompter::Answer::Cancel:
            break;
    }
    return false;
}

bool TForm1::saveCatalogue()
{
    return renumberQuestion() && SaveExecute();
}

bool TForm1::SaveExecute()
{
    if (dataFileUnreadable_ &&
        !prompter_.confirm(QStringLiteral("アルバム情報ファイル「%1」は読み込めなかったため、"
                                          "いま表示されている内容は含まれていません。\r\n"
                                          "保存するとこのファイルは上書きされます。保存しますか？")
                               .arg(QString::fromStdString(folder_.dataFile().string())))) {
        return false;
    }
    // The data file, then the settings, then the seven lists; a failure
    // stops the save at that file and later files keep their contents.
    store::TStringGridIO writer;
    writer.TargetGrid = &DataGrid;
    store::FileError error;
    bool ok = writer.Write(folder_.dataFile(), "<>", false, &error);
    if (ok) {
        dataFileUnreadable_ = false;
        collectSettings();
        ok = store::saveSettingsFile(folder_.settingsFile(), Settings, &error) &&
             Lists.save(folder_.dir(), &error);
    }
    if (!ok) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
    }
    return ok;
}

void TForm1::saveAndExit()
{
    close();
}

void TForm1::exitWithoutSaving()
{
    SaveOnExit = false;
    close();
}

bool TForm1::FormCloseQuery()
{
    if (!renumberQuestion()) {
        // A cancelled close leaves everything as it was, saving on exit too.
        SaveOnExit = true;
        return false;
    }
    if (playerForm_ != nullptr) {
        playerForm_->close();
    }
    releasePreviewDevice();
    if (SaveOnExit && !SaveExecute()) {
        return false;
    }
    return true;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    bool close = FormCloseQuery();
    closing_ = false;
    if (close) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Panel1Resize();
}

void TForm1::showAbout()
{
    QString help = QDir(programDir_).filePath(QStringLiteral("help.html"));
    auto* box = new TAboutBox(&shell_, QUrl::fromLocalFile(help).toString(), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->ProgressBar1->hide();
    box->setComment(QStringLiteral("Thank You!"));
    box->setDataFolder(QString::fromStdString(folder_.dir().string()));
    box->setWindowModality(Qt::ApplicationModal);
    box->open();
}

void TForm1::openHelp()
{
    QString help = QDir(programDir_).filePath(QStringLiteral("help.html"));
    if (QFileInfo::exists(help)) {
        shell_.open(QUrl::fromLocalFile(help));
    }
}

void TForm1::fillSearchItemMenu(QMenu* menu)
{
    menu->clear();
    for (int i = 0; i < InternetItems.size() && i < 6; ++i) {
        QAction* item = menu->addAction(InternetItems[i]);
        item->setToolTip(InternetItems[i]);
        item->setCheckable(true);
        item->setChecked(Settings.internetChecks[static_cast<std::size_t>(i)]);
        connect(item, &QAction::triggered, this, [this, text = InternetItems[i]] {
            // The item of that text (the last of equal ones) switches.
            const int index = std::max(0, static_cast<int>(InternetItems.lastIndexOf(text)));
            Settings.internetChecks[static_cast<std::size_t>(index)] =
                !Settings.internetChecks[static_cast<std::size_t>(index)];
        });
    }
}

void TForm1::OptionOpenButtonClick()
{
    if (showOptions) {
        showOptions();
    }
}

void TForm1::InfoTabButtonClick()
{
    const QToolButton* buttons[] = {InfoTabButton, SerchTabButton, ChengeTabButton, RepreceTabButton};
    for (int page = 0; page < 4; ++page) {
        if (buttons[page]->isChecked()) {
            PageControl1->setCurrentIndex(page);
        }
    }
}

void TForm1::PageControl1Change()
{
    QToolButton* buttons[] = {InfoTabButton, SerchTabButton, ChengeTabButton, RepreceTabButton};
    int page = PageControl1->currentIndex();
    if (page >= 0 && page < 4) {
        buttons[page]->setChecked(true);
    }
}

void TForm1::Panel1Resize()
{
    if (!PageControl1) {
        return;
    }
    int widest = width() - 110;
    if (width() == startWindowWidth_) {
        // Not resized since start: the stored page width stays.
        widest = std::max(widest, startPageWidth_);
    } else {
        startWindowWidth_ = -1;
    }
    PageControl1->setMaximumWidth(std::max(PageControl1->minimumWidth(), widest));
}

QAction* TForm1::menuAction(const QString& caption) const
{
    auto it = actions_.find(caption);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* TForm1::menu(const QString& caption) const
{
    auto it = menus_.find(caption);
    return it == menus_.end() ? nullptr : it->second;
}

// ---- status bar ----

void TForm1::setStatus(int panel, const QString& text)
{
    StatusBar1->setPanelText(panel, text);
}

void TForm1::repaintStatus()
{
    StatusBar1->repaintNow();
}

void TForm1::StatusBar1DrawPanel(QPainter& painter, int panel, const QRect& rect)
{
    const QPalette& pal = palette();
    painter.fillRect(rect, pal.color(QPalette::Button));
    painter.setPen(pal.color(QPalette::ButtonText));
    QRect textRect = rect.adjusted(5, 0, 0, 0);
    if (panel == 0) {
        std::string text = StatusBar1->panelText(0).toStdString();
        GaugeLayout gauge = layoutStatusGauge(text, StatusProgressMax, rect.width());
        StatusBar1->storePanelText(0, QString::fromStdString(text));
        if (gauge.barWidth > 0) {
            painter.fillRect(QRect(rect.left() + kGaugeTextWidth, rect.top(), gauge.barWidth, rect.height()),
                             pal.color(QPalette::Active, QPalette::Highlight));
        }
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(gauge.text));
    } else {
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, StatusBar1->panelText(1));
    }
}

}  // namespace velmora::ui
