#pragma once

/** Untyped base of the taper delegates: what a parameter accepts when its taper is replaced. */
class AAX_ITaperDelegateBase
{
public:
    virtual ~AAX_ITaperDelegateBase() = default;
};

/** Converts between a parameter's normalised value (0 to 1) and its real value of type `T`, and
    keeps real values within the taper's bounds. Delegates are small values: a parameter keeps a
    Clone of the one it is given. Stateless after construction, so any thread may call them. */
template <typename T>
class AAX_ITaperDelegate : public AAX_ITaperDelegateBase
{
public:
    /** A new delegate of the same class and state, owned by the caller. */
    virtual AAX_ITaperDelegate* Clone() const = 0;

    virtual T GetMaximumValue() const = 0;
    virtual T GetMinimumValue() const = 0;

    /** `value` limited to the taper's bounds. */
    virtual T ConstrainRealValue(T value) const = 0;

    virtual T NormalizedToReal(double normalizedValue) const = 0;
    virtual double RealToNormalized(T realValue) const = 0;
};
