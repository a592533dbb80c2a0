#include "ui/main/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QLineEdit>
#include <QTextBrowser>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeView>

#include "core/store/columns.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/folder_picker.h"
#include "ui/dialogs/help_window.h"
#include "ui/main/main_window_fixture.h"

namespace velmora::ui {
namespace {

bool actionEnabled(MainWindow& window, const char* name)
{
    auto* action = child<QAction>(&window, name);
    return action != nullptr && action->isEnabled();
}

bool actionChecked(MainWindow& window, const char* name)
{
    auto* action = child<QAction>(&window, name);
    return action != nullptr && action->isChecked();
}

int pageIndex(MainWindow& window)
{
    auto* stack = child<QStackedWidget>(&window, "pageStack");
    return stack ? stack->currentIndex() : -1;
}

TEST_F(MainWindowTest, StartUpLoadsTheCatalogueAndSelectsTheFirstAlbum)
{
    writeBytes(dataFile(), catalogue({"one", "two", "three"}));
    AboutDialog splash(nullptr, QString());
    splash.showAsSplash();
    auto window = open(&splash);
    // The splash went through every step of the start-up but the last.
    auto* bar = child<QProgressBar>(&splash, "progressBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 308);
    EXPECT_EQ(bar->maximum(), 310);
    EXPECT_EQ(child<QLabel>(&splash, "commentLabel")->text(), QStringLiteral("並び替え中..."));
    EXPECT_FALSE(child<QPushButton>(&splash, "okButton")->isVisible());

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(window->catalogue().albumCount(), 3);
    ASSERT_EQ(listRowCount(*window), 3);
    EXPECT_EQ(listText(*window, 1, 1), QStringLiteral("two"));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_TRUE(window->catalogue().allAlbumsShown());
    EXPECT_FALSE(actionEnabled(*window, "showAll"));
    EXPECT_TRUE(actionEnabled(*window, "renumber"));
    EXPECT_EQ(pageIndex(*window), 0);
    EXPECT_TRUE(actionChecked(*window, "infoPage"));
    EXPECT_EQ(labelText(*window, "albumCountLabel"), QStringLiteral("3/3"));
    EXPECT_TRUE(prompter.asked().empty());
}

TEST_F(MainWindowTest, StartsEmptyWithoutADataFile)
{
    auto window = open();
    EXPECT_EQ(window->catalogue().albumCount(), 0);
    EXPECT_EQ(listRowCount(*window), 0);
    EXPECT_TRUE(window->close());
    // The first save creates the catalogue.
    EXPECT_EQ(readBytes(dataFile()), dataLineWith({}) + "\r\n");
}

TEST_F(MainWindowTest, SaveWritesTheCatalogueByteForByte)
{
    std::string file = catalogue({"\x87\x90\xfd\x80", "\x83\x5c\x81\x7b", "plain"});
    writeBytes(dataFile(), file);
    auto window = open();
    writeBytes(dataFile(), "changed on disk");
    // Another writer's file is overwritten only when the user says so.
    prompter.answerYesNoCancel(Prompter::Answer::No);
    trigger(window.get(), "save");
    EXPECT_EQ(readBytes(dataFile()), file);
    EXPECT_FALSE(window->catalogue().isModified());
    // The catalogue, its backup, the settings and the seven lists; no
    // temporary file.
    EXPECT_EQ(dir.entryCount(), 10u);
    EXPECT_EQ(readBytes(dir / "VLM.bak"), "changed on disk");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().filename().string().find("tmp-"), std::string::npos);
    }
}

TEST_F(MainWindowTest, ClosingSavesUnlessExitWithoutSaving)
{
    writeBytes(dataFile(), catalogue({"a", "b"}));
    {
        auto window = open();
        ASSERT_TRUE(window->catalogue().setAlbumCell(2, store::AlbumColumn, "edited").ok());
        trigger(window.get(), "quitWithoutSaving");
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(readBytes(dataFile()), catalogue({"a", "b"}));
    }
    auto window = open();
    ASSERT_TRUE(window->catalogue().setAlbumCell(2, store::AlbumColumn, "edited").ok());
    trigger(window.get(), "quit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()),
              dataLineWith({}) + "\r\n" + album("a") + "\r\n" + album("b", "edited") + "\r\n");
}

TEST_F(MainWindowTest, ClosingWritesTheDataFileOnlyWhenTheAlbumsChanged)
{
    writeBytes(dataFile(), catalogue({"a", "b"}));
    auto inode = [this] {
        struct stat info {};
        EXPECT_EQ(::stat(dataFile().c_str(), &info), 0);
        return info.st_ino;
    };
    const ino_t original = inode();
    {
        // Unchanged: the data file stays the very file it was (a save
        // replaces it through a new file); the window's settings are
        // still written.
        auto window = open();
        window->catalogue().sortByColumn(1);  // the list only
        EXPECT_TRUE(window->close());
        EXPECT_EQ(inode(), original);
        EXPECT_FALSE(std::filesystem::exists(dir / "VLM.bak"));
        EXPECT_TRUE(std::filesystem::exists(dir / "VLM.ini"));
    }
    {
        // An explicit save writes it all the same.
        auto window = open();
        trigger(window.get(), "save");
        EXPECT_NE(inode(), original);
        EXPECT_TRUE(window->close());
    }
    // A change is written on closing.
    auto window = open();
    ASSERT_TRUE(window->catalogue().setAlbumCell(1, store::AlbumColumn, "edited").ok());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(readBytes(dataFile()),
              dataLineWith({}) + "\r\n" + album("a", "edited") + "\r\n" + album("b") + "\r\n");
}

TEST_F(MainWindowTest, TheNumberColumnShowsNumbersUpToAMillionWhole)
{
    writeBytes(dataFile(), catalogue({"a"}));
    auto window = open();
    auto* view = child<QTreeView>(window.get(), "albumView");
    ASSERT_NE(view, nullptr);
    // What the view's own delegate needs for "1" beside its image, with
    // "1000000" in its place (the stored width is 50, too narrow for it).
    const QSize one = view->sizeHintForIndex(view->model()->index(0, 0));
    const QFontMetrics metrics(view->font());
    ASSERT_GT(one.width(), metrics.horizontalAdvance(QStringLiteral("1")));
    const int needed = one.width() - metrics.horizontalAdvance(QStringLiteral("1")) +
                       metrics.horizontalAdvance(QStringLiteral("1000000")) +
                       (view->rootIsDecorated() ? view->indentation() : 0);
    EXPECT_GE(view->columnWidth(0), needed);
}

TEST_F(MainWindowTest, ADataFileChangedOnDiskIsOverwrittenOrReadAgainOnlyWhenAsked)
{
    writeBytes(dataFile(), catalogue({"a", "b"}));
    auto window = open();
    catalogue::Catalogue& model = window->catalogue();
    ASSERT_TRUE(model.setAlbumCell(1, store::AlbumColumn, "edited").ok());
    const std::string other = catalogue({"x", "y"});
    ASSERT_TRUE(test::rewriteKeepingTime(dataFile(), other));

    // キャンセル: nothing is written, nothing read.
    prompter.answerYesNoCancel(Prompter::Answer::Cancel);
    trigger(window.get(), "save");
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_EQ(prompter.asked()[0].kind, Kind::YesNoCancel);
    EXPECT_TRUE(prompter.asked()[0].text.startsWith(QStringLiteral("ディスク上のデータが変更されています")));
    EXPECT_TRUE(prompter.asked()[0].text.contains(QString::fromStdString(dataFile().string())));
    EXPECT_EQ(readBytes(dataFile()), other);
    EXPECT_EQ(cell(*window, store::AlbumColumn, 1), "edited");
    EXPECT_TRUE(model.isModified());

    // 読み込み直す asks once more; No keeps the window's albums.
    prompter.answerYesNoCancel(Prompter::Answer::Yes);
    prompter.answerConfirm(false);
    trigger(window.get(), "save");
    EXPECT_EQ(prompter.asked().back().kind, Kind::Confirm);
    EXPECT_EQ(readBytes(dataFile()), other);
    EXPECT_EQ(cell(*window, store::AlbumColumn, 1), "edited");

    // Yes drops them and shows the file on disk.
    prompter.answerYesNoCancel(Prompter::Answer::Yes);
    prompter.answerConfirm(true);
    trigger(window.get(), "save");
    EXPECT_EQ(readBytes(dataFile()), other);
    EXPECT_EQ(listText(*window, 0, 1), QStringLiteral("x"));
    EXPECT_EQ(listText(*window, 1, 1), QStringLiteral("y"));
    EXPECT_FALSE(model.albumsModified());
    EXPECT_TRUE(prompter.allAnswered());

    // The file read again is the window's: saving asks nothing.
    ASSERT_TRUE(model.setAlbumCell(2, store::AlbumColumn, "again").ok());
    trigger(window.get(), "save");
    const std::string saved = dataLineWith({}) + "\r\n" + album("x") + "\r\n" + album("y", "again") + "\r\n";
    EXPECT_EQ(readBytes(dataFile()), saved);

    // At closing the same question: キャンセル keeps the window open, 上書き保存
    // writes the window's albums over the other writer's.
    ASSERT_TRUE(model.setAlbumCell(1, store::AlbumColumn, "mine").ok());
    const std::string third = dataLineWith({}) + "\r\n" + album("p") + "\r\n" + album("q", "other") + "\r\n";
    ASSERT_TRUE(test::rewriteKeepingTime(dataFile(), third));
    prompter.clear();
    prompter.answerYesNoCancel(Prompter::Answer::Cancel);
    trigger(window.get(), "quit");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()), third);
    prompter.answerYesNoCancel(Prompter::Answer::No);
    trigger(window.get(), "quit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()),
              dataLineWith({}) + "\r\n" + album("x", "mine") + "\r\n" + album("y", "again") + "\r\n");
    EXPECT_EQ(prompter.asked().size(), 2u);
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(MainWindowTest, RenumberingQuestionOnSave)
{
    writeBytes(dataFile(), catalogue({"a", "b", "c"}));
    auto window = open();
    showInOrder(*window, {3, 1, 2});

    prompter.answerYesNoCancel(Prompter::Answer::Cancel);
    writeBytes(dataFile(), "untouched");
    trigger(window.get(), "save");
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("アルバム番号とアルバム表示の順番が異なります。\r\n"
                             "アルバム番号をリストに表示されている順番で振りなおして保存しますか？"));
    EXPECT_EQ(readBytes(dataFile()), "untouched") << "cancel saves nothing";
    EXPECT_EQ(cell(*window, store::ArtistColumn, 1), "a");

    prompter.answerYesNoCancel(Prompter::Answer::No);
    // "untouched" came from another writer: 上書き保存.
    prompter.answerYesNoCancel(Prompter::Answer::No);
    trigger(window.get(), "save");
    EXPECT_EQ(readBytes(dataFile()), catalogue({"a", "b", "c"}));
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{3, 1, 2})) << "no keeps the list order";

    window->selectListRow(0, true);
    prompter.answerYesNoCancel(Prompter::Answer::Yes);
    trigger(window.get(), "save");
    EXPECT_EQ(readBytes(dataFile()), catalogue({"c", "a", "b"}));
    // The album formerly numbered 3 is number 1 now, and still selected.
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->selectedAlbum(), 1);
    EXPECT_EQ(cell(*window, store::ArtistColumn, 1), "c");
    EXPECT_EQ(listText(*window, 0, 1), QStringLiteral("c"));
}

