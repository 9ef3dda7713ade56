#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>

#include "../engine/ReferenceStages.h"
#include "DspTestSignals.h"
#include "DynamicFilter.h"
#include "HPFilter.h"
#include "ShelvingEQ.h"

using Corvanite::v4f;

// The high-pass's and shelving stage's block paths are held against per-frame recomputation of
// every coefficient, for the whole chain at several sample rates, by the engine's ChainReference
// tests; the dynamic bands' paths (alone and side by side) also here, with the read-outs.

namespace
{
    bool sameBits (float a, float b)
    {
        return std::memcmp (&a, &b, sizeof (float)) == 0;
    }

    void setRamp (RampedValue& a, RampedValue& b, int length, float value)
    {
        for (auto* r : { &a, &b })
        {
            r->setStepsToTarget (length);
            r->setTarget (value);
        }
    }

    /** A loud sweep plus noise, enough to drive the bands' compressors hard. */
    struct TestSignal
    {
        DspTest::Noise noise;
        double phase = 0.0;
        long n = 0;

        void next (float* frame)
        {
            phase += 2.0 * DspTest::pi * (100.0 + (double) (n++ % 96000) * 0.08) / 48000.0;
            frame[0] = 0.8f * (float) std::sin (phase) + noise.next (0.1f);
            frame[1] = 0.5f * (float) std::cos (1.3 * phase) + noise.next (0.2f);
        }
    };
}

TEST (BlockProcessing, BandsAloneAndInSeriesGiveTheSameBitsAsFrameByFrameRecomputation)
{
    // Lengths around the series' lag (and chunk) of 8 frames and its multiples, empty ones
    // included, while every parameter ramps and the bands compress. The bands take turns: in
    // series, one block after the other, and frame by frame.
    static_assert (DynamicFilter::seriesLag == 8, "the lengths below straddle the lag");
    const int lengths[] = { 512, 8, 9, 0, 7, 1, 17, 64, 100, 15, 16, 2, 47 };

    quillo::test::ReferenceBand referenceLow, referenceHigh;
    DynamicFilter lowMid, highMid;

    for (auto [band, reference] : { std::pair { &lowMid, &referenceLow }, std::pair { &highMid, &referenceHigh } })
    {
        band->setSampleRate (48000.0f);
        reference->prepare (48000.0f);
    }

    TestSignal signal;
    DspTest::Noise random { 777u };
    const auto move = [&random] (float& value, float lo, float hi)
    {
        if (random.next() >= 0.0f)
            value = lo + (hi - lo) * 0.5f * (random.next() + 1.0f);
    };

    float low[5] = { 500, 1.4f, 6, 3, -40 }, high[5] = { 2000, 2.0f, -6, 4, -50 };
    float left[512], right[512], expectedLeft[512], expectedRight[512];

    for (int block = 0; block < 300; ++block)
    {
        const int length = lengths[block % 13];

        // Frequency, Q, gain, ratio and threshold; now and then one band is static (ratio 1)
        // while the other compresses.
        for (auto [band, reference, values, staticEvery] : { std::tuple { &lowMid, &referenceLow, low, 5 },
                                                             std::tuple { &highMid, &referenceHigh, high, 7 } })
        {
            move (values[0], 120, 8000);
            move (values[1], 0.7f, 5.0f);
            move (values[2], -24, 24);
            move (values[3], 1, 6);
            move (values[4], -70, 0);
            setRamp (band->frequency, reference->frequency, length, values[0]);
            setRamp (band->q, reference->q, length, values[1]);
            setRamp (band->gain, reference->gain, length, values[2]);

            const float ratio = block % staticEvery == staticEvery / 2 ? 1.0f : values[3];
            band->setRatio (ratio);
            band->setThreshold (values[4]);
            reference->compressor.setRatio (ratio);
            reference->compressor.setThreshold (values[4]);

            if (block == 120)   // the read-out raised between blocks
                band->reduction.store (reference->reduction = 1.0f);
        }

        for (int i = 0; i < length; ++i)
        {
            float frame[2];
            signal.next (frame);
            left[i] = expectedLeft[i] = frame[0];
            right[i] = expectedRight[i] = frame[1];

            float expected[2] = { expectedLeft[i], expectedRight[i] };
            referenceLow.processFrame (expected);
            referenceHigh.processFrame (expected);
            expectedLeft[i] = expected[0];
            expectedRight[i] = expected[1];
        }

        if (block % 3 == 0)
        {
            DynamicFilter::processSeries (lowMid, highMid, left, right, length);
        }
        else if (block % 3 == 1)
        {
            lowMid.processBlock (left, right, length);
            highMid.processBlock (left, right, length);
        }
        else
        {
            for (int i = 0; i < length; ++i)
            {
                float frame[2] = { left[i], right[i] };
                lowMid.processFrame (frame, 2);
                highMid.processFrame (frame, 2);
                left[i] = frame[0];
                right[i] = frame[1];
            }
        }

        for (int i = 0; i < length; ++i)
            ASSERT_TRUE (sameBits (left[i], expectedLeft[i]) && sameBits (right[i], expectedRight[i]))
                << "block " << block << " (" << length << " frames) frame " << i;

        for (auto [band, reference] : { std::pair { &lowMid, &referenceLow }, std::pair { &highMid, &referenceHigh } })
        {
            ASSERT_TRUE (sameBits (band->reduction.load(), reference->reduction)) << block;
            ASSERT_TRUE (Corvanite::bitsEqual (band->getEnvelope(), reference->compressor.getEnvelope())) << block;
        }
    }

    EXPECT_LT (lowMid.reduction.load(), 0.95f);   // the bands really compressed
    EXPECT_LT (highMid.reduction.load(), 0.95f);
}

