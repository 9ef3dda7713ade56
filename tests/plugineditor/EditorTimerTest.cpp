// The 60 Hz tick: widgets follow the parameters without echoing them to the host, an idle
// editor repaints nothing, the lamps follow the bands' reductions (each read once per tick), and
// the meter shows input or output levels by "Meter IO", lane 0 on both bars in mono.

#include "EditorTestFixture.h"

#include <cmath>

using namespace quillo::test;

namespace
{
    /** A block whose largest input samples are 1.0 on channel 0 and 0.5 on channel 1. */
    Channels peakBlock (int numChannels)
    {
        Channels c ((size_t) numChannels, std::vector<float> (4800, 0.0f));
        for (int i = 0; i < 4800; ++i)
            for (auto& channel : c)
                channel[(size_t) i] = 0.25f * (float) std::sin (0.05 * i);
        c[0][1000] = 1.0f;
        if (numChannels > 1)
            c[1][1000] = 0.5f;
        return c;
    }
}

//==============================================================================
using EditorTimerTest = EditorFixture;

TEST_F (EditorTimerTest, HostAutomationReachesEveryWidgetInOneTickWithoutEchoOrModifiedMark)
{
    // What a host's automation does: the value changes, nobody is notified.
    for (int id = 0; id < 23; ++id)
        processor->getParameters()[id]->setValue (std::fmod (0.61f + 0.29f * (float) id, 1.0f));

    tick();
    expectWidgetsShowTheParameters (*editor, *processor);
    EXPECT_TRUE (host.describe().empty());
    EXPECT_FALSE (processor->presetModified.load());
    EXPECT_EQ (bannerText(), "Default");
}

TEST_F (EditorTimerTest, AnIdleEditorRepaintsNothingOnItsTicks)
{
    auto& repaints = RepaintCounter::installOn (*editor);

    tick (120);
    EXPECT_EQ (repaints.count(), 0) << "two seconds of idle ticks";

    // The counter does see real changes: one moved parameter repaints exactly its widget ...
    processor->getParameters()[kLowShelfFrequency]->setValue (0.75f);
    tick();
    ASSERT_EQ (repaints.count(), 1);
    EXPECT_EQ (repaints.areas[0], juce::Rectangle<int> (173, 65, 60, 60));

    repaints.clear();
    tick (10);
    EXPECT_EQ (repaints.count(), 0);

    // ... a processed block moves the meter until it is back at rest, then nothing again.
    Channels c = peakBlock (2);
    process (*processor, c, 512);
    tick();
    EXPECT_GE (repaints.count(), 1);

    int ticks = 0;
    for (; repaints.count() > 0 && ticks < 2000; ++ticks)
    {
        repaints.clear();
        tick();
    }

    EXPECT_LT (ticks, 2000) << "the meter never came to rest";
    repaints.clear();
    tick (60);
    EXPECT_EQ (repaints.count(), 0);

    editor->setCachedComponentImage (nullptr);
}

TEST_F (EditorTimerTest, TheLampsFollowTheReductionsReadingEachOncePerTick)
{
    driveBothBands (*processor);

    VLReductionIndicator* lamps[] = { &editor->getLowMidLamp(), &editor->getHighMidLamp() };

    // A deeper reduction shows at once.
    tick();
    const float first[] = { lamps[0]->latestReduction, lamps[1]->latestReduction };
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_LT (first[i], 0.5f) << i;
        EXPECT_EQ (lamps[i]->displayedReduction, first[i]) << i;
    }

    // With no more audio each read releases by 0.01: one read per tick, not two.
    for (int t = 1; t <= 2; ++t)
    {
        tick();
        for (int i = 0; i < 2; ++i)
        {
            EXPECT_FLOAT_EQ (lamps[i]->latestReduction, std::min (1.0f, first[i] + 0.01f * (float) t)) << i;
            EXPECT_EQ (lamps[i]->displayedReduction, lamps[i]->latestReduction) << i;
        }
    }
}

TEST_F (EditorTimerTest, ALampRisesFromPointFourToOneInSixTicks)
{
    auto& lamp = editor->getLowMidLamp();
    lamp.displayedReduction = 0.4f;         // as after a tick that read 0.4
    processor->resetAllMeters();

    for (float e : { 0.5f, 0.6f, 0.7f, 0.8f, 0.9f })
    {
        tick();
        EXPECT_NEAR (lamp.displayedReduction, e, 1e-6f);
    }

    tick();
    EXPECT_EQ (lamp.displayedReduction, 1.0f) << "exactly 1 at the sixth tick";
}

//==============================================================================
namespace
{
    /** Two processors with the same history: one with an editor, one to read the expected
        levels from directly. */
    struct MeterCase
    {
        explicit MeterCase (int numChannels, float meterIO)
            : withEditor (makeProcessor (48000.0, numChannels)),
              reference (makeProcessor (48000.0, numChannels))
        {
            for (auto* p : { withEditor.get(), reference.get() })
            {
                setParameter (*p, kOutputGain, 0.0f);       // -24 dB: output and input differ
                setParameter (*p, kMeterIO, meterIO);
            }

            editor.open (*withEditor);
            editor->stopTimer();

            for (auto* p : { withEditor.get(), reference.get() })
            {
                Channels c = peakBlock (numChannels);
                process (*p, c, 480);
            }

            int n = 0;
            expected = reference->getPeak (n);
            EXPECT_EQ (n, numChannels);
        }

        std::unique_ptr<QuilloAudioProcessor> withEditor, reference;
        HostedEditor editor;
        Corvanite::v4f expected;
    };
}

TEST (EditorMeter, ShowsInputBelowOneHalfAndOutputFromOneHalfOnAndMonoOnBothBars)
{
    const struct { int channels; float meterIO; } cases[] = { { 2, 0.0f }, { 2, 0.49f }, { 2, 0.5f }, { 2, 1.0f },
                                                              { 1, 0.0f }, { 1, 1.0f } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::to_string (c.channels) + " channels, Meter IO " + std::to_string (c.meterIO));
        MeterCase m (c.channels, c.meterIO);
        const int left = c.meterIO >= 0.5f ? 2 : 0;
        const int right = c.channels == 1 ? left : left + 1;    // mono: lane 0 on both bars

        // Sanity of the setting: input near 0 dB, output 24 dB lower.
        EXPECT_NEAR (m.expected[0], 0.0f, 0.01f);
        EXPECT_LT (m.expected[2], -15.0f);
        EXPECT_NEAR (m.expected[1], c.channels == 2 ? -6.02f : m.expected[0], 0.01f);

        m.editor->timerCallback();
        const auto& meter = m.editor->getLevelMeter();
        EXPECT_EQ (meter.levelLeft, m.expected[left]);
        EXPECT_EQ (meter.levelRight, m.expected[right]);
        EXPECT_EQ (meter.peakLeft, m.expected[left]);
        EXPECT_EQ (meter.peakRight, m.expected[right]);
        EXPECT_EQ (meter.holdLeft, 30);

        // No new block: the meter is fed the floor and falls.
        m.editor->timerCallback();
        EXPECT_FLOAT_EQ (meter.levelLeft, m.expected[left] - 0.3f);
        EXPECT_EQ (meter.holdLeft, 29);
    }
}
