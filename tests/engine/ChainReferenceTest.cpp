// The whole chain against a plain reference that maps the parameters itself and recomputes
// every coefficient and gain on every sample, as the stages are defined. The processor and its
// stages reuse coefficients and gain factors while their inputs stand still, and run the stages
// block-wise (the two bands side by side); this shows that doing so changes no output bit nor
// read-out, with ramps running, standing still and cut short by empty blocks, and after a change
// of sample rate.

#include "ProcessorTestSupport.h"
#include "ReferenceStages.h"

using namespace quillo::test;

namespace
{
void setRamp (RampedValue& ramp, int n, float value)
{
    ramp.setStepsToTarget (n);
    ramp.setTarget (value);
}

/** The chain, written straight from its definition. */
struct ReferenceChain
{
    ReferenceHighPass highPass;
    ReferenceShelves shelves;
    ReferenceBand lowMid, highMid;
    RampedValue inputGain, outputGain, power, mix;

    void prepare (float sampleRate, const std::vector<float>& p)
    {
        highPass.sampleRate = (double) sampleRate;
        shelves.sampleRate = sampleRate;
        lowMid.prepare (sampleRate);
        highMid.prepare (sampleRate);

        mix.stepsToTarget = 256;
        mix.current = mix.target = (p[kHighPass] >= 0.25f && p[kPower] >= 0.5f) ? 1.0f : 0.0f;

        map (0, p);   // at the targets at once
    }

    void map (int n, const std::vector<float>& p)
    {
        setRamp (inputGain, n, p[0] * 48.0f - 24.0f);
        setRamp (outputGain, n, p[1] * 48.0f - 24.0f);
        setRamp (power, n, p[2]);

        const float ls = p[19] * p[2], hs = p[22] * p[2], lm = p[20] * p[2], hm = p[21] * p[2];

        const bool on = p[3] >= 0.25f;
        mix.setTarget (on && p[2] >= 0.5f ? 1.0f : 0.0f);
        setRamp (highPass.cutoff, n, ! on || p[3] < 0.5f ? 20.0f : (p[3] < 0.75f ? 40.0f : 80.0f));

        setRamp (shelves.lowBoost, n, p[5] * 12.0f * ls);
        setRamp (shelves.lowAttenuate, n, p[6] * 12.0f * ls);
        setRamp (shelves.lowFrequency, n, p[7] * 230.0f + 20.0f);
        setRamp (shelves.highBoost, n, p[8] * 12.0f * hs);
        setRamp (shelves.highAttenuate, n, p[9] * 12.0f * hs);
        setRamp (shelves.highFrequency, n, p[10] * 9000.0f + 3500.0f);

        setRamp (lowMid.frequency, n, p[11] * 3380.0f + 120.0f);
        setRamp (lowMid.gain, n, (p[12] * 48.0f - 24.0f) * lm);
        setRamp (lowMid.q, n, p[13] * 4.3f + 0.7f);
        lowMid.compressor.setRatio (4.0f * (p[14] * lm) + 1.0f);
        lowMid.compressor.setThreshold (-60.0f * (p[14] * lm));

        setRamp (highMid.frequency, n, p[15] * 7200.0f + 800.0f);
        setRamp (highMid.gain, n, (p[16] * 48.0f - 24.0f) * hm);
        setRamp (highMid.q, n, p[17] * 4.3f + 0.7f);
        highMid.compressor.setRatio ((1.0f + p[18] * hm) * 3.0f);
        highMid.compressor.setThreshold (-70.0f * (p[18] * hm));
    }

