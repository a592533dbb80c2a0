// The folder picker: asks for a folder and remembers the one chosen.
#pragma once

#include <QString>

namespace velmora::ui {

class Prompter;

class TFolderDialog {
public:
    explicit TFolderDialog(Prompter& prompter) : prompter_(prompter) {}

    QString Title;       // the instruction shown in the browser
    QString FolderPath;  // the folder chosen by the last successful run

    // False when the user cancels; FolderPath then keeps its value.
    bool Execute();

private:
    Prompter& prompter_;
};

}  // namespace velmora::ui
