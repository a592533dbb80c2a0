// Windows as a desktop shows them: the xcb platform under Xvfb with a real
// window manager (openbox) and the real Qt prompter. These check what only a
// window manager decides: stacking, focus and placement on the screen.
// run_with_window_manager.sh starts the X server and the window manager.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "core/store/columns.h"
#include "support/fake_media_device.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "support/widget_access.h"
#include "support/widget_lookup.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/filescan/folder_scan_dialogs.h"
#include "ui/main/main_window.h"
#include "ui/options/options_dialog.h"
#include "ui/platform/app_setup.h"
#include "ui/platform/qt_prompter.h"
#include "ui/player/player_window.h"

namespace velmora::ui {
namespace {

using test::child;
using test::clickButton;
using test::TempDir;
using test::triggerAction;

// The window manager's view of the root window: client windows from bottom
// to top, and the active one.
std::vector<unsigned long> stackingOrder()
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    xprop.waitForFinished(5000);
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
    std::vector<unsigned long> ids;
    const qsizetype hash = out.indexOf(QLatin1Char('#'));
    for (const QString& part : out.mid(hash + 1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        ids.push_back(part.trimmed().toULong(nullptr, 16));
    }
    return ids;
}

unsigned long activeWindow()
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")});
    xprop.waitForFinished(5000);
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
    return out.mid(out.indexOf(QLatin1Char('#')) + 1).trimmed().toULong(nullptr, 16);
}

// The title the window manager shows for a window.
QString managedTitle(const QWidget& window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME")});
    xprop.waitForFinished(5000);
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype quote = out.indexOf(QLatin1Char('"'));
    return quote < 0 ? QString() : out.mid(quote + 1, out.size() - quote - 2);
}

// Where a window stands in the stacking order; -1 when it is not managed.
int stackIndex(const QWidget& window)
{
    const std::vector<unsigned long> order = stackingOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == window.winId()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

class RealWindowTest : public ::testing::Test {
protected:
    // The window on a catalogue of one album ("a" / "t").
    void startWithOneAlbum()
    {
        test::writeBytes(dir / "VLM.dat",
                         test::dataLineWith({}) + "\r\n" +
                             test::dataLineWith({{store::ArtistColumn, "a"}, {store::AlbumColumn, "t"}}) +
                             "\r\n");
        start();
    }

    void start()
    {
        window =
            std::make_unique<MainWindow>(MainWindow::Services{prompter, shell, store::DataFolder(dir.path()),
                                                              QString::fromStdString(dir.path()), &media},
                                         nullptr);
        prompter.setParent(window.get());
        memo = window->findChild<SongColumnEditor*>();
        edit = window->findChild<AlbumEditDialog*>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 5000));
    }

    void TearDown() override
    {
        if (window) {
            memo->hide();
            edit->hide();
            test::trigger(window.get(), "quitWithoutSaving");
        }
    }

    void openEditDialog()
    {
        test::trigger(window.get(), "newAlbum");
        ASSERT_TRUE(QTest::qWaitForWindowActive(edit, 5000));
    }

    // Runs `ask`, which opens a prompt and waits for it; meanwhile checks
    // that the prompt is the active window and stacked above `asker`, then
    // closes it.
    void expectPromptAbove(QWidget& asker, const char* name, const std::function<void()>& ask)
    {
        bool checked = false;
        QTimer::singleShot(0, [&] {
            QWidget* prompt = nullptr;
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    prompt = QApplication::activeModalWidget();
                    return prompt != nullptr && prompt != &asker && prompt->isActiveWindow() &&
                           stackIndex(*prompt) >= 0;
                },
                5000));
            if (prompt != nullptr) {
                EXPECT_TRUE(prompt->isActiveWindow());
                EXPECT_EQ(activeWindow(), prompt->winId()) << "the prompt has the focus";
                EXPECT_GT(stackIndex(*prompt), stackIndex(asker))
                    << "the prompt lies above the window that asked";
                EXPECT_EQ(prompt->parentWidget() ? prompt->parentWidget()->window() : nullptr, &asker);
                checked = true;
                saveScreen(name);
                if (auto* dialog = qobject_cast<QDialog*>(prompt)) {
                    dialog->reject();
                }
            }
        });
        ask();
        EXPECT_TRUE(checked);
    }

    // Lets every event already posted run (a key's late effects included).
    static void flushEvents()
    {
        bool reached = false;
        QTimer::singleShot(0, [&] { reached = true; });
        EXPECT_TRUE(test::waitUntil([&] { return reached; }));
    }

    // Waits for the window manager to place `shown` inside `room`.
    static bool placedInside(const QRect& room, const QWidget& shown)
    {
        return test::waitUntil([&] { return room.contains(shown.frameGeometry()); });
    }

    // With VELMORA_SHOT_DIR set, a picture of the whole screen.
    static void saveScreen(const char* name)
    {
        const QString folder = qEnvironmentVariable("VELMORA_SHOT_DIR");
        if (!folder.isEmpty()) {
            QProcess::execute(QStringLiteral("import"),
                              {QStringLiteral("-window"), QStringLiteral("root"),
                               folder + QLatin1Char('/') + QString::fromUtf8(name) + QStringLiteral(".png")});
        }
    }

    TempDir dir;
    QtPrompter prompter;
    test::RecordingShell shell;
    test::FakeMediaSystem media;
    std::unique_ptr<MainWindow> window;
    SongColumnEditor* memo = nullptr;
    AlbumEditDialog* edit = nullptr;
};

