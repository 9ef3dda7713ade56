#include "PageTableController.h"

#include "AAX_IACFPageTable.h"
#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
PageTableController::PageTableController(std::shared_ptr<CallHook> hook)
    : HostUnknown("pageTableController", std::move(hook))
{
}

void* PageTableController::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXPageTableController || iid == IID_IAAXPageTableControllerV2)
        return static_cast<AAX_IACFPageTableController_V2*>(this);
    return nullptr;
}

AAX_Result PageTableController::Fill(IACFUnknown* table)
{
    if (table == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    ACFPtr<AAX_IACFPageTable> pageTable;
    if (pageTable.QueryFrom(table, IID_IAAXPageTableV1) != ACF_OK || !pageTable)
        return AAX_ERROR_NULL_OBJECT;

    pageTable->Clear();
    for (size_t slot = 0; slot < layout.size(); ++slot)
    {
        const AAX_Result result = pageTable->MapParameterID(layout[slot].c_str(), 0, int32_t(slot));
        if (result != AAX_SUCCESS)
            return result;
    }
    return AAX_SUCCESS;
}

AAX_Result PageTableController::CopyTableForEffect(AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                                   AAX_CPropertyValue plugInID, uint32_t tableType,
                                                   int32_t tablePageSize, IACFUnknown* table)
{
    if (auto forced = Enter("CopyTableForEffect", [&] {
            return Int(manufacturerID) + ", " + Int(productID) + ", " + Int(plugInID) + ", " + Int(tableType) + ", "
                 + Int(tablePageSize) + ", " + ObjectName(table);
        }))
        return *forced;
    return Fill(table);
}

AAX_Result PageTableController::CopyTableOfLayoutForEffect(const char* effectID, const char* layoutName,
                                                           uint32_t tableType, int32_t tablePageSize,
                                                           IACFUnknown* table)
{
    if (auto forced = Enter("CopyTableOfLayoutForEffect", [&] {
            return Quote(effectID) + ", " + Quote(layoutName) + ", " + Int(tableType) + ", " + Int(tablePageSize) + ", "
                 + ObjectName(table);
        }))
        return *forced;
    return Fill(table);
}

AAX_Result PageTableController::CopyTableForEffectFromFile(const char* path, AAX_ETextEncoding encoding,
                                                           AAX_CPropertyValue manufacturerID,
                                                           AAX_CPropertyValue productID, AAX_CPropertyValue plugInID,
                                                           uint32_t tableType, int32_t tablePageSize,
                                                           IACFUnknown* table)
{
    if (auto forced = Enter("CopyTableForEffectFromFile", [&] {
            return Quote(path) + ", " + Int(encoding) + ", " + Int(manufacturerID) + ", " + Int(productID) + ", "
                 + Int(plugInID) + ", " + Int(tableType) + ", " + Int(tablePageSize) + ", " + ObjectName(table);
        }))
        return *forced;
    return Fill(table);
}

AAX_Result PageTableController::CopyTableOfLayoutFromFile(const char* path, AAX_ETextEncoding encoding,
                                                          const char* layoutName, uint32_t tableType,
                                                          int32_t tablePageSize, IACFUnknown* table)
{
    if (auto forced = Enter("CopyTableOfLayoutFromFile", [&] {
            return Quote(path) + ", " + Int(encoding) + ", " + Quote(layoutName) + ", " + Int(tableType) + ", "
                 + Int(tablePageSize) + ", " + ObjectName(table);
        }))
        return *forced;
    return Fill(table);
}
} // namespace aaxhost
