// The main window's playback commands filling the player window: the
// album's media files, the CD, a double-clicked song, a song's file and
// folder opened through the shell.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "core/media/audio_cd.h"
#include "support/sjis.h"
#include "support/widget_lookup.h"
#include "support/window_settings.h"
#include "ui/main/main_window_fixture.h"
#include "ui/player/player_window.h"
#include "ui/widgets/player_progress_bar.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;
using test::sj;

struct Song {
    std::string title;
    std::string media;
    std::string artist = {};
};

std::string albumLine(std::string_view artist, std::string_view title, const std::vector<Song>& songs,
                      std::string_view image = {})
{
    AlbumRecord record;
    record[ArtistColumn] = std::string(artist);
    record[AlbumColumn] = std::string(title);
    record[FuriganaColumn] = std::string(artist);
    record[ImagePathColumn] = std::string(image);
    int slot = 1;
    for (const Song& song : songs) {
        record[songTitleColumn(slot)] = song.title;
        record[mediaColumn(slot)] = song.media;
        record[songArtistColumn(slot)] = song.artist;
        ++slot;
    }
    std::string line;
    for (int c = 0; c < kColumnCount; ++c) {
        line += (c > 0 ? "<>" : "") + record[c];
    }
    return line;
}

class PlaybackTest : public MainWindowTest {
protected:
    void start(const std::vector<std::string>& albums)
    {
        std::string file = dataLineWith({}) + "\r\n";
        for (const std::string& line : albums) {
            file += line + "\r\n";
        }
        writeBytes(dataFile(), file);
        window = open();
        test::changeSettings(*window, [&](store::AppSettings& s) { s.cdDrive = 0; });
        form = window->findChild<PlayerWindow*>();
        form->setTimerRunning(false);
    }
    // A media file in the test folder.
    std::string file(const std::string& name)
    {
        const std::string path = (dir / name).string();
        writeBytes(path, "RIFF");
        return path;
    }
    void selectAlbum(int row)
    {
        clearSelection(*window);
        window->selectListRow(row, true);
    }
    void selectSong(int row) { ui::selectSong(*window, row); }
    void run(const char* action) { trigger(window.get(), action); }
    // The tool bar's button of an action.
    QWidget* toolButton(const char* action)
    {
        auto* bar = child<QToolBar>(window.get(), "toolBar");
        QWidget* button = bar ? bar->widgetForAction(child<QAction>(window.get(), action)) : nullptr;
        EXPECT_NE(button, nullptr) << action;
        return button;
    }
    // Double-clicks a song of the song list, after the single click a
    // user's double click starts with.
    void doubleClickSong(int row)
    {
        QAbstractItemView* view = songView(*window);
        const QRect rect = view->visualRect(view->model()->index(row, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Opens the tools menu (which updates its items) and closes it again.
    void openToolsMenu()
    {
        for (QMenu* menu : window->findChildren<QMenu*>()) {
            if (menu->title() == QStringLiteral("ツール(&T)")) {
                emit menu->aboutToShow();
                return;
            }
        }
        ADD_FAILURE() << "no tools menu";
    }
    test::FakeMediaDevice& device() { return test::fake(window->playerDevice()); }
    QStringList texts()
    {
        QStringList list;
        for (int i = 0; i < test::child<QListWidget>(form, "playlistView")->count(); ++i) {
            list << test::child<QListWidget>(form, "playlistView")->item(i)->text();
        }
        return list;
    }
    std::vector<Qt::CheckState> states()
    {
        std::vector<Qt::CheckState> list;
        for (int i = 0; i < test::child<QListWidget>(form, "playlistView")->count(); ++i) {
            list.push_back(test::child<QListWidget>(form, "playlistView")->item(i)->checkState());
        }
        return list;
    }
    std::vector<bool> enabled()
    {
        std::vector<bool> list;
        for (int i = 0; i < test::child<QListWidget>(form, "playlistView")->count(); ++i) {
            list.push_back(
                (test::child<QListWidget>(form, "playlistView")->item(i)->flags() & Qt::ItemIsEnabled) != 0);
        }
        return list;
    }

    std::unique_ptr<MainWindow> window;
    PlayerWindow* form = nullptr;
};

TEST_F(PlaybackTest, TheAlbumsSongsAreListedWithTheirFilesAndTheFirstPlayableOnePlays)
{
    const std::string one = file("one.wav");
    const std::string six = file("six.wav");
    start({albumLine(sj("歌手"), sj("アルバム"),
                     {{"", (dir / "gone.wav").string()},
                      {"b", "", sj("ゲスト")},
                      {sj("三"), one},
                      {"d", "CD12345"},
                      {"", ""},
                      {"f", six}})});
    selectAlbum(0);
    run("playMedia");

    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(texts(), QStringList({QStringLiteral("1　"), QStringLiteral("2　(未登録)b/ゲスト"),
                                    QStringLiteral("3　三"), QStringLiteral("4　d"),
                                    QStringLiteral("5　(未登録)"), QStringLiteral("6　f")}));
    // Missing files, CD references and empty slots cannot be played from here.
    EXPECT_EQ(states(), std::vector<Qt::CheckState>({Qt::Unchecked, Qt::Unchecked, Qt::Checked, Qt::Unchecked,
                                                     Qt::Unchecked, Qt::Checked}));
    EXPECT_EQ(enabled(), std::vector<bool>({false, false, true, false, false, true}));
    EXPECT_EQ(form->entryPath(2), QString::fromStdString(one));
    EXPECT_TRUE(form->entryPath(0).isEmpty());
    EXPECT_TRUE(form->entryPath(3).isEmpty());
    EXPECT_EQ(test::child<QLabel>(form, "infoLabel")->text(), QStringLiteral("歌手/アルバム"));
    EXPECT_TRUE(test::child<QLabel>(form, "noPictureLabel")->isVisible());
    EXPECT_FALSE(test::child<QLabel>(form, "pictureLabel")->isVisible());

    EXPECT_EQ(device().log, std::vector<std::string>({"open " + one, "play"}));
    EXPECT_EQ(form->currentIndex(), 2);
    EXPECT_EQ(test::child<QListWidget>(form, "playlistView")->currentRow(), 2);
    EXPECT_TRUE(form->playing());
}

TEST_F(PlaybackTest, TheCoverShowsInPlaceOfNoImage)
{
    const std::string cover = (dir / "cover.png").string();
    QImage image(32, 20, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(QString::fromStdString(cover)));
    start({albumLine("a", "t", {{"x", file("x.wav")}}, cover)});
    selectAlbum(0);
    trigger(window.get(), "playMedia");
    EXPECT_TRUE(test::child<QLabel>(form, "pictureLabel")->isVisible());
    EXPECT_FALSE(test::child<QLabel>(form, "noPictureLabel")->isVisible());
    EXPECT_EQ(test::child<QLabel>(form, "pictureLabel")->pixmap().size(), QSize(64, 40));
}

TEST_F(PlaybackTest, TheListRunsToTheLastFilledSongSoFilesAfterAGapPlay)
{
    std::vector<Song> all;
    for (int slot = 1; slot <= 99; ++slot) {
        all.push_back({"t" + std::to_string(slot), ""});
    }
    const std::string two = file("two.wav");
    start({albumLine("empty first", "t", {{"", ""}, {"two", two}}),
           albumLine("gap", "t", {{"a", ""}, {"b", ""}, {"c", ""}, {"", ""}, {"e", file("e.wav")}}),
           albumLine("full", "t", all), albumLine("none", "t", {})});

    selectAlbum(0);
    run("playMedia");
    EXPECT_EQ(texts(), QStringList({QStringLiteral("1　(未登録)"), QStringLiteral("2　two")}));
    EXPECT_EQ(enabled(), std::vector<bool>({false, true}));
    EXPECT_EQ(device().log, std::vector<std::string>({"open " + two, "play"}));
    EXPECT_TRUE(form->playing());

    prompter.answerConfirm(true);
    selectAlbum(1);
    run("playMedia");
    EXPECT_EQ(form->entryCount(), 5);
    EXPECT_EQ(test::child<QListWidget>(form, "playlistView")->item(3)->text(), QStringLiteral("4　(未登録)"));

    prompter.answerConfirm(true);
    selectAlbum(2);
    const std::size_t logged = device().log.size();
    run("playMedia");
    EXPECT_EQ(form->entryCount(), 99);
    EXPECT_EQ(test::child<QListWidget>(form, "playlistView")->item(98)->text(),
              QStringLiteral("99　(未登録)t99"));
    for (std::size_t i = logged; i < device().log.size(); ++i) {
        EXPECT_FALSE(device().log[i].starts_with("open")) << "no file to play: " << device().log[i];
    }

    prompter.answerConfirm(true);
    selectAlbum(3);
    run("playMedia");
    EXPECT_EQ(form->entryCount(), 0);
}

TEST_F(PlaybackTest, TheReopenQuestionGuardsAShownPlayer)
{
    const std::string a1 = file("a1.wav");
    const std::string b1 = file("b1.wav");
    start({albumLine("a", "t", {{"a1", a1}}), albumLine("b", "t", {{"b1", b1}})});

    // No album selected.
    clearSelection(*window);
    prompter.expectMessage(Kind::Information);
    run("playMedia");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("アルバムを選択してください"));
    EXPECT_FALSE(form->isVisible());

    selectAlbum(0);
    run("playMedia");
    ASSERT_TRUE(form->isVisible());
    const std::vector<std::string> log = device().log;

    // Cancel: the window and its playback stay as they were.
    selectAlbum(1);
    prompter.answerConfirm(false);
    QTest::mouseClick(toolButton("playMedia"), Qt::LeftButton);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("メディアプレイヤーフォームを開きなおします"));
    EXPECT_EQ(texts(), QStringList({QStringLiteral("1　a1")}));
    EXPECT_EQ(device().log, log);
    EXPECT_TRUE(device().isPlaying());
    EXPECT_TRUE(form->isVisible());

    // OK: the player is closed (its device stopped and closed) and filled
    // again.
    prompter.answerConfirm(true);
    run("playSong");
    EXPECT_EQ(texts(), QStringList({QStringLiteral("1　b1")}));
    std::vector<std::string> expected = log;
    for (const char* step : {"stop", "close"}) {
        expected.push_back(step);
    }
    expected.push_back("open " + b1);
    expected.push_back("play");
    EXPECT_EQ(device().log, expected);
}

TEST_F(PlaybackTest, DoubleClickingASongPlaysIt)
{
    const std::string a1 = file("a1.wav");
    const std::string a2 = file("a2.wav");
    const std::string b3 = file("b3.wav");
    start({albumLine("a", "t", {{"a1", a1}, {"a2", a2}}),
           albumLine("b", "t", {{"b1", ""}, {"b2", ""}, {"b3", b3}}), albumLine("c", "t", {{"c1", ""}})});
    selectAlbum(0);
    run("playMedia");

    // The album is loaded: the song is switched to without a question.
    selectSong(1);
    doubleClickSong(1);
    EXPECT_EQ(form->currentIndex(), 1);
    EXPECT_EQ(device().log.back(), "play");
    EXPECT_EQ(device().log[device().log.size() - 2], "open " + a2);

    // Another album: the question, then its song 3.
    selectAlbum(1);
    prompter.answerConfirm(true);
    doubleClickSong(2);
    EXPECT_EQ(texts().size(), 3);
    EXPECT_EQ(form->currentIndex(), 2);
    EXPECT_EQ(device().log[device().log.size() - 2], "open " + b3);

    // No song of the album has a media path: nothing at all.
    selectAlbum(2);
    const std::vector<std::string> log = device().log;
    doubleClickSong(0);
    EXPECT_EQ(device().log, log);
    EXPECT_EQ(texts().size(), 3);
}

TEST_F(PlaybackTest, ASongsFileAndFolderOpenThroughTheShell)
{
    std::filesystem::create_directories(dir / "sub");
    const std::string real = (dir / "sub" / "f.wav").string();
    writeBytes(real, "RIFF");
    // Stored with "\" separators, as catalogues from elsewhere are.
    const std::string stored = dir.path().string() + "\\sub\\f.wav";
    start(
        {albumLine("a", "t", {{"f", stored}, {"none", ""}, {"gone", (dir / "nowhere" / "g.wav").string()}})});
    selectAlbum(0);

    selectSong(0);
    run("openSongFile");
    run("openSongFolder");
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], QUrl::fromLocalFile(QString::fromStdString(real)));
    EXPECT_EQ(shell.opened[1], QUrl::fromLocalFile(QString::fromStdString((dir / "sub").string())));

    selectSong(1);
    prompter.expectMessage(Kind::Information);
    child<QAction>(window.get(), "openSongFile")->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("メディアファイルが登録されていません"));
    prompter.expectMessage(Kind::Information);
    child<QAction>(window.get(), "openSongFolder")->trigger();
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("メディアファイルが登録されていません"));

    // A missing file or folder is passed over in silence.
    selectSong(2);
    child<QAction>(window.get(), "openSongFile")->trigger();
    child<QAction>(window.get(), "openSongFolder")->trigger();
    EXPECT_EQ(shell.opened.size(), 2u);
}

