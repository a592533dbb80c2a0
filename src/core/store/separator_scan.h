// Finding the "<>" separators of a data-file line, a block of bytes at a
// time. Private to the album table: the same loop is compiled once for
// the baseline processor and once for processors with AVX2
// (separator_scan_avx2.cpp), and the table picks one when it starts.
//
// Everything here has internal linkage, so that the copy compiled for AVX2
// can never stand in for the baseline one.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#ifdef __AVX2__
#include <immintrin.h>
#endif

#include "core/text/cp932.h"

namespace velmora::store {
namespace {  // NOLINT(cert-dcl59-cpp): see above

// No more separator positions are wanted.
constexpr std::size_t kNoIndex = static_cast<std::size_t>(-1);

// The signature of every compiled copy of findSeparators().
using SeparatorFinder = std::size_t (*)(const char* s, std::size_t size, std::size_t pos, std::size_t* out,
                                        std::size_t max, const std::size_t* wanted, std::size_t* last);

// Whether the "<>" at `at` starts a character: the run of lead-range bytes
// before it, back to a known boundary, must pair up evenly. ("<" is never a
// lead byte, so it ends a character wherever it stands.)
inline bool onBoundary(const char* s, std::size_t boundary, std::size_t at)
{
    std::size_t run = at;
    while (run > boundary && text::isLeadByte(static_cast<unsigned char>(s[run - 1]))) {
        --run;
    }
    return (at - run) % 2 == 0;
}

#ifdef __SSE2__
// Sixteen bytes a block.
struct Sse2Blocks {
    static constexpr std::size_t kWidth = 16;
    // Bit k: a "<>" starts at p[k]. Reads p[0..16].
    static std::uint32_t separators(const char* p)
    {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_and_si128(
            _mm_cmpeq_epi8(here, _mm_set1_epi8('<')), _mm_cmpeq_epi8(next, _mm_set1_epi8('>')))));
    }
    // Bit k: p[k - 1] is in the lead-byte range (0x81..0x9F, 0xE0..0xFC).
    static std::uint32_t afterLead(const char* p)
    {
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 1));
        const __m128i low = _mm_sub_epi8(before, _mm_set1_epi8(static_cast<char>(0x81)));
        const __m128i high = _mm_sub_epi8(before, _mm_set1_epi8(static_cast<char>(0xE0)));
        return static_cast<std::uint32_t>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(low, _mm_set1_epi8(0x9F - 0x81)), low),
                         _mm_cmpeq_epi8(_mm_min_epu8(high, _mm_set1_epi8(0xFC - 0xE0)), high))));
    }
    // The number of bits set (without the POPCNT instruction, which the
    // baseline x86-64 target lacks and GCC would call a function for).
    static std::size_t bitCount(std::uint32_t mask)
    {
        mask = mask - ((mask >> 1) & 0x5555U);
        mask = (mask & 0x3333U) + ((mask >> 2) & 0x3333U);
        mask = (mask + (mask >> 4)) & 0x0F0FU;
        return (mask + (mask >> 8)) & 0x1FU;
    }
};
#endif

#ifdef __AVX2__
// Thirty-two bytes a block.
struct Avx2Blocks {
    static constexpr std::size_t kWidth = 32;
    static std::uint32_t separators(const char* p)
    {
        const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_and_si256(
            _mm256_cmpeq_epi8(here, _mm256_set1_epi8('<')), _mm256_cmpeq_epi8(next, _mm256_set1_epi8('>')))));
    }
    static std::uint32_t afterLead(const char* p)
    {
        const __m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p - 1));
        const __m256i low = _mm256_sub_epi8(before, _mm256_set1_epi8(static_cast<char>(0x81)));
        const __m256i high = _mm256_sub_epi8(before, _mm256_set1_epi8(static_cast<char>(0xE0)));
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(
            _mm256_or_si256(_mm256_cmpeq_epi8(_mm256_min_epu8(low, _mm256_set1_epi8(0x9F - 0x81)), low),
                            _mm256_cmpeq_epi8(_mm256_min_epu8(high, _mm256_set1_epi8(0xFC - 0xE0)), high))));
    }
    static std::size_t bitCount(std::uint32_t mask)
    {
        return static_cast<std::size_t>(__builtin_popcount(mask));
    }
};
#endif

