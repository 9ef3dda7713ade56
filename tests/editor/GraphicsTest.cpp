#include "EditorTestSupport.h"
#include "VLImageButton.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

using namespace EditorTest;

namespace
{
    const juce::Colour green (0xff00ff00);

    juce::Image canvas (int w, int h)   { return juce::Image (juce::Image::ARGB, w, h, true); }
}

//==================================================================================================
TEST (VLGraphics, displayScaleIsOneWithoutADisplay)
{
    const auto& displays = juce::Desktop::getInstance().getDisplays();
    const double scale = VLGraphics::getDisplayScale();

    if (displays.getPrimaryDisplay() == nullptr)
        EXPECT_EQ (scale, 1.0);
    else
        EXPECT_EQ (scale, displays.getPrimaryDisplay()->scale);

    EXPECT_GE (scale, 1.0 / 8.0) << "always a usable scale";
}

TEST (VLGraphics, imagesRememberTheirDensity)
{
    auto plain = solidImage (4, 4, green);
    EXPECT_EQ (VLGraphics::getImageScale (plain), 1.0f);

    EXPECT_EQ (VLGraphics::getImageScale (juce::Image (juce::Image::ARGB, 4, 4, true)), 1.0f)
        << "an image from elsewhere counts as 1x";

    auto dense = solidImage (20, 10, green, 2.0f);
    EXPECT_EQ (VLGraphics::getImageScale (dense), 2.0f);
    auto copy = dense;
    EXPECT_EQ (VLGraphics::getImageScale (copy), 2.0f) << "copies share the record";
    EXPECT_EQ (VLGraphics::getDrawnBounds (dense), juce::Rectangle<float> (10.0f, 5.0f));
}

TEST (VLGraphics, twoTimesImageIsDrawnAtItsOneTimesSize)
{
    auto dense = solidImage (20, 20, green, 2.0f);
    auto target = canvas (30, 30);
    {
        juce::Graphics g (target);
        VLGraphics::DrawImageAt (g, dense, 3, 4, 1.0f);
    }
    EXPECT_EQ (target.getPixelAt (3, 4), green);
    EXPECT_EQ (target.getPixelAt (12, 13), green);
    EXPECT_FALSE (painted (target, 13, 8)) << "10 pixels wide, not 20";
    EXPECT_FALSE (painted (target, 8, 14));
    EXPECT_FALSE (painted (target, 2, 4));
}

TEST (VLGraphics, twoTimesImageKeepsItsFootprintOnADenseCanvas)
{
    // On a 2x screen the same call covers the same logical area with every image pixel.
    juce::Image dense (juce::Image::ARGB, 4, 2, true);
    dense.setPixelAt (0, 0, juce::Colours::red);
    dense.setPixelAt (1, 0, juce::Colours::blue);
    VLGraphics::setImageScale (dense, 2.0f);

    auto target = canvas (8, 8);
    {
        juce::Graphics g (target);
        g.addTransform (juce::AffineTransform::scale (2.0f));
        VLGraphics::DrawImageAt (g, dense, 1, 1, 1.0f);
    }
    EXPECT_EQ (target.getPixelAt (2, 2), juce::Colours::red);
    EXPECT_EQ (target.getPixelAt (3, 2), juce::Colours::blue);
    EXPECT_FALSE (painted (target, 6, 2)) << "4 device pixels = 2 logical pixels wide";
}

TEST (VLGraphics, centredDrawingUsesTheOneTimesSize)
{
    auto dense = solidImage (6, 12, green, 2.0f);   // 3 x 6 at 1x, like the banner's arrows
    auto target = canvas (24, 20);
    {
        juce::Graphics g (target);
        VLGraphics::DrawImageCenteredAt (g, dense, 12.0f, 10.0f, 1.0f, 1.0f, 0.0f);
    }
    EXPECT_TRUE (painted (target, 11, 8));
    EXPECT_TRUE (painted (target, 12, 11));
    EXPECT_FALSE (painted (target, 14, 10));
    EXPECT_FALSE (painted (target, 12, 14));

    auto plain = solidImage (3, 6, green);
    auto exact = canvas (24, 20);
    {
        juce::Graphics g (exact);
        VLGraphics::DrawImageCenteredAt (g, plain, 12.0f, 10.0f, 1.0f, 1.0f, 0.0f);
    }
    EXPECT_EQ (exact.getPixelAt (10, 7), green) << "(int) (12 - 1.5) = 10, (int) (10 - 3) = 7";
    EXPECT_EQ (exact.getPixelAt (12, 12), green);
    EXPECT_FALSE (painted (exact, 13, 7));
    EXPECT_FALSE (painted (exact, 10, 13));
}

TEST (VLGraphics, missingImagesAreInvalidAndHarmless)
{
    EXPECT_FALSE (VLGraphics::GetImage ("no_such_image").isValid());
    EXPECT_FALSE (VLGraphics::GetImage ("no_such_image", 2.0).isValid());
    EXPECT_FALSE (VLGraphics::GetImage (nullptr).isValid());
    EXPECT_FALSE (VLGraphics::GetImage ("").isValid());

    auto target = canvas (4, 4);
    juce::Graphics g (target);
    VLGraphics::DrawImageCenteredAt (g, juce::Image(), 2, 2, 1.0f, 1.0f, 0.5f);
    EXPECT_FALSE (painted (target, 2, 2));
}

