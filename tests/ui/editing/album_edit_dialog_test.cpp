// The album edit dialog over a real main window.
#include "ui/editing/album_edit_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextCursor>
#include <QUrl>

#include "ui/platform/shell.h"

#include "core/text/cp932.h"
#include "support/widget_lookup.h"
#include "support/window_settings.h"
#include "ui/main/main_window_fixture.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;
using test::child;
using test::clickButton;
using test::triggerAction;

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

class EditFormTest : public MainWindowTest {
protected:
    void openEditor(const std::string& file)
    {
        writeBytes(dataFile(), file);
        window = open();
        edit = window->findChild<AlbumEditDialog*>();
    }
    void selectAlbum(int row)
    {
        albumView(*window)->selectionModel()->clear();
        window->selectListRow(row, true);
    }
    void press(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(target, &event);
    }
    std::unique_ptr<MainWindow> window;
    AlbumEditDialog* edit = nullptr;
};

std::string sampleAlbum()
{
    return dataLineWith({{ArtistColumn, "artist"},
                         {AlbumColumn, "title"},
                         {Category1Column, "genre"},
                         {Category3Column, "a{}{}b"},
                         {FuriganaColumn, "reading"},
                         {songTitleColumn(1), "one"},
                         {songTitleColumn(2), "two"},
                         {songArtistColumn(2), "guest"},
                         {mediaColumn(3), "CD123"},
                         {songTitleColumn(7), "seven"}});
}

TEST_F(EditFormTest, ShowsTheAlbumAndWritesItBackUnchanged)
{
    std::string odd =
        dataLineWith({{ArtistColumn, "\x87\x90\xfd"}, {AlbumColumn, "x"}, {FuriganaColumn, "\x87\x90\xfd"}});
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n" + odd + "\r\n");
    trigger(window.get(), "editAlbum");
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->windowTitle(), QStringLiteral("アルバム編集 - artist/title"));
    EXPECT_EQ(child<QComboBox>(edit, "artistCombo")->currentText(), QStringLiteral("artist"));
    EXPECT_EQ(child<QComboBox>(edit, "readingCombo")->currentText(), QStringLiteral("reading"));
    EXPECT_EQ(child<QPlainTextEdit>(edit, "memoEdit")->toPlainText(), QStringLiteral("a\n\nb"));
    EXPECT_EQ(edit->songCell(2, 2), QStringLiteral("guest"));
    EXPECT_EQ(edit->songCell(3, 3), QStringLiteral("CD123"));
    std::optional<AlbumRecord> back = edit->editedRecord();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, window->catalogue().albums().record(1));

    // Bytes of duplicate codes survive an unchanged field.
    selectAlbum(1);
    trigger(window.get(), "editAlbum");
    back = edit->editedRecord();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ((*back)[ArtistColumn], "\x87\x90\xfd");
}

TEST_F(EditFormTest, ChangeAndAddFromTheKeyboard)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n" + album("other") + "\r\n");
    trigger(window.get(), "editAlbum");
    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("changed"));
    prompter.expectMessage(Kind::Information);
    press(child<QPlainTextEdit>(edit, "memoEdit"), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("artist / changed の情報を変更しました"));
    EXPECT_EQ(window->catalogue().albums().cell(AlbumColumn, 1), "changed");

    trigger(window.get(), "editAlbum");
    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("added"));
    prompter.answerConfirm(false);
    press(child<QLineEdit>(edit, "picturePathEdit"), Qt::Key_Return, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("artist/reading　を追加しますか？"));
    EXPECT_TRUE(edit->isVisible()) << "cancel keeps the dialog open";
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    press(child<QTableWidget>(edit, "songTable"), Qt::Key_Insert);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("artist / addedを追加しました"));
    ASSERT_EQ(window->catalogue().albums().albumCount(), 3);
    EXPECT_EQ(window->catalogue().albums().cell(AlbumColumn, 1), "changed");
    EXPECT_EQ(window->catalogue().albums().cell(AlbumColumn, 2), "added");
    EXPECT_EQ(window->catalogue().albums().cell(ArtistColumn, 3), "other");

    // Plain Enter walks through the upper fields.
    trigger(window.get(), "editAlbum");
    press(child<QComboBox>(edit, "artistCombo")->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(child<QComboBox>(edit, "readingCombo")->hasFocus() ||
                QApplication::focusWidget() == nullptr ||
                child<QComboBox>(edit, "readingCombo")->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == child<QComboBox>(edit, "readingCombo")->lineEdit());
    edit->close();
}

