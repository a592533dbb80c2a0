// The HTML page export of the main window and the preview page.
#include <QAbstractButton>
#include <QImage>
#include <QUrl>
#include <algorithm>

#include "core/store/data_file.h"
#include "support/window_settings.h"
#include "ui/main/main_window_fixture.h"
#include "ui/options/options_dialog.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;
using namespace velmora::store;

class HtmlTest : public MainWindowTest {
protected:
    std::unique_ptr<MainWindow> openWith(const std::vector<std::string>& albums)
    {
        std::string file = dataLineWith({}) + "\r\n";
        for (const std::string& a : albums) {
            file += a + "\r\n";
        }
        writeBytes(dataFile(), file);
        return open();
    }
    std::unique_ptr<MainWindow> openWithPictures()
    {
        makePictures();
        return openWith({dataLineWith({{ArtistColumn, "a"},
                                       {ImagePathColumn, (dir / "src" / "a.jpg").string()},
                                       {songTitleColumn(2), "s"},
                                       {mediaColumn(2), (dir / "src" / "song.mp3").string()},
                                       {FuriganaColumn, "a"}}),
                         dataLineWith({{ArtistColumn, "b"},
                                       {ImagePathColumn, (dir / "src" / "b.png").string()},
                                       {FuriganaColumn, "b"}})});
    }
    void makePictures()
    {
        fs::create_directory(dir / "src");
        // The window shows the selected album's picture: real images.
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(path(dir / "src" / "a.jpg"), "JPG"));
        image.fill(Qt::blue);
        ASSERT_TRUE(image.save(path(dir / "src" / "b.png"), "PNG"));
        writeBytes(dir / "src" / "song.mp3", "mp3");
        fs::create_directory(dir / "out");
    }
    static void exportPage(MainWindow& window) { trigger(&window, "exportHtml"); }
    QString path(const fs::path& p) const { return QString::fromStdString(p.string()); }
    std::vector<std::string> pageLines(const fs::path& file) const
    {
        const std::string bytes = readBytes(file);
        std::vector<std::string> lines;
        for (std::string_view line : splitLines(bytes)) {
            lines.push_back(fromCp932(line).toStdString());
        }
        return lines;
    }
    static bool contains(const std::vector<std::string>& lines, std::string_view line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(HtmlTest, NothingShown)
{
    auto window = openWith({album("a")});
    window->catalogue().showAlbums({});
    prompter.expectMessage(Kind::Information);
    exportPage(*window);
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_EQ(prompter.asked()[0].text, QStringLiteral("表示されているアルバムがありません"));
}

TEST_F(HtmlTest, EmptyFolderNameIsRefusedEvenWithoutCopying)
{
    auto window = openWith({album("a")});
    test::changeSettings(*window, [](store::AppSettings& s) {
        s.html[7] = false;
        s.htmlFolderName.clear();
    });
    prompter.expectMessage(Kind::Information);
    exportPage(*window);
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_EQ(prompter.asked()[0].text,
              QStringLiteral("設定パネルで、リンクするファイルをコピーするフォルダ名を設定してください"));
}

TEST_F(HtmlTest, CancelledSaveDialogWritesNothing)
{
    auto window = openWith({album("a")});
    prompter.answerText(std::nullopt, Kind::SaveFile);
    const std::size_t before = dir.entryCount();
    exportPage(*window);
    EXPECT_EQ(prompter.asked()[0].text, QStringLiteral("書き出しファイル名入力"));
    EXPECT_EQ(dir.entryCount(), before);
}

TEST_F(HtmlTest, WritesTheShownAlbumsInListOrder)
{
    auto window = openWith({album("first", "Rock & Roll <Live>"), album("second")});
    store::ListFiles lists = window->catalogue().lists();
    lists.htmlComments = {"<i>hi</i>"};
    window->catalogue().setLists(std::move(lists));
    test::changeSettings(*window, [](store::AppSettings& s) { s.htmlTitle = "My <CDs>"; });
    window->catalogue().showAlbums({2, 1, 2});
    prompter.answerText(path(dir / "page.html"), Kind::SaveFile);
    exportPage(*window);
    std::vector<std::string> lines = pageLines(dir / "page.html");
    EXPECT_TRUE(contains(lines, "<title>My &lt;CDs&gt;</title>"));
    EXPECT_TRUE(contains(lines, "<i>hi</i><br>"));
    EXPECT_TRUE(contains(lines, "<br>アルバム数: 3"));
    std::vector<std::string> heads;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(heads),
                 [](const std::string& l) { return l.starts_with("<h3>"); });
    EXPECT_EQ(heads, (std::vector<std::string>{"<h3>second / t</h3>",
                                               "<h3>first / Rock &amp; Roll &lt;Live&gt;</h3>",
                                               "<h3>second / t</h3>"}));
    EXPECT_TRUE(contains(lines, "/ <a href=\"#S\">S</a>/ <a href=\"#F\">F</a>/ <a href=\"#S\">S</a>"));
    EXPECT_TRUE(readBytes(dir / "page.html").ends_with("</html>\r\n"));
    EXPECT_FALSE(fs::exists(dir / "files"));
    EXPECT_EQ(statusText(*window, 1), QStringLiteral("HTML書き出し終了"));
}

