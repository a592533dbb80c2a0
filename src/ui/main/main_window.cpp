#include "ui/main/main_window.h"

#include <QAction>
#include <QActionGroup>
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
#include <QScrollArea>
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
#include "ui/dialogs/help_window.h"
#include "ui/discdata/disc_album_lookup.h"
#include "ui/main/album_info_panel.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_actions.h"
#include "ui/main/song_list_model.h"
#include "ui/main/tool_pages.h"
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
      catalogue_(folder_),
      folderDialog_(std::make_unique<FolderPicker>(services.prompter)),
      actions_(std::make_unique<MainActions>(this)),
      openReadingDictionary_(std::move(services.readingDictionary))
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

    catalogue_.addObserver(this);
    buildToolBar();
    buildMenus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mainSplitter_ = new QSplitter(Qt::Vertical, central);
    mainSplitter_->setObjectName(QStringLiteral("mainSplitter"));
    mainSplitter_->setHandleWidth(8);
    mainSplitter_->setChildrenCollapsible(false);
    layout->addWidget(mainSplitter_, 1);
    statusBar_ = new StatusBar(central);
    statusBar_->onDrawPanel = [this](QPainter& painter, int panel, const QRect& rect) {
        drawStatusPanel(painter, panel, rect);
    };
    layout->addWidget(statusBar_);
    setCentralWidget(central);

    buildPages();
    buildLists();
    connectActions();
    wireAlbumCommands();
    wirePlaybackCommands();
    startUp(splash);
    // The dialogs take the settings, lists and devices read at start-up.
    createDialogs();
}

MainWindow::~MainWindow()
{
    catalogue_.removeObserver(this);
    // The lists and their models read the album table: they go before it.
    delete takeCentralWidget();
    delete albumModel_;
    delete songModel_;
}

