// How the windows read the disc in a drive for its identifiers. The media
// layer installs its reader (libcdio's drives and images, our cue sheets)
// when it is linked in; the windows ask through here, so that the command
// line and the windows identify every disc the same way.
#pragma once

#include <functional>
#include <string>

#include "core/discdata/disc_id.h"

namespace velmora::discdata {

struct DiscReading {
    // False: no reader is installed, or nothing of that name can be opened
    // (a drive the media layer does not know).
    bool available = false;
    LayoutTable layout;
    // Why the disc cannot be identified (Japanese), empty when it can.
    std::string problem;
    // The disc was read but is refused: a damaged image, a cue sheet whose
    // files are missing. Players and registration say `problem` too.
    bool refused = false;
};

using DiscReader = std::function<DiscReading(const std::string& element)>;

void installDiscReader(DiscReader reader);
// The reading of `element`, not available when no reader is installed.
DiscReading readDiscForIds(const std::string& element);

}  // namespace velmora::discdata
