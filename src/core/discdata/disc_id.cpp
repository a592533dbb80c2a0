#include "core/discdata/disc_id.h"

#include <discid/discid.h>

#include <memory>

namespace velmora::discdata {

DiscTable discTableFromLengths(const std::vector<std::int64_t>& trackFrames, int firstTrack,
                               std::int64_t firstAddress)
{
    DiscTable table;
    table.firstTrack = firstTrack;
    table.lastTrack = firstTrack + static_cast<int>(trackFrames.size()) - 1;
    std::int64_t at = firstAddress + kLeadInSectors;
    for (std::int64_t frames : trackFrames) {
        table.offsets.push_back(at);
        at += frames;
    }
    table.leadout = at;
    return table;
}

LayoutTable discTableFromLayout(const DiscLayout& layout)
{
    LayoutTable result;
    const std::vector<DiscLayout::Track>& tracks = layout.tracks;
    if (tracks.empty()) {
        result.problem = LayoutProblem::NoTracks;
        return result;
    }
    // Each track must end after it starts: the next track, or the lead-out,
    // lies beyond its address. A damaged image that breaks this would give
    // an empty track and a repeated offset.
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const std::int64_t end = i + 1 < tracks.size() ? tracks[i + 1].address : layout.leadout;
        if (tracks[i].address < 0 || end <= tracks[i].address) {
            result.problem = LayoutProblem::Damaged;
            result.damagedTrack = tracks[i].number;
            return result;
        }
    }
    std::size_t lastAudio = tracks.size();
    for (std::size_t i = tracks.size(); i-- > 0;) {
        if (tracks[i].audio) {
            lastAudio = i;
            break;
        }
    }
    if (lastAudio == tracks.size()) {
        result.problem = LayoutProblem::NoAudio;
        return result;
    }
    DiscTable& table = result.table;
    table.firstTrack = tracks.front().number;
    table.lastTrack = tracks[lastAudio].number;
    for (std::size_t i = 0; i <= lastAudio; ++i) {
        table.offsets.push_back(tracks[i].address + kLeadInSectors);
    }
    if (lastAudio + 1 < tracks.size()) {
        // An Enhanced CD: the audio session ends before the gap that leads
        // into the data session. An image that left the gap out keeps the
        // data track's address as the end rather than cut into the audio.
        const std::int64_t dataStart = tracks[lastAudio + 1].address;
        const std::int64_t audioEnd = dataStart - kSessionGapSectors;
        table.leadout = (audioEnd > tracks[lastAudio].address ? audioEnd : dataStart) + kLeadInSectors;
    } else {
        table.leadout = layout.leadout + kLeadInSectors;
    }
    return result;
}

std::string layoutProblemText(const LayoutTable& table)
{
    switch (table.problem) {
        case LayoutProblem::None:
            return {};
        case LayoutProblem::NoTracks:
            return "読み込めません";
        case LayoutProblem::NoAudio:
            return "音楽CDではありません";
        case LayoutProblem::Damaged:
            return "ディスクイメージが壊れています (トラック" + std::to_string(table.damagedTrack) +
                   "が始まる前に終わっています)";
    }
    return {};
}

std::string tocString(const DiscTable& table)
{
    std::string toc = std::to_string(table.firstTrack) + " " + std::to_string(table.lastTrack) + " " +
                      std::to_string(table.leadout);
    for (std::int64_t offset : table.offsets) {
        toc += " " + std::to_string(offset);
    }
    return toc;
}

std::optional<DiscIds> computeDiscIds(const DiscTable& table)
{
    const std::size_t tracks = table.offsets.size();
    if (tracks == 0 || tracks > 99 || table.firstTrack < 1 ||
        table.lastTrack != table.firstTrack + static_cast<int>(tracks) - 1 || table.lastTrack > 99) {
        return std::nullopt;
    }
    // libdiscid takes offsets[0] = lead-out and offsets[n] = track n, room for
    // 100 entries whatever the first track is.
    int offsets[100] = {};
    auto fits = [](std::int64_t v) { return v > 0 && v < (1 << 30); };
    if (!fits(table.leadout)) {
        return std::nullopt;
    }
    offsets[0] = static_cast<int>(table.leadout);
    std::int64_t previous = 0;
    for (std::size_t i = 0; i < tracks; ++i) {
        const std::int64_t offset = table.offsets[i];
        if (!fits(offset) || offset < previous || offset >= table.leadout) {
            return std::nullopt;
        }
        previous = offset;
        offsets[static_cast<std::size_t>(table.firstTrack) + i] = static_cast<int>(offset);
    }
    std::unique_ptr<DiscId, decltype(&discid_free)> disc(discid_new(), &discid_free);
    if (!disc || discid_put(disc.get(), table.firstTrack, table.lastTrack, offsets) == 0) {
        return std::nullopt;
    }
    DiscIds ids;
    ids.musicBrainz = discid_get_id(disc.get());
    ids.freeDb = discid_get_freedb_id(disc.get());
    ids.submissionUrl = discid_get_submission_url(disc.get());
    return ids;
}

}  // namespace velmora::discdata
