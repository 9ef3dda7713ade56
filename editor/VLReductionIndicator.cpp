#include "VLReductionIndicator.h"
#include "VLGraphics.h"

VLReductionIndicator::VLReductionIndicator()
    : inactiveImage (VLGraphics::GetImage ("compression_inactive")),
      activeImage (VLGraphics::GetImage ("compression_active"))
{
}

VLReductionIndicator::~VLReductionIndicator() = default;

float VLReductionIndicator::activeOpacityFor (float reduction) noexcept
{
    const float x = 2.0f * (1.0f - reduction);
    return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f;
}

float VLReductionIndicator::redAlphaFor (float reduction) noexcept
{
    const float x = 2.0f * (1.0f - reduction);
    return x > 1.0f ? (x < 2.0f ? x - 1.0f : 1.0f) : 0.0f;
}

void VLReductionIndicator::paint (juce::Graphics& g)
{
    VLGraphics::DrawImageAt (g, inactiveImage, 0, 0, 1.0f);
    VLGraphics::DrawImageAt (g, activeImage, 0, 0, activeOpacityFor (displayedReduction));

    g.setColour (juce::Colour::fromFloatRGBA (1.0f, 0.0f, 0.0f, redAlphaFor (displayedReduction)));
    g.fillEllipse (1.0f, 1.0f, (float) getWidth() - 2.0f, (float) getHeight() - 2.0f);
}

void VLReductionIndicator::resized() {}
