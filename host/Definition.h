#pragma once

#include <map>
#include <utility>
#include <vector>

#include "ACF/IACFDefinition.h"
#include "HostObject.h"

namespace aaxhost
{
/** Typed attribute storage shared by the host's definition objects. */
class AttributeStore
{
public:
    ACFRESULT Define(const acfUID& attributeID, const acfUID& typeID, const void* data, uint32_t size);
    ACFRESULT Info(const acfUID& attributeID, acfUID* typeID, uint32_t* size) const;
    ACFRESULT Copy(const acfUID& attributeID, const acfUID& typeID, void* data, uint32_t size) const;

private:
    std::map<acfUID, std::pair<acfUID, std::vector<uint8_t>>> mAttributes;
};

/** The host's own definition (what AAX_ICollection::HostDefinition shows the plug-in). */
class Definition final : public HostUnknown<IACFDefinition>
{
public:
    explicit Definition(std::shared_ptr<CallHook> hook);

    ACFRESULT DefineAttribute(const acfUID& attributeID, const acfUID& typeID, const void* data,
                              uint32_t size) override;
    ACFRESULT GetAttributeInfo(const acfUID& attributeID, acfUID* typeID, uint32_t* size) override;
    ACFRESULT CopyAttribute(const acfUID& attributeID, const acfUID& typeID, void* data, uint32_t size) override;

protected:
    void* FindInterface(const acfIID& iid) override;

private:
    AttributeStore mAttributes;
};
} // namespace aaxhost
