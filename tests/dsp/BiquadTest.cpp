#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DspTestSignals.h"
#include "VLIIRFilterSIMD.h"

using Corvanite::v4f;
using Coefficients = VLIIRCoefficientsSIMD;

TEST (BiquadCoefficients, MakersAgreeWithTheTextbookFormulas)
{
    const struct { Coefficients c; DspTest::Biquad r; } cases[] = {
        { Coefficients::makePeakFilter (v4f (48000.0f), v4f (1200.0f), v4f (1.4f), v4f (4.0f)),
          DspTest::textbookPeak (48000.0, 1200.0, 1.4f, 4.0) },
        { Coefficients::makeLowShelf (v4f (44100.0f), v4f (80.0f), v4f (0.707f), v4f (0.25f)),
          DspTest::textbookShelf (false, 44100.0, 80.0, 0.707f, 0.25) },
        { Coefficients::makeHighShelf (v4f (44100.0f), v4f (7000.0f), v4f (1.0f), v4f (3.0f)),
          DspTest::textbookShelf (true, 44100.0, 7000.0, 1.0, 3.0) },
    };

    for (const auto& [c, r] : cases)
    {
        EXPECT_NEAR (c.b0[0], r.b0, 2.0e-6);
        EXPECT_NEAR (c.b1[0], r.b1, 2.0e-6);
        EXPECT_NEAR (c.b2[0], r.b2, 2.0e-6);
        EXPECT_NEAR (c.a1[0], r.a1, 2.0e-6);
        EXPECT_NEAR (c.a2[0], r.a2, 2.0e-6);
    }
}

TEST (BiquadCoefficients, ResponsesAtTheCharacteristicFrequencies)
{
    const double sr = 44100.0;
    const v4f rate ((float) sr), gain ((float) DspTest::fromDb (12.0));
    const auto peak = Coefficients::makePeakFilter (rate, v4f (1000.0f), v4f (2.0f), gain);
    const auto low = Coefficients::makeLowShelf (rate, v4f (200.0f), v4f (0.707f), gain);
    const auto high = Coefficients::makeHighShelf (rate, v4f (7000.0f), v4f (1.0f), v4f (1.0f) / gain);
    const auto band = Coefficients::makeBandPass (rate, v4f (500.0f), v4f (1.4f));

    // Shelves: full gain on their side, half of it (in dB) at the corner, none on the far side.
    // Float coefficients of a low corner are good to a few thousandths of a dB at DC.
    const struct { const Coefficients* c; double f, dB, tolerance; } cases[] = {
        { &peak, 1000.0, 12.0, 1.0e-3 }, { &peak, 0.0, 0.0, 1.0e-3 },
        { &low, 0.0, 12.0, 0.01 }, { &low, 200.0, 6.0, 1.0e-3 }, { &low, sr / 2, 0.0, 1.0e-3 },
        { &high, sr / 2, -12.0, 1.0e-3 }, { &high, 7000.0, -6.0, 1.0e-3 }, { &high, 0.0, 0.0, 1.0e-3 },
        { &band, 500.0, 0.0, 1.0e-3 },
    };

    for (const auto& k : cases)
    {
        const auto& c = *k.c;
        const DspTest::Biquad b { c.b0[0], c.b1[0], c.b2[0], c.a1[0], c.a2[0] };
        EXPECT_NEAR (DspTest::toDb (std::abs (b.response (k.f, sr))), k.dB, k.tolerance) << k.f << " Hz, expecting " << k.dB;
    }

    // The band-pass passes nothing at DC and Nyquist: its middle tap is zero and its outer taps
    // are exactly opposite.
    const auto bands = Coefficients::makeBandPass (v4f (48000.0f), v4f (120.0f, 500.0f, 3500.0f, 8000.0f),
                                                   v4f (0.7f, 1.4f, 3.0f, 5.0f));
    EXPECT_TRUE (Corvanite::bitsEqual (bands.b1, v4f (0.0f)));
    EXPECT_TRUE (Corvanite::bitsEqual (bands.b2, -bands.b0));
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
    const auto first = Coefficients::makePeakFilter (v4f (44100.0f), v4f (1000.0f), v4f (1.0f), v4f (4.0f));
    const auto second = Coefficients::makePeakFilter (v4f (44100.0f), v4f (2000.0f), v4f (2.0f), v4f (0.5f));

    VLIIRFilterSIMD a;
    a.setCoefficients (first);

    for (int i = 0; i < 5; ++i)
        a.processSingleSampleRaw (v4f ((float) i));

    const v4f s1 = a.s1, s2 = a.s2;
    a.setCoefficients (second);
    EXPECT_TRUE (Corvanite::bitsEqual (a.s1, s1));
    EXPECT_TRUE (Corvanite::bitsEqual (a.s2, s2));

    // The output continues from the old state: y = b0' x + s1.
    EXPECT_TRUE (Corvanite::bitsEqual (a.processSingleSampleRaw (v4f (1.0f)), second.b0 * v4f (1.0f) + s1));

    a.reset();
    EXPECT_TRUE (Corvanite::bitsEqual (a.s1, v4f (0.0f)));
    EXPECT_TRUE (Corvanite::bitsEqual (a.s2, v4f (0.0f)));
    EXPECT_TRUE (Corvanite::bitsEqual (a.processSingleSampleRaw (v4f (1.0f)), second.b0));
}

TEST (BiquadFilter, LanesAreIndependentAndNaNStaysInItsLane)
{
    VLIIRFilterSIMD filter;
    filter.setCoefficients (Coefficients::makePeakFilter (v4f (44100.0f), v4f (1000.0f), v4f (1.0f), v4f (2.0f)));
    VLIIRFilterSIMD reference = filter;

    for (int i = 0; i < 64; ++i)
    {
        const float x = std::sin (0.1f * (float) i);
        const v4f y = filter.processSingleSampleRaw (v4f (x, i == 3 ? std::numeric_limits<float>::quiet_NaN() : x, x, x));
        const v4f r = reference.processSingleSampleRaw (v4f (x));

        EXPECT_EQ (y[0], r[0]);
        EXPECT_EQ (y[2], y[0]);
        EXPECT_EQ (y[3], y[0]);
        EXPECT_EQ (std::isnan (y[1]), i >= 3);
    }

    EXPECT_FALSE (filter.isFinite());
    filter.reset();
    EXPECT_TRUE (filter.isFinite());
}
