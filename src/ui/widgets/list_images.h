// The images of the album and song lists, by their index in the image list.
#pragma once

#include <QIcon>
#include <QLabel>
#include <string_view>

#include "core/store/album_record.h"

namespace velmora::ui {

enum ListImage : int {
    NoListImage = -1,
    SearchHitImage = 2,
    MediaFileImage = 17,
    CdImage = 19,
};

QIcon listImageIcon(int image);

// The list image of a media cell: CD track, media file or none.
int mediaImage(std::string_view mediaCell);
// The image of a kind of media.
int mediaKindImage(store::MediaKind kind);

// Shows a picture file fitted into `box` (size x size), or leaves the
// label hidden: false when the file exists but is no picture it can read.
bool showPicture(QLabel* box, QLabel* noImage, const QString& file, int size);

// A tool or menu icon: the desktop theme's icon when it has one, else ours.
QIcon themedIcon(const char* themeName, const char* bundledName);

}  // namespace velmora::ui
