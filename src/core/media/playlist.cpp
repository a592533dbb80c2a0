#include "core/media/playlist.h"

#include <algorithm>

#include "core/media/media_device.h"
#include "core/store/columns.h"

namespace velmora::media {

namespace {

// "　" and "　(未登録)" in CP932.
constexpr std::string_view kSpace = "\x81\x40";
constexpr std::string_view kUnregistered = "\x81\x40(\x96\xa2\x93\x6f\x98\x5e)";

std::string withArtist(std::string text, std::string_view artist)
{
    if (!artist.empty()) {
        text += '/';
        text += artist;
    }
    return text;
}

}  // namespace

int mediaSongCount(const store::AlbumTable::RowCells& cells)
{
    const auto at = [&](int column) { return cells[static_cast<std::size_t>(column)]; };
    for (int song = store::kSongSlots; song >= 1; --song) {
        if (!at(store::songTitleColumn(song)).empty() || !at(store::mediaColumn(song)).empty()) {
            return song;
        }
    }
    return 0;
}

std::string mediaEntryText(int song, std::string_view title, std::string_view artist, bool hasPath)
{
    std::string text = std::to_string(song);
    text += hasPath ? kSpace : kUnregistered;
    text += title;
    return withArtist(std::move(text), artist);
}

std::string cdEntryText(int song, std::string_view title, std::string_view artist, bool albumFound)
{
    std::string text = std::to_string(song);
    if (!albumFound) {
        return text += kUnregistered;
    }
    text += kSpace;
    text += title;
    return withArtist(std::move(text), artist);
}

std::optional<int> nextEntry(const std::vector<bool>& checked, int current, PlayOrder order,
                             const RandomIndex& draw)
{
    const int count = static_cast<int>(checked.size());
    if (order == PlayOrder::Repeat) {
        return current;
    }
    std::vector<int> others;
    for (int i = 0; i < count; ++i) {
        if (checked[static_cast<std::size_t>(i)] && i != current) {
            others.push_back(i);
        }
    }
    if (others.empty()) {
        return std::nullopt;
    }
    if (order == PlayOrder::Random) {
        // Uniform over the checked entries other than the current one: what
        // drawing from all entries until one qualifies gives, in one draw.
        int k = draw ? draw(static_cast<int>(others.size())) : 0;
        if (k < 0 || k >= static_cast<int>(others.size())) {
            k = 0;
        }
        return others[static_cast<std::size_t>(k)];
    }
    // The first checked entry after the current one, wrapping to entry 0.
    for (int i : others) {
        if (i > current) {
            return i;
        }
    }
    return others.front();
}

std::int64_t barClickValue(std::int64_t maximum, int x, int width)
{
    if (width <= 0 || maximum <= 0) {
        return 0;
    }
    // maximum * x / width to the nearest whole number, halves to even,
    // computed in whole numbers.
    const std::int64_t scaled = maximum * std::clamp(x, 0, width);
    std::int64_t value = scaled / width;
    const std::int64_t twice = 2 * (scaled % width);
    if (twice > width || (twice == width && value % 2 != 0)) {
        ++value;
    }
    return value;
}

std::int64_t cdSeekTarget(std::int64_t position, std::int64_t seconds)
{
    const Tmsf at = unpackTmsf(position);
    const std::int64_t s = seconds < 0 ? 0 : seconds;
    return packTmsf({at.track, static_cast<int>(s / 60), static_cast<int>(s % 60), at.frames});
}

std::string cdPositionText(std::int64_t position, std::int64_t trackLength)
{
    const Tmsf at = unpackTmsf(position);
    return std::to_string(at.minutes) + "m " + std::to_string(at.seconds) + "s / " +
           std::to_string(msfMinutes(trackLength)) + "m " + std::to_string(msfSeconds(trackLength)) + "s ";
}

std::string filePositionText(std::int64_t position, std::int64_t length)
{
    return std::to_string(position) + " / " + std::to_string(length);
}

}  // namespace velmora::media
