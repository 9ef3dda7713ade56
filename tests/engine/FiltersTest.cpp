#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

#include "DynamicFilter.h"
#include "HPFilter.h"
#include "ShelvingEQ.h"
#include "VLIIRFilterSIMD.h"

// The textbook (bilinear, pre-warped) filters in double precision, for expected responses.
namespace DspTest
{
constexpr double pi = 3.14159265358979323846;

inline double toDb (double gain)
{
    return 20.0 * std::log10 (gain);
}

struct Biquad
{
    double b0, b1, b2, a1, a2;

    std::complex<double> response (double frequency, double sampleRate) const
    {
        const auto z1 = std::polar (1.0, -2.0 * pi * frequency / sampleRate);
        return (b0 + b1 * z1 + b2 * z1 * z1) / (1.0 + a1 * z1 + a2 * z1 * z1);
    }
};

inline Biquad textbookPeak (double sr, double f, double Q, double gain)
{
    const double A = std::sqrt (gain), w = 2.0 * pi * f / sr, alpha = std::sin (w) / (2.0 * Q);
    const double a0 = 1.0 + alpha / A;
    return { (1.0 + alpha * A) / a0, -2.0 * std::cos (w) / a0, (1.0 - alpha * A) / a0, -2.0 * std::cos (w) / a0,
             (1.0 - alpha / A) / a0 };
}

inline Biquad textbookShelf (bool high, double sr, double f, double Q, double gain)
{
    const double A = std::sqrt (gain), w = 2.0 * pi * f / sr;
    const double s = std::sin (w), c = high ? -std::cos (w) : std::cos (w), beta = std::sqrt (A) * s / Q;
    const double a0 = (A + 1) + (A - 1) * c + beta;
    const double sign = high ? -1.0 : 1.0;   // a high shelf is the low shelf at z -> -z
    return { A * ((A + 1) - (A - 1) * c + beta) / a0, sign * 2 * A * ((A - 1) - (A + 1) * c) / a0,
             A * ((A + 1) - (A - 1) * c - beta) / a0, sign * -2 * ((A - 1) + (A + 1) * c) / a0,
             ((A + 1) + (A - 1) * c - beta) / a0 };
}
}

using Corvanite::v4f;
using Coefficients = VLIIRCoefficientsSIMD;

TEST (BiquadCoefficients, MakersAgreeWithTheTextbookFormulas)
{
    const struct
    {
        Coefficients c;
        DspTest::Biquad r;
    } cases[] = {
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

    // The band-pass passes its centre at 0 dB and nothing at DC and Nyquist: its middle tap is
    // zero and its outer taps are exactly opposite.
    const auto band = Coefficients::makeBandPass (v4f (48000.0f), v4f (120.0f, 500.0f, 3500.0f, 8000.0f),
                                                  v4f (0.7f, 1.4f, 3.0f, 5.0f));
    EXPECT_TRUE (Corvanite::bitsEqual (band.b1, v4f (0.0f)));
    EXPECT_TRUE (Corvanite::bitsEqual (band.b2, -band.b0));
    const DspTest::Biquad b { band.b0[1], band.b1[1], band.b2[1], band.a1[1], band.a2[1] };
    EXPECT_NEAR (DspTest::toDb (std::abs (b.response (500.0, 48000.0))), 0.0, 1.0e-3);
}

TEST (FrequencyLimits, EveryStageStaysBelowNyquistAtExactly045TimesTheRate)
{
    HPFilter highPass;
    ShelvingEQ shelving;
    DynamicFilter band;
    highPass.setSampleRate (22050.0);
    shelving.setSampleRate (22050.0f);
    band.setSampleRate (22050.0f);

    for (float hz : { 8000.0f, 20000.0f, std::numeric_limits<float>::quiet_NaN() })
    {
        const float expected = hz < 9000.0f ? hz : 0.45f * 22050.0f;
        EXPECT_EQ (highPass.limitCutoff ((double) hz), hz < 9000.0f ? (double) hz : 0.45 * 22050.0) << hz;
        EXPECT_EQ (shelving.limitFrequency (hz), expected) << hz;
        EXPECT_EQ (band.limitFrequency (hz), expected) << hz;
    }
}
