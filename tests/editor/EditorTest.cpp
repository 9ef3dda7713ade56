// The editor as built and as it runs, without a screen: its children and their places, edits
// reaching the processor and the host inside gestures, the value bubble, and the 60 Hz tick that
// keeps widgets, lamps and meter in step with the processor.

#include "EditorTestSupport.h"

using namespace EditorTest;

namespace
{
    /** kind: 'k' knob, 'h' high-pass selector, 'm' main switch, 's' band switch, 'v' meter switch;
        pointer: 'W' white 0.95, 'w' white 0.65, 'b' black 0.65. In the order the widgets are set
        up: their child order and the timer's. */
    // clang-format off
    const struct { int paramId, x, y, w, h; char kind; float skew; char pointer; } places[23] = {
        {  0,  43, 161, 23, 23, 'k', 1.0f, 'b' }, {  1,  97, 161, 23, 23, 'k', 1.0f, 'b' },
        {  2,  10,  29, 15, 15, 'm', 0.0f, '-' }, {  3,  62,  75, 45, 45, 'h', 0.0f, '-' },
        {  5, 164, 161, 23, 23, 'k', 1.0f, 'b' }, {  6, 218, 161, 23, 23, 'k', 1.0f, 'b' },
        {  7, 173,  65, 60, 60, 'k', 1.1f, 'W' }, { 11, 311,  65, 60, 60, 'k', 2.0f, 'W' },
        { 12, 282, 161, 23, 23, 'k', 1.0f, 'b' }, { 13, 376, 161, 23, 23, 'k', 1.0f, 'b' },
        { 14, 326, 189, 30, 30, 'k', 1.0f, 'w' }, { 15, 469,  65, 60, 60, 'k', 2.0f, 'W' },
        { 16, 440, 161, 23, 23, 'k', 1.0f, 'b' }, { 17, 534, 161, 23, 23, 'k', 1.0f, 'b' },
        { 18, 484, 189, 30, 30, 'k', 1.0f, 'w' }, {  8, 599, 161, 23, 23, 'k', 1.0f, 'b' },
        {  9, 652, 161, 23, 23, 'k', 1.0f, 'b' }, { 10, 606,  65, 60, 60, 'k', 2.0f, 'W' },
        {  4, 710, 161, 56, 42, 'v', 0.0f, '-' }, { 19, 180,  38, 60, 15, 's', 0.0f, '-' },
        { 20, 309,  38, 60, 15, 's', 0.0f, '-' }, { 21, 465,  38, 60, 15, 's', 0.0f, '-' },
        { 22, 614,  38, 60, 15, 's', 0.0f, '-' },
    };
    // clang-format on

    /** Gives every parameter a value of its own, as a host does without telling anyone. */
    void setAsTheHostDoes (QuilloAudioProcessor& processor, float offset)
    {
        for (int id = 0; id < 23; ++id)
            processor.getParameters()[id]->setValue (std::fmod (offset + 0.37f * (float) id, 1.0f));
    }

    /** Every widget shows its parameter's value (a knob the position value^(1/skew)). */
    void expectWidgetsShowTheParameters (QuilloAudioProcessor& processor, QuilloAudioProcessorEditor& editor)
    {
        for (auto* w : editor.getParamComponents())
        {
            const float v = processor.getParameter (w->getParamId());
            const auto* k = dynamic_cast<VLKnob*> (w);
            EXPECT_EQ (w->getValue(), k != nullptr ? std::pow (v, 1.0f / k->skew) : v) << w->getParamId();
        }
    }

    /** Largest samples 1.0 on channel 0 and 0.5 on channel 1, over a quieter sine. */
    const auto peakBlock = [] (int ch, int i)
    { return i == 1000 ? (ch == 0 ? 1.0f : 0.5f) : 0.25f * (float) std::sin (0.05 * i); };
}

//==================================================================================================
using EditorLayoutTest = EditorFixture;

