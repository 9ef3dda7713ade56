#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ACF/ACFPtr.h"
#include "ACF/IACFPluginDefinition.h"
#include "AAX_IACFCollection.h"
#include "Definition.h"
#include "HostObject.h"

namespace aaxhost
{
/** The host's collection; it is also the plug-in definition the host keeps after registration. */
class Collection final : public HostUnknown<AAX_IACFCollection, IACFPluginDefinition>
{
public:
    explicit Collection(std::shared_ptr<CallHook> hook);

    AAX_Result AddEffect(const char* effectID, IACFUnknown* effectDescriptor) override;
    AAX_Result SetManufacturerName(const char* name) override;
    AAX_Result AddPackageName(const char* name) override;
    AAX_Result SetPackageVersion(uint32_t version) override;
    AAX_Result SetProperties(IACFUnknown* properties) override;

    ACFRESULT DefineAttribute(const acfUID& attributeID, const acfUID& typeID, const void* data,
                              uint32_t size) override;
    ACFRESULT GetAttributeInfo(const acfUID& attributeID, acfUID* typeID, uint32_t* size) override;
    ACFRESULT CopyAttribute(const acfUID& attributeID, const acfUID& typeID, void* data, uint32_t size) override;

    /** What the plug-in described. */
    const std::vector<std::pair<std::string, ACFPtr<IACFUnknown>>>& Effects() const { return mEffects; }
    const std::string& ManufacturerName() const { return mManufacturerName; }
    const std::vector<std::string>& PackageNames() const { return mPackageNames; }
    uint32_t PackageVersion() const { return mPackageVersion; }

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    AttributeStore mAttributes;
    std::vector<std::pair<std::string, ACFPtr<IACFUnknown>>> mEffects;
    std::string mManufacturerName;
    std::vector<std::string> mPackageNames;
    uint32_t mPackageVersion = 0;
    ACFPtr<IACFUnknown> mProperties;
};
} // namespace aaxhost
