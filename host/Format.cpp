#include "Format.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <utility>

#include "AAX_UIDs.h"
#include "HostObject.h"

namespace aaxhost
{
namespace
{
#define QUILLO_HOST_ID(id)                                                                                             \
    std::pair<const acfUID*, const char*>                                                                              \
    {                                                                                                                  \
        &id, #id                                                                                                       \
    }

const std::pair<const acfUID*, const char*> kKnownIds[] = {
    QUILLO_HOST_ID(IID_IACFUnknown),
    QUILLO_HOST_ID(IID_IACFDefinition),
    QUILLO_HOST_ID(IID_IACFPluginDefinition),
    QUILLO_HOST_ID(IID_IACFComponentDefinition),
    QUILLO_HOST_ID(IID_IACFComponentFactory),
    QUILLO_HOST_ID(IID_IAAXEffectParametersV1),
    QUILLO_HOST_ID(IID_IAAXEffectParametersV2),
    QUILLO_HOST_ID(IID_IAAXEffectParametersV3),
    QUILLO_HOST_ID(IID_IAAXEffectParametersV4),
    QUILLO_HOST_ID(IID_IAAXEffectGUIV1),
    QUILLO_HOST_ID(IID_IAAXCollectionV1),
    QUILLO_HOST_ID(IID_IAAXEffectDescriptorV1),
    QUILLO_HOST_ID(IID_IAAXEffectDescriptorV2),
    QUILLO_HOST_ID(IID_IAAXComponentDescriptorV1),
    QUILLO_HOST_ID(IID_IAAXComponentDescriptorV2),
    QUILLO_HOST_ID(IID_IAAXComponentDescriptorV3),
    QUILLO_HOST_ID(IID_IAAXPropertyMapV1),
    QUILLO_HOST_ID(IID_IAAXPropertyMapV2),
    QUILLO_HOST_ID(IID_IAAXPropertyMapV3),
    QUILLO_HOST_ID(IID_IAAXDescriptionHostV1),
    QUILLO_HOST_ID(IID_IAAXFeatureInfoV1),
    QUILLO_HOST_ID(IID_IAAXHostServicesV1),
    QUILLO_HOST_ID(IID_IAAXHostServicesV2),
    QUILLO_HOST_ID(IID_IAAXAutomationDelegateV1),
    QUILLO_HOST_ID(IID_IAAXTransportV1),
    QUILLO_HOST_ID(IID_IAAXTransportV2),
    QUILLO_HOST_ID(IID_IAAXViewContainerV1),
    QUILLO_HOST_ID(IID_IAAXViewContainerV2),
    QUILLO_HOST_ID(IID_IAAXPageTableV1),
    QUILLO_HOST_ID(IID_IAAXControllerV1),
    QUILLO_HOST_ID(IID_IAAXControllerV2),
    QUILLO_HOST_ID(IID_IAAXControllerV3),
    QUILLO_HOST_ID(IID_IAAXPageTableController),
    QUILLO_HOST_ID(IID_IAAXPageTableControllerV2),
    QUILLO_HOST_ID(AAXCompID_AAXCollection),
    QUILLO_HOST_ID(AAXCompID_AAXEffectDescriptor),
    QUILLO_HOST_ID(AAXCompID_AAXComponentDescriptor),
    QUILLO_HOST_ID(AAXCompID_AAXPropertyMap),
    QUILLO_HOST_ID(AAXCompID_HostServices),
    QUILLO_HOST_ID(AAXCompID_PageTable),
    QUILLO_HOST_ID(AAXATTR_ClientFeature_StemFormat),
    QUILLO_HOST_ID(AAXATTR_ClientFeature_AuxOutputStem),
    QUILLO_HOST_ID(AAXATTR_ClientFeature_SideChainInput),
};

#undef QUILLO_HOST_ID
} // namespace

std::string Quote(const char* text)
{
    return text != nullptr ? "\"" + std::string(text) + "\"" : "null";
}

std::string Int(int64_t value)
{
    return std::to_string(value);
}

std::string Real(double value)
{
    // Shortest text that reads back as the same double.
    char text[64];
    const auto result = std::to_chars(text, text + sizeof(text), value);
    return std::string(text, result.ptr);
}

std::string Ptr(const void* pointer)
{
    if (pointer == nullptr)
        return "null";
    char text[32];
    std::snprintf(text, sizeof(text), "0x%" PRIxPTR, reinterpret_cast<uintptr_t>(pointer));
    return text;
}

std::string UidName(const acfUID& id)
{
    for (const auto& known : kKnownIds)
        if (*known.first == id)
            return known.second;

    char text[48];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X%02X%02X%02X%02X%02X%02X}", unsigned(id.Data1),
                  unsigned(id.Data2), unsigned(id.Data3), id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3],
                  id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

std::string ObjectName(IACFUnknown* unknown)
{
    if (unknown == nullptr)
        return "null";
    const HostObject* const object = HostObject::FromUnknown(unknown);
    return object != nullptr ? object->Name() : "foreign";
}
} // namespace aaxhost
