#include "AAX_CEffectParameters.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "AAX_HostFacingGuard.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VController.h"
#include "AAX_VPageTable.h"
#include "AAX_VTransport.h"

namespace
{
constexpr const char* kControlsChunkName = "Complete Controls State";

/** Runs a host-facing operation so that nothing thrown below it reaches the host. */
template <class Operation>
AAX_Result Guarded(const char* where, Operation&& operation) noexcept
{
    return AAX_CallGuarded("AAX_CEffectParameters", where, std::forward<Operation>(operation));
}

double Clamp01(double value)
{
    return value > 1.0 ? 1.0 : (value < 0.0 ? 0.0 : value);
}
} // namespace

AAX_CEffectParameters::AAX_CEffectParameters() = default;

AAX_CEffectParameters::~AAX_CEffectParameters()
{
    // The host may drop its last reference without Uninitialize; the parameters still talk to
    // the automation wrapper as they go, so they go first.
    try
    {
        ReleaseInstanceState();
    }
    catch (...)
    {
    }
}

void AAX_CEffectParameters::ReleaseInstanceState()
{
    mParameterManager.RemoveAllParameters();
    mParameterManager.Initialize(nullptr);
    mPacketDispatcher.Initialize(nullptr, this);

    delete mController;
    mController = nullptr;
    delete mAutomationDelegate;
    mAutomationDelegate = nullptr;
    delete mTransport;
    mTransport = nullptr;
}

AAX_IParameter* AAX_CEffectParameters::FindParameter(AAX_CParamID parameterID) const
{
    // The manager owns the parameters; a const lookup still hands out a usable one.
    return const_cast<AAX_CParameterManager&>(mParameterManager).GetParameterByID(parameterID);
}

void AAX_CEffectParameters::FilterParameterIDOnSave(AAX_CParamID parameterID)
{
    if (parameterID != nullptr)
        mFilteredParameters.insert(parameterID);
}

