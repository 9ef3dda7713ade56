#pragma once

#include <map>
#include <string>
#include <vector>

#include "AAX_IACFPageTable.h"
#include "HostObject.h"

namespace aaxhost
{
/** A control-surface page table: pages of slots mapped to parameter ids. */
class PageTable final : public HostUnknown<AAX_IACFPageTable>
{
public:
    explicit PageTable(std::shared_ptr<CallHook> hook);

    AAX_Result Clear() override;
    AAX_Result Empty(AAX_CBoolean& empty) override;
    AAX_Result GetNumPages(int32_t& count) override;
    AAX_Result InsertPage(int32_t page) override;
    AAX_Result RemovePage(int32_t page) override;
    AAX_Result GetNumMappedParameterIDs(int32_t page, int32_t& count) override;
    AAX_Result ClearMappedParameter(int32_t page, int32_t slot) override;
    AAX_Result GetMappedParameterID(int32_t page, int32_t slot, AAX_IString& parameterID) override;

    /** Maps a slot, adding pages up to `page` as needed. */
    AAX_Result MapParameterID(AAX_CParamID parameterID, int32_t page, int32_t slot) override;

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    bool IsPage(int32_t page) const { return page >= 0 && page < int32_t(mPages.size()); }

    std::vector<std::map<int32_t, std::string>> mPages;
};
} // namespace aaxhost
