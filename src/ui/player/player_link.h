// What a dialog may ask of the media player window without holding it:
// whether it is shown, and to bring it to the front.
#pragma once

#include <functional>

namespace velmora::ui {

struct PlayerWindowLink {
    std::function<bool()> isShown;
    std::function<void()> bringToFront;

    bool shown() const { return isShown && isShown(); }
    void toFront() const
    {
        if (bringToFront) {
            bringToFront();
        }
    }
};

}  // namespace velmora::ui
