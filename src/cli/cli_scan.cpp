#include <filesystem>

#include "backends/tags/folder_scan.h"
#include "cli/cli_common.h"
#include "core/filescan/album_plan.h"

namespace velmora::cli {

// scan FOLDER [--dry-run]: the albums of the music files under a folder.
// Prints "artist<TAB>title<TAB>songs<TAB>folder" per album in the order they
// are appended, then "albums: N songs: M"; notes about skipped files go to
// stderr. Without --dry-run the albums are appended and VLM.dat is saved.
int scanFolder(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<Arguments> arguments = parseArguments(ctx, args, first, {}, {"--dry-run"});
    if (!arguments || arguments->positional.size() != 1) {
        if (arguments) {
            ctx.err << kUsage;
        }
        return kExitError;
    }
    const std::filesystem::path folder = arguments->positional[0];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        ctx.err << "フォルダが存在しません: " << folder.native() << "\n";
        return kExitError;
    }
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
    if (!opened) {
        return kExitError;
    }
    tags::ScanProgress progress;
    tags::ScanResult result = tags::scanAlbums(std::filesystem::absolute(folder, ec),
                                               filescan::catalogueMediaPaths(opened->albums()), progress);
    for (const std::string& note : tags::scanNotes(result)) {
        ctx.err << note << "\n";
    }
    std::vector<filescan::PlannedAlbum>& albums = result.plan.albums;
    for (const filescan::PlannedAlbum& album : albums) {
        ctx.out << utf8Of(album.record[store::ArtistColumn]) << '\t'
                << utf8Of(album.record[store::AlbumColumn]) << '\t' << album.songs << '\t' << album.folder
                << "\n";
    }
    ctx.out << "albums: " << albums.size() << " songs: " << result.plan.songCount() << "\n";
    if (arguments->has("--dry-run") || albums.empty()) {
        return 0;
    }
    if (int failed = tags::storeEmbeddedCovers(albums, ctx.folder); failed > 0) {
        ctx.err << "画像を保存できなかったアルバム: " << failed << "\n";
    }
    std::vector<store::AlbumRecord> records;
    records.reserve(albums.size());
    for (filescan::PlannedAlbum& album : albums) {
        records.push_back(std::move(album.record));
    }
    if (const catalogue::ChangeResult stored = opened->appendAlbums(records); !stored.ok()) {
        return refuse(ctx, stored.problem);
    }
    return saveCatalogue(ctx, *opened);
}

}  // namespace velmora::cli
