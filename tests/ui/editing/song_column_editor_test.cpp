// The memo pad over a real edit dialog and main window.
#include "ui/editing/song_column_editor.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "core/text/cp932.h"
#include "support/window_settings.h"
#include "ui/editing/memo_fixture.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;
using test::child;

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

std::map<int, std::string> tenSongs()
{
    std::map<int, std::string> cells{{ArtistColumn, "artist"}, {AlbumColumn, "title"}};
    for (int n = 1; n <= 10; ++n) {
        cells[songTitleColumn(n)] = "song" + std::to_string(n);
        cells[songArtistColumn(n)] = "by" + std::to_string(n);
    }
    return cells;
}

QStringList numbered(int count)
{
    QStringList lines;
    for (int n = 1; n <= count; ++n) {
        lines << QStringLiteral("line%1").arg(n);
    }
    return lines;
}

TEST_F(MemoTest, OpensOnTheColumnUpToItsLastSongAndLocksTheOtherWindows)
{
    openEditor({{ArtistColumn, "artist"},
                {AlbumColumn, "title"},
                {songTitleColumn(1), "one"},
                {songTitleColumn(2), "two"},
                {songTitleColumn(5), sjis(u"五")},
                {mediaColumn(1), "/m/a.wav"}});
    click(edit, "titleColumnButton");
    ASSERT_TRUE(memo->isVisible());
    EXPECT_EQ(lines(), (QStringList{"one", "two", "", "", QStringLiteral("五")}));
    EXPECT_EQ(memo->windowTitle(), QStringLiteral("曲名編集 - artist/title"));
    EXPECT_EQ(child<QLabel>(memo, "songCountLabel")->text(), QStringLiteral("1曲目"));
    EXPECT_EQ(child<QLabel>(memo, "songLabel")->text(), "one");
    EXPECT_EQ(child<QLabel>(memo, "mediaFileLabel")->text(), "/m/a.wav");
    EXPECT_FALSE(child<QWidget>(memo, "filePanel")->isVisible());
    EXPECT_FALSE(child<QToolBar>(memo, "previewToolBar")->isVisible());
    EXPECT_FALSE(child<QWidget>(memo, "previewPlayer")->isVisible());
    // The pad takes the input; the dialog and the main window wait.
    EXPECT_EQ(QApplication::activeModalWidget(), memo);
    EXPECT_TRUE(child<QPlainTextEdit>(memo, "lineEditor")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(memo, "acceptButton")->isEnabled());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(child<QTableWidget>(edit, "songTable")->isEnabled());
    EXPECT_FALSE(window->isEnabled());
    EXPECT_FALSE(child<QPlainTextEdit>(memo, "lineEditor")->document()->isUndoAvailable());

    // Closing the pad frees the dialog; the main window waits for the dialog.
    click(memo, "cancelButton");
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_FALSE(window->isEnabled());
    EXPECT_EQ(edit->songCell(5, 1), QStringLiteral("五"));

    // An empty column opens as an empty text; media paths bring the browser
    // and the player.
    click(edit, "artistColumnButton");
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(memo->windowTitle(), QStringLiteral("曲ごとのアーティスト名編集 - artist/title"));
    click(memo, "cancelButton");
    click(edit, "mediaColumnButton");
    EXPECT_EQ(lines(), QStringList{"/m/a.wav"});
    EXPECT_TRUE(child<QWidget>(memo, "filePanel")->isVisible());
    EXPECT_TRUE(child<QToolBar>(memo, "previewToolBar")->isVisible());
    EXPECT_TRUE(child<QWidget>(memo, "previewPlayer")->isVisible());
    EXPECT_FALSE(child<PlayerProgressBar>(memo, "progressBar")->isEnabled());
    click(memo, "cancelButton");

    click(edit, "closeButton");
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MemoTest, WriteBackReplacesTheWholeColumnOnly)
{
    openEditor(tenSongs());
    click(edit, "titleColumnButton");
    ASSERT_EQ(lines().size(), 10);
    setText("a\n\nc\n\n\n");
    click(memo, "acceptButton");
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(edit->songCell(1, 1), "a");
    EXPECT_EQ(edit->songCell(2, 1), "");
    EXPECT_EQ(edit->songCell(3, 1), "c");
    for (int row = 4; row <= 10; ++row) {
        EXPECT_EQ(edit->songCell(row, 1), "") << row;
    }
    EXPECT_EQ(edit->songCell(7, 2), "by7");
    // The grid's open cell editor does not bring the old title back.
    std::optional<AlbumRecord> record = edit->editedRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ((*record)[songTitleColumn(1)], "a");
    EXPECT_EQ((*record)[songTitleColumn(10)], "");
}

