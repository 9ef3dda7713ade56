// The editor in a real top-level window on an X server, painted through its OpenGL context
// (Mesa's software renderer under Xvfb), and opened and closed repeatedly while the audio thread
// processes and a host thread restores state.
//
// These tests need a display. Without one they fail: ./test runs them under Xvfb.

#include "EditorTestFixture.h"
#include "FactoryPresets.h"
#include "FontManager.h"
#include "WindowTestSupport.h"

#include <atomic>
#include <chrono>
#include <iostream>
#include <mutex>
#include <thread>

using namespace quillo::test;

namespace
{
    const juce::File screenshotDir { juce::String (QUILLO_SCREENSHOT_DIR) };

    // Rounds of about a millisecond before a wait gives up; generous for a software renderer
    // under sanitizers. Only a limit for hung runs, never a measurement.
    constexpr int patientRounds = 60000;

    /** The editor's area on the screen in physical pixels. */
    juce::Rectangle<int> physicalArea (juce::Component& c)
    {
        const auto scale = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->scale;
        return (c.getScreenBounds().toDouble() * scale).getSmallestIntegerContainer();
    }

    /** A real mouse event delivered through the window's peer, as the windowing system does. */
    void mouseThroughPeer (juce::Component& c, juce::Point<int> positionInC, bool buttonDown)
    {
        auto* peer = c.getPeer();
        ASSERT_NE (peer, nullptr);
        const auto inPeer = peer->getComponent().getLocalPoint (&c, positionInC).toFloat();
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, inPeer,
                                buttonDown ? juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier)
                                           : juce::ModifierKeys(),
                                juce::MouseInputSource::defaultPressure,
                                juce::MouseInputSource::defaultOrientation,
                                juce::Time::currentTimeMillis());
    }

    std::vector<std::vector<char>> stateBlobsForTheHostThread()
    {
        std::vector<std::vector<char>> blobs;

        for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
            for (int i = 0; i < FACTORY_PRESET_COUNTS[c]; ++i)
            {
                const auto name = factoryPresetResourceName (c, i);
                int size = 0;
                const char* data = BinaryData::getNamedResource (name.c_str(), size);
                blobs.emplace_back (data, data + size);                 // the preset form
                auto hostForm = blobs.back();                           // the host form
                const auto trailer = blobOf ({}, { c, i, (c + i) % 2 });
                hostForm.insert (hostForm.end(), trailer.begin(), trailer.end());
                blobs.push_back (hostForm);
            }

        // Pairs outside the catalogue, a short blob and an empty one.
        for (auto trailer : { std::vector<int32_t> { 6, 0, 0 }, { -1, 2, 1 }, { 1, 5, 0 }, { 1 << 30, 1 << 30, 7 } })
            blobs.push_back (blobOf (defaultValues(), trailer));

        blobs.push_back (std::vector<char> (10, 'x'));
        blobs.push_back ({});
        return blobs;
    }
}

//==============================================================================
class RealWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (xServerAvailable())
            << "no X display: these tests need one (./test runs them under Xvfb)";
        ASSERT_NE (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay(), nullptr);
        ASSERT_EQ (FontManager::getInstance(), nullptr);
        desktopComponentsBefore = juce::Desktop::getInstance().getNumComponents();
    }

    void TearDown() override
    {
        dispatchPendingMessages();
        EXPECT_EQ (juce::Desktop::getInstance().getNumComponents(), desktopComponentsBefore);
        EXPECT_EQ (FontManager::getInstance(), nullptr) << "an editor's font retain was not given back";
    }

    int desktopComponentsBefore = 0;
};

