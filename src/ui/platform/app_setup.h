// Application-wide set-up shared by the program and the window tests.
#pragma once

class QApplication;

namespace velmora::ui {

// Title, icon, Japanese Qt dialogs, and Japanese fonts for the Windows font
// names that catalogues and settings carry.
void setUpApplication(QApplication& app);

}  // namespace velmora::ui
