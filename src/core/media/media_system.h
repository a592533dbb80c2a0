// Where media devices and the list of CD drives come from: the GStreamer
// and libcdio layer in the program, a fake in tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/media/media_device.h"

namespace velmora::media {

class MediaSystem {
public:
    virtual ~MediaSystem() = default;
    // A new, closed device on auto-select.
    virtual std::unique_ptr<MediaDevice> makeDevice() = 0;
    // The CD drives the user can choose from, in the order the options
    // dialog lists them: the element to open for each.
    virtual std::vector<std::string> cdDrives() = 0;
};

// A system without sound: every open fails with a Japanese text, and there
// are no drives. Used where no media layer was given.
class NoMediaSystem : public MediaSystem {
public:
    std::unique_ptr<MediaDevice> makeDevice() override;
    std::vector<std::string> cdDrives() override { return {}; }
};

}  // namespace velmora::media
