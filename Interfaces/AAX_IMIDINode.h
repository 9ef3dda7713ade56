#pragma once

#include "AAX.h"

/** A MIDI node of an algorithm's context block: the messages the host delivered for the current
    block, and a way to send messages out. Real-time thread only. */
class AAX_IMIDINode
{
public:
    virtual ~AAX_IMIDINode() = default;

    /** The messages of the current block; owned by the host. */
    virtual AAX_CMidiStream* GetNodeBuffer() = 0;

    /** Sends one message; the packet is copied. */
    virtual AAX_Result PostMIDIPacket(AAX_CMidiPacket* packet) = 0;
};
