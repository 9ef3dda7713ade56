// Per-stage figures for the DSP kit alone, per stereo frame, with every band active.
// The processor's own benchmark (with its baseline) measures the whole processBlock.

#include <benchmark/benchmark.h>
#include <xmmintrin.h>

#include <cmath>
#include <vector>

#include "DynamicFilter.h"
#include "HPFilter.h"
#include "ShelvingEQ.h"

namespace
{
constexpr float sampleRate = 48000.0f;
constexpr int blockSize = 512;

/** Flush-to-zero and denormals-are-zero, as the engine runs, restored afterwards. */
struct FlushDenormals
{
    unsigned saved = _mm_getcsr();
    FlushDenormals() { _mm_setcsr (saved | 0x8040); }
    ~FlushDenormals() { _mm_setcsr (saved); }
};

/** A stereo block of a loud sine pair with a little noise. */
std::vector<float> makeInput()
{
    std::vector<float> input (2 * blockSize);
    unsigned seed = 1;

    for (int i = 0; i < blockSize; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const float noise = 0.05f * ((float) (seed >> 8) / 8388608.0f - 1.0f);
        input[(size_t) (2 * i)] = 0.7f * std::sin (0.0654f * (float) i) + noise;
        input[(size_t) (2 * i + 1)] = 0.6f * std::sin (0.1309f * (float) i) - noise;
    }

    return input;
}

struct Chain
{
    HPFilter highPass;
    ShelvingEQ shelving;
    DynamicFilter lowMid, highMid;

    Chain()
    {
        highPass.setSampleRate (sampleRate);
        shelving.setSampleRate (sampleRate);
        lowMid.setSampleRate (sampleRate);
        highMid.setSampleRate (sampleRate);
        setTargets (blockSize, 0.0f);
        highPass.cutoff.snap();
        shelving.snapRamps();
        lowMid.snapRamps();
        highMid.snapRamps();
    }

