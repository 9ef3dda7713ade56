#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CHostServices.h"
#include "AAX_UIDs.h"
#include "AAX_VCollection.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"
#include "Collection.h"
#include "ComponentDescriptor.h"
#include "EffectDescriptor.h"
#include "FeatureInfo.h"
#include "Format.h"
#include "PropertyMap.h"
#include "QuilloDescription.h"

using aaxtest::FourCC;
using aaxtest::HostTest;

namespace
{
std::vector<std::string> WithoutFactoryCalls(const std::vector<std::string>& texts)
{
    std::vector<std::string> kept;
    for (const std::string& text : texts)
        if (text.rfind("factory.", 0) != 0)
            kept.push_back(text);
    return kept;
}

/** What the host records for one component of the description, pair index i, stem format f. */
std::vector<std::string> ComponentCalls(int i, int32_t format, const std::string& component, const std::string& map)
{
    const std::string procedure = aaxhost::Ptr(reinterpret_cast<const void*>(&quillotest::ProcessAlgorithm));
    const std::string f = std::to_string(format);
    return {
        component + ".AddAudioIn(0)",
        component + ".AddAudioOut(1)",
        component + ".AddAudioBufferLength(2)",
        component + ".AddDataInPort(3, 4, 1)",
        component + ".AddPrivateData(4, 8, 0)",
        component + ".AddPrivateData(5, 4, 0)",
        map + ".AddProperty(11, " + std::to_string(FourCC("Vant")) + ")",
        map + ".AddProperty(12, " + std::to_string(FourCC("Qlw2")) + ")",
        map + ".AddProperty(60, 1)",
        map + ".AddProperty(51, " + f + ")",
        map + ".AddProperty(52, " + f + ")",
        map + ".AddProperty(13, " + std::to_string(FourCC("jcaa") + i) + ")",
        map + ".AddProperty(14, " + std::to_string(FourCC("jyaa") + i) + ")",
        map + ".AddProperty(304, 1)",
        component + ".AddProcessProc_Native(" + procedure + ", " + map + ", null, null)",
        "effect#1.AddComponent(" + component + ")",
    };
}

/** An effect descriptor that is not this library's. */
class ForeignEffect : public AAX_IEffectDescriptor
{
public:
    AAX_IComponentDescriptor* NewComponentDescriptor() override { return nullptr; }
    AAX_Result AddComponent(AAX_IComponentDescriptor*) override { return AAX_SUCCESS; }
    AAX_Result AddName(const char*) override { return AAX_SUCCESS; }
    AAX_Result AddCategory(uint32_t) override { return AAX_SUCCESS; }
    AAX_Result AddCategoryBypassParameter(uint32_t, AAX_CParamID) override { return AAX_SUCCESS; }
    AAX_Result AddProcPtr(void*, AAX_CProcPtrID) override { return AAX_SUCCESS; }
    AAX_IPropertyMap* NewPropertyMap() override { return nullptr; }
    AAX_Result SetProperties(AAX_IPropertyMap*) override { return AAX_SUCCESS; }
    AAX_Result AddResourceInfo(AAX_EResourceType, const char*) override { return AAX_SUCCESS; }
    AAX_Result AddMeterDescription(AAX_CTypeID, const char*, AAX_IPropertyMap*) override { return AAX_SUCCESS; }
    AAX_Result AddControlMIDINode(AAX_CTypeID, AAX_EMIDINodeType, const char*, uint32_t) override { return AAX_SUCCESS; }
};

class DescriptionTest : public HostTest
{
protected:
    std::unique_ptr<AAX_VComponentDescriptor> NewComponent()
    {
        return std::make_unique<AAX_VComponentDescriptor>(host->Unknown());
    }

    aaxhost::ComponentDescriptor& LastHostComponent()
    {
        return *host->GetFactory().CreatedOf<aaxhost::ComponentDescriptor>().back();
    }

