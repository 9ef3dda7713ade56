#include "PageTable.h"

#include "AAX_IString.h"
#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
namespace
{
// Far beyond any real control surface; keeps a bad page number from exhausting memory.
constexpr int32_t kMaxPages = 4096;
}

PageTable::PageTable(std::shared_ptr<CallHook> hook)
    : HostUnknown("pageTable", std::move(hook))
{
}

void* PageTable::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXPageTableV1)
        return static_cast<AAX_IACFPageTable*>(this);
    return nullptr;
}

AAX_Result PageTable::Clear()
{
    if (auto forced = Enter("Clear"))
        return *forced;
    mPages.clear();
    return AAX_SUCCESS;
}

AAX_Result PageTable::Empty(AAX_CBoolean& empty)
{
    if (auto forced = Enter("Empty"))
        return *forced;
    empty = mPages.empty() ? 1 : 0;
    return AAX_SUCCESS;
}

AAX_Result PageTable::GetNumPages(int32_t& count)
{
    if (auto forced = Enter("GetNumPages"))
        return *forced;
    count = int32_t(mPages.size());
    return AAX_SUCCESS;
}

AAX_Result PageTable::InsertPage(int32_t page)
{
    if (auto forced = Enter("InsertPage", [&] { return Int(page); }))
        return *forced;
    if (page < 0 || page > int32_t(mPages.size()) || int32_t(mPages.size()) >= kMaxPages)
        return AAX_ERROR_INVALID_ARGUMENT;
    mPages.insert(mPages.begin() + page, std::map<int32_t, std::string>());
    return AAX_SUCCESS;
}

AAX_Result PageTable::RemovePage(int32_t page)
{
    if (auto forced = Enter("RemovePage", [&] { return Int(page); }))
        return *forced;
    if (!IsPage(page))
        return AAX_ERROR_INVALID_ARGUMENT;
    mPages.erase(mPages.begin() + page);
    return AAX_SUCCESS;
}

AAX_Result PageTable::GetNumMappedParameterIDs(int32_t page, int32_t& count)
{
    if (auto forced = Enter("GetNumMappedParameterIDs", [&] { return Int(page); }))
        return *forced;
    if (!IsPage(page))
        return AAX_ERROR_INVALID_ARGUMENT;
    count = int32_t(mPages[size_t(page)].size());
    return AAX_SUCCESS;
}

AAX_Result PageTable::ClearMappedParameter(int32_t page, int32_t slot)
{
    if (auto forced = Enter("ClearMappedParameter", [&] { return Int(page) + ", " + Int(slot); }))
        return *forced;
    if (!IsPage(page))
        return AAX_ERROR_INVALID_ARGUMENT;
    mPages[size_t(page)].erase(slot);
    return AAX_SUCCESS;
}

AAX_Result PageTable::GetMappedParameterID(int32_t page, int32_t slot, AAX_IString& parameterID)
{
    if (auto forced = Enter("GetMappedParameterID", [&] { return Int(page) + ", " + Int(slot); }))
        return *forced;
    if (!IsPage(page))
        return AAX_ERROR_INVALID_ARGUMENT;
    const auto found = mPages[size_t(page)].find(slot);
    if (found == mPages[size_t(page)].end())
        return AAX_ERROR_INVALID_PARAMETER_INDEX;
    parameterID.Set(found->second.c_str());
    return AAX_SUCCESS;
}

AAX_Result PageTable::MapParameterID(AAX_CParamID parameterID, int32_t page, int32_t slot)
{
    if (auto forced = Enter("MapParameterID", [&] { return Quote(parameterID) + ", " + Int(page) + ", " + Int(slot); }))
        return *forced;
    if (parameterID == nullptr || page < 0 || page >= kMaxPages || slot < 0)
        return AAX_ERROR_INVALID_ARGUMENT;
    if (page >= int32_t(mPages.size()))
        mPages.resize(size_t(page) + 1);
    mPages[size_t(page)][slot] = parameterID;
    return AAX_SUCCESS;
}
} // namespace aaxhost
