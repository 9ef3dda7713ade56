// The processing chain as a whole: its delay, its gains, the high-pass positions and the way
// parameter changes move through a block.

#include "ProcessorTestSupport.h"

using namespace quillo::test;

namespace
{
// Index of the sample with the largest magnitude.
int peakIndex (const std::vector<float>& s)
{
    int best = 0;

    for (int i = 1; i < (int) s.size(); ++i)
        if (std::abs (s[(size_t) i]) > std::abs (s[(size_t) best]))
            best = i;

    return best;
}
} // namespace

//==============================================================================
struct LatencyCase
{
    double sampleRate;
    int latency;
};

class ProcessorLatency : public ::testing::TestWithParam<LatencyCase> {};

TEST_P (ProcessorLatency, IsTheDelayOfTheChainAndDelaysAnImpulseByExactlyThat)
{
    const auto [sampleRate, latency] = GetParam();
    auto p = makeProcessor (sampleRate);

    EXPECT_EQ (p->getLatencySamples(), latency);

    Channels c { std::vector<float> (2048, 0.0f), std::vector<float> (2048, 0.0f) };
    c[0][0] = 0.5f;
    c[1][0] = -0.25f;
    process (*p, c, 512);

    EXPECT_EQ (peakIndex (c[0]), latency);
    EXPECT_EQ (peakIndex (c[1]), latency);
    EXPECT_NEAR (c[0][(size_t) latency], 0.5f, 1.0e-4f);
    EXPECT_NEAR (c[1][(size_t) latency], -0.25f, 1.0e-4f);

    // With every band flat nothing else comes out but rounding.
    for (size_t i = 0; i < c[0].size(); ++i)
    {
        if ((int) i == latency)
            continue;

        EXPECT_LT (std::abs (c[0][i]), 1.0e-4f) << i;
        EXPECT_LT (std::abs (c[1][i]), 1.0e-4f) << i;
    }
}

INSTANTIATE_TEST_SUITE_P (CommonRates, ProcessorLatency,
                          ::testing::Values (LatencyCase { 44100.0, 178 }, LatencyCase { 48000.0, 192 },
                                             LatencyCase { 88200.0, 354 }, LatencyCase { 96000.0, 384 }));

TEST (ProcessorPreparation, IgnoresARateThatIsNotAPositiveNumber)
{
    auto p = makeProcessor (48000.0);

    for (double bad : { 0.0, -48000.0, std::nan (""), HUGE_VAL, -HUGE_VAL })
    {
        p->prepareToPlay (bad, 512);
        EXPECT_EQ (p->getLatencySamples(), 192) << bad;
    }

    // Still prepared for 48 kHz: a 1 kHz sine passes at 0 dB.
    EXPECT_NEAR (sineGainDb (*p, 1000.0, 0.1f), 0.0, 0.01);
}

TEST (ProcessorPreparation, RunsStablyAtLowSampleRates)
{
    // The upper corners (12.5 kHz shelf, 8 kHz band) lie above Nyquist at 16 kHz.
    auto p = makeProcessor (16000.0);
    setParameter (*p, kHighShelfFrequency, 1.0f);
    setParameter (*p, kHighShelfBoost, 1.0f);
    setParameter (*p, kHighMidFreq, 1.0f);
    setParameter (*p, kHighMidGain, 1.0f);

    Channels c (2, sine (1000.0, 0.5f, 32000, 16000.0));
    process (*p, c, 256);

    for (float x : c[0])
        ASSERT_TRUE (std::isfinite (x));

    EXPECT_LT (rms (c[0], 16000, 16000), 10.0);
}

