// One album: the 305 cells of a row, and the rules that read it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/columns.h"

namespace velmora::store {

// The 305 cells of one album, column 0 first. It is also the transfer
// buffer that carries an album between the table and the dialogs.
struct AlbumRecord {
    std::array<std::string, kColumnCount> cells;

    std::string& operator[](int column) { return cells[static_cast<std::size_t>(column)]; }
    const std::string& operator[](int column) const { return cells[static_cast<std::size_t>(column)]; }
    bool operator==(const AlbumRecord&) const = default;

    // When the reading is empty it becomes a copy of the artist.
    void applyFuriganaDefault();
};

enum class MediaKind { None, File, CdTrack };

// Exactly "CD" at the start (case-sensitive) marks an audio-CD track.
MediaKind mediaKind(std::string_view cell);

// The kind of an album's icon: that of its last non-empty media cell in
// song order (slots 99 down to 1). `mediaCell` gives the media cell of a
// slot.
template <typename CellOf>
MediaKind albumMediaKind(CellOf&& mediaCell)
{
    for (int slot = kSongSlots; slot >= 1; --slot) {
        std::string_view cell = mediaCell(slot);
        if (!cell.empty()) {
            return mediaKind(cell);
        }
    }
    return MediaKind::None;
}

// The highest slot whose title, artist or media cell is non-empty, or 0.
template <typename CellOf>
int usedSongCount(CellOf&& cellAt)
{
    for (int slot = kSongSlots; slot >= 1; --slot) {
        if (!std::string_view(cellAt(songTitleColumn(slot))).empty() ||
            !std::string_view(cellAt(songArtistColumn(slot))).empty() ||
            !std::string_view(cellAt(mediaColumn(slot))).empty()) {
            return slot;
        }
    }
    return 0;
}

// The memo lines of the third category, stored joined by "{}".
std::vector<std::string> splitMemo(std::string_view cell);
std::string joinMemo(const std::vector<std::string>& lines);

}  // namespace velmora::store
