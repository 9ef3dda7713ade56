#include "ReviewComposite.h"

#include "ArtCatalogue.h"
#include "ArtKit.h"
#include "EditorLayout.h"
#include "KnobGeometry.h"
#include "Meters.h"
#include "VLParameterInfo.h"

#include <map>
#include <string>

namespace ReviewComposite
{
namespace
{
namespace L = EditorLayout;

class ImageSet
{
public:
    explicit ImageSet (int s) : scale (s)
    {
        for (const auto& entry : ArtCatalogue::entries())
            images[entry.baseName] = ArtCatalogue::render (entry, scale);
    }

    /** Draws an image at its 1x size with its top-left corner at (x, y). */
    void draw (juce::Graphics& g, const std::string& name, float x, float y, float opacity = 1.0f) const
    {
        const auto& image = images.at (name);
        g.setOpacity (opacity);
        g.drawImage (image,
                     { x, y, (float) image.getWidth() / (float) scale, (float) image.getHeight() / (float) scale });
        g.setOpacity (1.0f);
    }

    void drawCentred (juce::Graphics& g, const std::string& name, float cx, float cy, float opacity = 1.0f) const
    {
        const auto& image = images.at (name);
        const float w = (float) image.getWidth() / (float) scale;
        const float h = (float) image.getHeight() / (float) scale;
        draw (g, name, (float) (int) (cx - w * 0.5f), (float) (int) (cy - h * 0.5f), opacity);
    }

private:
    int scale;
    std::map<std::string, juce::Image> images;
};

void drawPointer (juce::Graphics& g, const L::Place& place, float angle, juce::Colour colour, float thickness)
{
    const float cx = (float) place.x + KnobGeometry::knobCentreX (place.w);
    const float cy = (float) place.y + KnobGeometry::knobCentreY (place.h);
    const auto line = KnobGeometry::pointerLine (cx, cy, KnobGeometry::knobRadius (place.w), angle);
    g.setColour (colour);
    g.drawLine (line.x1, line.y1, line.x2, line.y2, thickness);
}

void drawLamp (juce::Graphics& g, const ImageSet& images, const L::Place& lamp, float reduction)
{
    const float x = 2.0f * (1.0f - reduction);
    images.draw (g, "compression_inactive", (float) lamp.x, (float) lamp.y);
    images.draw (g, "compression_active", (float) lamp.x, (float) lamp.y, std::min (1.0f, x));
    g.setColour (juce::Colour::fromFloatRGBA (1.0f, 0.0f, 0.0f, x > 1.0f ? x - 1.0f : 0.0f));
    g.fillEllipse ((float) lamp.x + 1.0f, (float) lamp.y + 1.0f, (float) lamp.w - 2.0f, (float) lamp.h - 2.0f);
}

/** The editor's own meter widget, painted off screen. */
void drawMeter (juce::Graphics& g, const EditorState& s)
{
    const auto& m = L::levelMeter;
    Meters meter;
    meter.setBounds (m.x, m.y, m.w, m.h);
    meter.levelLeft = s.meterLeftDb;
    meter.levelRight = s.meterRightDb;
    meter.peakLeft = s.peakLeftDb;
    meter.peakRight = s.peakRightDb;

    juce::Graphics::ScopedSaveState save (g);
    g.setOrigin (m.x, m.y);
    g.reduceClipRegion (0, 0, m.w, m.h);
    meter.paint (g);
}

void drawBanner (juce::Graphics& g, const ImageSet& images, const EditorState& s)
{
    const float w = (float) L::editorWidth;
    g.setColour (juce::Colour::fromFloatRGBA (0.27f, 0.27f, 0.27f, 1.0f));
    g.fillRect (0.0f, 0.0f, w, 20.0f);
    for (float x : { 100.0f, w - 100.0f, w - 124.0f, w - 148.0f })
        images.draw (g, "divider", x, 4.0f);
    images.draw (g, "quillo_logo", 31.0f, 7.0f);
    images.drawCentred (g, "arrow_left", w - 148.0f + 12.0f, 10.0f);
    images.drawCentred (g, "arrow_right", w - 124.0f + 12.0f, 10.0f);

    // The preset name field (100, 0, w - 248, 20).
    const float fieldWidth = w - 248.0f;
    const auto font = ArtKit::font (12.0f);
    const float textWidth = font.getStringWidthFloat (s.presetName);
    g.setColour (juce::Colours::white.withAlpha (0.9f));
    g.setFont (font);
    g.drawText (s.presetName, juce::Rectangle<float> (100.0f, 0.0f, fieldWidth, 19.0f), juce::Justification::centred,
                true);
    images.draw (g, "arrow_down", 100.0f + (float) (int) (fieldWidth * 0.5f + textWidth * 0.5f + 6.0f), 9.0f);
}
}

EditorState defaultState()
{
    EditorState s;
    for (int i = 0; i < VL_NUM_PARAMS; ++i)
        s.values[(size_t) i] = VL_PARAMS[i].normalisedDefault();
    return s;
}

juce::Image render (const EditorState& s, int scale)
{
    const ImageSet images (scale);
    juce::Image image (juce::Image::ARGB, L::editorWidth * scale, L::editorHeight * scale, true,
                       juce::SoftwareImageType());
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale ((float) scale));

