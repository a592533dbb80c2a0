// Registering the disc in the CD drive and finding its album, from the
// main window's menus and the edit dialog, on a fake drive and on a real
// disc image.
#include <QAction>
#include <QItemSelectionModel>
#include <QTableWidget>

#include "editing/tedit_form.h"
#include "gst_media.h"
#include "mainwindow/list_views.h"
#include "media/audio_cd.h"
#include "support/audio_files.h"
#include "ui/mainwindow/main_window_fixture.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

using test::msf;

class CdTest : public MainWindowTest {
protected:
    void start(const std::vector<std::string>& albums)
    {
        std::string file = test::dataLineWith({}) + "\r\n";
        for (const std::string& line : albums) {
            file += line + "\r\n";
        }
        writeBytes(dataFile(), file);
        window = open();
        window->Settings.cdDrive = 0;
    }
    void selectAlbum(int row)
    {
        window->AlbumListView->selectionModel()->clear();
        window->selectListRow(row, true);
    }
    void trigger(const char* key) { window->menuAction(QString::fromUtf8(key))->trigger(); }

    std::unique_ptr<TForm1> window;
};

std::string withMedia(std::string_view artist, std::initializer_list<std::string_view> media)
{
    AlbumRecord record;
    record[ArtistColumn] = std::string(artist);
    record[AlbumColumn] = "t";
    record[FuriganaColumn] = std::string(artist);
    int song = 1;
    for (std::string_view cell : media) {
        record[mediaColumn(song++)] = std::string(cell);
    }
    std::string line;
    for (int c = 0; c < kColumnCount; ++c) {
        line += (c > 0 ? "<>" : "") + record[c];
    }
    return line;
}

TEST_F(CdTest, RegisteringFromTheMenusWritesTheDiscsReferencesIntoTheSelectedAlbum)
{
    media.disc = {msf(4, 5, 10), msf(2, 0, 0)};
    start({withMedia("a", {}), withMedia("b", {"/x1.mp3", "/x2.mp3", "/x3.mp3"})});
    window->DataGrid.setCell(songTitleColumn(1), 2, "title1");

    // Nothing selected.
    window->AlbumListView->selectionModel()->clear();
    prompter.expectMessage(Kind::Information);
    trigger("クイック編集 (&Q)/CDドライブの音楽CDを登録(&C)");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムを選択してください"));

    selectAlbum(1);
    prompter.answerConfirm(false);
    trigger("MainPopupMenu/CDドライブの音楽CDを登録(&C)");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("b/t にCDを登録しますか？"));
    EXPECT_EQ(window->DataGrid.cell(mediaColumn(1), 2), "/x1.mp3");

    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);  // read
    prompter.expectMessage(Kind::Information);  // album changed
    trigger("EditBtn/音楽CDを登録");
    EXPECT_EQ(window->DataGrid.cell(mediaColumn(1), 2), "CD656644");
    EXPECT_EQ(window->DataGrid.cell(mediaColumn(2), 2), "CD" + std::to_string(2));
    EXPECT_EQ(window->DataGrid.cell(mediaColumn(3), 2), "/x3.mp3");
    EXPECT_EQ(window->DataGrid.cell(songTitleColumn(1), 2), "title1");
    EXPECT_EQ(window->DataGrid.cell(mediaColumn(1), 1), "");
    // Both devices are closed and back on auto-select.
    EXPECT_FALSE(window->playerDevice().isOpen());
    EXPECT_EQ(window->playerDevice().deviceType(), media::DeviceType::AutoSelect);
}

TEST_F(CdTest, UnreadableDiscStoresTheAlbumUnchangedAndLookupSaysSo)
{
    start({withMedia("a", {"/keep.mp3"})});
    selectAlbum(0);
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    prompter.expectMessage(Kind::Information);
    window->registerDiscToAlbum();
    EXPECT_EQ(prompter.asked().at(prompter.asked().size() - 2).text, QStringLiteral("読み込めません"));
    EXPECT_EQ(window->DataGrid.cell(mediaColumn(1), 1), "/keep.mp3");

    prompter.expectMessage(Kind::Information);
    EXPECT_EQ(window->findDiscAlbum(false), -1);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("読み取れません"));
    EXPECT_EQ(window->findDiscAlbum(true), -1);  // quiet: no message
    EXPECT_FALSE(window->MediaPlayer1().isOpen());
}

