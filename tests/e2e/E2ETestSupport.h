#pragma once

// Shared by the end-to-end tests: the stand-in host over the built module (HostedModule.h) and
// the engine run directly in this process as the reference.

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>

#include "HostedModule.h"

namespace quillo::e2e
{
using namespace quillo::hosted;

// The engine's own output for `input` in blocks of `blockSize`, prepared as the wrapper prepares
// it (largest block 1024), with `setup` applied after preparing.
aaxhost::AudioData EngineRender(const aaxhost::AudioData& input, int blockSize,
                                const std::function<void(juce::AudioProcessor&)>& setup = {});

// The engine's host-form state after `setup` (104 bytes).
std::vector<uint8_t> EngineState(const std::function<void(juce::AudioProcessor&)>& setup = {});

// A factory preset file's 92 bytes ("06_01_" and so on in resources/presets).
std::vector<uint8_t> PresetBytes(const std::string& prefix);
} // namespace quillo::e2e
