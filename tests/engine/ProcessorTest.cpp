// The processing chain as a whole: its delay, its responses, the way parameter changes move
// through a block, the read-outs the editor polls, bypass and bad audio. A mono instance's
// channel and read-outs are held against the per-sample reference in ChainReferenceTest.

#include "AllocationCounter.h"
#include "ProcessorTestSupport.h"

using namespace quillo::test;

namespace
{
// Everything active: the high-pass at 80 Hz, both shelves, both bands with their compressors.
void activateEverything (juce::AudioProcessor& p)
{
    loadFactoryPreset (p, 5, 4);   // "Mid Fest"
    setParameter (p, kLowDynAttenuation, 0.8f);
    setParameter (p, kHighDynAttenuation, 0.8f);
    setParameter (p, kLowShelfAttenuate, 0.3f);
}

std::vector<float> programme (int numSamples, uint32_t seed)
{
    auto s = noise (0.3f, numSamples, seed), tone = sine (700.0, 0.4f, numSamples);
    std::transform (s.begin(), s.end(), tone.begin(), s.begin(), std::plus<float>());
    return s;
}

bool allFinite (const Channels& c)
{
    return std::all_of (c.begin(), c.end(),
                        [] (const auto& ch)
                        { return std::all_of (ch.begin(), ch.end(), [] (float x) { return std::isfinite (x); }); });
}

std::array<float, 4> poll (QuilloAudioProcessor& p, int expectedChannels = 2)
{
    int numChannels = 0;
    const auto levels = p.getPeak (numChannels);
    EXPECT_EQ (numChannels, expectedChannels);
    return { levels[0], levels[1], levels[2], levels[3] };
}

}   // namespace

//==============================================================================
TEST (ProcessorLatency, IsTheDelayOfTheChainAndDelaysAnImpulseByExactlyThat)
{
    EXPECT_EQ (QuilloAudioProcessor().getLatencySamples(), 0);   // until prepared

    for (const auto& [sampleRate, latency] : { std::pair { 44100.0, 178 }, std::pair { 48000.0, 192 },
                                               std::pair { 88200.0, 354 }, std::pair { 96000.0, 384 } })
    {
        auto p = makeProcessor (sampleRate);
        EXPECT_EQ (p->getLatencySamples(), latency);

        Channels c { std::vector<float> (2048, 0.0f), std::vector<float> (2048, 0.0f) };
        c[0][0] = 0.5f;
        c[1][0] = -0.25f;
        process (*p, c, 512);

        // With every band flat nothing else comes out but rounding.
        for (size_t i = 0; i < c[0].size(); ++i)
        {
            const bool due = (int) i == latency;
            ASSERT_NEAR (c[0][i], due ? 0.5f : 0.0f, 1.0e-4f) << sampleRate << ": " << i;
            ASSERT_NEAR (c[1][i], due ? -0.25f : 0.0f, 1.0e-4f) << sampleRate << ": " << i;
        }

        // A rate that is not a positive number leaves the preparation as it was.
        for (double bad : { 0.0, -48000.0, std::nan (""), HUGE_VAL })
        {
            p->prepareToPlay (bad, 512);
            EXPECT_EQ (p->getLatencySamples(), latency) << bad;
        }
    }
}

