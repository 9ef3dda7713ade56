// Audio through the module's native process procedure on the host's real-time thread, against
// the engine's own output.

#include "E2ETestSupport.h"

#include "AllocationCounter.h"
#include "PluginProcessor.h"

#include <optional>

using namespace quillo::e2e;

TEST_F(ModuleTest, StereoAudioEqualsTheEnginesOwnSampleForSample)
{
    auto instance = Open(2, 44100.0f);
    ASSERT_EQ(instance->Automate("5Low Shelf Boost", 0.75), AAX_SUCCESS);
    ASSERT_EQ(instance->Automate("14Low Dyn Attenuation", 0.6), AAX_SUCCESS);
    ASSERT_EQ(instance->Automate("12Low Mid Gain", 0.9), AAX_SUCCESS);

    // 2 s in blocks of 512, the last one shorter.
    const auto input = Signal(44100.0, 2.0, 2);
    ASSERT_NE(input.NumFrames() % 512, 0u);
    const auto output = instance->Process(input, 512);
    const auto expected = EngineRender(input, 512, [](juce::AudioProcessor& engine) {
        engine.getParameters()[5]->setValue(0.75f);
        engine.getParameters()[14]->setValue(0.6f);
        engine.getParameters()[12]->setValue(0.9f);
    });
    EXPECT_EQ(DifferingSamples(output, expected), 0u);
    EXPECT_GT(DifferingSamples(output, input), input.NumFrames());   // the plug-in did something
    EXPECT_EQ(instance->RefusedPackets(), 0u);
    instance->Close();
}

TEST_F(ModuleTest, MonoAudioWithAFactoryPresetEqualsTheEnginesOwn)
{
    auto instance = Open(1, 48000.0f);
    aaxhost::Chunk preset;
    preset.id = kJuce;
    preset.data = PresetBytes("06_01_");
    ASSERT_EQ(preset.data.size(), 92u);
    ASSERT_EQ(instance->SetChunk(preset), AAX_SUCCESS);

    const auto input = Signal(48000.0, 2.0, 1);
    const auto output = instance->Process(input, 256);
    const auto expected = EngineRender(input, 256, [&](juce::AudioProcessor& engine) {
        engine.setStateInformation(preset.data.data(), int(preset.data.size()));
    });
    EXPECT_EQ(DifferingSamples(output, expected), 0u);
    EXPECT_GT(DifferingSamples(output, input), input.NumFrames() / 2);
    instance->Close();
}

TEST_F(ModuleTest, BlockSizesChangingBetweenCallsStillMatchTheEngine)
{
    auto instance = Open(2, 48000.0f);
    const auto input = Signal(48000.0, 0.5, 2);
    aaxhost::AudioData output = aaxhost::AudioData::Silence(48000.0, 2, input.NumFrames());
    const size_t half = 12000;
    const float* in[2] = { input.channels[0].data(), input.channels[1].data() };
    float* out[2] = { output.channels[0].data(), output.channels[1].data() };
    instance->Process(in, out, half, 1000);
    const float* in2[2] = { in[0] + half, in[1] + half };
    float* out2[2] = { out[0] + half, out[1] + half };
    instance->Process(in2, out2, input.NumFrames() - half, 1000);

    const auto expected = EngineRender(input, 1000);
    EXPECT_EQ(DifferingSamples(output, expected), 0u);
    EXPECT_THROW(instance->Process(in, out, 10, 0), aaxhost::HostError);
    EXPECT_THROW(instance->Process(in, out, 10, 1025), aaxhost::HostError);
    instance->Close();
}

TEST_F(ModuleTest, BypassThroughItsPortGivesTheDelayedDrySignal)
{
    auto instance = Open(2, 48000.0f);
    ASSERT_EQ(instance->Automate("12Low Mid Gain", 1.0), AAX_SUCCESS);

    // JUCE's bypass parameter is a float parameter: its packet carries the float's bits.
    ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
    const auto posted = instance->Context().GetController().Posted();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().port, 3);
    EXPECT_EQ(posted.back().data, (std::vector<uint8_t> { 0x00, 0x00, 0x80, 0x3F }));

    const auto input = Signal(48000.0, 0.25, 2);
    const auto output = instance->Process(input, 512);
    uint32_t port = 0;
    std::memcpy(&port, instance->Algorithm().PortData(3), 4);
    EXPECT_EQ(port, 0x3F800000u);

    const int latency = instance->Latency();
    ASSERT_EQ(latency, 192);
    size_t wrong = 0;
    for (int c = 0; c < 2; ++c)
        for (size_t i = 0; i < input.NumFrames(); ++i)
        {
            const float dry = i < size_t(latency) ? 0.0f : input.channels[size_t(c)][i - size_t(latency)];
            wrong += output.channels[size_t(c)][i] != dry ? 1 : 0;
        }
    EXPECT_EQ(wrong, 0u);

    // Off again: the port reads 0 before the next block and the equaliser is back.
    ASSERT_EQ(instance->SetBypass(false), AAX_SUCCESS);
    const auto after = instance->Process(input, 512);
    std::memcpy(&port, instance->Algorithm().PortData(3), 4);
    EXPECT_EQ(port, 0u);
    EXPECT_GT(DifferingSamples(after, output), input.NumFrames());
    instance->Close();
}

namespace
{
/** Counts what the real-time thread allocates and locks while it runs jobs. */
class CountingObserver : public aaxhost::RealtimeThread::Observer
{
public:
    void JobStarting() override { counter.emplace(); }
    void JobFinished() override
    {
        allocations += counter->allocations();
        locks += counter->locks();
        counter.reset();
    }

    std::optional<quillo::test::ScopedAllocationCounter> counter;
    int64_t allocations = 0;
    int64_t locks = 0;
};
} // namespace

TEST_F(ModuleTest, TheRealTimeThreadAllocatesNothingAndLocksOnlyTheWrappersCallbackLock)
{
    auto instance = Open(2, 48000.0f);
    ASSERT_EQ(instance->Automate("14Low Dyn Attenuation", 0.5), AAX_SUCCESS);
    const auto input = Signal(48000.0, 0.5, 2);
    instance->Process(input, 512);   // first blocks after preparing

    CountingObserver observer;
    instance->AudioThread().SetObserver(&observer);
    ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);   // a packet to deliver on the way
    const auto output = instance->Process(input, 480);
    instance->AudioThread().SetObserver(nullptr);

    EXPECT_EQ(observer.allocations, 0);
    const auto blocks = int64_t((input.NumFrames() + 479) / 480);
    if (quillo::test::ScopedAllocationCounter::lockCountingAvailable())
    {
        EXPECT_EQ(observer.locks, blocks);   // JUCE's processor callback lock, once per block
    }
    EXPECT_EQ(output.NumFrames(), input.NumFrames());
    instance->Close();
}
