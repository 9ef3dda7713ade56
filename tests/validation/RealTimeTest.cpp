// The real-time rules through the module (no allocation; no lock but the wrapper's own callback
// lock), and the master bypass switched on and off while audio streams.

#include "ValidationSupport.h"

#include "AllocationCounter.h"

#include <optional>

using namespace quillo::validation;

namespace
{
// Counts allocations and locks on the real-time thread around every job (the process
// procedure's calls, block by block).
class CountingObserver : public aaxhost::RealtimeThread::Observer
{
public:
    void JobStarting() override { counter.emplace(); }

    void JobFinished() override
    {
        allocations += counter->allocations();
        locks += counter->locks();
        counter.reset();
    }

    std::optional<quillo::test::ScopedAllocationCounter> counter;
    int64_t allocations = 0;
    int64_t locks = 0;
};
} // namespace

using ValidationRealTime = HostTest;

TEST_F(ValidationRealTime, ProcessingAllocatesNothingAndLocksOnlyTheCallbackLockOncePerBlock)
{
    constexpr uint32_t kSeed = 60;
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int> blockSize(1, aaxhost::PlugInInstance::kMaxBlockSize);
    std::uniform_int_distribution<int> which(0, kNumParameters - 1);
    std::uniform_real_distribution<double> value(0.0, 1.0);

    for (int channels : { 1, 2 })
    {
        SCOPED_TRACE(channels);
        auto instance = Open(channels, 44100.0f);
        const auto ids = EngineParameterIds(*instance);
        const auto input = Noise(44100.0, channels, 2048, kSeed);

        // The first blocks may settle what the host's first calls left; counted from then on.
        instance->Process(input, 512);
        CountingObserver observer;
        instance->AudioThread().SetObserver(&observer);

        int64_t blocks = 0;
        for (int job = 0; job < 60; ++job)
        {
            // Between jobs the host automates, switches the bypass and restores state.
            ASSERT_EQ(instance->Automate(ids[size_t(which(random))], value(random)), AAX_SUCCESS);
            if (job % 10 == 5)
            {
                ASSERT_EQ(instance->SetBypass(job % 20 == 5), AAX_SUCCESS);
            }
            if (job % 15 == 7)
            {
                aaxhost::Chunk state;
                ASSERT_EQ(instance->GetChunk(kJuce, state), AAX_SUCCESS);
                ASSERT_EQ(instance->SetChunk(state), AAX_SUCCESS);
            }

            const int size = blockSize(random);
            const auto output = instance->Process(input, size);
            ASSERT_TRUE(IsCleanAudio(output));
            blocks += int64_t((input.NumFrames() + size_t(size) - 1) / size_t(size));
        }
        instance->AudioThread().SetObserver(nullptr);

        EXPECT_EQ(observer.allocations, 0) << "the real-time thread allocated";
        if (quillo::test::ScopedAllocationCounter::lockCountingAvailable())
        {
            EXPECT_EQ(observer.locks, blocks) << "locks other than the wrapper's callback lock, once per block";
        }
    }
}

using ValidationBypass = HostTest;

TEST_F(ValidationBypass, SwitchingOnAndOffWhileProcessingGivesTheDelayedDrySignalWithoutAGap)
{
    // A low tone, so that any gap, jump or shift stands out against its small steps.
    const double rate = 48000.0;
    const auto input = Sine(rate, 2, 48000, 110.0, 0.5f);
    const size_t block = 256;

    // References: the chain alone, and the dry signal delayed by the latency.
    auto reference = Open(2, float(rate));
    const auto processed = reference->Process(input, int(block));
    const auto dry = Delayed(input, size_t(reference->Latency()));
    reference.reset();

    auto instance = Open(2, float(rate));
    auto output = aaxhost::AudioData::Silence(rate, 2, input.NumFrames());
    std::vector<bool> bypassedBlock;
    for (size_t offset = 0, index = 0; offset < input.NumFrames(); offset += block, ++index)
    {
        // Bypass for blocks 20 to 39 and 60 to 79, and so on.
        const bool bypass = (index / 20) % 2 == 1;
        if (index % 20 == 0)
        {
            ASSERT_EQ(instance->SetBypass(bypass), AAX_SUCCESS);
        }
        bypassedBlock.push_back(bypass);
        ProcessSlice(*instance, input, output, offset, std::min(block, input.NumFrames() - offset), int(block));
    }
    EXPECT_TRUE(IsCleanAudio(output, 4.0f));

    // Bypassed, the output is the dry input delayed by the latency, sample for sample, from the
    // first bypassed block on: nothing is lost and nothing moves.
    float largestChainStep = 0.0f, largestDifference = 0.0f;
    for (size_t i = 1; i < input.NumFrames(); ++i)
        for (int c = 0; c < 2; ++c)
        {
            largestChainStep = std::max(largestChainStep, std::fabs(processed.channels[size_t(c)][i] - processed.channels[size_t(c)][i - 1]));
            largestDifference = std::max(largestDifference, std::fabs(processed.channels[size_t(c)][i] - dry.channels[size_t(c)][i]));
        }

    for (size_t i = 0; i < input.NumFrames(); ++i)
        for (int c = 0; bypassedBlock[i / block] && c < 2; ++c)
            ASSERT_EQ(output.channels[size_t(c)][i], dry.channels[size_t(c)][i]) << "frame " << i;

    // Continuous: across every switch the output moves no further than the chain's own largest
    // step plus what separates the processed from the dry signal; a gap or a shift moves more.
    const float allowed = largestChainStep + largestDifference;
    for (size_t i = 1; i < input.NumFrames(); ++i)
        for (int c = 0; c < 2; ++c)
            ASSERT_LE(std::fabs(output.channels[size_t(c)][i] - output.channels[size_t(c)][i - 1]), allowed)
                << "a jump at frame " << i << " (largest chain step " << largestChainStep << ", processed against dry "
                << largestDifference << ")";
    RecordProperty("processed_minus_dry", std::to_string(largestDifference));
}
