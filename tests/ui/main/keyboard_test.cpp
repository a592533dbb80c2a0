// The main window by keyboard: shortcuts shown in the menus and reaching
// their commands, Enter and a double-click opening the edit dialog, keys
// that mean something in a text field staying there, one mnemonic per
// command, and a name for every control a screen reader announces.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <set>

#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/row_choice_dialog.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/filescan/folder_scan_dialogs.h"
#include "ui/main/main_window_fixture.h"
#include "ui/options/options_dialog.h"
#include "ui/player/player_window.h"

namespace velmora::ui {
namespace {

class KeyboardTest : public MainWindowTest {
protected:
    std::unique_ptr<MainWindow> openActive(std::initializer_list<std::string_view> artists)
    {
        writeBytes(dataFile(), catalogue(artists));
        auto window = open();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
    static AlbumEditDialog* editDialog(MainWindow& window) { return window.findChild<AlbumEditDialog*>(); }
    // Closes the edit dialog if it is open; gives whether it was.
    static bool closeEditDialog(MainWindow& window)
    {
        AlbumEditDialog* edit = editDialog(window);
        if (edit == nullptr || !edit->isVisible()) {
            return false;
        }
        child<QAbstractButton>(edit, "closeButton")->click();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return true;
    }
    static QWidget* currentPage(MainWindow& window)
    {
        return child<QStackedWidget>(&window, "pageStack")->currentWidget();
    }
};

TEST_F(KeyboardTest, MenusShowTheShortcuts)
{
    auto window = openActive({"a"});
    const std::pair<const char*, QKeySequence> expected[] = {
        {"save", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"newAlbum", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"editAlbum", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"deleteAlbums", QKeySequence(Qt::Key_Delete)},
        {"searchPage", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"replacePage", QKeySequence(Qt::CTRL | Qt::Key_H)},
        {"quit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"help", QKeySequence(Qt::Key_F1)},
        {"showAll", QKeySequence(Qt::CTRL | Qt::Key_L)},
    };
    std::set<QString> seen;
    for (QAction* action : window->findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            EXPECT_TRUE(seen.insert(key.toString()).second)
                << "two actions share " << key.toString().toStdString();
        }
    }
    for (const auto& [name, key] : expected) {
        auto* action = child<QAction>(window.get(), name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut().toString().toStdString(), key.toString().toStdString()) << name;
        // A menu shows the shortcut beside the item when the action is in it.
        bool inMenu = false;
        for (QMenu* menu : window->menuBar()->findChildren<QMenu*>()) {
            inMenu = inMenu || menu->actions().contains(action);
        }
        EXPECT_TRUE(inMenu) << name << " is in a menu of the menu bar";
    }
}

TEST_F(KeyboardTest, ShortcutsRunTheirCommands)
{
    auto window = openActive({"a", "b"});
    QWidget* list = albumView(*window);
    list->setFocus();

    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(currentPage(*window)->objectName().toStdString(), "searchPage");
    EXPECT_TRUE(waitUntil([&] {
        QWidget* focus = QApplication::focusWidget();
        auto* word = child<QComboBox>(window.get(), "searchWordEdit");
        return focus != nullptr && (focus == word || focus == word->lineEdit());
    })) << "the word field has the focus";

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(currentPage(*window)->objectName().toStdString(), "replacePage");

    // 全表示 after a narrowed list.
    list->setFocus();
    select(*window, {1});
    trigger(window.get(), "showSelectedOnly");
    ASSERT_EQ(listRowCount(*window), 1);
    QTest::keyClick(list, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(listRowCount(*window), 2);

    select(*window, {0});
    QTest::keyClick(list, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(closeEditDialog(*window)) << "Ctrl+E opens the edit dialog";

    QTest::keyClick(list, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(window->catalogue().albumCount(), 3) << "Ctrl+N makes a new album";
    EXPECT_TRUE(closeEditDialog(*window));

    std::filesystem::remove(dataFile());
    QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(std::filesystem::exists(dataFile())) << "Ctrl+S saves";

    // F1 runs the help command (whatever shows the page).
    int helpRuns = 0;
    QObject::connect(child<QAction>(window.get(), "help"), &QAction::triggered, [&] { ++helpRuns; });
    writeBytes(dir / "help.html", "<html><body><p>help</p></body></html>");
    QTest::keyClick(list, Qt::Key_F1);
    EXPECT_EQ(helpRuns, 1) << "F1 opens the help page";

    QTest::keyClick(list, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible()) << "Ctrl+Q quits";
}

TEST_F(KeyboardTest, DeleteRemovesAlbumsOnlyFromTheList)
{
    auto window = openActive({"a", "b"});
    // In a text field Delete deletes a character.
    select(*window, {0});
    trigger(window.get(), "searchPage");
    auto* word = child<QComboBox>(window.get(), "searchWordEdit");
    word->lineEdit()->setFocus();
    word->lineEdit()->setText(QStringLiteral("abc"));
    word->lineEdit()->setCursorPosition(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(word->lineEdit()->text(), QStringLiteral("bc"));
    EXPECT_EQ(window->catalogue().albumCount(), 2);

    // In the album list it deletes the selected albums (after asking).
    QWidget* list = albumView(*window);
    list->setFocus();
    select(*window, {0});
    prompter.answerConfirm(true);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(artists(*window), std::vector<std::string>{"b"});
}

TEST_F(KeyboardTest, EnterAndDoubleClickOpenTheEditDialog)
{
    auto window = openActive({"a", "b"});
    QAbstractItemView* list = albumView(*window);
    list->setFocus();
    select(*window, {1});
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(editDialog(*window)->isVisible()) << "Return opens the edit dialog";
    EXPECT_EQ(child<QComboBox>(editDialog(*window), "artistCombo")->currentText(), QStringLiteral("b"));
    closeEditDialog(*window);

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(closeEditDialog(*window)) << "Enter of the keypad opens it too";

    const QRect cell = list->visualRect(list->model()->index(0, 1));
    // A user's double click starts with a single click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    ASSERT_TRUE(editDialog(*window)->isVisible()) << "a double-click opens the edit dialog";
    EXPECT_EQ(child<QComboBox>(editDialog(*window), "artistCombo")->currentText(), QStringLiteral("a"));
    closeEditDialog(*window);

    // Return in the search field searches, it does not edit.
    trigger(window.get(), "searchPage");
    auto* word = child<QComboBox>(window.get(), "searchWordEdit");
    word->lineEdit()->setFocus();
    word->lineEdit()->setText(QStringLiteral("zzz"));
    prompter.expectMessage(Kind::Information);
    const std::size_t before = prompter.asked().size();
    // Keys go to the focus widget, as the keyboard sends them.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(editDialog(*window)->isVisible());
    ASSERT_EQ(prompter.asked().size(), before + 1) << "one search";
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("zzz")));
}

// Every menu item and submenu has a mnemonic, none twice in one menu, and
// a command shows the same caption in every menu that offers it.
void expectMnemonics(QMenu* menu, std::map<const QAction*, QString>& captions, const QString& path)
{
    std::map<QChar, QString> letters;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        const QString text = action->text();
        const QString where = path + QStringLiteral(" > ") + text;
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        EXPECT_TRUE(amp >= 0 && amp + 1 < text.size()) << "no mnemonic: " << where.toStdString();
        if (amp >= 0 && amp + 1 < text.size()) {
            const QChar letter = text.at(amp + 1).toUpper();
            auto [at, fresh] = letters.emplace(letter, text);
            EXPECT_TRUE(fresh) << "the mnemonic " << QString(letter).toStdString() << " twice in "
                               << path.toStdString() << ": " << at->second.toStdString() << ", "
                               << text.toStdString();
        }
        if (!action->objectName().isEmpty()) {
            auto [at, fresh] = captions.emplace(action, text);
            EXPECT_EQ(at->second, text);
        }
        if (QMenu* sub = action->menu()) {
            expectMnemonics(sub, captions, where);
        }
    }
}

TEST_F(KeyboardTest, EveryMenuItemHasItsOwnMnemonic)
{
    auto window = openActive({"a"});
    std::map<const QAction*, QString> captions;
    QMenu bar;
    for (QAction* top : window->menuBar()->actions()) {
        bar.addAction(top);
    }
    expectMnemonics(&bar, captions, QStringLiteral("menu bar"));
    for (const char* name : {"albumMenu", "songMenu"}) {
        expectMnemonics(child<QMenu>(window.get(), name), captions, QString::fromLatin1(name));
    }
    // The web-search items are filled when the menu opens.
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>()) {
        if (menu->title().startsWith(QStringLiteral("インターネット検索項目設定"))) {
            emit menu->aboutToShow();
            expectMnemonics(menu, captions, menu->title());
        }
    }
    AlbumEditDialog* edit = editDialog(*window);
    auto* editBar = edit->findChild<QMenuBar*>();
    ASSERT_NE(editBar, nullptr);
    QMenu editMenus;
    for (QAction* top : editBar->actions()) {
        editMenus.addAction(top);
    }
    expectMnemonics(&editMenus, captions, QStringLiteral("edit dialog"));
}

// The mnemonics Alt reaches in `window` as it is shown now: those of the
// field labels, the buttons and the menu bar's titles. Reports a field
// label without one and a letter used twice.
QStringList mnemonicClashes(QWidget* window)
{
    QStringList problems;
    std::map<QChar, QString> letters;
    auto take = [&](const QString& text) {
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        if (amp < 0 || amp + 1 >= text.size()) {
            return false;
        }
        const QChar letter = text.at(amp + 1).toUpper();
        auto [at, fresh] = letters.emplace(letter, text);
        if (!fresh) {
            problems << window->objectName() + QStringLiteral(": ") + at->second + QStringLiteral(" / ") +
                            text;
        }
        return true;
    };
    if (auto* bar = window->findChild<QMenuBar*>(); bar && bar->window() == window) {
        for (QAction* menu : bar->actions()) {
            take(menu->text());
        }
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() != nullptr && label->isVisibleTo(window) && !take(label->text())) {
            problems << window->objectName() + QStringLiteral(": no mnemonic on ") + label->text();
        }
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(window)) {
            take(button->text());
        }
    }
    return problems;
}

TEST_F(KeyboardTest, DialogMnemonicsAreUniqueOnEachPage)
{
    auto window = openActive({"a"});
    QStringList problems = mnemonicClashes(editDialog(*window));
    problems << mnemonicClashes(window->findChild<SongColumnEditor*>());
    auto* options = window->findChild<OptionsDialog*>();
    trigger(window.get(), "options");
    auto* pages = child<QTreeWidget>(options, "pageTree");
    for (QTreeWidgetItemIterator it(pages); *it; ++it) {
        pages->setCurrentItem(*it);
        problems << mnemonicClashes(options);
    }
    options->hide();
    FolderScanSummaryDialog summary({}, {QStringLiteral("note")}, window.get());
    summary.setObjectName(QStringLiteral("ScanSummary"));
    problems << mnemonicClashes(&summary);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

// What a screen reader would announce for a control: its accessible name,
// the text of the label that is its buddy, or a button's own caption. (A
// combo box's current text is its value, not its name.)
QString announcedName(QWidget* widget)
{
    if (!widget->accessibleName().trimmed().isEmpty()) {
        return widget->accessibleName();
    }
    for (QLabel* label : widget->window()->findChildren<QLabel*>()) {
        if (label->buddy() == widget && !label->text().isEmpty()) {
            return label->text();
        }
    }
    if (qobject_cast<QAbstractButton*>(widget)) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(QAccessible::Name).trimmed() : QString();
    }
    return {};
}

bool isInput(QWidget* widget)
{
    if (qobject_cast<QLineEdit*>(widget)) {
        // The line edit of a combo or spin box is announced with its box; a
        // cell editor with its cell.
        QWidget* parent = widget->parentWidget();
        return !qobject_cast<QComboBox*>(parent) && !qobject_cast<QAbstractSpinBox*>(parent) &&
               !(parent && qobject_cast<QAbstractItemView*>(parent->parentWidget()));
    }
    return qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
           qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
           qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QAbstractSlider*>(widget) ||
           qobject_cast<QAbstractButton*>(widget);
}

// The controls of a window that take input but are announced without a name.
QStringList unnamedControls(QWidget* window)
{
    QStringList unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !isInput(widget) || widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (announcedName(widget).isEmpty()) {
            QString path = widget->objectName().isEmpty()
                               ? QString::fromLatin1(widget->metaObject()->className())
                               : widget->objectName();
            for (QWidget* up = widget->parentWidget(); up && up != window; up = up->parentWidget()) {
                if (!up->objectName().isEmpty()) {
                    path = up->objectName() + QLatin1Char('/') + path;
                    break;
                }
            }
            unnamed << window->objectName() + QLatin1Char(':') + path;
        }
    }
    return unnamed;
}

