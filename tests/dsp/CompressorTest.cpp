#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <type_traits>

#include "VLCompressorSIMD.h"

using Corvanite::v4f;

static_assert (! std::is_copy_constructible_v<VLCompressorSIMD> && ! std::is_copy_assignable_v<VLCompressorSIMD>,
               "the compressor owns its delay line");

TEST (Compressor, TimeCoefficientsAt44100)
{
    VLCompressorSIMD c;
    EXPECT_NEAR (c.getAttackCoefficient()[0], 0.0045249f, 1.0e-7f);
    EXPECT_NEAR (c.getReleaseCoefficient()[0], 0.0011331f, 1.0e-7f);

    // 1 - exp (-1 / (t * sr)) for other times and rates.
    c.setSampleRate (48000.0f);
    c.setAttack (0.001f);
    EXPECT_NEAR (c.getAttackCoefficient()[3], 1.0 - std::exp (-1.0 / 48.0), 1.0e-6);
    EXPECT_NEAR (c.getReleaseCoefficient()[3], 1.0 - std::exp (-1.0 / 960.0), 1.0e-7);
}

TEST (Compressor, RatioOneNeverReduces)
{
    VLCompressorSIMD c;
    c.setThreshold (-60.0f);
    c.reset();

    for (float x : { 0.0f, 1.0e-6f, 0.5f, -1.0f, 100.0f, -3.0e4f })
        EXPECT_TRUE (Corvanite::bitsEqual (c.processSidechain (v4f (x, -x, x * 0.5f, 0.0f)), v4f (1.0f))) << x;
}

TEST (Compressor, ConstantLevelAboveThresholdSettlesAtTheRatiosReduction)
{
    VLCompressorSIMD c;
    c.setThreshold (-20.0f);
    c.setRatio (4.0f);

    // -10 dB in: 10 dB over, 7.5 dB of reduction, so the envelope heads for 7.5^2 = 56.25
    // along the attack coefficient's exponential.
    const float level = 0.31622776f;
    const double attack = c.getAttackCoefficient()[0];

    for (int n = 1; n <= 2000; ++n)
    {
        const v4f gain = c.processSidechain (v4f (level));

        if (n == 100 || n == 441 || n == 2000)
        {
            const double expected = 56.25 * (1.0 - std::pow (1.0 - attack, n));
            EXPECT_NEAR (c.getEnvelope()[0], expected, 1.0e-3 * 56.25) << n;
            EXPECT_NEAR (gain[0], std::pow (10.0, -std::sqrt (expected) / 20.0), 1.0e-4) << n;
        }
    }

    for (int n = 0; n < 20000; ++n)
        c.processSidechain (v4f (level));

    EXPECT_NEAR (c.getEnvelope()[0], 56.25f, 1.0e-3f);
    EXPECT_NEAR (c.processSidechain (v4f (level))[0], 0.4216965f, 1.0e-5f);   // 10^(-7.5/20)

    // Below the threshold the envelope falls along the release coefficient and the gain recovers.
    const double release = c.getReleaseCoefficient()[0];
    const double start = c.getEnvelope()[0];

    for (int n = 1; n <= 882; ++n)
        c.processSidechain (v4f (0.01f));

    EXPECT_NEAR (c.getEnvelope()[0], start * std::pow (1.0 - release, 882), 1.0e-3);

    for (int n = 0; n < 40000; ++n)
        c.processSidechain (v4f (0.01f));

    EXPECT_NEAR (c.processSidechain (v4f (0.0f))[0], 1.0f, 1.0e-6f);
}

TEST (Compressor, LanesAreIndependent)
{
    VLCompressorSIMD c;
    c.setThreshold (-30.0f);
    c.setRatio (2.0f);

    v4f gain;

    for (int n = 0; n < 10000; ++n)
        gain = c.processSidechain (v4f (n % 2 ? 0.5f : -0.5f, 0.0f, 0.01f, 0.0f));

    // Lane 0: -6 dB in, 24 dB over, 12 dB of reduction at 2:1; the others are below threshold.
    EXPECT_NEAR (gain[0], std::pow (10.0, -(30.0 - 20.0 * std::log10 (2.0)) / 2.0 / 20.0), 1.0e-4);
    EXPECT_EQ (gain[1], 1.0f);
    EXPECT_EQ (gain[2], 1.0f);
    EXPECT_EQ (gain[3], 1.0f);
}

