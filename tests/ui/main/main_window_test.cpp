#include "ui/main/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "core/store/columns.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window_fixture.h"
#include "ui/widgets/status_bar.h"

namespace velmora::ui {
namespace {

TEST_F(MainWindowTest, StartUpLoadsTheCatalogueAndSelectsTheFirstAlbum)
{
    writeBytes(dataFile(), catalogue({"one", "two", "three"}));
    AboutDialog splash(nullptr, QString());
    splash.showAsSplash();
    auto window = open(&splash);
    EXPECT_EQ(splash.progressBar->value(), 308);
    EXPECT_EQ(splash.progressBar->maximum(), 310);
    EXPECT_EQ(splash.commentLabel->text(), QStringLiteral("並び替え中..."));

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(window->minimumSize(), QSize(732, 486));
    EXPECT_EQ(window->albumTable.albumCount(), 3);
    ASSERT_EQ(window->albumModel()->rowCount(), 3);
    EXPECT_EQ(window->albumModel()->text(1, 1), QStringLiteral("two"));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_FALSE(window->showAllButton->isEnabled());
    EXPECT_TRUE(window->renumberButton->isEnabled());
    EXPECT_EQ(window->pageStack->currentIndex(), 0);
    EXPECT_TRUE(window->infoPageButton->isChecked());
    EXPECT_TRUE(prompter.asked().empty());
}

TEST_F(MainWindowTest, StartsEmptyWithoutADataFile)
{
    auto window = open();
    EXPECT_EQ(window->albumTable.rowCount(), 1);
    EXPECT_EQ(window->albumModel()->rowCount(), 0);
    EXPECT_EQ(window->newAlbumButton->toolTip(), QStringLiteral("アルバム情報を新規作成"));
    EXPECT_EQ(window->deleteButton->toolTip(), QStringLiteral("アルバム情報を削除"));
    EXPECT_TRUE(window->close());
    // The first save creates the catalogue.
    EXPECT_EQ(readBytes(dataFile()), dataLineWith({}) + "\r\n");
}

TEST_F(MainWindowTest, SaveWritesTheCatalogueByteForByte)
{
    std::string file = catalogue({"\x87\x90\xfd\x80", "\x83\x5c\x81\x7b", "plain"});
    writeBytes(dataFile(), file);
    auto window = open();
    writeBytes(dataFile(), "changed on disk");
    EXPECT_TRUE(window->saveCatalogue());
    EXPECT_EQ(readBytes(dataFile()), file);
    // The catalogue, its backup, the settings and the seven lists; no
    // temporary file.
    EXPECT_EQ(dir.entryCount(), 10u);
    EXPECT_EQ(readBytes(dir / "VLM.bak"), "changed on disk");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().filename().string().find("tmp-"), std::string::npos);
    }
}

TEST_F(MainWindowTest, ClosingSavesUnlessExitWithoutSaving)
{
    writeBytes(dataFile(), catalogue({"a", "b"}));
    {
        auto window = open();
        window->albumTable.setCell(store::AlbumColumn, 2, "edited");
        window->exitWithoutSaving();
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(readBytes(dataFile()), catalogue({"a", "b"}));
    }
    auto window = open();
    window->albumTable.setCell(store::AlbumColumn, 2, "edited");
    window->saveAndExit();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()),
              dataLineWith({}) + "\r\n" + album("a") + "\r\n" + album("b", "edited") + "\r\n");
}

TEST_F(MainWindowTest, RenumberingQuestionOnSave)
{
    writeBytes(dataFile(), catalogue({"a", "b", "c"}));
    auto window = open();
    showInOrder(*window, {3, 1, 2});

    prompter.answerYesNoCancel(Prompter::Answer::Cancel);
    EXPECT_FALSE(window->saveCatalogue());
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("アルバム番号とアルバム表示の順番が異なります。\r\n"
                             "アルバム番号をリストに表示されている順番で振りなおして保存しますか？"));
    EXPECT_EQ(window->albumTable.cell(0, 1), "a");

    prompter.answerYesNoCancel(Prompter::Answer::No);
    writeBytes(dataFile(), "");
    EXPECT_TRUE(window->saveCatalogue());
    EXPECT_EQ(readBytes(dataFile()), catalogue({"a", "b", "c"}));

    window->albumModel()->setEntries({{3, -1, 0}, {1, -1, 0}, {2, -1, 0}});
    window->selectListRow(0, true);
    prompter.answerYesNoCancel(Prompter::Answer::Yes);
    EXPECT_TRUE(window->saveCatalogue());
    EXPECT_EQ(readBytes(dataFile()), catalogue({"c", "a", "b"}));
    // The album formerly numbered 3 is number 1 now, and still selected.
    EXPECT_EQ(window->listedAlbums(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->albumTable.cell(0, 1), "c");
}

