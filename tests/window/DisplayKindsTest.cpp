// The stand-in host's editor command on X servers of its own (a nested Xvfb each): with GLX,
// without it, and at 16-bit depth. On each the editor opens, draws the same picture, whether
// OpenGL or JUCE's software renderer paints it, and closes cleanly.

#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sys/wait.h>

using namespace quillo::test;

namespace
{
    struct DisplayKind
    {
        const char* name;
        const char* serverArguments;
        double maxMeanDifference;   // from the first row's picture, 0..255 per channel
        bool checkLeaks;            // under the sanitizers
    };

    // 16-bit colour keeps 5 or 6 bits of a channel: each is up to 4 of 255 away from the 24-bit
    // one. Where OpenGL draws, Mesa's driver and JUCE's context leave memory behind at exit (the
    // in-process window tests name it in their suppressions); without OpenGL nothing may leak.
    constexpr DisplayKind displayKinds[] =
    {
        { "glx",    "-screen 0 1280x800x24 +extension GLX", 0.0, false },
        { "no-glx", "-screen 0 1280x800x24 -extension GLX", 0.5, true },
        { "16-bit", "-screen 0 1280x800x16 +extension GLX", 3.0, false },
    };
}

TEST (DisplayKindsTest, TheEditorDrawsTheSamePictureWithAndWithoutOpenGL)
{
    const juce::File folder { juce::String (QUILLO_SCREENSHOT_DIR) };
    ASSERT_TRUE (folder.createDirectory());
    juce::Image reference;

    for (const auto& kind : displayKinds)
    {
        SCOPED_TRACE (kind.name);
        const auto png = folder.getChildFile (juce::String ("host_editor_") + kind.name + ".png");
        const auto errors = png.withFileExtension ("stderr");
        png.deleteFile();

        const auto command = juce::String (kind.checkLeaks ? "" : "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" ")
                           + "xvfb-run -a -s '" + kind.serverArguments + " -noreset' '" + QUILLO_HOST
                           + "' editor --seconds 1 --screenshot '" + png.getFullPathName() + "' > /dev/null 2> '"
                           + errors.getFullPathName() + "'";
        const int status = std::system (command.toRawUTF8());
        ASSERT_TRUE (WIFEXITED (status)) << command;
        EXPECT_EQ (WEXITSTATUS (status), 0) << command;
        // A debug build of the module prints JUCE's version when it starts; nothing else may appear.
        EXPECT_EQ (errors.loadFileAsString().replace (juce::SystemStats::getJUCEVersion() + "\n", ""), "");

        const auto picture = juce::ImageFileFormat::loadFrom (png);
        ASSERT_EQ (picture.getBounds(), juce::Rectangle<int> (800, 250));

        if (! reference.isValid())
        {
            reference = picture;
            EXPECT_GT (meanDifference (picture, juce::Image (juce::Image::RGB, 800, 250, true)), 20.0) << "nothing drawn";
        }

        const double difference = meanDifference (picture, reference);
        std::cout << kind.name << ": mean difference " << difference << std::endl;
        EXPECT_LE (difference, kind.maxMeanDifference);
    }
}
