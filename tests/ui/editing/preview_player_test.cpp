// The edit dialog's preview player and the timer that shows the preview
// device in both dialogs.
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "editing/preview_controls.h"
#include "media/player_progress_bar.h"
#include "media/playlist.h"
#include "ui/editing/memo_fixture.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

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
        const auto& log = test::fake(window->MediaPlayer1()).log;
        return static_cast<int>(std::count_if(log.begin(), log.end(),
                                              [](const std::string& c) { return c.rfind("open ", 0) == 0; }));
    }
};

TEST_F(PreviewTest, ThePanelBelongsToTheMediaColumnAndEachSelectionReleasesTheDevice)
{
    edit->setCurrentCell(1, 1);
    EXPECT_FALSE(edit->MediaPanel->isVisible());
    edit->setCurrentCell(1, 3);
    EXPECT_TRUE(edit->MediaPanel->isVisible());
    EXPECT_EQ(edit->MediaNameLabel->text(), QString::fromStdString(file("one.wav")));

    click(edit->PlayButton);
    ASSERT_TRUE(preview().isPlaying());
    EXPECT_TRUE(edit->ProgressBar1->isEnabled());
    EXPECT_EQ(edit->ProgressBar1->maximum(), 8000);

    edit->setCurrentCell(2, 3);
    EXPECT_FALSE(preview().isOpen());
    EXPECT_EQ(preview().log.back(), "close");
    EXPECT_FALSE(edit->ProgressBar1->isEnabled());
    EXPECT_EQ(edit->MediaNameLabel->text(), QString::fromStdString(file("two.wav")));

    // A path naming no file releases the device instead of playing.
    click(edit->PlayButton);
    ASSERT_TRUE(preview().isPlaying());
    edit->setCurrentCell(3, 3);
    click(edit->PlayButton);
    EXPECT_FALSE(preview().isOpen());
    EXPECT_EQ(edit->MediaNameLabel->text(), "");
}

TEST_F(PreviewTest, ButtonsDriveTheDeviceAndTheTimerShowsWhereItIs)
{
    edit->setCurrentCell(1, 3);
    click(edit->PlayButton);
    ASSERT_TRUE(preview().isPlaying());
    preview().advance(2500);
    edit->Timer1Timer();
    EXPECT_EQ(edit->ProgressBar1->value(), 2500);
    EXPECT_EQ(edit->MediaPositionLabel->text(), "2500 / 8000");
    // The memo pad's player shows the same device.
    EXPECT_EQ(memo->ProgressBar1->maximum(), 8000);
    EXPECT_EQ(memo->ProgressBar1->value(), 2500);
    EXPECT_EQ(memo->MediaPositionLabel->text(), "2500 / 8000");

    click(edit->PauseButton);
    EXPECT_TRUE(preview().isPaused());
    EXPECT_TRUE(edit->PauseButton->isChecked());
    click(edit->PauseButton);
    EXPECT_TRUE(preview().isPlaying());
    EXPECT_FALSE(edit->PauseButton->isChecked());

    click(edit->StopButton);
    EXPECT_FALSE(preview().isPlaying());
    preview().advance(1000);
    // Play after a stop goes on from the same place without reopening.
    click(edit->PlayButton);
    EXPECT_TRUE(preview().isPlaying());
    EXPECT_EQ(opens(), 1);
    EXPECT_EQ(preview().rawPosition(), 2500);

    click(edit->RewindButton);
    EXPECT_EQ(preview().rawPosition(), 0);
    EXPECT_EQ(edit->ProgressBar1->value(), 0);

    // A click on the bar seeks in proportion and plays.
    edit->ProgressBar1->setFixedWidth(200);
    QApplication::processEvents();
    ASSERT_EQ(edit->ProgressBar1->width(), 200);
    QTest::mouseClick(edit->ProgressBar1, Qt::LeftButton, {}, QPoint(50, 5));
    EXPECT_EQ(preview().log[preview().log.size() - 2], "seek 2000");
    EXPECT_TRUE(preview().isPlaying());
    EXPECT_EQ(edit->ProgressBar1->value(), 2000);

    // Closed: bars at 0 and labels empty in both dialogs.
    click(edit->EjectButton);
    EXPECT_FALSE(preview().isOpen());
    memo->MediaNameLabel->setText("stale");
    edit->Timer1Timer();
    EXPECT_EQ(edit->ProgressBar1->value(), 0);
    EXPECT_EQ(edit->MediaPositionLabel->text(), "");
    EXPECT_EQ(memo->ProgressBar1->value(), 0);
    EXPECT_EQ(memo->MediaPositionLabel->text(), "");
    EXPECT_EQ(memo->MediaNameLabel->text(), "");

    // Pause and stop on a closed device only release the pause button.
    click(edit->PauseButton);
    EXPECT_FALSE(edit->PauseButton->isChecked());
    EXPECT_FALSE(preview().isOpen());
}

TEST_F(PreviewTest, TheTimerRunsWhileTheDialogIsHidden)
{
    edit->setCurrentCell(1, 3);
    click(edit->PlayButton);
    preview().advance(1200);
    edit->hide();
    ASSERT_TRUE(edit->Timer1->isActive());
    EXPECT_EQ(edit->Timer1->interval(), 200);
    QTest::qWait(450);
    EXPECT_EQ(memo->MediaPositionLabel->text(), "1200 / 8000");
}

TEST_F(PreviewTest, OpenFailuresShowTheDeviceErrorAndClosingReleasesEverything)
{
    preview().failing.insert(file("two.wav"));
    edit->setCurrentCell(2, 3);
    prompter.expectMessage(Kind::Error);
    click(edit->PlayButton);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルを開けません。"));
    EXPECT_FALSE(preview().isOpen());
    EXPECT_FALSE(edit->ProgressBar1->isEnabled());

    // After a visit to the memo pad the main window waits for the dialog.
    click(edit->SongMemoEditButton);
    click(memo->MemoCancelButton);
    ASSERT_FALSE(window->isEnabled());
    edit->setCurrentCell(1, 3);
    click(edit->PlayButton);
    ASSERT_TRUE(preview().isPlaying());
    click(edit->CloseButton);
    EXPECT_FALSE(preview().isOpen());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(PreviewTest, MemoHandOverReleasesThePreviewFirst)
{
    edit->setCurrentCell(1, 3);
    click(edit->PlayButton);
    ASSERT_TRUE(preview().isPlaying());
    click(edit->SongMemoEditButton);
    EXPECT_FALSE(preview().isOpen());
    EXPECT_EQ(edit->SongGrid->currentColumn(), 0);
    EXPECT_FALSE(edit->MediaPanel->isVisible());
    click(memo->MemoCancelButton);
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
