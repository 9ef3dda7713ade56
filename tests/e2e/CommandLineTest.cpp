// The quillo-host commands, run in this process against the built module, and as the built
// program in a child process where a limit, a user or the memory of the process is the point.

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "AudioFile.h"
#include "CommandLine.h"
#include "StateFile.h"
#include "TestSignal.h"

using aaxhost::AudioData;
using aaxhost::CommandLine;

namespace
{
struct Outcome
{
    int code;
    std::string out;
    std::string err;
    long peakKilobytes = 0;   // the child's peak resident memory (programs only)
};

Outcome RunHost(std::vector<std::string> arguments)
{
    std::ostringstream out, err;
    const int code = CommandLine::Run(arguments, { QUILLO_TEST_MODULE, QUILLO_E2E_PRESETS }, out, err);
    return { code, out.str(), err.str() };
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

/** The built quillo-host in a child process, with files limited to `fileSizeLimit` bytes (0: no
    limit; a write past it fails with EFBIG instead of killing the process) and, for
    `unprivileged`, as the user nobody when run as root. */
Outcome RunProgram(std::vector<std::string> arguments, rlim_t fileSizeLimit = 0, bool unprivileged = false)
{
    const std::string outPath = testing::TempDir() + "quillo-program.out", errPath = testing::TempDir() + "quillo-program.err";
    arguments.insert(arguments.begin(), QUILLO_HOST_PROGRAM);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0)
    {
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr))
            _exit(126);
        signal(SIGXFSZ, SIG_IGN);
        // The program's own leaks are checked in this process (RunHost); in the child the
        // windowing and OpenGL libraries' memory would count against it unsuppressed.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        const rlimit limit { fileSizeLimit, fileSizeLimit };
        if (fileSizeLimit > 0 && setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(126);
        if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    return { WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadText(outPath), ReadText(errPath),
             usage.ru_maxrss };
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

AudioData ReadWav(const std::string& path)
{
    aaxhost::WavReader reader(path);
    AudioData audio = AudioData::Silence(reader.SampleRate(), reader.NumChannels(), reader.NumFrames());
    std::vector<float*> channels;
    for (auto& channel : audio.channels)
        channels.push_back(channel.data());
    EXPECT_EQ(reader.Read(channels.data(), audio.NumFrames()), audio.NumFrames());
    return audio;
}

void WriteWav(const std::string& path, const AudioData& audio)
{
    aaxhost::WavWriter writer(path, audio.NumChannels(), audio.sampleRate, audio.NumFrames());
    std::vector<const float*> channels;
    for (const auto& channel : audio.channels)
        channels.push_back(channel.data());
    writer.Write(channels.data(), audio.NumFrames());
    writer.Close();
}

void WriteState(const std::string& path, const std::vector<aaxhost::Chunk>& chunks)
{
    std::string error;
    ASSERT_TRUE(aaxhost::StateFile::Save(path, chunks, error)) << error;
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
                              "Reduction        Low Dyn Attenuation", "Wrote            " })
        EXPECT_TRUE(Contains(result.out, line)) << line << " in\n" << result.out;

    const AudioData written = ReadWav(path);
    EXPECT_EQ(written.sampleRate, 44100.0);
    EXPECT_EQ(written.NumChannels(), 2);
    EXPECT_EQ(written.NumFrames(), 44100u);
}

TEST(CommandLineTest, APureDelayComesOutAlignedWithItsInputAndAsLong)
{
    // An impulse at frame 1000 of 4000 over a little of the test signal: with the plug-in's
    // Power off or bypassed it is only delayed, and the host takes the delay back out.
    const struct
    {
        int channels;
        std::vector<std::string> options;
        const char* instance;
    } cases[] = {
        { 1, { "--set", "2=0", "--block", "100" }, "mono, 48000 Hz, blocks of 100 samples" },
        { 2, { "--set", "bypass=1" }, "stereo, 48000 Hz, blocks of 512 samples" },
        { 2, { "--set", "2=0", "--block", "1024" }, "stereo, 48000 Hz, blocks of 1024 samples" },
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.instance);
        const std::string in = testing::TempDir() + "quillo-impulse-in.wav", out = testing::TempDir() + "quillo-impulse-out.wav";
        AudioData input = aaxhost::TestSignal::Make(48000.0, 4000.0 / 48000.0, test.channels);
        for (auto& channel : input.channels)
        {
            for (float& sample : channel)
                sample *= 0.01f;
            channel[1000] = 1.0f;
        }
        WriteWav(in, input);
        std::vector<std::string> arguments { "render", in, "--out", out };
        arguments.insert(arguments.end(), test.options.begin(), test.options.end());
        const Outcome result = RunHost(arguments);
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_TRUE(Contains(result.out, test.instance)) << result.out;
        EXPECT_TRUE(Contains(result.out, "Latency          192 samples")) << result.out;
        EXPECT_EQ(ReadWav(out).channels, input.channels);
    }
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

