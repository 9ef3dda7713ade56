#include "PngWriter.h"

#include <fstream>

#include <zlib.h>

namespace aaxhost
{
namespace
{
void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& body)
{
    PutBigEndian32(out, uint32_t(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), out.data() + start, uInt(out.size() - start));
    PutBigEndian32(out, uint32_t(crc));
}
} // namespace

std::vector<uint8_t> PngWriter::Encode(const RgbImage& image)
{
    if (!image.IsValid())
        return {};

    // Each row starts with filter type 0 (none).
    const size_t rowBytes = size_t(image.width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * size_t(image.height));
    for (int y = 0; y < image.height; ++y)
    {
        raw.push_back(0);
        const auto* row = image.pixels.data() + size_t(y) * rowBytes;
        raw.insert(raw.end(), row, row + rowBytes);
    }

    uLongf compressedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> compressed(compressedSize);
    if (compress2(compressed.data(), &compressedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
        return {};
    compressed.resize(compressedSize);

    std::vector<uint8_t> header;
    PutBigEndian32(header, uint32_t(image.width));
    PutBigEndian32(header, uint32_t(image.height));
    header.insert(header.end(), { 8, 2, 0, 0, 0 });   // 8 bits, truecolour, deflate, adaptive filters, no interlace

    std::vector<uint8_t> file { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", compressed);
    PutChunk(file, "IEND", {});
    return file;
}

bool PngWriter::Write(const std::string& path, const RgbImage& image, std::string& error)
{
    const std::vector<uint8_t> bytes = Encode(image);
    if (bytes.empty())
    {
        error = "no picture to write";
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
    {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
} // namespace aaxhost
