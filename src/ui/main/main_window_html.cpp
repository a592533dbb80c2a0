// The HTML page export of the main window, and the sample page that the
// options dialog previews.
#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QUrl>
#include <filesystem>

#include "core/exchange/exchange.h"
#include "core/exchange/html_export.h"
#include "core/store/file_error.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/shell.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {

namespace {

QString displayPath(const std::filesystem::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

// Lets the window repaint during a long export, but takes no clicks.
void letPaintRun()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void MainWindow::exportHtmlPage()
{
    const int rows = albumModel_->rowCount();
    if (rows == 0) {
        prompter_.information(QStringLiteral("表示されているアルバムがありません"));
        return;
    }
    if (appSettings.htmlFolderName.empty()) {
        prompter_.information(fromUtf8(exchange::kNoFolderNameMessage));
        return;
    }
    std::optional<QString> name =
        prompter_.saveFile(QStringLiteral("書き出しファイル名入力"),
                           QStringLiteral("HTMLファイル (*.html *.htm);;すべてのファイル (*)"), QString());
    if (!name || name->isEmpty()) {
        return;
    }
    const std::filesystem::path file = fileSystemPath(*name);
    if (!exchange::folderExists(file)) {
        prompter_.information(QStringLiteral("存在しないディレクトリです"));
        return;
    }
    // The stored options, not what the options dialog may hold unconfirmed.
    const exchange::HtmlOptions options = exchange::htmlOptions(appSettings, listFiles);
    const std::vector<int> albums = listedAlbums();

    std::filesystem::path linkFolder;
    if (options.copyFiles) {
        linkFolder = exchange::htmlLinkFolder(file, options);
        std::string message;
        if (!exchange::prepareLinkFolder(linkFolder, options, &message)) {
            prompter_.error(fromUtf8(message));
            return;
        }
        statusProgressMax = rows * 2;
        setStatus(0, QStringLiteral("0"));
        setStatus(1, QStringLiteral("リンクファイル書き出し..."));
        repaintStatus();
        for (const exchange::HtmlFileCopy& copy :
             exchange::htmlFileCopies(catalogue_.albums(), albums, options, linkFolder)) {
            setStatus(0, QString::number(copy.step));
            setStatus(1, fromUtf8(copy.sourceText) + QStringLiteral("書き出し..."));
            repaintStatus();
            if (!exchange::copyLinkedFile(copy, &message)) {
                prompter_.error(fromUtf8(message));
            }
            letPaintRun();
        }
    }

    store::FileError error;
    if (!exchange::writeHtmlPage(
            file, exchange::htmlPageLines(catalogue_.albums(), albums, options, linkFolder), &error)) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
        return;
    }
    setStatus(0, QString::number(statusProgressMax));
    setStatus(1, QStringLiteral("HTML書き出し終了"));
    repaintStatus();
}

void MainWindow::previewHtmlPage()
{
    // The sample page follows the options as appSettings hold them.
    const std::filesystem::path file = folder_.file("HTMLP.html");
    store::FileError error;
    if (!exchange::writeHtmlPage(
            file, exchange::htmlPreviewLines(exchange::htmlOptions(appSettings, listFiles)), &error)) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
        return;
    }
    letPaintRun();
    shell_.open(QUrl::fromLocalFile(displayPath(file)));
}

}  // namespace velmora::ui
