// The editor through the GUI factory, in a real X11 window of the host (Xvfb under ./test).
// Reopening it while audio runs is the validation suite's.

#include "E2ETestSupport.h"

#include "PlugInEditor.h"
#include "PngWriter.h"
#include "X11Window.h"

#include <set>
#include <sys/stat.h>

using namespace quillo::e2e;

namespace
{
// Number of different colours in a picture.
size_t Colours(const aaxhost::RgbImage& image)
{
    std::set<uint32_t> colours;
    for (size_t i = 0; i + 2 < image.pixels.size(); i += 3)
        colours.insert(uint32_t(image.pixels[i]) << 16 | uint32_t(image.pixels[i + 1]) << 8 | image.pixels[i + 2]);
    return colours.size();
}

// Pixels that differ between two pictures of one size.
size_t ChangedPixels(const aaxhost::RgbImage& a, const aaxhost::RgbImage& b)
{
    size_t changed = 0;
    for (size_t i = 0; i + 2 < a.pixels.size() && i + 2 < b.pixels.size(); i += 3)
        changed += (a.pixels[i] != b.pixels[i] || a.pixels[i + 1] != b.pixels[i + 1] || a.pixels[i + 2] != b.pixels[i + 2]);
    return changed;
}
} // namespace

TEST_F(ModuleTest, TheEditorOpensInAnX11WindowFollowsTheHostAndCloses)
{
    ASSERT_TRUE(aaxhost::X11Window::DisplayAvailable()) << "no X display (./test runs the tests under Xvfb)";
    auto instance = Open(2, 48000.0f);
    {
        aaxhost::PlugInEditor editor(*host, *instance);
        KeepOpenGLDriversLoaded();
        const AAX_Point initial = editor.InitialViewSize();
        AAX_Point size { 0.0f, 0.0f };
        EXPECT_EQ(editor.GetViewSize(size), AAX_SUCCESS);
        for (const AAX_Point& point : { initial, size })
        {
            EXPECT_EQ(point.horz, 800.0f);
            EXPECT_EQ(point.vert, 250.0f);
        }

        // Attached as an HWND-style view: the plug-in put its own window inside the host's.
        EXPECT_EQ(editor.Window().Width(), 800);
        EXPECT_EQ(editor.Window().Height(), 250);
        EXPECT_EQ(editor.Window().NumChildren(), 1);
        EXPECT_GE(calls.Count("GetType"), 1u);
        EXPECT_GE(calls.Count("GetPtr"), 1u);

        editor.Run(1500);
        aaxhost::RgbImage before;
        ASSERT_TRUE(editor.Grab(before));
        EXPECT_EQ(before.width, 800);
        EXPECT_EQ(before.height, 250);
        EXPECT_GT(Colours(before), 100u) << "the panel was not drawn";

        const std::string folder = std::string(QUILLO_E2E_OUTPUT_DIR) + "/screenshots";
        mkdir(folder.c_str(), 0755);
        std::string error;
        EXPECT_TRUE(aaxhost::PngWriter::Write(folder + "/quillo-editor.png", before, error)) << error;

        // The editor's timer shows what the host's automation did.
        ASSERT_EQ(instance->Automate("0Input Gain", 1.0), AAX_SUCCESS);
        ASSERT_EQ(instance->Automate("12Low Mid Gain", 0.0), AAX_SUCCESS);
        editor.Run(800);
        aaxhost::RgbImage after;
        ASSERT_TRUE(editor.Grab(after));
        EXPECT_GT(ChangedPixels(before, after), 50u);
        EXPECT_TRUE(aaxhost::PngWriter::Write(folder + "/quillo-editor-automated.png", after, error)) << error;

        editor.Close();
        EXPECT_FALSE(editor.IsOpen());
    }
}
