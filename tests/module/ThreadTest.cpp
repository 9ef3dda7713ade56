// Threads around the module: its run loop, which only the host's main thread may run; parameters
// set on the host's main thread and state read and written on a background thread while the
// real-time thread processes; and the editor, in a real X11 window of the host (Xvfb under
// ./test), drawn, following the host's automation, and opened and closed again and again while
// audio runs.

#include "HostedModule.h"

#include "HostError.h"
#include "OpenGLDrivers.h"
#include "PlugInEditor.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <random>
#include <set>
#include <thread>

using namespace quillo::hosted;

namespace
{
// Keeps the real-time thread busy with `input` until Stop: each finished job is checked and
// followed by the next.
class RunningAudio
{
public:
    RunningAudio(aaxhost::PlugInInstance& instance, const aaxhost::AudioData& input, int blockSize)
        : mInstance(instance)
        , mInput(input)
        , mOutput(input)
        , mBlockSize(blockSize)
    {
        for (int c = 0; c < input.NumChannels(); ++c)
        {
            mIn.push_back(mInput.channels[size_t(c)].data());
            mOut.push_back(mOutput.channels[size_t(c)].data());
        }
        Start();
    }

    // Main thread, between other calls: waits up to `milliseconds` and starts the next job when
    // the last one has finished.
    void Keep(int milliseconds = 0)
    {
        if (mInstance.FinishProcess(milliseconds))
        {
            EXPECT_TRUE(IsCleanAudio(mOutput));
            Start();
        }
    }

    void Stop()
    {
        while (!mInstance.FinishProcess(1000))
        {
        }
        EXPECT_TRUE(IsCleanAudio(mOutput));
    }

private:
    void Start() { mInstance.StartProcess(mIn.data(), mOut.data(), mInput.NumFrames(), mBlockSize); }

    aaxhost::PlugInInstance& mInstance;
    aaxhost::AudioData mInput, mOutput;
    int mBlockSize;
    std::vector<const float*> mIn;
    std::vector<float*> mOut;
};
} // namespace

TEST_F(ModuleTest, TheMessageLoopRunsOnlyOnTheHostsMainThread)
{
    auto instance = Open(2, 48000.0f);
    EXPECT_GE(host->GetModule().DispatchMessages(0), 0);
    int32_t elsewhere = 0;
    bool refused = false;
    std::thread([&] {
        elsewhere = host->GetModule().DispatchMessages(0);
        try
        {
            host->CreateInstance(2, 48000.0f);
        }
        catch (const aaxhost::HostError&)
        {
            refused = true;
        }
    }).join();
    EXPECT_EQ(elsewhere, -1);
    EXPECT_TRUE(refused);
    instance->Close();
    // Without an instance JUCE is not running inside the module: nothing to deliver.
    EXPECT_EQ(host->GetModule().DispatchMessages(0), 0);
}