    void processBlock (float* left, float* right, int numChannels, int n, const std::vector<float>& p)
    {
        map (n, p);

        for (int i = 0; i < n; ++i)
        {
            const float P = power.next();
            const float inputFactor = std::exp (inputGain.next() * P * nepers);
            const float outputFactor = std::exp (P * outputGain.next() * nepers);

            const float l = left[i] * inputFactor, r = (numChannels > 1 ? right[i] : left[i]) * inputFactor;
            float frame[4] = { l, r, l, r };
            highPass.processFrame (frame + 2);

            float m = mix.next();

            if (mix.countdown <= 0)
                m = mix.target;

            frame[0] = frame[0] * (1.0f - m) + frame[2] * m;
            frame[1] = frame[1] * (1.0f - m) + frame[3] * m;

            shelves.processFrame (frame);
            lowMid.processFrame (frame);
            highMid.processFrame (frame);

            left[i] = frame[0] * outputFactor;

            if (numChannels > 1)
                right[i] = frame[1] * outputFactor;
        }

        if (mix.countdown <= 0)
            mix.current = mix.target;
    }
};

/** The same processor at each rate in turn: re-preparing it must reach every cached value
    (at 22.05 kHz the upper corners are also limited below Nyquist). */
void runAgainstReference (int numChannels, uint32_t seed, std::initializer_list<double> rates)
{
    auto p = makeProcessor (*rates.begin(), numChannels);
    loadFactoryPreset (*p, 2, 3);   // shelves, both bands and the high-pass at work
    setParameter (*p, kLowDynAttenuation, 0.6f);
    setParameter (*p, kHighDynAttenuation, 0.5f);

    std::mt19937 random (seed);
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);
    std::uniform_int_distribution<int> blockLength (0, 700);
    std::uniform_int_distribution<int> parameterIndex (0, 22);

    const int total = 96000;
    auto left = noise (0.2f, total, seed);
    const auto a = sine (310.0, 0.5f, total), b = sine (2300.0, 0.3f, total);

    for (size_t i = 0; i < left.size(); ++i)
        left[i] += a[i] + b[i];

    for (const double rate : rates)
    {
        SCOPED_TRACE (rate);
        p->prepareToPlay (rate, 512);   // both start from rest with these settings
        ReferenceChain reference;
        reference.prepare ((float) rate, parameterValues (*p));

        Channels actual { left, noise (0.5f, total, seed + 1) };
        actual.resize ((size_t) numChannels);

        for (auto& channel : actual)   // exact zeros take the high-pass's substitution path
            std::fill_n (channel.begin() + 40000, 2000, 0.0f);

        Channels expected = actual;
        int blocks = 0;

        for (int start = 0; start < total; ++blocks)
        {
            // Now and then some parameters move; often nothing does, so ramps also stand still.
            if (unit (random) < 0.3f)
            {
                for (int k = 0; k < 3; ++k)
                {
                    const int index = parameterIndex (random);

                    if (index != kPower)
                        setParameter (*p, index, unit (random));
                }
            }

            if (unit (random) < 0.05f)
                setParameter (*p, kPower, unit (random) < 0.5f ? 1.0f : 0.4f);

            const int n = blocks % 50 == 7 ? 0 : std::min (blockLength (random), total - start);
            processOneBlock (*p, actual, start, n);
            reference.processBlock (expected[0].data() + start, numChannels > 1 ? expected[1].data() + start : nullptr,
                                    numChannels, n, parameterValues (*p));
            start += n;
        }

        ASSERT_GT (blocks, 100);

        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < total; ++i)
                ASSERT_EQ (bitsOf (actual[(size_t) ch][(size_t) i]), bitsOf (expected[(size_t) ch][(size_t) i]))
                    << "channel " << ch << " sample " << i;

        // The read-outs hold the deepest mean gain of each band's two lanes.
        EXPECT_LT (reference.highMid.reduction, 0.9f);
        EXPECT_EQ (bitsOf (p->getLowMidReduction()), bitsOf (reference.lowMid.reduction));
        EXPECT_EQ (bitsOf (p->getHighMidReduction()), bitsOf (reference.highMid.reduction));
    }
}
}   // namespace

TEST (ChainReference, StereoOutputIsBitIdenticalToRecomputingEverythingEverySample)
{
    runAgainstReference (2, 11, { 48000.0, 22050.0 });
}

TEST (ChainReference, MonoOutputIsBitIdenticalToRecomputingEverythingEverySample)
{
    runAgainstReference (1, 12, { 44100.0, 96000.0 });
}
