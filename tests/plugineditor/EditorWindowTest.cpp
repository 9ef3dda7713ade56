// The editor as built: its children, their order and rectangles, what construction sends to the
// host (nothing), the images and colours it hands its widgets, and its lifetime rules.

#include "EditorTestFixture.h"
#include "FontManager.h"
#include "VLGraphics.h"

#include <cmath>

using namespace quillo::test;

namespace
{
    /** kind: 'k' knob, 'h' high-pass selector, 's' switch; pointer: 'W' white 0.95, 'w' white 0.65,
        'b' black 0.65. In the order the widgets are set up: their child order and the timer's. */
    struct ExpectedPlace { int paramId, x, y, w, h; char kind; float skew; char pointer; };

    const ExpectedPlace expectedParameterWidgets[23] = {
        {  0,  43, 161, 23, 23, 'k', 1.0f, 'b' }, {  1,  97, 161, 23, 23, 'k', 1.0f, 'b' },
        {  2,  10,  29, 15, 15, 's', 0.0f, '-' }, {  3,  62,  75, 45, 45, 'h', 0.0f, '-' },
        {  5, 164, 161, 23, 23, 'k', 1.0f, 'b' }, {  6, 218, 161, 23, 23, 'k', 1.0f, 'b' },
        {  7, 173,  65, 60, 60, 'k', 1.1f, 'W' }, { 11, 311,  65, 60, 60, 'k', 2.0f, 'W' },
        { 12, 282, 161, 23, 23, 'k', 1.0f, 'b' }, { 13, 376, 161, 23, 23, 'k', 1.0f, 'b' },
        { 14, 326, 189, 30, 30, 'k', 1.0f, 'w' }, { 15, 469,  65, 60, 60, 'k', 2.0f, 'W' },
        { 16, 440, 161, 23, 23, 'k', 1.0f, 'b' }, { 17, 534, 161, 23, 23, 'k', 1.0f, 'b' },
        { 18, 484, 189, 30, 30, 'k', 1.0f, 'w' }, {  8, 599, 161, 23, 23, 'k', 1.0f, 'b' },
        {  9, 652, 161, 23, 23, 'k', 1.0f, 'b' }, { 10, 606,  65, 60, 60, 'k', 2.0f, 'W' },
        {  4, 710, 161, 56, 42, 's', 0.0f, '-' }, { 19, 180,  38, 60, 15, 's', 0.0f, '-' },
        { 20, 309,  38, 60, 15, 's', 0.0f, '-' }, { 21, 465,  38, 60, 15, 's', 0.0f, '-' },
        { 22, 614,  38, 60, 15, 's', 0.0f, '-' },
    };