TEST_F(MainWindowTest, NoRenumberingQuestionWhilePartIsShown)
{
    writeBytes(dataFile(), catalogue({"a", "b", "c"}));
    auto window = open();
    showInOrder(*window, {3, 1});
    window->showAllButton->setEnabled(true);  // as a search result leaves it
    EXPECT_TRUE(window->saveCatalogue());
    EXPECT_TRUE(prompter.asked().empty());
    prompter.expectMessage(Kind::Information);
    window->renumberInListOrder();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("すべてのアルバムが表示されていません"));
    EXPECT_EQ(window->statusBar_->panelText(1), QStringLiteral("並び替え中..."));
}

TEST_F(MainWindowTest, CancelledCloseKeepsTheWindowAndSavingOnExit)
{
    writeBytes(dataFile(), catalogue({"a", "b"}));
    auto window = open();
    showInOrder(*window, {2, 1});
    window->albumTable.setCell(store::AlbumColumn, 1, "edited");

    // The question comes also after "exit without saving"; cancelling it
    // switches saving on exit back on.
    prompter.answerYesNoCancel(Prompter::Answer::Cancel);
    window->exitWithoutSaving();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->saveOnExit);
    EXPECT_EQ(readBytes(dataFile()), catalogue({"a", "b"}));

    prompter.answerYesNoCancel(Prompter::Answer::No);
    window->saveAndExit();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()),
              dataLineWith({}) + "\r\n" + album("a", "edited") + "\r\n" + album("b") + "\r\n");
}

TEST_F(MainWindowTest, RevertReadsTheSavedFileAgain)
{
    writeBytes(dataFile(), catalogue({"a", "b"}) + "short<>x\r\n");
    auto window = open();
    window->albumTable.setCell(store::AlbumColumn, 1, "edited");
    window->albumTable.setCell(store::Category1Column, 3, "stale");
    window->albumTable.setRowCount(10);
    window->revertToSaved();
    EXPECT_EQ(window->albumTable.rowCount(), 4);
    EXPECT_EQ(window->albumTable.cell(store::AlbumColumn, 1), "t");
    // A short line does not keep cells from before.
    EXPECT_EQ(window->albumTable.cell(store::Category1Column, 3), "");
    EXPECT_EQ(window->albumModel()->rowCount(), 3);
    EXPECT_EQ(window->selectedListRows(), std::vector<int>{0});
    EXPECT_EQ(window->statusBar_->panelText(0), QStringLiteral("0"));
    EXPECT_EQ(window->statusBar_->panelText(1), QString());

    // With the file gone, revert changes nothing.
    window->albumTable.setCell(store::AlbumColumn, 2, "kept");
    std::filesystem::remove(dataFile());
    window->revertToSaved();
    EXPECT_EQ(window->albumTable.cell(store::AlbumColumn, 2), "kept");
    EXPECT_TRUE(prompter.asked().empty());
}

TEST_F(MainWindowTest, UnreadableDataFileIsReportedAndNotOverwrittenUnasked)
{
    std::filesystem::create_directory(dataFile());
    prompter.expectMessage(Kind::Error);
    auto window = open();
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_TRUE(prompter.asked()[0].text.contains(QString::fromStdString(dataFile().string())));
    EXPECT_TRUE(prompter.asked()[0].text.startsWith(QStringLiteral("ファイルを読み込めませんでした。")));

    prompter.answerConfirm(false);
    window->saveAndExit();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(std::filesystem::is_directory(dataFile()));

    // Agreeing still cannot replace a folder: the error names the file.
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Error);
    window->saveAndExit();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("ファイルに保存できませんでした。")));

    // Revert reports it again.
    prompter.expectMessage(Kind::Error);
    window->revertToSaved();
    window->exitWithoutSaving();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, FailedSaveKeepsTheOldFileAndTheWindowOpen)
{
    writeBytes(dataFile(), catalogue({"a"}));
    auto window = open();
    window->albumTable.setCell(store::AlbumColumn, 1, "edited");
    ::chmod(dataFile().c_str(), 0444);

    prompter.expectMessage(Kind::Error);
    EXPECT_FALSE(window->saveCatalogue());
    QString message = prompter.asked().back().text;
    EXPECT_TRUE(message.contains(QString::fromStdString(dataFile().string())));
    EXPECT_TRUE(message.contains(QStringLiteral("読み取り専用")));

    prompter.expectMessage(Kind::Error);
    window->saveAndExit();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()), catalogue({"a"}));
    EXPECT_EQ(dir.entryCount(), 1u);

    ::chmod(dataFile().c_str(), 0644);
    window->saveAndExit();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readBytes(dataFile()), dataLineWith({}) + "\r\n" + album("a", "edited") + "\r\n");
}

TEST_F(MainWindowTest, StatusGaugeDrawsThePercentage)
{
    auto window = open();
    window->statusProgressMax = 0;
    window->setStatus(0, QStringLiteral("3"));
    QImage image = window->statusBar_->grab().toImage();
    EXPECT_EQ(window->statusProgressMax, 1);

    window->statusProgressMax = 4;
    window->setStatus(0, QStringLiteral("2"));
    image = window->statusBar_->grab().toImage();
    QRect panel = window->statusBar_->panelRect(0);
    const QColor gauge = window->palette().color(QPalette::Active, QPalette::Highlight);
    const int y = panel.center().y();
    // 50 %: the bar covers half of the 120 pixels after the text area.
    EXPECT_EQ(image.pixelColor(panel.left() + 30 + 10, y), gauge);
    EXPECT_EQ(image.pixelColor(panel.left() + 30 + 50, y), gauge);
    EXPECT_NE(image.pixelColor(panel.left() + 30 + 70, y), gauge);

    window->setStatus(0, QString());
    window->statusBar_->grab();
    EXPECT_EQ(window->statusBar_->panelText(0), QStringLiteral("0"));
}