    images.draw (g, "main", 0.0f, 0.0f);
    images.draw (g, "vantor_logo", (float) L::logoX, (float) (L::editorHeight - L::logoFromBottom));

    for (const auto& place : L::parameterPlaces)
    {
        const float v = s.values[(size_t) place.paramIndex];
        switch (place.kind)
        {
            case L::WidgetKind::knob:
            {
                const auto colour = juce::Colour::fromFloatRGBA (place.whitePointer ? 1.0f : 0.0f,
                                                                 place.whitePointer ? 1.0f : 0.0f,
                                                                 place.whitePointer ? 1.0f : 0.0f, place.pointerAlpha);
                drawPointer (g, place, KnobGeometry::pointerAngleForValue (v, place.skew), colour,
                             KnobGeometry::knobPointerThickness);
                break;
            }
            case L::WidgetKind::highPassKnob:
                drawPointer (g, place, KnobGeometry::highPassPointerAngle (v),
                             juce::Colour::fromFloatRGBA (0.0f, 0.0f, 0.0f, place.pointerAlpha),
                             KnobGeometry::highPassPointerThickness);
                break;
            case L::WidgetKind::mainSwitch:
                images.draw (g, v > 0.5f ? "bypass_main_on" : "bypass_main_off", (float) place.x, (float) place.y);
                break;
            case L::WidgetKind::bandSwitch:
                images.draw (g, v > 0.5f ? "bypass_on" : "bypass_off", (float) place.x, (float) place.y);
                break;
            case L::WidgetKind::meterSwitch:
                images.draw (g, v > 0.5f ? "vu_output" : "vu_input", (float) place.x, (float) place.y);
                break;
            default:
                break;
        }
    }

    drawLamp (g, images, L::lowMidLamp, s.lowMidReduction);
    drawLamp (g, images, L::highMidLamp, s.highMidReduction);
    drawMeter (g, s);
    drawBanner (g, images, s);
    return image;
}

