#include "ValidationSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "HostObject.h"

#include <dlfcn.h>
#include <link.h>

namespace quillo::validation
{
void HostTest::SetUp()
{
    mLiveBefore = aaxhost::HostObject::LiveCount();
    host = std::make_unique<aaxhost::StandInHost>(QUILLO_VALIDATION_MODULE);
}

void HostTest::TearDown()
{
    EXPECT_EQ(host->Shutdown(), 0) << "the module still has live objects";
    host.reset();
    EXPECT_EQ(aaxhost::HostObject::LiveCount(), mLiveBefore) << "host objects leaked";
}

std::unique_ptr<aaxhost::PlugInInstance> HostTest::Open(int numChannels, float sampleRate)
{
    return host->CreateInstance(numChannels, sampleRate);
}

aaxhost::AudioData Noise(double sampleRate, int numChannels, size_t numFrames, uint32_t seed, float amplitude)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> sample(-amplitude, amplitude);
    aaxhost::AudioData audio = aaxhost::AudioData::Silence(sampleRate, numChannels, numFrames);
    for (auto& channel : audio.channels)
        for (float& x : channel)
            x = sample(random);
    return audio;
}

aaxhost::AudioData Sine(double sampleRate, int numChannels, size_t numFrames, double frequency, float amplitude)
{
    aaxhost::AudioData audio = aaxhost::AudioData::Silence(sampleRate, numChannels, numFrames);
    for (auto& channel : audio.channels)
        for (size_t i = 0; i < numFrames; ++i)
            channel[i] = amplitude * float(std::sin(6.283185307179586 * frequency * double(i) / sampleRate));
    return audio;
}