TEST_F(EditFormTest, RefusesTextTheCatalogueCannotStore)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    const AlbumRecord before = window->catalogue().albums().record(1);
    trigger(window.get(), "editAlbum");

    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("a<>b"));
    prompter.expectMessage(Kind::Information);
    clickButton(edit, "changeAlbumButton");
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("アルバム: ")));
    EXPECT_TRUE(edit->isVisible());

    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("ok"));
    child<QPlainTextEdit>(edit, "memoEdit")->setPlainText(QStringLiteral("line\nwith {} braces"));
    prompter.expectMessage(Kind::Information);
    clickButton(edit, "changeAlbumButton");
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("2行目")));

    child<QPlainTextEdit>(edit, "memoEdit")->setPlainText(QStringLiteral("fine"));
    edit->setSongCell(4, 1, QString::fromUtf8("\xF0\x9F\x8E\xB8"));
    prompter.expectMessage(Kind::Information);
    clickButton(edit, "changeAlbumButton");
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("4曲目の曲名")));
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("U+1F3B8")));
    EXPECT_EQ(window->catalogue().albums().record(1), before);

    // The wave dash typed on Linux is stored as its CP932 twin.
    edit->setSongCell(4, 1, QString::fromUtf16(u"a\u301Cb"));
    prompter.expectMessage(Kind::Information);
    clickButton(edit, "changeAlbumButton");
    EXPECT_EQ(window->catalogue().albums().cell(songTitleColumn(4), 1),
              "a\x81\x60"
              "b");
}

TEST_F(EditFormTest, SongToolsAtTheEnds)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    trigger(window.get(), "editAlbum");
    for (int n = 1; n <= 7; ++n) {
        edit->setSongCell(n, 1, QStringLiteral("s%1").arg(n));
    }
    edit->setSongCell(99, 1, QStringLiteral("last"));
    edit->setCurrentCell(1, 1);
    clickButton(edit, "moveSongUpButton");
    EXPECT_EQ(edit->songCell(1, 1), QStringLiteral("s1"));
    edit->setCurrentCell(99, 1);
    clickButton(edit, "moveSongDownButton");
    EXPECT_EQ(edit->songCell(99, 1), QStringLiteral("last"));

    edit->setCurrentCell(5, 1);
    clickButton(edit, "deleteSongButton");
    EXPECT_EQ(edit->songCell(5, 1), QStringLiteral("s6"));
    EXPECT_EQ(edit->songCell(6, 1), QStringLiteral("s7"));
    EXPECT_EQ(edit->songCell(98, 1), QStringLiteral("last"));
    EXPECT_EQ(edit->songCell(99, 1), QString());

    edit->setCurrentCell(2, 1);
    clickButton(edit, "insertSongButton");
    EXPECT_EQ(edit->songCell(2, 1), QString());
    EXPECT_EQ(edit->songCell(3, 1), QStringLiteral("s2"));
    EXPECT_EQ(edit->songCell(99, 1), QStringLiteral("last"));
    clickButton(edit, "insertSongButton");
    EXPECT_EQ(edit->songCell(99, 1), QString()) << "the 99th song is dropped";

    edit->setCurrentCell(1, 1);
    clickButton(edit, "moveSongDownButton");
    EXPECT_EQ(edit->currentSongRow(), 2);
    EXPECT_EQ(edit->songCell(2, 1), QStringLiteral("s1"));
    EXPECT_EQ(edit->songCell(1, 1), QString());
    clickButton(edit, "moveSongUpButton");
    EXPECT_EQ(edit->currentSongRow(), 1);
    EXPECT_EQ(edit->songCell(1, 1), QStringLiteral("s1"));
    edit->setCurrentCell(3, 1);

    prompter.answerText(QStringLiteral("/music/x.mp3"), Kind::OpenFile);
    clickButton(edit, "pickSongMediaButton");
    EXPECT_EQ(edit->songCell(3, 3), QStringLiteral("/music/x.mp3"));
    EXPECT_FALSE(child<QWidget>(edit, "previewPlayer")->isHidden());
    EXPECT_EQ(child<QLabel>(edit, "mediaNameLabel")->text(), QStringLiteral("/music/x.mp3"));
    edit->setCurrentCell(3, 1);
    EXPECT_TRUE(child<QWidget>(edit, "previewPlayer")->isHidden());
    edit->close();
}

