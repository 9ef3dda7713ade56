#pragma once

#include "RampedValue.h"
#include "VLIIRFilterSIMD.h"

/**
    The engine's shelving stage: a low and a high shelf, each with a boost and an attenuate
    control acting at the same time on the same corner frequency.

    Per channel, a boost chain (Q 0.707) and an attenuate chain (Q 1.5 low, 1.0 high) run in
    parallel on the four lanes {boost L, attenuate L, boost R, attenuate R}; the output is the
    sum of the two chains minus the dry signal, so with both at 0 dB the stage is transparent.

    The owner sets the six ramps once per block; setSampleRate(), snapRamps() and reset() belong
    to its preparation and state-load paths. processFrame() and processBlock() run on the audio
    thread and neither allocate nor lock.
*/
class ShelvingEQ
{
public:
    /** Prepared for 44100 Hz, zero state, 0 dB everywhere, corners at 120 Hz and 7000 Hz. */
    ShelvingEQ() noexcept;

    /** Sets the sample rate in Hz, clears both filters and stops every ramp at its target. */
    void setSampleRate (float sampleRate) noexcept;

    /** Stops every ramp at its target (after a state load). */
    void snapRamps() noexcept;

    /** Clears both filters' state; ramps and coefficients are left alone. */
    void reset() noexcept;

    /** True while both filters' state is finite. */
    bool isFinite() const noexcept;

    /** Processes one frame in place: processBlock() of one frame. Both channels are filtered
        on every call; numChannels (1 or 2) decides which of frame[0] and frame[1] are written
        back. frame[1] is always read, so the frame must hold two floats. */
    void processFrame (float* frame, int numChannels) noexcept;

    /** Processes numSamples stereo frames in place, left and right in separate arrays (which
        must not overlap); the same bits as processFrame (frame, 2) on each frame in turn. */
    void processBlock (float* left, float* right, int numSamples) noexcept;

    float getSampleRate() const noexcept { return sampleRate; }

    /** The corner actually used for a requested one: limited to 0.45 times the sample rate, so
        that high corners stay stable at low sample rates. */
    float limitFrequency (float requestedHz) const noexcept;

    RampedValue lowBoost;        ///< dB, 0 or more
    RampedValue lowAttenuate;    ///< dB, 0 or more, applied as a cut
    RampedValue lowFrequency;    ///< Hz
    RampedValue highBoost;       ///< dB, 0 or more
    RampedValue highAttenuate;   ///< dB, 0 or more, applied as a cut
    RampedValue highFrequency;   ///< Hz

private:
    struct CachedShelf
    {
        // The ramp values (bit patterns) the shelf's coefficients were last computed from.
        float boost = 0.0f, attenuate = 0.0f, frequency = 0.0f;
        bool valid = false;
    };

    float sampleRate = 44100.0f;
    float maxFrequency = 0.45f * 44100.0f;
    VLIIRFilterSIMD lowShelf, highShelf;
    CachedShelf lowCache, highCache;

    inline bool advanceRamps() noexcept;
};