TEST_F(MainWindowTest, ToolPagesFollowTheirButtons)
{
    auto window = open();
    QTest::mouseClick(window->searchPageButton, Qt::LeftButton);
    EXPECT_EQ(window->pageStack->currentIndex(), 1);
    QTest::mouseClick(window->replacePageButton, Qt::LeftButton);
    EXPECT_EQ(window->pageStack->currentIndex(), 3);
    EXPECT_FALSE(window->infoPageButton->isChecked());
    window->pageStack->setCurrentIndex(0);
    EXPECT_TRUE(window->infoPageButton->isChecked());
    EXPECT_FALSE(window->replacePageButton->isChecked());

    window->resize(900, 700);
    EXPECT_EQ(window->pageStack->maximumWidth(), 900 - 110);
}

TEST_F(MainWindowTest, MenusFollowTheToolButtons)
{
    writeBytes(dataFile(), catalogue({"a"}));
    auto window = open();
    QMenu* edit = window->menu(QStringLiteral("編集(&E)"));
    ASSERT_NE(edit, nullptr);
    window->showAllButton->setEnabled(true);
    window->renumberButton->setEnabled(false);
    window->deleteButton->setEnabled(false);
    emit edit->aboutToShow();
    EXPECT_TRUE(window->menuAction(QStringLiteral("アルバム全表示(&A)"))->isEnabled());
    EXPECT_FALSE(window->menuAction(QStringLiteral("CD番号整列"))->isEnabled());
    EXPECT_FALSE(window->menuAction(QStringLiteral("アルバム削除(&D)"))->isEnabled());

    // Show all from the menu returns to the all-albums state.
    window->menuAction(QStringLiteral("アルバム全表示(&A)"))->trigger();
    EXPECT_FALSE(window->showAllButton->isEnabled());
    EXPECT_TRUE(window->renumberButton->isEnabled());

    for (const char* caption : {"保存時の状態に戻す(&U)",
                                "保存(&S)",
                                "データを読み込む(&O)",
                                "Velmoraファイル",
                                "CSVファイル",
                                "HTMLファイル",
                                "保存しないで終了(&C)",
                                "終了(&X)",
                                "アルバム新規作成(&N)",
                                "CDドライブの音楽CDを登録(&C)",
                                "画像登録",
                                "アルバム情報を複製",
                                "選択アルバム詳細情報",
                                "選択曲名",
                                "再生(&P)",
                                "CD再生(&C)",
                                "メディアプレイヤーフォームを前面へ(&M)",
                                "CDを検索(&E)",
                                "オプション",
                                "ヘルプ(&H)",
                                "バージョン情報(&A)"}) {
        EXPECT_NE(window->menuAction(QString::fromUtf8(caption)), nullptr) << caption;
    }
}

TEST_F(MainWindowTest, HelpOpensThePageBesideTheProgram)
{
    auto window = open();
    window->openHelp();
    EXPECT_TRUE(shell.opened.empty()) << "a missing help page opens nothing";
    writeBytes(dir / "help.html", "<html></html>");
    window->openHelp();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], QUrl::fromLocalFile(QString::fromStdString((dir / "help.html").string())));
}

TEST_F(MainWindowTest, AboutBoxSaysThankYou)
{
    auto window = open();
    window->showAbout();
    auto* box = window->findChild<AboutDialog*>(QStringLiteral("AboutBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->commentLabel->text(), QStringLiteral("Thank You!"));
    EXPECT_FALSE(box->progressBar->isVisible());
    // The folder in use, whole, inside the box.
    EXPECT_TRUE(box->dataFolderLabel->isVisible());
    EXPECT_EQ(box->dataFolderLabel->toolTip(), QString::fromStdString(dir.path().string()));
    EXPECT_EQ(box->dataFolderLabel->text().remove(QChar(0x200B)),
              QStringLiteral("データの保存先:\n") + QString::fromStdString(dir.path().string()));
    EXPECT_LE(box->dataFolderLabel->geometry().bottom(), box->okButton->geometry().top());
    emit box->linkLabel->clicked();
    ASSERT_EQ(shell.opened.size(), 1u);
    QTest::mouseClick(box->okButton, Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());
}

TEST(QtTexts, QtsOwnDialogsSpeakJapanese)
{
    // The file dialog's type column, which Qt's own catalogue leaves in
    // English, and the dates of its list.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
              QStringLiteral("フォルダー"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Drive"), QStringLiteral("ドライブ"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("開く(&O)"))
        << "Qt's own catalogue is still asked first";
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
}

}  // namespace
}  // namespace velmora::ui