TEST (ProcessorResponse, SinesAtTheirFrequenciesGainTheMappedDecibels)
{
    // Settings, then the gain of a quiet sine (below the high-mid compressor's 0 dB threshold)
    // in both channels. Power scales the gains and every band in dB; the high pass cuts its
    // cutoff by 6.02 dB (two Butterworth sections, each 3.01 dB down) and an octave below it
    // passes 1/17, at 20, 40 and 80 Hz from the second, third and last quarter on.
    const struct
    {
        std::vector<std::pair<int, float>> settings;
        double frequency, dB, tolerance;
    } cases[] = {
        { {}, 1000.0, 0.0, 0.01 },
        { { { kInputGain, 0.75f } }, 1000.0, 12.0, 0.01 },
        { { { kOutputGain, 0.25f } }, 1000.0, -12.0, 0.01 },
        { { { kInputGain, 1.0f }, { kOutputGain, 0.0f } }, 1000.0, 0.0, 0.01 },
        { { { kInputGain, 0.0f } }, 1000.0, -24.0, 0.01 },
        { { { kInputGain, 0.75f }, { kPower, 0.5f } }, 1000.0, 6.0, 0.01 },
        { { { kInputGain, 0.0f }, { kOutputGain, 0.75f }, { kPower, 0.25f } }, 1000.0, -3.0, 0.01 },
        { { { kHighPass, 0.25f } }, 20.0, -6.0206, 0.02 },
        { { { kHighPass, 0.4999f } }, 20.0, -6.0206, 0.02 },
        { { { kHighPass, 0.5f } }, 40.0, -6.0206, 0.02 },
        { { { kHighPass, 0.7499f } }, 40.0, -6.0206, 0.02 },
        { { { kHighPass, 0.75f } }, 80.0, -6.0206, 0.02 },
        { { { kHighPass, 1.0f } }, 40.0, -24.6090, 0.03 },
        { { { kHighPass, 0.25f } }, 160.0, 0.0, 0.01 },
        { { { kHighPass, 0.2499f } }, 20.0, 0.0, 0.01 },
        { { { kHighPass, 1.0f }, { kPower, 0.49f } }, 80.0, 0.0, 0.01 },
        { { { kHighPass, 1.0f }, { kPower, 0.5f } }, 80.0, -6.0206, 0.02 },
        // Lone shelves have half their gain at the corner: 20..250 Hz low, 3500..12500 Hz high.
        { { { kLowShelfBoost, 1.0f }, { kLowShelfFrequency, 1.0f } }, 250.0, 6.0, 0.01 },
        { { { kLowShelfAttenuate, 1.0f } }, 80.0, -6.0, 0.01 },
        { { { kHighShelfAttenuate, 0.5f }, { kHighShelfFrequency, 0.0f } }, 3500.0, -3.0, 0.01 },
        { { { kHighShelfBoost, 1.0f }, { kHighShelfPower, 0.5f } }, 7000.0, 3.0, 0.01 },
        // Boost and attenuation at once are the sum of the two chains minus the dry signal, not
        // their product: 10^(12/20) + 10^(-12/20) - 1 (+10.19 dB) far on the shelf's side.
        { { { kLowShelfBoost, 1.0f }, { kLowShelfAttenuate, 1.0f }, { kLowShelfFrequency, 1.0f } },
          20.0,
          10.1893,
          0.02 },
        { { { kHighShelfBoost, 1.0f }, { kHighShelfAttenuate, 1.0f }, { kHighShelfFrequency, 0.0f } },
          20000.0,
          10.1898,
          0.02 },
        // The bands' peaks: -24..24 dB at 120..3500 Hz (low mid) and 800..8000 Hz (high mid).
        { { { kLowMidGain, 1.0f }, { kLowMidFreq, 1.0f } }, 3500.0, 24.0, 0.01 },
        { { { kLowMidGain, 1.0f } }, 352.4229, 12.0, 0.02 },   // Q 1.4 at 500 Hz: half the gain in
        { { { kLowMidGain, 1.0f } }, 709.2460, 12.0, 0.02 },   // dB at the pre-warped band edges
        { { { kLowMidGain, 0.0f }, { kLowMidFreq, 0.0f }, { kLowMidPower, 0.5f } }, 120.0, -12.0, 0.01 },
        { { { kHighMidGain, 0.75f }, { kHighMidFreq, 1.0f } }, 8000.0, 12.0, 0.01 },
        { { { kHighMidGain, 1.0f }, { kHighMidFreq, 0.0f }, { kPower, 0.5f } }, 800.0, 12.0, 0.01 },
    };

    for (const auto& k : cases)
    {
        auto p = makeProcessor();

        for (const auto& [parameter, value] : k.settings)
            setParameter (*p, parameter, value);

        for (int channel : { 0, 1 })
            EXPECT_NEAR (sineGainDb (*p, k.frequency, 0.02f, 48000.0, channel), k.dB, k.tolerance)
                << "case " << (&k - cases) << " channel " << channel;
    }
}