TEST_F(KeyboardTest, EveryControlOfEveryWindowHasAName)
{
    auto window = openActive({"a"});
    QStringList unnamed = unnamedControls(window.get());
    unnamed << unnamedControls(editDialog(*window));
    unnamed << unnamedControls(window->findChild<SongColumnEditor*>());
    unnamed << unnamedControls(window->findChild<OptionsDialog*>());
    unnamed << unnamedControls(window->findChild<PlayerWindow*>());

    AboutDialog about(&shell, QStringLiteral("file:///help.html"));
    about.setObjectName(QStringLiteral("AboutBox"));
    unnamed << unnamedControls(&about);
    FolderScanProgressDialog progress(QStringLiteral("/music"), window.get());
    progress.setObjectName(QStringLiteral("ScanProgress"));
    unnamed << unnamedControls(&progress);
    FolderScanSummaryDialog summary({}, {QStringLiteral("note")}, window.get());
    summary.setObjectName(QStringLiteral("ScanSummary"));
    unnamed << unnamedControls(&summary);
    // The release chooser lives while it is asked.
    QTimer::singleShot(0, [&] {
        QWidget* chooser = QApplication::activeModalWidget();
        ASSERT_NE(chooser, nullptr);
        unnamed << unnamedControls(chooser);
        qobject_cast<QDialog*>(chooser)->reject();
    });
    chooseRowInDialog(window.get(), QStringLiteral("リリースを選択"), {QStringLiteral("タイトル")},
                      {{QStringLiteral("x")}});
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral("\n")).toStdString();
}

}  // namespace
}  // namespace velmora::ui
