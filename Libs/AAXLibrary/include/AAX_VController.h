#pragma once

#include "ACF/ACFPtr.h"
#include "ACF/IACFComponentFactory.h"
#include "AAX_IACFController.h"
#include "AAX_IACFPageTableController.h"
#include "AAX_IController.h"

/** AAX_IController over whichever versions of the host's controller the context offers.

    A missing first version gives -20004, a missing second or third version -20009 (the
    automation timestamp and the offline flag then read 0); page-table copies without the host's page-table
    controller, without a page table from the host's factory, or with a failed copy give null.
    The interface set is fixed at construction, so any thread may call it afterwards.
*/
class AAX_VController : public AAX_IController
{
public:
    /** Asks `context` for every controller version and the component factory; null leaves the
        wrapper over nothing. Never throws. */
    explicit AAX_VController(IACFUnknown* context);
    ~AAX_VController() override;

    AAX_VController(const AAX_VController&) = delete;
    AAX_VController& operator=(const AAX_VController&) = delete;

    AAX_Result GetEffectID(AAX_IString* effectID) const override;
    AAX_Result GetSampleRate(AAX_CSampleRate* sampleRate) const override;
    AAX_Result GetInputStemFormat(AAX_EStemFormat* format) const override;
    AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) const override;
    AAX_Result GetSignalLatency(int32_t* samples) const override;
    AAX_Result GetCycleCount(AAX_EProperty which, int32_t* cycles) const override;
    AAX_Result GetTODLocation(int64_t* location) const override;
    AAX_Result SetSignalLatency(int32_t samples) override;
    AAX_Result SetCycleCount(AAX_EProperty* which, int32_t* cycles, int32_t count) override;
    AAX_Result PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size) override;
    AAX_Result SendNotification(AAX_CTypeID type, const void* data, uint32_t size) override;
    AAX_Result SendNotification(AAX_CTypeID type) override;
    AAX_Result GetCurrentMeterValue(AAX_CTypeID meter, float* value) const override;
    AAX_Result GetMeterPeakValue(AAX_CTypeID meter, float* value) const override;
    AAX_Result ClearMeterPeakValue(AAX_CTypeID meter) const override;
    AAX_Result GetMeterCount(uint32_t* count) const override;
    AAX_Result GetMeterClipped(AAX_CTypeID meter, AAX_CBoolean* clipped) const override;
    AAX_Result ClearMeterClipped(AAX_CTypeID meter) const override;
    AAX_Result GetNextMIDIPacket(AAX_CFieldIndex* port, AAX_CMidiPacket* packet) override;
    AAX_Result GetHybridSignalLatency(int32_t* samples) const override;
    AAX_Result GetCurrentAutomationTimestamp(AAX_CTimestamp* timestamp) const override;
    AAX_Result GetHostName(AAX_IString* name) const override;
    AAX_Result GetPlugInTargetPlatform(int32_t* platform) const override;
    AAX_Result GetIsAudioSuite(AAX_CBoolean* isAudioSuite) const override;
    AAX_IPageTable* CreateTableCopyForEffect(AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                             AAX_CPropertyValue plugInID, uint32_t tableType,
                                             int32_t tablePageSize) const override;
    AAX_IPageTable* CreateTableCopyForLayout(const char* effectID, const char* layoutName, uint32_t tableType,
                                             int32_t tablePageSize) const override;
    AAX_IPageTable* CreateTableCopyForEffectFromFile(const char* path, AAX_ETextEncoding encoding,
                                                     AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                                     AAX_CPropertyValue plugInID, uint32_t tableType,
                                                     int32_t tablePageSize) const override;
    AAX_IPageTable* CreateTableCopyForLayoutFromFile(const char* path, AAX_ETextEncoding encoding,
                                                     const char* layoutName, uint32_t tableType,
                                                     int32_t tablePageSize) const override;

private:
    /** An empty page table from the host's factory, with one reference for the caller; empty
        when the factory is missing or refuses. */
    ACFPtr<IACFUnknown> CreatePageTable() const;

    /** Wraps `table` once `copyResult` reports success; null otherwise. */
    static AAX_IPageTable* WrapCopiedTable(ACFPtr<IACFUnknown>& table, AAX_Result copyResult);

    /** A new table that `copy` fills through `version` of the host's page-table controller; null
        when the host lacks that version, makes no table or refuses the copy. */
    template <class Interface, class Copy>
    AAX_IPageTable* CopyTable(const ACFPtr<Interface>& version, Copy&& copy) const;

    ACFPtr<AAX_IACFController> mIController;
    ACFPtr<AAX_IACFController_V2> mIControllerV2;
    ACFPtr<AAX_IACFController_V3> mIControllerV3;
    ACFPtr<AAX_IACFPageTableController> mIPageTableController;
    ACFPtr<AAX_IACFPageTableController_V2> mIPageTableControllerV2;
    ACFPtr<IACFComponentFactory> mComponentFactory;
};
