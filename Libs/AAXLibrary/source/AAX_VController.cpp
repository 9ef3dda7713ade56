#include "AAX_VController.h"

#include "AAX_UIDs.h"
#include "AAX_VPageTable.h"

namespace
{
/** Queries one version into `holder`; a refusal, or a host that throws, leaves it empty. */
template <class T>
void QueryVersion(ACFPtr<T>& holder, IACFUnknown* context, const acfIID& iid)
{
    try
    {
        holder.QueryFrom(context, iid);
    }
    catch (...)
    {
        // The holder was emptied before the query and is filled only by its result.
    }
}
} // namespace

AAX_VController::AAX_VController(IACFUnknown* context)
{
    if (context == nullptr)
        return;

    QueryVersion(mIController, context, IID_IAAXControllerV1);
    QueryVersion(mIControllerV2, context, IID_IAAXControllerV2);
    QueryVersion(mIControllerV3, context, IID_IAAXControllerV3);
    QueryVersion(mIPageTableController, context, IID_IAAXPageTableController);
    QueryVersion(mIPageTableControllerV2, context, IID_IAAXPageTableControllerV2);

    // The factory is needed only for page-table copies: a context without one is no failure.
    try
    {
        mComponentFactory = ACFPtr<IACFComponentFactory>(IID_IACFComponentFactory, context);
    }
    catch (...)
    {
        mComponentFactory.reset();
    }
}

AAX_VController::~AAX_VController() = default;

// ---------------------------------------------------------------------------------------------
// First version

AAX_Result AAX_VController::GetEffectID(AAX_IString* effectID) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetEffectID(effectID);
}

AAX_Result AAX_VController::GetSampleRate(AAX_CSampleRate* sampleRate) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetSampleRate(sampleRate);
}

AAX_Result AAX_VController::GetInputStemFormat(AAX_EStemFormat* format) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetInputStemFormat(format);
}

AAX_Result AAX_VController::GetOutputStemFormat(AAX_EStemFormat* format) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetOutputStemFormat(format);
}

AAX_Result AAX_VController::GetSignalLatency(int32_t* samples) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetSignalLatency(samples);
}

AAX_Result AAX_VController::GetCycleCount(AAX_EProperty which, int32_t* cycles) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetCycleCount(which, cycles);
}

AAX_Result AAX_VController::GetTODLocation(int64_t* location) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetTODLocation(location);
}

AAX_Result AAX_VController::SetSignalLatency(int32_t samples)
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->SetSignalLatency(samples);
}

AAX_Result AAX_VController::SetCycleCount(AAX_EProperty* which, int32_t* cycles, int32_t count)
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->SetCycleCount(which, cycles, count);
}

AAX_Result AAX_VController::PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size)
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->PostPacket(port, data, size);
}

AAX_Result AAX_VController::GetCurrentMeterValue(AAX_CTypeID meter, float* value) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetCurrentMeterValue(meter, value);
}

AAX_Result AAX_VController::GetMeterPeakValue(AAX_CTypeID meter, float* value) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetMeterPeakValue(meter, value);
}

AAX_Result AAX_VController::ClearMeterPeakValue(AAX_CTypeID meter) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->ClearMeterPeakValue(meter);
}

AAX_Result AAX_VController::GetMeterCount(uint32_t* count) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetMeterCount(count);
}

AAX_Result AAX_VController::GetMeterClipped(AAX_CTypeID meter, AAX_CBoolean* clipped) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetMeterClipped(meter, clipped);
}

AAX_Result AAX_VController::ClearMeterClipped(AAX_CTypeID meter) const
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->ClearMeterClipped(meter);
}

AAX_Result AAX_VController::GetNextMIDIPacket(AAX_CFieldIndex* port, AAX_CMidiPacket* packet)
{
    if (!mIController)
        return AAX_ERROR_NULL_OBJECT;
    return mIController->GetNextMIDIPacket(port, packet);
}

// ---------------------------------------------------------------------------------------------
// Second version

