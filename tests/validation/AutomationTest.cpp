// Automation through the host's path (touch, request, confirmation, release, new coefficients)
// in short sub-blocks, and parameter values set from the host's main thread while the real-time
// thread processes.

#include "ValidationSupport.h"

using namespace quillo::validation;

using ValidationAutomation = HostTest;

TEST_F(ValidationAutomation, AThousandSubBlocksWithUpToTenRandomParametersEachStayClean)
{
    constexpr uint32_t kSeed = 1000;
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    auto instance = Open(2, 48000.0f);
    RandomEdits edits(*instance, kSeed);
    const auto input = Noise(48000.0, 2, 1000 * 32, kSeed);
    auto output = aaxhost::AudioData::Silence(48000.0, 2, input.NumFrames());

    for (size_t block = 0; block < 1000; ++block)
    {
        for (int n = std::uniform_int_distribution<int>(0, 10)(edits.random); n > 0; --n)
            edits.Next();
        ProcessSlice(*instance, input, output, block * 32, 32, 32);
    }
    EXPECT_TRUE(IsCleanAudio(output)) << "(sub-block = frame / 32)";

    // The data model and the engine hold the last automated values (as floats).
    edits.ExpectHeld();
    EXPECT_TRUE(ViewsAgree(*instance));
}

using ValidationThreads = HostTest;

TEST_F(ValidationThreads, TheMessageThreadSetsValuesFiveHundredTimesWhileTheRealTimeThreadProcesses)
{
    constexpr uint32_t kSeed = 500;
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    auto instance = Open(2, 48000.0f);
    RandomEdits edits(*instance, kSeed);

    // A second of audio in 32-sample blocks per job; a job that ends is followed by the next.
    RunningAudio audio(*instance, Noise(48000.0, 2, 48000, kSeed), 32);
    for (int set = 0; set < 500; ++set)
    {
        audio.Keep();
        edits.Next();
    }
    audio.Stop();
    RecordProperty("jobs", audio.Jobs());

    edits.ExpectHeld();
    EXPECT_TRUE(ViewsAgree(*instance));
}
