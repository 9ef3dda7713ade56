#include "TestSignal.h"

#include <cmath>
#include <random>

namespace aaxhost
{
AudioData TestSignal::Make(double sampleRate, double seconds, int numChannels)
{
    const auto length = size_t(std::lround(seconds * sampleRate));
    AudioData signal = AudioData::Silence(sampleRate, numChannels, length);

    const double f0 = 20.0, f1 = 20000.0;
    const double rate = std::log(f1 / f0) / seconds;

    for (int channel = 0; channel < numChannels; ++channel)
    {
        std::mt19937 random(1234u + unsigned(channel));
        std::uniform_real_distribution<float> white(-1.0f, 1.0f);

        // Pink noise: white noise through a sum of first-order low-passes (-3 dB per octave).
        float b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
        std::vector<float>& out = signal.channels[size_t(channel)];

        for (size_t i = 0; i < length; ++i)
        {
            const double t = double(i) / sampleRate;
            const double phase = 6.283185307179586 * f0 * (std::exp(rate * t) - 1.0) / rate;

            const float w = white(random);
            b0 = 0.99886f * b0 + w * 0.0555179f;
            b1 = 0.99332f * b1 + w * 0.0750759f;
            b2 = 0.96900f * b2 + w * 0.1538520f;
            b3 = 0.86650f * b3 + w * 0.3104856f;
            b4 = 0.55000f * b4 + w * 0.5329522f;
            b5 = -0.7616f * b5 - w * 0.0168980f;
            const float pink = (b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362f) * 0.11f;
            b6 = w * 0.115926f;

            out[i] = 0.4f * float(std::sin(phase)) + 0.25f * pink;
        }
    }
    return signal;
}
} // namespace aaxhost