TEST (Chain, StableAt22050HzWithTheHighestSettings)
{
    const float sr = 22050.0f;

    // Without the limit, a 12.5 kHz high shelf above this rate's Nyquist would be unstable.
    const auto unlimited = VLIIRCoefficientsSIMD::makeHighShelf (v4f (sr), v4f (12500.0f), v4f (0.707f), v4f (3.98f));
    EXPECT_GT (std::fabs (unlimited.a2[0]), 1.0f);

    for (float bandGain : { 24.0f, -24.0f })
    {
        for (float q : { 0.7f, 5.0f })
        {
            SCOPED_TRACE (::testing::Message() << bandGain << " dB, Q " << q);
            HPFilter highPass;
            ShelvingEQ shelving;
            DynamicFilter lowMid, highMid;

            highPass.setSampleRate ((double) sr);
            highPass.cutoff.setTarget (80.0f);
            highPass.cutoff.snap();

            shelving.setSampleRate (sr);
            for (auto* r : { &shelving.lowBoost, &shelving.lowAttenuate, &shelving.highBoost, &shelving.highAttenuate })
                r->setTarget (12.0f);
            shelving.lowFrequency.setTarget (250.0f);
            shelving.highFrequency.setTarget (12500.0f);
            shelving.snapRamps();

            // The high-mid band beyond its highest setting, beyond Nyquist.
            for (auto [band, frequency, ratio, threshold] : { std::tuple { &lowMid, 3500.0f, 5.0f, -60.0f },
                                                              std::tuple { &highMid, 12000.0f, 6.0f, -70.0f } })
            {
                band->setSampleRate (sr);
                band->q.setTarget (q);
                band->gain.setTarget (bandGain);
                band->frequency.setTarget (frequency);
                band->snapRamps();
                band->setRatio (ratio);
                band->setThreshold (threshold);
            }

            DspTest::Noise noise;
            float peak = 0.0f, tail = 0.0f;

            for (int n = 0; n < 4 * 22050; ++n)
            {
                const bool loud = n < 2 * 22050;
                float frame[2] = { loud ? noise.next() : 0.0f, loud ? noise.next() : 0.0f };
                highPass.processFrame (frame, 2);
                shelving.processFrame (frame, 2);
                lowMid.processFrame (frame, 2);
                highMid.processFrame (frame, 2);

                ASSERT_TRUE (std::isfinite (frame[0]) && std::isfinite (frame[1])) << "frame " << n;
                const float level = std::max (std::fabs (frame[0]), std::fabs (frame[1]));
                peak = std::max (peak, level);

                if (n >= 4 * 22050 - 100)
                    tail = std::max (tail, level);
            }

            EXPECT_LT (peak, 1000.0f);
            EXPECT_LT (tail, 1.0e-4f);    // the ringing dies away
            EXPECT_TRUE (highPass.isFinite() && shelving.isFinite() && lowMid.isFinite() && highMid.isFinite());
        }
    }
}
