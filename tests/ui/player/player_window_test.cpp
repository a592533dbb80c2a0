// The media player window playing an album's files and a disc on the fake
// player device, its timer ticked by hand.
#include "ui/player/player_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <random>
#include <set>

#include "support/widget_lookup.h"
#include "support/window_settings.h"
#include "ui/main/main_window_fixture.h"
#include "ui/widgets/list_views.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;
using test::child;

std::string lineOf(const AlbumRecord& record)
{
    std::string line;
    for (int c = 0; c < kColumnCount; ++c) {
        line += (c > 0 ? "<>" : "") + record[c];
    }
    return line;
}

class PlayerTest : public MainWindowTest {
protected:
    // Album 1 with `songs` songs, each playing its own file s<n>.wav of
    // `fileMs` milliseconds.
    void start(int songs, std::int64_t fileMs = 1000, const std::string& ini = {})
    {
        AlbumRecord record;
        record[ArtistColumn] = "artist";
        record[AlbumColumn] = "album";
        record[FuriganaColumn] = "artist";
        for (int song = 1; song <= songs; ++song) {
            record[songTitleColumn(song)] = "song" + std::to_string(song);
            record[mediaColumn(song)] = path(song);
            writeBytes(path(song), "RIFF");
        }
        writeBytes(dataFile(), dataLineWith({}) + "\r\n" + lineOf(record) + "\r\n");
        if (!ini.empty()) {
            writeBytes(dir / "VLM.ini", ini);
        }
        window = open();
        test::changeSettings(*window, [&](store::AppSettings& s) { s.cdDrive = 0; });
        device().defaultLength = fileMs;
        form = window->findChild<PlayerWindow*>();
        // The test ticks the timer itself.
        form->setTimerRunning(false);
        window->selectListRow(0, true);
    }
    std::string path(int song) const { return (dir / ("s" + std::to_string(song) + ".wav")).string(); }
    test::FakeMediaDevice& device() { return test::fake(window->playerDevice()); }
    // Plays on for `ms` milliseconds, the timer ticking every 200 ms.
    void run(int ms)
    {
        for (int t = 0; t < ms; t += 200) {
            device().advance(200);
            form->showNextInfo();
        }
    }
    // Plays on until `files` files have been opened (at most a minute).
    void playUntilOpened(std::size_t files)
    {
        for (int tick = 0; tick < 300 && opened().size() < files; ++tick) {
            run(200);
        }
    }
    // The files opened so far, as song numbers.
    std::vector<int> opened()
    {
        std::vector<int> songs;
        for (const std::string& command : device().log) {
            for (int song = 1; song <= 9; ++song) {
                if (command == "open " + path(song)) {
                    songs.push_back(song);
                }
            }
        }
        return songs;
    }
    int count(const std::string& command)
    {
        return static_cast<int>(std::count(device().log.begin(), device().log.end(), command));
    }
    Qt::CheckState state(int entry)
    {
        return child<QListWidget>(form, "playlistView")->item(entry)->checkState();
    }
    void playEntry(int entry)
    {
        form->selectEntry(entry);
        test::clickButton(form, "playButton");
    }

    std::unique_ptr<MainWindow> window;
    PlayerWindow* form = nullptr;
};

TEST_F(PlayerTest, SequentialPlayGoesThroughTheCheckedEntriesAndWraps)
{
    start(3);
    test::trigger(window.get(), "playMedia");
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(opened(), std::vector<int>({1}));
    EXPECT_TRUE(form->playing());
    EXPECT_TRUE(child<PlayerProgressBar>(form, "progressBar")->isEnabled());

    // Unticked by the user: skipped from now on.
    child<QListWidget>(form, "playlistView")->item(1)->setCheckState(Qt::Unchecked);
    playUntilOpened(2);
    EXPECT_EQ(opened(), std::vector<int>({1, 3}));
    EXPECT_EQ(form->currentIndex(), 2);
    EXPECT_EQ(child<QListWidget>(form, "playlistView")->currentRow(), 2);
    playUntilOpened(4);
    EXPECT_EQ(opened(), std::vector<int>({1, 3, 1, 3}));
    // Each end was advanced exactly once.
    EXPECT_EQ(count("play"), 4);
    EXPECT_TRUE(device().isPlaying());
}

TEST_F(PlayerTest, OneCheckedEntryStopsAfterItInOrderAndAtRandom)
{
    start(2);
    std::filesystem::remove(path(2));
    test::trigger(window.get(), "playMedia");
    ASSERT_EQ(form->firstCheckedEntry(), 0);
    EXPECT_EQ(state(1), Qt::Unchecked);

    run(3000);
    EXPECT_EQ(count("play"), 1);
    EXPECT_FALSE(form->playing());
    EXPECT_TRUE(child<QLabel>(form, "positionLabel")->text().isEmpty());

    QTest::mouseClick(child<QToolButton>(form, "randomButton"), Qt::LeftButton);
    ASSERT_TRUE(child<QToolButton>(form, "randomButton")->isChecked());
    playEntry(0);
    run(3000);
    EXPECT_EQ(count("play"), 2);
    // The end was seen again and again, never advanced a second time.
    EXPECT_EQ(form->changeCounter(), 3);
}

