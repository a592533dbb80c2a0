#include "ui/platform/folder_memory.h"

#include <QDir>
#include <QFileInfo>

namespace velmora::ui {

QString FolderMemory::startPath(const QString& kind, const QString& given) const
{
    const QString remembered = folders_.value(kind);
    if (remembered.isEmpty() || QFileInfo(given).isAbsolute()) {
        return given;
    }
    return given.isEmpty() ? remembered : QDir(remembered).filePath(given);
}

void FolderMemory::remember(const QString& kind, const QString& chosenFile)
{
    if (!chosenFile.isEmpty()) {
        folders_.insert(kind, QFileInfo(chosenFile).absolutePath());
    }
}

}  // namespace velmora::ui