::testing::AssertionResult IsCleanAudio(const aaxhost::AudioData& audio, float bound)
{
    size_t faults = 0;
    std::ostringstream first;
    for (int c = 0; c < audio.NumChannels(); ++c)
        for (size_t i = 0; i < audio.NumFrames(); ++i)
        {
            const float x = audio.channels[size_t(c)][i];
            const char* fault = nullptr;
            if (std::isnan(x))
                fault = "NaN";
            else if (std::isinf(x))
                fault = "infinite";
            else if (std::fpclassify(x) == FP_SUBNORMAL)
                fault = "subnormal";
            else if (std::fabs(x) > bound)
                fault = "beyond the bound";
            if (fault != nullptr && faults++ == 0)
                first << fault << " sample " << x << " in channel " << c << " at frame " << i;
        }
    if (faults == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << faults << " bad samples, the first: " << first.str();
}

std::vector<std::string> EngineParameterIds(aaxhost::PlugInInstance& instance)
{
    auto ids = instance.ParameterIDs();
    const std::string bypass = instance.BypassID();
    std::vector<std::string> engine;
    for (const auto& id : ids)
        if (id != bypass)
            engine.push_back(id);
    return engine;
}

std::vector<double> ParameterValues(aaxhost::PlugInInstance& instance, const std::vector<std::string>& ids)
{
    std::vector<double> values;
    for (const auto& id : ids)
    {
        double value = -1.0;
        EXPECT_EQ(instance.Effect().GetParameterNormalizedValue(id.c_str(), &value), AAX_SUCCESS) << id;
        values.push_back(value);
    }
    return values;
}

std::vector<uint8_t> JuceState(aaxhost::PlugInInstance& instance)
{
    aaxhost::Chunk chunk;
    EXPECT_EQ(instance.GetChunk(kJuce, chunk), AAX_SUCCESS);
    return chunk.data;
}

std::vector<float> BlobValues(const std::vector<uint8_t>& blob)
{
    std::vector<float> values(std::min<size_t>(blob.size() / 4, kNumParameters));
    std::memcpy(values.data(), blob.data(), values.size() * 4);
    return values;
}

aaxhost::Chunk MakeChunk(uint32_t id, const std::vector<uint8_t>& data)
{
    aaxhost::Chunk chunk;
    chunk.id = id;
    chunk.data = data;
    return chunk;
}

::testing::AssertionResult AllNormalised(const std::vector<float>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        if (!(std::isfinite(values[i]) && values[i] >= 0.0f && values[i] <= 1.0f))
            return ::testing::AssertionFailure() << "value " << i << " is " << values[i];
    return ::testing::AssertionSuccess();
}

std::map<std::string, double> ControlsChunkValues(const std::vector<uint8_t>& data)
{
    std::map<std::string, double> values;
    const auto fail = [&](const char* why) {
        ADD_FAILURE() << "not a controls chunk: " << why;
        return std::map<std::string, double>();
    };
    if (data.size() < 4 || data[0] != 1 || data[1] != 1 || data[2] != 1 || data[3] != 1)
        return fail("no marker");

    size_t position = 4;
    while (position < data.size())
    {
        const auto zero = std::find(data.begin() + long(position), data.end(), uint8_t(0));
        if (zero == data.end() || zero - (data.begin() + long(position)) < 2 || data[position + 1] != '_')
            return fail("a broken name");
        const char tag = char(data[position]);
        const std::string name(data.begin() + long(position) + 2, zero);
        position = (size_t(zero - data.begin()) + 1 + 3) & ~size_t(3);

        uint64_t bits = 0;
        const size_t size = tag == 'd' ? 8 : 4;
        if (position + size > data.size())
            return fail("a value past the end");
        for (size_t i = 0; i < size; ++i)
            bits = (bits << 8) | data[position + i];
        position += size;

        if (tag == 'd')
        {
            double value = 0.0;
            std::memcpy(&value, &bits, sizeof(value));
            values[name] = value;
        }
        else if (tag == 'l')
            values[name] = double(int32_t(uint32_t(bits)));
        else
            return fail("an unexpected tag");
    }
    return values;
}

namespace
{
::testing::AssertionResult CompareViews(aaxhost::PlugInInstance& instance, bool mustAgree)
{
    const auto ids = EngineParameterIds(instance);
    const auto model = ParameterValues(instance, ids);

    aaxhost::Chunk controls;
    if (instance.GetChunk(kElck, controls) != AAX_SUCCESS)
        return ::testing::AssertionFailure() << "no 'elck' chunk";
    const auto library = ControlsChunkValues(controls.data);
    const auto engine = BlobValues(JuceState(instance));
    if (engine.size() != ids.size())
        return ::testing::AssertionFailure() << "the 'juce' chunk holds " << engine.size() << " values";

    for (size_t i = 0; i < ids.size(); ++i)
    {
        const auto found = library.find(ids[i]);
        const double inLibrary = found != library.end() ? found->second : std::nan("");
        const double values[3] = { model[i], inLibrary, double(engine[i]) };
        for (double v : values)
            if (!(std::isfinite(v) && v >= 0.0 && v <= 1.0))
                return ::testing::AssertionFailure() << ids[i] << ": data model " << model[i] << ", library "
                                                     << inLibrary << ", engine " << engine[i];
        // The library keeps a float as a double; the engine keeps a float.
        if (mustAgree && (std::fabs(values[0] - values[1]) > 1.0e-6 || std::fabs(values[0] - values[2]) > 1.0e-6))
            return ::testing::AssertionFailure() << ids[i] << " disagrees: data model " << model[i] << ", library "
                                                 << inLibrary << ", engine " << engine[i];
    }
    return ::testing::AssertionSuccess();
}
} // namespace

::testing::AssertionResult ViewsAgree(aaxhost::PlugInInstance& instance)
{
    return CompareViews(instance, true);
}

::testing::AssertionResult ViewsNormalised(aaxhost::PlugInInstance& instance)
{
    return CompareViews(instance, false);
}

aaxhost::AudioData Delayed(const aaxhost::AudioData& audio, size_t delay)
{
    aaxhost::AudioData out = aaxhost::AudioData::Silence(audio.sampleRate, audio.NumChannels(), audio.NumFrames());
    for (int c = 0; c < audio.NumChannels(); ++c)
        for (size_t i = delay; i < audio.NumFrames(); ++i)
            out.channels[size_t(c)][i] = audio.channels[size_t(c)][i - delay];
    return out;
}

long FirstSampleAbove(const aaxhost::AudioData& audio, float threshold)
{
    if (audio.channels.empty())
        return -1;
    const auto& channel = audio.channels[0];
    for (size_t i = 0; i < channel.size(); ++i)
        if (std::fabs(channel[i]) > threshold)
            return long(i);
    return -1;
}
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
} // namespace quillo::validation

#if defined(__SANITIZE_ADDRESS__)
// Memory of the windowing and OpenGL libraries, not ours: JUCE's Linux OpenGL context (inside the
// module) never frees the visual description Xlib hands it, and Mesa's software driver may still
// hold buffers of a context it tears down on its own threads when the process ends. Nothing else
// is let through.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:XGetVisualInfo\n"
           "leak:_dri.so\n";
}
#endif
