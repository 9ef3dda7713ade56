#include "E2ETestSupport.h"

#include "PluginProcessor.h"
#include "TestSignal.h"

#include <dirent.h>
#include <fstream>
#include <iterator>

namespace quillo::e2e
{
void ModuleTest::SetUp()
{
    mLiveBefore = aaxhost::HostObject::LiveCount();
    host = std::make_unique<aaxhost::StandInHost>(QUILLO_E2E_MODULE);
}

void ModuleTest::TearDown()
{
    EXPECT_EQ(host->Shutdown(), 0) << "the module still has live objects";
    host.reset();
    EXPECT_EQ(aaxhost::HostObject::LiveCount(), mLiveBefore) << "host objects leaked";
}

std::unique_ptr<aaxhost::PlugInInstance> ModuleTest::Open(int numChannels, float sampleRate)
{
    return host->CreateInstance(numChannels, sampleRate);
}

aaxhost::AudioData EngineRender(const aaxhost::AudioData& input, int blockSize,
                                const std::function<void(juce::AudioProcessor&)>& setup)
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

std::vector<uint8_t> EngineState(const std::function<void(juce::AudioProcessor&)>& setup)
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
    const std::string folder = QUILLO_E2E_PRESETS;
    std::string found;
    if (DIR* const directory = opendir(folder.c_str()))
    {
        while (const dirent* entry = readdir(directory))
            if (std::string(entry->d_name).rfind(prefix, 0) == 0)
                found = entry->d_name;
        closedir(directory);
    }
    std::ifstream file(folder + "/" + found, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

float BlobValue(const std::vector<uint8_t>& blob, int index)
{
    float value = -1.0f;
    if (blob.size() >= size_t(index + 1) * 4)
        std::memcpy(&value, blob.data() + index * 4, 4);
    return value;
}

aaxhost::AudioData Signal(double sampleRate, double seconds, int numChannels)
{
    return aaxhost::TestSignal::Make(sampleRate, seconds, numChannels);
}

size_t DifferingSamples(const aaxhost::AudioData& a, const aaxhost::AudioData& b)
{
    if (a.NumChannels() != b.NumChannels() || a.NumFrames() != b.NumFrames())
        return size_t(-1);
    size_t count = 0;
    for (int c = 0; c < a.NumChannels(); ++c)
        for (size_t i = 0; i < a.NumFrames(); ++i)
        {
            uint32_t x = 0, y = 0;
            std::memcpy(&x, &a.channels[size_t(c)][i], 4);
            std::memcpy(&y, &b.channels[size_t(c)][i], 4);
            count += x != y ? 1 : 0;
        }
    return count;
}

double BigEndianDouble(const std::vector<uint8_t>& bytes, size_t offset)
{
    uint64_t bits = 0;
    for (size_t i = 0; i < 8; ++i)
        bits = (bits << 8) | bytes.at(offset + i);
    double value = 0.0;
    std::memcpy(&value, &bits, 8);
    return value;
}
} // namespace quillo::e2e

#include <dlfcn.h>
#include <link.h>

namespace quillo::e2e
{
void KeepOpenGLDriversLoaded()
{
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            if (name.find("_dri.so") != std::string::npos || name.find("libGLX_mesa") != std::string::npos)
                static_cast<std::vector<std::string>*>(data)->push_back(name);
            return 0;
        },
        &names);
    for (const auto& name : names)
        dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
} // namespace quillo::e2e

#if defined(__SANITIZE_ADDRESS__)
// Memory of the windowing and OpenGL libraries, not ours: JUCE's Linux OpenGL context (inside the
// module) never frees the visual description Xlib hands it (a few hundred bytes per attach), and
// Mesa's software driver may still hold buffers of a context it tears down on its own threads
// when the process ends. Nothing else is let through.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:XGetVisualInfo\n"
           "leak:_dri.so\n";
}
#endif
