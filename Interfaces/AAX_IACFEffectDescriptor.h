#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

/** The host's description of one effect. */
class AAX_IACFEffectDescriptor : public IACFUnknown
{
public:
    virtual AAX_Result AddComponent(IACFUnknown* componentDescriptor) = 0;
    virtual AAX_Result AddName(const char* name) = 0;
    virtual AAX_Result AddCategory(uint32_t category) = 0;
    virtual AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameterID) = 0;
    virtual AAX_Result AddProcPtr(void* procedure, AAX_CProcPtrID procID) = 0;
    virtual AAX_Result SetProperties(IACFUnknown* properties) = 0;
    virtual AAX_Result AddResourceInfo(AAX_EResourceType type, const char* info) = 0;
    virtual AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name, IACFUnknown* properties) = 0;
};

/** Second version: control MIDI nodes. */
class AAX_IACFEffectDescriptor_V2 : public AAX_IACFEffectDescriptor
{
public:
    virtual AAX_Result AddControlMIDINode(AAX_CTypeID nodeID, AAX_EMIDINodeType type, const char* name,
                                          uint32_t channelMask) = 0;
};
