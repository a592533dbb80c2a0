// The folder picker: asks for a folder and starts the next browse at the
// one chosen last.
#pragma once

#include <QString>
#include <optional>

namespace velmora::ui {

class Prompter;

class FolderPicker {
public:
    explicit FolderPicker(Prompter& prompter) : prompter_(prompter) {}

    // The folder chosen (native separators), or nothing when the user
    // cancels. `instruction` is shown in the browser; the browse starts at
    // the last folder chosen, at first in the home folder.
    std::optional<QString> choose(const QString& instruction);

private:
    Prompter& prompter_;
    QString lastFolder_;
};

}  // namespace velmora::ui
