#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "DspTestSignals.h"
#include "DynamicFilter.h"
#include "HPFilter.h"
#include "ReferenceStages.h"
#include "ShelvingEQ.h"

using Corvanite::v4f;
using quillo::test::ReferenceHighPass;
using quillo::test::ReferenceShelves;

namespace
{
    bool sameBits (float a, float b)
    {
        return std::memcmp (&a, &b, sizeof (float)) == 0;
    }

    //==============================================================================
    // Straight transcriptions of the stages that recompute every coefficient on every frame.
    // The stages reuse coefficients while their inputs stand still; the two must agree bit
    // for bit. The high-pass and shelving references are shared with the engine's tests.

    struct ReferenceBand
    {
        VLIIRFilterSIMD sidechainFilter, peakFilter;
        VLCompressorSIMD compressor;
        RampedValue q, frequency, gain;
        float sampleRate = 44100.0f;
        float reduction = 1.0f;

        ReferenceBand()
        {
            compressor.setLookAhead (0.002f);
            compressor.setAttack (0.005f);
            compressor.setRelease (0.02f);
        }

        void processFrame (float* frame)
        {
            const float gLin = std::exp (gain.next() * 0.115129255f);
            const float requested = frequency.next();
            const float f = requested <= 0.45f * sampleRate ? requested : 0.45f * sampleRate;
            const float Q = q.next();

            sidechainFilter.setCoefficients (VLIIRCoefficientsSIMD::makeBandPass (v4f (sampleRate), v4f (f), v4f (Q)));
            const v4f x (frame[0], frame[1], 0.0f, 0.0f);
            const v4f sc = sidechainFilter.processSingleSampleRaw (x);
            const v4f delayed = compressor.delay (x);
            const v4f g = compressor.processSidechain (sc);
            const float m = (g[1] + g[0]) * 0.5f;

            if (reduction > m)
                reduction = m;

            peakFilter.setCoefficients (VLIIRCoefficientsSIMD::makePeakFilter (v4f (sampleRate), v4f (f), v4f (Q), v4f (gLin) * g));
            const v4f y = peakFilter.processSingleSampleRaw (delayed);
            frame[0] = y[0];
            frame[1] = y[1];
        }
    };

    //==============================================================================
    /** A block schedule: lengths (including empty blocks) and, per block, which parameters
        move. Unchanged blocks let the stages reuse their coefficients; moving ones ramp. */
    struct Schedule
    {
        DspTest::Noise random { 777u };

        int nextLength()
        {
            static const int lengths[] = { 64, 1, 0, 100, 512, 7, 256, 33, 0, 128 };
            return lengths[(index++) % 10];
        }

        static constexpr int blocksPerRun = 300;

        /** The first and last blocks of a run hold every value, so that a stage must notice a
            new sample rate by itself while nothing else moves. */
        float maybeMove (float current, float lo, float hi, int block)
        {
            const float u = 0.5f * (random.next() + 1.0f);

            if (block < 4 || block >= blocksPerRun - 4 || u < 0.5f)
                return current;

            return lo + (hi - lo) * 0.5f * (random.next() + 1.0f);
        }

        int index = 0;
    };

