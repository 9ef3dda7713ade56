#pragma once

#include "AAX.h"

class AAX_IPageTable;
class AAX_IString;

/** The host's per-instance services as the plug-in sees them: sample rate, stem formats,
    latency, packet posting, notifications, meters, MIDI, host details and page-table copies.

    Every operation returns the host's result, or a fixed failure when the host lacks the
    interface version it needs (outputs are then left unchanged). Any thread may call it; the host
    decides which of its operations are safe where. The operations are in the order derived
    classes are built against: do not reorder.
*/
class AAX_IController
{
public:
    virtual ~AAX_IController() = default;

    virtual AAX_Result GetEffectID(AAX_IString* effectID) const = 0;

    /** Samples per second. */
    virtual AAX_Result GetSampleRate(AAX_CSampleRate* sampleRate) const = 0;
    virtual AAX_Result GetInputStemFormat(AAX_EStemFormat* format) const = 0;
    virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) const = 0;

    /** The declared latency, in samples. */
    virtual AAX_Result GetSignalLatency(int32_t* samples) const = 0;
    virtual AAX_Result GetCycleCount(AAX_EProperty which, int32_t* cycles) const = 0;
    virtual AAX_Result GetTODLocation(int64_t* location) const = 0;

    /** Declares the instance's processing delay, in samples. */
    virtual AAX_Result SetSignalLatency(int32_t samples) = 0;
    virtual AAX_Result SetCycleCount(AAX_EProperty* which, int32_t* cycles, int32_t count) = 0;

    /** Sends `size` bytes to the algorithm's field `port`; the host copies them. */
    virtual AAX_Result PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size) = 0;

    virtual AAX_Result SendNotification(AAX_CTypeID type, const void* data, uint32_t size) = 0;

    /** A notification without data. */
    virtual AAX_Result SendNotification(AAX_CTypeID type) = 0;

    virtual AAX_Result GetCurrentMeterValue(AAX_CTypeID meter, float* value) const = 0;
    virtual AAX_Result GetMeterPeakValue(AAX_CTypeID meter, float* value) const = 0;
    virtual AAX_Result ClearMeterPeakValue(AAX_CTypeID meter) const = 0;
    virtual AAX_Result GetMeterCount(uint32_t* count) const = 0;
    virtual AAX_Result GetMeterClipped(AAX_CTypeID meter, AAX_CBoolean* clipped) const = 0;
    virtual AAX_Result ClearMeterClipped(AAX_CTypeID meter) const = 0;
    virtual AAX_Result GetNextMIDIPacket(AAX_CFieldIndex* port, AAX_CMidiPacket* packet) = 0;
    virtual AAX_Result GetHybridSignalLatency(int32_t* samples) const = 0;

    /** Without the host's second version writes 0 (and fails). */
    virtual AAX_Result GetCurrentAutomationTimestamp(AAX_CTimestamp* timestamp) const = 0;
    virtual AAX_Result GetHostName(AAX_IString* name) const = 0;
    virtual AAX_Result GetPlugInTargetPlatform(int32_t* platform) const = 0;

    /** Nonzero while the instance processes offline (AudioSuite); without the host's third
        version writes 0 (and fails). */
    virtual AAX_Result GetIsAudioSuite(AAX_CBoolean* isAudioSuite) const = 0;

    /** A new page table holding the host's copy of a stored table, owned by the caller; null
        when the host has no page-table service or the copy fails. */
    virtual AAX_IPageTable* CreateTableCopyForEffect(AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                                     AAX_CPropertyValue plugInID, uint32_t tableType,
                                                     int32_t tablePageSize) const = 0;
    virtual AAX_IPageTable* CreateTableCopyForLayout(const char* effectID, const char* layoutName, uint32_t tableType,
                                                     int32_t tablePageSize) const = 0;
    virtual AAX_IPageTable* CreateTableCopyForEffectFromFile(const char* path, AAX_ETextEncoding encoding,
                                                             AAX_CPropertyValue manufacturerID,
                                                             AAX_CPropertyValue productID, AAX_CPropertyValue plugInID,
                                                             uint32_t tableType, int32_t tablePageSize) const = 0;
    virtual AAX_IPageTable* CreateTableCopyForLayoutFromFile(const char* path, AAX_ETextEncoding encoding,
                                                             const char* layoutName, uint32_t tableType,
                                                             int32_t tablePageSize) const = 0;
};
