#include "AAX_VViewContainer.h"

#include "AAX_UIDs.h"

AAX_VViewContainer::AAX_VViewContainer(IACFUnknown* view)
{
    if (view == nullptr)
        return;

    mIViewContainer.QueryFrom(view, IID_IAAXViewContainerV1);
    mIViewContainerV2.QueryFrom(view, IID_IAAXViewContainerV2);
}

AAX_VViewContainer::~AAX_VViewContainer() = default;

int32_t AAX_VViewContainer::GetType()
{
    if (!mIViewContainer)
        return AAX_eViewContainer_Type_NULL;
    return mIViewContainer->GetType();
}

void* AAX_VViewContainer::GetPtr()
{
    if (!mIViewContainer)
        return nullptr;
    return mIViewContainer->GetPtr();
}

AAX_Result AAX_VViewContainer::GetModifiers(uint32_t* modifiers)
{
    if (!mIViewContainer)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIViewContainer->GetModifiers(modifiers);
}

AAX_Result AAX_VViewContainer::SetViewSize(AAX_Point& size)
{
    if (!mIViewContainer)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIViewContainer->SetViewSize(size);
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t modifiers)
{
    if (!mIViewContainer)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIViewContainer->HandleParameterMouseDown(parameterID, modifiers);
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t modifiers)
{
    if (!mIViewContainer)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIViewContainer->HandleParameterMouseDrag(parameterID, modifiers);
}

AAX_Result AAX_VViewContainer::HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t modifiers)
{
    if (!mIViewContainer)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIViewContainer->HandleParameterMouseUp(parameterID, modifiers);
}

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseDown(const AAX_CParamID* parameterIDs, uint32_t count,
                                                                 uint32_t modifiers)
{
    if (!mIViewContainerV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIViewContainerV2->HandleMultipleParametersMouseDown(parameterIDs, count, modifiers);
}

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseDrag(const AAX_CParamID* parameterIDs, uint32_t count,
                                                                 uint32_t modifiers)
{
    if (!mIViewContainerV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIViewContainerV2->HandleMultipleParametersMouseDrag(parameterIDs, count, modifiers);
}

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseUp(const AAX_CParamID* parameterIDs, uint32_t count,
                                                               uint32_t modifiers)
{
    if (!mIViewContainerV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIViewContainerV2->HandleMultipleParametersMouseUp(parameterIDs, count, modifiers);
}
