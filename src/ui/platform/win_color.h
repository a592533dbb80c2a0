// Colours as the settings file stores them: 0x00BBGGRR for a plain colour,
// or a negative value whose low byte names a system colour.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace velmora::ui {

// The colour to show for a stored value; system colours come from the
// palette (window text, window, button face, highlight ...).
QColor colorFromStored(std::int32_t stored, const QPalette& palette);

// The value to store for a colour chosen by the user: a plain colour.
std::int32_t storedFromColor(const QColor& color);

}  // namespace velmora::ui