TEST_F(MemoTest, HundredLinesOrMoreAskBeforeDroppingThePastNinetyNinth)
{
    openEditor(tenSongs());
    click(edit, "artistColumnButton");
    const QStringList many = numbered(120);
    setText(many.join('\n') + "\n\n\n");

    prompter.answerConfirm(false);
    click(memo, "acceptButton");
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_EQ(prompter.asked()[0].text,
              QStringLiteral("100曲以上登録されています\r\n100曲目からは登録されません"));
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(lines(), many);
    EXPECT_EQ(edit->songCell(1, 2), "by1");

    prompter.answerConfirm(true);
    click(memo, "acceptButton");
    EXPECT_FALSE(memo->isVisible());
    EXPECT_EQ(edit->songCell(1, 2), "line1");
    EXPECT_EQ(edit->songCell(99, 2), "line99");
    EXPECT_EQ(edit->songCell(10, 1), "song10");

    // 99 lines fit without a question.
    click(edit, "titleColumnButton");
    setText(numbered(99).join('\n'));
    click(memo, "acceptButton");
    EXPECT_EQ(edit->songCell(99, 1), "line99");
    EXPECT_EQ(prompter.asked().size(), 2u);
}

TEST_F(MemoTest, WriteBackRefusesLinesTheCatalogueCannotHoldAndWritesNothing)
{
    openEditor(tenSongs());
    click(edit, "titleColumnButton");
    setText("x\nsome<>thing\ny");
    prompter.expectMessage(Kind::Information);
    click(memo, "acceptButton");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("曲名 (2行目): 「<>」は保存できない文字列です。"));
    EXPECT_TRUE(memo->isVisible());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(edit->songCell(1, 1), "song1");

    setText(QString("x\ny\nface") + QString::fromUcs4(U"\U0001F600"));
    prompter.expectMessage(Kind::Information);
    click(memo, "acceptButton");
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("曲名 (3行目): ")));
    EXPECT_TRUE(prompter.asked().back().text.contains("U+1F600"));
    EXPECT_EQ(edit->songCell(1, 1), "song1");
    click(memo, "cancelButton");

    // A media path is refused for "<>" only; other characters are checked
    // when the album is stored.
    click(edit, "mediaColumnButton");
    setText("/m/a<>b.wav");
    prompter.expectMessage(Kind::Information);
    click(memo, "acceptButton");
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("メディアファイル (1行目): 「<>」は保存できない文字列です。"));
    const QString emojiPath = QStringLiteral("/m/") + QString::fromUcs4(U"\U0001F600") + ".wav";
    setText(emojiPath);
    click(memo, "acceptButton");
    EXPECT_FALSE(memo->isVisible());
    EXPECT_EQ(edit->songCell(1, 3), emojiPath);
}

TEST_F(MemoTest, TidyRemovesBlanksAndEmptyLinesAndUndoReloadsTheColumn)
{
    openEditor(tenSongs());
    click(edit, "titleColumnButton");
    setText(QStringLiteral("  a \t\n\nb\n\u3000c"));
    action(QStringLiteral("整形"))->trigger();
    EXPECT_EQ(lines(), (QStringList{"a", "b", QStringLiteral("\u3000c")}));
    // The text's own undo takes the tidy back.
    child<QPlainTextEdit>(memo, "lineEditor")->undo();
    EXPECT_EQ(lines(), (QStringList{"  a \t", "", "b", QStringLiteral("\u3000c")}));

    action(QStringLiteral("整形(&M)"))->trigger();
    prompter.answerConfirm(false);
    action(QStringLiteral("編集前の状態に戻す"))->trigger();
    EXPECT_EQ(lines().size(), 3);

    caretTo(3);
    prompter.answerConfirm(true);
    action(QStringLiteral("編集前の状態に戻す(&U)"))->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("編集前の状態に戻しますか？"));
    const QStringList undone = lines();
    ASSERT_EQ(undone.size(), 99);
    EXPECT_EQ(undone[0], "song1");
    EXPECT_EQ(undone[9], "song10");
    EXPECT_EQ(undone[10], "");
    EXPECT_EQ(undone[98], "");
    EXPECT_EQ(child<QPlainTextEdit>(memo, "lineEditor")->textCursor().position(), 0);
    EXPECT_EQ(child<QLabel>(memo, "songCountLabel")->text(), QStringLiteral("1曲目"));
}

