#include "core/bitmap/PixelMemory.h"

#include <algorithm>
#include <cstdlib>

#include <sys/mman.h>

namespace korvex {

void FreePixelMemory::operator()(std::uint8_t* memory) const
{
    std::free(memory);
}

PixelMemory allocatePixelMemory(std::size_t bytes)
{
    constexpr std::size_t hugePage = std::size_t(2) << 20;
    // Below two large pages the rounding would waste up to half the block.
    if (bytes >= 2 * hugePage) {
        const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
        if (void* p = std::aligned_alloc(hugePage, rounded)) {
#ifdef MADV_HUGEPAGE
            ::madvise(p, rounded, MADV_HUGEPAGE);
#endif
            return PixelMemory(static_cast<std::uint8_t*>(p));
        }
        return nullptr;
    }
    return PixelMemory(static_cast<std::uint8_t*>(std::malloc(std::max<std::size_t>(bytes, 1))));
}

}  // namespace korvex
