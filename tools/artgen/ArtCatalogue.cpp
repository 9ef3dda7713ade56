#include "ArtCatalogue.h"

#include "PanelArt.h"
#include "SmallArt.h"

namespace ArtCatalogue
{
const std::vector<Entry>& entries()
{
    // clang-format off
    static const std::vector<Entry> list {
        { "main",                 800, 250, false, PanelArt::drawMain },
        { "vantor_logo",           39,   8, true,  SmallArt::drawMakerLogo },
        { "vu_input",              56,  42, true,  [] (auto& g, float s) { SmallArt::drawMeterSwitch (g, s, false); } },
        { "vu_output",             56,  42, true,  [] (auto& g, float s) { SmallArt::drawMeterSwitch (g, s, true); } },
        { "bypass_main_on",         8,   8, true,  [] (auto& g, float s) { SmallArt::drawLed (g, s, 8.0f, true); } },
        { "bypass_main_off",        8,   8, true,  [] (auto& g, float s) { SmallArt::drawLed (g, s, 8.0f, false); } },
        { "bypass_on",              6,   6, true,  [] (auto& g, float s) { SmallArt::drawLed (g, s, 6.0f, true); } },
        { "bypass_off",             6,   6, true,  [] (auto& g, float s) { SmallArt::drawLed (g, s, 6.0f, false); } },
        { "compression_active",     6,   6, true,  [] (auto& g, float s) { SmallArt::drawReductionLamp (g, s, true); } },
        { "compression_inactive",   6,   6, true,  [] (auto& g, float s) { SmallArt::drawReductionLamp (g, s, false); } },
        { "arrow_left",             3,   6, true,  [] (auto& g, float s) { SmallArt::drawArrow (g, s, SmallArt::ArrowDirection::left); } },
        { "arrow_right",            3,   6, true,  [] (auto& g, float s) { SmallArt::drawArrow (g, s, SmallArt::ArrowDirection::right); } },
        { "arrow_down",             6,   3, true,  [] (auto& g, float s) { SmallArt::drawArrow (g, s, SmallArt::ArrowDirection::down); } },
        { "divider",                1,  12, false, SmallArt::drawDivider },
        { "quillo_logo",           39,   8, true,  SmallArt::drawProductLogo },
    };
    // clang-format on
    return list;
}

juce::Image render (const Entry& entry, int scale)
{
    const auto format = entry.hasAlpha ? juce::Image::ARGB : juce::Image::RGB;

    // A software image, so that the pixels do not depend on any native renderer.
    juce::Image image (format, entry.width * scale, entry.height * scale, true, juce::SoftwareImageType());
    {
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale ((float) scale));
        entry.draw (g, (float) scale);
    }
    return image;
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    if (! out.openedOk())
        return false;

    juce::PNGImageFormat png;
    return png.writeImageToStream (image, out) && (out.flush(), out.getStatus().wasOk());
}

bool writeAll (const juce::File& folder)
{
    if (! folder.createDirectory())
        return false;

    for (const auto& entry : entries())
    {
        for (int scale : { 1, 2 })
        {
            const auto name = juce::String (entry.baseName) + (scale == 2 ? "2x" : "") + ".png";
            if (! writePng (render (entry, scale), folder.getChildFile (name)))
                return false;
        }
    }
    return true;
}
}
