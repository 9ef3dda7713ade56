#pragma once

#include "ACF/ACFPtr.h"
#include "AAX_IACFViewContainer.h"
#include "AAX_IViewContainer.h"

/** AAX_IViewContainer over the host's view. Without the first version GetType gives 0, GetPtr
    null and every other operation -20009 (SetViewSize included: a dropped resize is a failure);
    without the second version the multiple-parameter operations give -20009. */
class AAX_VViewContainer : public AAX_IViewContainer
{
public:
    explicit AAX_VViewContainer(IACFUnknown* view);
    ~AAX_VViewContainer() override;

    int32_t GetType() override;
    void* GetPtr() override;
    AAX_Result GetModifiers(uint32_t* modifiers) override;
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

private:
    ACFPtr<AAX_IACFViewContainer> mIViewContainer;
    ACFPtr<AAX_IACFViewContainer_V2> mIViewContainerV2;
};
