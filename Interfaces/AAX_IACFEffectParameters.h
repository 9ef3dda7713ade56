#pragma once

#include "ACF/IACFUnknown.h"
#include "AAX.h"

class AAX_IParameter;
class AAX_IString;

/** The plug-in's data model of one instance as the host calls it: parameters, state chunks,
    notifications and coefficients. Parameter ids are zero-terminated texts; normalised values
    run from 0 to 1. Non-real-time host threads. */
class AAX_IACFEffectParameters : public IACFUnknown
{
public:
    virtual AAX_Result Initialize(IACFUnknown* context) = 0;
    virtual AAX_Result Uninitialize() = 0;
    virtual AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) = 0;

    virtual AAX_Result GetNumberOfParameters(int32_t* count) const = 0;
    virtual AAX_Result GetMasterBypassParameter(AAX_IString* parameterID) const = 0;
    virtual AAX_Result GetParameterIsAutomatable(AAX_CParamID parameterID, AAX_CBoolean* automatable) const = 0;
    virtual AAX_Result GetParameterNumberOfSteps(AAX_CParamID parameterID, int32_t* steps) const = 0;
    virtual AAX_Result GetParameterName(AAX_CParamID parameterID, AAX_IString* name) const = 0;
    virtual AAX_Result GetParameterNameOfLength(AAX_CParamID parameterID, AAX_IString* name, int32_t length) const = 0;
    virtual AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID parameterID, double* value) const = 0;
    virtual AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID parameterID, double value) = 0;
    virtual AAX_Result GetParameterType(AAX_CParamID parameterID, AAX_EParameterType* type) const = 0;
    virtual AAX_Result GetParameterOrientation(AAX_CParamID parameterID, int32_t* orientation) const = 0;
    virtual AAX_Result GetParameter(AAX_CParamID parameterID, AAX_IParameter** parameter) = 0;
    virtual AAX_Result GetParameterIndex(AAX_CParamID parameterID, int32_t* index) const = 0;
    virtual AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* parameterID) const = 0;
    virtual AAX_Result GetParameterValueInfo(AAX_CParamID parameterID, int32_t selector, int32_t* value) const = 0;
    virtual AAX_Result GetParameterValueFromString(AAX_CParamID parameterID, double* value,
                                                   const AAX_IString& text) const = 0;
    virtual AAX_Result GetParameterStringFromValue(AAX_CParamID parameterID, double value, AAX_IString* text,
                                                   int32_t maxLength) const = 0;
    virtual AAX_Result GetParameterValueString(AAX_CParamID parameterID, AAX_IString* text,
                                               int32_t maxLength) const = 0;
    virtual AAX_Result GetParameterNormalizedValue(AAX_CParamID parameterID, double* value) const = 0;
    virtual AAX_Result SetParameterNormalizedValue(AAX_CParamID parameterID, double value) = 0;
    virtual AAX_Result SetParameterNormalizedRelative(AAX_CParamID parameterID, double delta) = 0;
    virtual AAX_Result TouchParameter(AAX_CParamID parameterID) = 0;
    virtual AAX_Result ReleaseParameter(AAX_CParamID parameterID) = 0;
    virtual AAX_Result UpdateParameterTouch(AAX_CParamID parameterID, AAX_CBoolean touched) = 0;
    virtual AAX_Result UpdateParameterNormalizedValue(AAX_CParamID parameterID, double value,
                                                      AAX_EUpdateSource source) = 0;
    virtual AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID parameterID, double delta) = 0;
    virtual AAX_Result GenerateCoefficients() = 0;
    virtual AAX_Result ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t size) const = 0;

    virtual AAX_Result GetNumberOfChunks(int32_t* count) const = 0;
    virtual AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) const = 0;
    virtual AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) const = 0;
    virtual AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const = 0;
    virtual AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk) = 0;
    virtual AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* isEqual) const = 0;
    virtual AAX_Result GetNumberOfChanges(int32_t* count) const = 0;

    virtual AAX_Result TimerWakeup() = 0;
    virtual AAX_Result GetCurveData(AAX_CTypeID curveType, const float* values, uint32_t count,
                                    float* outValues) const = 0;
    virtual AAX_Result GetCustomData(AAX_CTypeID dataBlockID, uint32_t size, void* data,
                                     uint32_t* sizeWritten) const = 0;
    virtual AAX_Result SetCustomData(AAX_CTypeID dataBlockID, uint32_t size, const void* data) = 0;
    virtual AAX_Result DoMIDITransfers() = 0;
};

/** Second version: hybrid rendering and MIDI node updates. */
class AAX_IACFEffectParameters_V2 : public AAX_IACFEffectParameters
{
public:
    virtual AAX_Result RenderAudio_Hybrid(AAX_SHybridRenderInfo* info) = 0;
    virtual AAX_Result UpdateMIDINodes(AAX_CFieldIndex field, AAX_CMidiPacket& packet) = 0;
    virtual AAX_Result UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& packet) = 0;
};

/** Third version: curve display details. */
class AAX_IACFEffectParameters_V3 : public AAX_IACFEffectParameters_V2
{
public:
    virtual AAX_Result GetCurveDataMeterIds(AAX_CTypeID curveType, uint32_t* xMeterID, uint32_t* yMeterID) const = 0;
    virtual AAX_Result GetCurveDataDisplayRange(AAX_CTypeID curveType, float* xMin, float* xMax, float* yMin,
                                                float* yMax) const = 0;
};

/** Fourth version: control-surface page tables. */
class AAX_IACFEffectParameters_V4 : public AAX_IACFEffectParameters_V3
{
public:
    /** Fills the host page table `table` of type `tableType` for pages of `tablePageSize` slots;
        `host` is the host's context. */
    virtual AAX_Result UpdatePageTable(uint32_t tableType, int32_t tablePageSize, IACFUnknown* host,
                                       IACFUnknown* table) const = 0;
};
