// Cost of the same work as processorBlock, but as a host pays it: the built module loaded by the
// stand-in host, its native process procedure called block by block on the host's real-time
// thread through JUCE's AAX wrapper (algorithm context, packets, the callback lock, the buffer
// set-up) on top of the engine. The ratio to processorBlock is the wrapper's overhead.
//
//   quillo_bench --benchmark_filter=moduleBlock
//
// One iteration is one second of audio handed to the real-time thread as one job, so that the
// hand-over between the two threads costs well under a nanosecond per frame. Timed in real time:
// the work happens on the real-time thread, not on the benchmark's.

#include "PlugInInstance.h"
#include "StandInHost.h"
#include "VLParameterInfo.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr size_t framesPerJob = 48000;

std::unique_ptr<aaxhost::StandInHost> loadedHost;

/** The module, loaded once for the whole run by the thread that runs the benchmarks (the
    host's main thread from then on), and shut down at exit before the module's own statics go
    (those are made by the first instance, so one is opened before the shut-down is queued). */
aaxhost::StandInHost& moduleHost()
{
    if (loadedHost == nullptr)
    {
        loadedHost = std::make_unique<aaxhost::StandInHost> (QUILLO_BENCH_MODULE);
        loadedHost->CreateInstance (2, (float) sampleRate)->Close();
        std::atexit ([] { loadedHost.reset(); });
    }

    return *loadedHost;
}
}   // namespace

void moduleBlock (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);
    auto instance = moduleHost().CreateInstance (2, (float) sampleRate);

    // The settings of processorBlock, through the host's automation.
    const std::pair<int, double> settings[] = {
        { kInputGain, 0.56 },
        { kOutputGain, 0.46 },
        { kPower, 1.0 },
        { kHighPass, 0.6 },
        { kLowShelfBoost, 0.5 },
        { kLowShelfAttenuate, 0.2 },
        { kLowShelfFrequency, 0.3 },
        { kHighShelfBoost, 0.4 },
        { kHighShelfAttenuate, 0.3 },
        { kHighShelfFrequency, 0.5 },
        { kLowMidFreq, 0.112 },
        { kLowMidGain, 0.7 },
        { kLowMidQ, 0.3 },
        { kLowDynAttenuation, 0.7 },
        { kHighMidFreq, 0.055 },
        { kHighMidGain, 0.3 },
        { kHighMidQ, 0.2 },
        { kHighDynAttenuation, 0.6 },
    };
    const auto ids = instance->ParameterIDs();

    for (const auto& [index, value] : settings)
        instance->Automate (ids[(size_t) index], value);

    // The programme of processorBlock: noise plus tones in both dynamic bands and the shelves.
    std::vector<float> input[2];
    for (int ch = 0; ch < 2; ++ch)
    {
        std::mt19937 random ((uint32_t) ch + 1);
        std::uniform_real_distribution<float> noise (-0.2f, 0.2f);
        input[ch].resize (framesPerJob);

        for (size_t i = 0; i < framesPerJob; ++i)
        {
            const double t = (double) i / sampleRate;
            input[ch][i] = noise (random) + 0.3f * (float) std::sin (6.283185307179586 * 60.0 * t)
                         + 0.3f * (float) std::sin (6.283185307179586 * 500.0 * t)
                         + 0.3f * (float) std::sin (6.283185307179586 * 1200.0 * t)
                         + 0.1f * (float) std::sin (6.283185307179586 * 9000.0 * t);
        }
    }

    std::vector<float> output[2] = { std::vector<float> (framesPerJob), std::vector<float> (framesPerJob) };
    const float* in[2] = { input[0].data(), input[1].data() };
    float* out[2] = { output[0].data(), output[1].data() };

    // A second first, so that the ramps have arrived and the compressors are at work.
    instance->Process (in, out, framesPerJob, blockSize);

    for (auto _ : state)
    {
        instance->Process (in, out, framesPerJob, blockSize);
        benchmark::DoNotOptimize (output[0].data());
        benchmark::DoNotOptimize (output[1].data());
    }

    const auto frames = (double) state.iterations() * (double) framesPerJob;
    state.counters["ns_per_frame"] = benchmark::Counter (frames,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / sampleRate, benchmark::Counter::kIsRate);

    instance->Close();
}

BENCHMARK (moduleBlock)->Arg (64)->Arg (512)->UseRealTime()->Unit (benchmark::kMillisecond);
