// The 60 Hz tick: widgets follow the parameters without echoing them to the host, an idle
// editor repaints nothing, the lamps follow the bands' reductions (each read once per tick), and
// the meter shows input or output levels by "Meter IO", lane 0 on both bars in mono.

#include "EditorTestFixture.h"

#include <cmath>

using namespace quillo::test;

namespace
{
    /** Loud sines at the centres of both dynamic bands, with both bands fully engaged. */
    void driveBothBands (QuilloAudioProcessor& p)
    {
        setParameter (p, kLowDynAttenuation, 1.0f);
        setParameter (p, kHighDynAttenuation, 1.0f);
        Channels c { sine (500.0, 0.5f, 24000), sine (1200.0, 0.5f, 24000) };
        process (p, c, 256);
    }

    /** A block whose largest input samples are 1.0 on channel 0 and 0.5 on channel 1. */
    Channels peakBlock (int numChannels)
    {
        Channels c ((size_t) numChannels, std::vector<float> (4800, 0.0f));

        for (int i = 0; i < 4800; ++i)
            c[0][(size_t) i] = 0.25f * (float) std::sin (0.05 * i);

        c[0][1000] = 1.0f;

        if (numChannels > 1)
        {
            c[1] = c[0];
            c[1][1000] = 0.5f;
        }

        return c;
    }
}

//==============================================================================
using EditorTimerTest = EditorFixture;

TEST_F (EditorTimerTest, HostAutomationReachesEveryWidgetInOneTickWithoutEchoOrModifiedMark)
{
    std::vector<float> set;

    for (int id = 0; id < 23; ++id)
    {
        // What a host's automation does: the value changes, nobody is notified.
        set.push_back (std::fmod (0.61f + 0.29f * (float) id, 1.0f));
        processor->getParameters()[id]->setValue (set.back());
    }

    tick();

    for (auto* w : editor->getParamComponents())
    {
        const int id = w->getParamId();

        if (auto* k = dynamic_cast<VLKnob*> (w))
            EXPECT_EQ (k->getValue(), std::pow (set[(size_t) id], 1.0f / k->skew)) << id;
        else
            EXPECT_EQ (w->getValue(), set[(size_t) id]) << id;
    }

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

    while (repaints.count() > 0 && ticks < 2000)
    {
        repaints.clear();
        tick();
        ++ticks;
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

    auto& low = editor->getLowMidLamp();
    auto& high = editor->getHighMidLamp();

    // A deeper reduction shows at once.
    tick();
    const float low0 = low.latestReduction;
    const float high0 = high.latestReduction;
    EXPECT_LT (low0, 0.5f);
    EXPECT_LT (high0, 0.5f);
    EXPECT_EQ (low.displayedReduction, low0);
    EXPECT_EQ (high.displayedReduction, high0);

    // With no more audio each read releases by 0.01: one read per tick, not two.
    tick();
    EXPECT_EQ (low.latestReduction, (float) std::min (1.0, (double) low0 + 0.01));
    EXPECT_EQ (high.latestReduction, (float) std::min (1.0, (double) high0 + 0.01));
    EXPECT_EQ (low.displayedReduction, low.latestReduction);

    const float low1 = low.latestReduction;
    tick();
    EXPECT_EQ (low.latestReduction, (float) std::min (1.0, (double) low1 + 0.01));

    // A jump back to no reduction is followed by at most 0.1 per tick, up to exactly 1.
    processor->resetAllMeters();
    const float start = low.displayedReduction;
    float previous = start;
    int ticks = 0;

    while (low.displayedReduction < 1.0f && ticks < 20)
    {
        tick();
        ++ticks;
        EXPECT_EQ (low.latestReduction, 1.0f);
        EXPECT_LE (low.displayedReduction, 1.0f);

        if (low.displayedReduction < 1.0f)
        {
            EXPECT_NEAR (low.displayedReduction - previous, 0.1f, 1e-6f) << "tick " << ticks;
        }

        previous = low.displayedReduction;
    }

    EXPECT_EQ (low.displayedReduction, 1.0f);
    EXPECT_EQ (ticks, (int) std::ceil ((1.0f - start) / 0.1f - 1e-4f));
    EXPECT_EQ (high.displayedReduction, 1.0f);
}

TEST_F (EditorTimerTest, ALampRisesFromPointFourToOneInSixTicks)
{
    auto& lamp = editor->getLowMidLamp();
    lamp.displayedReduction = 0.4f;         // as after a tick that read 0.4
    processor->resetAllMeters();

    const float expected[] = { 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f };

    for (float e : expected)
    {
        tick();
        EXPECT_NEAR (lamp.displayedReduction, e, 1e-6f);
    }

    EXPECT_EQ (lamp.displayedReduction, 1.0f);
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

TEST (EditorMeter, ShowsInputBelowOneHalfAndOutputFromOneHalfOn)
{
    for (float meterIO : { 0.0f, 0.49f, 0.5f, 1.0f })
    {
        MeterCase m (2, meterIO);
        const bool output = meterIO >= 0.5f;

        // Sanity of the setting: input near 0 / -6 dB, output 24 dB lower.
        EXPECT_NEAR (m.expected[0], 0.0f, 0.01f);
        EXPECT_NEAR (m.expected[1], -6.02f, 0.01f);
        EXPECT_LT (m.expected[2], -15.0f);

        m.editor->timerCallback();
        const auto& meter = m.editor->getLevelMeter();
        EXPECT_EQ (meter.levelLeft, m.expected[output ? 2 : 0]) << meterIO;
        EXPECT_EQ (meter.levelRight, m.expected[output ? 3 : 1]) << meterIO;
        EXPECT_EQ (meter.peakLeft, m.expected[output ? 2 : 0]) << meterIO;
        EXPECT_EQ (meter.holdLeft, 30);

        // No new block: the meter is fed the floor and falls.
        m.editor->timerCallback();
        EXPECT_FLOAT_EQ (meter.levelLeft, m.expected[output ? 2 : 0] - 0.3f) << meterIO;
        EXPECT_EQ (meter.holdLeft, 29);
    }
}

TEST (EditorMeter, MonoShowsLaneZeroOnBothBars)
{
    for (float meterIO : { 0.0f, 1.0f })
    {
        MeterCase m (1, meterIO);
        const int lane = meterIO >= 0.5f ? 2 : 0;

        m.editor->timerCallback();
        const auto& meter = m.editor->getLevelMeter();
        EXPECT_EQ (meter.levelLeft, m.expected[lane]) << meterIO;
        EXPECT_EQ (meter.levelRight, m.expected[lane]) << meterIO;
        EXPECT_EQ (meter.peakRight, m.expected[lane]) << meterIO;
    }
}
