#pragma once

#include <cstdint>
#include <limits>

#include "AAX_CString.h"
#include "AAX_IDisplayDelegate.h"

/** Shows a value as a number in fixed notation with `Precision` decimals followed by `SpaceAfter`
    blanks, no unit: 0.5 with three decimals is "0.500". Limited texts are cut, not rounded, and
    lose a trailing decimal point ("0.5" at limit 2 is "0"). */
template <typename T, uint32_t Precision = 2, uint32_t SpaceAfter = 0>
class AAX_CNumberDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CNumberDisplayDelegate() = default;

    AAX_CNumberDisplayDelegate* Clone() const override { return new AAX_CNumberDisplayDelegate(*this); }

    bool ValueToString(T value, AAX_CString* text) const override
    {
        if (text == nullptr)
            return false;

        text->Clear();
        text->AppendNumber(double(value), int32_t(Precision));
        for (uint32_t i = 0; i < SpaceAfter; ++i)
            text->Append(" ");
        return true;
    }

    /** As the full text, cut to `limit` characters (a limit of 0 or less gives the empty text). */
    bool ValueToString(T value, int32_t limit, AAX_CString* text) const override
    {
        if (!ValueToString(value, text))
            return false;

        const uint32_t maxLength = limit > 0 ? uint32_t(limit) : 0u;
        if (text->Length() > maxLength)
            text->Erase(maxLength, text->Length() - maxLength);
        if (limit >= 1 && text->Length() == maxLength && (*text)[maxLength - 1] == '.')
            text->Erase(maxLength - 1, 1);
        return true;
    }

    /** Parses a leading number; no range check (the taper constrains). A text without one gives
        0 and false. */
    bool StringToValue(const AAX_CString& text, T* value) const override
    {
        if (value == nullptr)
            return false;

        double parsed = 0.0;
        if (!text.ToDouble(&parsed))
        {
            *value = T(0);
            return false;
        }
        // A number beyond T's range cannot be narrowed; it becomes the nearest representable one.
        const double lowest = double(std::numeric_limits<T>::lowest());
        const double highest = double(std::numeric_limits<T>::max());
        parsed = parsed < lowest ? lowest : (parsed > highest ? highest : parsed);
        *value = static_cast<T>(parsed);
        return true;
    }
};
