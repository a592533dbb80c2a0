#include "core/discdata/album_fill.h"

#include <unicode/unistr.h>

#include <algorithm>

#include "core/media/audio_cd.h"
#include "core/store/columns.h"
#include "core/text/cp932.h"

namespace velmora::discdata {

namespace {

constexpr char16_t kGeta = u'\u3013';

std::u16string utf16Of(std::string_view utf8)
{
    // Bytes that are no UTF-8 become U+FFFD, which CP932 lacks: a 「〓」.
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    return std::u16string(text.getBuffer(), static_cast<std::size_t>(text.length()));
}

// The text with what a cell cannot hold taken out: "<>" and line breaks.
std::u16string cleaned(const std::u16string& text, bool* replaced)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            out += u' ';
        } else if (c == u'>' && !out.empty() && out.back() == u'<') {
            // Checked against what is kept, so that a control character
            // dropped between the two cannot join them.
            out.back() = u'＜';
            out += u'＞';
        } else if (c < 0x20 || c == 0x7F) {
            // Tabs and other control characters have no place in a title.
        } else if (c >= text::kRawByteBase && c < text::kRawByteBase + 0x100) {
            // These stand for raw bytes inside the program; from outside
            // they are characters CP932 lacks.
            out += kGeta;
            *replaced = true;
        } else {
            out += c;
        }
    }
    return out;
}

std::string fieldName(int slot, const char* what)
{
    return std::to_string(slot) + "曲目の" + what;
}

}  // namespace

std::string cellFromUtf8(std::string_view utf8, bool* replaced)
{
    bool geta = false;
    std::u16string text = cleaned(utf16Of(utf8), &geta);
    text::EncodeResult encoded = text::fromUnicode(text);
    while (!encoded.ok) {
        const std::size_t width = encoded.badChar > 0xFFFF ? 2 : 1;
        text.replace(encoded.badIndex, width, 1, kGeta);
        geta = true;
        encoded = text::fromUnicode(text);
    }
    if (replaced != nullptr) {
        *replaced = geta;
    }
    return encoded.bytes;
}

const MediumInfo* matchingMedium(const ReleaseInfo& release, std::string_view discId, std::size_t discTracks)
{
    for (const MediumInfo& medium : release.media) {
        if (std::find(medium.discIds.begin(), medium.discIds.end(), discId) != medium.discIds.end()) {
            return &medium;
        }
    }
    for (const MediumInfo& medium : release.media) {
        if (medium.tracks.size() == discTracks && medium.format.find("CD") != std::string::npos) {
            return &medium;
        }
    }
    for (const MediumInfo& medium : release.media) {
        if (medium.tracks.size() == discTracks) {
            return &medium;
        }
    }
    return release.media.empty() ? nullptr : &release.media.front();
}

std::size_t matchingTrackCount(const ReleaseInfo& release, std::string_view discId, std::size_t discTracks)
{
    const MediumInfo* medium = matchingMedium(release, discId, discTracks);
    return medium == nullptr ? 0 : medium->tracks.size();
}

AlbumFill fillAlbum(const store::AlbumRecord& base, const ReleaseInfo& release, const MediumInfo& medium,
                    const std::vector<std::string>& references)
{
    AlbumFill fill;
    fill.record = base;
    store::AlbumRecord& record = fill.record;
    auto put = [&](int column, std::string_view text, std::string name) {
        bool replaced = false;
        record[column] = cellFromUtf8(text, &replaced);
        if (replaced) {
            fill.replacedFields.push_back(std::move(name));
        }
    };
    put(store::ArtistColumn, release.artist, "アーティスト");
    // A reading that merely copied the old artist follows the new one; a
    // reading of its own stays.
    if (base[store::FuriganaColumn] == base[store::ArtistColumn]) {
        record[store::FuriganaColumn] = record[store::ArtistColumn];
    }
    put(store::AlbumColumn, release.title, "アルバム");
    fill.mediumTracks = medium.tracks.size();
    fill.truncated = medium.tracks.size() > static_cast<std::size_t>(store::kSongSlots);
    const std::size_t tracks = std::min<std::size_t>(medium.tracks.size(), store::kSongSlots);
    for (std::size_t i = 0; i < tracks; ++i) {
        const int slot = static_cast<int>(i) + 1;
        const TrackInfo& track = medium.tracks[i];
        put(store::songTitleColumn(slot), track.title, fieldName(slot, "曲名"));
        if (!track.artist.empty() && track.artist != release.artist) {
            put(store::songArtistColumn(slot), track.artist, fieldName(slot, "曲ごとのアーティスト名"));
        }
    }
    media::registerDisc(record, references);
    return fill;
}

namespace {

std::vector<int> fetchedTextColumns()
{
    std::vector<int> columns{store::ArtistColumn, store::AlbumColumn};
    for (int slot = 1; slot <= store::kSongSlots; ++slot) {
        columns.push_back(store::songTitleColumn(slot));
        columns.push_back(store::songArtistColumn(slot));
    }
    return columns;
}

}  // namespace

int countTextConflicts(const store::AlbumRecord& current, const store::AlbumRecord& fetched)
{
    int conflicts = 0;
    for (int column : fetchedTextColumns()) {
        if (!current[column].empty() && !fetched[column].empty() && current[column] != fetched[column]) {
            ++conflicts;
        }
    }
    return conflicts;
}

int mergeFetchedTexts(store::AlbumRecord& current, const store::AlbumRecord& fetched, bool overwrite)
{
    int changed = 0;
    for (int column : fetchedTextColumns()) {
        if (fetched[column].empty() || current[column] == fetched[column]) {
            continue;
        }
        if (current[column].empty() || overwrite) {
            current[column] = fetched[column];
            ++changed;
        }
    }
    return changed;
}

std::vector<std::string> referencesFromLengths(const std::vector<std::int64_t>& trackFrames)
{
    std::vector<std::string> references;
    if (trackFrames.empty() || trackFrames.front() <= 0) {
        return references;
    }
    const std::size_t tracks = std::min<std::size_t>(trackFrames.size(), store::kSongSlots);
    for (std::size_t i = 0; i < tracks; ++i) {
        references.push_back(media::cdReference(media::packMsf(trackFrames[i])));
    }
    return references;
}

std::optional<std::string> pathCell(std::string_view utf8Path)
{
    const std::u16string text = utf16Of(utf8Path);
    text::EncodeResult encoded = text::fromUnicode(text);
    if (!encoded.ok || text.find(u'\uFFFD') != std::u16string::npos) {
        return std::nullopt;
    }
    return encoded.bytes;
}

bool isReleaseId(std::string_view id)
{
    if (id.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < id.size(); ++i) {
        const char c = id[i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

std::string coverFileName(std::string_view releaseId)
{
    return "covers/" + std::string(releaseId) + ".jpg";
}

std::string submissionUrlOn(std::string_view server, const std::string& libdiscidUrl)
{
    constexpr std::string_view kOwnServers[] = {"https://musicbrainz.org", "http://musicbrainz.org"};
    std::string base(server);
    while (!base.empty() && base.back() == '/') {
        base.pop_back();
    }
    for (std::string_view own : kOwnServers) {
        if (libdiscidUrl.rfind(own, 0) == 0 && !base.empty()) {
            return base + libdiscidUrl.substr(own.size());
        }
    }
    return libdiscidUrl;
}

}  // namespace velmora::discdata
