#pragma once

#include <string>
#include <vector>

#include "AAX_IACFPageTableController.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's store of control-surface page tables (both versions). Every copy fills the table
    it is handed with `layout`: page 0, slot i mapped to layout[i]. A copy into nothing, or into
    an object that is no page table, gives -20004. */
class PageTableController final : public HostUnknown<AAX_IACFPageTableController_V2>
{
public:
    explicit PageTableController(std::shared_ptr<CallHook> hook);

    AAX_Result CopyTableForEffect(AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                  AAX_CPropertyValue plugInID, uint32_t tableType, int32_t tablePageSize,
                                  IACFUnknown* table) override;
    AAX_Result CopyTableOfLayoutForEffect(const char* effectID, const char* layoutName, uint32_t tableType,
                                          int32_t tablePageSize, IACFUnknown* table) override;
    AAX_Result CopyTableForEffectFromFile(const char* path, AAX_ETextEncoding encoding,
                                          AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                          AAX_CPropertyValue plugInID, uint32_t tableType, int32_t tablePageSize,
                                          IACFUnknown* table) override;
    AAX_Result CopyTableOfLayoutFromFile(const char* path, AAX_ETextEncoding encoding, const char* layoutName,
                                         uint32_t tableType, int32_t tablePageSize, IACFUnknown* table) override;

    /** The parameter ids every copy maps, slot by slot, onto page 0. */
    std::vector<std::string> layout;

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    AAX_Result Fill(IACFUnknown* table);
};
} // namespace aaxhost
