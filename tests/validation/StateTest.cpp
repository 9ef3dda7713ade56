// State: save, randomise, restore and compare; restoring the default state; and the state read
// and written from a background thread while audio runs.

#include "ValidationSupport.h"

#include <atomic>
#include <cstring>
#include <thread>

using namespace quillo::validation;

namespace
{
/** Automates every engine parameter to a random value; returns the values. */
std::vector<double> Randomise(aaxhost::PlugInInstance& instance, const std::vector<std::string>& ids, std::mt19937& random)
{
    std::uniform_real_distribution<double> value(0.0, 1.0);
    std::vector<double> values;
    for (const auto& id : ids)
    {
        values.push_back(value(random));
        EXPECT_EQ(instance.Automate(id, values.back()), AAX_SUCCESS) << id;
    }
    return values;
}

void ExpectValuesNear(const std::vector<double>& actual, const std::vector<double>& expected,
                      const std::vector<std::string>& ids)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1.0e-6) << ids[i];
}
} // namespace

using ValidationState = HostTest;
using ValidationThreads = HostTest;

TEST_F(ValidationState, SavedStateComesBackBitForBitAfterEveryParameterWasRandomised)
{
    constexpr uint32_t kSeed = 77;
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    std::mt19937 random(kSeed);

    for (int channels : { 2, 1 })
    {
        SCOPED_TRACE(channels);
        auto instance = Open(channels, 48000.0f);
        const auto ids = EngineParameterIds(*instance);

        std::vector<aaxhost::Chunk> saved;
        ASSERT_EQ(instance->GetChunks(saved), AAX_SUCCESS);
        const auto savedValues = ParameterValues(*instance, ids);

        for (int round = 0; round < 5; ++round)
        {
            const auto randomValues = Randomise(*instance, ids, random);
            ExpectValuesNear(ParameterValues(*instance, ids), randomValues, ids);
            std::vector<aaxhost::Chunk> randomised;
            ASSERT_EQ(instance->GetChunks(randomised), AAX_SUCCESS);

            // Back to the saved state: the engine's chunk bit for bit, every value as it was.
            ASSERT_EQ(instance->RestoreChunks(saved), AAX_SUCCESS);
            EXPECT_EQ(JuceState(*instance), saved[1].data);
            ExpectValuesNear(ParameterValues(*instance, ids), savedValues, ids);
            EXPECT_TRUE(ViewsAgree(*instance));

            // And forward to the randomised one again, from its chunks alone.
            ASSERT_EQ(instance->RestoreChunks(randomised), AAX_SUCCESS);
            EXPECT_EQ(JuceState(*instance), randomised[1].data);
            ExpectValuesNear(ParameterValues(*instance, ids), randomValues, ids);

            // Either chunk restores the values alone as well.
            ASSERT_EQ(instance->SetChunk(saved[0]), AAX_SUCCESS);
            ExpectValuesNear(ParameterValues(*instance, ids), savedValues, ids);
            ASSERT_EQ(instance->SetChunk(randomised[1]), AAX_SUCCESS);
            ExpectValuesNear(ParameterValues(*instance, ids), randomValues, ids);
            EXPECT_TRUE(ViewsAgree(*instance));

            bool equal = false;
            ASSERT_EQ(instance->CompareActiveChunk(randomised[0], equal), AAX_SUCCESS);
            EXPECT_TRUE(equal);
            ASSERT_EQ(instance->CompareActiveChunk(saved[0], equal), AAX_SUCCESS);
            EXPECT_FALSE(equal);
        }
        EXPECT_TRUE(IsCleanAudio(instance->Process(Noise(48000.0, channels, 8192, kSeed), 512)));
        instance->Close();
    }
}

