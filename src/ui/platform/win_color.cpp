#include "ui/platform/win_color.h"

namespace velmora::ui {

QColor colorFromStored(std::int32_t stored, const QPalette& palette)
{
    if (stored >= 0) {
        const auto value = static_cast<std::uint32_t>(stored);
        return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                      static_cast<int>((value >> 16) & 0xFF));
    }
    // 0x80000008 and 0xFF000008 both name system colour 8: only the low
    // byte counts.
    switch (static_cast<std::uint32_t>(stored) & 0xFF) {
        case 5:  // window background
            return palette.color(QPalette::Base);
        case 6:  // window frame
            return palette.color(QPalette::Dark);
        case 8:  // window text
            return palette.color(QPalette::Text);
        case 13:  // highlight
            return palette.color(QPalette::Highlight);
        case 14:  // highlighted text
            return palette.color(QPalette::HighlightedText);
        case 15:  // button face
            return palette.color(QPalette::Button);
        case 18:  // button text
            return palette.color(QPalette::ButtonText);
        case 4:  // menu
            return palette.color(QPalette::Window);
        case 7:  // menu text
            return palette.color(QPalette::WindowText);
        default:
            return palette.color(QPalette::Text);
    }
}

std::int32_t storedFromColor(const QColor& color)
{
    const std::uint32_t value = static_cast<std::uint32_t>(color.red()) |
                                (static_cast<std::uint32_t>(color.green()) << 8) |
                                (static_cast<std::uint32_t>(color.blue()) << 16);
    return static_cast<std::int32_t>(value);
}

}  // namespace velmora::ui
