#pragma once

#include <map>

#include "ACF/ACFPtr.h"
#include "AAX_IACFDescriptionHost.h"
#include "AAX_IACFPropertyMap.h"
#include "AAX_IPropertyMap.h"

/** AAX_IPropertyMap over a host property map, in whichever versions the host offers.

    Without the host's third version the map keeps the process-procedure pointer properties
    (36 to 42) itself. Without a description host the input and output stem formats are checked
    before they reach the host. Used on the registration thread only.
*/
class AAX_VPropertyMap : public AAX_IPropertyMap
{
public:
    /** A new map created through the host's component factory; null when `host` is null or has
        no factory. A map whose host object could not be created is still returned; it answers as
        one whose versions are all missing. */
    static AAX_VPropertyMap* Create(IACFUnknown* host);

    /** A new map over an existing host map (never null). */
    static AAX_VPropertyMap* Acquire(IACFUnknown* hostMap);

    ~AAX_VPropertyMap() override;

    bool GetProperty(AAX_EProperty property, AAX_CPropertyValue* value) const override;
    bool GetPointerProperty(AAX_EProperty property, const void** value) const override;
    AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) override;
    AAX_Result AddPointerProperty(AAX_EProperty property, const void* value) override;
    AAX_Result AddPointerProperty(AAX_EProperty property, const char* text) override;
    AAX_Result RemoveProperty(AAX_EProperty property) override;
    AAX_Result AddPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad* ids,
                                      uint32_t count) override;
    bool GetPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad** ids,
                                uint32_t* count) const override;

    /** The third-version host map if held, else the second, else the first; null when none. */
    IACFUnknown* GetIUnknown() const override;

    /** Creates the host map through `factory` and looks for a description host on `owner`, the
        factory and the map. A null factory does nothing. */
    void InitWithFactory(IACFComponentFactory* factory, IACFUnknown* owner);

    /** Takes the versions `map` offers and looks for a description host on `owner`, then on
        `map`. A null map does nothing. */
    void InitWithPropertyMap(IACFUnknown* map, IACFUnknown* owner);

    /** True when a stem-format value names a layout every host supports (index 0 to 12), or is
        exactly "none" or "any". */
    static bool IsValidStemFormat(AAX_CPropertyValue value);

private:
    AAX_VPropertyMap() = default;

    ACFPtr<AAX_IACFPropertyMap> mIACFPropertyMap;
    ACFPtr<AAX_IACFPropertyMap_V2> mIACFPropertyMapV2;
    ACFPtr<AAX_IACFPropertyMap_V3> mIACFPropertyMapV3;
    ACFPtr<AAX_IACFDescriptionHost> mIACFDescriptionHost;
    std::map<AAX_EProperty, const void*> mLocalPointerProperties;
};
