#include <QImage>
#include <filesystem>
#include <future>
#include <string_view>

#include "backends/tags/folder_scan.h"
#include "cli/cli_common.h"
#include "core/filescan/album_plan.h"

namespace velmora::cli {

// scan FOLDER [--dry-run] [--tag-encoding auto|latin1|sjis]: the albums of
// the music files under a folder. Prints
// "artist<TAB>title<TAB>songs<TAB>folder" per album in the order they are
// registered (songs that join a catalogued album included), then
// "albums: N songs: M"; notes go to stderr, one line each: the albums songs
// join, every file skipped with its reason. Without --dry-run the albums
// are registered and VLM.dat is saved.
int scanFolder(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<Arguments> arguments = parseArguments(ctx, args, first, {"--tag-encoding"}, {"--dry-run"});
    if (!arguments || arguments->positional.size() != 1) {
        if (arguments) {
            ctx.err << kUsage;
        }
        return kExitError;
    }
    filescan::TagEncoding encoding = filescan::TagEncoding::Automatic;
    const std::string name = arguments->value("--tag-encoding", "auto");
    if (name == "latin1") {
        encoding = filescan::TagEncoding::Latin1;
    } else if (name == "sjis") {
        encoding = filescan::TagEncoding::ShiftJis;
    } else if (name != "auto") {
        ctx.err << "タグの文字コードは auto, latin1, sjis のいずれかです: " << name << "\n";
        return kExitError;
    }
    const std::filesystem::path folder = arguments->positional[0];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        ctx.err << "フォルダが存在しません: " << folder.native() << "\n";
        return kExitError;
    }
    // The catalogue and the scan memory are read while the folder is
    // listed. Catalogued files that did not change since a scan read them
    // are recognised without being opened.
    tags::ScanProgress progress;
    const std::filesystem::path memoryFile = ctx.folder.file(filescan::kScanMemoryFileName);
    std::future<filescan::ScanMemory> memoryLoad =
        std::async(std::launch::async, [&memoryFile] { return filescan::ScanMemory::load(memoryFile); });
    std::future<std::unique_ptr<catalogue::Catalogue>> catalogueLoad =
        std::async(std::launch::async, [&ctx, &progress] {
            std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
            if (!opened) {
                progress.cancel.store(true);  // nothing can be registered: the listing stops
            }
            return opened;
        });
    tags::FoundFiles found = tags::findFiles(folder, progress);
    std::unique_ptr<catalogue::Catalogue> opened = catalogueLoad.get();
    if (!opened) {
        return kExitError;
    }
    filescan::ScanMemory memory = memoryLoad.get();
    tags::ScanResult result = tags::scanFoundFiles(std::move(found), tags::catalogueLookup(*opened), progress,
                                                   0, encoding, &memory);
    if (!arguments->has("--dry-run") && memory.changed()) {
        // Only a hint for the next scan: a failure costs that scan time.
        memory.save(memoryFile, nullptr);
    }
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
    auto decodes = [](std::string_view bytes) {
        return !QImage::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()))).isNull();
    };
    for (const std::string& failure : tags::storeEmbeddedCovers(albums, ctx.folder, decodes)) {
        ctx.err << "画像を保存できなかったアルバム: " << failure << "\n";
    }
    if (const catalogue::ChangeResult stored = opened->registerScannedAlbums(albums); !stored.ok()) {
        return refuse(ctx, stored.problem);
    }
    return saveCatalogue(ctx, *opened);
}

}  // namespace velmora::cli
