#include "Meters.h"

#include <cmath>

const float Meters::dbValues[12] = {
    -60.0f, -46.0f, -32.0f, -18.0f, -12.0f, -9.0f, -6.0f, -3.0f, 0.0f, 3.0f, 6.0f, 9.0f
};

namespace
{
    constexpr float floorDb = -100.0f;
    constexpr float ceilingDb = 6.0f;
    constexpr float levelFallPerCall = 0.3f;
    constexpr float peakFallPerCall = 2.0f;
    constexpr int peakHoldCalls = 30;
    constexpr float pixelsPerMark = 9.0f;
    constexpr float zeroDbPixels = 72.0f;

    void step (float input, float& level, float& peak, int& hold)
    {
        const float a = std::isnan (input) ? floorDb : std::min (input, ceilingDb);

        if (level < a)
            level = a;
        else
            level -= levelFallPerCall;

        if (level < floorDb)
            level = floorDb;

        if (a > peak)
        {
            peak = a;
            hold = peakHoldCalls;
        }
        else if (hold > 0)
        {
            --hold;
        }
        else
        {
            peak -= peakFallPerCall;

            if (peak < floorDb)
                peak = floorDb;
        }
    }

    const juce::Colour& green()
    {
        static const auto c = juce::Colour::fromFloatRGBA (0.15f, 0.42f, 0.24f, 1.0f);
        return c;
    }

    const juce::Colour& red()
    {
        static const auto c = juce::Colour::fromFloatRGBA (0.94f, 0.36f, 0.31f, 1.0f);
        return c;
    }
}

Meters::Meters() = default;
Meters::~Meters() = default;

void Meters::setValuesInDb (float left, float right)
{
    step (left, levelLeft, peakLeft, holdLeft);
    step (right, levelRight, peakRight, holdRight);
    repaint();
}

void Meters::reset()
{
    holdLeft = holdRight = 0;
    levelLeft = levelRight = peakLeft = peakRight = floorDb;
    repaint();
}

float Meters::positionForDb (float db) noexcept
{
    int i = 0;

    while (i < 10 && db > dbValues[i + 1])
        ++i;

    return (float) i * pixelsPerMark + pixelsPerMark * (db - dbValues[i]) / (dbValues[i + 1] - dbValues[i]);
}

void Meters::paint (juce::Graphics& g)
{
    const float w = (float) getWidth();
    const float h = (float) getHeight();

    const float yL = positionForDb (levelLeft);
    const float yR = positionForDb (levelRight);
    const float pL = positionForDb (peakLeft);
    const float pR = positionForDb (peakRight);

    const float leftX = leftBarCentre;
    const float rightX = rightBarCentre (w);

    g.setColour (green());
    g.drawLine (leftX, h - yL, leftX, h, barWidth);
    g.drawLine (rightX, h - yR, rightX, h, barWidth);

    g.setColour (pL > zeroDbPixels ? red() : green());
    g.drawLine (leftX - 1.0f, h - pL, leftX + 1.0f, h - pL, 1.0f);

    g.setColour (pR > zeroDbPixels ? red() : green());
    g.drawLine (rightX - 1.0f, h - pR, rightX + 1.0f, h - pR, 1.0f);

    // The part of a bar above 0 dB is drawn over in red.
    g.setColour (red());

    if (yL > zeroDbPixels)
        g.drawLine (leftX, h - yL, leftX, h - zeroDbPixels, barWidth);

    if (yR > zeroDbPixels)
        g.drawLine (rightX, h - yR, rightX, h - zeroDbPixels, barWidth);
}

void Meters::resized() {}
