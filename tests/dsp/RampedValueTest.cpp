#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RampedValue.h"

TEST (RampedValue, StartsZeroedAndIdle)
{
    RampedValue r;
    EXPECT_EQ (r.current, 0.0f);
    EXPECT_EQ (r.target, 0.0f);
    EXPECT_EQ (r.step, 0.0f);
    EXPECT_EQ (r.countdown, 0);
    EXPECT_EQ (r.stepsToTarget, 0);
    EXPECT_EQ (r.next(), 0.0f);
}

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
    const float step = 0.1f / 3.0f;

    for (int i = 0; i < 3; ++i)
    {
        expected += step;
        EXPECT_EQ (r.next(), expected);
    }

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
    for (int length : { 0, -1, -256 })
    {
        RampedValue r;
        r.setStepsToTarget (8);
        r.setTarget (8.0f);
        r.next();

        // An empty block: the value lands on its target instead of dividing by zero.
        r.setStepsToTarget (length);
        r.setTarget (2.0f);

        EXPECT_EQ (r.current, 2.0f) << length;
        EXPECT_EQ (r.countdown, 0) << length;
        EXPECT_TRUE (std::isfinite (r.step)) << length;
        EXPECT_EQ (r.next(), 2.0f) << length;

        // The next ramp starts from the target, not from a stale value.
        r.setStepsToTarget (2);
        r.setTarget (4.0f);
        EXPECT_EQ (r.next(), 3.0f) << length;
        EXPECT_EQ (r.next(), 4.0f) << length;
    }
}

TEST (RampedValue, EmptyBlockWithAnUnchangedTargetAlsoSettles)
{
    RampedValue r;
    r.setStepsToTarget (4);
    r.setTarget (1.0f);
    r.next();

    r.setStepsToTarget (0);
    r.setTarget (1.0f);

    EXPECT_EQ (r.current, 1.0f);
    EXPECT_EQ (r.next(), 1.0f);
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
