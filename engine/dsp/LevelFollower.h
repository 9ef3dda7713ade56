#pragma once

#include "Corvanite.h"

#include <atomic>

/**
    Peak follower for a level meter read on another thread.

    The audio thread pushes every sample frame into a running maximum that only it touches, and
    publishes that maximum once per block with publish(). The reader (the message thread) takes
    the peak gathered since its last take with takePeak() and then reads it from getHeldPeak().

    The shared peak is a lane-wise maximum kept in atomics: publish() raises it with a
    compare-and-swap, takePeak() swaps it back to the floor, so a block that ends while the reader
    takes the peak is never lost, it only counts for the next take. Neither side waits.

    Lanes 0 and 1 are channels 0 and 1; the engine feeds 0 into lanes 2 and 3. Levels are linear
    amplitudes with a floor of 1e-5 (-100 dB).
*/
class LevelFollower
{
public:
    /** The lowest level a peak can show, 1e-5 (-100 dB). */
    static constexpr float floorLevel = 1.0e-5f;

    LevelFollower() noexcept
    {
        for (auto& lane : sharedPeak)
            lane.store (floorLevel, std::memory_order_relaxed);
    }

    //==============================================================================
    /** Audio thread: takes one frame into the block's running maximum of |x|. A lane whose
        sample is not a number keeps its maximum. */
    void push (const Corvanite::v4f& x) noexcept
    {
        // max() returns its second operand where either is NaN.
        blockPeak = Corvanite::max (Corvanite::s4f_abs (x), blockPeak);
    }

    /** Audio thread, at the end of each block: merges the block's maximum into the shared peak
        and marks the follower fresh. The block's maximum starts again from the floor. */
    void publish() noexcept
    {
        for (int lane = 0; lane < 4; ++lane)
        {
            const float level = blockPeak[lane];
            auto& shared = sharedPeak[lane];
            float seen = shared.load (std::memory_order_relaxed);

            while (level > seen && ! shared.compare_exchange_weak (seen, level, std::memory_order_relaxed))
            {
            }
        }

        blockPeak = Corvanite::v4f (floorLevel);
        fresh.store (true, std::memory_order_release);
    }

    //==============================================================================
    /** Reader thread: if a block has been published since the last take, the peak gathered
        since then becomes the held peak and the shared peak starts again from the floor;
        otherwise nothing changes. */
    void takePeak() noexcept
    {
        if (! fresh.exchange (false, std::memory_order_acq_rel))
            return;

        for (int lane = 0; lane < 4; ++lane)
            heldPeak[lane] = sharedPeak[lane].exchange (floorLevel, std::memory_order_acq_rel);
    }

    /** Reader thread: the peak taken by the last takePeak(), linear, one value per lane. */
    Corvanite::v4f getHeldPeak() const noexcept { return heldPeak; }

    /** True when a block has been published since the last take. Any thread. */
    bool isFresh() const noexcept { return fresh.load (std::memory_order_acquire); }

private:
    Corvanite::v4f blockPeak { floorLevel };   // audio thread only
    std::atomic<float> sharedPeak[4];          // audio thread raises, reader swaps out
    Corvanite::v4f heldPeak { floorLevel };    // reader only
    std::atomic<bool> fresh { true };
};
