// Cost of the processor's processBlock on a stereo instance at 48 kHz with every stage at work,
// next to a plain scalar biquad cascade with as many second-order sections per channel as the
// chain runs (high-pass 2, shelves 4, two dynamic bands 2 each: 10), measured in the same run.
//
//   quillo_bench [--benchmark_filter=...]
//
// Counters: ns_per_frame (seconds per stereo frame, printed with an SI prefix) and
// x_realtime (seconds of audio processed per second). processorBlockAtRate runs short blocks
// of 16 frames at 48 and 192 kHz in the same run: the work per frame should not depend on the
// rate (the look-ahead lines grow with it), and the summary prints the ratio. At the end one table puts side by
// side the processor, the same work through the stand-in host and the module (ModuleBench.cpp),
// and the baseline, with their ratios; and the editor's timer tick and full repaint
// (EditorBench.cpp) against the 16.7 ms of a 60 Hz frame.

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

// A second of loud programme at 48 kHz (a quarter second at 192 kHz): noise plus tones in
// both dynamic bands and the shelves.
std::vector<float> programme (uint32_t seed, double rate = sampleRate)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<float> noise (-0.2f, 0.2f);
    std::vector<float> s (sourceLength);

    for (int i = 0; i < sourceLength; ++i)
    {
        const double t = i / rate;
        s[(size_t) i] = noise (random) + 0.3f * (float) std::sin (6.283185307179586 * 60.0 * t)
                      + 0.3f * (float) std::sin (6.283185307179586 * 500.0 * t)
                      + 0.3f * (float) std::sin (6.283185307179586 * 1200.0 * t)
                      + 0.1f * (float) std::sin (6.283185307179586 * 9000.0 * t);
    }

    return s;
}

void setCounters (benchmark::State& state, int blockSize, double rate = sampleRate)
{
    const auto frames = (double) state.iterations() * blockSize;
    state.counters["ns_per_frame"] = benchmark::Counter (frames,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / rate, benchmark::Counter::kIsRate);
}

//==============================================================================
void runProcessor (benchmark::State& state, int blockSize, double rate)
{
    QuilloAudioProcessor p;
    p.setRateAndBufferSizeDetails (rate, blockSize);
    p.prepareToPlay (rate, blockSize);

    // Every stage at work: gains, high-pass at 40 Hz, both shelves boosting and cutting, both
    // dynamic bands boosting or cutting and compressing.
    const std::pair<int, float> settings[] = {
        { kInputGain, 0.56f },
        { kOutputGain, 0.46f },
        { kPower, 1.0f },
        { kHighPass, 0.6f },
        { kLowShelfBoost, 0.5f },
        { kLowShelfAttenuate, 0.2f },
        { kLowShelfFrequency, 0.3f },
        { kHighShelfBoost, 0.4f },
        { kHighShelfAttenuate, 0.3f },
        { kHighShelfFrequency, 0.5f },
        { kLowMidFreq, 0.112f },
        { kLowMidGain, 0.7f },
        { kLowMidQ, 0.3f },
        { kLowDynAttenuation, 0.7f },
        { kHighMidFreq, 0.055f },
        { kHighMidGain, 0.3f },
        { kHighMidQ, 0.2f },
        { kHighDynAttenuation, 0.6f },
    };

    for (const auto& [index, value] : settings)
        p.getParameters()[index]->setValueNotifyingHost (value);

    const auto left = programme (1, rate), right = programme (2, rate);
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

    setCounters (state, blockSize, rate);

    if (p.getHighMidReduction() >= 1.0f || p.getLowMidReduction() >= 1.0f)
        state.SkipWithError ("the dynamic bands are not compressing");
}

void processorBlock (benchmark::State& state)
{
    runProcessor (state, (int) state.range (0), sampleRate);
}

