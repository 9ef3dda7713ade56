// Fuzz target: the engine's state blob reader (QuilloAudioProcessor::setStateInformation), fed
// any bytes as a host or a preset file could.
//
// Checked for every input, on a fresh, prepared processor:
// - a blob shorter than 92 bytes changes nothing;
// - otherwise each parameter is the blob's value limited to 0..1, or its default when the
//   value is not a finite number, and the preset fields follow the blob when they name a
//   factory preset, else (0, 0) marked as modified;
// - the saved state has 104 bytes and restores the same state into another processor;
// - the engine then processes a block of noise into finite output.

#include "FactoryPresets.h"
#include "FuzzInput.h"
#include "MessagePump.h"
#include "PluginProcessor.h"

#include <cmath>
#include <cstring>
#include <random>

using quillo::fuzz::require;

namespace
{
constexpr int valuesSize = VL_NUM_PARAMS * 4;
constexpr int hostSize = valuesSize + 12;
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 64;

float floatAt (const uint8_t* bytes, size_t offset)
{
    uint32_t bits = 0;

    for (int i = 3; i >= 0; --i)
        bits = (bits << 8) | bytes[offset + (size_t) i];

    float value;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

int32_t intAt (const uint8_t* bytes, size_t size, size_t offset)
{
    // A partial int reads as 0, as the engine's stream gives it.
    if (offset + 4 > size)
        return 0;

    return (int32_t) ((uint32_t) bytes[offset] | (uint32_t) bytes[offset + 1] << 8 | (uint32_t) bytes[offset + 2] << 16
                      | (uint32_t) bytes[offset + 3] << 24);
}

std::vector<uint8_t> saved (QuilloAudioProcessor& p)
{
    juce::MemoryBlock block;
    p.getStateInformation (block);
    const auto* bytes = static_cast<const uint8_t*> (block.getData());
    return { bytes, bytes + block.getSize() };
}

std::unique_ptr<QuilloAudioProcessor> preparedProcessor()
{
    auto p = std::make_unique<QuilloAudioProcessor>();
    p->setRateAndBufferSizeDetails (sampleRate, blockSize);
    p->prepareToPlay (sampleRate, blockSize);
    return p;
}
}   // namespace

// The engine tells its editor of a load through the message queue, so JUCE runs, with this
// thread as its message thread.
extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    static juce::ScopedJuceInitialiser_GUI juce;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;

    // Whatever the last input posted is delivered (or dropped) before the next begins.
    struct Drain
    {
        ~Drain() { quillo::test::dispatchPendingMessages(); }
    } drain;

    auto p = preparedProcessor();
    const auto before = saved (*p);
    require (before.size() == (size_t) hostSize, "the host form has 104 bytes");

    p->setStateInformation (data, (int) size);
    const auto after = saved (*p);
    require (after.size() == (size_t) hostSize, "the host form has 104 bytes after a load");

    if (size < (size_t) valuesSize)
    {
        require (after == before, "a short blob changes nothing");
    }
    else
    {
        for (int i = 0; i < VL_NUM_PARAMS; ++i)
        {
            const float given = floatAt (data, (size_t) i * 4);
            const float expected = std::isfinite (given) ? (given < 0.0f ? 0.0f : (1.0f < given ? 1.0f : given))
                                                         : VL_PARAMS[i].normalisedDefault();
            const float loaded = floatAt (after.data(), (size_t) i * 4);
            // Compared as numbers: a stored -0 may come back as +0.
            require (loaded == expected, "a parameter is the blob's value, limited, or its default");
        }

        if (size > (size_t) valuesSize)
        {
            int32_t category = intAt (data, size, valuesSize);
            int32_t index = intAt (data, size, valuesSize + 4);
            int32_t modified = intAt (data, size, valuesSize + 8) != 0 ? 1 : 0;

            if (! isValidFactoryPreset (category, index))
            {
                category = 0;
                index = 0;
                modified = 1;
            }

            require (intAt (after.data(), after.size(), valuesSize) == category, "preset category");
            require (intAt (after.data(), after.size(), valuesSize + 4) == index, "preset index");
            require (intAt (after.data(), after.size(), valuesSize + 8) == modified, "preset modified flag");
        }
        else
        {
            require (std::memcmp (after.data() + valuesSize, before.data() + valuesSize, 12) == 0,
                     "the preset fields stay without a tail");
        }
    }

    // The saved state restores exactly. The host form sets every field, so one processor serves
    // every input here.
    static auto other = preparedProcessor();
    other->setStateInformation (after.data(), (int) after.size());
    require (saved (*other) == after, "the saved state restores the same state");

    // Whatever was loaded, the engine makes finite audio of noise.
    std::minstd_rand random (1);
    std::uniform_real_distribution<float> noise (-1.0f, 1.0f);
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            buffer.setSample (ch, i, noise (random));

    p->processBlock (buffer, midi);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            require (std::isfinite (buffer.getSample (ch, i)), "finite output");

    return 0;
}
