#pragma once

#include "AAX.h"
#include "AAX_IEffectGUI.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IViewContainer.h"

class AAX_IController;
class AAX_ITransport;

/** The base of a plug-in instance's editor object. It keeps what the editor needs from the host
    (controller, the instance's effect parameters, the view container, transport) and leaves the
    view itself to three operations of the derived class: CreateViewContents builds it,
    CreateViewContainer attaches it to the host's view, DeleteViewContainer detaches and destroys
    it.

    Host order: construction, Initialize(context), SetViewContainer(view), parameter updates,
    SetViewContainer(null), Uninitialize(), final Release; attaching and detaching may repeat.
    The view contents always go before what they use: before the effect-parameters reference is
    dropped, and before a view container is replaced or let go. The destructor calls none of the
    derived class's operations (they are gone by then): a derived class that owns view contents
    deletes them in its own destructor.

    Editor (message) thread only; nothing here is locked.
*/
class AAX_CEffectGUI : public AAX_IEffectGUI
{
public:
    AAX_CEffectGUI();
    ~AAX_CEffectGUI() override;

    AAX_CEffectGUI(const AAX_CEffectGUI&) = delete;
    AAX_CEffectGUI& operator=(const AAX_CEffectGUI&) = delete;

    /** Creates the controller wrapper (also for a null context, which then fails with -20011),
        takes the context's effect parameters and transport and calls CreateViewContents. A
        second call starts over from Uninitialize. */
    AAX_Result Initialize(IACFUnknown* context) override;

    /** Deletes the view contents (DeleteViewContainer), then lets go of the view container, the
        effect parameters, the controller and the transport; a second call does nothing. */
    AAX_Result Uninitialize() override;

    AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;

    /** A view attaches the editor to it (a view already held is detached first) and reports
        every parameter once through ParameterUpdated; null detaches it. 0 in both cases. */
    AAX_Result SetViewContainer(IACFUnknown* viewContainer) override;

    /** Writes nothing: derived classes report their size. 0. */
    AAX_Result GetViewSize(AAX_Point* size) const override;

    AAX_Result Draw(AAX_Rect* area) override;
    AAX_Result TimerWakeup() override;

    /** Hook for a parameter whose value changed; 0. */
    AAX_Result ParameterUpdated(AAX_CParamID parameterID) override;

    /** No custom labels: -20004. */
    AAX_Result GetCustomLabel(AAX_EPlugInStrings selector, AAX_IString* label) const override;
    AAX_Result SetControlHighlightInfo(AAX_CParamID parameterID, AAX_CBoolean highlighted,
                                       AAX_EHighlightColor colour) override;

    /** The instance's effect parameters from the context, null before Initialize or when the
        context offers none. */
    AAX_IEffectParameters* GetEffectParameters() { return mEffectParameters; }
    const AAX_IEffectParameters* GetEffectParameters() const { return mEffectParameters; }

    /** The current view container, or null. */
    AAX_IViewContainer* GetViewContainer() { return mViewContainer; }
    const AAX_IViewContainer* GetViewContainer() const { return mViewContainer; }

    /** The view container's AAX_EViewContainer_Type, 0 without one. */
    int32_t GetViewContainerType();

    /** The native view to attach to, or null. */
    void* GetViewContainerPtr();

    AAX_IController* GetController() { return mController; }
    const AAX_IController* GetController() const { return mController; }
    AAX_ITransport* Transport() { return mTransport; }
    const AAX_ITransport* Transport() const { return mTransport; }

protected:
    /** Builds the editor's view (called by Initialize). */
    virtual void CreateViewContents() = 0;

    /** Attaches the view to GetViewContainerPtr() (called when a view arrives). */
    virtual void CreateViewContainer() = 0;

    /** Detaches and destroys the view; may be called when nothing is attached. */
    virtual void DeleteViewContainer() = 0;

    /** Calls ParameterUpdated once for every parameter of the effect, in index order. */
    virtual void UpdateAllParameters();

private:
    /** Lets go of everything held, without calling the derived class. */
    void ReleaseHostState();

    AAX_IController* mController = nullptr;
    AAX_IEffectParameters* mEffectParameters = nullptr;
    AAX_IViewContainer* mViewContainer = nullptr;
    AAX_ITransport* mTransport = nullptr;
    bool mViewContentsCreated = false;
};