TEST_F (RealWindowTest, PaintsThroughItsOpenGLContextInATopLevelWindow)
{
    auto processor = makeProcessor();
    HostRecorder host;
    processor->addListener (&host);

    HostedEditor editor (*processor);
    ASSERT_NE (editor.get(), nullptr);

    {
        HostView view (*editor);
        ASSERT_NE (editor->getPeer(), nullptr);
        EXPECT_EQ (editor->getTopLevelComponent(), &view);
        ASSERT_TRUE (dispatchMessagesUntil ([&] { return editor->isShowing(); }, patientRounds));

        // The context attaches once the editor shows, and renders with the software driver.
        auto& context = editor->getOpenGLContext();
        ASSERT_TRUE (dispatchMessagesUntil ([&] { return context.isAttached(); }, patientRounds));

        std::mutex rendererMutex;
        juce::String renderer;
        context.executeOnGLThread ([&] (juce::OpenGLContext&)
        {
            const auto* name = juce::gl::glGetString (juce::gl::GL_RENDERER);
            const std::lock_guard<std::mutex> lock (rendererMutex);
            renderer = name != nullptr ? juce::String ((const char*) name) : juce::String ("(none)");
        }, false);

        ASSERT_TRUE (dispatchMessagesUntil ([&] { const std::lock_guard<std::mutex> lock (rendererMutex);
                                                  return renderer.isNotEmpty(); }, patientRounds));
        keepOpenGLDriversLoaded();
        RecordProperty ("GLRenderer", renderer.toStdString());
        std::cout << "OpenGL renderer: " << renderer << std::endl;
        EXPECT_TRUE (renderer.containsIgnoreCase ("llvmpipe") || renderer.containsIgnoreCase ("softpipe")
                     || renderer.containsIgnoreCase ("swrast")) << renderer;

        // A knob dragged with real mouse events through the window: the host sees the gesture,
        // and the bubble fades in above the knob.
        auto* freq = editor->getWidgetForParam (kLowMidFreq);
        ASSERT_NE (freq, nullptr);
        const auto centre = freq->getLocalBounds().getCentre();
        mouseThroughPeer (*freq, centre, true);
        mouseThroughPeer (*freq, centre.translated (0, -20), true);
        mouseThroughPeer (*freq, centre.translated (0, -40), true);
        ASSERT_TRUE (dispatchMessagesUntil ([&] { return editor->getValueBubble().alpha == 1.0f; }, patientRounds));
        EXPECT_EQ (editor->getValueBubble().getBounds(), juce::Rectangle<int> (320, 35, 42, 14));

        // What the context put on the screen is the editor's picture: compare the screen with
        // the same tree painted in software, until a frame with the bubble has arrived.
        juce::Image screen, reference;
        double difference = 255.0;

        const auto screenMatches = [&]
        {
            reference = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
            screen = grabScreen (physicalArea (*editor));

            if (screen.getBounds() != reference.getBounds())
                screen = screen.rescaled (reference.getWidth(), reference.getHeight());

            difference = meanDifference (screen, reference);
            return difference < 4.0;
        };

        const bool matched = dispatchMessagesUntil (screenMatches, patientRounds / 10);

        EXPECT_TRUE (writePng (screen, screenshotDir.getChildFile ("editor_window.png")));
        EXPECT_TRUE (writePng (reference, screenshotDir.getChildFile ("editor_software.png")));
        EXPECT_TRUE (matched) << "mean difference from the software picture: " << difference;

        // The window really shows the panel, not a black or empty area.
        EXPECT_GT (meanDifference (screen, juce::Image (juce::Image::ARGB, screen.getWidth(), screen.getHeight(), true)), 20.0);

        mouseThroughPeer (*freq, centre.translated (0, -40), false);
        EXPECT_FALSE (editor->isGestureOpen (kLowMidFreq));
        EXPECT_EQ (host.count (HostRecorder::Event::begin), 1);
        EXPECT_EQ (host.count (HostRecorder::Event::end), 1);
        EXPECT_GE (host.count (HostRecorder::Event::value), 2);
        EXPECT_GT (processor->getParameter (kLowMidFreq), VL_PARAMS[kLowMidFreq].normalisedDefault());
        EXPECT_TRUE (processor->presetModified.load());

        editor.close();
    }

    processor->removeListener (&host);
}

