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
v4f lowHalves (v4f a, v4f b) noexcept
{
    return _mm_movelh_ps (a.v, b.v);
}
v4f highHalves (v4f a, v4f b) noexcept
{
    return _mm_movehl_ps (b.v, a.v);
}

// Lanes {a0, a1, b2, b3} and {a2, a3, b2, b3}.
v4f lowHalfOver (v4f a, v4f b) noexcept
{
    return _mm_shuffle_ps (a.v, b.v, _MM_SHUFFLE (3, 2, 1, 0));
}
v4f highHalfOver (v4f a, v4f b) noexcept
{
    return _mm_shuffle_ps (a.v, b.v, _MM_SHUFFLE (3, 2, 3, 2));
}

// The coefficients of filter x in lanes 0 and 1, of filter y in lanes 2 and 3.
VLIIRCoefficientsSIMD sideBySide (const VLIIRFilterSIMD& x, const VLIIRFilterSIMD& y) noexcept
{
    return { lowHalves (x.b0, y.b0), lowHalves (x.b1, y.b1), lowHalves (x.b2, y.b2), lowHalves (x.a1, y.a1),
             lowHalves (x.a2, y.a2) };
}

// Lanes {a0, a0, b0, b0}.
v4f pairOf (float a, float b) noexcept
{
    return v4f (a, a, b, b);
}
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
}

bool DynamicFilter::advanceRamps() noexcept
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
    process (*this, *this, frame, frame + 1, nullptr, nullptr, 1);
}

void DynamicFilter::processBlock (float* left, float* right, int numSamples) noexcept
{
    process (*this, *this, left, right, nullptr, nullptr, numSamples);
}

void DynamicFilter::processSeries (DynamicFilter& first, DynamicFilter& second, float* left, float* right,
                                   int numSamples) noexcept
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
    process (first, second, left + seriesLag, right + seriesLag, left, right, numSamples - seriesLag);
    second.processBlock (left + numSamples - seriesLag, right + numSamples - seriesLag, seriesLag);
}

//==============================================================================
/*  Frames go through in chunks. Only the two filters and the envelope carry state from frame
    to frame; a frame's level, gain and peak coefficients do not, so they are computed for a
    whole chunk in short passes, which lets the processor overlap the long dependency chains of
    the logarithm and the exponential from frame to frame. The peak filter of one chunk runs in
    the same loop as the band-pass of the next, so that the two recursions overlap too. Every
    lane does exactly the float operations of the band's definition, frame by frame.

    Side by side, band b's input is band a's output of chunkSize frames earlier
    (aLeft[i - chunkSize] is bLeft[i]): band a's peak filter writes the frame that band b reads
    next, in the same loop. Each band's own lanes 2 and 3 (zeros) then stay outside the vectors:
    their filters hold zeros, and their envelope moves only if their constant reduction is not 0.
*/
class DynamicFilter::Lanes
{
public:
    Lanes (DynamicFilter& bandA, DynamicFilter& bandB, float* aL, float* aR, float* bL, float* bR) noexcept;

    void run (int numFrames) noexcept;

private:
    static constexpr int chunkSize = seriesLag;

    // Work arrays hold raw registers, which (unlike v4f) are not zeroed on construction.
    struct Chunk
    {
        int start = 0, numFrames = 0;
        __m128 input[chunkSize], level[chunkSize], delayed[chunkSize];
        __m128 gainFactor[chunkSize], alpha[chunkSize], minusTwoCos[chunkSize];
        __m128 b0[chunkSize], b1[chunkSize], b2[chunkSize], a2[chunkSize];
    };

    DynamicFilter& a;
    DynamicFilter& b;
    const bool alone;
    float* const aLeft;
    float* const aRight;
    float* const bLeft;
    float* const bRight;

