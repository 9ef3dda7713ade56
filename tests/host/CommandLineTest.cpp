// The quillo-host commands, run in this process against the built module, and as the built
// program in a child process where a limit, a user or the memory of the process is the point.

#include "HostTestSupport.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <link.h>
#include <netinet/in.h>
#include <map>
#include <optional>
#include <poll.h>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "CommandLine.h"
#include "Module.h"
#include "StateFile.h"
#include "TestSignal.h"
#include "WavHeader.h"
#include "X11Window.h"

#include <X11/Xlib.h> // last: their macros (None, Status) would meet the names above
#include <X11/Xutil.h>

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

/** How the built quillo-host runs in a child process. */
struct ProgramRun
{
    rlim_t fileSizeLimit = 0;             // bytes; a write past it fails with EFBIG (0: no limit)
    bool unprivileged = false;            // as the user nobody when run as root
    std::string standardOutput;           // a path, not read back ("": a scratch file, read back;
                                          // ">>PATH": PATH opened for appending, read back;
                                          // "closed": none; "pipe" or "socket": read back; "full
                                          // pipe": a pipe nobody reads, filled but for outputRoom)
    size_t outputRoom = 0;                // bytes the "full pipe" still takes
    std::string standardInput;            // bytes fed through a pipe
    bool holdInput = false;               // keeps the pipe open after those bytes
    std::vector<std::string> environment; // NAME=VALUE, set in the child
    std::vector<int> ignoredSignals;      // set to be ignored, as nohup or a script's & does
    std::string workingFolder;            // the child's current folder ("": this process's)
};

/** A started program; Finish() waits for it. */
class Program
{
public:
    Program(std::vector<std::string> arguments, const ProgramRun& how = {})
        : mOutPath(how.standardOutput.empty()               ? Scratch("program.out")
                   : how.standardOutput.rfind(">>", 0) == 0 ? how.standardOutput.substr(2)
                                                            : how.standardOutput)
        , mReadOutput(how.standardOutput.empty() || how.standardOutput.rfind(">>", 0) == 0)
        , mErrPath(Scratch("program.err"))
    {
        arguments.insert(arguments.begin(), QUILLO_HOST_PROGRAM);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int input[2] = { -1, -1 }, outputPipe[2] = { -1, -1 };
        const bool socket = how.standardOutput == "socket";
        const bool piped = how.standardOutput == "pipe" || how.standardOutput == "full pipe" || socket;
        if (pipe(input) != 0
            || (piped
                && (socket ? socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, outputPipe)
                           : pipe2(outputPipe, O_CLOEXEC))
                       != 0))
            ADD_FAILURE() << "no pipe";
        if (how.standardOutput == "full pipe")
        {
            // One page, into which a write merges only while it fits.
            const auto size = size_t(std::max(0, fcntl(outputPipe[1], F_SETPIPE_SZ, 4096)));
            EXPECT_TRUE(size > 0 && how.outputRoom <= size) << size;
            const std::string filling(size - std::min(how.outputRoom, size), 'x');
            EXPECT_EQ(write(outputPipe[1], filling.data(), filling.size()), ssize_t(filling.size()));
        }

        const char* const mode = how.standardOutput.rfind(">>", 0) == 0 ? "a" : "w";
        mPid = fork();
        if (mPid == 0)
        {
            signal(SIGXFSZ, SIG_IGN);
            for (const int ignored : how.ignoredSignals)
                signal(ignored, SIG_IGN);
            // The program's own leaks are checked in this process (RunHost); in the child the
            // windowing and OpenGL libraries' memory would count against it unsuppressed.
            setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            for (const std::string& variable : how.environment)
                putenv(strdup(variable.c_str()));
            const rlimit limit { how.fileSizeLimit, how.fileSizeLimit }, noCore { 0, 0 };
            const bool output = how.standardOutput == "closed" ? close(STDOUT_FILENO) == 0
                              : piped                          ? dup2(outputPipe[1], STDOUT_FILENO) == STDOUT_FILENO
                                                               : freopen(mOutPath.c_str(), mode, stdout) != nullptr;
            if (dup2(input[0], STDIN_FILENO) < 0 || close(input[1]) != 0 || !output
                || !freopen(mErrPath.c_str(), "w", stderr) || setrlimit(RLIMIT_CORE, &noCore) != 0
                || (how.fileSizeLimit > 0 && setrlimit(RLIMIT_FSIZE, &limit) != 0)
                || (!how.workingFolder.empty() && chdir(how.workingFolder.c_str()) != 0)
                || (how.unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)))
                _exit(126);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(input[0]);
        mInput = input[1];
        if (piped)
        {
            close(outputPipe[1]);
            mOutput = outputPipe[0];
            if (how.standardOutput != "full pipe")
                mCollector = std::thread([this] {
                    char buffer[65536];
                    for (ssize_t got; (got = read(mOutput, buffer, sizeof(buffer))) > 0;)
                        mCollected.append(buffer, size_t(got));
                });
        }
        mHoldInput = how.holdInput;
        mFeeder = std::thread([fd = mInput, bytes = how.standardInput, hold = how.holdInput] {
            // A program that stops reading early is no reason for this process to die.
            sigset_t broken;
            sigemptyset(&broken);
            sigaddset(&broken, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &broken, nullptr);
            for (size_t done = 0; done < bytes.size();)
            {
                const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
                if (written <= 0)
                    break;
                done += size_t(written);
            }
            if (!hold)
                close(fd);
        });
    }

    ~Program()
    {
        if (mPid > 0)
            Finish();
    }

    pid_t Pid() const { return mPid; }

    /** What the kernel says the program waits in ("pipe_write" and the like). */
    std::string Waiting() const { return ReadText("/proc/" + std::to_string(mPid) + "/wchan"); }

    /** The exit code (128 + the signal's number for a signal), what was printed, peak memory. */
    Outcome Finish()
    {
        int status = 0;
        rusage usage {};
        wait4(mPid, &status, 0, &usage);
        mPid = -1;
        mFeeder.join();
        if (mHoldInput)
            close(mInput);
        if (mCollector.joinable())
            mCollector.join();
        const bool piped = mOutput >= 0;
        if (piped)
            close(mOutput);
        return { WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                 piped         ? mCollected
                 : mReadOutput ? ReadText(mOutPath)
                               : "",
                 ReadText(mErrPath), usage.ru_maxrss };
    }

private:
    std::string mOutPath;
    bool mReadOutput;
    std::string mErrPath;
    pid_t mPid = -1;
    int mInput = -1;
    bool mHoldInput = false;
    int mOutput = -1; // a pipe's end, read by mCollector or by nobody
    std::string mCollected;
    std::thread mFeeder, mCollector;
};

