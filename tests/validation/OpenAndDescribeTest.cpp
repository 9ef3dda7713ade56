// Opening the module cold and warm, and what an instance says about itself: its names, its
// latency and its tail. (What the module registers is checked field by field in the e2e tests.)

#include "ValidationSupport.h"

#include "HostObject.h"

using namespace quillo::validation;

namespace
{
// What one load of the module gives: its description and one stereo instance's output.
struct Opened
{
    std::string description;
    int32_t latency = 0;
    aaxhost::AudioData output;
    int32_t liveAfterShutdown = -1;
};

Opened OpenAndRender(const aaxhost::AudioData& input)
{
    Opened opened;
    aaxhost::StandInHost host(QUILLO_TEST_MODULE);
    opened.description = host.Description().Format();
    {
        auto instance = host.CreateInstance(2, 48000.0f);
        opened.latency = instance->Latency();
        opened.output = instance->Process(input, 512);
    }
    opened.liveAfterShutdown = host.Shutdown();
    return opened;
}
} // namespace

TEST(ValidationOpen, ColdAndWarmLoadsDescribeAndSoundTheSame)
{
    const uint32_t liveBefore = aaxhost::HostObject::LiveCount();
    const auto input = Noise(48000.0, 2, 24000, 1, 0.5f);

    // The first load in this process is cold; the module is then unloaded and loaded again.
    const Opened cold = OpenAndRender(input);
    const Opened warm = OpenAndRender(input);

    EXPECT_FALSE(cold.description.empty());
    EXPECT_EQ(warm.description, cold.description);
    EXPECT_EQ(warm.latency, cold.latency);
    EXPECT_EQ(warm.output.channels, cold.output.channels) << "a second load sounds different";
    EXPECT_EQ(cold.liveAfterShutdown, 0);
    EXPECT_EQ(warm.liveAfterShutdown, 0);
    EXPECT_EQ(aaxhost::HostObject::LiveCount(), liveBefore);
}

using ValidationDescribe = HostTest;

TEST_F(ValidationDescribe, AWarmInstanceAfterAnotherWasClosedStartsFromTheSameState)
{
    const auto input = Noise(44100.0, 2, 20000, 2, 0.5f);
    auto first = Open(2, 44100.0f);
    const auto ids = EngineParameterIds(*first);
    const auto freshValues = ParameterValues(*first, ids);
    const auto freshState = JuceState(*first);
    const auto freshOutput = first->Process(input, 256);
    ASSERT_EQ(first->Automate(ids[0], 0.9), AAX_SUCCESS);   // leaves nothing behind when closed
    first->Close();

    auto second = Open(2, 44100.0f);
    EXPECT_EQ(ParameterValues(*second, ids), freshValues);
    EXPECT_EQ(JuceState(*second), freshState);
    EXPECT_EQ(second->Process(input, 256).channels, freshOutput.channels);
}

class ValidationInstanceInfo : public HostTest, public ::testing::WithParamInterface<float>
{
};

TEST_P(ValidationInstanceInfo, NamesItsParametersReportsItsLatencyAndHasNoTail)
{
    const float rate = GetParam();
    auto instance = Open(2, rate);

    // Names: every parameter has one, and none is shared.
    const auto ids = instance->ParameterIDs();
    ASSERT_EQ(ids.size(), size_t(kNumParameters + 1));
    std::set<std::string> names;
    for (const auto& id : ids)
    {
        aaxhost::HostString name;
        EXPECT_EQ(instance->Effect().GetParameterName(id.c_str(), &name), AAX_SUCCESS);
        EXPECT_FALSE(name.Text().empty()) << id;
        names.insert(name.Text());
        double defaultValue = -1.0;
        EXPECT_EQ(instance->Effect().GetParameterDefaultNormalizedValue(id.c_str(), &defaultValue), AAX_SUCCESS);
        EXPECT_TRUE(defaultValue >= 0.0 && defaultValue <= 1.0) << id;
    }
    EXPECT_EQ(names.size(), ids.size());

    // Latency: about 4 ms, declared to the host, and exactly the delay of the bypassed signal.
    const int32_t latency = instance->Latency();
    EXPECT_GT(latency, int32_t(0.003 * rate));
    EXPECT_LT(latency, int32_t(0.005 * rate));
    ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
    auto impulse = aaxhost::AudioData::Silence(rate, 2, size_t(latency) * 3);
    impulse.channels[0][7] = impulse.channels[1][7] = 1.0f;
    EXPECT_EQ(FirstSampleAbove(instance->Process(impulse, 64), 0.5f), 7 + latency);
    ASSERT_EQ(instance->SetBypass(false), AAX_SUCCESS);

    // No tail: once the input stops, the output dies away within the latency and a little more
    // (the filters' own decay) and is silent from then on.
    const size_t loud = size_t(rate / 4), quiet = size_t(rate / 2);
    auto input = Noise(rate, 2, loud + quiet, 3);
    for (auto& channel : input.channels)
        std::fill(channel.begin() + long(loud), channel.end(), 0.0f);
    const auto output = instance->Process(input, 512);
    EXPECT_TRUE(IsCleanAudio(output, 4.0f));
    const size_t settled = loud + size_t(latency) + size_t(rate / 10);
    float rest = 0.0f;
    for (const auto& channel : output.channels)
        for (size_t i = settled; i < channel.size(); ++i)
            rest = std::max(rest, std::fabs(channel[i]));
    EXPECT_LT(rest, 1.0e-5f) << "the output rings on " << (settled - loud) << " samples after the input stopped";
}

INSTANTIATE_TEST_SUITE_P(Rates, ValidationInstanceInfo,
                         ::testing::Values(22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f),
                         [](const ::testing::TestParamInfo<float>& rate) { return std::to_string(int(rate.param)) + "Hz"; });