TEST_F(PlayerTest, RandomPlayNeverDrawsTheEntryThatJustPlayed)
{
    start(4);
    std::mt19937 engine(12345);
    form->setRandomIndex(
        [&engine](int count) { return std::uniform_int_distribution<int>(0, count - 1)(engine); });
    test::trigger(window.get(), "playMedia");
    child<QListWidget>(form, "playlistView")->item(3)->setCheckState(Qt::Unchecked);
    QTest::mouseClick(child<QToolButton>(form, "randomButton"), Qt::LeftButton);
    playUntilOpened(31);
    const std::vector<int> songs = opened();
    ASSERT_EQ(songs.size(), 31u);
    std::set<int> distinct;
    for (std::size_t i = 0; i < songs.size(); ++i) {
        distinct.insert(songs[i]);
        EXPECT_NE(songs[i], 4) << "an unchecked entry played";
        if (i > 0) {
            EXPECT_NE(songs[i], songs[i - 1]) << "at " << i;
        }
    }
    EXPECT_EQ(distinct, std::set<int>({1, 2, 3}));
}

TEST_F(PlayerTest, RepeatPlaysTheSameEntryAgainAndExcludesRandom)
{
    start(2);
    QTest::mouseClick(child<QToolButton>(form, "randomButton"), Qt::LeftButton);
    QTest::mouseClick(child<QToolButton>(form, "repeatButton"), Qt::LeftButton);
    EXPECT_TRUE(child<QToolButton>(form, "repeatButton")->isChecked());
    EXPECT_FALSE(child<QToolButton>(form, "randomButton")->isChecked());

    test::trigger(window.get(), "playMedia");
    run(1400);
    run(1400);
    EXPECT_EQ(opened(), std::vector<int>({1, 1, 1}));
    EXPECT_EQ(form->currentIndex(), 0);
    EXPECT_LT(device().rawPosition(), 1000);
    EXPECT_TRUE(device().isPlaying());

    QTest::mouseClick(child<QToolButton>(form, "randomButton"), Qt::LeftButton);
    EXPECT_FALSE(child<QToolButton>(form, "repeatButton")->isChecked());
}

TEST_F(PlayerTest, AFileMissingAtPlayTimeIsGreyedAndPlaybackStopsThere)
{
    start(3);
    test::trigger(window.get(), "playMedia");
    std::filesystem::remove(path(2));
    run(1400);
    EXPECT_EQ(state(1), Qt::PartiallyChecked);
    EXPECT_FALSE(device().isOpen());
    run(3000);
    EXPECT_EQ(opened(), std::vector<int>({1}));
    // Greyed is not checked: the next round skips it.
    playEntry(2);
    run(1400);
    EXPECT_EQ(opened(), std::vector<int>({1, 3, 1}));
}

TEST_F(PlayerTest, TicksDoNothingWhileAPlayRequestRunsOrTheWindowIsHidden)
{
    start(2);
    test::trigger(window.get(), "playMedia");
    run(400);
    const QString shown = child<QLabel>(form, "positionLabel")->text();
    ASSERT_FALSE(shown.isEmpty());

    // A tick arriving while the next file is being opened (device closed).
    bool busyThen = false;
    QString labelAfterTick;
    device().onCommand = [&](const std::string& command) {
        if (command == "open " + path(2)) {
            busyThen = form->busy();
            form->showNextInfo();
            labelAfterTick = child<QLabel>(form, "positionLabel")->text();
        }
    };
    run(1000);
    device().onCommand = nullptr;
    EXPECT_TRUE(busyThen);
    EXPECT_FALSE(labelAfterTick.isEmpty()) << "the tick cleared the label of a closed device";
    EXPECT_FALSE(form->busy());
    EXPECT_EQ(opened(), std::vector<int>({1, 2}));

    form->hide();
    run(3000);
    EXPECT_EQ(opened(), std::vector<int>({1, 2}));
}

