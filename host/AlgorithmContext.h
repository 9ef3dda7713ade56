#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "AAX_IACFEffectParameters.h"
#include "Description.h"
#include "PacketQueue.h"

namespace aaxhost
{
/** The context block of one instance's algorithm, laid out from the fields its component
    described: one pointer per field, in field order, each pointing at memory this object owns
    (the channel pointer arrays, the buffer length, the data-in ports, the private data, ...).

    Built and reset on the host's main thread; SetAudio, Deliver and Call run on the real-time
    thread and neither allocate nor lock. */
class AlgorithmContext
{
public:
    /** Lays out the block for `component` at `sampleRate`. Throws HostError when the fields
        cannot be served: indices that are not 0..n-1 each once, a kind this host does not offer
        (DMA, MIDI nodes, aux output stems), a data-in port wider than PacketQueue carries, or
        private data over 1 MiB. */
    AlgorithmContext(const ComponentDescription& component, float sampleRate);

    AlgorithmContext(const AlgorithmContext&) = delete;
    AlgorithmContext& operator=(const AlgorithmContext&) = delete;

    int NumInputs() const { return int(mInputs.size()); }
    int NumOutputs() const { return int(mOutputs.size()); }

    /** Main thread: has the plug-in initialise every private-data block (ResetFieldData with the
        block and its described size), in field order. Stops at the first failure. */
    AAX_Result ResetPrivateData(AAX_IACFEffectParameters& effect);

    /** Real-time thread: points the channel arrays at the block's audio and sets the length. */
    void SetAudio(const float* const* inputs, float* const* outputs, int32_t numSamples) noexcept;

    /** Real-time thread: copies a packet into the data-in port of its field. False when the field
        is not a data-in port or the packet is wider than the port. */
    bool Deliver(const PacketQueue::Packet& packet) noexcept;

    /** Real-time thread: calls `process` for this one instance. */
    void Call(AAX_CProcessProc process) noexcept;

private:
    struct FreeDeleter
    {
        void operator()(void* p) const { std::free(p); }
    };
    using Memory = std::unique_ptr<uint8_t, FreeDeleter>;

    /** Zeroed, 16-byte aligned memory of at least `size` bytes, kept with the context. */
    uint8_t* Allocate(size_t size);

    struct Slot
    {
        ComponentDescriptor::ContextField::Kind kind;
        uint32_t size = 0;
        uint8_t* memory = nullptr;
    };

    std::vector<void*> mFields;
    std::vector<Slot> mSlots;
    std::vector<Memory> mMemory;
    std::vector<float*> mInputs;
    std::vector<float*> mOutputs;
    std::vector<float> mMeterValues;
    float* mMeterPointer = nullptr;
    int32_t mBufferLength = 0;
    float mSampleRate = 0.0f;
    int64_t mClock = 0;
    int32_t mSideChain = 0; // no side-chain: the buffer index 0 means none
};
} // namespace aaxhost
