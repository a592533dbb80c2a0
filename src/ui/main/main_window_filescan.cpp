// "フォルダから登録(&F)...": albums from the music files under a folder.
#include <filesystem>

#include "ui/filescan/folder_scan_session.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {

void MainWindow::registerFolderFromTags()
{
    if (findChild<FolderScanSession*>() != nullptr) {
        return;  // one scan at a time; its dialog is already on screen
    }
    std::optional<QString> name =
        prompter_.pickFolder(QStringLiteral("音楽ファイルのフォルダを選択"), QString());
    if (!name || name->isEmpty()) {
        return;
    }
    const std::filesystem::path root = fileSystemPath(*name);
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) {
        prompter_.information(QStringLiteral("存在しないフォルダです"));
        return;
    }
    auto* session = new FolderScanSession(*this, catalogue_, prompter_, folder_, root,
                                          static_cast<filescan::TagEncoding>(appSettings.tagEncoding));
    connect(session, &FolderScanSession::albumsRegistered, this, [this](int first) {
        showAllAlbums();
        // Every album is shown in number order: album n is on row n - 1.
        selectAndShowListRow(first - 1);
    });
    session->start();
}

}  // namespace velmora::ui