TEST_F(MemoTest, LineLabelsShowTheSongOfTheCaretLine)
{
    std::map<int, std::string> cells = tenSongs();
    cells[mediaColumn(4)] = "/m/4.wav";
    openEditor(cells);
    click(edit, "titleColumnButton");
    setText(numbered(100).join('\n'));
    caretTo(4);
    EXPECT_EQ(child<QLabel>(memo, "songCountLabel")->text(), QStringLiteral("4曲目"));
    EXPECT_EQ(child<QLabel>(memo, "songLabel")->text(), "song4");
    EXPECT_EQ(child<QLabel>(memo, "artistLabel")->text(), "by4");
    EXPECT_EQ(child<QLabel>(memo, "mediaFileLabel")->text(), "/m/4.wav");
    // Typing moves the labels with the caret.
    QTest::keyClick(child<QPlainTextEdit>(memo, "lineEditor"), Qt::Key_Down);
    EXPECT_EQ(child<QLabel>(memo, "songCountLabel")->text(), QStringLiteral("5曲目"));
    EXPECT_EQ(child<QLabel>(memo, "songLabel")->text(), "song5");
    caretTo(100);
    EXPECT_EQ(child<QLabel>(memo, "songCountLabel")->text(), QStringLiteral("100曲目"));
    EXPECT_EQ(child<QLabel>(memo, "songLabel")->text(), "");
    EXPECT_EQ(child<QLabel>(memo, "artistLabel")->text(), "");
    EXPECT_EQ(child<QLabel>(memo, "mediaFileLabel")->text(), "");
    // Shift+Enter starts a new line (a song) like Enter.
    caretTo(1);
    QTest::keyClick(child<QPlainTextEdit>(memo, "lineEditor"), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(lines().size(), 101);
    EXPECT_EQ(lines()[1], "line1");
}

TEST_F(MemoTest, TextFilesAreShiftJisWithCrLf)
{
    openEditor(tenSongs());
    click(edit, "titleColumnButton");
    const auto in = dir / "in.txt";
    writeBytes(in, sjis(u"一") + "\r\nb\nc\rd\r\n");
    prompter.answerText(QString::fromStdString(in.string()), Kind::OpenFile);
    action(QStringLiteral("開く(&O)"))->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("読み込みファイル選択"));
    EXPECT_EQ(lines(), (QStringList{QStringLiteral("一"), "b", "c", "d"}));

    const auto out = dir / "out.txt";
    writeBytes(out, "old");
    setText(QStringLiteral("一\n\nz\n"));
    prompter.answerText(QString::fromStdString(out.string()), Kind::SaveFile);
    action(QStringLiteral("名前をつけて保存(&S)"))->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("書き出しファイル名入力"));
    EXPECT_EQ(readBytes(out), sjis(u"一") + "\r\n\r\nz\r\n");

    // A character Shift-JIS lacks: nothing is written.
    setText(QString("ok\nbad") + QString::fromUcs4(U"\U0001F600"));
    prompter.answerText(QString::fromStdString(out.string()), Kind::SaveFile);
    prompter.expectMessage(Kind::Information);
    action(QStringLiteral("名前をつけて保存(&S)"))->trigger();
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("2行目: ")));
    EXPECT_TRUE(prompter.asked().back().text.contains("U+1F600"));
    EXPECT_EQ(readBytes(out), sjis(u"一") + "\r\n\r\nz\r\n");

    // A folder that does not exist: an error box naming the file.
    const auto nowhere = dir / "missing" / "x.txt";
    setText("x");
    prompter.answerText(QString::fromStdString(nowhere.string()), Kind::SaveFile);
    prompter.expectMessage(Kind::Error);
    action(QStringLiteral("名前をつけて保存(&S)"))->trigger();
    EXPECT_TRUE(prompter.asked().back().text.contains(QString::fromStdString(nowhere.string())));

    // A file gone by the time it is opened leaves the text as it was.
    prompter.answerText(QString::fromStdString((dir / "gone.txt").string()), Kind::OpenFile);
    action(QStringLiteral("開く(&O)"))->trigger();
    EXPECT_EQ(lines(), QStringList{"x"});
}