TEST_F(RealWindowTest, PromptsOfTheEditDialogAndTheMemoPadLieAboveThem)
{
    startWithOneAlbum();
    window->selectListRow(0, true);
    test::trigger(window.get(), "editAlbum");
    ASSERT_TRUE(QTest::qWaitForWindowActive(edit, 5000));
    EXPECT_EQ(managedTitle(*edit), edit->windowTitle()) << "no program name is added to the title";
    // The edit dialog's file pickers and its add question.
    expectPromptAbove(*edit, "edit-picture", [&] { clickButton(edit, "pickPictureButton"); });
    expectPromptAbove(*edit, "edit-media", [&] { clickButton(edit, "pickSongMediaButton"); });
    expectPromptAbove(*edit, "edit-add", [&] { clickButton(edit, "addAlbumButton"); });
    EXPECT_TRUE(edit->isVisible());

    // The memo pad, opened from the edit dialog: its undo and 100-song
    // questions, its file pickers and its file-list message.
    clickButton(edit, "titleColumnButton");
    ASSERT_TRUE(QTest::qWaitForWindowActive(memo, 5000));
    expectPromptAbove(*memo, "memo-undo", [&] { triggerAction(memo, "undoColumnAction"); });
    expectPromptAbove(*memo, "memo-open", [&] { triggerAction(memo, "openTextAction"); });
    expectPromptAbove(*memo, "memo-save", [&] { triggerAction(memo, "saveTextAction"); });
    expectPromptAbove(*memo, "memo-no-file", [&] { triggerAction(memo, "insertFileAction"); });
    QStringList many;
    for (int i = 1; i <= 100; ++i) {
        many << QString::number(i);
    }
    child<QPlainTextEdit>(memo, "lineEditor")->setPlainText(many.join(QLatin1Char('\n')));
    expectPromptAbove(*memo, "memo-100", [&] { clickButton(memo, "acceptButton"); });
    clickButton(memo, "cancelButton");
}

TEST_F(RealWindowTest, EscapeLeavesTheEditDialogAndTheMemoPadOpen)
{
    start();
    openEditDialog();
    child<QLineEdit>(edit, "titleEdit")->setFocus();
    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("打ちかけの題名"));
    // The key is handled as it is sent: a closing would have happened.
    QTest::keyClick(child<QLineEdit>(edit, "titleEdit"), Qt::Key_Escape);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(child<QLineEdit>(edit, "titleEdit")->text(), QStringLiteral("打ちかけの題名"));

    clickButton(edit, "titleColumnButton");
    ASSERT_TRUE(QTest::qWaitForWindowActive(memo, 5000));
    child<QPlainTextEdit>(memo, "lineEditor")->setPlainText(QStringLiteral("一行目"));
    QTest::keyClick(child<QPlainTextEdit>(memo, "lineEditor"), Qt::Key_Escape);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(child<QPlainTextEdit>(memo, "lineEditor")->toPlainText(), QStringLiteral("一行目"));
    clickButton(memo, "cancelButton");
}

