#include "core/readings/reading_dictionary.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <unordered_set>

#include "core/store/columns.h"
#include "core/text/cp932.h"

namespace velmora::readings {

namespace {

std::u32string decodeUtf8(std::string_view utf8)
{
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    std::u32string out;
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        out.push_back(static_cast<char32_t>(text.char32At(i)));
    }
    return out;
}

std::string encodeUtf8(const std::u32string& text)
{
    icu::UnicodeString out;
    for (char32_t c : text) {
        out.append(static_cast<UChar32>(c));
    }
    std::string bytes;
    out.toUTF8String(bytes);
    return bytes;
}

std::string utf8OfCp932(std::string_view cp932)
{
    const std::u16string wide = text::toUnicode(cp932);
    const icu::UnicodeString text(wide.data(), static_cast<int32_t>(wide.size()));
    std::string bytes;
    text.toUTF8String(bytes);
    return bytes;
}

std::optional<std::string> cp932OfUtf8(std::string_view utf8)
{
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    const text::EncodeResult encoded =
        text::fromUnicode(std::u16string_view(text.getBuffer(), static_cast<std::size_t>(text.length())));
    if (!encoded.ok) {
        return std::nullopt;
    }
    return encoded.bytes;
}

}  // namespace

std::string toHiragana(std::string_view utf8)
{
    std::u32string text = decodeUtf8(utf8);
    for (char32_t& c : text) {
        // ァ (U+30A1) .. ゖ's twin ヶ: ヴ, ヵ and ヶ have no common hiragana.
        if (c >= U'ァ' && c <= U'ン') {
            c -= 0x60;
        }
    }
    return encodeUtf8(text);
}

std::string toKatakana(std::string_view utf8)
{
    std::u32string text = decodeUtf8(utf8);
    for (char32_t& c : text) {
        if (c >= U'ぁ' && c <= U'ん') {
            c += 0x60;
        }
    }
    return encodeUtf8(text);
}

