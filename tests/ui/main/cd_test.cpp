// Registering the disc in the CD drive and finding its album, from the
// main window's menus and the edit dialog, on a fake drive and on a real
// disc image; album data for the disc from MusicBrainz (a local server).
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "core/discdata/disc_id.h"
#include "support/local_http_server.h"
#include "support/musicbrainz_answers.h"
#include "support/sjis.h"
#include "support/widget_lookup.h"
#include "ui/discdata/disc_album_lookup.h"

#include "backends/gst_media.h"
#include "core/media/audio_cd.h"
#include "support/audio_files.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window_fixture.h"
#include "ui/widgets/list_views.h"

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
        window->appSettings.cdDrive = 0;
    }
    void selectAlbum(int row)
    {
        window->albumView->selectionModel()->clear();
        window->selectListRow(row, true);
    }
    void trigger(const char* key) { window->menuAction(QString::fromUtf8(key))->trigger(); }

    std::unique_ptr<MainWindow> window;
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
    window->albumTable.setCell(songTitleColumn(1), 2, "title1");

    // Nothing selected.
    window->albumView->selectionModel()->clear();
    prompter.expectMessage(Kind::Information);
    trigger("クイック編集 (&Q)/CDドライブの音楽CDを登録(&C)");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムを選択してください"));

    selectAlbum(1);
    prompter.answerConfirm(false);
    trigger("MainPopupMenu/CDドライブの音楽CDを登録(&C)");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("b/t にCDを登録しますか？"));
    EXPECT_EQ(window->albumTable.cell(mediaColumn(1), 2), "/x1.mp3");

    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);  // read
    prompter.expectMessage(Kind::Information);  // album changed
    trigger("EditBtn/音楽CDを登録");
    EXPECT_EQ(window->albumTable.cell(mediaColumn(1), 2), "CD656644");
    EXPECT_EQ(window->albumTable.cell(mediaColumn(2), 2), "CD" + std::to_string(2));
    EXPECT_EQ(window->albumTable.cell(mediaColumn(3), 2), "/x3.mp3");
    EXPECT_EQ(window->albumTable.cell(songTitleColumn(1), 2), "title1");
    EXPECT_EQ(window->albumTable.cell(mediaColumn(1), 1), "");
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
    EXPECT_EQ(window->albumTable.cell(mediaColumn(1), 1), "/keep.mp3");

    prompter.expectMessage(Kind::Information);
    EXPECT_EQ(window->findDiscAlbum(false), -1);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("読み取れません"));
    EXPECT_EQ(window->findDiscAlbum(true), -1);  // quiet: no message
    EXPECT_FALSE(window->previewDevice().isOpen());
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

    // From the menu, with no match: the message, and nothing else changes
    // when the user does not look the disc up.
    media.disc = {msf(5, 0, 0)};
    selectAlbum(1);
    prompter.answerAction(false);
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
    EXPECT_EQ(window->albumTable.cell(mediaColumn(1), 1), "/keep.mp3");
    prompter.expectMessage(Kind::Error);
    EXPECT_EQ(window->findDiscAlbum(true), -2);
}

TEST_F(CdTest, EditDialogPutsTheReferencesIntoTheGridOnly)
{
    media.disc = {msf(0, 4, 0), msf(0, 5, 0)};
    start({withMedia("a", {"/1.mp3", "/2.mp3", "/3.mp3"})});
    selectAlbum(0);
    window->createDialogs();
    window->editSelectedAlbum();
    AlbumEditDialog& edit = *window->editForm();
    edit.setSongCell(1, 1, QStringLiteral("typed title"));
    prompter.answerAction(false);
    test::clickButton(&edit, "discButton");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("読み込み完了しました。"));
    EXPECT_EQ(edit.songCell(1, 3), QString::fromStdString(media::cdReference(4 * 256)));
    EXPECT_EQ(edit.songCell(2, 3), QString::fromStdString(media::cdReference(5 * 256)));
    EXPECT_EQ(edit.songCell(3, 3), QStringLiteral("/3.mp3"));
    EXPECT_EQ(edit.songCell(1, 1), QStringLiteral("typed title"));
    // The buffer and the table are as they were.
    EXPECT_EQ(window->editedAlbum[mediaColumn(1)], "/1.mp3");
    EXPECT_EQ(window->albumTable.cell(mediaColumn(1), 1), "/1.mp3");
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
    MainWindow window(
        {prompter, shell, store::DataFolder(dir.path()), QString::fromStdString(dir.path()), &system});
    const auto drives = system.cdDrives();
    ASSERT_FALSE(drives.empty());
    window.appSettings.cdDrive = static_cast<int>(drives.size()) - 1;
    window.selectListRow(0, true);
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    prompter.expectMessage(Kind::Information);
    window.registerDiscToAlbum();
    EXPECT_EQ(window.albumTable.cell(mediaColumn(1), 1), "CD656644");
    EXPECT_EQ(window.albumTable.cell(mediaColumn(2), 1), "CD" + std::to_string(30 * 256));
    window.selectListRow(1, true);
    EXPECT_EQ(window.findDiscAlbum(false), 1);
    EXPECT_EQ(window.selectedAlbum(), 1);
    qunsetenv("VELMORA_CD_DEVICES");
    EXPECT_TRUE(prompter.allAnswered());
}

