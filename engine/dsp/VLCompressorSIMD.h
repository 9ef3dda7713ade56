#pragma once

#include "Corvanite.h"

/**
    A four-lane feed-forward compressor with a look-ahead delay line.

    It does not process audio itself: processSidechain() turns one side-chain sample per lane
    into a linear gain per lane (at most 1), and delay() delays the audio to which the owner
    applies that gain, so that the gain moves before the audio that caused it arrives.

    Level detection is instantaneous (|x| in dB) with a hard knee; the square of the gain
    reduction in dB is smoothed with the attack coefficient while it grows and the release
    coefficient while it falls. There is no make-up gain.

    The delay line (16384 entries, 16-byte aligned) is allocated once, in the constructor, which
    throws std::bad_alloc if that fails. The setters belong to the owner's preparation and block
    update; delay() and processSidechain() run on the audio thread, allocate nothing and take no
    lock. Not copyable: it owns its line.
*/
class VLCompressorSIMD
{
public:
    /** Number of entries in the look-ahead line; the longest delay is one less. */
    static constexpr int bufferSize = 16384;

    /** 44100 Hz, look-ahead 0.01 s, attack 5 ms, release 20 ms, ratio 1, threshold 0 dB, a
        zeroed line and envelope. Throws std::bad_alloc if the line cannot be allocated. */
    VLCompressorSIMD();
    ~VLCompressorSIMD();

    VLCompressorSIMD (const VLCompressorSIMD&) = delete;
    VLCompressorSIMD& operator= (const VLCompressorSIMD&) = delete;

    /** Sets the sample rate in Hz, restarts the line for the current look-ahead time,
        recomputes both time coefficients and then clears the line and the envelope. */
    void setSampleRate (float sampleRate) noexcept;

    /** Sets the look-ahead in seconds and restarts the line's positions (its contents stay).
        The delay is limited to the line's length. */
    void setLookAhead (float seconds) noexcept;

    /** Attack time in seconds. */
    void setAttack (float seconds) noexcept;

    /** Release time in seconds. */
    void setRelease (float seconds) noexcept;

    /** Compression ratio (1 = no compression). */
    void setRatio (float ratio) noexcept;

    /** Threshold in dB. */
    void setThreshold (float thresholdDb) noexcept;

    /** Clears the line and the envelope; positions, times and coefficients stay. */
    void reset() noexcept;

    /** True while the envelope and every entry of the line that is still to be read are finite.
        Entries that an earlier call found finite are not looked at again, so after a block only
        the entries written during it are scanned; a call that finds a non-finite value scans
        them again next time, until reset(). Same thread as delay(). */
    bool isFinite() const noexcept;

    /** The look-ahead line, one call per sample frame: returns the input of D calls ago
        (D = getDelaySamples()), zero until D calls have passed. */
    Corvanite::v4f delay (const Corvanite::v4f& x) noexcept
    {
        Corvanite::v4f out;
        delayBlock (&x.v, &out.v, 1);
        return out;
    }

    /** delay() for numFrames frames in turn: out[i] = delay (in[i]). in and out may be the same. */
    void delayBlock (const __m128* in, __m128* out, int numFrames) noexcept
    {
        Corvanite::v4f* const line = lookAheadBuffer;
        int write = writeIndex;
        float read = readPosition;

        for (int i = 0; i < numFrames; ++i)
        {
            const __m128 x = in[i];
            line[write] = x;
            out[i] = line[(int) read].v;
            read += 1.0f;

            if (read >= (float) bufferSize)
                read -= (float) bufferSize;

            write = (write + 1) & (bufferSize - 1);
        }

        writeIndex = write;
        readPosition = read;
        uncheckedWrites = numFrames < bufferSize - uncheckedWrites ? uncheckedWrites + numFrames : bufferSize;
    }

    /** The linear gain per lane for one side-chain sample per lane; one call per frame.
        The same as gainForEnvelope (smooth (squaredReductionFor (x))). */
    Corvanite::v4f processSidechain (const Corvanite::v4f& x) noexcept
    {
        const auto env = smooth (squaredReductionFor (x));
        return envelopeIsZero (env) ? Corvanite::v4f (1.0f) : gainForEnvelope (env);
    }

    /** The per-lane settings the detector and the envelope work with, so that a caller can
        run several compressors side by side in the lanes of one vector. */
    struct Settings
    {
        Corvanite::v4f threshold, slope, attackCoefficient, releaseCoefficient;
        bool canReduce = true;   ///< false when every lane's reduction is +0 whatever the level
    };

    Settings getSettings() const noexcept
    {
        return { threshold, slope, attackCoefficient, releaseCoefficient, canReduce };
    }

    /** The squared gain reduction (dB^2) that a side-chain sample calls for: the stateless
        first half of processSidechain, lane by lane, with the current ratio and threshold. */
    Corvanite::v4f squaredReductionFor (Corvanite::v4f x) const noexcept
    {
        return squaredReduction (x, threshold, slope, canReduce);
    }

    /** squaredReductionFor with the settings given per lane. */
    [[gnu::always_inline]] static Corvanite::v4f squaredReduction (Corvanite::v4f x, Corvanite::v4f thresholdDb,
                                                                   Corvanite::v4f slopePerLane,
                                                                   bool canReducePerLane) noexcept
    {
        // With a zero slope every finite level gives a reduction of +-0, whose square is +0.
        if (! canReducePerLane)
            return Corvanite::v4f (0.0f);

        return squaredReductionFromLog (x, logOfMagnitude (x), thresholdDb, slopePerLane);
    }

