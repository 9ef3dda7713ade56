#pragma once

/**
    A linear parameter ramp: the value moves from where it is to a new target in a fixed
    number of calls to next(), one call per sample frame.

    The engine sets the length to the block size and the target once per block, so that a new
    value is reached exactly on the block's last frame. The accumulated value is not corrected
    at the end of a ramp: next() returns the target itself from then on, and a later ramp starts
    from the accumulated value.

    Plain memory with no lock: the owner's threading rules keep the writers apart from the
    audio thread that calls next().
*/
struct RampedValue
{
    float current = 0.0f;    ///< the value the ramp has reached
    float target = 0.0f;     ///< the value the ramp heads for
    float step = 0.0f;       ///< increment per call of next()
    int countdown = 0;       ///< calls of next() left in the running ramp
    int stepsToTarget = 0;   ///< ramp length, in calls of next(), for the next target change

    /** Sets the length of the next ramp. A running ramp keeps its own length; a length of 0 or
        less (an empty block) means "no ramp": the value jumps to its target at once. */
    void setStepsToTarget (int numSteps) noexcept
    {
        stepsToTarget = numSteps;

        if (numSteps <= 0)
            jumpToTarget();
    }

    /** Starts a ramp towards a new target; an unchanged target lets a running ramp run on.
        A NaN never equals the target, so it always restarts the ramp. */
    void setTarget (float newTarget) noexcept
    {
        if (newTarget == target)
            return;

        target = newTarget;

        if (stepsToTarget <= 0)
        {
            jumpToTarget();
            return;
        }

        countdown = stepsToTarget;
        step = (newTarget - current) / (float) stepsToTarget;
    }

    /** Advances the ramp by one frame and returns the new value; once the ramp has run out it
        returns the target and changes nothing. */
    float next() noexcept
    {
        if (countdown >= 1)
        {
            --countdown;
            current += step;
            return current;
        }

        return target;
    }

    /** Stops any running ramp at its target. */
    void snap() noexcept
    {
        current = target;
        countdown = 0;
    }

private:
    void jumpToTarget() noexcept
    {
        current = target;
        countdown = 0;
        step = 0.0f;
    }
};
