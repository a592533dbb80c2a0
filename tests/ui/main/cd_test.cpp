// Registering the disc in the CD drive and finding its album, from the
// main window's menus and the edit dialog, on a fake drive and on a real
// disc image; album data for the disc from MusicBrainz (a local server).
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
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
#include "support/window_settings.h"
#include "ui/discdata/disc_album_lookup.h"

#include "backends/cd_drive.h"
#include "backends/gst_media.h"
#include "core/media/audio_cd.h"
#include "support/audio_files.h"
#include "support/disc_images.h"
#include "support/temp_dir.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window_fixture.h"

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
        test::changeSettings(*window, [](AppSettings& settings) { settings.cdDrive = 0; });
    }
    void selectAlbum(int row)
    {
        clearSelection(*window);
        window->selectListRow(row, true);
    }
    void run(const char* action) { trigger(window.get(), action); }

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
    ASSERT_TRUE(window->catalogue().setAlbumCell(2, songTitleColumn(1), "title1").ok());

    // Nothing selected.
    clearSelection(*window);
    prompter.expectMessage(Kind::Information);
    run("registerDisc");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムを選択してください"));

    selectAlbum(1);
    prompter.answerConfirm(false);
    run("registerDisc");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("b/t にCDを登録しますか？"));
    EXPECT_EQ(cell(*window, mediaColumn(1), 2), "/x1.mp3");

    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);  // read
    prompter.expectMessage(Kind::Information);  // album changed
    run("registerDisc");
    EXPECT_EQ(cell(*window, mediaColumn(1), 2), "CD656644");
    EXPECT_EQ(cell(*window, mediaColumn(2), 2), "CD" + std::to_string(2));
    EXPECT_EQ(cell(*window, mediaColumn(3), 2), "/x3.mp3");
    EXPECT_EQ(cell(*window, songTitleColumn(1), 2), "title1");
    EXPECT_EQ(cell(*window, mediaColumn(1), 1), "");
    // Both devices are closed and back on auto-select.
    ASSERT_FALSE(media.made.empty());
    for (test::FakeMediaDevice* device : media.made) {
        EXPECT_FALSE(device->isOpen());
        EXPECT_EQ(device->deviceType(), media::DeviceType::AutoSelect);
    }
}

TEST_F(CdTest, UnreadableDiscStoresTheAlbumUnchangedAndLookupSaysSo)
{
    start({withMedia("a", {"/keep.mp3"})});
    selectAlbum(0);
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    prompter.expectMessage(Kind::Information);
    run("registerDisc");
    EXPECT_EQ(prompter.asked().at(prompter.asked().size() - 2).text, QStringLiteral("読み込めません"));
    EXPECT_EQ(cell(*window, mediaColumn(1), 1), "/keep.mp3");

    prompter.expectMessage(Kind::Information);
    EXPECT_EQ(window->findDiscAlbum(false), -1);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("読み取れません"));
    EXPECT_EQ(window->findDiscAlbum(true), -1);  // quiet: no message
    for (test::FakeMediaDevice* device : media.made) {
        EXPECT_FALSE(device->isOpen()) << "the drive is released after the lookup";
    }
}

TEST_F(CdTest, LookupSelectsTheHighestMatchAndShowsAllAlbumsWhenNeeded)
{
    media.disc = {msf(3, 0, 0), msf(1, 0, 1)};
    const std::string r1 = media::cdReference(3);
    const std::string r2 = media::cdReference(1 + 1 * 65536);
    start({withMedia("a", {r1, r2}), withMedia("b", {r1}), withMedia("c", {r1, r2, "/more.mp3"}),
           withMedia("d", {})});
    // The list shows album 4 only.
    window->catalogue().showAlbums({4});
    EXPECT_EQ(window->findDiscAlbum(false), 3);
    EXPECT_TRUE(window->catalogue().allAlbumsShown());
    EXPECT_EQ(window->selectedAlbum(), 3);
    EXPECT_EQ(window->selectedListRows().size(), 1u);

    // From the menu, with no match: the message, and nothing else changes
    // when the user does not look the disc up.
    media.disc = {msf(5, 0, 0)};
    selectAlbum(1);
    prompter.answerAction(false);
    run("findDisc");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("未登録です"));
    EXPECT_EQ(window->selectedAlbum(), 2);
    // Quiet and no match: 0, and every album shown.
    window->catalogue().showAlbums({2});
    EXPECT_EQ(window->findDiscAlbum(true), 0);
    EXPECT_TRUE(window->catalogue().allAlbumsShown());
}