    bool samePixels (const juce::Image& a, const juce::Image& b)
    {
        bool same = a.getBounds() == b.getBounds();
        for (int y = 0; same && y < a.getHeight(); ++y)
            for (int x = 0; same && x < a.getWidth(); ++x)
                same = a.getPixelAt (x, y) == b.getPixelAt (x, y);
        return same;
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
        SCOPED_TRACE ("child " + std::to_string (i) + ", parameter " + std::to_string (expected.paramId));

        ASSERT_EQ (child, list[(size_t) i]);
        EXPECT_EQ (list[(size_t) i]->getParamId(), expected.paramId);
        EXPECT_EQ (child->getBounds(), juce::Rectangle<int> (expected.x, expected.y, expected.w, expected.h));
        EXPECT_TRUE (child->isVisible());

        if (expected.kind == 'h')
            EXPECT_EQ (widget<HPFilterKnob> (3).pointerColour, juce::Colour::fromFloatRGBA (0.0f, 0.0f, 0.0f, 0.95f));
        else if (expected.kind == 's')
            EXPECT_NE (dynamic_cast<VLSwitchImage*> (child), nullptr);
        else
        {
            EXPECT_EQ (knob (expected.paramId).skew, expected.skew);
            EXPECT_EQ (knob (expected.paramId).pointerColour,
                       juce::Colour::fromFloatRGBA (expected.pointer == 'b' ? 0.0f : 1.0f, expected.pointer == 'b' ? 0.0f : 1.0f,
                                                    expected.pointer == 'b' ? 0.0f : 1.0f, expected.pointer == 'W' ? 0.95f : 0.65f));
        }
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
}

TEST_F (EditorLayoutTest, SwitchesGetTheirImagesAndOnlyTheMeterSwitchStaysBrightWhenPressed)
{
    const struct { int id; const char *on, *off; float size; } cases[] = {
        { 4, "vu_output", "vu_input", 56.0f }, { 2, "bypass_main_on", "bypass_main_off", 8.0f },
        { 19, "bypass_on", "bypass_off", 6.0f }, { 20, "bypass_on", "bypass_off", 6.0f },
        { 21, "bypass_on", "bypass_off", 6.0f }, { 22, "bypass_on", "bypass_off", 6.0f },
    };

    for (const auto& c : cases)
    {
        auto& s = widget<VLSwitchImage> (c.id);
        EXPECT_EQ (s.dimWhenPressed, c.id != 4) << c.id;
        EXPECT_EQ (VLGraphics::getDrawnBounds (s.onImage).getWidth(), c.size) << c.id;
        EXPECT_TRUE (samePixels (s.onImage, VLGraphics::GetImage (c.on))) << c.id;
        EXPECT_TRUE (samePixels (s.offImage, VLGraphics::GetImage (c.off))) << c.id;
    }

    EXPECT_EQ (VLGraphics::getDrawnBounds (widget<VLSwitchImage> (4).offImage), juce::Rectangle<float> (56.0f, 42.0f));
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
        for (int x = 0; x < 1000; ++x)
            (x >= 12 && x < 12 + 39 && y >= 382 && y < 382 + 8 ? paintedInLogo : paintedOutsideLogo) += painted (image, x, y) ? 1 : 0;

    EXPECT_EQ (paintedOutsideLogo, 0);
    EXPECT_GT (paintedInLogo, 20);
}

//==============================================================================
TEST (EditorConstruction, ShowsTheProcessorsValuesAndSendsNothingToTheHost)
{
    auto processor = makeProcessor();
    HostRecorder host;
    processor->addListener (&host);

    // Values that differ from the defaults, set as a host would before the window opens.
    for (int id = 0; id < 23; ++id)
        processor->getParameters()[id]->setValue (std::fmod (0.13f + 0.37f * (float) id, 1.0f));

    for (bool modified : { false, true })
    {
        processor->presetModified = modified;
        HostedEditor editor (*processor);
        ASSERT_NE (editor.get(), nullptr);
        expectWidgetsShowTheParameters (*editor, *processor);
        EXPECT_EQ (editor->getBanner().popup.nameField.text, modified ? "* Default" : "Default");

        // The first refresh finds every widget in step: still nothing sent, the mark unchanged.
        editor->timerCallback();
        EXPECT_TRUE (host.describe().empty());
        EXPECT_EQ (processor->presetModified.load(), modified);
    }

    processor->removeListener (&host);
}

TEST (EditorConstruction, OpensWithNoReductionWhateverTheEngineHadAccumulated)
{
    // The same history for two processors; only one of them gets an editor.
    auto withEditor = makeProcessor(), without = makeProcessor();

    for (auto* p : { withEditor.get(), without.get() })
        driveBothBands (*p);

    HostedEditor editor (*withEditor);
    editor->stopTimer();

    EXPECT_LT (without->getLowMidReduction(), 0.5f);
    EXPECT_LT (without->getHighMidReduction(), 0.5f);

    editor->timerCallback();
    for (auto* lamp : { &editor->getLowMidLamp(), &editor->getHighMidLamp() })
    {
        EXPECT_EQ (lamp->latestReduction, 1.0f);
        EXPECT_EQ (lamp->displayedReduction, 1.0f);
    }
}

TEST (EditorConstruction, TwoOpenEditorsShareOneSetOfFontsUntilBothClose)
{
    ASSERT_EQ (FontManager::getInstance(), nullptr) << "a test left the shared fonts held";

    auto first = makeProcessor(), second = makeProcessor();
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
        for (int x = 10; x < 790; x += 3, samples += 3)
        {
            const auto a = image1x.getPixelAt (x, y);
            const auto b = image2x.getPixelAt (2 * x, 2 * y);
            difference += std::abs ((int) a.getRed() - (int) b.getRed()) + std::abs ((int) a.getGreen() - (int) b.getGreen())
                        + std::abs ((int) a.getBlue() - (int) b.getBlue());
        }

    EXPECT_LT (difference / samples, 12.0);
}
