// "フォルダから登録(&F)...": the progress dialog, the summary list and the
// albums appended to the main window's catalogue.
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include "support/audio_files.h"
#include "ui/filescan/folder_scan_dialogs.h"
#include "ui/filescan/folder_scan_session.h"
#include "ui/main/main_window_fixture.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;

class FolderScanWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        // Untagged WAV files: albums named after their folders.
        for (const char* folder : {"Alpha", "Beta", "Gamma"}) {
            fs::create_directories(music / folder);
            test::writeWav(music / folder / "01 First.wav", 20);
            test::writeWav(music / folder / "02 Second.wav", 20);
        }
        writeBytes(dataFile(), catalogue({"既存"}));
    }

    // Picks the music folder and starts the command; `ending` is the box
    // expected at the end, if any.
    void startScan(MainWindow& window, std::optional<Kind> ending = std::nullopt)
    {
        prompter.answerText(QString::fromStdString(music.string()), Kind::Folder);
        if (ending) {
            prompter.expectMessage(*ending);
        }
        QAction* action = window.menuAction(QStringLiteral("フォルダから登録(&F)..."));
        ASSERT_NE(action, nullptr);
        action->trigger();
    }

    // Runs the event loop until `done` holds (at most ten seconds).
    template <typename Condition>
    static bool waitFor(Condition done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            // Objects deleted later from the test's own calls (outside any
            // event loop) go now.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QThread::msleep(5);
        }
        return done();
    }

    static FolderScanSummaryDialog* summary(MainWindow& window)
    {
        FolderScanSummaryDialog* dialog = window.findChild<FolderScanSummaryDialog*>();
        return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
    }

    static bool sessionOver(MainWindow& window) { return window.findChild<FolderScanSession*>() == nullptr; }

    TempDir musicDir;
    fs::path music = musicDir / "music";
};

TEST_F(FolderScanWindowTest, RegistersTheTickedAlbumsAndSelectsTheFirstNewOne)
{
    auto window = open();
    const std::string saved = readBytes(dataFile());
    startScan(*window);
    FolderScanProgressDialog* progress = window->findChild<FolderScanProgressDialog*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->windowModality(), Qt::WindowModal);

    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    FolderScanSummaryDialog* dialog = summary(*window);
    for (FolderScanProgressDialog* shown : window->findChildren<FolderScanProgressDialog*>()) {
        EXPECT_FALSE(shown->isVisible());
    }
    QTreeWidget* tree = dialog->albumTree;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(1), QStringLiteral("Alpha"));
    EXPECT_EQ(tree->topLevelItem(0)->text(2), QStringLiteral("2"));
    EXPECT_EQ(tree->topLevelItem(0)->text(3), QString::fromStdString((music / "Alpha").string()));
    EXPECT_EQ(tree->topLevelItem(1)->checkState(0), Qt::Checked);

    tree->topLevelItem(1)->setCheckState(0, Qt::Unchecked);  // not Beta
    QTest::mouseClick(dialog->registerButton, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));

    ASSERT_EQ(window->albumTable.albumCount(), 3);
    EXPECT_EQ(window->albumTable.cell(store::AlbumColumn, 2), "Alpha");
    EXPECT_EQ(window->albumTable.cell(store::AlbumColumn, 3), "Gamma");
    EXPECT_EQ(window->albumTable.cell(store::songTitleColumn(2), 3), "02 Second");
    EXPECT_EQ(window->albumTable.cell(store::mediaColumn(1), 2), (music / "Alpha" / "01 First.wav").string());
    EXPECT_EQ(window->albumCountLabel->text(), QStringLiteral("3/3"));
    EXPECT_EQ(window->albumModel()->rowCount(), 3);
    EXPECT_EQ(window->selectedAlbum(), 2);
    EXPECT_EQ(readBytes(dataFile()), saved);  // nothing saved until the user saves

    // A second run offers only the album left out.
    startScan(*window);
    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    ASSERT_EQ(summary(*window)->albumTree->topLevelItemCount(), 1);
    EXPECT_EQ(summary(*window)->albumTree->topLevelItem(0)->text(1), QStringLiteral("Beta"));
    QTest::mouseClick(summary(*window)->registerButton, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(window->albumTable.albumCount(), 4);
    EXPECT_EQ(window->selectedAlbum(), 4);

    // And a third finds nothing left to add.
    startScan(*window, Kind::Information);
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(window->albumTable.albumCount(), 4);
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("登録するアルバムがありません")));
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("すべての曲が登録済みのアルバム: 3")));
}

TEST_F(FolderScanWindowTest, CancelInTheProgressDialogAddsNothing)
{
    auto window = open();
    startScan(*window);
    FolderScanProgressDialog* progress = window->findChild<FolderScanProgressDialog*>();
    ASSERT_NE(progress, nullptr);
    QTest::mouseClick(progress->cancelButton, Qt::LeftButton);
    EXPECT_TRUE(progress->cancelRequested());
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(summary(*window), nullptr);
    EXPECT_EQ(window->albumTable.albumCount(), 1);
}

TEST_F(FolderScanWindowTest, CancelInTheSummaryOrNoTickAddsNothing)
{
    auto window = open();
    startScan(*window);
    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    QTest::mouseClick(summary(*window)->cancelButton, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(window->albumTable.albumCount(), 1);

    startScan(*window);
    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    FolderScanSummaryDialog* dialog = summary(*window);
    dialog->setAllChecked(false);
    EXPECT_FALSE(dialog->registerButton->isEnabled());
    dialog->setAllChecked(true);
    EXPECT_TRUE(dialog->registerButton->isEnabled());
    dialog->reject();
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(window->albumTable.albumCount(), 1);
}

TEST_F(FolderScanWindowTest, CancelledPickerAndMissingFolder)
{
    auto window = open();
    prompter.answerText(std::nullopt, Kind::Folder);
    window->registerFolderFromTags();
    EXPECT_TRUE(sessionOver(*window));

    prompter.answerText(QString::fromStdString((music / "nowhere").string()), Kind::Folder);
    prompter.expectMessage(Kind::Information);
    window->registerFolderFromTags();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("存在しないフォルダです"));
    EXPECT_TRUE(sessionOver(*window));
    EXPECT_EQ(window->albumTable.albumCount(), 1);
}

TEST_F(FolderScanWindowTest, ClosingTheWindowInTheMiddleOfAScanIsSafe)
{
    const std::string saved = readBytes(dataFile());
    auto window = open();
    startScan(*window);
    EXPECT_FALSE(sessionOver(*window));
    window.reset();  // the session stops and waits for its worker
    EXPECT_EQ(readBytes(dataFile()), saved);
}

}  // namespace
}  // namespace velmora::ui
