// The media player window playing an album's files and a disc on the fake
// player device, its timer ticked by hand.
#include "media/tmedia_player_form.h"

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

#include "mainwindow/list_views.h"
#include "media/player_progress_bar.h"
#include "ui/mainwindow/main_window_fixture.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

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
        window->Settings.cdDrive = 0;
        device().defaultLength = fileMs;
        form = std::make_unique<TMediaPlayerForm>(*window, prompter, window.get());
        window->attachPlayerForm(form.get());
        // The test ticks the timer itself.
        form->InfoTimer->stop();
        window->selectListRow(0, true);
    }
    std::string path(int song) const { return (dir / ("s" + std::to_string(song) + ".wav")).string(); }
    test::FakeMediaDevice& device() { return test::fake(window->playerDevice()); }
    // Plays on for `ms` milliseconds, the timer ticking every 200 ms.
    void run(int ms)
    {
        for (int t = 0; t < ms; t += 200) {
            device().advance(200);
            form->InfoTimerTimer();
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
    Qt::CheckState state(int entry) { return form->ListBox1->item(entry)->checkState(); }
    void playEntry(int entry)
    {
        form->selectEntry(entry);
        form->PlayButtonClick();
    }

    std::unique_ptr<TForm1> window;
    std::unique_ptr<TMediaPlayerForm> form;
};

TEST_F(PlayerTest, SequentialPlayGoesThroughTheCheckedEntriesAndWraps)
{
    start(3);
    window->MediaPlayerButtonClick();
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(opened(), std::vector<int>({1}));
    EXPECT_TRUE(form->playing());
    EXPECT_TRUE(form->ProgressBar1->isEnabled());

    // Unticked by the user: skipped from now on.
    form->ListBox1->item(1)->setCheckState(Qt::Unchecked);
    playUntilOpened(2);
    EXPECT_EQ(opened(), std::vector<int>({1, 3}));
    EXPECT_EQ(form->currentIndex(), 2);
    EXPECT_EQ(form->ListBox1->currentRow(), 2);
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
    window->MediaPlayerButtonClick();
    ASSERT_EQ(form->firstCheckedEntry(), 0);
    EXPECT_EQ(state(1), Qt::Unchecked);

    run(3000);
    EXPECT_EQ(count("play"), 1);
    EXPECT_FALSE(form->playing());
    EXPECT_TRUE(form->PositionLabel->text().isEmpty());

    QTest::mouseClick(form->RandomPlayButton, Qt::LeftButton);
    ASSERT_TRUE(form->RandomPlayButton->isChecked());
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
    form->randomIndex = [&engine](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(engine);
    };
    window->MediaPlayerButtonClick();
    form->ListBox1->item(3)->setCheckState(Qt::Unchecked);
    QTest::mouseClick(form->RandomPlayButton, Qt::LeftButton);
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
    QTest::mouseClick(form->RandomPlayButton, Qt::LeftButton);
    QTest::mouseClick(form->RepeatPlayButton, Qt::LeftButton);
    EXPECT_TRUE(form->RepeatPlayButton->isChecked());
    EXPECT_FALSE(form->RandomPlayButton->isChecked());

    window->MediaPlayerButtonClick();
    run(1400);
    run(1400);
    EXPECT_EQ(opened(), std::vector<int>({1, 1, 1}));
    EXPECT_EQ(form->currentIndex(), 0);
    EXPECT_LT(device().rawPosition(), 1000);
    EXPECT_TRUE(device().isPlaying());

    QTest::mouseClick(form->RandomPlayButton, Qt::LeftButton);
    EXPECT_FALSE(form->RepeatPlayButton->isChecked());
}

TEST_F(PlayerTest, AFileMissingAtPlayTimeIsGreyedAndPlaybackStopsThere)
{
    start(3);
    window->MediaPlayerButtonClick();
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
    window->MediaPlayerButtonClick();
    run(400);
    const QString shown = form->PositionLabel->text();
    ASSERT_FALSE(shown.isEmpty());

    // A tick arriving while the next file is being opened (device closed).
    bool busyThen = false;
    QString labelAfterTick;
    device().onCommand = [&](const std::string& command) {
        if (command == "open " + path(2)) {
            busyThen = form->busy();
            form->InfoTimerTimer();
            labelAfterTick = form->PositionLabel->text();
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
    window->MediaPlayerButtonClick();
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
    window->MediaPlayerButtonClick();
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
    EXPECT_FALSE(form->ProgressBar1->isEnabled());
    QTest::mouseClick(form->PauseButton, Qt::LeftButton);
    EXPECT_FALSE(form->PauseButton->isChecked());

    window->MediaPlayerButtonClick();
    run(1000);
    EXPECT_EQ(form->PositionLabel->text(), QStringLiteral("1000 / 10000"));
    EXPECT_EQ(form->SongLabel->text(), QStringLiteral("1　song1"));
    EXPECT_EQ(form->FileNameLabel->text(), QString::fromStdString(path(1)));
    EXPECT_EQ(form->ProgressBar1->maximum(), 10000);

    QTest::mouseClick(form->PauseButton, Qt::LeftButton);
    EXPECT_TRUE(device().isPaused());
    QTest::mouseClick(form->PauseButton, Qt::LeftButton);
    EXPECT_TRUE(device().isPlaying());

    // A click a quarter along the bar seeks there without stopping.
    const std::size_t before = device().log.size();
    const int width = form->ProgressBar1->width();
    QTest::mouseClick(form->ProgressBar1, Qt::LeftButton, {}, QPoint(width / 4, 4));
    EXPECT_NEAR(static_cast<double>(device().rawPosition()), 2500.0, 10000.0 / width + 1);
    EXPECT_EQ(std::vector<std::string>(device().log.begin() + static_cast<long>(before), device().log.end()),
              std::vector<std::string>({"seek " + std::to_string(device().rawPosition()), "play"}));
    EXPECT_TRUE(device().isPlaying());

    QTest::mouseClick(form->ZeroReturnButton, Qt::LeftButton);
    EXPECT_EQ(device().rawPosition(), 0);
    EXPECT_TRUE(device().isPlaying());

    QTest::mouseClick(form->StopButton, Qt::LeftButton);
    EXPECT_FALSE(device().isPlaying());
    EXPECT_FALSE(form->playing());
    run(400);
    EXPECT_TRUE(form->PositionLabel->text().isEmpty());
    EXPECT_EQ(opened().size(), 2u);
}

class PlayerCdTest : public PlayerTest {
protected:
    static constexpr std::int64_t seconds(int s) { return s * media::FramesPerSecond; }
    void startCd(std::vector<std::int64_t> disc)
    {
        media.disc = std::move(disc);
        start(0);
        window->CDPlayerButtonClick();
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
        form->InfoTimerTimer();
        if (seen.empty() || seen.back() != form->currentIndex()) {
            seen.push_back(form->currentIndex());
        }
    }
    EXPECT_EQ(seen, std::vector<int>({0, 1, 2, 0}));
    EXPECT_TRUE(device().isPlaying());
    EXPECT_EQ(at().track, 1);
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_EQ(form->FileNameLabel->text(), QStringLiteral("AudioCD"));
}

TEST_F(PlayerCdTest, ABarClickHalfwaySeeksWithinTheTrackKeepingItsFrames)
{
    startCd({seconds(180), seconds(240)});
    playEntry(1);
    device().advance(10533);  // 10 s 39 frames into track 2
    form->InfoTimerTimer();
    ASSERT_EQ(form->ProgressBar1->maximum(), 240);
    EXPECT_EQ(form->PositionLabel->text(), QStringLiteral("0m 10s / 4m 0s "));
    const int frames = at().frames;
    ASSERT_NE(frames, 0);

    const std::size_t before = device().log.size();
    QTest::mouseClick(form->ProgressBar1, Qt::LeftButton, {}, QPoint(form->ProgressBar1->width() / 2, 4));
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
    form->randomIndex = [](int count) { return count - 1; };
    QTest::mouseClick(form->RandomPlayButton, Qt::LeftButton);
    for (int t = 0; t < 2400; t += 200) {
        device().advance(200);
        form->InfoTimerTimer();
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
    EXPECT_EQ(form->ListBox1->font().pointSize(), 12);
    EXPECT_TRUE(form->ListBox1->font().bold());
    EXPECT_EQ(form->ListBox1->palette().color(QPalette::Base), QColor(255, 0, 0));

    form->resize(420, 380);
    store::AppSettings settings;
    form->collectSettings(settings);
    EXPECT_EQ(settings.playerForm.width, 420);
    EXPECT_EQ(settings.playerForm.height, 380);
}

TEST_F(PlayerTest, WithoutSettingsTheWindowHasItsDesignSizeAndEverythingFits)
{
    start(1);
    EXPECT_FALSE(window->settingsFileRead());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("メディアプレイヤー"));
    EXPECT_EQ(form->size(), QSize(368, 428));
    EXPECT_EQ(form->minimumSize(), QSize(368, 300));
    EXPECT_EQ(form->PlaylistGroup->title(), QStringLiteral("プレイリスト"));
    EXPECT_EQ(form->InfoTimer->interval(), 200);
    EXPECT_EQ(form->ProgressBar1->toolTip(), QStringLiteral("クリックした場所から再生"));
    EXPECT_EQ(form->ProgressBar1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form->PlayButton->toolTip(), QStringLiteral("リスト選択曲を再生"));
    EXPECT_EQ(form->RepeatPlayButton->toolTip(), QStringLiteral("一曲リピート"));
    EXPECT_TRUE(form->SongLabel->font().bold());
    EXPECT_TRUE(form->NoImageLabel->font().bold());

    for (QSize size : {QSize(368, 428), QSize(368, 300)}) {
        form->resize(size);
        form->show();
        QApplication::processEvents();
        EXPECT_EQ(form->BottomPanel->height(), 146);
        EXPECT_GT(form->ListBox1->height(), 40) << size.height();
        const QRect bar = form->ProgressBar1->geometry();
        EXPECT_LE(bar.right(), form->BottomPanel->width());
        EXPECT_GT(bar.width(), 300);
        // Every button sits whole on the tool bar (none pushed into an
        // overflow menu).
        for (QToolButton* button : {form->ZeroReturnButton, form->StopButton, form->PauseButton,
                                    form->PlayButton, form->RandomPlayButton, form->RepeatPlayButton}) {
            EXPECT_TRUE(button->isVisible()) << button->toolTip().toStdString();
            EXPECT_TRUE(form->ToolBar1->rect().contains(button->geometry()))
                << button->toolTip().toStdString();
        }
        for (QLabel* label : {form->InfoLabel, form->SongLabel, form->FileNameLabel, form->PositionLabel}) {
            EXPECT_GE(label->height(), label->fontMetrics().height());
        }
    }
}

}  // namespace
}  // namespace velmora::ui
