// The album edit dialog over a real main window.
#include "editing/tedit_form.h"

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

#include "platform/shell.h"

#include "mainwindow/list_views.h"
#include "text/cp932.h"
#include "ui/mainwindow/main_window_fixture.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

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
        edit = std::make_unique<TEditForm>(*window, prompter);
        window->showEditDialog = [this] {
            edit->EditDataSend(window->EditListBox);
            edit->show();
        };
    }
    void selectAlbum(int row)
    {
        window->AlbumListView->selectionModel()->clear();
        window->selectListRow(row, true);
    }
    void press(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(target, &event);
    }
    std::unique_ptr<TForm1> window;
    std::unique_ptr<TEditForm> edit;
};

std::string sampleAlbum()
{
    return dataLineWith({{ArtistColumn, "artist"},
                         {AlbumColumn, "title"},
                         {Memo1Column, "genre"},
                         {Memo3Column, "a{}{}b"},
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
    window->EditBtnClick();
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->windowTitle(), QStringLiteral("アルバム編集 - artist/title"));
    EXPECT_EQ(edit->ArtistEditComboBox->currentText(), QStringLiteral("artist"));
    EXPECT_EQ(edit->Artist2ComboBox->currentText(), QStringLiteral("reading"));
    EXPECT_EQ(edit->MemoEditMemo->toPlainText(), QStringLiteral("a\n\nb"));
    EXPECT_EQ(edit->songCell(2, 2), QStringLiteral("guest"));
    EXPECT_EQ(edit->songCell(3, 3), QStringLiteral("CD123"));
    std::optional<AlbumRecord> back = edit->EditDataReturn();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, window->DataGrid.record(1));

    // Bytes of duplicate codes survive an unchanged field.
    selectAlbum(1);
    window->EditBtnClick();
    back = edit->EditDataReturn();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ((*back)[ArtistColumn], "\x87\x90\xfd");
}

TEST_F(EditFormTest, ChangeAndAddFromTheKeyboard)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n" + album("other") + "\r\n");
    window->EditBtnClick();
    edit->AlbumEdit->setText(QStringLiteral("changed"));
    prompter.expectMessage(Kind::Information);
    press(edit->MemoEditMemo, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("artist / changed の情報を変更しました"));
    EXPECT_EQ(window->DataGrid.cell(AlbumColumn, 1), "changed");

    window->EditBtnClick();
    edit->AlbumEdit->setText(QStringLiteral("added"));
    prompter.answerConfirm(false);
    press(edit->GFilePassEdit, Qt::Key_Return, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("artist/reading　を追加しますか？"));
    EXPECT_TRUE(edit->isVisible()) << "cancel keeps the dialog open";
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    press(edit->SongGrid, Qt::Key_Insert);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("artist / addedを追加しました"));
    ASSERT_EQ(window->DataGrid.albumCount(), 3);
    EXPECT_EQ(window->DataGrid.cell(AlbumColumn, 1), "changed");
    EXPECT_EQ(window->DataGrid.cell(AlbumColumn, 2), "added");
    EXPECT_EQ(window->DataGrid.cell(ArtistColumn, 3), "other");

    // Plain Enter walks through the upper fields.
    window->EditBtnClick();
    press(edit->ArtistEditComboBox->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(edit->Artist2ComboBox->hasFocus() || QApplication::focusWidget() == nullptr ||
                edit->Artist2ComboBox->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == edit->Artist2ComboBox->lineEdit());
    edit->close();
}