    /** A property map of the component with procedure ids and pointers as a description sets them. */
    AAX_IPropertyMap* ProcedureMap(AAX_VComponentDescriptor& component, bool native, bool ti)
    {
        AAX_IPropertyMap* const map = component.NewPropertyMap();
        if (native)
        {
            map->AddProperty(AAX_eProperty_PlugInID_Native, FourCC("jcaa"));
            map->AddPointerProperty(AAX_eProperty_NativeProcessProc, reinterpret_cast<const void*>(&Process));
        }
        if (ti)
        {
            map->AddProperty(AAX_eProperty_PlugInID_TI, FourCC("jdaa"));
            map->AddPointerProperty(AAX_eProperty_TIDLLFileName, "Quillo.dll");
            map->AddPointerProperty(AAX_eProperty_TIProcessProc, "Quillo_Process");
        }
        return map;
    }

    static void AAX_CALLBACK Process(void* const*, const void*) {}
};
} // namespace

TEST_F(DescriptionTest, TheWholeDescriptionReachesTheHostInOrder)
{
    {
        AAX_VCollection collection(host->Unknown());
        ASSERT_EQ(quillotest::DescribeQuillo(&collection), AAX_SUCCESS);
    }

    std::vector<std::string> expected {
        "descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat)",
        "effect#1.AddName(\"Quillo\")",
        "effect#1.AddName(\"Quillo\")",
        "effect#1.AddCategory(1)",
        "effect#1.AddProcPtr(" + aaxhost::Ptr(reinterpret_cast<const void*>(&quillotest::CreateEffectGUI)) + ", 1)",
        "effect#1.AddProcPtr(" + aaxhost::Ptr(reinterpret_cast<const void*>(&quillotest::CreateEffectParameters))
            + ", 0)",
    };
    for (const auto& call : ComponentCalls(0, AAX_eStemFormat_Mono, "component#1", "map#1"))
        expected.push_back(call);
    for (const auto& call : ComponentCalls(1, AAX_eStemFormat_Stereo, "component#2", "map#2"))
        expected.push_back(call);
    for (const char* call : { "collection#1.AddEffect(\"com.Vantorell.Quillo\", effect#1)",
                              "collection#1.SetManufacturerName(\"Vantorell\")", "collection#1.AddPackageName(\"Quillo\")",
                              "collection#1.AddPackageName(\"Quillo\")", "collection#1.SetPackageVersion(65537)" })
        expected.push_back(call);

    EXPECT_EQ(WithoutFactoryCalls(calls.Texts()), expected);

    // The host keeps what it was given after the wrappers are gone.
    auto collections = host->GetFactory().CreatedOf<aaxhost::Collection>();
    ASSERT_EQ(collections.size(), 1u);
    ASSERT_EQ(collections[0]->Effects().size(), 1u);
    auto* effect = dynamic_cast<aaxhost::EffectDescriptor*>(
        aaxhost::HostObject::FromUnknown(collections[0]->Effects()[0].second.get()));
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->Components().size(), 2u);
    EXPECT_EQ(effect->ProcPtr(kAAX_ProcPtrID_Create_EffectGUI), reinterpret_cast<void*>(&quillotest::CreateEffectGUI));
}

