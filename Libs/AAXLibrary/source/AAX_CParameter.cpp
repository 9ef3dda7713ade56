#include "AAX_CParameter.h"

#include <cmath>
#include <iterator>
#include <type_traits>

#include "AAX_IAutomationDelegate.h"

namespace
{
bool IsFinite(double value)
{
    return std::isfinite(value);
}

template <typename T>
bool IsNaNValue(T value)
{
    if constexpr (std::is_floating_point<T>::value)
        return std::isnan(value);
    else
    {
        (void)value;
        return false;
    }
}
} // namespace

template <typename T>
AAX_CParameter<T>::AAX_CParameter(AAX_CParamID identifier, const AAX_IString& name, T defaultValue,
                                  const AAX_ITaperDelegate<T>& taper, const AAX_IDisplayDelegate<T>& display,
                                  bool automatable)
    : mName(name.Get())
    , mAutomatable(automatable)
    , mTaperDelegate(taper.Clone())
    , mDisplayDelegate(display.Clone())
    , mValue(identifier, T())
    , mDefaultValue(defaultValue)
{
    SetNumberOfSteps(128);
    SetToDefaultValue();
}

template <typename T>
AAX_CParameter<T>::~AAX_CParameter()
{
    // A host that throws here would otherwise end the process: destructors cannot pass it on.
    if (mAutomationDelegate != nullptr)
    {
        try
        {
            mAutomationDelegate->UnregisterParameter(Identifier());
        }
        catch (...)
        {
        }
    }
}

template <typename T>
AAX_IParameterValue* AAX_CParameter<T>::CloneValue() const
{
    return new AAX_CParameterValue<T>(mValue);
}

template <typename T>
AAX_CParamID AAX_CParameter<T>::Identifier() const
{
    return mValue.Identifier();
}

template <typename T>
void AAX_CParameter<T>::SetName(const AAX_CString& name)
{
    mName = name;
}

template <typename T>
const AAX_CString& AAX_CParameter<T>::Name() const
{
    return mName;
}

template <typename T>
void AAX_CParameter<T>::AddShortenedName(const AAX_CString& name)
{
    mShortenedNames[name.Length()] = name;
}

template <typename T>
const AAX_CString& AAX_CParameter<T>::ShortenedName(int32_t limit) const
{
    if (limit < 0 || mName.Length() <= uint32_t(limit) || mShortenedNames.empty())
        return mName;

    const auto firstTooLong = mShortenedNames.upper_bound(uint32_t(limit));
    if (firstTooLong == mShortenedNames.begin())
        return mShortenedNames.begin()->second; // none fits: the shortest is the best there is
    return std::prev(firstTooLong)->second;
}

template <typename T>
void AAX_CParameter<T>::ClearShortenedNames()
{
    mShortenedNames.clear();
}

template <typename T>
bool AAX_CParameter<T>::Automatable() const
{
    return mAutomatable;
}

template <typename T>
void AAX_CParameter<T>::SetAutomationDelegate(AAX_IAutomationDelegate* delegate)
{
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->UnregisterParameter(Identifier());
    mAutomationDelegate = delegate;
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->RegisterParameter(Identifier());
}

template <typename T>
void AAX_CParameter<T>::Touch()
{
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->PostTouchRequest(Identifier());
}

template <typename T>
void AAX_CParameter<T>::Release()
{
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->PostReleaseRequest(Identifier());
}

template <typename T>
void AAX_CParameter<T>::ApplyNormalizedValue(double normalized)
{
    if (mAutomationDelegate != nullptr)
    {
        // The host decides; the value changes when its confirmed update arrives.
        Touch();
        mAutomationDelegate->PostSetValueRequest(Identifier(), normalized);
        Release();
    }
    else
    {
        mNeedNotify = true;
        UpdateNormalizedValue(normalized);
    }
}

