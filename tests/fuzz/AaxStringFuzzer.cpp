// Fuzz target: the library's text type and the value-from-string path. No JUCE.
//
// The input is a position, a count, a precision, a double and a limit, then the text (any bytes,
// zero bytes included). Checked for every input:
// - AAX_CString keeps the text up to its first zero byte, and SubString and Erase clamp
//   positions and counts to the text, as a std::string of the same text would;
// - ToDouble either fails with 0 or gives a finite number; AppendNumber's text parses back to
//   the number within its precision;
// - for every parameter of the product's data model (the 23 float parameters, the float master
//   bypass, a bool parameter shown as texts): a value read from the text is finite and within
//   0..1, setting the parameter from the text leaves a finite value within 0..1 (the same value
//   when the text was accepted), and the value's own text reads back to it.

#include "AAX_CString.h"
#include "EffectTestSupport.h"
#include "FuzzInput.h"

#include <algorithm>
#include <cmath>
#include <string>

using quillo::fuzz::FuzzInput;
using quillo::fuzz::require;

namespace
{
/** The text up to its first zero byte, as every C-text path sees it. */
std::string untilZero (const std::string& s)
{
    return s.substr (0, std::min (s.size(), s.find ('\0')));
}

void checkText (const std::string& raw, uint32_t pos, uint32_t count, double number, int32_t precision)
{
    const std::string text = untilZero (raw);
    const AAX_CString s (raw);

    require (s.StdString() == text && s.Length() == text.size(), "the text up to its first zero byte");
    require (s == AAX_CString (text.c_str()) && ! (s < s) && ! (s != s), "comparisons");

    AAX_CString part ("unchanged");
    s.SubString (pos, count, &part);
    const std::string expectedPart = pos >= text.size() ? std::string() : text.substr (pos, count);
    require (part.StdString() == expectedPart, "SubString clamps to the text");

    AAX_CString erased (s);
    erased.Erase (pos, count);
    std::string expectedErased = text;

    if (pos < expectedErased.size())
        expectedErased.erase (pos, count);

    require (erased.StdString() == expectedErased, "Erase clamps to the text");

    double parsed = 12345.0;
    if (s.ToDouble (&parsed))
        require (std::isfinite (parsed), "a parsed number is finite");
    else
        require (parsed == 0.0, "a failed parse gives 0");

    // A text that points into the string itself.
    AAX_CString self (s);
    self.Set (self.Get());
    require (self == s, "setting a text from its own bytes");

    if (std::isfinite (number) && std::fabs (number) < 1.0e12)
    {
        AAX_CString shown;
        shown.AppendNumber (number, precision);
        double back = 0.0;
        require (shown.ToDouble (&back), "an appended number parses");
        const int digits = std::max (0, std::min (precision, 12));
        const double tolerance = 0.5 * std::pow (10.0, -digits) + std::fabs (number) * 1.0e-15;
        require (std::fabs (back - number) <= tolerance * 1.000001,
                 "an appended number reads back within its precision");
    }
}

/** The product's data model on the library's base, without a host: values change at once. */
struct Model
{
    Model()
    {
        effect->addPreview = true;
        require (effect->Initialize (nullptr) == AAX_SUCCESS, "Initialize");

        for (const char* id : aaxtest::kQuilloParameterIds)
            ids.push_back (id);

        ids.push_back (cDefaultMasterBypassID);
        ids.push_back (cPreviewParameterID);
    }

    ~Model() { effect->Uninitialize(); }

    aaxtest::QuilloEffect* effect = new aaxtest::QuilloEffect();
    ACFPtr<IACFUnknown> held = aaxtest::Own (effect);
    std::vector<const char*> ids;
};

void checkValueFromString (const std::string& raw, int32_t limit)
{
    Model model;
    const AAX_CString text (raw);

    for (const char* id : model.ids)
    {
        double value = -1.0;
        const AAX_Result read = model.effect->GetParameterValueFromString (id, &value, text);
        require (read == AAX_SUCCESS || read == AAX_ERROR_INVALID_STRING_CONVERSION, "value-from-string's result");

        if (read == AAX_SUCCESS)
            require (std::isfinite (value) && value >= 0.0 && value <= 1.0, "a value read from text is within 0..1");

        AAX_IParameter* parameter = nullptr;
        require (model.effect->GetParameter (id, &parameter) == AAX_SUCCESS && parameter != nullptr, "GetParameter");

        const double before = parameter->GetNormalizedValue();
        const bool set = parameter->SetValueWithString (text);
        const double after = parameter->GetNormalizedValue();
        require (std::isfinite (after) && after >= 0.0 && after <= 1.0, "a value set from text is within 0..1");

        if (! set)
            require (after == before, "a refused text changes nothing");
        else if (read == AAX_SUCCESS)
            require (after == value, "setting from text gives the value read from it");

        // The value's own text reads back to it (three decimals for the float parameters).
        AAX_CString shown;
        require (model.effect->GetParameterStringFromValue (id, after, &shown, 64) == AAX_SUCCESS, "string-from-value");
        double back = -1.0;
        require (model.effect->GetParameterValueFromString (id, &back, shown) == AAX_SUCCESS,
                 "a value's own text reads");
        // Half the last shown decimal, plus the float the parameter keeps.
        require (std::fabs (back - after) <= 0.0005 + 1.0e-6, "a value's own text reads back to it");

        AAX_CString limited;
        if (model.effect->GetParameterStringFromValue (id, after, &limited, limit) == AAX_SUCCESS && limit >= 0)
            require (limited.Length() <= std::max<uint32_t> (uint32_t (limit), shown.Length()), "a limited text");
    }
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;

    FuzzInput in (data, size);
    const auto pos = in.take<uint32_t>();
    const auto count = in.take<uint32_t>();
    const auto precision = int32_t (in.take<int8_t>());
    const auto number = in.take<double>();
    const auto limit = int32_t (in.take<int8_t>());
    const auto bytes = in.rest();
    const std::string raw (bytes.begin(), bytes.end());

    checkText (raw, pos, count, number, precision);
    checkValueFromString (raw, limit);
    return 0;
}
