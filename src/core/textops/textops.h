// Search, conversion and replace over the albums the list shows.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::store {
class AlbumTable;
}

namespace velmora::textops {

// The shown albums as the bulk commands walk them: each album once, ordered
// as text without regard to case ("10" before "2").
std::vector<int> albumSetAsText(const std::vector<int>& listed);

// The matching form of a text: per character, the case mapping of the
// characters CP932 holds (ASCII, full-width Latin, Greek, Cyrillic, Roman
// numerals), and every character with two codes (the NEC and IBM
// duplicates) written with the code fromUnicode() gives it, so both codes
// of one character match each other. The byte length never changes, so
// positions carry over.
std::string upperForMatch(std::string_view cp932);

// Whether a word (upper-cased) holds letters that have a lower case.
bool hasLetterCase(std::string_view upperWord);

// A cell matches when the upper-cased word occurs in the upper-cased cell,
// starting on a character boundary. Empty cells never match.
bool cellMatches(std::string_view cell, std::string_view upperWord);

// Progress of a long pass: (pass maximum, index of the album just done).
// A pass starts with index -1.
using Progress = std::function<void(int maximum, int index)>;

enum SearchGroup { SearchArtist, SearchAlbum, SearchSong, SearchGenre, SearchMedium, SearchMemo, SearchAll };

struct SearchHit {
    int album = 0;
    int song = 0;  // 0: the matching cell is not a song cell
    bool operator==(const SearchHit&) const = default;
};

// How a search compares: the matching form of upperForMatch(), or, for
// the reading-aware search, the folding of text::foldForSearch() (kana,
// width and letter case) on both sides.
enum class SearchMode { Plain, Folded };

std::vector<SearchHit> search(const store::AlbumTable& table, const std::vector<int>& albumSet, int group,
                              std::string_view word, const Progress& progress = {},
                              SearchMode mode = SearchMode::Plain);

// The word box's suggestions for a group: distinct cells (case-blind),
// ordered as text.
std::vector<std::string> searchSuggestions(const store::AlbumTable& table, int group);

// The columns of a conversion or replace group, in the order they are done.
std::vector<int> groupColumns(int group);

enum ConversionKind { ToUpper, ToLower, CapitaliseWords, ToFullWidth, ToHalfWidth };

std::string convertText(std::string_view cell, int kind);
std::string capitaliseWords(std::string_view cell);

// Replaces every occurrence of `find` (compared without regard to case) by
// `replacement` as typed, left to right, non-overlapping.
std::string replaceText(std::string_view cell, std::string_view find, std::string_view replacement);

struct BulkResult {
    int changedCells = 0;
    int refusedCells = 0;            // cells kept as they were: the result cannot be stored
    std::vector<int> changedAlbums;  // in the order they were walked
};

// Rewrites every non-empty cell of a column group in the given albums
// (walked in the given order) through `rewrite`; a result the data file
// could not carry keeps the old text and is counted as refused.
// `rewritten`, when given, hears of each cell before it changes: the album,
// the column and the text it had (what an undo needs).
using CellRewritten = std::function<void(int album, int column, std::string_view before)>;
BulkResult rewriteAlbums(store::AlbumTable& table, const std::vector<int>& albumSet, int group,
                         const Progress& progress,
                         const std::function<std::string(std::string_view)>& rewrite,
                         const CellRewritten& rewritten = {});

BulkResult convertAlbums(store::AlbumTable& table, const std::vector<int>& albumSet, int group, int kind,
                         const Progress& progress = {});
BulkResult replaceInAlbums(store::AlbumTable& table, const std::vector<int>& albumSet, int group,
                           std::string_view find, std::string_view replacement,
                           const Progress& progress = {});

}  // namespace velmora::textops
