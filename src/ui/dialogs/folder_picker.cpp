#include "ui/dialogs/folder_picker.h"

#include <QDir>

#include "ui/platform/prompter.h"

namespace velmora::ui {

std::optional<QString> FolderPicker::choose(const QString& instruction)
{
    const std::optional<QString> folder =
        prompter_.pickFolder(instruction, lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_);
    if (!folder) {
        return std::nullopt;
    }
    lastFolder_ = QDir::toNativeSeparators(*folder);
    return lastFolder_;
}

}  // namespace velmora::ui
