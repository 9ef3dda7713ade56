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
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int> howMany(0, 10);
    std::uniform_int_distribution<int> which(0, kNumParameters - 1);
    std::uniform_real_distribution<double> value(0.0, 1.0);

    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);
    const auto input = Noise(48000.0, 2, 1000 * 32, kSeed);
    std::vector<double> expected = ParameterValues(*instance, ids);

    for (int block = 0; block < 1000; ++block)
    {
        for (int n = howMany(random); n > 0; --n)
        {
            const int index = which(random);
            const double v = value(random);
            ASSERT_EQ(instance->Automate(ids[size_t(index)], v), AAX_SUCCESS) << "sub-block " << block;
            expected[size_t(index)] = v;
        }

        const size_t offset = size_t(block) * 32;
        const float* in[2] = { input.channels[0].data() + offset, input.channels[1].data() + offset };
        aaxhost::AudioData out = aaxhost::AudioData::Silence(48000.0, 2, 32);
        float* outPointers[2] = { out.channels[0].data(), out.channels[1].data() };
        instance->Process(in, outPointers, 32, 32);
        ASSERT_TRUE(IsCleanAudio(out)) << "sub-block " << block;
    }

    // The data model and the engine hold the last automated values (as floats).
    const auto values = ParameterValues(*instance, ids);
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_NEAR(values[i], expected[i], 1.0e-6) << ids[i];
    EXPECT_TRUE(ViewsAgree(*instance));
    instance->Close();
}

using ValidationThreads = HostTest;

TEST_F(ValidationThreads, TheMessageThreadSetsValuesFiveHundredTimesWhileTheRealTimeThreadProcesses)
{
    constexpr uint32_t kSeed = 500;
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int> which(0, kNumParameters - 1);
    std::uniform_real_distribution<double> value(0.0, 1.0);

    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);
    std::vector<double> expected = ParameterValues(*instance, ids);

    // A second of audio in 32-sample blocks per job; a job that ends is followed by the next.
    const auto input = Noise(48000.0, 2, 48000, kSeed);
    aaxhost::AudioData output = aaxhost::AudioData::Silence(48000.0, 2, input.NumFrames());
    const float* in[2] = { input.channels[0].data(), input.channels[1].data() };
    float* out[2] = { output.channels[0].data(), output.channels[1].data() };

    int jobs = 0;
    instance->StartProcess(in, out, input.NumFrames(), 32);
    for (int set = 0; set < 500; ++set)
    {
        if (instance->FinishProcess(0))
        {
            EXPECT_TRUE(IsCleanAudio(output)) << "job " << jobs;
            ++jobs;
            instance->StartProcess(in, out, input.NumFrames(), 32);
        }
        const int index = which(random);
        const double v = value(random);
        ASSERT_EQ(instance->Automate(ids[size_t(index)], v), AAX_SUCCESS);
        expected[size_t(index)] = v;
    }
    while (!instance->FinishProcess(1000))
    {
    }
    EXPECT_TRUE(IsCleanAudio(output));
    RecordProperty("jobs", jobs + 1);

    const auto values = ParameterValues(*instance, ids);
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_NEAR(values[i], expected[i], 1.0e-6) << ids[i];
    EXPECT_TRUE(ViewsAgree(*instance));

    instance->Close();
}
