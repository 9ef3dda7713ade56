#pragma once

// The module tests' view of the built module (QUILLO_TEST_MODULE) through the stand-in host: a
// fixture per test, signals, and readers of what an instance hands back. No JUCE here: the module
// carries its own.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AudioData.h"
#include "CallRecorder.h"
#include "Chunk.h"
#include "HostString.h"
#include "PlugInInstance.h"
#include "StandInHost.h"
#include "TestSignal.h"

namespace quillo::hosted
{
constexpr uint32_t kElck = 0x656C636B;   // 'elck'
constexpr uint32_t kJuce = 0x6A756365;   // 'juce'

// The engine's parameters: 23, the master bypass comes after them.
constexpr int kNumParameters = 23;

// The largest gain the chain can apply to any frequency is below 120 dB: any larger sample is a
// fault.
constexpr float kChainBound = 1.0e6f;

// A stand-in host over the built module per test, its calls recorded in `calls`. Afterwards every
// instance must be closed, the module must report no live object (ACFCanUnloadNow 0), and every
// host object must be gone.
class ModuleTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<aaxhost::PlugInInstance> Open (int numChannels, float sampleRate)
    {
        return host->CreateInstance (numChannels, sampleRate);
    }

    aaxhost::CallRecorder calls;
    std::unique_ptr<aaxhost::StandInHost> host;

private:
    uint32_t mLiveBefore = 0;
};

// quillo-host's built-in test signal: `seconds` of it.
inline aaxhost::AudioData Signal (double sampleRate, double seconds, int numChannels)
{
    return aaxhost::TestSignal::Make (sampleRate, seconds, numChannels);
}

// Uniform noise within ±amplitude, reproducible from `seed`.
aaxhost::AudioData Noise (double sampleRate, int numChannels, size_t numFrames, uint32_t seed, float amplitude = 1.0f);

// Passes when every sample is a finite, normal (or zero) number no larger than `bound` in
// magnitude; otherwise says which sample failed first and how many did.
::testing::AssertionResult IsCleanAudio (const aaxhost::AudioData& audio, float bound = kChainBound);

// Samples that differ bit for bit between two signals (all when the shapes differ).
size_t DifferingSamples (const aaxhost::AudioData& a, const aaxhost::AudioData& b);

// The 23 engine parameter ids (the instance's ids without the bypass).
std::vector<std::string> EngineParameterIds (aaxhost::PlugInInstance& instance);

// Every parameter's normalised value as the data model reports it, in id order.
std::vector<double> ParameterValues (aaxhost::PlugInInstance& instance, const std::vector<std::string>& ids);

// The instance's 'juce' chunk data (the engine's state blob); fails the test when refused.
std::vector<uint8_t> JuceState (aaxhost::PlugInInstance& instance);

// The float parameter values held in an engine state blob (at most 23).
std::vector<float> BlobValues (const std::vector<uint8_t>& blob);

inline aaxhost::Chunk MakeChunk (uint32_t id, const std::vector<uint8_t>& data)
{
    return { id, 0, "", data };
}

// The ids and values of an 'elck' chunk's entries in order, checking the layout as the library
// writes it (marker, 'd_' and a name, zero padding to 4 bytes, a big-endian double); fails the
// test and returns what was read so far when the data breaks it.
std::vector<std::pair<std::string, double>> ControlEntries (const std::vector<uint8_t>& data);

// Passes when the three views of every engine parameter are finite, within 0..1 and, unless only
// `normalised` is asked, agree: the data model's value, the 'elck' chunk (the library's
// parameters) and the 'juce' chunk (the engine's own state).
::testing::AssertionResult ViewsAgree (aaxhost::PlugInInstance& instance, bool normalisedOnly = false);

}   // namespace quillo::hosted
