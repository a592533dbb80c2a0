#include "core/discdata/album_fill.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <limits>

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

const MediumInfo* matchingMedium(const ReleaseInfo& release, std::string_view discId, std::size_t discTracks,
                                 std::int64_t leadout)
{
    for (const MediumInfo& medium : release.media) {
        if (std::find(medium.discIds.begin(), medium.discIds.end(), discId) != medium.discIds.end()) {
            return &medium;
        }
    }
    // The distance of a medium's attached discs from this one's lead-out;
    // a medium without a known disc comes after those with one.
    auto distance = [leadout](const MediumInfo& medium) {
        std::int64_t best = std::numeric_limits<std::int64_t>::max();
        for (std::int64_t sectors : medium.discSectors) {
            if (sectors > 0 && leadout > 0) {
                best = std::min(best, sectors > leadout ? sectors - leadout : leadout - sectors);
            }
        }
        return best;
    };
    for (bool cdOnly : {true, false}) {
        const MediumInfo* chosen = nullptr;
        for (const MediumInfo& medium : release.media) {
            if (medium.tracks.size() != discTracks ||
                (cdOnly && medium.format.find("CD") == std::string::npos)) {
                continue;
            }
            if (chosen == nullptr || distance(medium) < distance(*chosen)) {
                chosen = &medium;
            }
        }
        if (chosen != nullptr) {
            return chosen;
        }
    }
    return release.media.empty() ? nullptr : &release.media.front();
}

std::size_t matchingTrackCount(const ReleaseInfo& release, std::string_view discId, std::size_t discTracks,
                               std::int64_t leadout)
{
    const MediumInfo* medium = matchingMedium(release, discId, discTracks, leadout);
    return medium == nullptr ? 0 : medium->tracks.size();
}

std::string formatSummary(const ReleaseInfo& release)
{
    // Runs of one format: "2×CD", "CD + DVD".
    std::vector<std::pair<std::string, int>> runs;
    for (const MediumInfo& medium : release.media) {
        const std::string format = medium.format.empty() ? std::string("?") : medium.format;
        if (!runs.empty() && runs.back().first == format) {
            ++runs.back().second;
        } else {
            runs.emplace_back(format, 1);
        }
    }
    std::string text;
    for (const auto& [format, count] : runs) {
        if (!text.empty()) {
            text += " + ";
        }
        text += (count > 1 ? std::to_string(count) + "×" : std::string()) + format;
    }
    return text;
}

std::string countryName(std::string_view code)
{
    static const std::pair<std::string_view, const char*> kNames[] = {
        {"JP", "日本"},           {"XW", "全世界"},   {"XE", "ヨーロッパ"}, {"US", "アメリカ"},
        {"GB", "イギリス"},       {"DE", "ドイツ"},   {"FR", "フランス"},   {"KR", "韓国"},
        {"TW", "台湾"},           {"HK", "香港"},     {"CN", "中国"},       {"CA", "カナダ"},
        {"AU", "オーストラリア"}, {"IT", "イタリア"}, {"NL", "オランダ"},   {"SE", "スウェーデン"},
        {"ES", "スペイン"},       {"BR", "ブラジル"}, {"RU", "ロシア"},     {"XU", "不明"},
    };
    for (const auto& [known, name] : kNames) {
        if (known == code) {
            return name;
        }
    }
    return std::string(code);
}

std::string yearMemoLine(const ReleaseInfo& release)
{
    if (release.date.size() < 4 || !std::all_of(release.date.begin(), release.date.begin() + 4,
                                                [](char c) { return c >= '0' && c <= '9'; })) {
        return {};
    }
    // 「年」 in CP932.
    return release.date.substr(0, 4) + "\x94\x4e";
}

namespace {

// Kana readings only: hiragana, katakana (full and half width), the long
// vowel mark, the middle dot and blanks.
bool isKanaReading(std::string_view utf8)
{
    const std::u16string text = utf16Of(utf8);
    if (text.empty()) {
        return false;
    }
    bool kana = false;
    for (char16_t c : text) {
        if ((c >= 0x3041 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F)) {
            kana = true;
        } else if (c != u' ' && c != 0x3000) {
            return false;
        }
    }
    return kana;
}

}  // namespace

AlbumFill fillAlbum(const store::AlbumRecord& base, const ReleaseInfo& release, const MediumInfo& medium,
                    const std::vector<std::string>& references,
                    const readings::ChosenReadings* chosenReadings)
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
    // A reading that merely copied the old artist follows the new one: the
    // artist's kana reading when the service knows one, else the artist. A
    // reading of its own stays.
    if (base[store::FuriganaColumn].empty() || base[store::FuriganaColumn] == base[store::ArtistColumn]) {
        record[store::FuriganaColumn] = record[store::ArtistColumn];
        std::optional<std::string> chosen;
        if (chosenReadings != nullptr) {
            chosen = chosenReadings->find(record[store::ArtistColumn]);
        }
        if (chosen) {
            record[store::FuriganaColumn] = std::move(*chosen);
        } else {
            for (const std::string& reading : release.artistReadings) {
                if (isKanaReading(reading)) {
                    record[store::FuriganaColumn] = cellFromUtf8(reading);
                    break;
                }
            }
        }
    }
    std::string title = release.title;
    if (release.media.size() > 1) {
        // A disc of a set: which one it is, after the album title.
        for (std::size_t i = 0; i < release.media.size(); ++i) {
            if (&release.media[i] == &medium) {
                title += " (Disc " + std::to_string(i + 1) + "/" + std::to_string(release.media.size()) + ")";
            }
        }
    }
    put(store::AlbumColumn, title, "アルバム");
    if (record[store::Category2Column].empty() && !medium.format.empty()) {
        put(store::Category2Column, medium.format, "メディア");
    }
    if (record[store::Category3Column].empty()) {
        record[store::Category3Column] = yearMemoLine(release);
    }
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

