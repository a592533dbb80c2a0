// A stored font setting (Windows name, size, bold, italic) as a Qt font.
#pragma once

#include <QFont>

#include "core/store/app_settings.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {

// `base` with the setting's family, size, bold and italic. The stored name
// is kept; a Windows name the machine lacks is drawn with the Japanese font
// it is substituted by.
inline QFont fontFrom(const store::FontSetting& setting, const QFont& base)
{
    QFont font = base;
    font.setFamily(fromCp932(setting.name));
    font.setPointSize(setting.size > 0 ? setting.size : 9);
    font.setBold(setting.bold);
    font.setItalic(setting.italic);
    return font;
}

}  // namespace velmora::ui