TEST_F(MainWindowTest, NoRenumberingQuestionWhilePartIsShown)
{
    writeBytes(dataFile(), catalogue({"c", "a", "b"}));
    auto window = open();
    // Sorted by artist, then narrowed: albums 2 and 1, out of number order.
    clickHeading(albumView(*window), 1);
    select(*window, {0, 2});
    trigger(window.get(), "showSelectedOnly");
    ASSERT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 1}));
    EXPECT_FALSE(window->catalogue().allAlbumsShown());
    EXPECT_TRUE(actionEnabled(*window, "showAll"));
    trigger(window.get(), "save");
    EXPECT_TRUE(prompter.asked().empty());
    EXPECT_EQ(readBytes(dataFile()), catalogue({"c", "a", "b"}));

    auto* renumber = child<QAction>(window.get(), "renumber");
    ASSERT_NE(renumber, nullptr);
    if (renumber->isEnabled()) {
        // Offered but refused: only the whole list can be renumbered.
        prompter.expectMessage(Kind::Information);
        renumber->trigger();
        EXPECT_EQ(prompter.asked().back().text, QStringLiteral("すべてのアルバムが表示されていません"));
    }
    EXPECT_EQ(cell(*window, store::ArtistColumn, 1), "c");
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{2, 1}));
}

