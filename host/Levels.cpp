#include "Levels.h"

#include <algorithm>
#include <cmath>

namespace aaxhost
{
std::vector<double> Levels::PeakDb(const AudioData& audio)
{
    std::vector<double> peaks;
    for (const auto& channel : audio.channels)
    {
        float peak = 0.0f;
        for (float sample : channel)
            peak = std::max(peak, std::fabs(sample));
        peaks.push_back(peak > 0.0f ? 20.0 * std::log10(double(peak)) : -200.0);
    }
    return peaks;
}

double Levels::DeepestDropDb(const AudioData& processed, const AudioData& reference, double windowSeconds)
{
    if (processed.NumChannels() != reference.NumChannels() || processed.NumFrames() != reference.NumFrames())
        return 0.0;

    const auto window = size_t(std::max(1.0, std::round(windowSeconds * reference.sampleRate)));
    const double floor = std::pow(10.0, -60.0 / 20.0);
    double deepest = 0.0;

    for (size_t start = 0; start + window <= reference.NumFrames(); start += window)
    {
        double energy = 0.0, referenceEnergy = 0.0;
        for (int c = 0; c < reference.NumChannels(); ++c)
            for (size_t i = start; i < start + window; ++i)
            {
                const double p = processed.channels[size_t(c)][i];
                const double r = reference.channels[size_t(c)][i];
                energy += p * p;
                referenceEnergy += r * r;
            }
        const double count = double(window) * reference.NumChannels();
        if (std::sqrt(referenceEnergy / count) < floor)
            continue;
        const double drop = energy > 0.0 ? 10.0 * std::log10(energy / referenceEnergy) : -200.0;
        deepest = std::min(deepest, drop);
    }
    return deepest;
}
} // namespace aaxhost
