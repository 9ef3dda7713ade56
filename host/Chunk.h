#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AAX.h"

namespace aaxhost
{
/** One state chunk of a plug-in instance as the host keeps it. */
struct Chunk
{
    AAX_CTypeID id = 0;
    int32_t version = 0;
    std::string name; ///< at most 31 characters survive in a record
    std::vector<uint8_t> data;

    bool operator==(const Chunk& other) const
    {
        return id == other.id && version == other.version && name == other.name && data == other.data;
    }
};

/** An AAX_SPlugInChunk laid out in memory the host owns: the 56-byte header followed by room for
    the data. */
class ChunkRecord
{
public:
    /** Largest chunk data the host accepts from a plug-in or a file (16 MiB). */
    static constexpr uint32_t kMaxDataSize = 16u << 20;

    /** A record for `dataSize` bytes of data (at most kMaxDataSize): header zeroed, fSize set. */
    explicit ChunkRecord(uint32_t dataSize);

    /** A record filled from `chunk`, with the host's ids in the header. */
    static ChunkRecord From(const Chunk& chunk, AAX_CTypeID manufacturerID = 0, AAX_CTypeID productID = 0,
                            AAX_CTypeID plugInID = 0);

    AAX_SPlugInChunk* get() { return reinterpret_cast<AAX_SPlugInChunk*>(mBytes.get()); }
    const AAX_SPlugInChunk* get() const { return reinterpret_cast<const AAX_SPlugInChunk*>(mBytes.get()); }

    /** Room for data, in bytes, as allocated. */
    uint32_t Capacity() const { return mCapacity; }

    /** The record as a Chunk. False when the plug-in wrote a size outside 0..Capacity() (the
        chunk is then left as it was). */
    bool ToChunk(AAX_CTypeID id, Chunk& chunk) const;

private:
    std::unique_ptr<uint8_t[]> mBytes;
    uint32_t mCapacity = 0;
};

/** A four-character code as text ("elck"), with unprintable bytes as '?'. */
std::string FourCCText(uint32_t code);

/** The code of a four-character text; 0 unless exactly four characters. */
uint32_t FourCCFromText(const std::string& text);
} // namespace aaxhost
