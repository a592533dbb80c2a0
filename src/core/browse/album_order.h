// Rules of the album list that need no window: sorting, moving albums by
// drag and drop, and the entries of the pick boxes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::browse {

// The order of list items after a column click: a permutation of 0..n-1.
// Column 0 compares the album numbers as integers; any other column the
// texts `textOf(item)` with Japanese collation, case-sensitive. Ascending,
// and items with equal keys keep their order.
std::vector<int> sortOrder(const std::vector<int>& albumNumbers, int column,
                           const std::function<std::string_view(int item)>& textOf);

// Where items go when the selected ones are dropped on item `target`: they
// move, in their order, to just before the target (the target itself moves
// along when it is selected). Returns the new order as old item indexes.
std::vector<int> dropOrder(const std::vector<bool>& selected, int target);

// The distinct texts in order of appearance; texts that differ only in
// letter case count as one, and the first one met is kept.
std::vector<std::string> distinctIgnoringCase(const std::vector<std::string_view>& texts);

}  // namespace velmora::browse
