#pragma once

#include "AAX.h"

class AAX_IString;

/** A copy of one parameter's id and value at some moment. Each holder answers only the getter of
    its own value type; the others return false and write nothing. */
class AAX_IParameterValue
{
public:
    virtual ~AAX_IParameterValue() = default;

    /** A new holder with the same id and value, owned by the caller. */
    virtual AAX_IParameterValue* Clone() const = 0;

    /** The parameter id, at most 31 characters. */
    virtual AAX_CParamID Identifier() const = 0;

    virtual bool GetValueAsBool(bool* value) const = 0;
    virtual bool GetValueAsInt32(int32_t* value) const = 0;
    virtual bool GetValueAsFloat(float* value) const = 0;
    virtual bool GetValueAsDouble(double* value) const = 0;
    virtual bool GetValueAsString(AAX_IString* value) const = 0;
};