TEST_F(ValidationState, TheDefaultStateRestoresIntoAnEditedInstance)
{
    std::mt19937 random(78);
    std::vector<aaxhost::Chunk> defaults;
    std::vector<double> defaultValues;
    std::vector<std::string> ids;
    {
        auto fresh = Open(2, 44100.0f);
        ids = EngineParameterIds(*fresh);
        ASSERT_EQ(fresh->GetChunks(defaults), AAX_SUCCESS);
        defaultValues = ParameterValues(*fresh, ids);
    }

    auto instance = Open(2, 44100.0f);
    Randomise(*instance, ids, random);
    ASSERT_EQ(instance->SetBypass(true), AAX_SUCCESS);
    ASSERT_EQ(instance->RestoreChunks(defaults), AAX_SUCCESS);
    EXPECT_EQ(ParameterValues(*instance, ids), defaultValues);
    EXPECT_EQ(JuceState(*instance), defaults[1].data);
    EXPECT_TRUE(ViewsAgree(*instance));

    // The bypass is no part of the saved state: the host keeps it.
    EXPECT_EQ(instance->ParameterValue(instance->BypassID()), 1.0);
    ASSERT_EQ(instance->SetBypass(false), AAX_SUCCESS);

    // Restored, the instance sounds as a fresh one does.
    const auto input = Noise(44100.0, 2, 16384, 79, 0.5f);
    auto fresh = Open(2, 44100.0f);
    const auto reference = fresh->Process(input, 512);
    fresh->Close();
    const auto restored = instance->Process(Noise(44100.0, 2, 44100, 80, 0.0f), 512);   // silence flushes the chain
    EXPECT_TRUE(IsCleanAudio(restored));
    EXPECT_EQ(instance->Process(input, 512).channels, reference.channels);
    instance->Close();
}

TEST_F(ValidationThreads, StateIsReadAndWrittenFromABackgroundThreadWhileAudioRuns)
{
    constexpr uint32_t kSeed = 81;
    SCOPED_TRACE("seed " + std::to_string(kSeed));

    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);

    // The states the background thread restores: the engine's own form, randomised.
    std::vector<std::vector<uint8_t>> blobs;
    {
        std::mt19937 random(kSeed);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        const auto base = JuceState(*instance);
        for (int i = 0; i < 16; ++i)
        {
            auto blob = base;
            for (int p = 0; p < kNumParameters; ++p)
            {
                const float v = value(random);
                std::memcpy(blob.data() + p * 4, &v, 4);
            }
            blobs.push_back(blob);
        }
    }

    const auto input = Noise(48000.0, 2, 48000, kSeed);
    aaxhost::AudioData output = aaxhost::AudioData::Silence(48000.0, 2, input.NumFrames());
    const float* in[2] = { input.channels[0].data(), input.channels[1].data() };
    float* out[2] = { output.channels[0].data(), output.channels[1].data() };

    std::atomic<bool> done { false };
    std::atomic<int> failures { 0 };
    std::vector<uint8_t> lastSet;
    AAX_IACFEffectParameters& effect = instance->Effect();

    std::thread background([&] {
        for (int round = 0; round < 200; ++round)
        {
            // Read: size first, then the chunk, on this thread.
            uint32_t size = 0;
            if (effect.GetChunkSize(kJuce, &size) != AAX_SUCCESS || size != blobs[0].size())
                ++failures;
            aaxhost::ChunkRecord record(size);
            record.get()->fChunkID = kJuce;
            if (effect.GetChunk(kJuce, record.get()) != AAX_SUCCESS || record.get()->fSize != int32_t(size))
                ++failures;
            std::vector<float> values(kNumParameters);
            std::memcpy(values.data(), record.get()->fData, size_t(kNumParameters) * 4);
            if (!AllNormalised(values))
                ++failures;

            // Write.
            const auto& blob = blobs[size_t(round) % blobs.size()];
            aaxhost::Chunk chunk = MakeChunk(kJuce, blob);
            aaxhost::ChunkRecord written = aaxhost::ChunkRecord::From(chunk);
            if (effect.SetChunk(kJuce, written.get()) != AAX_SUCCESS)
                ++failures;
            lastSet = blob;
        }
        done = true;
    });

    // Audio runs the whole time; the main thread keeps the module's run loop going.
    int jobs = 0;
    instance->StartProcess(in, out, input.NumFrames(), 64);
    while (!done.load())
        if (instance->FinishProcess(1))
        {
            EXPECT_TRUE(IsCleanAudio(output)) << "job " << jobs;
            ++jobs;
            instance->StartProcess(in, out, input.NumFrames(), 64);
        }
    background.join();
    while (!instance->FinishProcess(1000))
    {
    }
    EXPECT_TRUE(IsCleanAudio(output));
    EXPECT_EQ(failures.load(), 0);
    RecordProperty("jobs", jobs + 1);

    // The requests the restores made are confirmed now; the last state stands everywhere.
    ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
    const auto held = JuceState(*instance);
    EXPECT_EQ(BlobValues(held), BlobValues(lastSet));
    const auto lastValues = BlobValues(lastSet);
    ExpectValuesNear(ParameterValues(*instance, ids), std::vector<double>(lastValues.begin(), lastValues.end()), ids);
    EXPECT_TRUE(ViewsAgree(*instance));
    instance->Close();
}
