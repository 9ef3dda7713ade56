#include <memory>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VDescriptionHost.h"
#include "AAX_VFeatureInfo.h"
#include "AAX_VPropertyMap.h"
#include "FeatureInfo.h"
#include "PropertyMap.h"

using aaxhost::PropertyMap;

namespace
{
class PropertyMapTest : public aaxtest::HostTest
{
protected:
    std::unique_ptr<AAX_VPropertyMap> NewMap()
    {
        std::unique_ptr<AAX_VPropertyMap> map(AAX_VPropertyMap::Create(host->Unknown()));
        EXPECT_NE(map, nullptr);
        return map;
    }

    PropertyMap& LastHostMap()
    {
        auto maps = host->GetFactory().CreatedOf<PropertyMap>();
        EXPECT_FALSE(maps.empty());
        return *maps.back();
    }

    static AAX_CPropertyValue Value(uint32_t raw) { return static_cast<AAX_CPropertyValue>(raw); }
};
} // namespace

TEST_F(PropertyMapTest, StemFormatsAreCheckedWithoutADescriptionHost)
{
    host->GetContext().Remove(IID_IAAXDescriptionHostV1);
    auto map = NewMap();

    const std::tuple<int, uint32_t, AAX_Result> cases[] = {
        { 51, 0x00010002, AAX_SUCCESS }, { 52, 0x000C0008, AAX_SUCCESS }, { 51, 0xFF9C0000, AAX_SUCCESS },
        { 51, 0xFFFF0000, AAX_SUCCESS }, { 51, 0x000D0001, AAX_ERROR_PROPERTY_UNDEFINED },
        { 52, 0x80000000, AAX_ERROR_PROPERTY_UNDEFINED }, { 52, 0xFFFE0002, AAX_ERROR_PROPERTY_UNDEFINED },
        { 50, 0x7FFF0000, AAX_SUCCESS } };
    for (const auto& [property, raw, result] : cases)
        EXPECT_EQ(map->AddProperty(static_cast<AAX_EProperty>(property), Value(raw)), result) << std::hex << raw;

    // Refused values never reach the host.
    EXPECT_EQ(calls.TextsOf(LastHostMap().Name()),
              (std::vector<std::string> { "AddProperty(51, 65538)", "AddProperty(52, 786440)",
                                          "AddProperty(51, -6553600)", "AddProperty(51, -65536)",
                                          "AddProperty(50, 2147418112)" }));

    // The enumerators agree with the check: index 12 and below pass, 7.0.2 and up do not.
    EXPECT_TRUE(AAX_VPropertyMap::IsValidStemFormat(AAX_eStemFormat_7_1_DTS));
    EXPECT_FALSE(AAX_VPropertyMap::IsValidStemFormat(AAX_eStemFormat_7_0_2));
    EXPECT_FALSE(AAX_VPropertyMap::IsValidStemFormat(AAX_eStemFormat_Ambi_1_ACN));
}

TEST_F(PropertyMapTest, WithADescriptionHostEveryStemFormatIsForwarded)
{
    auto map = NewMap();
    EXPECT_EQ(map->AddProperty(AAX_eProperty_InputStemFormat, Value(0x000D0001)), AAX_SUCCESS);
    EXPECT_EQ(map->AddProperty(AAX_eProperty_OutputStemFormat, AAX_eStemFormat_Ambi_3_ACN), AAX_SUCCESS);
    EXPECT_EQ(LastHostMap().IntValue(AAX_eProperty_OutputStemFormat), AAX_STEM_FORMAT(17, 16));
}

TEST_F(PropertyMapTest, WithTheThirdVersionPointersGoToTheHost)
{
    auto map = NewMap();
    int target = 0;
    EXPECT_EQ(map->AddPointerProperty(AAX_eProperty_NativeProcessProc, &target), AAX_SUCCESS);
    EXPECT_EQ(map->AddPointerProperty(static_cast<AAX_EProperty>(43), &target), AAX_SUCCESS);
    EXPECT_EQ(LastHostMap().PointerValue(static_cast<AAX_EProperty>(43)), &target);

    const void* out = nullptr;
    EXPECT_TRUE(map->GetPointerProperty(AAX_eProperty_NativeProcessProc, &out));
    EXPECT_EQ(out, &target);
    EXPECT_EQ(map->GetIUnknown(), static_cast<IACFUnknown*>(static_cast<AAX_IACFPropertyMap_V3*>(&LastHostMap())));
}

