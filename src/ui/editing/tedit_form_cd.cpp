// The edit dialog's CD registration: the disc's track references go into
// the song grid's media paths; the album table changes only when the user
// applies the dialog.
#include "editing/tedit_form.h"
#include "mainwindow/tform1.h"

namespace velmora::ui {

void TEditForm::CDEntryButtonClick()
{
    const store::AlbumRecord kept = main_.EditListBox;
    std::optional<store::AlbumRecord> fields = EditDataReturn();
    if (!fields) {
        return;
    }
    main_.EditListBox = std::move(*fields);
    if (main_.CDDataToListBox()) {
        EditDataSend(main_.EditListBox);
    }
    main_.EditListBox = kept;
}

}  // namespace velmora::ui