void MainWindow::buildToolBar()
{
    toolBar_ = new QToolBar(QStringLiteral("ツールバー"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(22, 22));
    toolBar_->setMinimumHeight(50);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    const MainActions& a = *actions_;
    auto* editMenu = new QMenu(this);
    editMenu->addAction(a.registerDisc);
    editMenu->addAction(a.registerPicture);
    const std::initializer_list<QAction*> groups[] = {
        {a.newAlbum, a.editAlbum, a.deleteAlbums},
        {a.showAll, a.renumber},
        {a.playCd, a.playMedia},
        {a.infoPage, a.searchPage, a.convertPage, a.replacePage},
        {a.options},
    };
    bool first = true;
    for (const auto& group : groups) {
        if (!first) {
            toolBar_->addSeparator();
        }
        first = false;
        for (QAction* action : group) {
            toolBar_->addAction(action);
            if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action))) {
                // Never narrower than its label: a cramped tool bar moves
                // buttons to its extension menu instead of cutting labels.
                button->setMinimumSize(button->sizeHint().expandedTo(QSize(55, 35)));
                button->setAutoRaise(true);
            }
        }
    }
    // The edit button's arrow offers the two quick registrations; the menu
    // goes on the button, not on the action, which menus show as an item.
    if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(a.editAlbum))) {
        button->setMenu(editMenu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void MainWindow::buildMenus()
{
    const MainActions& a = *actions_;
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(a.revert);
    file->addAction(a.save);
    file->addSeparator();
    file->addAction(a.importData);
    file->addAction(a.registerFolder);
    QMenu* exportMenu = file->addMenu(QStringLiteral("データを書き出す(&A)"));
    exportMenu->setIcon(themedIcon("document-save-as", "export"));
    exportMenu->addActions({a.exportData, a.exportCsv, a.exportHtml});
    file->addSeparator();
    file->addAction(a.quitWithoutSaving);
    file->addAction(a.quit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->addAction(a.undo);
    edit->addAction(a.redo);
    edit->addSeparator();
    edit->addAction(a.newAlbum);
    edit->addAction(a.editAlbum);
    QMenu* quick = edit->addMenu(QStringLiteral("クイック編集(&Q)"));
    quick->addActions({a.registerDisc, a.registerPicture});
    edit->addAction(a.duplicateAlbum);
    edit->addSeparator();
    edit->addAction(a.showAll);
    edit->addAction(a.renumber);
    edit->addSeparator();
    QMenu* clip = edit->addMenu(QStringLiteral("クリップボードにコピー(&C)"));
    clip->addActions({a.copyAlbumDetails, a.copyAlbumSummary, a.copySongDetails, a.copyArtistNames,
                      a.copyAlbumTitles, a.copySongTitle});
    edit->addSeparator();
    edit->addAction(a.deleteAlbums);

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->addActions(a.pages->actions());

    QMenu* tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
    tools->addAction(a.playMedia);
    tools->addAction(a.playCd);
    tools->addAction(a.playerToFront);
    tools->addSeparator();
    QMenu* searchItems = tools->addMenu(QStringLiteral("インターネット検索項目設定(&U)"));
    connect(searchItems, &QMenu::aboutToShow, this, [this, searchItems] { fillSearchItemMenu(searchItems); });
    tools->addAction(a.findDisc);
    tools->addAction(a.autoReadings);
    tools->addSeparator();
    tools->addAction(a.options);
    connect(tools, &QMenu::aboutToShow, this, [this] { prepareToolsMenu(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->addAction(a.help);
    help->addAction(a.about);
}

void MainWindow::connectActions()
{
    const MainActions& a = *actions_;
    auto on = [this](QAction* action, auto command) { connect(action, &QAction::triggered, this, command); };
    on(a.revert, [this] { revertToSaved(); });
    on(a.save, [this] { saveCatalogue(); });
    on(a.importData, [this] { importDataFile(); });
    on(a.registerFolder, [this] { registerFolderFromTags(); });
    on(a.exportData, [this] { exportDataFile(); });
    on(a.exportCsv, [this] { exportCsvFile(); });
    on(a.exportHtml, [this] { exportHtmlPage(); });
    on(a.quitWithoutSaving, [this] { exitWithoutSaving(); });
    on(a.quit, [this] { saveAndExit(); });

    on(a.newAlbum, [this] { createNewAlbum(); });
    on(a.editAlbum, [this] { editSelectedAlbum(); });
    on(a.registerDisc, [this] { registerDiscToAlbum(); });
    on(a.registerPicture, [this] { registerPictureQuickly(); });
    on(a.duplicateAlbum, [this] { duplicateSelectedAlbum(); });
    on(a.duplicateAndEdit, [this] { duplicateAndEditAlbum(); });
    on(a.deleteAlbums, [this] { deleteSelectedAlbums(); });
    on(a.showAll, [this] { showAllAlbums(); });
    on(a.showSelectedOnly, [this] { showSelectedOnly(); });
    on(a.renumber, [this] { renumberInListOrder(); });

    on(a.copyAlbumDetails, [this] { copyAlbumDetails(); });
    on(a.copyAlbumSummary, [this] { copyAlbumSummary(); });
    on(a.copySongDetails, [this] { copySongDetails(); });
    on(a.copyArtistNames, [this] { copyArtistNames(); });
    on(a.copyAlbumTitles, [this] { copyAlbumTitles(); });
    on(a.copySongTitle, [this] { copySongTitle(); });

    on(a.playSong, [this] { playAlbumMedia(); });
    on(a.openSongFile, [this] { openSongMediaFile(); });
    on(a.openSongFolder, [this] { openSongMediaFolder(); });
    on(a.editSongTitle, [this] { quickEditSongTitle(); });
    on(a.editSongArtist, [this] { quickEditSongArtist(); });
    on(a.editSongMedia, [this] { quickEditSongMedia(); });

    on(a.playMedia, [this] { playAlbumMedia(); });
    on(a.playCd, [this] { playCd(); });
    on(a.playerToFront, [this] { bringPlayerToFront(); });
    on(a.findDisc, [this] { findDiscAlbum(false); });

    const QAction* pages[] = {a.infoPage, a.searchPage, a.convertPage, a.replacePage};
    for (int page = 0; page < 4; ++page) {
        connect(pages[page], &QAction::triggered, this, [this, page] { pageStack_->setCurrentIndex(page); });
    }
    // 検索 (Ctrl+F) is there to type a word at once.
    connect(a.searchPage, &QAction::triggered, this, [this] { searchPage_->focusWord(); });
    on(a.options, [this] { openOptions(); });
    on(a.help, [this] { openHelp(); });
    on(a.about, [this] { showAbout(); });
}

void MainWindow::buildPages()
{
    pageSplitter_ = new QSplitter(Qt::Horizontal, mainSplitter_);
    pageSplitter_->setObjectName(QStringLiteral("pageSplitter"));
    pageSplitter_->setHandleWidth(8);
    pageSplitter_->setChildrenCollapsible(false);
    pageSplitter_->setMinimumHeight(160);

    pageStack_ = new QStackedWidget(pageSplitter_);
    pageStack_->setObjectName(QStringLiteral("pageStack"));
    // The pages scroll when a small screen or a large font leaves them less
    // room than they ask for; the album list keeps several rows.
    pageScroll_ = scrollWhenCramped(pageStack_, pageSplitter_);
    pageScroll_->setObjectName(QStringLiteral("pageScroll"));
    pageScroll_->setMinimumWidth(312);
    pageScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    infoPage_ = new AlbumInfoPanel(pageStack_);
    infoPage_->setObjectName(QStringLiteral("infoPage"));
    searchPage_ = new SearchPage(pageStack_);
    searchPage_->setObjectName(QStringLiteral("searchPage"));
    convertPage_ = new ConvertPage(pageStack_);
    convertPage_->setObjectName(QStringLiteral("convertPage"));
    replacePage_ = new ReplacePage(pageStack_);
    replacePage_->setObjectName(QStringLiteral("replacePage"));
    for (QWidget* page :
         std::initializer_list<QWidget*>{infoPage_, searchPage_, convertPage_, replacePage_}) {
        pageStack_->addWidget(page);
    }
    connect(infoPage_, &AlbumInfoPanel::artistListRequested, this, [this] { fillArtistPicks(); });
    connect(infoPage_, &AlbumInfoPanel::titleListRequested, this, [this] { fillTitlePicks(); });
    connect(infoPage_, &AlbumInfoPanel::artistPicked, this,
            [this](const QString& artist) { selectFirstWithText(1, artist); });
    connect(infoPage_, &AlbumInfoPanel::titlePicked, this,
            [this](const QString& title) { selectFirstWithText(2, title); });
    connectToolPages();
    connect(pageStack_, &QStackedWidget::currentChanged, this, [this] { toolPageChanged(); });

    songPanel_ = new QWidget(pageSplitter_);
    songPanel_->setObjectName(QStringLiteral("songPanel"));
    // The song side may be squeezed away by a stored page width; the
    // splitter drags it back.
    songPanel_->setMinimumWidth(1);
    pageSplitter_->setCollapsible(1, true);
    auto* songLayout = new QVBoxLayout(songPanel_);
    songLayout->setContentsMargins(0, 0, 0, 0);
    songLayout->setSpacing(0);

    songHeader_ = new QWidget(songPanel_);
    songHeader_->setObjectName(QStringLiteral("songHeader"));
    songHeader_->setFixedHeight(72);
    songHeader_->setAutoFillBackground(true);
    songNumberLabel_ = new QLabel(QStringLiteral("1"), songHeader_);
    songNumberLabel_->setObjectName(QStringLiteral("songNumberLabel"));
    QFont big = songNumberLabel_->font();
    big.setPointSize(24);
    big.setBold(true);
    songNumberLabel_->setFont(big);
    songNumberLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* songCaption = new QLabel(QStringLiteral("曲目"), songHeader_);
    songTitleLabel_ = new QLabel(songHeader_);
    songTitleLabel_->setObjectName(QStringLiteral("songTitleLabel"));
    QFont bold = songTitleLabel_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    songTitleLabel_->setFont(bold);
    mediaFileLabel_ = new QLabel(songHeader_);
    mediaFileLabel_->setObjectName(QStringLiteral("mediaFileLabel"));
    QFont small = mediaFileLabel_->font();
    small.setPointSize(std::max(7, small.pointSize() - 1));
    mediaFileLabel_->setFont(small);
    for (QLabel* label : {songTitleLabel_, mediaFileLabel_}) {
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(10);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    auto* header = new QHBoxLayout(songHeader_);
    header->setContentsMargins(6, 4, 6, 4);
    songNumberLabel_->setMinimumWidth(56);
    header->addWidget(songNumberLabel_);
    header->addWidget(songCaption, 0, Qt::AlignBottom);
    auto* names = new QVBoxLayout;
    names->addWidget(songTitleLabel_);
    names->addWidget(mediaFileLabel_);
    header->addLayout(names, 1);
    songLayout->addWidget(songHeader_);
    songHeader_->installEventFilter(new ResizeWatcher(this, [this] { songHeaderResized(); }));

    pageSplitter_->addWidget(pageScroll_);
    pageSplitter_->addWidget(songPanel_);
    pageSplitter_->setStretchFactor(0, 0);
    pageSplitter_->setStretchFactor(1, 1);
    pageSplitter_->setSizes({368, 356});
}

void MainWindow::buildLists()
{
    songView_ = new ReportView(songPanel_);
    songView_->setObjectName(QStringLiteral("songView"));
    songView_->setAccessibleName(QStringLiteral("曲リスト"));
    songModel_ = new SongListModel(this);
    songView_->setModel(songModel_);
    songView_->setSelectionMode(QAbstractItemView::SingleSelection);
    const int songWidths[] = {50, 150, 150, 150};
    for (int c = 0; c < 4; ++c) {
        songView_->setColumnWidth(c, songWidths[c]);
    }
    songPanel_->layout()->addWidget(songView_);
    connect(songView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { songRowSelected(current.row()); });
    connect(songView_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { sortSongsByColumn(column); });

    auto* panel4 = new QWidget(mainSplitter_);
    auto* listLayout = new QVBoxLayout(panel4);
    listLayout->setContentsMargins(0, 0, 0, 0);
    albumView_ = new AlbumReportView(panel4);
    albumView_->setObjectName(QStringLiteral("albumView"));
    albumView_->setAccessibleName(QStringLiteral("アルバムリスト"));
    albumModel_ = new AlbumListModel(catalogue_, this);
    albumView_->setModel(albumModel_);
    albumView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const int albumWidths[] = {50, 150, 150, 50, 50, 50, 50, 50};
    for (int c = 0; c < AlbumListModel::kColumnCount; ++c) {
        albumView_->setColumnWidth(c, albumWidths[c]);
    }
    albumView_->setColumnWidth(0, std::max(albumWidths[0], numberColumnWidth(*albumView_)));
    // The last column fills a wide window; the others keep their widths.
    albumView_->header()->setStretchLastSection(true);
    // Several albums stay in view whatever the font and the screen: the
    // tool pages above scroll instead.
    albumView_->keepRowsInView(5);
    listLayout->addWidget(albumView_);
    connect(albumView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::onAlbumSelectionChanged);
    connect(albumView_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { sortAlbumsByColumn(column); });
    albumView_->onDrop = [this](int row) { dropSelectedAlbums(row); };
    // Delete is a shortcut of the list alone (see MainActions).
    albumView_->addAction(actions_->deleteAlbums);
    connect(albumView_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) {
            editSelectedAlbum();
        }
    });

    mainSplitter_->addWidget(pageSplitter_);
    mainSplitter_->addWidget(panel4);
    mainSplitter_->setStretchFactor(0, 0);
    mainSplitter_->setStretchFactor(1, 1);
    buildPopupMenus();
}

void MainWindow::settingsChanged()
{
    if (!followSettings_) {
        return;
    }
    appSettings = catalogue_.settings();
    listFiles = catalogue_.lists();
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
    songTitleLabel_->clear();
    mediaFileLabel_->clear();

    // Start-up mode: the splash advances once per column pass of the data
    // file; the settings and the lists are read with it.
    splashStep(QStringLiteral("設定ファイルの読み込み..."));
    splashStep(QStringLiteral("アルバム情報ファイルの読み込み..."));
    std::function<void(int)> progress = [splashStep](int) { splashStep(QString()); };
    const catalogue::LoadReport report = catalogue_.load(progress);
    settingsFileRead_ = report.settingsRead;
    if (settingsFileRead_) {
        applySettings();
    }
    // The design place or a place stored on a larger screen may lie partly
    // off this screen.
    keepOnScreen(*this);
    keepOnScreenWhenShown(*this);
    if (report.listError) {
        prompter_.error(fromUtf8(store::readFailureMessage(*report.listError)));
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    songModel_->resetItems();
    if (report.folderError) {
        prompter_.error(fromUtf8(store::readFailureMessage(*report.folderError)));
    } else if (report.dataStatus == store::LoadStatus::Unreadable) {
        prompter_.error(fromUtf8(store::readFailureMessage(report.dataError)));
    } else if (report.dataStatus == store::LoadStatus::Loaded) {
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
    pageStack_->setCurrentIndex(0);
}

void MainWindow::loadCatalogue(LoadMode mode)
{
    if (mode == LoadMode::Startup) {
        startUp(nullptr);
        return;
    }
    // Revert: the table is replaced as a whole, so short lines never keep
    // cells from before.
    std::error_code ec;
    if (!std::filesystem::exists(folder_.dataFile(), ec)) {
        return;
    }
    statusProgressMax = 305;
    setStatus(1, QStringLiteral("読み込み中..."));
    std::function<void(int)> progress = [this](int pass) {
        setStatus(0, QString::number(pass));
        repaintStatus();
    };
    const catalogue::LoadReport report = catalogue_.revert(progress);
    if (report.dataStatus != store::LoadStatus::Loaded) {
        setStatus(0, QStringLiteral("0"));
        setStatus(1, QString());
        if (report.dataStatus == store::LoadStatus::Unreadable) {
            prompter_.error(fromUtf8(store::readFailureMessage(report.dataError)));
        }
        return;
    }
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
    collectSettings();
    handSettingsToCatalogue();
    // The data file, then the settings, then the seven lists; a failure
    // stops the save at that file and later files keep their contents.
    catalogue::SaveReport report = catalogue_.save();
    if (report.status == catalogue::SaveStatus::NeedsConsent) {
        if (!prompter_.confirm(
                fromUtf8(catalogue::saveOverUnreadableQuestion(folder_.dataFile().string())))) {
            return false;
        }
        report = catalogue_.save(catalogue::SaveConsent::OverwriteUnreadable);
    }
    if (report.status == catalogue::SaveStatus::ChangedOnDisk) {
        // Another program wrote VLM.dat since it was read: never overwrite
        // it unasked.
        switch (prompter_.askChoice(fromUtf8(catalogue::changedOnDiskQuestion(folder_.dataFile().string())),
                                    QStringLiteral("読み込み直す(&R)"), QStringLiteral("上書き保存(&O)"))) {
            case Prompter::Answer::Yes:
                if (prompter_.confirm(QStringLiteral("この画面での変更をすべて破棄して、ディスク上のデータを"
                                                     "読み込み直します。よろしいですか？"))) {
                    loadCatalogue(LoadMode::Revert);
                }
                return false;
            case Prompter::Answer::No:
                report = catalogue_.save(catalogue::SaveConsent::OverwriteChanged);
                break;
            case Prompter::Answer::Cancel:
                return false;
        }
    }
    if (report.status == catalogue::SaveStatus::Failed) {
        prompter_.error(fromUtf8(store::writeFailureMessage(report.error)));
        return false;
    }
    return true;
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
    // Albums unchanged since the data file was read or written: it is not
    // written again (a large one takes seconds), only the window's
    // settings and the lists are. An explicit save writes it all the same.
    std::error_code ec;
    const bool albumsUnchanged = !catalogue_.albumsModified() && !catalogue_.dataFileUnreadable() &&
                                 std::filesystem::exists(folder_.dataFile(), ec);
    auto writeSettingsAndLists = [this] {
        collectSettings();
        handSettingsToCatalogue();
        store::FileError error;
        if (!store::saveSettingsFile(folder_.settingsFile(), catalogue_.settings(), &error) ||
            !catalogue_.lists().save(folder_.dir(), &error)) {
            prompter_.error(fromUtf8(store::writeFailureMessage(error)));
            return false;
        }
        return true;
    };
    if (saveOnExit && !(albumsUnchanged ? writeSettingsAndLists() : writeCatalogue())) {
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
    auto* box = new AboutDialog(&shell_, QStringLiteral(VELMORA_HOMEPAGE), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->hideProgress();
    box->setComment(QStringLiteral("Thank You!"));
    box->setDataFolder(QString::fromStdString(folder_.dir().string()));
    box->setWindowModality(Qt::ApplicationModal);
    box->open();
}

void MainWindow::openHelp()
{
    QString help = QDir(programDir_).filePath(QStringLiteral("help.html"));
    if (!QFileInfo::exists(help)) {
        prompter_.error(QStringLiteral("ヘルプのファイルが見つかりません。\r\n%1").arg(help));
        return;
    }
    // Shown in a window of its own: no browser is needed.
    if (helpWindow_ == nullptr) {
        helpWindow_ = new HelpWindow(shell_, this);
    }
    if (!helpWindow_->showPage(help)) {
        prompter_.error(QStringLiteral("ヘルプのファイルを読み込めません。\r\n%1").arg(help));
        return;
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void MainWindow::fillSearchItemMenu(QMenu* menu)
{
    menu->clear();
    for (int i = 0; i < webSearchItems.size() && i < 6; ++i) {
        // The items are numbered for the keyboard; a caption's own '&' is shown as typed.
        QString caption = webSearchItems[i];
        QAction* item = menu->addAction(QStringLiteral("%1(&%2)")
                                            .arg(caption.replace(QLatin1Char('&'), QStringLiteral("&&")))
                                            .arg(i + 1));
        item->setToolTip(webSearchItems[i]);
        item->setCheckable(true);
        item->setChecked(appSettings.internetChecks[static_cast<std::size_t>(i)]);
        connect(item, &QAction::triggered, this, [this, text = webSearchItems[i]] {
            // The item of that text (the last of equal ones) switches.
            const int index = std::max(0, static_cast<int>(webSearchItems.lastIndexOf(text)));
            appSettings.internetChecks[static_cast<std::size_t>(index)] =
                !appSettings.internetChecks[static_cast<std::size_t>(index)];
            handSettingsToCatalogue();
        });
    }
}

void MainWindow::openOptions()
{
    if (showOptions) {
        showOptions();
    }
}

void MainWindow::toolPageChanged()
{
    QAction* pages[] = {actions_->infoPage, actions_->searchPage, actions_->convertPage,
                        actions_->replacePage};
    int page = pageStack_->currentIndex();
    if (page >= 0 && page < 4) {
        pages[page]->setChecked(true);
    }
}

void MainWindow::songHeaderResized()
{
    if (!pageStack_) {
        return;
    }
    int widest = width() - 110;
    if (width() == startWindowWidth_) {
        // Not resized since start: the stored page width stays.
        widest = std::max(widest, startPageWidth_);
    } else {
        startWindowWidth_ = -1;
    }
    pageScroll_->setMaximumWidth(std::max(pageScroll_->minimumWidth(), widest));
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
