// Audio through the module's native process procedure on the host's real-time thread: the
// engine's own output sample for sample, the bypass through its port, every common rate and block
// size with the declared latency, and no allocation or lock on the real-time thread.

#include "EngineReference.h"

#include "AllocationCounter.h"
#include "HostError.h"
#include "RealtimeThread.h"

#include <random>

using namespace quillo::hosted;

namespace
{
// Processes frames [offset, offset + n) of `input` into the same frames of `output` through the
// host's pointer call, announcing blocks of `blockSize`.
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
} // namespace

TEST_F(ModuleTest, StereoAudioEqualsTheEnginesOwnSampleForSample)
{
    auto instance = Open(2, 44100.0f);
    const std::pair<int, float> settings[] = { { 5, 0.75f }, { 14, 0.6f }, { 12, 0.9f } };
    const auto ids = instance->ParameterIDs();
    for (const auto& [index, value] : settings)
        ASSERT_EQ(instance->Automate(ids[size_t(index)], value), AAX_SUCCESS);

    // 2 s in blocks of 512, the last one shorter.
    const auto input = Signal(44100.0, 2.0, 2);
    ASSERT_NE(input.NumFrames() % 512, 0u);
    const auto output = instance->Process(input, 512);
    const auto expected = EngineRender(input, 512, [&](juce::AudioProcessor& engine) {
        for (const auto& [index, value] : settings)
            engine.getParameters()[index]->setValue(value);
    });
    EXPECT_EQ(DifferingSamples(output, expected), 0u);
    EXPECT_GT(DifferingSamples(output, input), input.NumFrames()); // the plug-in did something
}

TEST_F(ModuleTest, MonoAudioWithAFactoryPresetEqualsTheEnginesOwn)
{
    auto instance = Open(1, 48000.0f);
    const auto preset = MakeChunk(kJuce, PresetBytes("06_01_"));
    ASSERT_EQ(preset.data.size(), 92u);
    ASSERT_EQ(instance->SetChunk(preset), AAX_SUCCESS);

    const auto input = Signal(48000.0, 2.0, 1);
    const auto output = instance->Process(input, 256);
    const auto expected = EngineRender(input, 256, [&](juce::AudioProcessor& engine) {
        engine.setStateInformation(preset.data.data(), int(preset.data.size()));
    });
    EXPECT_EQ(DifferingSamples(output, expected), 0u);
    EXPECT_GT(DifferingSamples(output, input), input.NumFrames() / 2);
}

TEST_F(ModuleTest, BlockSizesChangingBetweenCallsStillMatchTheEngine)
{
    auto instance = Open(2, 48000.0f);
    const auto input = Signal(48000.0, 0.5, 2);
    auto output = aaxhost::AudioData::Silence(48000.0, 2, input.NumFrames());
    ProcessSlice(*instance, input, output, 0, 12000, 1000);
    ProcessSlice(*instance, input, output, 12000, input.NumFrames() - 12000, 1000);
    EXPECT_EQ(DifferingSamples(output, EngineRender(input, 1000)), 0u);
    EXPECT_THROW(ProcessSlice(*instance, input, output, 0, 10, 0), aaxhost::HostError);
    EXPECT_THROW(ProcessSlice(*instance, input, output, 0, 10, 1025), aaxhost::HostError);
}

TEST_F(ModuleTest, BypassThroughItsPortGivesTheDelayedDrySignal)
{
    auto instance = Open(2, 48000.0f);
    ASSERT_EQ(instance->Automate("12Low Mid Gain", 1.0), AAX_SUCCESS);
    ASSERT_EQ(instance->Latency(), 192);
    const auto input = Signal(48000.0, 0.5, 2);
    auto output = aaxhost::AudioData::Silence(48000.0, 2, input.NumFrames());
    const size_t block = 512, on = 8 * block, off = 16 * block;
    // Samples of frames [from, to) that are not the dry input delayed by the latency.
    const auto differing = [&](size_t from, size_t to) {
        size_t count = 0;
        for (const size_t c : { 0, 1 })
            for (size_t i = from; i < to; ++i)
                count += output.channels[c][i] != input.channels[c][i - 192];
        return count;
    };
    const auto bypass = [&](bool bypassed, const std::vector<uint8_t>& packet) {
        calls.ClearPosted();
        ASSERT_EQ(instance->SetBypass(bypassed), AAX_SUCCESS);
        const auto posted = calls.Posted(instance->Context().GetController());
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].port, 3);
        EXPECT_EQ(posted[0].data, packet);
    };

    // JUCE's bypass parameter is a float parameter: its packet carries the float's bits.
    ProcessSlice(*instance, input, output, 0, on, int(block));
    bypass(true, { 0x00, 0x00, 0x80, 0x3F });
    ProcessSlice(*instance, input, output, on, off - on, int(block));
    bypass(false, { 0, 0, 0, 0 });
    ProcessSlice(*instance, input, output, off, input.NumFrames() - off, int(block));
    EXPECT_EQ(differing(on, off), 0u);
    EXPECT_GT(differing(block, on), on);
    EXPECT_GT(differing(off + block, input.NumFrames()), input.NumFrames() - off);
}

