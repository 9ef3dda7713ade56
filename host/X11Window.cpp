#include "X11Window.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "HostError.h"

namespace aaxhost
{
struct X11Window::Connection
{
    Display* display = nullptr;
    std::string name;

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
    });
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
    mConnection = connection.release();
}

void X11Window::Show(int width, int height, const std::string& title, int x, int y)
{
    if (mWindow != 0)
        return;
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

    // A fixed position: the window is placed where asked even under a window manager.
    XSizeHints hints {};
    hints.flags = PPosition | USPosition;
    hints.x = x;
    hints.y = y;
    XSetWMNormalHints(display, mWindow, &hints);

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

    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, mWindow, root, 0, 0, &x, &y, &child))
    {
        reason = "the editor's window is not on the default screen of display " + name;
        return false;
    }
    XWindowAttributes rootState {};
    XGetWindowAttributes(display, root, &rootState);
    const auto size = [](int width, int height) { return std::to_string(width) + " x " + std::to_string(height); };
    const std::string where = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    if (x < 0 || y < 0)
    {
        reason = "the editor's window at " + where + " is partly off the screen of display " + name;
        return false;
    }
    if (x + mWidth > rootState.width || y + mHeight > rootState.height)
    {
        reason = "the screen of display " + name + " is " + size(rootState.width, rootState.height)
               + ", smaller than the editor's window of " + size(mWidth, mHeight) + " at " + where;
        return false;
    }

    // The root window's pixels show every window as the server composed it, OpenGL ones too.
    XImage* const grabbed = XGetImage(display, root, x, y, unsigned(mWidth), unsigned(mHeight), AllPlanes, ZPixmap);
    if (grabbed == nullptr)
    {
        reason = "the X server of display " + name + " did not give the screen's pixels under the editor's window";
        return false;
    }

    image.width = mWidth;
    image.height = mHeight;
    image.pixels.resize(size_t(mWidth) * size_t(mHeight) * 3);
    for (int row = 0; row < mHeight; ++row)
        for (int column = 0; column < mWidth; ++column)
        {
            const unsigned long pixel = XGetPixel(grabbed, column, row);
            uint8_t* const out = &image.pixels[(size_t(row) * size_t(mWidth) + size_t(column)) * 3];
            out[0] = Channel(pixel, grabbed->red_mask);
            out[1] = Channel(pixel, grabbed->green_mask);
            out[2] = Channel(pixel, grabbed->blue_mask);
        }
    XDestroyImage(grabbed);
    return true;
}
} // namespace aaxhost