TEST_F(EditFormTest, RefusesTextTheCatalogueCannotStore)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    const AlbumRecord before = window->DataGrid.record(1);
    window->EditBtnClick();

    edit->AlbumEdit->setText(QStringLiteral("a<>b"));
    prompter.expectMessage(Kind::Information);
    edit->AlbumChangeButtonClick();
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("アルバム: ")));
    EXPECT_TRUE(edit->isVisible());

    edit->AlbumEdit->setText(QStringLiteral("ok"));
    edit->MemoEditMemo->setPlainText(QStringLiteral("line\nwith {} braces"));
    prompter.expectMessage(Kind::Information);
    edit->AlbumChangeButtonClick();
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("2行目")));

    edit->MemoEditMemo->setPlainText(QStringLiteral("fine"));
    edit->setSongCell(4, 1, QString::fromUtf8("\xF0\x9F\x8E\xB8"));
    prompter.expectMessage(Kind::Information);
    edit->AlbumChangeButtonClick();
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("4曲目の曲名")));
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("U+1F3B8")));
    EXPECT_EQ(window->DataGrid.record(1), before);

    // The wave dash typed on Linux is stored as its CP932 twin.
    edit->setSongCell(4, 1, QString::fromUtf16(u"a\u301Cb"));
    prompter.expectMessage(Kind::Information);
    edit->AlbumChangeButtonClick();
    EXPECT_EQ(window->DataGrid.cell(songTitleColumn(4), 1),
              "a\x81\x60"
              "b");
}

TEST_F(EditFormTest, SongToolsAtTheEnds)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    window->EditBtnClick();
    for (int n = 1; n <= 7; ++n) {
        edit->setSongCell(n, 1, QStringLiteral("s%1").arg(n));
    }
    edit->setSongCell(99, 1, QStringLiteral("last"));
    edit->setCurrentCell(1, 1);
    edit->SongGridUpButtonClick();
    EXPECT_EQ(edit->songCell(1, 1), QStringLiteral("s1"));
    edit->setCurrentCell(99, 1);
    edit->SongGridDownButtonClick();
    EXPECT_EQ(edit->songCell(99, 1), QStringLiteral("last"));

    edit->setCurrentCell(5, 1);
    edit->SongGridDeleteButtonClick();
    EXPECT_EQ(edit->songCell(5, 1), QStringLiteral("s6"));
    EXPECT_EQ(edit->songCell(6, 1), QStringLiteral("s7"));
    EXPECT_EQ(edit->songCell(98, 1), QStringLiteral("last"));
    EXPECT_EQ(edit->songCell(99, 1), QString());

    edit->setCurrentCell(2, 1);
    edit->SongGridAddButtonClick();
    EXPECT_EQ(edit->songCell(2, 1), QString());
    EXPECT_EQ(edit->songCell(3, 1), QStringLiteral("s2"));
    EXPECT_EQ(edit->songCell(99, 1), QStringLiteral("last"));
    edit->SongGridAddButtonClick();
    EXPECT_EQ(edit->songCell(99, 1), QString()) << "the 99th song is dropped";

    edit->setCurrentCell(1, 1);
    edit->SongGridDownButtonClick();
    EXPECT_EQ(edit->currentSongRow(), 2);
    EXPECT_EQ(edit->songCell(2, 1), QStringLiteral("s1"));
    EXPECT_EQ(edit->songCell(1, 1), QString());
    edit->SongGridUpButtonClick();
    EXPECT_EQ(edit->currentSongRow(), 1);
    EXPECT_EQ(edit->songCell(1, 1), QStringLiteral("s1"));
    edit->setCurrentCell(3, 1);

    prompter.answerText(QStringLiteral("/music/x.mp3"), Kind::OpenFile);
    edit->SongGridFileSeachButtonClick();
    EXPECT_EQ(edit->songCell(3, 3), QStringLiteral("/music/x.mp3"));
    EXPECT_FALSE(edit->MediaPanel->isHidden());
    EXPECT_EQ(edit->MediaNameLabel->text(), QStringLiteral("/music/x.mp3"));
    edit->setCurrentCell(3, 1);
    EXPECT_TRUE(edit->MediaPanel->isHidden());
    edit->close();
}