TEST_F(RealWindowTest, WindowsFromALargerScreenAreBroughtOntoThisOne)
{
    // Places stored on a 2560x1600 screen.
    const std::string ini =
        "[Form]\r\nLeft=1700\r\nTop=900\r\nWidth=1400\r\nHeight=1100\r\n"
        "[EditForm]\r\nLeft=2000\r\nTop=1200\r\nWidth=900\r\nHeight=800\r\n"
        "[MemoForm]\r\nLeft=2200\r\nTop=1300\r\nWidth=600\r\nHeight=700\r\n";
    test::writeBytes(dir / "VLM.ini", ini);
    start();
    const QRect room = window->screen()->availableGeometry();
    ASSERT_LE(room.width(), 1024) << "the test screen is 1024x768";
    EXPECT_TRUE(QTest::qWaitFor([&] { return room.contains(window->frameGeometry()); }, 5000))
        << window->frameGeometry().x() << "," << window->frameGeometry().y();
    openEditDialog();
    EXPECT_TRUE(QTest::qWaitFor([&] { return room.contains(edit->frameGeometry()); }, 5000));
    clickButton(edit, "titleColumnButton");
    ASSERT_TRUE(QTest::qWaitForWindowActive(memo, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return room.contains(memo->frameGeometry()); }, 5000));
    clickButton(memo, "cancelButton");
}

// Presses Tab in `window` until the focus comes round again and gives every
// widget that had it. A table is passed at once, from its last cell.
QList<QWidget*> tabPath(QWidget* window, QWidget* start)
{
    QList<QWidget*> path;
    start->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(test::waitUntil([&] { return QApplication::focusWidget() == start; }))
        << window->objectName().toStdString();
    for (int step = 0; step < 200; ++step) {
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr || focus->window() != window) {
            ADD_FAILURE() << "the focus left " << window->objectName().toStdString();
            break;
        }
        if (!path.isEmpty() && focus == path.front()) {
            break;
        }
        path << focus;
        for (QWidget* w = focus; w != nullptr; w = w->parentWidget()) {
            if (auto* table = qobject_cast<QTableWidget*>(w)) {
                if (table->rowCount() > 0) {
                    table->setCurrentCell(table->rowCount() - 1, table->columnCount() - 1);
                }
                break;
            }
        }
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return path;
}

// Every button of `window` shown and enabled now that Tab alone reaches.
QStringList buttonsTabMisses(QWidget* window, QWidget* start)
{
    const QList<QWidget*> path = tabPath(window, start);
    QStringList missed;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->window() != window || !button->isVisibleTo(window) || !button->isEnabled() ||
            !(button->focusPolicy() & Qt::TabFocus)) {
            continue;
        }
        if (!path.contains(button)) {
            missed << window->objectName() + QLatin1Char(':') +
                          (button->objectName().isEmpty() ? button->text() : button->objectName());
        }
    }
    return missed;
}

TEST_F(RealWindowTest, TabAloneReachesEveryButtonOfEveryWindow)
{
    startWithOneAlbum();
    window->setObjectName(QStringLiteral("MainWindow"));
    QStringList missed;
    // The main window with each of its tool pages.
    for (const char* page : {"infoPage", "searchPage", "convertPage", "replacePage"}) {
        test::trigger(window.get(), page);
        missed << buttonsTabMisses(window.get(), child<QWidget>(window.get(), "albumView"));
    }

    window->selectListRow(0, true);
    test::trigger(window.get(), "editAlbum");
    ASSERT_TRUE(QTest::qWaitForWindowActive(edit, 5000));
    missed << buttonsTabMisses(edit, child<QWidget>(edit, "artistCombo"));
    // With the media column current the preview player is shown too.
    edit->setCurrentCell(1, 3);
    missed << buttonsTabMisses(edit, child<QWidget>(edit, "artistCombo"));

    clickButton(edit, "titleColumnButton");
    ASSERT_TRUE(QTest::qWaitForWindowActive(memo, 5000));
    missed << buttonsTabMisses(memo, child<QWidget>(memo, "lineEditor"));
    clickButton(memo, "cancelButton");
    clickButton(edit, "closeButton");

    auto* options = window->findChild<OptionsDialog*>();
    test::trigger(window.get(), "options");
    ASSERT_TRUE(QTest::qWaitForWindowActive(options, 5000));
    auto* pages = child<QTreeWidget>(options, "pageTree");
    for (QTreeWidgetItemIterator it(pages); *it; ++it) {
        pages->setCurrentItem(*it);
        missed << buttonsTabMisses(options, pages);
    }
    clickButton(options, "cancelButton");

    auto* player = window->findChild<PlayerWindow*>();
    player->setObjectName(QStringLiteral("PlayerWindow"));
    player->show();
    player->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(player, 5000));
    missed << buttonsTabMisses(player, player->findChild<QListWidget*>());
    player->close();

    AboutDialog about(&shell, QStringLiteral("file:///help.html"), window.get());
    about.setObjectName(QStringLiteral("AboutBox"));
    about.hideProgress();
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about, 5000));
    missed << buttonsTabMisses(&about, about.focusWidget() ? about.focusWidget() : &about);
    about.close();

    FolderScanSummaryDialog summary({}, {QStringLiteral("note")}, window.get());
    summary.setObjectName(QStringLiteral("ScanSummary"));
    summary.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&summary, 5000));
    missed << buttonsTabMisses(&summary, child<QWidget>(&summary, "albumTree"));
    summary.close();

    EXPECT_TRUE(missed.isEmpty()) << missed.join(QLatin1Char('\n')).toStdString();
}