TEST_F(PlaybackTest, TheCdPlaysWithTheTitlesOfItsAlbum)
{
    media.disc = {4 * 60 * 75 + 5 * 75 + 10, 2 * 60 * 75, 3 * 60 * 75};
    std::vector<Song> songs;
    for (std::int64_t frames : media.disc) {
        songs.push_back({"", media::cdReference(media::packMsf(frames))});
    }
    songs[0].title = sj("一曲目");
    songs[1].title = "two";
    songs[1].artist = "guest";
    const std::string other = file("o.wav");
    start({albumLine("other", "t", {{"o", other}}), albumLine(sj("歌手"), sj("盤"), songs)});
    selectAlbum(0);
    run("playMedia");

    prompter.answerConfirm(true);
    QTest::mouseClick(toolButton("playCd"), Qt::LeftButton);
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(texts(), QStringList({QStringLiteral("1　一曲目"), QStringLiteral("2　two/guest"),
                                    QStringLiteral("3　")}));
    EXPECT_EQ(states(), std::vector<Qt::CheckState>(3, Qt::Checked));
    EXPECT_EQ(form->entryPath(1), QString::fromStdString(songs[1].media));
    EXPECT_EQ(test::child<QLabel>(form, "infoLabel")->text(), QStringLiteral("歌手 / 盤"));
    // The lookup selected the disc's album.
    EXPECT_EQ(window->selectedAlbum(), 2);
    EXPECT_EQ(window->playerDevice().deviceType(), media::DeviceType::CDAudio);
    EXPECT_EQ(device().log.back(), "play");
    EXPECT_EQ(device().log[device().log.size() - 2], "seek 1");
    EXPECT_TRUE(form->playing());
    EXPECT_EQ(form->currentIndex(), 0);
}

