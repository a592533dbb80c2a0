// The edit dialog by keyboard alone: Tab leaves the memo and the song
// table, and reaches every field and button in reading order.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>

#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/main/main_window_fixture.h"

namespace velmora::ui {
namespace {

using test::focusName;
using test::press;

class EditKeyboardTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        writeBytes(dataFile(), catalogue({"a"}));
        window = open();
        window->selectListRow(0, true);
        trigger(window.get(), "editAlbum");
        edit = window->findChild<AlbumEditDialog*>();
        ASSERT_TRUE(edit->isVisible());
        edit->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(edit));
        table = child<QTableWidget>(edit, "songTable");
    }
    void TearDown() override
    {
        child<QAbstractButton>(edit, "closeButton")->click();
        MainWindowTest::TearDown();
    }
    // The name of the widget with the focus, or of the control it belongs
    // to (a combo box's line edit, a table's cell editor).
    std::unique_ptr<MainWindow> window;
    AlbumEditDialog* edit = nullptr;
    QTableWidget* table = nullptr;
};

TEST_F(EditKeyboardTest, TabLeavesTheMemoAndCtrlTabTypesATab)
{
    auto* memo = child<QPlainTextEdit>(edit, "memoEdit");
    memo->setFocus();
    memo->setPlainText(QStringLiteral("ab"));
    memo->moveCursor(QTextCursor::End);
    press(Qt::Key_Tab);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("ab"));
    EXPECT_NE(QApplication::focusWidget(), memo) << "Tab moves on";
    EXPECT_EQ(focusName(), QStringLiteral("picturePathEdit"));

    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), memo) << "Shift+Tab comes back";
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("ab\t"));
    EXPECT_EQ(QApplication::focusWidget(), memo);
}

TEST_F(EditKeyboardTest, TabLeavesTheMemoPadsLinesAndCtrlTabTypesATab)
{
    child<QAbstractButton>(edit, "titleColumnButton")->click();
    auto* memoPad = window->findChild<SongColumnEditor*>();
    ASSERT_TRUE(memoPad->isVisible());
    memoPad->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(memoPad));
    auto* lines = child<QPlainTextEdit>(memoPad, "lineEditor");
    lines->setFocus();
    lines->setPlainText(QStringLiteral("one"));
    lines->moveCursor(QTextCursor::End);
    ASSERT_TRUE(test::waitUntil([&] { return QApplication::focusWidget() == lines; }))
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(lines->toPlainText(), QStringLiteral("one\t"));
    press(Qt::Key_Tab);
    EXPECT_EQ(lines->toPlainText(), QStringLiteral("one\t"));
    EXPECT_NE(QApplication::focusWidget(), lines) << "Tab moves on";
    child<QAbstractButton>(memoPad, "cancelButton")->click();
}

TEST_F(EditKeyboardTest, TabLeavesTheSongTableAtItsEnds)
{
    table->setFocus();
    edit->setCurrentCell(5, 2);
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("songTable")) << "inside, Tab goes to the next cell";
    EXPECT_EQ(table->currentRow(), 4);
    EXPECT_EQ(table->currentColumn(), 2);

    edit->setCurrentCell(99, 3);
    press(Qt::Key_Tab);
    EXPECT_NE(focusName(), QStringLiteral("songTable")) << "the last cell lets Tab out";
    EXPECT_EQ(table->currentRow(), 98) << "and stays current";

    // Also while a cell is being edited.
    table->setFocus();
    edit->setCurrentCell(99, 3);
    table->editItem(table->item(98, 2));
    ASSERT_NE(focusName(), QString());
    ASSERT_TRUE(test::waitUntil([] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x.mp3"));
    press(Qt::Key_Tab);
    EXPECT_NE(focusName(), QStringLiteral("songTable"));
    EXPECT_EQ(edit->songCell(99, 3), QStringLiteral("x.mp3")) << "the typed text is kept";

    table->setFocus();
    edit->setCurrentCell(1, 1);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusName(), QStringLiteral("mediaColumnButton")) << "Shift+Tab leaves at the first cell";
}

TEST_F(EditKeyboardTest, TabReachesEveryControlInReadingOrder)
{
    child<QComboBox>(edit, "artistCombo")->setFocus();
    QStringList path{focusName()};
    for (int step = 0; step < 60; ++step) {
        if (focusName() == QLatin1String("songTable")) {
            // Through the table at once: from its last cell.
            edit->setCurrentCell(99, 3);
        }
        press(Qt::Key_Tab);
        if (focusName() == path.front()) {
            break;
        }
        path << focusName();
    }
    const QStringList expected = {"artistCombo",        "readingCombo",        "titleEdit",
                                  "genreCombo",         "mediaCombo",          "memoEdit",
                                  "picturePathEdit",    "pickPictureButton",   "showPictureButton",
                                  "insertSongButton",   "deleteSongButton",    "moveSongUpButton",
                                  "moveSongDownButton", "pickSongMediaButton", "discButton",
                                  "titleColumnButton",  "artistColumnButton",  "mediaColumnButton",
                                  "songTable",          "webSearchButton",     "webSearchBox",
                                  "changeAlbumButton",  "addAlbumButton",      "closeButton"};
    QStringList reached;
    for (const QString& name : path) {
        // The preview player's buttons come between the table and the
        // bottom row while it is shown.
        if (expected.contains(name) && (reached.isEmpty() || reached.back() != name)) {
            reached << name;
        }
    }
    EXPECT_EQ(reached.join(QLatin1Char(' ')).toStdString(), expected.join(QLatin1Char(' ')).toStdString());
    // Backwards the same way.
    child<QAbstractButton>(edit, "closeButton")->setFocus();
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusName(), QStringLiteral("addAlbumButton"));
}

TEST_F(EditKeyboardTest, FieldLabelsCarryMnemonicsForTheirFields)
{
    std::map<QChar, QString> letters;
    for (QLabel* label : edit->findChildren<QLabel*>()) {
        if (label->buddy() == nullptr) {
            continue;
        }
        const qsizetype amp = label->text().indexOf(QLatin1Char('&'));
        ASSERT_GE(amp, 0) << label->text().toStdString();
        const QChar letter = label->text().at(amp + 1).toUpper();
        EXPECT_TRUE(letters.emplace(letter, label->text()).second)
            << "the mnemonic " << QString(letter).toStdString() << " twice";
    }
    for (QAbstractButton* button : edit->findChildren<QAbstractButton*>()) {
        const qsizetype amp = button->text().indexOf(QLatin1Char('&'));
        if (amp >= 0) {
            const QChar letter = button->text().at(amp + 1).toUpper();
            EXPECT_TRUE(letters.emplace(letter, button->text()).second)
                << "the mnemonic " << QString(letter).toStdString()
                << " twice: " << button->text().toStdString();
        }
    }
    EXPECT_GE(letters.size(), 7u) << "artist, reading, title, three categories, picture path";
    // Alt+ the artist's letter goes to the artist field.
    child<QAbstractButton>(edit, "closeButton")->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(focusName(), QStringLiteral("artistCombo"));
}

}  // namespace
}  // namespace velmora::ui
