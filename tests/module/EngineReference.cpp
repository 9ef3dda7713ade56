#include "EngineReference.h"

#include "PluginProcessor.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace quillo::hosted
{
aaxhost::AudioData EngineRender(const aaxhost::AudioData& input, int blockSize, const EngineSetup& setup)
{
    QuilloAudioProcessor engine;
    const int channels = input.NumChannels();
    if (channels == 1)
    {
        juce::AudioProcessor::BusesLayout mono;
        mono.inputBuses.add(juce::AudioChannelSet::mono());
        mono.outputBuses.add(juce::AudioChannelSet::mono());
        EXPECT_TRUE(engine.setBusesLayout(mono));
    }
    engine.setRateAndBufferSizeDetails(input.sampleRate, 1024);
    engine.prepareToPlay(input.sampleRate, 1024);
    if (setup)
        setup(engine);

    aaxhost::AudioData output = input;
    juce::MidiBuffer midi;
    for (size_t start = 0; start < input.NumFrames(); start += size_t(blockSize))
    {
        const int n = int(std::min(size_t(blockSize), input.NumFrames() - start));
        float* pointers[2] = {};
        for (int c = 0; c < channels; ++c)
            pointers[c] = output.channels[size_t(c)].data() + start;
        juce::AudioBuffer<float> block(pointers, channels, n);
        engine.processBlock(block, midi);
    }
    return output;
}

std::vector<uint8_t> EngineState(const EngineSetup& setup)
{
    QuilloAudioProcessor engine;
    if (setup)
        setup(engine);
    juce::MemoryBlock state;
    engine.getStateInformation(state);
    const auto* bytes = static_cast<const uint8_t*>(state.getData());
    return std::vector<uint8_t>(bytes, bytes + state.getSize());
}

std::vector<uint8_t> PresetBytes(const std::string& prefix)
{
    for (const auto& entry : std::filesystem::directory_iterator(QUILLO_PRESETS_DIR))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
        {
            std::ifstream file(entry.path(), std::ios::binary);
            return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
        }
    return {};
}
} // namespace quillo::hosted
