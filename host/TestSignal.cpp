#include "TestSignal.h"

#include <cmath>

namespace aaxhost
{
namespace
{
constexpr double kLowest = 20.0, kHighest = 20000.0; // Hz
}

TestSignal::TestSignal(double sampleRate, double seconds, int numChannels)
    : mSampleRate(sampleRate)
    , mSweepRate(std::log(kHighest / kLowest) / seconds)
    , mLength(size_t(std::lround(seconds * sampleRate)))
{
    for (int channel = 0; channel < numChannels; ++channel)
        mPink.push_back(Pink { std::mt19937(1234u + unsigned(channel)), {} });
}

void TestSignal::Generate(float* const* channels, size_t numFrames)
{
    std::uniform_real_distribution<float> white(-1.0f, 1.0f);
    for (size_t i = 0; i < numFrames; ++i, ++mPosition)
    {
        const double t = double(mPosition) / mSampleRate;
        const double phase = 6.283185307179586 * kLowest * (std::exp(mSweepRate * t) - 1.0) / mSweepRate;
        const auto sweep = 0.4f * float(std::sin(phase));
        for (size_t c = 0; c < mPink.size(); ++c)
        {
            if (mPosition >= mLength)
            {
                channels[c][i] = 0.0f;
                continue;
            }
            float* const b = mPink[c].b;
            const float w = white(mPink[c].random);
            b[0] = 0.99886f * b[0] + w * 0.0555179f;
            b[1] = 0.99332f * b[1] + w * 0.0750759f;
            b[2] = 0.96900f * b[2] + w * 0.1538520f;
            b[3] = 0.86650f * b[3] + w * 0.3104856f;
            b[4] = 0.55000f * b[4] + w * 0.5329522f;
            b[5] = -0.7616f * b[5] - w * 0.0168980f;
            const float pink = (b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362f) * 0.11f;
            b[6] = w * 0.115926f;
            channels[c][i] = sweep + 0.25f * pink;
        }
    }
}

AudioData TestSignal::Make(double sampleRate, double seconds, int numChannels)
{
    TestSignal signal(sampleRate, seconds, numChannels);
    AudioData audio = AudioData::Silence(sampleRate, numChannels, signal.NumFrames());
    std::vector<float*> channels;
    for (auto& channel : audio.channels)
        channels.push_back(channel.data());
    signal.Generate(channels.data(), signal.NumFrames());
    return audio;
}
} // namespace aaxhost
