// The HTML page export of the main window.
#include "mainwindow/tform1.h"

namespace velmora::ui {

void TForm1::wireHtmlCommands() {}
void TForm1::HTML1Click() {}
void TForm1::HTMLPreview() {}

}  // namespace velmora::ui
