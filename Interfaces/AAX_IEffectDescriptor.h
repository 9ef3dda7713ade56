#pragma once

#include "AAX.h"

class AAX_IComponentDescriptor;
class AAX_IPropertyMap;

/** The description of one effect: names, category, factory procedures, algorithm components,
    meters and resources. Owned by the collection that created it. Registration thread only. */
class AAX_IEffectDescriptor
{
public:
    virtual ~AAX_IEffectDescriptor() = default;

    /** A new, empty component descriptor owned by this effect descriptor. */
    virtual AAX_IComponentDescriptor* NewComponentDescriptor() = 0;

    virtual AAX_Result AddComponent(AAX_IComponentDescriptor* component) = 0;

    /** Adds a display name; the host uses the longest that fits. */
    virtual AAX_Result AddName(const char* name) = 0;

    /** Adds an AAX_EPlugInCategory. */
    virtual AAX_Result AddCategory(uint32_t category) = 0;

    virtual AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameterID) = 0;

    /** Registers a factory procedure: kAAX_ProcPtrID_Create_EffectParameters or
        kAAX_ProcPtrID_Create_EffectGUI. */
    virtual AAX_Result AddProcPtr(void* procedure, AAX_CProcPtrID procID) = 0;

    /** A new property map owned by this descriptor; null when the host gives none. */
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;

    virtual AAX_Result SetProperties(AAX_IPropertyMap* properties) = 0;
    virtual AAX_Result AddResourceInfo(AAX_EResourceType type, const char* info) = 0;
    virtual AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name, AAX_IPropertyMap* properties) = 0;
    virtual AAX_Result AddControlMIDINode(AAX_CTypeID nodeID, AAX_EMIDINodeType type, const char* name,
                                          uint32_t channelMask) = 0;
};
