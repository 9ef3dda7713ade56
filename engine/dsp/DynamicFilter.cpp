#include "DynamicFilter.h"

#include <algorithm>
#include <cstring>

using Corvanite::v4f;

static_assert (std::atomic<float>::is_always_lock_free, "the reduction read-out must stay lock-free");

namespace
{
    bool sameBits (float a, float b) noexcept
    {
        return std::memcmp (&a, &b, sizeof (float)) == 0;
    }

    // Lanes {a0, a1, b0, b1} and {a2, a3, b2, b3}.
    v4f lowHalves (v4f a, v4f b) noexcept     { return _mm_movelh_ps (a.v, b.v); }
    v4f highHalves (v4f a, v4f b) noexcept    { return _mm_movehl_ps (b.v, a.v); }

    // Lanes {a0, a1, b2, b3} and {a2, a3, b2, b3}.
    v4f lowHalfOver (v4f a, v4f b) noexcept   { return _mm_shuffle_ps (a.v, b.v, _MM_SHUFFLE (3, 2, 1, 0)); }
    v4f highHalfOver (v4f a, v4f b) noexcept  { return _mm_shuffle_ps (a.v, b.v, _MM_SHUFFLE (3, 2, 3, 2)); }

    // Lanes {a0, a0, b0, b0}.
    v4f pairOf (float a, float b) noexcept    { return v4f (a, a, b, b); }
}

DynamicFilter::DynamicFilter()
{
    q.setTarget (2.0f);
    frequency.setTarget (500.0f);
    gain.setTarget (0.0f);

    compressor.setLookAhead (lookAheadSeconds);
    compressor.setAttack (0.005f);
    compressor.setRelease (0.02f);
    compressor.setThreshold (0.0f);
    compressor.setRatio (1.0f);

    reset();
}

void DynamicFilter::setSampleRate (float newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    maxFrequency = 0.45f * newSampleRate;
    shapeValid = false;
    peakValid = false;
    compressor.setSampleRate (newSampleRate);
    reset();
}

void DynamicFilter::reset() noexcept
{
    sidechainFilter.reset();
    peakFilter.reset();
    compressor.reset();
    snapRamps();
}

void DynamicFilter::snapRamps() noexcept
{
    q.snap();
    frequency.snap();
    gain.snap();
    reduction.store (1.0f, std::memory_order_relaxed);
}

void DynamicFilter::setRatio (float ratio) noexcept
{
    compressor.setRatio (ratio);
}

void DynamicFilter::setThreshold (float thresholdDb) noexcept
{
    compressor.setThreshold (thresholdDb);
}

bool DynamicFilter::isFinite() const noexcept
{
    return sidechainFilter.isFinite() && peakFilter.isFinite() && compressor.isFinite();
}

int DynamicFilter::latencySamples (float rate) noexcept
{
    return VLCompressorSIMD::delayForLookAhead (lookAheadSeconds, rate);
}

void DynamicFilter::updateGain (float gainDb) noexcept
{
    cachedGainDb = gainDb;
    cachedGainFactor = Corvanite::decibelsToGain (gainDb);
    gainValid = true;
}

void DynamicFilter::updateShape (float f, float Q) noexcept
{
    cachedFrequency = f;
    cachedQ = Q;
    sidechainFilter.setCoefficients (VLIIRCoefficientsSIMD::makeBandPass (v4f (sampleRate), v4f (f), v4f (Q)));
    peakShape = VLIIRCoefficientsSIMD::makePeakShape (v4f (sampleRate), v4f (f), v4f (Q));
    shapeValid = true;
    peakValid = false;
}

inline bool DynamicFilter::advanceRamps() noexcept
{
    const float gainDb = gain.next();
    const float f = limitFrequency (frequency.next());
    const float Q = q.next();

    // The band-pass coefficients, the peak filter's shape and the band's linear gain are pure
    // functions of these values and the sample rate; while they stand still the last results
    // are reused, which gives the same bits as computing them again.
    if (! (gainValid && sameBits (cachedGainDb, gainDb)))
        updateGain (gainDb);

    if (! (shapeValid && sameBits (cachedFrequency, f) && sameBits (cachedQ, Q)))
    {
        updateShape (f, Q);
        return true;
    }

    return false;
}