template <typename Out, class Read>
AAX_Result AAX_CEffectParameters::ReadParameter(AAX_CParamID parameterID, Out* out, Read&& read) const
{
    if (out == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    const AAX_IParameter* const parameter = FindParameter(parameterID);
    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    *out = read(*parameter);
    return AAX_SUCCESS;
}

template <class Operation>
AAX_Result AAX_CEffectParameters::GuardedOnParameter(AAX_CParamID parameterID, const char* where,
                                                     Operation&& operation) const
{
    AAX_IParameter* const parameter = FindParameter(parameterID);
    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    return Guarded(where, [&]() -> AAX_Result { return operation(*parameter); });
}

// ---------------------------------------------------------------------------------------------
// Life cycle

AAX_Result AAX_CEffectParameters::Initialize(IACFUnknown* context)
{
    return Guarded("Initialize", [&]() -> AAX_Result {
        if (mController != nullptr || mTransport != nullptr || mAutomationDelegate != nullptr)
            ReleaseInstanceState();

        mController = new AAX_VController(context);

        // Without the host's automation a delegate would swallow every set request: the
        // parameters then keep their values themselves.
        auto* const automation = new AAX_VAutomationDelegate(context);
        if (automation->IsSupported())
            mAutomationDelegate = automation;
        else
            delete automation;

        mTransport = new AAX_VTransport(context);

        mParameterManager.Initialize(mAutomationDelegate);
        mPacketDispatcher.Initialize(mController, this);

        const AAX_Result result = EffectInit();
        if (result != AAX_SUCCESS)
            return result;

        AAX_CString bypassID;
        GetMasterBypassParameter(&bypassID);
        FilterParameterIDOnSave(bypassID.Get());
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::Uninitialize()
{
    return Guarded("Uninitialize", [&]() -> AAX_Result {
        ReleaseInstanceState();
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::EffectInit()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size)
{
    if (type != AAX_CTypeID(AAX_eNotificationEvent_ASPreviewState))
        return AAX_SUCCESS;

    return Guarded("NotificationReceived", [&]() -> AAX_Result {
        AAX_IParameter* const preview = FindParameter(cPreviewParameterID);
        if (preview == nullptr)
            return AAX_SUCCESS;
        if (data == nullptr)
            return AAX_ERROR_NULL_ARGUMENT;
        if (size < sizeof(int32_t))
            return AAX_ERROR_INVALID_ARGUMENT;

        int32_t previewOn = 0;
        std::memcpy(&previewOn, data, sizeof(previewOn));
        preview->SetValueWithBool(previewOn != 0);
        return AAX_SUCCESS;
    });
}

// ---------------------------------------------------------------------------------------------
// Parameters

AAX_Result AAX_CEffectParameters::GetNumberOfParameters(int32_t* count) const
{
    if (count == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *count = mParameterManager.NumParameters();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter(AAX_IString* parameterID) const
{
    if (parameterID == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    parameterID->Set(FindParameter(cDefaultMasterBypassID) != nullptr ? cDefaultMasterBypassID : "");
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable(AAX_CParamID parameterID, AAX_CBoolean* automatable) const
{
    if (automatable == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *automatable = 0;
    const AAX_IParameter* const parameter = FindParameter(parameterID);
    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    *automatable = parameter->Automatable() ? 1 : 0;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNumberOfSteps(AAX_CParamID parameterID, int32_t* steps) const
{
    if (steps == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    const AAX_IParameter* const parameter = FindParameter(parameterID);
    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    const uint32_t count = parameter->GetNumberOfSteps();
    if (count > uint32_t(INT32_MAX))
        return AAX_ERROR_SIGNED_INT_OVERFLOW;
    *steps = int32_t(count);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterName(AAX_CParamID parameterID, AAX_IString* name) const
{
    if (name == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    const AAX_IParameter* const parameter = FindParameter(parameterID);
    name->Set(parameter != nullptr ? parameter->Name().Get() : "");
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNameOfLength(AAX_CParamID parameterID, AAX_IString* name,
                                                           int32_t length) const
{
    if (name == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    return Guarded("GetParameterNameOfLength", [&]() -> AAX_Result {
        const AAX_IParameter* const parameter = FindParameter(parameterID);
        if (parameter == nullptr)
        {
            name->Set("");
            return AAX_SUCCESS;
        }

        const std::string shortened = parameter->ShortenedName(length).StdString().substr(0, 255);
        if (shortened.empty())
            return AAX_SUCCESS;

        // A name may offer several lines of different lengths: the longest that fits wins.
        std::string best;
        size_t start = 0;
        while (start <= shortened.size())
        {
            size_t end = shortened.find('\n', start);
            if (end == std::string::npos)
                end = shortened.size();
            const size_t lineLength = end - start;
            if (lineLength > 0 && length > 0 && lineLength <= size_t(length) && lineLength > best.size())
                best = shortened.substr(start, lineLength);
            start = end + 1;
        }

        if (!best.empty())
            name->Set(best.c_str());
        else if (length >= 1)
            AAX_CString(shortened.c_str()).SubString(0, uint32_t(length), name);
        else
            name->Set("");
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterDefaultNormalizedValue(AAX_CParamID parameterID, double* value) const
{
    return ReadParameter(parameterID, value,
                         [](const AAX_IParameter& parameter) { return parameter.GetNormalizedDefaultValue(); });
}

AAX_Result AAX_CEffectParameters::SetParameterDefaultNormalizedValue(AAX_CParamID parameterID, double value)
{
    AAX_IParameter* const parameter = FindParameter(parameterID);
    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    parameter->SetNormalizedDefaultValue(value);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterType(AAX_CParamID parameterID, AAX_EParameterType* type) const
{
    return ReadParameter(parameterID, type, [](const AAX_IParameter& parameter) { return parameter.GetType(); });
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation(AAX_CParamID parameterID, int32_t* orientation) const
{
    return ReadParameter(parameterID, orientation,
                         [](const AAX_IParameter& parameter) { return parameter.GetOrientation(); });
}

AAX_Result AAX_CEffectParameters::GetParameter(AAX_CParamID parameterID, AAX_IParameter** parameter)
{
    if (parameter == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *parameter = FindParameter(parameterID);
    return *parameter != nullptr ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterIndex(AAX_CParamID parameterID, int32_t* index) const
{
    if (index == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *index = mParameterManager.GetParameterIndex(parameterID);
    return *index >= 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex(int32_t index, AAX_IString* parameterID) const
{
    if (parameterID == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    const AAX_IParameter* const parameter = mParameterManager.GetParameter(index);
    parameterID->Set(parameter != nullptr ? parameter->Identifier() : "");
    return parameter != nullptr ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterValueInfo(AAX_CParamID, int32_t, int32_t* value) const
{
    if (value == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *value = 0;
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetParameterValueFromString(AAX_CParamID parameterID, double* value,
                                                              const AAX_IString& text) const
{
    if (value == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    return GuardedOnParameter(parameterID, "GetParameterValueFromString",
                              [&](const AAX_IParameter& parameter) -> AAX_Result {
                                  double parsed = 0.0;
                                  if (!parameter.GetNormalizedValueFromString(AAX_CString(text), &parsed))
                                      return AAX_ERROR_INVALID_STRING_CONVERSION;
                                  *value = parsed;
                                  return AAX_SUCCESS;
                              });
}

AAX_Result AAX_CEffectParameters::GetParameterStringFromValue(AAX_CParamID parameterID, double value, AAX_IString* text,
                                                              int32_t maxLength) const
{
    if (text == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    return GuardedOnParameter(parameterID, "GetParameterStringFromValue",
                              [&](const AAX_IParameter& parameter) -> AAX_Result {
                                  AAX_CString made;
                                  if (!parameter.GetStringFromNormalizedValue(value, maxLength, made))
                                      return AAX_ERROR_INVALID_STRING_CONVERSION;
                                  text->Set(made.Get());
                                  return AAX_SUCCESS;
                              });
}

AAX_Result AAX_CEffectParameters::GetParameterValueString(AAX_CParamID parameterID, AAX_IString* text,
                                                          int32_t maxLength) const
{
    if (text == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    return GuardedOnParameter(parameterID, "GetParameterValueString",
                              [&](const AAX_IParameter& parameter) -> AAX_Result {
                                  AAX_CString made;
                                  if (!parameter.GetValueString(maxLength, &made))
                                      return AAX_ERROR_INVALID_STRING_CONVERSION;
                                  text->Set(made.Get());
                                  return AAX_SUCCESS;
                              });
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue(AAX_CParamID parameterID, double* value) const
{
    return ReadParameter(parameterID, value,
                         [](const AAX_IParameter& parameter) { return parameter.GetNormalizedValue(); });
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue(AAX_CParamID parameterID, double value)
{
    AAX_IParameter* const parameter = FindParameter(parameterID);
    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;

    // Without the host's automation nobody will confirm the value: it is final now, and the
    // algorithm and the change count must hear of it as of a confirmed one.
    if (mAutomationDelegate == nullptr)
        return UpdateParameterNormalizedValue(parameterID, value, AAX_eUpdateSource_Unspecified);

    return Guarded("SetParameterNormalizedValue", [&]() -> AAX_Result {
        parameter->SetNormalizedValue(value);
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative(AAX_CParamID parameterID, double delta)
{
    double current = 0.0;
    const AAX_Result read = GetParameterNormalizedValue(parameterID, &current);
    if (read != AAX_SUCCESS)
        return read;
    if (!std::isfinite(delta))
        return AAX_ERROR_INVALID_ARGUMENT;
    return SetParameterNormalizedValue(parameterID, Clamp01(current + delta));
}

AAX_Result AAX_CEffectParameters::TouchParameter(AAX_CParamID parameterID)
{
    return GuardedOnParameter(parameterID, "TouchParameter", [](AAX_IParameter& parameter) -> AAX_Result {
        parameter.Touch();
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::ReleaseParameter(AAX_CParamID parameterID)
{
    return GuardedOnParameter(parameterID, "ReleaseParameter", [](AAX_IParameter& parameter) -> AAX_Result {
        parameter.Release();
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::UpdateParameterTouch(AAX_CParamID, AAX_CBoolean)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue(AAX_CParamID parameterID, double value,
                                                                 AAX_EUpdateSource)
{
    AAX_IParameter* const parameter = FindParameter(parameterID);
    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!std::isfinite(value))
        return AAX_ERROR_INVALID_ARGUMENT;

    return Guarded("UpdateParameterNormalizedValue", [&]() -> AAX_Result {
        const double previous = parameter->GetNormalizedValue();
        parameter->UpdateNormalizedValue(value);
        const AAX_Result result = mPacketDispatcher.SetDirty(parameterID, true);
        if (previous != value)
            ++mNumPlugInChanges;
        return result;
    });
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedRelative(AAX_CParamID parameterID, double delta)
{
    double current = 0.0;
    const AAX_Result read = GetParameterNormalizedValue(parameterID, &current);
    if (read != AAX_SUCCESS)
        return read;
    if (!std::isfinite(delta))
        return AAX_ERROR_INVALID_ARGUMENT;
    return UpdateParameterNormalizedValue(parameterID, Clamp01(current + delta), AAX_eUpdateSource_Unspecified);
}

AAX_Result AAX_CEffectParameters::GenerateCoefficients()
{
    return Guarded("GenerateCoefficients", [&]() -> AAX_Result { return mPacketDispatcher.Dispatch(); });
}

AAX_Result AAX_CEffectParameters::ResetFieldData(AAX_CFieldIndex, void* data, uint32_t size) const
{
    if (size == 0)
        return AAX_SUCCESS;
    if (data == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    std::memset(data, 0, size);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges(int32_t* count) const
{
    if (count == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (mNumPlugInChanges >= 0)
        *count = mNumPlugInChanges;
    return AAX_SUCCESS;
}

// ---------------------------------------------------------------------------------------------
// The controls chunk

AAX_Result AAX_CEffectParameters::GetNumberOfChunks(int32_t* count) const
{
    if (count == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *count = 1;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) const
{
    if (chunkID == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (index != 0)
    {
        *chunkID = 0;
        return AAX_ERROR_INVALID_CHUNK_INDEX;
    }
    *chunkID = cControlsChunkID;
    return AAX_SUCCESS;
}

void AAX_CEffectParameters::BuildChunkData() const
{
    mChunkParser.Clear();

    int32_t count = 0;
    GetNumberOfParameters(&count);
    for (int32_t i = 0; i < count; ++i)
    {
        const AAX_IParameter* const parameter = mParameterManager.GetParameter(i);
        if (parameter == nullptr)
            continue;
        const AAX_CParamID id = parameter->Identifier();
        if (mFilteredParameters.count(id) != 0)
            continue;

        float floatValue = 0.0f;
        int32_t intValue = 0;
        bool boolValue = false;
        double doubleValue = 0.0;
        AAX_CString text;
        if (parameter->GetValueAsFloat(&floatValue))
            mChunkParser.AddDouble(id, double(floatValue));
        else if (parameter->GetValueAsInt32(&intValue))
            mChunkParser.AddInt32(id, intValue);
        else if (parameter->GetValueAsBool(&boolValue))
            mChunkParser.AddInt32(id, boolValue ? 1 : 0);
        else if (parameter->GetValueAsDouble(&doubleValue))
            mChunkParser.AddDouble(id, doubleValue);
        else if (parameter->GetValueAsString(&text))
            mChunkParser.AddString(id, text);
    }
}

AAX_Result AAX_CEffectParameters::GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) const
{
    if (size == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (chunkID != cControlsChunkID)
    {
        *size = 0;
        return AAX_ERROR_INVALID_CHUNK_ID;
    }

    return Guarded("GetChunkSize", [&]() -> AAX_Result {
        BuildChunkData();
        mChunkSize = mChunkParser.GetChunkDataSize();
        if (mChunkSize < 0)
            return AAX_ERROR_INCORRECT_CHUNK_SIZE;
        *size = uint32_t(mChunkSize);
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const
{
    if (chunkID != cControlsChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;
    if (chunk == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    return Guarded("GetChunk", [&]() -> AAX_Result {
        // The host sized its buffer by GetChunkSize: values that changed size since would not fit.
        BuildChunkData();
        const int32_t size = mChunkParser.GetChunkDataSize();
        if (mChunkSize == 0 || size != mChunkSize)
            return AAX_ERROR_INCORRECT_CHUNK_SIZE;

        chunk->fVersion = mChunkParser.GetChunkVersion();
        std::memset(chunk->fName, 0, sizeof(chunk->fName));
        std::strncpy(chunk->fName, kControlsChunkName, sizeof(chunk->fName) - 1);
        return mChunkParser.GetChunkData(chunk);
    });
}

AAX_Result AAX_CEffectParameters::SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk)
{
    if (chunkID != cControlsChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;
    if (chunk == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    return Guarded("SetChunk", [&]() -> AAX_Result {
        // All or nothing: a chunk that does not parse as a whole changes no parameter.
        if (!mChunkParser.LoadChunk(chunk))
            return AAX_ERROR_MALFORMED_CHUNK;

        int32_t count = 0;
        GetNumberOfParameters(&count);
        for (int32_t i = 0; i < count; ++i)
        {
            AAX_IParameter* const parameter = mParameterManager.GetParameter(i);
            if (parameter == nullptr)
                continue;
            const AAX_CParamID id = parameter->Identifier();
            if (mFilteredParameters.count(id) != 0)
                continue;

            const double previous = parameter->GetNormalizedValue();
            float floatValue = 0.0f;
            int32_t intValue = 0;
            bool boolValue = false;
            double doubleValue = 0.0;
            AAX_CString text;
            if (parameter->GetValueAsFloat(&floatValue))
            {
                if (mChunkParser.FindDouble(id, &doubleValue))
                    parameter->SetValueWithFloat(float(doubleValue));
            }
            else if (parameter->GetValueAsInt32(&intValue))
            {
                if (mChunkParser.FindInt32(id, &intValue))
                    parameter->SetValueWithInt32(intValue);
            }
            else if (parameter->GetValueAsBool(&boolValue))
            {
                if (mChunkParser.FindInt32(id, &intValue))
                    parameter->SetValueWithBool(intValue != 0);
            }
            else if (parameter->GetValueAsDouble(&doubleValue))
            {
                if (mChunkParser.FindDouble(id, &doubleValue))
                    parameter->SetValueWithDouble(doubleValue);
            }
            else if (parameter->GetValueAsString(&text))
            {
                if (mChunkParser.FindString(id, &text))
                    parameter->SetValueWithString(text);
            }

            // With the host's automation the confirmations do this; without, the value is final.
            if (mAutomationDelegate == nullptr && parameter->GetNormalizedValue() != previous)
            {
                mPacketDispatcher.SetDirty(id, true);
                ++mNumPlugInChanges;
            }
        }
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* isEqual) const
{
    if (chunk == nullptr || isEqual == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (chunk->fChunkID != cControlsChunkID)
    {
        *isEqual = 1;
        return AAX_SUCCESS;
    }

    return Guarded("CompareActiveChunk", [&]() -> AAX_Result {
        *isEqual = 0;
        if (!mChunkParser.LoadChunk(chunk))
            return AAX_ERROR_MALFORMED_CHUNK;

        int32_t count = 0;
        GetNumberOfParameters(&count);
        if (count < 1)
        {
            *isEqual = 1;
            return AAX_SUCCESS;
        }

        for (int32_t i = 0; i < count; ++i)
        {
            const AAX_IParameter* const parameter = mParameterManager.GetParameter(i);
            if (parameter == nullptr)
                continue;
            const AAX_CParamID id = parameter->Identifier();
            if (mFilteredParameters.count(id) != 0)
                continue;

            float floatValue = 0.0f;
            int32_t intValue = 0;
            bool boolValue = false;
            double doubleValue = 0.0;
            AAX_CString text;
            bool same = true;
            if (parameter->GetValueAsFloat(&floatValue))
            {
                double stored = 0.0;
                same = mChunkParser.FindDouble(id, &stored) && float(stored) == floatValue;
            }
            else if (parameter->GetValueAsInt32(&intValue))
            {
                int32_t stored = 0;
                same = mChunkParser.FindInt32(id, &stored) && stored == intValue;
            }
            else if (parameter->GetValueAsBool(&boolValue))
            {
                int32_t stored = 0;
                same = mChunkParser.FindInt32(id, &stored) && (stored != 0) == boolValue;
            }
            else if (parameter->GetValueAsDouble(&doubleValue))
            {
                double stored = 0.0;
                same = mChunkParser.FindDouble(id, &stored) && float(stored) == float(doubleValue);
            }
            else if (parameter->GetValueAsString(&text))
            {
                AAX_CString stored;
                same = mChunkParser.FindString(id, &stored) && stored == text;
            }
            if (!same)
                return AAX_SUCCESS;
        }
        *isEqual = 1;
        return AAX_SUCCESS;
    });
}

// ---------------------------------------------------------------------------------------------
// Not provided by the base

AAX_Result AAX_CEffectParameters::TimerWakeup()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetCurveData(AAX_CTypeID, const float*, uint32_t, float*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCustomData(AAX_CTypeID, uint32_t, void*, uint32_t* sizeWritten) const
{
    if (sizeWritten == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *sizeWritten = 0;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetCustomData(AAX_CTypeID, uint32_t, const void*)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::DoMIDITransfers()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::RenderAudio_Hybrid(AAX_SHybridRenderInfo*)
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::UpdateMIDINodes(AAX_CFieldIndex, AAX_CMidiPacket&)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateControlMIDINodes(AAX_CTypeID, AAX_CMidiPacket&)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetCurveDataMeterIds(AAX_CTypeID, uint32_t*, uint32_t*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCurveDataDisplayRange(AAX_CTypeID, float*, float*, float*, float*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t tableType, int32_t tablePageSize, IACFUnknown*,
                                                  IACFUnknown* table) const
{
    return Guarded("UpdatePageTable", [&]() -> AAX_Result {
        AAX_VPageTable pageTable(table);
        if (!pageTable.IsSupported())
            return AAX_SUCCESS;
        return UpdatePageTable(tableType, tablePageSize, pageTable);
    });
}

AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t, int32_t, AAX_IPageTable&) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}