TEST_F(MainWindowTest, CancelledCloseKeepsTheWindowAndSavingOnExit)
{
    writeBytes(dataFile(), catalogue({"a", "b"}));
    auto window = open();
    showInOrder(*window, {2, 1});
    ASSERT_TRUE(window->catalogue().setAlbumCell(1, store::AlbumColumn, "edited").ok());

    // The question comes also after "exit without saving"; cancelling it
    // keeps the window open and switches saving on exit back on.
    prompter.answerYesNoCancel(Prompter::Answer::Cancel);
    trigger(window.get(), "quitWithoutSaving");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()), catalogue({"a", "b"}));

    // Closing the window now saves (after the question again).
    prompter.answerYesNoCancel(Prompter::Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()),
              dataLineWith({}) + "\r\n" + album("a", "edited") + "\r\n" + album("b") + "\r\n");
}

TEST_F(MainWindowTest, RevertReadsTheSavedFileAgain)
{
    writeBytes(dataFile(), catalogue({"a", "b"}) + "short<>x\r\n");
    auto window = open();
    catalogue::Catalogue& model = window->catalogue();
    ASSERT_TRUE(model.setAlbumCell(1, store::AlbumColumn, "edited").ok());
    ASSERT_TRUE(model.setAlbumCell(3, store::Category1Column, "stale").ok());
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(model.insertAlbumAfter(-1).ok());
    }
    trigger(window.get(), "revert");
    EXPECT_EQ(model.albumCount(), 3);
    EXPECT_EQ(cell(*window, store::AlbumColumn, 1), "t");
    // A short line does not keep cells from before.
    EXPECT_EQ(cell(*window, store::Category1Column, 3), "");
    EXPECT_FALSE(model.isModified());
    EXPECT_EQ(listRowCount(*window), 3);
    EXPECT_EQ(listText(*window, 0, 2), QStringLiteral("t"));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(statusText(*window, 0), QStringLiteral("0"));
    EXPECT_EQ(statusText(*window, 1), QString());

    // With the file gone, revert changes nothing.
    ASSERT_TRUE(model.setAlbumCell(2, store::AlbumColumn, "kept").ok());
    std::filesystem::remove(dataFile());
    trigger(window.get(), "revert");
    EXPECT_EQ(cell(*window, store::AlbumColumn, 2), "kept");
    EXPECT_TRUE(prompter.asked().empty());
}