/** Arguments: block size, sample rate in Hz. */
void processorBlockAtRate (benchmark::State& state)
{
    runProcessor (state, (int) state.range (0), (double) state.range (1));
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

    return { (float) ((1.0 + alpha * A) / a0), (float) (-2.0 * std::cos (w) / a0), (float) ((1.0 - alpha * A) / a0),
             (float) (-2.0 * std::cos (w) / a0), (float) ((1.0 - alpha / A) / a0) };
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
// Prints the usual console report and remembers, per benchmark, the time per frame and the
// time per iteration for the summary.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> nsPerFrame;
    std::map<std::string, double> nsPerIteration;

    void ReportRuns (const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns (runs);

        for (const auto& run : runs)
        {
            if (run.error_occurred)
                continue;

            // With repetitions, the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;

            const auto name = run.run_name.str();
            nsPerIteration[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier (run.time_unit) * 1.0e9;

            const auto counter = run.counters.find ("ns_per_frame");

            if (counter != run.counters.end())
                nsPerFrame[name] = counter->second.value * 1.0e9;
        }
    }
};

const double* find (const std::map<std::string, double>& m, const std::string& name)
{
    const auto it = m.find (name);
    return it != m.end() ? &it->second : nullptr;
}

void printAudioSummary (const RatioReporter& reporter)
{
    std::printf ("\nAudio, stereo at 48 kHz, ns per frame (ratios of those times)\n");
    std::printf ("%-6s %12s %12s %12s %16s %16s %12s %12s\n", "block", "processor", "module", "baseline",
                 "module/processor", "processor/base", "x rt proc", "x rt module");

    for (int blockSize : { 64, 512 })
    {
        const auto suffix = "/" + std::to_string (blockSize);
        const double* processor = find (reporter.nsPerFrame, "processorBlock" + suffix);
        const double* module = find (reporter.nsPerFrame, "moduleBlock" + suffix + "/real_time");
        const double* baseline = find (reporter.nsPerFrame, "biquadCascadeBlock" + suffix);

        const auto cell = [] (const double* v) { return v != nullptr ? *v : std::nan (""); };
        const auto ratio = [] (const double* a, const double* b)
        { return a != nullptr && b != nullptr ? *a / *b : std::nan (""); };
        const auto realtime = [] (const double* v) { return v != nullptr ? 1.0e9 / (*v * sampleRate) : std::nan (""); };

        std::printf ("%-6d %12.2f %12.2f %12.2f %16.3f %16.2f %12.1f %12.1f\n", blockSize, cell (processor),
                     cell (module), cell (baseline), ratio (module, processor), ratio (processor, baseline),
                     realtime (processor), realtime (module));
    }
}

void printRateSummary (const RatioReporter& reporter)
{
    const double* at48 = find (reporter.nsPerFrame, "processorBlockAtRate/16/48000");
    const double* at192 = find (reporter.nsPerFrame, "processorBlockAtRate/16/192000");

    if (at48 == nullptr || at192 == nullptr)
        return;

    std::printf ("\nAudio, stereo, blocks of 16 frames, ns per frame\n");
    std::printf ("%12s %12s %14s\n", "48 kHz", "192 kHz", "192k / 48k");
    std::printf ("%12.2f %12.2f %14.3f\n", *at48, *at192, *at192 / *at48);
}

void printEditorSummary (const RatioReporter& reporter)
{
    constexpr double frameNs = 1.0e9 / 60.0;
    const double* idle = find (reporter.nsPerIteration, "EditorTimerTickIdle");
    const double* moved = find (reporter.nsPerIteration, "EditorTimerTickAllWidgetsMoved");
    const double* repaint1 = find (reporter.nsPerIteration, "EditorFullRepaint/1");
    const double* repaint2 = find (reporter.nsPerIteration, "EditorFullRepaint/2");

    if (idle == nullptr && moved == nullptr && repaint1 == nullptr && repaint2 == nullptr)
        return;

    std::printf ("\nEditor, on the message thread (share of a 60 Hz frame of 16.7 ms)\n");
    std::printf ("%-34s %12s %12s %14s\n", "", "us", "% of frame", "ratio");

    const auto row = [&] (const char* what, const double* ns, const double* against, const char* againstName)
    {
        if (ns == nullptr)
            return;

        std::printf ("%-34s %12.2f %12.3f", what, *ns / 1000.0, 100.0 * *ns / frameNs);

        if (against != nullptr)
            std::printf (" %8.2f x %s", *ns / *against, againstName);

        std::printf ("\n");
    };

    row ("timer tick, idle", idle, nullptr, "");
    row ("timer tick, every widget moved", moved, idle, "idle tick");
    row ("full repaint, 1x artwork", repaint1, moved, "busy tick");
    row ("full repaint, 2x artwork at 2x", repaint2, repaint1, "1x repaint");
}
}   // namespace

BENCHMARK (processorBlock)->Arg (64)->Arg (512);
BENCHMARK (processorBlockAtRate)->Args ({ 16, 48000 })->Args ({ 16, 192000 });
BENCHMARK (biquadCascadeBlock)->Arg (64)->Arg (512);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);

    printAudioSummary (reporter);
    printRateSummary (reporter);
    printEditorSummary (reporter);

    benchmark::Shutdown();
    return 0;
}