class MemoBrowserTest : public MemoTest {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir / "music");
        for (const char* name : {"b.wav", "A.wav", "c.txt"}) {
            writeBytes(dir / "music" / name, "x");
        }
        std::filesystem::create_directories(dir / "music" / "sub");
        openEditor({{mediaColumn(1), "one"}, {mediaColumn(2), "two"}, {mediaColumn(3), "three"}});
        click(edit, "mediaColumnButton");
        memo->showFolder(QString::fromStdString((dir / "music").string()));
    }
    QString path(const char* name) const { return QString::fromStdString((dir / "music" / name).string()); }
    void selectFiles(std::initializer_list<int> rows)
    {
        child<QListWidget>(memo, "fileList")->clearSelection();
        for (int row : rows) {
            child<QListWidget>(memo, "fileList")->item(row)->setSelected(true);
        }
    }
};

TEST_F(MemoBrowserTest, FilesGoIntoTheTextAtTheCaretLine)
{
    ASSERT_EQ(child<QListWidget>(memo, "fileList")->count(), 3);
    EXPECT_EQ(child<QListWidget>(memo, "fileList")->item(0)->text(), "A.wav");
    EXPECT_EQ(child<QListWidget>(memo, "fileList")->item(1)->text(), "b.wav");
    EXPECT_EQ(child<QListWidget>(memo, "fileList")->item(2)->text(), "c.txt");

    caretTo(3);
    prompter.expectMessage(Kind::Information);
    action(QStringLiteral("選択ファイルをリストに追加"))->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルを選択してください"));

    // With several selected, the first in list order is taken.
    selectFiles({2, 1});
    action(QStringLiteral("選択ファイルをリストに追加"))->trigger();
    EXPECT_EQ(lines(), (QStringList{"one", "two", path("b.wav"), "three"}));

    // A double click adds the file too; the caret stayed on the moved line.
    const QRect first =
        child<QListWidget>(memo, "fileList")->visualItemRect(child<QListWidget>(memo, "fileList")->item(0));
    // The first click of a double click selects the file.
    QTest::mouseClick(child<QListWidget>(memo, "fileList")->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(child<QListWidget>(memo, "fileList")->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(lines(), (QStringList{"one", "two", path("b.wav"), path("A.wav"), "three"}));

    caretTo(1);
    action(QStringLiteral("全てのファイルをリストに追加"))->trigger();
    EXPECT_EQ(lines().mid(0, 4), (QStringList{path("A.wav"), path("b.wav"), path("c.txt"), "one"}));

    // An empty folder adds nothing.
    memo->showFolder(QString::fromStdString((dir / "music" / "sub").string()));
    EXPECT_EQ(child<QListWidget>(memo, "fileList")->count(), 0);
    const QStringList before = lines();
    action(QStringLiteral("全てのファイルをリストに追加"))->trigger();
    EXPECT_EQ(lines(), before);
}

TEST_F(MemoTest, TheBrowserOpensOnTheFolderOfTheFirstFile)
{
    std::filesystem::create_directories(dir / "disc");
    writeBytes(dir / "disc" / "1.wav", "x");
    writeBytes(dir / "disc" / "2.wav", "x");
    openEditor({{mediaColumn(1), "/nowhere/0.wav"}, {mediaColumn(2), (dir / "disc" / "2.wav").string()}});
    click(edit, "mediaColumnButton");
    ASSERT_EQ(child<QListWidget>(memo, "fileList")->count(), 2);
    EXPECT_EQ(child<QListWidget>(memo, "fileList")->item(0)->data(Qt::UserRole).toString(),
              QString::fromStdString((dir / "disc" / "1.wav").string()));
}

TEST_F(MemoBrowserTest, FilesOpenWithTheDesktopAndPlayOnThePreviewDevice)
{
    prompter.expectMessage(Kind::Information);
    action(QStringLiteral("選択ファイルを外部で開く"))->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルを選択してください"));

    selectFiles({0});
    action(QStringLiteral("選択ファイルを外部で開く"))->trigger();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], QUrl::fromLocalFile(path("A.wav")));

    // Deleted since the list was read.
    std::filesystem::remove(dir / "music" / "A.wav");
    prompter.expectMessage(Kind::Information);
    action(QStringLiteral("選択ファイルを外部で開く"))->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルが存在しません"));

    selectFiles({1});
    action(QStringLiteral("選択ファイルを再生"))->trigger();
    EXPECT_TRUE(preview().isPlaying());
    EXPECT_EQ(preview().fileName(), path("b.wav").toStdString());
    EXPECT_EQ(child<QLabel>(memo, "mediaNameLabel")->text(), path("b.wav"));
    EXPECT_TRUE(child<PlayerProgressBar>(memo, "progressBar")->isEnabled());
    EXPECT_EQ(child<PlayerProgressBar>(memo, "progressBar")->maximum(), 10000);

    // The caret line's file: a line naming no file is refused.
    caretTo(2);
    prompter.expectMessage(Kind::Information);
    action(QStringLiteral("リストの選択ファイルを再生"))->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルが存在しません"));
    EXPECT_TRUE(preview().isPlaying());
    prompter.expectMessage(Kind::Information);
    action(QStringLiteral("リストの選択ファイルを外部で開く"))->trigger();
    EXPECT_EQ(shell.opened.size(), 1u);

    // A stored path with "\" separators names the same file.
    setText(QString("x\n") + path("c.txt").replace('/', '\\'));
    caretTo(2);
    action(QStringLiteral("リストの選択ファイルを再生"))->trigger();
    EXPECT_EQ(preview().fileName(), path("c.txt").toStdString());
    EXPECT_EQ(preview().log.back(), "play");
    action(QStringLiteral("リストの選択ファイルを外部で開く"))->trigger();
    EXPECT_EQ(shell.opened.back(), QUrl::fromLocalFile(path("c.txt")));

    // A file the device cannot open: its error text, the player released.
    preview().failing.insert(path("b.wav").toStdString());
    selectFiles({1});
    prompter.expectMessage(Kind::Error);
    action(QStringLiteral("選択ファイルを再生"))->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルを開けません。"));
    EXPECT_FALSE(preview().isOpen());
    EXPECT_EQ(child<QLabel>(memo, "mediaNameLabel")->text(), "");
    EXPECT_FALSE(child<PlayerProgressBar>(memo, "progressBar")->isEnabled());
}