TEST_F(HtmlTest, CopiesLinkedFilesWithRelativeLinks)
{
    auto window = openWithPictures();
    test::changeSettings(*window, [](store::AppSettings& s) {
        s.html[7] = true;
        s.htmlPass = 1;
    });
    window->catalogue().showAlbums({2, 1});
    prompter.answerText(path(dir / "out" / "page.html"), Kind::SaveFile);
    exportPage(*window);

    EXPECT_EQ(readBytes(dir / "out" / "files" / "1.png"), readBytes(dir / "src" / "b.png"));
    EXPECT_EQ(readBytes(dir / "out" / "files" / "2.jpg"), readBytes(dir / "src" / "a.jpg"));
    EXPECT_EQ(readBytes(dir / "out" / "files" / "2_2.mp3"), "mp3");
    std::vector<std::string> lines = pageLines(dir / "out" / "page.html");
    EXPECT_TRUE(contains(lines, "<img src=\"files/1.png\" alt=\"\" height=\"100\" width=\"100\">"));
    EXPECT_TRUE(contains(lines, "<img src=\"files/2.jpg\" alt=\"\" height=\"100\" width=\"100\">"));
    EXPECT_TRUE(contains(lines, "<br>2; <a href=\"files/2_2.mp3\">s</a>"));
    EXPECT_EQ(statusText(*window, 0), QStringLiteral("4"));
    EXPECT_EQ(statusText(*window, 1), QStringLiteral("HTML書き出し終了"));
}

TEST_F(HtmlTest, AbsoluteLinksToTheCopies)
{
    auto window = openWithPictures();
    test::changeSettings(*window, [](store::AppSettings& s) {
        s.html[7] = true;
        s.htmlFolderName = "pics";
    });
    prompter.answerText(path(dir / "out" / "page.html"), Kind::SaveFile);
    exportPage(*window);
    const std::string folder = (dir / "out" / "pics").string();
    std::vector<std::string> lines = pageLines(dir / "out" / "page.html");
    EXPECT_TRUE(contains(lines, "<img src=\"" + folder + "/1.jpg\" alt=\"\" height=\"100\" width=\"100\">"));
    EXPECT_TRUE(contains(lines, "<br>2; <a href=\"" + folder + "/1_2.mp3\">s</a>"));
}

TEST_F(HtmlTest, FolderThatCannotBeCreatedEndsTheExport)
{
    auto window = openWithPictures();
    test::changeSettings(*window, [](store::AppSettings& s) { s.html[7] = true; });
    writeBytes(dir / "out" / "files", "in the way");
    prompter.answerText(path(dir / "out" / "page.html"), Kind::SaveFile);
    prompter.expectMessage(Kind::Error);
    exportPage(*window);
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("フォルダ ") + path(dir / "out" / "files") +
                                                QStringLiteral("\r\nを作成できませんでした"));
    EXPECT_FALSE(fs::exists(dir / "out" / "page.html"));
}

TEST_F(HtmlTest, RenameFailureIsReportedPerFile)
{
    auto window = openWithPictures();
    test::changeSettings(*window, [](store::AppSettings& s) {
        s.html[7] = true;
        s.htmlPass = 1;
    });
    fs::create_directories(dir / "out" / "files" / "1.jpg" / "x");
    prompter.answerText(path(dir / "out" / "page.html"), Kind::SaveFile);
    prompter.expectMessage(Kind::Error);
    exportPage(*window);
    EXPECT_EQ(prompter.asked().back().text,
              path(dir / "out" / "files" / "1.jpg") + QStringLiteral("\r\n書き換えに失敗しました。"));
    std::vector<std::string> lines = pageLines(dir / "out" / "page.html");
    EXPECT_FALSE(contains(lines, "<img src=\"files/1.jpg\" alt=\"\" height=\"100\" width=\"100\">"));
    EXPECT_TRUE(contains(lines, "<img src=\"files/2.png\" alt=\"\" height=\"100\" width=\"100\">"));
}

TEST_F(HtmlTest, PreviewWritesTheSamplePageAndOpensIt)
{
    auto window = openWith({album("a")});
    // The options dialog's preview button asks the window for the page.
    trigger(window.get(), "options");
    OptionsDialog* options = window->findChild<OptionsDialog*>();
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(options->isVisible());
    child<QAbstractButton>(options, "htmlPreviewButton")->click();
    const fs::path file = dir / "HTMLP.html";
    ASSERT_TRUE(fs::exists(file));
    std::vector<std::string> lines = pageLines(file);
    EXPECT_TRUE(contains(lines, "<br>アルバム数: 10"));
    EXPECT_TRUE(contains(lines, "<h3>アーティスト9 / アルバム9</h3>"));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], QUrl::fromLocalFile(path(file)));
    child<QAbstractButton>(options, "cancelButton")->click();
    EXPECT_FALSE(options->isVisible());
}

}  // namespace
}  // namespace velmora::ui