Outcome RunProgram(const std::vector<std::string>& arguments, const ProgramRun& how = {})
{
    return Program(arguments, how).Finish();
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

/** An Xvfb with `screen` ("1280x800x24"), and GLX, and any further `options` ("-extension",
    "Composite"): -displayfd lets it take a free number and say which, so that test runs side by
    side never meet on one server. Ended with the object, or by Stop(). */
class XServer
{
public:
    explicit XServer(const std::string& screen, std::vector<std::string> options = {})
    {
        int pipeEnds[2] = { -1, -1 };
        EXPECT_EQ(pipe(pipeEnds), 0);
        const std::string fd = std::to_string(pipeEnds[1]);
        options.insert(options.begin(), { "Xvfb", "-displayfd", fd, "-screen", "0", screen, "+extension", "GLX" });
        options.insert(options.begin() + 8, "-noreset");
        std::vector<char*> argv;
        for (auto& option : options)
            argv.push_back(option.data());
        argv.push_back(nullptr);
        mPid = fork();
        if (mPid == 0)
        {
            close(pipeEnds[0]);
            // Nothing of it in this process's output: a server left behind would hold a pipe open.
            if (freopen("/dev/null", "w", stderr) == nullptr || freopen("/dev/null", "w", stdout) == nullptr)
                _exit(126);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(pipeEnds[1]);
        std::string number;
        for (char c = 0; read(pipeEnds[0], &c, 1) == 1 && c != '\n';)
            number += c;
        close(pipeEnds[0]);
        EXPECT_FALSE(number.empty()) << "Xvfb " << screen << " did not start";
        mName = ":" + number;
    }

    ~XServer() { Stop(SIGTERM); }

    /** Ends the server with `signalNumber` and waits until it is gone. */
    void Stop(int signalNumber)
    {
        if (mPid <= 0)
            return;
        kill(mPid, signalNumber);
        waitpid(mPid, nullptr, 0);
        mPid = -1;
    }

    const std::string& Name() const { return mName; }

private:
    pid_t mPid = -1;
    std::string mName;
};

/** The editor's window on `display`, once it is there (the top-level window named "Quillo"),
    mapped and, when `withView`, holding a mapped child window: the plug-in's view. 0 when that
    takes more than 30 s. */
Window EditorWindow(Display* display, bool withView)
{
    for (int wait = 0; wait < 3000; ++wait, usleep(10000))
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
            continue;
        Window found = 0;
        for (unsigned int i = 0; i < count && found == 0; ++i)
        {
            char* name = nullptr;
            if (XFetchName(display, children[i], &name) != 0 && name != nullptr)
            {
                found = std::string(name) == "Quillo" ? children[i] : 0;
                XFree(name);
            }
        }
        if (children != nullptr)
            XFree(children);
        XWindowAttributes attributes {};
        if (found == 0 || XGetWindowAttributes(display, found, &attributes) == 0 || attributes.map_state != IsViewable)
            continue;
        if (!withView)
            return found;
        children = nullptr;
        count = 0;
        XQueryTree(display, found, &root, &parent, &children, &count);
        bool viewShown = false;
        for (unsigned int i = 0; i < count; ++i)
            viewShown = viewShown
                     || (XGetWindowAttributes(display, children[i], &attributes) != 0
                         && attributes.map_state == IsViewable);
        if (children != nullptr)
            XFree(children);
        if (viewShown)
            return found;
    }
    return 0;
}

/** What the window manager of a test does to the windows it maps. */
struct Managing
{
    int x = 0, y = 0, width = 0, height = 0; // the cover; none when width is 0
    int resizeWidth = 0, resizeHeight = 0;   // the size each window is given; none when 0
    bool honoursHints = false;               // the size is kept within the window's size hints
};

/** The window manager of a display while the object lives: it shows a window of one colour
    (kColour, named "Cover") at the given place, and maps each top-level window that asks only
    after stacking it under that one, so that a window it maps is covered from the moment it
    shows, with no race against the command that made it. Where asked, it first resizes the
    window, as a tiling manager does. Other requests are granted, below the cover. */
class CoveringManager
{
public:
    static constexpr unsigned long kColour = 0xFF00FF; // magenta, on the tests' 24-bit screens

    CoveringManager(const std::string& displayName, const Managing& managing)
        : mManaging(managing)
    {
        aaxhost::X11Window::PrepareXlib(); // an error (a window gone meanwhile) is only counted
        mDisplay = XOpenDisplay(displayName.c_str());
        if (mDisplay == nullptr)
        {
            ADD_FAILURE() << "cannot open " << displayName;
            return;
        }
        const Window root = DefaultRootWindow(mDisplay);
        XSetWindowAttributes attributes {};
        attributes.background_pixel = kColour;
        if (managing.width > 0)
        {
            mCover = XCreateWindow(mDisplay, root, managing.x, managing.y, unsigned(managing.width),
                                   unsigned(managing.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                   CWBackPixel, &attributes);
            XStoreName(mDisplay, mCover, "Cover");
        }
        XSelectInput(mDisplay, root, SubstructureRedirectMask);
        if (mCover != 0)
            XMapWindow(mDisplay, mCover); // a manager's own requests are not redirected to it
        XSync(mDisplay, False);
        mThread = std::thread([this] { Manage(); });
    }

    ~CoveringManager()
    {
        mStop = true;
        if (mThread.joinable())
            mThread.join();
        if (mDisplay != nullptr)
            XCloseDisplay(mDisplay);
    }

    /** The windows mapped under the cover so far. */
    int Mapped() const { return mMapped.load(); }

private:
    void Manage()
    {
        while (!mStop)
        {
            while (XPending(mDisplay) > 0)
            {
                XEvent event;
                XNextEvent(mDisplay, &event);
                XWindowChanges changes {};
                if (event.type == MapRequest)
                {
                    const Window window = event.xmaprequest.window;
                    unsigned int mask = 0;
                    if (mCover != 0)
                    {
                        changes.sibling = mCover;
                        changes.stack_mode = Below;
                        mask |= CWSibling | CWStackMode;
                    }
                    if (mManaging.resizeWidth > 0)
                    {
                        changes.width = mManaging.resizeWidth;
                        changes.height = mManaging.resizeHeight;
                        XSizeHints hints {};
                        long supplied = 0;
                        if (mManaging.honoursHints && XGetWMNormalHints(mDisplay, window, &hints, &supplied) != 0
                            && (hints.flags & (PMinSize | PMaxSize)) == (PMinSize | PMaxSize))
                        {
                            changes.width = std::clamp(changes.width, hints.min_width, hints.max_width);
                            changes.height = std::clamp(changes.height, hints.min_height, hints.max_height);
                        }
                        mask |= CWWidth | CWHeight;
                    }
                    XConfigureWindow(mDisplay, window, mask, &changes);
                    XMapWindow(mDisplay, window);
                    XSync(mDisplay, False);
                    ++mMapped;
                }
                else if (event.type == ConfigureRequest)
                {
                    const XConfigureRequestEvent& request = event.xconfigurerequest;
                    changes.x = request.x;
                    changes.y = request.y;
                    changes.width = request.width;
                    changes.height = request.height;
                    changes.border_width = request.border_width;
                    XConfigureWindow(mDisplay, request.window,
                                     unsigned(request.value_mask & (CWX | CWY | CWWidth | CWHeight | CWBorderWidth)),
                                     &changes);
                    XSync(mDisplay, False);
                }
            }
            pollfd wake { ConnectionNumber(mDisplay), POLLIN, 0 };
            poll(&wake, 1, 10);
        }
    }

    Managing mManaging;
    Display* mDisplay = nullptr;
    Window mCover = 0;
    std::atomic<bool> mStop { false };
    std::atomic<int> mMapped { 0 };
    std::thread mThread;
};

/** The number of colours in a PNG file of 800 x 250 pixels; 0 when it is missing or of another size. */
size_t ColoursIn(const std::string& path)
{
    const aaxhost::RgbImage image = ReadPng(path);
    if (image.width != 800 || image.height != 250)
        return 0;
    const auto& pixels = image.pixels;
    std::set<uint32_t> colours;
    for (size_t i = 0; i + 2 < pixels.size(); i += 3)
        colours.insert(uint32_t(pixels[i]) << 16 | uint32_t(pixels[i + 1]) << 8 | pixels[i + 2]);
    return colours.size();
}

/** The size of the file that process `pid` writes, unnamed, in `folder` (0 without one). */
int64_t UnnamedFileSize(pid_t pid, const std::string& folder)
{
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(fds, error))
    {
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        struct stat status
        {
        };
        if (target.rfind(folder + "/#", 0) == 0 && stat(entry.path().c_str(), &status) == 0)
            return status.st_size;
    }
    return 0;
}

/** A display number no server holds (no lock file, no socket). */
std::string FreeDisplay()
{
    int number = 900;
    while (access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0
           || access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0)
        ++number;
    return ":" + std::to_string(number);
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
                      shortJuce = Scratch("short-juce.qhst"), badElck = Scratch("bad-elck.qhst"),
                      nonNumbers = Scratch("non-numbers.qhst"), unknown = Scratch("unknown-chunk.qhst");
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
    // The preset went in as the host's form of the state: its category and index (0-based) and
    // "not modified" follow its values, so that the state names it.
    ASSERT_EQ(chunks[1].data.size(), 104u);
    EXPECT_EQ(std::string(chunks[1].data.begin() + 92, chunks[1].data.end()),
              std::string("\1\0\0\0\2\0\0\0\0\0\0\0", 12));
    auto unknownChunks = chunks, nonNumberChunks = chunks;
    unknownChunks[1].id = aaxhost::FourCCFromText("zzzz");
    ASSERT_TRUE(aaxhost::StateFile::Save(unknown, unknownChunks, error)) << error;
    for (size_t i = 0; i + 4 <= 92; i += 4) // the 23 values: NaN, infinity, NaN, ...
        std::memcpy(&nonNumberChunks[1].data[i], i % 8 == 0 ? "\xff\xff\xff\x7f" : "\x00\x00\x80\x7f", 4);
    ASSERT_TRUE(aaxhost::StateFile::Save(nonNumbers, nonNumberChunks, error)) << error;
    chunks[1].data.resize(103);
    ASSERT_TRUE(aaxhost::StateFile::Save(shortJuce, chunks, error)) << error;
    chunks[1].data.resize(104);
    chunks[0].data[4] = 'q'; // an unknown entry tag
    ASSERT_TRUE(aaxhost::StateFile::Save(badElck, chunks, error)) << error;

    // Input files: cut short, with two format chunks, at a rate no instance takes (other rates:
    // AudioFileTest), of 3 channels, without frames, silent, and a folder.
    const std::string cut = Scratch("cut.wav"), twoFormats = Scratch("two-formats.wav"), slow = Scratch("4000.wav"),
                      wide = Scratch("3ch.wav"), noFrames = Scratch("no-frames.wav"), silent = Scratch("silent.wav"),
                      folder = Scratch("a-folder"), zeroDeclared = Scratch("zero-declared.wav");
    mkdir(folder.c_str(), 0755);
    WriteWav(cut, aaxhost::TestSignal::Make(8000.0, 0.1, 2));
    const std::string bytes = ReadText(cut);
    WriteText(cut, bytes.substr(0, bytes.size() - 402));
    WriteText(twoFormats, WithFormatChunkTwice(bytes));
    WriteWav(slow, aaxhost::AudioData::Silence(4000.0, 1, 100));
    WriteWav(wide, aaxhost::AudioData::Silence(48000.0, 3, 100));
    WriteWav(noFrames, aaxhost::AudioData::Silence(48000.0, 2, 0));
    WriteWav(silent, aaxhost::AudioData::Silence(8000.0, 1, 100));
    WriteText(zeroDeclared, WithEmptyDataChunk(ReadText(silent)));

    const struct
    {
        std::vector<std::string> arguments;
        int code;
        std::string err;
        std::string out = "";
    } cases[] = {
        { {}, 2, "no command" },
        { { "dance" }, 2, "unknown command dance" },
        { { "render", "--block", "0" }, 2, "--block is 1 to 1024" },
        { { "render", "--block", "1025" }, 2, "--block is 1 to 1024" },
        { { "render", "--set", "12=1.5" }, 2, "normalised" },
        { { "render", "--channels", "3" }, 2, "--channels is 1 or 2" },
        { { "render", "--seconds", "1e400" }, 2, "--seconds is above 0" },
        { { "render", "--out", "" }, 2, "--out needs a file name" },
        { { "render", "" }, 2, "render needs an input file name (- for standard input), or none" },
        { { "render", "--presets", "" }, 2, "--presets needs a folder name" },
        { { "describe", "--module", "" }, 2, "--module needs a file name" },
        { { "render", "--seconds", "1e-9" }, 2, "--seconds 1e-09 is shorter than one frame at 48000 Hz" },
        { { "render", "--set", "12=0.5@-1" }, 2, "a --set time must not be negative" },
        { { "render", "--seconds", "0.1", "--set", "nothing=0.5" }, 2, "no parameter nothing" },
        { { "render", "--seconds", "0.5", "--set", "12=0.5@0.6" },
          2,
          "--set time 0.6s is past the end of the signal (0.5s)" },
        { { "state", "save", Scratch("timed.qhst"), "--set", "12=0.5@1" }, 2, "state save takes no --set times" },
        { { "state", "save" }, 2, "state save FILE" },
        { { "describe", "--block", "5" }, 2, "--block" },
        { { "render", "--seconds", "0.1", "--preset", "7", "1" }, 1, "there is no factory preset 7 1" },
        { { "render", "--seconds", "0.1", "--presets", folder, "--preset", "6", "1" },
          1,
          "there is no factory preset 6 1 in " + folder },
        { { "render", "--seconds", "0.1", "--presets", folder + "/none", "--preset", "6", "1" },
          1,
          "cannot read the presets folder " + folder + "/none: No such file or directory" },
        { { "render", "/nonexistent/in.wav" }, 1, "/nonexistent/in.wav: " },
        { { "render", twoFormats }, 1, twoFormats + ": 2 format chunks" },
        { { "render", slow },
          1,
          slow + ": the file's sample rate of 4000 Hz is outside the accepted 8000 to 384000 Hz" },
        { { "render", folder }, 1, folder + ": is a folder" },
        { { "state", "load", folder }, 1, folder + ": is a folder" },
        { { "render", noFrames, "--out", "/dev/null" }, 0, "warning: " + noFrames + " holds no frames", "Wrote" },
        { { "render", zeroDeclared, "--out", "/dev/null" },
          0,
          "warning: " + zeroDeclared + ": the data chunk declares 0 frames, but bytes follow it; rendering none",
          "Wrote" },
        { { "render", silent, "--out", "/dev/null" }, 0, "", "Peak mono        in    -inf dBFS   out    -inf dBFS" },
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
        { { "state", "load", unknown },
          1,
          unknown + ": holds a chunk 'zzzz' that the instance does not have (it has 'elck', 'juce')" },
        { { "state", "load", nonNumbers }, 0, "", "Chunk 'juce' restored; the plug-in does not compare this chunk" },
    };
    for (const auto& test : cases)
    {
        const Outcome result = RunHost(test.arguments);
        EXPECT_EQ(result.code, test.code) << test.err << "\n" << result.err;
        EXPECT_TRUE(Contains(result.err, test.err)) << test.err << " in\n" << result.err;
        EXPECT_TRUE(Contains(result.out, test.out)) << test.out << " in\n" << result.out;
        EXPECT_FALSE(Contains(result.out, "matches") && test.code != 0) << result.out;
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
    const std::string readOnly = "Permission denied in the folder " + folder;
    struct Case
    {
        size_t writer;
        std::string path;
        rlim_t fileSizeLimit;
        bool unprivileged; // as nobody; the older file and the folder belong to this process's user
        mode_t folderMode, fileMode;
        std::string reason;   // "": written
        bool ownFile = false; // the older file belongs to nobody
    };
    std::vector<Case> cases {
        { 0, "/dev/full", 0, false, 0755, 0644, "No space left on device" },
        { 1, "/dev/full", 0, false, 0755, 0644, "No space left on device" },
        { 2, "/dev/full", 0, false, 0755, 0644, "No space left on device" },
        { 0, older, 4096, false, 0755, 0644, "File too large" },
        { 1, older, 512, false, 0755, 0644, "File too large" },
        { 2, older, 4096, false, 0755, 0644, "File too large" },
        { 0, older, 0, true, 0555, 0666, readOnly },
        { 1, older, 0, true, 0555, 0666, readOnly },
        { 0, older, 0, true, 0777, 0444, "Permission denied" }, // as "> older" would be
        { 1, older, 0, true, 0777, 0444, "Permission denied" },
    };
    if (geteuid() == 0) // only another user meets a file of this one's in a sticky folder
    {
        cases.push_back({ 0, older, 0, true, 01777, 0666,
                          "Operation not permitted in the folder " + folder
                              + ": it is sticky, and the file belongs to another user" });
        cases.push_back({ 0, older, 0, true, 01777, 0666, "", true }); // one's own file there is replaced
    }
    for (const auto& test : cases)
    {
        SCOPED_TRACE(writers[test.writer][0] + " to " + test.path + (test.unprivileged ? " as nobody" : ""));
        chmod(folder.c_str(), 0755);
        chmod(older.c_str(), 0644);
        WriteText(older, "old");
        EXPECT_EQ(chown(older.c_str(), test.ownFile ? 65534 : geteuid(), test.ownFile ? 65534 : getegid()), 0);
        chmod(older.c_str(), test.fileMode);
        chmod(folder.c_str(), test.folderMode);
        auto arguments = writers[test.writer];
        arguments.push_back(test.path);
        // The size limit would also stop the report, which goes out before the file is replaced.
        ProgramRun how;
        how.fileSizeLimit = test.fileSizeLimit;
        how.unprivileged = test.unprivileged;
        how.standardOutput = test.fileSizeLimit > 0 ? "/dev/null" : "";
        const Outcome result = RunProgram(arguments, how);
        const bool written = test.reason.empty();
        EXPECT_TRUE(written ? result.code == 0
                            : result.code == 1
                                  && Contains(result.err, "cannot write " + test.path + ": " + test.reason + "\n"))
            << result.err;
        EXPECT_EQ(Contains(result.out, "Wrote"), written) << result.out;
        EXPECT_EQ(ReadText(older).substr(0, 4), written ? "RIFF" : "old");
        const auto files = std::distance(std::filesystem::directory_iterator(folder),
                                         std::filesystem::directory_iterator());
        EXPECT_EQ(files, 1) << "a temporary file was left";
    }
    chmod(folder.c_str(), 0755);
}

namespace
{
/** The file the loader loaded as `name` ("libm.so.6") in this process. */
std::string LoadedFile(const char* name)
{
    void* const handle = dlopen(name, RTLD_NOLOAD | RTLD_LAZY);
    link_map* map = nullptr;
    std::string path;
    if (handle != nullptr && dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr)
        path = map->l_name;
    if (handle != nullptr)
        dlclose(handle);
    return path;
}

/** `module` with `count` bytes from `offset` on replaced by a fixed pattern of garbage. */
std::string Garbled(std::string module, size_t offset, size_t count)
{
    uint32_t state = 0x2545f491u;
    for (size_t index = offset; index < offset + count && index < module.size(); ++index)
    {
        state = state * 1664525u + 1013904223u;
        module[index] = char(state >> 24);
    }
    return module;
}

/** The program headers of the segments of `type` in the ELF image `module`. */
std::vector<ElfW(Phdr)> SegmentsOf(const std::string& module, uint32_t type)
{
    ElfW(Ehdr) header {};
    std::memcpy(&header, module.data(), sizeof(header));
    std::vector<ElfW(Phdr)> segments;
    for (unsigned index = 0; index < header.e_phnum; ++index)
    {
        ElfW(Phdr) segment {};
        std::memcpy(&segment, module.data() + header.e_phoff + index * sizeof(segment), sizeof(segment));
        if (segment.p_type == type)
            segments.push_back(segment);
    }
    return segments;
}

/** `module` with its first needed library named "./" and the rest of its name, a file of the
    current folder, whose name is returned through `fileName`. */
std::string NeedingLocalFile(std::string module, std::string& fileName)
{
    const ElfW(Phdr) dynamic = SegmentsOf(module, PT_DYNAMIC).at(0);
    ElfW(Addr) strings = 0;
    size_t needed = 0;
    for (size_t at = dynamic.p_offset; at + sizeof(ElfW(Dyn)) <= dynamic.p_offset + dynamic.p_filesz;
         at += sizeof(ElfW(Dyn)))
    {
        ElfW(Dyn) entry {};
        std::memcpy(&entry, module.data() + at, sizeof(entry));
        if (entry.d_tag == DT_STRTAB)
            strings = entry.d_un.d_ptr;
        else if (entry.d_tag == DT_NEEDED && needed == 0)
            needed = entry.d_un.d_val;
    }
    for (const ElfW(Phdr) & segment : SegmentsOf(module, PT_LOAD))
        if (strings >= segment.p_vaddr && strings < segment.p_vaddr + segment.p_filesz)
        {
            char* const name = &module[strings - segment.p_vaddr + segment.p_offset + needed];
            fileName = name + 2;
            name[0] = '.';
            name[1] = '/';
        }
    return module;
}
} // namespace

TEST(CommandLineTest, ADamagedModuleIsRefusedAndAFailedStandardOutputIsAFailure)
{
    // Copies of the module cut short, as a copy that was broken off leaves them: loading one
    // would map segments past the end of the file and die of SIGBUS.
    const std::string module = ReadText(QUILLO_TEST_MODULE), state = Scratch("stdout.qhst");
    ASSERT_GT(module.size(), size_t(2) << 20);
    ASSERT_EQ(RunHost({ "state", "save", state }).code, 0);
    std::vector<std::string> copies;
    for (const size_t size : { size_t(0), size_t(1024), size_t(64) << 10, size_t(2) << 20 })
    {
        copies.push_back(Scratch("cut-" + std::to_string(size) + ".so"));
        WriteText(copies.back(), module.substr(0, size));
    }
    // Copies of full length that are damaged where the loader looks, which checks of the file's
    // size and headers cannot see: the loader would crash on them (SIGSEGV) in the host. A copy
    // that was preallocated and then broken off keeps its first 64 KiB and zeros after them; one
    // whose zeros start past the last loaded byte (symbols, debugging data) loads as the module.
    const std::string zeroTail = Scratch("zero-tail.so"), zeroUnloaded = Scratch("zero-unloaded.so"),
                      badDynamic = Scratch("bad-dynamic.so"), noHeaders = Scratch("no-program-headers.so");
    const auto zerosFrom = [&](size_t offset) {
        return module.substr(0, offset) + std::string(module.size() - offset, '\0');
    };
    WriteText(zeroTail, zerosFrom(64 << 10));
    size_t loadedEnd = 0;
    for (const ElfW(Phdr) & segment : SegmentsOf(module, PT_LOAD))
        loadedEnd = std::max(loadedEnd, size_t(segment.p_offset + segment.p_filesz));
    ASSERT_LT(loadedEnd, module.size());
    WriteText(zeroUnloaded, zerosFrom(loadedEnd));
    const std::string cutAtLoadedEnd = Scratch("cut-at-loaded-end.so");
    WriteText(cutAtLoadedEnd, module.substr(0, loadedEnd));
    const auto dynamic = SegmentsOf(module, PT_DYNAMIC);
    ASSERT_EQ(dynamic.size(), 1u);
    WriteText(badDynamic, Garbled(module, dynamic[0].p_offset, dynamic[0].p_filesz));
    std::string headless = module;
    const ElfW(Half) none = 0;
    std::memcpy(&headless[offsetof(ElfW(Ehdr), e_phnum)], &none, sizeof(none));
    WriteText(noHeaders, headless);

    // A path without a slash names the file in the current folder, not one on the library path:
    // a good copy loads from its folder, and libm.so.6 is the file there or nothing, never the
    // system's library (which lacks the entry points a module exports): a copy of the module
    // named so loads as the module.
    const std::string bare = Scratch("bare"), withLibm = Scratch("with-libm"), withoutLibm = Scratch("without-libm"),
                      moduleAsLibm = Scratch("module-as-libm");
    for (const std::string& folder : { bare, withLibm, withoutLibm, moduleAsLibm })
        ASSERT_TRUE(std::filesystem::create_directory(folder));
    WriteText(bare + "/Quillo.so", module);
    WriteText(moduleAsLibm + "/libm.so.6", module);
    const std::string systemLibm = LoadedFile("libm.so.6");
    ASSERT_FALSE(systemLibm.empty());
    WriteText(withLibm + "/libm.so.6", ReadText(systemLibm));

    const std::string full = "cannot write standard output: No space left on device",
                      rendered = Scratch("stdout-closed.wav"),
                      damaged = ": the file is damaged, or the module crashes as it loads";
    const struct
    {
        std::vector<std::string> arguments;
        std::string standardOutput;
        std::string err; // "": none expected
        std::string workingFolder = "";
        int code = 1;
        std::string out = "";
        rlim_t fileSizeLimit = 0;
        std::vector<int> ignoredSignals = {};
    } cases[] = {
        { { "describe", "--module", copies[0] }, "", "cannot load " + copies[0] + ": not an ELF file" },
        { { "describe", "--module", copies[1] }, "", "cannot load " + copies[1] + ": its loadable segment 0 ends at" },
        { { "describe", "--module", copies[2] }, "", "cannot load " + copies[2] + ": its loadable segment" },
        { { "describe", "--module", cutAtLoadedEnd }, "", "", "", 0, "Module           " + cutAtLoadedEnd + "\n" },
        { { "render", "--module", copies[3] }, "", "cannot load " + copies[3] + ": its loadable segment" },
        { { "describe", "--module", zeroTail },
          "",
          "cannot load " + zeroTail + ": a trial load died of SIGSEGV" + damaged },
        { { "render", "--module", zeroTail }, "", "cannot load " + zeroTail + ": a trial load died of SIG" },
        { { "describe", "--module", zeroUnloaded }, "", "", "", 0, "Module           " + zeroUnloaded + "\n" },
        { { "describe", "--module", badDynamic }, "", "cannot load " + badDynamic + ": a trial load died of SIG" },
        { { "describe", "--module", noHeaders }, "", "cannot load " + noHeaders + ": has no program headers" },
        { { "describe", "--module", "Quillo.so" }, "", "", bare, 0, "Module           Quillo.so\n" },
        { { "describe", "--module", "libm.so.6" },
          "",
          "cannot load libm.so.6: No such file or directory",
          withoutLibm },
        { { "describe", "--module", "libm.so.6" }, "", "libm.so.6 does not export ACFRegisterPlugin", withLibm },
        { { "describe", "--module", "libm.so.6" }, "", "", moduleAsLibm, 0, "Module           libm.so.6\n" },
        { { "describe" }, "/dev/full", full },
        { { "state", "load", state }, "/dev/full", full },
        { { "render", "--seconds", "0.1", "--out", "/dev/null" }, "/dev/full", full },
        { { "help" }, "/dev/full", full },
        // 1 KiB of a longer description: a short write is no whole one.
        { { "describe" }, "", "cannot write standard output: File too large", "", 1, "", 1024 },
        // A caller that lets its children be reaped unseen: the trial load's end is still known.
        { { "describe" }, "", "", "", 0, "\nACFCanUnloadNow  0\n", 0, { SIGCHLD } },
        // A closed standard output is no place for the WAV file to take, and no command starts.
        { { "render", "--seconds", "0.1", "--out", rendered },
          "closed",
          "cannot write standard output: Bad file descriptor" },
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.arguments.back() + (test.workingFolder.empty() ? "" : " in " + test.workingFolder));
        ProgramRun how;
        how.standardOutput = test.standardOutput;
        how.workingFolder = test.workingFolder;
        how.fileSizeLimit = test.fileSizeLimit;
        how.ignoredSignals = test.ignoredSignals;
        const Outcome result = RunProgram(test.arguments, how);
        EXPECT_EQ(result.code, test.code) << result.err;
        if (test.err.empty())
            EXPECT_FALSE(Contains(result.err, "quillo-host:")) << result.err;
        else
            EXPECT_TRUE(Contains(result.err, "quillo-host: " + test.err)) << test.err << " in\n" << result.err;
        EXPECT_TRUE(Contains(result.out, test.out)) << result.out;
    }
    EXPECT_NE(access(rendered.c_str(), F_OK), 0) << "the render ran";
}

TEST(CommandLineTest, AModuleIsNeverMistakenForOneLoadedBeforeUnderTheSameDescriptor)
{
    // The loader knows a module by each name it was opened by. Held by a first Module, the module
    // also answers to the descriptor name of a second one; once that is gone, a third module whose
    // descriptor takes the same number must load its own file, not the one loaded before.
    const std::string libm = Scratch("libm-copy.so");
    WriteText(libm, ReadText(LoadedFile("libm.so.6")));
    const aaxhost::Module held(QUILLO_TEST_MODULE);
    std::make_unique<aaxhost::Module>(QUILLO_TEST_MODULE).reset();
    try
    {
        const aaxhost::Module other(libm);
        ADD_FAILURE() << "the module loaded before was taken for " << libm;
    }
    catch (const aaxhost::ModuleError& error)
    {
        EXPECT_EQ(std::string(error.what()), libm + " does not export ACFRegisterPlugin");
    }
    EXPECT_TRUE(held.Exports("ACFRegisterPlugin"));
}

TEST(CommandLineTest, ATrialLoadThatHangsEndsWithItsTimeOrAnInterruptionAndLeavesNoProcess)
{
    // A copy of the module that needs a FIFO of the current folder as a library: the loader's
    // open() of it waits for a writer, and its read then waits for bytes that never come, so the
    // trial load hangs. One program is interrupted there, the other waits out the trial's time.
    std::string fileName;
    const std::string hanging = NeedingLocalFile(ReadText(QUILLO_TEST_MODULE), fileName);
    ASSERT_FALSE(fileName.empty());
    struct Hang
    {
        std::string folder;
        std::unique_ptr<Program> program;
        int writer = -1;
        pid_t trial = 0;
    } hangs[2];
    const auto started = std::chrono::steady_clock::now();
    for (int index = 0; index < 2; ++index)
    {
        Hang& hang = hangs[index];
        hang.folder = Scratch("hang-" + std::to_string(index));
        ASSERT_TRUE(std::filesystem::create_directory(hang.folder));
        WriteText(hang.folder + "/hanging.so", hanging);
        ASSERT_EQ(mkfifo((hang.folder + "/" + fileName).c_str(), 0600), 0);
        ProgramRun how;
        how.workingFolder = hang.folder;
        hang.program = std::make_unique<Program>(std::vector<std::string> { "describe", "--module", "hanging.so" },
                                                 how);
    }
    for (Hang& hang : hangs)
    {
        // The FIFO takes a writer once the loader has it open for reading: the trial is in the loader.
        const std::string fifo = hang.folder + "/" + fileName;
        while ((hang.writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && errno == ENXIO
               && std::chrono::steady_clock::now() - started < std::chrono::seconds(8))
            usleep(1000);
        ASSERT_GE(hang.writer, 0) << "no trial load opened " << fifo;
        const std::string pid = std::to_string(hang.program->Pid());
        std::istringstream(ReadText("/proc/" + pid + "/task/" + pid + "/children")) >> hang.trial;
        EXPECT_GT(hang.trial, 0) << "the trial load is no child of the program";
    }

    kill(hangs[0].program->Pid(), SIGTERM);
    const Outcome interrupted = hangs[0].program->Finish();
    EXPECT_EQ(interrupted.code, 128 + SIGTERM) << interrupted.err;
    EXPECT_EQ(interrupted.err, "quillo-host: interrupted by SIGTERM\n");
    const Outcome timedOut = hangs[1].program->Finish();
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(aaxhost::Module::kTrialSeconds));
    EXPECT_EQ(timedOut.code, 1) << timedOut.err;
    EXPECT_EQ(timedOut.err, "quillo-host: cannot load hanging.so: a trial load did not finish within "
                                + std::to_string(aaxhost::Module::kTrialSeconds) + " s\n");
    for (const Hang& hang : hangs)
    {
        // Ended and reaped by the program: not even a zombie is left.
        EXPECT_TRUE(hang.trial > 0 && kill(hang.trial, 0) != 0 && errno == ESRCH) << hang.trial << " is left";
        close(hang.writer);
    }
}

TEST(CommandLineTest, EveryNameTheFolderTakesIsWritten)
{
    // Names up to the file system's 255 bytes, whatever the temporary file beside them is called.
    for (const size_t length : { 241, 242, 255 })
    {
        const std::string name = Scratch(std::string(length - 4, 'n') + ".wav");
        const Outcome result = RunHost({ "render", "--seconds", "0.01", "--out", name });
        EXPECT_EQ(result.code, 0) << length << ": " << result.err;
        EXPECT_EQ(ReadWav(name).NumFrames(), 480u) << length;
        std::remove(name.c_str());
    }
}

TEST(CommandLineTest, AWavFileThroughAPipeRendersAsTheFileDoes)
{
    // Whole, cut short, and with two format chunks: each rendered from the file, then from
    // standard input by name ("-" and /dev/stdin).
    // Besides: big-endian (RIFX) 16-bit, and a data chunk that declares 0 bytes before the audio.
    const std::string whole = Scratch("piped.wav"), cut = Scratch("piped-cut.wav"), twice = Scratch("piped-fmt.wav"),
                      bigEndian = Scratch("piped-rifx.wav"), zeroDeclared = Scratch("piped-zero.wav");
    const aaxhost::AudioData audio = aaxhost::TestSignal::Make(44100.0, 0.3, 2);
    WriteWav(whole, audio);
    const std::string bytes = ReadText(whole);
    WriteText(cut, bytes.substr(0, bytes.size() / 2 + 3));
    WriteText(twice, WithFormatChunkTwice(bytes));
    WriteText(bigEndian, WavBytes(audio, SF_FORMAT_PCM_16 | SF_ENDIAN_BIG));
    ASSERT_EQ(ReadText(bigEndian).substr(0, 4), "RIFX");
    WriteText(zeroDeclared, WithEmptyDataChunk(bytes));
    for (const std::string& file : { whole, cut, twice, bigEndian, zeroDeclared })
    {
        const std::string fromFile = Scratch("from-file.wav"), fromPipe = Scratch("from-pipe.wav");
        const Outcome expected = RunProgram({ "render", file, "--out", fromFile });
        for (const char* name : { "-", "/dev/stdin" })
        {
            SCOPED_TRACE(file + " as " + name);
            ProgramRun how;
            how.standardInput = ReadText(file);
            const Outcome result = RunProgram({ "render", name, "--out", fromPipe }, how);
            EXPECT_EQ(result.code, expected.code) << result.err;
            // The host's own lines, in whatever order they came among the plug-in's.
            const auto hostLines = [](const std::string& text) {
                std::multiset<std::string> lines;
                std::istringstream in(text);
                for (std::string line; std::getline(in, line);)
                    if (line.rfind("quillo-host: ", 0) == 0)
                        lines.insert(line);
                return lines;
            };
            std::string err = expected.err;
            for (size_t at; (at = err.find(file)) != std::string::npos;)
                err.replace(at, file.size(), name);
            EXPECT_EQ(hostLines(result.err), hostLines(err));
            if (expected.code == 0)
            {
                EXPECT_EQ(ReadText(fromPipe), ReadText(fromFile));
            }
            std::remove(fromPipe.c_str());
        }
    }
}

TEST(CommandLineTest, AudioThroughPipesDeclaresWhatIsKnownAndAStreamSaysWhatItsEndCutOff)
{
    const std::string file = Scratch("to-pipe.wav"), rendered = Scratch("to-pipe-out.wav");
    WriteWav(file, aaxhost::TestSignal::Make(44100.0, 0.3, 2)); // 13230 frames
    const std::string bytes = ReadText(file);
    ASSERT_EQ(RunProgram({ "render", file, "--out", rendered }).code, 0);
    const std::string expected = ReadText(rendered);
    // The RIFF and data chunk sizes as a header of `frames` stereo floats gives them (0xFFFFFFFF
    // where they do not fit), or as a writer that could not go back leaves them.
    const auto declaring = [&](uint64_t frames) {
        std::string patched = bytes;
        const uint64_t data = std::min<uint64_t>(frames * 8, 0xFFFFFFFF),
                       riff = std::min<uint64_t>(data + 104, 0xFFFFFFFF);
        for (size_t i = 0; i < 4; ++i)
        {
            patched[4 + i] = char(riff >> (8 * i));
            patched[patched.find("data") + 4 + i] = char(data >> (8 * i));
        }
        return patched;
    };
    const std::string undeclared = declaring(uint64_t(1) << 40), cut = bytes.substr(0, bytes.size() / 2 + 3);
    // The same floats after an RF64 header declaring 2^63 - 1 bytes (ffmpeg's and sox's headers:
    // AudioFileTest).
    const std::string hugeRf64 = FromHex("52463634 ffffffff 57415645 64733634 1c000000 ffffffffffffff7f "
                                         "ffffffffffffff7f 0000000000000000 00000000")
                               + bytes.substr(bytes.find("fmt "), 48) + FromHex("64617461 ffffffff")
                               + bytes.substr(aaxhost::WavHeader::kFloatSize);
    const auto header = [](aaxhost::WavHeader::Form form, uint64_t frames) {
        const std::vector<uint8_t> made = aaxhost::WavHeader::Float(2, 44100, frames, form);
        return std::string(made.begin(), made.end());
    };
    using Form = aaxhost::WavHeader::Form;
    const std::string announced = "the input ended after 13230 frames, and the header already sent announced ";
    const struct
    {
        std::string input;
        std::vector<std::string> arguments;
        int code;
        std::string out; // the output's first bytes; all of it when as long as the reference
        std::string err; // "": no warning
    } cases[] = {
        // A length declared is a length announced, as in the file; one not declared is not.
        { bytes, { "render", "-", "--out", "-" }, 0, expected, "" },
        { bytes, { "render", "-", "--out", "/dev/stdout" }, 0, expected, "" },
        { undeclared,
          { "render", "-", "--out", "-" },
          0,
          header(Form::kUndeclared, 0) + expected.substr(aaxhost::WavHeader::kFloatSize),
          "" },
        { undeclared, { "render", "-", "--out", rendered }, 0, "", "" },
        { hugeRf64,
          { "render", "-", "--out", rendered },
          0,
          "",
          "the data chunk declares 1152921504606846975 frames but the file holds 13230; rendering those 13230" },
        // Both sides of 4 GiB: the header goes out before the stream shows it was shorter.
        { declaring(536870897),
          { "render", "-", "--out", "-" },
          1,
          header(Form::kRiff, 536870897),
          announced + "536870897" },
        { declaring(536870898),
          { "render", "-", "--out", "-" },
          1,
          header(Form::kRf64, 536870898),
          announced + "536870898" },
        // A time the stream never reached, and one it did.
        { cut,
          { "render", "-", "--out", rendered, "--set", "12=0.5@0.25" },
          0,
          "",
          "quillo-host: warning: -: the stream ended after 0.149841s, before the time of --set 12=0.5@0.25, which "
          "was never applied" },
        { cut, { "render", "-", "--out", rendered, "--set", "12=0.5@0.14" }, 0, "", "" },
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.arguments.back() + " from " + std::to_string(test.input.size()) + " bytes");
        ProgramRun how;
        how.standardInput = test.input;
        how.standardOutput = "pipe";
        std::remove(rendered.c_str());
        const Outcome result = RunProgram(test.arguments, how);
        EXPECT_EQ(result.code, test.code) << result.err;
        EXPECT_TRUE(result.out.compare(0, test.out.size(), test.out) == 0)
            << "the output's first " << test.out.size() << " bytes differ";
        if (test.out.size() == expected.size())
        {
            EXPECT_EQ(result.out.size(), expected.size());
        }
        if (test.arguments[3] == rendered && test.input != cut)
        {
            EXPECT_EQ(ReadText(rendered), expected) << "a file learns the length a stream did not declare";
        }
        // The report goes where the audio does not.
        EXPECT_TRUE(test.code != 0 || Contains(test.arguments[3] == rendered ? result.out : result.err, "\nLatency "));
        // A stream cut short says so; one that declared nothing was cut short by nothing.
        const bool cutShort = test.input == cut || Contains(test.err, announced)
                           || Contains(test.err, "the data chunk declares");
        EXPECT_EQ(Contains(result.err, "the data chunk declares"), cutShort) << result.err;
        EXPECT_EQ(Contains(result.err, "never applied"), Contains(test.err, "never applied")) << result.err;
        EXPECT_TRUE(Contains(result.err, test.err)) << result.err;
    }
}

