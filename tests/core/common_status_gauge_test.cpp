#include "core/common/status_gauge.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(StatusGauge, PercentTextAndBar)
{
    struct Case {
        std::string text;
        int max;
        int width;
        int percent;
        int bar;
        std::string label;
    };
    const Case cases[] = {
        {"0", 305, 150, 0, 0, ""},    {"", 10, 150, 0, 0, ""},         {"305", 305, 150, 100, 120, "100%"},
        {"1", 8, 150, 12, 14, "12%"},                                   // 12.5 rounds to even
        {"3", 8, 150, 38, 46, "38%"},                                   // 37.5 rounds to even
        {"1", 3, 130, 33, 33, "33%"}, {"5", 4, 150, 125, 150, "125%"},  // past the end: the bar runs on
        {"-2", 4, 150, -50, -60, ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        int max = c.max;
        GaugeLayout layout = layoutStatusGauge(text, max, c.width);
        EXPECT_EQ(layout.percent, c.percent) << c.text << "/" << c.max;
        EXPECT_EQ(layout.barWidth, c.bar) << c.text << "/" << c.max;
        EXPECT_EQ(layout.text, c.label) << c.text << "/" << c.max;
    }
}

TEST(StatusGauge, FixesAnUnsetMaximumAndAnEmptyCount)
{
    std::string text = "3";
    int max = 0;
    GaugeLayout layout = layoutStatusGauge(text, max, 150);
    EXPECT_EQ(max, 1);
    EXPECT_EQ(layout.text, "300%");

    std::string empty;
    int negative = -4;
    layoutStatusGauge(empty, negative, 150);
    EXPECT_EQ(empty, "0");
    EXPECT_EQ(negative, 1);
}

}  // namespace
}  // namespace velmora