QByteArray coverImage()
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

class MusicBrainzCdTest : public CdTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listening());
        media.disc = {msf(4, 5, 10), msf(3, 0, 0), msf(0, 30, 1)};
        discId = QString::fromStdString(
            discdata::computeDiscIds(discdata::discTableFromLengths(media.disc))->musicBrainz);
        discPath = "/ws/2/discid/" + discId.toLatin1();
        coverPath = "/release/" + kRelease.toLatin1() + "/front-500";
    }
    void startWindow()
    {
        start({withMedia("a", {"/a1.mp3"}), withMedia("b", {})});
        window->appSettings.musicBrainzServer = server.address().toStdString();
        window->appSettings.coverServer = server.address().toStdString();
        window->createDialogs();
        // Counted; shown only by the tests that look at the dialog.
        window->showEditDialog = [this, show = window->showEditDialog] {
            ++editDialogShown;
            if (edit != nullptr) {
                show();
            }
        };
    }
    test::MbRelease release(const QString& id, const QString& title, std::vector<test::MbTrack> tracks,
                            const QString& disc)
    {
        return {id,
                title,
                {{QStringLiteral("バンド"), QString()}},
                QStringLiteral("2001-02-03"),
                QStringLiteral("JP"),
                {{QStringLiteral("Label"), QStringLiteral("CAT-1")}},
                {{{disc}, std::move(tracks)}}};
    }
    std::vector<test::MbTrack> tracks()
    {
        return {{QStringLiteral("一曲目"), {}},
                {QStringLiteral("A<>B"), {{QStringLiteral("Guest"), QString()}}},
                {QStringLiteral("三曲目"), {}}};
    }
    void serveOneRelease()
    {
        server.answerJson(
            discPath,
            test::mbDiscAnswer(discId, {release(kRelease, QStringLiteral("アルバム"), tracks(), discId)}));
        server.answer(coverPath,
                      {307, {}, {{"Location", (server.address() + "/img/front.jpg").toLatin1()}}, false});
        server.answer("/img/front.jpg", {200, jpeg, {{"Content-Type", "image/jpeg"}}, false});
    }

    const QString kRelease = QStringLiteral("3f1c2d4e-0000-4000-8000-000000000001");
    const QByteArray jpeg = coverImage();
    test::LocalHttpServer server;
    QString discId;
    QByteArray discPath;
    QByteArray coverPath;
    int editDialogShown = 0;
    AlbumEditDialog* edit = nullptr;
};

TEST_F(MusicBrainzCdTest, AnUnregisteredDiscOpensTheEditDialogOnANewFilledAlbum)
{
    serveOneRelease();
    startWindow();
    edit = window->editForm();
    selectAlbum(0);
    prompter.answerAction(true);
    trigger("CDを検索(&E)");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("未登録です"));
    ASSERT_EQ(editDialogShown, 1);
    // Nothing is stored yet, and no album is selected for 変更 to overwrite.
    EXPECT_EQ(window->albumTable.albumCount(), 2);
    EXPECT_EQ(window->selectedAlbum(), 0);
    EXPECT_EQ(test::child<QComboBox>(edit, "artistCombo")->currentText(), QStringLiteral("バンド"));
    EXPECT_EQ(test::child<QLineEdit>(edit, "titleEdit")->text(), QStringLiteral("アルバム"));
    EXPECT_EQ(edit->songCell(1, 1), QStringLiteral("一曲目"));
    EXPECT_EQ(edit->songCell(2, 1), QStringLiteral("A＜＞B"));
    EXPECT_EQ(edit->songCell(2, 2), QStringLiteral("Guest"));
    EXPECT_EQ(edit->songCell(1, 2), QString());
    EXPECT_EQ(edit->songCell(1, 3), QStringLiteral("CD656644"));
    const std::filesystem::path cover = dir / ("covers/" + kRelease.toStdString() + ".jpg");
    EXPECT_EQ(readBytes(cover), jpeg.toStdString());
    EXPECT_EQ(window->editedAlbum[ImagePathColumn], std::filesystem::absolute(cover).string());

    // 追加 stores it as a new album, found as the disc's album from then on.
    prompter.expectMessage(Kind::Information);
    test::clickButton(edit, "addAlbumButton");
    ASSERT_EQ(window->albumTable.albumCount(), 3);
    EXPECT_EQ(window->albumTable.cell(AlbumColumn, 3), test::sj("アルバム"));
    EXPECT_EQ(window->albumTable.cell(songTitleColumn(2), 3), test::sj("A＜＞B"));
    EXPECT_EQ(window->albumTable.cell(mediaColumn(3), 3), "CD" + std::to_string(30 * 256 + 65536));
    EXPECT_EQ(window->findDiscAlbum(true), 3);
}