TEST_F(MainWindowTest, UnreadableDataFileIsReportedAndNotOverwrittenUnasked)
{
    std::filesystem::create_directory(dataFile());
    prompter.expectMessage(Kind::Error);
    auto window = open();
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_TRUE(prompter.asked()[0].text.contains(QString::fromStdString(dataFile().string())));
    EXPECT_TRUE(prompter.asked()[0].text.startsWith(QStringLiteral("ファイルを読み込めませんでした。")));

    prompter.answerConfirm(false);
    trigger(window.get(), "quit");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(std::filesystem::is_directory(dataFile()));

    // Agreeing still cannot replace a folder: the error names the file.
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Error);
    trigger(window.get(), "quit");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("ファイルに保存できませんでした。")));
    EXPECT_TRUE(std::filesystem::is_directory(dataFile()));

    // Revert reports it again.
    prompter.expectMessage(Kind::Error);
    trigger(window.get(), "revert");
    trigger(window.get(), "quitWithoutSaving");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ADataFileLinkThatLeadsNowhereIsReportedAtStart)
{
    // Not an empty catalogue to be saved over the link without a word.
    std::filesystem::create_symlink(dataFile().parent_path() / "moved" / "VLM.dat", dataFile());
    prompter.expectMessage(Kind::Error);
    auto window = open();
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_EQ(prompter.asked()[0].text, QStringLiteral("ファイルを読み込めませんでした。\r\n") +
                                            QString::fromStdString(dataFile().string()) +
                                            QStringLiteral("\r\nリンク先のファイルが見つかりません。"));
    EXPECT_EQ(window->catalogue().albumCount(), 0);

    // The guard of an unreadable file holds: leaving asks first.
    prompter.answerConfirm(false);
    trigger(window.get(), "quit");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(std::filesystem::is_symlink(dataFile()));
    EXPECT_FALSE(std::filesystem::exists(dataFile().parent_path() / "moved"));
    trigger(window.get(), "quitWithoutSaving");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, FailedSaveKeepsTheOldFileAndTheWindowOpen)
{
    writeBytes(dataFile(), catalogue({"a"}));
    auto window = open();
    ASSERT_TRUE(window->catalogue().setAlbumCell(1, store::AlbumColumn, "edited").ok());
    ::chmod(dataFile().c_str(), 0444);

    prompter.expectMessage(Kind::Error);
    trigger(window.get(), "save");
    QString message = prompter.asked().back().text;
    EXPECT_TRUE(message.contains(QString::fromStdString(dataFile().string())));
    EXPECT_TRUE(message.contains(QStringLiteral("読み取り専用")));
    EXPECT_TRUE(window->catalogue().isModified()) << "a failed save is no save";

    prompter.expectMessage(Kind::Error);
    trigger(window.get(), "quit");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()), catalogue({"a"}));
    EXPECT_EQ(dir.entryCount(), 1u);

    ::chmod(dataFile().c_str(), 0644);
    trigger(window.get(), "quit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()), dataLineWith({}) + "\r\n" + album("a", "edited") + "\r\n");
}

