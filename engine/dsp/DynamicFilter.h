#pragma once

#include <atomic>

#include "RampedValue.h"
#include "VLCompressorSIMD.h"
#include "VLIIRFilterSIMD.h"

/**
    One dynamic mid band: a peak (bell) filter whose linear gain is multiplied, sample by sample,
    by the gain of a compressor listening to the same band of the input.

    A band-pass at the band's frequency and Q feeds the compressor's detector with the undelayed
    input, while the peak filter works on the input delayed by the compressor's 2 ms look-ahead
    line, so the gain change lands ahead of the audio that caused it. The band therefore delays
    its output by latencySamples (sampleRate) frames, whatever its settings.

    Lanes: 0 left, 1 right, 2 and 3 zero.

    The owner sets the ramps, ratio and threshold once per block; setSampleRate(), reset() and
    snapRamps() belong to its preparation and state-load paths. processFrame(), processBlock()
    and processSeries() run on the audio thread and neither allocate nor lock; all three go
    through one processing path. `reduction` may be read and raised from another thread
    (relaxed atomics; a lost update only affects a display).
*/
class DynamicFilter
{
public:
    /** Look-ahead of the compressor's delay line, in seconds. */
    static constexpr float lookAheadSeconds = 0.002f;

    /** 44100 Hz, 500 Hz, Q 2, 0 dB, ratio 1, threshold 0 dB, everything cleared.
        Throws std::bad_alloc if the compressor's line cannot be allocated. */
    DynamicFilter();

    /** Sets the sample rate in Hz, restarts the compressor for it, then reset(). */
    void setSampleRate (float sampleRate) noexcept;

    /** Clears both filters, the compressor's line and envelope, stops the ramps at their
        targets and sets `reduction` to 1. */
    void reset() noexcept;

    /** Stops the ramps at their targets and sets `reduction` to 1 (after a state load). */
    void snapRamps() noexcept;

    /** Compression ratio of the band's compressor (1 = static band). Not ramped. */
    void setRatio (float ratio) noexcept;

    /** Threshold in dB of the band's compressor. Not ramped. */
    void setThreshold (float thresholdDb) noexcept;

    /** True while both filters' state and the compressor's envelope and pending line are finite. */
    bool isFinite() const noexcept;

    /** Processes one frame in place on frame[0] and frame[1]: processBlock() of one frame.
        numChannels is not used: both lanes always run, so the frame must hold two floats. */
    void processFrame (float* frame, int numChannels) noexcept;

    /** Processes numSamples frames in place, left and right in separate arrays (which must not
        overlap); frame after frame, the same bits whatever the block length. */
    void processBlock (float* left, float* right, int numSamples) noexcept;

    /** Runs `first` and then `second` over numSamples frames in place, left and right in
        separate arrays (which must not overlap): the same bits, reductions and state included,
        as first.processBlock followed by second.processBlock, only faster. The two bands share
        the lanes of each vector, `second` working seriesLag frames behind `first`. */
    static void processSeries (DynamicFilter& first, DynamicFilter& second, float* left, float* right,
                               int numSamples) noexcept;

    /** How many frames the second band of processSeries runs behind the first. */
    static constexpr int seriesLag = 8;

    /** The delay, in samples, of one band at this sample rate (89 at 44100 Hz, 96 at 48000 Hz,
        177 at 88200 Hz, 192 at 96000 Hz): exactly what the compressor's line produces. */
    static int latencySamples (float sampleRate) noexcept;

    float getSampleRate() const noexcept { return sampleRate; }

    /** The centre frequency actually used for a requested one: limited to 0.45 times the
        sample rate, so that high bands stay stable at low sample rates. */
    float limitFrequency (float requestedHz) const noexcept
    {
        // Written so that a NaN request also ends up at the limit.
        return requestedHz <= maxFrequency ? requestedHz : maxFrequency;
    }

    /** The compressor's envelope (smoothed squared reduction, dB^2) per lane. */
    Corvanite::v4f getEnvelope() const noexcept { return compressor.getEnvelope(); }

    RampedValue q;           ///< Q of both filters
    RampedValue frequency;   ///< centre frequency of both filters, Hz
    RampedValue gain;        ///< peak gain in dB before the dynamic reduction

    /** The lowest mean compressor gain of lanes 0 and 1 since it was last raised (1 = none).
        Lowered by processFrame(); read and raised by the owner's read-out. */
    std::atomic<float> reduction { 1.0f };

private:
    VLIIRFilterSIMD sidechainFilter;
    VLIIRFilterSIMD peakFilter;
    VLCompressorSIMD compressor;
    float sampleRate = 44100.0f;
    float maxFrequency = 0.45f * 44100.0f;

    // What the band-pass coefficients and the peak filter's shape and gain were last computed
    // from (bit patterns), so that unchanged inputs reuse them: the results are the same bits.
    float cachedFrequency = 0.0f, cachedQ = 0.0f, cachedGainDb = 0.0f, cachedGainFactor = 1.0f;
    bool shapeValid = false, gainValid = false;
    VLIIRCoefficientsSIMD::PeakShape peakShape;

    bool advanceRamps() noexcept;

    /** True while no ramp is running: every next() then returns the same value. */
    bool rampsIdle() const noexcept { return q.countdown <= 0 && frequency.countdown <= 0 && gain.countdown <= 0; }

    [[gnu::noinline]] void updateGain (float gainDb) noexcept;
    [[gnu::noinline]] void updateShape (float frequencyHz, float Q) noexcept;

    // The one processing path: band a in lanes 0 and 1 of every vector and band b in lanes 2
    // and 3, each on its own frames; or, when b is a, band a alone with zeros in lanes 2 and 3.
    class Lanes;
    static void process (DynamicFilter& a, DynamicFilter& b, float* aLeft, float* aRight, float* bLeft, float* bRight,
                         int numFrames) noexcept;
};
