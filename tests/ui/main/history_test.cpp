// Undo and redo in the window, the readings dialog and the dictionary's
// reading suggestions in the edit dialog.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>

#include "core/text/cp932.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window_fixture.h"
#include "ui/readings/readings_dialog.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

// Reads the names it knows (UTF-8 in, katakana out).
class FakeDictionary : public readings::ReadingDictionary {
public:
    bool available() const override { return true; }
    std::string unavailableMessage() const override { return {}; }
    std::vector<std::string> readings(std::string_view text) const override
    {
        if (text == "椎名林檎") {
            return {"シイナリンゴ"};
        }
        if (text == "東京事変") {
            return {"トウキョウジヘン"};
        }
        return {};
    }
};

QAction* action(MainWindow& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromUtf8(name));
}

// The menu of the menu bar titled `title` (without its mnemonic).
QMenu* menu(MainWindow& window, const QString& title)
{
    for (QAction* top : window.menuBar()->actions()) {
        if (top->menu() != nullptr && top->text().startsWith(title)) {
            return top->menu();
        }
    }
    return nullptr;
}

class HistoryWindowTest : public MainWindowTest {};

TEST_F(HistoryWindowTest, TheEditMenuNamesTheStepAndUndoBringsTheSelectionBack)
{
    writeBytes(dataFile(), catalogue({"a", "b", "c", "d"}));
    auto window = open();
    QAction* undo = action(*window, "undo");
    QAction* redo = action(*window, "redo");
    ASSERT_NE(undo, nullptr);
    ASSERT_NE(redo, nullptr);
    QMenu* edit = menu(*window, QStringLiteral("編集"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->actions().at(0), undo);
    EXPECT_EQ(edit->actions().at(1), redo);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));

    select(*window, {1, 2});
    prompter.answerConfirm(true);
    trigger(window.get(), "deleteAlbums");
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "d"}));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&Z): 削除 (2件)"));

    trigger(window.get(), "undo");
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(listRowCount(*window), 4);
    EXPECT_EQ(window->selectedListRows(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(redo->text(), QStringLiteral("やり直し(&Y): 削除 (2件)"));
    EXPECT_TRUE(window->catalogue().isModified());

    trigger(window.get(), "redo");
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(listRowCount(*window), 2);

    // A replace names its count.
    window->catalogue().replace(0, "a", "x");
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&Z): 置換 (1か所)"));
    EXPECT_FALSE(redo->isEnabled());
    // Back to the saved file: nothing to undo.
    trigger(window.get(), "revert");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&Z)"));
}

TEST_F(HistoryWindowTest, TheReadingsDialogSetsTheTickedRowsAsOneStep)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += album(sjis(u"椎名林檎"), "one") + "\r\n";
    file += album(sjis(u"東京事変"), "two") + "\r\n";
    file += album(sjis(u"椎名林檎"), "three") + "\r\n";
    file += album("Latin", "four") + "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    const FakeDictionary dictionary;
    ReadingsDialog dialog(window->catalogue(), &dictionary, window.get());
    auto* table = child<QTableWidget>(&dialog, "readingsTable");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, ReadingsDialog::ReadingColumn)->text(), QStringLiteral("しいなりんご"));
    EXPECT_EQ(table->item(1, ReadingsDialog::ReadingColumn)->text(), QStringLiteral("とうきょうじへん"));
    EXPECT_EQ(table->item(2, ReadingsDialog::NumberColumn)->text(), QStringLiteral("3"));
    // Untick the third, edit the second.
    table->item(2, ReadingsDialog::TickColumn)->setCheckState(Qt::Unchecked);
    table->item(1, ReadingsDialog::ReadingColumn)->setText(QStringLiteral("トウキョウジヘン"));
    child<QAbstractButton>(&dialog, "setReadings")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.applied(), 2);
    EXPECT_EQ(cell(*window, FuriganaColumn, 1), sjis(u"しいなりんご"));
    EXPECT_EQ(cell(*window, FuriganaColumn, 2), sjis(u"トウキョウジヘン"));
    EXPECT_EQ(cell(*window, FuriganaColumn, 3), sjis(u"椎名林檎"));
    EXPECT_EQ(action(*window, "undo")->text(), QStringLiteral("元に戻す(&Z): 読みの自動設定 (2件)"));

    trigger(window.get(), "undo");
    EXPECT_EQ(cell(*window, FuriganaColumn, 1), sjis(u"椎名林檎"));
    EXPECT_EQ(cell(*window, FuriganaColumn, 2), sjis(u"東京事変"));
    EXPECT_FALSE(action(*window, "undo")->isEnabled());
}

TEST_F(HistoryWindowTest, WithoutADictionaryTheDialogSaysSoAndOffersChosenReadings)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += album(sjis(u"椎名林檎"), "one") + "\r\n";
    file +=
        dataLineWith({{ArtistColumn, sjis(u"椎名林檎")}, {FuriganaColumn, sjis(u"しいなりんご")}}) + "\r\n";
    writeBytes(dataFile(), file);
    auto window = open();
    ReadingsDialog dialog(window->catalogue(), nullptr, window.get());
    EXPECT_TRUE(child<QLabel>(&dialog, "readingsNote")->text().contains(QStringLiteral("読みの辞書")));
    auto* table = child<QTableWidget>(&dialog, "readingsTable");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, ReadingsDialog::ReadingColumn)->text(), QStringLiteral("しいなりんご"));
}

TEST(EditDialogReadingsTest, TheDictionaryReadingsComeFirstInBothKanaForms)
{
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    test::FakeMediaDevice device;
    AlbumTable albums;
    albums.setRowCount(2);
    albums.setCell(ArtistColumn, 1, sjis(u"椎名林檎"));
    albums.setCell(FuriganaColumn, 1, "RINGO");
    AppSettings settings;
    ListFiles lists;
    AlbumEditDialog::Requests requests;
    requests.dictionaryReadings = [](const std::string& artist) {
        return artist == sjis(u"椎名林檎") ? std::vector<std::string>{sjis(u"シイナリンゴ")}
                                           : std::vector<std::string>{};
    };
    AlbumEditDialog dialog({prompter, shell, device, albums, settings, lists}, requests);
    dialog.loadAlbum(albums.record(1));
    dialog.show();
    child<PickBox>(&dialog, "readingCombo")->onDropDown();
    auto* combo = child<QComboBox>(&dialog, "readingCombo");
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) {
        entries << combo->itemText(i);
    }
    ASSERT_GE(entries.size(), 4);
    EXPECT_EQ(entries[0], QStringLiteral("しいなりんご"));
    EXPECT_EQ(entries[1], QStringLiteral("シイナリンゴ"));
    EXPECT_EQ(entries[2], QStringLiteral("椎名林檎"));
    EXPECT_TRUE(entries.contains(QStringLiteral("RINGO")));
    EXPECT_EQ(entries.count(QStringLiteral("シイナリンゴ")), 1);
    dialog.close();
}

}  // namespace
}  // namespace velmora::ui
