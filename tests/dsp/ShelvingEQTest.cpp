#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DspTestSignals.h"
#include "ShelvingEQ.h"

namespace
{
    struct Settings
    {
        float lowBoost = 0, lowAttenuate = 0, lowFrequency = 80;
        float highBoost = 0, highAttenuate = 0, highFrequency = 7000;
    };

    void apply (ShelvingEQ& eq, const Settings& s)
    {
        eq.lowBoost.setTarget (s.lowBoost);
        eq.lowAttenuate.setTarget (s.lowAttenuate);
        eq.lowFrequency.setTarget (s.lowFrequency);
        eq.highBoost.setTarget (s.highBoost);
        eq.highAttenuate.setTarget (s.highAttenuate);
        eq.highFrequency.setTarget (s.highFrequency);
        eq.snapRamps();
    }

    DspTest::MonoProcess leftChannel (ShelvingEQ& eq)
    {
        return [&eq] (float x)
        {
            float frame[2] = { x, -x };
            eq.processFrame (frame, 2);
            return frame[0];
        };
    }

    /** Expected gain in dB: the two chains of one shelf, summed, minus the dry signal. */
    double expectedDb (bool high, double sr, double f, double corner, double boostDb, double attenuateDb)
    {
        const auto boost = DspTest::textbookShelf (high, sr, corner, 0.707f, DspTest::fromDb (boostDb));
        const auto cut = DspTest::textbookShelf (high, sr, corner, high ? 1.0 : 1.5, DspTest::fromDb (-attenuateDb));
        return DspTest::toDb (std::abs (boost.response (f, sr) + cut.response (f, sr) - 1.0));
    }

    double measuredDb (const Settings& s, double sr, double f)
    {
        ShelvingEQ eq;
        eq.setSampleRate ((float) sr);
        apply (eq, s);
        return DspTest::toDb (DspTest::measureGain (leftChannel (eq), sr, f));
    }
}

TEST (ShelvingEQ, FlatSettingsPassTheInput)
{
    ShelvingEQ eq;
    eq.setSampleRate (48000.0f);
    apply (eq, { 0, 0, 250, 0, 0, 3500 });
    DspTest::Noise noise;

    for (int i = 0; i < 4800; ++i)
    {
        const float l = noise.next(), r = noise.next();
        float frame[2] = { l, r };
        eq.processFrame (frame, 2);
        ASSERT_NEAR (frame[0], l, 1.0e-6f);
        ASSERT_NEAR (frame[1], r, 1.0e-6f);
    }
}

TEST (ShelvingEQ, LowShelfGainsAtDCCornerAndNyquist)
{
    const double sr = 44100.0;
    struct Case { float boost, attenuate; double dc, corner; };

    // Boost alone, attenuation alone, and both at once (sum of the chains minus dry). At DC a
    // low corner's float coefficients are good to a few hundredths of a dB.
    for (const Case& c : { Case { 12, 0, 12.0, 6.0 }, Case { 0, 12, -12.0, -6.0 }, Case { 12, 12, 10.1901, 0.0 } })
    {
        Settings s;
        s.lowBoost = c.boost;
        s.lowAttenuate = c.attenuate;
        s.lowFrequency = 80;

        const double cornerExpected = expectedDb (false, sr, 80, 80, c.boost, c.attenuate);

        if (c.boost == 0 || c.attenuate == 0)
        {
            EXPECT_NEAR (cornerExpected, c.corner, 1.0e-3);   // the half-gain corner of a lone shelf
        }

        EXPECT_NEAR (measuredDb (s, sr, 0.0), c.dc, 0.03) << c.boost << "/" << c.attenuate;
        EXPECT_NEAR (measuredDb (s, sr, 80.0), cornerExpected, 0.01) << c.boost << "/" << c.attenuate;
        EXPECT_NEAR (measuredDb (s, sr, sr / 2), 0.0, 0.01) << c.boost << "/" << c.attenuate;
    }
}

TEST (ShelvingEQ, HighShelfGainsAtDCCornerAndNyquist)
{
    const double sr = 48000.0;
    struct Case { float boost, attenuate; double nyquist, corner; };

    for (const Case& c : { Case { 12, 0, 12.0, 6.0 }, Case { 0, 12, -12.0, -6.0 }, Case { 12, 12, 10.1901, 0.0 } })
    {
        Settings s;
        s.highBoost = c.boost;
        s.highAttenuate = c.attenuate;
        s.highFrequency = 7000;

        const double cornerExpected = expectedDb (true, sr, 7000, 7000, c.boost, c.attenuate);

        if (c.boost == 0 || c.attenuate == 0)
        {
            EXPECT_NEAR (cornerExpected, c.corner, 1.0e-3);
        }

        EXPECT_NEAR (measuredDb (s, sr, 0.0), 0.0, 0.01) << c.boost << "/" << c.attenuate;
        EXPECT_NEAR (measuredDb (s, sr, 7000.0), cornerExpected, 0.01) << c.boost << "/" << c.attenuate;
        EXPECT_NEAR (measuredDb (s, sr, sr / 2), c.nyquist, 0.01) << c.boost << "/" << c.attenuate;
    }
}

