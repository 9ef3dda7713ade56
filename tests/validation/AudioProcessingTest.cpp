// Audio at every common sample rate and block size, a block longer than the instance was prepared
// for, a sample-rate change in the middle of a stream, and a mono and a stereo instance working
// side by side.

#include "ValidationSupport.h"

#include <tuple>

using namespace quillo::validation;

namespace
{
constexpr float kRates[] = { 22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f };
constexpr int kBlockSizes[] = { 1, 32, 64, 250, 512, 1024 };

// With the "Default" preset the chain stays within a few dB of unity: noise in ±1 never comes
// out beyond this.
constexpr float kDefaultBound = 4.0f;

// Every case processes this much audio, several of the largest blocks and an incomplete one.
constexpr size_t kFrames = 5 * 1024 + 123;

std::string CaseName(const ::testing::TestParamInfo<std::tuple<float, int>>& info)
{
    return std::to_string(int(std::get<0>(info.param))) + "Hz_" + std::to_string(std::get<1>(info.param)) + "samples";
}
} // namespace

class ValidationAudio : public HostTest, public ::testing::WithParamInterface<std::tuple<float, int>>
{
};

TEST_P(ValidationAudio, NoiseComesOutFiniteNormalAndBounded)
{
    const auto [rate, blockSize] = GetParam();
    auto instance = Open(2, rate);
    const uint32_t seed = uint32_t(rate) + uint32_t(blockSize);
    SCOPED_TRACE("noise seed " + std::to_string(seed));

    const auto input = Noise(rate, 2, kFrames, seed);
    const auto output = instance->Process(input, blockSize);
    EXPECT_TRUE(IsCleanAudio(output, kDefaultBound));

    // The chain did work on the signal: it is neither silenced nor passed through untouched.
    EXPECT_NE(FirstSampleAbove(output, 0.01f), -1);
    EXPECT_NE(output.channels, input.channels);
}

INSTANTIATE_TEST_SUITE_P(RatesAndBlockSizes, ValidationAudio,
                         ::testing::Combine(::testing::ValuesIn(kRates), ::testing::ValuesIn(kBlockSizes)), CaseName);

using ValidationStream = HostTest;

TEST_F(ValidationStream, ABlockLongerThanThePreparedMaximumIsProcessedLikeAnyOther)
{
    // The wrapper prepared the engine for 1024 samples; a longer block makes it prepare again
    // on the audio thread before processing.
    auto instance = Open(2, 48000.0f);
    const int32_t latency = instance->Latency();
    instance->AllowBlocksUpTo(4096);

    const auto input = Noise(48000.0, 2, 4 * 4096, 11);
    auto output = aaxhost::AudioData::Silence(48000.0, 2, input.NumFrames());
    size_t offset = 0;
    for (const int blockSize : { 512, 4096, 64, 3000, 1024, 4096 })
    {
        const size_t n = std::min(size_t(blockSize), input.NumFrames() - offset);
        ProcessSlice(*instance, input, output, offset, n, blockSize);
        offset += n;
    }
    EXPECT_TRUE(IsCleanAudio(output, kDefaultBound));
    EXPECT_EQ(instance->Latency(), latency) << "the latency moved with the block size";

    // The stream goes on in ordinary blocks afterwards.
    const auto after = instance->Process(Noise(48000.0, 2, 8192, 12), 256);
    EXPECT_TRUE(IsCleanAudio(after, kDefaultBound));
}

