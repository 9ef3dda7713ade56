// State loads from a host thread while the editor is open: they reach the banner on the message
// thread only, also while the user edits and when the window closes before the notice arrives.

#include "EditorTestSupport.h"

#include <algorithm>
#include <atomic>

using namespace EditorTest;

namespace
{
    void loadOnAHostThread (QuilloAudioProcessor& p, const juce::MemoryBlock& state)
    {
        std::thread ([&] { p.setStateInformation (state.getData(), (int) state.getSize()); }).join();
    }
}

using EditorThreadsTest = EditorFixture;

TEST_F (EditorThreadsTest, AStateRestoredOnAnotherThreadReachesTheBannerOnTheMessageThread)
{
    auto& repaints = RepaintCounter::installOn (editor->getBanner().popup.nameField);
    loadOnAHostThread (*processor, savedState (2, 4, 2, 4, 1));   // "Mid Only", modified
    EXPECT_EQ (processor->presetCategory.load(), 2);
    EXPECT_EQ (bannerText(), "Default") << "nothing of the editor is touched on the host's thread";
    EXPECT_TRUE (repaints.areas.empty());

    ASSERT_TRUE (dispatchMessagesUntil ([&] { return bannerText() == "* Mid Only"; }));
    EXPECT_EQ (editor->getBanner().popup.getSelectedCategory(), 2);
    EXPECT_TRUE (! repaints.threads.empty()
                 && std::all_of (repaints.threads.begin(), repaints.threads.end(),
                                 [] (auto id) { return id == std::this_thread::get_id(); }));


    // A notice that arrives after the window closed finds no editor; the next one shows the load.
    loadOnAHostThread (*processor, savedState (4, 1, 4, 1, 0));
    editor.reset();
    dispatchPendingMessages();
    EXPECT_EQ (processor->getActiveEditor(), nullptr);
    reopen();
    EXPECT_EQ (bannerText(), "More Mid");
}

TEST_F (EditorThreadsTest, ManyLoadsFromAHostThreadWhileTheUserEditsLeaveTheBannerConsistent)
{
    std::atomic<bool> stop { false };
    std::atomic<int> loads { 0 };
    std::thread hostThread (
        [&]
        {
            for (int i = 0; ! stop.load(); ++i, ++loads)
            {
                const int c = i % 6, index = i % FACTORY_PRESET_COUNTS[c];
                const auto state = savedState (c, index, c, index, i % 3 == 0);
                processor->setStateInformation (state.getData(), (int) state.getSize());
                std::this_thread::yield();
            }
        });

    // At least 200 drags, and on until the host thread has loaded 100 states in between.
    auto& k = knob (kHighMidGain);
    int round = 0;
    for (; (round < 200 || loads.load() < 100) && round < 1000000; ++round)
    {
        drag (k, (float) (round % 9) - 4.0f);
        tick();
        dispatchPendingMessages();
    }
    stop = true;
    hostThread.join();

    dispatchPendingMessages();
    const auto [category, index, modified] = presetState();
    EXPECT_EQ (bannerText(), (modified ? "* " : "") + juce::String (factoryPresetTitle (category, index)));
    const auto events = host.take();
    for (const std::string gesture : { "beginGesture 16", "endGesture 16" })
        EXPECT_EQ (std::count (events.begin(), events.end(), gesture), round)
            << "every gesture the drags opened was closed";
}