TEST_F(EditFormTest, DraggedColumnsChangeTheirField)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    window->EditBtnClick();
    edit->SongGrid->horizontalHeader()->moveSection(0, 1);
    EXPECT_EQ(edit->SongGrid->horizontalHeader()->visualIndex(0), 0) << "headings stay in place";
    EXPECT_EQ(edit->songCell(2, 1), QStringLiteral("guest"));
    EXPECT_EQ(edit->songCell(2, 2), QStringLiteral("two"));
    edit->SongGrid->verticalHeader()->moveSection(6, 0);
    EXPECT_EQ(edit->songCell(1, 1), QStringLiteral(""));
    EXPECT_EQ(edit->songCell(1, 2), QStringLiteral("seven"));
    EXPECT_EQ(edit->songCell(2, 2), QStringLiteral("one"));
    edit->close();
}

TEST_F(EditFormTest, UndoRestoresTheAlbumAsOpened)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    window->EditBtnClick();
    edit->ArtistEditComboBox->setEditText(QStringLiteral("x"));
    edit->MemoEditMemo->setPlainText(QStringLiteral("y"));
    edit->setSongCell(50, 3, QStringLiteral("/z.mp3"));
    edit->undoEdits();
    std::optional<AlbumRecord> back = edit->EditDataReturn();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, window->DataGrid.record(1));

    edit->MemoChoices = {"choice one", "choice two"};
    edit->MemoPopupMenuPopup();
    ASSERT_EQ(edit->MemoPopupMenu->actions().size(), 2);
    edit->MemoPopupMenu->actions()[1]->trigger();
    EXPECT_EQ(edit->MemoEditMemo->toPlainText(), QStringLiteral("choice two"));
    edit->close();
}

TEST_F(EditFormTest, ReadingSuggestions)
{
    std::string file = dataLineWith({}) + "\r\n";
    file += dataLineWith({{ArtistColumn, sjis(u"やまだ")}, {FuriganaColumn, sjis(u"ヤマダ")}}) + "\r\n";
    file += dataLineWith({{ArtistColumn, sjis(u"やまだ")}, {FuriganaColumn, "YAMADA"}}) + "\r\n";
    file += dataLineWith({{ArtistColumn, "the band"}, {FuriganaColumn, "band"}}) + "\r\n";
    openEditor(file);
    window->EditBtnClick();
    edit->Artist2ComboBoxDropDown();
    QStringList entries;
    for (int i = 0; i < edit->Artist2ComboBox->count(); ++i) {
        entries << edit->Artist2ComboBox->itemText(i);
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("やまだ"), QStringLiteral("ヤマダ"),
                                    QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("YAMADA")}));

    edit->ArtistEditComboBox->setEditText(QStringLiteral("the band"));
    edit->Artist2ComboBoxDropDown();
    entries.clear();
    for (int i = 0; i < edit->Artist2ComboBox->count(); ++i) {
        entries << edit->Artist2ComboBox->itemText(i);
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("the band"), QStringLiteral("ｔｈｅ　ｂａｎｄ"),
                                    QStringLiteral("band"), QStringLiteral("ｂａｎｄ")}));

    edit->copyArtistToSongArtist();
    EXPECT_EQ(edit->Artist2ComboBox->currentText(), QStringLiteral("the band"));
    edit->close();
}

