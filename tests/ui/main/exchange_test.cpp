// Import, data and CSV export, and the clipboard commands of the main window.
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "ui/main/main_window_fixture.h"
#include "ui/options/options_dialog.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {
namespace {

using namespace velmora::store;
using test::dataLine;
using velmora::ui::artists;

class ExchangeTest : public MainWindowTest {
protected:
    std::unique_ptr<MainWindow> openWith(std::initializer_list<std::string_view> artists)
    {
        writeBytes(dataFile(), catalogue(artists));
        return open();
    }
    static std::string rowLine(MainWindow& window, int album)
    {
        return std::string(window.catalogue().albums().rowLine(album));
    }
    QString path(std::string_view name) const { return QString::fromStdString((dir / name).string()); }
    std::vector<QString> askedTexts() const
    {
        std::vector<QString> texts;
        for (const auto& asked : prompter.asked()) {
            texts.push_back(asked.text);
        }
        return texts;
    }
    static void setCsvUtf8(MainWindow& window, bool on)
    {
        store::AppSettings settings = window.catalogue().settings();
        settings.csvUtf8 = on;
        window.catalogue().setSettings(std::move(settings));
    }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }
};

TEST_F(ExchangeTest, ImportsADataFileAfterYes)
{
    auto window = openWith({"a", "b"});
    const std::string first = album("x");
    const std::string second = dataLineWith({{ArtistColumn, "y"}, {songTitleColumn(99), "s"}});
    writeBytes(dir / "in.dat", dataLine({}) + "\r\n" + first + "\r\n" + second + "\r\n");
    clearSelection(*window);
    prompter.answerText(path("in.dat"), Kind::OpenFile);
    prompter.answerYesNo(true);
    trigger(window.get(), "importData");

    EXPECT_EQ(askedTexts(), (std::vector<QString>{QStringLiteral("読み込みファイル選択"),
                                                  QStringLiteral("Velmoraファイルですか？")}));
    ASSERT_EQ(window->catalogue().albumCount(), 4);
    // The reserved line is no album; the others come back cell for cell.
    EXPECT_EQ(rowLine(*window, 3), first);
    EXPECT_EQ(rowLine(*window, 4), second);
    EXPECT_EQ(cell(*window, FuriganaColumn, 4), "") << "no reading is filled in";
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(labelText(*window, "albumCountLabel"), QStringLiteral("4"));
    EXPECT_EQ(listText(*window, 3, 1), QStringLiteral("y"));
}

TEST_F(ExchangeTest, ImportsUpperCaseDatAsDelimitedText)
{
    auto window = openWith({"a"});
    writeBytes(dir / "x.DAT", "\"p\",\"q\",\"r\"\r\n\r\n\"s\"");
    prompter.answerText(path("x.DAT"), Kind::OpenFile);
    // First round: a quote and the default delimiter, not confirmed; then
    // the structure is confirmed.
    prompter.answerText(QStringLiteral("\""));
    prompter.answerText(std::nullopt);
    prompter.answerConfirm(false);
    prompter.answerText(QStringLiteral("\""));
    prompter.answerText(QStringLiteral(","));
    prompter.answerConfirm(true);
    trigger(window.get(), "importData");

    const QString structure = QStringLiteral("ファイルの構造は、\r\n\"文章\",\"文章\"\r\nですか？");
    EXPECT_EQ(askedTexts(),
              (std::vector<QString>{QStringLiteral("読み込みファイル選択"),
                                    QStringLiteral("文を囲む文字があれば入力してください"),
                                    QStringLiteral("文の区切り文字を入力してください"), structure,
                                    QStringLiteral("文を囲む文字があれば入力してください"),
                                    QStringLiteral("文の区切り文字を入力してください"), structure}));
    ASSERT_EQ(window->catalogue().albumCount(), 3) << "the empty line adds no album";
    EXPECT_EQ(rowLine(*window, 2), dataLine({"p", "q", "r"}));
    EXPECT_EQ(rowLine(*window, 3), dataLine({"s"}));
    EXPECT_EQ(window->catalogue().listedAlbums().size(), 3u);
}

TEST_F(ExchangeTest, ImportAsTextAfterNoWithEmptyAnswers)
{
    auto window = openWith({"a"});
    writeBytes(dir / "in.dat", "m<>n,o\r\n");
    prompter.answerText(path("in.dat"), Kind::OpenFile);
    prompter.answerYesNo(false);
    prompter.answerText(QString());
    prompter.answerText(QString());
    prompter.answerConfirm(true);
    trigger(window.get(), "importData");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("ファイルの構造は、\r\n文章文章\r\nですか？"));
    EXPECT_EQ(rowLine(*window, 2), dataLine({"m", "n,o"}));
}

