#pragma once

#include <cstddef>
#include <random>
#include <vector>

#include "AudioData.h"

namespace aaxhost
{
/** The built-in test signal of quillo-host render: an exponential sine sweep from 20 Hz to 20 kHz
    over the whole length at -8 dBFS (0.4), plus pink noise at about -26 dBFS, different in each
    channel (a fixed seed per channel, so every render gets the same samples). Generated a block
    at a time. */
class TestSignal
{
public:
    /** `seconds` of signal (rounded to whole frames) in `numChannels` channels. */
    TestSignal(double sampleRate, double seconds, int numChannels);

    size_t NumFrames() const { return mLength; }

    /** The next `numFrames` frames into NumChannels() buffers; zeros past the end. */
    void Generate(float* const* channels, size_t numFrames);

    /** The whole signal at once. */
    static AudioData Make(double sampleRate, double seconds, int numChannels);

private:
    /** One channel's pink-noise filter (white noise through first-order low-passes, -3 dB per
        octave) and its noise source. */
    struct Pink
    {
        std::mt19937 random;
        float b[7] = {};
    };

    double mSampleRate;
    double mSweepRate;
    size_t mLength;
    size_t mPosition = 0;
    std::vector<Pink> mPink;
};
} // namespace aaxhost
