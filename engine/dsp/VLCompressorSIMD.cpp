#include "VLCompressorSIMD.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

using Corvanite::v4f;

namespace
{
constexpr float lineLength = (float) VLCompressorSIMD::bufferSize;

// Positions at or past the end of the line wrap back by one length.
float wrapPosition (float position) noexcept
{
    return position >= lineLength ? position - lineLength : position;
}
}

VLCompressorSIMD::VLCompressorSIMD()
{
    void* memory = nullptr;

    if (posix_memalign (&memory, alignof (v4f), sizeof (v4f) * (size_t) bufferSize) != 0 || memory == nullptr)
        throw std::bad_alloc();

    lookAheadBuffer = static_cast<v4f*> (memory);
    std::memset (static_cast<void*> (lookAheadBuffer), 0, sizeof (v4f) * (size_t) bufferSize);

    setLookAhead (0.01f);
    attackCoefficient = timeCoefficient (attackTime[0], sampleRate[0]);
    releaseCoefficient = timeCoefficient (releaseTime[0], sampleRate[0]);
}

VLCompressorSIMD::~VLCompressorSIMD()
{
    std::free (lookAheadBuffer);
}

v4f VLCompressorSIMD::timeCoefficient (float seconds, float rate) noexcept
{
    return v4f (1.0f) - s4f_exp (v4f (-1.0f) / (v4f (seconds) * v4f (rate)));
}

float VLCompressorSIMD::limitDelaySamples (float samples) noexcept
{
    // The read position must stay inside the line: a delay from 0 to one less than its length.
    if (! (samples >= 0.0f))
        return 0.0f;

    return samples <= lineLength - 1.0f ? samples : lineLength - 1.0f;
}

int VLCompressorSIMD::delayForLookAhead (float seconds, float rate) noexcept
{
    // The same float steps as setLookAhead() and delay(): the read position starts at
    // wrap (length - delaySamples) and is truncated; the write position starts at 0.
    const float readStart = wrapPosition (lineLength - limitDelaySamples (seconds * rate));
    return (bufferSize - (int) readStart) % bufferSize;
}

void VLCompressorSIMD::setSampleRate (float newSampleRate) noexcept
{
    sampleRate = v4f (newSampleRate);
    setLookAhead (lookAheadTime[0]);
    attackCoefficient = timeCoefficient (attackTime[0], newSampleRate);
    releaseCoefficient = timeCoefficient (releaseTime[0], newSampleRate);
    reset();
}

void VLCompressorSIMD::setLookAhead (float seconds) noexcept
{
    lookAheadTime = v4f (seconds);
    delaySamples = v4f (limitDelaySamples (seconds * sampleRate[0]));
    writeIndex = 0;
    readPosition = wrapPosition (lineLength - delaySamples[0]);
    delayLength = delayForLookAhead (seconds, sampleRate[0]);

    // The entries now due to be read are old ones that may never have been checked.
    uncheckedWrites = bufferSize;
}

void VLCompressorSIMD::setAttack (float seconds) noexcept
{
    attackTime = v4f (seconds);
    attackCoefficient = timeCoefficient (seconds, sampleRate[0]);
}

void VLCompressorSIMD::setRelease (float seconds) noexcept
{
    releaseTime = v4f (seconds);
    releaseCoefficient = timeCoefficient (seconds, sampleRate[0]);
}

void VLCompressorSIMD::setRatio (float newRatio) noexcept
{
    ratio = v4f (newRatio);
    inverseRatio = v4f (1.0f) / ratio;
    slope = inverseRatio - v4f (1.0f);
    updateCanReduce();
}

void VLCompressorSIMD::setThreshold (float thresholdDb) noexcept
{
    threshold = v4f (thresholdDb);
    updateCanReduce();
}

void VLCompressorSIMD::updateCanReduce() noexcept
{
    // Levels are always finite (silence reads as -500 dB, and the logarithm of the largest or
    // a non-number input is finite), so with a finite threshold and a zero slope the reduction
    // is +-0 whatever the input: the level need not be computed at all.
    canReduce = ! (Corvanite::bitsEqual (slope, Corvanite::v4f (0.0f)) && std::isfinite (threshold[0]));
}

void VLCompressorSIMD::reset() noexcept
{
    std::memset (static_cast<void*> (lookAheadBuffer), 0, sizeof (v4f) * (size_t) bufferSize);
    envelope = v4f();
    uncheckedWrites = 0;
}

bool VLCompressorSIMD::isFinite() const noexcept
{
    if (! Corvanite::allFinite (envelope))
        return false;

    // Only the last D entries written are still to be read; older ones are dead. Of those, the
    // ones written before the last successful call were found finite then.
    const int count = std::min (uncheckedWrites, delayLength);

    for (int i = 1; i <= count; ++i)
        if (! Corvanite::allFinite (lookAheadBuffer[(writeIndex - i) & (bufferSize - 1)]))
            return false;

    uncheckedWrites = 0;
    return true;
}