TEST_F(MemoBrowserTest, ThePlayerIsReleasedWhenThePadCloses)
{
    selectFiles({1});
    action(QStringLiteral("選択ファイルを再生"))->trigger();
    ASSERT_TRUE(preview().isPlaying());
    click(memo, "pauseButton");
    EXPECT_TRUE(preview().isPaused());
    EXPECT_TRUE(child<QToolButton>(memo, "pauseButton")->isChecked());
    click(memo, "playButton");
    EXPECT_TRUE(preview().isPlaying());
    EXPECT_FALSE(child<QToolButton>(memo, "pauseButton")->isChecked());
    preview().advance(3000);
    click(memo, "rewindButton");
    EXPECT_EQ(preview().rawPosition(), 0);
    click(memo, "stopButton");
    EXPECT_FALSE(preview().isPlaying());
    click(memo, "playButton");
    ASSERT_TRUE(preview().isPlaying());

    click(memo, "cancelButton");
    EXPECT_FALSE(preview().isOpen());
    EXPECT_EQ(preview().log.back(), "close");
    EXPECT_TRUE(edit->isEnabled());
}

TEST_F(MemoTest, WindowPlaceAndLookComeFromTheSettingsFileOnly)
{
    openEditor({});
    EXPECT_EQ(child<QPlainTextEdit>(memo, "lineEditor")->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(child<QPlainTextEdit>(memo, "lineEditor")->font().pointSize(), 9);

    test::changeSettings(*window, [](store::AppSettings& s) {
        s.memoForm = {100, 120, 700, 480};
        s.memoFont.size = 14;
        s.memoFont.bold = true;
        s.memoColor = 0x0000FF;  // red, stored as 0x00BBGGRR
    });
    // Without a settings file the values are not used until applied.
    SongColumnEditor fromDesign({prompter, shell, window->previewDevice(), {}}, nullptr);
    auto* text = child<QPlainTextEdit>(&fromDesign, "lineEditor");
    EXPECT_EQ(fromDesign.size(), memo->size());
    EXPECT_EQ(text->font().pointSize(), 9);
    fromDesign.applyLook(window->catalogue().settings());
    EXPECT_EQ(text->font().pointSize(), 14);
    EXPECT_TRUE(text->font().bold());
    EXPECT_EQ(text->palette().color(QPalette::Base), QColor(255, 0, 0));
    fromDesign.move(30, 40);
    fromDesign.resize(640, 560);
    AppSettings collected;
    fromDesign.collectSettings(collected);
    EXPECT_EQ(collected.memoForm.width, 640);
    EXPECT_EQ(collected.memoForm.height, 560);
    EXPECT_EQ(collected.memoForm.left, fromDesign.x());
}

TEST_F(MemoTest, SettingsFileGivesThePlaceAndTheMinimumHolds)
{
    writeBytes(dir / "VLM.ini",
               "[MemoForm]\r\nLeft=50\r\nTop=60\r\nWidth=300\r\nHeight=520\r\nMemoFontSize=12\r\n");
    openEditor({});
    EXPECT_EQ(memo->pos(), QPoint(50, 60));
    EXPECT_EQ(memo->size(), QSize(558, 520));
    EXPECT_EQ(child<QPlainTextEdit>(memo, "lineEditor")->font().pointSize(), 12);
    // A place beyond this screen is brought back when the pad opens.
    memo->move(20000, 20000);
    click(edit, "titleColumnButton");
    const QRect room = memo->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(memo->geometry().topLeft()));
    EXPECT_LE(memo->geometry().right(), room.right());
}