TEST_F(CdTest, MissingDriveEndsTheCommandWithAnError)
{
    media.drives.clear();
    start({withMedia("a", {"/keep.mp3"})});
    selectAlbum(0);
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Error);
    run("registerDisc");
    EXPECT_EQ(cell(*window, mediaColumn(1), 1), "/keep.mp3");
    prompter.expectMessage(Kind::Error);
    EXPECT_EQ(window->findDiscAlbum(true), -2);
}

// The edit dialog reads the disc through the window's devices.
TEST_F(CdTest, EditDialogPutsTheReferencesIntoTheGridOnly)
{
    media.disc = {msf(0, 4, 0), msf(0, 5, 0)};
    start({withMedia("a", {"/1.mp3", "/2.mp3", "/3.mp3"})});
    selectAlbum(0);
    run("editAlbum");
    AlbumEditDialog& edit = *window->findChild<AlbumEditDialog*>();
    edit.setSongCell(1, 1, QStringLiteral("typed title"));
    prompter.answerAction(false);
    test::clickButton(&edit, "discButton");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("読み込み完了しました。"));
    EXPECT_EQ(edit.songCell(1, 3), QString::fromStdString(media::cdReference(4 * 256)));
    EXPECT_EQ(edit.songCell(2, 3), QString::fromStdString(media::cdReference(5 * 256)));
    EXPECT_EQ(edit.songCell(3, 3), QStringLiteral("/3.mp3"));
    EXPECT_EQ(edit.songCell(1, 1), QStringLiteral("typed title"));
    // The buffer and the table are as they were.
    EXPECT_EQ(cell(*window, mediaColumn(1), 1), "/1.mp3");
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
    {
        AppSettings settings = window.catalogue().settings();
        settings.cdDrive = static_cast<int>(drives.size()) - 1;
        window.catalogue().setSettings(std::move(settings));
    }
    window.selectListRow(0, true);
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    prompter.expectMessage(Kind::Information);
    trigger(&window, "registerDisc");
    EXPECT_EQ(cell(window, mediaColumn(1), 1), "CD656644");
    EXPECT_EQ(cell(window, mediaColumn(2), 1), "CD" + std::to_string(30 * 256));
    window.selectListRow(1, true);
    EXPECT_EQ(window.findDiscAlbum(false), 1);
    EXPECT_EQ(window.selectedAlbum(), 1);
    qunsetenv("VELMORA_CD_DEVICES");
    EXPECT_TRUE(prompter.allAnswered());
}

