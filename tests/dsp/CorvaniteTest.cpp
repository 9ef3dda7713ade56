#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "Corvanite.h"

using namespace Corvanite;

namespace
{
    std::uint32_t bitsOf (float x)
    {
        std::uint32_t b;
        std::memcpy (&b, &x, sizeof b);
        return b;
    }

    constexpr float qNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();

    /** The largest error of an approximation against double precision over random arguments. */
    double worstError (const std::function<double (float)>& error, float lo, float hi, unsigned seed)
    {
        std::mt19937 rng (seed);
        std::uniform_real_distribution<float> arg (lo, hi);
        double worst = 0.0;

        for (int i = 0; i < 200000; ++i)
            worst = std::max (worst, std::fabs (error (arg (rng))));

        return worst;
    }
}

//==============================================================================
TEST (Vector, LanesNegationAndTruncation)
{
    static_assert (alignof (v4f) == 16 && sizeof (v4f) == 16);

    alignas (16) float out[4];
    v4f c (1.0f, 2.0f, 3.0f, 4.0f);
    c[2] = -1.0f;
    c.store (out);
    EXPECT_EQ (out[2], -1.0f);
    EXPECT_EQ (v4f::load (out)[3], 4.0f);
    EXPECT_EQ (bitsOf ((-v4f (0.0f))[0]), 0x80000000u);
    EXPECT_EQ (truncateToInt (v4f (1.9f, -1.9f, 2.5f, -0.5f))[1], -1);   // towards zero
    EXPECT_EQ (truncateToInt (v4f (1.9f, -1.9f, 2.5f, -0.5f))[3], 0);
}

TEST (Vector, ComparisonsGiveFullLaneMasksAndNaNComparesFalse)
{
    const v4f a (1.0f, 2.0f, qNaN, 4.0f);
    const v4f b (2.0f, 2.0f, 1.0f, 3.0f);

    const auto maskBits = [] (v4f m) { return std::array<std::uint32_t, 4> { bitsOf (m[0]), bitsOf (m[1]), bitsOf (m[2]), bitsOf (m[3]) }; };
    using M = std::array<std::uint32_t, 4>;
    constexpr std::uint32_t T = 0xffffffffu, F = 0u;

    EXPECT_EQ (maskBits (a < b),  (M { T, F, F, F }));
    EXPECT_EQ (maskBits (a <= b), (M { T, T, F, F }));
    EXPECT_EQ (maskBits (a == b), (M { F, T, F, F }));
    EXPECT_EQ (maskBits (a != b), (M { T, F, T, T }));
    EXPECT_EQ (maskBits (notLess (a, b)), (M { F, T, T, T }));
    EXPECT_EQ (maskBits (notLessEqual (a, b)), (M { F, F, T, T }));
    EXPECT_EQ (maskBits (a > b),  (M { F, F, F, T }));

    const v4f picked = select (a < b, v4f (10.0f), v4f (20.0f));
    EXPECT_EQ (picked[0], 10.0f);
    EXPECT_EQ (picked[2], 20.0f);
    EXPECT_EQ (andNot (a < b, v4f (5.0f))[0], 0.0f);
    EXPECT_EQ (andNot (a < b, v4f (5.0f))[1], 5.0f);
    EXPECT_EQ (bitsOf ((v4f (-0.0f) ^ v4f (1.0f))[0]), bitsOf (-1.0f));
    EXPECT_EQ ((v4f (1.0f) | v4f (-0.0f))[0], -1.0f);
}

TEST (Vector, MinAndMaxReturnTheSecondOperandWhenEitherIsNaN)
{
    EXPECT_EQ (min (v4f (qNaN), v4f (3.0f))[0], 3.0f);
    EXPECT_TRUE (std::isnan (min (v4f (3.0f), v4f (qNaN))[0]));
    EXPECT_EQ (max (v4f (qNaN), v4f (3.0f))[0], 3.0f);
    EXPECT_TRUE (std::isnan (max (v4f (3.0f), v4f (qNaN))[0]));
    EXPECT_EQ (min (v4f (1.0f, 5.0f, -1.0f, 0.0f), v4f (2.0f))[1], 2.0f);
    EXPECT_EQ (max (v4f (1.0f, 5.0f, -1.0f, 0.0f), v4f (2.0f))[1], 5.0f);
}

TEST (Vector, FiniteAndBitEqualityChecks)
{
    EXPECT_TRUE (allFinite (v4f (1.0f, -3.0e38f, 0.0f, 1.0e-40f)));
    EXPECT_FALSE (allFinite (v4f (1.0f, qNaN, 0.0f, 0.0f)));
    EXPECT_FALSE (allFinite (v4f (0.0f, 0.0f, 0.0f, -inf)));
    EXPECT_TRUE (bitsEqual (v4f (qNaN), v4f (qNaN)));
    EXPECT_FALSE (bitsEqual (v4f (0.0f), v4f (-0.0f)));
    EXPECT_FALSE (bitsEqual (v4f (1.0f, 2.0f, 3.0f, 4.0f), v4f (1.0f, 2.0f, 3.0f, 5.0f)));
}