TEST(CommandLineTest, BadArgumentsAndBadFilesFailWithTheirExitCodesAndSayWhy)
{
    const std::string folder = testing::TempDir();
    const std::string garbage = folder + "quillo-garbage.qhst", empty = folder + "quillo-empty.qhst",
                      shortJuce = folder + "quillo-short-juce.qhst", badElck = folder + "quillo-bad-elck.qhst";
    std::ofstream(garbage) << "not a state";
    WriteState(empty, {});
    ASSERT_EQ(RunHost({ "state", "save", badElck }).code, 0);
    std::vector<aaxhost::Chunk> chunks;
    std::string error;
    ASSERT_TRUE(aaxhost::StateFile::Load(badElck, chunks, error)) << error;
    chunks[1].data.resize(103);
    WriteState(shortJuce, chunks);
    chunks[1].data.resize(104);
    chunks[0].data[4] = 'q';   // an unknown entry tag
    WriteState(badElck, chunks);

    // Input files: cut short, with two format chunks, at a rate no instance takes, of 3 channels.
    const std::string cut = folder + "quillo-cut.wav", twoFormats = folder + "quillo-two-formats.wav",
                      slow = folder + "quillo-4000.wav", wide = folder + "quillo-3ch.wav";
    WriteWav(cut, aaxhost::TestSignal::Make(8000.0, 0.1, 2));
    std::string bytes = ReadText(cut);
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 402);
    const auto fmt = bytes.find("fmt ");
    std::ofstream(twoFormats, std::ios::binary) << bytes.substr(0, fmt + 24) << bytes.substr(fmt, 24) << bytes.substr(fmt + 24);
    WriteWav(slow, AudioData::Silence(4000.0, 1, 100));
    WriteWav(wide, AudioData::Silence(48000.0, 3, 100));

    const struct
    {
        std::vector<std::string> arguments;
        int code;
        std::string err;
    } cases[] = {
        { {}, 2, "no command" },
        { { "dance" }, 2, "unknown command dance" },
        { { "render", "--block", "0" }, 2, "--block is 1 to 1024" },
        { { "render", "--block", "2048" }, 2, "--block is 1 to 1024" },
        { { "render", "--set", "12=1.5" }, 2, "normalised" },
        { { "render", "--channels", "3" }, 2, "--channels is 1 or 2" },
        { { "render", "--seconds", "1e400" }, 2, "--seconds is above 0" },
        { { "render", "--out", "" }, 2, "--out needs a file name" },
        { { "render", "--seconds", "0.1", "--set", "nothing=0.5" }, 2, "no parameter nothing" },
        { { "render", "--seconds", "0.5", "--set", "12=0.5@0.6" }, 2, "--set time 0.6s is past the end of the signal (0.5s)" },
        { { "state", "save", folder + "quillo-timed.qhst", "--set", "12=0.5@1" }, 2, "state save takes no --set times" },
        { { "state", "save" }, 2, "state save FILE" },
        { { "describe", "--block", "5" }, 2, "--block" },
        { { "render", "--seconds", "0.1", "--preset", "7", "1" }, 1, "there is no factory preset 7 1" },
        { { "render", "/nonexistent/in.wav" }, 1, "/nonexistent/in.wav: " },
        { { "render", twoFormats }, 1, twoFormats + ": 2 format chunks" },
        { { "render", slow }, 1, slow + ": the file's sample rate of 4000 Hz is outside the accepted 8000 to 384000 Hz" },
        { { "render", wide }, 1, wide + ": the plug-in takes mono or stereo, the file has 3 channels" },
        { { "render", cut, "--out", "/dev/null" }, 0,
          "warning: " + cut + ": the data chunk declares 800 frames but the file holds 749; rendering those 749" },
        { { "describe", "--module", "/nonexistent/Quillo.so" }, 1, "/nonexistent/Quillo.so" },
        { { "state", "load", garbage }, 1, garbage + ": not a quillo-host state file" },
        { { "state", "load", empty }, 1, empty + ": holds no chunk" },
        { { "state", "load", shortJuce }, 1, shortJuce + ": its 'juce' chunk holds 103 bytes, less than the engine's state of 104" },
        { { "state", "load", badElck }, 1, "restoring " + badElck + " failed (result -20026 AAX_ERROR_MALFORMED_CHUNK)" },
    };
    for (const auto& test : cases)
    {
        const Outcome result = RunHost(test.arguments);
        EXPECT_EQ(result.code, test.code) << test.err << "\n" << result.err;
        EXPECT_TRUE(Contains(result.err, test.err)) << test.err << " in\n" << result.err;
        EXPECT_FALSE(Contains(result.out, "matches")) << result.out;
    }
}