// Every kind of image the command line identifies gets the same disc ID
// from the window: the request the window sends names the ID the drive
// layer gives the command line, and both match the ID computed here.
TEST(CdImageTest, TheWindowIdentifiesEveryImageAsTheCommandLineDoes)
{
    test::TempDir dir;
    test::LocalHttpServer server;
    ASSERT_TRUE(server.listening());
    const std::vector<test::CueTrack> plain = {{msf(0, 5, 0)}, {msf(0, 7, 10)}, {msf(0, 3, 0)}};
    struct Image {
        std::filesystem::path path;
        std::vector<test::CueTrack> idTracks;  // the tracks the ID counts
    };
    std::vector<Image> images;

    std::vector<test::CueTrack> enhanced = plain;
    enhanced.back().sectors += 11400;
    enhanced.push_back({msf(0, 20, 0), false});
    test::writeSilentBin(dir / "enhanced.bin", test::fileSectorsOf(enhanced));
    test::writeText(dir / "enhanced.cue", test::singleFileCue("enhanced.bin", "BINARY", enhanced));
    images.push_back({dir / "enhanced.cue", plain});

    std::vector<test::CueTrack> hidden = plain;
    hidden.front().index0 = msf(0, 30, 0);
    test::writeSilentBin(dir / "hidden.bin", test::fileSectorsOf(hidden));
    test::writeText(dir / "hidden.cue", test::singleFileCue("hidden.bin", "BINARY", hidden));
    images.push_back({dir / "hidden.cue", hidden});

    std::vector<test::CueTrack> gapped = plain;
    gapped[1].index0 = msf(0, 2, 0);
    test::writeCdWav(dir / "CDImage.wav", test::fileSectorsOf(gapped));
    test::writeText(dir / "CDImage.cue", test::singleFileCue("CDImage.wav", "WAVE", gapped));
    images.push_back({dir / "CDImage.cue", gapped});
    ASSERT_TRUE(test::encodeFlac(dir / "CDImage.wav", dir / "Album.flac"));
    test::writeText(dir / "Album.cue", test::singleFileCue("Album.flac", "FLAC", gapped));
    images.push_back({dir / "Album.cue", gapped});

    std::vector<test::CueTrack> mixed = {{msf(0, 30, 0), false}};
    mixed.insert(mixed.end(), plain.begin(), plain.end());
    test::writeSilentBin(dir / "mixed.bin", test::fileSectorsOf(mixed));
    test::writeText(dir / "mixed.cue", test::singleFileCue("mixed.bin", "BINARY", mixed));
    images.push_back({dir / "mixed.cue", mixed});

    // One file per track, track 2's gap at the end of file 1.
    std::vector<test::CueTrack> perTrack = plain;
    perTrack[1].index0 = msf(0, 1, 30);
    test::writeCdWav(dir / "01.wav", perTrack[0].sectors + perTrack[1].index0);
    test::writeCdWav(dir / "02.wav", perTrack[1].sectors);
    test::writeCdWav(dir / "03.wav", perTrack[2].sectors);
    test::writeText(dir / "tracks.cue",
                    "FILE \"01.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                    "  TRACK 02 AUDIO\n    INDEX 00 " +
                        test::cueTime(perTrack[0].sectors) +
                        "\nFILE \"02.wav\" WAVE\n    INDEX 01 00:00:00\n"
                        "FILE \"03.wav\" WAVE\n  TRACK 03 AUDIO\n    INDEX 01 00:00:00\n");
    images.push_back({dir / "tracks.cue", perTrack});

    std::filesystem::create_directories(dir / "elsewhere");
    test::writeSilentBin(dir / "elsewhere" / "audio.bin", test::fileSectorsOf(plain));
    std::string toc = "CD_DA\n";
    std::int64_t at = 0;
    for (const test::CueTrack& track : plain) {
        toc += "TRACK AUDIO\nFILE \"audio.bin\" " + test::cueTime(at) + " " + test::cueTime(track.sectors) +
               "\n";
        at += track.sectors;
    }
    test::writeText(dir / "elsewhere" / "disc.toc", toc);
    images.push_back({dir / "elsewhere" / "disc.toc", plain});

    std::string devices;
    for (const Image& image : images) {
        devices += (devices.empty() ? "" : ":") + image.path.string();
    }
    qputenv("VELMORA_CD_DEVICES", QByteArray::fromStdString(devices));
    qputenv("VELMORA_AUDIO_SINK", "fakesink sync=true");
    media::GstMediaSystem system;
    test::writeBytes(dir / "VLM.dat", test::dataLineWith({}) + "\r\n" + album("a") + "\r\n");
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    MainWindow window(
        {prompter, shell, store::DataFolder(dir.path()), QString::fromStdString(dir.path()), &system});
    test::changeSettings(
        window, [&](store::AppSettings& s) { s.musicBrainzServer = server.address().toStdString(); });
    const std::vector<std::string> drives = system.cdDrives();
    for (const Image& image : images) {
        const auto drive = std::find(drives.begin(), drives.end(), image.path.string());
        ASSERT_NE(drive, drives.end()) << image.path;
        test::changeSettings(
            window, [&](store::AppSettings& s) { s.cdDrive = static_cast<int>(drive - drives.begin()); });
        const test::ExpectedTable table = test::expectedTable(image.idTracks);
        const std::string expected =
            test::independentDiscId(1, static_cast<int>(image.idTracks.size()), table.leadout, table.offsets);
        // The command line's reading of the same image.
        const media::DiscIdentity identity = media::readDiscIdentity(image.path.string());
        ASSERT_TRUE(identity.problem.empty()) << image.path << identity.problem;
        EXPECT_EQ(discdata::computeDiscIds(identity.layout.table)->musicBrainz, expected) << image.path;

        const std::size_t before = server.requests().size();
        prompter.answerAction(true);   // 未登録です → MusicBrainzで調べる
        prompter.answerAction(false);  // not registered: no submission page
        window.findDiscAlbum(false);
        ASSERT_EQ(server.requests().size(), before + 1) << image.path;
        EXPECT_EQ(server.requests().back().path, "/ws/2/discid/" + QByteArray::fromStdString(expected))
            << image.path;
    }

    // A damaged image and a sheet whose file is missing are refused by name.
    test::writeSilentBin(dir / "broken.bin", msf(1, 0, 0));
    test::writeText(dir / "broken.cue",
                    "FILE \"broken.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:20:00\n"
                    "  TRACK 02 AUDIO\n    INDEX 01 00:10:00\n");
    test::writeText(dir / "lost.cue", "FILE \"lost.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    for (const auto& [image, message] :
         {std::pair{dir / "broken.cue",
                    QStringLiteral("ディスクイメージが壊れています (トラック1が始まる前に終わっています)")},
          std::pair{dir / "lost.cue", QStringLiteral("キューシートが指すファイルがありません: lost.wav")}}) {
        qputenv("VELMORA_CD_DEVICES", QByteArray::fromStdString(image.string()));
        test::changeSettings(window, [&](store::AppSettings& s) {
            s.cdDrive = static_cast<int>(system.cdDrives().size()) - 1;
        });
        prompter.expectMessage(Kind::Information);
        EXPECT_EQ(window.findDiscAlbum(false), -1);
        EXPECT_EQ(prompter.asked().back().text, message);
    }

    // A data disc is named, and nothing is looked up.
    test::writeSilentBin(dir / "rom.bin", msf(2, 0, 0), 2048);
    test::writeText(dir / "rom.cue",
                    "FILE \"rom.bin\" BINARY\n  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n");
    qputenv("VELMORA_CD_DEVICES", QByteArray::fromStdString((dir / "rom.cue").string()));
    test::changeSettings(
        window, [&](store::AppSettings& s) { s.cdDrive = static_cast<int>(system.cdDrives().size()) - 1; });
    const std::size_t asked = server.requests().size();
    prompter.answerAction(true);
    prompter.expectMessage(Kind::Information);
    window.findDiscAlbum(false);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("音楽CDではありません"));
    EXPECT_EQ(server.requests().size(), asked);
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
        test::changeSettings(
            *window, [&](store::AppSettings& s) { s.musicBrainzServer = server.address().toStdString(); });
        test::changeSettings(*window,
                             [&](store::AppSettings& s) { s.coverServer = server.address().toStdString(); });
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
    AlbumEditDialog* edit = nullptr;
};

