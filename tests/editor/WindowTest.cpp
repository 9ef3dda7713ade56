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
                sum += std::abs (p.getRed() - q.getRed()) + std::abs (p.getGreen() - q.getGreen())
                     + std::abs (p.getBlue() - q.getBlue());
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
    ASSERT_NE (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay(), nullptr)
        << "no X display: ./test runs this under Xvfb";
    auto processor = makeProcessor();
    auto editor = openEditor (*processor);
    editor->setTopLeftPosition (40, 40);   // in a top-level window, as the host's view holds it
    editor->addToDesktop (0);
    editor->setVisible (true);
    ASSERT_TRUE (dispatchMessagesUntil ([&] { return editor->isShowing() && editor->getOpenGLContext().isAttached(); },
                                        patientRounds));
    keepOpenGLDriversLoaded();

    // A knob the host moves, followed by the editor's timer: what the context put on the screen is
    // the tree painted in software, once a frame with the new value has arrived.
    processor->getParameters()[kLowMidFreq]->setValue (0.9f);
    const auto moved = [&] { return editor->getWidgetForParam (kLowMidFreq)->getValue() == std::sqrt (0.9f); };
    ASSERT_TRUE (dispatchMessagesUntil (moved, patientRounds));
    juce::Image screen, reference;
    double difference = 255.0;
    const bool matched = dispatchMessagesUntil (
        [&]
        {
            reference = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
            const auto scale = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->scale;
            screen = grabScreen ((editor->getScreenBounds().toDouble() * scale).getSmallestIntegerContainer())
                         .rescaled (reference.getWidth(), reference.getHeight());
            difference = meanDifference (screen, reference);
            return difference < 4.0;
        },
        patientRounds / 10);
    EXPECT_TRUE (matched) << "mean difference from the software picture: " << difference;
    EXPECT_GT (meanDifference (screen, juce::Image (juce::Image::RGB, 800, 250, true)), 20.0)
        << "the panel, not a black area";
    editor.reset();
    dispatchPendingMessages();
}

TEST (DisplayKindsTest, TheEditorDrawsTheSamePictureWithAndWithoutOpenGL)
{
    // 16-bit colour keeps 5 or 6 bits of a channel. Where OpenGL draws, Mesa's driver and JUCE's
    // context leave memory behind at exit; without OpenGL nothing may leak under the sanitizers.
    // clang-format off
    const struct { const char* name; const char* server; double maxDifference; bool checkLeaks; } kinds[] = {
        { "glx", "-screen 0 1280x800x24 +extension GLX", 0.0, false },
        { "no-glx", "-screen 0 1280x800x24 -extension GLX", 0.5, true },
        { "16-bit", "-screen 0 1280x800x16 +extension GLX", 3.0, false },
    };
    // clang-format on
    ASSERT_TRUE (screenshots.createDirectory());
    juce::Image reference;

    for (const auto& kind : kinds)
    {
        SCOPED_TRACE (kind.name);
        const auto png = screenshots.getChildFile (juce::String ("host_editor_") + kind.name + ".png");
        const auto errors = png.withFileExtension ("stderr");
        png.deleteFile();
        const auto command = juce::String (kind.checkLeaks ? "" : "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" ")
                           + "xvfb-run -a -s '" + kind.server + " -noreset' '" + QUILLO_HOST
                           + "' editor --seconds 1 --screenshot '" + png.getFullPathName() + "' > /dev/null 2> '"
                           + errors.getFullPathName() + "'";
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
