// The editor in a real window while audio runs: opened and closed again and again, following a
// thousand parameter changes, and opened on an instance whose processing was released. Needs a
// display (./test provides Xvfb).

#include "ValidationSupport.h"

#include "PlugInEditor.h"

using namespace quillo::validation;

namespace
{
// Lets an open editor run for `milliseconds` while audio keeps going.
void RunEditor(aaxhost::PlugInEditor& editor, RunningAudio& audio, int milliseconds)
{
    for (int elapsed = 0; elapsed < milliseconds; elapsed += 10)
    {
        editor.Run(10);
        audio.Keep();
    }
}

bool ShowsSomething(const aaxhost::PlugInEditor& editor)
{
    aaxhost::RgbImage image;
    return editor.Grab(image) && std::any_of(image.pixels.begin(), image.pixels.end(), [](uint8_t p) { return p > 16; });
}
} // namespace

using ValidationEditor = HostTest;

TEST_F(ValidationEditor, OpensAndClosesWhileProcessing)
{
    auto instance = Open(2, 48000.0f);
    RunningAudio audio(*instance, Noise(48000.0, 2, 24000, 41), 128);

    for (int round = 0; round < 8; ++round)
    {
        SCOPED_TRACE(round);
        aaxhost::PlugInEditor editor(*host, *instance);
        KeepOpenGLDriversLoaded();
        AAX_Point size {};
        EXPECT_EQ(editor.GetViewSize(size), AAX_SUCCESS);
        EXPECT_EQ(size.horz, 800.0f);
        EXPECT_EQ(size.vert, 250.0f);
        RunEditor(editor, audio, 150);
        if (round == 0)
        {
            EXPECT_TRUE(ShowsSomething(editor));
        }
        editor.Close();
        audio.Keep();
    }
    audio.Stop();
    RecordProperty("jobs", audio.Jobs());
}

TEST_F(ValidationEditor, FollowsAThousandParameterChangesTenMillisecondsApart)
{
    constexpr uint32_t kSeed = 1010;
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    auto instance = Open(2, 48000.0f);
    RandomEdits edits(*instance, kSeed);
    RunningAudio audio(*instance, Noise(48000.0, 2, 24000, kSeed), 256);
    aaxhost::PlugInEditor editor(*host, *instance);
    KeepOpenGLDriversLoaded();

    for (int change = 0; change < 1000; ++change)
    {
        edits.Next();
        // Ten milliseconds of the module's run loop: the editor's timer picks the change up.
        editor.Run(10);
        audio.Keep();
    }
    EXPECT_TRUE(editor.IsOpen());
    EXPECT_TRUE(ShowsSomething(editor));

    // The editor echoed nothing back: the values are the host's.
    edits.ExpectHeld();
    EXPECT_TRUE(instance->Context().GetAutomation().Pending().empty());
    editor.Close();
    audio.Stop();
    EXPECT_TRUE(ViewsAgree(*instance));
}

TEST_F(ValidationEditor, OpensAndClosesOnAnInstanceWhoseProcessingWasReleased)
{
    auto instance = Open(2, 48000.0f);
    EXPECT_TRUE(IsCleanAudio(instance->Process(Noise(48000.0, 2, 4096, 51), 512)));

    // The host releases the instance's processing (Uninitialize) but keeps the object; an editor
    // opened on it now must neither fail nor touch what was released.
    ASSERT_EQ(instance->Effect().Uninitialize(), AAX_SUCCESS);
    host->Pump(0);
    {
        aaxhost::PlugInEditor editor(*host, *instance);
        KeepOpenGLDriversLoaded();
        AAX_Point size {};
        EXPECT_EQ(editor.GetViewSize(size), AAX_SUCCESS);
        editor.Run(200);
        EXPECT_TRUE(ShowsSomething(editor));
        editor.Close();
    }

    // Brought back, it processes again, with an editor open.
    ASSERT_EQ(instance->Reinitialize(48000.0f), AAX_SUCCESS);
    aaxhost::PlugInEditor editor(*host, *instance);
    EXPECT_TRUE(IsCleanAudio(instance->Process(Noise(48000.0, 2, 4096, 52), 512)));
    editor.Run(100);
    editor.Close();
}
