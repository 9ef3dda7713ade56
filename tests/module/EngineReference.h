#pragma once

// The engine run directly in this process (the process's own copy of the shared code; the module
// keeps every symbol of its own): what the module's output must equal.

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>

#include "HostedModule.h"

namespace quillo::hosted
{
using EngineSetup = std::function<void(juce::AudioProcessor&)>;

// The engine's own output for `input` in blocks of `blockSize`, prepared as the wrapper prepares
// it (largest block 1024), with `setup` applied after preparing.
aaxhost::AudioData EngineRender(const aaxhost::AudioData& input, int blockSize, const EngineSetup& setup = {});

// The engine's host-form state after `setup`.
std::vector<uint8_t> EngineState(const EngineSetup& setup = {});

// A factory preset file's bytes ("06_01_" and so on in resources/presets).
std::vector<uint8_t> PresetBytes(const std::string& prefix);
} // namespace quillo::hosted
