// "フォルダから登録(&F)...": the progress dialog, the summary list and the
// albums appended to the main window's catalogue.
#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <sstream>

#include "cli/cli.h"
#include "core/store/data_file.h"
#include "support/audio_files.h"
#include "ui/filescan/folder_scan_dialogs.h"
#include "ui/filescan/folder_scan_session.h"
#include "ui/main/main_window_fixture.h"

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
        trigger(&window, "registerFolder");
    }

    // Runs the event loop (deferred deletes included) until `done` holds.
    template <typename Condition>
    static bool waitFor(Condition done)
    {
        return waitUntil(done, std::chrono::seconds(30));
    }

    static int albumCount(MainWindow& window) { return window.catalogue().albumCount(); }

    static FolderScanSummaryDialog* summary(MainWindow& window)
    {
        FolderScanSummaryDialog* dialog = window.findChild<FolderScanSummaryDialog*>();
        return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
    }

    // The named button of `dialog`, clicked as the user does.
    static void click(QDialog* dialog, const char* button)
    {
        auto* found = child<QPushButton>(dialog, button);
        ASSERT_NE(found, nullptr);
        ASSERT_TRUE(found->isEnabled()) << button;
        QTest::mouseClick(found, Qt::LeftButton);
    }

    static QTreeWidget* albumTree(QDialog* dialog) { return child<QTreeWidget>(dialog, "albumTree"); }
    static QTreeWidget* songTree(QDialog* dialog) { return child<QTreeWidget>(dialog, "songTree"); }

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
    QTreeWidget* tree = albumTree(dialog);
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(1), QStringLiteral("Alpha"));
    EXPECT_EQ(tree->topLevelItem(0)->text(2), QStringLiteral("2"));
    EXPECT_EQ(tree->topLevelItem(0)->text(3), QStringLiteral("新しいアルバム"));
    EXPECT_EQ(tree->topLevelItem(0)->text(4), QString::fromStdString((music / "Alpha").string()));
    EXPECT_EQ(tree->topLevelItem(1)->checkState(0), Qt::Checked);

    tree->topLevelItem(1)->setCheckState(0, Qt::Unchecked);  // not Beta
    click(dialog, "registerButton");
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));

    ASSERT_EQ(albumCount(*window), 3);
    EXPECT_EQ(cell(*window, store::AlbumColumn, 2), "Alpha");
    EXPECT_EQ(cell(*window, store::AlbumColumn, 3), "Gamma");
    EXPECT_EQ(cell(*window, store::songTitleColumn(2), 3), "02 Second");
    EXPECT_EQ(cell(*window, store::mediaColumn(1), 2), (music / "Alpha" / "01 First.wav").string());
    EXPECT_EQ(labelText(*window, "albumCountLabel"), QStringLiteral("3/3"));
    EXPECT_EQ(listRowCount(*window), 3);
    EXPECT_EQ(listText(*window, 2, 2), QStringLiteral("Gamma"));
    EXPECT_EQ(window->selectedAlbum(), 2);
    EXPECT_EQ(readBytes(dataFile()), saved);  // nothing saved until the user saves

    // A second run offers only the album left out.
    startScan(*window);
    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    ASSERT_EQ(albumTree(summary(*window))->topLevelItemCount(), 1);
    EXPECT_EQ(albumTree(summary(*window))->topLevelItem(0)->text(1), QStringLiteral("Beta"));
    click(summary(*window), "registerButton");
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(albumCount(*window), 4);
    EXPECT_EQ(window->selectedAlbum(), 4);

    // And a third finds nothing left to add.
    startScan(*window, Kind::Information);
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(albumCount(*window), 4);
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("登録するアルバムがありません")));
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("すべての曲が登録済みのアルバム: 3")));
}

