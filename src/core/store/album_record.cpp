#include "core/store/album_record.h"

#include "core/text/cp932.h"

namespace velmora::store {

void AlbumRecord::applyFuriganaDefault()
{
    if ((*this)[FuriganaColumn].empty()) {
        (*this)[FuriganaColumn] = (*this)[ArtistColumn];
    }
}

MediaKind mediaKind(std::string_view cell)
{
    if (cell.empty()) {
        return MediaKind::None;
    }
    return cell.starts_with("CD") ? MediaKind::CdTrack : MediaKind::File;
}

std::vector<std::string> splitMemo(std::string_view cell)
{
    static constexpr std::string_view kMarker = "{}";
    std::vector<std::string> lines;
    while (!cell.empty()) {
        std::size_t at = text::findOnBoundary(cell, kMarker);
        if (at == std::string_view::npos) {
            lines.emplace_back(cell);
            break;
        }
        lines.emplace_back(cell.substr(0, at));
        cell.remove_prefix(at + kMarker.size());
    }
    return lines;
}

std::string joinMemo(const std::vector<std::string>& lines)
{
    std::string cell;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            cell += "{}";
        }
        cell += lines[i];
    }
    return cell;
}

}  // namespace velmora::store