TEST (ShelvingEQ, BoostAndCutTogetherAreTheSumOfTheChainsNotTheProduct)
{
    // 12 dB boost with 12 dB cut at the same corner: at DC 10^(12/20) + 10^(-12/20) - 1,
    // i.e. +10.19 dB, where the product would be 0 dB.
    EXPECT_NEAR (DspTest::toDb (DspTest::fromDb (12) + DspTest::fromDb (-12) - 1), 10.1901, 1.0e-4);

    Settings s;
    s.lowBoost = 12;
    s.lowAttenuate = 12;
    s.lowFrequency = 250;
    EXPECT_NEAR (measuredDb (s, 44100.0, 0.0), 10.1901, 0.02);
    EXPECT_NEAR (measuredDb (s, 44100.0, 150.0), expectedDb (false, 44100.0, 150.0, 250, 12, 12), 0.01);
}

TEST (ShelvingEQ, RightChannelGetsTheSameShelves)
{
    ShelvingEQ eq;
    eq.setSampleRate (44100.0f);
    Settings s;
    s.lowBoost = 6;
    s.highAttenuate = 9;
    apply (eq, s);

    DspTest::Noise noise;

    for (int i = 0; i < 1000; ++i)
    {
        const float x = noise.next();
        float frame[2] = { x, x };
        eq.processFrame (frame, 2);
        ASSERT_EQ (frame[0], frame[1]);
    }
}

TEST (ShelvingEQ, NumChannelsDecidesOnlyWhatIsWrittenBack)
{
    ShelvingEQ mono, stereo, silent;

    for (auto* eq : { &mono, &stereo, &silent })
    {
        eq->setSampleRate (44100.0f);
        Settings s;
        s.lowBoost = 9;
        s.highBoost = 3;
        apply (*eq, s);
    }

    DspTest::Noise noise;

    for (int i = 0; i < 200; ++i)
    {
        const float l = noise.next(), r = noise.next();
        float m[2] = { l, r }, st[2] = { l, r }, z[2] = { l, r };
        mono.processFrame (m, 1);
        stereo.processFrame (st, 2);
        silent.processFrame (z, 0);

        EXPECT_EQ (m[0], st[0]);
        EXPECT_EQ (m[1], r);          // read, but left as it was
        EXPECT_EQ (z[0], l);          // nothing written...
        EXPECT_EQ (z[1], r);
    }

    // ...but the state moved on exactly as in the stereo instance.
    float st[2] = { 0.5f, 0.5f }, z[2] = { 0.5f, 0.5f };
    stereo.processFrame (st, 2);
    silent.processFrame (z, 2);
    EXPECT_EQ (st[0], z[0]);
    EXPECT_EQ (st[1], z[1]);
}

TEST (ShelvingEQ, SetSampleRateClearsTheFiltersAndSnapsTheRamps)
{
    ShelvingEQ used, fresh;
    used.setSampleRate (44100.0f);
    used.lowBoost.setStepsToTarget (1000);
    used.lowBoost.setTarget (12.0f);

    for (int i = 0; i < 100; ++i)
        leftChannel (used) (0.7f);

    used.setSampleRate (48000.0f);
    EXPECT_EQ (used.lowBoost.current, 12.0f);
    EXPECT_EQ (used.lowBoost.countdown, 0);

    fresh.setSampleRate (48000.0f);
    Settings s;
    s.lowBoost = 12;
    s.lowFrequency = 120;
    apply (fresh, s);

    for (int i = 0; i < 10; ++i)
        EXPECT_EQ (leftChannel (used) (0.5f), leftChannel (fresh) (0.5f));
}

TEST (ShelvingEQ, NonFiniteStateIsDetectedAndResetRecovers)
{
    ShelvingEQ eq;
    eq.setSampleRate (44100.0f);
    Settings s;
    s.highBoost = 6;
    apply (eq, s);

    float frame[2] = { 0.0f, std::numeric_limits<float>::infinity() };
    eq.processFrame (frame, 2);
    eq.processFrame (frame, 2);
    EXPECT_FALSE (eq.isFinite());

    eq.reset();
    EXPECT_TRUE (eq.isFinite());
    EXPECT_EQ (eq.highBoost.current, 6.0f);

    for (int i = 0; i < 100; ++i)
    {
        float f[2] = { 0.25f, -0.25f };
        eq.processFrame (f, 2);
        ASSERT_TRUE (std::isfinite (f[0]) && std::isfinite (f[1]));
    }
}
