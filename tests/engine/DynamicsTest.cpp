#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "DynamicFilter.h"
#include "VLCompressorSIMD.h"

using Corvanite::v4f;

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

TEST (Compressor, ConstantLevelAboveThresholdSettlesAtTheRatiosReduction)
{
    VLCompressorSIMD c;
    c.setThreshold (-20.0f);
    c.setRatio (4.0f);

    // -10 dB in: 10 dB over, 7.5 dB of reduction, so the envelope heads for 7.5^2 = 56.25 along
    // the attack coefficient's exponential; below the threshold it falls along the release's.
    const double attack = c.getAttackCoefficient()[0], release = c.getReleaseCoefficient()[0];
    v4f gain;

    for (int n = 1; n <= 441; ++n)
        gain = c.processSidechain (v4f (0.31622776f, 0.31622776f, 0.01f, 0.0f));

    const double expected = 56.25 * (1.0 - std::pow (1.0 - attack, 441));
    EXPECT_NEAR (c.getEnvelope()[0], expected, 1.0e-3 * 56.25);
    EXPECT_NEAR (gain[0], std::pow (10.0, -std::sqrt (expected) / 20.0), 1.0e-4);

    for (int n = 0; n < 20000; ++n)
        gain = c.processSidechain (v4f (0.31622776f, 0.31622776f, 0.01f, 0.0f));

    EXPECT_NEAR (c.getEnvelope()[0], 56.25f, 1.0e-3f);
    EXPECT_NEAR (gain[0], 0.4216965f, 1.0e-5f);   // 10^(-7.5/20)
    EXPECT_EQ (gain[2], 1.0f);                    // the lanes are independent
    EXPECT_EQ (gain[3], 1.0f);

    const double start = c.getEnvelope()[0];

    for (int n = 1; n <= 882; ++n)
        c.processSidechain (v4f (0.01f));

    EXPECT_NEAR (c.getEnvelope()[0], start * std::pow (1.0 - release, 882), 1.0e-3);
}

TEST (Compressor, LookAheadDelayIsTheRoundedUpDelayInSamples)
{
    for (const auto& [sampleRate, delay] :
         { std::pair { 44100.0f, 89 }, std::pair { 48000.0f, 96 }, std::pair { 88200.0f, 177 },
           std::pair { 96000.0f, 192 }, std::pair { 22050.0f, 45 } })
    {
        VLCompressorSIMD comp;
        comp.setLookAhead (0.002f);
        comp.setSampleRate (sampleRate);
        EXPECT_EQ (comp.getDelaySamples(), delay);
        EXPECT_EQ (DynamicFilter::latencySamples (sampleRate), delay);

        // Every lane comes out exactly D calls later, across many wraps of the line.
        for (int n = 0; n < 3 * VLCompressorSIMD::bufferSize + 1000; ++n)
        {
            const v4f out =
                comp.delay (v4f ((float) n + 1.0f, -2.0f * (float) n - 2.0f, 0.0f, 3.0f * (float) n + 3.0f));
            const float due = n >= delay ? (float) (n - delay + 1) : 0.0f;
            ASSERT_TRUE (out[0] == due && out[1] == -2.0f * due && out[2] == 0.0f && out[3] == 3.0f * due)
                << sampleRate << " call " << n;
        }
    }
}

TEST (Compressor, ANonFiniteEntryOfTheLineCountsUntilItHasBeenRead)
{
    VLCompressorSIMD comp;
    comp.setLookAhead (0.002f);
    comp.setSampleRate (44100.0f);   // D = 89
    comp.delay (v4f (0.25f, std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f));

    for (int n = 1; n < 89; ++n)   // found again and again while it is still due
        ASSERT_FALSE ((comp.delay (v4f (0.25f)), comp.isFinite())) << n;

    comp.delay (v4f (0.25f));
    EXPECT_TRUE (comp.isFinite());
    comp.setEnvelope (v4f (0.0f, std::numeric_limits<float>::infinity(), 0.0f, 0.0f));
    EXPECT_FALSE (comp.isFinite());
}

TEST (Compressor, ExcessiveLookAheadIsLimitedToTheLine)
{
    VLCompressorSIMD comp;
    comp.setSampleRate (192000.0f);
    comp.setLookAhead (1.0f);   // 192000 samples: more than the line holds
    EXPECT_EQ (comp.getDelaySamples(), VLCompressorSIMD::bufferSize - 1);

    for (float bad : { std::numeric_limits<float>::quiet_NaN(), -1.0f })
    {
        comp.setLookAhead (bad);
        EXPECT_EQ (comp.getDelaySamples(), 0);
        EXPECT_EQ (comp.delay (v4f (7.0f))[0], 7.0f);   // no delay: the input comes straight out
    }
}
