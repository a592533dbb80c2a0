// Album data for the disc in the drive, from MusicBrainz, as a window asks
// for it: the request runs while a cancellable progress box shows (the
// window keeps painting and never waits on the network), several releases
// are offered as a list, and the front cover is saved in the data folder.
#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/discdata/album_fill.h"
#include "core/store/album_record.h"
#include "core/store/app_settings.h"
#include "net/disc_data_client.h"

class QUrl;
class QWidget;

namespace velmora::ui {

class Prompter;
class Shell;

class DiscAlbumLookup {
public:
    // The progress box's object name (tests find it among the windows).
    static constexpr const char* kProgressName = "DiscLookupProgress";

    DiscAlbumLookup(QWidget* parent, Prompter& prompter, Shell& shell, const store::AppSettings& settings,
                    std::filesystem::path dataDir);

    // `base` filled from the release the user chose for the disc in
    // `element` (a drive or disc image, read as the command line reads it;
    // a drive the media layer does not know counts from the tracks' lengths
    // `trackFrames`), its front cover (when the release has one) saved as
    // covers/{mbid}.jpg and named as the picture. Nothing when the user
    // cancelled, and after a message when the disc is no audio CD, is not
    // registered or the service cannot be reached. `chosenReadings`: the
    // readings the user chose per artist, which the fill prefers.
    std::optional<discdata::AlbumFill> run(const std::string& element,
                                           const std::vector<std::int64_t>& trackFrames,
                                           const store::AlbumRecord& base,
                                           const readings::ChosenReadings* chosenReadings = nullptr);

private:
    net::LookupResult lookup(const QString& discId, const QString& toc);
    net::CoverResult cover(const QString& releaseId);
    template <typename Result, typename Start>
    Result waitWithProgress(const QString& label, Start start);
    void attachCover(discdata::AlbumFill& fill, const std::string& releaseId);

    QWidget* parent_;
    Prompter& prompter_;
    Shell& shell_;
    std::string server_;
    std::filesystem::path dataDir_;
    net::DiscDataClient client_;
};

// The message naming the fields that hold a 「〓」 and the songs left out,
// empty when there is nothing to say.
QString fillNotes(const discdata::AlbumFill& fill);

// What to tell the user when the disc in `element` gave no tracks: why an
// image is refused (damaged, a file of its cue sheet missing), otherwise
// `otherwise`.
QString unreadableDiscText(const std::string& element, const QString& otherwise);

// Hands an address to the desktop; when no browser opens it, shows the
// address in a box the user can copy it from.
void openAddress(Shell& shell, Prompter& prompter, const QUrl& address);

// Fetched album data merged into the album being edited: empty fields are
// filled; when typed fields differ, the question names them and its default
// button keeps the typed text. The picture comes along only where none is
// named.
store::AlbumRecord mergeIntoEditedAlbum(Prompter& prompter, const store::AlbumRecord& shown,
                                        const store::AlbumRecord& fetched);

// The text of that question for these fields (UTF-8 names).
QString overwriteQuestion(const std::vector<std::string>& fields);

}  // namespace velmora::ui