TEST(CommandLineTest, AnOutputGoesWhereARedirectionWouldPutItOrIsRefusedBeforeAnyWork)
{
    const std::string folder = Scratch("redirected"), made = folder + "/made.wav", link = folder + "/link.wav",
                      astray = folder + "/astray.wav", missing = folder + "/missing", older = folder + "/older.wav",
                      tooLong = folder + "/" + std::string(252, 'n') + ".wav", log = Scratch("appended.log"),
                      reference = Scratch("reference.wav");
    mkdir(folder.c_str(), 0755);
    symlink("made.wav", link.c_str());
    symlink((missing + "/x.wav").c_str(), astray.c_str());
    WriteText(older, "old");
    WriteText(log, "earlier\n");
    ASSERT_EQ(RunHost({ "render", "--seconds", "0.1", "--out", reference }).code, 0);
    const std::string rendered = ReadText(reference);
    const struct
    {
        std::vector<std::string> arguments;
        std::string standardOutput;
        int code;
        std::string err;                     // after "quillo-host: "
        std::optional<std::string> out = {}; // all that standard output holds afterwards
    } cases[] = {
        { { "render", "--seconds", "0.1", "--out", link }, "", 0, "" },
        { { "render", "--seconds", "0.1", "--out", astray },
          "",
          1,
          "cannot write " + astray + ": no folder " + missing },
        { { "state", "save", missing + "/s.qhst" },
          "",
          1,
          "cannot write " + missing + "/s.qhst: no folder " + missing },
        { { "editor", "--screenshot", missing + "/e.png" },
          "",
          1,
          "cannot write " + missing + "/e.png: no folder " + missing },
        { { "render", "--seconds", "0.1", "--out", tooLong },
          "",
          1,
          "cannot write " + tooLong + ": File name too long: the folder " + folder
              + " takes names of up to 255 bytes, and this one has 256" },
        // What is printed before "Wrote" reaches its reader before the target is replaced.
        { { "render", "--seconds", "0.1", "--out", older },
          "/dev/full",
          1,
          "cannot write standard output: No space left on device" },
        { { "state", "save", older }, "/dev/full", 1, "cannot write standard output: No space left on device" },
        // /dev/stdout is the descriptor itself, written where it stands, whatever it is.
        { { "render", "--seconds", "0.1", "--out", "/dev/stdout" }, ">>" + log, 0, "", "earlier\n" + rendered },
        { { "render", "--seconds", "0.1", "--out", "/dev/stdout" }, "socket", 0, "", rendered },
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.arguments.back());
        ProgramRun how;
        how.standardOutput = test.standardOutput;
        const Outcome result = RunProgram(test.arguments, how);
        EXPECT_EQ(result.code, test.code) << result.err;
        EXPECT_TRUE(test.err.empty() || Contains(result.err, "quillo-host: " + test.err + "\n")) << result.err;
        EXPECT_TRUE(!test.out || result.out == *test.out) << result.out.size() << " bytes";
        if (test.code != 0 && test.standardOutput.empty())
        {
            EXPECT_EQ(result.out, "") << "work was done";
        }
    }
    struct stat status
    {
    };
    EXPECT_TRUE(lstat(link.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) << "the link was replaced";
    EXPECT_EQ(ReadWav(made).NumFrames(), 4800u);
    EXPECT_EQ(ReadText(older), "old");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string> { "made.wav", "link.wav", "astray.wav", "older.wav" }));
}

