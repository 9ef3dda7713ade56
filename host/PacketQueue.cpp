#include "PacketQueue.h"

#include <cstring>

namespace aaxhost
{
bool PacketQueue::Push(AAX_CFieldIndex port, const void* data, uint32_t size) noexcept
{
    if (size > kMaxPacketSize || (data == nullptr && size != 0))
        return false;

    const size_t tail = mTail.load(std::memory_order_relaxed);
    const size_t next = (tail + 1) % kCapacity;
    if (next == mHead.load(std::memory_order_acquire))
        return false;

    Packet& packet = mPackets[tail];
    packet.port = port;
    packet.size = size;
    if (size != 0)
        std::memcpy(packet.data, data, size);
    mTail.store(next, std::memory_order_release);
    return true;
}

bool PacketQueue::Pop(Packet& packet) noexcept
{
    const size_t head = mHead.load(std::memory_order_relaxed);
    if (head == mTail.load(std::memory_order_acquire))
        return false;

    packet = mPackets[head];
    mHead.store((head + 1) % kCapacity, std::memory_order_release);
    return true;
}

void PacketQueue::Clear() noexcept
{
    mHead.store(mTail.load(std::memory_order_acquire), std::memory_order_release);
}
} // namespace aaxhost