TEST_F(CdTest, LookupSelectsTheHighestMatchAndShowsAllAlbumsWhenNeeded)
{
    media.disc = {msf(3, 0, 0), msf(1, 0, 1)};
    const std::string r1 = media::cdReference(3);
    const std::string r2 = media::cdReference(1 + 1 * 65536);
    start({withMedia("a", {r1, r2}), withMedia("b", {r1}), withMedia("c", {r1, r2, "/more.mp3"}),
           withMedia("d", {})});
    // The list shows album 4 only.
    showInOrder(*window, {4});
    EXPECT_EQ(window->findDiscAlbum(false), 3);
    EXPECT_TRUE(window->allAlbumsShown());
    EXPECT_EQ(window->selectedAlbum(), 3);
    EXPECT_EQ(window->selectedListRows().size(), 1u);

    // From the menu, with no match: the message, and nothing else changes.
    media.disc = {msf(5, 0, 0)};
    selectAlbum(1);
    prompter.expectMessage(Kind::Information);
    trigger("CDを検索(&E)");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("未登録です"));
    EXPECT_EQ(window->selectedAlbum(), 2);
    // Quiet and no match: 0, and every album shown.
    showInOrder(*window, {2});
    EXPECT_EQ(window->findDiscAlbum(true), 0);
    EXPECT_TRUE(window->allAlbumsShown());
}

TEST_F(CdTest, MissingDriveEndsTheCommandWithAnError)
{
    media.drives.clear();
    start({withMedia("a", {"/keep.mp3"})});
    selectAlbum(0);
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Error);
    window->registerDiscToAlbum();
    EXPECT_EQ(window->DataGrid.cell(mediaColumn(1), 1), "/keep.mp3");
    prompter.expectMessage(Kind::Error);
    EXPECT_EQ(window->findDiscAlbum(true), -2);
}

TEST_F(CdTest, EditDialogPutsTheReferencesIntoTheGridOnly)
{
    media.disc = {msf(0, 4, 0), msf(0, 5, 0)};
    start({withMedia("a", {"/1.mp3", "/2.mp3", "/3.mp3"})});
    selectAlbum(0);
    window->AlbumDataToListBox();
    TEditForm edit(*window, prompter);
    edit.EditDataSend(window->EditListBox);
    edit.setSongCell(1, 1, QStringLiteral("typed title"));
    prompter.expectMessage(Kind::Information);
    edit.CDEntryButtonClick();
    EXPECT_EQ(edit.songCell(1, 3), QString::fromStdString(media::cdReference(4 * 256)));
    EXPECT_EQ(edit.songCell(2, 3), QString::fromStdString(media::cdReference(5 * 256)));
    EXPECT_EQ(edit.songCell(3, 3), QStringLiteral("/3.mp3"));
    EXPECT_EQ(edit.songCell(1, 1), QStringLiteral("typed title"));
    // The buffer and the table are as they were.
    EXPECT_EQ(window->EditListBox[mediaColumn(1)], "/1.mp3");
    EXPECT_EQ(window->DataGrid.cell(mediaColumn(1), 1), "/1.mp3");
}

// The real engine: a CUE/BIN image named in VELMORA_CD_DEVICES.
TEST(CdImageTest, RegisterAndFindAnImageThroughTheRealDrivesList)
{
    test::TempDir dir;
    const auto cue = test::writeDiscImage(dir.path(), "disc", {msf(4, 5, 10), msf(0, 30, 0)});
    qputenv("VELMORA_CD_DEVICES", QByteArray::fromStdString(cue.string()));
    qputenv("VELMORA_AUDIO_SINK", "fakesink sync=true");
    media::GstMediaSystem system;
    test::writeBytes(dir / "VLM.dat",
                     test::dataLineWith({}) + "\r\n" + album("a") + "\r\n" + album("b") + "\r\n");
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    TForm1 window(
        {prompter, shell, store::DataFolder(dir.path()), QString::fromStdString(dir.path()), &system});
    const auto drives = system.cdDrives();
    ASSERT_FALSE(drives.empty());
    window.Settings.cdDrive = static_cast<int>(drives.size()) - 1;
    window.selectListRow(0, true);
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    prompter.expectMessage(Kind::Information);
    window.registerDiscToAlbum();
    EXPECT_EQ(window.DataGrid.cell(mediaColumn(1), 1), "CD656644");
    EXPECT_EQ(window.DataGrid.cell(mediaColumn(2), 1), "CD" + std::to_string(30 * 256));
    window.selectListRow(1, true);
    EXPECT_EQ(window.findDiscAlbum(false), 1);
    EXPECT_EQ(window.selectedAlbum(), 1);
    qunsetenv("VELMORA_CD_DEVICES");
    EXPECT_TRUE(prompter.allAnswered());
}

}  // namespace
}  // namespace velmora::ui
