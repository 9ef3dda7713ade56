#pragma once

#include "AAX_IParameterValue.h"

/** The id and real value of a parameter of value type `T` (bool or float). The id keeps at most
    its first 31 characters. Not synchronised. */
template <typename T>
class AAX_CParameterValue : public AAX_IParameterValue
{
public:
    /** A null id counts as empty. */
    explicit AAX_CParameterValue(AAX_CParamID identifier, T value = T());
    AAX_CParameterValue(const AAX_CParameterValue& other) = default;
    AAX_CParameterValue& operator=(const AAX_CParameterValue& other) = default;

    AAX_IParameterValue* Clone() const override;
    AAX_CParamID Identifier() const override;

    bool GetValueAsBool(bool* value) const override;
    bool GetValueAsInt32(int32_t* value) const override;
    bool GetValueAsFloat(float* value) const override;
    bool GetValueAsDouble(double* value) const override;

    /** Always false: a value holder has no text. */
    bool GetValueAsString(AAX_IString* value) const override;

    const T& Get() const { return mValue; }
    void Set(const T& value) { mValue = value; }

    /** Longest id kept, in characters. */
    static constexpr int kMaxIdentifierLength = 31;

private:
    char mIdentifier[kMaxIdentifierLength + 1];
    T mValue;
};

extern template class AAX_CParameterValue<bool>;
extern template class AAX_CParameterValue<float>;
