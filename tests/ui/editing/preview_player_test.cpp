// The edit dialog's preview player and the timer that shows the preview
// device in both dialogs.
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "core/media/playlist.h"
#include "ui/editing/memo_fixture.h"
#include "ui/player/player_window.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;
using test::child;

// Waits (up to a deadline) for the position timer to show `text`.
bool positionShown(const QWidget* dialog, const QString& text)
{
    return QTest::qWaitFor([&] { return child<QLabel>(dialog, "positionLabel")->text() == text; }, 5000);
}

class PreviewTest : public MemoTest {
protected:
    void SetUp() override
    {
        writeBytes(dir / "one.wav", "x");
        writeBytes(dir / "two.wav", "x");
        openEditor({{songTitleColumn(1), "one"},
                    {mediaColumn(1), file("one.wav")},
                    {mediaColumn(2), file("two.wav")},
                    {mediaColumn(3), file("missing.wav")}});
        preview().fileLengths[file("one.wav")] = 8000;
    }
    std::string file(const char* name) const { return (dir / name).string(); }
    int opens() const
    {
        const auto& log = test::fake(window->previewDevice()).log;
        return static_cast<int>(std::count_if(log.begin(), log.end(),
                                              [](const std::string& c) { return c.rfind("open ", 0) == 0; }));
    }
};

TEST_F(PreviewTest, ThePanelBelongsToTheMediaColumnAndEachSelectionReleasesTheDevice)
{
    edit->setCurrentCell(1, 1);
    EXPECT_FALSE(child<QWidget>(edit, "previewPlayer")->isVisible());
    edit->setCurrentCell(1, 3);
    EXPECT_TRUE(child<QWidget>(edit, "previewPlayer")->isVisible());
    EXPECT_EQ(child<QLabel>(edit, "mediaNameLabel")->text(), QString::fromStdString(file("one.wav")));

    click(edit, "playButton");
    ASSERT_TRUE(preview().isPlaying());
    EXPECT_TRUE(child<PlayerProgressBar>(edit, "progressBar")->isEnabled());
    EXPECT_EQ(child<PlayerProgressBar>(edit, "progressBar")->maximum(), 8000);

    edit->setCurrentCell(2, 3);
    EXPECT_FALSE(preview().isOpen());
    EXPECT_EQ(preview().log.back(), "close");
    EXPECT_FALSE(child<PlayerProgressBar>(edit, "progressBar")->isEnabled());
    EXPECT_EQ(child<QLabel>(edit, "mediaNameLabel")->text(), QString::fromStdString(file("two.wav")));

    // A path naming no file releases the device instead of playing.
    click(edit, "playButton");
    ASSERT_TRUE(preview().isPlaying());
    edit->setCurrentCell(3, 3);
    click(edit, "playButton");
    EXPECT_FALSE(preview().isOpen());
    EXPECT_EQ(child<QLabel>(edit, "mediaNameLabel")->text(), "");
}

TEST_F(PreviewTest, ButtonsDriveTheDeviceAndTheTimerShowsWhereItIs)
{
    edit->setCurrentCell(1, 3);
    click(edit, "playButton");
    ASSERT_TRUE(preview().isPlaying());
    preview().advance(2500);
    ASSERT_TRUE(positionShown(edit, "2500 / 8000"));
    EXPECT_EQ(child<PlayerProgressBar>(edit, "progressBar")->value(), 2500);
    // The memo pad's player shows the same device.
    ASSERT_TRUE(positionShown(memo, "2500 / 8000"));
    EXPECT_EQ(child<PlayerProgressBar>(memo, "progressBar")->maximum(), 8000);
    EXPECT_EQ(child<PlayerProgressBar>(memo, "progressBar")->value(), 2500);

    click(edit, "pauseButton");
    EXPECT_TRUE(preview().isPaused());
    EXPECT_TRUE(child<QToolButton>(edit, "pauseButton")->isChecked());
    click(edit, "pauseButton");
    EXPECT_TRUE(preview().isPlaying());
    EXPECT_FALSE(child<QToolButton>(edit, "pauseButton")->isChecked());

    click(edit, "stopButton");
    EXPECT_FALSE(preview().isPlaying());
    preview().advance(1000);
    // Play after a stop goes on from the same place without reopening.
    click(edit, "playButton");
    EXPECT_TRUE(preview().isPlaying());
    EXPECT_EQ(opens(), 1);
    EXPECT_EQ(preview().rawPosition(), 2500);

    click(edit, "rewindButton");
    EXPECT_EQ(preview().rawPosition(), 0);
    EXPECT_EQ(child<PlayerProgressBar>(edit, "progressBar")->value(), 0);

    // A click on the bar seeks in proportion and plays.
    child<PlayerProgressBar>(edit, "progressBar")->setFixedWidth(200);
    QApplication::processEvents();
    ASSERT_EQ(child<PlayerProgressBar>(edit, "progressBar")->width(), 200);
    QTest::mouseClick(child<PlayerProgressBar>(edit, "progressBar"), Qt::LeftButton, {}, QPoint(50, 5));
    EXPECT_EQ(preview().log[preview().log.size() - 2], "seek 2000");
    EXPECT_TRUE(preview().isPlaying());
    EXPECT_EQ(child<PlayerProgressBar>(edit, "progressBar")->value(), 2000);

    // Closed: bars at 0 and labels empty in both dialogs.
    click(edit, "ejectButton");
    EXPECT_FALSE(preview().isOpen());
    child<QLabel>(memo, "mediaNameLabel")->setText("stale");
    ASSERT_TRUE(positionShown(edit, ""));
    EXPECT_EQ(child<PlayerProgressBar>(edit, "progressBar")->value(), 0);
    ASSERT_TRUE(positionShown(memo, ""));
    EXPECT_EQ(child<PlayerProgressBar>(memo, "progressBar")->value(), 0);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return child<QLabel>(memo, "mediaNameLabel")->text().isEmpty(); }, 5000));

    // Pause and stop on a closed device only release the pause button.
    click(edit, "pauseButton");
    EXPECT_FALSE(child<QToolButton>(edit, "pauseButton")->isChecked());
    EXPECT_FALSE(preview().isOpen());
}

