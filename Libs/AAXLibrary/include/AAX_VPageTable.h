#pragma once

#include "ACF/ACFPtr.h"
#include "AAX_IACFPageTable.h"
#include "AAX_IPageTable.h"

/** AAX_IPageTable over a host page table; every operation returns -20009 without one. */
class AAX_VPageTable : public AAX_IPageTable
{
public:
    explicit AAX_VPageTable(IACFUnknown* table);
    ~AAX_VPageTable() override;

    AAX_Result Clear() override;
    AAX_Result Empty(AAX_CBoolean& empty) const override;
    AAX_Result GetNumPages(int32_t& count) const override;
    AAX_Result InsertPage(int32_t page) override;
    AAX_Result RemovePage(int32_t page) override;
    AAX_Result GetNumMappedParameterIDs(int32_t page, int32_t& count) const override;
    AAX_Result ClearMappedParameter(int32_t page, int32_t slot) override;
    AAX_Result GetMappedParameterID(int32_t page, int32_t slot, AAX_IString& parameterID) const override;
    AAX_Result MapParameterID(AAX_CParamID parameterID, int32_t page, int32_t slot) override;

    /** True when the host's page-table interface was obtained. */
    bool IsSupported() const { return static_cast<bool>(mIPageTable); }

private:
    ACFPtr<AAX_IACFPageTable> mIPageTable;
};
