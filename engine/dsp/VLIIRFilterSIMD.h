#pragma once

#include "Corvanite.h"

/**
    Normalised coefficients of four independent second-order filters, one per lane:
    H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2), already divided by a0.

    The makers are pure functions of their arguments (one value per lane) and allocate nothing,
    so the stages can call them on every sample frame from the audio thread. They do not clamp:
    frequencies must lie below Nyquist (the stages limit them), Q must be positive, and a
    negative gain factor gives NaN coefficients in its lane.
*/
struct VLIIRCoefficientsSIMD
{
    Corvanite::v4f b0, b1, b2, a1, a2;

    /** The gain-independent part of a peak filter: what depends only on the sample rate, the
        frequency and Q. A dynamic band whose gain moves on every frame computes it only when
        its frequency or Q change; the coefficients are the same bits either way. */
    struct PeakShape
    {
        Corvanite::v4f alpha;         ///< sin (w) * 0.5 / Q
        Corvanite::v4f minusTwoCos;   ///< -2 cos (w)
    };

    /** Low shelf. sampleRate and frequency in Hz, gainFactor a linear amplitude (> 0). */
    static VLIIRCoefficientsSIMD makeLowShelf (Corvanite::v4f sampleRate, Corvanite::v4f frequency, Corvanite::v4f Q,
                                               Corvanite::v4f gainFactor) noexcept
    {
        using namespace Corvanite;
        const v4f A = sqrt (gainFactor);
        const auto sc = s4f_sincos (frequency * constants.twoPi / sampleRate);
        const v4f beta = sqrt (A) * sc.sin / Q;
        const v4f Am = A - constants.one;
        const v4f Ap = A + constants.one;

        const v4f a0 = Ap + Am * sc.cos + beta;
        const v4f inverseA0 = constants.one / a0;

        VLIIRCoefficientsSIMD r;
        r.b0 = A * (Ap - Am * sc.cos + beta) * inverseA0;
        r.b1 = constants.two * A * (Am - Ap * sc.cos) * inverseA0;
        r.b2 = A * (Ap - Am * sc.cos - beta) * inverseA0;
        r.a1 = constants.minusTwo * (Am + Ap * sc.cos) * inverseA0;
        r.a2 = (Ap + Am * sc.cos - beta) * inverseA0;
        return r;
    }

    /** High shelf. sampleRate and frequency in Hz, gainFactor a linear amplitude (> 0). */
    static VLIIRCoefficientsSIMD makeHighShelf (Corvanite::v4f sampleRate, Corvanite::v4f frequency, Corvanite::v4f Q,
                                                Corvanite::v4f gainFactor) noexcept
    {
        using namespace Corvanite;
        const v4f A = sqrt (gainFactor);
        const auto sc = s4f_sincos (frequency * constants.twoPi / sampleRate);
        const v4f beta = sqrt (A) * sc.sin / Q;
        const v4f Am = A - constants.one;
        const v4f Ap = A + constants.one;

        const v4f a0 = Ap - Am * sc.cos + beta;
        const v4f inverseA0 = constants.one / a0;

        VLIIRCoefficientsSIMD r;
        r.b0 = A * (Ap + Am * sc.cos + beta) * inverseA0;
        r.b1 = constants.minusTwo * A * (Am + Ap * sc.cos) * inverseA0;
        r.b2 = A * (Ap + Am * sc.cos - beta) * inverseA0;
        r.a1 = constants.two * (Am - Ap * sc.cos) * inverseA0;
        r.a2 = (Ap - Am * sc.cos - beta) * inverseA0;
        return r;
    }

    /** The frequency- and Q-dependent terms of a peak filter. */
    static PeakShape makePeakShape (Corvanite::v4f sampleRate, Corvanite::v4f frequency, Corvanite::v4f Q) noexcept
    {
        using namespace Corvanite;
        const auto sc = s4f_sincos (frequency * constants.twoPi / sampleRate);
        return { sc.sin * constants.half / Q, constants.minusTwo * sc.cos };
    }

