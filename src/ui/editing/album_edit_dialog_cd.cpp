// The edit dialog's CD registration: the disc's track references go into
// the song grid's media paths; the album table changes only when the user
// applies the dialog. After the references, the titles can come from
// MusicBrainz: they fill the fields that are still empty, and replace typed
// text only when the user agrees.
#include "core/discdata/album_fill.h"
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
        loadAlbum(shown);
    }
    main_.editedAlbum = kept;
}

}  // namespace velmora::ui
