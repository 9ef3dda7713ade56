#pragma once

#include "ACF/CACFUnknown.h"
#include "AAX_IACFEffectGUI.h"

/** The plug-in's editor object: the host-facing GUI interface (primary base) with reference
    counting. Answers IID_IAAXEffectGUIV1 with its host-facing interface. */
class AAX_IEffectGUI : public AAX_IACFEffectGUI, public CACFUnknown
{
public:
    ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    ACFRESULT InternalQueryInterface(const acfIID& iid, void** out) override;
};
