// appSettings and list files across restarts of the main window.
#include <QApplication>
#include <QButtonGroup>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeView>

#include "core/text/cp932.h"
#include "support/widget_lookup.h"
#include "support/window_settings.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace velmora::ui {
namespace {

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

QTreeView* list(MainWindow& window, const char* name)
{
    return child<QTreeView>(&window, name);
}

int pageWidth(MainWindow& window)
{
    auto* stack = child<QStackedWidget>(&window, "pageStack");
    return stack ? stack->width() : -1;
}

TEST_F(MainWindowTest, SettingsPersistAcrossARestart)
{
    writeBytes(dataFile(), catalogue({"a"}));
    {
        auto window = open();
        EXPECT_FALSE(std::filesystem::exists(dir / "VLM.ini"));
        window->move(40, 50);
        window->resize(740, 500);
        child<QSplitter>(window.get(), "pageSplitter")->setSizes({400, 332});
        list(*window, "albumView")->setColumnWidth(1, 222);
        list(*window, "songView")->setColumnWidth(3, 321);
        AlbumEditDialog& edit = *window->findChild<AlbumEditDialog*>();
        edit.move(10, 20);
        edit.resize(700, 520);
        test::child<QTableWidget>(&edit, "songTable")->setColumnWidth(2, 260);
        edit.setSuggestions({}, {"CD", "MD"}, {"memo choice"});
        ASSERT_TRUE(window->close());
    }
    for (const char* list :
         {"VLM1.txt", "VLM2.txt", "VLM3.txt", "ISU1.txt", "ISU2.txt", "ISU3.txt", "HT.txt"}) {
        EXPECT_TRUE(std::filesystem::exists(dir / list)) << list;
    }
    EXPECT_EQ(readBytes(dir / "VLM1.txt"), "");
    EXPECT_EQ(readBytes(dir / "VLM2.txt"), "CD\r\nMD\r\n");

    auto window = open();
    EXPECT_EQ(window->pos(), QPoint(40, 50));
    EXPECT_EQ(window->size(), QSize(740, 500));
    EXPECT_EQ(pageWidth(*window), 400);
    EXPECT_EQ(list(*window, "albumView")->columnWidth(1), 222);
    EXPECT_EQ(list(*window, "songView")->columnWidth(3), 321);
    AlbumEditDialog& edit = *window->findChild<AlbumEditDialog*>();
    EXPECT_EQ(edit.pos(), QPoint(10, 20));
    EXPECT_EQ(edit.size(), QSize(700, 520));
    EXPECT_EQ(test::child<QTableWidget>(&edit, "songTable")->columnWidth(2), 260);
    EXPECT_EQ(edit.mediaSuggestions(), (std::vector<std::string>{"CD", "MD"}));
    EXPECT_EQ(edit.memoChoices(), std::vector<std::string>{"memo choice"});
    trigger(window.get(), "quitWithoutSaving");
}

TEST_F(MainWindowTest, SettingsFileValuesAreShownAndKept)
{
    const std::string ini = "[Form]\r\nWidth=500\r\n[MPanel]\r\nWidth=730\r\nMemo1Caption=" + sjis(u"形式") +
                            "\r\n[AlbumGrid]\r\nFontName=" + sjis(u"ＭＳ Ｐゴシック") +
                            "\r\nFontSize=12\r\nFontBold=1\r\nFontColor=-16777208\r\nColor=255\r\n"
                            "[MemoForm]\r\nLeft=11\r\nMemoFontName=Mine\r\n[Mine]\r\nkey=value\r\n";
    writeBytes(dir / "VLM.ini", ini);
    auto window = open();
    EXPECT_EQ(window->width(), 732) << "never below the smallest width";
    EXPECT_EQ(labelText(*window, "category1Label"), QStringLiteral("形式"));
    EXPECT_EQ(window->categoryCaption(0), QStringLiteral("形式"));
    EXPECT_EQ(child<QButtonGroup>(window.get(), "searchGroup")->button(3)->text(), QStringLiteral("形式"));
    // A renamed category shows its saved caption everywhere from the start.
    EXPECT_EQ(list(*window, "albumView")->model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("形式"));
    EXPECT_EQ(child<QButtonGroup>(window.get(), "conversionGroup")->button(4)->text(),
              QStringLiteral("形式"));
    EXPECT_EQ(window->webSearchItemNames()[3], QStringLiteral("形式"));
    EXPECT_EQ(window->webSearchItemNames()[4], QStringLiteral("メディア名"))
        << "unchanged captions keep the item's text";
    EXPECT_EQ(test::child<QLabel>(window->findChild<AlbumEditDialog*>(), "category1Caption")->text(),
              QStringLiteral("形式(&G)"));
    const QFont font = list(*window, "albumView")->font();
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(list(*window, "songView")->font().bold());
    EXPECT_EQ(list(*window, "albumView")->palette().color(QPalette::Text),
              window->palette().color(QPalette::Text));
    EXPECT_EQ(list(*window, "albumView")->palette().color(QPalette::Base), QColor(255, 0, 0));
    trigger(window.get(), "save");
    const std::string saved = readBytes(dir / "VLM.ini");
    // Values of windows that are not built, and the user's own keys, pass
    // through; the stored font name comes back as it was.
    EXPECT_NE(saved.find("[MemoForm]\r\nLeft=11\r\n"), std::string::npos);
    EXPECT_NE(saved.find("MemoFontName=Mine\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[Mine]\r\nkey=value\r\n"), std::string::npos);
    EXPECT_NE(saved.find("FontName=" + sjis(u"ＭＳ Ｐゴシック") + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("FontColor=-16777208\r\n"), std::string::npos);
    trigger(window.get(), "quitWithoutSaving");
}

TEST_F(MainWindowTest, OnAWideWindowTheLastAlbumColumnReachesTheEdge)
{
    writeBytes(dataFile(), catalogue({"a"}));
    writeBytes(dir / "VLM.ini", "[AlbumGrid]\r\nColWidth1=120\r\nColWidth7=60\r\n");
    auto window = open();
    window->resize(1900, 1000);
    QTreeView* albums = list(*window, "albumView");
    ASSERT_TRUE(test::waitUntil([&] { return albums->viewport()->width() > 1500; }));
    QHeaderView* header = albums->header();
    const int last = header->count() - 1;
    EXPECT_EQ(header->sectionViewportPosition(last) + header->sectionSize(last), albums->viewport()->width());
    EXPECT_EQ(albums->columnWidth(1), 120);
    // The stored widths stay as they were, the last one too.
    trigger(window.get(), "save");
    const std::string saved = readBytes(dir / "VLM.ini");
    EXPECT_NE(saved.find("ColWidth1=120\r\n"), std::string::npos);
    EXPECT_NE(saved.find("ColWidth7=60\r\n"), std::string::npos);
    EXPECT_NE(saved.find("ColWidth2=150\r\n"), std::string::npos);
    trigger(window.get(), "quitWithoutSaving");
}

TEST_F(MainWindowTest, TheStoredToolPageWidthHoldsUntilTheWindowIsResized)
{
    for (auto [stored, expected] : {std::pair{730, 724}, std::pair{700, 700}}) {
        writeBytes(dir / "VLM.ini",
                   "[Form]\r\nWidth=732\r\n[MPanel]\r\nWidth=" + std::to_string(stored) + "\r\n");
        auto window = open();
        QApplication::processEvents();
        EXPECT_EQ(pageWidth(*window), expected) << stored;
        // A resize brings back the cap of the window width less 110.
        window->resize(760, window->height());
        QApplication::processEvents();
        EXPECT_LE(pageWidth(*window), 760 - 110) << stored;
        trigger(window.get(), "save");
        trigger(window.get(), "quitWithoutSaving");
    }
    writeBytes(dir / "VLM.ini", "[Form]\r\nWidth=732\r\n[MPanel]\r\nWidth=724\r\n");
    auto window = open();
    QApplication::processEvents();
    trigger(window.get(), "save");
    EXPECT_NE(readBytes(dir / "VLM.ini").find("[MPanel]\r\nWidth=724\r\n"), std::string::npos)
        << "a save right after the start keeps the stored page width";
    trigger(window.get(), "quitWithoutSaving");
}

}  // namespace
}  // namespace velmora::ui
