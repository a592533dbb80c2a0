// The HTML page export of the main window, and the sample page that the
// options dialog previews.
#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QUrl>
#include <filesystem>

#include "exchange/exchange.h"
#include "exchange/html_export.h"
#include "mainwindow/album_list_model.h"
#include "mainwindow/tform1.h"
#include "platform/prompter.h"
#include "platform/shell.h"
#include "platform/text_codec.h"
#include "store/file_error.h"

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

void TForm1::wireHtmlCommands()
{
    QAction* action = menuAction(QStringLiteral("HTMLファイル"));
    Q_ASSERT(action != nullptr);
    connect(action, &QAction::triggered, this, &TForm1::exportHtmlPage);
}

void TForm1::exportHtmlPage()
{
    const int rows = albumModel_->rowCount();
    if (rows == 0) {
        prompter_.information(QStringLiteral("表示されているアルバムがありません"));
        return;
    }
    if (Settings.htmlFolderName.empty()) {
        prompter_.information(fromUtf8(exchange::kNoFolderNameMessage));
        return;
    }
    std::optional<QString> name = prompter_.saveFile(QStringLiteral("書き出しファイル名入力"),
                                                     QStringLiteral("すべてのファイル (*)"), QString());
    if (!name || name->isEmpty()) {
        return;
    }
    const std::filesystem::path file = fileSystemPath(*name);
    if (!exchange::folderExists(file)) {
        prompter_.information(QStringLiteral("存在しないディレクトリです"));
        return;
    }
    // The stored options, not what the options dialog may hold unconfirmed.
    const exchange::HtmlOptions options = exchange::htmlOptions(Settings, Lists);
    const std::vector<int> albums = listedAlbums();

    std::filesystem::path linkFolder;
    if (options.copyFiles) {
        linkFolder = exchange::htmlLinkFolder(file, options);
        std::string message;
        if (!exchange::prepareLinkFolder(linkFolder, options, &message)) {
            prompter_.error(fromUtf8(message));
            return;
        }
        StatusProgressMax = rows * 2;
        setStatus(0, QStringLiteral("0"));
        setStatus(1, QStringLiteral("リンクファイル書き出し..."));
        repaintStatus();
        for (const exchange::HtmlFileCopy& copy :
             exchange::htmlFileCopies(DataGrid, albums, options, linkFolder)) {
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
    if (!exchange::writeHtmlPage(file, exchange::htmlPageLines(DataGrid, albums, options, linkFolder),
                                 &error)) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
        return;
    }
    setStatus(0, QString::number(StatusProgressMax));
    setStatus(1, QStringLiteral("HTML書き出し終了"));
    repaintStatus();
}

void TForm1::HTMLPreview()
{
    // The sample page follows the options as Settings hold them.
    const std::filesystem::path file = folder_.file("HTMLP.html");
    store::FileError error;
    if (!exchange::writeHtmlPage(file, exchange::htmlPreviewLines(exchange::htmlOptions(Settings, Lists)),
                                 &error)) {
        prompter_.error(fromUtf8(store::writeFailureMessage(error)));
        return;
    }
    letPaintRun();
    shell_.open(QUrl::fromLocalFile(displayPath(file)));
}

}  // namespace velmora::ui