TEST_F(EditFormTest, DraggedColumnsChangeTheirField)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    trigger(window.get(), "editAlbum");
    child<QTableWidget>(edit, "songTable")->horizontalHeader()->moveSection(0, 1);
    EXPECT_EQ(child<QTableWidget>(edit, "songTable")->horizontalHeader()->visualIndex(0), 0)
        << "headings stay in place";
    EXPECT_EQ(edit->songCell(2, 1), QStringLiteral("guest"));
    EXPECT_EQ(edit->songCell(2, 2), QStringLiteral("two"));
    child<QTableWidget>(edit, "songTable")->verticalHeader()->moveSection(6, 0);
    EXPECT_EQ(edit->songCell(1, 1), QStringLiteral(""));
    EXPECT_EQ(edit->songCell(1, 2), QStringLiteral("seven"));
    EXPECT_EQ(edit->songCell(2, 2), QStringLiteral("one"));
    edit->close();
}

TEST_F(EditFormTest, UndoRestoresTheAlbumAsOpened)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    trigger(window.get(), "editAlbum");
    child<QComboBox>(edit, "artistCombo")->setEditText(QStringLiteral("x"));
    child<QPlainTextEdit>(edit, "memoEdit")->setPlainText(QStringLiteral("y"));
    edit->setSongCell(50, 3, QStringLiteral("/z.mp3"));
    triggerAction(edit, "undoEditsAction");
    std::optional<AlbumRecord> back = edit->editedRecord();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, window->catalogue().albums().record(1));

    edit->setSuggestions({}, {}, {"choice one", "choice two"});
    // A right click on the memo's caption offers the choices.
    QTest::mouseClick(child<QLabel>(edit, "category3Caption"), Qt::RightButton);
    auto* choices = child<QMenu>(edit, "memoChoiceMenu");
    ASSERT_EQ(choices->actions().size(), 2);
    choices->actions()[1]->trigger();
    choices->hide();
    EXPECT_EQ(child<QPlainTextEdit>(edit, "memoEdit")->toPlainText(), QStringLiteral("choice two"));
    edit->close();
}

TEST_F(EditFormTest, ReadingSuggestions)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, sjis(u"やまだ")}, {FuriganaColumn, sjis(u"ヤマダ")}}) + "\r\n";
    file += dataLineWith({{ArtistColumn, sjis(u"やまだ")}, {FuriganaColumn, "YAMADA"}}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "the band"}, {FuriganaColumn, "band"}}) + "\r\n";
    openEditor(file);
    trigger(window.get(), "editAlbum");
    child<PickBox>(edit, "readingCombo")->onDropDown();
    QStringList entries;
    for (int i = 0; i < child<QComboBox>(edit, "readingCombo")->count(); ++i) {
        entries << child<QComboBox>(edit, "readingCombo")->itemText(i);
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("やまだ"), QStringLiteral("ヤマダ"),
                                    QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("YAMADA")}));

    child<QComboBox>(edit, "artistCombo")->setEditText(QStringLiteral("the band"));
    child<PickBox>(edit, "readingCombo")->onDropDown();
    entries.clear();
    for (int i = 0; i < child<QComboBox>(edit, "readingCombo")->count(); ++i) {
        entries << child<QComboBox>(edit, "readingCombo")->itemText(i);
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("the band"), QStringLiteral("ｔｈｅ　ｂａｎｄ"),
                                    QStringLiteral("band"), QStringLiteral("ｂａｎｄ")}));

    QTest::mouseClick(child<QLabel>(edit, "readingLabel"), Qt::LeftButton);
    EXPECT_EQ(child<QComboBox>(edit, "readingCombo")->currentText(), QStringLiteral("the band"));
    edit->close();
}

