#include "Chunk.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace aaxhost
{
namespace
{
constexpr size_t kHeaderSize = offsetof(AAX_SPlugInChunk, fData);
}

ChunkRecord::ChunkRecord(uint32_t dataSize)
    : mCapacity(dataSize)
{
    if (dataSize > kMaxDataSize)
        throw std::length_error("chunk data larger than the host accepts");
    // fData is declared as one byte: the record is never smaller than the struct.
    const size_t total = std::max(kHeaderSize + dataSize, sizeof(AAX_SPlugInChunk));
    mBytes.reset(new uint8_t[total]());
    get()->fSize = int32_t(dataSize);
}

ChunkRecord ChunkRecord::From(const Chunk& chunk, AAX_CTypeID manufacturerID, AAX_CTypeID productID,
                              AAX_CTypeID plugInID)
{
    ChunkRecord record(uint32_t(chunk.data.size()));
    AAX_SPlugInChunk* const header = record.get();
    header->fVersion = chunk.version;
    header->fManufacturerID = manufacturerID;
    header->fProductID = productID;
    header->fPlugInID = plugInID;
    header->fChunkID = chunk.id;
    std::strncpy(header->fName, chunk.name.c_str(), sizeof(header->fName) - 1);
    if (!chunk.data.empty())
        std::memcpy(header->fData, chunk.data.data(), chunk.data.size());
    return record;
}

bool ChunkRecord::ToChunk(AAX_CTypeID id, Chunk& chunk) const
{
    const AAX_SPlugInChunk* const header = get();
    if (header->fSize < 0 || uint32_t(header->fSize) > mCapacity)
        return false;
    chunk.id = id;
    chunk.version = header->fVersion;
    chunk.name.assign(header->fName, strnlen(header->fName, sizeof(header->fName)));
    chunk.data.assign(reinterpret_cast<const uint8_t*>(header->fData),
                      reinterpret_cast<const uint8_t*>(header->fData) + header->fSize);
    return true;
}

std::string FourCCText(uint32_t code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char c = char((code >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

uint32_t FourCCFromText(const std::string& text)
{
    if (text.size() != 4)
        return 0;
    uint32_t code = 0;
    for (char c : text)
        code = (code << 8) | uint8_t(c);
    return code;
}
} // namespace aaxhost