    void setRamp (RampedValue& a, RampedValue& b, int length, float value)
    {
        a.setStepsToTarget (length);
        a.setTarget (value);
        b.setStepsToTarget (length);
        b.setTarget (value);
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

TEST (CoefficientCaching, ShelvingStageIsBitIdenticalToRecomputingEveryFrame)
{
    ShelvingEQ stage;
    ReferenceShelves reference;
    Schedule schedule;
    TestSignal signal;
    float values[6] = { 0, 0, 80, 0, 0, 7000 };

    for (float sr : { 44100.0f, 22050.0f })
    {
        stage.setSampleRate (sr);
        reference.sampleRate = sr;
        reference.low.reset();
        reference.high.reset();
        reference.lowBoost = stage.lowBoost;
        reference.lowAttenuate = stage.lowAttenuate;
        reference.lowFrequency = stage.lowFrequency;
        reference.highBoost = stage.highBoost;
        reference.highAttenuate = stage.highAttenuate;
        reference.highFrequency = stage.highFrequency;

        for (int block = 0; block < Schedule::blocksPerRun; ++block)
        {
            const int length = schedule.nextLength();
            values[0] = schedule.maybeMove (values[0], 0, 12, block);
            values[1] = schedule.maybeMove (values[1], 0, 12, block);
            values[2] = schedule.maybeMove (values[2], 20, 250, block);
            values[3] = schedule.maybeMove (values[3], 0, 12, block);
            values[4] = schedule.maybeMove (values[4], 0, 12, block);
            values[5] = schedule.maybeMove (values[5], 3500, 12500, block);

            setRamp (stage.lowBoost, reference.lowBoost, length, values[0]);
            setRamp (stage.lowAttenuate, reference.lowAttenuate, length, values[1]);
            setRamp (stage.lowFrequency, reference.lowFrequency, length, values[2]);
            setRamp (stage.highBoost, reference.highBoost, length, values[3]);
            setRamp (stage.highAttenuate, reference.highAttenuate, length, values[4]);
            setRamp (stage.highFrequency, reference.highFrequency, length, values[5]);

            for (int i = 0; i < length; ++i)
            {
                float a[2], b[2];
                signal.next (a);
                b[0] = a[0];
                b[1] = a[1];
                stage.processFrame (a, 2);
                reference.processFrame (b);
                ASSERT_TRUE (sameBits (a[0], b[0]) && sameBits (a[1], b[1])) << "block " << block << " frame " << i;
            }
        }
    }
}

TEST (CoefficientCaching, DynamicBandIsBitIdenticalToRecomputingEveryFrame)
{
    // A static band (ratio 1: the compressor's gain is exactly 1, so frequency and Q can move
    // while the gain factor stands still) and a band whose compressor works hard.
    for (bool compressing : { false, true })
    {
        DynamicFilter stage;
        ReferenceBand reference;
        Schedule schedule;
        TestSignal signal;
        float values[3] = { 1000, 1.4f, 0 };
        float ratio = 1, threshold = 0;

        for (float sr : { 48000.0f, 44100.0f })
        {
            stage.setSampleRate (sr);
            reference.sampleRate = sr;
            reference.compressor.setSampleRate (sr);
            reference.sidechainFilter.reset();
            reference.peakFilter.reset();
            reference.reduction = 1.0f;
            reference.q = stage.q;
            reference.frequency = stage.frequency;
            reference.gain = stage.gain;

            for (int block = 0; block < Schedule::blocksPerRun; ++block)
            {
                const int length = schedule.nextLength();
                values[0] = schedule.maybeMove (values[0], 120, 8000, block);
                values[1] = schedule.maybeMove (values[1], 0.7f, 5.0f, block);
                values[2] = schedule.maybeMove (values[2], -24, 24, block);

                if (compressing)
                {
                    ratio = schedule.maybeMove (ratio, 1, 6, block);
                    threshold = schedule.maybeMove (threshold, -70, 0, block);
                }

                setRamp (stage.frequency, reference.frequency, length, values[0]);
                setRamp (stage.q, reference.q, length, values[1]);
                setRamp (stage.gain, reference.gain, length, values[2]);
                stage.setRatio (ratio);
                stage.setThreshold (threshold);
                reference.compressor.setRatio (ratio);
                reference.compressor.setThreshold (threshold);

                for (int i = 0; i < length; ++i)
                {
                    float a[2], b[2];
                    signal.next (a);
                    b[0] = a[0];
                    b[1] = a[1];
                    stage.processFrame (a, 2);
                    reference.processFrame (b);
                    ASSERT_TRUE (sameBits (a[0], b[0]) && sameBits (a[1], b[1]))
                        << (compressing ? "compressing" : "static") << " block " << block << " frame " << i;
                }

                ASSERT_TRUE (sameBits (stage.reduction.load(), reference.reduction)) << "block " << block;
            }

            if (compressing)
            {
                EXPECT_LT (reference.reduction, 0.9f);   // the compressor really worked
            }
            else
            {
                EXPECT_EQ (reference.reduction, 1.0f);
            }
        }
    }
}

TEST (CoefficientCaching, HighPassIsBitIdenticalToRecomputingEveryFrame)
{
    HPFilter stage;
    ReferenceHighPass reference;
    Schedule schedule;
    TestSignal signal;
    const float cutoffs[] = { 20.0f, 40.0f, 80.0f };

    for (double sr : { 44100.0, 96000.0 })
    {
        stage.setSampleRate (sr);
        reference.sampleRate = sr;
        std::memset (reference.w, 0, sizeof (reference.w));
        reference.cutoff = stage.cutoff;

        for (int block = 0; block < Schedule::blocksPerRun; ++block)
        {
            const int length = schedule.nextLength();
            const float cutoff = cutoffs[(block / 3) % 3];
            setRamp (stage.cutoff, reference.cutoff, length, cutoff);

            for (int i = 0; i < length; ++i)
            {
                float a[2], b[2];
                signal.next (a);

                if (block % 7 == 0)
                    a[1] = 0.0f;   // exact zeros take the substitution path

                b[0] = a[0];
                b[1] = a[1];
                stage.processFrame (a, 2);
                reference.processFrame (b);
                ASSERT_TRUE (sameBits (a[0], b[0]) && sameBits (a[1], b[1])) << "block " << block << " frame " << i;
            }
        }
    }
}

//==============================================================================
TEST (BlockProcessing, EveryStageGivesTheSameBitsAsFrameByFrame)
{
    // Block lengths around the dynamic band's internal chunk of 32 frames, odd and even,
    // empty ones included, while every parameter ramps and the band compresses.
    const int lengths[] = { 64, 1, 0, 31, 32, 33, 100, 7, 512, 2, 65 };

    HPFilter highPassFrames, highPassBlocks;
    ShelvingEQ shelvingFrames, shelvingBlocks;
    DynamicFilter bandFrames, bandBlocks;

    highPassFrames.setSampleRate (48000.0);
    highPassBlocks.setSampleRate (48000.0);

    for (auto* s : { &shelvingFrames, &shelvingBlocks })
        s->setSampleRate (48000.0f);

    for (auto* b : { &bandFrames, &bandBlocks })
        b->setSampleRate (48000.0f);

    TestSignal signal;
    Schedule schedule;
    float values[6] = { 1000, 1.4f, 0, 3, 6, 150 };
    float ratio = 3, threshold = -30;

    // [0] left, [1] right: frame-by-frame results and the arrays processed as blocks.
    float eqFrames[2][512], eqBlocks[2][512], bandByFrame[2][512], bandByBlock[2][512];

    for (int block = 0; block < 200; ++block)
    {
        const int length = lengths[block % 11];
        values[0] = schedule.maybeMove (values[0], 120, 8000, block);
        values[1] = schedule.maybeMove (values[1], 0.7f, 5.0f, block);
        values[2] = schedule.maybeMove (values[2], -24, 24, block);
        values[3] = schedule.maybeMove (values[3], 0, 12, block);
        values[4] = schedule.maybeMove (values[4], 0, 12, block);
        values[5] = schedule.maybeMove (values[5], 20, 250, block);
        ratio = schedule.maybeMove (ratio, 1, 6, block);
        threshold = schedule.maybeMove (threshold, -70, 0, block);

        setRamp (bandFrames.frequency, bandBlocks.frequency, length, values[0]);
        setRamp (bandFrames.q, bandBlocks.q, length, values[1]);
        setRamp (bandFrames.gain, bandBlocks.gain, length, values[2]);
        setRamp (shelvingFrames.lowBoost, shelvingBlocks.lowBoost, length, values[3]);
        setRamp (shelvingFrames.highAttenuate, shelvingBlocks.highAttenuate, length, values[4]);
        setRamp (shelvingFrames.lowFrequency, shelvingBlocks.lowFrequency, length, values[5]);
        setRamp (highPassFrames.cutoff, highPassBlocks.cutoff, length, block % 3 == 0 ? 80.0f : 20.0f);

        for (auto* b : { &bandFrames, &bandBlocks })
        {
            b->setRatio (ratio);
            b->setThreshold (threshold);
        }

        if (block == 120)
        {
            bandFrames.reduction.store (1.0f);   // the read-out raising it between blocks
            bandBlocks.reduction.store (1.0f);
        }

        for (int i = 0; i < length; ++i)
        {
            float frame[2];
            signal.next (frame);
            eqBlocks[0][i] = bandByBlock[0][i] = frame[0];
            eqBlocks[1][i] = bandByBlock[1][i] = frame[1];

            float a[2] = { frame[0], frame[1] };
            highPassFrames.processFrame (a, 2);
            shelvingFrames.processFrame (a, 2);
            eqFrames[0][i] = a[0];
            eqFrames[1][i] = a[1];

            float b[2] = { frame[0], frame[1] };
            bandFrames.processFrame (b, 2);
            bandByFrame[0][i] = b[0];
            bandByFrame[1][i] = b[1];
        }

        highPassBlocks.processBlock (eqBlocks[0], eqBlocks[1], length);
        shelvingBlocks.processBlock (eqBlocks[0], eqBlocks[1], length);
        bandBlocks.processBlock (bandByBlock[0], bandByBlock[1], length);

        for (int i = 0; i < length; ++i)
        {
            ASSERT_TRUE (sameBits (eqFrames[0][i], eqBlocks[0][i]) && sameBits (eqFrames[1][i], eqBlocks[1][i]))
                << "high-pass and shelves, block " << block << " frame " << i;
            ASSERT_TRUE (sameBits (bandByFrame[0][i], bandByBlock[0][i]) && sameBits (bandByFrame[1][i], bandByBlock[1][i]))
                << "dynamic band, block " << block << " frame " << i;
        }

        ASSERT_TRUE (sameBits (bandFrames.reduction.load(), bandBlocks.reduction.load())) << "block " << block;
        ASSERT_TRUE (Corvanite::bitsEqual (bandFrames.getEnvelope(), bandBlocks.getEnvelope())) << "block " << block;
    }

    EXPECT_LT (bandBlocks.reduction.load(), 0.9f);   // the band really compressed

    // Alternating between the two ways keeps the band in step.
    for (int round = 0; round < 20; ++round)
    {
        float left[5], right[5];

        for (int i = 0; i < 5; ++i)
        {
            float frame[2];
            signal.next (frame);
            left[i] = frame[0];
            right[i] = frame[1];
            bandFrames.processFrame (frame, 2);
            bandByFrame[0][i] = frame[0];
            bandByFrame[1][i] = frame[1];
        }

        if (round % 2 == 0)
        {
            bandBlocks.processBlock (left, right, 5);
        }
        else
        {
            for (int i = 0; i < 5; ++i)
            {
                float frame[2] = { left[i], right[i] };
                bandBlocks.processFrame (frame, 2);
                left[i] = frame[0];
                right[i] = frame[1];
            }
        }

        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE (sameBits (left[i], bandByFrame[0][i]) && sameBits (right[i], bandByFrame[1][i])) << round << " " << i;
    }
}

TEST (BlockProcessing, TwoBandsInSeriesGiveTheSameBitsAsFrameByFrame)
{
    // Lengths around the second band's lag of 16 frames, empty ones included.
    const int lengths[] = { 512, 16, 17, 0, 15, 1, 33, 64, 100, 31, 32, 2, 47 };

    struct Bands
    {
        DynamicFilter lowMid, highMid;
    };

    Bands frames, series;

    for (auto* bands : { &frames, &series })
    {
        bands->lowMid.setSampleRate (44100.0f);
        bands->highMid.setSampleRate (44100.0f);
    }

    TestSignal signal;
    Schedule schedule;
    float low[5] = { 500, 1.4f, 6, 3, -40 }, high[5] = { 2000, 2.0f, -6, 4, -50 };
    float left[512], right[512], expectedLeft[512], expectedRight[512];

    for (int block = 0; block < 260; ++block)
    {
        const int length = lengths[block % 13];

        for (auto* values : { low, high })
        {
            values[0] = schedule.maybeMove (values[0], 120, 8000, block);
            values[1] = schedule.maybeMove (values[1], 0.7f, 5.0f, block);
            values[2] = schedule.maybeMove (values[2], -24, 24, block);
            values[3] = schedule.maybeMove (values[3], 1, 6, block);
            values[4] = schedule.maybeMove (values[4], -70, 0, block);
        }

        // Now and then one band is static (ratio 1) while the other compresses.
        const float lowRatio = block % 5 == 1 ? 1.0f : low[3];
        const float highRatio = block % 7 == 3 ? 1.0f : high[3];

        setRamp (frames.lowMid.frequency, series.lowMid.frequency, length, low[0]);
        setRamp (frames.lowMid.q, series.lowMid.q, length, low[1]);
        setRamp (frames.lowMid.gain, series.lowMid.gain, length, low[2]);
        setRamp (frames.highMid.frequency, series.highMid.frequency, length, high[0]);
        setRamp (frames.highMid.q, series.highMid.q, length, high[1]);
        setRamp (frames.highMid.gain, series.highMid.gain, length, high[2]);

        for (auto* bands : { &frames, &series })
        {
            bands->lowMid.setRatio (lowRatio);
            bands->lowMid.setThreshold (low[4]);
            bands->highMid.setRatio (highRatio);
            bands->highMid.setThreshold (high[4]);
        }

        for (int i = 0; i < length; ++i)
        {
            float frame[2];
            signal.next (frame);
            left[i] = frame[0];
            right[i] = frame[1];
            frames.lowMid.processFrame (frame, 2);
            frames.highMid.processFrame (frame, 2);
            expectedLeft[i] = frame[0];
            expectedRight[i] = frame[1];
        }

        DynamicFilter::processSeries (series.lowMid, series.highMid, left, right, length);

        for (int i = 0; i < length; ++i)
            ASSERT_TRUE (sameBits (left[i], expectedLeft[i]) && sameBits (right[i], expectedRight[i]))
                << "block " << block << " (" << length << " frames) frame " << i;

        ASSERT_TRUE (sameBits (frames.lowMid.reduction.load(), series.lowMid.reduction.load())) << "block " << block;
        ASSERT_TRUE (sameBits (frames.highMid.reduction.load(), series.highMid.reduction.load())) << "block " << block;
        ASSERT_TRUE (Corvanite::bitsEqual (frames.lowMid.getEnvelope(), series.lowMid.getEnvelope())) << "block " << block;
        ASSERT_TRUE (Corvanite::bitsEqual (frames.highMid.getEnvelope(), series.highMid.getEnvelope())) << "block " << block;
        ASSERT_EQ (frames.lowMid.isFinite(), series.lowMid.isFinite());
    }

    EXPECT_LT (series.lowMid.reduction.load(), 0.95f);
    EXPECT_LT (series.highMid.reduction.load(), 0.95f);

    // After the series, each band carries on alone exactly as the frame-by-frame one does.
    for (int i = 0; i < 200; ++i)
    {
        float frame[2];
        signal.next (frame);
        float a[2] = { frame[0], frame[1] }, b[2] = { frame[0], frame[1] };
        frames.highMid.processFrame (a, 2);
        series.highMid.processFrame (b, 2);
        ASSERT_TRUE (sameBits (a[0], b[0]) && sameBits (a[1], b[1])) << i;
    }
}

//==============================================================================
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
            HPFilter highPass;
            ShelvingEQ shelving;
            DynamicFilter lowMid, highMid;

            highPass.setSampleRate ((double) sr);
            highPass.cutoff.setTarget (80.0f);
            highPass.cutoff.snap();

            shelving.setSampleRate (sr);
            shelving.lowBoost.setTarget (12.0f);
            shelving.lowAttenuate.setTarget (12.0f);
            shelving.lowFrequency.setTarget (250.0f);
            shelving.highBoost.setTarget (12.0f);
            shelving.highAttenuate.setTarget (12.0f);
            shelving.highFrequency.setTarget (12500.0f);
            shelving.snapRamps();

            for (auto* band : { &lowMid, &highMid })
            {
                band->setSampleRate (sr);
                band->q.setTarget (q);
                band->gain.setTarget (bandGain);
            }

            lowMid.frequency.setTarget (3500.0f);
            lowMid.setRatio (5.0f);
            lowMid.setThreshold (-60.0f);
            highMid.frequency.setTarget (12000.0f);    // beyond the highest setting, beyond Nyquist
            highMid.setRatio (6.0f);
            highMid.setThreshold (-70.0f);
            lowMid.snapRamps();
            highMid.snapRamps();

            DspTest::Noise noise;
            float peak = 0.0f, tail = 0.0f;

            for (int n = 0; n < 4 * 22050; ++n)
            {
                const bool loud = n < 2 * 22050;
                float frame[2] = { loud ? noise.next() : 0.0f, loud ? noise.next() : 0.0f };
                float hp[2] = { frame[0], frame[1] };
                highPass.processFrame (hp, 2);
                shelving.processFrame (hp, 2);
                lowMid.processFrame (hp, 2);
                highMid.processFrame (hp, 2);

                ASSERT_TRUE (std::isfinite (hp[0]) && std::isfinite (hp[1])) << bandGain << " " << q << " frame " << n;
                peak = std::max (peak, std::max (std::fabs (hp[0]), std::fabs (hp[1])));

                if (n >= 4 * 22050 - 100)
                    tail = std::max (tail, std::max (std::fabs (hp[0]), std::fabs (hp[1])));
            }

            EXPECT_LT (peak, 1000.0f) << bandGain << " " << q;
            EXPECT_LT (tail, 1.0e-4f) << bandGain << " " << q;    // the ringing dies away
            EXPECT_TRUE (highPass.isFinite() && shelving.isFinite() && lowMid.isFinite() && highMid.isFinite());
        }
    }
}