TEST_F(PropertyMapTest, WithoutTheThirdVersionProcedurePointersAreKeptLocally)
{
    calls.WithholdFromKind("map", IID_IAAXPropertyMapV3);
    auto map = NewMap();
    int procedure = 0;
    int other = 0;
    const void* out = nullptr;

    EXPECT_FALSE(map->GetPointerProperty(AAX_eProperty_NativeInstanceInitProc, &out));
    EXPECT_EQ(map->AddPointerProperty(AAX_eProperty_NativeProcessProc, &procedure), AAX_SUCCESS);
    EXPECT_EQ(map->AddPointerProperty(AAX_eProperty_NativeProcessProc, &other), AAX_SUCCESS);
    EXPECT_TRUE(map->GetPointerProperty(AAX_eProperty_NativeProcessProc, &out));
    EXPECT_EQ(out, &other);

    EXPECT_EQ(map->AddPointerProperty(static_cast<AAX_EProperty>(43), &procedure), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(map->AddPointerProperty(AAX_eProperty_TIDLLFileName, "plugin.dll"), AAX_SUCCESS);
    EXPECT_TRUE(map->GetPointerProperty(AAX_eProperty_TIDLLFileName, &out));
    EXPECT_STREQ(static_cast<const char*>(out), "plugin.dll");

    // Removing goes to the host only; the local entry stays.
    EXPECT_EQ(map->RemoveProperty(AAX_eProperty_NativeProcessProc), AAX_SUCCESS);
    EXPECT_TRUE(map->GetPointerProperty(AAX_eProperty_NativeProcessProc, &out));

    EXPECT_EQ(calls.Count("AddPointerProperty"), 0u);
    EXPECT_EQ(AAX_VComponentDescriptor::PointerPropertiesUsedByAddProcessProc(),
              (std::set<AAX_EProperty> { AAX_EProperty(36), AAX_EProperty(37), AAX_EProperty(38), AAX_EProperty(39),
                                         AAX_EProperty(40), AAX_EProperty(41), AAX_EProperty(42) }));
}

TEST_F(PropertyMapTest, GetIUnknownPrefersTheLatestVersion)
{
    calls.WithholdFromKind("map", IID_IAAXPropertyMapV2);
    calls.WithholdFromKind("map", IID_IAAXPropertyMapV3);
    auto map = NewMap();
    PropertyMap& hostMap = LastHostMap();
    EXPECT_EQ(map->GetIUnknown(), static_cast<IACFUnknown*>(static_cast<AAX_IACFPropertyMap*>(&hostMap)));

    // Without the second version the triad arrays are unavailable.
    const AAX_SPlugInIdentifierTriad triad { 1, 2, 3 };
    EXPECT_EQ(map->AddPropertyWithIDArray(AAX_eProperty_PlugInID_Native, &triad, 1), AAX_ERROR_UNIMPLEMENTED);
    const AAX_SPlugInIdentifierTriad* ids = nullptr;
    uint32_t count = 0;
    EXPECT_FALSE(map->GetPropertyWithIDArray(AAX_eProperty_PlugInID_Native, &ids, &count));
}

TEST_F(PropertyMapTest, IntegerAndTriadPropertiesRoundTrip)
{
    auto map = NewMap();
    AAX_CPropertyValue value = 0;
    EXPECT_FALSE(map->GetProperty(AAX_eProperty_ManufacturerID, &value));
    EXPECT_EQ(map->AddProperty(AAX_eProperty_ManufacturerID, aaxtest::FourCC("Vant")), AAX_SUCCESS);
    EXPECT_TRUE(map->GetProperty(AAX_eProperty_ManufacturerID, &value));
    EXPECT_EQ(value, 0x56616E74);
    EXPECT_EQ(map->RemoveProperty(AAX_eProperty_ManufacturerID), AAX_SUCCESS);
    EXPECT_FALSE(map->GetProperty(AAX_eProperty_ManufacturerID, &value));

    const AAX_SPlugInIdentifierTriad triads[2] = { { 1, 2, 3 }, { 4, 5, 6 } };
    EXPECT_EQ(map->AddPropertyWithIDArray(AAX_eProperty_PlugInID_Native, triads, 2), AAX_SUCCESS);
    const AAX_SPlugInIdentifierTriad* ids = nullptr;
    uint32_t count = 0;
    EXPECT_TRUE(map->GetPropertyWithIDArray(AAX_eProperty_PlugInID_Native, &ids, &count));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(ids[1].mPlugInID, 6u);

    // Host results pass through unchanged.
    calls.FailCall(LastHostMap(), "AddProperty", -777);
    EXPECT_EQ(map->AddProperty(AAX_eProperty_ProductID, 1), -777);
}

TEST_F(PropertyMapTest, WithoutAHostMapNothingIsStored)
{
    EXPECT_EQ(AAX_VPropertyMap::Create(nullptr), nullptr);
    calls.FailCall(host->GetFactory(), "CreateComponent(AAXCompID_AAXPropertyMap", ACF_E_NOINTERFACE);
    auto map = NewMap();
    AAX_CPropertyValue value = 0;
    EXPECT_EQ(map->AddProperty(AAX_eProperty_ProductID, 1), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(map->RemoveProperty(AAX_eProperty_ProductID), AAX_ERROR_NULL_OBJECT);
    EXPECT_FALSE(map->GetProperty(AAX_eProperty_ProductID, &value));
    EXPECT_EQ(map->AddPropertyWithIDArray(AAX_eProperty_ProductID, nullptr, 0), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(map->GetIUnknown(), nullptr);

    host->GetContext().Remove(IID_IACFComponentFactory);
    EXPECT_EQ(AAX_VPropertyMap::Create(host->Unknown()), nullptr);
}

TEST_F(PropertyMapTest, AcquireWrapsAnExistingHostMap)
{
    auto* hostMap = new PropertyMap(host->Hook());
    hostMap->AddProperty(AAX_eProperty_ProductID, 42);
    {
        std::unique_ptr<AAX_VPropertyMap> map(
            AAX_VPropertyMap::Acquire(static_cast<AAX_IACFPropertyMap_V3*>(hostMap)));
        AAX_CPropertyValue value = 0;
        EXPECT_TRUE(map->GetProperty(AAX_eProperty_ProductID, &value));
        EXPECT_EQ(value, 42);
        EXPECT_EQ(hostMap->RefCount(), 4u);   // ours plus one per version held
    }
    EXPECT_EQ(hostMap->RefCount(), 1u);
    hostMap->Drop();

    std::unique_ptr<AAX_VPropertyMap> overNothing(AAX_VPropertyMap::Acquire(nullptr));
    EXPECT_EQ(overNothing->GetIUnknown(), nullptr);
}

using FeatureWrappers = aaxtest::HostTest;

TEST_F(FeatureWrappers, WithoutTheHostInterfaceThereAreNoFeatures)
{
    host->GetContext().Remove(IID_IAAXDescriptionHostV1);
    AAX_VDescriptionHost description(host->Unknown());
    EXPECT_EQ(description.DescriptionHost(), nullptr);
    EXPECT_EQ(description.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat), nullptr);

    AAX_VDescriptionHost none(nullptr);
    EXPECT_EQ(none.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat), nullptr);
    EXPECT_EQ(none.HostDefinition(), nullptr);

    AAX_VFeatureInfo orphan(nullptr, AAXATTR_ClientFeature_StemFormat);
    AAX_ESupportLevel level = AAX_eSupportLevel_Uninitialized;
    EXPECT_EQ(orphan.SupportLevel(level), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(orphan.AcquireProperties(), nullptr);
}

TEST_F(FeatureWrappers, FeatureRecordsAndTheirPropertiesAreReleased)
{
    auto* feature = new aaxhost::FeatureInfo(host->Hook(), AAX_eSupportLevel_ByProperty);
    auto* properties = new PropertyMap(host->Hook());
    properties->AddProperty(static_cast<AAX_EProperty>(AAX_eStemFormat_Stereo), AAX_eSupportLevel_Supported);
    feature->SetProperties(properties);
    host->GetDescriptionHost().SetFeature(AAXATTR_ClientFeature_StemFormat, feature);
    const uint32_t featureRefs = feature->RefCount();
    const uint32_t propertyRefs = properties->RefCount();

    {
        AAX_VDescriptionHost description(host->Unknown());
        std::unique_ptr<const AAX_IFeatureInfo> info(description.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
        ASSERT_NE(info, nullptr);
        EXPECT_TRUE(info->ID() == AAXATTR_ClientFeature_StemFormat);
        EXPECT_EQ(feature->RefCount(), featureRefs + 1);   // the wrapper's own reference only

        AAX_ESupportLevel level = AAX_eSupportLevel_Uninitialized;
        EXPECT_EQ(info->SupportLevel(level), AAX_SUCCESS);
        EXPECT_EQ(level, AAX_eSupportLevel_ByProperty);

        std::unique_ptr<const AAX_IPropertyMap> map(info->AcquireProperties());
        ASSERT_NE(map, nullptr);
        AAX_CPropertyValue support = 0;
        EXPECT_TRUE(map->GetProperty(static_cast<AAX_EProperty>(AAX_eStemFormat_Stereo), &support));
        EXPECT_EQ(support, AAX_eSupportLevel_Supported);
        EXPECT_FALSE(map->GetProperty(static_cast<AAX_EProperty>(AAX_eStemFormat_Mono), &support));
    }
    EXPECT_EQ(feature->RefCount(), featureRefs);
    EXPECT_EQ(properties->RefCount(), propertyRefs);

    feature->Drop();
    properties->Drop();
}

TEST_F(FeatureWrappers, AFeatureWithoutPropertiesGivesNoMap)
{
    auto* feature = new aaxhost::FeatureInfo(host->Hook(), AAX_eSupportLevel_Supported);
    host->GetDescriptionHost().SetFeature(AAXATTR_ClientFeature_StemFormat, feature);
    feature->Drop();

    AAX_VDescriptionHost description(host->Unknown());
    EXPECT_NE(description.HostDefinition(), nullptr);
    EXPECT_EQ(description.AcquireFeatureProperties(AAXATTR_ClientFeature_SideChainInput), nullptr);
    std::unique_ptr<AAX_IFeatureInfo> info(description.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->AcquireProperties(), nullptr);

    calls.FailCall(host->GetDescriptionHost(), "AcquireFeatureProperties", -1);
    EXPECT_EQ(description.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat), nullptr);
}
