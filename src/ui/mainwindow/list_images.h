// The images of the album and song lists, by their index in the image list.
#pragma once

#include <QIcon>

namespace velmora::ui {

enum ListImage : int {
    NoListImage = -1,
    SearchHitImage = 2,
    MediaFileImage = 17,
    CdImage = 19,
};

QIcon listImageIcon(int image);

// A tool or menu icon: the desktop theme's icon when it has one, else ours.
QIcon themedIcon(const char* themeName, const char* bundledName);

}  // namespace velmora::ui
