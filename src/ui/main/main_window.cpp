#include "ui/main/main_window.h"

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

#include "core/common/status_gauge.h"
#include "core/store/data_file.h"
#include "core/store/string_grid_io.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/folder_picker.h"
#include "ui/main/album_list_model.h"
#include "ui/main/song_list_model.h"
#include "ui/platform/prompter.h"
#include "ui/platform/screen_fit.h"
#include "ui/platform/shell.h"
#include "ui/platform/text_codec.h"
#include "ui/player/player_window.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"
#include "ui/widgets/status_bar.h"

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

MainWindow::MainWindow(Services services, AboutDialog* splash, QWidget* parent)
    : QMainWindow(parent),
      prompter_(services.prompter),
      shell_(services.shell),
      folder_(std::move(services.folder)),
      programDir_(services.programDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                : services.programDir),
      folderDialog_(std::make_unique<FolderPicker>(services.prompter))
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
    webSearchItems = {QStringLiteral("アーティスト名"), QStringLiteral("アルバム名"),
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
    mainSplitter = new QSplitter(Qt::Vertical, central);
    mainSplitter->setHandleWidth(8);
    mainSplitter->setChildrenCollapsible(false);
    layout->addWidget(mainSplitter, 1);
    statusBar_ = new StatusBar(central);
    statusBar_->onDrawPanel = [this](QPainter& painter, int panel, const QRect& rect) {
        drawStatusPanel(painter, panel, rect);
    };
    layout->addWidget(statusBar_);
    setCentralWidget(central);

    buildPages();
    buildLists();
    wireAlbumCommands();
    wireExchangeCommands();
    wireHtmlCommands();
    wireCdCommands();
    wirePlaybackCommands();
    startUp(splash);
}

MainWindow::~MainWindow()
{
    // The lists and their models read the album table: they go before it.
    delete takeCentralWidget();
    delete albumModel_;
    delete songModel_;
}

QToolButton* MainWindow::addToolButton(const QString& caption, const QString& hint, const char* theme,
                                       const char* icon, std::function<void()> command)
{
    auto* button = new QToolButton(toolBar);
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(themedIcon(theme, icon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setMinimumSize(55, 35);
    button->setAutoRaise(true);
    if (command) {
        connect(button, &QToolButton::clicked, this, [command = std::move(command)] { command(); });
    }
    toolBar->addWidget(button);
    return button;
}

void MainWindow::buildToolBar()
{
    toolBar = new QToolBar(QStringLiteral("ツールバー"), this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(22, 22));
    toolBar->setMinimumHeight(50);
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar);

    newAlbumButton = addToolButton(QStringLiteral("新規作成"), QStringLiteral("アルバム情報を新規作成"),
                                   "document-new", "new", nullptr);
    editButton =
        addToolButton(QStringLiteral("編集"), QStringLiteral("選択アルバムを編集"), nullptr, "edit", nullptr);
    auto* editMenu = new QMenu(editButton);
    actions_[QStringLiteral("EditBtn/音楽CDを登録")] = editMenu->addAction(QStringLiteral("音楽CDを登録"));
    actions_[QStringLiteral("EditBtn/画像登録")] = editMenu->addAction(QStringLiteral("画像登録"));
    editButton->setMenu(editMenu);
    editButton->setPopupMode(QToolButton::MenuButtonPopup);
    deleteButton = addToolButton(QStringLiteral("削除"), QStringLiteral("アルバム情報を削除"), nullptr,
                                 "delete", nullptr);
    toolBar->addSeparator();
    showAllButton = addToolButton(QStringLiteral("全表示"), QStringLiteral("すべてのアルバムを表示"), nullptr,
                                  "show-all", [this] { showAllAlbums(); });
    renumberButton =
        addToolButton(QStringLiteral("番号整列"), QStringLiteral("表示されている順番に番号を振りなおす"),
                      nullptr, "renumber", [this] { renumberInListOrder(); });
    toolBar->addSeparator();
    cdPlayButton =
        addToolButton(QStringLiteral("CD再生"), QStringLiteral("音楽CDを再生"), nullptr, "cd-play", nullptr);
    playButtonOfMain = addToolButton(QStringLiteral("再生"), QStringLiteral("メディアファイルを再生"),
                                     nullptr, "play", nullptr);
    toolBar->addSeparator();

    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    struct Tab {
        QToolButton** button;
        const char* caption;
        const char* hint;
        const char* icon;
    };
    const Tab tabs[] = {
        {&infoPageButton, "情報", "アルバム情報を表示", "info"},
        {&searchPageButton, "検索", "アルバムを検索", "search"},
        {&convertPageButton, "変換", "文字を変換", "convert"},
        {&replacePageButton, "置換", "文字を置換", "replace"},
    };
    int id = 0;
    for (const Tab& tab : tabs) {
        QToolButton* button = addToolButton(QString::fromUtf8(tab.caption), QString::fromUtf8(tab.hint),
                                            nullptr, tab.icon, nullptr);
        button->setCheckable(true);
        group->addButton(button, id++);
        *tab.button = button;
    }
    infoPageButton->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this] { showChosenToolPage(); });
    toolBar->addSeparator();
    optionsButton = addToolButton(QStringLiteral("設定"), QStringLiteral("オプション設定"), nullptr,
                                  "settings", [this] { openOptions(); });
}

