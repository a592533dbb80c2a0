// Windows on a small screen with a large font: each fits the screen's
// available area and keeps its buttons in view.
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window_fixture.h"
#include "ui/options/options_dialog.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {
namespace {

class SmallScreenTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        usual = QApplication::font();
        QFont large = usual;
        large.setPointSize(15);
        QApplication::setFont(large);
    }
    void TearDown() override
    {
        QApplication::setFont(usual);
        MainWindowTest::TearDown();
    }
    static QRect room() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // Waits for the fit that follows a showing.
    static bool fits(const QWidget& window)
    {
        return waitUntil([&] { return room().contains(window.geometry()); });
    }
    // Every push button of the window lies wholly inside it.
    static void expectButtonsInView(const QWidget& window)
    {
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            if (button->isVisibleTo(&window) && button->window() == &window) {
                const QRect place(button->mapTo(&window, QPoint(0, 0)), button->size());
                EXPECT_TRUE(window.rect().contains(place))
                    << button->text().toStdString() << " at " << place.y() << " in " << window.height();
            }
        }
    }
    QFont usual;
};

TEST_F(SmallScreenTest, EveryWindowFitsAndKeepsItsButtonsInView)
{
    writeBytes(dataFile(), catalogue({"a", "b", "c", "d", "e", "f", "g"}));
    auto window = open();
    EXPECT_TRUE(fits(*window)) << window->width() << "x" << window->height();
    // The album list keeps several rows.
    auto* albums = window->findChild<AlbumReportView*>();
    ASSERT_NE(albums, nullptr);
    EXPECT_GE(albums->viewport()->height(), 4 * albums->sizeHintForRow(0));
    // Tool bar buttons shown keep their whole labels.
    for (const QToolButton* button :
         window->findChild<QToolBar*>(QStringLiteral("toolBar"))->findChildren<QToolButton*>()) {
        if (button->isVisible() && !button->text().isEmpty()) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        }
    }

    window->selectListRow(0, true);
    trigger(window.get(), "editAlbum");
    auto* edit = window->findChild<AlbumEditDialog*>();
    ASSERT_TRUE(edit && edit->isVisible());
    EXPECT_TRUE(fits(*edit)) << edit->width() << "x" << edit->height();
    expectButtonsInView(*edit);
    edit->close();

    trigger(window.get(), "options");
    auto* options = window->findChild<OptionsDialog*>();
    ASSERT_TRUE(options && options->isVisible());
    EXPECT_TRUE(fits(*options)) << options->width() << "x" << options->height();
    expectButtonsInView(*options);
    options->close();
    trigger(window.get(), "quitWithoutSaving");
}

}  // namespace
}  // namespace velmora::ui