TEST_F(MusicBrainzCdTest, AnUnregisteredDiscOpensTheEditDialogOnANewFilledAlbum)
{
    serveOneRelease();
    startWindow();
    edit = window->findChild<AlbumEditDialog*>();
    selectAlbum(0);
    prompter.answerAction(true);
    run("findDisc");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("未登録です"));
    ASSERT_TRUE(window->findChild<AlbumEditDialog*>()->isVisible());
    // Nothing is stored yet, and no album is selected for 変更 to overwrite.
    EXPECT_EQ(window->catalogue().albumCount(), 2);
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
    EXPECT_EQ(window->findChild<AlbumEditDialog*>()->editedRecord().value()[ImagePathColumn],
              std::filesystem::absolute(cover).string());

    // 追加 stores it as a new album, found as the disc's album from then on.
    prompter.expectMessage(Kind::Information);
    test::clickButton(edit, "addAlbumButton");
    ASSERT_EQ(window->catalogue().albums().albumCount(), 3);
    EXPECT_EQ(window->catalogue().albums().cell(AlbumColumn, 3), test::sj("アルバム"));
    EXPECT_EQ(window->catalogue().albums().cell(songTitleColumn(2), 3), test::sj("A＜＞B"));
    EXPECT_EQ(window->catalogue().albums().cell(mediaColumn(3), 3), "CD" + std::to_string(30 * 256 + 65536));
    EXPECT_EQ(window->findDiscAlbum(true), 3);
}

