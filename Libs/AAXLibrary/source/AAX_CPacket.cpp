#include "AAX_CPacket.h"

AAX_CPacket::SPacketData::SPacketData()
    : mData(8, 0)
{
}

AAX_CPacket::SPacketData::~SPacketData() = default;

void* AAX_CPacket::SPacketData::Get(uint32_t size)
{
    // Never empty, so that the first byte always exists.
    mData.resize(size > 0 ? size : 1, 0);
    return mData.data();
}

const void* AAX_CPacket::SPacketData::Get() const
{
    return mData.data();
}

AAX_CPacket::AAX_CPacket(AAX_CFieldIndex port)
    : mID(port)
{
}

void* AAX_CPacket::Resize(uint32_t size)
{
    mDataSize = size;
    return mPacketData.Get(size);
}