    // The bands' state, packed, while the run lasts; finish() hands it back.
    VLIIRFilterSIMD side, peak;
    v4f envelope, idleEnvelope, idleTarget;
    bool idleMoves = false;
    float lowestA, lowestB;
    const float initialA, initialB;

    v4f threshold, slope, attack, release;
    bool canReduce;
    __m128 gainFactor {}, alpha {}, minusTwoCos {};   // of the frame the ramps are at

    Chunk chunks[2];

    /** Band a's lanes 0 and 1 beside band b's: alone, band a's four lanes. */
    v4f pack (v4f ofA, v4f ofB) const noexcept { return alone ? ofA : lowHalves (ofA, ofB); }

    /** The reverse of pack(): each band keeps its own lanes 2 and 3. */
    void unpack (v4f lanes, v4f& ofA, v4f& ofB) const noexcept
    {
        if (alone)
        {
            ofA = lanes;
            return;
        }

        ofA = lowHalfOver (lanes, ofA);
        ofB = lowHalfOver (highHalves (lanes, lanes), ofB);
    }

    bool advanceRamps() noexcept;
    void filter (Chunk& chunk, const Chunk* pending) noexcept;
    void delay (Chunk& chunk) noexcept;
    void smooth (Chunk& chunk) noexcept;
    void computeGains (Chunk& chunk) noexcept;
    void finish() noexcept;
};

void DynamicFilter::process (DynamicFilter& a, DynamicFilter& b, float* aLeft, float* aRight, float* bLeft,
                             float* bRight, int numFrames) noexcept
{
    Lanes (a, b, aLeft, aRight, bLeft, bRight).run (numFrames);
}

DynamicFilter::Lanes::Lanes (DynamicFilter& bandA, DynamicFilter& bandB, float* aL, float* aR, float* bL,
                             float* bR) noexcept
    : a (bandA), b (bandB), alone (&bandA == &bandB), aLeft (aL), aRight (aR), bLeft (bL), bRight (bR),
      lowestA (bandA.reduction.load (std::memory_order_relaxed)),
      lowestB (bandB.reduction.load (std::memory_order_relaxed)), initialA (lowestA), initialB (lowestB)
{
    // Every lane of a band's coefficients and settings holds the same value, so alone the
    // lanes packed side by side are the band's own.
    side.setCoefficients (sideBySide (a.sidechainFilter, b.sidechainFilter));
    side.s1 = pack (a.sidechainFilter.s1, b.sidechainFilter.s1);
    side.s2 = pack (a.sidechainFilter.s2, b.sidechainFilter.s2);
    peak.s1 = pack (a.peakFilter.s1, b.peakFilter.s1);
    peak.s2 = pack (a.peakFilter.s2, b.peakFilter.s2);

    const auto settingsA = a.compressor.getSettings(), settingsB = b.compressor.getSettings();
    threshold = lowHalves (settingsA.threshold, settingsB.threshold);
    slope = lowHalves (settingsA.slope, settingsB.slope);
    attack = lowHalves (settingsA.attackCoefficient, settingsB.attackCoefficient);
    release = lowHalves (settingsA.releaseCoefficient, settingsB.releaseCoefficient);

    // A band that cannot reduce gets +0 from the full computation too, so one flag serves both.
    canReduce = settingsA.canReduce || settingsB.canReduce;

    envelope = pack (a.compressor.getEnvelope(), b.compressor.getEnvelope());

    if (! alone)
    {
        idleEnvelope = highHalves (a.compressor.getEnvelope(), b.compressor.getEnvelope());
        idleTarget = lowHalves (a.compressor.squaredReductionFor (v4f (0.0f)),
                                b.compressor.squaredReductionFor (v4f (0.0f)));
        idleMoves = ! (VLCompressorSIMD::envelopeIsZero (idleEnvelope)
                       && VLCompressorSIMD::envelopeIsZero (idleTarget));
    }
}

