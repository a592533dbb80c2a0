// Playlist rules of the media player window: which songs an album lists,
// the texts of the entries, which entry plays next, and where a click on
// the position bar seeks to.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/album_table.h"

namespace velmora::media {

// How many songs of an album the media-file playlist lists: the songs up
// to the last one with a title or a media path (empty slots before it are
// listed as unregistered entries, so the files after a gap still play);
// none when no song has either.
int mediaSongCount(const store::AlbumTable::RowCells& cells);

// Entry texts, CP932. Media files: "n　title", or "n　(未登録)title" when
// the song has no media path. CD tracks: "n　title" with the disc's album,
// "n　(未登録)" without. Both add "/artist" when the song has an artist.
std::string mediaEntryText(int song, std::string_view title, std::string_view artist, bool hasPath);
std::string cdEntryText(int song, std::string_view title, std::string_view artist, bool albumFound);

// How the playlist goes on when an entry has ended.
enum class PlayOrder { Sequential, Random, Repeat };

// Draws a whole number from 0 to count - 1, each equally likely.
using RandomIndex = std::function<int(int count)>;

// The entry to play after `current` has ended, or nothing (playback stops).
// Repeat: the current entry again. Random: a checked entry other than the
// current one, drawn with `draw`. Sequential: the next checked entry after
// the current one, wrapping from the last to the first; the current entry
// itself never counts as the next one.
std::optional<int> nextEntry(const std::vector<bool>& checked, int current, PlayOrder order,
                             const RandomIndex& draw);

// The value a click at `x` on a bar of `width` pixels stands for: the whole
// number nearest to maximum × x / width (halves to even), within 0..maximum.
std::int64_t barClickValue(std::int64_t maximum, int x, int width);

// A CD seek target: the track and frames of the packed position `position`,
// with its minutes and seconds replaced by `seconds` from the track's start.
std::int64_t cdSeekTarget(std::int64_t position, std::int64_t seconds);

// The position label of a CD track: "Pm Ps / Lm Ls " from a packed
// position and a packed track length.
std::string cdPositionText(std::int64_t position, std::int64_t trackLength);
// The position label of a file: "position / length" as raw numbers.
std::string filePositionText(std::int64_t position, std::int64_t length);

// Counts the timer ticks that have seen the current entry finished, so that
// one finished entry is advanced exactly once: 0 while the entry plays,
// 1 when its end is first seen (advance now), 2 once advanced, 3 when its
// end is seen again without new playback (and stays there).
class ChangeCounter {
public:
    int value() const { return value_; }
    void set(int value) { value_ = value < 0 ? 0 : (value > 3 ? 3 : value); }
    void playingSeen() { value_ = 0; }
    void endSeen() { set(value_ + 1); }
    bool shouldAdvance() const { return value_ == 1; }
    void advanced() { value_ = 2; }

private:
    int value_ = 0;
};

}  // namespace velmora::media
