#pragma once

#include "AudioData.h"

namespace aaxhost
{
/** The built-in test signal of quillo-host render: an exponential sine sweep from 20 Hz to 20 kHz
    over the whole length at -8 dBFS (0.4), plus pink noise at about -26 dBFS, different in each
    channel (a fixed seed per channel, so every render gets the same samples). */
class TestSignal
{
public:
    /** `seconds` of signal (rounded to whole frames) in `numChannels` channels. */
    static AudioData Make(double sampleRate, double seconds, int numChannels);
};
} // namespace aaxhost
