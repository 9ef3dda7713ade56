#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DspTestSignals.h"
#include "HPFilter.h"

namespace
{
    /** Runs channel 0 of a prepared filter; channel 1 carries the same signal. */
    DspTest::MonoProcess channelZero (HPFilter& filter)
    {
        return [&filter] (float x)
        {
            float frame[2] = { x, x };
            filter.processFrame (frame, 2);
            return frame[0];
        };
    }

    void setCutoff (HPFilter& filter, float hz)
    {
        filter.cutoff.setTarget (hz);
        filter.cutoff.snap();
    }
}

TEST (HPFilter, SixDecibelsDownAtTheCutoff)
{
    for (double sr : { 44100.0, 96000.0 })
    {
        for (float cutoff : { 20.0f, 40.0f, 80.0f })
        {
            HPFilter filter;
            filter.setSampleRate (sr);
            setCutoff (filter, cutoff);

            const double gainDb = DspTest::toDb (DspTest::measureGain (channelZero (filter), sr, cutoff, 2.0, 2.0));
            EXPECT_NEAR (gainDb, -6.0206, 0.01) << cutoff << " Hz at " << sr;
        }
    }
}

TEST (HPFilter, FourthOrderSlopeBelowAndFlatPassBand)
{
    HPFilter filter;
    filter.setSampleRate (48000.0);
    setCutoff (filter, 80.0f);

    // Two identical second-order Butterworth sections in series: |H| = x^4 / (1 + x^4) with
    // x = f / fc, so an octave below the cutoff the stage passes 1/17 (-24.6 dB).
    EXPECT_NEAR (DspTest::toDb (DspTest::measureGain (channelZero (filter), 48000.0, 40.0, 2.0, 2.0)), DspTest::toDb (1.0 / 17.0), 0.02);
    EXPECT_NEAR (DspTest::toDb (DspTest::measureGain (channelZero (filter), 48000.0, 1000.0, 0.5, 0.5)), 0.0, 0.01);
}

TEST (HPFilter, DCDecaysToZero)
{
    HPFilter filter;
    filter.setSampleRate (44100.0);
    setCutoff (filter, 20.0f);

    float last = 1.0f;

    for (int i = 0; i < 44100; ++i)
        last = channelZero (filter) (1.0f);

    EXPECT_LT (std::fabs (last), 1.0e-4f);
}

TEST (HPFilter, SilenceGivesTinyDecayingOutputNotExactZeros)
{
    HPFilter filter;
    filter.setSampleRate (44100.0);
    setCutoff (filter, 20.0f);

    float frame[2] = { 0.0f, 0.0f };
    filter.processFrame (frame, 2);
    EXPECT_NE (frame[0], 0.0f);
    EXPECT_LT (std::fabs (frame[0]), 1.0e-5f);
    EXPECT_EQ (frame[0], frame[1]);

    for (int i = 0; i < 44100 * 4; ++i)
    {
        frame[0] = frame[1] = 0.0f;
        filter.processFrame (frame, 2);
    }

    EXPECT_LT (std::fabs (frame[0]), 1.0e-9f);
}

TEST (HPFilter, BothChannelsAreFilteredWhateverNumChannelsSays)
{
    HPFilter a, b;
    a.setSampleRate (44100.0);
    b.setSampleRate (44100.0);

    for (int i = 0; i < 100; ++i)
    {
        float fa[2] = { 0.3f, -0.7f }, fb[2] = { 0.3f, -0.7f };
        a.processFrame (fa, 1);
        b.processFrame (fb, 2);
        EXPECT_EQ (fa[0], fb[0]);
        EXPECT_EQ (fa[1], fb[1]);
        EXPECT_NE (fa[1], -0.7f);
    }
}

TEST (HPFilter, CutoffRampMovesLinearlyFrameByFrame)
{
    HPFilter ramped, stepped;
    ramped.setSampleRate (44100.0);
    stepped.setSampleRate (44100.0);
    setCutoff (ramped, 20.0f);

    ramped.cutoff.setStepsToTarget (4);
    ramped.cutoff.setTarget (80.0f);

    // The same signal through a filter whose cutoff is snapped to each expected ramp value.
    for (int i = 1; i <= 6; ++i)
    {
        const float expectedCutoff = i <= 4 ? 20.0f + 15.0f * (float) i : 80.0f;
        setCutoff (stepped, expectedCutoff);

        float fr[2] = { 0.5f, 0.25f }, fs[2] = { 0.5f, 0.25f };
        ramped.processFrame (fr, 2);
        stepped.processFrame (fs, 2);
        EXPECT_EQ (fr[0], fs[0]) << i;
    }
}

TEST (HPFilter, SetSampleRateClearsStateAndSnapsTheCutoff)
{
    HPFilter filter, fresh;
    filter.setSampleRate (44100.0);
    filter.cutoff.setStepsToTarget (512);
    filter.cutoff.setTarget (80.0f);

    for (int i = 0; i < 100; ++i)
        channelZero (filter) (0.9f);

    filter.setSampleRate (48000.0);
    EXPECT_EQ (filter.cutoff.current, 80.0f);
    EXPECT_EQ (filter.cutoff.countdown, 0);

    fresh.setSampleRate (48000.0);
    setCutoff (fresh, 80.0f);

    for (int i = 0; i < 10; ++i)
        EXPECT_EQ (channelZero (filter) (0.5f), channelZero (fresh) (0.5f));
}

TEST (HPFilter, NonFiniteStateIsDetectedAndResetClearsOnlyTheState)
{
    HPFilter filter;
    filter.setSampleRate (44100.0);
    filter.cutoff.setStepsToTarget (1000);
    filter.cutoff.setTarget (40.0f);
    EXPECT_TRUE (filter.isFinite());

    float frame[2] = { std::numeric_limits<float>::quiet_NaN(), 0.5f };
    filter.processFrame (frame, 2);
    EXPECT_FALSE (filter.isFinite());

    frame[0] = frame[1] = 0.25f;
    filter.processFrame (frame, 2);
    EXPECT_TRUE (std::isnan (frame[0]));   // latched until reset

    const auto rampBefore = filter.cutoff.countdown;
    filter.reset();
    EXPECT_TRUE (filter.isFinite());
    EXPECT_EQ (filter.cutoff.countdown, rampBefore);

    frame[0] = frame[1] = 0.25f;
    filter.processFrame (frame, 2);
    EXPECT_TRUE (std::isfinite (frame[0]));
    EXPECT_TRUE (std::isfinite (frame[1]));

    float infinite[2] = { std::numeric_limits<float>::infinity(), 0.0f };
    filter.processFrame (infinite, 2);
    filter.processFrame (infinite, 2);
    EXPECT_FALSE (filter.isFinite());
}

TEST (HPFilter, CutoffIsLimitedBelowNyquist)
{
    HPFilter filter;
    filter.setSampleRate (22050.0);
    EXPECT_EQ (filter.limitCutoff (80.0), 80.0);
    EXPECT_EQ (filter.limitCutoff (20000.0), 0.45 * 22050.0);
    EXPECT_EQ (filter.limitCutoff (std::numeric_limits<double>::quiet_NaN()), 0.45 * 22050.0);

    // A cutoff request far above Nyquist still gives a stable, finite filter.
    setCutoff (filter, 30000.0f);
    DspTest::Noise noise;
    float frame[2];

    for (int i = 0; i < 22050; ++i)
    {
        frame[0] = frame[1] = noise.next();
        filter.processFrame (frame, 2);
        ASSERT_LT (std::fabs (frame[0]), 10.0f);
    }

    EXPECT_TRUE (filter.isFinite());
}
