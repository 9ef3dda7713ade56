#pragma once

#include <cstddef>
#include <vector>

namespace aaxhost
{
/** Level figures quillo-host prints for a render, gathered a block at a time. */
class Levels
{
public:
    /** The peak of each channel. */
    class Peaks
    {
    public:
        explicit Peaks(int numChannels)
            : mPeaks(size_t(numChannels), 0.0f)
        {
        }

        /** Takes `numFrames` more frames of each channel. */
        void Add(const float* const* channels, size_t numFrames);

        /** Each channel's peak in dBFS (minus infinity for silence). */
        std::vector<double> Db() const;

    private:
        std::vector<float> mPeaks;
    };

    /** How far a processed signal falls below a reference at its deepest: the lowest ratio, in
        dB, of the two signals' RMS over consecutive windows (summed over channels), over the
        windows in which the reference is above -60 dBFS. A last window left incomplete does not
        count. */
    class DeepestDrop
    {
    public:
        DeepestDrop(int numChannels, double sampleRate, double windowSeconds = 0.01);

        /** Takes `numFrames` more frames of both signals, aligned. */
        void Add(const float* const* processed, const float* const* reference, size_t numFrames);

        /** The deepest drop so far in dB; 0 when it never fell below (never positive), minus
            infinity when the processed signal fell silent. */
        double Db() const { return mDeepest; }

    private:
        int mNumChannels;
        size_t mWindow;
        size_t mFill = 0;
        double mEnergy = 0.0;
        double mReferenceEnergy = 0.0;
        double mDeepest = 0.0;
    };
};
} // namespace aaxhost
