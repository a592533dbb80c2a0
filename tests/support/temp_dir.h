// A temporary folder for tests that work on real files.
#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::test {

class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("velmora-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Names in the folder other than `except`.
    std::size_t entryCount() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
    }

private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Rewrites `file` in place with other bytes of the same length and gives it
// back its modification time, as a writer that keeps the time would: only
// the contents tell. False (nothing written) when the lengths differ.
inline bool rewriteKeepingTime(const std::filesystem::path& file, std::string_view bytes)
{
    if (std::filesystem::file_size(file) != bytes.size()) {
        return false;
    }
    const auto time = std::filesystem::last_write_time(file);
    writeBytes(file, bytes);
    std::filesystem::last_write_time(file, time);
    return true;
}

inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A data-file line of 305 cells: the given ones first, the rest empty.
inline std::string dataLine(std::initializer_list<std::string_view> cells)
{
    std::string line;
    int count = 0;
    for (std::string_view cell : cells) {
        if (count++ > 0) {
            line += "<>";
        }
        line += cell;
    }
    for (; count < 305; ++count) {
        if (count > 0) {
            line += "<>";
        }
    }
    return line;
}

// A data-file line of 305 cells with the given cells set by column.
inline std::string dataLineWith(const std::vector<std::pair<int, std::string_view>>& cells)
{
    std::string line;
    for (int c = 0; c < 305; ++c) {
        if (c > 0) {
            line += "<>";
        }
        for (const auto& [column, text] : cells) {
            if (column == c) {
                line += text;
            }
        }
    }
    return line;
}

inline std::string dataLineWith(std::initializer_list<std::pair<int, std::string_view>> cells)
{
    return dataLineWith(std::vector<std::pair<int, std::string_view>>(cells));
}

}  // namespace velmora::test
