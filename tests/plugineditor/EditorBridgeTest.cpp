// Edits in the editor reach the processor and the host as parameter changes inside gestures and
// mark the preset as modified; the value bubble follows a knob drag; factory presets chosen in
// the banner load into the processor; state loads from any thread reach the banner on the
// message thread only.

#include "EditorTestFixture.h"
#include "FactoryPresets.h"

#include <BinaryData.h>

#include <atomic>
#include <cmath>
#include <thread>

using namespace quillo::test;

namespace
{
    using Texts = std::vector<std::string>;

    /** The 23 values of a factory preset as stored in the catalogue. */
    std::vector<float> presetValues (int category, int index)
    {
        int size = 0;
        const char* data = BinaryData::getNamedResource (factoryPresetResourceName (category, index).c_str(), size);
        std::vector<float> values;
        if (data == nullptr || size != 92)
            return values;
        juce::MemoryInputStream in (data, (size_t) size, false);
        for (int i = 0; i < 23; ++i)
            values.push_back (in.readFloat());
        return values;
    }

    /** The knob's drag step, as the knob computes it, for dy pixels from position p. */
    float dragged (float p, int dy)   { return p + ((float) dy * 0.45f) / -70.0f; }
}

//==============================================================================
using EditorBridgeTest = EditorFixture;

TEST_F (EditorBridgeTest, AKnobDragSendsBeginValuesAndEndForItsParameterAndMarksThePreset)
{
    auto& gain = knob (kLowMidGain);
    ASSERT_EQ (processor->getParameter (kLowMidGain), 0.5f);
    ASSERT_FALSE (processor->presetModified.load());

    press (gain);
    dragTo (gain, -3.0f);
    EXPECT_EQ (bannerText(), "* Default");      // from the first change on
    EXPECT_TRUE (processor->presetModified.load());
    dragTo (gain, -7.0f);
    releaseAt (gain, -7.0f);

    const auto events = host.take();
    ASSERT_EQ (HostRecorder::describe (events), (Texts { "begin 12", "value 12", "value 12", "end 12" }));
    const float first = dragged (0.5f, -3);
    const float second = dragged (first, -4);
    EXPECT_FLOAT_EQ (events[1].newValue, first);
    EXPECT_FLOAT_EQ (events[2].newValue, second);
    EXPECT_FLOAT_EQ (processor->getParameter (kLowMidGain), second);
    EXPECT_FALSE (editor->isGestureOpen (kLowMidGain));

    // Nothing else moved, and the next tick sends nothing back.
    for (int id = 0; id < 23; ++id)
    {
        const float expected = id == kLowMidGain ? second : VL_PARAMS[id].normalisedDefault();
        EXPECT_FLOAT_EQ (processor->getParameter (id), expected) << id;
    }

    tick();
    EXPECT_TRUE (host.describe().empty());
    EXPECT_EQ (bannerText(), "* Default");
}

TEST_F (EditorBridgeTest, TheBubbleSitsAboveTheDraggedKnobAndShowsItsValue)
{
    const struct { int id; juce::Rectangle<int> bubble; const char* text; } cases[] = {
        { kInputGain,          { 33, 131, 42, 14 }, "0.00 dB" },
        { kLowShelfFrequency,  { 182, 35, 42, 14 }, "80.0 Hz" },
        { kLowMidQ,            { 371, 131, 32, 14 }, "1.400" },
        { kLowDynAttenuation,  { 326, 148, 30, 14 }, "0%" },
        { kHighMidQ,           { 529, 131, 32, 14 }, "1.400" },
        { kHighDynAttenuation, { 484, 148, 30, 14 }, "0%" },
        { kLowMidFreq,         { 320, 35, 42, 14 }, "500 Hz" },
    };

    auto& bubble = editor->getValueBubble();

    for (const auto& c : cases)
    {
        auto& k = knob (c.id);
        press (k);
        EXPECT_EQ (bubble.getBounds(), c.bubble) << c.id;
        EXPECT_EQ (bubble.text, c.text) << c.id;
        EXPECT_TRUE (bubble.shown) << c.id;

        releaseAt (k, 0.0f);
        EXPECT_FALSE (bubble.shown) << c.id;
        EXPECT_EQ (bubble.getBounds(), c.bubble) << "the bubble stays where it was while it fades";
    }

    // While dragging, the text follows every value.
    auto& gain = knob (kLowMidGain);
    press (gain);
    dragTo (gain, -7.0f);
    EXPECT_EQ (bubble.text, "2.16 dB");         // -24 + 48 x 0.545
    releaseAt (gain, -7.0f);
}

