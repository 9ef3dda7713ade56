#include "AlgorithmContext.h"

#include <algorithm>
#include <cstring>

#include "HostError.h"

namespace aaxhost
{
namespace
{
constexpr uint32_t kMaxPrivateData = 1u << 20;
using Kind = ComponentDescriptor::ContextField::Kind;
} // namespace

uint8_t* AlgorithmContext::Allocate(size_t size)
{
    const size_t rounded = std::max<size_t>(16, (size + 15) & ~size_t(15));
    auto* const memory = static_cast<uint8_t*>(std::aligned_alloc(16, rounded));
    if (memory == nullptr)
        throw HostError("out of memory for the algorithm context");
    std::memset(memory, 0, rounded);
    mMemory.emplace_back(memory);
    return memory;
}

AlgorithmContext::AlgorithmContext(const ComponentDescription& component, float sampleRate)
    : mSampleRate(sampleRate)
{
    const auto& fields = component.fields;
    const auto count = fields.size();
    std::vector<const ComponentDescriptor::ContextField*> byIndex(count, nullptr);
    for (const auto& field : fields)
    {
        if (field.index < 0 || size_t(field.index) >= count || byIndex[size_t(field.index)] != nullptr)
            throw HostError("the algorithm's context fields are not numbered 0 to " + std::to_string(count - 1)
                                + " once each",
                            AAX_ERROR_INVALID_FIELD_INDEX);
        byIndex[size_t(field.index)] = &field;
    }

    mInputs.assign(AAX_STEM_FORMAT_CHANNEL_COUNT(component.InputStemFormat()), nullptr);
    mOutputs.assign(AAX_STEM_FORMAT_CHANNEL_COUNT(component.OutputStemFormat()), nullptr);
    mFields.assign(count, nullptr);
    mSlots.resize(count);

    for (size_t i = 0; i < count; ++i)
    {
        const auto& field = *byIndex[i];
        Slot& slot = mSlots[i];
        slot.kind = field.kind;
        slot.size = field.size;

        switch (field.kind)
        {
        case Kind::AudioIn: mFields[i] = mInputs.data(); break;
        case Kind::AudioOut: mFields[i] = mOutputs.data(); break;
        case Kind::BufferLength: mFields[i] = &mBufferLength; break;
        case Kind::SampleRate: mFields[i] = &mSampleRate; break;
        case Kind::Clock: mFields[i] = &mClock; break;
        case Kind::SideChainIn: mFields[i] = &mSideChain; break;
        case Kind::DataInPort:
            if (field.size == 0 || field.size > PacketQueue::kMaxPacketSize)
                throw HostError("data-in port " + std::to_string(i) + " of " + std::to_string(field.size)
                                    + " bytes is not supported",
                                AAX_ERROR_UNIMPLEMENTED);
            slot.memory = Allocate(field.size);
            mFields[i] = slot.memory;
            break;
        case Kind::PrivateData:
        case Kind::TemporaryData:
            if (field.size > kMaxPrivateData)
                throw HostError("private data of field " + std::to_string(i) + " is too large",
                                AAX_ERROR_UNIMPLEMENTED);
            slot.memory = Allocate(field.size);
            mFields[i] = slot.memory;
            break;
        case Kind::Meters:
            mMeterValues.assign(field.meterIDs.size(), 0.0f);
            mMeterPointer = mMeterValues.data();
            mFields[i] = &mMeterPointer;
            break;
        case Kind::Reserved: break;
        case Kind::AuxOutputStem:
        case Kind::Dma:
        case Kind::MIDINode:
            throw HostError("context field " + std::to_string(i) + " is of a kind this host does not offer",
                            AAX_ERROR_UNIMPLEMENTED);
        }
    }
}

AAX_Result AlgorithmContext::ResetPrivateData(AAX_IACFEffectParameters& effect)
{
    for (size_t i = 0; i < mSlots.size(); ++i)
    {
        if (mSlots[i].kind != Kind::PrivateData)
            continue;
        const AAX_Result result = effect.ResetFieldData(AAX_CFieldIndex(i), mSlots[i].memory, mSlots[i].size);
        if (result != AAX_SUCCESS)
            return result;
    }
    return AAX_SUCCESS;
}

void AlgorithmContext::SetAudio(const float* const* inputs, float* const* outputs, int32_t numSamples) noexcept
{
    for (size_t c = 0; c < mInputs.size(); ++c)
        mInputs[c] = const_cast<float*>(inputs[c]);
    for (size_t c = 0; c < mOutputs.size(); ++c)
        mOutputs[c] = outputs[c];
    mBufferLength = numSamples;
}

bool AlgorithmContext::Deliver(const PacketQueue::Packet& packet) noexcept
{
    if (packet.port < 0 || size_t(packet.port) >= mSlots.size())
        return false;
    Slot& slot = mSlots[size_t(packet.port)];
    if (slot.kind != Kind::DataInPort || packet.size > slot.size)
        return false;
    std::memcpy(slot.memory, packet.data, packet.size);
    return true;
}

void AlgorithmContext::Call(AAX_CProcessProc process) noexcept
{
    void* const instances[1] = { mFields.data() };
    process(instances, instances + 1);
    mClock += mBufferLength;
}
} // namespace aaxhost
