#include "EditorTestSupport.h"
#include "VLImageButton.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

using namespace EditorTest;

namespace
{
    const juce::Colour green (0xff00ff00);

    /** Draws the image at (x, y) into a transparent canvas, optionally through a scaled context. */
    juce::Image drawn (const juce::Image& image, int w, int h, int x, int y, float contextScale = 1.0f)
    {
        juce::Image target (juce::Image::ARGB, w, h, true);
        juce::Graphics g (target);
        g.addTransform (juce::AffineTransform::scale (contextScale));
        VLGraphics::DrawImageAt (g, image, x, y, 1.0f);
        return target;
    }
}

//==================================================================================================
TEST (VLGraphics, displayScaleIsOneWithoutADisplay)
{
    const auto* primary = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    EXPECT_EQ (VLGraphics::getDisplayScale(), primary == nullptr ? 1.0 : primary->scale);
}

TEST (VLGraphics, twoTimesImageIsDrawnAtItsOneTimesSize)
{
    EXPECT_EQ (VLGraphics::getImageScale (juce::Image (juce::Image::ARGB, 4, 4, true)), 1.0f)
        << "an image from elsewhere counts as 1x";

    auto dense = solidImage (20, 20, green, 2.0f);
    auto copy = dense;
    EXPECT_EQ (VLGraphics::getImageScale (copy), 2.0f) << "copies share the record";
    EXPECT_EQ (VLGraphics::getDrawnBounds (dense), juce::Rectangle<float> (10.0f, 10.0f));

    auto target = drawn (dense, 30, 30, 3, 4);
    EXPECT_EQ (target.getPixelAt (3, 4), green);
    EXPECT_EQ (target.getPixelAt (12, 13), green);
    EXPECT_FALSE (painted (target, 13, 8)) << "10 pixels wide, not 20";
    EXPECT_FALSE (painted (target, 8, 14));
    EXPECT_FALSE (painted (target, 2, 4));

    // On a 2x screen the same call covers the same logical area with every image pixel.
    juce::Image pixels (juce::Image::ARGB, 4, 2, true);
    pixels.setPixelAt (0, 0, juce::Colours::red);
    pixels.setPixelAt (1, 0, juce::Colours::blue);
    VLGraphics::setImageScale (pixels, 2.0f);
    target = drawn (pixels, 8, 8, 1, 1, 2.0f);
    EXPECT_EQ (target.getPixelAt (2, 2), juce::Colours::red);
    EXPECT_EQ (target.getPixelAt (3, 2), juce::Colours::blue);
    EXPECT_FALSE (painted (target, 6, 2)) << "4 device pixels = 2 logical pixels wide";
}

TEST (VLGraphics, centredDrawingUsesTheOneTimesSize)
{
    const auto centred = [] (const juce::Image& image)
    {
        juce::Image target (juce::Image::ARGB, 24, 20, true);
        juce::Graphics g (target);
        VLGraphics::DrawImageCenteredAt (g, image, 12.0f, 10.0f, 1.0f, 1.0f, 0.0f);
        return target;
    };

    auto target = centred (solidImage (6, 12, green, 2.0f));   // 3 x 6 at 1x, like the banner's arrows
    EXPECT_TRUE (painted (target, 11, 8));
    EXPECT_TRUE (painted (target, 12, 11));
    EXPECT_FALSE (painted (target, 14, 10));
    EXPECT_FALSE (painted (target, 12, 14));

    auto exact = centred (solidImage (3, 6, green));
    EXPECT_EQ (exact.getPixelAt (10, 7), green) << "(int) (12 - 1.5) = 10, (int) (10 - 3) = 7";
    EXPECT_EQ (exact.getPixelAt (12, 12), green);
    EXPECT_FALSE (painted (exact, 13, 7));
    EXPECT_FALSE (painted (exact, 10, 13));

    EXPECT_FALSE (painted (centred (juce::Image()), 12, 10)) << "a missing image draws nothing";
}

