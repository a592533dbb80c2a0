// Audio CD: the drive, registration of a disc's tracks and lookup of the
// disc's album.
#include "editing/tmemo_form.h"
#include "mainwindow/tform1.h"
#include "media/device_ops.h"

namespace velmora::ui {

std::string TForm1::cdDriveElement()
{
    const std::vector<std::string> drives = media_->cdDrives();
    const int index = Settings.cdDrive;
    if (index < 0 || index >= static_cast<int>(drives.size())) {
        return {};
    }
    return drives[static_cast<std::size_t>(index)];
}

void TForm1::releasePreviewDevice()
{
    if (memoForm_ != nullptr) {
        memoForm_->MediaEjectButtonClick();
    } else {
        releaseDevice(*previewDevice_);
    }
}

void TForm1::wireCdCommands() {}
bool TForm1::CDDataToListBox() { return false; }
void TForm1::CDCD1Click() {}
int TForm1::CD2Click(bool) { return 0; }

}  // namespace velmora::ui
