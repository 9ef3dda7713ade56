#pragma once

#include <vector>

#include "AudioData.h"

namespace aaxhost
{
/** Level figures quillo-host prints for a render. */
class Levels
{
public:
    /** The peak of each channel in dBFS (-inf as -200 for silence). */
    static std::vector<double> PeakDb(const AudioData& audio);

    /** How far `processed` falls below `reference` at its deepest: the lowest ratio, in dB, of the
        two signals' RMS over windows of `windowSeconds`, over the windows in which the reference
        is above -60 dBFS (summed over channels). 0 when it never falls below (never positive);
        the two must have the same shape. */
    static double DeepestDropDb(const AudioData& processed, const AudioData& reference, double windowSeconds = 0.01);
};
} // namespace aaxhost
