// The folder picker: asks for a folder and remembers the one chosen.
#pragma once

#include <QString>

namespace velmora::ui {

class Prompter;

class FolderPicker {
public:
    explicit FolderPicker(Prompter& prompter) : prompter_(prompter) {}

    QString instruction;  // the instruction shown in the browser
    QString folderPath;   // the folder chosen by the last successful run

    // False when the user cancels; folderPath then keeps its value.
    bool choose();

private:
    Prompter& prompter_;
};

}  // namespace velmora::ui
