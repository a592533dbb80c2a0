// The memo pad: one song column of the edit dialog as plain text.
#pragma once

#include <QWidget>

namespace velmora::ui {

class Prompter;
class TForm1;

class TMemoForm : public QWidget {
    Q_OBJECT
public:
    TMemoForm(TForm1& main, Prompter& prompter, QWidget* parent = nullptr);

    // Releases the preview device and clears this dialog's player.
    void MediaEjectButtonClick();

private:
    TForm1& main_;
    Prompter& prompter_;
};

}  // namespace velmora::ui
