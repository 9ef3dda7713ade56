#include "Definition.h"

#include <algorithm>
#include <cstring>

#include "ACF/acfuids.h"
#include "Format.h"

namespace aaxhost
{
ACFRESULT AttributeStore::Define(const acfUID& attributeID, const acfUID& typeID, const void* data, uint32_t size)
{
    if (data == nullptr && size != 0)
        return ACF_E_INVALIDARG;
    const auto* bytes = static_cast<const uint8_t*>(data);
    mAttributes[attributeID] = { typeID, std::vector<uint8_t>(bytes, bytes + size) };
    return ACF_OK;
}

ACFRESULT AttributeStore::Info(const acfUID& attributeID, acfUID* typeID, uint32_t* size) const
{
    const auto found = mAttributes.find(attributeID);
    if (found == mAttributes.end())
        return ACF_E_INVALIDARG;
    if (typeID != nullptr)
        *typeID = found->second.first;
    if (size != nullptr)
        *size = static_cast<uint32_t>(found->second.second.size());
    return ACF_OK;
}

ACFRESULT AttributeStore::Copy(const acfUID& attributeID, const acfUID& typeID, void* data, uint32_t size) const
{
    const auto found = mAttributes.find(attributeID);
    if (found == mAttributes.end() || found->second.first != typeID || data == nullptr)
        return ACF_E_INVALIDARG;
    const size_t count = std::min<size_t>(size, found->second.second.size());
    if (count != 0)
        std::memcpy(data, found->second.second.data(), count);
    return ACF_OK;
}

Definition::Definition(std::shared_ptr<CallHook> hook)
    : HostUnknown("definition", std::move(hook), false)
{
}

void* Definition::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IACFDefinition)
        return static_cast<IACFDefinition*>(this);
    return nullptr;
}

ACFRESULT Definition::DefineAttribute(const acfUID& attributeID, const acfUID& typeID, const void* data, uint32_t size)
{
    if (auto forced = Enter("DefineAttribute", [&] { return UidName(attributeID) + ", " + Int(size); }))
        return *forced;
    return mAttributes.Define(attributeID, typeID, data, size);
}

ACFRESULT Definition::GetAttributeInfo(const acfUID& attributeID, acfUID* typeID, uint32_t* size)
{
    if (auto forced = Enter("GetAttributeInfo", [&] { return UidName(attributeID); }))
        return *forced;
    return mAttributes.Info(attributeID, typeID, size);
}

ACFRESULT Definition::CopyAttribute(const acfUID& attributeID, const acfUID& typeID, void* data, uint32_t size)
{
    if (auto forced = Enter("CopyAttribute", [&] { return UidName(attributeID) + ", " + Int(size); }))
        return *forced;
    return mAttributes.Copy(attributeID, typeID, data, size);
}
} // namespace aaxhost
