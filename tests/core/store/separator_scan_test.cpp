#include "core/store/separator_scan.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace velmora::store {
namespace {

struct Scan {
    std::size_t count = 0;
    std::size_t last = 0;
    std::vector<std::size_t> positions;
    bool operator==(const Scan&) const = default;
};

Scan scanWith(SeparatorFinder finder, const std::string& line, std::size_t pos, std::size_t max,
              const std::size_t* wanted)
{
    Scan scan;
    scan.positions.assign(wanted ? 4 : max, line.size());
    scan.count = finder(line.data(), line.size(), pos, scan.positions.data(), max, wanted, &scan.last);
    if (!wanted) {
        scan.positions.resize(std::min(scan.count, max));
    }
    return scan;
}

// The block scans (16 and, where the processor has it, 32 bytes at a time)
// find exactly what the byte loop finds, on lines dense with separators,
// lead bytes just before them and "<" after half a character.
TEST(SeparatorScan, EveryBlockWidthFindsWhatTheByteLoopFinds)
{
    std::vector<SeparatorFinder> finders;
#ifdef __SSE2__
    finders.push_back(findSeparatorsIn<Sse2Blocks>);
#endif
#ifdef VELMORA_AVX2_SEPARATORS
    if (__builtin_cpu_supports("avx2")) {
        finders.push_back(findSeparatorsAvx2);
    }
#endif
    ASSERT_FALSE(finders.empty());
    const SeparatorFinder bytes = findSeparatorsIn<NoBlocks>;
    // '<' and '>' most often, then lead bytes of both ranges, trail bytes
    // and plain ASCII.
    const std::array<unsigned char, 12> alphabet = {'<',  '>',  '<',  '>',  0x81, 0x9F,
                                                    0xE0, 0xFC, 0x40, 0xA0, 'a',  0x80};
    std::mt19937 random(20261209);
    static constexpr std::size_t kWanted[] = {0, 3, 4, 40, kNoIndex};
    for (int round = 0; round < 4000; ++round) {
        std::string line(random() % 200, ' ');
        for (char& c : line) {
            c = static_cast<char>(alphabet[random() % alphabet.size()]);
        }
        if (round % 3 == 0) {
            // Long runs of empty cells, as most rows end.
            for (std::size_t empty = random() % 60; empty > 0; --empty) {
                line += "<>";
            }
        }
        const std::size_t pos = line.empty() ? 0 : random() % (line.size() / 4 + 1);
        for (std::size_t max : {std::size_t{1}, std::size_t{7}, std::size_t{305}}) {
            const Scan expected = scanWith(bytes, line, pos, max, nullptr);
            for (SeparatorFinder finder : finders) {
                ASSERT_EQ(scanWith(finder, line, pos, max, nullptr), expected) << line << " from " << pos;
            }
        }
        const Scan expected = scanWith(bytes, line, pos, 305, kWanted);
        for (SeparatorFinder finder : finders) {
            ASSERT_EQ(scanWith(finder, line, pos, 305, kWanted), expected) << line << " from " << pos;
        }
    }
}

}  // namespace
}  // namespace velmora::store
