// State: save, randomise, restore and compare; restoring the default state; and the state read
// and written from a background thread while audio runs.

#include "ValidationSupport.h"

#include <atomic>
#include <cstring>
#include <thread>

using namespace quillo::validation;

namespace
{
// Automates every engine parameter to a random value; returns the values.
std::vector<double> Randomise(aaxhost::PlugInInstance& instance, const std::vector<std::string>& ids, std::mt19937& random)
{
    std::vector<double> values;
    for (const auto& id : ids)
    {
        values.push_back(std::uniform_real_distribution<double>(0.0, 1.0)(random));
        EXPECT_EQ(instance.Automate(id, values.back()), AAX_SUCCESS) << id;
    }
    return values;
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

    std::atomic<bool> done { false };
    std::atomic<int> failures { 0 };
    std::vector<uint8_t> lastSet;
    AAX_IACFEffectParameters& effect = instance->Effect();

    std::thread background([&] {
        for (int round = 0; round < 200; ++round)
        {
            // Read: size first, then the chunk, on this thread.
            uint32_t size = 0;
            failures += effect.GetChunkSize(kJuce, &size) != AAX_SUCCESS || size != blobs[0].size();
            aaxhost::ChunkRecord record(size);
            record.get()->fChunkID = kJuce;
            failures += effect.GetChunk(kJuce, record.get()) != AAX_SUCCESS || record.get()->fSize != int32_t(size);
            const auto* data = reinterpret_cast<const uint8_t*>(record.get()->fData);
            failures += AllNormalised(BlobValues(std::vector<uint8_t>(data, data + size))) ? 0 : 1;

            // Write.
            lastSet = blobs[size_t(round) % blobs.size()];
            aaxhost::ChunkRecord written = aaxhost::ChunkRecord::From(MakeChunk(kJuce, lastSet));
            failures += effect.SetChunk(kJuce, written.get()) != AAX_SUCCESS;
        }
        done = true;
    });

    // Audio runs the whole time; the main thread keeps the module's run loop going.
    RunningAudio audio(*instance, Noise(48000.0, 2, 48000, kSeed), 64);
    while (!done.load())
        audio.Keep(1);
    background.join();
    audio.Stop();
    EXPECT_EQ(failures.load(), 0);
    RecordProperty("jobs", audio.Jobs());

    // The requests the restores made are confirmed now; the last state stands everywhere.
    ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
    const auto lastValues = BlobValues(lastSet);
    EXPECT_EQ(BlobValues(JuceState(*instance)), lastValues);
    ExpectValuesNear(ParameterValues(*instance, ids), std::vector<double>(lastValues.begin(), lastValues.end()), ids);
    EXPECT_TRUE(ViewsAgree(*instance));
}
