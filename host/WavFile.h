#pragma once

#include <string>

#include "AudioData.h"

namespace aaxhost
{
/** Minimal RIFF/WAVE reading and writing for the stand-in host (no JUCE on this side).

    Reads PCM of 8, 16, 24 and 32 bits and IEEE float of 32 and 64 bits, also in the extensible
    format, any number of channels; samples become floats in -1..1 (integers are divided by
    2^(bits-1)). Writes 32-bit IEEE float. */
class WavFile
{
public:
    /** Reads `path`. On failure returns false and says why in `error`; `audio` is then empty. */
    static bool Read(const std::string& path, AudioData& audio, std::string& error);

    /** Parses a whole file held in memory (what Read does after loading the bytes). */
    static bool Parse(const std::vector<unsigned char>& bytes, AudioData& audio, std::string& error);

    /** Writes `audio` as 32-bit float, replacing the file. False with a reason on failure (no
        channels, channels of different lengths, a rate that is not a positive whole number, or
        the file cannot be written). */
    static bool Write(const std::string& path, const AudioData& audio, std::string& error);
};
} // namespace aaxhost