TEST_F(PlaybackTest, AnUnknownOrUnreadableDiscHasNoAlbum)
{
    media.disc = {75 * 30, 75 * 40};
    start({albumLine("a", "t", {{"x", "CD1"}})});
    run("playCd");
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(texts(), QStringList({QStringLiteral("1　(未登録)"), QStringLiteral("2　(未登録)")}));
    EXPECT_TRUE(test::child<QLabel>(form, "infoLabel")->text().isEmpty());
    EXPECT_TRUE(test::child<QLabel>(form, "noPictureLabel")->isVisible());
    EXPECT_TRUE(device().isPlaying());

    // Cancelling the question leaves the disc playing.
    prompter.answerConfirm(false);
    run("playCd");
    EXPECT_TRUE(device().isPlaying());
    EXPECT_EQ(texts().size(), 2);

    media.disc.clear();
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    run("playCd");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("読み取れません"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(window->playerDevice().isOpen());
}

TEST_F(PlaybackTest, ThePlayerWindowComesToTheFrontAndClosesWithTheProgram)
{
    const std::string a1 = file("a1.wav");
    start({albumLine("a", "t", {{"a1", a1}})});
    QAction* toFront = child<QAction>(window.get(), "playerToFront");

    openToolsMenu();
    EXPECT_FALSE(toFront->isEnabled());
    // The right button on a play button does nothing while it is hidden.
    QTest::mousePress(toolButton("playCd"), Qt::RightButton);
    QTest::mouseRelease(toolButton("playCd"), Qt::RightButton);
    EXPECT_FALSE(form->isVisible());

    selectAlbum(0);
    run("playMedia");
    ASSERT_TRUE(form->isVisible());
    openToolsMenu();
    EXPECT_TRUE(toFront->isEnabled());
    run("playerToFront");
    EXPECT_TRUE(form->isVisible());
    // The right button on a play button keeps it shown, in front.
    QTest::mousePress(toolButton("playMedia"), Qt::RightButton);
    QTest::mouseRelease(toolButton("playMedia"), Qt::RightButton);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(device().isPlaying()) << "bringing it to the front does not restart it";
    ASSERT_TRUE(device().isPlaying());
    ASSERT_TRUE(window->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(device().isOpen());
    EXPECT_EQ(device().log.back(), "close");
    EXPECT_FALSE(form->playing());
}

}  // namespace
}  // namespace velmora::ui