QAction* MainWindow::addMenuItem(QMenu* menu, const QString& caption, std::function<void()> command,
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

void MainWindow::buildMenus()
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
        edit, QStringLiteral("アルバム全表示(&A)"), [this] { showAllAlbums(); }, nullptr, "show-all");
    addMenuItem(
        edit, QStringLiteral("CD番号整列"), [this] { renumberInListOrder(); }, nullptr, "renumber");
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
        actions_.at(QStringLiteral("アルバム編集(&E)"))->setEnabled(editButton->isEnabled());
        menus_.at(QStringLiteral("クイック編集 (&Q)"))->setEnabled(editButton->isEnabled());
        actions_.at(QStringLiteral("アルバム全表示(&A)"))->setEnabled(showAllButton->isEnabled());
        actions_.at(QStringLiteral("CD番号整列"))->setEnabled(renumberButton->isEnabled());
        actions_.at(QStringLiteral("アルバム削除(&D)"))->setEnabled(deleteButton->isEnabled());
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
        tools, QStringLiteral("オプション"), [this] { openOptions(); }, nullptr, "settings");
    playerToFront->setEnabled(false);
    connect(tools, &QMenu::aboutToShow, this, [this] { prepareToolsMenu(); });

    QMenu* help = topMenu(QStringLiteral("ヘルプ(&H)"));
    addMenuItem(
        help, QStringLiteral("ヘルプ(&H)"), [this] { openHelp(); }, "help-contents", "help");
    addMenuItem(
        help, QStringLiteral("バージョン情報(&A)"), [this] { showAbout(); }, "help-about", "info");
}