TEST_F(ExchangeTest, ImportFailures)
{
    auto window = openWith({"a"});
    const std::string before(rowLine(*window, 1));

    prompter.answerText(std::nullopt, Kind::OpenFile);
    trigger(window.get(), "importData");
    EXPECT_EQ(prompter.asked().size(), 1u);

    prompter.answerText(path("none.csv"), Kind::OpenFile);
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "importData");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("存在しないファイルです"));

    // Half a character at the end of a short line: every line comes in,
    // and one message counts the lines that lost the half character.
    writeBytes(dir / "cut.csv", "b\r\nc,\x83\r\nd\x81\r\n");
    prompter.answerText(path("cut.csv"), Kind::OpenFile);
    prompter.answerText(QString());
    prompter.answerText(QStringLiteral(","));
    prompter.answerConfirm(true);
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "importData");
    EXPECT_EQ(prompter.asked().back().text,
              QStringLiteral("2行が文字の途中で終わっていたため、行末の半端な文字を除いて読み込みました。"));
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(rowLine(*window, 3), dataLine({"c", ""}));
    EXPECT_EQ(window->catalogue().albumCount(), 4);

    // A character Shift-JIS cannot hold is refused and asked again.
    writeBytes(dir / "ok.csv", "d\r\n");
    prompter.answerText(path("ok.csv"), Kind::OpenFile);
    prompter.answerText(QString::fromUtf8("\xF0\x9F\x8E\xB5"));
    prompter.answerText(QStringLiteral(","));
    prompter.expectMessage(Kind::Information);
    prompter.answerText(QString());
    prompter.answerText(QStringLiteral(","));
    prompter.answerConfirm(true);
    trigger(window.get(), "importData");
    EXPECT_EQ(artists(*window), (std::vector<std::string>{"a", "b", "c", "d", "d"}));
    EXPECT_EQ(rowLine(*window, 1), before);
}

TEST_F(ExchangeTest, ImportsUtf8AndSaysSo)
{
    auto window = openWith({"a"});
    // UTF-8 without a mark, as a data file: the question says how it is read.
    writeBytes(dir / "u.dat", "うただ<>ｳﾀﾀﾞ😀<>〜\n");
    prompter.answerText(path("u.dat"), Kind::OpenFile);
    prompter.answerYesNo(true);
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "importData");
    EXPECT_EQ(askedTexts(),
              (std::vector<QString>{
                  QStringLiteral("読み込みファイル選択"),
                  QStringLiteral("Velmoraファイルですか？\r\nUTF-8のファイルとして読み込みます"),
                  QStringLiteral("Shift-JISにない文字が1文字あり、「〓」に置き換えました（1行目）。")}));
    ASSERT_EQ(window->catalogue().albumCount(), 2);
    EXPECT_EQ(rowLine(*window, 2),
              dataLine({"\x82\xA4\x82\xBD\x82\xBE", "\xB3\xC0\xC0\xDE\x81\xAC", "\x81\x60"}));

    // With a mark, as CSV: the structure question says it too.
    writeBytes(dir / "m.csv", "\xEF\xBB\xBF\"髙\",\"x\"\r\n");
    prompter.answerText(path("m.csv"), Kind::OpenFile);
    prompter.answerText(QStringLiteral("\""));
    prompter.answerText(QStringLiteral(","));
    prompter.answerConfirm(true);
    trigger(window.get(), "importData");
    EXPECT_EQ(
        prompter.asked().back().text,
        QStringLiteral(
            "ファイルの構造は、\r\n\"文章\",\"文章\"\r\nですか？\r\nUTF-8のファイルとして読み込みます"));
    ASSERT_EQ(window->catalogue().albumCount(), 3);
    EXPECT_EQ(fromCp932(cell(*window, ArtistColumn, 3)), QStringLiteral("髙"));
    EXPECT_EQ(cell(*window, 1, 3), "x");
}

TEST_F(ExchangeTest, DataExportWritesTheShownAlbumsOnceInNumberOrder)
{
    auto window = openWith({"a", "b", "c", "d", "e", "f", "g", "h"});
    window->catalogue().showAlbums({7, 7, 2, 7});
    prompter.answerText(path("out.txt"), Kind::SaveFile);
    trigger(window.get(), "exportData");
    EXPECT_EQ(prompter.asked().front().text, QStringLiteral("書き出しファイル名入力"));
    EXPECT_EQ(readBytes(dir / "out.txt"), album("b") + "\r\n" + album("g") + "\r\n");
    // Nothing else changed.
    EXPECT_EQ(window->catalogue().listedAlbums(), (std::vector<int>{7, 7, 2, 7}));
    EXPECT_EQ(window->catalogue().albumCount(), 8);
}

