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

#include "ui/editing/song_column_editor.h"
#include "ui/platform/prompter.h"
#include "ui/platform/shell.h"
#include "ui/player/player_paths.h"
#include "ui/widgets/list_images.h"

namespace velmora::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

}  // namespace

void SongColumnEditor::buildFileBrowser()
{
    filePanel_ = new QWidget(this);
    filePanel_->setObjectName(QStringLiteral("filePanel"));
    filePanel_->setMinimumWidth(150);
    auto* layout = new QVBoxLayout(filePanel_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* split = new QSplitter(Qt::Vertical, filePanel_);
    split->setChildrenCollapsible(false);
    folderTree_ = new QTreeView(split);
    folderTree_->setObjectName(QStringLiteral("folderTree"));
    folderTree_->setAccessibleName(QStringLiteral("フォルダ"));
    folderTree_->setHeaderHidden(true);
    folderTree_->setSelectionMode(QAbstractItemView::SingleSelection);
    fileList_ = new QListWidget(split);
    fileList_->setObjectName(QStringLiteral("fileList"));
    fileList_->setAccessibleName(QStringLiteral("ファイル"));
    fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileList_->setIconSize(QSize(16, 16));
    connect(fileList_, &QListWidget::itemDoubleClicked, this, [this] { insertChosenFile(); });
    split->addWidget(folderTree_);
    split->addWidget(fileList_);
    layout->addWidget(split, 1);

    auto* tools = new QToolBar(filePanel_);
    tools->setIconSize(QSize(16, 16));
    tools->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct Tool {
        const char* name;
        QIcon icon;
        const char* hint;
        void (SongColumnEditor::*command)();
    };
    const Tool list[] = {
        {"playFileAction", style()->standardIcon(QStyle::SP_MediaPlay), "選択ファイルを再生",
         &SongColumnEditor::playChosenFile},
        {"openFileAction", themedIcon("document-open", "media-file"), "選択ファイルを外部で開く",
         &SongColumnEditor::openChosenFile},
        {"insertFileAction", themedIcon("list-add", "new"), "選択ファイルをリストに追加",
         &SongColumnEditor::insertChosenFile},
        {"insertAllFilesAction", themedIcon("go-last", "import"), "全てのファイルをリストに追加",
         &SongColumnEditor::insertAllFiles},
    };
    for (const Tool& tool : list) {
        QAction* action = tools->addAction(tool.icon, QString());
        action->setObjectName(QString::fromLatin1(tool.name));
        action->setToolTip(QString::fromUtf8(tool.hint));
        connect(action, &QAction::triggered, this, tool.command);
    }
    layout->addWidget(tools);
}

void SongColumnEditor::ensureBrowser()
{
    if (folders_ != nullptr) {
        return;
    }
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setRootPath(QDir::rootPath());
    folderTree_->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column) {
        folderTree_->hideColumn(column);
    }
    connect(folderTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
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
    connect(follow, &QTimer::timeout, this, &SongColumnEditor::scrollToFolder);
    auto later = [follow] { follow->start(0); };
    connect(folders_, &QFileSystemModel::directoryLoaded, this, later);
    connect(folders_, &QFileSystemModel::layoutChanged, this, later);
    connect(folders_, &QFileSystemModel::rowsInserted, this, later);
    connect(folderTree_, &QTreeView::pressed, this, [this] { scrollTarget_.clear(); });
    connect(folderTree_->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { scrollTarget_.clear(); });
    showFolder(QDir::homePath());
}

void SongColumnEditor::showFolder(const QString& path)
{
    ensureBrowser();
    const QModelIndex index = folders_->index(path);
    if (!index.isValid()) {
        return;
    }
    folderTree_->setCurrentIndex(index);
    folderTree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    scrollTarget_ = folders_->filePath(index);
    // The list follows the tree; the same folder chosen again reads it anew.
    fillFileList(folders_->filePath(index));
}

void SongColumnEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A hidden tree cannot scroll: the chosen folder comes into view now.
    if (folders_ != nullptr) {
        scrollToFolder();
    }
}

void SongColumnEditor::scrollToFolder()
{
    if (!scrollTarget_.isEmpty() && folderTree_->isVisible()) {
        folderTree_->scrollTo(folders_->index(scrollTarget_), QAbstractItemView::PositionAtCenter);
    }
}

void SongColumnEditor::browseFolderOf(const QStringList& paths)
{
    for (const QString& path : paths) {
        const QFileInfo file(localPath(path));
        if (!path.isEmpty() && file.isFile()) {
            showFolder(file.absolutePath());
            return;
        }
    }
}

void SongColumnEditor::fillFileList(const QString& folder)
{
    fileList_->clear();
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    const QAbstractFileIconProvider* icons = folders_ != nullptr ? folders_->iconProvider() : nullptr;
    for (const QFileInfo& info : files) {
        auto* item = new QListWidgetItem(info.fileName(), fileList_);
        item->setData(kPathRole, info.absoluteFilePath());
        item->setToolTip(info.absoluteFilePath());
        if (icons != nullptr) {
            item->setIcon(icons->icon(info));
        }
    }
}

QString SongColumnEditor::selectedFile() const
{
    for (int row = 0; row < fileList_->count(); ++row) {
        if (fileList_->item(row)->isSelected()) {
            return fileList_->item(row)->data(kPathRole).toString();
        }
    }
    return {};
}

void SongColumnEditor::insertChosenFile()
{
    const QString path = selectedFile();
    if (path.isEmpty()) {
        services_.prompter.information(QStringLiteral("ファイルを選択してください"));
        return;
    }
    insertLines({path});
}

void SongColumnEditor::insertAllFiles()
{
    QStringList paths;
    for (int row = 0; row < fileList_->count(); ++row) {
        paths << fileList_->item(row)->data(kPathRole).toString();
    }
    insertLines(paths);
}

void SongColumnEditor::openChosenFile()
{
    const QString path = selectedFile();
    if (path.isEmpty()) {
        services_.prompter.information(QStringLiteral("ファイルを選択してください"));
        return;
    }
    if (!QFileInfo::exists(path)) {
        services_.prompter.information(QStringLiteral("ファイルが存在しません"));
        return;
    }
    openExternally(path);
}

void SongColumnEditor::playChosenFile()
{
    const QString path = selectedFile();
    if (path.isEmpty()) {
        services_.prompter.information(QStringLiteral("ファイルを選択してください"));
        return;
    }
    playFile(path);
}

void SongColumnEditor::openExternally(const QString& path)
{
    services_.shell.open(QUrl::fromLocalFile(path));
}

}  // namespace velmora::ui
