#pragma once

#include "AAX_IEffectGUI.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IString.h"

/** Minimal plug-in objects for exercising the object model: every host-facing operation answers
    -20009, so only reference counting and interface lookup carry behaviour. */

class TestEffectParameters : public AAX_IEffectParameters
{
public:
    AAX_Result Initialize(IACFUnknown*) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result Uninitialize() override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result NotificationReceived(AAX_CTypeID, const void*, uint32_t) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetNumberOfParameters(int32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetMasterBypassParameter(AAX_IString*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterIsAutomatable(AAX_CParamID, AAX_CBoolean*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterNumberOfSteps(AAX_CParamID, int32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterName(AAX_CParamID, AAX_IString*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterNameOfLength(AAX_CParamID, AAX_IString*, int32_t) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID, double*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID, double) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterType(AAX_CParamID, AAX_EParameterType*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterOrientation(AAX_CParamID, int32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameter(AAX_CParamID, AAX_IParameter**) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterIndex(AAX_CParamID, int32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterIDFromIndex(int32_t, AAX_IString*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterValueInfo(AAX_CParamID, int32_t, int32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterValueFromString(AAX_CParamID, double*, const AAX_IString&) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterStringFromValue(AAX_CParamID, double, AAX_IString*, int32_t) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterValueString(AAX_CParamID, AAX_IString*, int32_t) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetParameterNormalizedValue(AAX_CParamID, double*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result SetParameterNormalizedValue(AAX_CParamID, double) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result SetParameterNormalizedRelative(AAX_CParamID, double) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result TouchParameter(AAX_CParamID) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result ReleaseParameter(AAX_CParamID) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result UpdateParameterTouch(AAX_CParamID, AAX_CBoolean) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result UpdateParameterNormalizedValue(AAX_CParamID, double, AAX_EUpdateSource) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID, double) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GenerateCoefficients() override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result ResetFieldData(AAX_CFieldIndex, void*, uint32_t) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetNumberOfChunks(int32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetChunkIDFromIndex(int32_t, AAX_CTypeID*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetChunkSize(AAX_CTypeID, uint32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetChunk(AAX_CTypeID, AAX_SPlugInChunk*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result SetChunk(AAX_CTypeID, const AAX_SPlugInChunk*) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result CompareActiveChunk(const AAX_SPlugInChunk*, AAX_CBoolean*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetNumberOfChanges(int32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result TimerWakeup() override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetCurveData(AAX_CTypeID, const float*, uint32_t, float*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetCustomData(AAX_CTypeID, uint32_t, void*, uint32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result SetCustomData(AAX_CTypeID, uint32_t, const void*) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result DoMIDITransfers() override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result RenderAudio_Hybrid(AAX_SHybridRenderInfo*) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result UpdateMIDINodes(AAX_CFieldIndex, AAX_CMidiPacket&) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result UpdateControlMIDINodes(AAX_CTypeID, AAX_CMidiPacket&) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetCurveDataMeterIds(AAX_CTypeID, uint32_t*, uint32_t*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetCurveDataDisplayRange(AAX_CTypeID, float*, float*, float*, float*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result UpdatePageTable(uint32_t, int32_t, IACFUnknown*, IACFUnknown*) const override { return AAX_ERROR_UNIMPLEMENTED; }
};

class TestEffectGUI : public AAX_IEffectGUI
{
public:
    AAX_Result Initialize(IACFUnknown*) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result Uninitialize() override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result NotificationReceived(AAX_CTypeID, const void*, uint32_t) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result SetViewContainer(IACFUnknown*) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetViewSize(AAX_Point*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result Draw(AAX_Rect*) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result TimerWakeup() override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result ParameterUpdated(AAX_CParamID) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result GetCustomLabel(AAX_EPlugInStrings, AAX_IString*) const override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result SetControlHighlightInfo(AAX_CParamID, AAX_CBoolean, AAX_EHighlightColor) override { return AAX_ERROR_UNIMPLEMENTED; }
};
