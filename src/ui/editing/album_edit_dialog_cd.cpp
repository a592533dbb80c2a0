// The edit dialog's CD registration: the disc's track references go into
// the song grid's media paths; the album table changes only when the user
// applies the dialog. After the references, the titles can come from
// MusicBrainz: they fill the fields that are still empty, and replace typed
// text only when the user agrees.
#include "core/discdata/album_fill.h"
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
            const int conflicts = discdata::countTextConflicts(shown, *fetched);
            const bool overwrite =
                conflicts > 0 &&
                services_.prompter.askYesNo(QStringLiteral("入力済みの%1か所がMusicBrainzの内容と異なります。"
                                                           "MusicBrainzの内容で置き換えますか？")
                                                .arg(conflicts));
            discdata::mergeFetchedTexts(shown, *fetched, overwrite);
            // The picture comes along only where none was named.
            if (shown[store::ImagePathColumn].empty()) {
                shown[store::ImagePathColumn] = (*fetched)[store::ImagePathColumn];
            }
        }
    }
    showRecord(shown);
}

}  // namespace velmora::ui
