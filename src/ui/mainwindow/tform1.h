// The main window: tool bar, menus, tool pages, song list, album list and
// status bar, and the album table behind them.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "store/album_record.h"
#include "store/album_table.h"
#include "store/data_file.h"
#include "store/data_folder.h"

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QTreeView;

namespace velmora::ui {

class AlbumListModel;
class Prompter;
class Shell;
class SongListModel;
class StatusBar;
class TAboutBox;
class TFolderDialog;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    struct Services {
        Prompter& prompter;
        Shell& shell;
        store::DataFolder folder;
        // Where the program's own files lie (the help page); empty: the
        // executable's folder.
        QString programDir = {};
    };

    // Creating the window reads the settings and the data file; `splash`,
    // when given, shows the progress.
    explicit TForm1(Services services, TAboutBox* splash = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // The catalogue and the one-album transfer buffer.
    store::AlbumTable DataGrid;
    store::AlbumRecord EditListBox;

    bool SaveOnExit = true;
    int StatusProgressMax = 0;
    int AlbumSortColumn = 0;
    int SongSortColumn = 0;

    // Loading: start-up mode when `startup` is non-zero, else revert mode.
    void N3Click(int startup);
    // "保存時の状態に戻す(&U)".
    void N3Click2();
    // "保存(&S)": the renumbering question, then the save. False when
    // cancelled or failed.
    bool Save1Click();
    // Writes the data file. False (after an error box) when it failed.
    bool SaveExecute();
    void Exit1Click();
    void N2Click();
    void About1Click();
    void Help2Click();
    void InfoTabButtonClick();
    void PageControl1Change();
    void Panel1Resize();

    // Album list.
    void AllVisibleButtonClick();
    void NoEditButtonClick();
    bool allAlbumsShown() const;
    // The album numbers of the list, in list order.
    std::vector<int> listedAlbums() const;
    // Whether the list order differs from the number order.
    bool listOutOfOrder() const;
    // Selected rows of the list, in list order.
    std::vector<int> selectedListRows() const;
    // The album number of the first selected item, or 0.
    int selectedAlbum() const;
    void selectListRow(int row, bool exclusive);

    // The status bar: count panel 0 (a gauge) and text panel 1.
    void setStatus(int panel, const QString& text);
    void repaintStatus();
    void StatusBar1DrawPanel(QPainter& painter, int panel, const QRect& rect);

    // The controls, named as the rest of the program knows them.
    QToolBar* ToolBar1 = nullptr;
    QToolButton* NewDataButton = nullptr;
    QToolButton* EditBtn = nullptr;
    QToolButton* DeleteBtn = nullptr;
    QToolButton* AllVisibleButton = nullptr;
    QToolButton* NoEditButton = nullptr;
    QToolButton* CDPlayerButton = nullptr;
    QToolButton* MediaPlayerButton = nullptr;
    QToolButton* InfoTabButton = nullptr;
    QToolButton* SerchTabButton = nullptr;
    QToolButton* ChengeTabButton = nullptr;
    QToolButton* RepreceTabButton = nullptr;
    QToolButton* OptionOpenButton = nullptr;

    QStackedWidget* PageControl1 = nullptr;
    QWidget* jouhouTabSheet = nullptr;
    QWidget* SerchTabSheet = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet8 = nullptr;
    QSplitter* Panel3 = nullptr;
    QSplitter* MainSplitter = nullptr;
    QWidget* SongPanel = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* SongNoLabel = nullptr;
    QLabel* SongNameLabel = nullptr;
    QLabel* MediaFileLabel = nullptr;
    QTreeView* SongListView = nullptr;
    QTreeView* AlbumListView = nullptr;
    StatusBar* StatusBar1 = nullptr;

    AlbumListModel* albumModel() const { return albumModel_; }
    SongListModel* songModel() const { return songModel_; }
    TFolderDialog& FolderDialog1() { return *folderDialog_; }

    // Menu items by caption, for the commands of the other windows and tests.
    QAction* menuAction(const QString& caption) const;
    QMenu* menu(const QString& caption) const;

    // Runs what happens before the window closes; false keeps it open.
    bool FormCloseQuery();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    void buildMenus();
    void buildPages();
    void buildLists();
    QToolButton* addToolButton(const QString& caption, const QString& hint, const char* theme,
                               const char* icon, std::function<void()> command);
    QAction* addMenuItem(QMenu* menu, const QString& caption, std::function<void()> command,
                         const char* theme = nullptr, const char* icon = nullptr);
    void FormCreate(TAboutBox* splash);
    // Asks the renumbering question when the list is out of order; false
    // when the user cancelled. `renumbered` tells whether it renumbered.
    bool renumberQuestion();
    void reportDataFileUnreadable(const store::FileError& error);

    Prompter& prompter_;
    Shell& shell_;
    store::DataFolder folder_;
    QString programDir_;
    AlbumListModel* albumModel_ = nullptr;
    SongListModel* songModel_ = nullptr;
    std::unique_ptr<TFolderDialog> folderDialog_;
    std::map<QString, QAction*> actions_;
    std::map<QString, QMenu*> menus_;
    // The data file existed but could not be read: saving would replace it.
    bool dataFileUnreadable_ = false;
    bool closing_ = false;
};

}  // namespace velmora::ui
