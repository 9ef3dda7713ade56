// What the window tests ask of the X server directly. Xlib stays in this file: its macros (None,
// Bool, Status, ...) would clash with JUCE's names.

#include <juce_graphics/juce_graphics.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <utility>

namespace quillo::test
{
    namespace
    {
        /** X errors are reported, each kind once (without a window manager JUCE asks for properties
            that do not exist, many times over), and survived, as a host does: Xlib's default ends the
            process. JUCE inside a plug-in leaves this, and thread support, to its host. */
        int reportXError (::Display* display, XErrorEvent* event)
        {
            static std::set<std::pair<int, int>> reported;
            if (reported.insert ({ (int) event->error_code, (int) event->request_code }).second)
            {
                char text[128] = {};
                XGetErrorText (display, event->error_code, text, (int) sizeof (text));
                std::fprintf (stderr, "X error survived: %s (request %d)\n", text, (int) event->request_code);
            }
            return 0;
        }

        /** Before any other Xlib call of the process: the editor's OpenGL context uses Xlib from its
            render thread. */
        const bool hostXSetup = (XInitThreads(), XSetErrorHandler (reportXError), true);

        struct Connection
        {
            ::Display* display = std::getenv ("DISPLAY") != nullptr ? XOpenDisplay (nullptr) : nullptr;
            ~Connection()
            {
                if (display != nullptr)
                    XCloseDisplay (display);
            }
        };

        /** One colour channel of an X pixel, scaled to 0..255. */
        juce::uint8 channel (unsigned long pixel, unsigned long mask)
        {
            int shift = 0;
            while (mask != 0 && ((mask >> shift) & 1) == 0)
                ++shift;
            return mask == 0 ? 0 : (juce::uint8) (((pixel & mask) >> shift) * 255 / (mask >> shift));
        }
    }

    /** The screen's pixels in the given area (physical pixels) as the X server shows them, OpenGL
        windows included; invalid when there is no X server or the grab fails. */
    juce::Image grabScreen (juce::Rectangle<int> area)
    {
        Connection x;
        if (x.display == nullptr || area.isEmpty())
            return {};

        std::unique_ptr<XImage, int (*) (XImage*)> image (XGetImage (x.display, DefaultRootWindow (x.display),
                                                                     area.getX(), area.getY(),
                                                                     (unsigned) area.getWidth(),
                                                                     (unsigned) area.getHeight(), AllPlanes, ZPixmap),
                                                          [] (XImage* i) { return XDestroyImage (i); });
        if (image == nullptr)
            return {};

        juce::Image result (juce::Image::ARGB, area.getWidth(), area.getHeight(), false);
        for (int y = 0; y < area.getHeight(); ++y)
            for (int x0 = 0; x0 < area.getWidth(); ++x0)
            {
                const auto p = XGetPixel (image.get(), x0, y);
                result.setPixelAt (x0, y,
                                   juce::Colour (channel (p, image->red_mask), channel (p, image->green_mask),
                                                 channel (p, image->blue_mask)));
            }
        return result;
    }
}   // namespace quillo::test

#if defined(__SANITIZE_ADDRESS__)
// Memory of the windowing and OpenGL libraries, not the editor's: JUCE's Linux OpenGL context
// never frees the visual description Xlib hands it (a few hundred bytes per attach), and Mesa's
// software driver may still hold buffers of a context it tears down on its own threads when the
// process ends. Nothing else is let through.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:XGetVisualInfo\n"
           "leak:_dri.so\n";
}
#endif
