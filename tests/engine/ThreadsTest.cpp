// State loads from a host thread while the audio thread processes and the message thread polls
// the read-outs.

#include "MessagePump.h"
#include "ProcessorTestSupport.h"

#include <atomic>
#include <thread>

using namespace quillo::test;

TEST (Threads, StateLoadsFromAnotherThreadDuringProcessingStayConsistent)
{
    auto p = makeProcessor();
    std::atomic<bool> done { false }, sawNonFinite { false };
    std::atomic<int> blocks { 0 };

    // The host's audio thread, holding the callback lock around each block as the wrapper does.
    std::thread audio (
        [&]
        {
            Channels c (2, noise (0.5f, 128, 8));
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

                for (float x : c[0])
                    if (! std::isfinite (x))
                        sawNonFinite = true;

                ++blocks;
            }
        });

    // A host thread restoring states, and this (message) thread polling the read-outs.
    std::thread host (
        [&]
        {
            for (int load = 0; load < 330; ++load)   // the last one "Mid Fest"
                loadFactoryPreset (*p, load / 5 % FACTORY_PRESET_NUM_CATEGORIES, load % 5);

            done = true;
        });

    for (int numChannels = 0; ! done.load(); std::this_thread::yield())
    {
        EXPECT_TRUE (std::isfinite (p->getPeak (numChannels)[0]));
        EXPECT_LE (p->getHighMidReduction(), 1.0f);
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
