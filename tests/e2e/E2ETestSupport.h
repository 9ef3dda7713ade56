#pragma once

// Shared by the end-to-end tests: the stand-in host over the built module, the engine run
// directly as the reference, and small helpers for chunks and signals.

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AudioData.h"
#include "Chunk.h"
#include "HostError.h"
#include "HostObject.h"
#include "HostString.h"
#include "PlugInInstance.h"
#include "StandInHost.h"

namespace quillo::e2e
{
constexpr uint32_t kElck = 0x656C636B;   // 'elck'
constexpr uint32_t kJuce = 0x6A756365;   // 'juce'

/** A stand-in host over the built module per test. After the test every instance must be closed,
    the module must report no live object, and every host object must be gone. */
class ModuleTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /** Closes and forgets an instance made by Open. */
    std::unique_ptr<aaxhost::PlugInInstance> Open(int numChannels, float sampleRate);

    std::unique_ptr<aaxhost::StandInHost> host;

private:
    uint32_t mLiveBefore = 0;
};

/** The engine's own output for `input` at `sampleRate` in blocks of `blockSize`, prepared as the
    wrapper prepares it (largest block 1024), with `setup` applied after preparing. */
aaxhost::AudioData EngineRender(const aaxhost::AudioData& input, int blockSize,
                                const std::function<void(juce::AudioProcessor&)>& setup = {});

/** The engine's host-form state after `setup` (104 bytes). */
std::vector<uint8_t> EngineState(const std::function<void(juce::AudioProcessor&)>& setup = {});

/** A factory preset file's 92 bytes ("06_01_" and so on in resources/presets). */
std::vector<uint8_t> PresetBytes(const std::string& prefix);

/** The float stored at parameter `index` of a state blob. */
float BlobValue(const std::vector<uint8_t>& blob, int index);

/** The signal's first `seconds`, or a different test signal per rate. */
aaxhost::AudioData Signal(double sampleRate, double seconds, int numChannels);

/** Samples that differ bit for bit between two signals of the same shape (all when the shape
    differs). */
size_t DifferingSamples(const aaxhost::AudioData& a, const aaxhost::AudioData& b);

/** Keeps the OpenGL driver libraries loaded now in memory until the process ends, so that a
    leak checker running at exit can still name their frames. Call once an editor is open. */
void KeepOpenGLDriversLoaded();

/** A big-endian double at `offset`. */
double BigEndianDouble(const std::vector<uint8_t>& bytes, size_t offset);
} // namespace quillo::e2e