TEST_F(ExchangeTest, CsvExportConfirmsTheFormat)
{
    auto window = openWith({"a", "b", "c"});
    window->catalogue().showAlbums({3, 1, 3});
    prompter.answerText(path("out.csv"), Kind::SaveFile);
    prompter.answerConfirm(false);
    prompter.answerText(QStringLiteral("\""));
    prompter.answerText(std::nullopt);  // the default delimiter
    prompter.answerConfirm(true);
    trigger(window.get(), "exportCsv");

    const auto& asked = prompter.asked();
    ASSERT_EQ(asked.size(), 5u);
    EXPECT_EQ(asked[1].text,
              QStringLiteral("文の区切り文字＝,\r\n文を囲む文字＝\r\n文章,文章\r\nの形ですか？"));
    EXPECT_EQ(asked[4].text,
              QStringLiteral("文の区切り文字＝,\r\n文を囲む文字＝\"\r\n\"文章\",\"文章\"\r\nの形ですか？"));
    auto quoted = [](std::string_view artist) {
        std::string line;
        for (int c = 0; c < kColumnCount; ++c) {
            std::string_view text = c == ArtistColumn || c == FuriganaColumn ? artist
                                    : c == AlbumColumn                       ? "t"
                                                                             : "";
            line += (c ? ",\"" : "\"") + std::string(text) + "\"";
        }
        return line + "\r\n";
    };
    EXPECT_EQ(readBytes(dir / "out.csv"), quoted("a") + quoted("c"));
}

TEST_F(ExchangeTest, AFifoInPlaceOfTheCatalogueIsReportedWithoutWaiting)
{
    // Reading a FIFO would wait for a writer for ever; the window starts
    // and says what is wrong instead.
    ASSERT_EQ(::mkfifo(dataFile().c_str(), 0600), 0);
    prompter.expectMessage(Kind::Error);
    auto window = open();
    ASSERT_EQ(prompter.asked().size(), 1u);
    EXPECT_EQ(prompter.asked()[0].text, QStringLiteral("ファイルを読み込めませんでした。\r\n") +
                                            QString::fromStdString(dataFile().string()) +
                                            QStringLiteral("\r\n通常のファイルではありません。"));
    EXPECT_EQ(window->catalogue().albumCount(), 0);
    trigger(window.get(), "quitWithoutSaving");
}

TEST_F(ExchangeTest, CsvExportInUtf8WhenTheOptionIsOn)
{
    auto window = openWith({"\x9F\x40", "b"});  // 檗
    {
        // The option lies with the export settings of the options dialog.
        trigger(window.get(), "options");
        OptionsDialog* options = window->findChild<OptionsDialog*>();
        auto* utf8 = options->findChild<QCheckBox*>(QStringLiteral("CsvUtf8Check"));
        ASSERT_NE(utf8, nullptr);
        EXPECT_EQ(utf8->text(), QStringLiteral("CSVファイルをUTF-8 (BOM付き) で書き出す"));
        EXPECT_FALSE(utf8->isChecked()) << "off by default";
        utf8->setChecked(true);
        QTest::mouseClick(options->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    }
    prompter.answerText(path("u.csv"), Kind::SaveFile);
    prompter.answerConfirm(true);
    trigger(window.get(), "exportCsv");
    const std::string bytes = readBytes(dir / "u.csv");
    EXPECT_TRUE(
        bytes.starts_with("\xEF\xBB\xBF"
                          "檗,"));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2);

    setCsvUtf8(*window, false);
    prompter.answerText(path("s.csv"), Kind::SaveFile);
    prompter.answerConfirm(true);
    trigger(window.get(), "exportCsv");
    EXPECT_TRUE(readBytes(dir / "s.csv").starts_with("\x9F\x40,"));
}

