#include "core/common/status_gauge.h"

#include <charconv>
#include <cmath>

namespace velmora {

GaugeLayout layoutStatusGauge(std::string& panelText, int& progressMax, int panelWidth)
{
    if (progressMax <= 0) {
        progressMax = 1;
    }
    if (panelText.empty()) {
        panelText.push_back('0');
    }
    long long count = 0;
    auto [end, ec] = std::from_chars(panelText.data(), panelText.data() + panelText.size(), count);
    if (ec != std::errc() || end != panelText.data() + panelText.size()) {
        count = 0;
    }
    GaugeLayout layout;
    // nearbyint rounds halves to even in the default rounding mode.
    layout.percent = static_cast<int>(std::nearbyint(static_cast<double>(count) / progressMax * 100.0));
    layout.barWidth =
        static_cast<int>(std::nearbyint((panelWidth - kGaugeTextWidth) / 100.0 * layout.percent));
    if (layout.percent > 0) {
        layout.text = std::to_string(layout.percent) + "%";
    }
    return layout;
}

}  // namespace velmora
