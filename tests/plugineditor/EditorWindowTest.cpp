// The editor as built: its children, their order and rectangles, what construction sends to the
// host (nothing), the images and colours it hands its widgets, and its lifetime rules.

#include "EditorTestFixture.h"
#include "FontManager.h"
#include "VLGraphics.h"

#include <cmath>

using namespace quillo::test;

namespace
{
    struct ExpectedPlace
    {
        int paramId;
        int x, y, w, h;
    };

    // In the order the widgets are set up, which is their child order and the timer's order.
    const ExpectedPlace expectedParameterWidgets[23] = {
        {  0,  43, 161, 23, 23 }, {  1,  97, 161, 23, 23 }, {  2,  10,  29, 15, 15 },
        {  3,  62,  75, 45, 45 }, {  5, 164, 161, 23, 23 }, {  6, 218, 161, 23, 23 },
        {  7, 173,  65, 60, 60 }, { 11, 311,  65, 60, 60 }, { 12, 282, 161, 23, 23 },
        { 13, 376, 161, 23, 23 }, { 14, 326, 189, 30, 30 }, { 15, 469,  65, 60, 60 },
        { 16, 440, 161, 23, 23 }, { 17, 534, 161, 23, 23 }, { 18, 484, 189, 30, 30 },
        {  8, 599, 161, 23, 23 }, {  9, 652, 161, 23, 23 }, { 10, 606,  65, 60, 60 },
        {  4, 710, 161, 56, 42 }, { 19, 180,  38, 60, 15 }, { 20, 309,  38, 60, 15 },
        { 21, 465,  38, 60, 15 }, { 22, 614,  38, 60, 15 },
    };

    bool isSwitch (int id)      { return id == 2 || id == 4 || (id >= 19 && id <= 22); }

    float expectedSkew (int id)
    {
        switch (id)
        {
            case 7:                         return 1.1f;
            case 10: case 11: case 15:      return 2.0f;
            default:                        return 1.0f;
        }
    }

    juce::Colour expectedPointer (int id)
    {
        switch (id)
        {
            case 7: case 10: case 11: case 15:  return juce::Colour::fromFloatRGBA (1.0f, 1.0f, 1.0f, 0.95f);
            case 14: case 18:                   return juce::Colour::fromFloatRGBA (1.0f, 1.0f, 1.0f, 0.65f);
            default:                            return juce::Colour::fromFloatRGBA (0.0f, 0.0f, 0.0f, 0.65f);
        }
    }

    bool samePixels (const juce::Image& a, const juce::Image& b)
    {
        if (a.getBounds() != b.getBounds())
            return false;

        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return false;

        return true;
    }

    juce::Image render (juce::Component& c, float scale = 1.0f)
    {
        juce::Image image (juce::Image::ARGB, juce::roundToInt ((float) c.getWidth() * scale),
                           juce::roundToInt ((float) c.getHeight() * scale), true);
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (scale));
        c.paintEntireComponent (g, true);
        return image;
    }
}

//==============================================================================
using EditorLayoutTest = EditorFixture;

