// Import, data and CSV export, and the clipboard commands of the main window.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <filesystem>

#include "core/exchange/exchange.h"
#include "core/store/data_file.h"
#include "core/store/file_error.h"
#include "ui/main/album_info_panel.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/main/song_list_model.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {

using exchange::ClipFormat;

namespace {

// The enclosing text and the delimiter of delimited text, as typed and as
// Shift-JIS bytes.
struct TextFormat {
    QString enclose;
    QString delimiter = QStringLiteral(",");
    std::string encloseBytes;
    std::string delimiterBytes = ",";

    // "文章" twice, each enclosed, with the delimiter between.
    QString sample() const
    {
        const QString word = enclose + QStringLiteral("文章") + enclose;
        return word + delimiter + word;
    }
};

// Asks for the enclosing text, then the delimiter; a cancelled box gives
// its default. Nothing (after saying why) when Shift-JIS cannot hold them.
std::optional<TextFormat> askTextFormat(Prompter& prompter)
{
    TextFormat format;
    format.enclose = prompter
                         .inputText(QStringLiteral("文を囲む文字"),
                                    QStringLiteral("文を囲む文字があれば入力してください"), QString())
                         .value_or(QString());
    format.delimiter = prompter
                           .inputText(QStringLiteral("文の区切り文字"),
                                      QStringLiteral("文の区切り文字を入力してください"), QStringLiteral(","))
                           .value_or(QStringLiteral(","));
    QString problem;
    std::optional<std::string> enclose = toCp932(format.enclose, &problem);
    std::optional<std::string> delimiter = enclose ? toCp932(format.delimiter, &problem) : std::nullopt;
    if (!delimiter) {
        prompter.information(problem);
        return std::nullopt;
    }
    format.encloseBytes = *enclose;
    format.delimiterBytes = *delimiter;
    return format;
}

// Steps shared by the exports: something shown, a file named, its folder
// there. Nothing when the command ends.
std::optional<std::filesystem::path> askExportFile(Prompter& prompter, bool nothingShown,
                                                   const QString& filter)
{
    if (nothingShown) {
        prompter.information(QStringLiteral("表示されているアルバムがありません"));
        return std::nullopt;
    }
    std::optional<QString> name =
        prompter.saveFile(QStringLiteral("書き出しファイル名入力"), filter, QString());
    if (!name || name->isEmpty()) {
        return std::nullopt;
    }
    std::filesystem::path file = fileSystemPath(*name);
    if (!exchange::folderExists(file)) {
        prompter.information(QStringLiteral("存在しないディレクトリです"));
        return std::nullopt;
    }
    return file;
}

std::vector<int> selectedAlbums(const MainWindow& window)
{
    std::vector<int> albums;
    for (int row : window.selectedListRows()) {
        albums.push_back(window.catalogue().entries().at(static_cast<std::size_t>(row)).album);
    }
    return albums;
}

void placeOnClipboard(const std::string& text)
{
    if (!text.empty()) {
        QGuiApplication::clipboard()->setText(fromCp932(text));
    }
}

}  // namespace

int MainWindow::selectedSongNumber() const
{
    // The song's number is its item's caption: sorting keeps it.
    const int row = selectedSongRow();
    return row < 0 ? 0 : songModel_->item(row).caption.toInt();
}

