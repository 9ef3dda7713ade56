#include "ShelvingEQ.h"

#include <algorithm>
#include <cstring>

namespace
{
bool sameBits (float a, float b) noexcept
{
    return std::memcmp (&a, &b, sizeof (float)) == 0;
}
}

ShelvingEQ::ShelvingEQ() noexcept
{
    lowBoost.setTarget (0.0f);
    lowAttenuate.setTarget (0.0f);
    lowFrequency.setTarget (120.0f);
    highBoost.setTarget (0.0f);
    highAttenuate.setTarget (0.0f);
    highFrequency.setTarget (7000.0f);

    lowShelf.reset();
    highShelf.reset();
    snapRamps();
}

void ShelvingEQ::setSampleRate (float newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    maxFrequency = 0.45f * newSampleRate;
    lowCache.valid = false;
    highCache.valid = false;
    reset();
    snapRamps();
}

void ShelvingEQ::snapRamps() noexcept
{
    lowBoost.snap();
    lowAttenuate.snap();
    lowFrequency.snap();
    highBoost.snap();
    highAttenuate.snap();
    highFrequency.snap();
}

void ShelvingEQ::reset() noexcept
{
    lowShelf.reset();
    highShelf.reset();
}

bool ShelvingEQ::isFinite() const noexcept
{
    return lowShelf.isFinite() && highShelf.isFinite();
}

float ShelvingEQ::limitFrequency (float requestedHz) const noexcept
{
    // Written so that a NaN request also ends up at the limit.
    return requestedHz <= maxFrequency ? requestedHz : maxFrequency;
}

inline bool ShelvingEQ::advanceRamps() noexcept
{
    using namespace Corvanite;

    const float lowBoostDb = lowBoost.next();
    const float lowAttenuateDb = lowAttenuate.next();
    const float highBoostDb = highBoost.next();
    const float highAttenuateDb = highAttenuate.next();
    const float fL = limitFrequency (lowFrequency.next());
    const float fH = limitFrequency (highFrequency.next());
    bool changed = false;

    // The coefficients are a pure function of these values, so while none of them moves the
    // last ones are reused: the result is the same bits as computing them again.
    if (! (lowCache.valid && sameBits (lowCache.boost, lowBoostDb) && sameBits (lowCache.attenuate, lowAttenuateDb)
           && sameBits (lowCache.frequency, fL)))
    {
        const float gLB = decibelsToGain (lowBoostDb);
        const float gLA = attenuationToGain (lowAttenuateDb);
        lowShelf.setCoefficients (VLIIRCoefficientsSIMD::makeLowShelf (v4f (sampleRate), v4f (fL),
                                                                       v4f (0.707f, 1.5f, 0.707f, 1.5f),
                                                                       v4f (gLB, gLA, gLB, gLA)));
        lowCache = { lowBoostDb, lowAttenuateDb, fL, true };
        changed = true;
    }

    if (! (highCache.valid && sameBits (highCache.boost, highBoostDb) && sameBits (highCache.attenuate, highAttenuateDb)
           && sameBits (highCache.frequency, fH)))
    {
        const float gHB = decibelsToGain (highBoostDb);
        const float gHA = attenuationToGain (highAttenuateDb);
        highShelf.setCoefficients (VLIIRCoefficientsSIMD::makeHighShelf (v4f (sampleRate), v4f (fH),
                                                                         v4f (0.707f, 1.0f, 0.707f, 1.0f),
                                                                         v4f (gHB, gHA, gHB, gHA)));
        highCache = { highBoostDb, highAttenuateDb, fH, true };
        changed = true;
    }

    return changed;
}

void ShelvingEQ::processFrame (float* frame, int numChannels) noexcept
{
    // Both channels always run; only the ones the caller has are written back.
    const float input[2] = { frame[0], frame[1] };
    processBlock (frame, frame + 1, 1);

    for (int ch = std::max (numChannels, 0); ch < 2; ++ch)
        frame[ch] = input[ch];
}

void ShelvingEQ::processBlock (float* left, float* right, int numSamples) noexcept
{
    // Working copies, so that the recursions stay in registers.
    VLIIRFilterSIMD low = lowShelf, high = highShelf;

    const auto takeCoefficients = [&]
    {
        low.setCoefficients ({ lowShelf.b0, lowShelf.b1, lowShelf.b2, lowShelf.a1, lowShelf.a2 });
        high.setCoefficients ({ highShelf.b0, highShelf.b1, highShelf.b2, highShelf.a1, highShelf.a2 });
    };

    // With no ramp running every frame sees the same values, so the ramps need only one step.
    const bool idle = lowBoost.countdown <= 0 && lowAttenuate.countdown <= 0 && lowFrequency.countdown <= 0
                   && highBoost.countdown <= 0 && highAttenuate.countdown <= 0 && highFrequency.countdown <= 0;

    if (idle && numSamples > 0 && advanceRamps())
        takeCoefficients();

    for (int i = 0; i < numSamples; ++i)
    {
        if (! idle && advanceRamps())
            takeCoefficients();

        // Lanes: {boost L, attenuate L, boost R, attenuate R}. Boost and cut together are the
        // sum of the two chains minus the dry signal, so that each acts as if it were alone
        // where the other is flat.
        const Corvanite::v4f x (left[i], left[i], right[i], right[i]);
        const auto y = high.processSingleSampleRaw (low.processSingleSampleRaw (x));
        left[i] = (y[1] + y[0]) - left[i];
        right[i] = (y[3] + y[2]) - right[i];
    }

    lowShelf.s1 = low.s1;
    lowShelf.s2 = low.s2;
    highShelf.s1 = high.s1;
    highShelf.s2 = high.s2;
}