TEST(CommandLineTest, AFailedWriteIsReportedLeavesTheOlderFileAndNoTemporaryOne)
{
    // Each writer: WAV, state file, PNG.
    const std::vector<std::vector<std::string>> writers {
        { "render", "--seconds", "0.2", "--out" },
        { "state", "save" },
        { "editor", "--seconds", "0.1", "--screenshot" },
    };
    const std::string folder = testing::TempDir() + "quillo-locked";
    mkdir(folder.c_str(), 0755);
    const std::string older = folder + "/older";
    const struct
    {
        size_t writer;
        std::string path;
        rlim_t fileSizeLimit;
        bool unprivileged;
        const char* reason;
    } cases[] = {
        { 0, "/dev/full", 0, false, "No space left on device" },  { 1, "/dev/full", 0, false, "No space left on device" },
        { 2, "/dev/full", 0, false, "No space left on device" },  { 0, older, 4096, false, "File too large" },
        { 1, older, 512, false, "File too large" },               { 2, older, 4096, false, "File too large" },
        { 0, older, 0, true, "Permission denied" },               { 1, older, 0, true, "Permission denied" },
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(writers[test.writer][0] + " to " + test.path + (test.unprivileged ? " as nobody" : ""));
        chmod(folder.c_str(), 0755);
        std::ofstream(older) << "older";
        chmod(folder.c_str(), test.unprivileged ? 0555 : 0755);
        auto arguments = writers[test.writer];
        arguments.push_back(test.path);
        const Outcome result = RunProgram(arguments, test.fileSizeLimit, test.unprivileged);
        EXPECT_EQ(result.code, 1) << result.err;
        EXPECT_TRUE(Contains(result.err, "cannot write " + test.path + ": " + test.reason)) << result.err;
        EXPECT_FALSE(Contains(result.out, "Wrote")) << result.out;
        EXPECT_EQ(ReadText(older), "older");
        size_t files = 0;
        DIR* const directory = opendir(folder.c_str());
        while (const dirent* entry = readdir(directory))
            files += entry->d_name[0] != '.' || std::string(entry->d_name).size() > 2;
        closedir(directory);
        EXPECT_EQ(files, 1u) << "a temporary file was left";
    }
    chmod(folder.c_str(), 0755);
}

TEST(CommandLineTest, TheMemoryOfARenderDoesNotGrowWithItsLength)
{
    const Outcome brief = RunProgram({ "render", "--seconds", "5", "--out", "/dev/null" });
    const Outcome longer = RunProgram({ "render", "--seconds", "120", "--out", "/dev/null" });
    ASSERT_EQ(brief.code, 0) << brief.err;
    ASSERT_EQ(longer.code, 0) << longer.err;
    RecordProperty("peak_kilobytes_5s", int(brief.peakKilobytes));
    RecordProperty("peak_kilobytes_120s", int(longer.peakKilobytes));
    EXPECT_LT(double(longer.peakKilobytes), 1.5 * double(brief.peakKilobytes))
        << "5 s: " << brief.peakKilobytes << " KiB, 120 s: " << longer.peakKilobytes << " KiB";
}