TEST_F(FolderScanWindowTest, SummaryShowsSongsAndSkippedFilesAndNewFilesJoinTheirAlbum)
{
    writeBytes(music / "Beta" / "broken.wav", std::string(2000, '\1'));
    writeBytes(music / "Beta" / "._01 First.wav", "Mac resource fork");
    writeBytes(music / "Beta" / ".DS_Store", "Bud1");
    test::writeWav(music / "Gamma" / "10 Tenth.wav", 20);
    test::writeWav(music / "Gamma" / "caf\xc3\xa9.wav", 20);
    // The same catalogue for the command-line tool.
    TempDir cliData;
    writeBytes(cliData / "VLM.dat", catalogue({"既存"}));
    auto runCliScan = [&] {
        std::ostringstream out;
        std::ostringstream err;
        return cli::run({"--data-dir", cliData.path().string(), "scan", music.string()}, out, err);
    };

    auto window = open();
    startScan(*window);
    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    FolderScanSummaryDialog* dialog = summary(*window);
    ASSERT_EQ(albumTree(dialog)->topLevelItemCount(), 3);
    // The first album's songs are shown; choosing another shows its own.
    ASSERT_EQ(songTree(dialog)->topLevelItemCount(), 2);
    albumTree(dialog)->setCurrentItem(albumTree(dialog)->topLevelItem(2));
    QTreeWidget* songs = songTree(dialog);
    ASSERT_EQ(songs->topLevelItemCount(), 4);
    EXPECT_EQ(songs->topLevelItem(0)->text(0), QStringLiteral("1"));
    EXPECT_EQ(songs->topLevelItem(0)->text(1), QStringLiteral("01 First"));
    EXPECT_EQ(songs->topLevelItem(2)->text(1), QStringLiteral("10 Tenth"));
    EXPECT_EQ(songs->topLevelItem(3)->text(1), QStringLiteral("caf〓"));
    EXPECT_EQ(songs->topLevelItem(3)->text(3), QStringLiteral("café.wav"));
    EXPECT_EQ(songs->topLevelItem(3)->toolTip(3),
              QString::fromStdString((music / "Gamma").string()) + QStringLiteral("/café.wav"));
    // Skipped files are named with their reason, leftovers are not.
    auto* notesView = child<QPlainTextEdit>(dialog, "notesView");
    ASSERT_NE(notesView, nullptr);
    const QString notes = notesView->toPlainText();
    EXPECT_TRUE(notes.contains(QString::fromStdString((music / "Beta" / "broken.wav").string())))
        << notes.toStdString();
    EXPECT_FALSE(notes.contains(QStringLiteral("._01"))) << notes.toStdString();
    EXPECT_FALSE(notes.contains(QStringLiteral("DS_Store"))) << notes.toStdString();
    click(dialog, "copyNotesButton");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), notes);
    click(dialog, "registerButton");
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    ASSERT_EQ(runCliScan(), 0);
    EXPECT_EQ(window->catalogue().albumCount(), 4);

    // Three new files in Alpha join its album.
    for (const char* name : {"03 Third.wav", "04 Fourth.wav", "05 Fifth.wav"}) {
        test::writeWav(music / "Alpha" / name, 20);
    }
    startScan(*window);
    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    dialog = summary(*window);
    ASSERT_EQ(albumTree(dialog)->topLevelItemCount(), 1);
    EXPECT_EQ(albumTree(dialog)->topLevelItem(0)->text(3), QStringLiteral("既存のアルバムに追加 (2)"));
    EXPECT_EQ(songTree(dialog)->topLevelItem(0)->text(0), QStringLiteral("3"));
    notesView = child<QPlainTextEdit>(dialog, "notesView");
    ASSERT_NE(notesView, nullptr);
    EXPECT_TRUE(notesView->toPlainText().contains(QStringLiteral("既存のアルバムに追加: 2  / Alpha (3曲)")))
        << notesView->toPlainText().toStdString();
    click(dialog, "registerButton");
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    ASSERT_EQ(runCliScan(), 0);
    EXPECT_EQ(window->catalogue().albumCount(), 4);
    EXPECT_EQ(window->catalogue().albums().cell(store::songTitleColumn(5), 2), "05 Fifth");
    EXPECT_EQ(window->selectedAlbum(), 2);

    // The window and the command-line tool registered the same albums.
    store::AlbumTable fromCli;
    store::loadDataFile(cliData / "VLM.dat", fromCli);
    ASSERT_EQ(fromCli.albumCount(), 4);
    for (int album = 1; album <= 4; ++album) {
        EXPECT_EQ(fromCli.record(album), window->catalogue().albums().record(album)) << album;
    }
}

TEST_F(FolderScanWindowTest, CancelInTheProgressDialogAddsNothing)
{
    auto window = open();
    startScan(*window);
    FolderScanProgressDialog* progress = window->findChild<FolderScanProgressDialog*>();
    ASSERT_NE(progress, nullptr);
    click(progress, "cancelButton");
    EXPECT_TRUE(progress->cancelRequested());
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(summary(*window), nullptr);
    EXPECT_EQ(albumCount(*window), 1);
}

TEST_F(FolderScanWindowTest, CancelInTheSummaryOrNoTickAddsNothing)
{
    auto window = open();
    startScan(*window);
    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    click(summary(*window), "cancelButton");
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(albumCount(*window), 1);

    startScan(*window);
    ASSERT_TRUE(waitFor([&] { return summary(*window) != nullptr; }));
    FolderScanSummaryDialog* dialog = summary(*window);
    dialog->setAllChecked(false);
    auto* registerButton = child<QPushButton>(dialog, "registerButton");
    ASSERT_NE(registerButton, nullptr);
    EXPECT_FALSE(registerButton->isEnabled());
    dialog->setAllChecked(true);
    EXPECT_TRUE(registerButton->isEnabled());
    dialog->reject();
    ASSERT_TRUE(waitFor([&] { return sessionOver(*window); }));
    EXPECT_EQ(albumCount(*window), 1);
}

TEST_F(FolderScanWindowTest, CancelledPickerAndMissingFolder)
{
    auto window = open();
    prompter.answerText(std::nullopt, Kind::Folder);
    trigger(window.get(), "registerFolder");
    EXPECT_TRUE(sessionOver(*window));

    prompter.answerText(QString::fromStdString((music / "nowhere").string()), Kind::Folder);
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "registerFolder");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("存在しないフォルダです"));
    EXPECT_TRUE(sessionOver(*window));
    EXPECT_EQ(albumCount(*window), 1);
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
