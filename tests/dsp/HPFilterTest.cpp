#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DspTestSignals.h"
#include "HPFilter.h"

namespace
{
    /** A filter prepared for a rate with its cutoff snapped. */
    struct Prepared : HPFilter
    {
        explicit Prepared (double sr, float hz = 20.0f)
        {
            setSampleRate (sr);
            cutoff.setTarget (hz);
            cutoff.snap();
        }

        /** Channel 0's output; channel 1 carries the same signal. */
        float operator() (float x)
        {
            float frame[2] = { x, x };
            processFrame (frame, 2);
            return frame[0];
        }
    };

    double gainDb (Prepared& filter, double sr, double f, double seconds = 2.0)
    {
        return DspTest::toDb (DspTest::measureGain (std::ref (filter), sr, f, seconds, seconds));
    }
}

TEST (HPFilter, SixDecibelsDownAtTheCutoff)
{
    for (double sr : { 44100.0, 96000.0 })
    {
        for (float cutoff : { 20.0f, 40.0f, 80.0f })
        {
            Prepared filter (sr, cutoff);
            EXPECT_NEAR (gainDb (filter, sr, cutoff), -6.0206, 0.01) << cutoff << " Hz at " << sr;
        }
    }
}

TEST (HPFilter, FourthOrderSlopeBelowAndFlatPassBand)
{
    // Two identical second-order Butterworth sections in series: |H| = x^4 / (1 + x^4) with
    // x = f / fc, so an octave below the cutoff the stage passes 1/17 (-24.6 dB).
    Prepared below (48000.0, 80.0f), above (48000.0, 80.0f);
    EXPECT_NEAR (gainDb (below, 48000.0, 40.0), DspTest::toDb (1.0 / 17.0), 0.02);
    EXPECT_NEAR (gainDb (above, 48000.0, 1000.0, 0.5), 0.0, 0.01);
}

TEST (HPFilter, SilenceGivesTinyDecayingOutputNotExactZeros)
{
    Prepared filter (44100.0);
    float frame[2] = { 0.0f, 0.0f };
    filter.processFrame (frame, 2);
    EXPECT_NE (frame[0], 0.0f);
    EXPECT_LT (std::fabs (frame[0]), 1.0e-5f);
    EXPECT_EQ (frame[0], frame[1]);

    for (int i = 0; i < 44100 * 4; ++i)
        frame[0] = filter (0.0f);

    EXPECT_LT (std::fabs (frame[0]), 1.0e-9f);
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
    EXPECT_TRUE (std::isfinite (frame[0]) && std::isfinite (frame[1]));

    float infinite[2] = { std::numeric_limits<float>::infinity(), 0.0f };
    filter.processFrame (infinite, 2);
    filter.processFrame (infinite, 2);
    EXPECT_FALSE (filter.isFinite());
}

TEST (HPFilter, CutoffIsLimitedBelowNyquist)
{
    Prepared filter (22050.0, 30000.0f);
    EXPECT_EQ (filter.limitCutoff (80.0), 80.0);
    EXPECT_EQ (filter.limitCutoff (20000.0), 0.45 * 22050.0);
    EXPECT_EQ (filter.limitCutoff (std::numeric_limits<double>::quiet_NaN()), 0.45 * 22050.0);

    // A cutoff request far above Nyquist still gives a stable, finite filter.
    DspTest::Noise noise;

    for (int i = 0; i < 22050; ++i)
        ASSERT_LT (std::fabs (filter (noise.next())), 10.0f);

    EXPECT_TRUE (filter.isFinite());
}
