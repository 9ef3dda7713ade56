// What the editor polls: the held peak levels and the two bands' gain reduction.

#include "ProcessorTestSupport.h"

using namespace quillo::test;

//==============================================================================
TEST (PeakReadout, IsMinus100dBBeforeAnyBlockAndLeavesTheChannelCountAlone)
{
    auto p = makeProcessor();
    int numChannels = 42;
    const auto levels = p->getPeak (numChannels);

    for (int lane = 0; lane < 4; ++lane)
        EXPECT_EQ (levels[lane], -100.0f);

    EXPECT_EQ (numChannels, 42);
}

TEST (PeakReadout, GivesEachChannelsLargestSampleInDecibelsOnce)
{
    auto p = makeProcessor();

    Channels c { std::vector<float> (512, 0.0f), std::vector<float> (512, 0.0f) };
    c[0][100] = 1.0f;
    c[0][200] = -0.75f;
    c[1][300] = -0.5f;
    process (*p, c, 512);

    int numChannels = 0;
    const auto levels = p->getPeak (numChannels);
    EXPECT_EQ (numChannels, 2);
    EXPECT_NEAR (levels[0], 0.0f, 0.01f);
    EXPECT_NEAR (levels[1], -6.0206f, 0.01f);

    // A second poll without a block in between has nothing new.
    numChannels = 7;
    const auto again = p->getPeak (numChannels);

    for (int lane = 0; lane < 4; ++lane)
        EXPECT_EQ (again[lane], -100.0f);

    EXPECT_EQ (numChannels, 7);
}

TEST (PeakReadout, HoldsTheLargestSampleOfAllBlocksSinceTheLastPoll)
{
    auto p = makeProcessor();

    Channels loud (2, sine (1000.0, 0.5f, 4800));
    Channels quiet (2, sine (1000.0, 0.05f, 4800));
    process (*p, loud, 256);
    process (*p, quiet, 256);

    int numChannels = 0;
    const auto levels = p->getPeak (numChannels);

    // Input and output (the chain is flat): the loud block's -6.02 dB, not the quiet one's.
    for (int lane = 0; lane < 4; ++lane)
        EXPECT_NEAR (levels[lane], -6.0206f, 0.01f) << lane;

    Channels quietAgain (2, sine (1000.0, 0.05f, 4800));
    process (*p, quietAgain, 256);
    const auto next = p->getPeak (numChannels);
    EXPECT_NEAR (next[0], -26.0206f, 0.01f);
    EXPECT_NEAR (next[2], -26.0206f, 0.01f);
}

TEST (PeakReadout, MeasuresTheGainedInput)
{
    auto p = makeProcessor();
    setParameter (*p, kInputGain, 0.75f);     // +12 dB
    setParameter (*p, kOutputGain, 0.25f);    // -12 dB

    Channels c (2, sine (1000.0, 0.1f, 9600));
    process (*p, c, 480);

    int numChannels = 0;
    const auto levels = p->getPeak (numChannels);
    EXPECT_NEAR (levels[0], -20.0f + 12.0f, 0.01f);
    EXPECT_NEAR (levels[2], -20.0f, 0.01f);
}

TEST (PeakReadout, ShowsSilenceAsMinus100dB)
{
    auto p = makeProcessor();
    Channels c (2, constant (0.0f, 1024));
    process (*p, c, 512);

    int numChannels = 0;
    const auto levels = p->getPeak (numChannels);

    for (int lane = 0; lane < 4; ++lane)
        EXPECT_NEAR (levels[lane], -100.0f, 0.01f) << lane;
}

TEST (PeakReadout, ReportsOneChannelForAMonoInstanceWithBothLanesCarryingIt)
{
    auto p = makeProcessor (48000.0, 1);
    Channels c (1, sine (1000.0, 0.25f, 4800));
    process (*p, c, 256);

    int numChannels = 0;
    const auto levels = p->getPeak (numChannels);
    EXPECT_EQ (numChannels, 1);
    EXPECT_NEAR (levels[0], -12.0412f, 0.01f);
    EXPECT_EQ (levels[1], levels[0]);
    EXPECT_EQ (levels[3], levels[2]);
}

