// The media player window: a playlist played on the player device.
#pragma once

#include <QWidget>

#include "store/app_settings.h"

class QToolButton;

namespace velmora::ui {

class Prompter;
class TForm1;

class TMediaPlayerForm : public QWidget {
    Q_OBJECT
public:
    // The look (font and colours) from the main window's settings; run at
    // creation and after the options dialog's OK.
    void applyLook();
    // Stores the window's place into the settings before a save.
    void collectSettings(store::AppSettings& settings) const;

    TMediaPlayerForm(TForm1& main, Prompter& prompter, QWidget* parent = nullptr);

    QToolButton* PauseButton = nullptr;
    void PauseButtonClick();

private:
    TForm1& main_;
    Prompter& prompter_;
};

}  // namespace velmora::ui