TEST_F(EditFormTest, EscapeKeepsTheDialogAndItsText)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    window->EditBtnClick();
    edit->AlbumEdit->setText(QStringLiteral("打ちかけ"));
    QTest::keyClick(edit.get(), Qt::Key_Escape);
    QTest::keyClick(edit->AlbumEdit, Qt::Key_Escape);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->AlbumEdit->text(), QStringLiteral("打ちかけ"));
    edit->closeDialog();
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(EditFormTest, WebSearchOnAFirstRunAndWithNothingToSearch)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    window->EditBtnClick();
    edit->InternetSerchBoxDropDown();
    edit->InternetSerchBox->setCurrentIndex(0);
    // No settings file: artist and album title are chosen.
    edit->AlbumEdit->setText(QStringLiteral("title"));
    edit->InternetSerchButtonClick();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].toString(QUrl::FullyEncoded).endsWith(QStringLiteral("q=artist%20title%20")));

    // Nothing chosen, or nothing in the chosen fields: a message, no browser.
    window->Settings.internetChecks = {};
    prompter.expectMessage(Kind::Information);
    edit->InternetSerchButtonClick();
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("右クリック")));
    window->Settings.internetChecks = {false, false, false, true, false, false};
    edit->janruBox->setEditText(QString());
    prompter.expectMessage(Kind::Information);
    edit->InternetSerchButtonClick();
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(EditFormTest, WebSearchOpensTheSiteWithTheChosenFields)
{
    openEditor(dataLineWith({}) + "\r\n" + sampleAlbum() + "\r\n");
    window->EditBtnClick();
    edit->InternetSerchBoxDropDown();
    edit->FormShow();
    EXPECT_EQ(edit->InternetSerchBox->count(), 3);
    EXPECT_EQ(edit->InternetSerchBox->currentIndex(), -1)
        << "refilled: the remembered (empty) text matches nothing";
    edit->InternetSerchButtonClick();
    EXPECT_TRUE(shell.opened.empty()) << "no site chosen: nothing opens";

    window->Settings.internetChecks = {true, true, false, false, false, false};
    edit->InternetSerchBox->setCurrentIndex(0);
    edit->AlbumEdit->setText(QStringLiteral("Rock & Roll"));
    edit->InternetSerchButtonClick();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(
        shell.opened[0].toString(QUrl::FullyEncoded),
        QStringLiteral("http://www.google.co.jp/search?num=50&lr=lang_ja&q=artist%20Rock%20%26%20Roll%20"));

    // The song of the current row and only the selected memo text.
    window->Settings.internetChecks = {false, false, true, false, false, true};
    edit->setCurrentCell(2, 1);
    edit->MemoEditMemo->setPlainText(QStringLiteral("first line\nsecond"));
    QTextCursor cursor = edit->MemoEditMemo->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    edit->MemoEditMemo->setTextCursor(cursor);
    edit->InternetSerchBox->setCurrentIndex(2);
    edit->InternetSerchButtonClick();
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_TRUE(
        shell.opened[1]
            .toString(QUrl::FullyEncoded)
            .endsWith(QStringLiteral("entry=two%20first%20&GOODS_SORT_CD=101&SEARCH_GENRE=ALL&x=16&y=10")))
        << shell.opened[1].toString(QUrl::FullyEncoded).toStdString();

    // Sites removed since the box was filled: no search until it is refilled.
    window->Lists.siteNames.pop_back();
    window->Lists.siteHeads.pop_back();
    window->Lists.siteTails.pop_back();
    edit->InternetSerchBox->setCurrentIndex(0);
    edit->InternetSerchButtonClick();
    EXPECT_EQ(shell.opened.size(), 2u);
    edit->InternetSerchBoxDropDown();
    edit->InternetSerchBox->setCurrentIndex(1);
    edit->InternetSerchButtonClick();
    ASSERT_EQ(shell.opened.size(), 3u);
    EXPECT_TRUE(
        shell.opened[2].toString(QUrl::FullyEncoded).endsWith(QStringLiteral("keyword=two%20first%20")))
        << "an empty tail adds nothing";

    // The items menu switches a flag.
    window->fillSearchItemMenu(edit->SearchItemMenu);
    ASSERT_EQ(edit->SearchItemMenu->actions().size(), 6);
    EXPECT_EQ(edit->SearchItemMenu->actions()[2]->text(), QStringLiteral("選択曲名"));
    EXPECT_TRUE(edit->SearchItemMenu->actions()[2]->isChecked());
    edit->SearchItemMenu->actions()[0]->trigger();
    EXPECT_TRUE(window->Settings.internetChecks[0]);
    edit->close();
}

}  // namespace
}  // namespace velmora::ui
