// Media devices over GStreamer: files through playbin; audio CDs in drives
// and the disc images libcdio reads (TOC, NRG) through cdiocddasrc; cue
// sheets track by track from the files they name (decoded, or raw CD
// samples for BINARY). Tables of contents come from cd_drive.
#pragma once

#include <functional>

#include "core/media/media_system.h"

namespace velmora::media {

class GstMediaSystem : public MediaSystem {
public:
    // Runs a function on the owner's (user-interface) thread later; play
    // endings and errors found by GStreamer's threads reach the devices'
    // owners through it. Without one they are not reported.
    using Poster = std::function<void(std::function<void()>)>;

    // Initialises GStreamer. The audio output is the one named in the
    // environment variable VELMORA_AUDIO_SINK (a GStreamer description such
    // as "fakesink sync=true"), otherwise the desktop's default.
    explicit GstMediaSystem(Poster poster = {});

    std::unique_ptr<MediaDevice> makeDevice() override;
    std::vector<std::string> cdDrives() override;

private:
    Poster poster_;
};

}  // namespace velmora::media
