#include "AAX_CPacketDispatcher.h"

#include <cstring>

#include "AAX_IController.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IParameter.h"
#include "AAX_StLock_Guard.h"

namespace
{
template <typename T>
void WriteValue(AAX_CPacket& packet, const T& value)
{
    std::memcpy(packet.Resize(static_cast<uint32_t>(sizeof(T))), &value, sizeof(T));
}
} // namespace

AAX_CPacketDispatcher::AAX_CPacketDispatcher() = default;

AAX_CPacketDispatcher::~AAX_CPacketDispatcher()
{
    AAX_StLock_Guard guard(mLockGuard);

    for (auto& port : mPacketsHolder)
        delete port.second;
    mPacketsHolder.clear();

    for (auto& entry : mPacketsHandlers)
        delete entry.second.second;
    mPacketsHandlers.clear();
}

AAX_Result AAX_CPacketDispatcher::Initialize(AAX_IController* controller, AAX_IEffectParameters* effectParameters)
{
    AAX_StLock_Guard guard(mLockGuard);
    mController = controller;
    mEffectParameters = effectParameters;
    return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::RegisterPacket(AAX_CParamID id, AAX_CFieldIndex port,
                                                 const AAX_IPacketHandler* handler)
{
    if (id == nullptr || handler == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    AAX_StLock_Guard guard(mLockGuard);

    AAX_CPacket* packet = nullptr;
    if (port >= 0)
    {
        auto found = mPacketsHolder.find(port);
        if (found == mPacketsHolder.end())
            found = mPacketsHolder.emplace(port, new AAX_CPacket(port)).first;
        packet = found->second;
    }

    mPacketsHandlers.emplace(std::string(id), Entry(packet, handler->Clone()));
    return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::RegisterPacket(AAX_CParamID id, AAX_CFieldIndex port)
{
    const AAX_CPacketHandler<AAX_CPacketDispatcher> handler(this, &AAX_CPacketDispatcher::GenerateSingleValuePacket);
    return RegisterPacket(id, port, &handler);
}

AAX_Result AAX_CPacketDispatcher::SetDirty(AAX_CParamID id, bool dirty)
{
    if (id == nullptr)
        return AAX_SUCCESS;

    AAX_StLock_Guard guard(mLockGuard);
    const auto range = mPacketsHandlers.equal_range(id);
    for (auto entry = range.first; entry != range.second; ++entry)
        if (AAX_CPacket* const packet = entry->second.first)
            packet->SetDirty(dirty);
    return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::Dispatch()
{
    AAX_StLock_Guard guard(mLockGuard);

    // Without a controller nothing could be delivered: the packets stay dirty for later.
    if (mController == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    AAX_Result result = AAX_SUCCESS;
    for (auto& entry : mPacketsHandlers)
    {
        AAX_CPacket* const packet = entry.second.first;
        if (packet == nullptr || !packet->IsDirty())
            continue;

        if (entry.second.second->Call(entry.first.c_str(), *packet) == AAX_SUCCESS)
            result = mController->PostPacket(packet->GetID(), packet->GetPtr(), packet->GetSize());

        // A failing handler would fail again at once; the packet waits for the next change.
        packet->SetDirty(false);
    }
    return result;
}

AAX_Result AAX_CPacketDispatcher::GenerateSingleValuePacket(AAX_CParamID id, AAX_CPacket& packet)
{
    if (mEffectParameters == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    AAX_IParameter* parameter = nullptr;
    if (mEffectParameters->GetParameter(id, &parameter) != AAX_SUCCESS || parameter == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    bool boolValue = false;
    float floatValue = 0.0f;
    int32_t intValue = 0;
    double doubleValue = 0.0;

    if (parameter->GetValueAsBool(&boolValue))
        WriteValue(packet, int32_t(boolValue ? 1 : 0));
    else if (parameter->GetValueAsFloat(&floatValue))
        WriteValue(packet, floatValue);
    else if (parameter->GetValueAsInt32(&intValue))
        WriteValue(packet, intValue);
    else if (parameter->GetValueAsDouble(&doubleValue))
        WriteValue(packet, doubleValue);
    else
        return AAX_ERROR_NULL_OBJECT;
    return AAX_SUCCESS;
}
