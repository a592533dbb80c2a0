// What every fuzzer shares: a property check that stops the run with a
// message, a scratch folder for the file round trips, and the test that a
// CP932 text decodes without a byte that belongs to no character.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/text/cp932.h"

#define FUZZ_CHECK(condition, what)                                                          \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

namespace velmora::fuzz {

// A folder of this process, removed when it ends (on a RAM disk when there
// is one: every run writes files).
inline const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::exists("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::filesystem::path path = base / ("velmora-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path, ec);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return path;
    }();
    return folder;
}

// Whether every byte of the text belongs to a CP932 character that decodes
// (no stand-in for a raw byte, no half character at the end).
inline bool isWholeCp932(std::string_view bytes)
{
    const std::u16string decoded = text::toUnicode(bytes);
    return std::none_of(decoded.begin(), decoded.end(),
                        [](char16_t c) { return c >= text::kRawByteBase && c <= text::kRawByteBase + 0xFF; });
}

// Takes a piece from the front of the input: its length is the first byte.
inline std::string_view takePiece(std::string_view& input, std::size_t maximum)
{
    if (input.empty()) {
        return {};
    }
    std::size_t length =
        std::min<std::size_t>(static_cast<unsigned char>(input.front()) % (maximum + 1), input.size() - 1);
    std::string_view piece = input.substr(1, length);
    input.remove_prefix(1 + length);
    return piece;
}

}  // namespace velmora::fuzz