AAX_Result AAX_VController::SendNotification(AAX_CTypeID type, const void* data, uint32_t size)
{
    if (!mIControllerV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIControllerV2->SendNotification(type, data, size);
}

AAX_Result AAX_VController::SendNotification(AAX_CTypeID type)
{
    return SendNotification(type, nullptr, 0);
}

AAX_Result AAX_VController::GetHybridSignalLatency(int32_t* samples) const
{
    if (!mIControllerV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIControllerV2->GetHybridSignalLatency(samples);
}

AAX_Result AAX_VController::GetCurrentAutomationTimestamp(AAX_CTimestamp* timestamp) const
{
    if (!mIControllerV2)
    {
        if (timestamp != nullptr)
            *timestamp = 0;
        return AAX_ERROR_UNIMPLEMENTED;
    }
    return mIControllerV2->GetCurrentAutomationTimestamp(timestamp);
}

AAX_Result AAX_VController::GetHostName(AAX_IString* name) const
{
    if (!mIControllerV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIControllerV2->GetHostName(name);
}

// ---------------------------------------------------------------------------------------------
// Third version

AAX_Result AAX_VController::GetPlugInTargetPlatform(int32_t* platform) const
{
    if (!mIControllerV3)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIControllerV3->GetPlugInTargetPlatform(platform);
}

AAX_Result AAX_VController::GetIsAudioSuite(AAX_CBoolean* isAudioSuite) const
{
    if (!mIControllerV3)
    {
        // Callers test the flag without looking at the result; a host that cannot say is not
        // processing offline.
        if (isAudioSuite != nullptr)
            *isAudioSuite = 0;
        return AAX_ERROR_UNIMPLEMENTED;
    }
    return mIControllerV3->GetIsAudioSuite(isAudioSuite);
}

// ---------------------------------------------------------------------------------------------
// Page tables

ACFPtr<IACFUnknown> AAX_VController::CreatePageTable() const
{
    ACFPtr<IACFUnknown> table;
    if (!mComponentFactory)
        return table;

    if (table.CreateFrom(mComponentFactory.get(), AAXCompID_PageTable, IID_IAAXPageTableV1) != ACF_OK)
        table.reset(); // a refusal may still have handed out a reference
    return table;
}

AAX_IPageTable* AAX_VController::WrapCopiedTable(ACFPtr<IACFUnknown>& table, AAX_Result copyResult)
{
    // A wrapper over nothing would look like a table to the caller and answer every call with a
    // failure; null says plainly that there is no copy.
    if (copyResult != AAX_SUCCESS || !table)
        return nullptr;

    auto* const wrapper = new AAX_VPageTable(table.get());
    table.reset();
    if (!wrapper->IsSupported())
    {
        delete wrapper;
        return nullptr;
    }
    return wrapper;
}

template <class Interface, class Copy>
AAX_IPageTable* AAX_VController::CopyTable(const ACFPtr<Interface>& version, Copy&& copy) const
{
    if (!version)
        return nullptr;
    ACFPtr<IACFUnknown> table = CreatePageTable();
    if (!table)
        return nullptr;
    const AAX_Result result = copy(*version.get(), table.get());
    return WrapCopiedTable(table, result);
}

AAX_IPageTable* AAX_VController::CreateTableCopyForEffect(AAX_CPropertyValue manufacturerID,
                                                          AAX_CPropertyValue productID, AAX_CPropertyValue plugInID,
                                                          uint32_t tableType, int32_t tablePageSize) const
{
    return CopyTable(mIPageTableController, [&](AAX_IACFPageTableController& host, IACFUnknown* table) {
        return host.CopyTableForEffect(manufacturerID, productID, plugInID, tableType, tablePageSize, table);
    });
}

AAX_IPageTable* AAX_VController::CreateTableCopyForLayout(const char* effectID, const char* layoutName,
                                                          uint32_t tableType, int32_t tablePageSize) const
{
    return CopyTable(mIPageTableController, [&](AAX_IACFPageTableController& host, IACFUnknown* table) {
        return host.CopyTableOfLayoutForEffect(effectID, layoutName, tableType, tablePageSize, table);
    });
}

AAX_IPageTable* AAX_VController::CreateTableCopyForEffectFromFile(const char* path, AAX_ETextEncoding encoding,
                                                                  AAX_CPropertyValue manufacturerID,
                                                                  AAX_CPropertyValue productID,
                                                                  AAX_CPropertyValue plugInID, uint32_t tableType,
                                                                  int32_t tablePageSize) const
{
    return CopyTable(mIPageTableControllerV2, [&](AAX_IACFPageTableController_V2& host, IACFUnknown* table) {
        return host.CopyTableForEffectFromFile(path, encoding, manufacturerID, productID, plugInID, tableType,
                                               tablePageSize, table);
    });
}

AAX_IPageTable* AAX_VController::CreateTableCopyForLayoutFromFile(const char* path, AAX_ETextEncoding encoding,
                                                                  const char* layoutName, uint32_t tableType,
                                                                  int32_t tablePageSize) const
{
    return CopyTable(mIPageTableControllerV2, [&](AAX_IACFPageTableController_V2& host, IACFUnknown* table) {
        return host.CopyTableOfLayoutFromFile(path, encoding, layoutName, tableType, tablePageSize, table);
    });
}