//==============================================================================
TEST (ProcessorGains, InputAndOutputGainMoveA1kHzSineByTheirDecibels)
{
    struct Case { float input, output, power; double expectedDb; };

    const Case cases[] = {
        { 0.5f,  0.5f,  1.0f,   0.0 },
        { 0.75f, 0.5f,  1.0f,  12.0 },
        { 0.5f,  0.25f, 1.0f, -12.0 },
        { 1.0f,  0.0f,  1.0f,   0.0 },      // +24 in, -24 out
        { 0.0f,  0.5f,  1.0f, -24.0 },
        { 0.75f, 0.75f, 1.0f,  24.0 },
        { 0.75f, 0.5f,  0.5f,   6.0 },      // Power scales the gains in dB
        { 1.0f,  1.0f,  0.0f,   0.0 },      // Power 0: both gains are 0 dB
        { 0.0f,  0.75f, 0.25f,  -3.0 },
    };

    for (const auto& k : cases)
    {
        auto p = makeProcessor();
        setParameter (*p, kInputGain, k.input);
        setParameter (*p, kOutputGain, k.output);
        setParameter (*p, kPower, k.power);

        // Quiet enough to stay below the high-mid compressor's 0 dB threshold.
        EXPECT_NEAR (sineGainDb (*p, 1000.0, 0.02f, 48000.0, 0), k.expectedDb, 0.01)
            << k.input << " " << k.output << " " << k.power;
        EXPECT_NEAR (sineGainDb (*p, 1000.0, 0.02f, 48000.0, 1), k.expectedDb, 0.01);
    }
}

//==============================================================================
TEST (HighPass, CutsItsCutoffBy6dBInEachOnQuarter)
{
    struct Case { float value; double cutoff; };

    for (const auto& k : { Case { 0.25f, 20.0 }, Case { 0.4999f, 20.0 }, Case { 0.5f, 40.0 },
                           Case { 0.7499f, 40.0 }, Case { 0.75f, 80.0 }, Case { 1.0f, 80.0 } })
    {
        auto p = makeProcessor();
        setParameter (*p, kHighPass, k.value);

        // Fourth order Butterworth: two sections, each 3.01 dB down at the cutoff.
        EXPECT_NEAR (sineGainDb (*p, k.cutoff, 0.25f), -6.0206, 0.02) << k.value;
        EXPECT_NEAR (sineGainDb (*p, k.cutoff * 8.0, 0.25f), 0.0, 0.01) << k.value;
        EXPECT_LT (sineGainDb (*p, k.cutoff / 4.0, 0.25f), -40.0) << k.value;
    }
}

TEST (HighPass, IsOffBelowTheFirstQuarterAndBelowHalfPower)
{
    {
        auto p = makeProcessor();
        setParameter (*p, kHighPass, 0.2499f);
        EXPECT_NEAR (sineGainDb (*p, 20.0, 0.25f), 0.0, 0.01);
    }
    {
        auto p = makeProcessor();
        setParameter (*p, kHighPass, 0.0f);
        EXPECT_NEAR (sineGainDb (*p, 10.0, 0.25f), 0.0, 0.01);
    }
    {
        // Power below one half switches the stage off whatever the position.
        auto p = makeProcessor();
        setParameter (*p, kHighPass, 1.0f);
        setParameter (*p, kPower, 0.49f);
        EXPECT_NEAR (sineGainDb (*p, 80.0, 0.25f), 0.0, 0.01);
        setParameter (*p, kPower, 0.5f);
        EXPECT_NEAR (sineGainDb (*p, 80.0, 0.25f), -6.0206, 0.02);
    }
}

class HighPassSwitching : public ::testing::TestWithParam<int> {};

TEST_P (HighPassSwitching, FadesOutToExactlyDryWithin256SamplesAndBackIn)
{
    const int blockSize = GetParam();
    auto p = makeProcessor();
    const int latency = p->getLatencySamples();

    // DC through the high-pass at 80 Hz: filtered it is gone, dry it is 1, so the output is
    // 1 - mix. Power switches the stage while its cutoff stays where it is.
    setParameter (*p, kHighPass, 0.75f);
    Channels settle (2, constant (1.0f, 48000));
    process (*p, settle, blockSize);
    ASSERT_NEAR (settle[0].back(), 0.0f, 1.0e-4f);

    setParameter (*p, kPower, 0.4f);
    Channels off (2, constant (1.0f, 2048));
    process (*p, off, blockSize);

    // The mix falls linearly from 1 to 0 over 256 samples, however the blocks fall, and then
    // rests at exactly 0: the output is the dry signal.
    EXPECT_NEAR (off[0][(size_t) latency + 63], 64.0f / 256.0f, 1.0e-3f);
    EXPECT_NEAR (off[0][(size_t) latency + 127], 0.5f, 1.0e-3f);
    EXPECT_NEAR (off[0][(size_t) latency + 191], 192.0f / 256.0f, 1.0e-3f);

    for (size_t i = (size_t) latency + 255; i < off[0].size(); ++i)
    {
        ASSERT_NEAR (off[0][i], 1.0f, 1.0e-5f) << i;
        ASSERT_NEAR (off[1][i], 1.0f, 1.0e-5f) << i;
    }

    // Switching on ramps back to the filtered signal over 256 samples too.
    setParameter (*p, kPower, 1.0f);
    Channels on (2, constant (1.0f, 2048));
    process (*p, on, blockSize);
    EXPECT_NEAR (on[0][(size_t) latency + 127], 0.5f, 1.0e-3f);

    for (size_t i = (size_t) latency + 255; i < on[0].size(); ++i)
        ASSERT_NEAR (on[0][i], 0.0f, 1.0e-4f) << i;
}

