#include "HostedModule.h"

#include <sstream>

#include "HostObject.h"

namespace quillo::hosted
{
void ModuleTest::SetUp()
{
    mLiveBefore = aaxhost::HostObject::LiveCount();
    host = std::make_unique<aaxhost::StandInHost>(QUILLO_TEST_MODULE, record ? &calls : nullptr);
}

void ModuleTest::TearDown()
{
    EXPECT_EQ(host->Shutdown(), 0) << "the module still has live objects";
    host.reset();
    EXPECT_EQ(aaxhost::HostObject::LiveCount(), mLiveBefore) << "host objects leaked";
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
            const char* fault = std::isnan(x) ? "NaN"
                              : std::isinf(x) ? "infinite"
                              : std::fpclassify(x) == FP_SUBNORMAL ? "subnormal"
                              : std::fabs(x) > bound ? "beyond the bound"
                                                     : nullptr;
            if (fault != nullptr && faults++ == 0)
                first << fault << " sample " << x << " in channel " << c << " at frame " << i;
        }
    if (faults == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << faults << " bad samples, the first: " << first.str();
}

size_t DifferingSamples(const aaxhost::AudioData& a, const aaxhost::AudioData& b)
{
    if (a.NumChannels() != b.NumChannels() || a.NumFrames() != b.NumFrames())
        return size_t(-1);
    size_t count = 0;
    for (int c = 0; c < a.NumChannels(); ++c)
        for (size_t i = 0; i < a.NumFrames(); ++i)
            count += std::memcmp(&a.channels[size_t(c)][i], &b.channels[size_t(c)][i], 4) != 0 ? 1 : 0;
    return count;
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
    for (size_t i = 0; !audio.channels.empty() && i < audio.channels[0].size(); ++i)
        if (std::fabs(audio.channels[0][i]) > threshold)
            return long(i);
    return -1;
}

void ProcessSlice(aaxhost::PlugInInstance& instance, const aaxhost::AudioData& input, aaxhost::AudioData& output,
                  size_t offset, size_t n, int blockSize)
{
    std::vector<const float*> in;
    std::vector<float*> out;
    for (int c = 0; c < input.NumChannels(); ++c)
    {
        in.push_back(input.channels[size_t(c)].data() + offset);
        out.push_back(output.channels[size_t(c)].data() + offset);
    }
    instance.Process(in.data(), out.data(), n, blockSize);
}

std::vector<std::string> EngineParameterIds(aaxhost::PlugInInstance& instance)
{
    auto ids = instance.ParameterIDs();
    ids.erase(std::remove(ids.begin(), ids.end(), instance.BypassID()), ids.end());
    return ids;
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

void ExpectValuesNear(const std::vector<double>& actual, const std::vector<double>& expected,
                      const std::vector<std::string>& ids)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1.0e-6) << ids[i];
}

std::vector<float> BlobValues(const std::vector<uint8_t>& blob)
{
    std::vector<float> values(std::min<size_t>(blob.size() / 4, kNumParameters));
    std::memcpy(values.data(), blob.data(), values.size() * 4);
    return values;
}

::testing::AssertionResult AllNormalised(const std::vector<float>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        if (!(std::isfinite(values[i]) && values[i] >= 0.0f && values[i] <= 1.0f))
            return ::testing::AssertionFailure() << "value " << i << " is " << values[i];
    return ::testing::AssertionSuccess();
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

std::vector<std::pair<std::string, double>> ControlEntries(const std::vector<uint8_t>& data)
{
    std::vector<std::pair<std::string, double>> entries;
    if (data.size() < 4 || data[0] != 1 || data[1] != 1 || data[2] != 1 || data[3] != 1)
        ADD_FAILURE() << "not a controls chunk: no marker";
    for (size_t position = 4; position < data.size();)
    {
        const auto zero = std::find(data.begin() + long(position), data.end(), uint8_t(0));
        size_t value = size_t(zero - data.begin()) + 1;
        if (zero == data.end() || value - position < 4 || data[position] != 'd' || data[position + 1] != '_'
            || ((value + 3) & ~size_t(3)) + 8 > data.size())
        {
            ADD_FAILURE() << "a broken entry at " << position;
            break;
        }
        const std::string id(data.begin() + long(position) + 2, zero);
        for (; value % 4 != 0; ++value)
            EXPECT_EQ(data[value], 0) << "padding after " << id;
        entries.emplace_back(id, BigEndianDouble(data, value));
        position = value + 8;
    }
    return entries;
}

RandomEdits::RandomEdits(aaxhost::PlugInInstance& instance, uint32_t seed)
    : random(seed), ids(EngineParameterIds(instance)), expected(ParameterValues(instance, ids)), mInstance(instance)
{
}

void RandomEdits::Next()
{
    const auto index = size_t(std::uniform_int_distribution<int>(0, kNumParameters - 1)(random));
    const double value = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    EXPECT_EQ(mInstance.Automate(ids[index], value), AAX_SUCCESS) << ids[index];
    expected[index] = value;
}

void RandomEdits::ExpectHeld() const
{
    ExpectValuesNear(ParameterValues(mInstance, ids), expected, ids);
}

RunningAudio::RunningAudio(aaxhost::PlugInInstance& instance, const aaxhost::AudioData& input, int blockSize)
    : mInstance(instance), mInput(input),
      mOutput(aaxhost::AudioData::Silence(input.sampleRate, input.NumChannels(), input.NumFrames())),
      mBlockSize(blockSize)
{
    for (int c = 0; c < input.NumChannels(); ++c)
    {
        mIn.push_back(mInput.channels[size_t(c)].data());
        mOut.push_back(mOutput.channels[size_t(c)].data());
    }
    Start();
}

void RunningAudio::Keep(int milliseconds)
{
    if (mInstance.FinishProcess(milliseconds))
    {
        EXPECT_TRUE(IsCleanAudio(mOutput)) << "job " << mJobs;
        Start();
    }
}

void RunningAudio::Stop()
{
    while (!mInstance.FinishProcess(1000))
    {
    }
    EXPECT_TRUE(IsCleanAudio(mOutput));
}

void RunningAudio::Start()
{
    mInstance.StartProcess(mIn.data(), mOut.data(), mInput.NumFrames(), mBlockSize);
    ++mJobs;
}
} // namespace quillo::hosted

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
