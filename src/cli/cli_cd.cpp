#include <QCoreApplication>
#include <QString>
#include <memory>

#include "backends/cd_drive.h"
#include "backends/gst_media.h"
#include "cli/cli_common.h"
#include "core/discdata/album_fill.h"
#include "core/discdata/disc_id.h"
#include "core/media/audio_cd.h"
#include "core/store/album_record.h"
#include "core/store/app_settings.h"
#include "core/store/atomic_file.h"
#include "core/store/columns.h"
#include "net/cover_file.h"
#include "net/disc_data_client.h"

namespace velmora::cli {

namespace {

// Exit codes of cd fetch besides 0 and kExitError.
constexpr int kExitUnknownDisc = 1;
constexpr int kExitSeveralReleases = 3;

struct DiscRead {
    discdata::DiscTable table;
    discdata::DiscIds ids;
    std::vector<std::string> references;
};

// The disc's table of contents and identifiers; nothing (after the message)
// with the exit code in `code`.
std::optional<DiscRead> readDiscIds(Context& ctx, const std::string& device, int& code)
{
    const media::DiscIdentity identity = media::readDiscIdentity(device);
    if (identity.state == media::DriveState::Missing) {
        ctx.err << identity.problem << "\n";
        code = kExitError;
        return std::nullopt;
    }
    DiscRead disc;
    disc.table = identity.layout.table;
    std::optional<discdata::DiscIds> ids;
    if (identity.problem.empty()) {
        ids = discdata::computeDiscIds(disc.table);
        disc.references = discdata::referencesFromLengths(identity.trackFrames);
    }
    if (!ids || disc.references.empty()) {
        ctx.err << (identity.problem.empty() ? std::string("読み込めません") : identity.problem) << "\n";
        code = kExitUnknownDisc;
        return std::nullopt;
    }
    disc.ids = std::move(*ids);
    return disc;
}

store::AppSettings folderSettings(const Context& ctx)
{
    store::AppSettings settings;
    store::loadSettingsFile(ctx.folder.settingsFile(), settings);
    return settings;
}

std::string releaseLine(const discdata::ReleaseInfo& release, const DiscRead& disc)
{
    auto field = [](std::string text) {
        for (char& c : text) {
            if (c == '\t' || c == '\n' || c == '\r') {
                c = ' ';
            }
        }
        return text;
    };
    return release.id + "\t" + field(release.artist) + "\t" + field(release.title) + "\t" +
           field(release.date) + "\t" + field(release.country) + "\t" +
           std::to_string(discdata::matchingTrackCount(release, disc.ids.musicBrainz,
                                                       disc.table.offsets.size(), disc.table.leadout));
}

// Saves the front cover of the release in covers/; nothing (not ok, no
// message) when the release has none. A failure is told on stderr and gives
// nothing: the album is stored without a picture.
net::StoredCover fetchCover(Context& ctx, net::DiscDataClient& client, const std::string& releaseId)
{
    const net::CoverResult cover = net::fetchCoverAndWait(client, QString::fromStdString(releaseId));
    if (cover.outcome == net::Outcome::NotFound) {
        return {};
    }
    net::StoredCover stored;
    if (cover.outcome != net::Outcome::Found) {
        stored.message = cover.message;
    } else {
        stored = net::storeCover(ctx.folder.dir(), releaseId, cover.image);
    }
    if (!stored.ok) {
        ctx.err << "カバー画像を保存できませんでした: " << stored.message.toStdString() << "\n";
    }
    return stored;
}

int printDiscIds(Context& ctx, const std::string& device)
{
    int code = 0;
    std::optional<DiscRead> disc = readDiscIds(ctx, device, code);
    if (!disc) {
        return code;
    }
    const std::string url =
        discdata::submissionUrlOn(folderSettings(ctx).musicBrainzServer, disc->ids.submissionUrl);
    ctx.out << "musicbrainz " << disc->ids.musicBrainz << "\n"
            << "freedb " << disc->ids.freeDb << "\n"
            << "url " << url << "\n";
    return 0;
}

// cd fetch: the disc's release from MusicBrainz written into an album.
int fetchDiscAlbum(Context& ctx, const Arguments& arguments)
{
    // Held while the server answers: read into memory.
    std::unique_ptr<catalogue::Catalogue> opened =
        openCatalogue(ctx, true, nullptr, store::LoadBuffer::Copied);
    if (!opened) {
        return kExitError;
    }
    int album = 0;
    if (arguments.has("--album")) {
        std::optional<int> number = parseNumber(arguments.value("--album"));
        if (!number || *number < 1 || *number > opened->albumCount()) {
            ctx.err << "存在しないアルバム番号です: " << arguments.value("--album") << "\n";
            return kExitError;
        }
        album = *number;
    }
    int code = 0;
    std::optional<DiscRead> disc = readDiscIds(ctx, arguments.value("--device"), code);
    if (!disc) {
        return code;
    }
    const store::AppSettings& settings = opened->settings();
    // Requests need an event loop; a program without windows has none of
    // its own.
    static int argc = 1;
    static char name[] = "velmora-cli";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    net::DiscDataClient client(
        {QString::fromStdString(settings.musicBrainzServer), QString::fromStdString(settings.coverServer)});
    const net::LookupResult lookup =
        net::lookupDiscAndWait(client, QString::fromStdString(disc->ids.musicBrainz),
                               QString::fromStdString(discdata::tocString(disc->table)));
    if (lookup.outcome == net::Outcome::NotFound) {
        ctx.err << "MusicBrainzに登録されていません\n登録ページ: "
                << discdata::submissionUrlOn(settings.musicBrainzServer, disc->ids.submissionUrl) << "\n";
        return kExitUnknownDisc;
    }
    if (lookup.outcome != net::Outcome::Found) {
        ctx.err << lookup.message.toStdString() << "\n";
        return kExitError;
    }
    const discdata::ReleaseInfo* release = nullptr;
    if (arguments.has("--release")) {
        for (const discdata::ReleaseInfo& candidate : lookup.releases) {
            if (candidate.id == arguments.value("--release")) {
                release = &candidate;
            }
        }
        if (release == nullptr) {
            ctx.err << "このディスクのリリースにありません: " << arguments.value("--release") << "\n";
            return kExitUnknownDisc;
        }
    } else if (lookup.releases.size() > 1) {
        for (const discdata::ReleaseInfo& candidate : lookup.releases) {
            ctx.out << releaseLine(candidate, *disc) << "\n";
        }
        return kExitSeveralReleases;
    } else {
        release = &lookup.releases.front();
    }
    const discdata::MediumInfo* medium = discdata::matchingMedium(
        *release, disc->ids.musicBrainz, disc->table.offsets.size(), disc->table.leadout);
    if (medium == nullptr) {
        ctx.err << "このリリースには曲目がありません: " << release->id << "\n";
        return kExitUnknownDisc;
    }
    const readings::ChosenReadings chosenReadings(opened->albums());
    discdata::AlbumFill fill =
        discdata::fillAlbum(store::AlbumRecord{}, *release, *medium, disc->references, &chosenReadings);
    net::StoredCover cover;
    if (!arguments.has("--no-cover") && discdata::isReleaseId(release->id)) {
        cover = fetchCover(ctx, client, release->id);
        if (cover.ok) {
            if (std::optional<std::string> cell = discdata::pathCell(cover.file.string())) {
                fill.record[store::ImagePathColumn] = *cell;
            } else {
                ctx.err << "カバー画像のパスに保存できない文字があります: " << cover.file.string() << "\n";
                net::discardStoredCover(cover);
            }
        }
    }
    // An existing album: typed text stays unless --overwrite asks otherwise.
    discdata::FetchMerge merge;
    if (album == 0) {
        merge.record = fill.record;
    } else {
        merge = discdata::mergeFetchedAlbum(opened->albums().record(album), fill.record,
                                            arguments.has("--overwrite"), fill.mediumTracks);
    }
    const catalogue::ChangeResult stored =
        album == 0 ? opened->appendAlbums({merge.record}) : opened->changeAlbum(album, merge.record);
    if (!stored.ok()) {
        net::discardStoredCover(cover);
        return refuse(ctx, stored.problem);
    }
    album = stored.album;
    if (int failed = saveCatalogue(ctx, *opened); failed != 0) {
        // No album names the picture fetched for it.
        net::discardStoredCover(cover);
        return failed;
    }
    ctx.out << "アルバム " << album << " に書き込みました: " << utf8Of(merge.record[store::ArtistColumn])
            << " / " << utf8Of(merge.record[store::AlbumColumn]) << "\n";
    auto fieldList = [](const std::vector<std::string>& fields) {
        std::string text;
        for (const std::string& field : fields) {
            text += (text.empty() ? "" : "、") + field;
        }
        return text;
    };
    if (!merge.kept.empty()) {
        ctx.out << "入力済みの内容を残しました (--overwrite で置き換えます): " << fieldList(merge.kept)
                << "\n";
    }
    if (!merge.replaced.empty()) {
        ctx.out << "入力済みの内容を置き換えました: " << fieldList(merge.replaced) << "\n";
    }
    if (fill.truncated) {
        ctx.out << "このディスクは " << fill.mediumTracks
                << " 曲あります。最初の99曲だけを書き込みました。\n";
    }
    if (!fill.replacedFields.empty()) {
        ctx.out << "Shift-JISにない文字を「〓」にしました:";
        for (const std::string& field : fill.replacedFields) {
            ctx.out << " " << field;
        }
        ctx.out << "\n";
    }
    return 0;
}

}  // namespace

// cd toc|register ALBUM|lookup|discid|fetch --device PATH: the audio CD in a
// drive or a disc image. toc prints one reference per track; register writes
// them into an album's songs and saves; lookup prints the album found, 0 or
// -1; discid prints the disc's identifiers; fetch fills an album from
// MusicBrainz.
int audioCd(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    const std::string verb = first < args.size() ? args[first] : std::string();
    if (verb == "discid" || verb == "fetch") {
        const bool fetching = verb == "fetch";
        std::optional<Arguments> arguments =
            fetching ? parseArguments(ctx, args, first + 1, {"--device", "--album", "--release"},
                                      {"--no-cover", "--overwrite"})
                     : parseArguments(ctx, args, first + 1, {"--device"}, {});
        if (!arguments || !arguments->positional.empty() || !arguments->has("--device")) {
            if (arguments) {
                ctx.err << kUsage;
            }
            return kExitError;
        }
        return fetching ? fetchDiscAlbum(ctx, *arguments) : printDiscIds(ctx, arguments->value("--device"));
    }
    std::optional<Arguments> arguments = parseArguments(ctx, args, first, {"--device"}, {});
    if (!arguments || arguments->positional.empty() || !arguments->has("--device")) {
        if (arguments) {
            ctx.err << kUsage;
        }
        return kExitError;
    }
    const std::string& action = arguments->positional[0];
    const bool registering = action == "register";
    if ((action != "toc" && action != "lookup" && !registering) ||
        arguments->positional.size() != (registering ? 2u : 1u)) {
        ctx.err << kUsage;
        return kExitError;
    }
    // A damaged image is refused by name rather than read as no disc.
    if (const media::DriveRead read = media::readDisc(arguments->value("--device"));
        read.state == media::DriveState::Damaged) {
        ctx.err << read.problem << "\n";
        return 1;
    }
    media::GstMediaSystem system;
    std::unique_ptr<media::MediaDevice> device = system.makeDevice();
    device->setDeviceType(media::DeviceType::CDAudio);
    device->setFileName(arguments->value("--device"));
    device->setWait(true);
    if (!device->open()) {
        ctx.err << device->errorMessage() << "\n";
        return kExitError;
    }
    const std::optional<std::vector<std::string>> references = media::discReferences(*device);
    device->close();
    if (action == "toc") {
        if (!references) {
            ctx.err << "読み込めません\n";
            return 1;
        }
        for (const std::string& reference : *references) {
            ctx.out << reference << "\n";
        }
        return 0;
    }
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
    if (!opened) {
        return kExitError;
    }
    if (action == "lookup") {
        ctx.out << (references ? media::findDiscAlbum(opened->albums(), *references) : -1) << "\n";
        return 0;
    }
    std::optional<int> album = parseNumber(arguments->positional[1]);
    if (!album || *album < 1 || *album > opened->albumCount()) {
        ctx.err << "存在しないアルバム番号です: " << arguments->positional[1] << "\n";
        return kExitError;
    }
    if (!references) {
        ctx.err << "読み込めません\n";
        return 1;
    }
    store::AlbumRecord record = opened->albums().record(*album);
    media::registerDisc(record, *references);
    if (const catalogue::ChangeResult stored = opened->changeAlbum(*album, std::move(record)); !stored.ok()) {
        return refuse(ctx, stored.problem);
    }
    if (int failed = saveCatalogue(ctx, *opened); failed != 0) {
        return failed;
    }
    ctx.out << "読み込み完了しました。\n";
    return 0;
}

}  // namespace velmora::cli