TEST_F(DescriptionTest, LayoutsTheHostDoesNotSupportAreLeftOut)
{
    auto* feature = new aaxhost::FeatureInfo(host->Hook(), AAX_eSupportLevel_ByProperty);
    auto* support = new aaxhost::PropertyMap(host->Hook());
    support->AddProperty(static_cast<AAX_EProperty>(AAX_eStemFormat_Mono), AAX_eSupportLevel_Unsupported);
    support->AddProperty(static_cast<AAX_EProperty>(AAX_eStemFormat_Stereo), AAX_eSupportLevel_Supported);
    feature->SetProperties(support);
    host->GetDescriptionHost().SetFeature(AAXATTR_ClientFeature_StemFormat, feature);
    feature->Drop();
    support->Drop();

    {
        AAX_VCollection collection(host->Unknown());
        ASSERT_EQ(quillotest::DescribeQuillo(&collection), AAX_SUCCESS);
    }
    const auto components = host->GetFactory().CreatedOf<aaxhost::ComponentDescriptor>();
    ASSERT_EQ(components.size(), 1u);
    // map#1 is the host's own support map; the component's map follows.
    const auto mapCalls = calls.TextsOf("map#2");
    ASSERT_EQ(mapCalls.size(), 8u);
    EXPECT_EQ(mapCalls[3], "AddProperty(51, 65538)");
    EXPECT_EQ(mapCalls[5], "AddProperty(13, " + std::to_string(FourCC("jcaa")) + ")");
}