TEST_F (EditorBridgeTest, TheBubbleFadesInAndOutInThirteenTicksAndReversesMidway)
{
    auto& bubble = editor->getValueBubble();
    auto& k = knob (kOutputGain);

    press (k);
    tick (12);
    EXPECT_GT (bubble.alpha, 0.9f);
    EXPECT_LT (bubble.alpha, 1.0f);
    tick();
    EXPECT_EQ (bubble.getAlpha(), 1.0f);
    tick (5);
    EXPECT_EQ (bubble.alpha, 1.0f);

    releaseAt (k, 0.0f);
    tick (12);
    EXPECT_GT (bubble.alpha, 0.0f);
    EXPECT_LT (bubble.alpha, 0.1f);
    tick();
    EXPECT_EQ (bubble.getAlpha(), 0.0f);

    // A new drag during the fade-out turns it around from where it is.
    press (k);
    tick (13);
    releaseAt (k, 0.0f);
    tick (5);
    EXPECT_NEAR (bubble.alpha, 0.6f, 1e-5f);
    press (k);
    tick();
    EXPECT_NEAR (bubble.alpha, 0.68f, 1e-5f);
    EXPECT_NEAR (bubble.getAlpha(), 0.68f, 1.0f / 255.0f);
    releaseAt (k, 0.0f);
}

TEST_F (EditorBridgeTest, AWheelTurnOrADoubleClickSendsItsValueWithoutAGestureAndShowsNoBubble)
{
    auto& gain = knob (kLowMidGain);
    gain.mouseWheelMove (mouseAt (gain, centreOf (gain), centreOf (gain)), wheel (0.1f));
    auto events = host.take();
    ASSERT_EQ (HostRecorder::describe (events), (Texts { "value 12" }));
    EXPECT_FLOAT_EQ (events[0].newValue, 0.52f);
    EXPECT_TRUE (processor->presetModified.load());
    EXPECT_EQ (bannerText(), "* Default");

    // The text is current but the bubble stays hidden.
    EXPECT_EQ (editor->getValueBubble().text, "0.96 dB");
    tick (3);
    EXPECT_FALSE (editor->getValueBubble().shown);
    EXPECT_EQ (editor->getValueBubble().alpha, 0.0f);

    // A double-click sends the normalised default, 500 Hz of 120..3500 Hz.
    processor->getParameters()[kLowMidFreq]->setValue (0.9f);
    tick();
    auto& freq = knob (kLowMidFreq);
    freq.mouseDoubleClick (mouseAt (freq, centreOf (freq), centreOf (freq), {}, 2));
    events = host.take();
    ASSERT_EQ (HostRecorder::describe (events), (Texts { "value 11" }));
    EXPECT_FLOAT_EQ (events[0].newValue, 380.0f / 3380.0f);
    EXPECT_NEAR (freq.getValue(), 0.3353f, 1e-4f);
}

TEST_F (EditorBridgeTest, IgnoresIndicesWithoutAParameterAndReportsThatChangeNothing)
{
    EXPECT_EQ (editor->getStringValue (kLowMidQ), "Low Mid Q");

    // Indices without a parameter are answered harmlessly and send nothing.
    for (int bad : { -1, 23, 1000 })
    {
        EXPECT_EQ (editor->defaultValueForParamId (bad), 0.0f);
        EXPECT_EQ (editor->currentValueForParamId (bad), 0.0f);
        EXPECT_EQ (editor->getParamName (bad), "");
        EXPECT_EQ (editor->getWidgetForParam (bad), nullptr);
        editor->ui_beginGesture (nullptr, bad);
        editor->ui_endGesture (nullptr, bad);
        editor->valueChanged (nullptr, bad, 0.5f);
        editor->paramStartChange (nullptr, bad, {});
    }

    auto& k = knob (kLowMidGain);
    editor->paramHooverStart (&k, kLowMidGain);
    editor->paramCenterUpdated (&k, kLowMidGain, { 3.0f, 4.0f });
    editor->paramHooverEnd (&k, kLowMidGain);
    editor->buttonClicked (&k);

    EXPECT_TRUE (host.describe().empty());
    EXPECT_FALSE (processor->presetModified.load());
    EXPECT_FALSE (editor->getValueBubble().shown);
}

