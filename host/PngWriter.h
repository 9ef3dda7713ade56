#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aaxhost
{
/** A picture as the host grabs it from the screen: 8-bit RGB, rows top to bottom. */
struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;   ///< width * height * 3 bytes

    bool IsValid() const { return width > 0 && height > 0 && pixels.size() == size_t(width) * size_t(height) * 3; }
};

/** Writes RGB pictures as PNG files (8 bits per channel, no interlace) through zlib. */
class PngWriter
{
public:
    /** The whole file's bytes; empty for an invalid image. */
    static std::vector<uint8_t> Encode(const RgbImage& image);

    /** Writes `image` to `path`, replacing the file. False with a reason on failure. */
    static bool Write(const std::string& path, const RgbImage& image, std::string& error);
};
} // namespace aaxhost