TEST_F(MainWindowTest, ToolPagesFollowTheirActions)
{
    writeBytes(dataFile(), catalogue({"a", "b"}));
    auto window = open();
    trigger(window.get(), "searchPage");
    EXPECT_EQ(pageIndex(*window), 1);
    trigger(window.get(), "replacePage");
    EXPECT_EQ(pageIndex(*window), 3);
    EXPECT_FALSE(actionChecked(*window, "infoPage"));
    EXPECT_TRUE(actionChecked(*window, "replacePage"));
    // Selecting an album brings the information page back, and its action
    // with it.
    window->selectListRow(1, true);
    EXPECT_EQ(pageIndex(*window), 0);
    EXPECT_TRUE(actionChecked(*window, "infoPage"));
    EXPECT_FALSE(actionChecked(*window, "replacePage"));

    // The pages never take the whole window: the lists keep some room.
    window->resize(900, 700);
    auto* pages = child<QWidget>(window.get(), "pageScroll");
    ASSERT_NE(pages, nullptr);
    EXPECT_LT(pages->maximumWidth(), 900);
}

TEST_F(MainWindowTest, EveryCommandIsOneActionOfTheMenus)
{
    writeBytes(dataFile(), catalogue({"a", "b"}));
    auto window = open();
    QList<QAction*> inMenus;
    std::function<void(QMenu*)> collect = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            inMenus.push_back(action);
            if (action->menu()) {
                collect(action->menu());
            }
        }
    };
    for (QAction* top : window->menuBar()->actions()) {
        if (top->menu()) {
            collect(top->menu());
        }
    }
    for (const char* name : {"revert",
                             "save",
                             "importData",
                             "registerFolder",
                             "exportData",
                             "exportCsv",
                             "exportHtml",
                             "quitWithoutSaving",
                             "quit",
                             "newAlbum",
                             "editAlbum",
                             "registerDisc",
                             "registerPicture",
                             "duplicateAlbum",
                             "deleteAlbums",
                             "showAll",
                             "renumber",
                             "copyAlbumDetails",
                             "copyAlbumSummary",
                             "copySongDetails",
                             "copyArtistNames",
                             "copyAlbumTitles",
                             "copySongTitle",
                             "playMedia",
                             "playCd",
                             "playerToFront",
                             "findDisc",
                             "infoPage",
                             "searchPage",
                             "convertPage",
                             "replacePage",
                             "options",
                             "help",
                             "about"}) {
        auto* action = child<QAction>(window.get(), name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(window->findChildren<QAction*>(QString::fromUtf8(name)).size(), 1) << name;
        EXPECT_TRUE(inMenus.contains(action)) << name << " is not offered in the menus";
    }

    // Show all is offered only while part of the list is shown, and brings
    // the whole list back.
    EXPECT_FALSE(actionEnabled(*window, "showAll"));
    select(*window, {1});
    trigger(window.get(), "showSelectedOnly");
    EXPECT_EQ(listRowCount(*window), 1);
    EXPECT_TRUE(actionEnabled(*window, "showAll"));
    trigger(window.get(), "showAll");
    EXPECT_EQ(listRowCount(*window), 2);
    EXPECT_TRUE(window->catalogue().allAlbumsShown());
    EXPECT_FALSE(actionEnabled(*window, "showAll"));
    EXPECT_TRUE(actionEnabled(*window, "renumber"));
}