//==============================================================================
TEST (HighPass, FadesOutToExactlyDryWithin256SamplesAndBackInWhateverTheBlockSize)
{
    for (int blockSize : { 1, 16, 100, 256, 1024 })
    {
        SCOPED_TRACE (blockSize);
        auto p = makeProcessor();
        const size_t latency = (size_t) p->getLatencySamples();

        // DC through the high-pass at 80 Hz: filtered it is gone, dry it is 1, so the output is
        // 1 - mix. Power switches the stage while its cutoff stays where it is.
        setParameter (*p, kHighPass, 0.75f);
        Channels settle (2, std::vector<float> (48000, 1.0f)), off (2, std::vector<float> (2048, 1.0f)), on = off;
        process (*p, settle, blockSize);
        ASSERT_NEAR (settle[0].back(), 0.0f, 1.0e-4f);

        setParameter (*p, kPower, 0.4f);
        process (*p, off, blockSize);

        // The mix falls linearly from 1 to 0 over 256 samples, however the blocks fall, and then
        // rests at exactly 0: the output is the dry signal.
        EXPECT_NEAR (off[0][latency + 63], 64.0f / 256.0f, 1.0e-3f);

        for (size_t i = latency + 255; i < off[0].size(); ++i)
            ASSERT_TRUE (std::abs (off[0][i] - 1.0f) < 1.0e-5f && std::abs (off[1][i] - 1.0f) < 1.0e-5f) << i;

        // Switching on ramps back to the filtered signal over 256 samples too.
        setParameter (*p, kPower, 1.0f);
        process (*p, on, blockSize);
        EXPECT_NEAR (on[0][latency + 127], 0.5f, 1.0e-3f);

        for (size_t i = latency + 255; i < on[0].size(); ++i)
            ASSERT_NEAR (on[0][i], 0.0f, 1.0e-4f) << i;
    }
}

TEST (ParameterRamps, ReachANewValueExactlyOnTheBlocksLastSampleOrAtOnceAfterAnEmptyBlock)
{
    auto p = makeProcessor();

    // Settle DC through the flat chain, so that the output is the output gain itself.
    Channels settle (2, std::vector<float> (2048, 1.0f));
    process (*p, settle, 512);

    const int n = 64;
    setParameter (*p, kOutputGain, 0.75f);   // 0 dB -> +12 dB
    Channels c (2, std::vector<float> (n, 1.0f)), d = c, e = c, f = c;
    processOneBlock (*p, c, 0, n);

    // A linear ramp in dB over the block, one step per sample; the next block holds the value.
    for (int k = 0; k < n; ++k)
        EXPECT_NEAR (c[0][(size_t) k], std::pow (10.0, 12.0 * (k + 1) / n / 20.0), 1.0e-4) << k;

    processOneBlock (*p, d, 0, n);
    EXPECT_NEAR (d[0][0], 3.98107f, 1.0e-4f);

    // An empty block: the next sample takes the new value at once. It still counts as a block
    // for the meters, and carries no level.
    poll (*p);
    setParameter (*p, kOutputGain, 0.25f);   // -12 dB
    processOneBlock (*p, e, 0, 0);
    for (float level : poll (*p))
        EXPECT_NEAR (level, -100.0f, 0.01f);

    processOneBlock (*p, e, 0, n);
    EXPECT_NEAR (e[0][0], 0.251189f, 1.0e-5f);

    // A state load applies its values (but the high-pass mix) from the next sample on too.
    auto values = defaultValues();
    values[kOutputGain] = 0.75f;
    const auto blob = blobOf (values);
    p->setStateInformation (blob.data(), (int) blob.size());
    processOneBlock (*p, f, 0, n);
    EXPECT_NEAR (f[0][0], 3.98107f, 1.0e-4f);
}

//==============================================================================
TEST (PeakReadout, HoldsEachChannelsLargestSampleOfTheGainedInputAndTheOutputSinceTheLastPoll)
{
    auto p = makeProcessor();
    setParameter (*p, kInputGain, 0.75f);    // +12 dB
    setParameter (*p, kOutputGain, 0.25f);   // -12 dB

    // Before any block, and again after a poll with no block since, the levels are -100 dB and
    // the channel count is left alone.
    int numChannels = 42;
    EXPECT_TRUE (Corvanite::bitsEqual (p->getPeak (numChannels), Corvanite::v4f (-100.0f)));
    const Channels silence (2, std::vector<float> (512, 0.0f));
    const auto run = [&p] (Channels c) { process (*p, c, 512); };
    run (silence);   // the gains ramp to their values
    poll (*p);
    EXPECT_TRUE (Corvanite::bitsEqual (p->getPeak (numChannels), Corvanite::v4f (-100.0f)));
    EXPECT_EQ (numChannels, 42);

    Channels c = silence;
    c[0][100] = 0.25f;
    c[0][200] = -0.1875f;
    c[1][300] = -0.125f;
    run (c);
    run (Channels (2, std::vector<float> (512, 0.01f)));

    // In: 0.25 and 0.125 gained by +12 dB; out: the flat chain's delayed impulses at 0 dB. The
    // quieter block since does not lower them.
    const auto peaks = poll (*p);
    EXPECT_NEAR (peaks[0], -12.0412f + 12.0f, 0.01f);
    EXPECT_NEAR (peaks[1], -18.0618f + 12.0f, 0.01f);
    EXPECT_NEAR (peaks[2], -12.0412f, 0.01f);
    EXPECT_NEAR (peaks[3], -18.0618f, 0.01f);

    // Silence, once the delayed signal is out, shows as -100 dB.
    run (silence);
    poll (*p);
    run (silence);

    for (float level : poll (*p))
        EXPECT_NEAR (level, -100.0f, 0.01f);
}

