#include "Description.h"

#include <cstdio>
#include <sstream>

#include "Chunk.h"
#include "Collection.h"
#include "EffectDescriptor.h"
#include "Host.h"
#include "PropertyMap.h"

namespace aaxhost
{
namespace
{
template <class T>
T* HostObjectOf(IACFUnknown* unknown)
{
    return dynamic_cast<T*>(HostObject::FromUnknown(unknown));
}

const char* FieldKindName(ComponentDescriptor::ContextField::Kind kind)
{
    using Kind = ComponentDescriptor::ContextField::Kind;
    switch (kind)
    {
    case Kind::Reserved: return "reserved";
    case Kind::AudioIn: return "audio in";
    case Kind::AudioOut: return "audio out";
    case Kind::BufferLength: return "buffer length";
    case Kind::SampleRate: return "sample rate";
    case Kind::Clock: return "clock";
    case Kind::SideChainIn: return "side-chain in";
    case Kind::DataInPort: return "data-in port";
    case Kind::AuxOutputStem: return "aux output stem";
    case Kind::PrivateData: return "private data";
    case Kind::TemporaryData: return "temporary data";
    case Kind::Dma: return "DMA";
    case Kind::Meters: return "meters";
    case Kind::MIDINode: return "MIDI node";
    }
    return "?";
}

const char* PropertyName(int32_t id)
{
    switch (id)
    {
    case AAX_eProperty_ManufacturerID: return "manufacturer id";
    case AAX_eProperty_ProductID: return "product id";
    case AAX_eProperty_PlugInID_Native: return "native plug-in id";
    case AAX_eProperty_PlugInID_AudioSuite: return "AudioSuite plug-in id";
    case AAX_eProperty_PlugInID_TI: return "TI plug-in id";
    case AAX_eProperty_InputStemFormat: return "input stem format";
    case AAX_eProperty_OutputStemFormat: return "output stem format";
    case AAX_eProperty_CanBypass: return "can bypass";
    case AAX_eProperty_SupportsSideChainInput: return "side-chain input";
    case AAX_eProperty_SupportsSaveRestore: return "save and restore";
    case AAX_eProperty_Constraint_AlwaysProcess: return "always process";
    case AAX_eProperty_Constraint_MultiMonoSupport: return "multi-mono";
    case AAX_eProperty_Constraint_DoNotApplyDefaultSettings: return "no default settings";
    default: return nullptr;
    }
}

std::string PropertyValueText(int32_t id, int64_t value)
{
    switch (id)
    {
    case AAX_eProperty_ManufacturerID:
    case AAX_eProperty_ProductID:
    case AAX_eProperty_PlugInID_Native:
    case AAX_eProperty_PlugInID_AudioSuite:
    case AAX_eProperty_PlugInID_TI: return "'" + FourCCText(uint32_t(value)) + "'";
    case AAX_eProperty_InputStemFormat:
    case AAX_eProperty_OutputStemFormat: return StemFormatName(AAX_EStemFormat(int32_t(value)));
    default: return std::to_string(value);
    }
}

std::string CategoryText(uint32_t category)
{
    static const char* const names[] = { "EQ",           "Dynamics",     "PitchShift",     "Reverb", "Delay",
                                         "Modulation",   "Harmonic",     "NoiseReduction", "Dither", "SoundField",
                                         "HWGenerators", "SWGenerators", "WrappedPlugin",  "Effect" };
    std::string text;
    for (int bit = 0; bit < 14; ++bit)
        if ((category & (1u << bit)) != 0)
            text += (text.empty() ? "" : "|") + std::string(names[bit]);
    return text.empty() ? "None" : text;
}
} // namespace

int64_t ComponentDescription::Property(AAX_EProperty property, int64_t fallback) const
{
    const auto found = properties.find(int32_t(property));
    return found != properties.end() ? found->second : fallback;
}

const ComponentDescription* EffectDescription::FindComponent(AAX_EStemFormat input, AAX_EStemFormat output) const
{
    for (const ComponentDescription& component : components)
        if (component.InputStemFormat() == input && component.OutputStemFormat() == output)
            return &component;
    return nullptr;
}

PluginDescription PluginDescription::Read(Host& host)
{
    PluginDescription description;
    const auto collections = host.GetFactory().CreatedOf<Collection>();
    if (collections.empty())
        return description;

    const Collection& collection = *collections.back();
    description.manufacturer = collection.ManufacturerName();
    description.packageNames = collection.PackageNames();
    description.packageVersion = collection.PackageVersion();

    for (const auto& [id, unknown] : collection.Effects())
    {
        const auto* const effect = HostObjectOf<EffectDescriptor>(unknown.get());
        if (effect == nullptr)
            continue;

        EffectDescription effectDescription;
        effectDescription.id = id;
        effectDescription.names = effect->Names();
        effectDescription.categories = effect->Categories();
        effectDescription.createGUI = effect->ProcPtr(kAAX_ProcPtrID_Create_EffectGUI);
        effectDescription.createParameters = effect->ProcPtr(kAAX_ProcPtrID_Create_EffectParameters);
        for (const auto& meter : effect->Meters())
            effectDescription.meters.emplace_back(meter.id, meter.name);

        for (const auto& componentUnknown : effect->Components())
        {
            const auto* const component = HostObjectOf<ComponentDescriptor>(componentUnknown.get());
            if (component == nullptr)
                continue;

            ComponentDescription componentDescription;
            componentDescription.fields = component->Fields();
            const auto& procs = component->ProcessProcs();
            const auto& maps = component->ProcessProcMaps();
            for (size_t i = 0; i < procs.size(); ++i)
            {
                if (!procs[i].native || componentDescription.processProc != nullptr)
                    continue;
                componentDescription.processProc = procs[i].processProc;
                componentDescription.instanceInitProc = procs[i].instanceInitProc;
                if (const auto* map = i < maps.size() ? HostObjectOf<PropertyMap>(maps[i].get()) : nullptr)
                    for (const auto& [property, value] : map->Ints())
                        componentDescription.properties[int32_t(property)] = value;
            }
            effectDescription.components.push_back(std::move(componentDescription));
        }
        description.effects.push_back(std::move(effectDescription));
    }
    return description;
}

std::string PluginDescription::Format() const
{
    std::ostringstream out;
    out << "Manufacturer     " << manufacturer << "\n";
    out << "Package names   ";
    for (const auto& name : packageNames)
        out << " \"" << name << "\"";
    char version[64];
    std::snprintf(version, sizeof(version), "0x%08X (%u.%u.%u)", packageVersion, packageVersion >> 16,
                  (packageVersion >> 8) & 0xFF, packageVersion & 0xFF);
    out << "\nPackage version  " << version << "\n";

    for (const EffectDescription& effect : effects)
    {
        out << "\nEffect \"" << effect.id << "\"\n  names         ";
        for (const auto& name : effect.names)
            out << " \"" << name << "\"";
        out << "\n  category      ";
        for (uint32_t category : effect.categories)
            out << " " << CategoryText(category) << " (" << category << ")";
        out << "\n  factories      effect parameters " << (effect.createParameters != nullptr ? "yes" : "no")
            << ", GUI " << (effect.createGUI != nullptr ? "yes" : "no") << "\n";
        for (const auto& [id, name] : effect.meters)
            out << "  meter          '" << FourCCText(id) << "' \"" << name << "\"\n";

        for (size_t i = 0; i < effect.components.size(); ++i)
        {
            const ComponentDescription& component = effect.components[i];
            out << "  component " << i << ": " << StemFormatName(component.InputStemFormat()) << " -> "
                << StemFormatName(component.OutputStemFormat())
                << (component.processProc != nullptr ? ", native process procedure" : ", no native procedure") << "\n";
            for (const auto& field : component.fields)
            {
                out << "    field " << field.index << ": " << FieldKindName(field.kind);
                if (field.size != 0)
                    out << ", " << field.size << " bytes";
                out << "\n";
            }
            for (const auto& [property, value] : component.properties)
            {
                const char* const name = PropertyName(property);
                out << "    property " << property << (name != nullptr ? std::string(" (") + name + ")" : "") << " = "
                    << PropertyValueText(property, value) << "\n";
            }
        }
    }
    return out.str();
}

std::string StemFormatName(AAX_EStemFormat format)
{
    switch (format)
    {
    case AAX_eStemFormat_Mono: return "Mono";
    case AAX_eStemFormat_Stereo: return "Stereo";
    case AAX_eStemFormat_LCR: return "LCR";
    case AAX_eStemFormat_LCRS: return "LCRS";
    case AAX_eStemFormat_Quad: return "Quad";
    case AAX_eStemFormat_5_0: return "5.0";
    case AAX_eStemFormat_5_1: return "5.1";
    case AAX_eStemFormat_6_0: return "6.0";
    case AAX_eStemFormat_6_1: return "6.1";
    case AAX_eStemFormat_7_0_SDDS: return "7.0 SDDS";
    case AAX_eStemFormat_7_1_SDDS: return "7.1 SDDS";
    case AAX_eStemFormat_7_0_DTS: return "7.0";
    case AAX_eStemFormat_7_1_DTS: return "7.1";
    case AAX_eStemFormat_7_0_2: return "7.0.2";
    case AAX_eStemFormat_7_1_2: return "7.1.2";
    case AAX_eStemFormat_None: return "None";
    default:
    {
        char text[16];
        std::snprintf(text, sizeof(text), "0x%08X", uint32_t(format));
        return text;
    }
    }
}
} // namespace aaxhost
