// A plug-in module for the tests: the library's exported entry points over a description of the
// product written the way the framework's AAX wrapper writes it, with a switch (an environment
// variable) that makes the description routine fail in each way registration must survive.

#include "AAX_Exports.cpp"

#include <cstdlib>
#include <stdexcept>

#include "AAX_Exception.h"
#include "AAX_ICollection.h"
#include "AAX_IComponentDescriptor.h"
#include "AAX_IEffectDescriptor.h"
#include "AAX_IPropertyMap.h"
#include "EffectTestSupport.h"

namespace
{
struct AlgorithmContext
{
    float** inputChannels;
    float** outputChannels;
    int32_t* bufferSize;
};

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

/** One effect with a stereo component, then the package data. */
AAX_Result DescribeQuillo(AAX_ICollection* collection)
{
    AAX_IEffectDescriptor* const effect = collection->NewDescriptor();
    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;
    effect->AddName("Quillo");
    effect->AddCategory(AAX_ePlugInCategory_EQ);
    effect->AddProcPtr(reinterpret_cast<void*>(&CreateEffectGUI), kAAX_ProcPtrID_Create_EffectGUI);
    effect->AddProcPtr(reinterpret_cast<void*>(&CreateEffectParameters), kAAX_ProcPtrID_Create_EffectParameters);
    AAX_IComponentDescriptor* const component = effect->NewComponentDescriptor();
    component->AddAudioIn(0);
    component->AddAudioOut(1);
    component->AddAudioBufferLength(2);
    AAX_IPropertyMap* const properties = component->NewPropertyMap();
    if (properties == nullptr)
        return AAX_ERROR_NULL_OBJECT;
    properties->AddProperty(AAX_eProperty_ManufacturerID, 0x56616E74);  // 'Vant'
    properties->AddProperty(AAX_eProperty_ProductID, 0x516C7732);       // 'Qlw2'
    properties->AddProperty(AAX_eProperty_PlugInID_Native, 0x6A636162); // 'jcab'
    properties->AddProperty(AAX_eProperty_InputStemFormat, AAX_eStemFormat_Stereo);
    properties->AddProperty(AAX_eProperty_OutputStemFormat, AAX_eStemFormat_Stereo);
    component->AddProcessProc_Native(ProcessAlgorithm, properties);
    effect->AddComponent(component);
    collection->AddEffect("com.Vantorell.Quillo", effect);
    collection->SetManufacturerName("Vantorell");
    collection->AddPackageName("Quillo");
    return collection->SetPackageVersion(0x00010001);
}
} // namespace

/** QUILLO_TEST_DESCRIPTION_MODE: unset or 0 describes the product; 1 returns -20004; 2 throws a
    std::runtime_error "boom"; 3 throws an AAX::Exception::Any; 4 throws the int 7; 5 throws a
    ResultError for -20041. */
AAX_Result GetEffectDescriptions(AAX_ICollection* collection)
{
    const char* const mode = std::getenv("QUILLO_TEST_DESCRIPTION_MODE");
    switch (mode != nullptr ? std::atoi(mode) : 0)
    {
    case 1: return AAX_ERROR_NULL_OBJECT;
    case 2: throw std::runtime_error("boom");
    case 3: throw AAX::Exception::Any("description failed", "GetEffectDescriptions", "42");
    case 4: throw 7;
    case 5: throw AAX::Exception::ResultError(AAX_ERROR_UNKNOWN_ID);
    default: return DescribeQuillo(collection);
    }
}
