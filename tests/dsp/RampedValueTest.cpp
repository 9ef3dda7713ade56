#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RampedValue.h"

TEST (RampedValue, ReachesItsTargetInExactlyTheGivenSteps)
{
    RampedValue r;
    r.setStepsToTarget (4);
    r.setTarget (1.0f);

    EXPECT_EQ (r.next(), 0.25f);
    EXPECT_EQ (r.next(), 0.5f);
    r.setTarget (1.0f);               // unchanged target: the running ramp goes on
    EXPECT_EQ (r.next(), 0.75f);
    EXPECT_EQ (r.next(), 1.0f);

    for (int i = 0; i < 10; ++i)
        EXPECT_EQ (r.next(), 1.0f);
}

TEST (RampedValue, AccumulatedValueIsNotCorrectedAndTheNextRampStartsFromIt)
{
    RampedValue r;
    r.setStepsToTarget (3);
    r.setTarget (0.1f);

    float expected = 0.0f;

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (r.next(), expected += 0.1f / 3.0f);

    EXPECT_EQ (r.current, expected);   // the accumulated value, not the target
    EXPECT_EQ (r.next(), 0.1f);        // past the ramp: the target itself

    r.setTarget (1.0f);
    EXPECT_EQ (r.step, (1.0f - expected) / 3.0f);
}

TEST (RampedValue, NewLengthAppliesFromTheNextTargetChange)
{
    RampedValue r;
    r.setStepsToTarget (4);
    r.setTarget (4.0f);
    EXPECT_EQ (r.next(), 1.0f);

    r.setStepsToTarget (2);           // the running ramp keeps its length
    EXPECT_EQ (r.countdown, 3);
    EXPECT_EQ (r.next(), 2.0f);

    r.setTarget (0.0f);               // a new ramp from where the value got to, over 2 steps
    EXPECT_EQ (r.next(), 1.0f);
    EXPECT_EQ (r.next(), 0.0f);
    EXPECT_EQ (r.next(), 0.0f);
}

TEST (RampedValue, SnapStopsARunningRampAtItsTarget)
{
    RampedValue r;
    r.setStepsToTarget (100);
    r.setTarget (5.0f);
    r.next();
    r.snap();

    EXPECT_EQ (r.current, 5.0f);
    EXPECT_EQ (r.countdown, 0);
    EXPECT_EQ (r.next(), 5.0f);
}

TEST (RampedValue, ZeroOrNegativeLengthJumpsToTheTarget)
{
    // An empty block: the value lands on its target instead of dividing by zero, whether or not
    // the target changes, and the next ramp starts from there.
    for (int length : { 0, -1, -256 })
    {
        for (float target : { 2.0f, 8.0f })
        {
            SCOPED_TRACE (::testing::Message() << length << " steps to " << target);
            RampedValue r;
            r.setStepsToTarget (8);
            r.setTarget (8.0f);
            r.next();

            r.setStepsToTarget (length);
            r.setTarget (target);
            EXPECT_EQ (r.current, target);
            EXPECT_EQ (r.countdown, 0);
            EXPECT_TRUE (std::isfinite (r.step));
            EXPECT_EQ (r.next(), target);

            r.setStepsToTarget (2);
            r.setTarget (target + 2.0f);
            EXPECT_EQ (r.next(), target + 1.0f);
            EXPECT_EQ (r.next(), target + 2.0f);
        }
    }
}

TEST (RampedValue, NaNTargetAlwaysRestartsTheRamp)
{
    RampedValue r;
    r.setStepsToTarget (2);
    r.setTarget (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (r.countdown, 2);

    r.next();
    r.setTarget (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (r.countdown, 2);
}