TEST_F(MusicBrainzCdTest, ClosingOnAFetchedAlbumNeverAddedAsksAndTakesItsCoverAway)
{
    serveOneRelease();
    startWindow();
    edit = window->findChild<AlbumEditDialog*>();
    selectAlbum(0);
    prompter.answerAction(true);
    run("findDisc");
    ASSERT_TRUE(edit->isVisible());
    const std::filesystem::path cover = dir / ("covers/" + kRelease.toStdString() + ".jpg");
    ASSERT_TRUE(std::filesystem::exists(cover));

    // Keeping it open: the album and its cover stay for 追加.
    prompter.answerConfirm(false);
    test::clickButton(edit, "closeButton");
    EXPECT_TRUE(edit->isVisible());
    EXPECT_NE(prompter.asked().back().text.indexOf(QStringLiteral("まだ追加されていません")), -1);
    EXPECT_TRUE(std::filesystem::exists(cover));

    // Discarding it: nothing is stored and the fetched cover goes.
    prompter.answerConfirm(true);
    test::clickButton(edit, "closeButton");
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(window->catalogue().albumCount(), 2);
    EXPECT_FALSE(std::filesystem::exists(cover));
}

TEST_F(MusicBrainzCdTest, SeveralReleasesAreOfferedAsAList)
{
    test::MbRelease other = release(QStringLiteral("3f1c2d4e-0000-4000-8000-000000000002"),
                                    QStringLiteral("別盤"), test::mbTracks(3, QStringLiteral("別 ")), discId);
    other.labels.clear();
    other.country = QStringLiteral("XW");
    other.media.front().format = QStringLiteral("SHM-CD");
    other.media.push_back({{}, test::mbTracks(2), QStringLiteral("SHM-CD")});
    test::MbRelease first = release(kRelease, QStringLiteral("アルバム"), tracks(), discId);
    first.barcode = QStringLiteral("4988001234567");
    server.answerJson(discPath, test::mbDiscAnswer(discId, {first, other}));
    startWindow();

    prompter.answerAction(true);
    prompter.answerRow(std::nullopt);
    run("findDisc");
    EXPECT_FALSE(window->findChild<AlbumEditDialog*>()->isVisible());
    ASSERT_EQ(prompter.lastRows.size(), 2u);
    // Two releases of one title are told apart by more than their date.
    EXPECT_EQ(
        prompter.lastRows[0],
        (QStringList{QStringLiteral("バンド"), QStringLiteral("アルバム"), QStringLiteral("2001-02-03"),
                     QStringLiteral("日本"), QStringLiteral("CD"), QStringLiteral("1"),
                     QStringLiteral("Label / CAT-1"), QStringLiteral("4988001234567"), QStringLiteral("3")}));
    EXPECT_EQ(prompter.lastRows[1],
              (QStringList{QStringLiteral("バンド"), QStringLiteral("別盤"), QStringLiteral("2001-02-03"),
                           QStringLiteral("全世界"), QStringLiteral("2×SHM-CD"), QStringLiteral("2"),
                           QString(), QString(), QStringLiteral("3")}));

    prompter.answerAction(true);
    prompter.answerRow(1);
    run("findDisc");
    ASSERT_TRUE(window->findChild<AlbumEditDialog*>()->isVisible());
    EXPECT_EQ(window->findChild<AlbumEditDialog*>()->editedRecord().value()[AlbumColumn],
              test::sj("別盤 (Disc 1/2)"));
    EXPECT_EQ(window->findChild<AlbumEditDialog*>()->editedRecord().value()[Category2Column], "SHM-CD");
    EXPECT_EQ(window->findChild<AlbumEditDialog*>()->editedRecord().value()[Category3Column],
              test::sj("2001年"));
    EXPECT_EQ(window->findChild<AlbumEditDialog*>()->editedRecord().value()[songTitleColumn(3)],
              test::sj("別 3"));
    EXPECT_EQ(window->findChild<AlbumEditDialog*>()->editedRecord().value()[ImagePathColumn],
              "");  // no cover: no message either
    EXPECT_EQ(window->catalogue().albumCount(), 2);
}

