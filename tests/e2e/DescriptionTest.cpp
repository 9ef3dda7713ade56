// What the module registers, read back from the stand-in host's description objects.

#include "E2ETestSupport.h"

#include "Collection.h"
#include "Description.h"

#include <thread>

using namespace quillo::e2e;
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
    EXPECT_EQ(effect.names, (std::vector<std::string> { "Quillo" }));   // JUCE adds the name once
    EXPECT_EQ(effect.categories, (std::vector<uint32_t> { uint32_t(AAX_ePlugInCategory_EQ) }));
    EXPECT_NE(effect.createParameters, nullptr);
    EXPECT_NE(effect.createGUI, nullptr);
    EXPECT_TRUE(effect.meters.empty());

    uint64_t version = 0;
    EXPECT_EQ(host->GetModule().GetSDKVersion(&version), ACF_OK);
    EXPECT_EQ(version, 0x0000020300BF7318u);
}

TEST_F(ModuleTest, DescribesAMonoAndAStereoComponentOnly)
{
    const auto& components = host->Effect().components;
    ASSERT_EQ(components.size(), 2u);

    struct Expected
    {
        AAX_EStemFormat format;
        const char* nativeID;
        const char* audioSuiteID;
    };
    const Expected expected[] = { { AAX_eStemFormat_Mono, "jcbb", "jybb" }, { AAX_eStemFormat_Stereo, "jccc", "jycc" } };

    for (size_t i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        const aaxhost::ComponentDescription& component = components[i];
        EXPECT_EQ(component.InputStemFormat(), expected[i].format);
        EXPECT_EQ(component.OutputStemFormat(), expected[i].format);
        EXPECT_EQ(component.Property(AAX_eProperty_ManufacturerID), int64_t(aaxhost::FourCCFromText("Vant")));
        EXPECT_EQ(component.Property(AAX_eProperty_ProductID), int64_t(aaxhost::FourCCFromText("Qlw2")));
        // 'jcaa' / 'jyaa' plus JUCE's code of the channel formats (one byte per direction).
        EXPECT_EQ(component.Property(AAX_eProperty_PlugInID_Native), int64_t(aaxhost::FourCCFromText(expected[i].nativeID)));
        EXPECT_EQ(component.Property(AAX_eProperty_PlugInID_AudioSuite),
                  int64_t(aaxhost::FourCCFromText(expected[i].audioSuiteID)));
        EXPECT_EQ(component.Property(AAX_eProperty_CanBypass), 1);
        EXPECT_EQ(component.Property(AAX_eProperty_Constraint_MultiMonoSupport), 1);
        EXPECT_EQ(component.Property(AAX_eProperty_SupportsSideChainInput, -1), -1);
        EXPECT_NE(component.processProc, nullptr);

        // Eight context fields: audio, buffer length, the bypass port, and four private blocks
        // (the instance, the prepared flag, and the stand-ins for meters and side-chain).
        const std::vector<std::pair<Kind, uint32_t>> fields = {
            { Kind::AudioIn, 0 }, { Kind::AudioOut, 0 }, { Kind::BufferLength, 0 }, { Kind::DataInPort, 4 },
            { Kind::PrivateData, 8 }, { Kind::PrivateData, 4 }, { Kind::PrivateData, 8 }, { Kind::PrivateData, 8 } };
        ASSERT_EQ(component.fields.size(), fields.size());
        for (size_t f = 0; f < fields.size(); ++f)
        {
            EXPECT_EQ(component.fields[f].index, AAX_CFieldIndex(f));
            EXPECT_EQ(component.fields[f].kind, fields[f].first);
            EXPECT_EQ(component.fields[f].size, fields[f].second);
        }
    }
    EXPECT_EQ(host->Effect().FindComponent(AAX_eStemFormat_Mono, AAX_eStemFormat_Stereo), nullptr);
}

TEST_F(ModuleTest, RegistrationAsksForTheStemFormatFeatureAndLeavesNothingAlive)
{
    EXPECT_EQ(calls.Count("AcquireFeatureProperties"), 1u);
    EXPECT_EQ(host->GetModule().CanUnloadNow(host->GetHost().Unknown()), 0);
    EXPECT_TRUE(calls.Traces().empty());
}

TEST_F(ModuleTest, ExportsOnlyTheEntryPointsAndTheMessageLoop)
{
    const aaxhost::Module& module = host->GetModule();
    for (const char* symbol : { "ACFRegisterPlugin", "ACFRegisterComponent", "ACFGetClassFactory", "ACFCanUnloadNow",
                                "ACFStartup", "ACFShutdown", "ACFGetSDKVersion", "QuilloDispatchMessages" })
        EXPECT_TRUE(module.Exports(symbol)) << symbol;
    for (const char* symbol : { "GetEffectDescriptions", "_Z21GetEffectDescriptionsP15AAX_ICollection",
                                "_Z18createPluginFilterv", "_ZN4juce14MessageManager11getInstanceEv" })
        EXPECT_FALSE(module.Exports(symbol)) << symbol;
}

TEST_F(ModuleTest, TheMessageLoopRunsOnlyOnTheHostsMainThread)
{
    auto instance = Open(2, 48000.0f);
    EXPECT_GE(host->GetModule().DispatchMessages(0), 0);
    int32_t elsewhere = 0;
    std::thread other([&] { elsewhere = host->GetModule().DispatchMessages(0); });
    other.join();
    EXPECT_EQ(elsewhere, -1);
    bool refused = false;
    std::thread([&] {
        try
        {
            host->CreateInstance(2, 48000.0f);
        }
        catch (const aaxhost::HostError&)
        {
            refused = true;
        }
    }).join();
    EXPECT_TRUE(refused);
    instance->Close();
    // Without an instance JUCE is not running inside the module: nothing to deliver.
    EXPECT_EQ(host->GetModule().DispatchMessages(0), 0);
}
