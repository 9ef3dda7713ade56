#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "DspTestSignals.h"
#include "VLIIRFilterSIMD.h"

using Corvanite::v4f;
using DspTest::biquadMagnitude;

namespace
{
    double laneMagnitude (const VLIIRCoefficientsSIMD& c, int lane, double f, double sr)
    {
        return biquadMagnitude (c.b0[lane], c.b1[lane], c.b2[lane], c.a1[lane], c.a2[lane], f, sr);
    }

    void expectClose (const VLIIRCoefficientsSIMD& c, int lane, const DspTest::Biquad& r, double tolerance)
    {
        EXPECT_NEAR (c.b0[lane], r.b0, tolerance);
        EXPECT_NEAR (c.b1[lane], r.b1, tolerance);
        EXPECT_NEAR (c.b2[lane], r.b2, tolerance);
        EXPECT_NEAR (c.a1[lane], r.a1, tolerance);
        EXPECT_NEAR (c.a2[lane], r.a2, tolerance);
    }
}

TEST (BiquadCoefficients, UnityGainShelvesAndPeakPassTheInput)
{
    const v4f sr (44100.0f), f (1000.0f, 50.0f, 7000.0f, 15000.0f), Q (0.707f, 1.5f, 1.0f, 4.0f), unity (1.0f);

    for (const auto& c : { VLIIRCoefficientsSIMD::makeLowShelf (sr, f, Q, unity),
                           VLIIRCoefficientsSIMD::makeHighShelf (sr, f, Q, unity),
                           VLIIRCoefficientsSIMD::makePeakFilter (sr, f, Q, unity) })
    {
        for (int lane = 0; lane < 4; ++lane)
        {
            EXPECT_NEAR (c.b0[lane], 1.0f, 1.0e-6f);
            EXPECT_NEAR (c.b1[lane], c.a1[lane], 1.0e-6f);
            EXPECT_NEAR (c.b2[lane], c.a2[lane], 1.0e-6f);
        }
    }

    // The peak filter's b1 and a1 are the very same value.
    const auto peak = VLIIRCoefficientsSIMD::makePeakFilter (sr, f, Q, v4f (3.0f));
    EXPECT_TRUE (Corvanite::bitsEqual (peak.b1, peak.a1));
}

TEST (BiquadCoefficients, MakersAgreeWithTheTextbookFormulas)
{
    const auto peak = VLIIRCoefficientsSIMD::makePeakFilter (v4f (48000.0f), v4f (1200.0f), v4f (1.4f), v4f (4.0f));
    expectClose (peak, 0, DspTest::textbookPeak (48000.0, 1200.0, 1.4f, 4.0), 2.0e-6);

    const auto low = VLIIRCoefficientsSIMD::makeLowShelf (v4f (44100.0f), v4f (80.0f), v4f (0.707f), v4f (0.25f));
    expectClose (low, 0, DspTest::textbookShelf (false, 44100.0, 80.0, 0.707f, 0.25), 2.0e-6);

    const auto high = VLIIRCoefficientsSIMD::makeHighShelf (v4f (44100.0f), v4f (7000.0f), v4f (1.0f), v4f (3.0f));
    expectClose (high, 0, DspTest::textbookShelf (true, 44100.0, 7000.0, 1.0, 3.0), 2.0e-6);
}

TEST (BiquadCoefficients, ResponsesAtTheCharacteristicFrequencies)
{
    const double sr = 44100.0;
    const float gain = (float) DspTest::fromDb (12.0);

    const auto peak = VLIIRCoefficientsSIMD::makePeakFilter (v4f ((float) sr), v4f (1000.0f), v4f (2.0f), v4f (gain));
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (peak, 0, 1000.0, sr)), 12.0, 1.0e-3);
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (peak, 0, 0.0, sr)), 0.0, 1.0e-3);

    // Shelves: full gain on their side, half of it (in dB) at the corner, none on the far side.
    // Float coefficients of a low corner are good to a few thousandths of a dB at DC.
    const auto low = VLIIRCoefficientsSIMD::makeLowShelf (v4f ((float) sr), v4f (200.0f), v4f (0.707f), v4f (gain));
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (low, 0, 0.0, sr)), 12.0, 0.01);
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (low, 0, 200.0, sr)), 6.0, 1.0e-3);
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (low, 0, sr / 2, sr)), 0.0, 1.0e-3);

    const auto high = VLIIRCoefficientsSIMD::makeHighShelf (v4f ((float) sr), v4f (7000.0f), v4f (1.0f), v4f (1.0f / gain));
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (high, 0, sr / 2, sr)), -12.0, 1.0e-3);
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (high, 0, 7000.0, sr)), -6.0, 1.0e-3);
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (high, 0, 0.0, sr)), 0.0, 1.0e-3);

    // Band-pass: 0 dB at the centre, nothing at DC and Nyquist.
    const auto band = VLIIRCoefficientsSIMD::makeBandPass (v4f ((float) sr), v4f (500.0f), v4f (1.4f));
    EXPECT_NEAR (DspTest::toDb (laneMagnitude (band, 0, 500.0, sr)), 0.0, 1.0e-3);
    EXPECT_LT (laneMagnitude (band, 0, 0.0, sr), 1.0e-6);
    EXPECT_LT (laneMagnitude (band, 0, sr / 2, sr), 1.0e-6);
}

