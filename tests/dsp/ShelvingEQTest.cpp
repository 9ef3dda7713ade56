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

    /** A stage prepared for a rate with its settings snapped. */
    struct Prepared : ShelvingEQ
    {
        Prepared (float sr, const Settings& s)
        {
            setSampleRate (sr);
            lowBoost.setTarget (s.lowBoost);
            lowAttenuate.setTarget (s.lowAttenuate);
            lowFrequency.setTarget (s.lowFrequency);
            highBoost.setTarget (s.highBoost);
            highAttenuate.setTarget (s.highAttenuate);
            highFrequency.setTarget (s.highFrequency);
            snapRamps();
        }

        /** The left channel's output (the right one carries -x). */
        float operator() (float x)
        {
            float frame[2] = { x, -x };
            processFrame (frame, 2);
            return frame[0];
        }
    };

    /** Expected gain in dB: the two chains of one shelf, summed, minus the dry signal. */
    double expectedDb (bool high, double sr, double f, double boostDb, double attenuateDb)
    {
        const double corner = high ? 7000.0 : 80.0;
        const auto boost = DspTest::textbookShelf (high, sr, corner, 0.707f, DspTest::fromDb (boostDb));
        const auto cut = DspTest::textbookShelf (high, sr, corner, high ? 1.0 : 1.5, DspTest::fromDb (-attenuateDb));
        return DspTest::toDb (std::abs (boost.response (f, sr) + cut.response (f, sr) - 1.0));
    }
}

TEST (ShelvingEQ, FlatSettingsPassTheInput)
{
    Prepared eq (48000.0f, { 0, 0, 250, 0, 0, 3500 });
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

TEST (ShelvingEQ, GainsAtDCCornerAndNyquist)
{
    // Boost alone, attenuation alone, and both at once: the sum of the two chains minus the dry
    // signal, so 12 dB of each give 10^(12/20) + 10^(-12/20) - 1 (+10.19 dB) on the shelf's side
    // where their product would give 0 dB. A lone shelf has half its gain at the corner. At DC a
    // low corner's float coefficients are good to a few hundredths of a dB.
    const struct { bool high; float boost, attenuate; double shelfSide, corner; } cases[] = {
        { false, 12, 0, 12.0, 6.0 }, { false, 0, 12, -12.0, -6.0 }, { false, 12, 12, 10.1901, 0.0 },
        { true, 12, 0, 12.0, 6.0 }, { true, 0, 12, -12.0, -6.0 }, { true, 12, 12, 10.1901, 0.0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (::testing::Message() << (c.high ? "high " : "low ") << c.boost << "/" << c.attenuate);
        const double sr = c.high ? 48000.0 : 44100.0, corner = c.high ? 7000.0 : 80.0;
        Settings s;
        (c.high ? s.highBoost : s.lowBoost) = c.boost;
        (c.high ? s.highAttenuate : s.lowAttenuate) = c.attenuate;

        const double cornerExpected = expectedDb (c.high, sr, corner, c.boost, c.attenuate);

        if (c.boost == 0 || c.attenuate == 0)
        {
            EXPECT_NEAR (cornerExpected, c.corner, 1.0e-3);
        }

        const auto measure = [&] (double f) { Prepared eq ((float) sr, s); return DspTest::toDb (DspTest::measureGain (std::ref (eq), sr, f)); };
        EXPECT_NEAR (measure (0.0), c.high ? 0.0 : c.shelfSide, c.high ? 0.01 : 0.03);
        EXPECT_NEAR (measure (corner), cornerExpected, 0.01);
        EXPECT_NEAR (measure (sr / 2), c.high ? c.shelfSide : 0.0, 0.01);
    }
}

TEST (ShelvingEQ, NonFiniteStateIsDetectedAndResetRecovers)
{
    Settings s;
    s.highBoost = 6;
    Prepared eq (44100.0f, s);

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
