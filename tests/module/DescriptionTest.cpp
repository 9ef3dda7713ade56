// What the module registers and what an instance says about itself, read back through the
// stand-in host: ids and names that hosts and saved sessions rely on, the components, and the
// module's lifetime.

#include "HostedModule.h"

#include "Description.h"
#include "HostObject.h"

#include <algorithm>
#include <mutex>
#include <set>

using namespace quillo::hosted;
using Kind = aaxhost::ComponentDescriptor::ContextField::Kind;

TEST_F(ModuleTest, RegistersOneEqualiserWithItsIdsAndNames)
{
    const aaxhost::PluginDescription& description = host->Description();
    EXPECT_EQ(description.manufacturer, "Vantorell");
    EXPECT_EQ(description.packageNames, (std::vector<std::string> { "Quillo", "Quillo" }));
    EXPECT_EQ(description.packageVersion, 0x00010001u);
    ASSERT_EQ(description.effects.size(), 1u);
    const aaxhost::EffectDescription& effect = description.effects[0];
    EXPECT_EQ(effect.id, "com.Vantorell.Quillo");
    EXPECT_EQ(effect.names, (std::vector<std::string> { "Quillo" }));
    EXPECT_EQ(effect.categories, (std::vector<uint32_t> { uint32_t(AAX_ePlugInCategory_EQ) }));
    EXPECT_NE(effect.createGUI, nullptr);
    EXPECT_TRUE(effect.meters.empty());
    EXPECT_EQ(calls.Count("AcquireFeatureProperties"), 1u);
    EXPECT_TRUE(calls.Traces().empty());
    EXPECT_EQ(host->GetModule().CanUnloadNow(host->GetHost().Unknown()), 0);

    uint64_t version = 0;
    EXPECT_EQ(host->GetModule().GetSDKVersion(&version), ACF_OK);
    EXPECT_EQ(version, 0x0000020300BF7318u);
    for (const char* symbol : { "ACFRegisterPlugin", "ACFRegisterComponent", "ACFGetClassFactory", "ACFCanUnloadNow",
                                "ACFStartup", "ACFShutdown", "ACFGetSDKVersion", "QuilloDispatchMessages" })
        EXPECT_TRUE(host->GetModule().Exports(symbol)) << symbol;
    for (const char* symbol :
         { "GetEffectDescriptions", "_Z18createPluginFilterv", "_ZN4juce14MessageManager11getInstanceEv" })
        EXPECT_FALSE(host->GetModule().Exports(symbol)) << symbol;
}

TEST_F(ModuleTest, DescribesAMonoAndAStereoComponentOnly)
{
    const auto& components = host->Effect().components;
    ASSERT_EQ(components.size(), 2u);
    // 'jcaa' / 'jyaa' plus JUCE's code of the channel formats (one byte per direction).
    const struct
    {
        AAX_EStemFormat format;
        const char* nativeID;
        const char* audioSuiteID;
    } expected[] = { { AAX_eStemFormat_Mono, "jcbb", "jybb" }, { AAX_eStemFormat_Stereo, "jccc", "jycc" } };
    // Audio, buffer length, the bypass port, and four private blocks (the instance, the prepared
    // flag, and the stand-ins for meters and side-chain).
    const std::vector<std::pair<Kind, uint32_t>> fields = { { Kind::AudioIn, 0 },      { Kind::AudioOut, 0 },
                                                            { Kind::BufferLength, 0 }, { Kind::DataInPort, 4 },
                                                            { Kind::PrivateData, 8 },  { Kind::PrivateData, 4 },
                                                            { Kind::PrivateData, 8 },  { Kind::PrivateData, 8 } };
    for (size_t i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        const aaxhost::ComponentDescription& component = components[i];
        EXPECT_EQ(component.InputStemFormat(), expected[i].format);
        EXPECT_EQ(component.OutputStemFormat(), expected[i].format);
        EXPECT_EQ(component.Property(AAX_eProperty_ManufacturerID), int64_t(aaxhost::FourCCFromText("Vant")));
        EXPECT_EQ(component.Property(AAX_eProperty_ProductID), int64_t(aaxhost::FourCCFromText("Qlw2")));
        EXPECT_EQ(component.Property(AAX_eProperty_PlugInID_Native),
                  int64_t(aaxhost::FourCCFromText(expected[i].nativeID)));
        EXPECT_EQ(component.Property(AAX_eProperty_PlugInID_AudioSuite),
                  int64_t(aaxhost::FourCCFromText(expected[i].audioSuiteID)));
        EXPECT_EQ(component.Property(AAX_eProperty_CanBypass), 1);
        EXPECT_EQ(component.Property(AAX_eProperty_Constraint_MultiMonoSupport), 1);
        EXPECT_EQ(component.Property(AAX_eProperty_SupportsSideChainInput, -1), -1);
        ASSERT_EQ(component.fields.size(), fields.size());
        for (size_t f = 0; f < fields.size(); ++f)
        {
            EXPECT_EQ(component.fields[f].index, AAX_CFieldIndex(f));
            EXPECT_EQ(component.fields[f].kind, fields[f].first);
            EXPECT_EQ(component.fields[f].size, fields[f].second);
        }
    }
}