template <typename T>
void AAX_CParameter<T>::UpdateNormalizedValue(double value)
{
    if (!IsFinite(value))
        return;

    const T real = mTaperDelegate->NormalizedToReal(value);
    if (!mNeedNotify && real == mValue.Get())
        return;

    mValue.Set(real);
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->PostCurrentValue(Identifier(), value);
    mNeedNotify = false;
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedValue(double value)
{
    if (!IsFinite(value))
        return;
    ApplyNormalizedValue(mTaperDelegate->RealToNormalized(mTaperDelegate->NormalizedToReal(value)));
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedValue() const
{
    return mTaperDelegate->RealToNormalized(mValue.Get());
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedDefaultValue(double value)
{
    if (!IsFinite(value))
        return;
    mDefaultValue = mTaperDelegate->ConstrainRealValue(mTaperDelegate->NormalizedToReal(value));
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedDefaultValue() const
{
    return mTaperDelegate->RealToNormalized(mDefaultValue);
}

template <typename T>
void AAX_CParameter<T>::SetToDefaultValue()
{
    ApplyNormalizedValue(mTaperDelegate->RealToNormalized(mDefaultValue));
}

template <typename T>
void AAX_CParameter<T>::SetNumberOfSteps(uint32_t steps)
{
    if (steps != 0)
        mNumSteps = steps;
}

template <typename T>
uint32_t AAX_CParameter<T>::GetNumberOfSteps() const
{
    return mNumSteps;
}

template <typename T>
uint32_t AAX_CParameter<T>::GetStepValue() const
{
    return GetStepValueFromNormalizedValue(GetNormalizedValue());
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedValueFromStep(uint32_t step) const
{
    const uint32_t steps = GetNumberOfSteps();
    if (steps < 2)
        return 0.0;

    const double value = double(step) * (1.0 / (double(steps) - 1.0));
    return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

template <typename T>
uint32_t AAX_CParameter<T>::GetStepValueFromNormalizedValue(double normalizedValue) const
{
    const uint32_t steps = GetNumberOfSteps();
    if (steps < 2 || std::isnan(normalizedValue))
        return 0;

    const double maxStep = double(steps) - 1.0;
    const double interval = 1.0 / maxStep;
    double step = normalizedValue / interval + 0.5;
    step = step < 0.0 ? 0.0 : (step > maxStep ? maxStep : step);
    return uint32_t(step);
}

template <typename T>
void AAX_CParameter<T>::SetStepValue(uint32_t step)
{
    if (GetNumberOfSteps() < 2)
        return;
    SetNormalizedValue(GetNormalizedValueFromStep(step));
}

template <typename T>
bool AAX_CParameter<T>::GetValueString(AAX_CString* text) const
{
    return mDisplayDelegate->ValueToString(mValue.Get(), text);
}

template <typename T>
bool AAX_CParameter<T>::GetValueString(int32_t limit, AAX_CString* text) const
{
    return mDisplayDelegate->ValueToString(mValue.Get(), limit, text);
}

template <typename T>
bool AAX_CParameter<T>::IsWithinTaperRange(T value) const
{
    const T a = mTaperDelegate->GetMinimumValue();
    const T b = mTaperDelegate->GetMaximumValue();
    const T low = a < b ? a : b;
    const T high = a < b ? b : a;
    return !IsNaNValue(value) && !(value < low) && !(high < value);
}

// The typed conversions answer only for the parameter's own value type. Bool and int32 values
// are always finite, so the finiteness test refuses only floating-point ones.

template <typename T>
template <typename V>
bool AAX_CParameter<T>::NormalizedFromTyped(V value, double* normalized) const
{
    if constexpr (std::is_same<T, V>::value)
    {
        if (normalized == nullptr || !IsFinite(value))
            return false;
        *normalized = mTaperDelegate->RealToNormalized(value);
        return true;
    }
    else
    {
        (void)value;
        (void)normalized;
        return false;
    }
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromBool(bool value, double* normalized) const
{
    return NormalizedFromTyped(value, normalized);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromInt32(int32_t value, double* normalized) const
{
    return NormalizedFromTyped(value, normalized);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromFloat(float value, double* normalized) const
{
    return NormalizedFromTyped(value, normalized);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromDouble(double value, double* normalized) const
{
    return NormalizedFromTyped(value, normalized);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromString(const AAX_CString& text, double* normalized) const
{
    if (normalized == nullptr)
        return false;

    T value = T();
    if (!mDisplayDelegate->StringToValue(text, &value))
        return false;

    *normalized = mTaperDelegate->RealToNormalized(value);
    return IsWithinTaperRange(value);
}

template <typename T>
template <typename V>
bool AAX_CParameter<T>::TypedFromNormalized(double normalized, V* value) const
{
    if constexpr (std::is_same<T, V>::value)
    {
        if (value == nullptr || !IsFinite(normalized))
            return false;
        *value = mTaperDelegate->NormalizedToReal(normalized);
        return true;
    }
    else
    {
        (void)normalized;
        (void)value;
        return false;
    }
}

template <typename T>
bool AAX_CParameter<T>::GetBoolFromNormalizedValue(double normalized, bool* value) const
{
    return TypedFromNormalized(normalized, value);
}

template <typename T>
bool AAX_CParameter<T>::GetInt32FromNormalizedValue(double normalized, int32_t* value) const
{
    return TypedFromNormalized(normalized, value);
}

template <typename T>
bool AAX_CParameter<T>::GetFloatFromNormalizedValue(double normalized, float* value) const
{
    return TypedFromNormalized(normalized, value);
}

template <typename T>
bool AAX_CParameter<T>::GetDoubleFromNormalizedValue(double normalized, double* value) const
{
    return TypedFromNormalized(normalized, value);
}

template <typename T>
bool AAX_CParameter<T>::GetStringFromNormalizedValue(double normalized, AAX_CString& text) const
{
    if (!IsFinite(normalized))
        return false;
    const T value = mTaperDelegate->NormalizedToReal(normalized);
    const bool made = mDisplayDelegate->ValueToString(value, &text);
    return made && IsWithinTaperRange(value);
}

template <typename T>
bool AAX_CParameter<T>::GetStringFromNormalizedValue(double normalized, int32_t limit, AAX_CString& text) const
{
    if (!IsFinite(normalized))
        return false;
    const T value = mTaperDelegate->NormalizedToReal(normalized);
    const bool made = mDisplayDelegate->ValueToString(value, limit, &text);
    return made && IsWithinTaperRange(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueFromString(const AAX_CString& text)
{
    T value = T();
    if (!mDisplayDelegate->StringToValue(text, &value))
        return false;
    ApplyNormalizedValue(mTaperDelegate->RealToNormalized(value));
    return true;
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsBool(bool* value) const
{
    return mValue.GetValueAsBool(value);
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsInt32(int32_t* value) const
{
    return mValue.GetValueAsInt32(value);
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsFloat(float* value) const
{
    return mValue.GetValueAsFloat(value);
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsDouble(double* value) const
{
    return mValue.GetValueAsDouble(value);
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsString(AAX_IString* value) const
{
    if (value == nullptr)
        return false;

    AAX_CString text;
    const bool made = GetValueString(&text);
    if (made)
        value->Set(text.Get());
    return made;
}

template <typename T>
void AAX_CParameter<T>::SetValue(T value)
{
    ApplyNormalizedValue(mTaperDelegate->RealToNormalized(value));
}

template <typename T>
template <typename V>
bool AAX_CParameter<T>::SetTypedValue(V value)
{
    if constexpr (std::is_same<T, V>::value)
    {
        if (!IsFinite(value))
            return false;
        SetValue(value);
        return true;
    }
    else
    {
        (void)value;
        return false;
    }
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithBool(bool value)
{
    return SetTypedValue(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithInt32(int32_t value)
{
    return SetTypedValue(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithFloat(float value)
{
    return SetTypedValue(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithDouble(double value)
{
    return SetTypedValue(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithString(const AAX_IString& value)
{
    return SetValueFromString(AAX_CString(value));
}

template <typename T>
void AAX_CParameter<T>::SetType(AAX_EParameterType type)
{
    mControlType = type;
}

template <typename T>
AAX_EParameterType AAX_CParameter<T>::GetType() const
{
    return mControlType;
}

template <typename T>
void AAX_CParameter<T>::SetOrientation(int32_t orientation)
{
    mOrientation = orientation;
}

template <typename T>
int32_t AAX_CParameter<T>::GetOrientation() const
{
    return mOrientation;
}

template <typename T>
void AAX_CParameter<T>::SetTaperDelegate(AAX_ITaperDelegateBase& taper, bool preserveValue)
{
    // A taper of another value type would be read as this one's; it is refused instead.
    const auto* typed = dynamic_cast<const AAX_ITaperDelegate<T>*>(&taper);
    if (typed == nullptr)
        return;

    const double savedNormalized = GetNormalizedValue();
    mTaperDelegate.reset(typed->Clone());
    mNeedNotify = true;

    if (preserveValue)
        ApplyNormalizedValue(mTaperDelegate->RealToNormalized(mValue.Get()));
    else
        UpdateNormalizedValue(savedNormalized);
}

template <typename T>
void AAX_CParameter<T>::SetDisplayDelegate(AAX_IDisplayDelegateBase& display)
{
    const auto* typed = dynamic_cast<const AAX_IDisplayDelegate<T>*>(&display);
    if (typed == nullptr)
        return;

    mDisplayDelegate.reset(typed->Clone());
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->PostCurrentValue(Identifier(), GetNormalizedValue());
}

template class AAX_CParameter<bool>;
template class AAX_CParameter<float>;
