#include "ui/platform/win_color.h"

#include <QApplication>
#include <QWidget>

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

namespace {

// The stored value of plain white, the design background of every list.
constexpr std::int32_t kDesignBackground = 0xFFFFFF;
// System colours 8 (window text) and 5 (window background).
constexpr int kWindowText = 8;
constexpr int kWindowBackground = 5;

bool isSystem(std::int32_t stored, int index)
{
    return stored < 0 && static_cast<int>(static_cast<std::uint32_t>(stored) & 0xFF) == index;
}

}  // namespace

bool followsPalette(std::int32_t text, std::int32_t background)
{
    return text < 0 && background == kDesignBackground;
}

void applyStoredColors(QWidget& widget, std::int32_t text, std::int32_t background, bool disabledTextToo)
{
    // An empty palette sets no role: every role not set below comes from
    // the parent's palette, now and after a change of theme.
    QPalette palette;
    const QWidget* parent = widget.parentWidget();
    const QPalette from = parent != nullptr ? parent->palette() : QApplication::palette(&widget);
    // A list that keeps its selection visible without the focus keeps
    // doing so.
    const QPalette& before = widget.palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        if (before.color(QPalette::Inactive, role) == before.color(QPalette::Active, role)) {
            palette.setColor(QPalette::Inactive, role, from.color(QPalette::Active, role));
        }
    }
    if (!followsPalette(text, background)) {
        if (!isSystem(text, kWindowText)) {
            const QColor color = colorFromStored(text, from);
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                palette.setColor(group, QPalette::Text, color);
            }
            if (disabledTextToo) {
                palette.setColor(QPalette::Disabled, QPalette::Text, color);
            }
        }
        if (!isSystem(background, kWindowBackground)) {
            const QColor color = colorFromStored(background, from);
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                palette.setColor(group, QPalette::Base, color);
            }
        }
    }
    widget.setPalette(palette);
}

}  // namespace velmora::ui
