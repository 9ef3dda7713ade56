#include "Module.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Interruption.h"

namespace aaxhost
{
namespace
{
constexpr unsigned char kNativeClass = __ELF_NATIVE_CLASS == 64 ? ELFCLASS64 : ELFCLASS32;

/** Reads exactly `size` bytes at `offset`; false when the file ends first. */
bool ReadAt(int fd, void* to, size_t size, off_t offset)
{
    auto* bytes = static_cast<char*>(to);
    while (size > 0)
    {
        const ssize_t got = pread(fd, bytes, size, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= size_t(got);
        offset += got;
    }
    return true;
}

/** What is wrong with the open file `fd` as a shared object for this process, or "" when nothing
    is. The dynamic loader maps the segments a file's header names without checking that they lie
    within the file, and a mapping past the end faults on the first touch (SIGBUS): a copy that was
    cut short must be refused before it gets there. */
std::string ProblemOfSharedObject(int fd)
{
    struct stat status
    {
    };
    if (fstat(fd, &status) != 0)
        return std::strerror(errno);
    if (S_ISDIR(status.st_mode))
        return "is a folder";
    if (!S_ISREG(status.st_mode))
        return "not a regular file";

    const auto size = uint64_t(status.st_size);
    ElfW(Ehdr) header {};
    ElfW(Ehdr) own {};
    std::string problem;
    const int self = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    const bool knowOwn = self >= 0 && ReadAt(self, &own, sizeof(own), 0);
    if (self >= 0)
        close(self);

    if (!ReadAt(fd, &header, sizeof(header), 0) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        problem = "not an ELF file";
    else if (header.e_ident[EI_CLASS] != kNativeClass || (knowOwn && header.e_ident[EI_DATA] != own.e_ident[EI_DATA]))
        problem = "an ELF file of another word size or byte order than this machine's";
    else if (header.e_type != ET_DYN)
        problem = "not a shared object (ELF type " + std::to_string(header.e_type) + ")";
    else if (knowOwn && header.e_machine != own.e_machine)
        problem = "built for another machine (ELF machine " + std::to_string(header.e_machine) + ", this one is "
                + std::to_string(own.e_machine) + ")";
    else if (header.e_phnum == 0)
        problem = "has no program headers, so it has nothing to load";
    else if (header.e_phentsize != sizeof(ElfW(Phdr)))
        problem = "its program headers are of " + std::to_string(header.e_phentsize) + " bytes each, not "
                + std::to_string(sizeof(ElfW(Phdr)));
    else if (header.e_phoff > size || (size - header.e_phoff) / sizeof(ElfW(Phdr)) < header.e_phnum)
        problem = "its program headers lie outside the file of " + std::to_string(size) + " bytes (cut short?)";
    for (unsigned index = 0; problem.empty() && index < header.e_phnum; ++index)
    {
        ElfW(Phdr) segment {};
        if (!ReadAt(fd, &segment, sizeof(segment), off_t(header.e_phoff + index * sizeof(segment))))
            problem = "its program headers cannot be read";
        else if ((segment.p_type == PT_LOAD || segment.p_type == PT_DYNAMIC)
                 && (segment.p_offset > size || size - segment.p_offset < segment.p_filesz))
            problem = std::string(segment.p_type == PT_LOAD ? "its loadable segment " : "its dynamic section ")
                    + std::to_string(index) + " ends at byte " + std::to_string(segment.p_offset + segment.p_filesz)
                    + ", past the end of the file at " + std::to_string(size) + " (cut short?)";
    }
    return problem;
}

/** The name by which the loader opens the file `fd` is open on: that file, whatever its path now
    names. */
std::string NameOfOpenFile(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

/** `text` (a loader's message) with the name `from` put as `to`, the path the user knows. */
std::string Renamed(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
    {
        const size_t end = at + from.size();
        if (end < text.size() && text[end] >= '0' && text[end] <= '9') // another descriptor's name
        {
            at = end;
            continue;
        }
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

// The loader finds an object by a name it was opened by before it looks at the file a name leads
// to: were "/proc/self/fd/N" to stay attached to an object that outlived its unloading (one that
// cannot be unloaded, or one that another Module holds under a second name), opening a later
// module whose descriptor took the number N would hand back that object. A descriptor number is
// therefore handed to the loader again only once nothing loaded answers to its name.
std::mutex gNamesMutex;
std::set<int> gNamesHandedOut; // descriptor numbers whose names the loader may know

/** `fd`, or a duplicate of it (the original then closed) whose name the loader cannot know,
    reserved until ReleaseName(). -1 with errno on failure; `fd` is then left open. */
int ReserveName(int fd)
{
    const std::lock_guard<std::mutex> lock(gNamesMutex);
    int candidate = fd;
    while (gNamesHandedOut.count(candidate) > 0)
    {
        const int next = fcntl(fd, F_DUPFD_CLOEXEC, candidate + 1);
        const int error = errno;
        if (candidate != fd)
            close(candidate);
        if (next < 0)
        {
            errno = error;
            return -1;
        }
        candidate = next;
    }
    if (candidate != fd)
        close(fd);
    gNamesHandedOut.insert(candidate);
    return candidate;
}

/** Closes `fd`; its name may be used again unless it was handed to the loader (`handedOut`) and
    something loaded still answers to it. */
void ReleaseName(int fd, bool handedOut) noexcept
{
    const std::lock_guard<std::mutex> lock(gNamesMutex);
    bool stillKnown = false;
    if (handedOut)
    {
        if (void* const loaded = dlopen(NameOfOpenFile(fd).c_str(), RTLD_NOLOAD | RTLD_LAZY))
        {
            dlclose(loaded);
            stillKnown = true;
        }
        dlerror(); // nothing of this probe is reported
    }
    if (!stillKnown)
        gNamesHandedOut.erase(fd);
    close(fd);
}

/** What the child of a trial load reports as its first byte. */
constexpr char kLoaded = '+', kRefused = '-';

/** The child of a trial load: loads `name` and reports through `report`, then leaves at once,
    without exit handlers and without unloading: of the module's code, only its initialisation
    runs here. */
[[noreturn]] void LoadOnTrial(const char* name, int report, pid_t parent) noexcept
{
    // Ended with the thread that started it, and at once if that one is already gone.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(126);

    // The parent takes the user's interruptions and ends this child; a crash ends it as a crash,
    // not through a handler the parent installed, and leaves no core file behind.
    struct sigaction action
    {
    };
    sigemptyset(&action.sa_mask);
    action.sa_handler = SIG_IGN;
    for (const int signalNumber : { SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE })
        sigaction(signalNumber, &action, nullptr);
    action.sa_handler = SIG_DFL;
    for (const int signalNumber : { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGSYS, SIGTRAP })
        sigaction(signalNumber, &action, nullptr);
    const rlimit noCore { 0, 0 };
    setrlimit(RLIMIT_CORE, &noCore);
    // What the module's initialisation prints is printed once, by the load that counts; standard
    // output is a command's result.
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere >= 0)
    {
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
        close(nowhere);
    }

    char message[1024] = { kLoaded, 0 };
    if (dlopen(name, RTLD_NOW | RTLD_LOCAL) == nullptr)
    {
        const char* const reason = dlerror();
        message[0] = kRefused;
        std::strncpy(message + 1, reason != nullptr ? reason : "unknown reason", sizeof(message) - 2);
        message[sizeof(message) - 1] = 0;
    }
    // Less than a pipe's buffer: written whole, without waiting for the reader.
    const ssize_t written = write(report, message, std::strlen(message));
    _exit(written > 0 ? 0 : 125);
}

/** A child of a trial load, ended (SIGKILL) and reaped unless it was reaped already. */
struct TrialChild
{
    pid_t pid = -1;
    int report = -1; // the reading end of the child's report
    bool reaped = false;

    TrialChild() = default;
    TrialChild(const TrialChild&) = delete;
    TrialChild& operator=(const TrialChild&) = delete;
    ~TrialChild()
    {
        if (pid > 0 && !reaped)
        {
            kill(pid, SIGKILL);
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR)
            {
            }
        }
        if (report >= 0)
            close(report);
    }
};

std::string SignalText(int signalNumber)
{
    if (const char* const abbreviation = sigabbrev_np(signalNumber))
        return std::string("SIG") + abbreviation;
    return "signal " + std::to_string(signalNumber);
}

/** What went wrong when a child process loaded the open module file `fd`, or "" when it loaded
    and the child came back cleanly. Throws Interrupted (once the child is ended and reaped) when
    the user interrupts the wait. */
std::string ProblemOfTrialLoad(int fd, const std::string& path)
{
    const std::string name = NameOfOpenFile(fd);
    int ends[2] = { -1, -1 };
    if (pipe2(ends, O_CLOEXEC) != 0)
        return std::string("cannot try loading it: ") + std::strerror(errno);
    TrialChild child;
    child.report = ends[0];
    const pid_t parent = getpid();
    child.pid = fork();
    if (child.pid == 0)
        LoadOnTrial(name.c_str(), ends[1], parent);
    const int forkError = errno;
    close(ends[1]);
    if (child.pid < 0)
        return std::string("cannot try loading it: ") + std::strerror(forkError);

    // The report's end is the child's: the pipe closes when the child is gone.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(Module::kTrialSeconds);
    std::string report;
    for (;;)
    {
        Interruption::ThrowIfRequested(); // `child` ends the trial on the way out
        if (std::chrono::steady_clock::now() >= deadline)
            return "a trial load did not finish within " + std::to_string(Module::kTrialSeconds) + " s";
        pollfd ready { child.report, POLLIN, 0 };
        if (poll(&ready, 1, 250) <= 0) // a slice gone, or a signal to look at
            continue;
        char buffer[512];
        const ssize_t got = read(child.report, buffer, sizeof(buffer));
        if (got > 0)
            report.append(buffer, size_t(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(child.pid, &status, 0)) < 0 && errno == EINTR)
    {
    }
    child.reaped = true;
    const bool statusKnown = waited == child.pid; // not so when the caller ignores SIGCHLD

    const bool cleanExit = !statusKnown || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (statusKnown && WIFSIGNALED(status))
        return "a trial load died of " + SignalText(WTERMSIG(status))
             + ": the file is damaged, or the module crashes as it loads";
    if (cleanExit && report == std::string(1, kLoaded))
        return "";
    if (cleanExit && report.size() > 1 && report[0] == kRefused)
        return Renamed(report.substr(1), name, path);
    if (statusKnown && WIFEXITED(status))
        return "a trial load ended with exit status " + std::to_string(WEXITSTATUS(status))
             + " before it finished loading";
    return "a trial load ended before it finished loading";
}
} // namespace

Module::Module(const std::string& path)
    : mPath(path)
{
    try
    {
        // O_NONBLOCK: a FIFO is refused below rather than waited on.
        const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (file < 0)
            throw ModuleError("cannot load " + path + ": " + std::strerror(errno));
        mFile = ReserveName(file);
        if (mFile < 0)
        {
            const int error = errno;
            close(file);
            throw ModuleError("cannot load " + path + ": " + std::strerror(error));
        }

        std::string problem = ProblemOfSharedObject(mFile);
        if (problem.empty())
            problem = ProblemOfTrialLoad(mFile, path);
        if (!problem.empty())
            throw ModuleError("cannot load " + path + ": " + problem);

        mLoadedName = NameOfOpenFile(mFile);
        mHandle = dlopen(mLoadedName.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (mHandle == nullptr)
        {
            const char* const reason = dlerror();
            throw ModuleError("cannot load " + path + ": "
                              + (reason != nullptr ? Renamed(reason, mLoadedName, path) : "unknown reason"));
        }

        Resolve(mRegisterPlugin, "ACFRegisterPlugin", true);
        Resolve(mRegisterComponent, "ACFRegisterComponent", true);
        Resolve(mGetClassFactory, "ACFGetClassFactory", true);
        Resolve(mCanUnloadNow, "ACFCanUnloadNow", true);
        Resolve(mStartup, "ACFStartup", true);
        Resolve(mShutdown, "ACFShutdown", true);
        Resolve(mGetSDKVersion, "ACFGetSDKVersion", true);
        Resolve(mDispatchMessages, "QuilloDispatchMessages", false);
    }
    catch (...)
    {
        Release();
        throw;
    }
}

Module::~Module()
{
    Release();
}

void Module::Release() noexcept
{
    if (mHandle != nullptr)
        dlclose(mHandle);
    mHandle = nullptr;
    if (mFile >= 0)
        ReleaseName(mFile, !mLoadedName.empty());
    mFile = -1;
}

bool Module::Exports(const char* symbol) const
{
    return symbol != nullptr && dlsym(mHandle, symbol) != nullptr;
}

template <class Fn>
void Module::Resolve(Fn& fn, const char* symbol, bool required)
{
    fn = reinterpret_cast<Fn>(dlsym(mHandle, symbol));
    if (fn == nullptr && required)
        throw ModuleError(mPath + " does not export " + symbol);
}
} // namespace aaxhost
