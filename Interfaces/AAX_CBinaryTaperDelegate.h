#pragma once

#include "AAX_ITaperDelegate.h"

/** An on/off taper: any normalised value above 0 is on (true), everything else (0, negative,
    NaN) is off; on is 1.0 and off 0.0 when normalised. */
template <typename T>
class AAX_CBinaryTaperDelegate : public AAX_ITaperDelegate<T>
{
public:
    AAX_CBinaryTaperDelegate() = default;

    AAX_CBinaryTaperDelegate* Clone() const override { return new AAX_CBinaryTaperDelegate(*this); }

    T GetMaximumValue() const override { return static_cast<T>(true); }
    T GetMinimumValue() const override { return static_cast<T>(false); }
    T ConstrainRealValue(T value) const override { return value; }
    T NormalizedToReal(double normalizedValue) const override { return static_cast<T>(normalizedValue > 0.0); }
    double RealToNormalized(T realValue) const override { return realValue ? 1.0 : 0.0; }
};