TEST(CommandLineTest, OneSignalEndsACommandStuckWhereNoSafePointComes)
{
    // An X server that takes the connection and never answers: the editor waits in Xlib.
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int number = 100;
    for (; number < 400; ++number)
    {
        address.sin_port = htons(uint16_t(6000 + number));
        if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
            break;
    }
    ASSERT_EQ(listen(listener, 4), 0);
    const std::string folder = Scratch("stuck");
    mkdir(folder.c_str(), 0755);
    ProgramRun how;
    how.environment = { "DISPLAY=127.0.0.1:" + std::to_string(number) };
    Program program({ "editor", "--screenshot", folder + "/out.png" }, how);
    pollfd connecting { listener, POLLIN, 0 };
    ASSERT_EQ(poll(&connecting, 1, 30000), 1) << "the editor never reached the X server";
    const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    usleep(200000);
    const auto signalled = std::chrono::steady_clock::now();
    kill(program.Pid(), SIGTERM);
    const Outcome result = program.Finish();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - signalled;
    EXPECT_EQ(result.code, 128 + SIGTERM);
    EXPECT_TRUE(Contains(result.err, "quillo-host: interrupted by SIGTERM, and the command did not stop within 3 s: "
                                     "ended\n"))
        << result.err;
    EXPECT_TRUE(took.count() >= 3.0 && took.count() < 10.0) << took.count() << " s";
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    close(connection);
    close(listener);
}

