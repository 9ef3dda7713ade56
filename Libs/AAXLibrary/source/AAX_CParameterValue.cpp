#include "AAX_CParameterValue.h"

#include <cstring>
#include <type_traits>

namespace
{
/** Copies `stored` to `out` when it is of the asked type `Out`; any other type answers false. */
template <typename Out, typename T>
bool CopyIfSameType(const T& stored, Out* out)
{
    if constexpr (std::is_same<T, Out>::value)
    {
        if (out == nullptr)
            return false;
        *out = stored;
        return true;
    }
    else
    {
        (void)stored;
        (void)out;
        return false;
    }
}
} // namespace

template <typename T>
AAX_CParameterValue<T>::AAX_CParameterValue(AAX_CParamID identifier, T value)
    : mValue(value)
{
    std::memset(mIdentifier, 0, sizeof(mIdentifier));
    if (identifier != nullptr)
        std::strncpy(mIdentifier, identifier, kMaxIdentifierLength);
}

template <typename T>
AAX_IParameterValue* AAX_CParameterValue<T>::Clone() const
{
    return new AAX_CParameterValue(*this);
}

template <typename T>
AAX_CParamID AAX_CParameterValue<T>::Identifier() const
{
    return mIdentifier;
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsBool(bool* value) const
{
    return CopyIfSameType(mValue, value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsInt32(int32_t* value) const
{
    return CopyIfSameType(mValue, value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsFloat(float* value) const
{
    return CopyIfSameType(mValue, value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsDouble(double* value) const
{
    return CopyIfSameType(mValue, value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsString(AAX_IString*) const
{
    return false;
}

template class AAX_CParameterValue<bool>;
template class AAX_CParameterValue<float>;
