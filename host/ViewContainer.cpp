#include "ViewContainer.h"

#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
namespace
{
std::string IdList(const AAX_CParamID* parameterIDs, uint32_t count)
{
    std::string text = "[";
    for (uint32_t i = 0; parameterIDs != nullptr && i < count; ++i)
        text += (i == 0 ? "" : " ") + Quote(parameterIDs[i]);
    return text + "]";
}
} // namespace

ViewContainer::ViewContainer(std::shared_ptr<CallHook> hook)
    : HostUnknown("view", std::move(hook))
{
}

void* ViewContainer::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXViewContainerV1 || iid == IID_IAAXViewContainerV2)
        return static_cast<AAX_IACFViewContainer_V2*>(this);
    return nullptr;
}

int32_t ViewContainer::GetType()
{
    if (Enter("GetType"))
        return AAX_eViewContainer_Type_NULL;
    return type;
}

void* ViewContainer::GetPtr()
{
    if (Enter("GetPtr"))
        return nullptr;
    return nativeView;
}

AAX_Result ViewContainer::GetModifiers(uint32_t* out)
{
    return Answer("GetModifiers", out, modifiers);
}

AAX_Result ViewContainer::SetViewSize(AAX_Point& requested)
{
    if (auto forced = Enter("SetViewSize", [&] { return Real(requested.vert) + ", " + Real(requested.horz); }))
        return *forced;
    if (!(requested.vert >= 1.0f && requested.horz >= 1.0f))
        return AAX_ERROR_INVALID_VIEW_SIZE;
    size = requested;
    if (onSetViewSize)
        onSetViewSize(size);
    return AAX_SUCCESS;
}

AAX_Result ViewContainer::HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t mods)
{
    if (auto forced = Enter("HandleParameterMouseDown", [&] { return Quote(parameterID) + ", " + Int(mods); }))
        return *forced;
    return mouseResult;
}

AAX_Result ViewContainer::HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t mods)
{
    if (auto forced = Enter("HandleParameterMouseDrag", [&] { return Quote(parameterID) + ", " + Int(mods); }))
        return *forced;
    return mouseResult;
}

AAX_Result ViewContainer::HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t mods)
{
    if (auto forced = Enter("HandleParameterMouseUp", [&] { return Quote(parameterID) + ", " + Int(mods); }))
        return *forced;
    return mouseResult;
}

AAX_Result ViewContainer::HandleMultipleParametersMouseDown(const AAX_CParamID* parameterIDs, uint32_t count,
                                                            uint32_t mods)
{
    if (auto forced = Enter("HandleMultipleParametersMouseDown",
                            [&] { return IdList(parameterIDs, count) + ", " + Int(mods); }))
        return *forced;
    return mouseResult;
}

AAX_Result ViewContainer::HandleMultipleParametersMouseDrag(const AAX_CParamID* parameterIDs, uint32_t count,
                                                            uint32_t mods)
{
    if (auto forced = Enter("HandleMultipleParametersMouseDrag",
                            [&] { return IdList(parameterIDs, count) + ", " + Int(mods); }))
        return *forced;
    return mouseResult;
}

AAX_Result ViewContainer::HandleMultipleParametersMouseUp(const AAX_CParamID* parameterIDs, uint32_t count,
                                                          uint32_t mods)
{
    if (auto forced = Enter("HandleMultipleParametersMouseUp",
                            [&] { return IdList(parameterIDs, count) + ", " + Int(mods); }))
        return *forced;
    return mouseResult;
}
} // namespace aaxhost
