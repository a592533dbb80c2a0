// How the status bar's count panel draws its percentage gauge.
#pragma once

#include <string>

namespace velmora {

struct GaugeLayout {
    int percent = 0;
    int barWidth = 0;  // pixels from the gauge's start (panel left + 30)
    std::string text;  // "42%", or empty when the percentage is 0 or less
};

inline constexpr int kGaugeTextWidth = 30;

// `panelText` is the count (empty becomes "0"); `progressMax` the value
// that counts as 100 % (0 or less becomes 1, in the caller's variable).
// Halves round to even, as the rest of the program rounds.
GaugeLayout layoutStatusGauge(std::string& panelText, int& progressMax, int panelWidth);

}  // namespace velmora