TEST_F(MusicBrainzCdTest, UnknownDiscsOfferTheSubmissionPageAndFailuresSaySo)
{
    startWindow();
    prompter.answerAction(true);
    prompter.answerAction(true);
    run("findDisc");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("MusicBrainzに登録されていません"));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].toString().startsWith(server.address() + QStringLiteral("/cdtoc/attach?id=") +
                                                      discId))
        << shell.opened[0].toString().toStdString();

    // A desktop without a browser: the address is shown to be copied.
    shell.opens = false;
    prompter.answerAction(true);
    prompter.answerAction(true);
    prompter.answerText(std::nullopt);
    window->findDiscAlbum(false);
    EXPECT_EQ(
        prompter.asked().back().text,
        QStringLiteral("ブラウザを開けませんでした。このアドレスをコピーしてブラウザで開いてください。"));
    EXPECT_EQ(prompter.lastInitialText, shell.opened.back().toString());
    shell.opens = true;

    server.answer(discPath, {503, "busy", {{"Retry-After", "0"}}, false});
    prompter.answerAction(true);
    prompter.expectMessage(Kind::Error);
    run("findDisc");
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("MusicBrainzが混雑しています。しばらくしてからもう一度お試しください。"));
    EXPECT_FALSE(window->findChild<AlbumEditDialog*>()->isVisible());
    EXPECT_EQ(window->catalogue().albumCount(), 2);
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
    run("findDisc");
    poll.stop();
    EXPECT_TRUE(sawProgress);
    EXPECT_FALSE(window->findChild<AlbumEditDialog*>()->isVisible());
    EXPECT_EQ(window->catalogue().albumCount(), 2);
}

// The edit dialog's own MusicBrainz lookup.
TEST_F(MusicBrainzCdTest, EditDialogFillsEmptyTitlesAndAsksBeforeReplacingTypedOnes)
{
    serveOneRelease();
    startWindow();
    selectAlbum(1);
    edit = window->findChild<AlbumEditDialog*>();
    run("editAlbum");
    AlbumEditDialog& form = *edit;
    form.setSongCell(1, 1, QStringLiteral("typed title"));
    form.setSongCell(3, 1, QStringLiteral("三曲目"));  // the same as fetched: no conflict

    // Titles from MusicBrainz; the typed texts stay (no replacement).
    prompter.answerAction(true);
    prompter.answerAction(false);
    test::clickButton(&form, "discButton");
    // Artist "b", album "t" and title 1 differ from the fetched ones.
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("入力済みの3か所がMusicBrainzの内容と異なります:\n"
                             "アーティスト、アルバム、1曲目の曲名\n\nOKで入力済みの内容を残します。"));
    EXPECT_EQ(form.songCell(1, 1), QStringLiteral("typed title"));
    EXPECT_EQ(form.songCell(2, 1), QStringLiteral("A＜＞B"));
    EXPECT_EQ(form.songCell(2, 2), QStringLiteral("Guest"));
    EXPECT_EQ(form.songCell(1, 3), QStringLiteral("CD656644"));
    EXPECT_EQ(test::child<QComboBox>(&form, "artistCombo")->currentText(), QStringLiteral("b"));
    // The table is as it was until the dialog is applied.
    EXPECT_EQ(cell(*window, songTitleColumn(2), 2), "");

    // This time the fetched texts replace the typed ones.
    prompter.answerAction(true);
    prompter.answerAction(true);
    test::clickButton(&form, "discButton");
    EXPECT_EQ(form.songCell(1, 1), QStringLiteral("一曲目"));
    EXPECT_EQ(test::child<QComboBox>(&form, "artistCombo")->currentText(), QStringLiteral("バンド"));
}
}  // namespace
}  // namespace velmora::ui
