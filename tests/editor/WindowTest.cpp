// The editor on real displays: in a top-level window of this process, painted through its OpenGL
// context (Mesa's software renderer under Xvfb) exactly as JUCE's software renderer paints it;
// and the stand-in host's editor on X servers of its own, with and without GLX and at 16-bit
// depth, drawing the same picture on each. These tests need a display: ./test runs them under Xvfb.

#include "EditorTestSupport.h"
#include "OpenGLDrivers.h"

#include <sys/wait.h>

using namespace EditorTest;

namespace quillo::test
{
    juce::Image grabScreen (juce::Rectangle<int> physicalArea);
}

namespace
{
    /** A real mouse event delivered through the window's peer, as the windowing system does. */
    void mouseThroughPeer (juce::Component& c, juce::Point<int> positionInC, bool buttonDown)
    {
        auto& peer = *c.getPeer();
        peer.handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse,
                               peer.getComponent().getLocalPoint (&c, positionInC).toFloat(),
                               buttonDown ? juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier) : juce::ModifierKeys(),
                               juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                               juce::Time::currentTimeMillis());
    }

    /** Mean absolute difference of the colour channels of two pictures, 0..255 (255 when their
        sizes differ). */
    double meanDifference (const juce::Image& a, const juce::Image& b)
    {
        if (! a.isValid() || a.getBounds() != b.getBounds())
            return 255.0;
        double sum = 0.0;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
            {
                const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
                sum += std::abs (p.getRed() - q.getRed()) + std::abs (p.getGreen() - q.getGreen()) + std::abs (p.getBlue() - q.getBlue());
            }
        return sum / (3.0 * a.getWidth() * a.getHeight());
    }

    const juce::File screenshots { juce::String (QUILLO_SCREENSHOT_DIR) };

    // Rounds of about a millisecond before a wait gives up; generous for a software renderer
    // under sanitizers. Only a limit for hung runs, never a measurement.
    constexpr int patientRounds = 60000;

}

TEST (RealWindowTest, PaintsThroughItsOpenGLContextWhatTheSoftwareRendererPaints)
{
    ASSERT_NE (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay(), nullptr) << "no X display: ./test runs this under Xvfb";
    Recorder host;                          // outlives the processor it listens to
    auto processor = makeProcessor();
    processor->addListener (&host);
    auto editor = openEditor (*processor);
    juce::Component view;           // the host's window holding the editor
    view.addAndMakeVisible (*editor);
    view.setBounds (40, 40, 800, 250);
    view.addToDesktop (0);
    view.setVisible (true);
    ASSERT_TRUE (dispatchMessagesUntil ([&] { return editor->isShowing() && editor->getOpenGLContext().isAttached(); }, patientRounds));
    keepOpenGLDriversLoaded();

    // A knob dragged with real mouse events through the window: the bubble fades in above it.
    auto& freq = *editor->getWidgetForParam (kLowMidFreq);
    const auto centre = freq.getLocalBounds().getCentre();
    for (int dy : { 0, -20, -40 })
        mouseThroughPeer (freq, centre.translated (0, dy), true);
    ASSERT_TRUE (dispatchMessagesUntil ([&] { return editor->getValueBubble().alpha == 1.0f; }, patientRounds));

    // What the context put on the screen is the tree painted in software, once a frame with the
    // bubble has arrived.
    juce::Image screen, reference;
    double difference = 255.0;
    const bool matched = dispatchMessagesUntil ([&]
    {
        reference = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
        const auto scale = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->scale;
        screen = grabScreen ((editor->getScreenBounds().toDouble() * scale).getSmallestIntegerContainer())
                     .rescaled (reference.getWidth(), reference.getHeight());
        difference = meanDifference (screen, reference);
        return difference < 4.0;
    }, patientRounds / 10);
    EXPECT_TRUE (matched) << "mean difference from the software picture: " << difference;
    EXPECT_GT (meanDifference (screen, juce::Image (juce::Image::RGB, 800, 250, true)), 20.0) << "the panel, not a black area";

    mouseThroughPeer (freq, centre.translated (0, -40), false);
    EXPECT_EQ (host.take(), (Events { "beginGesture 11", "value 11", "value 11", "endGesture 11" }));
    editor.reset();                 // the editor goes first, then its window
    view.removeFromDesktop();
    dispatchPendingMessages();
}

TEST (DisplayKindsTest, TheEditorDrawsTheSamePictureWithAndWithoutOpenGL)
{
    // 16-bit colour keeps 5 or 6 bits of a channel. Where OpenGL draws, Mesa's driver and JUCE's
    // context leave memory behind at exit; without OpenGL nothing may leak under the sanitizers.
    const struct { const char* name; const char* server; double maxDifference; bool checkLeaks; } kinds[] = {
        { "glx", "-screen 0 1280x800x24 +extension GLX", 0.0, false },
        { "no-glx", "-screen 0 1280x800x24 -extension GLX", 0.5, true },
        { "16-bit", "-screen 0 1280x800x16 +extension GLX", 3.0, false },
    };
    ASSERT_TRUE (screenshots.createDirectory());
    juce::Image reference;

    for (const auto& kind : kinds)
    {
        SCOPED_TRACE (kind.name);
        const auto png = screenshots.getChildFile (juce::String ("host_editor_") + kind.name + ".png");
        const auto errors = png.withFileExtension ("stderr");
        png.deleteFile();
        const auto command = juce::String (kind.checkLeaks ? "" : "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" ")
                           + "xvfb-run -a -s '" + kind.server + " -noreset' '" + QUILLO_HOST + "' editor --seconds 1 --screenshot '"
                           + png.getFullPathName() + "' > /dev/null 2> '" + errors.getFullPathName() + "'";
        const int status = std::system (command.toRawUTF8());
        EXPECT_TRUE (WIFEXITED (status) && WEXITSTATUS (status) == 0) << command;
        // A debug build of the module prints JUCE's version when it starts; nothing else may appear.
        EXPECT_EQ (errors.loadFileAsString().replace (juce::SystemStats::getJUCEVersion() + "\n", ""), "");

        const auto picture = juce::ImageFileFormat::loadFrom (png);
        ASSERT_EQ (picture.getBounds(), juce::Rectangle<int> (800, 250));
        EXPECT_GT (meanDifference (picture, juce::Image (juce::Image::RGB, 800, 250, true)), 20.0) << "nothing drawn";
        reference = reference.isValid() ? reference : picture;
        EXPECT_LE (meanDifference (picture, reference), kind.maxDifference) << "mean difference from the first picture";
    }
}