    /** Every band active; `wobble` moves every target (automation) when non-zero. */
    void setTargets (int numSamples, float wobble)
    {
        for (auto* r : { &highPass.cutoff, &shelving.lowBoost, &shelving.lowAttenuate, &shelving.lowFrequency,
                         &shelving.highBoost, &shelving.highAttenuate, &shelving.highFrequency, &lowMid.frequency,
                         &lowMid.gain, &lowMid.q, &highMid.frequency, &highMid.gain, &highMid.q })
            r->setStepsToTarget (numSamples);

        highPass.cutoff.setTarget (80.0f);
        shelving.lowBoost.setTarget (6.0f + wobble);
        shelving.lowAttenuate.setTarget (3.0f + wobble);
        shelving.lowFrequency.setTarget (120.0f + wobble);
        shelving.highBoost.setTarget (4.0f + wobble);
        shelving.highAttenuate.setTarget (2.0f + wobble);
        shelving.highFrequency.setTarget (8000.0f + wobble);
        lowMid.frequency.setTarget (500.0f + wobble);
        lowMid.gain.setTarget (6.0f + wobble);
        lowMid.q.setTarget (1.4f + wobble * 0.01f);
        lowMid.setRatio (3.0f);
        lowMid.setThreshold (-30.0f);
        highMid.frequency.setTarget (2500.0f + wobble);
        highMid.gain.setTarget (-6.0f + wobble);
        highMid.q.setTarget (2.0f + wobble * 0.01f);
        highMid.setRatio (4.5f);
        highMid.setThreshold (-35.0f);
    }
};

std::vector<float> makeBlock (const std::vector<float>& interleaved, int channel)
{
    std::vector<float> samples (blockSize);

    for (int i = 0; i < blockSize; ++i)
        samples[(size_t) i] = interleaved[(size_t) (2 * i + channel)];

    return samples;
}

void reportFrames (benchmark::State& state)
{
    const double frames = (double) state.iterations() * blockSize;
    state.counters["ns/frame"] = benchmark::Counter (frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x realtime"] = benchmark::Counter (frames / sampleRate, benchmark::Counter::kIsRate);
}

/** Frame by frame (processFrame) over interleaved frames. */
template <typename Process>
void runFrames (benchmark::State& state, Chain& chain, Process&& process)
{
    FlushDenormals ftz;
    const bool automate = state.range (0) != 0;
    const auto input = makeInput();
    std::vector<float> buffer (input.size());
    int blockCount = 0;

    for (auto _ : state)
    {
        if (automate)
            chain.setTargets (blockSize, (float) (++blockCount & 1));

        buffer = input;

        for (int i = 0; i < blockSize; ++i)
            process (&buffer[(size_t) (2 * i)]);

        benchmark::DoNotOptimize (buffer.data());
        benchmark::ClobberMemory();
    }

    reportFrames (state);
}

/** A block at a time (processBlock) over separate channel arrays. */
template <typename Process>
void runBlocks (benchmark::State& state, Chain& chain, Process&& process)
{
    FlushDenormals ftz;
    const bool automate = state.range (0) != 0;
    const auto input = makeInput();
    const auto inputLeft = makeBlock (input, 0), inputRight = makeBlock (input, 1);
    std::vector<float> left (blockSize), right (blockSize);
    int blockCount = 0;

    for (auto _ : state)
    {
        if (automate)
            chain.setTargets (blockSize, (float) (++blockCount & 1));

        left = inputLeft;
        right = inputRight;
        process (left.data(), right.data(), blockSize);

        benchmark::DoNotOptimize (left.data());
        benchmark::DoNotOptimize (right.data());
        benchmark::ClobberMemory();
    }

    reportFrames (state);
}
}

static void DspKit_HighPass (benchmark::State& state)
{
    Chain chain;
    runFrames (state, chain, [&] (float* f) { chain.highPass.processFrame (f, 2); });
}

static void DspKit_Shelving (benchmark::State& state)
{
    Chain chain;
    runFrames (state, chain, [&] (float* f) { chain.shelving.processFrame (f, 2); });
}

static void DspKit_DynamicBand (benchmark::State& state)
{
    Chain chain;
    runFrames (state, chain, [&] (float* f) { chain.lowMid.processFrame (f, 2); });
}

static void DspKit_WholeChain (benchmark::State& state)
{
    Chain chain;
    runFrames (state, chain,
               [&] (float* f)
               {
                   chain.highPass.processFrame (f, 2);
                   chain.shelving.processFrame (f, 2);
                   chain.lowMid.processFrame (f, 2);
                   chain.highMid.processFrame (f, 2);
               });
}

static void DspKit_HighPassBlock (benchmark::State& state)
{
    Chain chain;
    runBlocks (state, chain, [&] (float* l, float* r, int n) { chain.highPass.processBlock (l, r, n); });
}

static void DspKit_ShelvingBlock (benchmark::State& state)
{
    Chain chain;
    runBlocks (state, chain, [&] (float* l, float* r, int n) { chain.shelving.processBlock (l, r, n); });
}

static void DspKit_DynamicBandBlock (benchmark::State& state)
{
    Chain chain;
    runBlocks (state, chain, [&] (float* l, float* r, int n) { chain.lowMid.processBlock (l, r, n); });
}

static void DspKit_WholeChainBlock (benchmark::State& state)
{
    Chain chain;
    runBlocks (state, chain,
               [&] (float* l, float* r, int n)
               {
                   chain.highPass.processBlock (l, r, n);
                   chain.shelving.processBlock (l, r, n);
                   chain.lowMid.processBlock (l, r, n);
                   chain.highMid.processBlock (l, r, n);
               });
}

static void DspKit_WholeChainSeries (benchmark::State& state)
{
    Chain chain;
    runBlocks (state, chain,
               [&] (float* l, float* r, int n)
               {
                   chain.highPass.processBlock (l, r, n);
                   chain.shelving.processBlock (l, r, n);
                   DynamicFilter::processSeries (chain.lowMid, chain.highMid, l, r, n);
               });
}

static void DspKit_BandsSeries (benchmark::State& state)
{
    Chain chain;
    runBlocks (state, chain,
               [&] (float* l, float* r, int n)
               { DynamicFilter::processSeries (chain.lowMid, chain.highMid, l, r, n); });
}

// Argument: 0 = settled parameters, 1 = every target moving in every block (automation).
BENCHMARK (DspKit_HighPass)->Arg (0)->Arg (1);
BENCHMARK (DspKit_Shelving)->Arg (0)->Arg (1);
BENCHMARK (DspKit_DynamicBand)->Arg (0)->Arg (1);
BENCHMARK (DspKit_WholeChain)->Arg (0)->Arg (1);
BENCHMARK (DspKit_HighPassBlock)->Arg (0)->Arg (1);
BENCHMARK (DspKit_ShelvingBlock)->Arg (0)->Arg (1);
BENCHMARK (DspKit_DynamicBandBlock)->Arg (0)->Arg (1);
BENCHMARK (DspKit_WholeChainBlock)->Arg (0)->Arg (1);
BENCHMARK (DspKit_BandsSeries)->Arg (0)->Arg (1);
BENCHMARK (DspKit_WholeChainSeries)->Arg (0)->Arg (1);
