// The separator scan for processors with AVX2; this file alone is compiled
// with -mavx2 (see CMakeLists.txt).
#include "core/store/separator_scan.h"

namespace velmora::store {

std::size_t findSeparatorsAvx2(const char* s, std::size_t size, std::size_t pos, std::size_t* out,
                               std::size_t max, const std::size_t* wanted, std::size_t* last)
{
    return findSeparatorsIn<Avx2Blocks>(s, size, pos, out, max, wanted, last);
}

}  // namespace velmora::store
