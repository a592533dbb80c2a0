// The memo pad: one song column of the edit dialog as plain text.
#pragma once

#include <QWidget>

#include "store/app_settings.h"

namespace velmora::ui {

class Prompter;
class TForm1;

class TMemoForm : public QWidget {
    Q_OBJECT
public:
    // The look (font and colours) from the main window's settings; run at
    // creation and after the options dialog's OK.
    void applyLook();
    // Stores the window's place into the settings before a save.
    void collectSettings(store::AppSettings& settings) const;

    TMemoForm(TForm1& main, Prompter& prompter, QWidget* parent = nullptr);

    // Releases the preview device and clears this dialog's player.
    void MediaEjectButtonClick();

private:
    TForm1& main_;
    Prompter& prompter_;
};

}  // namespace velmora::ui
