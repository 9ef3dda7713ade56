#pragma once

#include "AAX_CPacket.h"
#include "AAX_IPacketHandler.h"

/** A packet handler that calls a member operation of a worker object: either one that takes the
    parameter id and the packet, or one that takes only the packet. The worker is not owned and
    must outlive every clone. */
template <class Worker>
class AAX_CPacketHandler : public AAX_IPacketHandler
{
public:
    typedef AAX_Result (Worker::*PlainCallback)(AAX_CPacket& packet);
    typedef AAX_Result (Worker::*ExtendedCallback)(AAX_CParamID id, AAX_CPacket& packet);

    AAX_CPacketHandler(Worker* worker, PlainCallback callback)
        : mWorker(worker)
        , mPlainCallback(callback)
    {
    }

    AAX_CPacketHandler(Worker* worker, ExtendedCallback callback)
        : mWorker(worker)
        , mExtendedCallback(callback)
    {
    }

    AAX_CPacketHandler(Worker* worker, PlainCallback plain, ExtendedCallback extended)
        : mWorker(worker)
        , mPlainCallback(plain)
        , mExtendedCallback(extended)
    {
    }

    AAX_IPacketHandler* Clone() const override
    {
        return new AAX_CPacketHandler(mWorker, mPlainCallback, mExtendedCallback);
    }

    /** The extended callback when set, else the plain one; -20004 without a worker or either
        callback. */
    AAX_Result Call(AAX_CParamID id, AAX_CPacket& packet) const override
    {
        if (mWorker == nullptr)
            return AAX_ERROR_NULL_OBJECT;
        if (mExtendedCallback != nullptr)
            return (mWorker->*mExtendedCallback)(id, packet);
        if (mPlainCallback != nullptr)
            return (mWorker->*mPlainCallback)(packet);
        return AAX_ERROR_NULL_OBJECT;
    }

private:
    Worker* mWorker;
    PlainCallback mPlainCallback = nullptr;
    ExtendedCallback mExtendedCallback = nullptr;
};
