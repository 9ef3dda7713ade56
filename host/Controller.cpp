#include "Controller.h"

#include "AAX_IString.h"
#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
Controller::Controller(std::shared_ptr<CallHook> hook)
    : HostUnknown("controller", std::move(hook))
{
}

void* Controller::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXControllerV1 || iid == IID_IAAXControllerV2
        || iid == IID_IAAXControllerV3)
        return static_cast<AAX_IACFController_V3*>(this);
    return nullptr;
}

AAX_Result Controller::GetEffectID(AAX_IString* effectID)
{
    return AnswerText("GetEffectID", effectID, state.effectID);
}

AAX_Result Controller::GetSampleRate(AAX_CSampleRate* sampleRate)
{
    return Answer("GetSampleRate", sampleRate, state.sampleRate);
}

AAX_Result Controller::GetInputStemFormat(AAX_EStemFormat* format)
{
    return Answer("GetInputStemFormat", format, state.inputStemFormat);
}

AAX_Result Controller::GetOutputStemFormat(AAX_EStemFormat* format)
{
    return Answer("GetOutputStemFormat", format, state.outputStemFormat);
}

AAX_Result Controller::GetSignalLatency(int32_t* samples)
{
    return Answer("GetSignalLatency", samples, state.signalLatency);
}

AAX_Result Controller::GetCycleCount(AAX_EProperty which, int32_t* cycles)
{
    if (auto forced = Enter("GetCycleCount", [&] { return Int(which); }))
        return *forced;
    if (cycles == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    const auto found = state.cycleCounts.find(which);
    if (found == state.cycleCounts.end())
        return AAX_ERROR_PROPERTY_UNDEFINED;
    *cycles = found->second;
    return AAX_SUCCESS;
}

AAX_Result Controller::GetTODLocation(int64_t* location)
{
    return Answer("GetTODLocation", location, state.todLocation);
}

AAX_Result Controller::SetSignalLatency(int32_t samples)
{
    if (auto forced = Enter("SetSignalLatency", [&] { return Int(samples); }))
        return *forced;
    if (samples < 0)
        return AAX_ERROR_INVALID_ARGUMENT;
    state.signalLatency = samples;
    return AAX_SUCCESS;
}

AAX_Result Controller::SetCycleCount(AAX_EProperty* which, int32_t* cycles, int32_t count)
{
    if (auto forced = Enter("SetCycleCount", [&] { return Int(count); }))
        return *forced;
    if (count < 0 || (count > 0 && (which == nullptr || cycles == nullptr)))
        return AAX_ERROR_NULL_ARGUMENT;
    for (int32_t i = 0; i < count; ++i)
        state.cycleCounts[which[i]] = cycles[i];
    return AAX_SUCCESS;
}

AAX_Result Controller::PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size)
{
    if (auto forced = Enter(
            "PostPacket", [&] { return Int(port) + ", " + Int(size); }, data, size))
        return *forced;
    if (data == nullptr && size != 0)
        return AAX_ERROR_NULL_ARGUMENT;

    PacketSink* const sink = mPacketSink.load();
    if (sink != nullptr && !sink->Accept(port, data, size))
        return AAX_ERROR_POST_PACKET_FAILED;
    return AAX_SUCCESS;
}

AAX_Result Controller::GetCurrentMeterValue(AAX_CTypeID meter, float* value)
{
    if (auto forced = Enter("GetCurrentMeterValue", [&] { return Int(meter); }))
        return *forced;
    if (value == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    const auto found = state.meters.find(meter);
    if (found == state.meters.end())
        return AAX_ERROR_INVALID_METER_INDEX;
    *value = found->second.value;
    return AAX_SUCCESS;
}

AAX_Result Controller::GetMeterPeakValue(AAX_CTypeID meter, float* value)
{
    if (auto forced = Enter("GetMeterPeakValue", [&] { return Int(meter); }))
        return *forced;
    if (value == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    const auto found = state.meters.find(meter);
    if (found == state.meters.end())
        return AAX_ERROR_INVALID_METER_INDEX;
    *value = found->second.peak;
    return AAX_SUCCESS;
}

AAX_Result Controller::ClearMeterPeakValue(AAX_CTypeID meter)
{
    if (auto forced = Enter("ClearMeterPeakValue", [&] { return Int(meter); }))
        return *forced;
    const auto found = state.meters.find(meter);
    if (found == state.meters.end())
        return AAX_ERROR_INVALID_METER_INDEX;
    found->second.peak = 0.0f;
    return AAX_SUCCESS;
}

AAX_Result Controller::GetMeterClipped(AAX_CTypeID meter, AAX_CBoolean* clipped)
{
    if (auto forced = Enter("GetMeterClipped", [&] { return Int(meter); }))
        return *forced;
    if (clipped == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    const auto found = state.meters.find(meter);
    if (found == state.meters.end())
        return AAX_ERROR_INVALID_METER_INDEX;
    *clipped = found->second.clipped ? 1 : 0;
    return AAX_SUCCESS;
}

AAX_Result Controller::ClearMeterClipped(AAX_CTypeID meter)
{
    if (auto forced = Enter("ClearMeterClipped", [&] { return Int(meter); }))
        return *forced;
    const auto found = state.meters.find(meter);
    if (found == state.meters.end())
        return AAX_ERROR_INVALID_METER_INDEX;
    found->second.clipped = false;
    return AAX_SUCCESS;
}

AAX_Result Controller::GetMeterCount(uint32_t* count)
{
    return Answer("GetMeterCount", count, uint32_t(state.meters.size()));
}

AAX_Result Controller::GetNextMIDIPacket(AAX_CFieldIndex* port, AAX_CMidiPacket* packet)
{
    if (auto forced = Enter("GetNextMIDIPacket"))
        return *forced;
    if (port == nullptr || packet == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (state.midi.empty())
        return AAX_ERROR_NULL_OBJECT;
    *port = state.midi.front().first;
    *packet = state.midi.front().second;
    state.midi.pop_front();
    return AAX_SUCCESS;
}

AAX_Result Controller::SendNotification(AAX_CTypeID type, const void* data, uint32_t size)
{
    if (auto forced = Enter(
            "SendNotification", [&] { return Int(type) + ", " + Int(size); }, data, size))
        return *forced;
    return data == nullptr && size != 0 ? AAX_ERROR_NULL_ARGUMENT : AAX_SUCCESS;
}

AAX_Result Controller::GetHybridSignalLatency(int32_t* samples)
{
    return Answer("GetHybridSignalLatency", samples, state.hybridSignalLatency);
}

AAX_Result Controller::GetCurrentAutomationTimestamp(AAX_CTimestamp* timestamp)
{
    return Answer("GetCurrentAutomationTimestamp", timestamp, state.automationTimestamp);
}

AAX_Result Controller::GetHostName(AAX_IString* name)
{
    return AnswerText("GetHostName", name, state.hostName);
}

AAX_Result Controller::GetPlugInTargetPlatform(int32_t* platform)
{
    return Answer("GetPlugInTargetPlatform", platform, state.targetPlatform);
}

AAX_Result Controller::GetIsAudioSuite(AAX_CBoolean* isAudioSuite)
{
    return Answer("GetIsAudioSuite", isAudioSuite, state.isAudioSuite);
}
} // namespace aaxhost
