#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "DspTestSignals.h"
#include "DynamicFilter.h"

namespace
{
    /** A band prepared for a rate with its settings snapped. */
    struct Prepared : DynamicFilter
    {
        Prepared (float sampleRate, float f, float Q, float gainDb, float ratio = 1.0f, float thresholdDb = 0.0f)
        {
            setSampleRate (sampleRate);
            frequency.setTarget (f);
            q.setTarget (Q);
            gain.setTarget (gainDb);
            snapRamps();
            setRatio (ratio);
            setThreshold (thresholdDb);
        }

        /** The left channel's output for x in both channels. */
        float operator() (float x)
        {
            float frame[2] = { x, x };
            processFrame (frame, 2);
            return frame[0];
        }

        double gainDb (double sr, double f, float amplitude = 1.0f)
        {
            return DspTest::toDb (DspTest::measureGain ([&] (float x) { return (*this) (amplitude * x) / amplitude; }, sr, f));
        }
    };

    /** The two frequencies where a peak of this Q reaches half its gain in dB. */
    std::pair<double, double> halfGainFrequencies (double sr, double f0, double Q)
    {
        const double warped = std::tan (DspTest::pi * f0 / sr);
        const double root = std::sqrt (1.0 / (Q * Q) + 4.0);
        const auto unwarp = [&] (double omega) { return std::atan (omega * warped) * sr / DspTest::pi; };
        return { unwarp ((root - 1.0 / Q) / 2.0), unwarp ((root + 1.0 / Q) / 2.0) };
    }
}

TEST (DynamicFilter, StaticBandIsAPeakOfItsGainAndQ)
{
    struct Case { float sr, f, q, gainDb; };

    for (const Case& c : { Case { 44100.0f, 500.0f, 1.4f, 12.0f }, Case { 48000.0f, 1200.0f, 0.7f, -12.0f },
                           Case { 96000.0f, 3500.0f, 5.0f, 24.0f }, Case { 44100.0f, 8000.0f, 2.0f, -24.0f } })
    {
        Prepared band (c.sr, c.f, c.q, c.gainDb);
        EXPECT_NEAR (band.gainDb (c.sr, c.f), c.gainDb, 0.01) << c.f << " Hz";

        // Q: half the gain in dB at the two (pre-warped) band edges.
        const auto [lower, upper] = halfGainFrequencies (c.sr, c.f, c.q);
        EXPECT_NEAR (band.gainDb (c.sr, lower), c.gainDb / 2, 0.02) << c.f << " Hz lower edge " << lower;
        EXPECT_NEAR (band.gainDb (c.sr, upper), c.gainDb / 2, 0.02) << c.f << " Hz upper edge " << upper;
    }
}

TEST (DynamicFilter, QuietSineIsLeftAloneLoudSineIsReduced)
{
    const float sr = 48000.0f;
    Prepared quiet (sr, 1000.0f, 1.4f, 0.0f, 4.0f, -20.0f), loud (sr, 1000.0f, 1.4f, 0.0f, 4.0f, -20.0f),
             boosted (sr, 1000.0f, 1.4f, 6.0f, 4.0f, -20.0f);

    EXPECT_NEAR (quiet.gainDb (sr, 1000.0, 0.05f), 0.0, 0.01);
    EXPECT_EQ (quiet.reduction.load(), 1.0f);

    // A full-scale sine peaks 20 dB over the threshold, so at 4:1 the reduction stays below
    // 15 dB; the envelope follows the sine's instantaneous level, so it is well above 1 dB.
    const double loudDb = loud.gainDb (sr, 1000.0);
    EXPECT_LT (loudDb, -1.0);
    EXPECT_GT (loudDb, -15.0);

    // The read-out holds the deepest mean gain, at least as deep as the average reduction.
    const float reduction = loud.reduction.load();
    EXPECT_LT (reduction, 1.0f);
    EXPECT_LE (DspTest::toDb (reduction), loudDb + 0.1);
    EXPECT_GT (DspTest::toDb (reduction), -15.0);

    // The band's own gain adds to the reduction in dB: +6 dB on the same loud sine.
    EXPECT_NEAR (boosted.gainDb (sr, 1000.0), loudDb + 6.0, 0.1);
}

TEST (DynamicFilter, SignalOnlyInTheRightChannelReducesOnlyThatLane)
{
    const float sr = 44100.0f;
    Prepared band (sr, 1000.0f, 1.4f, 0.0f, 4.0f, -30.0f);
    const int delay = DynamicFilter::latencySamples (sr);
    std::vector<float> left;

    for (int n = 0; n < 8820; ++n)
    {
        const float x = std::sin (2.0f * 3.14159265f * 1000.0f * (float) n / sr);
        left.push_back (0.001f * x);
        float frame[2] = { left.back(), 0.9f * x };
        band.processFrame (frame, 2);

        // The quiet left channel comes through untouched, only delayed.
        if (n >= delay)
        {
            ASSERT_NEAR (frame[0], left[(size_t) (n - delay)], 1.0e-6f) << n;
        }
    }

    EXPECT_EQ (band.getEnvelope()[0], 0.0f);
    EXPECT_GT (band.getEnvelope()[1], 1.0f);

    // The read-out is the mean of the two lanes' gains: lane 0 contributes 1.
    EXPECT_LT (band.reduction.load(), 1.0f);
    EXPECT_GT (band.reduction.load(), 0.5f);
}

TEST (DynamicFilter, NonFiniteStateIsDetectedAndResetRecovers)
{
    Prepared band (44100.0f, 1000.0f, 1.4f, 6.0f, 2.0f, -20.0f);
    EXPECT_TRUE (band.isFinite());

    float frame[2] = { std::numeric_limits<float>::quiet_NaN(), 0.1f };
    band.processFrame (frame, 2);
    EXPECT_FALSE (band.isFinite());

    band.reduction.store (0.3f);
    band.reset();
    EXPECT_TRUE (band.isFinite());
    EXPECT_EQ (band.frequency.current, 1000.0f);
    EXPECT_EQ (band.reduction.load(), 1.0f);

    for (int n = 0; n < 1000; ++n)
        ASSERT_TRUE (std::isfinite (band (0.5f))) << n;

    float infinite[2] = { 0.0f, -std::numeric_limits<float>::infinity() };
    band.processFrame (infinite, 2);
    EXPECT_FALSE (band.isFinite());
}

TEST (DynamicFilter, FrequencyIsLimitedBelowNyquist)
{
    DynamicFilter band;
    band.setSampleRate (22050.0f);
    EXPECT_EQ (band.limitFrequency (8000.0f), 8000.0f);
    EXPECT_EQ (band.limitFrequency (12000.0f), 0.45f * 22050.0f);
    EXPECT_EQ (band.limitFrequency (std::numeric_limits<float>::quiet_NaN()), 0.45f * 22050.0f);
}
