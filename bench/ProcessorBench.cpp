// Cost of the processor's processBlock on a stereo instance at 48 kHz with every stage at work,
// next to a plain scalar biquad cascade with as many second-order sections per channel as the
// chain runs (high-pass 2, shelves 4, two dynamic bands 2 each: 10), measured in the same run.
//
//   quillo_bench [--benchmark_filter=...]
//
// Counters: ns_per_frame (seconds per stereo frame, printed with an SI prefix) and
// x_realtime (seconds of 48 kHz audio processed per second). The ratio of the processor to the
// baseline is printed at the end.

#include "PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int sourceLength = 48000;
constexpr int sectionsPerChannel = 10;

// A second of loud programme: noise plus tones in both dynamic bands and the shelves.
std::vector<float> programme (uint32_t seed)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<float> noise (-0.2f, 0.2f);
    std::vector<float> s (sourceLength);

    for (int i = 0; i < sourceLength; ++i)
    {
        const double t = i / sampleRate;
        s[(size_t) i] = noise (random)
                      + 0.3f * (float) std::sin (6.283185307179586 * 60.0 * t)
                      + 0.3f * (float) std::sin (6.283185307179586 * 500.0 * t)
                      + 0.3f * (float) std::sin (6.283185307179586 * 1200.0 * t)
                      + 0.1f * (float) std::sin (6.283185307179586 * 9000.0 * t);
    }

    return s;
}

void setCounters (benchmark::State& state, int blockSize)
{
    const auto frames = (double) state.iterations() * blockSize;
    state.counters["ns_per_frame"] = benchmark::Counter (frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / sampleRate, benchmark::Counter::kIsRate);
}

//==============================================================================
void processorBlock (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);

    QuilloAudioProcessor p;
    p.setRateAndBufferSizeDetails (sampleRate, blockSize);
    p.prepareToPlay (sampleRate, blockSize);

    // Every stage at work: gains, high-pass at 40 Hz, both shelves boosting and cutting, both
    // dynamic bands boosting or cutting and compressing.
    const std::pair<int, float> settings[] = {
        { kInputGain, 0.56f }, { kOutputGain, 0.46f }, { kPower, 1.0f }, { kHighPass, 0.6f },
        { kLowShelfBoost, 0.5f }, { kLowShelfAttenuate, 0.2f }, { kLowShelfFrequency, 0.3f },
        { kHighShelfBoost, 0.4f }, { kHighShelfAttenuate, 0.3f }, { kHighShelfFrequency, 0.5f },
        { kLowMidFreq, 0.112f }, { kLowMidGain, 0.7f }, { kLowMidQ, 0.3f }, { kLowDynAttenuation, 0.7f },
        { kHighMidFreq, 0.055f }, { kHighMidGain, 0.3f }, { kHighMidQ, 0.2f }, { kHighDynAttenuation, 0.6f },
    };

    for (const auto& [index, value] : settings)
        p.getParameters()[index]->setValueNotifyingHost (value);

    const auto left = programme (1), right = programme (2);
    std::vector<float> l ((size_t) blockSize), r ((size_t) blockSize);
    float* channels[2] = { l.data(), r.data() };
    juce::AudioBuffer<float> buffer (channels, 2, blockSize);
    juce::MidiBuffer midi;
    int position = 0;

    const auto nextBlock = [&]
    {
        std::copy_n (left.begin() + position, blockSize, l.begin());
        std::copy_n (right.begin() + position, blockSize, r.begin());
        position = (position + blockSize) % (sourceLength - blockSize);
        p.processBlock (buffer, midi);
    };

    // A second of audio first, so that the ramps have arrived and the compressors are at work.
    for (int done = 0; done < sourceLength; done += blockSize)
        nextBlock();

    for (auto _ : state)
    {
        nextBlock();
        benchmark::DoNotOptimize (l.data());
        benchmark::DoNotOptimize (r.data());
    }

    setCounters (state, blockSize);

    if (p.getHighMidReduction() >= 1.0f || p.getLowMidReduction() >= 1.0f)
        state.SkipWithError ("the dynamic bands are not compressing");
}

