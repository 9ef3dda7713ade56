#pragma once

#include <map>
#include <string>
#include <utility>

#include "AAX.h"
#include "AAX_CMutex.h"
#include "AAX_CPacket.h"
#include "AAX_CPacketHandler.h"
#include "AAX_IPacketHandler.h"

class AAX_IController;
class AAX_IEffectParameters;

/** Joins parameter ids to algorithm ports: a parameter's packets are marked dirty when the host
    confirms a new value, and Dispatch regenerates every dirty packet through its handler and
    posts it through the controller.

    One packet exists per port and is shared by every id registered on it. Each operation holds
    the dispatcher's owner-aware lock for its whole run, so any thread may call it, and a handler
    may call SetDirty on the same dispatcher from inside Dispatch.
*/
class AAX_CPacketDispatcher
{
public:
    AAX_CPacketDispatcher();
    ~AAX_CPacketDispatcher();

    AAX_CPacketDispatcher(const AAX_CPacketDispatcher&) = delete;
    AAX_CPacketDispatcher& operator=(const AAX_CPacketDispatcher&) = delete;

    /** Where packets are posted and where parameter values are read; neither is owned. */
    AAX_Result Initialize(AAX_IController* controller, AAX_IEffectParameters* effectParameters);

    /** Registers a clone of `handler` for `id` on `port`, creating the port's packet (dirty) on
        first use. A negative port keeps the handler without a packet. A null handler is refused
        with -20044; otherwise 0. */
    AAX_Result RegisterPacket(AAX_CParamID id, AAX_CFieldIndex port, const AAX_IPacketHandler* handler);

    /** As above with GenerateSingleValuePacket as the handler. */
    AAX_Result RegisterPacket(AAX_CParamID id, AAX_CFieldIndex port);

    /** Sets the dirty flag of every packet registered for `id`; 0, also for an unknown id. */
    AAX_Result SetDirty(AAX_CParamID id, bool dirty);

    /** Regenerates and posts every dirty packet (ids in ascending order, then in registration
        order) and marks it clean, posted or not. Returns the result of the last post, 0 when
        nothing was posted; -20004, with nothing touched, before Initialize gave a controller. */
    AAX_Result Dispatch();

    /** Fills `packet` with the value of parameter `id` in native byte order: bool as a 4-byte
        int 0 or 1, float as 4 bytes, int32 as 4 bytes, double as 8 bytes. -20004 for an unknown
        id or another value type. */
    AAX_Result GenerateSingleValuePacket(AAX_CParamID id, AAX_CPacket& packet);

private:
    typedef std::pair<AAX_CPacket*, AAX_IPacketHandler*> Entry;

    std::map<AAX_CFieldIndex, AAX_CPacket*> mPacketsHolder;
    std::multimap<std::string, Entry> mPacketsHandlers;
    AAX_IController* mController = nullptr;
    AAX_IEffectParameters* mEffectParameters = nullptr;
    AAX_CMutex mLockGuard;
};
