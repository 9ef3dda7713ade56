// A plug-in module for the tests: the library's exported entry points over the product's
// description, with a switch that makes the description routine fail in each way registration
// must survive.

#include "AAX_Exports.cpp"

#include <atomic>
#include <stdexcept>

#include "AAX_Exception.h"
#include "QuilloDescription.h"

namespace
{
std::atomic<int> gDescriptionMode { 0 };
}

/** 0 describes the product; 1 returns -20004; 2 throws a std::runtime_error "boom"; 3 throws an
    AAX::Exception::Any; 4 throws the int 7; 5 throws a ResultError for -20041. */
extern "C" AAX_EXPORT void QuilloTestModule_SetDescriptionMode(int mode)
{
    gDescriptionMode = mode;
}

AAX_Result GetEffectDescriptions(AAX_ICollection* collection)
{
    switch (gDescriptionMode.load())
    {
    case 1:
        return AAX_ERROR_NULL_OBJECT;
    case 2:
        throw std::runtime_error("boom");
    case 3:
        throw AAX::Exception::Any("description failed", "GetEffectDescriptions", "42");
    case 4:
        throw 7;
    case 5:
        throw AAX::Exception::ResultError(AAX_ERROR_UNKNOWN_ID);
    default:
        return quillotest::DescribeQuillo(collection);
    }
}
