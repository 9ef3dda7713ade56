#pragma once

// Shared by the validation suite: the stand-in host over the built module, as a host that checks
// a plug-in before trusting it would drive it, and the checks it applies to what comes back.
// Every random choice comes from a generator with a fixed seed, printed with any failure.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "AudioData.h"
#include "Chunk.h"
#include "HostString.h"
#include "PlugInInstance.h"
#include "StandInHost.h"

namespace quillo::validation
{
constexpr uint32_t kElck = 0x656C636B;   // 'elck'
constexpr uint32_t kJuce = 0x6A756365;   // 'juce'

/** The engine's parameters: 23, the master bypass comes after them. */
constexpr int kNumParameters = 23;

/** The largest gain the chain can apply to any frequency is below 120 dB (input and output gain,
    a shelf and both dynamic bands all boosting at once): any larger sample is a fault. */
constexpr float kChainBound = 1.0e6f;

/** A stand-in host over the built module per test. Afterwards every instance must be closed,
    the module must report no live object, and every host object must be gone. */
class HostTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<aaxhost::PlugInInstance> Open(int numChannels, float sampleRate);

    std::unique_ptr<aaxhost::StandInHost> host;

private:
    uint32_t mLiveBefore = 0;
};

/** Uniform noise within ±amplitude, reproducible from `seed`. */
aaxhost::AudioData Noise(double sampleRate, int numChannels, size_t numFrames, uint32_t seed, float amplitude = 1.0f);

/** A sine of `frequency` Hz in every channel. */
aaxhost::AudioData Sine(double sampleRate, int numChannels, size_t numFrames, double frequency, float amplitude);

/** Passes when every sample is a finite, normal (or zero) number no larger than `bound` in
    magnitude; otherwise says which sample failed first and how many did. */
::testing::AssertionResult IsCleanAudio(const aaxhost::AudioData& audio, float bound = kChainBound);

/** The 23 engine parameter ids (the instance's ids without the bypass). */
std::vector<std::string> EngineParameterIds(aaxhost::PlugInInstance& instance);

/** Every parameter's normalised value as the data model reports it, in id order. */
std::vector<double> ParameterValues(aaxhost::PlugInInstance& instance, const std::vector<std::string>& ids);

/** The instance's 'juce' chunk data (the engine's state blob); fails the test when refused. */
std::vector<uint8_t> JuceState(aaxhost::PlugInInstance& instance);

/** The float parameter values held in an engine state blob. */
std::vector<float> BlobValues(const std::vector<uint8_t>& blob);

/** A chunk with the given id and data. */
aaxhost::Chunk MakeChunk(uint32_t id, const std::vector<uint8_t>& data);

/** Passes when every value is finite and within 0..1. */
::testing::AssertionResult AllNormalised(const std::vector<float>& values);

/** The values an 'elck' chunk holds for the parameters (the library's own view of them), by id;
    fails the test when the data is not the controls format. */
std::map<std::string, double> ControlsChunkValues(const std::vector<uint8_t>& data);

/** Passes when the three views of every engine parameter agree: the data model's normalised
    value, the 'elck' chunk (the AAX library's parameters) and the 'juce' chunk (the engine's own
    state), and all three are finite and within 0..1. */
::testing::AssertionResult ViewsAgree(aaxhost::PlugInInstance& instance);

/** As ViewsAgree, but only that each view on its own is finite and within 0..1. */
::testing::AssertionResult ViewsNormalised(aaxhost::PlugInInstance& instance);

/** Marks the OpenGL driver libraries an editor has loaded as never to be unloaded, so that a
    leak check at exit can still name them (see the suppressions in ValidationSupport.cpp). */
void KeepOpenGLDriversLoaded();

/** A sample-accurate copy of `audio` delayed by `delay` frames (zeros before). */
aaxhost::AudioData Delayed(const aaxhost::AudioData& audio, size_t delay);

/** The sample offset of the first sample above `threshold` in channel 0, or -1. */
long FirstSampleAbove(const aaxhost::AudioData& audio, float threshold);
} // namespace quillo::validation
