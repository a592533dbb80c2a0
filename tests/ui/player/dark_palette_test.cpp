// Lists, text samples and the player's buttons on a dark desktop theme: the
// colours follow the palette unless the user chose them.
#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>

#include "support/widget_lookup.h"
#include "support/window_settings.h"
#include "ui/main/main_window_fixture.h"
#include "ui/options/options_dialog.h"
#include "ui/player/player_window.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {
namespace {

using test::child;

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x33));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return dark;
}

// Text that can be read on its background: their lightness lies apart.
void expectReadable(const QWidget& view, const char* what)
{
    const QColor text = view.palette().color(QPalette::Active, QPalette::Text);
    const QColor base = view.palette().color(QPalette::Active, QPalette::Base);
    EXPECT_GT(std::abs(text.lightness() - base.lightness()), 120)
        << what << ": text " << text.name().toStdString() << " on " << base.name().toStdString();
}

// The mean colour of the drawn pixels of a button's icon.
QColor inkOf(const QToolButton& button)
{
    const QImage image = button.icon().pixmap(20, 20).toImage().convertToFormat(QImage::Format_ARGB32);
    long red = 0, green = 0, blue = 0, count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200) {
                red += pixel.red();
                green += pixel.green();
                blue += pixel.blue();
                ++count;
            }
        }
    }
    if (count == 0) {
        return {};
    }
    return QColor(static_cast<int>(red / count), static_cast<int>(green / count),
                  static_cast<int>(blue / count));
}

class DarkPaletteTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        // Every role counts as set: setting it back restores each colour.
        light = QApplication::palette();
        light.setResolveMask(~QPalette::ResolveMask{0});
    }
    void TearDown() override
    {
        QApplication::setPalette(light);
        MainWindowTest::TearDown();
    }
    QPalette light;
};

TEST_F(DarkPaletteTest, ListsAndSamplesFollowTheThemeUntilAColourIsChosen)
{
    QApplication::setPalette(darkPalette());
    auto window = open();
    auto* player = window->findChild<PlayerWindow*>();
    ASSERT_NE(player, nullptr);
    auto* playlist = child<QListWidget>(player, "playlistView");
    auto* albums = window->findChild<AlbumReportView*>();
    ASSERT_NE(albums, nullptr);
    expectReadable(*playlist, "playlist");
    expectReadable(*albums, "album list");
    EXPECT_EQ(playlist->palette().color(QPalette::Base), darkPalette().color(QPalette::Base));

    trigger(window.get(), "options");
    auto* options = window->findChild<OptionsDialog*>();
    ASSERT_NE(options, nullptr);
    expectReadable(*child<QPlainTextEdit>(options, "memoSample"), "memo sample");
    expectReadable(*child<QListWidget>(options, "playerOptionList"), "playlist sample");
    // OK stores the colours as they were, not the theme's colours.
    test::clickButton(options, "okButton");
    const store::AppSettings& kept = window->catalogue().settings();
    EXPECT_EQ(kept.memoFont.color, static_cast<std::int32_t>(0x80000008));
    EXPECT_EQ(kept.memoColor, 0xFFFFFF);
    EXPECT_EQ(kept.listFont.color, static_cast<std::int32_t>(0x80000008));
    EXPECT_EQ(kept.listColor, 0xFFFFFF);
    EXPECT_EQ(kept.albumFont.color, static_cast<std::int32_t>(0x80000008));
    EXPECT_EQ(kept.albumColor, 0xFFFFFF);

    // Colours the user chose stay, on any theme.
    test::changeSettings(*window, [](store::AppSettings& s) {
        s.listFont.color = 0x00FFFF;  // yellow
        s.listColor = 0x800000;       // navy
    });
    player->applyLook(window->catalogue().settings());
    EXPECT_EQ(playlist->palette().color(QPalette::Text), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(playlist->palette().color(QPalette::Base), QColor(0x00, 0x00, 0x80));
    trigger(window.get(), "quitWithoutSaving");
}

TEST_F(DarkPaletteTest, ThePlayerSymbolsShowOnDarkAndLightButtons)
{
    auto window = open();
    auto* player = window->findChild<PlayerWindow*>();
    ASSERT_NE(player, nullptr);
    for (const QPalette& theme : {darkPalette(), light}) {
        QApplication::setPalette(theme);
        for (const char* name : {"rewindButton", "stopButton", "pauseButton", "playButton"}) {
            auto* button = child<QToolButton>(player, name);
            const QColor ink = inkOf(*button);
            ASSERT_TRUE(ink.isValid()) << name << " draws nothing";
            // Drawn in the button text colour of the theme.
            EXPECT_LT(std::abs(ink.lightness() - button->palette().color(QPalette::ButtonText).lightness()),
                      40)
                << name << ": " << ink.name().toStdString();
            EXPECT_GT(std::abs(ink.lightness() - button->palette().color(QPalette::Button).lightness()), 120)
                << name << ": " << ink.name().toStdString() << " on "
                << button->palette().color(QPalette::Button).name().toStdString();
        }
    }
    trigger(window.get(), "quitWithoutSaving");
}

}  // namespace
}  // namespace velmora::ui
