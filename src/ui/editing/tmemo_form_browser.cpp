// The memo pad's file browser: a folder tree beside a file list, whose full
// paths go into the text as lines, play on the preview device or open with
// the desktop's program.
#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "editing/tmemo_form.h"
#include "mainwindow/list_images.h"
#include "mainwindow/tform1.h"
#include "media/player_paths.h"
#include "platform/prompter.h"
#include "platform/shell.h"

namespace velmora::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

}  // namespace

void TMemoForm::buildFileBrowser()
{
    FileSelectPanel = new QWidget(this);
    FileSelectPanel->setMinimumWidth(150);
    auto* layout = new QVBoxLayout(FileSelectPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* split = new QSplitter(Qt::Vertical, FileSelectPanel);
    split->setChildrenCollapsible(false);
    ShellTreeView1 = new QTreeView(split);
    ShellTreeView1->setHeaderHidden(true);
    ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ShellListView1 = new QListWidget(split);
    ShellListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ShellListView1->setIconSize(QSize(16, 16));
    connect(ShellListView1, &QListWidget::itemDoubleClicked, this, [this] { DataChangeButtonClick(); });
    split->addWidget(ShellTreeView1);
    split->addWidget(ShellListView1);
    layout->addWidget(split, 1);

    auto* tools = new QToolBar(FileSelectPanel);
    tools->setIconSize(QSize(16, 16));
    tools->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct Tool {
        QIcon icon;
        const char* hint;
        void (TMemoForm::*command)();
    };
    const Tool list[] = {
        {style()->standardIcon(QStyle::SP_MediaPlay), "選択ファイルを再生",
         &TMemoForm::FileListBoxPlayButtonClick},
        {themedIcon("document-open", "media-file"), "選択ファイルを外部で開く",
         &TMemoForm::FileListBoxEXOpenButtonClick},
        {themedIcon("list-add", "new"), "選択ファイルをリストに追加", &TMemoForm::DataChangeButtonClick},
        {themedIcon("go-last", "import"), "全てのファイルをリストに追加",
         &TMemoForm::DataAllChangeButtonClick},
    };
    for (const Tool& tool : list) {
        QAction* action = tools->addAction(tool.icon, QString());
        action->setToolTip(QString::fromUtf8(tool.hint));
        connect(action, &QAction::triggered, this, tool.command);
    }
    layout->addWidget(tools);
}

void TMemoForm::ensureBrowser()
{
    if (folders_ != nullptr) {
        return;
    }
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setRootPath(QDir::rootPath());
    ShellTreeView1->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column) {
        ShellTreeView1->hideColumn(column);
    }
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    fillFileList(folders_->filePath(current));
                }
            });
    // The tree reads folders in the background and sorts them a moment
    // later: the folder the program chose is kept in view while the folders
    // above it come in, until the user scrolls or picks a folder.
    auto* follow = new QTimer(this);
    follow->setSingleShot(true);
    connect(follow, &QTimer::timeout, this, &TMemoForm::scrollToFolder);
    auto later = [follow] { follow->start(0); };
    connect(folders_, &QFileSystemModel::directoryLoaded, this, later);
    connect(folders_, &QFileSystemModel::layoutChanged, this, later);
    connect(folders_, &QFileSystemModel::rowsInserted, this, later);
    connect(ShellTreeView1, &QTreeView::pressed, this, [this] { scrollTarget_.clear(); });
    connect(ShellTreeView1->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { scrollTarget_.clear(); });
    showFolder(QDir::homePath());
}

void TMemoForm::showFolder(const QString& path)
{
    ensureBrowser();
    const QModelIndex index = folders_->index(path);
    if (!index.isValid()) {
        return;
    }
    ShellTreeView1->setCurrentIndex(index);
    ShellTreeView1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    scrollTarget_ = folders_->filePath(index);
    // The list follows the tree; the same folder chosen again reads it anew.
    fillFileList(folders_->filePath(index));
}

void TMemoForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A hidden tree cannot scroll: the chosen folder comes into view now.
    if (folders_ != nullptr) {
        scrollToFolder();
    }
}

void TMemoForm::scrollToFolder()
{
    if (!scrollTarget_.isEmpty() && ShellTreeView1->isVisible()) {
        ShellTreeView1->scrollTo(folders_->index(scrollTarget_), QAbstractItemView::PositionAtCenter);
    }
}

void TMemoForm::browseFolderOf(const QStringList& paths)
{
    for (const QString& path : paths) {
        const QFileInfo file(localPath(path));
        if (!path.isEmpty() && file.isFile()) {
            showFolder(file.absolutePath());
            return;
        }
    }
}

void TMemoForm::fillFileList(const QString& folder)
{
    ShellListView1->clear();
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    const QAbstractFileIconProvider* icons = folders_ != nullptr ? folders_->iconProvider() : nullptr;
    for (const QFileInfo& info : files) {
        auto* item = new QListWidgetItem(info.fileName(), ShellListView1);
        item->setData(kPathRole, info.absoluteFilePath());
        item->setToolTip(info.absoluteFilePath());
        if (icons != nullptr) {
            item->setIcon(icons->icon(info));
        }
    }
}

QString TMemoForm::selectedFile() const
{
    for (int row = 0; row < ShellListView1->count(); ++row) {
        if (ShellListView1->item(row)->isSelected()) {
            return ShellListView1->item(row)->data(kPathRole).toString();
        }
    }
    return {};
}

void TMemoForm::DataChangeButtonClick()
{
    const QString path = selectedFile();
    if (path.isEmpty()) {
        prompter_.information(QStringLiteral("ファイルを選択してください"));
        return;
    }
    insertLines({path});
}

void TMemoForm::DataAllChangeButtonClick()
{
    QStringList paths;
    for (int row = 0; row < ShellListView1->count(); ++row) {
        paths << ShellListView1->item(row)->data(kPathRole).toString();
    }
    insertLines(paths);
}

void TMemoForm::FileListBoxEXOpenButtonClick()
{
    const QString path = selectedFile();
    if (path.isEmpty()) {
        prompter_.information(QStringLiteral("ファイルを選択してください"));
        return;
    }
    if (!QFileInfo::exists(path)) {
        prompter_.information(QStringLiteral("ファイルが存在しません"));
        return;
    }
    openExternally(path);
}

void TMemoForm::FileListBoxPlayButtonClick()
{
    const QString path = selectedFile();
    if (path.isEmpty()) {
        prompter_.information(QStringLiteral("ファイルを選択してください"));
        return;
    }
    playFile(path);
}

void TMemoForm::openExternally(const QString& path)
{
    main_.shell().open(QUrl::fromLocalFile(path));
}

}  // namespace velmora::ui