TEST_F(EditFormTest, EscapeKeepsTheDialogAndItsText)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    trigger(window.get(), "editAlbum");
    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("打ちかけ"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(child<QLineEdit>(edit, "titleEdit"), Qt::Key_Escape);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(child<QLineEdit>(edit, "titleEdit")->text(), QStringLiteral("打ちかけ"));
    clickButton(edit, "closeButton");
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(EditFormTest, WebSearchOnAFirstRunAndWithNothingToSearch)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    trigger(window.get(), "editAlbum");
    // The user opens the site list: it is filled again.
    child<PickBox>(edit, "webSearchBox")->onDropDown();
    child<QComboBox>(edit, "webSearchBox")->setCurrentIndex(0);
    // No settings file: artist and album title are chosen.
    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("title"));
    clickButton(edit, "webSearchButton");
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].toString(QUrl::FullyEncoded).endsWith(QStringLiteral("q=artist%20title%20")));

    // Nothing chosen, or nothing in the chosen fields: a message, no browser.
    test::changeSettings(*window, [&](store::AppSettings& s) { s.internetChecks = {}; });
    prompter.expectMessage(Kind::Information);
    clickButton(edit, "webSearchButton");
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("右クリック")));
    test::changeSettings(*window, [&](store::AppSettings& s) {
        s.internetChecks = {false, false, false, true, false, false};
    });
    child<QComboBox>(edit, "genreCombo")->setEditText(QString());
    prompter.expectMessage(Kind::Information);
    clickButton(edit, "webSearchButton");
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(EditFormTest, WebSearchOpensTheSiteWithTheChosenFields)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    trigger(window.get(), "editAlbum");
    // The user opens the site list: it is filled again.
    child<PickBox>(edit, "webSearchBox")->onDropDown();
    EXPECT_EQ(child<QComboBox>(edit, "webSearchBox")->count(), 3);
    EXPECT_EQ(child<QComboBox>(edit, "webSearchBox")->currentIndex(), -1)
        << "refilled: the remembered (empty) text matches nothing";
    clickButton(edit, "webSearchButton");
    EXPECT_TRUE(shell.opened.empty()) << "no site chosen: nothing opens";

    test::changeSettings(
        *window, [&](store::AppSettings& s) { s.internetChecks = {true, true, false, false, false, false}; });
    child<QComboBox>(edit, "webSearchBox")->setCurrentIndex(0);
    child<QLineEdit>(edit, "titleEdit")->setText(QStringLiteral("Rock & Roll"));
    clickButton(edit, "webSearchButton");
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(
        shell.opened[0].toString(QUrl::FullyEncoded),
        QStringLiteral("http://www.google.co.jp/search?num=50&lr=lang_ja&q=artist%20Rock%20%26%20Roll%20"));

    // The song of the current row and only the selected memo text.
    test::changeSettings(
        *window, [&](store::AppSettings& s) { s.internetChecks = {false, false, true, false, false, true}; });
    edit->setCurrentCell(2, 1);
    child<QPlainTextEdit>(edit, "memoEdit")->setPlainText(QStringLiteral("first line\nsecond"));
    QTextCursor cursor = child<QPlainTextEdit>(edit, "memoEdit")->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    child<QPlainTextEdit>(edit, "memoEdit")->setTextCursor(cursor);
    child<QComboBox>(edit, "webSearchBox")->setCurrentIndex(2);
    clickButton(edit, "webSearchButton");
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_TRUE(
        shell.opened[1]
            .toString(QUrl::FullyEncoded)
            .endsWith(QStringLiteral("entry=two%20first%20&GOODS_SORT_CD=101&SEARCH_GENRE=ALL&x=16&y=10")))
        << shell.opened[1].toString(QUrl::FullyEncoded).toStdString();

    // Sites removed since the box was filled: no search until it is refilled.
    test::changeLists(*window, [&](store::ListFiles& l) { l.siteNames.pop_back(); });
    test::changeLists(*window, [&](store::ListFiles& l) { l.siteHeads.pop_back(); });
    test::changeLists(*window, [&](store::ListFiles& l) { l.siteTails.pop_back(); });
    child<QComboBox>(edit, "webSearchBox")->setCurrentIndex(0);
    clickButton(edit, "webSearchButton");
    EXPECT_EQ(shell.opened.size(), 2u);
    // The user opens the site list: it is filled again.
    child<PickBox>(edit, "webSearchBox")->onDropDown();
    child<QComboBox>(edit, "webSearchBox")->setCurrentIndex(1);
    clickButton(edit, "webSearchButton");
    ASSERT_EQ(shell.opened.size(), 3u);
    EXPECT_TRUE(
        shell.opened[2].toString(QUrl::FullyEncoded).endsWith(QStringLiteral("keyword=two%20first%20")))
        << "an empty tail adds nothing";

    // The items menu switches a flag.
    auto* items = child<QMenu>(edit, "searchItemMenu");
    items->popup(edit->mapToGlobal(QPoint(0, 0)));
    ASSERT_EQ(items->actions().size(), 6);
    EXPECT_EQ(items->actions()[2]->text(), QStringLiteral("選択曲名(&3)"));
    EXPECT_TRUE(items->actions()[2]->isChecked());
    items->actions()[0]->trigger();
    items->hide();
    EXPECT_TRUE(window->catalogue().settings().internetChecks[0]);
    edit->close();
}

