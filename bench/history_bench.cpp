// Undo and redo of a replace over 100,000 albums, and what one step holds.
//
//   velmora-history-bench [ALBUMS]
//
// Builds a catalogue of ALBUMS albums (default 100,000; about 12 songs each)
// in a temporary data folder, saves and loads it, then times a replace that
// changes every album, its undo and its redo, and measures the history's
// bytes for that step and for a one-album change. Targets: undo and redo
// each within 1 s, a one-album step under 2 KB beyond the album's line.
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/catalogue/catalogue.h"
#include "core/store/columns.h"

namespace {

using velmora::catalogue::Catalogue;
using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int albums = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("velmora-history-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    int status = 0;
    {
        Catalogue catalogue{velmora::store::DataFolder(dir)};
        std::vector<velmora::store::AlbumRecord> records(static_cast<std::size_t>(albums));
        for (int i = 0; i < albums; ++i) {
            velmora::store::AlbumRecord& r = records[static_cast<std::size_t>(i)];
            r[velmora::store::ArtistColumn] = "Artist " + std::to_string(i % 5000);
            r[velmora::store::AlbumColumn] = "Album title " + std::to_string(i);
            r[velmora::store::FuriganaColumn] = "artist " + std::to_string(i % 5000);
            for (int song = 1; song <= 12; ++song) {
                r[velmora::store::songTitleColumn(song)] = "Song " + std::to_string(song);
                r[velmora::store::mediaColumn(song)] =
                    "/music/Artist/Album " + std::to_string(i) + "/" + std::to_string(song) + ".flac";
            }
        }
        catalogue.appendAlbums(records);
        records.clear();
        catalogue.save();
        catalogue.load();

        auto start = Clock::now();
        const velmora::catalogue::BulkResult replaced = catalogue.replace(2, "title", "name");
        const double replaceTime = seconds(start);
        const std::size_t replaceBytes = catalogue.historyBytes();

        start = Clock::now();
        catalogue.undo();
        const double undoTime = seconds(start);
        start = Clock::now();
        catalogue.redo();
        const double redoTime = seconds(start);

        const std::size_t before = catalogue.historyBytes();
        const std::size_t line = catalogue.albums().rowLine(albums / 2).size();
        catalogue.setAlbumCell(albums / 2, velmora::store::AlbumColumn, "changed");
        const std::size_t oneStep = catalogue.historyBytes() - before;
        const std::size_t beyond = oneStep > line ? oneStep - line : 0;

        std::printf("albums: %d, albums changed by the replace: %zu\n", albums,
                    replaced.changedAlbums.size());
        std::printf("replace           %8.3f s\n", replaceTime);
        std::printf("undo of replace   %8.3f s   %s (target <= 1 s)\n", undoTime,
                    undoTime <= 1.0 ? "ok" : "FAIL");
        std::printf("redo of replace   %8.3f s   %s (target <= 1 s)\n", redoTime,
                    redoTime <= 1.0 ? "ok" : "FAIL");
        std::printf("replace step      %8.1f MB stored\n", static_cast<double>(replaceBytes) / (1 << 20));
        std::printf("one-album step    %8zu bytes (album line %zu, beyond it %zu)   %s (target < 2048)\n",
                    oneStep, line, beyond, beyond < 2048 ? "ok" : "FAIL");
        if (undoTime > 1.0 || redoTime > 1.0 || beyond >= 2048) {
            status = 1;
        }
    }
    std::filesystem::remove_all(dir);
    return status;
}
