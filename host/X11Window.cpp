#include "X11Window.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

#include "HostError.h"
#include "Interruption.h"

namespace aaxhost
{
struct X11Window::Connection
{
    Display* display = nullptr;
    std::string name;
    bool composite = false; ///< the server has Composite 0.2 or later (a window's own pixmap)

    ~Connection()
    {
        if (display != nullptr)
            XCloseDisplay(display);
    }
};

namespace
{
/** The lowest set bit's position and the width of a colour mask of the visual. */
void MaskShape(unsigned long mask, int& shift, int& bits)
{
    shift = 0;
    bits = 0;
    if (mask == 0)
        return;
    while ((mask & 1u) == 0)
    {
        mask >>= 1;
        ++shift;
    }
    while ((mask & 1u) != 0)
    {
        mask >>= 1;
        ++bits;
    }
}

std::atomic<unsigned long> gErrorCount { 0 };

int CountError(Display*, XErrorEvent*)
{
    gErrorCount.fetch_add(1);
    return 0;
}

// The name of the display the host's window is on (as DISPLAY gives it), for the handler of a
// lost connection, which may run on any thread and may only read what is already there: it
// reads the name only while it is marked complete.
char gDisplayName[256];
std::atomic<bool> gDisplayNamed { false };

static_assert(std::atomic<bool>::is_always_lock_free, "the handler of a lost connection reads it");

void NameDisplay(const std::string& name) noexcept
{
    gDisplayNamed.store(false);
    const size_t length = std::min(name.size(), sizeof(gDisplayName) - 1);
    std::memcpy(gDisplayName, name.data(), length);
    gDisplayName[length] = 0;
    gDisplayNamed.store(true);
}

/** The server went away (or the connection broke): Xlib cannot go on with this connection, and
    the plug-in cannot go on without its own. Ends the command as a second signal would: the
    temporary files removed, one line, exit code 1. Whichever thread met it (the host's, the
    plug-in's message or OpenGL thread); only async-signal-safe steps. */
[[noreturn]] void AbandonLostConnection(Display* display) noexcept
{
    const char* name = gDisplayNamed.load() ? gDisplayName : nullptr;
    if ((name == nullptr || *name == 0) && display != nullptr)
        name = DisplayString(display);
    Interruption::Abandon(1, { "quillo-host: lost the connection to the X display ",
                               name != nullptr && *name != 0 ? name : "named by DISPLAY", "\n" });
}

int LoseConnection(Display* display)
{
    AbandonLostConnection(display);
}

/** Xlib's exit step after any handler that returned (JUCE's does), for the host's own connection. */
void LoseConnectionAfterHandler(Display* display, void*)
{
    AbandonLostConnection(display);
}

/** XOpenDisplay that waits out a server reset: Xlib reports a refused connection as it reports a
    missing server, so a display that DISPLAY names is tried for up to three seconds (a reset of
    Xvfb with GLX on a busy machine takes a few hundred milliseconds). */
Display* OpenDisplay(const char* name)
{
    if (name == nullptr || *name == 0)
        return nullptr;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (;;)
    {
        if (Display* const display = XOpenDisplay(name))
            return display;
        if (std::chrono::steady_clock::now() >= giveUp)
            return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

/** Empty when the default screen has a TrueColor visual of 16, 24 or 32 bits, as the plug-in's
    toolkit requires (on any other display it makes no window and draws nothing, and the screen
    stays black); otherwise why the editor cannot use the display. */
std::string ColourProblem(Display* display, const std::string& name)
{
    XVisualInfo wanted {};
    wanted.screen = DefaultScreen(display);
    wanted.c_class = TrueColor;
    int count = 0;
    XVisualInfo* const found = XGetVisualInfo(display, VisualScreenMask | VisualClassMask, &wanted, &count);
    bool usable = false;
    for (int i = 0; i < count; ++i)
        usable = usable || found[i].depth == 16 || found[i].depth == 24 || found[i].depth == 32;
    if (found != nullptr)
        XFree(found);
    if (usable)
        return {};
    const int depth = DefaultDepth(display, wanted.screen);
    if (depth == 16 || depth == 24 || depth == 32)
        return "the X display " + name + " has no TrueColor visual of 16, 24 or 32 bits; the editor needs one";
    return "the X display " + name + " has " + std::to_string(depth) + "-bit colour (depth " + std::to_string(depth)
         + "); the editor needs a display of 16, 24 or 32 bits";
}

/** The server's Composite extension, 0.2 or later (XCompositeNameWindowPixmap), or none. */
bool HasComposite(Display* display)
{
    int eventBase = 0, errorBase = 0;
    if (!XCompositeQueryExtension(display, &eventBase, &errorBase))
        return false;
    int major = 0, minor = 2;
    return XCompositeQueryVersion(display, &major, &minor) != 0 && (major > 0 || minor >= 2);
}

/** Asks a window manager to place the window at (x, y) and to keep it at the view's size: a
    plug-in's view has a size of its own, which a window of another size would crop or pad. */
void HoldPlaceAndSize(Display* display, Window window, int x, int y, int width, int height)
{
    XSizeHints hints {};
    hints.flags = PPosition | USPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, window, &hints);
}

uint8_t Channel(unsigned long pixel, unsigned long mask)
{
    int shift = 0, bits = 0;
    MaskShape(mask, shift, bits);
    if (bits == 0)
        return 0;
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long maximum = (1ul << bits) - 1;
    return uint8_t((value * 255 + maximum / 2) / maximum);
}
} // namespace

void X11Window::PrepareXlib()
{
    static std::once_flag once;
    std::call_once(once, [] {
        XInitThreads();
        XSetErrorHandler(CountError);
        HoldConnectionLossHandler();
    });
}

bool X11Window::HoldConnectionLossHandler()
{
    return XSetIOErrorHandler(LoseConnection) != LoseConnection;
}

unsigned long X11Window::ErrorCount()
{
    return gErrorCount.load();
}

bool X11Window::DisplayAvailable()
{
    PrepareXlib();
    Display* const display = OpenDisplay(std::getenv("DISPLAY"));
    if (display == nullptr)
        return false;
    XCloseDisplay(display);
    return true;
}

X11Window::X11Window()
{
    PrepareXlib();
    const char* const name = std::getenv("DISPLAY");
    if (name == nullptr || *name == 0)
        throw HostError("no X display: set DISPLAY (an X server or Xvfb) to open an editor");
    auto connection = std::make_unique<Connection>();
    connection->name = name;
    connection->display = OpenDisplay(name);
    if (connection->display == nullptr)
        throw HostError("cannot open the X display \"" + connection->name + "\" named by DISPLAY");
    // Refused here, before the plug-in makes its editor: the toolkit would only complain on
    // stderr and leave a black window.
    const std::string problem = ColourProblem(connection->display, connection->name);
    if (!problem.empty())
        throw HostError(problem);
    connection->composite = HasComposite(connection->display);
    NameDisplay(connection->name);
    // Should another handler be in force when this connection breaks (a plug-in's that returns),
    // Xlib's exit step for this connection still ends the command as the host's handler does.
    XSetIOErrorExitHandler(connection->display, LoseConnectionAfterHandler, nullptr);
    mConnection = connection.release();
}

void X11Window::Show(int width, int height, const std::string& title, int x, int y)
{
    if (mWindow != 0)
        return;
    mX = x;
    mY = y;
    mWidth = width;
    mHeight = height;
    Display* const display = mConnection->display;
    const int screen = DefaultScreen(display);

    XSetWindowAttributes attributes {};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask | ExposureMask;
    mWindow = XCreateWindow(display, RootWindow(display, screen), x, y, unsigned(width), unsigned(height), 0,
                            CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, mWindow, title.c_str());

    HoldPlaceAndSize(display, mWindow, x, y, width, height);

    // Before it is mapped, so that the server keeps the window's (and its children's) pixels in
    // a pixmap of its own from the first drawing on.
    if (mConnection->composite)
    {
        XCompositeRedirectWindow(display, mWindow, CompositeRedirectAutomatic);
        mRedirected = true;
    }

    XMapWindow(display, mWindow);
    XSync(display, False);

    // Wait (bounded) for the server to map it, so that children and grabs find it on screen.
    for (int i = 0; i < 2000; ++i)
    {
        XWindowAttributes state {};
        XGetWindowAttributes(display, mWindow, &state);
        if (state.map_state == IsViewable)
            break;
        ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

X11Window::~X11Window()
{
    if (mWindow != 0)
        XDestroyWindow(mConnection->display, mWindow);
    delete mConnection;
}

const std::string& X11Window::DisplayName() const
{
    return mConnection->name;
}

X11Window::State X11Window::QueryState() const
{
    State state;
    if (mWindow == 0)
        return state;
    Display* const display = mConnection->display;
    XWindowAttributes attributes {};
    state.viewable = XGetWindowAttributes(display, mWindow, &attributes) != 0 && attributes.map_state == IsViewable;

    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, mWindow, &root, &parent, &children, &count) == 0)
        return state;
    state.children = int(count);
    for (unsigned int i = 0; i < count; ++i)
    {
        XWindowAttributes child {};
        if (XGetWindowAttributes(display, children[i], &child) != 0 && child.map_state == IsViewable)
            ++state.viewableChildren;
    }
    if (children != nullptr)
        XFree(children);
    return state;
}

void* X11Window::NativeHandle() const
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(mWindow));
}