TEST_F(RealWindowTest, AltAndTheMnemonicOpenEachMenu)
{
    startWithOneAlbum();
    window->selectListRow(0, true);
    child<QWidget>(window.get(), "albumView")->setFocus();
    const std::pair<Qt::Key, const char*> menus[] = {{Qt::Key_F, "ファイル(&F)"},
                                                     {Qt::Key_E, "編集(&E)"},
                                                     {Qt::Key_V, "表示(&V)"},
                                                     {Qt::Key_T, "ツール(&T)"},
                                                     {Qt::Key_H, "ヘルプ(&H)"}};
    for (const auto& [key, title] : menus) {
        QTest::keyClick(window.get(), key, Qt::AltModifier);
        QMenu* shown = nullptr;
        EXPECT_TRUE(test::waitUntil([&] {
            shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return shown != nullptr && shown->isVisible();
        })) << title;
        if (shown == nullptr) {
            continue;
        }
        EXPECT_EQ(shown->title(), QString::fromUtf8(title));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(shown, 5000));
        flushEvents();
        saveScreen((std::string("keys-menu-") + static_cast<char>(key)).c_str());
        shown->close();
        EXPECT_TRUE(test::waitUntil([] { return QApplication::activePopupWidget() == nullptr; }));
    }
    // The album list's own menu shares the captions of the menu bar.
    auto* albumMenu = child<QMenu>(window.get(), "albumMenu");
    albumMenu->popup(window->mapToGlobal(QPoint(200, 400)));
    EXPECT_TRUE(test::waitUntil([&] { return QApplication::activePopupWidget() == albumMenu; }));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(albumMenu, 5000));
    flushEvents();
    saveScreen("keys-menu-album");
    albumMenu->close();

    test::trigger(window.get(), "editAlbum");
    ASSERT_TRUE(QTest::qWaitForWindowActive(edit, 5000));
    // Alt+the artist label's letter goes to the artist field.
    QTest::keyClick(edit, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(test::waitUntil([&] {
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr && (focus->objectName() == QLatin1String("artistCombo") ||
                                    focus->parentWidget()->objectName() == QLatin1String("artistCombo"));
    }));
    saveScreen("keys-edit");
    clickButton(edit, "closeButton");

    auto* options = window->findChild<OptionsDialog*>();
    test::trigger(window.get(), "options");
    ASSERT_TRUE(QTest::qWaitForWindowActive(options, 5000));
    saveScreen("keys-options");
    clickButton(options, "cancelButton");
}

TEST_F(RealWindowTest, TheOptionsDialogReopensWhereItWas)
{
    start();
    auto* options = window->findChild<OptionsDialog*>();
    test::trigger(window.get(), "options");
    ASSERT_TRUE(QTest::qWaitForWindowActive(options, 5000));
    flushEvents();
    const QRect first = options->frameGeometry();
    for (int opening = 0; opening < 3; ++opening) {
        clickButton(options, "cancelButton");
        ASSERT_TRUE(test::waitUntil([&] { return !options->isVisible(); }));
        test::trigger(window.get(), "options");
        ASSERT_TRUE(QTest::qWaitForWindowActive(options, 5000));
        // The window manager places it; it must come back to the same place.
        EXPECT_TRUE(
            test::waitUntil([&] { return options->frameGeometry() == first; }, std::chrono::seconds(3)))
            << "opening " << opening + 2 << ": " << options->frameGeometry().y() << " instead of "
            << first.y();
    }
    clickButton(options, "cancelButton");
}

