// The edit dialog's CD registration: the disc's track references go into
// the song grid's media paths; the album table changes only when the user
// applies the dialog. After the references, the titles can come from
// MusicBrainz: they fill the fields that are still empty, and replace typed
// text only when the user agrees.
#include "ui/discdata/disc_album_lookup.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/platform/prompter.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

void AlbumEditDialog::registerDiscTracks()
{
    if (!requests_.readDisc) {
        return;
    }
    std::optional<store::AlbumRecord> fields = editedRecord();
    if (!fields) {
        return;
    }
    std::vector<std::int64_t> titleLookup;
    std::optional<store::AlbumRecord> read = requests_.readDisc(*fields, &titleLookup);
    if (!read) {
        return;
    }
    store::AlbumRecord shown = std::move(*read);
    if (!titleLookup.empty() && requests_.fetchDiscData) {
        if (std::optional<store::AlbumRecord> fetched = requests_.fetchDiscData(this, titleLookup, shown)) {
            shown = mergeIntoEditedAlbum(services_.prompter, shown, *fetched);
        }
    }
    showRecord(shown);
}

}  // namespace velmora::ui
