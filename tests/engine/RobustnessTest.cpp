// Mono against stereo, bypass, bad audio, the real-time rules of processBlock, and state loads
// from other threads.

#include "AllocationCounter.h"
#include "MessagePump.h"
#include "ProcessorTestSupport.h"

#include <atomic>
#include <thread>

using namespace quillo::test;

namespace
{
// Everything active: the high-pass at 80 Hz, both shelves, both bands with their compressors.
void activateEverything (juce::AudioProcessor& p)
{
    loadFactoryPreset (p, 5, 4);      // "Mid Fest"
    setParameter (p, kLowDynAttenuation, 0.8f);
    setParameter (p, kHighDynAttenuation, 0.8f);
    setParameter (p, kLowShelfAttenuate, 0.3f);
}

std::vector<float> programme (int numSamples, uint32_t seed)
{
    auto s = noise (0.3f, numSamples, seed);
    const auto tone = sine (700.0, 0.4f, numSamples);

    for (size_t i = 0; i < s.size(); ++i)
        s[i] += tone[i];

    return s;
}

bool allFinite (const Channels& c)
{
    for (const auto& channel : c)
        for (float x : channel)
            if (! std::isfinite (x))
                return false;

    return true;
}
} // namespace

//==============================================================================
TEST (MonoInstance, Channel0IsBitIdenticalToAStereoInstancesAndTheReadOutsSeeItInBothLanes)
{
    const auto left = programme (24000, 1);

    // Beside another right channel, channel 0 must not depend on it; beside the same one, the
    // read-outs must agree.
    for (int blockSize : { 256, 17, 512 })
    {
        for (bool sameRight : { false, true })
        {
            auto stereo = makeProcessor (48000.0, 2), mono = makeProcessor (48000.0, 1);
            activateEverything (*stereo);
            activateEverything (*mono);

            Channels s { left, sameRight ? left : noise (0.8f, 24000, (uint32_t) blockSize) }, m { left };
            process (*stereo, s, blockSize);
            process (*mono, m, blockSize);
            ASSERT_EQ (std::memcmp (s[0].data(), m[0].data(), s[0].size() * sizeof (float)), 0) << blockSize;

            if (sameRight)
            {
                EXPECT_EQ (mono->getHighMidReduction(), stereo->getHighMidReduction());
                EXPECT_EQ (mono->getLowMidReduction(), stereo->getLowMidReduction());

                int stereoChannels = 0, monoChannels = 0;
                const auto stereoLevels = stereo->getPeak (stereoChannels), monoLevels = mono->getPeak (monoChannels);
                EXPECT_EQ (monoChannels, 1);

                for (int lane = 0; lane < 4; ++lane)
                    EXPECT_EQ (monoLevels[lane], stereoLevels[lane]) << lane;
            }
        }
    }
}

//==============================================================================
TEST (Bypass, ContinuesTheDrySignalSeamlesslyWhenSwitchedOnDuringProcessing)
{
    // Blocks shorter and longer than the latency, switching on a block boundary.
    for (int blockSize : { 100, 500, 1 })
    {
        auto p = makeProcessor();
        activateEverything (*p);
        const int latency = p->getLatencySamples();

        const auto left = programme (6000, 5), right = noise (0.5f, 6000, 9);
        Channels first { { left.begin(), left.begin() + 3000 }, { right.begin(), right.begin() + 3000 } };
        Channels second { { left.begin() + 3000, left.end() }, { right.begin() + 3000, right.end() } };
        process (*p, first, blockSize);
        process (*p, second, blockSize, true);

        // From the first bypassed sample on, the output is the dry input of `latency` samples
        // ago, including what arrived while the chain was still processing.
        for (int i = 0; i < 3000; ++i)
        {
            ASSERT_EQ (second[0][(size_t) i], left[(size_t) (3000 + i - latency)]) << blockSize << " " << i;
            ASSERT_EQ (second[1][(size_t) i], right[(size_t) (3000 + i - latency)]) << blockSize << " " << i;
        }
    }
}