TEST_F(PreviewTest, TheTimerRunsWhileTheDialogIsHidden)
{
    edit->setCurrentCell(1, 3);
    click(edit, "playButton");
    preview().advance(1200);
    edit->hide();
    EXPECT_TRUE(positionShown(edit, "1200 / 8000"));
    EXPECT_TRUE(positionShown(memo, "1200 / 8000"));
}

TEST_F(PreviewTest, OpenFailuresShowTheDeviceErrorAndClosingReleasesEverything)
{
    preview().failing.insert(file("two.wav"));
    edit->setCurrentCell(2, 3);
    prompter.expectMessage(Kind::Error);
    click(edit, "playButton");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルを開けません。"));
    EXPECT_FALSE(preview().isOpen());
    EXPECT_FALSE(child<PlayerProgressBar>(edit, "progressBar")->isEnabled());

    // After a visit to the memo pad the main window waits for the dialog.
    click(edit, "titleColumnButton");
    click(memo, "cancelButton");
    ASSERT_FALSE(window->isEnabled());
    edit->setCurrentCell(1, 3);
    click(edit, "playButton");
    ASSERT_TRUE(preview().isPlaying());
    click(edit, "closeButton");
    EXPECT_FALSE(preview().isOpen());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(PreviewTest, MemoHandOverReleasesThePreviewFirst)
{
    edit->setCurrentCell(1, 3);
    click(edit, "playButton");
    ASSERT_TRUE(preview().isPlaying());
    click(edit, "titleColumnButton");
    EXPECT_FALSE(preview().isOpen());
    EXPECT_EQ(child<QTableWidget>(edit, "songTable")->currentColumn(), 0);
    EXPECT_FALSE(child<QWidget>(edit, "previewPlayer")->isVisible());
    click(memo, "cancelButton");
}

TEST_F(PreviewTest, APreviewPausesTheShownPlayerWindow)
{
    test::trigger(window.get(), "playMedia");
    test::FakeMediaDevice& player = test::fake(window->playerDevice());
    ASSERT_TRUE(player.isPlaying());
    edit->setCurrentCell(1, 3);
    click(edit, "playButton");
    ASSERT_TRUE(preview().isPlaying());
    EXPECT_TRUE(player.isPaused());
    EXPECT_TRUE(child<QToolButton>(window->findChild<PlayerWindow*>(), "pauseButton")->isChecked());
}

TEST(SeekPositionTest, ClickPositionsRoundHalvesToEven)
{
    EXPECT_EQ(media::barClickValue(10000, 50, 200), 2500);
    EXPECT_EQ(media::barClickValue(5, 1, 2), 2);  // 2.5
    EXPECT_EQ(media::barClickValue(3, 1, 2), 2);  // 1.5
    EXPECT_EQ(media::barClickValue(7, 1, 2), 4);  // 3.5
    EXPECT_EQ(media::barClickValue(10, 1, 3), 3);
    EXPECT_EQ(media::barClickValue(10, 2, 3), 7);
    EXPECT_EQ(media::barClickValue(10, 0, 3), 0);
    EXPECT_EQ(media::barClickValue(10, 3, 3), 10);
    EXPECT_EQ(media::barClickValue(10, 1, 0), 0);
}

}  // namespace
}  // namespace velmora::ui