TEST_F (EditorLayoutTest, HasTwentyEightChildrenInTheirOrderAtTheirRectanglesAndKeepsThemWhenResized)
{
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (800, 250));
    ASSERT_EQ (editor->getNumChildComponents(), 28);
    ASSERT_EQ (editor->getParamComponents().size(), 23u);

    for (int i = 0; i < 23; ++i)
    {
        const auto& expected = places[i];
        auto* child = editor->getChildComponent (i);
        SCOPED_TRACE ("child " + std::to_string (i) + ", parameter " + std::to_string (expected.paramId));
        ASSERT_TRUE (child == editor->getParamComponents()[(size_t) i]
                     && child == editor->getWidgetForParam (expected.paramId));
        EXPECT_EQ (child->getBounds(), juce::Rectangle<int> (expected.x, expected.y, expected.w, expected.h));
        EXPECT_TRUE (child->isVisible());

        if (expected.kind == 'h')
            EXPECT_EQ (dynamic_cast<HPFilterKnob&> (*child).pointerColour,
                       juce::Colour::fromFloatRGBA (0.0f, 0.0f, 0.0f, 0.95f));
        else if (auto* s = dynamic_cast<VLSwitchImage*> (child))
        {
            // Images as on / off with their 1x width; only the meter switch stays bright when pressed.
            const auto [on, off, width] = expected.kind == 'v' ? std::tuple ("vu_output", "vu_input", 56.0f)
                                        : expected.kind == 'm' ? std::tuple ("bypass_main_on", "bypass_main_off", 8.0f)
                                                               : std::tuple ("bypass_on", "bypass_off", 6.0f);
            EXPECT_TRUE (s->onImage == VLGraphics::GetImage (on) && s->offImage == VLGraphics::GetImage (off));
            EXPECT_EQ (VLGraphics::getDrawnBounds (s->onImage).getWidth(), width);
            EXPECT_EQ (s->dimWhenPressed, expected.kind != 'v');
        }
        else
        {
            const float shade = expected.pointer == 'b' ? 0.0f : 1.0f;
            EXPECT_EQ (knob (expected.paramId).skew, expected.skew);
            EXPECT_EQ (knob (expected.paramId).pointerColour,
                       juce::Colour::fromFloatRGBA (shade, shade, shade, expected.pointer == 'W' ? 0.95f : 0.65f));
        }
    }

    // clang-format off
    const std::pair<juce::Component*, juce::Rectangle<int>> others[] = {
        { &editor->getLowMidLamp(), { 338, 169, 6, 6 } }, { &editor->getHighMidLamp(), { 496, 169, 6, 6 } },
        { &editor->getBanner(), { 0, 0, 800, 20 } },       { &editor->getValueBubble(), {} },
        { &editor->getLevelMeter(), { 721, 48, 28, 91 } },
    };
    // clang-format on
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE (editor->getChildComponent (23 + i) == others[i].first
                     && (others[i].second.isEmpty() || others[i].first->getBounds() == others[i].second))
            << "child " << 23 + i;

    // Resized from outside, every control keeps its place and only the banner follows the width.
    std::vector<juce::Rectangle<int>> before;
    for (int i = 0; i < 28; ++i)
        before.push_back (editor->getChildComponent (i)->getBounds());
    editor->setSize (1000, 400);
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ (editor->getChildComponent (i)->getBounds(),
                   i == 25 ? juce::Rectangle<int> (1000, 20) : before[(size_t) i])
            << i;

    // The logo follows the bottom edge: below the 250-pixel artwork only its 39 x 8 pixels at
    // (12, 382) carry paint.
    const auto image = render (*editor);
    int outsideLogo = 0, inLogo = 0;
    for (int y = 250; y < 400; ++y)
        for (int x = 0; x < 1000; ++x)
            (x >= 12 && x < 12 + 39 && y >= 382 && y < 382 + 8 ? inLogo : outsideLogo) += painted (image, x, y) ? 1 : 0;
    EXPECT_EQ (outsideLogo, 0);
    EXPECT_GT (inLogo, 20);
}

//==================================================================================================
TEST (EditorConstruction, ShowsTheProcessorsValuesFollowsTheHostSendsNothingAndForgetsEarlierReductions)
{
    Recorder host;   // outlives the processor it listens to
    auto processor = makeProcessor();
    processor->addListener (&host);

    for (bool modified : { false, true })
    {
        processor->presetModified = modified;
        setAsTheHostDoes (*processor, modified ? 0.29f : 0.13f);
        auto editor = openEditor (*processor);
        EXPECT_TRUE (editor->isTimerRunning() && editor->getTimerInterval() == 16) << "60 Hz";
        editor->stopTimer();
        expectWidgetsShowTheParameters (*processor, *editor);
        setAsTheHostDoes (*processor, 0.61f);
        editor->timerCallback();
        expectWidgetsShowTheParameters (*processor, *editor);
        EXPECT_EQ (editor->getBanner().popup.nameField.text, modified ? "* Default" : "Default");
        EXPECT_TRUE (host.events.empty() && processor->presetModified == modified) << "nothing echoed, the mark kept";
    }

    // Whatever reduction the engine accumulated before the window opened is not shown.
    auto driven = makeProcessor();
    driveBothBands (*driven);
    auto editor = openEditor (*driven);
    editor->timerCallback();
    EXPECT_EQ (std::make_pair (editor->getLowMidLamp().displayedReduction, editor->getHighMidLamp().latestReduction),
               std::make_pair (1.0f, 1.0f));
    driveBothBands (*driven);
    editor->timerCallback();
    EXPECT_TRUE (editor->getLowMidLamp().latestReduction < 0.5f && editor->getHighMidLamp().latestReduction < 0.5f)
        << "the drive does reduce";
}