// These need the committed artwork (resources/images).
TEST (VLGraphics, backgroundLoadsAtTheDensityOfTheDisplay)
{
    const auto oneX = VLGraphics::GetImage ("main", 1.0);
    ASSERT_TRUE (oneX.isValid());
    EXPECT_EQ (oneX.getWidth(), 800);
    EXPECT_EQ (oneX.getHeight(), 250);
    EXPECT_EQ (VLGraphics::getImageScale (oneX), 1.0f);

    for (double scale : { 2.0, 1.5 })
    {
        const auto twoX = VLGraphics::GetImage ("main", scale);
        ASSERT_TRUE (twoX.isValid());
        EXPECT_EQ (twoX.getWidth(), 1600);
        EXPECT_EQ (twoX.getHeight(), 500);
        EXPECT_EQ (VLGraphics::getImageScale (twoX), 2.0f);
        EXPECT_EQ (VLGraphics::getDrawnBounds (twoX), juce::Rectangle<float> (800.0f, 250.0f))
            << "the panel never grows with the display scale";
    }

    // Drawn into a larger canvas, both densities cover exactly the 800 x 250 panel.
    for (double scale : { 1.0, 2.0 })
    {
        auto image = VLGraphics::GetImage ("main", scale);
        auto target = canvas (820, 260);
        {
            juce::Graphics g (target);
            VLGraphics::DrawImageAt (g, image, 0, 0, 1.0f);
        }
        EXPECT_EQ (target.getPixelAt (799, 249).getAlpha(), 255) << scale;
        EXPECT_EQ (target.getPixelAt (0, 0).getAlpha(), 255) << scale;
        EXPECT_FALSE (painted (target, 801, 100)) << scale;
        EXPECT_FALSE (painted (target, 400, 251)) << scale;
    }
}

//==================================================================================================
TEST (FontManager, editorsShareOneSetOfFonts)
{
    ASSERT_EQ (FontManager::getInstance(), nullptr);

    juce::Font first ("First Face", 20.0f, juce::Font::plain), dropped ("Dropped Face", 30.0f, juce::Font::plain);
    auto* a = FontManager::create (first, first, first);
    auto* b = FontManager::create (dropped, dropped, dropped);
    EXPECT_EQ (a, b);
    EXPECT_EQ (FontManager::getInstance(), a);
    EXPECT_EQ (a->normalFont (11.0f).getHeight(), 11.0f);
    EXPECT_EQ (&a->normalFont (12.0f), &b->normalFont (9.0f)) << "one shared font object";
    EXPECT_EQ (a->normalFont (9.0f).getTypefaceName(), "First Face") << "the second set is dropped";

    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), a) << "the other editor still holds the fonts";
    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), nullptr);

    FontManager::destroy();   // unmatched: ignored
    auto* c = FontManager::create (first, first, first);
    EXPECT_NE (c, nullptr);
    FontManager::destroy();
    EXPECT_EQ (FontManager::getInstance(), nullptr) << "the unmatched destroy left no debt behind";
}

TEST (FontManager, embeddedFontIsArimo)
{
    const auto font = FontManager::makeEmbeddedFont();
    EXPECT_EQ (font.getTypefaceName(), "Arimo");
    EXPECT_GT (font.getStringWidthFloat ("Default"), 10.0f);

    EXPECT_GT (FontManager::uiFont (12.0f).getHeight(), 0.0f) << "usable without a shared set";

    ScopedFonts fonts;
    EXPECT_EQ (FontManager::uiFont (12.0f).getTypefaceName(), "Arimo");
    EXPECT_EQ (FontManager::uiFont (12.0f).getHeight(), 12.0f);
}

//==================================================================================================
namespace
{
    struct ClickCounter : VLImageButton::Delegate
    {
        int clicks = 0;
        VLImageButton* last = nullptr;
        void buttonClicked (VLImageButton* b) override { ++clicks; last = b; }
    };
}

TEST (VLImageButton, pressedOrDimmedDrawsAtHalfOpacity)
{
    VLImageButton button;
    button.image = solidImage (4, 4, green);
    button.setBounds (0, 0, 24, 20);
    EXPECT_EQ (button.getDrawnOpacity(), 1.0f);
    EXPECT_EQ (render (button).getPixelAt (12, 10).getAlpha(), 255);

    button.dimmed = true;
    EXPECT_EQ (button.getDrawnOpacity(), 0.5f);
    EXPECT_NEAR (render (button).getPixelAt (12, 10).getAlpha(), 128, 1);

    button.dimmed = false;
    button.mouseDown (mouseAt (button, 5, 5));
    EXPECT_TRUE (button.pressed);
    EXPECT_EQ (button.getDrawnOpacity(), 0.5f);
    button.mouseUp (mouseAt (button, 5, 5));
    EXPECT_FALSE (button.pressed);
    EXPECT_EQ (button.getDrawnOpacity(), 1.0f);
}

TEST (VLImageButton, releaseInsideClicksDimmedOrNot)
{
    ClickCounter owner;
    VLImageButton button;
    button.delegate = &owner;
    button.setBounds (0, 0, 24, 20);

    button.mouseDown (mouseAt (button, 5, 5));
    button.mouseUp (mouseAt (button, { 23, 19 }, { 5, 5 }));
    EXPECT_EQ (owner.clicks, 1);
    EXPECT_EQ (owner.last, &button);

    button.dimmed = true;
    button.mouseDown (mouseAt (button, 5, 5));
    button.mouseUp (mouseAt (button, 5, 5));
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
    button.mouseDown (mouseAt (button, 5, 5));
    button.mouseUp (mouseAt (button, 5, 5));
    EXPECT_EQ (owner.clicks, 2);
}
