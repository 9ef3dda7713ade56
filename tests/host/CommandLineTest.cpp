// The quillo-host commands, run in this process against the built module, and as the built
// program in a child process where a limit, a user or the memory of the process is the point.

#include "HostTestSupport.h"

#include <filesystem>
#include <signal.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CommandLine.h"
#include "StateFile.h"
#include "TestSignal.h"

using namespace quillo::hosttest;

namespace
{
// The exit code, what was printed, and the child's peak resident memory (programs only).
struct Outcome
{
    int code;
    std::string out, err;
    long peakKilobytes = 0;
};

Outcome RunHost(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    const int code = aaxhost::CommandLine::Run(arguments, { QUILLO_TEST_MODULE, QUILLO_PRESETS_DIR }, out, err);
    return { code, out.str(), err.str() };
}

/** The built quillo-host in a child process, with files limited to `fileSizeLimit` bytes (0: no
    limit; a write past it fails with EFBIG instead of killing the process) and, for
    `unprivileged`, as the user nobody when run as root. */
Outcome RunProgram(std::vector<std::string> arguments, rlim_t fileSizeLimit = 0, bool unprivileged = false)
{
    const std::string outPath = Scratch("program.out"), errPath = Scratch("program.err");
    arguments.insert(arguments.begin(), QUILLO_HOST_PROGRAM);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0)
    {
        signal(SIGXFSZ, SIG_IGN);
        // The program's own leaks are checked in this process (RunHost); in the child the
        // windowing and OpenGL libraries' memory would count against it unsuppressed.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        const rlimit limit { fileSizeLimit, fileSizeLimit };
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr)
            || (fileSizeLimit > 0 && setrlimit(RLIMIT_FSIZE, &limit) != 0)
            || (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)))
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
} // namespace

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
        const std::string in = Scratch("impulse-in.wav"), out = Scratch("impulse-out.wav");
        aaxhost::AudioData input = aaxhost::TestSignal::Make(48000.0, 4000.0 / 48000.0, test.channels);
        for (auto& channel : input.channels)
            for (size_t i = 0; i < channel.size(); ++i)
                channel[i] = i == 1000 ? 1.0f : 0.01f * channel[i];
        WriteWav(in, input);
        std::vector<std::string> arguments { "render", in, "--out", out };
        arguments.insert(arguments.end(), test.options.begin(), test.options.end());
        const Outcome result = RunHost(arguments);
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_TRUE(Contains(result.out, test.instance) && Contains(result.out, "Latency          192 samples"))
            << result.out;
        EXPECT_EQ(ReadWav(out).channels, input.channels);
    }
}

