// Readings of artist names: a dictionary that turns an artist's text into
// kana, and the readings the user already chose for an artist (taken from
// the catalogue's own albums, so nothing new is stored).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/store/album_table.h"

namespace velmora::readings {

// Turns text into kana readings. Texts are UTF-8.
class ReadingDictionary {
public:
    virtual ~ReadingDictionary() = default;
    // Whether the dictionary could be opened.
    virtual bool available() const = 0;
    // Why it could not (one Japanese sentence); empty when available.
    virtual std::string unavailableMessage() const = 0;
    // Readings of `text` in katakana, best first; empty when the
    // dictionary knows none. Parts it cannot read (Latin letters, digits)
    // are kept as written.
    virtual std::vector<std::string> readings(std::string_view text) const = 0;
};

// Kana forms of UTF-8 text: katakana to hiragana and back (other
// characters as they are; ヴ and the small ヵ ヶ stay katakana).
std::string toHiragana(std::string_view utf8);
std::string toKatakana(std::string_view utf8);
// Whether UTF-8 text holds a kanji or kana: a name without any is read as
// it is written and gets no proposal.
bool hasJapanese(std::string_view utf8);

// The reading the user chose for each artist: albums whose reading is
// neither empty nor the artist's text. When an artist's albums disagree,
// the reading most albums carry wins (the later album on a tie). CP932.
class ChosenReadings {
public:
    ChosenReadings() = default;
    explicit ChosenReadings(const store::AlbumTable& table);
    // The same for the given artists (CP932) only, in one pass that reads
    // the readings of their albums alone; prefersKatakana() then counts
    // their albums only. For a scan, which needs the readings of the
    // artists of its new albums and nothing more.
    ChosenReadings(const store::AlbumTable& table, const std::vector<std::string>& artists);
    std::optional<std::string> find(std::string_view artist) const;
    std::size_t size() const { return chosen_.size(); }
    // Whether the readings typed so far are mostly katakana (フリガナ as
    // many catalogues write it) rather than hiragana: new readings follow
    // them, so that the reading column sorts as one list.
    bool prefersKatakana() const { return katakanaReadings_ > hiraganaReadings_; }

private:
    // Counts the readings of the albums `wanted` accepts (all when null).
    void read(const store::AlbumTable& table, const std::function<bool(std::string_view artist)>& wanted);

    std::unordered_map<std::string, std::string> chosen_;
    int katakanaReadings_ = 0;
    int hiraganaReadings_ = 0;
};

// The reading to give an album of `artist` (CP932): the one the user chose
// for that artist, else the dictionary's first reading in hiragana (in
// katakana when the catalogue's readings are mostly katakana); none
// for an empty artist, a name without kanji or kana nobody chose a reading
// for, or a reading CP932 cannot hold.
std::optional<std::string> readingFor(std::string_view artist, const ChosenReadings& chosen,
                                      const ReadingDictionary* dictionary);

// An album the reading command would change.
struct ReadingProposal {
    int album = 0;
    std::string artist;   // CP932
    std::string reading;  // CP932, proposed
};

// Every album whose reading is empty or equal to its artist text and for
// which readingFor() has a reading, in album order.
std::vector<ReadingProposal> proposeReadings(const store::AlbumTable& table,
                                             const ReadingDictionary* dictionary);

}  // namespace velmora::readings