void DynamicFilter::Lanes::run (int numFrames) noexcept
{
    const Chunk* pending = nullptr;

    for (int done = 0, current = 0; done < numFrames || pending != nullptr; current ^= 1)
    {
        Chunk& chunk = chunks[current];
        chunk.start = done;
        chunk.numFrames = std::min (numFrames - done, chunkSize);
        done += chunk.numFrames;

        filter (chunk, pending);
        delay (chunk);
        smooth (chunk);
        computeGains (chunk);

        pending = chunk.numFrames > 0 ? &chunk : nullptr;
    }

    finish();
}

bool DynamicFilter::Lanes::advanceRamps() noexcept
{
    const bool changedA = a.advanceRamps();
    const bool changedB = ! alone && b.advanceRamps();

    gainFactor = pairOf (a.cachedGainFactor, b.cachedGainFactor).v;
    alpha = pairOf (a.peakShape.alpha[0], b.peakShape.alpha[0]).v;
    minusTwoCos = pairOf (a.peakShape.minusTwoCos[0], b.peakShape.minusTwoCos[0]).v;
    return changedA || changedB;
}

void DynamicFilter::Lanes::filter (Chunk& chunk, const Chunk* pending) noexcept
{
    // Local copies: the output arrays could otherwise alias the filters' state, which would
    // then be reloaded after every store.
    VLIIRFilterSIMD sideChain = side, bell = peak;
    const int steps = std::max (chunk.numFrames, pending != nullptr ? pending->numFrames : 0);

    // With no ramp running, every frame of the chunk sees the same values.
    const bool idle = a.rampsIdle() && b.rampsIdle();

    if (idle && chunk.numFrames > 0 && advanceRamps())
        sideChain.setCoefficients (sideBySide (a.sidechainFilter, b.sidechainFilter));

    for (int i = 0; i < steps; ++i)
    {
        // The previous chunk: peak filter and output (band a's output is band b's input).
        if (pending != nullptr && i < pending->numFrames)
        {
            const Chunk& p = *pending;
            bell.setCoefficients ({ v4f (p.b0[i]), v4f (p.b1[i]), v4f (p.b2[i]), v4f (p.b1[i]), v4f (p.a2[i]) });
            const v4f y = bell.processSingleSampleRaw (v4f (p.delayed[i]));
            const int f = p.start + i;
            aLeft[f] = y[0];
            aRight[f] = y[1];

            if (! alone)
            {
                bLeft[f] = y[2];
                bRight[f] = y[3];
            }
        }

        // This chunk: ramps and band-pass.
        if (i < chunk.numFrames)
        {
            if (! idle && advanceRamps())
                sideChain.setCoefficients (sideBySide (a.sidechainFilter, b.sidechainFilter));

            chunk.gainFactor[i] = gainFactor;
            chunk.alpha[i] = alpha;
            chunk.minusTwoCos[i] = minusTwoCos;

            const int f = chunk.start + i;
            const v4f x (aLeft[f], aRight[f], alone ? 0.0f : bLeft[f], alone ? 0.0f : bRight[f]);
            chunk.input[i] = x.v;
            chunk.level[i] = sideChain.processSingleSampleRaw (x).v;
        }
    }

    side = sideChain;
    peak = bell;
}

void DynamicFilter::Lanes::delay (Chunk& chunk) noexcept
{
    const int n = chunk.numFrames;

    if (alone)
    {
        a.compressor.delayBlock (chunk.input, chunk.delayed, n);
        return;
    }

    // Each band's line holds its own lanes 0 and 1 with zeros beside them.
    __m128 inputB[chunkSize];

    for (int i = 0; i < n; ++i)
    {
        chunk.delayed[i] = lowHalfOver (chunk.input[i], v4f (0.0f)).v;
        inputB[i] = highHalfOver (chunk.input[i], v4f (0.0f)).v;
    }

    a.compressor.delayBlock (chunk.delayed, chunk.delayed, n);
    b.compressor.delayBlock (inputB, inputB, n);

    for (int i = 0; i < n; ++i)
        chunk.delayed[i] = lowHalves (chunk.delayed[i], inputB[i]).v;
}

