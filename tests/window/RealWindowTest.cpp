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

    /** Counts what the host receives, from any thread. */
    struct GestureCounter : juce::AudioProcessorListener
    {
        void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override   { ++values; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
        {
            ++begins;
            const std::lock_guard<std::mutex> lock (mutex);
            gestureIndices.push_back (index);
        }
        void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int) override  { ++ends; }

        std::atomic<int> values { 0 }, begins { 0 }, ends { 0 };
        std::mutex mutex;
        std::vector<int> gestureIndices;
    };

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
        {
            for (int i = 0; i < FACTORY_PRESET_COUNTS[c]; ++i)
            {
                const auto name = factoryPresetResourceName (c, i);
                int size = 0;
                const char* data = BinaryData::getNamedResource (name.c_str(), size);
                std::vector<char> preset (data, data + size);
                blobs.push_back (preset);                               // the preset form

                auto hostForm = preset;                                 // the host form
                for (int32_t word : { c, i, (c + i) % 2 })
                    for (int b = 0; b < 4; ++b)
                        hostForm.push_back ((char) ((word >> (8 * b)) & 0xff));
                blobs.push_back (hostForm);
            }
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
    GestureCounter host;
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

        const auto rendererKnown = [&]
        {
            const std::lock_guard<std::mutex> lock (rendererMutex);
            return renderer.isNotEmpty();
        };

        ASSERT_TRUE (dispatchMessagesUntil (rendererKnown, patientRounds));
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

        const auto windowFile = screenshotDir.getChildFile ("editor_window.png");
        EXPECT_TRUE (writePng (screen, windowFile));
        EXPECT_TRUE (writePng (reference, screenshotDir.getChildFile ("editor_software.png")));
        std::cout << "screenshot: " << windowFile.getFullPathName() << " (mean difference "
                  << difference << ")" << std::endl;

        EXPECT_TRUE (matched) << "mean difference from the software picture: " << difference;

        // The window really shows the panel, not a black or empty area.
        const juce::Image black (juce::Image::ARGB, screen.getWidth(), screen.getHeight(), true);
        EXPECT_GT (meanDifference (screen, black), 20.0);

        mouseThroughPeer (*freq, centre.translated (0, -40), false);
        EXPECT_FALSE (editor->isGestureOpen (kLowMidFreq));
        EXPECT_EQ (host.begins.load(), 1);
        EXPECT_EQ (host.ends.load(), 1);
        EXPECT_GE (host.values.load(), 2);
        EXPECT_GT (processor->getParameter (kLowMidFreq), VL_PARAMS[kLowMidFreq].normalisedDefault());
        EXPECT_TRUE (processor->presetModified.load());

        editor.close();
    }

    processor->removeListener (&host);
}

TEST_F (RealWindowTest, OpensAndClosesTwentyTimesWhileAudioRunsAndAHostThreadRestoresState)
{
    auto processor = makeProcessor (48000.0, 2, 512);
    GestureCounter host;
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

        while (! stop.load())
        {
            buffer.copyFrom (0, 0, left.data(), 512);
            buffer.copyFrom (1, 0, right.data(), 512);
            {
                const juce::ScopedLock lock (processor->getCallbackLock());
                processor->processBlock (buffer, midi);
            }
            ++blocks;
            std::this_thread::sleep_for (std::chrono::microseconds (500));
        }
    });

    // A host thread restoring saved states of every kind, good and bad.
    std::thread restorer ([&]
    {
        const auto blobs = stateBlobsForTheHostThread();

        for (size_t i = 0; ! stop.load(); i = (i + 1) % blobs.size())
        {
            const auto& blob = blobs[i];
            processor->setStateInformation (blob.empty() ? nullptr : blob.data(), (int) blob.size());
            ++loads;
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

        EXPECT_EQ (host.begins.load(), host.ends.load()) << "a gesture was left open";
    }

    stop = true;
    audio.join();
    restorer.join();
    dispatchPendingMessages();

    EXPECT_GT (blocks.load(), 20);
    EXPECT_GT (loads.load(), 60);
    EXPECT_EQ (host.begins.load(), 5);
    EXPECT_EQ (host.ends.load(), 5);

    // After all that the processor still holds a state it can save and restore exactly.
    juce::MemoryBlock saved;
    processor->getStateInformation (saved);
    ASSERT_EQ (saved.getSize(), 104u);
    EXPECT_TRUE (isValidFactoryPreset (processor->presetCategory.load(), processor->presetIndex.load()));

    processor->removeListener (&host);
}