TEST (EditorValueText, FormatsEachKindOfParameterAndNothingOutsideTheTable)
{
    using Editor = QuilloAudioProcessorEditor;

    EXPECT_EQ (Editor::valueText (kInputGain, 0.0f), "-24.0 dB");
    EXPECT_EQ (Editor::valueText (kLowShelfBoost, 0.5f), "6.00 dB");
    EXPECT_EQ (Editor::valueText (kHighShelfFrequency, 1.0f), "12500 Hz");
    EXPECT_EQ (Editor::valueText (kHighPass, 0.0f), "5.00 Hz");
    EXPECT_EQ (Editor::valueText (kPower, 0.257f), "26%");
    EXPECT_EQ (Editor::valueText (kHighMidQ, 1.0f), "5.000");
    EXPECT_EQ (Editor::valueText (kLowMidQ, 0.0f), "0.700");

    for (int bad : { -1, 23 })
    {
        EXPECT_EQ (Editor::valueText (bad, 0.5f), "");
        EXPECT_EQ (Editor::bubbleBoundsFor (bad, { 100, 100, 20, 20 }), juce::Rectangle<int> (95, 70, 30, 14));
    }

    // The high-pass selector never shows the bubble; were it asked, its "Hz" label gives 42.
    EXPECT_EQ (Editor::bubbleBoundsFor (kHighPass, { 62, 75, 45, 45 }), juce::Rectangle<int> (63, 45, 42, 14));
    EXPECT_EQ (Editor::bubbleBoundsFor (kHighMidGain, { 440, 161, 23, 23 }), juce::Rectangle<int> (430, 131, 42, 14));
}

TEST_F (EditorBridgeTest, TheHostOnlyEverSeesBalancedGestures)
{
    editor->ui_endGesture (nullptr, kPower);          // no gesture open: nothing to close
    editor->ui_beginGesture (nullptr, kHighPass);
    editor->ui_beginGesture (nullptr, kHighPass);     // already open
    EXPECT_TRUE (editor->isGestureOpen (kHighPass));
    editor->ui_endGesture (nullptr, kHighPass);
    editor->ui_endGesture (nullptr, kHighPass);

    EXPECT_EQ (host.describe(), (Texts { "begin 3", "end 3" }));
}

TEST_F (EditorBridgeTest, ClosingTheWindowDuringADragClosesTheHostsGesture)
{
    auto& k = knob (kHighShelfFrequency);
    press (k);
    dragTo (k, -20.0f);
    ASSERT_TRUE (editor->isGestureOpen (kHighShelfFrequency));

    editor.close();

    EXPECT_EQ (host.describe(), (Texts { "begin 10", "value 10", "end 10" }));

    // A new window starts without any gesture.
    openEditor();
    EXPECT_FALSE (editor->isGestureOpen (kHighShelfFrequency));
    EXPECT_TRUE (host.describe().empty());
}

//==============================================================================
TEST_F (EditorBridgeTest, AFactoryPresetChosenInTheBannerLoadsWithItsCategoryAndIndex)
{
    // An edit first, so that the load has a modified flag to clear.
    auto& gain = knob (kInputGain);
    gain.mouseWheelMove (mouseAt (gain, centreOf (gain), centreOf (gain)), wheel (0.1f));
    ASSERT_TRUE (processor->presetModified.load());
    ASSERT_EQ (bannerText(), "* Default");

    auto& banner = editor->getBanner();
    auto& popup = banner.popup;

    // The name field opens the pop-up over the whole editor.
    click (popup.nameField);
    ASSERT_EQ (popup.getParentComponent(), editor.get());
    EXPECT_EQ (editor->getChildComponent (editor->getNumChildComponents() - 1), &popup);

    // "KEYS", then its third preset, "Organ" (the row is replaced while its click is handled).
    click (*popup.getCategoryList().getRow (3));
    click (*popup.getPresetList().getRow (2));

    EXPECT_EQ (presetState(), std::make_tuple (3, 2, false));
    EXPECT_EQ (parameterValues (*processor), presetValues (3, 2));
    EXPECT_EQ (bannerText(), "Organ");

    // The processor's own notice arrives later on the message thread and agrees.
    dispatchPendingMessages();
    EXPECT_EQ (bannerText(), "Organ");
    EXPECT_FALSE (banner.previousButton.dimmed);
    EXPECT_FALSE (banner.nextButton.dimmed);

    // The widgets show the loaded values on the next tick, and nothing goes back to the host.
    host.take();
    tick();
    EXPECT_EQ (knob (kLowMidFreq).getValue(), std::pow (presetValues (3, 2)[kLowMidFreq], 0.5f));
    EXPECT_TRUE (host.describe().empty());
}