TEST_F(PlayerTest, ADeviceErrorReportedAtTheEndClosesTheWindow)
{
    start(2);
    test::trigger(window.get(), "playMedia");
    // A normal end is left to the timer.
    run(1400);
    QApplication::processEvents();
    EXPECT_TRUE(form->isVisible());

    device().failDuringPlay(277, "デコードできません。");
    prompter.expectMessage(Kind::Error);
    QApplication::processEvents();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("277;デコードできません。"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(device().isOpen());
    EXPECT_EQ(window->playerDevice().deviceType(), media::DeviceType::AutoSelect);
}

TEST_F(PlayerTest, AFileThatCannotBeOpenedSaysWhyAndStaysChecked)
{
    start(2);
    device().failing.insert(path(1));
    prompter.expectMessage(Kind::Error);
    test::trigger(window.get(), "playMedia");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルを開けません。"));
    EXPECT_EQ(state(0), Qt::Checked);
    EXPECT_FALSE(form->busy());
    playEntry(1);
    EXPECT_TRUE(device().isPlaying());
}

TEST_F(PlayerTest, TheButtonsAndTheBarControlAFile)
{
    start(1, 10000);
    // Nothing open: the bar is disabled and the pause button springs back.
    EXPECT_FALSE(child<PlayerProgressBar>(form, "progressBar")->isEnabled());
    QTest::mouseClick(child<QToolButton>(form, "pauseButton"), Qt::LeftButton);
    EXPECT_FALSE(child<QToolButton>(form, "pauseButton")->isChecked());

    test::trigger(window.get(), "playMedia");
    run(1000);
    EXPECT_EQ(child<QLabel>(form, "positionLabel")->text(), QStringLiteral("1000 / 10000"));
    EXPECT_EQ(child<QLabel>(form, "songLabel")->text(), QStringLiteral("1　song1"));
    EXPECT_EQ(child<QLabel>(form, "fileNameLabel")->text(), QString::fromStdString(path(1)));
    EXPECT_EQ(child<PlayerProgressBar>(form, "progressBar")->maximum(), 10000);

    QTest::mouseClick(child<QToolButton>(form, "pauseButton"), Qt::LeftButton);
    EXPECT_TRUE(device().isPaused());
    QTest::mouseClick(child<QToolButton>(form, "pauseButton"), Qt::LeftButton);
    EXPECT_TRUE(device().isPlaying());

    // A click a quarter along the bar seeks there without stopping.
    const std::size_t before = device().log.size();
    const int width = child<PlayerProgressBar>(form, "progressBar")->width();
    QTest::mouseClick(child<PlayerProgressBar>(form, "progressBar"), Qt::LeftButton, {},
                      QPoint(width / 4, 4));
    EXPECT_NEAR(static_cast<double>(device().rawPosition()), 2500.0, 10000.0 / width + 1);
    EXPECT_EQ(std::vector<std::string>(device().log.begin() + static_cast<long>(before), device().log.end()),
              std::vector<std::string>({"seek " + std::to_string(device().rawPosition()), "play"}));
    EXPECT_TRUE(device().isPlaying());

    QTest::mouseClick(child<QToolButton>(form, "rewindButton"), Qt::LeftButton);
    EXPECT_EQ(device().rawPosition(), 0);
    EXPECT_TRUE(device().isPlaying());

    QTest::mouseClick(child<QToolButton>(form, "stopButton"), Qt::LeftButton);
    EXPECT_FALSE(device().isPlaying());
    EXPECT_FALSE(form->playing());
    run(400);
    EXPECT_TRUE(child<QLabel>(form, "positionLabel")->text().isEmpty());
    EXPECT_EQ(opened().size(), 2u);
}

class PlayerCdTest : public PlayerTest {
protected:
    static constexpr std::int64_t seconds(int s) { return s * media::FramesPerSecond; }
    void startCd(std::vector<std::int64_t> disc)
    {
        media.disc = std::move(disc);
        start(0);
        test::trigger(window.get(), "playCd");
        ASSERT_TRUE(form->isVisible());
    }
    media::Tmsf at() { return media::unpackTmsf(window->playerDevice().position()); }
};

TEST_F(PlayerCdTest, ADiscPlayedToItsEndStartsAgainAtTrackOne)
{
    startCd({seconds(5), seconds(5), seconds(5)});
    ASSERT_EQ(form->entryCount(), 3);
    EXPECT_TRUE(device().isPlaying());
    std::vector<int> seen;
    for (int t = 0; t < 17000; t += 200) {
        device().advance(200);
        form->showNextInfo();
        if (seen.empty() || seen.back() != form->currentIndex()) {
            seen.push_back(form->currentIndex());
        }
    }
    EXPECT_EQ(seen, std::vector<int>({0, 1, 2, 0}));
    EXPECT_TRUE(device().isPlaying());
    EXPECT_EQ(at().track, 1);
    EXPECT_EQ(child<QListWidget>(form, "playlistView")->currentRow(), 0);
    EXPECT_EQ(child<QLabel>(form, "fileNameLabel")->text(), QStringLiteral("AudioCD"));
}

TEST_F(PlayerCdTest, ABarClickHalfwaySeeksWithinTheTrackKeepingItsFrames)
{
    startCd({seconds(180), seconds(240)});
    playEntry(1);
    device().advance(10533);  // 10 s 39 frames into track 2
    form->showNextInfo();
    ASSERT_EQ(child<PlayerProgressBar>(form, "progressBar")->maximum(), 240);
    EXPECT_EQ(child<QLabel>(form, "positionLabel")->text(), QStringLiteral("0m 10s / 4m 0s "));
    const int frames = at().frames;
    ASSERT_NE(frames, 0);

    const std::size_t before = device().log.size();
    QTest::mouseClick(child<PlayerProgressBar>(form, "progressBar"), Qt::LeftButton, {},
                      QPoint(child<PlayerProgressBar>(form, "progressBar")->width() / 2, 4));
    const media::Tmsf now = at();
    EXPECT_EQ(now.track, 2);
    EXPECT_EQ(now.minutes, 2);
    EXPECT_EQ(now.seconds, 0);
    EXPECT_EQ(now.frames, frames);
    const std::vector<std::string> after(device().log.begin() + static_cast<long>(before),
                                         device().log.end());
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], "stop");
    EXPECT_EQ(after[2], "play");
    EXPECT_TRUE(form->playing());
}