TEST_F (EditorLayoutTest, HasTwentyEightChildrenInTheirOrderAtTheirRectangles)
{
    EXPECT_EQ (editor->getWidth(), 800);
    EXPECT_EQ (editor->getHeight(), 250);
    ASSERT_EQ (editor->getNumChildComponents(), 28);

    const auto& list = editor->getParamComponents();
    ASSERT_EQ (list.size(), 23u);

    for (int i = 0; i < 23; ++i)
    {
        const auto& expected = expectedParameterWidgets[i];
        auto* child = editor->getChildComponent (i);

        ASSERT_EQ (child, list[(size_t) i]) << "child " << i;
        EXPECT_EQ (list[(size_t) i]->getParamId(), expected.paramId) << "child " << i;
        EXPECT_EQ (child->getBounds(), juce::Rectangle<int> (expected.x, expected.y, expected.w, expected.h))
            << "parameter " << expected.paramId;
        EXPECT_TRUE (child->isVisible());

        if (expected.paramId == 3)
            EXPECT_NE (dynamic_cast<HPFilterKnob*> (child), nullptr);
        else if (isSwitch (expected.paramId))
            EXPECT_NE (dynamic_cast<VLSwitchImage*> (child), nullptr) << expected.paramId;
        else
            EXPECT_NE (dynamic_cast<VLKnob*> (child), nullptr) << expected.paramId;
    }

    EXPECT_EQ (editor->getChildComponent (23), &editor->getLowMidLamp());
    EXPECT_EQ (editor->getChildComponent (24), &editor->getHighMidLamp());
    EXPECT_EQ (editor->getChildComponent (25), &editor->getBanner());
    EXPECT_EQ (editor->getChildComponent (26), &editor->getValueBubble());
    EXPECT_EQ (editor->getChildComponent (27), &editor->getLevelMeter());

    EXPECT_EQ (editor->getLowMidLamp().getBounds(), juce::Rectangle<int> (338, 169, 6, 6));
    EXPECT_EQ (editor->getHighMidLamp().getBounds(), juce::Rectangle<int> (496, 169, 6, 6));
    EXPECT_EQ (editor->getBanner().getBounds(), juce::Rectangle<int> (0, 0, 800, 20));
    EXPECT_EQ (editor->getLevelMeter().getBounds(), juce::Rectangle<int> (721, 48, 28, 91));

    // Every parameter has exactly one widget.
    for (int id = 0; id < 23; ++id)
        EXPECT_NE (editor->getWidgetForParam (id), nullptr) << id;
}

TEST_F (EditorLayoutTest, KnobsCarryTheirSkewAndPointerColour)
{
    for (int id = 0; id < 23; ++id)
    {
        if (id == 3 || isSwitch (id))
            continue;

        EXPECT_EQ (knob (id).skew, expectedSkew (id)) << id;
        EXPECT_EQ (knob (id).pointerColour, expectedPointer (id)) << id;
    }

    EXPECT_EQ (widget<HPFilterKnob> (3).pointerColour, juce::Colour::fromFloatRGBA (0.0f, 0.0f, 0.0f, 0.95f));
}

TEST_F (EditorLayoutTest, SwitchesGetTheirImagesAndOnlyTheMeterSwitchStaysBrightWhenPressed)
{
    const auto sizeOf = [] (const juce::Image& image) { return VLGraphics::getDrawnBounds (image); };

    auto& meter = widget<VLSwitchImage> (4);
    EXPECT_FALSE (meter.dimWhenPressed);
    EXPECT_EQ (sizeOf (meter.onImage), juce::Rectangle<float> (56.0f, 42.0f));
    EXPECT_EQ (sizeOf (meter.offImage), juce::Rectangle<float> (56.0f, 42.0f));
    EXPECT_TRUE (samePixels (meter.onImage, VLGraphics::GetImage ("vu_output")));
    EXPECT_TRUE (samePixels (meter.offImage, VLGraphics::GetImage ("vu_input")));
    EXPECT_FALSE (samePixels (meter.onImage, meter.offImage));

    auto& main = widget<VLSwitchImage> (2);
    EXPECT_TRUE (main.dimWhenPressed);
    EXPECT_EQ (sizeOf (main.onImage), juce::Rectangle<float> (8.0f, 8.0f));
    EXPECT_TRUE (samePixels (main.onImage, VLGraphics::GetImage ("bypass_main_on")));
    EXPECT_TRUE (samePixels (main.offImage, VLGraphics::GetImage ("bypass_main_off")));

    for (int id : { 19, 20, 21, 22 })
    {
        auto& s = widget<VLSwitchImage> (id);
        EXPECT_TRUE (s.dimWhenPressed) << id;
        EXPECT_EQ (sizeOf (s.onImage), juce::Rectangle<float> (6.0f, 6.0f)) << id;
        EXPECT_TRUE (samePixels (s.onImage, VLGraphics::GetImage ("bypass_on"))) << id;
        EXPECT_TRUE (samePixels (s.offImage, VLGraphics::GetImage ("bypass_off"))) << id;
    }
}

