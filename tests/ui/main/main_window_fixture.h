// A main window over a temporary data folder, with scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include "core/store/columns.h"
#include "support/fake_media_device.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"

namespace velmora::ui {

using test::dataLineWith;
using test::readBytes;
using test::ScriptedPrompter;
using test::TempDir;
using test::writeBytes;
using Kind = ScriptedPrompter::Kind;

inline std::string album(std::string_view artist, std::string_view title = "t")
{
    return dataLineWith(
        {{store::ArtistColumn, artist}, {store::AlbumColumn, title}, {store::FuriganaColumn, artist}});
}

inline std::string catalogue(std::initializer_list<std::string_view> artists)
{
    std::string file = dataLineWith({}) + "\r\n";
    for (std::string_view a : artists) {
        file += album(a) + "\r\n";
    }
    return file;
}

class MainWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<MainWindow> open(AboutDialog* splash = nullptr)
    {
        auto window =
            std::make_unique<MainWindow>(MainWindow::Services{prompter, shell, store::DataFolder(dir.path()),
                                                              QString::fromStdString(dir.path()), &media},
                                         splash);
        window->show();
        return window;
    }
    std::filesystem::path dataFile() const { return dir / "VLM.dat"; }
    // The list order after a drag and drop, before renumbering.
    static void showInOrder(MainWindow& window, std::vector<int> albums)
    {
        std::vector<AlbumListModel::Entry> entries;
        for (int a : albums) {
            entries.push_back({a, -1, 0});
        }
        window.albumModel()->setEntries(entries);
    }
    void TearDown() override { EXPECT_TRUE(prompter.allAnswered()) << "a prepared answer was not used"; }

    TempDir dir;
    ScriptedPrompter prompter;
    test::RecordingShell shell;
    test::FakeMediaSystem media;
};

}  // namespace velmora::ui
