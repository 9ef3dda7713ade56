// What the editor polls: the held peak levels and the two bands' gain reduction.

#include "ProcessorTestSupport.h"

using namespace quillo::test;

namespace
{
std::array<float, 4> poll (QuilloAudioProcessor& p, int expectedChannels = 2)
{
    int numChannels = 0;
    const auto levels = p.getPeak (numChannels);
    EXPECT_EQ (numChannels, expectedChannels);
    return { levels[0], levels[1], levels[2], levels[3] };
}

// A sine of the given amplitude at the band's centre, long enough for the envelope to settle.
void driveBand (QuilloAudioProcessor& p, double frequency, float amplitude)
{
    Channels c (2, sine (frequency, amplitude, 24000));
    process (p, c, 256);
}
} // namespace

//==============================================================================
TEST (PeakReadout, GivesEachChannelsLargestSampleInDecibelsOnce)
{
    auto p = makeProcessor();

    // Before any block, and again after a poll with no block since, the levels are -100 dB and
    // the channel count is left alone.
    for (int round = 0; round < 2; ++round)
    {
        int numChannels = 42;
        const auto levels = p->getPeak (numChannels);
        EXPECT_EQ (numChannels, 42);

        for (int lane = 0; lane < 4; ++lane)
            EXPECT_EQ (levels[lane], -100.0f);

        Channels c { std::vector<float> (512, 0.0f), std::vector<float> (512, 0.0f) };
        c[0][100] = 1.0f;
        c[0][200] = -0.75f;
        c[1][300] = -0.5f;
        process (*p, c, 512);

        const auto peaks = poll (*p);
        EXPECT_NEAR (peaks[0], 0.0f, 0.01f);
        EXPECT_NEAR (peaks[1], -6.0206f, 0.01f);
    }
}

TEST (PeakReadout, HoldsTheLargestSampleOfAllBlocksSinceTheLastPoll)
{
    auto p = makeProcessor();
    const auto run = [&p] (const std::vector<float>& signal) { Channels c (2, signal); process (*p, c, 256); };

    run (sine (1000.0, 0.5f, 4800));
    run (sine (1000.0, 0.05f, 4800));

    // Input and output (the chain is flat): the loud block's -6.02 dB, not the quiet one's.
    for (float level : poll (*p))
        EXPECT_NEAR (level, -6.0206f, 0.01f);

    run (sine (1000.0, 0.05f, 4800));
    const auto next = poll (*p);
    EXPECT_NEAR (next[0], -26.0206f, 0.01f);
    EXPECT_NEAR (next[2], -26.0206f, 0.01f);

    // Silence, once the delayed tail is out, shows as -100 dB.
    run (constant (0.0f, 1024));
    poll (*p);
    run (constant (0.0f, 1024));

    for (float level : poll (*p))
        EXPECT_NEAR (level, -100.0f, 0.01f);
}

TEST (PeakReadout, MeasuresTheGainedInput)
{
    auto p = makeProcessor();
    setParameter (*p, kInputGain, 0.75f);     // +12 dB
    setParameter (*p, kOutputGain, 0.25f);    // -12 dB

    Channels c (2, sine (1000.0, 0.1f, 9600));
    process (*p, c, 480);

    const auto levels = poll (*p);
    EXPECT_NEAR (levels[0], -20.0f + 12.0f, 0.01f);
    EXPECT_NEAR (levels[2], -20.0f, 0.01f);
}

