#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace aaxhost
{
/** A picture as the host grabs it from the screen: 8-bit RGB, rows top to bottom. */
struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; ///< width * height * 3 bytes

    bool IsValid() const { return width > 0 && height > 0 && pixels.size() == size_t(width) * size_t(height) * 3; }
};
} // namespace aaxhost
