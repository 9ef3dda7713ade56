// Test main for everything that touches JUCE: one message manager for the whole run, created on
// the thread that runs the tests, which thereby becomes JUCE's message thread.

#include "OpenGLDrivers.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    const int result = RUN_ALL_TESTS();

    // Every editor asks the display for OpenGL, which loads Mesa's driver; JUCE's shutdown would
    // unload it again.
    quillo::test::keepOpenGLDriversLoaded();
    return result;
}
