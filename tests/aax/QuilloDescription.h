#pragma once

#include <cstdint>

#include "AAX.h"

class AAX_ICollection;
class AAX_IEffectGUI;
class AAX_IEffectParameters;

/** The plug-in description the product registers, written the way the framework's AAX wrapper
    writes it, for tests of the description path and for the test module. */
namespace quillotest
{
/** The algorithm context of the described component: one pointer-sized field per entry. */
struct AlgorithmContext
{
    float** inputChannels;
    float** outputChannels;
    int32_t* bufferSize;
    int32_t* bypass;
    void* instance;
    int32_t* isPrepared;
};

/** The native process procedure registered for every component; it does nothing. */
void AAX_CALLBACK ProcessAlgorithm(AlgorithmContext* const begin[], const void* end);

/** Factory procedures registered with the effect: the product's data model on the library's base
    (aaxtest::QuilloEffect) and an editor without a view (aaxtest::NullViewGUI). */
AAX_IEffectParameters* AAX_CALLBACK CreateEffectParameters();
AAX_IEffectGUI* AAX_CALLBACK CreateEffectGUI();

/** Writes one effect "Quillo" with a mono and a stereo component, then the package data. -20004 when the collection gives no descriptor. */
AAX_Result DescribeQuillo(AAX_ICollection* collection);
} // namespace quillotest
