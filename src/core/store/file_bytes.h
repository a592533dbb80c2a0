// The bytes of a whole file, read without first clearing the memory they go
// into (a catalogue can be over 100 MB).
#pragma once

#include <cstdlib>
#include <memory>
#include <string_view>

namespace velmora::store {

class FileBytes {
public:
    FileBytes() = default;

    std::string_view view() const { return {data_.get(), size_}; }
    std::size_t size() const { return size_; }

    // Makes room for at least `capacity` bytes, keeping the ones read so far.
    // False when memory runs out.
    bool reserve(std::size_t capacity);
    char* end() { return data_.get() + size_; }
    std::size_t room() const { return capacity_ - size_; }
    void grow(std::size_t count) { size_ += count; }

private:
    struct Free {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, Free> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace velmora::store
