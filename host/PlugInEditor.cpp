#include "PlugInEditor.h"

#include <algorithm>
#include <cmath>

#include "AAX_UIDs.h"
#include "HostError.h"
#include "PlugInInstance.h"
#include "StandInHost.h"

namespace aaxhost
{
namespace
{
using CreateProc = IACFUnknown* (*)();
}

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

void PlugInEditor::Run(int milliseconds)
{
    mHost.CheckThread("running an editor");
    int remaining = std::max(0, milliseconds);
    do
    {
        const int slice = std::min(remaining, 10);
        mHost.Pump(slice);
        if (mWindow != nullptr)
            mWindow->ProcessEvents();
        remaining -= slice;
    } while (remaining > 0);
}
} // namespace aaxhost
