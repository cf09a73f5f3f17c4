#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace korvex {

// Memory for pixels. Pixels are touched page by page as they are decoded or
// composed; blocks of 4 MB and more come in 2 MB pages instead of 4 KB ones,
// which costs a few hundred page faults instead of tens of thousands.
struct FreePixelMemory {
    void operator()(std::uint8_t* memory) const;
};
using PixelMemory = std::unique_ptr<std::uint8_t[], FreePixelMemory>;

// Not cleared; null when memory is short.
PixelMemory allocatePixelMemory(std::size_t bytes);

}  // namespace korvex