void DynamicFilter::processFrame (float* frame, int /*numChannels*/) noexcept
{
    advanceRamps();

    const v4f x (frame[0], frame[1], 0.0f, 0.0f);
    const v4f sc = sidechainFilter.processSingleSampleRaw (x);
    const v4f delayed = compressor.delay (x);
    const v4f g = compressor.processSidechain (sc);

    const float meanGain = (g[1] + g[0]) * 0.5f;

    if (reduction.load (std::memory_order_relaxed) > meanGain)
        reduction.store (meanGain, std::memory_order_relaxed);

    // The compressor's gain multiplies the band's linear gain: in dB its reduction is
    // subtracted from the band's gain.
    const v4f gainFactor = v4f (cachedGainFactor) * g;

    if (! (peakValid && Corvanite::bitsEqual (gainFactor, peakGainFactor)))
    {
        peakGainFactor = gainFactor;
        peakFilter.setCoefficients (VLIIRCoefficientsSIMD::makePeakFilter (peakShape, gainFactor));
        peakValid = true;
    }

    const v4f y = peakFilter.processSingleSampleRaw (delayed);
    frame[0] = y[0];
    frame[1] = y[1];
}

void DynamicFilter::processBlock (float* left, float* right, int numSamples) noexcept
{
    // The frames go through the band in chunks. Only the filters and the envelope carry state
    // from frame to frame; everything else (a frame's level, gain and peak coefficients) is
    // computed for two frames at once, frame 2k in lanes 0 and 1 and frame 2k + 1 in lanes 2
    // and 3. Each lane does exactly the float operations it does in processFrame, so the
    // results are the same bits. The peak filter of one chunk runs in the same loop as the
    // band-pass of the next, so that the two filters' recursions overlap.
    constexpr int chunkSize = 32, pairsPerChunk = chunkSize / 2;

    // Work arrays hold raw registers, which (unlike v4f) are not zeroed on construction.
    struct Chunk
    {
        float* left = nullptr;
        float* right = nullptr;
        int numFrames = 0;
        __m128 delayed[chunkSize];
        __m128 b0[pairsPerChunk], b1[pairsPerChunk], b2[pairsPerChunk], a2[pairsPerChunk];
    };

    Chunk chunks[2];
    Chunk* pending = nullptr;

    // Working copies, so that the recursions stay in registers.
    VLIIRFilterSIMD side = sidechainFilter, peak = peakFilter;
    v4f envelope = compressor.getEnvelope();
    float lowest = reduction.load (std::memory_order_relaxed);
    const float initialReduction = lowest;

    // processFrame's idle lanes 2 and 3 always hold zeros: their reduction never changes.
    const v4f idleLanes = compressor.squaredReductionFor (v4f (0.0f));
    const auto settings = compressor.getSettings();
    const v4f threshold = settings.threshold, slope = settings.slope;
    const v4f attack = settings.attackCoefficient, release = settings.releaseCoefficient;
    const bool canReduce = settings.canReduce;

    for (int done = 0, current = 0; done < numSamples || pending != nullptr; current ^= 1)
    {
        Chunk& chunk = chunks[current];
        chunk.left = left + done;
        chunk.right = right + done;
        chunk.numFrames = std::min (numSamples - done, chunkSize);
        done += chunk.numFrames;

        __m128 input[chunkSize], sidechain[pairsPerChunk];
        float gainFactor[chunkSize], alpha[chunkSize], minusTwoCos[chunkSize];
        const int steps = std::max (chunk.numFrames, pending != nullptr ? pending->numFrames : 0);

        // With no ramp running, every frame of the chunk sees the same values.
        const bool idle = rampsIdle();

        if (idle && advanceRamps())
            side.setCoefficients ({ sidechainFilter.b0, sidechainFilter.b1, sidechainFilter.b2,
                                    sidechainFilter.a1, sidechainFilter.a2 });

        for (int i = 0; i < steps; ++i)
        {
            // This chunk: ramps and band-pass.
            if (i < chunk.numFrames)
            {
                if (! idle && advanceRamps())
                    side.setCoefficients ({ sidechainFilter.b0, sidechainFilter.b1, sidechainFilter.b2,
                                            sidechainFilter.a1, sidechainFilter.a2 });

                gainFactor[i] = cachedGainFactor;
                alpha[i] = peakShape.alpha[0];
                minusTwoCos[i] = peakShape.minusTwoCos[0];

                const v4f x (chunk.left[i], chunk.right[i], 0.0f, 0.0f);
                input[i] = x.v;
                const v4f sc = side.processSingleSampleRaw (x);
                sidechain[i / 2] = ((i & 1) == 0 ? sc : lowHalves (sidechain[i / 2], sc)).v;
            }

            // The previous chunk: peak filter and output.
            if (pending != nullptr && i < pending->numFrames)
            {
                const int p = i / 2;

                if ((i & 1) == 0)
                    peak.setCoefficients ({ v4f (pending->b0[p]), v4f (pending->b1[p]), v4f (pending->b2[p]), v4f (pending->b1[p]), v4f (pending->a2[p]) });
                else
                    peak.setCoefficients ({ highHalves (pending->b0[p], pending->b0[p]), highHalves (pending->b1[p], pending->b1[p]),
                                            highHalves (pending->b2[p], pending->b2[p]), highHalves (pending->b1[p], pending->b1[p]),
                                            highHalves (pending->a2[p], pending->a2[p]) });

                const v4f y = peak.processSingleSampleRaw (pending->delayed[i]);
                pending->left[i] = y[0];
                pending->right[i] = y[1];
            }
        }

        compressor.delayBlock (input, chunk.delayed, chunk.numFrames);

        // Levels, envelope, gains and peak coefficients of this chunk, in passes: only the
        // envelope depends on the frame before, and short passes let the processor overlap the
        // long dependency chains of the logarithm and the exponential from pair to pair.
        const int numPairs = (chunk.numFrames + 1) / 2;

        if (canReduce)
        {
            __m128 logs[pairsPerChunk];

            for (int p = 0; p < numPairs; ++p)
                logs[p] = VLCompressorSIMD::logOfMagnitude (sidechain[p]).v;

            for (int p = 0; p < numPairs; ++p)
                sidechain[p] = VLCompressorSIMD::squaredReductionFromLog (sidechain[p], logs[p], threshold, slope).v;
        }
        else
        {
            for (int p = 0; p < numPairs; ++p)
                sidechain[p] = _mm_setzero_ps();
        }

        for (int p = 0, i = 0; p < numPairs; ++p, i += 2)
        {
            const v4f first = VLCompressorSIMD::smoothed (envelope, lowHalfOver (sidechain[p], idleLanes), attack, release);
            envelope = first;

            if (i + 1 < chunk.numFrames)
                envelope = VLCompressorSIMD::smoothed (envelope, highHalfOver (sidechain[p], idleLanes), attack, release);

            sidechain[p] = lowHalves (first, envelope).v;    // now the envelopes of the pair
        }

        // The gains: exactly 1 where the envelopes are +0.
        bool isZero[pairsPerChunk];

        for (int p = 0; p < numPairs; ++p)
        {
            isZero[p] = VLCompressorSIMD::envelopeIsZero (sidechain[p]);
            sidechain[p] = VLCompressorSIMD::gainExponent (sidechain[p]).v;
        }

        for (int p = 0; p < numPairs; ++p)
            sidechain[p] = isZero[p] ? _mm_set1_ps (1.0f) : s4f_exp (sidechain[p]).v;

        for (int p = 0, i = 0; p < numPairs; ++p, i += 2)
        {
            const bool both = i + 1 < chunk.numFrames;
            const v4f g = sidechain[p];

            const float firstMean = (g[1] + g[0]) * 0.5f;

            if (lowest > firstMean)
                lowest = firstMean;

            if (both)
            {
                const float secondMean = (g[3] + g[2]) * 0.5f;

                if (lowest > secondMean)
                    lowest = secondMean;
            }

            const int j = both ? i + 1 : i;
            const auto c = VLIIRCoefficientsSIMD::makePeakFilter ({ pairOf (alpha[i], alpha[j]), pairOf (minusTwoCos[i], minusTwoCos[j]) },
                                                                  pairOf (gainFactor[i], gainFactor[j]) * g);
            chunk.b0[p] = c.b0.v;
            chunk.b1[p] = c.b1.v;
            chunk.b2[p] = c.b2.v;
            chunk.a2[p] = c.a2.v;
        }

        pending = chunk.numFrames > 0 ? &chunk : nullptr;
    }

    sidechainFilter.s1 = side.s1;
    sidechainFilter.s2 = side.s2;
    peakFilter = peak;
    compressor.setEnvelope (envelope);

    if (! sameBits (lowest, initialReduction))
        reduction.store (lowest, std::memory_order_relaxed);

    // processFrame compares all four lanes of its gain factor before reusing coefficients;
    // the lanes set here differ, so it computes them afresh.
    peakValid = false;
}