void DynamicFilter::Lanes::smooth (Chunk& chunk) noexcept
{
    const int n = chunk.numFrames;

    // Levels, then the envelope; chunk.level ends up holding the envelope of every frame.
    if (canReduce)
    {
        __m128 logs[chunkSize];

        for (int i = 0; i < n; ++i)
            logs[i] = VLCompressorSIMD::logOfMagnitude (chunk.level[i]).v;

        for (int i = 0; i < n; ++i)
            chunk.level[i] = VLCompressorSIMD::squaredReductionFromLog (chunk.level[i], logs[i], threshold, slope).v;
    }
    else
    {
        for (int i = 0; i < n; ++i)
            chunk.level[i] = _mm_setzero_ps();
    }

    v4f env = envelope;

    for (int i = 0; i < n; ++i)
    {
        env = VLCompressorSIMD::smoothed (env, chunk.level[i], attack, release);
        chunk.level[i] = env.v;
    }

    envelope = env;

    if (idleMoves)
        for (int i = 0; i < n; ++i)
            idleEnvelope = VLCompressorSIMD::smoothed (idleEnvelope, idleTarget, attack, release);
}

void DynamicFilter::Lanes::computeGains (Chunk& chunk) noexcept
{
    const int n = chunk.numFrames;
    __m128 gains[chunkSize];
    bool isZero[chunkSize];

    // The gains: exactly 1 where the whole envelope is +0.
    for (int i = 0; i < n; ++i)
    {
        isZero[i] = VLCompressorSIMD::envelopeIsZero (chunk.level[i]);
        gains[i] = VLCompressorSIMD::gainExponent (chunk.level[i]).v;
    }

    for (int i = 0; i < n; ++i)
        gains[i] = isZero[i] ? _mm_set1_ps (1.0f) : s4f_exp (gains[i]).v;

    float lowA = lowestA, lowB = lowestB;

    for (int i = 0; i < n; ++i)
    {
        const v4f g = gains[i];
        const float meanA = (g[1] + g[0]) * 0.5f;
        const float meanB = (g[3] + g[2]) * 0.5f;

        if (lowA > meanA)
            lowA = meanA;

        if (! alone && lowB > meanB)
            lowB = meanB;

        // The compressor's gain multiplies the band's linear gain: in dB its reduction is
        // subtracted from the band's gain.
        const auto c = VLIIRCoefficientsSIMD::makePeakFilter ({ chunk.alpha[i], chunk.minusTwoCos[i] },
                                                              v4f (chunk.gainFactor[i]) * g);
        chunk.b0[i] = c.b0.v;
        chunk.b1[i] = c.b1.v;
        chunk.b2[i] = c.b2.v;
        chunk.a2[i] = c.a2.v;
    }

    lowestA = lowA;
    lowestB = lowB;
}

void DynamicFilter::Lanes::finish() noexcept
{
    unpack (side.s1, a.sidechainFilter.s1, b.sidechainFilter.s1);
    unpack (side.s2, a.sidechainFilter.s2, b.sidechainFilter.s2);
    unpack (peak.s1, a.peakFilter.s1, b.peakFilter.s1);
    unpack (peak.s2, a.peakFilter.s2, b.peakFilter.s2);

    if (alone)
    {
        a.compressor.setEnvelope (envelope);
    }
    else
    {
        a.compressor.setEnvelope (lowHalves (envelope, idleEnvelope));
        b.compressor.setEnvelope (highHalves (envelope, idleEnvelope));
    }

    if (! sameBits (lowestA, initialA))
        a.reduction.store (lowestA, std::memory_order_relaxed);

    if (! alone && ! sameBits (lowestB, initialB))
        b.reduction.store (lowestB, std::memory_order_relaxed);
}