TEST_F(ModuleTest, AnInstanceHasTheTwentyThreeParametersAndTheBypassLastAllUnregisteredOnClose)
{
    auto stereo = Open(2, 48000.0f);
    const std::vector<std::string> expected { "0Input Gain",
                                              "1Output Gain",
                                              "2Power",
                                              "3High Pass",
                                              "4Meter IO",
                                              "5Low Shelf Boost",
                                              "6Low Shelf Attenuate",
                                              "7Low Shelf Frequency",
                                              "8High Shelf Boost",
                                              "9High Shelf Attenuate",
                                              "10High Shelf Frequency",
                                              "11Low Mid Freq",
                                              "12Low Mid Gain",
                                              "13Low Mid Q",
                                              "14Low Dyn Attenuation",
                                              "15High Mid Freq",
                                              "16High Mid Gain",
                                              "17High Mid Q",
                                              "18High Dyn Attenuation",
                                              "19Low Shelf Power",
                                              "20Low Mid Power",
                                              "21High Mid Power",
                                              "22High Shelf Power",
                                              "MasterBypassID" };
    const auto ids = stereo->ParameterIDs();
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(stereo->BypassID(), "MasterBypassID");
    for (const auto& [id, name] : { std::pair<const char*, const char*> { "MasterBypassID", "Master Bypass" },
                                    { "15High Mid Freq", "High Mid Freq" } })
    {
        aaxhost::HostString text;
        EXPECT_EQ(stereo->Effect().GetParameterName(id, &text), AAX_SUCCESS);
        EXPECT_EQ(text.Text(), name);
    }
    auto& automation = stereo->Context().GetAutomation();
    EXPECT_EQ(automation.Registered(), std::set<std::string>(ids.begin(), ids.end()));

    // Every open instance holds module objects; closed, it holds none and has unregistered all.
    const auto live = [&] { return host->GetModule().CanUnloadNow(host->GetHost().Unknown()); };
    const int32_t withOne = live();
    EXPECT_GT(withOne, 0);
    auto mono = Open(1, 48000.0f);
    EXPECT_GT(live(), withOne);
    mono->Close();
    EXPECT_EQ(live(), withOne);
    calls.Clear();
    stereo->Close();
    EXPECT_EQ(live(), 0);
    EXPECT_TRUE(automation.Registered().empty());
    EXPECT_EQ(calls.Count("UnregisterParameter"), 24u);
}

namespace
{
// The host objects that lose a reference, in order.
class Releases final : public aaxhost::CallObserver
{
public:
    std::optional<AAX_Result> Called(const aaxhost::HostObject&, const char*, const std::function<std::string()>&,
                                     const void*, uint32_t) override
    {
        return std::nullopt;
    }
    bool Withholds(const aaxhost::HostObject&, const acfIID&) override { return false; }
    void Released(const aaxhost::HostObject& object) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        names.push_back(object.Name());
    }

    std::mutex mutex;
    std::vector<std::string> names;
};
} // namespace

TEST(ModuleShutdown, ReleasesThePlugInDefinitionBeforeShuttingTheModuleDown)
{
    // The definition is the host's collection; ACFShutdown lets go of the host's services.
    Releases releases;
    aaxhost::StandInHost host(QUILLO_TEST_MODULE, &releases);
    host.CreateInstance(2, 48000.0f)->Close();
    releases.names.clear();
    EXPECT_EQ(host.Shutdown(), 0);
    const auto& names = releases.names;
    const auto definition = std::find(names.begin(), names.end(), "collection#1");
    const auto services = std::find(names.begin(), names.end(), "services");
    ASSERT_NE(definition, names.end());
    ASSERT_NE(services, names.end());
    EXPECT_LT(definition, services);
}