TEST_F(ModuleTest, ParametersAndStateChangeOnOtherThreadsWhileAudioRuns)
{
    auto instance = Open(2, 48000.0f);
    const auto ids = EngineParameterIds(*instance);
    std::mt19937 random(500);
    std::uniform_real_distribution<double> value(0.0, 1.0);

    // The main thread automates 500 times while the real-time thread works in 32-sample blocks.
    auto expected = ParameterValues(*instance, ids);
    RunningAudio edited(*instance, Noise(48000.0, 2, 48000, 500), 32);
    for (int set = 0; set < 500; ++set)
    {
        edited.Keep();
        const size_t index = random() % ids.size();
        expected[index] = value(random);
        ASSERT_EQ(instance->Automate(ids[index], expected[index]), AAX_SUCCESS);
    }
    edited.Stop();
    const auto held = ParameterValues(*instance, ids);
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_NEAR(held[i], expected[i], 1.0e-6) << ids[i];
    EXPECT_TRUE(ViewsAgree(*instance));

    // A background thread reads the engine's chunk (its size first, then the chunk) and restores
    // randomised ones while audio runs and the main thread keeps the module's run loop going.
    std::vector<std::vector<uint8_t>> blobs(16, JuceState(*instance));
    for (auto& blob : blobs)
        for (int p = 0; p < kNumParameters; ++p)
        {
            const float v = float(value(random));
            std::memcpy(blob.data() + p * 4, &v, 4);
        }
    constexpr int kRounds = 200;
    std::atomic<bool> done { false };
    std::atomic<int> failures { 0 };
    AAX_IACFEffectParameters& effect = instance->Effect();
    std::thread background([&] {
        for (int round = 0; round < kRounds; ++round)
        {
            uint32_t size = 0;
            failures += effect.GetChunkSize(kJuce, &size) != AAX_SUCCESS || size != blobs[0].size();
            aaxhost::ChunkRecord record(size);
            record.get()->fChunkID = kJuce;
            failures += effect.GetChunk(kJuce, record.get()) != AAX_SUCCESS || record.get()->fSize != int32_t(size);
            const auto* data = reinterpret_cast<const uint8_t*>(record.get()->fData);
            for (const float v : BlobValues({ data, data + size }))
                failures += !(v >= 0.0f && v <= 1.0f);
            auto written = aaxhost::ChunkRecord::From(MakeChunk(kJuce, blobs[size_t(round) % blobs.size()]));
            failures += effect.SetChunk(kJuce, written.get()) != AAX_SUCCESS;
        }
        done = true;
    });
    RunningAudio restored(*instance, Noise(48000.0, 2, 48000, 81), 64);
    while (!done.load())
        restored.Keep(1);
    background.join();
    restored.Stop();
    EXPECT_EQ(failures.load(), 0);

    // The requests the restores made are confirmed now; the last state stands everywhere.
    ASSERT_EQ(instance->ConfirmAutomation(), AAX_SUCCESS);
    EXPECT_EQ(BlobValues(JuceState(*instance)), BlobValues(blobs[(kRounds - 1) % blobs.size()]));
    EXPECT_TRUE(ViewsAgree(*instance));
}

TEST_F(ModuleTest, TheEditorOpensFollowsTheHostAndClosesWhileAudioRuns)
{
    ASSERT_TRUE(aaxhost::X11Window::DisplayAvailable()) << "no X display (./test runs the tests under Xvfb)";
    auto instance = Open(2, 48000.0f);
    std::optional<RunningAudio> audio;
    const auto run = [&](aaxhost::PlugInEditor& editor, int milliseconds) {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 10)
        {
            editor.Run(10);
            if (audio)
                audio->Keep();
        }
    };
    for (int round = 0; round < 5; ++round)
    {
        SCOPED_TRACE(round);
        aaxhost::PlugInEditor editor(*host, *instance);
        quillo::test::keepOpenGLDriversLoaded();
        AAX_Point size {};
        EXPECT_EQ(editor.GetViewSize(size), AAX_SUCCESS);
        for (const AAX_Point& point : { editor.InitialViewSize(), size })
            EXPECT_TRUE(point.horz == 800.0f && point.vert == 250.0f) << point.horz << " x " << point.vert;
        EXPECT_EQ(editor.Window().Width(), 800);
        EXPECT_EQ(editor.Window().Height(), 250);
        run(editor, 300);
        if (round == 0)
        {
            // Before any audio: the panel is drawn, and the editor's timer shows what the host's
            // automation did.
            aaxhost::RgbImage before, after;
            ASSERT_TRUE(editor.Grab(before));
            std::set<uint32_t> colours;
            for (size_t i = 0; i + 2 < before.pixels.size(); i += 3)
                colours.insert(uint32_t(before.pixels[i]) << 16 | uint32_t(before.pixels[i + 1]) << 8
                               | before.pixels[i + 2]);
            EXPECT_GT(colours.size(), 100u) << "the panel was not drawn";
            ASSERT_EQ(instance->Automate("0Input Gain", 1.0), AAX_SUCCESS);
            ASSERT_EQ(instance->Automate("12Low Mid Gain", 0.0), AAX_SUCCESS);
            run(editor, 800);
            ASSERT_TRUE(editor.Grab(after));
            ASSERT_EQ(after.pixels.size(), before.pixels.size());
            size_t changed = 0;
            for (size_t i = 0; i + 2 < before.pixels.size(); i += 3)
                changed += !std::equal(before.pixels.begin() + long(i), before.pixels.begin() + long(i) + 3,
                                       after.pixels.begin() + long(i));
            EXPECT_GT(changed, 50u);
        }
        editor.Close();
        EXPECT_FALSE(editor.IsOpen());
        if (!audio)
            audio.emplace(*instance, Noise(48000.0, 2, 24000, 41), 128);
    }
    audio->Stop();
}
