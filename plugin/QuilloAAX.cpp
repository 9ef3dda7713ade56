// The plug-in module's one translation unit: JUCE's AAX client wrapper, compiled on Linux over our
// AAX library, plus the run loop a host on this platform has to drive.
//
// The wrapper includes AAX_Exports.cpp itself (after AAX_Version.h and before any other AAX
// header), which defines the seven exported ACF entry points; the wrapper provides
// GetEffectDescriptions and the effect-parameters and GUI objects they register.

#define JUCE_INCLUDED_AAX_IN_MM 1
#include "juce_audio_plugin_client/AAX/juce_AAX_Wrapper.cpp"

#include <juce_events/juce_events.h>

namespace juce
{
// One step of JUCE's message loop (juce_events): delivers the next posted message, timer
// callback or X event, or returns false when nothing is pending.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}   // namespace juce

/** The host's run loop, which on macOS would deliver JUCE's messages: delivers every pending JUCE
    message (async updates, timer callbacks, repaints) and X event, for `milliseconds` (0: only
    what is pending now, then returns). Call it on the thread that makes the module's other
    non-real-time calls, which is JUCE's message thread.

    Returns the number of messages delivered; 0 when JUCE is not running (no instance, no editor);
    -1 when called on another thread than JUCE's message thread (nothing is delivered then). */
extern "C" AAX_EXPORT int32_t QuilloDispatchMessages (int32_t milliseconds)
{
    try
    {
        auto* const manager = juce::MessageManager::getInstanceWithoutCreating();

        if (manager == nullptr)
            return 0;

        if (! manager->isThisTheMessageThread())
            return -1;

        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) juce::jmax (0, milliseconds);
        int32_t delivered = 0;

        for (;;)
        {
            // Bounded, so that a message that keeps reposting itself cannot hold the host.
            for (int i = 0; i < 100000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
                ++delivered;

            if (juce::Time::getMillisecondCounter() >= end)
                return delivered;

            juce::Thread::sleep (1);
        }
    }
    catch (...)
    {
        return -1;
    }
}