TEST_F(MusicBrainzCdTest, SeveralReleasesAreOfferedAsAList)
{
    test::MbRelease other = release(QStringLiteral("3f1c2d4e-0000-4000-8000-000000000002"),
                                    QStringLiteral("別盤"), test::mbTracks(3, QStringLiteral("別 ")), discId);
    other.labels.clear();
    server.answerJson(
        discPath,
        test::mbDiscAnswer(discId, {release(kRelease, QStringLiteral("アルバム"), tracks(), discId), other}));
    startWindow();

    prompter.answerAction(true);
    prompter.answerRow(std::nullopt);
    window->findDiscAlbum(false);
    EXPECT_EQ(editDialogShown, 0);
    ASSERT_EQ(prompter.lastRows.size(), 2u);
    EXPECT_EQ(prompter.lastRows[0],
              (QStringList{QStringLiteral("バンド"), QStringLiteral("アルバム"), QStringLiteral("2001-02-03"),
                           QStringLiteral("JP"), QStringLiteral("Label / CAT-1"), QStringLiteral("3")}));
    EXPECT_EQ(prompter.lastRows[1][4], QString());

    prompter.answerAction(true);
    prompter.answerRow(1);
    window->findDiscAlbum(false);
    ASSERT_EQ(editDialogShown, 1);
    EXPECT_EQ(window->editedAlbum[AlbumColumn], test::sj("別盤"));
    EXPECT_EQ(window->editedAlbum[songTitleColumn(3)], test::sj("別 3"));
    EXPECT_EQ(window->editedAlbum[ImagePathColumn], "");  // no cover: no message either
    EXPECT_EQ(window->albumTable.albumCount(), 2);
}

TEST_F(MusicBrainzCdTest, UnknownDiscsOfferTheSubmissionPageAndFailuresSaySo)
{
    startWindow();
    prompter.answerAction(true);
    prompter.answerAction(true);
    window->findDiscAlbum(false);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("MusicBrainzに登録されていません"));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].toString().startsWith(server.address() + QStringLiteral("/cdtoc/attach?id=") +
                                                      discId))
        << shell.opened[0].toString().toStdString();

    server.answer(discPath, {503, "busy", {{"Retry-After", "0"}}, false});
    prompter.answerAction(true);
    prompter.expectMessage(Kind::Error);
    window->findDiscAlbum(false);
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("MusicBrainzが混雑しています。しばらくしてからもう一度お試しください。"));
    EXPECT_EQ(editDialogShown, 0);
    EXPECT_EQ(window->albumTable.albumCount(), 2);
}

TEST_F(MusicBrainzCdTest, TheProgressBoxCancelsAServerThatNeverAnswers)
{
    server.answer(discPath, {200, {}, {}, true});
    startWindow();
    bool sawProgress = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* progress = window->findChild<QProgressDialog*>(QLatin1String(DiscAlbumLookup::kProgressName));
        if (progress != nullptr && progress->isVisible() && !sawProgress) {
            sawProgress = true;
            // The user presses キャンセル.
            QPushButton* cancel = progress->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル"));
            cancel->click();
        }
    });
    poll.start(100);
    prompter.answerAction(true);
    window->findDiscAlbum(false);
    poll.stop();
    EXPECT_TRUE(sawProgress);
    EXPECT_EQ(editDialogShown, 0);
    EXPECT_EQ(window->albumTable.albumCount(), 2);
}

TEST_F(MusicBrainzCdTest, EditDialogFillsEmptyTitlesAndAsksBeforeReplacingTypedOnes)
{
    serveOneRelease();
    startWindow();
    selectAlbum(1);
    edit = window->editForm();
    window->editSelectedAlbum();
    AlbumEditDialog& form = *edit;
    form.setSongCell(1, 1, QStringLiteral("typed title"));
    form.setSongCell(3, 1, QStringLiteral("三曲目"));  // the same as fetched: no conflict

    prompter.answerAction(true);
    prompter.answerYesNo(false);
    test::clickButton(&form, "discButton");
    // Artist "b", album "t" and title 1 differ from the fetched ones.
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral(
                  "入力済みの3か所がMusicBrainzの内容と異なります。MusicBrainzの内容で置き換えますか？"));
    EXPECT_EQ(form.songCell(1, 1), QStringLiteral("typed title"));
    EXPECT_EQ(form.songCell(2, 1), QStringLiteral("A＜＞B"));
    EXPECT_EQ(form.songCell(2, 2), QStringLiteral("Guest"));
    EXPECT_EQ(form.songCell(1, 3), QStringLiteral("CD656644"));
    EXPECT_EQ(test::child<QComboBox>(&form, "artistCombo")->currentText(), QStringLiteral("b"));
    // The table is as it was until the dialog is applied.
    EXPECT_EQ(window->albumTable.cell(songTitleColumn(2), 2), "");

    prompter.answerAction(true);
    prompter.answerYesNo(true);
    test::clickButton(&form, "discButton");
    EXPECT_EQ(form.songCell(1, 1), QStringLiteral("一曲目"));
    EXPECT_EQ(test::child<QComboBox>(&form, "artistCombo")->currentText(), QStringLiteral("バンド"));
}
}  // namespace
}  // namespace velmora::ui
