#pragma once

#include <map>
#include <memory>

#include "AAX_CParameterValue.h"
#include "AAX_IDisplayDelegate.h"
#include "AAX_IParameter.h"
#include "AAX_ITaperDelegate.h"

/** A host parameter over a real value of type `T` (bool or float), converting through its own
    clones of a taper and a display delegate. A new parameter has 128 steps, the continuous type,
    orientation 0 and its default value (as the taper maps it). See AAX_IParameter for the
    automation rules. Not synchronised. */
template <typename T>
class AAX_CParameter : public AAX_IParameter
{
public:
    /** `identifier` keeps at most its first 31 characters (null counts as empty); `name`, `taper`
        and `display` are copied, not retained. */
    AAX_CParameter(AAX_CParamID identifier, const AAX_IString& name, T defaultValue, const AAX_ITaperDelegate<T>& taper,
                   const AAX_IDisplayDelegate<T>& display, bool automatable = false);
    ~AAX_CParameter() override;

    AAX_CParameter(const AAX_CParameter&) = delete;
    AAX_CParameter& operator=(const AAX_CParameter&) = delete;

    AAX_IParameterValue* CloneValue() const override;
    AAX_CParamID Identifier() const override;
    void SetName(const AAX_CString& name) override;
    const AAX_CString& Name() const override;
    void AddShortenedName(const AAX_CString& name) override;
    const AAX_CString& ShortenedName(int32_t limit) const override;
    void ClearShortenedNames() override;
    bool Automatable() const override;
    void SetAutomationDelegate(AAX_IAutomationDelegate* delegate) override;
    void Touch() override;
    void Release() override;
    void SetNormalizedValue(double value) override;
    double GetNormalizedValue() const override;
    void SetNormalizedDefaultValue(double value) override;
    double GetNormalizedDefaultValue() const override;
    void SetToDefaultValue() override;
    void SetNumberOfSteps(uint32_t steps) override;
    uint32_t GetNumberOfSteps() const override;
    uint32_t GetStepValue() const override;
    double GetNormalizedValueFromStep(uint32_t step) const override;
    uint32_t GetStepValueFromNormalizedValue(double normalizedValue) const override;
    void SetStepValue(uint32_t step) override;
    bool GetValueString(AAX_CString* text) const override;
    bool GetValueString(int32_t limit, AAX_CString* text) const override;
    bool GetNormalizedValueFromBool(bool value, double* normalized) const override;
    bool GetNormalizedValueFromInt32(int32_t value, double* normalized) const override;
    bool GetNormalizedValueFromFloat(float value, double* normalized) const override;
    bool GetNormalizedValueFromDouble(double value, double* normalized) const override;
    bool GetNormalizedValueFromString(const AAX_CString& text, double* normalized) const override;
    bool GetBoolFromNormalizedValue(double normalized, bool* value) const override;
    bool GetInt32FromNormalizedValue(double normalized, int32_t* value) const override;
    bool GetFloatFromNormalizedValue(double normalized, float* value) const override;
    bool GetDoubleFromNormalizedValue(double normalized, double* value) const override;
    bool GetStringFromNormalizedValue(double normalized, AAX_CString& text) const override;
    bool GetStringFromNormalizedValue(double normalized, int32_t limit, AAX_CString& text) const override;
    bool SetValueFromString(const AAX_CString& text) override;
    bool GetValueAsBool(bool* value) const override;
    bool GetValueAsInt32(int32_t* value) const override;
    bool GetValueAsFloat(float* value) const override;
    bool GetValueAsDouble(double* value) const override;
    bool GetValueAsString(AAX_IString* value) const override;
    bool SetValueWithBool(bool value) override;
    bool SetValueWithInt32(int32_t value) override;
    bool SetValueWithFloat(float value) override;
    bool SetValueWithDouble(double value) override;
    bool SetValueWithString(const AAX_IString& value) override;
    void SetType(AAX_EParameterType type) override;
    AAX_EParameterType GetType() const override;
    void SetOrientation(int32_t orientation) override;
    int32_t GetOrientation() const override;
    void SetTaperDelegate(AAX_ITaperDelegateBase& taper, bool preserveValue) override;
    void SetDisplayDelegate(AAX_IDisplayDelegateBase& display) override;
    void UpdateNormalizedValue(double value) override;

    /** Sets a real value (through the host when a delegate is set). */
    void SetValue(T value);

    /** The current real value. */
    T GetValue() const { return mValue.Get(); }

    /** The real default value. */
    T GetDefaultValue() const { return mDefaultValue; }

    const AAX_ITaperDelegate<T>* TaperDelegate() const { return mTaperDelegate.get(); }
    const AAX_IDisplayDelegate<T>* DisplayDelegate() const { return mDisplayDelegate.get(); }

private:
    /** Sets normalised value `normalized`: a request to the host with a delegate, else stored. */
    void ApplyNormalizedValue(double normalized);

    bool IsWithinTaperRange(T value) const;

    /** Behind the typed conversions and setters: false for every type `V` but `T`, and for a
        value that is not finite (only a floating-point one can be). */
    template <typename V>
    bool NormalizedFromTyped(V value, double* normalized) const;
    template <typename V>
    bool TypedFromNormalized(double normalized, V* value) const;
    template <typename V>
    bool SetTypedValue(V value);

    AAX_CString mName;
    std::map<uint32_t, AAX_CString> mShortenedNames;
    bool mAutomatable;
    uint32_t mNumSteps = 0;
    AAX_EParameterType mControlType = AAX_eParameterType_Continuous;
    int32_t mOrientation = AAX_eParameterOrientation_Default;
    std::unique_ptr<AAX_ITaperDelegate<T>> mTaperDelegate;
    std::unique_ptr<AAX_IDisplayDelegate<T>> mDisplayDelegate;
    AAX_IAutomationDelegate* mAutomationDelegate = nullptr;
    bool mNeedNotify = true;
    AAX_CParameterValue<T> mValue;
    T mDefaultValue;
};

extern template class AAX_CParameter<bool>;
extern template class AAX_CParameter<float>;
