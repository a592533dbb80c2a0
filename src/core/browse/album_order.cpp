#include "core/browse/album_order.h"

#include <algorithm>
#include <numeric>
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
    // One collation key per item, then plain byte comparisons.
    static const text::JapaneseCollator collator;
    std::vector<std::string> keys;
    keys.reserve(albumNumbers.size());
    for (std::size_t i = 0; i < albumNumbers.size(); ++i) {
        keys.push_back(collator.sortKey(textOf(static_cast<int>(i))));
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
    });
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