TEST_F(RealWindowTest, TheListsFrameTheirCurrentRowAfterAMouseClick)
{
    std::string file = test::dataLineWith({}) + "\r\n";
    for (const char* artist : {"a", "b", "c"}) {
        file += test::dataLineWith({{store::ArtistColumn, artist}, {store::AlbumColumn, "t"}}) + "\r\n";
    }
    test::writeBytes(dir / "VLM.dat", file);
    start();
    auto* view = child<QAbstractItemView>(window.get(), "albumView");
    auto rowPicture = [view](int row) {
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        return view->viewport()->grab(QRect(0, cell.y(), view->viewport()->width(), cell.height())).toImage();
    };
    // A click gives the list the focus without a keyboard focus change,
    // as a mouse user gives it.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 1)).center());
    ASSERT_TRUE(test::waitUntil([&] { return view->hasFocus(); }));
    view->clearSelection();
    const QImage plain = rowPicture(1);
    view->selectionModel()->setCurrentIndex(view->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    ASSERT_FALSE(view->selectionModel()->isRowSelected(1, {}));
    EXPECT_NE(rowPicture(1), plain) << "the current row, not selected, is framed";
}

TEST_F(RealWindowTest, TheDesignPlaceFitsASmallScreen)
{
    start();
    const QRect room = window->screen()->availableGeometry();
    EXPECT_TRUE(QTest::qWaitFor([&] { return room.contains(window->frameGeometry()); }, 5000));
    EXPECT_EQ(window->size(), QSize(732, 694)) << "the design size fits 1024x768 and is kept";
    EXPECT_EQ(managedTitle(*window), window->windowTitle());
}

// The windows the window manager shows for a process.
// The windows of a process as the window manager lists them; with a title,
// only those of that title ("Velmora" is the main window, not the splash
// that comes before it).
int windowsOf(const QProcess& process, const QString& title = {})
{
    QProcess wmctrl;
    wmctrl.start(QStringLiteral("wmctrl"), {QStringLiteral("-lp")});
    wmctrl.waitForFinished(5000);
    int count = 0;
    const QString pid = QString::number(process.processId());
    for (const QString& line : QString::fromUtf8(wmctrl.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() > 2 && fields[2] == pid &&
            (title.isEmpty() || fields.mid(4).join(QLatin1Char(' ')) == title)) {
            ++count;
        }
    }
    return count;
}

// The main window of a process is up, and nothing else (the splash is gone).
bool onlyTheMainWindow(const QProcess& process)
{
    return windowsOf(process, QStringLiteral("Velmora")) == 1 && windowsOf(process) == 1;
}

// The program itself, started on a data folder.
class ProgramRun {
public:
    explicit ProgramRun(const std::filesystem::path& folder)
    {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(QStringLiteral(VELMORA_PROGRAM),
                      {QStringLiteral("--data-dir"), QString::fromStdString(folder.string())});
    }
    ~ProgramRun()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

TEST(RealProgram, ASecondStartOnTheSameFolderOpensNoSecondWindow)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "data");
    std::filesystem::create_directory(dir / "other");
    std::filesystem::create_directory_symlink(dir / "data", dir / "link");
    ProgramRun first(dir / "data");
    ASSERT_TRUE(QTest::qWaitFor([&] { return onlyTheMainWindow(first.process); }, 60000));

    // By the same path and through a link: the second start ends at once,
    // without a window, and the first stays alone.
    for (const char* spelling : {"data", "link"}) {
        ProgramRun second(dir / spelling);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return second.process.state() == QProcess::NotRunning || windowsOf(second.process) > 0; },
            60000))
            << spelling;
        EXPECT_EQ(second.process.state(), QProcess::NotRunning) << spelling;
        EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit) << spelling;
        EXPECT_EQ(second.process.exitCode(), 0) << spelling;
        EXPECT_TRUE(onlyTheMainWindow(first.process)) << spelling;
    }

    // Another folder opens a window of its own.
    ProgramRun other(dir / "other");
    EXPECT_TRUE(QTest::qWaitFor([&] { return onlyTheMainWindow(other.process); }, 60000));
    EXPECT_EQ(other.process.state(), QProcess::Running);
    EXPECT_TRUE(onlyTheMainWindow(first.process));
}

}  // namespace
}  // namespace velmora::ui

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    velmora::ui::prepareEnvironment();
    QApplication app(argc, argv);
    velmora::ui::setUpApplication(app);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
