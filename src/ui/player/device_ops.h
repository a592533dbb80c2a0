// Steps on a media device that several windows share.
#pragma once

#include <QString>
#include <string>

#include "core/media/media_device.h"

namespace velmora::ui {

class Prompter;

// Lets pending paint and timer events run (not user input), as a device
// command in the middle of a window command does.
void letMessagesRun();

// Opens the device on its type and element, waiting; on failure shows the
// device's error text and gives false, the device left closed.
bool openDevice(media::MediaDevice& device, Prompter& prompter);

// Stops the device (waiting) when it is open and not stopped, and closes it,
// letting pending events run after each step.
void releaseDevice(media::MediaDevice& device);

// A media path of the catalogue as a local path: "\\" read as "/".
std::string localMediaPath(const QString& stored);

}  // namespace velmora::ui