TEST (BiquadCoefficients, BandPassHasAZeroMiddleTapAndAntisymmetricOuterTaps)
{
    const auto c = VLIIRCoefficientsSIMD::makeBandPass (v4f (48000.0f), v4f (120.0f, 500.0f, 3500.0f, 8000.0f),
                                                         v4f (0.7f, 1.4f, 3.0f, 5.0f));
    EXPECT_TRUE (Corvanite::bitsEqual (c.b1, v4f (0.0f)));
    EXPECT_TRUE (Corvanite::bitsEqual (c.b2, -c.b0));
}

TEST (BiquadCoefficients, NegativeGainSpoilsOnlyItsOwnLane)
{
    const auto c = VLIIRCoefficientsSIMD::makePeakFilter (v4f (44100.0f), v4f (1000.0f), v4f (1.0f),
                                                           v4f (2.0f, -1.0f, 2.0f, 0.5f));
    EXPECT_TRUE (std::isnan (c.b0[1]));
    EXPECT_TRUE (std::isnan (c.a2[1]));

    for (int lane : { 0, 2, 3 })
    {
        EXPECT_TRUE (std::isfinite (c.b0[lane]));
        EXPECT_TRUE (std::isfinite (c.a2[lane]));
    }
}

//==============================================================================
TEST (BiquadFilter, UnconfiguredFilterOutputsZero)
{
    VLIIRFilterSIMD filter;

    for (int i = 0; i < 10; ++i)
    {
        const v4f y = filter.processSingleSampleRaw (v4f (1.0f, -2.0f, 3.0f, 0.5f));

        for (int lane = 0; lane < 4; ++lane)
            EXPECT_EQ (y[lane], 0.0f);
    }
}

TEST (BiquadFilter, RecursionIsTransposedDirectFormTwo)
{
    VLIIRFilterSIMD filter;
    VLIIRCoefficientsSIMD c;
    c.b0 = v4f (0.5f);
    c.b1 = v4f (0.25f);
    c.b2 = v4f (0.125f);
    c.a1 = v4f (-0.5f);
    c.a2 = v4f (0.25f);
    filter.setCoefficients (c);

    // Impulse response by the difference equation y[n] = sum b x - a1 y[n-1] - a2 y[n-2].
    double y1 = 0.0, y2 = 0.0;

    for (int n = 0; n < 20; ++n)
    {
        const double x = n == 0 ? 1.0 : 0.0, x1 = n == 1 ? 1.0 : 0.0, x2 = n == 2 ? 1.0 : 0.0;
        const double expected = 0.5 * x + 0.25 * x1 + 0.125 * x2 + 0.5 * y1 - 0.25 * y2;
        EXPECT_NEAR (filter.processSingleSampleRaw (v4f ((float) x))[2], expected, 1.0e-7);
        y2 = y1;
        y1 = expected;
    }
}

TEST (BiquadFilter, NewCoefficientsKeepTheStateAndResetKeepsTheCoefficients)
{
    const auto first = VLIIRCoefficientsSIMD::makePeakFilter (v4f (44100.0f), v4f (1000.0f), v4f (1.0f), v4f (4.0f));
    const auto second = VLIIRCoefficientsSIMD::makePeakFilter (v4f (44100.0f), v4f (2000.0f), v4f (2.0f), v4f (0.5f));

    VLIIRFilterSIMD a, b;
    a.setCoefficients (first);
    b.setCoefficients (first);

    for (int i = 0; i < 5; ++i)
    {
        a.processSingleSampleRaw (v4f ((float) i));
        b.processSingleSampleRaw (v4f ((float) i));
    }

    const v4f s1 = a.s1, s2 = a.s2;
    a.setCoefficients (second);
    EXPECT_TRUE (Corvanite::bitsEqual (a.s1, s1));
    EXPECT_TRUE (Corvanite::bitsEqual (a.s2, s2));

    // The output continues from the old state: y = b0' x + s1.
    const v4f y = a.processSingleSampleRaw (v4f (1.0f));
    EXPECT_TRUE (Corvanite::bitsEqual (y, second.b0 * v4f (1.0f) + s1));

    a.reset();
    EXPECT_TRUE (Corvanite::bitsEqual (a.s1, v4f (0.0f)));
    EXPECT_TRUE (Corvanite::bitsEqual (a.s2, v4f (0.0f)));
    EXPECT_TRUE (Corvanite::bitsEqual (a.b0, second.b0));
    EXPECT_TRUE (Corvanite::bitsEqual (a.processSingleSampleRaw (v4f (1.0f)), second.b0));
}

TEST (BiquadFilter, LanesAreIndependentAndNaNStaysInItsLane)
{
    VLIIRFilterSIMD filter;
    filter.setCoefficients (VLIIRCoefficientsSIMD::makePeakFilter (v4f (44100.0f), v4f (1000.0f), v4f (1.0f), v4f (2.0f)));
    VLIIRFilterSIMD reference = filter;

    const float nan = std::numeric_limits<float>::quiet_NaN();

    for (int i = 0; i < 64; ++i)
    {
        const float x = std::sin (0.1f * (float) i);
        const v4f y = filter.processSingleSampleRaw (v4f (x, i == 3 ? nan : x, x, x));
        const v4f r = reference.processSingleSampleRaw (v4f (x));

        EXPECT_EQ (y[0], r[0]);
        EXPECT_EQ (y[2], y[0]);
        EXPECT_EQ (y[3], y[0]);

        if (i >= 3)
        {
            EXPECT_TRUE (std::isnan (y[1]));
        }
    }

    EXPECT_FALSE (filter.isFinite());
    filter.reset();
    EXPECT_TRUE (filter.isFinite());
}