TEST(CommandLineTest, BadArgumentsAndBadFilesFailWithTheirExitCodesAndSayWhy)
{
    const std::string garbage = Scratch("garbage.qhst"), empty = Scratch("empty.qhst"),
                      shortJuce = Scratch("short-juce.qhst"), badElck = Scratch("bad-elck.qhst");
    WriteText(garbage, "not a state");
    std::string error;
    ASSERT_TRUE(aaxhost::StateFile::Save(empty, {}, error)) << error;
    // A state saved by one instance restores into another; then it is broken in two ways.
    ASSERT_EQ(RunHost({ "state", "save", badElck, "--preset", "2", "3", "--set", "0Input Gain=0.25" }).code, 0);
    const Outcome loaded = RunHost({ "state", "load", badElck });
    EXPECT_TRUE(Contains(loaded.out, "Chunk 'elck' matches the restored instance")
                && Contains(loaded.out, "0Input Gain              0.250000"))
        << loaded.out;
    std::vector<aaxhost::Chunk> chunks;
    ASSERT_TRUE(aaxhost::StateFile::Load(badElck, chunks, error)) << error;
    chunks[1].data.resize(103);
    ASSERT_TRUE(aaxhost::StateFile::Save(shortJuce, chunks, error)) << error;
    chunks[1].data.resize(104);
    chunks[0].data[4] = 'q'; // an unknown entry tag
    ASSERT_TRUE(aaxhost::StateFile::Save(badElck, chunks, error)) << error;

    // Input files: cut short, with two format chunks, at a rate no instance takes, of 3 channels.
    const std::string cut = Scratch("cut.wav"), twoFormats = Scratch("two-formats.wav"), slow = Scratch("4000.wav"),
                      wide = Scratch("3ch.wav");
    WriteWav(cut, aaxhost::TestSignal::Make(8000.0, 0.1, 2));
    const std::string bytes = ReadText(cut);
    const auto fmt = bytes.find("fmt ");
    WriteText(cut, bytes.substr(0, bytes.size() - 402));
    WriteText(twoFormats, bytes.substr(0, fmt + 24) + bytes.substr(fmt, 24) + bytes.substr(fmt + 24));
    WriteWav(slow, aaxhost::AudioData::Silence(4000.0, 1, 100));
    WriteWav(wide, aaxhost::AudioData::Silence(48000.0, 3, 100));

    const struct
    {
        std::vector<std::string> arguments;
        int code;
        std::string err;
    } cases[] = {
        { {}, 2, "no command" },
        { { "dance" }, 2, "unknown command dance" },
        { { "render", "--block", "0" }, 2, "--block is 1 to 1024" },
        { { "render", "--block", "1025" }, 2, "--block is 1 to 1024" },
        { { "render", "--set", "12=1.5" }, 2, "normalised" },
        { { "render", "--channels", "3" }, 2, "--channels is 1 or 2" },
        { { "render", "--seconds", "1e400" }, 2, "--seconds is above 0" },
        { { "render", "--out", "" }, 2, "--out needs a file name" },
        { { "render", "--seconds", "0.1", "--set", "nothing=0.5" }, 2, "no parameter nothing" },
        { { "render", "--seconds", "0.5", "--set", "12=0.5@0.6" },
          2,
          "--set time 0.6s is past the end of the signal (0.5s)" },
        { { "state", "save", Scratch("timed.qhst"), "--set", "12=0.5@1" }, 2, "state save takes no --set times" },
        { { "state", "save" }, 2, "state save FILE" },
        { { "describe", "--block", "5" }, 2, "--block" },
        { { "render", "--seconds", "0.1", "--preset", "7", "1" }, 1, "there is no factory preset 7 1" },
        { { "render", "/nonexistent/in.wav" }, 1, "/nonexistent/in.wav: " },
        { { "render", twoFormats }, 1, twoFormats + ": 2 format chunks" },
        { { "render", slow },
          1,
          slow + ": the file's sample rate of 4000 Hz is outside the accepted 8000 to 384000 Hz" },
        { { "render", wide }, 1, wide + ": the plug-in takes mono or stereo, the file has 3 channels" },
        { { "render", cut, "--out", "/dev/null" },
          0,
          "warning: " + cut + ": the data chunk declares 800 frames but the file holds 749; rendering those 749" },
        { { "describe", "--module", "/nonexistent/Quillo.so" }, 1, "/nonexistent/Quillo.so" },
        { { "state", "load", garbage }, 1, garbage + ": not a quillo-host state file" },
        { { "state", "load", empty }, 1, empty + ": holds no chunk" },
        { { "state", "load", shortJuce },
          1,
          shortJuce + ": its 'juce' chunk holds 103 bytes, less than the engine's state of 104" },
        { { "state", "load", badElck },
          1,
          "restoring " + badElck + " failed (result -20026 AAX_ERROR_MALFORMED_CHUNK)" },
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
    const std::vector<std::vector<std::string>> writers { { "render", "--seconds", "0.2", "--out" },
                                                          { "state", "save" },
                                                          { "editor", "--seconds", "0.1", "--screenshot" } };
    const std::string folder = Scratch("locked"), older = folder + "/older";
    mkdir(folder.c_str(), 0755);
    const struct
    {
        size_t writer;
        std::string path;
        rlim_t fileSizeLimit;
        bool unprivileged;
        const char* reason;
    } cases[] = {
        { 0, "/dev/full", 0, false, "No space left on device" },
        { 1, "/dev/full", 0, false, "No space left on device" },
        { 2, "/dev/full", 0, false, "No space left on device" },
        { 0, older, 4096, false, "File too large" },
        { 1, older, 512, false, "File too large" },
        { 2, older, 4096, false, "File too large" },
        { 0, older, 0, true, "Permission denied" },
        { 1, older, 0, true, "Permission denied" },
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(writers[test.writer][0] + " to " + test.path + (test.unprivileged ? " as nobody" : ""));
        chmod(folder.c_str(), 0755);
        WriteText(older, "old");
        chmod(folder.c_str(), test.unprivileged ? 0555 : 0755);
        auto arguments = writers[test.writer];
        arguments.push_back(test.path);
        const Outcome result = RunProgram(arguments, test.fileSizeLimit, test.unprivileged);
        EXPECT_TRUE(result.code == 1 && Contains(result.err, "cannot write " + test.path + ": " + test.reason))
            << result.err;
        EXPECT_FALSE(Contains(result.out, "Wrote")) << result.out;
        EXPECT_EQ(ReadText(older), "old");
        const auto files = std::distance(std::filesystem::directory_iterator(folder),
                                         std::filesystem::directory_iterator());
        EXPECT_EQ(files, 1) << "a temporary file was left";
    }
    chmod(folder.c_str(), 0755);
}

TEST(CommandLineTest, TheMemoryOfARenderDoesNotGrowWithItsLength)
{
    const Outcome brief = RunProgram({ "render", "--seconds", "5", "--out", "/dev/null" });
    const Outcome longer = RunProgram({ "render", "--seconds", "120", "--out", "/dev/null" });
    ASSERT_TRUE(brief.code == 0 && longer.code == 0) << brief.err << longer.err;
    EXPECT_LT(double(longer.peakKilobytes), 1.5 * double(brief.peakKilobytes))
        << "5 s: " << brief.peakKilobytes << " KiB, 120 s: " << longer.peakKilobytes << " KiB";
}