// The pad alone: it is given the songs and sends the accepted lines back;
// the receiver closes it.
TEST(ColumnEditorAloneTest, AcceptSendsTheLinesWithoutTrailingEmptyOnesAndUndoGoesBackToTheSongs)
{
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    test::FakeMediaDevice device;
    SongColumnEditor editor({prompter, shell, device, {}}, nullptr);
    std::vector<std::pair<int, QStringList>> accepted;
    int closed = 0;
    QObject::connect(&editor, &SongColumnEditor::linesAccepted,
                     [&](int column, const QStringList& lines) { accepted.emplace_back(column, lines); });
    QObject::connect(&editor, &SongColumnEditor::closed, [&] { ++closed; });
    SongColumnEditor::Songs songs;
    for (int row = 1; row <= kSongSlots; ++row) {
        songs.titles << (row <= 2 ? QStringLiteral("title%1").arg(row) : QString());
        songs.artists << (row == 1 || row == 3 ? QStringLiteral("artist%1").arg(row) : QString());
        songs.media << QString();
    }

    editor.startEditing(2, QStringLiteral("artist/title"), songs);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("曲ごとのアーティスト名編集 - artist/title"));
    EXPECT_EQ(editor.memoLines(), (QStringList{"artist1", "", "artist3"}));
    EXPECT_EQ(test::child<QLabel>(&editor, "songLabel")->text(), QStringLiteral("title1"));

    test::child<QPlainTextEdit>(&editor, "lineEditor")->setPlainText(QStringLiteral("x\ny\n\n\n"));
    test::clickButton(&editor, "acceptButton");
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_EQ(accepted[0].first, 2);
    EXPECT_EQ(accepted[0].second, (QStringList{"x", "y"}));
    EXPECT_TRUE(editor.isVisible()) << "the receiver decides";

    prompter.answerConfirm(true);
    test::triggerAction(&editor, "undoColumnAction");
    EXPECT_EQ(editor.memoLines().mid(0, 3), (QStringList{"artist1", "", "artist3"}));

    test::clickButton(&editor, "cancelButton");
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(accepted.size(), 1u) << "closing sends no lines";
    EXPECT_TRUE(prompter.allAnswered());
}

}  // namespace
}  // namespace velmora::ui