INSTANTIATE_TEST_SUITE_P (BlockSizes, HighPassSwitching, ::testing::Values (1, 16, 100, 256, 1024));

TEST (HighPass, MixStillRampsOver256SamplesAfterAStateLoad)
{
    auto p = makeProcessor();
    const int latency = p->getLatencySamples();

    setParameter (*p, kHighPass, 1.0f);
    setParameter (*p, kPower, 0.4f);
    Channels settle (2, constant (1.0f, 48000));
    process (*p, settle, 480);
    ASSERT_NEAR (settle[0].back(), 1.0f, 1.0e-5f);

    // The load switches the stage on: other values apply at once, the mix takes 256 samples.
    auto values = defaultValues();
    values[kHighPass] = 1.0f;
    const auto blob = blobOf (values);
    p->setStateInformation (blob.data(), (int) blob.size());

    Channels c (2, constant (1.0f, 1024));
    process (*p, c, 64);
    EXPECT_NEAR (c[0][(size_t) latency], 255.0f / 256.0f, 1.0e-3f);
    EXPECT_NEAR (c[0][(size_t) latency + 127], 0.5f, 1.0e-3f);
    EXPECT_NEAR (c[0][(size_t) latency + 255], 0.0f, 1.0e-4f);
}

//==============================================================================
TEST (ParameterRamps, ReachANewValueExactlyOnTheBlocksLastSample)
{
    auto p = makeProcessor();

    // Settle DC through the flat chain, so that the output is the output gain itself.
    Channels settle (2, constant (1.0f, 2048));
    process (*p, settle, 512);
    ASSERT_NEAR (settle[0].back(), 1.0f, 1.0e-5f);

    const int n = 64;
    setParameter (*p, kOutputGain, 0.75f);    // 0 dB -> +12 dB
    Channels c (2, constant (1.0f, n));
    processOneBlock (*p, c, 0, n);

    // A linear ramp in dB over the block, one step per sample.
    for (int k = 0; k < n; ++k)
    {
        const double db = 12.0 * (k + 1) / n;
        EXPECT_NEAR (c[0][(size_t) k], std::pow (10.0, db / 20.0), 1.0e-4) << k;
    }

    EXPECT_NEAR (c[0][n - 1], 3.98107f, 1.0e-4f);

    // The next block holds the new value.
    Channels d (2, constant (1.0f, n));
    processOneBlock (*p, d, 0, n);
    EXPECT_NEAR (d[0][0], 3.98107f, 1.0e-4f);
    EXPECT_NEAR (d[0][n - 1], 3.98107f, 1.0e-4f);
}

TEST (ParameterRamps, AnEmptyBlockMakesTheNextSampleTakeTheNewValueAtOnce)
{
    auto p = makeProcessor();
    Channels settle (2, constant (1.0f, 2048));
    process (*p, settle, 512);

    int numChannels = 0;
    p->getPeak (numChannels);
    numChannels = 0;

    setParameter (*p, kOutputGain, 0.25f);    // -12 dB
    Channels none (2, constant (1.0f, 1));
    processOneBlock (*p, none, 0, 0);

    // The empty block still counts as a block for the meters: it carries no level.
    const auto levels = p->getPeak (numChannels);
    EXPECT_EQ (numChannels, 2);
    EXPECT_NEAR (levels[0], -100.0f, 0.01f);
    EXPECT_NEAR (levels[2], -100.0f, 0.01f);

    Channels c (2, constant (1.0f, 64));
    processOneBlock (*p, c, 0, 64);
    EXPECT_NEAR (c[0][0], 0.251189f, 1.0e-5f);
    EXPECT_NEAR (c[0][63], 0.251189f, 1.0e-5f);
}