TEST (Compressor, LookAheadDelayIsTheRoundedUpDelayInSamples)
{
    struct Case { float sampleRate; int delay; };

    for (const Case& c : { Case { 44100.0f, 89 }, Case { 48000.0f, 96 }, Case { 88200.0f, 177 },
                           Case { 96000.0f, 192 }, Case { 22050.0f, 45 } })
    {
        VLCompressorSIMD comp;
        comp.setLookAhead (0.002f);
        comp.setSampleRate (c.sampleRate);
        EXPECT_EQ (comp.getDelaySamples(), c.delay);
        EXPECT_EQ (VLCompressorSIMD::delayForLookAhead (0.002f, c.sampleRate), c.delay);

        // Every lane comes out exactly D calls later, across many wraps of the line.
        for (int n = 0; n < 3 * VLCompressorSIMD::bufferSize + 1000; ++n)
        {
            const v4f out = comp.delay (v4f ((float) n + 1.0f, -2.0f * (float) n - 2.0f, 0.0f, 3.0f * (float) n + 3.0f));
            const float due = n >= c.delay ? (float) (n - c.delay + 1) : 0.0f;
            ASSERT_TRUE (out[0] == due && out[1] == -2.0f * due && out[2] == 0.0f && out[3] == 3.0f * due)
                << c.sampleRate << " call " << n;
        }
    }
}

TEST (Compressor, ResetClearsTheLineAndTheEnvelopeOnly)
{
    VLCompressorSIMD comp;
    comp.setLookAhead (0.002f);
    comp.setSampleRate (48000.0f);
    comp.setRatio (4.0f);
    comp.setThreshold (-20.0f);

    for (int n = 0; n < 500; ++n)
    {
        comp.delay (v4f (1.0f));
        comp.processSidechain (v4f (1.0f));
    }

    comp.reset();
    EXPECT_TRUE (Corvanite::bitsEqual (comp.getEnvelope(), v4f (0.0f)));
    EXPECT_EQ (comp.getDelaySamples(), 96);

    for (int n = 0; n < 96; ++n)
        ASSERT_EQ (comp.delay (v4f (5.0f))[0], 0.0f) << n;

    EXPECT_EQ (comp.delay (v4f (5.0f))[0], 5.0f);
}

TEST (Compressor, NonFiniteLineOrEnvelopeIsDetected)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();

    VLCompressorSIMD comp;
    comp.setLookAhead (0.002f);
    comp.setSampleRate (44100.0f);     // D = 89
    EXPECT_TRUE (comp.isFinite());

    // Blocks written as the band writes them, each followed by a check; badFrame gets `bad`.
    const auto blockThenCheck = [&comp] (int numFrames, int badFrame, float bad)
    {
        __m128 frames[64];

        for (int i = 0; i < numFrames; ++i)
            frames[i] = v4f (0.25f, i == badFrame ? bad : -0.5f, 0.0f, 0.0f).v;

        comp.delayBlock (frames, frames, numFrames);
        return comp.isFinite();
    };

    struct Step { int numFrames, badFrame; float bad; bool finite; const char* what; };

    for (const Step& step : { Step { 16, -1, 0.0f, true, "finite block" },
                              Step { 16, 7, nan, false, "NaN in the middle of a block" },
                              Step { 8, -1, 0.0f, false, "16 frames later, found again without a reset" },
                              Step { 64, -1, 0.0f, false, "80 frames later" },
                              Step { 8, -1, 0.0f, false, "88 frames later, still due to be read" },
                              Step { 1, -1, 0.0f, true, "89 frames later, read: no longer counts" },
                              Step { 16, 15, inf, false, "infinity in the last frame" } })
        EXPECT_EQ (blockThenCheck (step.numFrames, step.badFrame, step.bad), step.finite) << step.what;

    comp.reset();
    EXPECT_TRUE (comp.isFinite());

    // A finite state stays finite, around the line more than once.
    for (int block = 0; block < 2 * VLCompressorSIMD::bufferSize / 16; ++block)
        ASSERT_TRUE (blockThenCheck (16, -1, 0.0f)) << block;

    comp.setEnvelope (v4f (0.0f, inf, 0.0f, 0.0f));
    EXPECT_FALSE (comp.isFinite());
    comp.reset();
    EXPECT_TRUE (comp.isFinite());

    // Restarting the positions brings old entries back within reach: they are checked too.
    VLCompressorSIMD restarted;
    restarted.setLookAhead (0.002f);
    restarted.setSampleRate (44100.0f);

    for (int n = 0; n < VLCompressorSIMD::bufferSize + 89; ++n)
        restarted.delay (v4f (n == VLCompressorSIMD::bufferSize - 1 ? nan : 0.0f));

    EXPECT_TRUE (restarted.isFinite());
    restarted.setLookAhead (0.002f);    // the last slot of the line is due again
    EXPECT_FALSE (restarted.isFinite());
}

TEST (Compressor, ExcessiveLookAheadIsLimitedToTheLine)
{
    VLCompressorSIMD comp;
    comp.setSampleRate (192000.0f);
    comp.setLookAhead (1.0f);                       // 192000 samples: more than the line holds
    EXPECT_EQ (comp.getDelaySamples(), VLCompressorSIMD::bufferSize - 1);

    comp.setLookAhead (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (comp.getDelaySamples(), 0);
    EXPECT_EQ (comp.delay (v4f (7.0f))[0], 7.0f);    // no delay: the input comes straight out

    comp.setLookAhead (-1.0f);
    EXPECT_EQ (comp.getDelaySamples(), 0);
}
