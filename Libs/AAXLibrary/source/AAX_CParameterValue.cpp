#include "AAX_CParameterValue.h"

#include <cstring>
#include <type_traits>

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
    if constexpr (std::is_same<T, bool>::value)
    {
        if (value == nullptr)
            return false;
        *value = mValue;
        return true;
    }
    else
    {
        (void)value;
        return false;
    }
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsInt32(int32_t* value) const
{
    if constexpr (std::is_same<T, int32_t>::value)
    {
        if (value == nullptr)
            return false;
        *value = mValue;
        return true;
    }
    else
    {
        (void)value;
        return false;
    }
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsFloat(float* value) const
{
    if constexpr (std::is_same<T, float>::value)
    {
        if (value == nullptr)
            return false;
        *value = mValue;
        return true;
    }
    else
    {
        (void)value;
        return false;
    }
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsDouble(double* value) const
{
    if constexpr (std::is_same<T, double>::value)
    {
        if (value == nullptr)
            return false;
        *value = mValue;
        return true;
    }
    else
    {
        (void)value;
        return false;
    }
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsString(AAX_IString*) const
{
    return false;
}

template class AAX_CParameterValue<bool>;
template class AAX_CParameterValue<float>;
