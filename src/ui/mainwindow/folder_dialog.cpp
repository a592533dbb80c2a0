#include "mainwindow/folder_dialog.h"

#include <QDir>

#include "platform/prompter.h"

namespace velmora::ui {

bool TFolderDialog::Execute()
{
    std::optional<QString> folder =
        prompter_.pickFolder(Title, FolderPath.isEmpty() ? QDir::homePath() : FolderPath);
    if (!folder) {
        return false;
    }
    FolderPath = QDir::toNativeSeparators(*folder);
    return true;
}

}  // namespace velmora::ui
