#include "ui/dialogs/folder_picker.h"

#include <QDir>

#include "ui/platform/prompter.h"

namespace velmora::ui {

bool FolderPicker::choose()
{
    std::optional<QString> folder =
        prompter_.pickFolder(instruction, folderPath.isEmpty() ? QDir::homePath() : folderPath);
    if (!folder) {
        return false;
    }
    folderPath = QDir::toNativeSeparators(*folder);
    return true;
}

}  // namespace velmora::ui