//==================================================================================================
using EditorBridgeTest = EditorFixture;

TEST_F (EditorBridgeTest, EditsReachTheHostADragInsideAGestureAWheelOrADoubleClickWithoutAndAClosingWindowEndsIt)
{
    auto& gain = knob (kLowMidGain);
    drag (gain, -3.0f, false);
    EXPECT_EQ (bannerText(), "* Default") << "from the first change on";
    EXPECT_TRUE (processor->presetModified.load());
    gain.mouseDrag (mouseAt (gain, { 11, 4 }, { 11, 11 }));   // 4 more pixels up
    gain.mouseUp (mouseAt (gain, { 11, 4 }, { 11, 11 }));

    const float first = 0.5f + 3 * 0.45f / 70.0f, second = first + 4 * 0.45f / 70.0f;
    EXPECT_EQ (host.events, (Events { "beginGesture 12", "value 12", "value 12", "endGesture 12" }));
    EXPECT_EQ (host.values, (std::vector<float> { first, second }));
    EXPECT_FALSE (editor->isGestureOpen (kLowMidGain));
    EXPECT_FLOAT_EQ (processor->getParameter (kLowMidGain), second);

    host.clear();
    tick();
    EXPECT_TRUE (host.events.empty()) << "the next tick sends nothing back";

    // A wheel turn sends its value without a gesture; the bubble's text follows, hidden.
    knob (kLowMidGain).mouseWheelMove (mouseAt (knob (kLowMidGain), 11, 11), wheel (0.1f));
    EXPECT_EQ (host.take(), (Events { "value 12" }));
    EXPECT_EQ (editor->getValueBubble().text, "3.12 dB") << "-24 + 48 x (0.545 + 0.02)";
    tick (3);
    EXPECT_FALSE (editor->getValueBubble().shown || editor->getValueBubble().alpha > 0.0f);

    // A double-click sends the normalised default, 500 Hz of 120..3500 Hz, without a gesture.
    auto& freq = knob (kLowMidFreq);
    freq.mouseDoubleClick (mouseAt (freq, { 30, 30 }, { 30, 30 }, {}, 2));
    EXPECT_EQ (host.events, (Events { "value 11" }));
    EXPECT_FLOAT_EQ (host.values[0], 380.0f / 3380.0f);
    EXPECT_NEAR (freq.getValue(), 0.3353f, 1e-4f);

    // Closing the window in the middle of a drag closes the host's gesture; a new one has none.
    host.clear();
    drag (knob (kHighShelfFrequency), -20.0f, false);
    editor.reset();
    EXPECT_EQ (host.take(), (Events { "beginGesture 10", "value 10", "endGesture 10" }));
    reopen();
    EXPECT_FALSE (editor->isGestureOpen (kHighShelfFrequency));
}

