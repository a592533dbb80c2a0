// The readings the edit dialog offers for an artist's furigana.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::text {

// The furigana drop-down's entries for `artist` (CP932), in order:
//  1. the artist text itself, then - each only if the list does not hold it
//     yet without regard to case - its hiragana form, its full-width
//     katakana form W and W in half width H;
//  2. when H starts with exactly "the " or "THE ", the same again for H
//     without those four characters (unless that is already listed);
//  3. every reading in `readingsOfSameArtist` (the furigana of the albums
//     whose artist is exactly `artist`) that is not already listed exactly.
// The artist text may be of any length.
std::vector<std::string> furiganaSuggestions(std::string_view artist,
                                             const std::vector<std::string_view>& readingsOfSameArtist);

}  // namespace velmora::text
