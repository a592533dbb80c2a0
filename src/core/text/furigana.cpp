#include "core/text/furigana.h"

#include <algorithm>

#include "core/text/collation.h"
#include "core/text/kana_width.h"

namespace velmora::text {

std::vector<std::string> furiganaSuggestions(std::string_view artist,
                                             const std::vector<std::string_view>& readingsOfSameArtist)
{
    std::vector<std::string> list;
    const auto listedIgnoringCase = [&list](std::string_view text) {
        return std::any_of(list.begin(), list.end(),
                           [text](const std::string& entry) { return equalIgnoringCase(entry, text); });
    };
    const auto addIfNew = [&](std::string text) {
        if (!listedIgnoringCase(text)) {
            list.push_back(std::move(text));
        }
    };

    std::string name(artist);
    for (;;) {
        list.push_back(name);
        addIfNew(toHiragana(name));
        std::string fullWidth = toFullWidth(toKatakana(name));
        std::string halfWidth = toHalfWidth(fullWidth);
        addIfNew(std::move(fullWidth));
        addIfNew(halfWidth);

        // An English article in front: offer the name without it as well.
        // Only these two spellings count ("The " does not).
        const std::string_view h = halfWidth;
        if (!h.starts_with("the ") && !h.starts_with("THE ")) {
            break;
        }
        std::string withoutArticle(h.substr(4));
        if (listedIgnoringCase(withoutArticle)) {
            break;
        }
        name = std::move(withoutArticle);
    }

    for (const std::string_view reading : readingsOfSameArtist) {
        if (std::find(list.begin(), list.end(), reading) == list.end()) {
            list.emplace_back(reading);
        }
    }
    return list;
}

}  // namespace velmora::text
