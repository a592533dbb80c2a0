// The edit dialog's CD registration: the disc's track references go into
// the song grid's media paths; the album table changes only when the user
// applies the dialog. After the references, the titles can come from
// MusicBrainz: they fill the fields that are still empty, and replace typed
// text only when the user agrees.
#include "discdata/album_fill.h"
#include "editing/tedit_form.h"
#include "mainwindow/tform1.h"
#include "platform/prompter.h"

namespace velmora::ui {

void TEditForm::CDEntryButtonClick()
{
    const store::AlbumRecord kept = main_.EditListBox;
    std::optional<store::AlbumRecord> fields = EditDataReturn();
    if (!fields) {
        return;
    }
    main_.EditListBox = std::move(*fields);
    std::vector<std::int64_t> titleLookup;
    if (main_.CDDataToListBox(&titleLookup)) {
        store::AlbumRecord shown = main_.EditListBox;
        if (!titleLookup.empty()) {
            if (std::optional<store::AlbumRecord> fetched =
                    main_.fetchDiscAlbumData(this, titleLookup, shown)) {
                const int conflicts = discdata::countTextConflicts(shown, *fetched);
                const bool overwrite =
                    conflicts > 0 &&
                    prompter_.askYesNo(QStringLiteral("入力済みの%1か所がMusicBrainzの内容と異なります。"
                                                      "MusicBrainzの内容で置き換えますか？")
                                           .arg(conflicts));
                discdata::mergeFetchedTexts(shown, *fetched, overwrite);
                // The picture comes along only where none was named.
                if (shown[store::ImagePathColumn].empty()) {
                    shown[store::ImagePathColumn] = (*fetched)[store::ImagePathColumn];
                }
            }
        }
        EditDataSend(shown);
    }
    main_.EditListBox = kept;
}

}  // namespace velmora::ui
