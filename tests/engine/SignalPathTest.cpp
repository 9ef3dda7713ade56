// The processing chain as a whole: its delay, its gains, the high-pass positions and the way
// parameter changes move through a block.

#include "ProcessorTestSupport.h"

using namespace quillo::test;

//==============================================================================
TEST (ProcessorLatency, IsTheDelayOfTheChainAndDelaysAnImpulseByExactlyThat)
{
    for (const auto& [sampleRate, latency] : { std::pair { 44100.0, 178 }, std::pair { 48000.0, 192 },
                                               std::pair { 88200.0, 354 }, std::pair { 96000.0, 384 } })
    {
        auto p = makeProcessor (sampleRate);
        EXPECT_EQ (p->getLatencySamples(), latency);

        Channels c { std::vector<float> (2048, 0.0f), std::vector<float> (2048, 0.0f) };
        c[0][0] = 0.5f;
        c[1][0] = -0.25f;
        process (*p, c, 512);

        // With every band flat nothing else comes out but rounding.
        for (size_t i = 0; i < c[0].size(); ++i)
        {
            const bool due = (int) i == latency;
            ASSERT_NEAR (c[0][i], due ? 0.5f : 0.0f, 1.0e-4f) << sampleRate << ": " << i;
            ASSERT_NEAR (c[1][i], due ? -0.25f : 0.0f, 1.0e-4f) << sampleRate << ": " << i;
        }
    }
}

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
    // Power below one half switches the stage off whatever the position.
    const struct { float value, power; double frequency, expectedDb; } cases[] = {
        { 0.2499f, 1.0f, 20.0, 0.0 }, { 0.0f, 1.0f, 10.0, 0.0 }, { 1.0f, 0.49f, 80.0, 0.0 }, { 1.0f, 0.5f, 80.0, -6.0206 },
    };

    for (const auto& k : cases)
    {
        auto p = makeProcessor();
        setParameter (*p, kHighPass, k.value);
        setParameter (*p, kPower, k.power);
        EXPECT_NEAR (sineGainDb (*p, k.frequency, 0.25f), k.expectedDb, k.expectedDb == 0.0 ? 0.01 : 0.02) << k.value << " " << k.power;
    }
}

TEST (HighPass, FadesOutToExactlyDryWithin256SamplesAndBackInWhateverTheBlockSize)
{
    for (int blockSize : { 1, 16, 100, 256, 1024 })
    {
        SCOPED_TRACE (blockSize);
        auto p = makeProcessor();
        const size_t latency = (size_t) p->getLatencySamples();

        // DC through the high-pass at 80 Hz: filtered it is gone, dry it is 1, so the output is
        // 1 - mix. Power switches the stage while its cutoff stays where it is.
        setParameter (*p, kHighPass, 0.75f);
        Channels settle (2, constant (1.0f, 48000)), off (2, constant (1.0f, 2048)), on = off;
        process (*p, settle, blockSize);
        ASSERT_NEAR (settle[0].back(), 0.0f, 1.0e-4f);

        setParameter (*p, kPower, 0.4f);
        process (*p, off, blockSize);

        // The mix falls linearly from 1 to 0 over 256 samples, however the blocks fall, and then
        // rests at exactly 0: the output is the dry signal.
        EXPECT_NEAR (off[0][latency + 63], 64.0f / 256.0f, 1.0e-3f);
        EXPECT_NEAR (off[0][latency + 127], 0.5f, 1.0e-3f);
        EXPECT_NEAR (off[0][latency + 191], 192.0f / 256.0f, 1.0e-3f);

        for (size_t i = latency + 255; i < off[0].size(); ++i)
        {
            ASSERT_NEAR (off[0][i], 1.0f, 1.0e-5f) << i;
            ASSERT_NEAR (off[1][i], 1.0f, 1.0e-5f) << i;
        }

        // Switching on ramps back to the filtered signal over 256 samples too.
        setParameter (*p, kPower, 1.0f);
        process (*p, on, blockSize);
        EXPECT_NEAR (on[0][latency + 127], 0.5f, 1.0e-3f);

        for (size_t i = latency + 255; i < on[0].size(); ++i)
            ASSERT_NEAR (on[0][i], 0.0f, 1.0e-4f) << i;
    }
}

TEST (HighPass, AStateLoadAppliesOtherValuesAtOnceAndTheMixOver256Samples)
{
    auto p = makeProcessor();
    const int latency = p->getLatencySamples();

    setParameter (*p, kHighPass, 1.0f);
    setParameter (*p, kPower, 0.4f);
    Channels settle (2, constant (1.0f, 48000));
    process (*p, settle, 480);
    ASSERT_NEAR (settle[0].back(), 1.0f, 1.0e-5f);

    // The load switches the stage on and the output gain to +12 dB: no ramp for the gain, so the
    // first sample of the next block already has it; the mix still takes 256 samples.
    auto values = defaultValues();
    values[kHighPass] = 1.0f;
    values[kOutputGain] = 0.75f;
    const auto blob = blobOf (values);
    p->setStateInformation (blob.data(), (int) blob.size());

    Channels c (2, constant (1.0f, 1024));
    process (*p, c, 64);
    const float gain = 3.98107f;
    EXPECT_NEAR (c[0][0], gain, 1.0e-4f);
    EXPECT_NEAR (c[1][63], gain, 1.0e-4f);
    EXPECT_NEAR (c[0][(size_t) latency], gain * 255.0f / 256.0f, 1.0e-3f);
    EXPECT_NEAR (c[0][(size_t) latency + 127], gain * 0.5f, 1.0e-3f);
    EXPECT_NEAR (c[0][(size_t) latency + 255], 0.0f, 1.0e-4f);
}

//==============================================================================
TEST (ParameterRamps, ReachANewValueExactlyOnTheBlocksLastSampleOrAtOnceAfterAnEmptyBlock)
{
    auto p = makeProcessor();
    int numChannels = 0;

    // Settle DC through the flat chain, so that the output is the output gain itself.
    Channels settle (2, constant (1.0f, 2048));
    process (*p, settle, 512);
    ASSERT_NEAR (settle[0].back(), 1.0f, 1.0e-5f);

    const int n = 64;
    setParameter (*p, kOutputGain, 0.75f);    // 0 dB -> +12 dB
    Channels c (2, constant (1.0f, n)), d = c, e = c;
    processOneBlock (*p, c, 0, n);

    // A linear ramp in dB over the block, one step per sample; the next block holds the value.
    for (int k = 0; k < n; ++k)
        EXPECT_NEAR (c[0][(size_t) k], std::pow (10.0, 12.0 * (k + 1) / n / 20.0), 1.0e-4) << k;

    processOneBlock (*p, d, 0, n);
    EXPECT_NEAR (d[0][0], 3.98107f, 1.0e-4f);
    EXPECT_NEAR (d[0][n - 1], 3.98107f, 1.0e-4f);

    // An empty block: the next sample takes the new value at once. It still counts as a block
    // for the meters, and carries no level.
    p->getPeak (numChannels);
    setParameter (*p, kOutputGain, 0.25f);    // -12 dB
    processOneBlock (*p, e, 0, 0);
    const auto levels = p->getPeak (numChannels);
    EXPECT_EQ (numChannels, 2);
    EXPECT_NEAR (levels[0], -100.0f, 0.01f);
    EXPECT_NEAR (levels[2], -100.0f, 0.01f);

    processOneBlock (*p, e, 0, n);
    EXPECT_NEAR (e[0][0], 0.251189f, 1.0e-5f);
    EXPECT_NEAR (e[0][n - 1], 0.251189f, 1.0e-5f);
}
