#pragma once

// Shared by the end-to-end and validation tests: the stand-in host over the built module
// (QUILLO_TEST_MODULE), test signals, and readers of what an instance hands back. No JUCE here:
// the validation suite reaches JUCE only through the module.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "AudioData.h"
#include "CallRecorder.h"
#include "Chunk.h"
#include "HostError.h"
#include "HostString.h"
#include "OpenGLDrivers.h"
#include "PlugInInstance.h"
#include "StandInHost.h"
#include "TestSignal.h"

namespace quillo::hosted
{
constexpr uint32_t kElck = 0x656C636B;   // 'elck'
constexpr uint32_t kJuce = 0x6A756365;   // 'juce'

// The engine's parameters: 23, the master bypass comes after them.
constexpr int kNumParameters = 23;

// The largest gain the chain can apply to any frequency is below 120 dB (input and output gain,
// a shelf and both dynamic bands all boosting at once): any larger sample is a fault.
constexpr float kChainBound = 1.0e6f;

// A stand-in host over the built module per test, its calls recorded in `calls` unless `record`
// was cleared before SetUp. Afterwards every instance must be closed, the module must report no
// live object, and every host object must be gone.
class ModuleTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<aaxhost::PlugInInstance> Open(int numChannels, float sampleRate)
    {
        return host->CreateInstance(numChannels, sampleRate);
    }

    bool record = true;
    aaxhost::CallRecorder calls;
    std::unique_ptr<aaxhost::StandInHost> host;

private:
    uint32_t mLiveBefore = 0;
};

// quillo-host's built-in test signal: `seconds` of it, different per rate.
inline aaxhost::AudioData Signal(double sampleRate, double seconds, int numChannels)
{
    return aaxhost::TestSignal::Make(sampleRate, seconds, numChannels);
}

// Uniform noise within ±amplitude, reproducible from `seed`.
aaxhost::AudioData Noise(double sampleRate, int numChannels, size_t numFrames, uint32_t seed, float amplitude = 1.0f);

// A sine of `frequency` Hz in every channel.
aaxhost::AudioData Sine(double sampleRate, int numChannels, size_t numFrames, double frequency, float amplitude);

// Passes when every sample is a finite, normal (or zero) number no larger than `bound` in
// magnitude; otherwise says which sample failed first and how many did.
::testing::AssertionResult IsCleanAudio(const aaxhost::AudioData& audio, float bound = kChainBound);

// Samples that differ bit for bit between two signals (all when the shapes differ).
size_t DifferingSamples(const aaxhost::AudioData& a, const aaxhost::AudioData& b);

// A copy of `audio` delayed by `delay` frames (zeros before).
aaxhost::AudioData Delayed(const aaxhost::AudioData& audio, size_t delay);

// The offset of the first sample above `threshold` in channel 0, or -1.
long FirstSampleAbove(const aaxhost::AudioData& audio, float threshold);

// Processes frames [offset, offset + n) of `input` into the same frames of `output` through the
// host's pointer call, announcing blocks of `blockSize`.
void ProcessSlice(aaxhost::PlugInInstance& instance, const aaxhost::AudioData& input, aaxhost::AudioData& output,
                  size_t offset, size_t n, int blockSize);

// The 23 engine parameter ids (the instance's ids without the bypass).
std::vector<std::string> EngineParameterIds(aaxhost::PlugInInstance& instance);

// Every parameter's normalised value as the data model reports it, in id order.
std::vector<double> ParameterValues(aaxhost::PlugInInstance& instance, const std::vector<std::string>& ids);

// Expects every value within 1e-6 of the expected one (the engine keeps floats).
void ExpectValuesNear(const std::vector<double>& actual, const std::vector<double>& expected,
                      const std::vector<std::string>& ids);

// The instance's 'juce' chunk data (the engine's state blob); fails the test when refused.
inline std::vector<uint8_t> JuceState(aaxhost::PlugInInstance& instance)
{
    aaxhost::Chunk chunk;
    EXPECT_EQ(instance.GetChunk(kJuce, chunk), AAX_SUCCESS);
    return chunk.data;
}

// The float parameter values held in an engine state blob (at most 23).
std::vector<float> BlobValues(const std::vector<uint8_t>& blob);

inline aaxhost::Chunk MakeChunk(uint32_t id, const std::vector<uint8_t>& data)
{
    return { id, 0, "", data };
}

// Passes when every value is finite and within 0..1.
::testing::AssertionResult AllNormalised(const std::vector<float>& values);

// A big-endian double at `offset`.
double BigEndianDouble(const std::vector<uint8_t>& bytes, size_t offset);

// The ids and values of an 'elck' chunk's entries in order, checking the layout as the library
// writes it for this plug-in (marker, 'd_' and a name, zero padding to 4 bytes, a big-endian
// double); fails the test and returns what was read so far when the data breaks it.
std::vector<std::pair<std::string, double>> ControlEntries(const std::vector<uint8_t>& data);

// Random automation from a fixed seed, remembering what each parameter was last set to.
class RandomEdits
{
public:
    RandomEdits(aaxhost::PlugInInstance& instance, uint32_t seed);

    // Automates one random parameter to a random value.
    void Next();

    // Expects the data model to hold the last automated values.
    void ExpectHeld() const;

    std::mt19937 random;
    std::vector<std::string> ids;
    std::vector<double> expected;

private:
    aaxhost::PlugInInstance& mInstance;
};

// Keeps the real-time thread busy with `input` until Stop: each finished job is checked and
// followed by the next.
class RunningAudio
{
public:
    RunningAudio(aaxhost::PlugInInstance& instance, const aaxhost::AudioData& input, int blockSize);

    // Main thread, between other calls: waits up to `milliseconds` and restarts the job when it
    // has finished.
    void Keep(int milliseconds = 0);
    void Stop();
    int Jobs() const { return mJobs; }

private:
    void Start();

    aaxhost::PlugInInstance& mInstance;
    aaxhost::AudioData mInput, mOutput;
    int mBlockSize;
    std::vector<const float*> mIn;
    std::vector<float*> mOut;
    int mJobs = 0;
};

// Keeps the OpenGL driver libraries loaded now in memory until the process ends, so that a
// leak checker running at exit can still name their frames. Call once an editor is open.
inline void KeepOpenGLDriversLoaded()
{
    quillo::test::keepOpenGLDriversLoaded();
}
} // namespace quillo::hosted
