#pragma once

#include <map>
#include <string>
#include <vector>

#include "AAX.h"
#include "AAX_Enums.h"
#include "ComponentDescriptor.h"

namespace aaxhost
{
class Host;

/** One algorithm component as the plug-in described it: its context fields and the properties
    of its native process procedure. */
struct ComponentDescription
{
    std::vector<ComponentDescriptor::ContextField> fields;
    std::map<int32_t, int64_t> properties;  ///< integer properties of the native procedure's map
    AAX_CProcessProc processProc = nullptr; ///< the native process procedure, or null
    AAX_CInstanceInitProc instanceInitProc = nullptr;

    /** An integer property, or `fallback` when the map lacks it. */
    int64_t Property(AAX_EProperty property, int64_t fallback = 0) const;

    AAX_EStemFormat InputStemFormat() const
    {
        return AAX_EStemFormat(int32_t(Property(AAX_eProperty_InputStemFormat, AAX_eStemFormat_None)));
    }
    AAX_EStemFormat OutputStemFormat() const
    {
        return AAX_EStemFormat(int32_t(Property(AAX_eProperty_OutputStemFormat, AAX_eStemFormat_None)));
    }
};

/** One effect as the plug-in described it. */
struct EffectDescription
{
    std::string id;
    std::vector<std::string> names;
    std::vector<uint32_t> categories;
    void* createGUI = nullptr;        ///< kAAX_ProcPtrID_Create_EffectGUI
    void* createParameters = nullptr; ///< kAAX_ProcPtrID_Create_EffectParameters
    std::vector<ComponentDescription> components;
    std::vector<std::pair<AAX_CTypeID, std::string>> meters;

    /** The component for this pair of stem formats, or null. */
    const ComponentDescription* FindComponent(AAX_EStemFormat input, AAX_EStemFormat output) const;
};

/** What one registration described: the package and its effects. */
struct PluginDescription
{
    std::string manufacturer;
    std::vector<std::string> packageNames;
    uint32_t packageVersion = 0;
    std::vector<EffectDescription> effects;

    /** Reads what the plug-in described in its latest registration with `host` from the host's
        description objects. Empty when nothing was registered. */
    static PluginDescription Read(Host& host);

    /** The description as quillo-host describe prints it. */
    std::string Format() const;
};

/** "Mono", "Stereo", "5.1", ... or the format's hex code. */
std::string StemFormatName(AAX_EStemFormat format);
} // namespace aaxhost