TEST_F(MainWindowTest, HelpShowsThePageBesideTheProgramInItsOwnWindow)
{
    auto window = open();
    prompter.expectMessage(Kind::Error);
    trigger(window.get(), "help");
    EXPECT_EQ(window->findChild<HelpWindow*>(), nullptr) << "a missing help page opens nothing";
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ヘルプのファイルが見つかりません。\r\n") +
                                                QString::fromStdString((dir / "help.html").string()));
    writeBytes(dir / "help.html",
               "<html><body><p id=\"top\"><a href=\"#far\">far</a> <a href=\"https://example.org/\">site</a>"
               "</p><p>first word</p><h2 id=\"far\">far heading</h2><p>second word</p></body></html>");
    trigger(window.get(), "help");
    auto* help = window->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(shell.opened.empty()) << "no browser is needed for the help page";
    auto* browser = child<QTextBrowser>(help, "helpBrowser");
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("far heading")));

    // The search field finds each occurrence in turn, then starts over.
    child<QLineEdit>(help, "helpSearchEdit")->setText(QStringLiteral("word"));
    ASSERT_TRUE(help->findNext());
    const int first = browser->textCursor().position();
    ASSERT_TRUE(help->findNext());
    EXPECT_GT(browser->textCursor().position(), first);
    ASSERT_TRUE(help->findNext());
    EXPECT_EQ(browser->textCursor().position(), first);
    child<QLineEdit>(help, "helpSearchEdit")->setText(QStringLiteral("absent"));
    EXPECT_FALSE(help->findNext());
    EXPECT_EQ(child<QLabel>(help, "helpSearchState")->text(), QStringLiteral("見つかりません"));

    // Anchors stay in the window; other sites go to the desktop's browser.
    emit browser->anchorClicked(QUrl(QStringLiteral("#far")));
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("far"));
    emit browser->anchorClicked(QUrl(QStringLiteral("https://example.org/")));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], QUrl(QStringLiteral("https://example.org/")));

    // F1 again brings the same window forward.
    trigger(window.get(), "help");
    EXPECT_EQ(window->findChildren<HelpWindow*>().size(), 1);
}