    /** The first step of squaredReduction: ln |x|, lane by lane. */
    [[gnu::always_inline]] static Corvanite::v4f logOfMagnitude (Corvanite::v4f x) noexcept
    {
        return s4f_log (s4f_abs (x));
    }

    /** The rest of squaredReduction, from x and logOfMagnitude (x); split off so that block
        processing can run the two steps in separate passes. */
    [[gnu::always_inline]] static Corvanite::v4f squaredReductionFromLog (Corvanite::v4f x,
                                                                          Corvanite::v4f logOfMagnitudeOfX,
                                                                          Corvanite::v4f thresholdDb,
                                                                          Corvanite::v4f slopePerLane) noexcept
    {
        using namespace Corvanite;
        const v4f a = s4f_abs (x);

        // Level in dB; silence reads as -500 dB, far below any threshold.
        const v4f level = select (a == v4f (0.0f), constants.minus500,
                                  constants.twenty * (logOfMagnitudeOfX / __constLog10));
        const v4f over = level - thresholdDb;

        // Hard knee. Squaring makes the result independent of the slope's sign.
        const v4f reductionDb = (thresholdDb <= level) & (over * slopePerLane);
        return reductionDb * reductionDb;
    }

    /** Moves the envelope one frame towards a squared reduction, with the attack coefficient
        where the reduction grows and the release coefficient elsewhere; returns the envelope. */
    Corvanite::v4f smooth (Corvanite::v4f squaredReduction) noexcept
    {
        envelope = smoothed (envelope, squaredReduction, attackCoefficient, releaseCoefficient);
        return envelope;
    }

    /** The envelope one frame after env, for a squared reduction, with the coefficients given
        per lane (what smooth() does, on a value the caller keeps). */
    [[gnu::always_inline]] static Corvanite::v4f smoothed (Corvanite::v4f env, Corvanite::v4f squaredReduction,
                                                           Corvanite::v4f attack, Corvanite::v4f release) noexcept
    {
        using namespace Corvanite;
        const v4f one = constants.one;

        // c * target + (1 - c) * envelope for both candidate coefficients, then the pick: each
        // lane is exactly what picking c first would give, with a shorter dependency chain.
        const v4f attacking = attack * squaredReduction + (one - attack) * env;
        const v4f releasing = release * squaredReduction + (one - release) * env;
        return select (env < squaredReduction, attacking, releasing);
    }

    /** Sets the envelope (for block processing that ran smoothed() on a copy). */
    void setEnvelope (Corvanite::v4f env) noexcept { envelope = env; }

    /** True when every lane of the envelope is +0, whose gain is exactly 1. */
    static bool envelopeIsZero (Corvanite::v4f env) noexcept
    {
        return Corvanite::bitsEqual (env, Corvanite::v4f (0.0f));
    }

    /** The linear gain for an envelope value, 10^(-sqrt (envelope) / 20), lane by lane. */
    [[gnu::always_inline]] static Corvanite::v4f gainForEnvelope (Corvanite::v4f env) noexcept
    {
        return s4f_exp (gainExponent (env));
    }

    /** The first step of gainForEnvelope: ln 10 * -sqrt (envelope) / 20, whose exponential is
        the gain; split off so that block processing can run the two steps in separate passes. */
    [[gnu::always_inline]] static Corvanite::v4f gainExponent (Corvanite::v4f env) noexcept
    {
        using namespace Corvanite;
        const v4f exponent = (v4f (0.0f) - sqrt (env)) / constants.twenty;
        return __constLog10 * exponent;
    }

    /** The delay D of the line, in samples, as set up by the last setLookAhead/setSampleRate. */
    int getDelaySamples() const noexcept { return delayLength; }

    /** The delay D, in samples, that a line set up for this look-ahead and sample rate has:
        the whole-step distance between the write and the (truncated) read position. */
    static int delayForLookAhead (float seconds, float sampleRate) noexcept;

    /** The 1 - exp (-1 / (t * sampleRate)) coefficient of a time constant t in seconds. */
    static Corvanite::v4f timeCoefficient (float seconds, float sampleRate) noexcept;

    Corvanite::v4f getEnvelope() const noexcept { return envelope; }
    Corvanite::v4f getAttackCoefficient() const noexcept { return attackCoefficient; }
    Corvanite::v4f getReleaseCoefficient() const noexcept { return releaseCoefficient; }
    float getSampleRate() const noexcept { return sampleRate[0]; }

private:
    Corvanite::v4f* lookAheadBuffer = nullptr;
    Corvanite::v4f lookAheadTime { 0.01f };
    Corvanite::v4f delaySamples { 441.0f };
    int writeIndex = 0;
    int delayLength = 441;

    // How many of the newest entries of the line isFinite() has not yet found finite (at most
    // the line's length). Older entries were either checked or are no longer read.
    mutable int uncheckedWrites = 0;

    // The read position, a float in [0, bufferSize) moved by whole steps. Every setter gives
    // all lanes the same value, so one position serves all four.
    float readPosition = 15943.0f;
    Corvanite::v4f sampleRate { 44100.0f };
    Corvanite::v4f attackTime { 0.005f };
    Corvanite::v4f releaseTime { 0.02f };
    Corvanite::v4f attackCoefficient, releaseCoefficient;
    Corvanite::v4f envelope;
    Corvanite::v4f ratio { 1.0f };
    Corvanite::v4f inverseRatio { 1.0f };
    Corvanite::v4f slope { 0.0f };
    Corvanite::v4f threshold { 0.0f };
    bool canReduce = false;   // false while the slope is 0 and the threshold finite

    void updateCanReduce() noexcept;

    static float limitDelaySamples (float samples) noexcept;
};
