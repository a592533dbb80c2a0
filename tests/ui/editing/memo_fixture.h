// An edit dialog open on one album, with the memo pad, both made by the
// main window as the program makes them.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <map>

#include "support/widget_lookup.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/main/main_window_fixture.h"

namespace velmora::ui {

// A data-file line with the given cells, the rest empty.
inline std::string albumLine(const std::map<int, std::string>& cells)
{
    std::string line;
    for (int c = 0; c < store::kColumnCount; ++c) {
        if (c > 0) {
            line += "<>";
        }
        if (auto it = cells.find(c); it != cells.end()) {
            line += it->second;
        }
    }
    return line;
}

class MemoTest : public MainWindowTest {
protected:
    // Opens the edit dialog on the only album of a catalogue.
    void openEditor(const std::map<int, std::string>& cells)
    {
        writeBytes(dataFile(), dataLineWith({}) + "\r\n" + albumLine(cells) + "\r\n");
        window = open();
        // Owned by the main window and shown as the program does.
        memo = window->findChild<SongColumnEditor*>();
        edit = window->findChild<AlbumEditDialog*>();
        window->selectListRow(0, true);
        test::trigger(window.get(), "editAlbum");
    }
    QStringList lines() const { return memo->memoLines(); }
    QPlainTextEdit* lineEditor() const { return test::child<QPlainTextEdit>(memo, "lineEditor"); }
    void setText(const QString& text) { lineEditor()->setPlainText(text); }
    // Puts the caret at the start of a line (from 1).
    void caretTo(int line)
    {
        QTextCursor cursor(lineEditor()->document()->findBlockByNumber(line - 1));
        lineEditor()->setTextCursor(cursor);
    }
    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static void click(const QObject* parent, const char* name) { test::clickButton(parent, name); }
    // A tool-bar or menu action of the memo pad, by its hint or caption.
    QAction* action(const QString& name) const
    {
        for (QAction* a : memo->findChildren<QAction*>()) {
            if (a->toolTip() == name || a->text() == name) {
                return a;
            }
        }
        ADD_FAILURE() << "no action " << name.toStdString();
        return nullptr;
    }
    test::FakeMediaDevice& preview() { return test::fake(window->previewDevice()); }

    std::unique_ptr<MainWindow> window;
    SongColumnEditor* memo = nullptr;
    AlbumEditDialog* edit = nullptr;
};

}  // namespace velmora::ui
