// Media paths of the catalogue as local file names for Qt.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "ui/player/device_ops.h"

namespace velmora::ui {

// A stored media or picture path as a local file name ("\\" read as "/").
inline QString localPath(const QString& stored)
{
    return QFile::decodeName(QByteArray::fromStdString(localMediaPath(stored)));
}

}  // namespace velmora::ui
