#include "PropertyMap.h"

#include "AAX_UIDs.h"
#include "Format.h"

namespace aaxhost
{
PropertyMap::PropertyMap(std::shared_ptr<CallHook> hook)
    : HostUnknown("map", std::move(hook))
{
}

void* PropertyMap::FindInterface(const acfIID& iid)
{
    if (iid == IID_IACFUnknown || iid == IID_IAAXPropertyMapV1 || iid == IID_IAAXPropertyMapV2
        || iid == IID_IAAXPropertyMapV3)
        return static_cast<AAX_IACFPropertyMap_V3*>(this);
    return nullptr;
}

AAX_CBoolean PropertyMap::GetProperty(AAX_EProperty property, AAX_CPropertyValue* value) const
{
    if (const_cast<PropertyMap*>(this)->Enter("GetProperty", [&] { return aaxhost::Int(property); }))
        return 0;
    const auto found = mInts.find(property);
    if (found == mInts.end())
        return 0;
    if (value != nullptr)
        *value = found->second;
    return 1;
}

AAX_Result PropertyMap::AddProperty(AAX_EProperty property, AAX_CPropertyValue value)
{
    if (auto forced = Enter("AddProperty", [&] { return aaxhost::Int(property) + ", " + aaxhost::Int(value); }))
        return *forced;
    mInts[property] = value;
    return AAX_SUCCESS;
}

AAX_Result PropertyMap::RemoveProperty(AAX_EProperty property)
{
    if (auto forced = Enter("RemoveProperty", [&] { return aaxhost::Int(property); }))
        return *forced;
    mInts.erase(property);
    mPointers.erase(property);
    mArrays.erase(property);
    return AAX_SUCCESS;
}

AAX_Result PropertyMap::AddPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad* ids,
                                               uint32_t count)
{
    if (auto forced = Enter("AddPropertyWithIDArray",
                            [&] { return aaxhost::Int(property) + ", " + aaxhost::Int(count); }))
        return *forced;
    if (ids == nullptr && count != 0)
        return AAX_ERROR_NULL_ARGUMENT;
    mArrays[property].assign(ids, ids + count);
    return AAX_SUCCESS;
}

AAX_CBoolean PropertyMap::GetPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad** ids,
                                                 uint32_t* count) const
{
    if (const_cast<PropertyMap*>(this)->Enter("GetPropertyWithIDArray", [&] { return aaxhost::Int(property); }))
        return 0;
    const auto found = mArrays.find(property);
    if (found == mArrays.end())
        return 0;
    if (ids != nullptr)
        *ids = found->second.data();
    if (count != nullptr)
        *count = static_cast<uint32_t>(found->second.size());
    return 1;
}

AAX_CBoolean PropertyMap::GetPointerProperty(AAX_EProperty property, const void** value) const
{
    if (const_cast<PropertyMap*>(this)->Enter("GetPointerProperty", [&] { return aaxhost::Int(property); }))
        return 0;
    const auto found = mPointers.find(property);
    if (found == mPointers.end())
        return 0;
    if (value != nullptr)
        *value = found->second;
    return 1;
}

AAX_Result PropertyMap::AddPointerProperty(AAX_EProperty property, const void* value)
{
    if (auto forced = Enter("AddPointerProperty", [&] { return aaxhost::Int(property) + ", " + Ptr(value); }))
        return *forced;
    mPointers[property] = value;
    return AAX_SUCCESS;
}

std::optional<AAX_CPropertyValue> PropertyMap::IntValue(AAX_EProperty property) const
{
    const auto found = mInts.find(property);
    if (found == mInts.end())
        return std::nullopt;
    return found->second;
}

std::optional<const void*> PropertyMap::PointerValue(AAX_EProperty property) const
{
    const auto found = mPointers.find(property);
    if (found == mPointers.end())
        return std::nullopt;
    return found->second;
}
} // namespace aaxhost
