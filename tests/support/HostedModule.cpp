#include "HostedModule.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>

#include "HostObject.h"

namespace quillo::hosted
{
void ModuleTest::SetUp()
{
    mLiveBefore = aaxhost::HostObject::LiveCount();
    host = std::make_unique<aaxhost::StandInHost> (QUILLO_TEST_MODULE, &calls);
}

void ModuleTest::TearDown()
{
    EXPECT_EQ (host->Shutdown(), 0) << "the module still has live objects";
    host.reset();
    EXPECT_EQ (aaxhost::HostObject::LiveCount(), mLiveBefore) << "host objects leaked";
}

aaxhost::AudioData Noise (double sampleRate, int numChannels, size_t numFrames, uint32_t seed, float amplitude)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<float> sample (-amplitude, amplitude);
    aaxhost::AudioData audio = aaxhost::AudioData::Silence (sampleRate, numChannels, numFrames);
    for (auto& channel : audio.channels)
        for (float& x : channel)
            x = sample (random);
    return audio;
}

::testing::AssertionResult IsCleanAudio (const aaxhost::AudioData& audio, float bound)
{
    for (int c = 0; c < audio.NumChannels(); ++c)
        for (size_t i = 0; i < audio.NumFrames(); ++i)
        {
            const float x = audio.channels[size_t (c)][i];
            if (! (std::fabs (x) <= bound) || std::fpclassify (x) == FP_SUBNORMAL)
                return ::testing::AssertionFailure() << "sample " << x << " in channel " << c << " at frame " << i;
        }
    return ::testing::AssertionSuccess();
}

size_t DifferingSamples (const aaxhost::AudioData& a, const aaxhost::AudioData& b)
{
    if (a.NumChannels() != b.NumChannels() || a.NumFrames() != b.NumFrames())
        return size_t (-1);
    size_t count = 0;
    for (int c = 0; c < a.NumChannels(); ++c)
        for (size_t i = 0; i < a.NumFrames(); ++i)
            count += std::memcmp (&a.channels[size_t (c)][i], &b.channels[size_t (c)][i], 4) != 0 ? 1 : 0;
    return count;
}

std::vector<std::string> EngineParameterIds (aaxhost::PlugInInstance& instance)
{
    auto ids = instance.ParameterIDs();
    ids.erase (std::remove (ids.begin(), ids.end(), instance.BypassID()), ids.end());
    return ids;
}

std::vector<double> ParameterValues (aaxhost::PlugInInstance& instance, const std::vector<std::string>& ids)
{
    std::vector<double> values;
    for (const auto& id : ids)
        values.push_back (instance.ParameterValue (id));
    return values;
}

std::vector<uint8_t> JuceState (aaxhost::PlugInInstance& instance)
{
    aaxhost::Chunk chunk;
    EXPECT_EQ (instance.GetChunk (kJuce, chunk), AAX_SUCCESS);
    return chunk.data;
}

std::vector<float> BlobValues (const std::vector<uint8_t>& blob)
{
    std::vector<float> values (std::min<size_t> (blob.size() / 4, kNumParameters));
    std::memcpy (values.data(), blob.data(), values.size() * 4);
    return values;
}

std::vector<std::pair<std::string, double>> ControlEntries (const std::vector<uint8_t>& data)
{
    std::vector<std::pair<std::string, double>> entries;
    if (data.size() < 4 || data[0] != 1 || data[1] != 1 || data[2] != 1 || data[3] != 1)
        ADD_FAILURE() << "not a controls chunk: no marker";
    for (size_t position = 4; position < data.size();)
    {
        const auto zero = std::find (data.begin() + long (position), data.end(), uint8_t (0));
        size_t value = size_t (zero - data.begin()) + 1;
        if (zero == data.end() || value - position < 4 || data[position] != 'd' || data[position + 1] != '_'
            || ((value + 3) & ~size_t (3)) + 8 > data.size())
        {
            ADD_FAILURE() << "a broken entry at " << position;
            break;
        }
        const std::string id (data.begin() + long (position) + 2, zero);
        for (; value % 4 != 0; ++value)
            EXPECT_EQ (data[value], 0) << "padding after " << id;
        uint64_t bits = 0;
        for (size_t i = 0; i < 8; ++i)
            bits = (bits << 8) | data[value + i];
        double number = 0.0;
        std::memcpy (&number, &bits, 8);
        entries.emplace_back (id, number);
        position = value + 8;
    }
    return entries;
}

::testing::AssertionResult ViewsAgree (aaxhost::PlugInInstance& instance, bool normalisedOnly)
{
    const auto ids = EngineParameterIds (instance);
    const auto model = ParameterValues (instance, ids);
    aaxhost::Chunk controls;
    if (instance.GetChunk (kElck, controls) != AAX_SUCCESS)
        return ::testing::AssertionFailure() << "no 'elck' chunk";
    std::map<std::string, double> library;
    for (const auto& [id, value] : ControlEntries (controls.data))
        library[id] = value;
    const auto engine = BlobValues (JuceState (instance));
    if (engine.size() != ids.size())
        return ::testing::AssertionFailure() << "the 'juce' chunk holds " << engine.size() << " values";

    for (size_t i = 0; i < ids.size(); ++i)
    {
        const double values[3] = { model[i], library.count (ids[i]) != 0 ? library[ids[i]] : std::nan (""), engine[i] };
        const bool normalised = std::all_of (values, values + 3, [] (double v) { return v >= 0.0 && v <= 1.0; });
        // The library keeps a float as a double; the engine keeps a float.
        const bool agree = std::fabs (values[0] - values[1]) <= 1.0e-6 && std::fabs (values[0] - values[2]) <= 1.0e-6;
        if (! normalised || (! normalisedOnly && ! agree))
            return ::testing::AssertionFailure()
                << ids[i] << (normalised ? " disagrees" : " leaves 0..1") << ": data model " << values[0]
                << ", library " << values[1] << ", engine " << values[2];
    }
    return ::testing::AssertionSuccess();
}

}   // namespace quillo::hosted

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