//==============================================================================
// Transposed direct form II, float, fixed coefficients: the plainest biquad there is.
struct Biquad
{
    float b0, b1, b2, a1, a2;
    float s1 = 0.0f, s2 = 0.0f;

    float process (float x) noexcept
    {
        const float y = b0 * x + s1;
        s1 = b1 * x - a1 * y + s2;
        s2 = b2 * x - a2 * y;
        return y;
    }
};

Biquad peakingSection (double frequency, double q, double gainDb)
{
    const double A = std::pow (10.0, gainDb / 40.0);
    const double w = 6.283185307179586 * frequency / sampleRate;
    const double alpha = std::sin (w) / (2.0 * q);
    const double a0 = 1.0 + alpha / A;

    return { (float) ((1.0 + alpha * A) / a0), (float) (-2.0 * std::cos (w) / a0),
             (float) ((1.0 - alpha * A) / a0), (float) (-2.0 * std::cos (w) / a0),
             (float) ((1.0 - alpha / A) / a0) };
}

void biquadCascadeBlock (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);

    Biquad cascade[2][sectionsPerChannel];

    for (auto& channel : cascade)
        for (int s = 0; s < sectionsPerChannel; ++s)
            channel[s] = peakingSection (60.0 * std::pow (1.8, s), 0.9, s % 2 == 0 ? 3.0 : -3.0);

    const auto left = programme (1), right = programme (2);
    std::vector<float> l ((size_t) blockSize), r ((size_t) blockSize);
    int position = 0;

    for (auto _ : state)
    {
        std::copy_n (left.begin() + position, blockSize, l.begin());
        std::copy_n (right.begin() + position, blockSize, r.begin());
        position = (position + blockSize) % (sourceLength - blockSize);

        for (int i = 0; i < blockSize; ++i)
        {
            float x = l[(size_t) i], y = r[(size_t) i];

            for (int s = 0; s < sectionsPerChannel; ++s)
            {
                x = cascade[0][s].process (x);
                y = cascade[1][s].process (y);
            }

            l[(size_t) i] = x;
            r[(size_t) i] = y;
        }

        benchmark::DoNotOptimize (l.data());
        benchmark::DoNotOptimize (r.data());
    }

    setCounters (state, blockSize);
}

//==============================================================================
// Prints the usual console report and remembers each benchmark's time per frame for the ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> nsPerFrame;

    void ReportRuns (const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns (runs);

        for (const auto& run : runs)
        {
            const auto counter = run.counters.find ("ns_per_frame");

            if (run.error_occurred || counter == run.counters.end())
                continue;

            // With repetitions, the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;

            nsPerFrame[run.run_name.str()] = counter->second.value * 1.0e9;
        }
    }
};
} // namespace

BENCHMARK (processorBlock)->Arg (64)->Arg (512);
BENCHMARK (biquadCascadeBlock)->Arg (64)->Arg (512);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);

    std::printf ("\n%-8s %16s %16s %10s %12s\n", "block", "processor ns/fr", "baseline ns/fr", "ratio", "x realtime");

    for (int blockSize : { 64, 512 })
    {
        const auto processor = reporter.nsPerFrame.find ("processorBlock/" + std::to_string (blockSize));
        const auto baseline = reporter.nsPerFrame.find ("biquadCascadeBlock/" + std::to_string (blockSize));

        if (processor == reporter.nsPerFrame.end() || baseline == reporter.nsPerFrame.end())
            continue;

        std::printf ("%-8d %16.2f %16.2f %10.2f %12.1f\n", blockSize, processor->second, baseline->second,
                     processor->second / baseline->second, 1.0e9 / (processor->second * sampleRate));
    }

    benchmark::Shutdown();
    return 0;
}