TEST_F (EditorLayoutTest, RunsItsTimerAtSixtyHertz)
{
    // The fixture stops it; a fresh editor has it running with the 16 ms period.
    editor.open (*processor);
    ASSERT_NE (editor.get(), nullptr);
    EXPECT_TRUE (editor->isTimerRunning());
    EXPECT_EQ (editor->getTimerInterval(), 16);
}

TEST_F (EditorLayoutTest, KeepsEveryControlInPlaceWhenResizedFromOutside)
{
    std::vector<juce::Rectangle<int>> before;

    for (int i = 0; i < 28; ++i)
        before.push_back (editor->getChildComponent (i)->getBounds());

    editor->setSize (1000, 400);

    for (int i = 0; i < 28; ++i)
    {
        if (editor->getChildComponent (i) == &editor->getBanner())
            EXPECT_EQ (editor->getBanner().getBounds(), juce::Rectangle<int> (0, 0, 1000, 20));
        else
            EXPECT_EQ (editor->getChildComponent (i)->getBounds(), before[(size_t) i]) << "child " << i;
    }

    // The logo follows the bottom edge: below the 250-pixel artwork only its 39 x 8 pixels at
    // (12, 382) carry paint (the banner's arrows sit at the new width, above y 20).
    const auto image = render (*editor);
    int paintedOutsideLogo = 0, paintedInLogo = 0;

    for (int y = 250; y < 400; ++y)
    {
        for (int x = 0; x < 1000; ++x)
        {
            const bool inLogo = x >= 12 && x < 12 + 39 && y >= 382 && y < 382 + 8;
            const bool painted = image.getPixelAt (x, y).getAlpha() > 0;
            (inLogo ? paintedInLogo : paintedOutsideLogo) += painted ? 1 : 0;
        }
    }

    EXPECT_EQ (paintedOutsideLogo, 0);
    EXPECT_GT (paintedInLogo, 20);
}

//==============================================================================
TEST (EditorConstruction, ShowsTheProcessorsValuesAndSendsNothingToTheHost)
{
    auto processor = makeProcessor();

    // Values that differ from the defaults, set as a host would before the window opens.
    for (int id = 0; id < 23; ++id)
        processor->getParameters()[id]->setValue (std::fmod (0.13f + 0.37f * (float) id, 1.0f));

    processor->presetModified = false;

    HostRecorder host;
    processor->addListener (&host);

    {
        HostedEditor editor (*processor);
        ASSERT_NE (editor.get(), nullptr);

        EXPECT_TRUE (host.describe().empty());
        EXPECT_FALSE (processor->presetModified.load());
        EXPECT_EQ (editor->getBanner().popup.nameField.text, "Default");

        for (auto* w : editor->getParamComponents())
        {
            const float v = processor->getParameter (w->getParamId());

            if (auto* k = dynamic_cast<VLKnob*> (w))
                EXPECT_EQ (k->getValue(), std::pow (v, 1.0f / k->skew)) << w->getParamId();
            else
                EXPECT_EQ (w->getValue(), v) << w->getParamId();
        }

        // The first refresh finds every widget in step: still nothing sent.
        editor->timerCallback();
        EXPECT_TRUE (host.describe().empty());
        EXPECT_FALSE (processor->presetModified.load());
    }

    // A preset already marked as modified stays marked, and the banner says so.
    processor->presetModified = true;
    {
        HostedEditor editor (*processor);
        EXPECT_TRUE (processor->presetModified.load());
        EXPECT_EQ (editor->getBanner().popup.nameField.text, "* Default");
        EXPECT_TRUE (host.describe().empty());
    }

    processor->removeListener (&host);
}

