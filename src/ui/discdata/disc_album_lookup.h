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

    // `base` filled from the release the user chose for the disc whose
    // tracks last `trackFrames`, its front cover (when the release has one)
    // saved as covers/{mbid}.jpg and named as the picture. Nothing when the
    // user cancelled, and after a message when the disc is not registered or
    // the service cannot be reached.
    std::optional<discdata::AlbumFill> run(const std::vector<std::int64_t>& trackFrames,
                                           const store::AlbumRecord& base);

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

}  // namespace velmora::ui
