#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "AAX_ITaperDelegate.h"

/** A linear taper over [minimum, maximum]: normalised 0 is the minimum, 1 the maximum, also when
    the minimum is the larger bound. With RealPrecision 0 real values are not rounded; otherwise
    they are rounded to multiples of 1 / RealPrecision. A NaN real value counts as the minimum. */
template <typename T, int32_t RealPrecision = 0>
class AAX_CLinearTaperDelegate : public AAX_ITaperDelegate<T>
{
    static_assert(std::is_arithmetic<T>::value, "a linear taper needs a numeric value type");

public:
    /** Bounds are stored as given; their order is not checked. */
    AAX_CLinearTaperDelegate(T minimum = T(0), T maximum = T(1))
        : mMinValue(minimum)
        , mMaxValue(maximum)
    {
    }

    AAX_CLinearTaperDelegate* Clone() const override { return new AAX_CLinearTaperDelegate(*this); }

    T GetMaximumValue() const override { return mMaxValue; }
    T GetMinimumValue() const override { return mMinValue; }

    T ConstrainRealValue(T value) const override
    {
        if (mMinValue == mMaxValue || IsNaN(value))
            return mMinValue;

        const T low = mMinValue < mMaxValue ? mMinValue : mMaxValue;
        const T high = mMinValue < mMaxValue ? mMaxValue : mMinValue;
        if (value > high)
            return high;
        if (low > value)
            return low;
        return value;
    }

    /** (maximum - minimum) * n + minimum in double, rounded once to T and constrained: a value
        outside 0..1 lands on a bound. */
    T NormalizedToReal(double normalizedValue) const override
    {
        double real = (double(mMaxValue) - double(mMinValue)) * normalizedValue + double(mMinValue);
        if (std::isnan(real))
            return this->ConstrainRealValue(mMinValue);

        // Narrowing a double outside T's range is undefined, and the result is clamped anyway.
        const double lowest = double(std::numeric_limits<T>::lowest());
        const double highest = double(std::numeric_limits<T>::max());
        real = real < lowest ? lowest : (real > highest ? highest : real);

        if (RealPrecision > 0)
            real = std::round(real * RealPrecision) / RealPrecision;

        return this->ConstrainRealValue(static_cast<T>(real));
    }

    /** The constrained value's position between minimum and maximum; 0.5 when they are equal. */
    double RealToNormalized(T realValue) const override
    {
        const T constrained = this->ConstrainRealValue(realValue);
        if (mMinValue == mMaxValue)
            return 0.5;
        return (double(constrained) - double(mMinValue)) / (double(mMaxValue) - double(mMinValue));
    }

private:
    static bool IsNaN(T value)
    {
        if constexpr (std::is_floating_point<T>::value)
            return std::isnan(value);
        else
            return false;
    }

    T mMinValue;
    T mMaxValue;
};