// Needs the committed artwork (resources/images).
TEST (VLGraphics, backgroundLoadsAtTheDisplaysDensityAndMissingImagesAreInvalid)
{
    EXPECT_FALSE (VLGraphics::GetImage ("no_such_image").isValid());
    EXPECT_FALSE (VLGraphics::GetImage ("no_such_image", 2.0).isValid());
    EXPECT_FALSE (VLGraphics::GetImage (nullptr).isValid());
    EXPECT_FALSE (VLGraphics::GetImage ("").isValid());

    for (double scale : { 1.0, 1.5, 2.0 })
    {
        SCOPED_TRACE (scale);
        const auto image = VLGraphics::GetImage ("main", scale);
        const int factor = scale > 1.0 ? 2 : 1;
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), 800 * factor);
        EXPECT_EQ (image.getHeight(), 250 * factor);
        EXPECT_EQ (VLGraphics::getImageScale (image), (float) factor);
        EXPECT_EQ (VLGraphics::getDrawnBounds (image), juce::Rectangle<float> (800.0f, 250.0f))
            << "the panel never grows with the display scale";

        auto target = drawn (image, 820, 260, 0, 0);
        EXPECT_EQ (target.getPixelAt (799, 249).getAlpha(), 255);
        EXPECT_EQ (target.getPixelAt (0, 0).getAlpha(), 255);
        EXPECT_FALSE (painted (target, 801, 100));
        EXPECT_FALSE (painted (target, 400, 251));
    }
}

//==================================================================================================
TEST (FontManager, editorsShareOneSetOfFonts)
{
    ASSERT_EQ (FontManager::getInstance(), nullptr);

    juce::Font first ("First Face", 20.0f, juce::Font::plain), dropped ("Dropped Face", 30.0f, juce::Font::plain);
    auto* a = FontManager::create (first, first, first);
    EXPECT_EQ (FontManager::create (dropped, dropped, dropped), a);
    EXPECT_EQ (a->normalFont (11.0f).getHeight(), 11.0f);
    EXPECT_EQ (a->normalFont (9.0f).getTypefaceName(), "First Face") << "the second set is dropped";

    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), a) << "the other editor still holds the fonts";
    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), nullptr);

    FontManager::destroy();   // unmatched: ignored
    EXPECT_NE (FontManager::create (first, first, first), nullptr);
    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), nullptr) << "the unmatched destroy left no debt behind";
}

TEST (FontManager, embeddedFontIsArimo)
{
    EXPECT_EQ (FontManager::makeEmbeddedFont().getTypefaceName(), "Arimo");
    EXPECT_GT (FontManager::uiFont (12.0f).getHeight(), 0.0f) << "usable without a shared set";

    ScopedFonts fonts;
    EXPECT_EQ (FontManager::uiFont (12.0f).getTypefaceName(), "Arimo");
    EXPECT_EQ (FontManager::uiFont (12.0f).getHeight(), 12.0f);
}

//==================================================================================================
TEST (VLImageButton, pressedOrDimmedDrawsAtHalfOpacityAndReleaseInsideClicks)
{
    struct ClickCounter : VLImageButton::Delegate
    {
        int clicks = 0;
        void buttonClicked (VLImageButton*) override { ++clicks; }
    } owner;

    VLImageButton button;
    button.image = solidImage (4, 4, green);
    button.delegate = &owner;
    button.setBounds (0, 0, 24, 20);
    EXPECT_EQ (render (button).getPixelAt (12, 10).getAlpha(), 255);

    button.dimmed = true;
    EXPECT_NEAR (render (button).getPixelAt (12, 10).getAlpha(), 128, 1);
    clickAt (button, 5, 5);
    EXPECT_EQ (owner.clicks, 1) << "a dimmed button still clicks";

    button.dimmed = false;
    button.mouseDown (mouseAt (button, 5, 5));
    EXPECT_EQ (button.getDrawnOpacity(), 0.5f);
    button.mouseUp (mouseAt (button, { 23, 19 }, { 5, 5 }));
    EXPECT_EQ (button.getDrawnOpacity(), 1.0f);
    EXPECT_EQ (owner.clicks, 2);

    for (bool dimmed : { true, false })
    {
        button.dimmed = dimmed;
        button.mouseDown (mouseAt (button, 5, 5));
        button.mouseUp (mouseAt (button, { 24, 5 }, { 5, 5 }));
        EXPECT_EQ (owner.clicks, 2) << "released outside";
        EXPECT_FALSE (button.pressed);
    }

    button.delegate = nullptr;
    clickAt (button, 5, 5);
    EXPECT_EQ (owner.clicks, 2);
}