TEST_F (EditorBridgeTest, StateWasChangedShowsThePresetAndDimsTheArrowsByTheCatalogue)
{
    const struct { int category, index; bool modified; const char* text; bool previousDimmed, nextDimmed; } cases[] = {
        { 5, 4, false, "Mid Fest",         false, true  },
        { 0, 0, false, "Default",          true,  false },
        { 2, 3, true,  "* Unleach The Mid", false, false },
        { 0, 5, false, "Small Speaker",    false, false },
        { 1, 0, true,  "* Good Start",     false, false },
    };

    auto& banner = editor->getBanner();

    for (const auto& c : cases)
    {
        processor->presetCategory = c.category;
        processor->presetIndex = c.index;
        processor->presetModified = c.modified;
        editor->stateWasChanged();

        EXPECT_EQ (bannerText(), c.text);
        EXPECT_EQ (banner.previousButton.dimmed, c.previousDimmed) << c.text;
        EXPECT_EQ (banner.nextButton.dimmed, c.nextDimmed) << c.text;
    }

    // A pair outside the catalogue (written directly, as nothing else can) changes nothing.
    processor->presetCategory = 1;
    processor->presetIndex = 5;
    processor->presetModified = false;
    editor->stateWasChanged();
    EXPECT_EQ (bannerText(), "* Good Start");
    EXPECT_EQ (selectedPair(), std::make_pair (1, 0));
}

//==============================================================================
TEST_F (EditorBridgeTest, AStateRestoredOnAnotherThreadReachesTheBannerOnTheMessageThread)
{
    auto& nameField = editor->getBanner().popup.nameField;
    auto& repaints = RepaintCounter::installOn (nameField);
    const auto messageThread = std::this_thread::get_id();

    auto blob = blobOf (presetValues (2, 4), { 2, 4, 1 });      // "Mid Only", modified

    std::thread ([&] { processor->setStateInformation (blob.data(), (int) blob.size()); }).join();

    // The load is done, but nothing of the editor was touched on the host's thread.
    EXPECT_EQ (processor->presetCategory.load(), 2);
    EXPECT_EQ (bannerText(), "Default");
    EXPECT_EQ (repaints.count(), 0);

    ASSERT_TRUE (dispatchMessagesUntil ([&] { return bannerText() == "* Mid Only"; }));
    EXPECT_EQ (selectedPair(), std::make_pair (2, 4));
    EXPECT_GT (repaints.count(), 0);

    for (const auto& id : repaints.threads)
        EXPECT_EQ (id, messageThread);

    // A pair outside the catalogue arrives as a modified "Default".
    blob = blobOf (presetValues (0, 0), { 9, 0, 0 });
    std::thread ([&] { processor->setStateInformation (blob.data(), (int) blob.size()); }).join();
    ASSERT_TRUE (dispatchMessagesUntil ([&] { return bannerText() == "* Default"; }));
    EXPECT_TRUE (editor->getBanner().previousButton.dimmed);

    nameField.setCachedComponentImage (nullptr);
}

TEST_F (EditorBridgeTest, ALoadWhoseNoticeArrivesAfterTheWindowClosedReachesNoEditor)
{
    const auto blob = blobOf (presetValues (4, 1), { 4, 1, 0 });
    std::thread ([&] { processor->setStateInformation (blob.data(), (int) blob.size()); }).join();

    editor.close();
    dispatchPendingMessages();          // the notice finds no editor
    EXPECT_EQ (processor->getActiveEditor(), nullptr);

    // The next window shows the loaded preset from the start.
    openEditor();
    EXPECT_EQ (bannerText(), "More Mid");
    EXPECT_FALSE (editor->getBanner().previousButton.dimmed);
}

TEST_F (EditorBridgeTest, ManyLoadsFromAHostThreadWhileTheUserEditsLeaveTheBannerConsistent)
{
    std::atomic<bool> stop { false };
    std::atomic<int> loads { 0 };

    std::thread hostThread ([&]
    {
        for (int i = 0; ! stop.load(); ++i)
        {
            const int category = i % 6;
            const int index = i % FACTORY_PRESET_COUNTS[category];
            const auto blob = blobOf (presetValues (category, index), { category, index, i % 3 == 0 ? 1 : 0 });
            processor->setStateInformation (blob.data(), (int) blob.size());
            ++loads;
            std::this_thread::yield();
        }
    });

    auto& k = knob (kHighMidGain);
    int round = 0;

    // At least 200 drags, and on until the host thread has loaded 100 states in between.
    for (; (round < 200 || loads.load() < 100) && round < 1000000; ++round)
    {
        press (k);
        dragTo (k, (float) (round % 9) - 4.0f);
        releaseAt (k, (float) (round % 9) - 4.0f);
        tick();
        dispatchPendingMessages();
    }

    stop = true;
    hostThread.join();
    EXPECT_GE (loads.load(), 100);

    // After the last notice the banner names exactly what the processor holds.
    dispatchPendingMessages();
    const auto [category, index, modified] = presetState();
    const juce::String title (factoryPresetTitle (category, index));
    EXPECT_EQ (bannerText(), modified ? "* " + title : title);
    EXPECT_EQ (selectedPair(), std::make_pair (category, index));

    // Every gesture the drags opened was closed.
    EXPECT_EQ (host.count (HostRecorder::Event::begin), round);
    EXPECT_EQ (host.count (HostRecorder::Event::end), round);
}