// The dialog alone, on its own table, settings and device: what it sends
// back is the record the fields hold.
TEST(EditDialogAloneTest, ChangeAndAddSendTheRecordAndChangeNeedsASelectedAlbum)
{
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    test::FakeMediaDevice device;
    AlbumTable albums;
    AppSettings settings;
    ListFiles lists;
    bool selected = false;
    AlbumEditDialog::Requests requests;
    requests.albumSelected = [&] { return selected; };
    AlbumEditDialog dialog({prompter, shell, device, albums, settings, lists}, requests);
    std::vector<AlbumRecord> changed;
    std::vector<AlbumRecord> added;
    QObject::connect(&dialog, &AlbumEditDialog::changeRequested,
                     [&](const AlbumRecord& album) { changed.push_back(album); });
    QObject::connect(&dialog, &AlbumEditDialog::addRequested,
                     [&](const AlbumRecord& album) { added.push_back(album); });
    AlbumRecord record;
    record[ArtistColumn] = "artist";
    record[AlbumColumn] = "title";
    record[songTitleColumn(1)] = "one";
    record[mediaColumn(2)] = "CD123";

    dialog.loadAlbum(record);
    dialog.show();
    child<QLineEdit>(&dialog, "titleEdit")->setText(QStringLiteral("new title"));
    prompter.expectMessage(Kind::Information);
    clickButton(&dialog, "changeAlbumButton");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムが選択されていません"));
    EXPECT_TRUE(changed.empty());
    EXPECT_TRUE(dialog.isVisible());

    selected = true;
    clickButton(&dialog, "changeAlbumButton");
    ASSERT_EQ(changed.size(), 1u);
    AlbumRecord expected = record;
    expected[AlbumColumn] = "new title";
    EXPECT_EQ(changed[0], expected);
    EXPECT_FALSE(dialog.isVisible());

    // Nothing selected: 追加 asks nothing and sends the album.
    selected = false;
    dialog.loadAlbum(record);
    dialog.show();
    clickButton(&dialog, "addAlbumButton");
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0], record);
    EXPECT_TRUE(prompter.allAnswered());
}

// The suggestion lists go back to the list files at every save: their
// lines keep their bytes, duplicate codes too.
TEST(EditDialogAloneTest, SuggestionListsComeBackByteForByte)
{
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    test::FakeMediaDevice device;
    AlbumTable albums;
    AppSettings settings;
    ListFiles lists;
    AlbumEditDialog dialog({prompter, shell, device, albums, settings, lists}, {});
    const std::vector<std::string> genres = {"\x87\x90", "rock"};  // the NEC form of ≒
    const std::vector<std::string> media = {"CD", "\xed\x40"};     // an NEC-selected IBM kanji
    dialog.setSuggestions(genres, media, {"\x87\x90 memo"});
    EXPECT_EQ(child<QComboBox>(&dialog, "genreCombo")->itemText(0), QStringLiteral("≒"));
    EXPECT_EQ(dialog.genreSuggestions(), genres);
    EXPECT_EQ(dialog.mediaSuggestions(), media);
    EXPECT_EQ(dialog.memoChoices(), std::vector<std::string>{"\x87\x90 memo"});
}

}  // namespace
}  // namespace velmora::ui
