#include "Collection.h"

#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
Collection::Collection(std::shared_ptr<CallHook> hook)
    : HostUnknown("collection", std::move(hook))
{
}

void* Collection::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXCollectionV1)
        return static_cast<AAX_IACFCollection*>(this);
    if (iid == IID_IACFPluginDefinition || iid == IID_IACFDefinition)
        return static_cast<IACFPluginDefinition*>(this);
    return nullptr;
}

AAX_Result Collection::AddEffect(const char* effectID, IACFUnknown* effectDescriptor)
{
    if (auto forced = Enter("AddEffect", [&] { return Quote(effectID) + ", " + ObjectName(effectDescriptor); }))
        return *forced;
    if (effectID == nullptr || effectDescriptor == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    mEffects.emplace_back(effectID, Hold(effectDescriptor));
    return AAX_SUCCESS;
}

AAX_Result Collection::SetManufacturerName(const char* name)
{
    if (auto forced = Enter("SetManufacturerName", [&] { return Quote(name); }))
        return *forced;
    mManufacturerName = name != nullptr ? name : "";
    return AAX_SUCCESS;
}

AAX_Result Collection::AddPackageName(const char* name)
{
    if (auto forced = Enter("AddPackageName", [&] { return Quote(name); }))
        return *forced;
    mPackageNames.push_back(name != nullptr ? name : "");
    return AAX_SUCCESS;
}

AAX_Result Collection::SetPackageVersion(uint32_t version)
{
    if (auto forced = Enter("SetPackageVersion", [&] { return Int(version); }))
        return *forced;
    mPackageVersion = version;
    return AAX_SUCCESS;
}

AAX_Result Collection::SetProperties(IACFUnknown* properties)
{
    if (auto forced = Enter("SetProperties", [&] { return ObjectName(properties); }))
        return *forced;
    mProperties = Hold(properties);
    return AAX_SUCCESS;
}

ACFRESULT Collection::DefineAttribute(const acfUID& attributeID, const acfUID& typeID, const void* data, uint32_t size)
{
    if (auto forced = Enter("DefineAttribute", [&] { return UidName(attributeID) + ", " + Int(size); }))
        return *forced;
    return mAttributes.Define(attributeID, typeID, data, size);
}

ACFRESULT Collection::GetAttributeInfo(const acfUID& attributeID, acfUID* typeID, uint32_t* size)
{
    if (auto forced = Enter("GetAttributeInfo", [&] { return UidName(attributeID); }))
        return *forced;
    return mAttributes.Info(attributeID, typeID, size);
}

ACFRESULT Collection::CopyAttribute(const acfUID& attributeID, const acfUID& typeID, void* data, uint32_t size)
{
    if (auto forced = Enter("CopyAttribute", [&] { return UidName(attributeID) + ", " + Int(size); }))
        return *forced;
    return mAttributes.Copy(attributeID, typeID, data, size);
}
} // namespace aaxhost
