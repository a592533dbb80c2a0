#include "core/browse/album_order.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "core/text/collation.h"

namespace velmora::browse {

std::vector<int> sortOrder(const std::vector<int>& albumNumbers, int column,
                           const std::function<std::string_view(int item)>& textOf)
{
    std::vector<int> order(albumNumbers.size());
    std::iota(order.begin(), order.end(), 0);
    if (column == 0) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return albumNumbers[static_cast<std::size_t>(a)] < albumNumbers[static_cast<std::size_t>(b)];
        });
        return order;
    }
    // One collation key per distinct text (a column such as the artist
    // repeats a few texts over many albums), the keys sorted once, and the
    // items then placed by the rank of their key: stable, as equal keys keep
    // the items' order.
    static const text::JapaneseCollator collator;
    std::unordered_map<std::string_view, int> textIndex;
    std::vector<int> itemText(albumNumbers.size());
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < albumNumbers.size(); ++i) {
        const std::string_view textOfItem = textOf(static_cast<int>(i));
        auto [it, added] = textIndex.try_emplace(textOfItem, static_cast<int>(keys.size()));
        if (added) {
            keys.push_back(collator.sortKey(textOfItem));
        }
        itemText[i] = it->second;
    }
    std::vector<int> byKey(keys.size());
    std::iota(byKey.begin(), byKey.end(), 0);
    std::sort(byKey.begin(), byKey.end(), [&](int a, int b) {
        return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
    });
    std::vector<int> rank(keys.size());
    int ranks = 0;
    for (std::size_t k = 0; k < byKey.size(); ++k) {
        if (k > 0 &&
            keys[static_cast<std::size_t>(byKey[k])] != keys[static_cast<std::size_t>(byKey[k - 1])]) {
            ++ranks;
        }
        rank[static_cast<std::size_t>(byKey[k])] = ranks;
    }
    // Counting by rank keeps equal items in their order.
    std::vector<int> start(static_cast<std::size_t>(ranks) + 2, 0);
    for (int text : itemText) {
        ++start[static_cast<std::size_t>(rank[static_cast<std::size_t>(text)]) + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    for (std::size_t i = 0; i < itemText.size(); ++i) {
        const auto r = static_cast<std::size_t>(rank[static_cast<std::size_t>(itemText[i])]);
        order[static_cast<std::size_t>(start[r]++)] = static_cast<int>(i);
    }
    return order;
}

std::vector<int> dropOrder(const std::vector<bool>& selected, int target)
{
    const int count = static_cast<int>(selected.size());
    std::vector<int> order;
    order.reserve(selected.size());
    for (int i = 0; i < target; ++i) {
        if (!selected[static_cast<std::size_t>(i)]) {
            order.push_back(i);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (selected[static_cast<std::size_t>(i)]) {
            order.push_back(i);
        }
    }
    for (int i = target; i < count; ++i) {
        if (!selected[static_cast<std::size_t>(i)]) {
            order.push_back(i);
        }
    }
    return order;
}

std::vector<std::string> distinctIgnoringCase(const std::vector<std::string_view>& texts)
{
    std::vector<std::string> distinct;
    std::unordered_set<std::u16string> seen;
    for (std::string_view text : texts) {
        if (seen.insert(text::foldCase(text)).second) {
            distinct.emplace_back(text);
        }
    }
    return distinct;
}

}  // namespace velmora::browse
