// The media player window by keyboard: Enter in the playlist plays the
// chosen entry, as a double-click does.
#include <QApplication>
#include <QListWidget>
#include <QTest>

#include "support/window_settings.h"
#include "ui/main/main_window_fixture.h"
#include "ui/player/player_window.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;

class PlayerKeyboardTest : public MainWindowTest {};

TEST_F(PlayerKeyboardTest, EnterInThePlaylistPlaysTheChosenEntry)
{
    std::string line = dataLineWith({{ArtistColumn, "artist"},
                                     {AlbumColumn, "album"},
                                     {songTitleColumn(1), "one"},
                                     {songTitleColumn(2), "two"},
                                     {mediaColumn(1), (dir / "s1.wav").string()},
                                     {mediaColumn(2), (dir / "s2.wav").string()}});
    writeBytes(dir / "s1.wav", "RIFF");
    writeBytes(dir / "s2.wav", "RIFF");
    writeBytes(dataFile(), dataLineWith({}) + "\r\n" + line + "\r\n");
    auto window = open();
    auto* player = window->findChild<PlayerWindow*>();
    player->setTimerRunning(false);
    window->selectListRow(0, true);
    trigger(window.get(), "playMedia");
    ASSERT_TRUE(player->isVisible());
    auto& device = test::fake(window->playerDevice());
    device.log.clear();

    player->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(player));
    auto* playlist = child<QListWidget>(player, "playlistView");
    playlist->setFocus();
    player->selectEntry(1);
    QTest::keyClick(playlist, Qt::Key_Return);
    const std::string second = "open " + (dir / "s2.wav").string();
    EXPECT_NE(std::find(device.log.begin(), device.log.end(), second), device.log.end())
        << "Enter plays the second entry";
    player->close();
}

}  // namespace
}  // namespace velmora::ui