struct NamedColumn {
    int column;
    std::string name;
};

// The cells a fetch writes text into, with the edit dialog's names.
std::vector<NamedColumn> fetchedFields()
{
    std::vector<NamedColumn> fields{{store::ArtistColumn, "アーティスト"},
                                    {store::FuriganaColumn, "フリガナ"},
                                    {store::AlbumColumn, "アルバム"},
                                    {store::Category2Column, "メディア"},
                                    {store::Category3Column, "メモ"}};
    for (int slot = 1; slot <= store::kSongSlots; ++slot) {
        fields.push_back({store::songTitleColumn(slot), fieldName(slot, "曲名")});
        fields.push_back({store::songArtistColumn(slot), fieldName(slot, "曲ごとのアーティスト名")});
    }
    return fields;
}

constexpr std::string_view kMemoLineBreak = "{}";

std::string firstMemoLine(const std::string& memo)
{
    return memo.substr(0, memo.find(kMemoLineBreak));
}

bool isYearLine(const std::string& line)
{
    return line.size() == 6 &&
           std::all_of(line.begin(), line.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }) &&
           line.compare(4, 2, "\x94\x4e") == 0;
}

// The memo with `year` as its first line: a year line there is replaced,
// otherwise the year goes before the memo's lines.
std::string memoWithYear(const std::string& memo, const std::string& year)
{
    if (memo.empty()) {
        return year;
    }
    const std::size_t end = memo.find(kMemoLineBreak);
    if (isYearLine(firstMemoLine(memo))) {
        return year + (end == std::string::npos ? std::string() : memo.substr(end));
    }
    return year + std::string(kMemoLineBreak) + memo;
}

// Whether the current cell holds typed text the fetched one would replace.
bool differs(const store::AlbumRecord& current, const store::AlbumRecord& fetched, int column)
{
    if (current[column].empty() || fetched[column].empty()) {
        return false;
    }
    if (column == store::FuriganaColumn && current[column] == current[store::ArtistColumn]) {
        // A reading that copies the artist is no typed text: it follows the
        // artist.
        return false;
    }
    if (column == store::Category3Column) {
        return firstMemoLine(current[column]) != fetched[column];
    }
    return current[column] != fetched[column];
}

}  // namespace

std::vector<std::string> conflictingFields(const store::AlbumRecord& current,
                                           const store::AlbumRecord& fetched)
{
    std::vector<std::string> names;
    for (const NamedColumn& field : fetchedFields()) {
        if (differs(current, fetched, field.column)) {
            names.push_back(field.name);
        }
    }
    return names;
}

FetchMerge mergeFetchedAlbum(const store::AlbumRecord& current, const store::AlbumRecord& fetched,
                             bool overwrite, std::size_t fetchedTracks)
{
    FetchMerge merge;
    merge.record = current;
    store::AlbumRecord& record = merge.record;
    for (const NamedColumn& field : fetchedFields()) {
        const int column = field.column;
        if (fetched[column].empty() || current[column] == fetched[column]) {
            continue;
        }
        if (current[column].empty()) {
            record[column] = fetched[column];
        } else if (!differs(current, fetched, column)) {
            // A memo whose first line is already the year, or a reading
            // that copies the artist: it follows the artist kept or taken.
            if (column == store::FuriganaColumn &&
                record[store::ArtistColumn] != current[store::ArtistColumn]) {
                record[column] = fetched[column];
            }
        } else if (overwrite) {
            record[column] = column == store::Category3Column ? memoWithYear(current[column], fetched[column])
                                                              : fetched[column];
            merge.replaced.push_back(field.name);
        } else {
            merge.kept.push_back(field.name);
        }
    }
    const int tracks = static_cast<int>(std::min<std::size_t>(fetchedTracks, store::kSongSlots));
    for (int slot = 1; slot <= store::kSongSlots; ++slot) {
        if (slot <= tracks) {
            if (!fetched[store::mediaColumn(slot)].empty()) {
                record[store::mediaColumn(slot)] = fetched[store::mediaColumn(slot)];
            }
        } else if (overwrite) {
            // The old album's later songs do not belong to this release.
            record[store::songTitleColumn(slot)].clear();
            record[store::songArtistColumn(slot)].clear();
            record[store::mediaColumn(slot)].clear();
        }
    }
    if (record[store::ImagePathColumn].empty()) {
        record[store::ImagePathColumn] = fetched[store::ImagePathColumn];
    }
    return merge;
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