    /** Peak (bell) filter from its shape and a linear gain factor (> 0) per lane. */
    static VLIIRCoefficientsSIMD makePeakFilter (const PeakShape& shape, Corvanite::v4f gainFactor) noexcept
    {
        using namespace Corvanite;
        const v4f one = constants.one;
        const v4f A = sqrt (gainFactor);
        const v4f alphaOverA = shape.alpha / A;
        const v4f alphaTimesA = shape.alpha * A;

        const v4f inverseA0 = one / (one + alphaOverA);

        VLIIRCoefficientsSIMD r;
        r.b0 = (one + alphaTimesA) * inverseA0;
        r.b1 = shape.minusTwoCos * inverseA0;
        r.b2 = (one - alphaTimesA) * inverseA0;
        r.a1 = r.b1;
        r.a2 = (one - alphaOverA) * inverseA0;
        return r;
    }

    /** Peak (bell) filter. sampleRate and frequency in Hz, gainFactor a linear amplitude (> 0). */
    static VLIIRCoefficientsSIMD makePeakFilter (Corvanite::v4f sampleRate, Corvanite::v4f frequency, Corvanite::v4f Q,
                                                 Corvanite::v4f gainFactor) noexcept
    {
        return makePeakFilter (makePeakShape (sampleRate, frequency, Q), gainFactor);
    }

    /** Band-pass (0 dB at the centre), with the bilinear transform's tangent pre-warp.
        sampleRate and centreFrequency in Hz. b1 is exactly 0 and b2 exactly -b0. */
    static VLIIRCoefficientsSIMD makeBandPass (Corvanite::v4f sampleRate, Corvanite::v4f centreFrequency,
                                               Corvanite::v4f Q) noexcept
    {
        using namespace Corvanite;
        const v4f one = constants.one;
        const auto sc = s4f_sincos (centreFrequency * constants.pi / sampleRate);
        const v4f n = one / (sc.sin / sc.cos);   // cot (w)
        const v4f nSquared = n * n;
        const v4f m = (one / Q) * n;
        const v4f c1 = one / (m + one + nSquared);

        VLIIRCoefficientsSIMD r;
        r.b0 = n * c1 / Q;
        r.b1 = v4f (0.0f);
        r.b2 = -c1 * n / Q;
        r.a1 = (one - nSquared) * constants.two * c1;
        r.a2 = (one - m + nSquared) * c1;
        return r;
    }
};

//==============================================================================
/**
    Four independent biquads, one per lane, in transposed direct form II.

    Coefficients can be replaced on every sample without touching the state, so a coefficient
    change never clicks through a reset. An unconfigured filter outputs zero. Used by one thread
    at a time (the one that runs its stage); processing is allocation-free and does not treat
    denormals (the engine runs with flush-to-zero).
*/
struct VLIIRFilterSIMD
{
    Corvanite::v4f b0, b1, b2, a1, a2;   ///< a copy of the last coefficients set
    Corvanite::v4f s1, s2;               ///< state registers

    /** Takes new coefficients; the state stays as it is. */
    void setCoefficients (const VLIIRCoefficientsSIMD& c) noexcept
    {
        b0 = c.b0;
        b1 = c.b1;
        b2 = c.b2;
        a1 = c.a1;
        a2 = c.a2;
    }

    /** Clears the state; the coefficients stay as they are. */
    void reset() noexcept
    {
        s1 = {};
        s2 = {};
    }

    /** True while both state registers are finite in every lane. */
    bool isFinite() const noexcept { return Corvanite::allFinite (s1) && Corvanite::allFinite (s2); }

    /** One sample through all four lanes. */
    Corvanite::v4f processSingleSampleRaw (const Corvanite::v4f& x) noexcept
    {
        const Corvanite::v4f y = b0 * x + s1;
        s1 = b1 * x - a1 * y + s2;
        s2 = b2 * x - a2 * y;
        return y;
    }
};
