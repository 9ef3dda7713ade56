#include "QuilloDescription.h"

#include "AAX_ICollection.h"
#include "AAX_IComponentDescriptor.h"
#include "AAX_IEffectDescriptor.h"
#include "AAX_IPropertyMap.h"
#include "EffectTestSupport.h"

namespace quillotest
{
namespace
{
constexpr AAX_CPropertyValue kManufacturerID = 0x56616E74;   // 'Vant'
constexpr AAX_CPropertyValue kProductID = 0x516C7732;        // 'Qlw2'
constexpr AAX_CPropertyValue kNativeIDBase = 0x6A636161;     // 'jcaa'
constexpr AAX_CPropertyValue kAudioSuiteIDBase = 0x6A796161; // 'jyaa'

} // namespace

void AAX_CALLBACK ProcessAlgorithm(AlgorithmContext* const*, const void*)
{
}

AAX_IEffectParameters* AAX_CALLBACK CreateEffectParameters()
{
    return new aaxtest::QuilloEffect;
}

AAX_IEffectGUI* AAX_CALLBACK CreateEffectGUI()
{
    return new aaxtest::NullViewGUI;
}

AAX_Result DescribeQuillo(AAX_ICollection* collection)
{
    AAX_IEffectDescriptor* const effect = collection->NewDescriptor();
    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    effect->AddName("Quillo");
    effect->AddName("Quillo");
    effect->AddCategory(AAX_ePlugInCategory_EQ);
    effect->AddProcPtr(reinterpret_cast<void*>(&CreateEffectGUI), kAAX_ProcPtrID_Create_EffectGUI);
    effect->AddProcPtr(reinterpret_cast<void*>(&CreateEffectParameters), kAAX_ProcPtrID_Create_EffectParameters);

    const AAX_EStemFormat layouts[] = { AAX_eStemFormat_Mono, AAX_eStemFormat_Stereo };
    AAX_CPropertyValue pairIndex = 0;
    for (AAX_EStemFormat layout : layouts)
    {
        AAX_IComponentDescriptor* const component = effect->NewComponentDescriptor();
        component->AddAudioIn(0);
        component->AddAudioOut(1);
        component->AddAudioBufferLength(2);
        component->AddDataInPort(3, sizeof(int32_t));
        component->AddPrivateData(4, 8);
        component->AddPrivateData(5, sizeof(int32_t));

        AAX_IPropertyMap* const properties = component->NewPropertyMap();
        if (properties == nullptr)
            return AAX_ERROR_NULL_OBJECT;
        properties->AddProperty(AAX_eProperty_ManufacturerID, kManufacturerID);
        properties->AddProperty(AAX_eProperty_ProductID, kProductID);
        properties->AddProperty(AAX_eProperty_CanBypass, true);
        properties->AddProperty(AAX_eProperty_InputStemFormat, layout);
        properties->AddProperty(AAX_eProperty_OutputStemFormat, layout);
        properties->AddProperty(AAX_eProperty_PlugInID_Native, kNativeIDBase + pairIndex);
        properties->AddProperty(AAX_eProperty_PlugInID_AudioSuite, kAudioSuiteIDBase + pairIndex);
        properties->AddProperty(AAX_eProperty_Constraint_MultiMonoSupport, true);
        component->AddProcessProc_Native(ProcessAlgorithm, properties);

        effect->AddComponent(component);
        ++pairIndex;
    }

    collection->AddEffect("com.Vantorell.Quillo", effect);
    collection->SetManufacturerName("Vantorell");
    collection->AddPackageName("Quillo");
    collection->AddPackageName("Quillo");
    collection->SetPackageVersion(0x00010001);
    return AAX_SUCCESS;
}
} // namespace quillotest
