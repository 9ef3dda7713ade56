#include "HPFilter.h"

#include <cmath>
#include <emmintrin.h>

HPFilter::HPFilter() noexcept
{
    cutoff.setTarget (20.0f);
    cutoff.snap();
}

void HPFilter::setSampleRate (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    maxCutoff = 0.45 * newSampleRate;
    coefficientsValid = false;
    reset();
    cutoff.snap();
}

void HPFilter::reset() noexcept
{
    for (auto& section : sections)
        section = {};
}

bool HPFilter::isFinite() const noexcept
{
    for (auto& section : sections)
        for (int ch = 0; ch < 2; ++ch)
            if (! (std::isfinite (section.w1[ch]) && std::isfinite (section.w2[ch])))
                return false;

    return true;
}

double HPFilter::limitCutoff (double requestedHz) const noexcept
{
    // Written so that a NaN request also ends up at the limit.
    return requestedHz <= maxCutoff ? requestedHz : maxCutoff;
}

void HPFilter::updateCoefficients (double fc) noexcept
{
    // Bilinear Butterworth section with a pre-warped cutoff.
    const double K = std::tan (3.141592653589793 * fc / sampleRate);
    const double r = (K + K) * 0.7071067811865476;
    const double KSquared = K * K;
    const double d = KSquared + r + 1.0;

    g = 1.0 / d;
    a1 = ((1.0 - KSquared) + (1.0 - KSquared)) / d;
    a2 = -(KSquared - r + 1.0) / d;
}

namespace
{
/** The state of both sections, both channels side by side (one per double lane), held in
        registers while a block runs. */
struct Registers
{
    __m128d w1First, w2First, w1Second, w2Second;
};
}

void HPFilter::processFrame (float* frame, int /*numChannels*/) noexcept
{
    processBlock (frame, frame + 1, 1);
}

void HPFilter::processBlock (float* left, float* right, int numSamples) noexcept
{
    Registers r { _mm_loadu_pd (sections[0].w1), _mm_loadu_pd (sections[0].w2), _mm_loadu_pd (sections[1].w1),
                  _mm_loadu_pd (sections[1].w2) };

    const __m128d minusTwo = _mm_set1_pd (-2.0), zero = _mm_setzero_pd(), offset = _mm_set1_pd (1e-6);

    // Exact zeros are replaced by a tiny offset on the way in and between the sections: it
    // keeps the recursion clear of denormals in silence, and being DC it is filtered out.
    const auto replaceZeros = [&] (__m128d v) noexcept
    {
        const __m128d isZero = _mm_cmpeq_pd (v, zero);
        return _mm_or_pd (_mm_and_pd (isZero, offset), _mm_andnot_pd (isZero, v));
    };

    const auto advanceCutoff = [this]() noexcept
    {
        const double fc = limitCutoff ((double) cutoff.next());

        // The coefficients are a pure function of the cutoff, so an unchanged cutoff reuses them.
        if (! coefficientsValid || ! (fc == coefficientCutoff))
        {
            updateCoefficients (fc);
            coefficientCutoff = fc;
            coefficientsValid = true;
        }
    };

    // With no ramp running every frame sees the same cutoff, so the ramp needs only one step.
    const bool idle = cutoff.countdown <= 0;

    if (idle && numSamples > 0)
        advanceCutoff();

    for (int i = 0; i < numSamples; ++i)
    {
        if (! idle)
            advanceCutoff();

        const __m128d gain = _mm_set1_pd (g), feedback1 = _mm_set1_pd (a1), feedback2 = _mm_set1_pd (a2);

        // Both channels at once: each double lane does the scalar recursion of its channel.
        const auto runSection = [&] (__m128d& w1, __m128d& w2, __m128d x) noexcept
        {
            const __m128d w0 = _mm_add_pd (_mm_add_pd (_mm_mul_pd (feedback2, w2), _mm_mul_pd (feedback1, w1)), x);
            const __m128d y = _mm_mul_pd (_mm_add_pd (_mm_add_pd (_mm_mul_pd (minusTwo, w1), w0), w2), gain);
            w2 = w1;
            w1 = w0;
            return y;
        };

        const __m128d x = replaceZeros (_mm_cvtps_pd (_mm_setr_ps (left[i], right[i], 0.0f, 0.0f)));
        const __m128d y = replaceZeros (runSection (r.w1First, r.w2First, x));
        const __m128 z = _mm_cvtpd_ps (runSection (r.w1Second, r.w2Second, y));

        left[i] = _mm_cvtss_f32 (z);
        right[i] = _mm_cvtss_f32 (_mm_shuffle_ps (z, z, _MM_SHUFFLE (1, 1, 1, 1)));
    }

    _mm_storeu_pd (sections[0].w1, r.w1First);
    _mm_storeu_pd (sections[0].w2, r.w2First);
    _mm_storeu_pd (sections[1].w1, r.w1Second);
    _mm_storeu_pd (sections[1].w2, r.w2Second);
}