TEST_F(ModuleTest, EveryRateAndBlockSizeGivesCleanAudioDelayedByTheDeclaredLatency)
{
    // One instance through every common rate, as when a session's rate changes: the values survive,
    // the latency (about 4 ms) reaches the host and is exactly the bypassed signal's delay, and
    // noise comes out finite, normal and bounded whatever the block size.
    const struct
    {
        float rate;
        int32_t latency;
    } rates[] = { { 48000.0f, 192 }, { 22050.0f, 90 },  { 44100.0f, 178 },
                  { 88200.0f, 354 }, { 96000.0f, 384 }, { 192000.0f, 768 } };
    auto instance = Open(2, rates[0].rate);
    const auto ids = EngineParameterIds(*instance);
    ASSERT_EQ(instance->Automate(ids[12], 0.8), AAX_SUCCESS); // a dynamic band's gain, off its default
    const auto values = ParameterValues(*instance, ids);
    for (const auto& [rate, latency] : rates)
    {
        SCOPED_TRACE(rate);
        if (rate != rates[0].rate)
        {
            ASSERT_EQ(instance->Reinitialize(rate), AAX_SUCCESS);
        }
        EXPECT_EQ(ParameterValues(*instance, ids), values);
        EXPECT_EQ(instance->Latency(), latency);
        EXPECT_EQ(calls.TextsOfMethod("SetSignalLatency").back(),
                  "controller#1.SetSignalLatency(" + std::to_string(latency) + ")");
        for (const int blockSize : { 1, 32, 250, 512, 1024 })
        {
            const auto input = Noise(rate, 2, 5 * 1024 + 123, uint32_t(rate) + uint32_t(blockSize), 0.5f);
            const auto output = instance->Process(input, blockSize);
            EXPECT_TRUE(IsCleanAudio(output, 4.0f)) << blockSize << "-sample blocks";
            EXPECT_GT(DifferingSamples(output, input), input.NumFrames()) << blockSize << "-sample blocks";
        }
        ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
        const auto input = Noise(rate, 2, size_t(latency) * 3, 7);
        const auto output = instance->Process(input, 64);
        for (size_t i = size_t(latency); i < input.NumFrames(); ++i)
            ASSERT_EQ(output.channels[1][i], input.channels[1][i - size_t(latency)]) << "frame " << i;
        ASSERT_EQ(instance->SetBypass(false), AAX_SUCCESS);
    }
}

TEST_F(ModuleTest, TheRealTimeThreadAllocatesNothingAndLocksOnlyTheCallbackLockOncePerBlock)
{
    std::mt19937 random(60);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    for (int channels : { 1, 2 })
    {
        SCOPED_TRACE(channels);
        auto instance = Open(channels, 44100.0f);
        const auto ids = EngineParameterIds(*instance);
        const auto input = Noise(44100.0, channels, 2048, 60);

        // The first blocks may settle what the host's first calls left; counted from then on.
        instance->Process(input, 512);
        quillo::test::ScopedAllocationCounter counter(aaxhost::RealtimeThread::kThreadName);
        int64_t blocks = 0;
        for (int job = 0; job < 60; ++job)
        {
            // Between jobs the host automates, switches the bypass and restores state.
            ASSERT_EQ(instance->Automate(ids[random() % ids.size()], value(random)), AAX_SUCCESS);
            if (job % 10 == 5)
            {
                ASSERT_EQ(instance->SetBypass(job % 20 == 5), AAX_SUCCESS);
            }
            if (job % 15 == 7)
            {
                ASSERT_EQ(instance->SetChunk(MakeChunk(kJuce, JuceState(*instance))), AAX_SUCCESS);
            }
            const int size = std::uniform_int_distribution<int>(1, aaxhost::PlugInInstance::kMaxBlockSize)(random);
            ASSERT_TRUE(IsCleanAudio(instance->Process(input, size)));
            blocks += (int64_t(input.NumFrames()) + size - 1) / size;
        }
        EXPECT_EQ(counter.allocations(), 0) << "the real-time thread allocated";
        if (quillo::test::ScopedAllocationCounter::lockCountingAvailable())
        {
            EXPECT_EQ(counter.locks(), blocks) << "locks other than the wrapper's callback lock, once per block";
        }
    }
}
