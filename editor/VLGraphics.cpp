#include "VLGraphics.h"

#include <BinaryData.h>
#include <cmath>

namespace
{
    const juce::Identifier& scaleProperty()
    {
        static const juce::Identifier id ("VLGraphicsScale");
        return id;
    }

    juce::Image loadEmbedded (const juce::String& resourceName)
    {
        int size = 0;
        const char* data = BinaryData::getNamedResource (resourceName.toRawUTF8(), size);

        if (data == nullptr || size <= 0)
            return {};

        return juce::ImageCache::getFromMemory (data, size);
    }
}

double VLGraphics::getDisplayScale()
{
    // The primary display may be missing (no screen, or none found yet); JUCE's older
    // main-display call would then hand back a display whose scale was never set.
    if (auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        if (std::isfinite (display->scale) && display->scale > 0.0)
            return display->scale;

    return 1.0;
}

juce::Image VLGraphics::GetImage (const char* baseName)
{
    return GetImage (baseName, getDisplayScale());
}

juce::Image VLGraphics::GetImage (const char* baseName, double displayScale)
{
    if (baseName == nullptr || *baseName == 0)
        return {};

    const auto base = juce::String::fromUTF8 (baseName);

    if (displayScale > 1.0)
    {
        auto image = loadEmbedded (base + "2x_png");

        if (image.isValid())
        {
            setImageScale (image, 2.0f);
            return image;
        }
    }

    auto image = loadEmbedded (base + "_png");

    if (image.isValid())
        setImageScale (image, 1.0f);

    return image;
}

float VLGraphics::getImageScale (const juce::Image& image)
{
    if (auto* props = image.getProperties())
    {
        const auto scale = (float) static_cast<double> (props->getWithDefault (scaleProperty(), 1.0));

        if (std::isfinite (scale) && scale > 0.0f)
            return scale;
    }

    return 1.0f;
}

void VLGraphics::setImageScale (juce::Image& image, float scale)
{
    if (auto* props = image.getProperties())
        props->set (scaleProperty(), (double) scale);
}

juce::Rectangle<float> VLGraphics::getDrawnBounds (const juce::Image& image)
{
    const float s = getImageScale (image);
    return { (float) image.getWidth() / s, (float) image.getHeight() / s };
}

void VLGraphics::DrawImageAt (juce::Graphics& g, const juce::Image& image, int x, int y, float opacity)
{
    g.setOpacity (opacity);

    if (! image.isValid())
        return;

    const float s = getImageScale (image);

    if (s == 1.0f)
    {
        g.drawImageAt (image, x, y);
        return;
    }

    // A 2x image lands on its 1x footprint; on a 2x screen every one of its pixels shows.
    g.drawImageTransformed (image, juce::AffineTransform::scale (1.0f / s).translated ((float) x, (float) y));
}

void VLGraphics::DrawImageCenteredAt (juce::Graphics& g, const juce::Image& image, float centreX, float centreY,
                                      float opacity, float scale, float angle)
{
    g.setOpacity (opacity);

    if (! image.isValid() || ! (scale > 0.0f))
        return;

    const float w = (float) image.getWidth();
    const float h = (float) image.getHeight();
    const float k = (1.0f / scale) * getImageScale (image);
    const float drawnW = w / k;
    const float drawnH = h / k;
    const float x0 = centreX - drawnW * 0.5f;
    const float y0 = centreY - drawnH * 0.5f;

    if (angle == 0.0f && k == 1.0f)
    {
        g.drawImageAt (image, (int) x0, (int) y0);
        return;
    }

    const auto transform =
        juce::AffineTransform::rotation (angle, w * 0.5f, h * 0.5f).scaled (drawnW / w, drawnH / h).translated (x0, y0);

    g.drawImageTransformed (image.getClippedImage ({ 0, 0, (int) std::round (w), (int) std::round (h) }), transform);
}