bool writeReviews (const juce::File& file)
{
    const auto base = file.getParentDirectory().getChildFile (file.getFileNameWithoutExtension());
    const auto named = [&base] (const char* suffix)
    { return base.getSiblingFile (base.getFileName() + suffix + ".png"); };

    const auto defaults = defaultState();

    // Pointers on labelled values, to check that labels sit where the pointers point.
    auto busy = defaults;
    const auto norm = [] (int param, float real)
    { return (real - VL_PARAMS[param].min) / (VL_PARAMS[param].max - VL_PARAMS[param].min); };
    busy.values[kInputGain] = 0.0f;
    busy.values[kOutputGain] = 1.0f;
    busy.values[kHighPass] = 0.6f;
    busy.values[kMeterIO] = 0.0f;
    busy.values[kLowShelfBoost] = norm (kLowShelfBoost, 6.0f);
    busy.values[kLowShelfAttenuate] = 1.0f;
    busy.values[kLowShelfFrequency] = norm (kLowShelfFrequency, 100.0f);
    busy.values[kLowMidFreq] = norm (kLowMidFreq, 1200.0f);
    busy.values[kLowMidGain] = norm (kLowMidGain, 24.0f);
    busy.values[kLowMidQ] = 1.0f;
    busy.values[kLowDynAttenuation] = 1.0f;
    busy.values[kHighMidFreq] = norm (kHighMidFreq, 3000.0f);
    busy.values[kHighMidGain] = 0.0f;
    busy.values[kHighMidQ] = 0.0f;
    busy.values[kHighDynAttenuation] = 0.5f;
    busy.values[kHighShelfFrequency] = norm (kHighShelfFrequency, 10000.0f);
    busy.values[kHighShelfBoost] = 1.0f;
    busy.values[kHighShelfAttenuate] = norm (kHighShelfAttenuate, 6.0f);
    busy.values[kLowMidPower] = 0.0f;
    busy.lowMidReduction = 0.75f;
    busy.highMidReduction = 0.2f;
    busy.meterLeftDb = 2.0f;
    busy.meterRightDb = -7.5f;
    busy.peakLeftDb = 4.5f;
    busy.peakRightDb = -3.0f;
    busy.presetName = "* Very focused mid";

    // Pixel-exact enlargements of the 1x picture, to judge small text and hairlines.
    const auto zoom = [] (const juce::Image& source, int x, int width, int factor)
    {
        juce::Image out (juce::Image::ARGB, width * factor, source.getHeight() * factor, true,
                         juce::SoftwareImageType());
        juce::Graphics g (out);
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        g.drawImageTransformed (source.getClippedImage ({ x, 0, width, source.getHeight() }),
                                juce::AffineTransform::scale ((float) factor));
        return out;
    };
    // Every small image at 2x, enlarged again, on the banner's grey and on the panel's dark.
    {
        constexpr int factor = 4, cell = 130;
        juce::Image sheet (juce::Image::ARGB, cell * 7, cell * 2 * 2, true, juce::SoftwareImageType());
        juce::Graphics g (sheet);
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        int i = 0;
        for (const auto& entry : ArtCatalogue::entries())
        {
            if (juce::String (entry.baseName) == "main")
                continue;
            const int cx = (i % 7) * cell, cy = (i / 7) * cell * 2;
            g.setColour (juce::Colour::fromFloatRGBA (0.27f, 0.27f, 0.27f, 1.0f));
            g.fillRect (cx, cy, cell, cell);
            g.setColour (juce::Colour (0xff2f3236));
            g.fillRect (cx, cy + cell, cell, cell);
            const auto image = ArtCatalogue::render (entry, 2);
            const float scaleDown = std::min (1.0f, (float) (cell - 10) / (float) (image.getWidth() * factor));
            for (int row = 0; row < 2; ++row)
                g.drawImageTransformed (image, juce::AffineTransform::scale ((float) factor * scaleDown)
                                                   .translated ((float) cx + 5.0f, (float) (cy + row * cell) + 5.0f));
            ++i;
        }
        if (! ArtCatalogue::writePng (sheet, named ("-small")))
            return false;
    }

    const auto oneX = render (busy, 1);
    for (int part = 0; part < 3; ++part)
        if (! ArtCatalogue::writePng (zoom (oneX, part * 267, part == 2 ? 266 : 267, 3),
                                      named ((juce::String ("-zoom") + juce::String (part + 1)).toRawUTF8())))
            return false;

    return ArtCatalogue::writePng (render (defaults, 1), named (""))
        && ArtCatalogue::writePng (render (defaults, 2), named ("-2x"))
        && ArtCatalogue::writePng (render (busy, 1), named ("-values"))
        && ArtCatalogue::writePng (render (busy, 2), named ("-values-2x"));
}
}