TEST(CommandLineTest, AScreenshotIsWrittenOnlyFromADisplayTheEditorDrawsOn)
{
    // Beside the good display, one without Composite and one without GLX (where JUCE's software
    // renderer draws the view instead of Mesa's software OpenGL).
    const XServer eightBit("1280x800x8"), small("640x200x24"), good("1280x800x24"),
        flat("1280x800x24", { "-extension", "Composite" }), software("1280x800x24", { "-extension", "GLX" });
    const std::string nowhere = FreeDisplay(), png = Scratch("editor.png");
    // The editor's window is 800 x 250 at (40, 40); a cover there is stacked over it as it maps.
    const std::string lacking = " lacks the Composite extension, without which the editor's own pixels cannot be told "
                                "from those of a window over it";
    const auto resized = [&](const char* size) {
        return "the editor's window is " + std::string(size) + ", not the view's 800 x 250: something on display "
             + good.Name() + " resized it";
    };
    const struct
    {
        std::string display;
        Managing managing; // no window manager when it neither covers nor resizes
        int code;
        std::string message; // on stderr after "quillo-host: ", or on stdout for a success, whose
                             // picture is the first one of its display
        const char* seconds = "0.5";
    } cases[] = {
        { eightBit.Name(),
          {},
          1,
          "the X display " + eightBit.Name()
              + " has 8-bit colour (depth 8); the editor needs a display of 16, 24 or 32 bits" },
        { small.Name(),
          {},
          1,
          "the screen of display " + small.Name()
              + " is 640 x 200, smaller than the editor's window of 800 x 250 at (40, 40)" },
        { nowhere, {}, 1, "cannot open the X display \"" + nowhere + "\" named by DISPLAY" },
        { "", {}, 1, "no X display: set DISPLAY (an X server or Xvfb) to open an editor" },
        { good.Name(), {}, 0, "Wrote            " + png + "\n" },
        // With Composite the window's own pixels, whatever covers it.
        { good.Name(), { 40, 40, 800, 250 }, 0, "Wrote            " + png + "\n" },
        { software.Name(), {}, 0, "Wrote            " + png + "\n" },
        { software.Name(), { 40, 40, 800, 250 }, 0, "Wrote            " + png + "\n" },
        // Taken at once, the picture is still the drawn one.
        { software.Name(), {}, 0, "Wrote            " + png + "\n", "0.001" },
        // A window manager that resizes the window: only one that keeps to its size hints may.
        { good.Name(), { 0, 0, 0, 0, 300, 100 }, 1, resized("300 x 100") },
        { good.Name(), { 0, 0, 0, 0, 1000, 500 }, 1, resized("1000 x 500") },
        { good.Name(), { 0, 0, 0, 0, 300, 100, true }, 0, "Wrote            " + png + "\n" },
        // Without it the screen's pixels might be another window's.
        { flat.Name(), {}, 1, "the X server of display " + flat.Name() + lacking },
    };
    std::map<std::string, aaxhost::RgbImage> uncovered; // by display
    for (const auto& test : cases)
    {
        const Managing& managing = test.managing;
        SCOPED_TRACE("DISPLAY=" + test.display + (managing.width > 0 ? " covered" : "")
                     + (managing.resizeWidth > 0 ? " resized" : "") + " after " + test.seconds + " s");
        std::remove(png.c_str());
        std::optional<CoveringManager> manager;
        if (managing.width > 0 || managing.resizeWidth > 0)
            manager.emplace(test.display, managing);
        ProgramRun how;
        how.environment = { "DISPLAY=" + test.display, "LIBGL_ALWAYS_SOFTWARE=1" };
        const Outcome result = RunProgram({ "editor", "--seconds", test.seconds, "--screenshot", png }, how);
        EXPECT_EQ(result.code, test.code) << result.err;
        if (manager)
        {
            EXPECT_EQ(manager->Mapped(), 1) << "the editor's window was not mapped under the cover";
        }
        const std::string& message = test.message;
        if (test.code == 0)
        {
            EXPECT_TRUE(Contains(result.out, message)) << result.out;
            EXPECT_GT(ColoursIn(png), 100u) << "the editor was not drawn";
            // Without audio the editor stands still: on one display every picture of it is the
            // same to the bit, covered or not.
            const aaxhost::RgbImage picture = ReadPng(png);
            const aaxhost::RgbImage& reference = uncovered.emplace(test.display, picture).first->second;
            EXPECT_TRUE(picture.pixels == reference.pixels) << "not the picture the uncovered editor gave";
            size_t coverPixels = 0;
            for (size_t i = 0; i + 2 < picture.pixels.size(); i += 3)
                coverPixels += picture.pixels[i] == 0xFF && picture.pixels[i + 1] == 0 && picture.pixels[i + 2] == 0xFF;
            EXPECT_EQ(coverPixels, 0u) << "the cover's colour is in the picture";
        }
        else
        {
            EXPECT_TRUE(Contains(result.err, "quillo-host: " + message + "\n")) << result.err;
            EXPECT_FALSE(Contains(result.out, "Wrote")) << result.out;
            EXPECT_NE(access(png.c_str(), F_OK), 0) << "a screenshot was written";
        }
    }
}

