#include "PlugInEditor.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "AAX_UIDs.h"
#include "HostError.h"
#include "Interruption.h"
#include "PlugInInstance.h"
#include "StandInHost.h"

namespace aaxhost
{
namespace
{
using CreateProc = IACFUnknown* (*)();

/** The one colour of a picture as "#RRGGBB", or empty when it has more than one. */
std::string UniformColour(const RgbImage& image)
{
    const auto& pixels = image.pixels;
    for (size_t i = 3; i + 2 < pixels.size(); i += 3)
        if (!std::equal(pixels.begin(), pixels.begin() + 3, pixels.begin() + long(i)))
            return {};
    char text[8] = "";
    if (pixels.size() >= 3)
        std::snprintf(text, sizeof(text), "#%02X%02X%02X", pixels[0], pixels[1], pixels[2]);
    return text;
}
} // namespace

PlugInEditor::PlugInEditor(StandInHost& host, PlugInInstance& instance)
    : mHost(host)
    , mInstance(instance)
{
    host.CheckThread("opening an editor");
    instance.Effect(); // the instance must be open
    if (host.Effect().createGUI == nullptr)
        throw HostError("the plug-in has no GUI factory", AAX_ERROR_NULL_OBJECT);
    // Connected before the plug-in makes its editor and until the window is gone: the server
    // cannot reset (and refuse the plug-in's own connection) while a client is there.
    mWindow = std::make_unique<X11Window>();

    auto* const create = reinterpret_cast<CreateProc>(host.Effect().createGUI);
    IACFUnknown* const made = create();
    if (made == nullptr)
        throw HostError("the GUI factory made nothing", AAX_ERROR_NULL_OBJECT);
    if (mGUI.QueryFrom(made, IID_IAAXEffectGUIV1) != ACF_OK || !mGUI)
    {
        mGUI.reset();
        made->AddRef();
        made->Release();
        throw HostError("the GUI factory's object is no GUI", AAX_ERROR_NULL_OBJECT);
    }

    try
    {
        const AAX_Result initialized = mGUI->Initialize(instance.Context().Unknown());
        host.Pump(0);
        // The plug-in's windowing may have started here and put its own handler of a lost X
        // connection in place of the host's (JUCE's returns, and Xlib then exits with a message
        // of its own): the host's is put back at each step from here on.
        X11Window::HoldConnectionLossHandler();
        if (initialized != AAX_SUCCESS)
            throw HostError("the editor's Initialize failed", initialized);

        const AAX_Result sized = mGUI->GetViewSize(&mInitialSize);
        if (sized != AAX_SUCCESS)
            throw HostError("the editor reports no view size", sized);
        const int width = int(std::lround(mInitialSize.horz));
        const int height = int(std::lround(mInitialSize.vert));
        if (width < 1 || height < 1 || width > 8192 || height > 8192)
            throw HostError("the editor's view size is out of range", AAX_ERROR_INVALID_VIEW_SIZE);

        mWindow->Show(width, height, "Quillo");
        ViewContainer& view = instance.Context().GetView();
        view.type = AAX_eViewContainer_Type_HWND;
        view.nativeView = mWindow->NativeHandle();
        view.onSetViewSize = [window = mWindow.get()](const AAX_Point& size) {
            window->Resize(int(std::lround(size.horz)), int(std::lround(size.vert)));
        };

        const AAX_Result attached = mGUI->SetViewContainer(instance.Context().ViewUnknown());
        mAttached = true;
        host.Pump(0);
        X11Window::HoldConnectionLossHandler();
        if (attached != AAX_SUCCESS)
            throw HostError("SetViewContainer failed", attached);
    }
    catch (...)
    {
        Close();
        throw;
    }
}

PlugInEditor::~PlugInEditor()
{
    try
    {
        Close();
    }
    catch (const HostError&)
    {
    }
}

void PlugInEditor::Close()
{
    if (mGUI)
    {
        mHost.CheckThread("closing an editor");
        if (mAttached)
            mGUI->SetViewContainer(nullptr);
        mAttached = false;
        mHost.Pump(0);
        mGUI->Uninitialize();
        mGUI.reset();
        mHost.Pump(0);
        X11Window::HoldConnectionLossHandler();
    }
    ViewContainer& view = mInstance.Context().GetView();
    view.onSetViewSize = nullptr;
    view.nativeView = nullptr;
    mWindow.reset();
}

AAX_IACFEffectGUI& PlugInEditor::GUI() const
{
    if (!mGUI)
        throw HostError("the editor is closed", AAX_ERROR_NOT_INITIALIZED);
    return *mGUI.get();
}

AAX_Result PlugInEditor::GetViewSize(AAX_Point& size) const
{
    mHost.CheckThread("GetViewSize");
    return GUI().GetViewSize(&size);
}

void PlugInEditor::Turn(int milliseconds)
{
    // Once a turn, so that an interrupted command stops between the plug-in's messages, never
    // inside one.
    Interruption::ThrowIfRequested();
    mHost.Pump(milliseconds);
    // Again after each turn: the plug-in's messages may start its windowing anew (and so put its
    // own handler in place) at any time.
    X11Window::HoldConnectionLossHandler();
    if (mWindow != nullptr)
        mWindow->ProcessEvents();
}

void PlugInEditor::Run(int milliseconds)
{
    mHost.CheckThread("running an editor");
    int remaining = std::max(0, milliseconds);
    do
    {
        const int slice = std::min(remaining, 10);
        Turn(slice);
        remaining -= slice;
    } while (remaining > 0);
}

bool PlugInEditor::Grab(RgbImage& image, std::string& reason) const
{
    if (mWindow == nullptr)
    {
        reason = "the editor is closed";
        return false;
    }
    return mWindow->Grab(image, reason);
}

bool PlugInEditor::GrabWhenDrawn(RgbImage& image, std::string& reason, int milliseconds)
{
    mHost.CheckThread("grabbing an editor");
    if (mWindow == nullptr)
    {
        reason = "the editor is closed";
        return false;
    }
    char within[32];
    std::snprintf(within, sizeof(within), "%g s", std::max(0, milliseconds) / 1000.0);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, milliseconds));
    for (;;)
    {
        const X11Window::State state = mWindow->QueryState();
        std::string colour;
        if (state.viewable && state.viewableChildren > 0)
        {
            // A screen too small for the window stays so: no point in waiting.
            if (!mWindow->Grab(image, reason))
                return false;
            colour = UniformColour(image);
            if (colour.empty())
                return true;
        }
        if (std::chrono::steady_clock::now() >= giveUp)
        {
            if (!state.viewable)
                reason = "the editor's window was not shown on display " + mWindow->DisplayName() + " within " + within;
            else if (state.children == 0)
                reason = std::string("the plug-in made no view in the editor's window within ") + within;
            else if (state.viewableChildren == 0)
                reason = std::string("the plug-in's view in the editor's window was not shown within ") + within;
            else
                reason = "the editor's window stayed one colour (" + colour + ") for " + within
                       + ": the plug-in's view was not drawn";
            return false;
        }
        Turn(10);
    }
}
} // namespace aaxhost
