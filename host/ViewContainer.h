#pragma once

#include <functional>

#include "AAX_IACFViewContainer.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's view for an editor (both versions). On this platform it reports the HWND-style
    view type; the native view pointer is whatever the test sets. */
class ViewContainer final : public HostUnknown<AAX_IACFViewContainer_V2>
{
public:
    explicit ViewContainer(std::shared_ptr<CallHook> hook);

    int32_t GetType() override;
    void* GetPtr() override;
    AAX_Result GetModifiers(uint32_t* modifiers) override;

    /** Accepts any size of at least 1 x 1 pixels, keeps it and tells onSetViewSize. */
    AAX_Result SetViewSize(AAX_Point& size) override;

    AAX_Result HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t modifiers) override;
    AAX_Result HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t modifiers) override;
    AAX_Result HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t modifiers) override;
    AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID* parameterIDs, uint32_t count,
                                                 uint32_t modifiers) override;
    AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID* parameterIDs, uint32_t count,
                                                 uint32_t modifiers) override;
    AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID* parameterIDs, uint32_t count,
                                               uint32_t modifiers) override;

    int32_t type = AAX_eViewContainer_Type_HWND;
    void* nativeView = nullptr;
    uint32_t modifiers = 0;
    AAX_Point size { 0.0f, 0.0f };

    /** Called with every accepted size (the host's window follows the plug-in's view). */
    std::function<void(const AAX_Point&)> onSetViewSize;

    /** What HandleParameterMouse* answer: by default the host does not consume the event. */
    AAX_Result mouseResult = AAX_ERROR_UNIMPLEMENTED;

protected:
    void* FindInterface(const acfIID& iid) override;
};
} // namespace aaxhost