TEST(CommandLineTest, AnEditorWhoseXServerGoesAwayEndsNamingTheDisplayAndLeavesNothingBehind)
{
    // The server ended once the host's window is there (the plug-in is making its view in it), or
    // once the plug-in's view shows (the run loop turns).
    const struct
    {
        bool withView;
        int signalNumber;
    } cases[] = { { false, SIGTERM }, { true, SIGTERM }, { true, SIGKILL } };
    int number = 0;
    for (const auto& test : cases)
    {
        SCOPED_TRACE(std::string(test.withView ? "view shown, " : "window there, ") + strsignal(test.signalNumber));
        XServer server("1280x800x24");
        const std::string folder = Scratch("lost-" + std::to_string(++number)), target = folder + "/out.png";
        mkdir(folder.c_str(), 0755);
        WriteText(target, "old");

        ProgramRun how;
        how.environment = { "DISPLAY=" + server.Name(), "LIBGL_ALWAYS_SOFTWARE=1" };
        Program program({ "editor", "--seconds", "60", "--screenshot", target }, how);
        Display* const display = XOpenDisplay(server.Name().c_str());
        ASSERT_NE(display, nullptr);
        const Window window = EditorWindow(display, test.withView);
        XCloseDisplay(display); // before the server goes: this process would lose it too
        EXPECT_NE(window, 0u) << "the editor did not show";
        server.Stop(test.signalNumber);
        const Outcome result = program.Finish();

        EXPECT_EQ(result.code, 1) << result.err;
        EXPECT_TRUE(Contains(result.err, "quillo-host: lost the connection to the X display " + server.Name() + "\n"))
            << result.err;
        // Xlib's own words, which its default handler prints before it exits.
        EXPECT_FALSE(Contains(result.err, "XIO") || Contains(result.err, "X connection to")) << result.err;
        EXPECT_FALSE(Contains(result.out, "Wrote")) << result.out;
        EXPECT_EQ(ReadText(target), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1)
            << "a temporary file was left";
    }
}