TEST_F (EditorBridgeTest, TheBubbleSitsAboveTheDraggedKnobAndShowsItsValue)
{
    // clang-format off
    const struct { int id; juce::Rectangle<int> bubble; const char* text; } cases[] = {
        { kInputGain, { 33, 131, 42, 14 }, "0.00 dB" },        { kLowShelfFrequency, { 182, 35, 42, 14 }, "80.0 Hz" },
        { kLowMidQ, { 371, 131, 32, 14 }, "1.400" },           { kLowDynAttenuation, { 326, 148, 30, 14 }, "0%" },
        { kHighMidQ, { 529, 131, 32, 14 }, "1.400" },          { kHighDynAttenuation, { 484, 148, 30, 14 }, "0%" },
        { kLowMidFreq, { 320, 35, 42, 14 }, "500 Hz" },
    };
    // clang-format on

    auto& bubble = editor->getValueBubble();
    for (const auto& c : cases)
    {
        drag (knob (c.id), 0.0f, false);
        EXPECT_TRUE (bubble.shown && bubble.getBounds() == c.bubble) << c.id << ": " << bubble.getBounds().toString();
        EXPECT_EQ (bubble.text, c.text) << c.id;
        knob (c.id).mouseUp (mouseAt (knob (c.id), 0, 0));
        EXPECT_FALSE (bubble.shown);
    }

    drag (knob (kLowMidGain), -7.0f);
    EXPECT_EQ (bubble.text, "2.16 dB") << "while dragging the text follows every value: -24 + 48 x 0.545";

    // The text centred on a fill in a light frame; clicks go through it, here to the power switch
    // it covers.
    drag (knob (kLowMidFreq), 0.0f, false);
    const auto image = render (bubble);
    EXPECT_EQ (image.getPixelAt (2, 7), juce::Colour::fromFloatRGBA (0.15f, 0.15f, 0.17f, 1.0f));
    EXPECT_GT (image.getPixelAt (0, 0).getBrightness(), 0.6f);
    int first = 41, last = 0;   // the columns the text lights
    for (int x = 1; x < 41; ++x)
        for (int y = 2; y < 12; ++y)
            std::tie (first, last) = image.getPixelAt (x, y).getBrightness() > 0.5f ? std::pair (std::min (first, x), x)
                                                                                    : std::pair (first, last);
    EXPECT_TRUE (last > first + 10 && std::abs (first + last - 41) <= 3) << first << ".." << last;
    EXPECT_EQ (editor->getComponentAt (330, 45), editor->getWidgetForParam (kLowMidPower));
}

TEST_F (EditorBridgeTest, TheBubbleFadesInAndOutInThirteenTicksAndReversesMidway)
{
    auto& bubble = editor->getValueBubble();
    auto& k = knob (kOutputGain);
    const auto press = [this, &k] { drag (k, 0.0f, false); };
    const auto release = [&k] { k.mouseUp (mouseAt (k, 0, 0)); };

    press();
    tick (12);
    EXPECT_NEAR (bubble.alpha, 0.96f, 1e-5f) << "0.08 per tick";
    tick();
    EXPECT_EQ (bubble.getAlpha(), 1.0f);
    release();
    tick (12);
    EXPECT_NEAR (bubble.alpha, 0.04f, 1e-5f);
    tick();
    EXPECT_EQ (bubble.getAlpha(), 0.0f);

    press();
    tick (13);
    release();
    tick (5);
    press();
    tick();
    EXPECT_NEAR (bubble.alpha, 0.68f, 1e-5f) << "a new drag turns the fade-out around from 0.6";
}