void X11Window::Resize(int width, int height)
{
    if (mWindow == 0 || width < 1 || height < 1)
        return;
    mWidth = width;
    mHeight = height;
    HoldPlaceAndSize(mConnection->display, mWindow, mX, mY, width, height);
    XResizeWindow(mConnection->display, mWindow, unsigned(width), unsigned(height));
    XSync(mConnection->display, False);
}

void X11Window::ProcessEvents()
{
    Display* const display = mConnection->display;
    while (XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
    }
}

bool X11Window::Grab(RgbImage& image, std::string& reason) const
{
    if (mWindow == 0)
    {
        reason = "the editor's window is not shown yet";
        return false;
    }
    Display* const display = mConnection->display;
    const std::string& name = mConnection->name;
    XSync(display, False);
    const Window root = DefaultRootWindow(display);

    XWindowAttributes windowState {};
    if (XGetWindowAttributes(display, mWindow, &windowState) == 0 || windowState.map_state != IsViewable)
    {
        reason = "the editor's window is not shown on display " + name;
        return false;
    }
    const int width = windowState.width, height = windowState.height;
    const auto size = [](int w, int h) { return std::to_string(w) + " x " + std::to_string(h); };
    if (width != mWidth || height != mHeight)
    {
        // A window manager that ignored the size hints: the picture would crop or pad the view.
        reason = "the editor's window is " + size(width, height) + ", not the view's " + size(mWidth, mHeight)
               + ": something on display " + name + " resized it";
        return false;
    }
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, mWindow, root, 0, 0, &x, &y, &child))
    {
        reason = "the editor's window is not on the default screen of display " + name;
        return false;
    }
    XWindowAttributes rootState {};
    XGetWindowAttributes(display, root, &rootState);
    const std::string where = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    if (x < 0 || y < 0)
    {
        reason = "the editor's window at " + where + " is partly off the screen of display " + name;
        return false;
    }
    if (x + width > rootState.width || y + height > rootState.height)
    {
        reason = "the screen of display " + name + " is " + size(rootState.width, rootState.height)
               + ", smaller than the editor's window of " + size(width, height) + " at " + where;
        return false;
    }

    // Without Composite only the screen holds the pixels, and whether they are the window's own
    // is anybody's guess: another window may lie over it.
    if (!mRedirected)
    {
        reason = "the X server of display " + name
               + " lacks the Composite extension, without which the editor's own pixels cannot be told from"
                 " those of a window over it";
        return false;
    }
    // The window's own pixmap, into which it and the windows in it draw (the plug-in's view,
    // OpenGL's included), whatever lies over it on the screen. Named for each grab: the server
    // gives the window a new one when it is mapped again or resized.
    const Pixmap pixmap = XCompositeNameWindowPixmap(display, mWindow);
    XImage* const grabbed = XGetImage(display, pixmap, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    XFreePixmap(display, pixmap);
    if (grabbed == nullptr)
    {
        reason = "the X server of display " + name + " did not give the editor's window's pixels";
        return false;
    }

    // A pixmap's image comes without the colour masks: they are the window's visual's.
    unsigned long masks[3] = { grabbed->red_mask, grabbed->green_mask, grabbed->blue_mask };
    if ((masks[0] | masks[1] | masks[2]) == 0 && windowState.visual != nullptr)
    {
        masks[0] = windowState.visual->red_mask;
        masks[1] = windowState.visual->green_mask;
        masks[2] = windowState.visual->blue_mask;
    }
    image.width = width;
    image.height = height;
    image.pixels.resize(size_t(width) * size_t(height) * 3);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
        {
            const unsigned long pixel = XGetPixel(grabbed, column, row);
            uint8_t* const out = &image.pixels[(size_t(row) * size_t(width) + size_t(column)) * 3];
            out[0] = Channel(pixel, masks[0]);
            out[1] = Channel(pixel, masks[1]);
            out[2] = Channel(pixel, masks[2]);
        }
    XDestroyImage(grabbed);
    return true;
}
} // namespace aaxhost