TEST_F(MainWindowTest, AboutBoxSaysThankYou)
{
    auto window = open();
    trigger(window.get(), "about");
    auto* box = window->findChild<AboutDialog*>(QStringLiteral("AboutBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    auto* comment = child<QLabel>(box, "commentLabel");
    auto* dataFolder = child<QLabel>(box, "dataFolderLabel");
    auto* ok = child<QPushButton>(box, "okButton");
    auto* link = child<LinkLabel>(box, "linkLabel");
    ASSERT_TRUE(comment && dataFolder && ok && link);
    EXPECT_EQ(comment->text(), QStringLiteral("Thank You!"));
    EXPECT_FALSE(child<QProgressBar>(box, "progressBar")->isVisible());
    EXPECT_TRUE(ok->isVisible());
    // The folder in use, whole, inside the box.
    EXPECT_TRUE(dataFolder->isVisible());
    EXPECT_EQ(dataFolder->text().remove(QChar(0x200B)),
              QStringLiteral("データの保存先:\n") + QString::fromStdString(dir.path().string()));
    EXPECT_LE(dataFolder->geometry().bottom(), ok->geometry().top());
    QTest::mouseClick(link, Qt::LeftButton);
    // The link goes where its hint says: the home page.
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], QUrl(link->toolTip()));
    EXPECT_EQ(shell.opened[0].scheme(), QStringLiteral("https"));
    // The version is the package's.
    EXPECT_EQ(child<QLabel>(box, "versionLabel")->text(), QStringLiteral("バージョン " VELMORA_VERSION));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());
}

// Records where each folder browse starts.
class StartRecordingPrompter : public ScriptedPrompter {
public:
    std::optional<QString> pickFolder(const QString& title, const QString& startPath) override
    {
        starts.push_back(startPath);
        return ScriptedPrompter::pickFolder(title, startPath);
    }
    std::vector<QString> starts;
};

TEST(FolderPicker, StartsEachBrowseAtTheFolderChosenLast)
{
    StartRecordingPrompter prompter;
    FolderPicker picker(prompter);
    prompter.answerText(QStringLiteral("/music/first"), Kind::Folder);
    EXPECT_EQ(picker.choose(QStringLiteral("置換前のフォルダ")),
              std::optional<QString>(QStringLiteral("/music/first")));
    prompter.answerText(std::nullopt, Kind::Folder);
    EXPECT_EQ(picker.choose(QString()), std::nullopt);
    prompter.answerText(QStringLiteral("/music/second"), Kind::Folder);
    EXPECT_EQ(picker.choose(QString()), std::optional<QString>(QStringLiteral("/music/second")));
    prompter.answerText(std::nullopt, Kind::Folder);
    EXPECT_EQ(picker.choose(QString()), std::nullopt);

    // Home at first; then the last folder chosen, which a cancel keeps.
    EXPECT_EQ(prompter.starts,
              (std::vector<QString>{QDir::homePath(), QStringLiteral("/music/first"),
                                    QStringLiteral("/music/first"), QStringLiteral("/music/second")}));
    ASSERT_EQ(prompter.asked().size(), 4u);
    EXPECT_EQ(prompter.asked()[0].text, QStringLiteral("置換前のフォルダ"));
    EXPECT_TRUE(prompter.allAnswered());
}

TEST(QtTexts, QtsOwnDialogsSpeakJapanese)
{
    // The file dialog's type column, which Qt's own catalogue leaves in
    // English, and the dates of its list.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
              QStringLiteral("フォルダー"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Drive"), QStringLiteral("ドライブ"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("開く(&O)"))
        << "Qt's own catalogue is still asked first";
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
}

}  // namespace
}  // namespace velmora::ui
