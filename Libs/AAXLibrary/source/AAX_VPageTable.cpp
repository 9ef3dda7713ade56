#include "AAX_VPageTable.h"

#include "AAX_UIDs.h"

AAX_VPageTable::AAX_VPageTable(IACFUnknown* table)
{
    if (table != nullptr)
        mIPageTable.QueryFrom(table, IID_IAAXPageTableV1);
}

AAX_VPageTable::~AAX_VPageTable() = default;

AAX_Result AAX_VPageTable::Clear()
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->Clear();
}

AAX_Result AAX_VPageTable::Empty(AAX_CBoolean& empty) const
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->Empty(empty);
}

AAX_Result AAX_VPageTable::GetNumPages(int32_t& count) const
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->GetNumPages(count);
}

AAX_Result AAX_VPageTable::InsertPage(int32_t page)
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->InsertPage(page);
}

AAX_Result AAX_VPageTable::RemovePage(int32_t page)
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->RemovePage(page);
}

AAX_Result AAX_VPageTable::GetNumMappedParameterIDs(int32_t page, int32_t& count) const
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->GetNumMappedParameterIDs(page, count);
}

AAX_Result AAX_VPageTable::ClearMappedParameter(int32_t page, int32_t slot)
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->ClearMappedParameter(page, slot);
}

AAX_Result AAX_VPageTable::GetMappedParameterID(int32_t page, int32_t slot, AAX_IString& parameterID) const
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->GetMappedParameterID(page, slot, parameterID);
}

AAX_Result AAX_VPageTable::MapParameterID(AAX_CParamID parameterID, int32_t page, int32_t slot)
{
    if (!mIPageTable)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIPageTable->MapParameterID(parameterID, page, slot);
}
