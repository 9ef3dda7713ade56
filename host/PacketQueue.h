#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "AAX.h"

namespace aaxhost
{
/** The packets an instance posted for its algorithm, on their way from the thread that generates
    coefficients (one producer) to the real-time thread (one consumer). Fixed capacity, no
    allocation and no lock on either side. */
class PacketQueue
{
public:
    /** Largest packet carried; a data port of the algorithm is at most this wide. */
    static constexpr uint32_t kMaxPacketSize = 64;
    static constexpr size_t kCapacity = 256;

    struct Packet
    {
        AAX_CFieldIndex port = -1;
        uint32_t size = 0;
        uint8_t data[kMaxPacketSize] = {};
    };

    /** Producer. False, and nothing queued, when the packet is larger than kMaxPacketSize, its
        data is null with a nonzero size, or the queue is full. */
    bool Push(AAX_CFieldIndex port, const void* data, uint32_t size) noexcept;

    /** Consumer. False when nothing is queued. */
    bool Pop(Packet& packet) noexcept;

    /** Drops whatever is queued. Only while neither side is active. */
    void Clear() noexcept;

private:
    std::array<Packet, kCapacity> mPackets;
    std::atomic<size_t> mHead { 0 }; // next to read, written by the consumer
    std::atomic<size_t> mTail { 0 }; // next to write, written by the producer
};
} // namespace aaxhost