void MainWindow::buildPages()
{
    pageSplitter = new QSplitter(Qt::Horizontal, mainSplitter);
    pageSplitter->setHandleWidth(8);
    pageSplitter->setChildrenCollapsible(false);
    pageSplitter->setMinimumHeight(325);

    pageStack = new QStackedWidget(pageSplitter);
    pageStack->setMinimumWidth(312);
    infoPage = new QWidget(pageStack);
    searchPage = new QWidget(pageStack);
    convertPage = new QWidget(pageStack);
    replacePage = new QWidget(pageStack);
    for (QWidget* page : {infoPage, searchPage, convertPage, replacePage}) {
        pageStack->addWidget(page);
    }
    buildInfoPage();
    buildToolPages();
    connect(pageStack, &QStackedWidget::currentChanged, this, [this] { toolPageChanged(); });

    songPanel = new QWidget(pageSplitter);
    // The song side may be squeezed away by a stored page width; the
    // splitter drags it back.
    songPanel->setMinimumWidth(1);
    pageSplitter->setCollapsible(1, true);
    auto* songLayout = new QVBoxLayout(songPanel);
    songLayout->setContentsMargins(0, 0, 0, 0);
    songLayout->setSpacing(0);

    songHeader = new QWidget(songPanel);
    songHeader->setFixedHeight(72);
    songHeader->setAutoFillBackground(true);
    songNumberLabel = new QLabel(QStringLiteral("1"), songHeader);
    QFont big = songNumberLabel->font();
    big.setPointSize(24);
    big.setBold(true);
    songNumberLabel->setFont(big);
    songNumberLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* songCaption = new QLabel(QStringLiteral("曲目"), songHeader);
    songTitleLabel = new QLabel(songHeader);
    QFont bold = songTitleLabel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    songTitleLabel->setFont(bold);
    mediaFileLabel = new QLabel(songHeader);
    QFont small = mediaFileLabel->font();
    small.setPointSize(std::max(7, small.pointSize() - 1));
    mediaFileLabel->setFont(small);
    for (QLabel* label : {songTitleLabel, mediaFileLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(10);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    auto* header = new QHBoxLayout(songHeader);
    header->setContentsMargins(6, 4, 6, 4);
    songNumberLabel->setMinimumWidth(56);
    header->addWidget(songNumberLabel);
    header->addWidget(songCaption, 0, Qt::AlignBottom);
    auto* names = new QVBoxLayout;
    names->addWidget(songTitleLabel);
    names->addWidget(mediaFileLabel);
    header->addLayout(names, 1);
    songLayout->addWidget(songHeader);
    songHeader->installEventFilter(new ResizeWatcher(this, [this] { songHeaderResized(); }));

    pageSplitter->addWidget(pageStack);
    pageSplitter->addWidget(songPanel);
    pageSplitter->setStretchFactor(0, 0);
    pageSplitter->setStretchFactor(1, 1);
    pageSplitter->setSizes({368, 356});
}

void MainWindow::buildLists()
{
    songView = new ReportView(songPanel);
    songView->setObjectName(QStringLiteral("SongListView"));
    songModel_ = new SongListModel(this);
    songView->setModel(songModel_);
    songView->setSelectionMode(QAbstractItemView::SingleSelection);
    const int songWidths[] = {50, 150, 150, 150};
    for (int c = 0; c < 4; ++c) {
        songView->setColumnWidth(c, songWidths[c]);
    }
    songPanel->layout()->addWidget(songView);
    connect(songView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { songRowSelected(current.row()); });
    connect(songView->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { sortSongsByColumn(column); });

    auto* panel4 = new QWidget(mainSplitter);
    auto* listLayout = new QVBoxLayout(panel4);
    listLayout->setContentsMargins(0, 0, 0, 0);
    albumView = new AlbumReportView(panel4);
    albumView->setObjectName(QStringLiteral("AlbumListView"));
    albumModel_ = new AlbumListModel(albumTable, this);
    albumView->setModel(albumModel_);
    albumView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const int albumWidths[] = {50, 150, 150, 50, 50, 50, 50, 50};
    for (int c = 0; c < AlbumListModel::kColumnCount; ++c) {
        albumView->setColumnWidth(c, albumWidths[c]);
    }
    listLayout->addWidget(albumView);
    connect(albumView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::onAlbumSelectionChanged);
    connect(albumView->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { sortAlbumsByColumn(column); });
    albumView->onDrop = [this](int row) { dropSelectedAlbums(row); };

    mainSplitter->addWidget(pageSplitter);
    mainSplitter->addWidget(panel4);
    mainSplitter->setStretchFactor(0, 0);
    mainSplitter->setStretchFactor(1, 1);
    buildPopupMenus();
}

void MainWindow::startUp(AboutDialog* splash)
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
    saveOnExit = true;
    albumSortColumn = 0;
    setStatus(1, QString());
    songTitleLabel->clear();
    mediaFileLabel->clear();

    settingsFileRead_ = store::loadSettingsFile(folder_.settingsFile(), appSettings);
    if (settingsFileRead_) {
        applySettings();
    }
    // The design place or a place stored on a larger screen may lie partly
    // off this screen.
    keepOnScreen(*this);
    keepOnScreenWhenShown(*this);
    store::FileError listError;
    if (!listFiles.load(folder_.dir(), &listError)) {
        prompter_.error(fromUtf8(store::readFailureMessage(listError)));
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    splashStep(QStringLiteral("設定ファイルの読み込み..."));
    songModel_->resetItems();
    splashStep(QStringLiteral("アルバム情報ファイルの読み込み..."));

    // Start-up mode: the splash advances once per column pass.
    std::function<void(int)> progress = [splashStep](int) { splashStep(QString()); };
    store::LoadResult result = store::loadDataFile(folder_.dataFile(), albumTable, progress);
    if (result.status == store::LoadStatus::Unreadable) {
        reportDataFileUnreadable(result.error);
    } else if (result.status == store::LoadStatus::Loaded) {
        if (splash) {
            splash->setComment(QStringLiteral("並び替え中..."));
            splash->repaintNow();
        }
        showAllAlbums();
        if (albumModel_->rowCount() > 0) {
            selectListRow(0, false);
        }
    } else {
        showAllAlbums();
    }
    searchGroupChanged();
    pageStack->setCurrentIndex(0);
}

void MainWindow::reportDataFileUnreadable(const store::FileError& error)
{
    dataFileUnreadable_ = true;
    prompter_.error(fromUtf8(store::readFailureMessage(error)));
}

void MainWindow::loadCatalogue(LoadMode mode)
{
    if (mode == LoadMode::Startup) {
        startUp(nullptr);
        return;
    }
    // Revert: the table is replaced as a whole, so short lines never keep
    // cells from before.
    const std::filesystem::path file = folder_.dataFile();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        return;
    }
    statusProgressMax = 305;
    setStatus(1, QStringLiteral("読み込み中..."));
    std::function<void(int)> progress = [this](int pass) {
        setStatus(0, QString::number(pass));
        repaintStatus();
    };
    store::LoadResult result = store::loadDataFile(file, albumTable, progress);
    if (result.status != store::LoadStatus::Loaded) {
        setStatus(0, QStringLiteral("0"));
        setStatus(1, QString());
        if (result.status == store::LoadStatus::Unreadable) {
            reportDataFileUnreadable(result.error);
        }
        return;
    }
    dataFileUnreadable_ = false;
    showAllAlbums();
    if (albumModel_->rowCount() > 0) {
        selectListRow(0, false);
    }
    searchGroupChanged();
}

void MainWindow::revertToSaved()
{
    loadCatalogue(LoadMode::Revert);
}

bool MainWindow::renumberQuestion()
{
    if (!listOutOfOrder() || !allAlbumsShown()) {
        return true;
    }
    switch (prompter_.askYesNoCancel(
        QStringLiteral("アルバム番号とアルバム表示の順番が異なります。\r\n"
                       "アルバム番号をリストに表示されている順番で振りなおして保存しますか？"))) {
        case Prompter::Answer::Yes:
            renumberInListOrder();
            return true;
        case Prompter::Answer::No:
            return true;
        case Prompter::Answer::Cancel:
            break;
    }
    return false;
}

bool MainWindow::saveCatalogue()
{
    return renumberQuestion() && writeCatalogue();
}

bool MainWindow::writeCatalogue()
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
    store::ListFileIO writer;
    writer.TargetGrid = &albumTable;
    store::FileError error;
    bool ok = writer.Write(folder_.dataFile(), "<>", false, &error);
    if (ok) {
        dataFileUnreadable_ = false;
        collectSettings();
        ok = store::saveSettingsFile(folder_.settingsFile(), appSettings, &error) &&
             listFiles.save(folder_.dir(), &error);
    }
    if (!ok) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
    }
    return ok;
}

