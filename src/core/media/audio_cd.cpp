#include "core/media/audio_cd.h"

#include <algorithm>

#include "core/store/columns.h"

namespace velmora::media {

std::string cdReference(std::int64_t packedLength)
{
    return "CD" + std::to_string(packedLength);
}

std::optional<std::vector<std::string>> discReferences(const MediaDevice& device)
{
    // No disc, or one whose table of contents cannot be read, has no
    // tracks. (A first track of exactly one minute packs to 1: a track.)
    if (device.tracks() < 1 || device.trackLength(1) <= 0) {
        return std::nullopt;
    }
    const int tracks = std::min(device.tracks(), store::kSongSlots);
    std::vector<std::string> references;
    references.reserve(static_cast<std::size_t>(tracks));
    for (int n = 1; n <= tracks; ++n) {
        references.push_back(cdReference(device.trackLength(n)));
    }
    return references;
}

void registerDisc(store::AlbumRecord& record, const std::vector<std::string>& references)
{
    for (std::size_t i = 0; i < references.size() && i < store::kSongSlots; ++i) {
        record[store::mediaColumn(static_cast<int>(i) + 1)] = references[i];
    }
}

int findDiscAlbum(const store::AlbumTable& table, const std::vector<std::string>& references)
{
    if (references.empty()) {
        return 0;
    }
    int found = 0;
    for (int row = 1; row < table.rowCount(); ++row) {
        // Most albums do not hold the first reference anywhere: skip them
        // without splitting their cells.
        if (table.rowLine(row).find(references.front()) == std::string_view::npos) {
            continue;
        }
        if (table.cell(store::mediaColumn(1), row) != references.front()) {
            continue;
        }
        const store::AlbumTable::RowCells cells = table.rowCells(row);
        bool all = true;
        for (std::size_t i = 0; i < references.size() && all; ++i) {
            all =
                cells[static_cast<std::size_t>(store::mediaColumn(static_cast<int>(i) + 1))] == references[i];
        }
        if (all) {
            found = row;
        }
    }
    return found;
}

}  // namespace velmora::media