void MainWindow::importDataFile()
{
    std::optional<QString> name = prompter_.openFile(
        QStringLiteral("読み込みファイル選択"),
        QStringLiteral("CSVファイル (*.csv *.CSV);;Velmoraデータ (*.dat *.DAT);;すべてのファイル (*)"),
        QString());
    if (!name || name->isEmpty()) {
        return;
    }
    const std::filesystem::path file = fileSystemPath(*name);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        prompter_.information(QStringLiteral("存在しないファイルです"));
        return;
    }
    auto bytes = std::make_shared<store::FileBytes>();
    store::FileError error;
    if (!store::readWholeFile(file, *bytes, &error)) {
        prompter_.error(fromUtf8(store::readFailureMessage(error)));
        return;
    }
    // A UTF-8 or UTF-16 file is converted to Shift-JIS first; the questions
    // say so. A file that holds no text is not imported.
    const exchange::ImportText text = exchange::importText(bytes->view(), bytes);
    if (!text.refusal.empty()) {
        prompter_.error(fromUtf8(text.refusal));
        return;
    }
    const QString utf8Note = text.utf16 ? QStringLiteral("\r\nUTF-16のファイルとして読み込みます")
                             : text.utf8 ? QStringLiteral("\r\nUTF-8のファイルとして読み込みます")
                                         : QString();
    // Only a lower-case ".dat" may be a data file.
    const bool dataFileMode = QFileInfo(*name).fileName().endsWith(QStringLiteral(".dat")) &&
                              prompter_.askYesNo(QStringLiteral("Velmoraファイルですか？") + utf8Note);
    TextFormat format;
    // Delimited text: ask until the user confirms some structure.
    while (!dataFileMode) {
        std::optional<TextFormat> typed = askTextFormat(prompter_);
        if (typed && prompter_.confirm(QStringLiteral("ファイルの構造は、\r\n") + typed->sample() +
                                       QStringLiteral("\r\nですか？") + utf8Note)) {
            format = *typed;
            break;
        }
    }
    exchange::ImportedRows imported = exchange::importRows(
        store::splitLines(text.text), dataFileMode, format.encloseBytes, format.delimiterBytes, text.source);
    const std::string report = exchange::importReport(text, imported);
    catalogue_.appendImported(std::move(imported));
    infoPage_->setRegisteredCount(catalogue_.albumCount());
    showAllAlbums();
    // What was changed on the way in, said once for the whole file.
    if (!report.empty()) {
        prompter_.information(fromUtf8(report));
    }
}

void MainWindow::exportDataFile()
{
    std::optional<std::filesystem::path> file =
        askExportFile(prompter_, albumModel_->rowCount() == 0,
                      QStringLiteral("Velmoraデータ (*.dat);;すべてのファイル (*)"));
    if (!file) {
        return;
    }
    store::FileError error;
    if (!exchange::writeDataExport(*file, catalogue_.albums(),
                                   exchange::exportAlbumSet(listedAlbums(), catalogue_.albums().rowCount()),
                                   &error)) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
    }
}

void MainWindow::exportCsvFile()
{
    std::optional<std::filesystem::path> file = askExportFile(
        prompter_, albumModel_->rowCount() == 0, QStringLiteral("CSVファイル (*.csv);;すべてのファイル (*)"));
    if (!file) {
        return;
    }
    TextFormat format;
    while (!prompter_.confirm(QStringLiteral("文の区切り文字＝") + format.delimiter +
                              QStringLiteral("\r\n文を囲む文字＝") + format.enclose + QStringLiteral("\r\n") +
                              format.sample() + QStringLiteral("\r\nの形ですか？"))) {
        if (std::optional<TextFormat> typed = askTextFormat(prompter_)) {
            format = *typed;
        }
    }
    store::FileError error;
    if (!exchange::writeCsvExport(*file, catalogue_.albums(),
                                  exchange::exportAlbumSet(listedAlbums(), catalogue_.albums().rowCount()),
                                  format.encloseBytes, format.delimiterBytes, &error, appSettings.csvUtf8)) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
    }
}

void MainWindow::copyAlbumDetails()
{
    placeOnClipboard(
        exchange::clipboardText(catalogue_.albums(), ClipFormat::AlbumDetails, selectedAlbums(*this)));
}

void MainWindow::copyAlbumSummary()
{
    placeOnClipboard(
        exchange::clipboardText(catalogue_.albums(), ClipFormat::AlbumSummary, selectedAlbums(*this)));
}

void MainWindow::copyArtistNames()
{
    placeOnClipboard(
        exchange::clipboardText(catalogue_.albums(), ClipFormat::ArtistNames, selectedAlbums(*this)));
}

void MainWindow::copyAlbumTitles()
{
    placeOnClipboard(
        exchange::clipboardText(catalogue_.albums(), ClipFormat::AlbumTitles, selectedAlbums(*this)));
}

void MainWindow::copySongDetails()
{
    const int album = selectedAlbum();
    const int song = selectedSongNumber();
    if (album != 0 && song != 0) {
        placeOnClipboard(
            exchange::clipboardText(catalogue_.albums(), ClipFormat::SongDetails, {album}, song));
    }
}

void MainWindow::copySongTitle()
{
    const int album = selectedAlbum();
    const int song = selectedSongNumber();
    if (album != 0 && song != 0) {
        placeOnClipboard(exchange::clipboardText(catalogue_.albums(), ClipFormat::SongTitle, {album}, song));
    }
}

}  // namespace velmora::ui