TEST_F(ValidationStream, ANewSampleRateInTheMiddleOfAStreamPreparesEverythingAgain)
{
    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);
    ASSERT_EQ(instance->Automate(ids[12], 0.8), AAX_SUCCESS);   // a dynamic band's gain, off its default
    const auto before = ParameterValues(*instance, ids);
    const int32_t latencyAt48k = instance->Latency();
    EXPECT_TRUE(IsCleanAudio(instance->Process(Noise(48000.0, 2, 20000, 21), 512)));

    for (const float rate : { 96000.0f, 22050.0f, 192000.0f, 44100.0f })
    {
        SCOPED_TRACE(rate);
        ASSERT_EQ(instance->Reinitialize(rate), AAX_SUCCESS);
        EXPECT_EQ(ParameterValues(*instance, ids), before) << "the parameters did not survive the change";
        EXPECT_TRUE(IsCleanAudio(instance->Process(Noise(rate, 2, 20000, uint32_t(rate)), 512)));

        // The latency follows the rate (about 4 ms), and the audio is delayed by exactly that:
        // the bypassed signal shows the delay sample for sample.
        const int32_t latency = instance->Latency();
        EXPECT_GT(latency, 0);
        EXPECT_NEAR(double(latency) / rate, double(latencyAt48k) / 48000.0, 0.0002);
        instance->Process(aaxhost::AudioData::Silence(rate, 2, size_t(latency) * 2), 256);
        ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
        auto impulse = aaxhost::AudioData::Silence(rate, 2, size_t(latency) * 3);
        impulse.channels[0][100] = impulse.channels[1][100] = 0.5f;
        const auto bypassed = instance->Process(impulse, 256);
        EXPECT_EQ(FirstSampleAbove(bypassed, 0.25f), 100 + latency);
        ASSERT_EQ(instance->SetBypass(false), AAX_SUCCESS);
    }
}

TEST_F(ValidationStream, MonoAndStereoInstancesSideBySideProcessAsEachWouldAlone)
{
    // The same signal through a mono and a stereo instance, each alone first.
    const auto mono = Noise(48000.0, 1, 48000, 31, 0.5f);
    aaxhost::AudioData stereo = mono;
    stereo.channels.push_back(mono.channels[0]);

    const auto monoAlone = Open(1, 48000.0f)->Process(mono, 128);
    const auto stereoAlone = Open(2, 48000.0f)->Process(stereo, 128);
    EXPECT_TRUE(IsCleanAudio(monoAlone, kDefaultBound));
    EXPECT_TRUE(IsCleanAudio(stereoAlone, kDefaultBound));

    // Then both at once, each on its own real-time thread, with the host's main thread making
    // calls on both meanwhile.
    auto monoInstance = Open(1, 48000.0f);
    auto stereoInstance = Open(2, 48000.0f);
    aaxhost::AudioData monoOut = aaxhost::AudioData::Silence(48000.0, 1, mono.NumFrames());
    aaxhost::AudioData stereoOut = aaxhost::AudioData::Silence(48000.0, 2, stereo.NumFrames());
    const float* monoIn[1] = { mono.channels[0].data() };
    float* monoOutPtr[1] = { monoOut.channels[0].data() };
    const float* stereoIn[2] = { stereo.channels[0].data(), stereo.channels[1].data() };
    float* stereoOutPtr[2] = { stereoOut.channels[0].data(), stereoOut.channels[1].data() };
    monoInstance->StartProcess(monoIn, monoOutPtr, mono.NumFrames(), 128);
    stereoInstance->StartProcess(stereoIn, stereoOutPtr, stereo.NumFrames(), 128);

    const auto ids = EngineParameterIds(*monoInstance);
    bool monoDone = false, stereoDone = false;
    while (!(monoDone && stereoDone))
    {
        EXPECT_EQ(ParameterValues(*monoInstance, ids), ParameterValues(*stereoInstance, ids));
        monoDone = monoDone || monoInstance->FinishProcess(1);
        stereoDone = stereoDone || stereoInstance->FinishProcess(1);
    }

    EXPECT_EQ(monoOut.channels, monoAlone.channels) << "the mono instance sounds different beside another";
    EXPECT_EQ(stereoOut.channels, stereoAlone.channels) << "the stereo instance sounds different beside another";
    // Both channels of the stereo instance carry what the mono instance makes of the one.
    EXPECT_EQ(stereoOut.channels[0], monoOut.channels[0]);
    EXPECT_EQ(stereoOut.channels[1], monoOut.channels[0]);
}
