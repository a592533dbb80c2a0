// Colours as the settings file stores them: 0x00BBGGRR for a plain colour,
// or a negative value whose low byte names a system colour.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

class QWidget;

namespace velmora::ui {

// The colour to show for a stored value; system colours come from the
// palette (window text, window, button face, highlight ...).
QColor colorFromStored(std::int32_t stored, const QPalette& palette);

// The value to store for a colour chosen by the user: a plain colour.
std::int32_t storedFromColor(const QColor& color);

// Gives a list or text box the text and background colours stored for it.
// The window text and window background system colours follow the
// palette, and so does the design background (plain white under a system
// text colour), which is no choice of the user: a dark desktop theme then
// shows light text on a dark list, and a change of theme reaches the list
// at once. A colour the user chose stays as chosen. Disabled entries keep
// the palette's grey text unless `disabledTextToo`.
void applyStoredColors(QWidget& widget, std::int32_t text, std::int32_t background, bool disabledTextToo);

// Whether stored colours are the design ones that follow the palette.
bool followsPalette(std::int32_t text, std::int32_t background);

}  // namespace velmora::ui
