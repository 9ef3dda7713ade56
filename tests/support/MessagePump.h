#pragma once

#include <juce_events/juce_events.h>

#include <functional>

namespace juce
{
// JUCE's own dispatcher of one message (juce_events); runDispatchLoopUntil() is built on it but
// exists only when modal loops are enabled in the shared code.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace quillo::test
{

/** Message thread only: delivers the messages that are already queued (async updates, posted
    calls, timers that are due), then returns. */
inline void dispatchPendingMessages()
{
    jassert (juce::MessageManager::getInstance()->isThisTheMessageThread());

    for (int i = 0; i < 10000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
    {
    }
}

/** Message thread only: delivers messages until the condition holds, giving up after
    maxRounds rounds of about a millisecond each. Returns the condition's final value. Meant for
    waiting on another thread's post, not for measuring time. */
inline bool dispatchMessagesUntil (const std::function<bool()>& condition, int maxRounds = 5000)
{
    for (int round = 0; round < maxRounds; ++round)
    {
        dispatchPendingMessages();

        if (condition())
            return true;

        juce::Thread::sleep (1);
    }

    dispatchPendingMessages();
    return condition();
}

}   // namespace quillo::test