//==============================================================================
TEST (VectorMaths, LogExpAndSinCosMatchTheLibrary)
{
    // Log in absolute terms over the positive range, exp in relative terms, sin and cos over
    // the filters' range [-10, 10].
    EXPECT_LT (worstError ([] (float e) { const float x = std::exp (e); return (double) s4f_log (v4f (x))[0] - std::log ((double) x); },
                           -85.0f, 85.0f, 1), 2.0e-7);
    EXPECT_LT (worstError ([] (float x) { return (double) s4f_exp (v4f (x))[0] / std::exp ((double) x) - 1.0; },
                           -87.0f, 88.0f, 2), 2.0e-7);
    EXPECT_LT (worstError ([] (float x) { return (double) s4f_sincos (v4f (x)).sin[0] - std::sin ((double) x); },
                           -10.0f, 10.0f, 3), 1.5e-7);
    EXPECT_LT (worstError ([] (float x) { return (double) s4f_sincos (v4f (x)).cos[0] - std::cos ((double) x); },
                           -10.0f, 10.0f, 4), 1.5e-7);
}

TEST (VectorMaths, LogEdgeCases)
{
    const v4f r = s4f_log (v4f (0.0f, -1.0f, 1.0e-40f, 10.0f));
    EXPECT_TRUE (std::isnan (r[0]));
    EXPECT_EQ (bitsOf (r[1]), 0xffffffffu);                    // invalid lanes: all bits set
    EXPECT_EQ (r[2], s4f_log (v4f (1.17549435e-38f))[0]);     // subnormals read as the smallest normal
    EXPECT_NEAR (r[2], -87.3365447, 1.0e-4);
    EXPECT_EQ (r[3], 2.3025851f);
    EXPECT_TRUE (bitsEqual (__constLog10, s4f_log (v4f (10.0f))));
    EXPECT_EQ (s4f_log (v4f (1.0f))[0], 0.0f);

    // The lower clamp returns its second operand for a NaN lane, so NaN reads as the smallest normal.
    EXPECT_EQ (s4f_log (v4f (qNaN))[0], r[2]);
}

TEST (VectorMaths, ExpClampsItsArgument)
{
    EXPECT_EQ (s4f_exp (v4f (0.0f))[0], 1.0f);
    EXPECT_EQ (bitsOf (s4f_exp (v4f (100.0f))[0]), bitsOf (s4f_exp (v4f (88.3762589f))[0]));
    EXPECT_EQ (bitsOf (s4f_exp (v4f (-100.0f))[0]), bitsOf (s4f_exp (v4f (-88.3762589f))[0]));
    EXPECT_NEAR (s4f_exp (v4f (88.3762589f))[0] / 2.4061436e38, 1.0, 1.0e-6);
    EXPECT_EQ (s4f_exp (v4f (-inf))[0], s4f_exp (v4f (-100.0f))[0]);
}

TEST (VectorMaths, SinCosEdgeCasesAndSymmetry)
{
    const auto zero = s4f_sincos (v4f (0.0f));
    EXPECT_TRUE (bitsEqual (zero.sin, v4f (0.0f)));
    EXPECT_TRUE (bitsEqual (zero.cos, v4f (1.0f)));

    for (float x : { 0.3f, 1.0f, 2.0f, 3.0f, 3.14159274f, 5.5f })
    {
        const auto pos = s4f_sincos (v4f (x)), neg = s4f_sincos (v4f (-x));
        EXPECT_EQ (bitsOf (neg.sin[0]), bitsOf (-pos.sin[0])) << x;
        EXPECT_EQ (bitsOf (neg.cos[0]), bitsOf (pos.cos[0])) << x;
    }

    // Each lane is reduced on its own.
    const auto lanes = s4f_sincos (v4f (0.0f, 1.5707964f, 3.14159274f, -1.5707964f));
    EXPECT_NEAR (lanes.sin[1], 1.0f, 1.0e-7f);
    EXPECT_NEAR (lanes.cos[2], -1.0f, 1.0e-7f);
    EXPECT_NEAR (lanes.sin[3], -1.0f, 1.0e-7f);
}

TEST (VectorMaths, AbsClearsOnlyTheSignBit)
{
    const v4f r = s4f_abs (v4f (-2.5f, 3.0f, -0.0f, -inf));
    EXPECT_TRUE (bitsEqual (r, v4f (2.5f, 3.0f, 0.0f, inf)));
    const v4f negativeNaN = asFloat (v4i (static_cast<std::int32_t> (0xffc00001u)));
    EXPECT_EQ (bitsOf (s4f_abs (negativeNaN)[0]), 0x7fc00001u);
}

TEST (VectorMaths, DecibelConversions)
{
    EXPECT_FLOAT_EQ (decibelsToGain (20.0f), 10.0f);
    EXPECT_FLOAT_EQ (decibelsToGain (-6.0206f), 0.5f);
    EXPECT_FLOAT_EQ (attenuationToGain (20.0f), 0.1f);
    EXPECT_EQ (decibelsToGain (0.0f), 1.0f);

    const v4f g = s4f_decibelsToGain (v4f (0.0f, 20.0f, -20.0f, -7.5f));
    EXPECT_EQ (g[0], 1.0f);
    EXPECT_NEAR (g[1], 10.0f, 1.0e-5f);
    EXPECT_NEAR (g[2], 0.1f, 1.0e-7f);
    EXPECT_NEAR (g[3], 0.4216965f, 1.0e-6f);

    const v4f dB = s4f_gainToDecibels (v4f (1.0f, 10.0f, 0.5f, 1.0e-5f));
    EXPECT_EQ (dB[0], 0.0f);
    EXPECT_NEAR (dB[1], 20.0f, 1.0e-5f);
    EXPECT_NEAR (dB[2], -6.0206f, 1.0e-4f);
    EXPECT_NEAR (dB[3], -100.0f, 1.0e-4f);
}
