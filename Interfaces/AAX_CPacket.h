#pragma once

#include <cstdint>
#include <vector>

#include "AAX.h"

/** One algorithm port's packet: the bytes the dispatcher posts to field `port` of the host's
    algorithm context, and whether they must be generated and posted again.

    A new packet is dirty and empty (size 0, an 8-byte zero buffer). Guarded by the dispatcher's
    lock; handlers touch it only inside a dispatch.
*/
class AAX_CPacket
{
public:
    /** An owned, growable byte buffer. */
    class SPacketData
    {
    public:
        SPacketData();
        ~SPacketData();

        SPacketData(const SPacketData&) = delete;
        SPacketData& operator=(const SPacketData&) = delete;

        /** Resizes the buffer to `size` bytes (new bytes are 0; at least 1 byte is kept) and
            returns its first byte. */
        void* Get(uint32_t size);

        /** The first byte of the buffer as it is. */
        const void* Get() const;

    private:
        std::vector<uint8_t> mData;
    };

    explicit AAX_CPacket(AAX_CFieldIndex port);

    AAX_CPacket(const AAX_CPacket&) = delete;
    AAX_CPacket& operator=(const AAX_CPacket&) = delete;

    /** The port the packet is posted to. */
    AAX_CFieldIndex GetID() const { return mID; }

    bool IsDirty() const { return mDirty; }
    void SetDirty(bool dirty) { mDirty = dirty; }

    /** Number of valid bytes. */
    uint32_t GetSize() const { return mDataSize; }

    /** Makes the packet `size` bytes long and returns its buffer, for the handler to fill. */
    void* Resize(uint32_t size);

    /** Room for one `T`, which becomes the packet's whole content. The buffer is only byte
        aligned: copy values in (std::memcpy) rather than assigning through the pointer. */
    template <typename T>
    T* GetPtr()
    {
        return static_cast<T*>(Resize(static_cast<uint32_t>(sizeof(T))));
    }

    /** The valid bytes, as posted. */
    const void* GetPtr() const { return mPacketData.Get(); }

private:
    AAX_CFieldIndex mID;
    bool mDirty = true;
    uint32_t mDataSize = 0;
    SPacketData mPacketData;
};