TEST (EditorConstruction, OpensWithNoReductionWhateverTheEngineHadAccumulated)
{
    // The same history for two processors; only one of them gets an editor.
    auto withEditor = makeProcessor();
    auto without = makeProcessor();

    for (auto* p : { withEditor.get(), without.get() })
    {
        setParameter (*p, kLowDynAttenuation, 1.0f);
        setParameter (*p, kHighDynAttenuation, 1.0f);
        Channels c { sine (500.0, 0.5f, 24000), sine (1200.0, 0.5f, 24000) };
        process (*p, c, 256);
    }

    HostedEditor editor (*withEditor);
    editor->stopTimer();

    EXPECT_LT (without->getLowMidReduction(), 0.5f);
    EXPECT_LT (without->getHighMidReduction(), 0.5f);

    editor->timerCallback();
    EXPECT_EQ (editor->getLowMidLamp().latestReduction, 1.0f);
    EXPECT_EQ (editor->getHighMidLamp().latestReduction, 1.0f);
    EXPECT_EQ (editor->getLowMidLamp().displayedReduction, 1.0f);
    EXPECT_EQ (editor->getHighMidLamp().displayedReduction, 1.0f);
}

TEST (EditorConstruction, TwoOpenEditorsShareOneSetOfFontsUntilBothClose)
{
    ASSERT_EQ (FontManager::getInstance(), nullptr) << "a test left the shared fonts held";

    auto first = makeProcessor();
    auto second = makeProcessor();

    HostedEditor a (*first);
    auto* shared = FontManager::getInstance();
    ASSERT_NE (shared, nullptr);

    HostedEditor b (*second);
    EXPECT_EQ (FontManager::getInstance(), shared);

    a.close();
    EXPECT_EQ (FontManager::getInstance(), shared);

    // The remaining editor still draws its text with the shared font.
    ASSERT_NE (b.get(), nullptr);
    const auto& nameField = b->getBanner().popup.nameField;
    const auto image = render (*b);
    int textPixels = 0;

    for (int y = nameField.getY() + 4; y < nameField.getBottom() - 4; ++y)
        for (int x = 330; x < 470; ++x)
            textPixels += image.getPixelAt (x, y).getBrightness() > 0.6f ? 1 : 0;

    EXPECT_GT (textPixels, 10);

    b.close();
    EXPECT_EQ (FontManager::getInstance(), nullptr);
}

TEST (EditorConstruction, IsTheProcessorsEditorUntilItCloses)
{
    auto processor = makeProcessor();
    EXPECT_TRUE (processor->hasEditor());

    HostedEditor editor (*processor);
    ASSERT_NE (editor.get(), nullptr);
    EXPECT_EQ (processor->getActiveEditor(), editor.get());
    EXPECT_EQ (processor->createEditorIfNeeded(), editor.get());
    EXPECT_EQ (editor->getProcessor(), processor.get());

    editor.close();
    EXPECT_EQ (processor->getActiveEditor(), nullptr);
}

TEST (EditorConstruction, OnADoubleDensityDisplayDrawsTheArtworkAtItsOwnSize)
{
    auto processor = makeProcessor();

    HostedEditor plain (*processor);
    const auto image1x = render (*plain);
    plain.close();

    const ScopedDisplayScale doubleDensity (2.0);
    HostedEditor sharp (*processor);
    sharp->setSize (900, 300);

    const auto image2x = render (*sharp, 2.0f);
    EXPECT_EQ (image2x.getWidth(), 1800);

    // The 1600 x 500 artwork covers exactly the 800 x 250 panel, as the 1x artwork does.
    EXPECT_EQ (image2x.getPixelAt (1598, 498).getAlpha(), 255);
    EXPECT_EQ (image2x.getPixelAt (1604, 498).getAlpha(), 0);
    EXPECT_EQ (image2x.getPixelAt (1598, 504).getAlpha(), 0);

    // Same picture at either density: compare the 2x render, averaged down, with the 1x one
    // over the artwork (away from anti-aliased edges the difference stays small).
    double difference = 0.0;
    int samples = 0;

    for (int y = 30; y < 240; y += 3)
    {
        for (int x = 10; x < 790; x += 3)
        {
            const auto a = image1x.getPixelAt (x, y);
            const auto b = image2x.getPixelAt (2 * x, 2 * y);
            difference += std::abs ((int) a.getRed() - (int) b.getRed()) + std::abs ((int) a.getGreen() - (int) b.getGreen())
                        + std::abs ((int) a.getBlue() - (int) b.getBlue());
            samples += 3;
        }
    }

    EXPECT_LT (difference / samples, 12.0);
}