TEST_F(DescriptionTest, ACollectionOnANullHostRefusesEverything)
{
    AAX_VCollection collection(nullptr);
    EXPECT_EQ(collection.GetIUnknown(), nullptr);
    EXPECT_EQ(collection.DescriptionHost(), nullptr);
    EXPECT_EQ(collection.SetManufacturerName("Vantorell"), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(collection.NewPropertyMap(), nullptr);

    AAX_IEffectDescriptor* const effect = collection.NewDescriptor();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->AddName("Quillo"), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(effect->AddControlMIDINode(1, AAX_eMIDINodeType_LocalInput, "in", 1), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(collection.AddEffect("com.Vantorell.Quillo", effect), AAX_ERROR_NULL_OBJECT);

    AAX_IComponentDescriptor* const component = effect->NewComponentDescriptor();
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->AddAudioIn(0), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(component->AddTemporaryData(1, 4), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(quillotest::DescribeQuillo(&collection), AAX_ERROR_NULL_OBJECT);
}

TEST_F(DescriptionTest, LaterVersionsMissingGiveUnimplemented)
{
    calls.WithholdFromKind("effect", IID_IAAXEffectDescriptorV2);
    calls.WithholdFromKind("component", IID_IAAXComponentDescriptorV2);
    calls.WithholdFromKind("component", IID_IAAXComponentDescriptorV3);

    AAX_VEffectDescriptor effect(host->Unknown());
    EXPECT_EQ(effect.AddControlMIDINode(1, AAX_eMIDINodeType_LocalInput, "in", 0xFFFF), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(effect.AddName("Quillo"), AAX_SUCCESS);

    AAX_IComponentDescriptor* const component = effect.NewComponentDescriptor();
    EXPECT_EQ(component->AddTemporaryData(6, 16), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(component->AddSideChainIn(6), AAX_SUCCESS);

    calls.FailCall(host->GetFactory(), "CreateComponent(AAXCompID_AAXEffectDescriptor", ACF_E_NOINTERFACE);
    AAX_VEffectDescriptor refused(host->Unknown());
    EXPECT_EQ(refused.AddName("Quillo"), AAX_ERROR_NULL_OBJECT);
}

TEST_F(DescriptionTest, ChildrenReachTheHostAsTheirHostObjects)
{
    AAX_VCollection collection(host->Unknown());
    AAX_IEffectDescriptor* const effect = collection.NewDescriptor();
    AAX_IComponentDescriptor* const component = effect->NewComponentDescriptor();
    AAX_IPropertyMap* const meterMap = effect->NewPropertyMap();
    AAX_IPropertyMap* const packageMap = collection.NewPropertyMap();

    EXPECT_EQ(effect->AddComponent(component), AAX_SUCCESS);
    EXPECT_EQ(effect->AddComponent(nullptr), AAX_ERROR_NULL_COMPONENT);   // the host's own answer
    EXPECT_EQ(effect->AddMeterDescription(FourCC("Metr"), "Level", meterMap), AAX_SUCCESS);
    EXPECT_EQ(effect->SetProperties(nullptr), AAX_SUCCESS);
    EXPECT_EQ(collection.SetProperties(packageMap), AAX_SUCCESS);
    EXPECT_EQ(effect->AddResourceInfo(AAX_eResourceType_PageTable, "Quillo.xml"), AAX_SUCCESS);
    EXPECT_EQ(effect->AddCategoryBypassParameter(1, "MasterBypassID"), AAX_SUCCESS);

    // A descriptor of another implementation has no host object to hand over.
    ForeignEffect foreign;
    EXPECT_EQ(collection.AddEffect("x", &foreign), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(collection.AddEffect("x", nullptr), AAX_ERROR_NULL_OBJECT);

    EXPECT_EQ(calls.TextsOf("effect#1"),
              (std::vector<std::string> { "AddComponent(component#1)", "AddComponent(null)",
                                          "AddMeterDescription(" + std::to_string(FourCC("Metr")) + ", \"Level\", map#1)",
                                          "SetProperties(null)", "AddResourceInfo(1, \"Quillo.xml\")",
                                          "AddCategoryBypassParameter(1, \"MasterBypassID\")" }));
    EXPECT_EQ(calls.TextsOf("collection#1"), (std::vector<std::string> { "SetProperties(map#2)" }));
}

TEST_F(DescriptionTest, ComponentFieldsAreForwardedUnchanged)
{
    auto component = NewComponent();
    const AAX_CTypeID meters[] = { FourCC("Metr"), FourCC("Metr") + 1 };
    EXPECT_EQ(component->Clear(), AAX_SUCCESS);
    EXPECT_EQ(component->AddReservedField(9, 7), AAX_SUCCESS);
    EXPECT_EQ(component->AddSampleRate(1), AAX_SUCCESS);
    EXPECT_EQ(component->AddClock(2), AAX_SUCCESS);
    EXPECT_EQ(component->AddAuxOutputStem(0, AAX_eStemFormat_Stereo, "Aux"), AAX_SUCCESS);
    EXPECT_EQ(component->AddDmaInstance(3, AAX_IDma::eMode_Burst), AAX_SUCCESS);
    EXPECT_EQ(component->AddMeters(4, meters, 2), AAX_SUCCESS);
    EXPECT_EQ(component->AddMIDINode(5, AAX_eMIDINodeType_LocalInput, "Quillo", 0xFFFF), AAX_SUCCESS);
    EXPECT_EQ(component->AddDataInPort(6, 4, AAX_eDataInPortType_Unbuffered), AAX_SUCCESS);
    EXPECT_EQ(component->AddTemporaryData(7, 64), AAX_SUCCESS);
    EXPECT_EQ(component->AddProcessProc_TI("Quillo.dll", "Process", nullptr), AAX_SUCCESS);

    EXPECT_EQ(calls.TextsOf("component#1"),
              (std::vector<std::string> {
                  "Clear()", "AddReservedField(9, 7)", "AddSampleRate(1)", "AddClock(2)",
                  "AddAuxOutputStem(0, 65538, \"Aux\")", "AddDmaInstance(3, 1)",
                  "AddMeters(4, [" + std::to_string(FourCC("Metr")) + " " + std::to_string(FourCC("Metr") + 1) + "], 2)",
                  "AddMIDINode(5, 0, \"Quillo\", 65535)", "AddDataInPort(6, 4, 0)", "AddTemporaryData(7, 64)",
                  "AddProcessProc_TI(\"Quillo.dll\", \"Process\", null, null, null)" }));

    calls.FailCall(LastHostComponent(), "AddAudioIn", -12345);
    EXPECT_EQ(component->AddAudioIn(0), -12345);
}

TEST_F(DescriptionTest, ProceduresAreRegisteredByTheHostOrOneByOne)
{
    {
        auto component = NewComponent(); // with the third version, the host registers them
        AAX_CSelector ids[3] = { 9, 9, 9 };
        EXPECT_EQ(component->AddProcessProc(ProcedureMap(*component, true, true), ids, 3), AAX_SUCCESS);
        EXPECT_EQ(calls.Count("AddProcessProc"), 1u);
        EXPECT_EQ(std::vector<AAX_CSelector>(ids, ids + 3), (std::vector<AAX_CSelector> { 1, 2, 0 }));
        EXPECT_EQ(LastHostComponent().ProcessProcs().size(), 2u);
    }
    calls.WithholdFromKind("component", IID_IAAXComponentDescriptorV3);
    calls.WithholdFromKind("map", IID_IAAXPropertyMapV3);
    auto component = NewComponent();
    AAX_IPropertyMap* const map = ProcedureMap(*component, true, true);

    AAX_CSelector ids[3] = { 9, 9, 9 };
    EXPECT_EQ(component->AddProcessProc(map, ids, 3), AAX_SUCCESS);
    EXPECT_EQ(std::vector<AAX_CSelector>(ids, ids + 3), (std::vector<AAX_CSelector> { 1, 2, 0 }));

    const auto& procs = LastHostComponent().ProcessProcs();
    ASSERT_EQ(procs.size(), 2u);
    EXPECT_TRUE(procs[0].native);
    EXPECT_EQ(procs[0].processProc, &Process);
    EXPECT_EQ(procs[0].properties, "map#2");
    EXPECT_FALSE(procs[1].native);
    EXPECT_EQ(procs[1].dllFileName, "Quillo.dll");
    EXPECT_EQ(procs[1].processProcName, "Quillo_Process");

    AAX_CSelector small[2] = { 9, 9 };
    EXPECT_EQ(component->AddProcessProc(map, small, 2), AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW);
    EXPECT_EQ(small[0], 9u);

    EXPECT_EQ(component->AddProcessProc(nullptr, ids, 3), AAX_ERROR_NULL_OBJECT);
}

TEST_F(DescriptionTest, ATIOnlyPropertyNeverReachesTheNativeRegistration)
{
    calls.WithholdFromKind("component", IID_IAAXComponentDescriptorV3);
    auto component = NewComponent();
    AAX_IPropertyMap* const map = ProcedureMap(*component, true, false);
    map->AddProperty(AAX_eProperty_TIOnly, 1);

    EXPECT_EQ(component->AddProcessProc(map, nullptr, 0), AAX_SUCCESS);

    const auto& procs = LastHostComponent().ProcessProcs();
    ASSERT_EQ(procs.size(), 1u);
    EXPECT_EQ(procs[0].properties, "map#2"); // the duplicate
    auto maps = host->GetFactory().CreatedOf<aaxhost::PropertyMap>();
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_FALSE(maps[1]->IntValue(AAX_eProperty_TIOnly).has_value());
    EXPECT_EQ(maps[1]->IntValue(AAX_eProperty_PlugInID_Native), FourCC("jcaa"));
    EXPECT_EQ(maps[1]->PointerValue(AAX_eProperty_NativeProcessProc), reinterpret_cast<const void*>(&Process));
}

TEST_F(DescriptionTest, MissingProcedurePropertiesRegisterNothing)
{
    aaxtest::ScopedHostServices services(host->Unknown());
    calls.WithholdFromKind("component", IID_IAAXComponentDescriptorV3);
    auto component = NewComponent();

    AAX_IPropertyMap* const nativeWithoutProcedure = component->NewPropertyMap();
    nativeWithoutProcedure->AddProperty(AAX_eProperty_PlugInID_AudioSuite, FourCC("jyaa"));
    AAX_CSelector ids[2] = { 9, 9 };
    EXPECT_EQ(component->AddProcessProc(nativeWithoutProcedure, ids, 2), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(ids[0], 9u);

    AAX_IPropertyMap* const tiWithoutNames = component->NewPropertyMap();
    tiWithoutNames->AddProperty(AAX_eProperty_PlugInID_TI, FourCC("jdaa"));
    EXPECT_EQ(component->AddProcessProc(tiWithoutNames, ids, 2), AAX_ERROR_NULL_OBJECT);

    EXPECT_TRUE(LastHostComponent().ProcessProcs().empty());
    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 3u);
    EXPECT_EQ(traces[0].message,
              "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_NativeProcessProc");
    EXPECT_EQ(traces[1].message,
              "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_TIDLLFileName");
    EXPECT_EQ(traces[2].message,
              "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_TIProcessProc");

    // A map naming no procedure at all registers nothing and writes an empty list.
    AAX_IPropertyMap* const empty = component->NewPropertyMap();
    EXPECT_EQ(component->AddProcessProc(empty, ids, 2), AAX_SUCCESS);
    EXPECT_EQ(ids[0], 0u);
}

TEST_F(DescriptionTest, DuplicatesCopyOnlyTheDescriptionRange)
{
    auto component = NewComponent();
    AAX_IPropertyMap* const source = component->NewPropertyMap();
    source->AddProperty(static_cast<AAX_EProperty>(9), 90);
    source->AddProperty(static_cast<AAX_EProperty>(10), 100);
    source->AddProperty(static_cast<AAX_EProperty>(401), 4010);
    source->AddProperty(static_cast<AAX_EProperty>(402), 4020);
    int target = 0;
    source->AddPointerProperty(AAX_eProperty_NativeBackgroundProc, &target);

    AAX_IPropertyMap* const copy = component->DuplicatePropertyMap(source);
    ASSERT_NE(copy, nullptr);
    AAX_CPropertyValue value = 0;
    EXPECT_FALSE(copy->GetProperty(static_cast<AAX_EProperty>(9), &value));
    EXPECT_TRUE(copy->GetProperty(static_cast<AAX_EProperty>(10), &value));
    EXPECT_EQ(value, 100);
    EXPECT_TRUE(copy->GetProperty(static_cast<AAX_EProperty>(401), &value));
    EXPECT_EQ(value, 4010);
    EXPECT_FALSE(copy->GetProperty(static_cast<AAX_EProperty>(402), &value));
    const void* pointer = nullptr;
    EXPECT_TRUE(copy->GetPointerProperty(AAX_eProperty_NativeBackgroundProc, &pointer));
    EXPECT_EQ(pointer, &target);

    AAX_IPropertyMap* const fromNothing = component->DuplicatePropertyMap(nullptr);
    ASSERT_NE(fromNothing, nullptr);
    EXPECT_FALSE(fromNothing->GetProperty(static_cast<AAX_EProperty>(10), &value));
}

TEST(DescriptionTypes, ContextFieldsArePointerSizedIndices)
{
    EXPECT_EQ(AAX_FIELD_INDEX(quillotest::AlgorithmContext, inputChannels), 0);
    EXPECT_EQ(AAX_FIELD_INDEX(quillotest::AlgorithmContext, bypass), 3);
    EXPECT_EQ(AAX_FIELD_INDEX(quillotest::AlgorithmContext, isPrepared), 5);
    EXPECT_EQ(1 << AAX_eAudioBufferLength_Max, 1024);
    EXPECT_EQ(AAX_eStemFormat_Mono, 0x00000001); // the layout index over the channel count
    EXPECT_EQ(AAX_eStemFormat_Stereo, 0x00010002);
    EXPECT_EQ(AAX_STEM_FORMAT_CHANNEL_COUNT(AAX_eStemFormat_7_1_2), 10);
    EXPECT_EQ(AAX_STEM_FORMAT_INDEX(AAX_eStemFormat_None), -100);
    EXPECT_EQ(AAX_STEM_FORMAT_INDEX(AAX_eStemFormat_Any), -1);
    EXPECT_EQ(static_cast<uint32_t>(AAX_eStemFormat_None), 0xFF9C0000u);
}
