// Audio through the module's native process procedure on the host's real-time thread, against
// the engine's own output. (The real-time rules are the validation suite's.)

#include "E2ETestSupport.h"

using namespace quillo::e2e;

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
    EXPECT_GT(DifferingSamples(output, input), input.NumFrames());   // the plug-in did something
    EXPECT_EQ(instance->RefusedPackets(), 0u);
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

    // JUCE's bypass parameter is a float parameter: its packet carries the float's bits.
    ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
    const auto posted = calls.Posted(instance->Context().GetController());
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().port, 3);
    EXPECT_EQ(posted.back().data, (std::vector<uint8_t> { 0x00, 0x00, 0x80, 0x3F }));

    const auto input = Signal(48000.0, 0.25, 2);
    const auto output = instance->Process(input, 512);
    uint32_t port = 0;
    std::memcpy(&port, instance->Algorithm().PortData(3), 4);
    EXPECT_EQ(port, 0x3F800000u);
    ASSERT_EQ(instance->Latency(), 192);
    EXPECT_EQ(DifferingSamples(output, Delayed(input, 192)), 0u);

    // Off again: the port reads 0 before the next block and the equaliser is back.
    ASSERT_EQ(instance->SetBypass(false), AAX_SUCCESS);
    const auto after = instance->Process(input, 512);
    std::memcpy(&port, instance->Algorithm().PortData(3), 4);
    EXPECT_EQ(port, 0u);
    EXPECT_GT(DifferingSamples(after, output), input.NumFrames());
}