TEST_F(ExchangeTest, ExportMessagesAndFailures)
{
    auto window = openWith({"a"});
    prompter.answerText(path("missing/out.csv"), Kind::SaveFile);
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "exportCsv");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("存在しないディレクトリです"));

    prompter.answerText(std::nullopt, Kind::SaveFile);
    trigger(window.get(), "exportData");

    // A file that cannot be written says so and names it.
    std::filesystem::create_directory(dir / "taken");
    prompter.answerText(path("taken"), Kind::SaveFile);
    prompter.expectMessage(Kind::Error);
    trigger(window.get(), "exportData");
    EXPECT_TRUE(prompter.asked().back().text.startsWith(QStringLiteral("ファイルに保存できませんでした。")));
    EXPECT_TRUE(prompter.asked().back().text.contains(QStringLiteral("taken")));

    window->catalogue().showAlbums({});
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "exportData");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("表示されているアルバムがありません"));
    prompter.expectMessage(Kind::Information);
    trigger(window.get(), "exportCsv");
    EXPECT_EQ(prompter.asked().back().text, QStringLiteral("表示されているアルバムがありません"));
}

TEST_F(ExchangeTest, ClipboardCommands)
{
    writeBytes(dataFile(), catalogue({"a"}) +
                               dataLineWith({{ArtistColumn, "b"},
                                             {AlbumColumn, "B"},
                                             {FuriganaColumn, "bee"},
                                             {songTitleColumn(1), "one"},
                                             {mediaColumn(2), "/m/2.mp3"}}) +
                               "\r\n" + album("c", "C") + "\r\n");
    auto window = open();
    select(*window, {2, 0, 1});
    trigger(window.get(), "copyArtistNames");
    EXPECT_EQ(clipboard(), QStringLiteral("a\r\nb\r\nc\r\n"));
    trigger(window.get(), "copyAlbumTitles");
    EXPECT_EQ(clipboard(), QStringLiteral("t\r\nB\r\nC\r\n"));

    select(*window, {1});
    trigger(window.get(), "copyAlbumDetails");
    EXPECT_EQ(clipboard(),
              QStringLiteral("<Album No.2>\r\nアーティスト名:b (bee)\r\nアルバム名:B\r\nジャンル：\r\n"
                             "メディア：\r\n<Songs>\r\n1：one\r\n2：？ [/m/2.mp3]\r\n\r\n"));
    trigger(window.get(), "copyAlbumSummary");
    EXPECT_EQ(clipboard(), QStringLiteral("<Album No.2>\r\nb / B\r\n<Songs>\r\n1：one\r\n\r\n"));

    selectSong(*window, 1);
    trigger(window.get(), "copySongDetails");
    EXPECT_EQ(clipboard(), QStringLiteral("<Album No.2 / Song No.2>\r\nb (bee) / B\r\n曲名：\r\n"
                                          "メディアファイル：/m/2.mp3\r\n"));
    trigger(window.get(), "copySongTitle");
    EXPECT_EQ(clipboard(), QStringLiteral("\r\n"));
    selectSong(*window, 0);
    trigger(window.get(), "copySongTitle");
    EXPECT_EQ(clipboard(), QStringLiteral("one\r\n"));
    trigger(window.get(), "copySongDetails");
    EXPECT_EQ(clipboard(), QStringLiteral("<Album No.2 / Song No.1>\r\nb (bee) / B\r\n曲名：one\r\n"));

    // With nothing selected nothing is placed.
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    clearSelection(*window);
    for (const char* action : {"copyAlbumDetails", "copyAlbumSummary", "copySongDetails", "copyArtistNames",
                               "copyAlbumTitles", "copySongTitle"}) {
        trigger(window.get(), action);
    }
    EXPECT_EQ(clipboard(), QStringLiteral("kept"));
}

TEST_F(ExchangeTest, SongOfASortedSongListIsItsSlot)
{
    writeBytes(dataFile(), catalogue({}) +
                               dataLineWith({{ArtistColumn, "x"},
                                             {FuriganaColumn, "x"},
                                             {songTitleColumn(1), "b"},
                                             {songTitleColumn(2), "a"}}) +
                               "\r\n");
    auto window = open();
    clickHeading(songView(*window), 1);  // ..., a (2), b (1)
    ASSERT_EQ(songText(*window, 97, 0), QStringLiteral("2"));
    selectSong(*window, 97);
    trigger(window.get(), "copySongTitle");
    EXPECT_EQ(clipboard(), QStringLiteral("a\r\n"));
}

TEST_F(ExchangeTest, CtrlCInTheAlbumListCopiesTheDetails)
{
    auto window = openWith({"a", "b"});
    select(*window, {1});
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    QTest::keyClick(albumView(*window), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("kept"));
    QTest::keyClick(albumView(*window), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("<Album No.2>\r\nアーティスト名:b\r\nアルバム名:t\r\nジャンル：\r\n"
                                          "メディア：\r\n<Songs>\r\n\r\n"));
}

}  // namespace
}  // namespace velmora::ui