TEST_F (EditorBridgeTest, IgnoresIndicesWithoutAParameterKeepsGesturesBalancedAndFormatsEachKindOfValue)
{
    EXPECT_EQ (editor->getStringValue (kLowMidQ), "Low Mid Q");
    for (int bad : { -1, 23, 1000 })
    {
        EXPECT_TRUE (editor->defaultValueForParamId (bad) == 0.0f && editor->currentValueForParamId (bad) == 0.0f
                     && editor->getParamName (bad).isEmpty() && editor->getWidgetForParam (bad) == nullptr)
            << bad;
        editor->ui_beginGesture (nullptr, bad);
        editor->ui_endGesture (nullptr, bad);
        editor->valueChanged (nullptr, bad, 0.5f);
        editor->paramStartChange (nullptr, bad, {});
    }
    EXPECT_TRUE (host.events.empty());
    EXPECT_FALSE (processor->presetModified.load() || editor->getValueBubble().shown);

    editor->ui_endGesture (nullptr, kPower);   // none open: nothing to close
    editor->ui_beginGesture (nullptr, kHighPass);
    editor->ui_beginGesture (nullptr, kHighPass);   // already open
    EXPECT_TRUE (editor->isGestureOpen (kHighPass));
    editor->ui_endGesture (nullptr, kHighPass);
    editor->ui_endGesture (nullptr, kHighPass);
    EXPECT_EQ (host.events, (Events { "beginGesture 3", "endGesture 3" }));

    // Value texts of each kind of parameter, none outside the table.
    using Editor = QuilloAudioProcessorEditor;
    // clang-format off
    const struct { int id; float value; const char* text; } cases[] = {
        { kInputGain, 0.0f, "-24.0 dB" }, { kLowShelfBoost, 0.5f, "6.00 dB" }, { kHighShelfFrequency, 1.0f, "12500 Hz" },
        { kHighPass, 0.0f, "5.00 Hz" },   { kPower, 0.257f, "26%" },           { kHighMidQ, 1.0f, "5.000" },
        { kLowMidQ, 0.0f, "0.700" },      { -1, 0.5f, "" },                    { 23, 0.5f, "" },
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ (Editor::valueText (c.id, c.value), c.text) << c.id;

    for (int bad : { -1, 23 })
        EXPECT_EQ (Editor::bubbleBoundsFor (bad, { 100, 100, 20, 20 }), juce::Rectangle<int> (95, 70, 30, 14));
}

//==================================================================================================
using EditorTimerTest = EditorFixture;

TEST_F (EditorTimerTest, AnIdleEditorRepaintsNothingOnItsTicks)
{
    auto& repaints = RepaintCounter::installOn (*editor);
    tick (120);
    EXPECT_TRUE (repaints.areas.empty()) << "two seconds of idle ticks";

    // One moved parameter repaints exactly its widget; a processed block moves the meter until
    // it is back at rest, then nothing again.
    processor->getParameters()[kLowShelfFrequency]->setValue (0.75f);
    tick (11);
    EXPECT_EQ (repaints.areas, (std::vector<juce::Rectangle<int>> { { 173, 65, 60, 60 } }));
    process (*processor, 4800, peakBlock);
    int ticks = 0;
    for (repaints.areas = { {} }; ! repaints.areas.empty() && ticks < 2000; ++ticks)
    {
        repaints.areas.clear();
        tick();
    }
    EXPECT_TRUE (ticks > 100 && ticks < 2000) << ticks;
    tick (60);
    EXPECT_TRUE (repaints.areas.empty());
}

TEST_F (EditorTimerTest, TheLampsShowADeeperReductionAtOnceAndReleaseByATenthPerTick)
{
    // Each read of a band's reduction releases it by 0.01: one read per tick, not two.
    driveBothBands (*processor);
    tick();
    for (auto* lamp : { &editor->getLowMidLamp(), &editor->getHighMidLamp() })
    {
        const float first = lamp->latestReduction;
        EXPECT_TRUE (first < 0.5f && lamp->displayedReduction == first) << first;
        for (int t = 1; t <= 2; ++t)
        {
            tick();
            EXPECT_FLOAT_EQ (lamp->latestReduction, first + 0.01f * (float) t);
            EXPECT_EQ (lamp->displayedReduction, lamp->latestReduction);
        }
    }

    auto& lamp = editor->getLowMidLamp();
    lamp.displayedReduction = 0.4f;
    processor->resetAllMeters();
    for (float expected : { 0.5f, 0.6f, 0.7f, 0.8f, 0.9f })
    {
        tick();
        EXPECT_NEAR (lamp.displayedReduction, expected, 1e-6f);
    }
    tick();
    EXPECT_EQ (lamp.displayedReduction, 1.0f) << "exactly 1 at the sixth tick";
}

TEST (EditorMeter, ShowsInputBelowOneHalfAndOutputFromOneHalfOnAndMonoOnBothBars)
{
    // clang-format off
    const struct { int channels; float meterIO; } cases[] = { { 2, 0.0f }, { 2, 0.49f }, { 2, 0.5f }, { 2, 1.0f }, { 1, 0.0f }, { 1, 1.0f } };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::to_string (c.channels) + " channels, Meter IO " + std::to_string (c.meterIO));
        // Two processors with the same history: one shows its levels, the other tells them.
        auto shown = makeProcessor (c.channels), reference = makeProcessor (c.channels);
        for (auto* p : { shown.get(), reference.get() })
        {
            p->getParameters()[kOutputGain]->setValue (0.0f);   // -24 dB: output and input differ
            p->getParameters()[kMeterIO]->setValue (c.meterIO);
        }
        auto editor = openEditor (*shown);
        editor->stopTimer();
        for (auto* p : { shown.get(), reference.get() })
            process (*p, 4800, peakBlock);
        int n = 0;
        const auto expected = reference->getPeak (n);
        EXPECT_TRUE (n == c.channels && expected[2] < expected[0] - 15.0f) << "output 24 dB below the input";

        const int left = c.meterIO >= 0.5f ? 2 : 0, right = c.channels == 1 ? left : left + 1;
        const auto& meter = editor->getLevelMeter();
        editor->timerCallback();
        EXPECT_EQ (std::make_tuple (meter.levelLeft, meter.levelRight, meter.peakLeft, meter.peakRight, meter.holdLeft),
                   std::make_tuple (expected[left], expected[right], expected[left], expected[right], 30));
        editor->timerCallback();
        EXPECT_FLOAT_EQ (meter.levelLeft, expected[left] - 0.3f) << "no new block: fed the floor, it falls";
        EXPECT_EQ (meter.holdLeft, 29);
    }
}
