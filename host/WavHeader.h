#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace aaxhost
{
/** The bytes before the audio of the WAV files the host writes and of the streams it reads,
    made in time that does not grow with the audio's length.

    A 32-bit float file is laid out as libsndfile lays out an RF64 file that it may write as plain
    RIFF/WAVE (SFC_RF64_AUTO_DOWNGRADE), so that a pipe gets the bytes a regular file gets: 112
    bytes, a WAVE_FORMAT_EXTENSIBLE format chunk, and RIFF while the whole file stays below
    0xFFFFFFFF bytes, RF64 (sizes in a 'ds64' chunk) beyond. A length that is not known when the
    header goes out is written as writers that cannot seek back write it: every size 0xFFFFFFFF.

    Pure functions; any thread. */
class WavHeader
{
public:
    /** Bytes of every float header made here. */
    static constexpr size_t kFloatSize = 112;

    /** The largest whole file (header and audio, bytes) that is still written as RIFF. */
    static constexpr uint64_t kMaxRiffFile = 0xFFFFFFFEull;

    enum class Form
    {
        kRiff,       ///< 32-bit sizes
        kRf64,       ///< 64-bit sizes in 'ds64'
        kUndeclared, ///< RIFF whose sizes say "unknown" (0xFFFFFFFF)
    };

    /** RIFF when `numFrames` frames of `numChannels` float samples fit, else RF64. */
    static Form FormFor(int numChannels, uint64_t numFrames);

    /** The header of a float file of `numFrames` frames (ignored for kUndeclared);
        `numChannels` 1 to 64, `sampleRate` in Hz. */
    static std::vector<uint8_t> Float(int numChannels, uint32_t sampleRate, uint64_t numFrames, Form form);

    /** `riff`, the bytes of a little-endian RIFF/WAVE or RF64 header up to and including the data
        chunk's 8 bytes, as RF64 whose data chunk holds `dataBytes`: how libsndfile is shown a
        stream that declared no length (a RIFF data chunk cannot say more than 4 GiB, so libsndfile
        would stop there). The chunks in between are kept as they are, but for an RF64 header's
        own 'ds64', which the new one replaces. */
    static std::vector<uint8_t> AsRf64(const std::vector<uint8_t>& riff, uint64_t dataBytes);
};
} // namespace aaxhost