TEST (Bypass, SwitchingBackOffContinuesTheProcessedSignalAsIfNeverBypassed)
{
    // While bypassed the chain keeps working on the input, so that after switching back its
    // look-ahead lines hold the recent input, not what they held when bypass began (which
    // came out as a jump back in time, and a click).
    for (int numChannels : { 2, 1 })
    {
        for (int blockSize : { 64, 500 })
        {
            auto bypassedForAWhile = makeProcessor (48000.0, numChannels), neverBypassed = makeProcessor (48000.0, numChannels);
            activateEverything (*bypassedForAWhile);
            activateEverything (*neverBypassed);

            const auto input = programme (9000, 6);
            Channels reference ((size_t) numChannels, input), after ((size_t) numChannels, { input.begin() + 6000, input.end() });

            for (int part = 0; part < 2; ++part)
            {
                Channels c ((size_t) numChannels, { input.begin() + 3000 * part, input.begin() + 3000 * (part + 1) });
                process (*bypassedForAWhile, c, blockSize, part == 1);
            }

            process (*bypassedForAWhile, after, blockSize);
            process (*neverBypassed, reference, blockSize);

            for (int ch = 0; ch < numChannels; ++ch)
                for (int i = 0; i < 3000; ++i)
                    ASSERT_EQ (after[(size_t) ch][(size_t) i], reference[(size_t) ch][(size_t) (6000 + i)])
                        << numChannels << " channels, blocks of " << blockSize << ", sample " << i;
        }
    }
}

TEST (Bypass, PassesAMonoInstancesChannelAndWorksBeforePreparing)
{
    auto mono = makeProcessor (44100.0, 1);
    ASSERT_EQ (mono->getLatencySamples(), 178);

    Channels c { std::vector<float> (600, 0.0f) };
    c[0][5] = 0.75f;
    process (*mono, c, 128, true);
    EXPECT_EQ (c[0][5 + 178], 0.75f);
    EXPECT_EQ (c[0][5], 0.0f);

    // Unprepared: no latency is reported and none is added.
    QuilloAudioProcessor fresh;
    Channels d (2, std::vector<float> (64, 0.0f));
    d[0][3] = 0.5f;
    process (fresh, d, 64, true);
    EXPECT_EQ (d[0][3], 0.5f);
}

//==============================================================================
TEST (BadAudio, NonFiniteInputDoesNotLatchTheChain)
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

    int numChannels = 0;
    const auto levels = p->getPeak (numChannels);

    for (int lane = 0; lane < 4; ++lane)
        EXPECT_TRUE (std::isfinite (levels[lane])) << lane;

    // The chain goes on exactly as a processor that never saw the bad samples.
    Channels after (2, programme (9600, 6)), referenceAfter = after;
    process (*p, after, 256);
    process (*reference, referenceAfter, 256);
    EXPECT_EQ (after, referenceAfter);
}

TEST (BadAudio, AnOverflowInsideTheChainIsClearedAfterTheBlock)
{
    auto p = makeProcessor();
    setParameter (*p, kInputGain, 1.0f);          // +24 dB
    setParameter (*p, kLowShelfBoost, 1.0f);      // +12 dB
    setParameter (*p, kLowMidGain, 1.0f);         // +24 dB

    // Finite input that the gains carry past the float range, then silence.
    Channels c (2, constant (1.0e37f, 2048)), quiet (2, constant (0.0f, 4800));
    process (*p, c, 512);
    process (*p, quiet, 512);
    EXPECT_TRUE (allFinite (c));
    EXPECT_TRUE (allFinite (quiet));

    // The chain works again: a quiet 1 kHz sine gains its 24 dB of input gain.
    setParameter (*p, kLowShelfBoost, 0.0f);
    setParameter (*p, kLowMidGain, 0.5f);
    EXPECT_NEAR (sineGainDb (*p, 1000.0, 0.002f), 24.0, 0.01);
}

//==============================================================================
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
    left = right = signal;          // same size: the buffers stay where they are
    left[10] = std::numeric_limits<float>::infinity();

    quillo::test::ScopedAllocationCounter counter;
    p->processBlock (full, midi);
    p->processBlock (odd, midi);
    p->processBlock (empty, midi);
    p->processBlockBypassed (full, midi);
    p->processBlock (full, midi);

    int numChannels = 0;
    p->getPeak (numChannels);
    p->getLowMidReduction();
    p->getHighMidReduction();

    EXPECT_EQ (counter.allocations(), 0);
    EXPECT_EQ (counter.deallocations(), 0);

    if (quillo::test::ScopedAllocationCounter::lockCountingAvailable())
    {
        EXPECT_EQ (counter.locks(), 0);
    }
}

