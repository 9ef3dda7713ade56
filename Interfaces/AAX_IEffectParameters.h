#pragma once

#include "ACF/CACFUnknown.h"
#include "AAX_IACFEffectParameters.h"

/** The plug-in's data-model object: the host-facing effect-parameters interface (primary base)
    with reference counting. Answers the four effect-parameters interface ids with its
    host-facing interface. */
class AAX_IEffectParameters : public AAX_IACFEffectParameters_V4, public CACFUnknown
{
public:
    ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    ACFRESULT InternalQueryInterface(const acfIID& iid, void** out) override;
};