// A block type for machines without SSE2: the byte loop does all the work.
struct NoBlocks {
    static constexpr std::size_t kWidth = 0;
};

// Finds the first `max` separators of a line (each "<>" that starts a
// character) and returns how many there are. Without `wanted`, the
// position of each goes to out[0..]; with it (ascending separator indexes,
// ended by kNoIndex), only the position of separator wanted[k] goes to
// out[k], so that a caller that only needs the count and a few positions
// does not pay for the rest. `last`, when set, gets where the last
// separator found starts (`size` when none). This runs over every byte of
// a catalogue at load: candidates are found a block at a time in one pass.
template <class Blocks>
inline std::size_t findSeparatorsIn(const char* s, std::size_t size, std::size_t pos, std::size_t* out,
                                    std::size_t max, const std::size_t* wanted, std::size_t* last)
{
    std::size_t count = 0;
    std::size_t boundary = pos;
    std::size_t nextWanted = wanted ? *wanted : 0;
    std::size_t lastAt = size;
    auto record = [&](std::size_t at) {
        lastAt = at;
        if (!wanted) {
            out[count] = at;
        } else if (count == nextWanted) {
            *out++ = at;
            nextWanted = *++wanted;
        }
        ++count;
        boundary = at + 2;
        return count == max;
    };
    auto take = [&](std::size_t at) {
        if (at < boundary) {
            return false;  // inside the separator found just before
        }
        if (!onBoundary(s, boundary, at)) {
            boundary = at + 1;
            return false;
        }
        return record(at);
    };
    auto done = [&] {
        if (last) {
            *last = lastAt;
        }
        return count;
    };
    std::size_t i = pos;
    if constexpr (Blocks::kWidth > 0) {
        // The first block is done byte by byte below when it has no byte
        // before it to look at.
        if (i == 0 && size > 0) {
            if (s[0] == '<' && size > 1 && s[1] == '>' && take(0)) {
                return done();
            }
            i = 1;
        }
        for (; i + Blocks::kWidth + 1 <= size; i += Blocks::kWidth) {
            std::uint32_t mask = Blocks::separators(s + i);
            if (mask == 0) {
                continue;
            }
            // A "<>" after a byte that is no lead byte starts a character
            // wherever that byte stands; only the others need the pairing
            // test of take().
            const std::uint32_t afterLead = Blocks::afterLead(s + i);
            const std::size_t blockCount = Blocks::bitCount(mask);
            if (wanted != nullptr && count + blockCount < max && nextWanted >= count + blockCount) {
                // None of them can be wanted: only how many are separators
                // matters. A "<" never follows the separator just before
                // it, and the pairing test of one candidate does not
                // depend on the others (a run of lead bytes never reaches
                // back over a "<>"), so they are tested in any order.
                std::uint32_t real = mask & ~afterLead;
                for (std::uint32_t unsure = mask & afterLead; unsure != 0; unsure &= unsure - 1) {
                    const auto bit = static_cast<unsigned>(__builtin_ctz(unsure));
                    if (onBoundary(s, boundary, i + bit)) {
                        real |= 1U << bit;
                    }
                }
                if (real != 0) {
                    count += Blocks::bitCount(real);
                    lastAt = i + static_cast<std::size_t>(31 - __builtin_clz(real));
                    boundary = lastAt + 2;
                }
                continue;
            }
            for (; mask != 0; mask &= mask - 1) {
                const auto bit = static_cast<unsigned>(__builtin_ctz(mask));
                const std::size_t at = i + bit;
                if ((afterLead >> bit & 1U) == 0 && at >= boundary) {
                    if (record(at)) {
                        return done();
                    }
                } else if (take(at)) {
                    return done();
                }
            }
        }
    }
    for (; i + 1 < size; ++i) {
        if (s[i] == '<' && s[i + 1] == '>' && take(i)) {
            return done();
        }
    }
    return done();
}

}  // namespace

#ifdef VELMORA_AVX2_SEPARATORS
// findSeparatorsIn<Avx2Blocks>, compiled for AVX2: call it only where the
// processor has it.
std::size_t findSeparatorsAvx2(const char* s, std::size_t size, std::size_t pos, std::size_t* out,
                               std::size_t max, const std::size_t* wanted, std::size_t* last);
#endif

}  // namespace velmora::store