bool hasJapanese(std::string_view utf8)
{
    for (char32_t c : decodeUtf8(utf8)) {
        const bool kana = (c >= 0x3041 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F);
        const bool kanji = (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || c == U'々';
        if (kana || kanji) {
            return true;
        }
    }
    return false;
}

namespace {

enum class KanaScript { Hiragana, Katakana, Other };

// The script of a CP932 reading written wholly in one kana (the long vowel
// mark ー, spaces and the middle dot go with either); Other for anything
// else.
KanaScript kanaScript(std::string_view cp932)
{
    bool hiragana = false;
    bool katakana = false;
    for (std::size_t i = 0; i < cp932.size();) {
        const auto lead = static_cast<unsigned char>(cp932[i]);
        if (lead == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= cp932.size() || lead < 0x81) {
            return KanaScript::Other;
        }
        const auto trail = static_cast<unsigned char>(cp932[i + 1]);
        if (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) {
            hiragana = true;
        } else if (lead == 0x83 && trail >= 0x40 && trail <= 0x96) {
            katakana = true;
        } else if (!(lead == 0x81 && (trail == 0x5B || trail == 0x45 || trail == 0x40))) {
            return KanaScript::Other;  // not ー, ・ or a full-width space
        }
        i += 2;
    }
    if (hiragana == katakana) {
        return KanaScript::Other;
    }
    return hiragana ? KanaScript::Hiragana : KanaScript::Katakana;
}

}  // namespace

ChosenReadings::ChosenReadings(const store::AlbumTable& table)
{
    read(table, {});
}

ChosenReadings::ChosenReadings(const store::AlbumTable& table, const std::vector<std::string>& artists)
{
    if (artists.empty()) {
        return;
    }
    const std::unordered_set<std::string_view> wanted(artists.begin(), artists.end());
    read(table, [&wanted](std::string_view artist) { return wanted.count(artist) > 0; });
}

void ChosenReadings::read(const store::AlbumTable& table, const std::function<bool(std::string_view)>& wanted)
{
    // The readings given to each artist: how many albums and the last one.
    // The views point into the table, which does not change meanwhile.
    struct Seen {
        std::string_view reading;
        int albums = 0;
        int last = 0;
    };
    std::unordered_map<std::string_view, std::vector<Seen>> counts;
    std::array<std::string_view, store::kColumnCount - store::FuriganaColumn> trailing;
    for (int album = 1; album <= table.albumCount(); ++album) {
        if (!wanted) {
            table.prefetchRowEnd(album + 8);
        }
        // Two cells of each album, not its whole row: this runs over the
        // whole catalogue before each scan and fill. The reading comes
        // after the song titles, so it is found from the end of the row.
        const std::string_view artist = table.cell(store::ArtistColumn, album);
        if (artist.empty() || (wanted && !wanted(artist))) {
            continue;
        }
        table.trailingCells(album, store::FuriganaColumn, trailing);
        const std::string_view reading = trailing[0];
        if (reading.empty() || reading == artist) {
            continue;
        }
        std::vector<Seen>& readings = counts[artist];
        auto seen = std::find_if(readings.begin(), readings.end(),
                                 [reading](const Seen& known) { return known.reading == reading; });
        if (seen == readings.end()) {
            seen = readings.insert(readings.end(), Seen{reading});
        }
        ++seen->albums;
        seen->last = album;
        switch (kanaScript(reading)) {
            case KanaScript::Katakana:
                ++katakanaReadings_;
                break;
            case KanaScript::Hiragana:
                ++hiraganaReadings_;
                break;
            case KanaScript::Other:
                break;
        }
    }
    // The reading given most often; of equals, the one given last.
    chosen_.reserve(counts.size());
    for (const auto& [artist, readings] : counts) {
        const Seen* best = &readings.front();
        for (const Seen& seen : readings) {
            if (std::pair(seen.albums, seen.last) > std::pair(best->albums, best->last)) {
                best = &seen;
            }
        }
        chosen_.emplace(std::string(artist), std::string(best->reading));
    }
}

std::optional<std::string> ChosenReadings::find(std::string_view artist) const
{
    const auto found = chosen_.find(std::string(artist));
    if (found == chosen_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> readingFor(std::string_view artist, const ChosenReadings& chosen,
                                      const ReadingDictionary* dictionary)
{
    if (artist.empty()) {
        return std::nullopt;
    }
    if (std::optional<std::string> reading = chosen.find(artist)) {
        return reading;
    }
    if (dictionary == nullptr || !dictionary->available()) {
        return std::nullopt;
    }
    const std::string text = utf8OfCp932(artist);
    if (!hasJapanese(text)) {
        return std::nullopt;
    }
    const std::vector<std::string> found = dictionary->readings(text);
    if (found.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> reading =
        cp932OfUtf8(chosen.prefersKatakana() ? toKatakana(found.front()) : toHiragana(found.front()));
    if (!reading || reading->empty() || *reading == artist ||
        store::checkCell(store::FuriganaColumn, *reading) != store::CellProblem::None) {
        return std::nullopt;
    }
    return reading;
}

std::vector<ReadingProposal> proposeReadings(const store::AlbumTable& table,
                                             const ReadingDictionary* dictionary)
{
    const ChosenReadings chosen(table);
    // One look-up per artist: a catalogue holds many albums of one artist.
    std::unordered_map<std::string, std::optional<std::string>> known;
    std::vector<ReadingProposal> proposals;
    std::array<std::string_view, store::kColumnCount - store::FuriganaColumn> trailing;
    for (int album = 1; album <= table.albumCount(); ++album) {
        table.prefetchRowEnd(album + 8);
        // Two cells of each album, not its whole row (the reading found
        // from the row's end, see ChosenReadings).
        const std::string_view artist = table.cell(store::ArtistColumn, album);
        if (artist.empty()) {
            continue;
        }
        table.trailingCells(album, store::FuriganaColumn, trailing);
        const std::string_view reading = trailing[0];
        if (!reading.empty() && reading != artist) {
            continue;
        }
        auto [entry, added] = known.try_emplace(std::string(artist));
        if (added) {
            entry->second = readingFor(artist, chosen, dictionary);
        }
        if (entry->second && *entry->second != reading) {
            proposals.push_back({album, std::string(artist), *entry->second});
        }
    }
    return proposals;
}

}  // namespace velmora::readings
