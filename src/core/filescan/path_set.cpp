#include "core/filescan/path_set.h"

#include <functional>

namespace velmora::filescan {

std::size_t PathSet::slotOf(std::string_view path, std::size_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t index = hash & mask;; index = (index + 1) & mask) {
        const Slot& slot = slots_[index];
        if (!slot.used ||
            (slot.hash == hash && std::string_view(bytes_).substr(slot.offset, slot.length) == path)) {
            return index;
        }
    }
}

void PathSet::grow()
{
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.used) {
            continue;
        }
        std::size_t index = slot.hash & mask;
        while (slots_[index].used) {
            index = (index + 1) & mask;
        }
        slots_[index] = slot;
    }
}

bool PathSet::insert(std::string_view path)
{
    // At most three quarters full, so that a probe soon meets a free slot.
    if ((size_ + 1) * 4 > slots_.size() * 3) {
        grow();
    }
    const std::size_t hash = std::hash<std::string_view>{}(path);
    Slot& slot = slots_[slotOf(path, hash)];
    if (slot.used) {
        return false;
    }
    slot = Slot{hash, bytes_.size(), path.size(), true};
    bytes_.append(path);
    ++size_;
    return true;
}

std::size_t PathSet::count(std::string_view path) const
{
    if (size_ == 0) {
        return 0;
    }
    return slots_[slotOf(path, std::hash<std::string_view>{}(path))].used ? 1 : 0;
}

}  // namespace velmora::filescan
