// A set of file system paths kept in one block of bytes: what a rescan asks
// of tens of thousands of files ("does the catalogue hold this one?") costs
// one probe of a flat table, and building or dropping it no allocation per
// path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::filescan {

class PathSet {
public:
    // Adds `path`; false when it was there already.
    bool insert(std::string_view path);
    // 1 when `path` is in the set, else 0.
    std::size_t count(std::string_view path) const;
    bool contains(std::string_view path) const { return count(path) != 0; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

private:
    struct Slot {
        std::size_t hash = 0;
        std::size_t offset = 0;  // in bytes_
        std::size_t length = 0;
        bool used = false;
    };
    // The slot that holds `path`, or the free slot where it would go.
    std::size_t slotOf(std::string_view path, std::size_t hash) const;
    void grow();

    std::string bytes_;        // the paths one after another
    std::vector<Slot> slots_;  // a power of two of them, probed in turn
    std::size_t size_ = 0;
};

}  // namespace velmora::filescan
