// A main window over a temporary data folder, with scripted dialogs, and
// the ways a test reaches it: its named actions and widgets, and its
// catalogue.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTest>
#include <QTreeView>
#include <algorithm>

#include "core/catalogue/catalogue.h"
#include "core/store/columns.h"
#include "support/fake_media_device.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "support/widget_access.h"
#include "ui/main/main_window.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/status_bar.h"

namespace velmora::ui {

using test::child;
using test::dataLineWith;
using test::readBytes;
using test::ScriptedPrompter;
using test::TempDir;
using test::trigger;
using test::waitUntil;
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

// A cell of the window's catalogue (album numbers from 1).
inline std::string cell(MainWindow& window, int column, int number)
{
    return std::string(window.catalogue().albums().cell(column, number));
}

// The artist of every album, in number order.
inline std::vector<std::string> artists(MainWindow& window)
{
    std::vector<std::string> result;
    const store::AlbumTable& table = window.catalogue().albums();
    for (int number = 1; number <= table.albumCount(); ++number) {
        result.emplace_back(table.cell(store::ArtistColumn, number));
    }
    return result;
}

inline QAbstractItemView* albumView(MainWindow& window)
{
    return child<QAbstractItemView>(&window, "albumView");
}

inline QAbstractItemView* songView(MainWindow& window)
{
    return child<QAbstractItemView>(&window, "songView");
}

// The text the album list shows in a row and list column.
inline QString listText(MainWindow& window, int row, int column)
{
    QAbstractItemModel* model = albumView(window)->model();
    return model->index(row, column).data().toString();
}

inline int listRowCount(MainWindow& window)
{
    return albumView(window)->model()->rowCount();
}

// The text the song list shows in a row and column (0: slot number).
inline QString songText(MainWindow& window, int row, int column)
{
    return songView(window)->model()->index(row, column).data().toString();
}

// Which list image an item of a list shows (column 0): CdImage,
// MediaFileImage, SearchHitImage or NoListImage.
inline int shownImage(QAbstractItemView* view, int row)
{
    const auto icon = view->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
    for (int image : {CdImage, MediaFileImage, SearchHitImage}) {
        if (icon.cacheKey() == listImageIcon(image).cacheKey()) {
            return image;
        }
    }
    return NoListImage;
}

inline QString labelText(MainWindow& window, const char* name)
{
    auto* label = child<QLabel>(&window, name);
    return label ? label->text() : QString();
}

inline QString statusText(MainWindow& window, int panel)
{
    auto* bar = window.findChild<StatusBar*>();
    EXPECT_NE(bar, nullptr);
    return bar ? bar->panelText(panel) : QString();
}

// Selects exactly the given list rows, as clicks with Ctrl would.
inline void select(MainWindow& window, std::initializer_list<int> rows)
{
    albumView(window)->clearSelection();
    for (int row : rows) {
        window.selectListRow(row, false);
    }
}

inline void clearSelection(MainWindow& window)
{
    albumView(window)->clearSelection();
}

// Clicks a column heading of a list, as the user sorts it.
inline void clickHeading(QAbstractItemView* view, int column)
{
    auto* tree = qobject_cast<QTreeView*>(view);
    ASSERT_NE(tree, nullptr);
    QHeaderView* header = tree->header();
    const QPoint point(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                       header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

// Makes a song list row the current one, as a click does.
inline void selectSong(MainWindow& window, int row)
{
    QAbstractItemView* view = songView(window);
    view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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
    // The list order after drags and drops, before renumbering: every
    // album still shown, in the order given.
    static void showInOrder(MainWindow& window, const std::vector<int>& albums)
    {
        for (int row = 0; row < static_cast<int>(albums.size()); ++row) {
            const std::vector<int> listed = window.catalogue().listedAlbums();
            const auto at = std::find(listed.begin(), listed.end(), albums[static_cast<std::size_t>(row)]);
            ASSERT_NE(at, listed.end());
            const int from = static_cast<int>(at - listed.begin());
            if (from != row) {
                ASSERT_EQ(window.catalogue().moveListRows({from}, row), catalogue::Problem::None);
            }
        }
        ASSERT_EQ(window.catalogue().listedAlbums(), albums);
    }
    void TearDown() override { EXPECT_TRUE(prompter.allAnswered()) << "a prepared answer was not used"; }

    TempDir dir;
    ScriptedPrompter prompter;
    test::RecordingShell shell;
    test::FakeMediaSystem media;
};

}  // namespace velmora::ui
