#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "Corvanite.h"
#include "RampedValue.h"

using namespace Corvanite;

namespace
{
constexpr float qNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();
}

TEST (VectorMaths, LogExpAndSinCosMatchTheLibrary)
{
    // Log in absolute terms over the positive range, exp in relative terms, sin and cos over
    // the filters' range [-10, 10], on a fine grid.
    double worst[4] = {};

    for (int i = 0; i <= 400000; ++i)
    {
        const float t = (float) i / 400000.0f, x = std::exp (-85.0f + 170.0f * t), e = -87.0f + 175.0f * t,
                    a = -10.0f + 20.0f * t;
        const double errors[4] = { s4f_log (v4f (x))[0] - std::log ((double) x),
                                   s4f_exp (v4f (e))[0] / std::exp ((double) e) - 1.0,
                                   s4f_sincos (v4f (a)).sin[0] - std::sin ((double) a),
                                   s4f_sincos (v4f (a)).cos[0] - std::cos ((double) a) };

        for (int k = 0; k < 4; ++k)
            worst[k] = std::max (worst[k], std::fabs (errors[k]));
    }

    for (int k = 0; k < 4; ++k)
        EXPECT_LT (worst[k], k < 2 ? 2.0e-7 : 1.5e-7) << k;
}

TEST (VectorMaths, EdgeCasesAndDecibels)
{
    // NaN goes to the second operand of min and max; the checks see every lane.
    EXPECT_EQ (min (v4f (qNaN), v4f (3.0f))[0], 3.0f);
    EXPECT_TRUE (std::isnan (max (v4f (3.0f), v4f (qNaN))[0]));
    EXPECT_FALSE (allFinite (v4f (0.0f, 0.0f, 0.0f, -inf)));
    EXPECT_FALSE (bitsEqual (v4f (0.0f, 0.0f, 0.0f, 0.0f), v4f (0.0f, 0.0f, -0.0f, 0.0f)));
    EXPECT_TRUE (
        bitsEqual (s4f_abs (asFloat (v4i (static_cast<std::int32_t> (0xffc00001u)))), asFloat (v4i (0x7fc00001))));

    const v4f r = s4f_log (v4f (0.0f, -1.0f, 1.0e-40f, 10.0f));
    EXPECT_TRUE (std::isnan (r[0]));
    EXPECT_TRUE (bitsEqual (v4f (r[1]), asFloat (v4i (-1))));   // invalid lanes: all bits set
    EXPECT_EQ (r[2], s4f_log (v4f (1.17549435e-38f))[0]);       // subnormals read as the smallest normal
    EXPECT_EQ (r[3], 2.3025851f);
    EXPECT_EQ (s4f_log (v4f (qNaN))[0], r[2]);

    // exp clamps its argument to +-88.3762589, the top still inside the float range.
    EXPECT_TRUE (bitsEqual (s4f_exp (v4f (100.0f)), s4f_exp (v4f (88.3762589f))));
    EXPECT_TRUE (bitsEqual (s4f_exp (v4f (-inf)), s4f_exp (v4f (-88.3762589f))));
    EXPECT_NEAR (s4f_exp (v4f (88.3762589f))[0] / 2.4061436e38, 1.0, 1.0e-6);

    const auto zero = s4f_sincos (v4f (0.0f)), pos = s4f_sincos (v4f (2.0f)), neg = s4f_sincos (v4f (-2.0f));
    EXPECT_TRUE (bitsEqual (zero.sin, v4f (0.0f)) && bitsEqual (zero.cos, v4f (1.0f)));
    EXPECT_TRUE (bitsEqual (neg.sin, -pos.sin) && bitsEqual (neg.cos, pos.cos));

    EXPECT_NEAR (s4f_decibelsToGain (v4f (-7.5f))[0], 0.4216965f, 1.0e-6f);
    EXPECT_NEAR (s4f_gainToDecibels (v4f (1.0e-5f))[0], -100.0f, 1.0e-4f);
}

//==============================================================================
TEST (RampedValue, ReachesItsTargetInExactlyTheGivenSteps)
{
    // Each row: the ramp's length, its target, and what next() returns call by call.
    const struct
    {
        int steps;
        float target;
        std::vector<float> values;
    } cases[] = {
        { 4, 1.0f, { 0.25f, 0.5f, 0.75f, 1.0f, 1.0f, 1.0f } },
        { 3, 0.1f, { 0.1f / 3.0f, 0.1f / 3.0f + 0.1f / 3.0f, 0.1f / 3.0f + 0.1f / 3.0f + 0.1f / 3.0f, 0.1f } },
        { 0, 2.0f, { 2.0f, 2.0f } },   // an empty block: the target at once
        { -256, 8.0f, { 8.0f } },
    };

    for (const auto& c : cases)
    {
        RampedValue r;
        r.setStepsToTarget (c.steps);
        r.setTarget (c.target);
        r.setTarget (c.target);   // unchanged: the running ramp goes on

        for (size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ (r.next(), c.values[i]) << c.steps << " steps, call " << i;

        EXPECT_TRUE (std::isfinite (r.step));
    }
}

TEST (RampedValue, NextRampStartsFromTheAccumulatedValueWithTheNewLength)
{
    RampedValue r;
    r.setStepsToTarget (3);
    r.setTarget (0.1f);
    r.next(), r.next(), r.next();
    const float accumulated = r.current;   // not corrected to the target

    r.setStepsToTarget (2);
    r.setTarget (1.0f);
    EXPECT_EQ (r.step, (1.0f - accumulated) / 2.0f);

    r.setStepsToTarget (100);   // the running ramp keeps its length
    EXPECT_EQ (r.countdown, 2);
    r.snap();
    EXPECT_EQ (r.next(), 1.0f);

    r.setTarget (qNaN);   // a NaN always restarts the ramp
    r.next();
    r.setTarget (qNaN);
    EXPECT_EQ (r.countdown, 100);
}