//==============================================================================
namespace
{
// A sine of the given amplitude at the band's centre, long enough for the envelope to settle.
void driveBand (QuilloAudioProcessor& p, double frequency, float amplitude)
{
    Channels c (2, sine (frequency, amplitude, 24000));
    process (p, c, 256);
}
} // namespace

TEST (ReductionReadout, ShowsTheBandsCompressionOnALoudSineAndNoneOnAQuietOne)
{
    {
        auto p = makeProcessor();
        setParameter (*p, kHighDynAttenuation, 1.0f);     // ratio 6, threshold -70 dB
        driveBand (*p, 1200.0, 0.5f);

        EXPECT_LT (p->getHighMidReduction(), 0.1f);
        EXPECT_EQ (p->getLowMidReduction(), 1.0f);       // ratio 1: never reduces
    }
    {
        auto p = makeProcessor();
        setParameter (*p, kHighDynAttenuation, 1.0f);
        driveBand (*p, 1200.0, 3.0e-5f);                 // -90 dB, below the threshold

        EXPECT_EQ (p->getHighMidReduction(), 1.0f);
    }
    {
        auto p = makeProcessor();
        setParameter (*p, kLowDynAttenuation, 1.0f);      // ratio 5, threshold -60 dB
        driveBand (*p, 500.0, 0.5f);

        EXPECT_LT (p->getLowMidReduction(), 0.1f);
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

TEST (ReductionReadout, ReleasesBy001PerPollUpToExactlyOne)
{
    auto p = makeProcessor();
    setParameter (*p, kHighDynAttenuation, 0.3f);
    driveBand (*p, 1200.0, 0.5f);

    float previous = p->getHighMidReduction();
    ASSERT_LT (previous, 0.9f);

    int polls = 0;

    while (previous < 1.0f && polls < 1000)
    {
        const float next = p->getHighMidReduction();
        const auto expected = (float) std::min (1.0, (double) previous + 0.01);
        ASSERT_EQ (next, expected) << "poll " << polls;
        ASSERT_LE (next, 1.0f);
        previous = next;
        ++polls;
    }

    EXPECT_EQ (previous, 1.0f);
    EXPECT_EQ (p->getHighMidReduction(), 1.0f);
    EXPECT_EQ (p->getHighMidReduction(), 1.0f);
}

TEST (ReductionReadout, KeepsTheDeepestReductionUntilPolled)
{
    auto p = makeProcessor();
    setParameter (*p, kHighDynAttenuation, 1.0f);
    driveBand (*p, 1200.0, 0.5f);
    driveBand (*p, 1200.0, 3.0e-5f);       // quiet audio does not raise the read-out

    EXPECT_LT (p->getHighMidReduction(), 0.1f);
}

TEST (ReductionReadout, ResetAllMetersShowsNoReduction)
{
    auto p = makeProcessor();
    setParameter (*p, kHighDynAttenuation, 1.0f);
    setParameter (*p, kLowDynAttenuation, 1.0f);
    driveBand (*p, 1200.0, 0.5f);
    driveBand (*p, 500.0, 0.5f);

    p->resetAllMeters();
    EXPECT_EQ (p->getHighMidReduction(), 1.0f);
    EXPECT_EQ (p->getLowMidReduction(), 1.0f);

    // The level followers are not touched by it.
    int numChannels = 0;
    EXPECT_NEAR (p->getPeak (numChannels)[0], -6.0206f, 0.01f);
}

TEST (ReductionReadout, IsOneAgainAfterAStateLoadAndAfterPreparing)
{
    auto p = makeProcessor();
    setParameter (*p, kHighDynAttenuation, 1.0f);
    driveBand (*p, 1200.0, 0.5f);

    std::vector<char> blob = blobOf (parameterValues (*p));
    p->setStateInformation (blob.data(), (int) blob.size());
    EXPECT_EQ (p->getHighMidReduction(), 1.0f);

    driveBand (*p, 1200.0, 0.5f);
    p->prepareToPlay (48000.0, 512);
    EXPECT_EQ (p->getHighMidReduction(), 1.0f);
    EXPECT_EQ (p->getLowMidReduction(), 1.0f);
}
