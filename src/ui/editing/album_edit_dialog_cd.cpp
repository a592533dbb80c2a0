// The edit dialog's CD registration: the disc's track references go into
// the song grid's media paths; the album table changes only when the user
// applies the dialog. After the references, the titles can come from
// MusicBrainz: they fill the fields that are still empty, and replace typed
// text only when the user agrees.
#include "ui/discdata/disc_album_lookup.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"

namespace velmora::ui {

void AlbumEditDialog::registerDiscTracks()
{
    const store::AlbumRecord kept = main_.editedAlbum;
    std::optional<store::AlbumRecord> fields = editedRecord();
    if (!fields) {
        return;
    }
    main_.editedAlbum = std::move(*fields);
    std::vector<std::int64_t> titleLookup;
    if (main_.readDiscIntoEditedAlbum(&titleLookup)) {
        store::AlbumRecord shown = main_.editedAlbum;
        if (!titleLookup.empty()) {
            if (std::optional<store::AlbumRecord> fetched =
                    main_.fetchDiscAlbumData(this, titleLookup, shown)) {
                shown = mergeIntoEditedAlbum(prompter_, shown, *fetched);
            }
        }
        loadAlbum(shown);
    }
    main_.editedAlbum = kept;
}

}  // namespace velmora::ui