void DynamicFilter::processSeries (DynamicFilter& first, DynamicFilter& second,
                                   float* left, float* right, int numSamples) noexcept
{
    if (&first == &second || numSamples <= seriesLag)
    {
        first.processBlock (left, right, numSamples);
        second.processBlock (left, right, numSamples);
        return;
    }

    // The first band runs seriesLag frames ahead; then both run side by side, the second band
    // on what the first has just written; then the second band finishes alone.
    first.processBlock (left, right, seriesLag);
    processSideBySide (first, second, left + seriesLag, right + seriesLag, left, right, numSamples - seriesLag);
    second.processBlock (left + numSamples - seriesLag, right + numSamples - seriesLag, seriesLag);
}

void DynamicFilter::processSideBySide (DynamicFilter& a, DynamicFilter& b, float* aLeft, float* aRight,
                                       float* bLeft, float* bRight, int numFrames) noexcept
{
    // Band a in lanes 0 and 1, band b in lanes 2 and 3. Band b's input is band a's output of
    // seriesLag frames earlier, that is aLeft[i - seriesLag] == bLeft[i]: with chunks of that
    // length, band a's peak filter writes the frame that band b reads next, in the same loop.
    // Each lane does exactly the float operations it does in processFrame.
    constexpr int chunkSize = seriesLag;

    struct Chunk
    {
        int start = 0, numFrames = 0;
        __m128 delayed[chunkSize];
        __m128 b0[chunkSize], b1[chunkSize], b2[chunkSize], a2[chunkSize];
    };

    Chunk chunks[2];
    Chunk* pending = nullptr;

    const auto combine = [] (const VLIIRFilterSIMD& x, const VLIIRFilterSIMD& y) noexcept
    {
        return VLIIRCoefficientsSIMD { lowHalves (x.b0, y.b0), lowHalves (x.b1, y.b1), lowHalves (x.b2, y.b2),
                                       lowHalves (x.a1, y.a1), lowHalves (x.a2, y.a2) };
    };

    VLIIRFilterSIMD side, peak;
    side.setCoefficients (combine (a.sidechainFilter, b.sidechainFilter));
    side.s1 = lowHalves (a.sidechainFilter.s1, b.sidechainFilter.s1);
    side.s2 = lowHalves (a.sidechainFilter.s2, b.sidechainFilter.s2);
    peak.s1 = lowHalves (a.peakFilter.s1, b.peakFilter.s1);
    peak.s2 = lowHalves (a.peakFilter.s2, b.peakFilter.s2);

    const auto settingsA = a.compressor.getSettings(), settingsB = b.compressor.getSettings();
    const v4f threshold = lowHalves (settingsA.threshold, settingsB.threshold);
    const v4f slope = lowHalves (settingsA.slope, settingsB.slope);
    const v4f attack = lowHalves (settingsA.attackCoefficient, settingsB.attackCoefficient);
    const v4f release = lowHalves (settingsA.releaseCoefficient, settingsB.releaseCoefficient);

    // A band that cannot reduce gets +0 from the full computation too, so one flag serves both.
    const bool canReduce = settingsA.canReduce || settingsB.canReduce;

    // Each band's own lanes 2 and 3 (zeros in processFrame) keep an envelope of their own,
    // which moves only in the unusual case that their constant reduction is not 0.
    v4f envelope = lowHalves (a.compressor.getEnvelope(), b.compressor.getEnvelope());
    v4f idleEnvelope = highHalves (a.compressor.getEnvelope(), b.compressor.getEnvelope());
    const v4f idleTarget = lowHalves (a.compressor.squaredReductionFor (v4f (0.0f)), b.compressor.squaredReductionFor (v4f (0.0f)));
    const bool idleMoves = ! (VLCompressorSIMD::envelopeIsZero (idleEnvelope) && VLCompressorSIMD::envelopeIsZero (idleTarget));

    float lowestA = a.reduction.load (std::memory_order_relaxed);
    float lowestB = b.reduction.load (std::memory_order_relaxed);
    const float initialA = lowestA, initialB = lowestB;

    for (int done = 0, current = 0; done < numFrames || pending != nullptr; current ^= 1)
    {
        Chunk& chunk = chunks[current];
        chunk.start = done;
        chunk.numFrames = std::min (numFrames - done, chunkSize);
        done += chunk.numFrames;

        __m128 work[chunkSize], inputA[chunkSize], inputB[chunkSize], gainFactor[chunkSize], alpha[chunkSize], minusTwoCos[chunkSize];
        const int steps = std::max (chunk.numFrames, pending != nullptr ? pending->numFrames : 0);

        // With no ramp running, every frame of the chunk sees the same values.
        const bool idle = a.rampsIdle() && b.rampsIdle();
        __m128 idleGainFactor {}, idleAlpha {}, idleMinusTwoCos {};

        if (idle)
        {
            const bool changedA = a.advanceRamps();
            const bool changedB = b.advanceRamps();

            if (changedA || changedB)
                side.setCoefficients (combine (a.sidechainFilter, b.sidechainFilter));

            idleGainFactor = pairOf (a.cachedGainFactor, b.cachedGainFactor).v;
            idleAlpha = pairOf (a.peakShape.alpha[0], b.peakShape.alpha[0]).v;
            idleMinusTwoCos = pairOf (a.peakShape.minusTwoCos[0], b.peakShape.minusTwoCos[0]).v;
        }

        for (int i = 0; i < steps; ++i)
        {
            // The previous chunk: peak filter and output (band a's output is band b's input).
            if (pending != nullptr && i < pending->numFrames)
            {
                peak.setCoefficients ({ v4f (pending->b0[i]), v4f (pending->b1[i]), v4f (pending->b2[i]), v4f (pending->b1[i]), v4f (pending->a2[i]) });
                const v4f y = peak.processSingleSampleRaw (pending->delayed[i]);
                const int f = pending->start + i;
                aLeft[f] = y[0];
                aRight[f] = y[1];
                bLeft[f] = y[2];
                bRight[f] = y[3];
            }

            // This chunk: ramps and band-passes.
            if (i < chunk.numFrames)
            {
                if (idle)
                {
                    gainFactor[i] = idleGainFactor;
                    alpha[i] = idleAlpha;
                    minusTwoCos[i] = idleMinusTwoCos;
                }
                else
                {
                    const bool changedA = a.advanceRamps();
                    const bool changedB = b.advanceRamps();

                    if (changedA || changedB)
                        side.setCoefficients (combine (a.sidechainFilter, b.sidechainFilter));

                    gainFactor[i] = pairOf (a.cachedGainFactor, b.cachedGainFactor).v;
                    alpha[i] = pairOf (a.peakShape.alpha[0], b.peakShape.alpha[0]).v;
                    minusTwoCos[i] = pairOf (a.peakShape.minusTwoCos[0], b.peakShape.minusTwoCos[0]).v;
                }

                const int f = chunk.start + i;
                const v4f x (aLeft[f], aRight[f], bLeft[f], bRight[f]);
                inputA[i] = lowHalfOver (x, v4f (0.0f)).v;
                inputB[i] = highHalfOver (x, v4f (0.0f)).v;
                work[i] = side.processSingleSampleRaw (x).v;
            }
        }

        a.compressor.delayBlock (inputA, inputA, chunk.numFrames);
        b.compressor.delayBlock (inputB, inputB, chunk.numFrames);

        for (int i = 0; i < chunk.numFrames; ++i)
            chunk.delayed[i] = lowHalves (inputA[i], inputB[i]).v;

        // Levels, envelopes, gains and peak coefficients, each in a pass of its own.
        if (canReduce)
        {
            __m128 logs[chunkSize];

            for (int i = 0; i < chunk.numFrames; ++i)
                logs[i] = VLCompressorSIMD::logOfMagnitude (work[i]).v;

            for (int i = 0; i < chunk.numFrames; ++i)
                work[i] = VLCompressorSIMD::squaredReductionFromLog (work[i], logs[i], threshold, slope).v;
        }
        else
        {
            for (int i = 0; i < chunk.numFrames; ++i)
                work[i] = _mm_setzero_ps();
        }

        for (int i = 0; i < chunk.numFrames; ++i)
        {
            envelope = VLCompressorSIMD::smoothed (envelope, work[i], attack, release);
            work[i] = envelope.v;
        }

        if (idleMoves)
            for (int i = 0; i < chunk.numFrames; ++i)
                idleEnvelope = VLCompressorSIMD::smoothed (idleEnvelope, idleTarget, attack, release);

        // The gains: exactly 1 where the whole envelope is +0.
        bool isZero[chunkSize];

        for (int i = 0; i < chunk.numFrames; ++i)
        {
            isZero[i] = VLCompressorSIMD::envelopeIsZero (work[i]);
            work[i] = VLCompressorSIMD::gainExponent (work[i]).v;
        }

        for (int i = 0; i < chunk.numFrames; ++i)
            work[i] = isZero[i] ? _mm_set1_ps (1.0f) : s4f_exp (work[i]).v;

        for (int i = 0; i < chunk.numFrames; ++i)
        {
            const v4f g = work[i];
            const float meanA = (g[1] + g[0]) * 0.5f;
            const float meanB = (g[3] + g[2]) * 0.5f;

            if (lowestA > meanA)
                lowestA = meanA;

            if (lowestB > meanB)
                lowestB = meanB;

            const auto c = VLIIRCoefficientsSIMD::makePeakFilter ({ alpha[i], minusTwoCos[i] }, v4f (gainFactor[i]) * g);
            chunk.b0[i] = c.b0.v;
            chunk.b1[i] = c.b1.v;
            chunk.b2[i] = c.b2.v;
            chunk.a2[i] = c.a2.v;
        }

        pending = chunk.numFrames > 0 ? &chunk : nullptr;
    }

    // Back into the bands, each keeping its own lanes 2 and 3.
    a.sidechainFilter.s1 = lowHalfOver (side.s1, a.sidechainFilter.s1);
    a.sidechainFilter.s2 = lowHalfOver (side.s2, a.sidechainFilter.s2);
    b.sidechainFilter.s1 = lowHalfOver (highHalves (side.s1, side.s1), b.sidechainFilter.s1);
    b.sidechainFilter.s2 = lowHalfOver (highHalves (side.s2, side.s2), b.sidechainFilter.s2);
    a.peakFilter.s1 = lowHalfOver (peak.s1, a.peakFilter.s1);
    a.peakFilter.s2 = lowHalfOver (peak.s2, a.peakFilter.s2);
    b.peakFilter.s1 = lowHalfOver (highHalves (peak.s1, peak.s1), b.peakFilter.s1);
    b.peakFilter.s2 = lowHalfOver (highHalves (peak.s2, peak.s2), b.peakFilter.s2);
    a.compressor.setEnvelope (lowHalves (envelope, idleEnvelope));
    b.compressor.setEnvelope (highHalves (envelope, idleEnvelope));

    if (! sameBits (lowestA, initialA))
        a.reduction.store (lowestA, std::memory_order_relaxed);

    if (! sameBits (lowestB, initialB))
        b.reduction.store (lowestB, std::memory_order_relaxed);

    a.peakValid = false;
    b.peakValid = false;
}
