// The quillo-host commands, run in this process against the built module.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "CommandLine.h"
#include "TestSignal.h"
#include "WavFile.h"

using aaxhost::CommandLine;

namespace
{
struct Outcome
{
    int code;
    std::string out;
    std::string err;
};

Outcome RunHost(std::vector<std::string> arguments)
{
    std::ostringstream out, err;
    const int code = CommandLine::Run(arguments, { QUILLO_TEST_MODULE, QUILLO_E2E_PRESETS }, out, err);
    return { code, out.str(), err.str() };
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
} // namespace

TEST(CommandLineTest, DescribePrintsTheRegisteredDescription)
{
    const Outcome result = RunHost({ "describe" });
    ASSERT_EQ(result.code, 0) << result.err;
    for (const char* line : { "Effect \"com.Vantorell.Quillo\"", "component 0: Mono -> Mono", "component 1: Stereo -> Stereo",
                              "property 12 (product id) = 'Qlw2'", "ACFCanUnloadNow  0" })
        EXPECT_TRUE(Contains(result.out, line)) << line << " in\n" << result.out;
}

TEST(CommandLineTest, RenderOfTheBuiltInSignalWritesTheOutputAndPrintsTheFigures)
{
    const std::string path = testing::TempDir() + "quillo-render-kick.wav";
    const Outcome result = RunHost({ "render", "--seconds", "1", "--rate", "44100", "--preset", "6", "1", "--set",
                                 "12=0.7@0.5", "--out", path });
    ASSERT_EQ(result.code, 0) << result.err;
    for (const char* line : { "Preset 6 1: \"Kick\"", "Latency          178 samples (4.04 ms)", "Peak left",
                              "Reduction        Low Dyn Attenuation" })
        EXPECT_TRUE(Contains(result.out, line)) << line << " in\n" << result.out;

    aaxhost::AudioData written;
    std::string error;
    ASSERT_TRUE(aaxhost::WavFile::Read(path, written, error)) << error;
    EXPECT_EQ(written.sampleRate, 44100.0);
    EXPECT_EQ(written.NumChannels(), 2);
    EXPECT_EQ(written.NumFrames(), 44100u);
}

TEST(CommandLineTest, RenderOfAMonoFileGivesAMonoFileOfTheSameLength)
{
    const std::string in = testing::TempDir() + "quillo-mono-in.wav";
    const std::string out = testing::TempDir() + "quillo-mono-out.wav";
    std::string error;
    ASSERT_TRUE(aaxhost::WavFile::Write(in, aaxhost::TestSignal::Make(48000.0, 0.3, 1), error));
    const Outcome result = RunHost({ "render", in, "--out", out, "--block", "100", "--set", "bypass=1" });
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "Instance         mono, 48000 Hz, blocks of 100 samples")) << result.out;

    aaxhost::AudioData input, output;
    ASSERT_TRUE(aaxhost::WavFile::Read(in, input, error));
    ASSERT_TRUE(aaxhost::WavFile::Read(out, output, error));
    ASSERT_EQ(output.NumChannels(), 1);
    ASSERT_EQ(output.NumFrames(), input.NumFrames());
    // Bypassed from the start: the input, 192 samples late.
    EXPECT_EQ(output.channels[0][1000], input.channels[0][1000 - 192]);
}

TEST(CommandLineTest, StateSavedByOneInstanceRestoresIntoAnother)
{
    const std::string path = testing::TempDir() + "quillo-state.qhst";
    const Outcome saved = RunHost({ "state", "save", path, "--preset", "2", "3", "--set", "0Input Gain=0.25" });
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_TRUE(Contains(saved.out, "Saved chunk 'elck' \"Complete Controls State\", 648 bytes")) << saved.out;
    EXPECT_TRUE(Contains(saved.out, "Saved chunk 'juce'")) << saved.out;
    EXPECT_TRUE(Contains(saved.out, "0Input Gain              0.250000")) << saved.out;

    const Outcome loaded = RunHost({ "state", "load", path });
    ASSERT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_TRUE(Contains(loaded.out, "Chunk 'elck' matches the restored instance")) << loaded.out;
    EXPECT_TRUE(Contains(loaded.out, "0Input Gain              0.250000")) << loaded.out;
}

TEST(CommandLineTest, BadArgumentsAndBadFilesFailWithTheirExitCodes)
{
    EXPECT_EQ(RunHost({}).code, 2);
    EXPECT_EQ(RunHost({ "dance" }).code, 2);
    EXPECT_EQ(RunHost({ "render", "--block", "0" }).code, 2);
    EXPECT_EQ(RunHost({ "render", "--block", "2048" }).code, 2);
    EXPECT_EQ(RunHost({ "render", "--set", "12=1.5" }).code, 2);
    EXPECT_EQ(RunHost({ "render", "--channels", "3" }).code, 2);
    EXPECT_EQ(RunHost({ "render", "--seconds", "0.1", "--set", "nothing=0.5" }).code, 2);
    EXPECT_EQ(RunHost({ "state", "save" }).code, 2);

    EXPECT_EQ(RunHost({ "render", "--seconds", "0.1", "--preset", "7", "1" }).code, 1);
    EXPECT_EQ(RunHost({ "render", "/nonexistent/in.wav" }).code, 1);
    EXPECT_EQ(RunHost({ "describe", "--module", "/nonexistent/Quillo.so" }).code, 1);

    const std::string garbage = testing::TempDir() + "quillo-garbage.qhst";
    std::ofstream(garbage) << "not a state";
    const Outcome refused = RunHost({ "state", "load", garbage });
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(Contains(refused.err, "not a quillo-host state file")) << refused.err;
}
