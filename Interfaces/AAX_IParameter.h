#pragma once

#include "AAX.h"
#include "AAX_CString.h"

class AAX_IAutomationDelegate;
class AAX_IDisplayDelegateBase;
class AAX_IParameterValue;
class AAX_IString;
class AAX_ITaperDelegateBase;

/** One host parameter: id, names, value in three forms (normalised 0 to 1, real, text), steps,
    type, orientation, and automation through the host.

    With an automation delegate a parameter never changes its own value: every set operation asks
    the host (touch, set-value request, release) and the value changes when the host's confirmed
    UpdateNormalizedValue arrives. Without one, values are stored at once. NaN and infinite inputs
    are refused and change nothing.

    A parameter takes no lock: its owner serialises calls (host non-real-time threads).
*/
class AAX_IParameter
{
public:
    virtual ~AAX_IParameter() = default;

    /** A copy of the id and current value, owned by the caller. */
    virtual AAX_IParameterValue* CloneValue() const = 0;

    /** The id, at most 31 characters. */
    virtual AAX_CParamID Identifier() const = 0;

    virtual void SetName(const AAX_CString& name) = 0;
    virtual const AAX_CString& Name() const = 0;

    /** Adds a shortened form of the name, replacing an earlier one of the same length. */
    virtual void AddShortenedName(const AAX_CString& name) = 0;

    /** The full name when it fits `limit` characters (or limit < 0, or no shortened forms); else
        the longest shortened form that fits; else the shortest one. */
    virtual const AAX_CString& ShortenedName(int32_t limit) const = 0;

    virtual void ClearShortenedNames() = 0;
    virtual bool Automatable() const = 0;

    /** Unregisters from the old delegate, registers with the new one (which may be null). The
        delegate is not owned and must outlive the parameter or be replaced first. */
    virtual void SetAutomationDelegate(AAX_IAutomationDelegate* delegate) = 0;

    /** Begin and end of a change gesture (sent to the delegate, if any). */
    virtual void Touch() = 0;
    virtual void Release() = 0;

    virtual void SetNormalizedValue(double value) = 0;
    virtual double GetNormalizedValue() const = 0;
    virtual void SetNormalizedDefaultValue(double value) = 0;
    virtual double GetNormalizedDefaultValue() const = 0;
    virtual void SetToDefaultValue() = 0;

    /** Sets the number of steps; 0 is ignored. */
    virtual void SetNumberOfSteps(uint32_t steps) = 0;
    virtual uint32_t GetNumberOfSteps() const = 0;
    virtual uint32_t GetStepValue() const = 0;
    virtual double GetNormalizedValueFromStep(uint32_t step) const = 0;
    virtual uint32_t GetStepValueFromNormalizedValue(double normalizedValue) const = 0;

    /** Sets the value of a step; nothing with fewer than 2 steps. */
    virtual void SetStepValue(uint32_t step) = 0;

    /** The current value as text, full or fitted to `limit` characters. */
    virtual bool GetValueString(AAX_CString* text) const = 0;
    virtual bool GetValueString(int32_t limit, AAX_CString* text) const = 0;

    /** Conversions of typed real values to normalised ones; only the parameter's own value type
        answers. */
    virtual bool GetNormalizedValueFromBool(bool value, double* normalized) const = 0;
    virtual bool GetNormalizedValueFromInt32(int32_t value, double* normalized) const = 0;
    virtual bool GetNormalizedValueFromFloat(float value, double* normalized) const = 0;
    virtual bool GetNormalizedValueFromDouble(double value, double* normalized) const = 0;

    /** Parses `text`; writes the normalised value when parsing succeeds, and returns true only
        when the parsed value also lies within the taper's bounds. */
    virtual bool GetNormalizedValueFromString(const AAX_CString& text, double* normalized) const = 0;

    virtual bool GetBoolFromNormalizedValue(double normalized, bool* value) const = 0;
    virtual bool GetInt32FromNormalizedValue(double normalized, int32_t* value) const = 0;
    virtual bool GetFloatFromNormalizedValue(double normalized, float* value) const = 0;
    virtual bool GetDoubleFromNormalizedValue(double normalized, double* value) const = 0;

    /** The text of a normalised value; true when the text was made and the real value lies
        within the taper's bounds. */
    virtual bool GetStringFromNormalizedValue(double normalized, AAX_CString& text) const = 0;
    virtual bool GetStringFromNormalizedValue(double normalized, int32_t limit, AAX_CString& text) const = 0;

    /** Sets the value a text names (clamped by the taper); false when the text names none. */
    virtual bool SetValueFromString(const AAX_CString& text) = 0;

    virtual bool GetValueAsBool(bool* value) const = 0;
    virtual bool GetValueAsInt32(int32_t* value) const = 0;
    virtual bool GetValueAsFloat(float* value) const = 0;
    virtual bool GetValueAsDouble(double* value) const = 0;
    virtual bool GetValueAsString(AAX_IString* value) const = 0;

    virtual bool SetValueWithBool(bool value) = 0;
    virtual bool SetValueWithInt32(int32_t value) = 0;
    virtual bool SetValueWithFloat(float value) = 0;
    virtual bool SetValueWithDouble(double value) = 0;
    virtual bool SetValueWithString(const AAX_IString& value) = 0;

    /** Discrete or continuous; the steps are not changed. */
    virtual void SetType(AAX_EParameterType type) = 0;
    virtual AAX_EParameterType GetType() const = 0;

    /** AAX_EParameterOrientation flags, stored as given. */
    virtual void SetOrientation(int32_t orientation) = 0;
    virtual int32_t GetOrientation() const = 0;

    /** Replaces the taper with a clone of `taper`, which must be a taper of the parameter's own
        value type (another is ignored). preserveValue keeps the real value, otherwise the
        normalised value is kept. */
    virtual void SetTaperDelegate(AAX_ITaperDelegateBase& taper, bool preserveValue) = 0;

    /** Replaces the display with a clone of `display` (of the parameter's own value type; another
        is ignored). */
    virtual void SetDisplayDelegate(AAX_IDisplayDelegateBase& display) = 0;

    /** The host's confirmed value: stores it (and reports it to the delegate) when it differs
        from the current value or a report is pending. */
    virtual void UpdateNormalizedValue(double value) = 0;
};
