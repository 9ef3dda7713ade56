#pragma once

#include <cstddef>
#include <vector>

namespace aaxhost
{
/** Audio as the stand-in host keeps it: one vector of samples per channel, all of one length. */
struct AudioData
{
    double sampleRate = 48000.0; ///< Hz
    std::vector<std::vector<float>> channels;

    int NumChannels() const { return int(channels.size()); }
    size_t NumFrames() const { return channels.empty() ? 0 : channels[0].size(); }

    /** `numChannels` channels of `numFrames` zero samples. */
    static AudioData Silence(double sampleRate, int numChannels, size_t numFrames)
    {
        AudioData audio;
        audio.sampleRate = sampleRate;
        audio.channels.assign(size_t(numChannels), std::vector<float>(numFrames, 0.0f));
        return audio;
    }
};
} // namespace aaxhost
