// The media player window: a playlist played on the player device.
#pragma once

#include <QWidget>

class QToolButton;

namespace velmora::ui {

class Prompter;
class TForm1;

class TMediaPlayerForm : public QWidget {
    Q_OBJECT
public:
    TMediaPlayerForm(TForm1& main, Prompter& prompter, QWidget* parent = nullptr);

    QToolButton* PauseButton = nullptr;
    void PauseButtonClick();

private:
    TForm1& main_;
    Prompter& prompter_;
};

}  // namespace velmora::ui
