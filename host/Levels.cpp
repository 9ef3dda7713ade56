#include "Levels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace aaxhost
{
void Levels::Peaks::Add(const float* const* channels, size_t numFrames)
{
    for (size_t c = 0; c < mPeaks.size(); ++c)
        for (size_t i = 0; i < numFrames; ++i)
            mPeaks[c] = std::max(mPeaks[c], std::fabs(channels[c][i]));
}

std::vector<double> Levels::Peaks::Db() const
{
    std::vector<double> db;
    for (float peak : mPeaks)
        db.push_back(peak > 0.0f ? 20.0 * std::log10(double(peak)) : -std::numeric_limits<double>::infinity());
    return db;
}

Levels::DeepestDrop::DeepestDrop(int numChannels, double sampleRate, double windowSeconds)
    : mNumChannels(numChannels)
    , mWindow(size_t(std::max(1.0, std::round(windowSeconds * sampleRate))))
{
}

void Levels::DeepestDrop::Add(const float* const* processed, const float* const* reference, size_t numFrames)
{
    const double floor = std::pow(10.0, -60.0 / 20.0);
    for (size_t i = 0; i < numFrames; ++i)
    {
        for (int c = 0; c < mNumChannels; ++c)
        {
            const double p = processed[c][i];
            const double r = reference[c][i];
            mEnergy += p * p;
            mReferenceEnergy += r * r;
        }
        if (++mFill < mWindow)
            continue;
        const double count = double(mWindow) * mNumChannels;
        if (std::sqrt(mReferenceEnergy / count) >= floor)
            mDeepest = std::min(mDeepest, mEnergy > 0.0 ? 10.0 * std::log10(mEnergy / mReferenceEnergy)
                                                        : -std::numeric_limits<double>::infinity());
        mFill = 0;
        mEnergy = mReferenceEnergy = 0.0;
    }
}
} // namespace aaxhost
