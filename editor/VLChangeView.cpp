#include "VLChangeView.h"
#include "FontManager.h"
#include "VLParameterInfo.h"

#include <cmath>
#include <cstdio>

namespace
{
    std::string format (const char* pattern, double v)
    {
        char buffer[64];
        std::snprintf (buffer, sizeof (buffer), pattern, v);
        return buffer;
    }

    /** True when roundf (x) fits an int, so that the cast is defined. */
    bool roundsToInt (float x) noexcept
    {
        const float r = std::round (x);
        return std::isfinite (r) && r >= -2147483648.0f && r < 2147483648.0f;
    }

    /** roundf (x) in "%d" form; values outside int's range (or not finite) print as "%.0f". */
    std::string formatRounded (float x)
    {
        if (roundsToInt (x))
            return std::to_string ((int) std::round (x));

        return format ("%.0f", (double) std::round (x));
    }

    /** The entry n of a null-terminated list of value names, or null when there is none. */
    const char* valueName (const char* const* names, float x)
    {
        if (names == nullptr || ! roundsToInt (x))
            return nullptr;

        const int n = (int) std::round (x);

        if (n < 0)
            return nullptr;

        for (int i = 0; names[i] != nullptr; ++i)
            if (i == n)
                return names[i];

        return nullptr;
    }
}

std::string VLParameterGetValueStr (const VLParameterInfo* info, float value)
{
    if (info == nullptr)
        return {};

    if (info->kind == 1 || info->kind == 2)
    {
        if (auto* name = valueName (info->valueNames, value))
            return name;

        return formatRounded (value);
    }

    const std::string unit = info->unit != nullptr ? info->unit : "";

    if (unit == "ms")
        return formatRounded (value) + " ms";

    if (unit == "%")
        return formatRounded (value * 100.0f) + "%";   // single precision on purpose: 0.005 reads 1%

    std::string number;

    if (std::fabs (value) < 10.0f)
        number = format ("%.2f", (double) value);
    else if (std::fabs (value) < 100.0f)
        number = format ("%.1f", (double) value);
    else
        number = formatRounded (value);

    return number + " " + unit;
}

//==================================================================================================
VLChangeView::VLChangeView()
{
    setInterceptsMouseClicks (false, false);
    setAlpha (0.0f);
}

VLChangeView::~VLChangeView() = default;

void VLChangeView::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour::fromFloatRGBA (0.15f, 0.15f, 0.17f, 1.0f));

    g.setColour (juce::Colour::fromFloatRGBA (1.0f, 1.0f, 1.0f, 0.75f));
    g.drawRect (getLocalBounds(), 1);

    g.setFont (FontManager::uiFont (10.0f));
    g.drawText (text, getLocalBounds(), juce::Justification::centred, true);
}

void VLChangeView::resized() {}