TEST_F(PlayerCdTest, RandomChoosesTheNextTrackWhenTheDiscMovesOn)
{
    startCd({seconds(2), seconds(2), seconds(2)});
    form->setRandomIndex([](int count) { return count - 1; });
    QTest::mouseClick(child<QToolButton>(form, "randomButton"), Qt::LeftButton);
    for (int t = 0; t < 2400; t += 200) {
        device().advance(200);
        form->showNextInfo();
    }
    EXPECT_EQ(form->currentIndex(), 2);
    EXPECT_EQ(at().track, 3);
    EXPECT_EQ(count("seek 3"), 1);
    EXPECT_TRUE(device().isPlaying());
}

TEST_F(PlayerTest, TheWindowTakesItsPlaceAndLookFromTheSettingsFile)
{
    start(1, 1000,
          "[MediaPlayerForm]\r\nLeft=100\r\nTop=80\r\nWidth=500\r\nHeight=450\r\nListFontSize=12\r\n"
          "ListColor=255\r\nListFontBold=1\r\n");
    EXPECT_EQ(form->width(), 500);
    EXPECT_EQ(form->height(), 450);
    EXPECT_EQ(child<QListWidget>(form, "playlistView")->font().pointSize(), 12);
    EXPECT_TRUE(child<QListWidget>(form, "playlistView")->font().bold());
    EXPECT_EQ(child<QListWidget>(form, "playlistView")->palette().color(QPalette::Base), QColor(255, 0, 0));

    form->resize(420, 380);
    store::AppSettings settings;
    form->collectSettings(settings);
    EXPECT_EQ(settings.playerForm.width, 420);
    EXPECT_EQ(settings.playerForm.height, 380);
}

TEST_F(PlayerTest, WithoutSettingsEverythingFitsFromTheDesignSizeDownToTheMinimum)
{
    start(1);
    EXPECT_FALSE(window->settingsFileRead());
    for (QSize size : {form->size(), form->minimumSize()}) {
        form->resize(size);
        form->show();
        QApplication::processEvents();
        EXPECT_GT(child<QListWidget>(form, "playlistView")->height(), 40) << size.height();
        const QRect bar = child<PlayerProgressBar>(form, "progressBar")->geometry();
        EXPECT_LE(bar.right(), child<QWidget>(form, "bottomPanel")->width());
        EXPECT_GT(bar.width(), child<QWidget>(form, "bottomPanel")->width() / 2);
        // Every button sits whole on the tool bar (none pushed into an
        // overflow menu).
        for (QToolButton* button :
             {child<QToolButton>(form, "rewindButton"), child<QToolButton>(form, "stopButton"),
              child<QToolButton>(form, "pauseButton"), child<QToolButton>(form, "playButton"),
              child<QToolButton>(form, "randomButton"), child<QToolButton>(form, "repeatButton")}) {
            EXPECT_TRUE(button->isVisible()) << button->toolTip().toStdString();
            EXPECT_TRUE(child<QToolBar>(form, "toolBar")->rect().contains(button->geometry()))
                << button->toolTip().toStdString();
        }
        for (QLabel* label : {child<QLabel>(form, "infoLabel"), child<QLabel>(form, "songLabel"),
                              child<QLabel>(form, "fileNameLabel"), child<QLabel>(form, "positionLabel")}) {
            EXPECT_GE(label->height(), label->fontMetrics().height());
        }
    }
}

}  // namespace
}  // namespace velmora::ui
