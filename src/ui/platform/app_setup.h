// Application-wide set-up shared by the program and the window tests.
#pragma once

class QApplication;

namespace velmora::ui {

// Before the application object exists: dates in Qt's file dialogs follow
// the system locale's time format, which is made Japanese unless the user's
// environment already chooses a Japanese one or sets every category.
void prepareEnvironment();

// instruction, icon, Japanese Qt dialogs, and Japanese fonts for the Windows font
// names that catalogues and settings carry.
void setUpApplication(QApplication& app);

}  // namespace velmora::ui
