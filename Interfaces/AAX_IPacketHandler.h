#pragma once

#include "AAX.h"

class AAX_CPacket;

/** Fills a packet from the value of the parameter `id` when the dispatcher regenerates it.
    Called on the thread that dispatches, under the dispatcher's lock. */
class AAX_IPacketHandler
{
public:
    virtual ~AAX_IPacketHandler() = default;

    /** A copy of this handler, owned by the caller. */
    virtual AAX_IPacketHandler* Clone() const = 0;

    /** 0 when the packet was filled and may be posted. */
    virtual AAX_Result Call(AAX_CParamID id, AAX_CPacket& packet) const = 0;
};