TEST (ReductionReadout, ShowsEachBandsDeepestMeanGainAndReleasesItBy001PerPoll)
{
    // At full attenuation the high mid compresses at ratio 6 from -70 dB, the low mid at 5
    // from -60 dB; at 0 (or its band switch or Power at 0) the high mid still compresses at 3
    // from 0 dB, the low mid not at all.
    const struct
    {
        int parameter;
        float value;
        double frequency;
        float amplitude, lowest, highest;
    } cases[] = {
        { kHighDynAttenuation, 1.0f, 1200.0, 0.5f, 0.0f, 0.1f },
        { kHighDynAttenuation, 1.0f, 1200.0, 3.0e-5f, 1.0f, 1.0f },   // -90 dB, below the threshold
        { kLowDynAttenuation, 1.0f, 500.0, 0.5f, 0.0f, 0.1f },
        { kHighDynAttenuation, 0.0f, 1200.0, 4.0f, 0.3f, 0.8f },   // 12 dB over at 3:1
        { kHighMidPower, 0.0f, 1200.0, 4.0f, 0.3f, 0.8f },
        { kPower, 0.0f, 1200.0, 4.0f, 0.3f, 0.8f },
        { kPower, 0.0f, 1200.0, 0.5f, 1.0f, 1.0f },
    };

    // A sine of the given amplitude at a band's centre, long enough for the envelope to settle.
    const auto driveBand = [] (QuilloAudioProcessor& p, double frequency, float amplitude)
    {
        Channels c (2, sine (frequency, amplitude, 24000));
        process (p, c, 256);
    };

    for (const auto& k : cases)
    {
        auto p = makeProcessor();
        setParameter (*p, k.parameter, k.value);
        driveBand (*p, k.frequency, k.amplitude);
        driveBand (*p, k.frequency, 3.0e-5f);   // quiet audio does not raise the read-out
        const bool low = k.parameter == kLowDynAttenuation;
        const float reduction = low ? p->getLowMidReduction() : p->getHighMidReduction();
        EXPECT_TRUE (reduction >= k.lowest && reduction <= k.highest) << "case " << (&k - cases) << ": " << reduction;

        // Each poll raises it by 0.01, up to exactly 1.
        for (float previous = reduction, next; previous < 1.0f; previous = next)
            ASSERT_EQ (next = low ? p->getLowMidReduction() : p->getHighMidReduction(),
                       (float) std::min (1.0, (double) previous + 0.01));

        if (! low)
        {
            EXPECT_EQ (p->getLowMidReduction(), 1.0f);
        }

        // Whatever the band held, resetAllMeters, a state load and preparing all make it 1.
        const auto blob = blobOf (parameterValues (*p));
        const int reset = int (&k - cases) % 3;
        driveBand (*p, k.frequency, k.amplitude);
        reset == 0   ? p->resetAllMeters()
        : reset == 1 ? p->setStateInformation (blob.data(), (int) blob.size())
                     : p->prepareToPlay (48000.0, 512);
        EXPECT_EQ (low ? p->getLowMidReduction() : p->getHighMidReduction(), 1.0f);
    }
}

