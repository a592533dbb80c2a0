// The player window on the real GStreamer engine (sound to a fake sink):
// an album of three files played from the main window through to the wrap,
// and a disc image played track after track.
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "backends/gst_media.h"
#include "core/media/audio_cd.h"
#include "support/audio_files.h"
#include "support/widget_lookup.h"
#include "support/window_settings.h"
#include "ui/main/main_window_fixture.h"
#include "ui/player/player_window.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;
using test::child;
using test::msf;

std::string lineOf(const AlbumRecord& record)
{
    std::string line;
    for (int c = 0; c < kColumnCount; ++c) {
        line += (c > 0 ? "<>" : "") + record[c];
    }
    return line;
}

class PlayerEngineTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("VELMORA_AUDIO_SINK", "fakesink sync=true"); }
    void TearDown() override
    {
        qunsetenv("VELMORA_CD_DEVICES");
        EXPECT_TRUE(prompter.allAnswered());
    }

    void start(const AlbumRecord& record)
    {
        test::writeBytes(dir / "VLM.dat", test::dataLineWith({}) + "\r\n" + lineOf(record) + "\r\n");
        window = std::make_unique<MainWindow>(MainWindow::Services{
            prompter, shell, DataFolder(dir.path()), QString::fromStdString(dir.path()), &system});
        window->show();
        player = window->findChild<PlayerWindow*>();
        window->selectListRow(0, true);
    }
    // Lets the event loop run (timer ticks, the engine's notifications)
    // until `done` holds; false when it did not within the time.
    template <typename Done>
    bool waitFor(Done done, int ms = 10000)
    {
        return QTest::qWaitFor(done, ms);
    }

    test::TempDir dir;
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    media::GstMediaSystem system{[](std::function<void()> call) {
        QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
    }};
    std::unique_ptr<MainWindow> window;
    PlayerWindow* player = nullptr;
};

TEST_F(PlayerEngineTest, AlbumOfThreeFilesPlaysThroughToTheWrap)
{
    AlbumRecord record;
    record[ArtistColumn] = "artist";
    record[AlbumColumn] = "album";
    record[FuriganaColumn] = "artist";
    for (int song = 1; song <= 3; ++song) {
        const auto file = dir / ("s" + std::to_string(song) + ".wav");
        test::writeWav(file, 700);
        record[songTitleColumn(song)] = "song" + std::to_string(song);
        record[mediaColumn(song)] = file.string();
    }
    start(record);
    test::trigger(window.get(), "playMedia");
    ASSERT_TRUE(player->isVisible());
    EXPECT_EQ(child<QLabel>(player, "infoLabel")->text(), QStringLiteral("artist/album"));
    EXPECT_EQ(player->currentIndex(), 0);

    // Each entry in turn shows its text, its file and a moving bar.
    int barMoved = 0;
    for (int entry : {0, 1, 2}) {
        ASSERT_TRUE(waitFor([&] { return player->currentIndex() == entry; })) << "entry " << entry;
        const QString file =
            QString::fromStdString((dir / ("s" + std::to_string(entry + 1) + ".wav")).string());
        ASSERT_TRUE(waitFor([&] { return child<QLabel>(player, "fileNameLabel")->text() == file; }));
        EXPECT_EQ(child<QLabel>(player, "songLabel")->text(),
                  QString::number(entry + 1) + QStringLiteral("　song") + QString::number(entry + 1));
        if (waitFor([&] {
                return player->currentIndex() != entry ||
                       child<PlayerProgressBar>(player, "progressBar")->value() > 100;
            }) &&
            child<PlayerProgressBar>(player, "progressBar")->value() > 100) {
            ++barMoved;
            EXPECT_EQ(child<PlayerProgressBar>(player, "progressBar")->maximum(), 700);
            EXPECT_TRUE(child<QLabel>(player, "positionLabel")->text().endsWith(QStringLiteral(" / 700")));
        }
    }
    EXPECT_GE(barMoved, 2);
    // After the last entry the list starts again at the first.
    ASSERT_TRUE(waitFor([&] { return player->currentIndex() == 0; }));
    EXPECT_TRUE(player->playing());
    player->close();
    EXPECT_FALSE(window->playerDevice().isOpen());
}

TEST_F(PlayerEngineTest, DiscImagePlaysItsTracksAsAudioCd)
{
    const auto cue = test::writeDiscImage(dir.path(), "disc", {msf(0, 1, 0), msf(0, 1, 0), msf(0, 1, 0)});
    qputenv("VELMORA_CD_DEVICES", QByteArray::fromStdString(cue.string()));
    AlbumRecord record;
    record[ArtistColumn] = "artist";
    record[AlbumColumn] = "disc";
    record[FuriganaColumn] = "artist";
    for (int song = 1; song <= 3; ++song) {
        record[songTitleColumn(song)] = "track" + std::to_string(song);
        record[mediaColumn(song)] = media::cdReference(1 * 256);
    }
    start(record);
    test::changeSettings(
        *window, [&](store::AppSettings& s) { s.cdDrive = static_cast<int>(system.cdDrives().size()) - 1; });
    test::trigger(window.get(), "playCd");
    ASSERT_TRUE(player->isVisible());
    EXPECT_EQ(child<QLabel>(player, "infoLabel")->text(), QStringLiteral("artist / disc"));
    ASSERT_TRUE(
        waitFor([&] { return child<QLabel>(player, "fileNameLabel")->text() == QStringLiteral("AudioCD"); }));
    EXPECT_EQ(child<QLabel>(player, "songLabel")->text(), QStringLiteral("1　track1"));
    // The disc moves on by itself from track to track.
    ASSERT_TRUE(waitFor([&] { return player->currentIndex() == 1; }));
    ASSERT_TRUE(
        waitFor([&] { return child<QLabel>(player, "songLabel")->text() == QStringLiteral("2　track2"); }));
    EXPECT_TRUE(child<QLabel>(player, "positionLabel")->text().endsWith(QStringLiteral("0m 1s ")));
    ASSERT_TRUE(waitFor([&] { return player->currentIndex() == 2; }));
    // At the end of the disc it starts again at track 1.
    ASSERT_TRUE(waitFor([&] { return player->currentIndex() == 0; }));
    EXPECT_EQ(media::unpackTmsf(window->playerDevice().position()).track, 1);
    player->close();
}

}  // namespace
}  // namespace velmora::ui