TEST(CommandLineTest, AnInterruptedCommandLeavesNothingBehindAndExitsWithTheSignal)
{
    // Each command stopped while it writes, waits for input, waits for a reader, or waits to print;
    // by signals it catches, by signals nobody can catch, and by one its caller ignores.
    const XServer display("1280x800x24");
    enum When
    {
        kWriting,         // once its output file has grown
        kAfterASecond,    // while it waits
        kBlockedOnOutput, // while its standard output, a full pipe, takes nothing
        kBlockedAfterIt,  // while its standard output, full once the report before the commit came,
                          // takes nothing of what follows the commit
    };
    const struct
    {
        int signalNumber;
        std::vector<std::string> arguments; // the target, in a folder of its own, follows
        const char* target;                 // none: nothing follows
        When when;
        bool ignored = false; // by the caller: the command goes on
    } cases[] = {
        { SIGINT, { "render", "--seconds", "600", "--out" }, "out.wav", kWriting },
        { SIGTERM, { "render", "--seconds", "600", "--block", "64", "--out" }, "out.wav", kWriting },
        { SIGHUP, { "render", "-", "--out" }, "out.wav", kAfterASecond }, // standard input stays silent
        { SIGQUIT, { "state", "save" }, "fifo", kAfterASecond },          // no reader opens the pipe
        { SIGINT, { "editor", "--seconds", "60", "--screenshot" }, "out.png", kAfterASecond },
        { SIGINT, { "state", "load", "/dev/stdin" }, nullptr, kAfterASecond }, // the rest does not come
        { SIGTERM, { "describe" }, nullptr, kBlockedOnOutput },
        { SIGTERM, { "render", "--seconds", "0.2", "--out" }, "out.wav", kBlockedOnOutput }, // before the rename
        { SIGINT, { "state", "save" }, "out.qhst", kBlockedAfterIt },                        // after it
        { SIGKILL, { "render", "--seconds", "600", "--out" }, "out.wav", kWriting },
        { SIGUSR1, { "render", "--seconds", "600", "--out" }, "out.wav", kWriting },
        { SIGXCPU, { "render", "--seconds", "600", "--out" }, "out.wav", kWriting },
        { SIGHUP, { "state", "save" }, "fifo", kAfterASecond, true }, // then a reader comes
        { SIGINT, { "state", "save" }, "fifo", kAfterASecond, true },
    };
    // A state file's header and the start of its first chunk: a reader waits for the rest.
    const std::string whole = Scratch("interrupted.qhst");
    ASSERT_EQ(RunHost({ "state", "save", whole }).code, 0);
    const std::string partialState = ReadText(whole).substr(0, 30);
    // What state save prints before its commit, which then fills its standard output.
    ProgramRun piped;
    piped.standardOutput = "pipe";
    const std::string report = RunProgram({ "state", "save", whole }, piped).out;
    const size_t beforeCommit = report.find("Wrote");
    ASSERT_NE(beforeCommit, std::string::npos) << report;
    int number = 0;
    for (const auto& test : cases)
    {
        const std::string folder = Scratch("interrupted-" + std::to_string(++number)),
                          target = folder + "/" + (test.target != nullptr ? test.target : "");
        SCOPED_TRACE(test.arguments[0] + " and " + strsignal(test.signalNumber) + (test.ignored ? ", ignored" : ""));
        mkdir(folder.c_str(), 0755);
        if (test.target != nullptr && std::string(test.target) == "fifo")
            mkfifo(target.c_str(), 0644);
        else if (test.target != nullptr)
            WriteText(target, "old");
        const auto listing = [&] {
            std::set<std::string> names;
            for (const auto& entry : std::filesystem::directory_iterator(folder))
                names.insert(entry.path().filename().string() + " "
                             + std::to_string(entry.is_regular_file() ? entry.file_size() : 0));
            return names;
        };
        const auto before = listing();

        auto arguments = test.arguments;
        if (test.target != nullptr)
            arguments.push_back(target);
        ProgramRun how;
        how.holdInput = true;
        how.standardInput = test.arguments.size() > 1 && test.arguments[1] == "load" ? partialState : "";
        how.environment = { "DISPLAY=" + display.Name(), "LIBGL_ALWAYS_SOFTWARE=1" };
        const bool blocked = test.when == kBlockedOnOutput || test.when == kBlockedAfterIt;
        how.standardOutput = blocked ? "full pipe" : "";
        how.outputRoom = test.when == kBlockedAfterIt ? beforeCommit : 0;
        if (test.ignored)
            how.ignoredSignals = { test.signalNumber };
        Program program(arguments, how);
        for (int wait = 0; wait < 6000 && test.when == kWriting && UnnamedFileSize(program.Pid(), folder) <= 0; ++wait)
            usleep(10000);
        for (int wait = 0; wait < 6000 && blocked && !Contains(program.Waiting(), "pipe_write"); ++wait)
            usleep(10000);
        usleep(test.when == kAfterASecond ? 1000000 : 200000);
        kill(program.Pid(), test.signalNumber);
        if (test.ignored)
        {
            // Still waiting for its reader, which comes now.
            std::string state;
            const int fifo = open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            pollfd ready { fifo, POLLIN, 0 };
            char buffer[4096];
            for (ssize_t got = 1; got > 0 && poll(&ready, 1, 10000) == 1;)
                if ((got = read(fifo, buffer, sizeof(buffer))) > 0)
                    state.append(buffer, size_t(got));
            close(fifo);
            const Outcome result = program.Finish();
            EXPECT_EQ(result.code, 0) << result.err;
            EXPECT_TRUE(Contains(result.out, "Wrote")) << result.out;
            EXPECT_EQ(state.substr(0, 4), "QHST");
            continue;
        }
        const Outcome result = program.Finish();
        EXPECT_EQ(result.code, 128 + test.signalNumber) << result.err;
        if (test.when == kBlockedAfterIt)
        {
            // Nothing to interrupt any more: the grace ends it, saying what it did.
            EXPECT_TRUE(Contains(result.err, "quillo-host: interrupted by SIGINT after the output was written, and the "
                                             "command did not stop within 3 s: ended\n"))
                << result.err;
            EXPECT_EQ(ReadText(target), ReadText(whole));
            continue;
        }
        // Only what the command catches is reported; what cuts it off leaves nothing either.
        const bool caught = test.signalNumber == SIGINT || test.signalNumber == SIGTERM || test.signalNumber == SIGHUP
                         || test.signalNumber == SIGQUIT;
        const std::string reported = std::string("quillo-host: interrupted by SIG") + sigabbrev_np(test.signalNumber);
        EXPECT_EQ(Contains(result.err, reported + "\n"), caught) << result.err;
        EXPECT_FALSE(Contains(result.err, "state file") || Contains(result.err, "Interrupted system call"))
            << result.err;
        EXPECT_FALSE(Contains(result.out, "Wrote")) << result.out;
        EXPECT_EQ(listing(), before) << "the folder changed";
    }
}

TEST(CommandLineTest, TheMemoryOfARenderDoesNotGrowWithItsLength)
{
    const Outcome brief = RunProgram({ "render", "--seconds", "5", "--out", "/dev/null" });
    const Outcome longer = RunProgram({ "render", "--seconds", "120", "--out", "/dev/null" });
    ASSERT_TRUE(brief.code == 0 && longer.code == 0) << brief.err << longer.err;
    EXPECT_LT(double(longer.peakKilobytes), 1.5 * double(brief.peakKilobytes))
        << "5 s: " << brief.peakKilobytes << " KiB, 120 s: " << longer.peakKilobytes << " KiB";
}