TEST_F (RealWindowTest, OpensAndClosesTwentyTimesWhileAudioRunsAndAHostThreadRestoresState)
{
    auto processor = makeProcessor (48000.0, 2, 512);
    HostRecorder host;
    processor->addListener (&host);

    std::atomic<bool> stop { false };
    std::atomic<int> blocks { 0 }, loads { 0 };

    // The host's audio thread: blocks of a loud two-tone signal, under the callback lock as the
    // wrapper holds it.
    std::thread audio ([&]
    {
        const auto left = sine (500.0, 0.7f, 512);
        const auto right = sine (1200.0, 0.7f, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;

        for (; ! stop.load(); ++blocks)
        {
            buffer.copyFrom (0, 0, left.data(), 512);
            buffer.copyFrom (1, 0, right.data(), 512);
            {
                const juce::ScopedLock lock (processor->getCallbackLock());
                processor->processBlock (buffer, midi);
            }
            std::this_thread::sleep_for (std::chrono::microseconds (500));
        }
    });

    // A host thread restoring saved states of every kind, good and bad.
    std::thread restorer ([&]
    {
        const auto blobs = stateBlobsForTheHostThread();

        for (size_t i = 0; ! stop.load(); i = (i + 1) % blobs.size(), ++loads)
        {
            processor->setStateInformation (blobs[i].empty() ? nullptr : blobs[i].data(), (int) blobs[i].size());
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
    });

    for (int cycle = 0; cycle < 20; ++cycle)
    {
        SCOPED_TRACE ("cycle " + std::to_string (cycle));

        HostedEditor editor (*processor);
        ASSERT_NE (editor.get(), nullptr);
        auto view = std::make_unique<HostView> (*editor, juce::Point<int> (40 + 10 * cycle, 40));

        // Open until the context is attached and the timer has shown audio on the meter.
        const int loadsBefore = loads.load();
        ASSERT_TRUE (dispatchMessagesUntil ([&]
        {
            return editor->getOpenGLContext().isAttached()
                && editor->getLevelMeter().levelLeft > -100.0f
                && loads.load() > loadsBefore + 2;
        }, patientRounds));

        keepOpenGLDriversLoaded();

        // Every few cycles the window closes in the middle of a drag.
        if (cycle % 4 == 1)
        {
            auto* k = editor->getWidgetForParam (cycle % 8 == 1 ? kLowMidGain : kHighShelfFrequency);
            ASSERT_NE (k, nullptr);
            const auto centre = k->getLocalBounds().getCentre();
            mouseThroughPeer (*k, centre, true);
            mouseThroughPeer (*k, centre.translated (0, -15), true);
            EXPECT_TRUE (editor->isGestureOpen (k->getParamId()));
        }

        dispatchPendingMessages();

        // The host closes the view: the editor goes first, then its window. A button held down
        // over the closed editor is released over the view.
        editor.close();
        EXPECT_EQ (processor->getActiveEditor(), nullptr);
        mouseThroughPeer (*view, { 5, 5 }, false);
        view.reset();
        dispatchPendingMessages();

        EXPECT_EQ (host.count (HostRecorder::Event::begin), host.count (HostRecorder::Event::end)) << "a gesture was left open";
    }

    stop = true;
    audio.join();
    restorer.join();
    dispatchPendingMessages();

    EXPECT_GT (blocks.load(), 20);
    EXPECT_GT (loads.load(), 60);
    EXPECT_EQ (host.count (HostRecorder::Event::begin), 5);
    EXPECT_EQ (host.count (HostRecorder::Event::end), 5);

    // After all that the processor still holds a state it can save and restore exactly.
    juce::MemoryBlock saved;
    processor->getStateInformation (saved);
    ASSERT_EQ (saved.getSize(), 104u);
    EXPECT_TRUE (isValidFactoryPreset (processor->presetCategory.load(), processor->presetIndex.load()));

    processor->removeListener (&host);
}