//==============================================================================
TEST (ReductionReadout, ShowsTheBandsCompressionOnALoudSineAndNoneOnAQuietOne)
{
    // High-mid at full attenuation: ratio 6, threshold -70 dB; low-mid: ratio 5, -60 dB.
    const struct { int parameter; double frequency; float amplitude; bool reduces; } cases[] = {
        { kHighDynAttenuation, 1200.0, 0.5f, true },
        { kHighDynAttenuation, 1200.0, 3.0e-5f, false },     // -90 dB, below the threshold
        { kLowDynAttenuation, 500.0, 0.5f, true },
    };

    for (const auto& k : cases)
    {
        auto p = makeProcessor();
        setParameter (*p, k.parameter, 1.0f);
        driveBand (*p, k.frequency, k.amplitude);
        const bool high = k.parameter == kHighDynAttenuation;
        const float reduction = high ? p->getHighMidReduction() : p->getLowMidReduction();

        EXPECT_TRUE (k.reduces ? reduction < 0.1f : reduction == 1.0f) << k.frequency << ": " << reduction;

        if (high)
        {
            EXPECT_EQ (p->getLowMidReduction(), 1.0f);       // ratio 1: never reduces
        }
    }
}

TEST (ReductionReadout, HighMidBandStillCompressesWhenSwitchedToZero)
{
    // Attenuation 0, band switch 0 or Power 0 leave the high-mid compressor at ratio 3, 0 dB.
    for (int parameter : { (int) kHighDynAttenuation, (int) kHighMidPower, (int) kPower })
    {
        auto p = makeProcessor();
        setParameter (*p, parameter, 0.0f);
        driveBand (*p, 1200.0, 4.0f);                     // +12 dB in the band

        // 12 dB over the threshold at ratio 3: about 8 dB of reduction at the peaks.
        const float r = p->getHighMidReduction();
        EXPECT_LT (r, 0.8f) << parameter;
        EXPECT_GT (r, 0.3f) << parameter;
        EXPECT_EQ (p->getLowMidReduction(), 1.0f) << parameter;
    }

    // Below 0 dB nothing happens.
    auto p = makeProcessor();
    setParameter (*p, kPower, 0.0f);
    driveBand (*p, 1200.0, 0.5f);
    EXPECT_EQ (p->getHighMidReduction(), 1.0f);
}

TEST (ReductionReadout, KeepsTheDeepestUntilPolledThenReleasesBy001PerPollUpToExactlyOne)
{
    auto p = makeProcessor();
    setParameter (*p, kHighDynAttenuation, 0.3f);
    driveBand (*p, 1200.0, 0.5f);
    driveBand (*p, 1200.0, 3.0e-5f);       // quiet audio does not raise the read-out

    float previous = p->getHighMidReduction();
    ASSERT_LT (previous, 0.9f);

    for (int polls = 0; previous < 1.0f && polls < 1000; ++polls)
    {
        const float next = p->getHighMidReduction();
        ASSERT_EQ (next, (float) std::min (1.0, (double) previous + 0.01)) << "poll " << polls;
        previous = next;
    }

    EXPECT_EQ (previous, 1.0f);
    EXPECT_EQ (p->getHighMidReduction(), 1.0f);
}

TEST (ReductionReadout, IsOneAgainAfterResetAllMetersAStateLoadAndPreparing)
{
    auto p = makeProcessor();
    setParameter (*p, kHighDynAttenuation, 1.0f);
    setParameter (*p, kLowDynAttenuation, 1.0f);
    const std::vector<char> blob = blobOf (parameterValues (*p));

    const std::function<void()> resets[] = {
        [&] { p->resetAllMeters(); },
        [&] { p->setStateInformation (blob.data(), (int) blob.size()); },
        [&] { p->prepareToPlay (48000.0, 512); },
    };

    for (const auto& reset : resets)
    {
        driveBand (*p, 1200.0, 0.5f);
        driveBand (*p, 500.0, 0.5f);
        poll (*p);
        reset();
        EXPECT_EQ (p->getHighMidReduction(), 1.0f);
        EXPECT_EQ (p->getLowMidReduction(), 1.0f);
    }

    // The level followers are not touched by resetAllMeters.
    driveBand (*p, 1200.0, 0.5f);
    p->resetAllMeters();
    EXPECT_NEAR (poll (*p)[0], -6.0206f, 0.01f);
}
