#pragma once

#include "RampedValue.h"

/**
    The engine's high-pass stage: a 24 dB/octave Butterworth high-pass for two channels, two
    identical second-order sections in series per channel, computed in double precision.

    The cutoff moves through a ramp that the owner sets once per block. Switching the stage off
    is the owner's business (a dry/filtered mix); the filter itself always runs.

    setSampleRate() and reset() are for the owner's preparation path; processFrame() and
    processBlock() run on the audio thread and neither allocate nor lock.
*/
class HPFilter
{
public:
    /** Prepared for 44100 Hz, zero state, cutoff 20 Hz with no ramp running. */
    HPFilter() noexcept;

    /** Sets the sample rate in Hz, clears the state and stops the cutoff ramp at its target. */
    void setSampleRate (double sampleRate) noexcept;

    /** Clears the state of every section; the cutoff and its ramp are left alone. */
    void reset() noexcept;

    /** True while the state of every section is finite. */
    bool isFinite() const noexcept;

    /** Filters frame[0] and frame[1] in place by one sample each. Both channels are always
        processed, so the frame must hold two floats; numChannels is not used. */
    void processFrame (float* frame, int numChannels) noexcept;

    /** Filters numSamples frames in place, left and right in separate arrays (which must not
        overlap); the same bits as processFrame on each frame in turn. */
    void processBlock (float* left, float* right, int numSamples) noexcept;

    double getSampleRate() const noexcept { return sampleRate; }

    /** The cutoff actually used for a requested one: limited to 0.45 times the sample rate,
        which keeps the pre-warp tangent well inside its range. */
    double limitCutoff (double requestedHz) const noexcept;

    /** Cutoff frequency in Hz. */
    RampedValue cutoff;

private:
    struct Section
    {
        // The two previous values of the internal node, for channel 0 and channel 1.
        double w1[2] = { 0.0, 0.0 };
        double w2[2] = { 0.0, 0.0 };
    };

    // The sections share one sample rate, so one set of coefficients serves all four.
    double sampleRate = 44100.0;
    double maxCutoff = 0.45 * 44100.0;
    double g = 0.0, a1 = 0.0, a2 = 0.0;
    double coefficientCutoff = 0.0;   // the cutoff g, a1 and a2 were computed for
    bool coefficientsValid = false;

    Section sections[2];   // first and second, both channels side by side

    void updateCoefficients (double cutoffHz) noexcept;
};