//==============================================================================
TEST (Bypass, ContinuesTheDrySignalSeamlesslyAndSwitchingBackOffAsIfNeverBypassed)
{
    // While bypassed the chain keeps working on the input, so that after switching back its
    // look-ahead lines hold the recent input, not what they held when bypass began (which
    // came out as a jump back in time, and a click).
    for (int numChannels : { 2, 1 })
    {
        for (int blockSize : { 100, 500, 1 })
        {
            SCOPED_TRACE (::testing::Message() << numChannels << " channels, blocks of " << blockSize);
            auto p = makeProcessor (48000.0, numChannels), neverBypassed = makeProcessor (48000.0, numChannels);
            activateEverything (*p);
            activateEverything (*neverBypassed);
            const int latency = p->getLatencySamples();

            const auto input = programme (9000, 6);
            Channels reference ((size_t) numChannels, input);
            Channels parts[3];

            for (int part = 0; part < 3; ++part)
            {
                parts[part] = Channels ((size_t) numChannels,
                                        { input.begin() + 3000 * part, input.begin() + 3000 * (part + 1) });
                process (*p, parts[part], blockSize, part == 1);
            }

            process (*neverBypassed, reference, blockSize);

            // From the first bypassed sample on, the output is the dry input of `latency`
            // samples ago, including what arrived while the chain was still processing.
            for (int ch = 0; ch < numChannels; ++ch)
            {
                for (int i = 0; i < 3000; ++i)
                {
                    ASSERT_EQ (parts[1][(size_t) ch][(size_t) i], input[(size_t) (3000 + i - latency)]) << i;
                    ASSERT_EQ (parts[2][(size_t) ch][(size_t) i], reference[(size_t) ch][(size_t) (6000 + i)]) << i;
                }
            }
        }
    }
}

//==============================================================================
TEST (BadAudio, NonFiniteInputAndOverflowsInsideTheChainDoNotLatchIt)
{
    auto p = makeProcessor(), reference = makeProcessor();
    activateEverything (*p);
    activateEverything (*reference);

    Channels c (2, sine (1000.0, 0.1f, 4800)), r = c;
    c[0][100] = c[1][4799] = std::numeric_limits<float>::quiet_NaN();
    c[1][200] = std::numeric_limits<float>::infinity();
    c[0][300] = -std::numeric_limits<float>::infinity();
    r[0][100] = r[1][200] = r[0][300] = r[1][4799] = 0.0f;
    process (*p, c, 256);
    process (*reference, r, 256);
    EXPECT_TRUE (allFinite (c));

    for (float level : poll (*p))
        EXPECT_TRUE (std::isfinite (level));

    // The chain goes on exactly as a processor that never saw the bad samples.
    Channels after (2, programme (9600, 6)), referenceAfter = after;
    process (*p, after, 256);
    process (*reference, referenceAfter, 256);
    EXPECT_EQ (after, referenceAfter);

    // Finite input that the gains (+24, +12 and +24 dB) carry past the float range, then
    // silence: the overflow is cleared after the block and the chain works again.
    loadFactoryPreset (*p, 0, 0);
    setParameter (*p, kInputGain, 1.0f);
    setParameter (*p, kLowShelfBoost, 1.0f);
    setParameter (*p, kLowMidGain, 1.0f);
    Channels huge (2, std::vector<float> (2048, 1.0e37f)), quiet (2, std::vector<float> (4800, 0.0f));
    process (*p, huge, 512);
    process (*p, quiet, 512);
    EXPECT_TRUE (allFinite (huge) && allFinite (quiet));
    setParameter (*p, kLowShelfBoost, 0.0f);
    setParameter (*p, kLowMidGain, 0.5f);
    EXPECT_NEAR (sineGainDb (*p, 1000.0, 0.002f), 24.0, 0.01);
}

TEST (RealTime, ProcessBlockNeitherAllocatesNorLocks)
{
    auto p = makeProcessor();
    activateEverything (*p);

    const auto signal = programme (512, 7);
    std::vector<float> left = signal, right = signal;
    float* channels[2] = { left.data(), right.data() };
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> full (channels, 2, 512), odd (channels, 2, 37), empty (channels, 2, 0);
    p->processBlock (full, midi);   // warm-up

    // Ramps running, a parameter that is not a number, odd block sizes, an empty block, bypass.
    setParameter (*p, kHighMidFreq, 0.3f);
    setParameter (*p, kHighPass, 0.0f);
    p->getParameters()[kLowMidQ]->setValue (std::numeric_limits<float>::quiet_NaN());
    left[10] = std::numeric_limits<float>::infinity();

    ScopedAllocationCounter counter;
    p->processBlock (full, midi);
    p->processBlock (odd, midi);
    p->processBlock (empty, midi);
    p->processBlockBypassed (full, midi);
    p->processBlock (full, midi);
    poll (*p);
    p->getLowMidReduction();
    p->getHighMidReduction();

    EXPECT_EQ (counter.allocations() + counter.deallocations(), 0);

    if (ScopedAllocationCounter::lockCountingAvailable())
    {
        EXPECT_EQ (counter.locks(), 0);
    }
}
