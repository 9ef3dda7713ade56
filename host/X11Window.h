#pragma once

#include <string>

#include "RgbImage.h"

namespace aaxhost
{
/** The host's own top-level window on the X server named by DISPLAY: the native view an editor
    is attached to (its Window id is the view container's pointer). The host keeps its own
    connection, from before the plug-in makes its editor until the window is gone: while a client
    is connected the X server never resets, and a server that resets (Xvfb and Xorg do when their
    last client leaves, unless started with -noreset) refuses connections for a moment, the
    plug-in's own included.

    Main thread only. */
class X11Window
{
public:
    /** True when DISPLAY names an X server that accepts a connection (within the moment a
        resetting server refuses them). Connects and disconnects: prefer holding an X11Window. */
    static bool DisplayAvailable();

    /** Readies Xlib for the process, as a host must before any plug-in touches X: thread support
        (the plug-in's message and render threads share Xlib), an error handler that counts
        protocol errors instead of ending the process, and the host's handler of a lost connection
        (see HoldConnectionLossHandler). A plug-in leaves these to its host. Called by
        DisplayAvailable and the constructor; runs once. */
    static void PrepareXlib();

    /** Makes the host's handler of a lost connection to the X server the one in force, again:
        from any connection of the process (the host's, the plug-in's, its OpenGL's), a lost
        server ends the command at once through Interruption::Abandon with exit code 1, its
        temporary files removed and one line on stderr naming the display ("quillo-host: lost the
        connection to the X display :5"), instead of Xlib's own message and exit(1). Xlib holds one
        such handler for the whole process, and a plug-in's toolkit puts its own in place when its
        windowing starts (JUCE's returns, after which Xlib prints and exits as by default), so the
        host puts its own back once the plug-in has made its editor and after each turn of the
        editor's run loop. Returns true when another handler had taken its place. Any thread. */
    static bool HoldConnectionLossHandler();

    /** X protocol errors the handler counted so far (any connection in the process). */
    static unsigned long ErrorCount();

    /** Connects to the X server; the window comes with Show(). Throws HostError when DISPLAY is
        unset, names a display that cannot be opened, or one without a TrueColor visual of 16, 24
        or 32 bits on its default screen (the plug-in's toolkit draws nothing on any other). The
        display's name is what the handler of a lost connection names from then on. */
    X11Window();
    ~X11Window();

    /** Creates and maps a `width` x `height` window at (x, y) and waits until the server shows
        it; its size hints ask a window manager to keep that size (minimum = maximum), as the
        plug-in's view has a fixed size. Once only; the operations below need it. Where the server has the Composite extension
        (0.2 or later) the window is redirected before it is mapped (automatically: the server
        still shows it), so that the window and every child window in it, the plug-in's view and
        its OpenGL drawing included, draw into a pixmap of the window's own, which Grab reads
        whatever covers the window on the screen. */
    void Show(int width, int height, const std::string& title, int x = 40, int y = 40);

    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    /** The display's name as DISPLAY gives it (":5"). */
    const std::string& DisplayName() const;

    /** What the server says of the window and the child windows in it (the plug-in's view). */
    struct State
    {
        bool viewable = false; ///< mapped, and so are its ancestors
        int children = 0;
        int viewableChildren = 0;
    };
    State QueryState() const;

    /** The Window id as the view container hands it to the plug-in. */
    void* NativeHandle() const;

    /** The view's new size, for the window and its size hints. */
    void Resize(int width, int height);
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    /** Handles whatever the server sent this connection (nothing is drawn by the host: the
        plug-in's child window covers the area). */
    void ProcessEvents();

    /** The window's own picture, every child window in it included, whatever covers it: the
        window's pixmap, kept by the Composite extension. False, with the reason, when there is no
        window yet, it is not (fully) on the screen, it has another size than the view's (a window
        manager that ignores size hints resized it), the server lacks Composite (the screen's
        pixels might be another window's) or the grab fails. */
    bool Grab(RgbImage& image, std::string& reason) const;

private:
    struct Connection;
    Connection* mConnection = nullptr;
    unsigned long mWindow = 0;
    bool mRedirected = false;
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;
};
} // namespace aaxhost