TEST (RealTime, TheCounterSeesAllocationsAndLocks)
{
    // Guards the test above against a counter that counts nothing.
    quillo::test::ScopedAllocationCounter counter;
    auto* block = new std::vector<int> (100);
    delete block;
    juce::CriticalSection section;
    { const juce::ScopedLock lock (section); }

    EXPECT_GE (counter.allocations(), 2);
    EXPECT_GE (counter.deallocations(), 2);

    if (quillo::test::ScopedAllocationCounter::lockCountingAvailable())
    {
        EXPECT_GE (counter.locks(), 1);
    }
}

//==============================================================================
TEST (Threads, StateLoadsFromAnotherThreadDuringProcessingStayConsistent)
{
    auto p = makeProcessor();
    std::atomic<bool> done { false };
    std::atomic<bool> sawNonFinite { false };
    std::atomic<int> blocks { 0 };

    // The host's audio thread, holding the callback lock around each block as the wrapper does.
    std::thread audio ([&]
    {
        Channels c (2, programme (128, 8));
        const auto source = c;

        while (! done.load() || blocks.load() < 200)
        {
            c = source;
            float* channels[2] = { c[0].data(), c[1].data() };
            juce::AudioBuffer<float> buffer (channels, 2, 128);
            juce::MidiBuffer midi;

            {
                const juce::ScopedLock lock (p->getCallbackLock());
                p->processBlock (buffer, midi);
            }

            if (! allFinite (c))
                sawNonFinite = true;

            ++blocks;
        }
    });

    // A host thread restoring states, and this (message) thread polling the read-outs.
    std::thread host ([&]
    {
        for (int round = 0; round < 10; ++round)
            for (int category = 0; category < FACTORY_PRESET_NUM_CATEGORIES; ++category)
                for (int index = 0; index < FACTORY_PRESET_COUNTS[category]; ++index)
                    loadFactoryPreset (*p, category, index);

        done = true;
    });

    while (! done.load())
    {
        int numChannels = 0;
        const auto levels = p->getPeak (numChannels);
        EXPECT_TRUE (std::isfinite (levels[0]));
        EXPECT_LE (p->getHighMidReduction(), 1.0f);
        std::this_thread::yield();
    }

    host.join();
    audio.join();
    dispatchPendingMessages();

    EXPECT_FALSE (sawNonFinite.load());

    // The last load is what the processor holds.
    juce::MemoryBlock state;
    p->getStateInformation (state, true);
    EXPECT_EQ (std::memcmp (state.getData(), BinaryData::_06_05_Mid_fest_wmb, 92), 0);
}

namespace
{
// Records where the editor refresh after a state load runs.
class RefreshRecorder : public QuilloAudioProcessor
{
public:
    std::atomic<int> refreshes { 0 };
    std::atomic<bool> allOnMessageThread { true };

protected:
    void handleAsyncUpdate() override
    {
        if (! juce::MessageManager::getInstance()->isThisTheMessageThread())
            allOnMessageThread = false;

        ++refreshes;
        QuilloAudioProcessor::handleAsyncUpdate();
    }
};
} // namespace

TEST (Threads, TheEditorIsToldOfAStateLoadOnTheMessageThreadOnly)
{
    RefreshRecorder p;

    // The constructor's own load of "Default" tells nobody.
    dispatchPendingMessages();
    EXPECT_EQ (p.refreshes.load(), 0);

    // A load on a host thread does not run the refresh there, but posts it.
    std::thread host ([&p] { loadFactoryPreset (p, 1, 2); });
    host.join();
    EXPECT_EQ (p.refreshes.load(), 0);

    EXPECT_TRUE (dispatchMessagesUntil ([&p] { return p.refreshes.load() > 0; }));
    EXPECT_EQ (p.refreshes.load(), 1);
    EXPECT_TRUE (p.allOnMessageThread.load());

    // A load on the message thread is told asynchronously too.
    loadFactoryPreset (p, 0, 0);
    EXPECT_EQ (p.refreshes.load(), 1);
    EXPECT_TRUE (dispatchMessagesUntil ([&p] { return p.refreshes.load() > 1; }));
    EXPECT_TRUE (p.allOnMessageThread.load());

    // A load that changes nothing (a short blob) tells nobody.
    const char shortBlob[10] = {};
    p.setStateInformation (shortBlob, sizeof shortBlob);
    dispatchPendingMessages();
    EXPECT_EQ (p.refreshes.load(), 2);
}
