#pragma once

#include <memory>
#include <string>

#include "ACF/ACFPtr.h"
#include "AAX_IACFEffectGUI.h"
#include "PngWriter.h"
#include "X11Window.h"

namespace aaxhost
{
class PlugInInstance;
class StandInHost;

/** An instance's editor in the stand-in host: the GUI object made by the GUI factory,
    initialised with the instance's context, asked for its view size, and attached to a host
    window of that size as a view container of the HWND-style type (its pointer: the X Window).

    Main thread only. The editor lives while the instance is open; close it first. */
class PlugInEditor
{
public:
    /** Connects to the X server, then creates, initialises and attaches the editor to a new
        X11Window on that connection, which stays open until the window closes. Throws HostError
        when there is no display, no GUI factory, or a step fails (nothing is left alive then).
        From the plug-in's first step on, and after each turn of the run loop, the host's handler
        of a lost X connection is the one in force (X11Window::HoldConnectionLossHandler). */
    PlugInEditor(StandInHost& host, PlugInInstance& instance);
    ~PlugInEditor();

    PlugInEditor(const PlugInEditor&) = delete;
    PlugInEditor& operator=(const PlugInEditor&) = delete;

    /** Detaches (SetViewContainer(null)), uninitializes and releases the GUI, then closes the
        window. Idempotent. */
    void Close();
    bool IsOpen() const { return static_cast<bool>(mGUI); }

    AAX_IACFEffectGUI& GUI() const;
    X11Window& Window() const { return *mWindow; }

    /** The view size the GUI reports (GetViewSize), as first asked before attaching. */
    AAX_Point InitialViewSize() const { return mInitialSize; }
    AAX_Result GetViewSize(AAX_Point& size) const;

    /** Lets the editor run for `milliseconds`: the module's message loop (timers, repaints, X
        events) and the host window's events, in turns of about 10 ms. Throws Interrupted between
        turns when the user interrupted the command. */
    void Run(int milliseconds);

    /** What the window shows now (see X11Window::Grab). */
    bool Grab(RgbImage& image, std::string& reason) const;
    bool Grab(RgbImage& image) const
    {
        std::string reason;
        return Grab(image, reason);
    }

    /** What the window shows once the editor is on the screen: runs the editor (as Run does) until
        the host window and the plug-in's view in it are viewable and the picture is drawn (not
        one colour, which is all an undrawn window shows). False, with what is missing, when that
        takes longer than `milliseconds`, or at once when the screen cannot show the window or the
        window does not have the view's size. */
    bool GrabWhenDrawn(RgbImage& image, std::string& reason, int milliseconds = 5000);

private:
    /** One turn of the run loop: the module's messages for up to `milliseconds`, then the window's
        events. */
    void Turn(int milliseconds);

    StandInHost& mHost;
    PlugInInstance& mInstance;
    ACFPtr<AAX_IACFEffectGUI> mGUI;
    std::unique_ptr<X11Window> mWindow;
    AAX_Point mInitialSize { 0.0f, 0.0f };
    bool mAttached = false;
};
} // namespace aaxhost