void MainWindow::saveAndExit()
{
    close();
}

void MainWindow::exitWithoutSaving()
{
    saveOnExit = false;
    close();
}

bool MainWindow::closeQuery()
{
    if (!renumberQuestion()) {
        // A cancelled close leaves everything as it was, saving on exit too.
        saveOnExit = true;
        return false;
    }
    if (playerForm_ != nullptr) {
        playerForm_->close();
    }
    releasePreviewDevice();
    if (saveOnExit && !writeCatalogue()) {
        return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    bool close = closeQuery();
    closing_ = false;
    if (close) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    songHeaderResized();
}

void MainWindow::showAbout()
{
    QString help = QDir(programDir_).filePath(QStringLiteral("help.html"));
    auto* box = new AboutDialog(&shell_, QUrl::fromLocalFile(help).toString(), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->progressBar->hide();
    box->setComment(QStringLiteral("Thank You!"));
    box->setDataFolder(QString::fromStdString(folder_.dir().string()));
    box->setWindowModality(Qt::ApplicationModal);
    box->open();
}

void MainWindow::openHelp()
{
    QString help = QDir(programDir_).filePath(QStringLiteral("help.html"));
    if (QFileInfo::exists(help)) {
        shell_.open(QUrl::fromLocalFile(help));
    }
}

void MainWindow::fillSearchItemMenu(QMenu* menu)
{
    menu->clear();
    for (int i = 0; i < webSearchItems.size() && i < 6; ++i) {
        QAction* item = menu->addAction(webSearchItems[i]);
        item->setToolTip(webSearchItems[i]);
        item->setCheckable(true);
        item->setChecked(appSettings.internetChecks[static_cast<std::size_t>(i)]);
        connect(item, &QAction::triggered, this, [this, text = webSearchItems[i]] {
            // The item of that text (the last of equal ones) switches.
            const int index = std::max(0, static_cast<int>(webSearchItems.lastIndexOf(text)));
            appSettings.internetChecks[static_cast<std::size_t>(index)] =
                !appSettings.internetChecks[static_cast<std::size_t>(index)];
        });
    }
}

void MainWindow::openOptions()
{
    if (showOptions) {
        showOptions();
    }
}

void MainWindow::showChosenToolPage()
{
    const QToolButton* buttons[] = {infoPageButton, searchPageButton, convertPageButton, replacePageButton};
    for (int page = 0; page < 4; ++page) {
        if (buttons[page]->isChecked()) {
            pageStack->setCurrentIndex(page);
        }
    }
}

void MainWindow::toolPageChanged()
{
    QToolButton* buttons[] = {infoPageButton, searchPageButton, convertPageButton, replacePageButton};
    int page = pageStack->currentIndex();
    if (page >= 0 && page < 4) {
        buttons[page]->setChecked(true);
    }
}

void MainWindow::songHeaderResized()
{
    if (!pageStack) {
        return;
    }
    int widest = width() - 110;
    if (width() == startWindowWidth_) {
        // Not resized since start: the stored page width stays.
        widest = std::max(widest, startPageWidth_);
    } else {
        startWindowWidth_ = -1;
    }
    pageStack->setMaximumWidth(std::max(pageStack->minimumWidth(), widest));
}

QAction* MainWindow::menuAction(const QString& caption) const
{
    auto it = actions_.find(caption);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::menu(const QString& caption) const
{
    auto it = menus_.find(caption);
    return it == menus_.end() ? nullptr : it->second;
}

// ---- status bar ----

void MainWindow::setStatus(int panel, const QString& text)
{
    statusBar_->setPanelText(panel, text);
}

void MainWindow::repaintStatus()
{
    statusBar_->repaintNow();
}

void MainWindow::drawStatusPanel(QPainter& painter, int panel, const QRect& rect)
{
    const QPalette& pal = palette();
    painter.fillRect(rect, pal.color(QPalette::Button));
    painter.setPen(pal.color(QPalette::ButtonText));
    QRect textRect = rect.adjusted(5, 0, 0, 0);
    if (panel == 0) {
        std::string text = statusBar_->panelText(0).toStdString();
        GaugeLayout gauge = layoutStatusGauge(text, statusProgressMax, rect.width());
        statusBar_->storePanelText(0, QString::fromStdString(text));
        if (gauge.barWidth > 0) {
            painter.fillRect(QRect(rect.left() + kGaugeTextWidth, rect.top(), gauge.barWidth, rect.height()),
                             pal.color(QPalette::Active, QPalette::Highlight));
        }
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(gauge.text));
    } else {
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, statusBar_->panelText(1));
    }
}

}  // namespace velmora::ui
