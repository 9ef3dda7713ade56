#include "Interruption.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace aaxhost
{
namespace
{
constexpr int kSignals[] = { SIGINT, SIGTERM, SIGHUP, SIGQUIT };

// What the line that ends a command adds once its output was written.
constexpr const char* kAfterTheDecision = " after the output was written";

std::atomic<int> gRequested { 0 };
std::atomic<bool> gDecided { false };
std::atomic<long> gMainThread { 0 };
unsigned gGraceSeconds = Interruption::kGraceSeconds;

// Abandon() may only read what is already there: fixed slots, each written before it is marked
// ready.
constexpr int kSlots = 8;
enum SlotState : int
{
    kFree,
    kFilling,
    kReady
};
std::atomic<int> gSlotState[kSlots];
char gSlotPath[kSlots][PATH_MAX];

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<long>::is_always_lock_free
                  && std::atomic<bool>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

const char* ShortName(int signalNumber) noexcept
{
    switch (signalNumber)
    {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    case SIGQUIT: return "SIGQUIT";
    default: return nullptr;
    }
}

/** Appends `text` to `line` (of `size` bytes, kept terminated); async-signal-safe. */
void Append(char* line, size_t size, const char* text) noexcept
{
    size_t used = std::strlen(line);
    while (text != nullptr && *text != 0 && used + 1 < size)
        line[used++] = *text++;
    line[used] = 0;
}

void AppendNumber(char* line, size_t size, unsigned value) noexcept
{
    char digits[16];
    int count = 0;
    do
    {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < 15);
    char text[16];
    for (int i = 0; i < count; ++i)
        text[i] = digits[count - 1 - i];
    text[count] = 0;
    Append(line, size, text);
}

/** The grace is over and the command still runs. */
void GiveUp(int) noexcept
{
    const int signalNumber = gRequested.load();
    char line[160] = "quillo-host: interrupted by ";
    if (const char* const name = ShortName(signalNumber))
        Append(line, sizeof(line), name);
    else
    {
        Append(line, sizeof(line), "signal ");
        AppendNumber(line, sizeof(line), unsigned(signalNumber));
    }
    Append(line, sizeof(line), gDecided.load() ? kAfterTheDecision : "");
    Append(line, sizeof(line), ", and the command did not stop within ");
    AppendNumber(line, sizeof(line), gGraceSeconds);
    Append(line, sizeof(line), " s: ended\n");
    Interruption::Abandon(128 + signalNumber, { line });
}

void Note(int signalNumber) noexcept
{
    const int savedErrno = errno;
    const long mainThread = gMainThread.load();
    if (syscall(SYS_gettid) != mainThread)
    {
        // A signal for the process may land on any thread (the real-time one, the plug-in's
        // own); the main thread is the one whose blocking calls must return.
        syscall(SYS_tgkill, getpid(), mainThread, signalNumber);
        errno = savedErrno;
        return;
    }
    // After the decision a signal interrupts nothing, but the grace and a second signal still end
    // a command held up afterwards (its report blocked on a full pipe), saying what it did.
    int none = 0;
    if (gRequested.compare_exchange_strong(none, signalNumber))
        alarm(gGraceSeconds);
    else
    {
        // Asked twice: the user does not want to wait for the grace.
        Interruption::Abandon(128 + none, { "quillo-host: interrupted again by ", ShortName(signalNumber),
                                            gDecided.load() ? kAfterTheDecision : nullptr, ": ended\n" });
    }
    errno = savedErrno;
}
} // namespace

Interrupted::Interrupted(int signalNumber)
    : std::runtime_error("interrupted by " + Interruption::SignalName(signalNumber))
    , mSignal(signalNumber)
{
}

void Interruption::Install(unsigned graceSeconds)
{
    gMainThread.store(syscall(SYS_gettid));
    gGraceSeconds = graceSeconds;
    gRequested.store(0);
    gDecided.store(false);

    struct sigaction action
    {
    };
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals)
        sigaddset(&action.sa_mask, signalNumber);
    action.sa_flags = 0; // no SA_RESTART: a blocked read or write returns EINTR

    action.sa_handler = &GiveUp;
    sigaction(SIGALRM, &action, nullptr);
    sigset_t alarmSignal;
    sigemptyset(&alarmSignal);
    sigaddset(&alarmSignal, SIGALRM);
    pthread_sigmask(SIG_UNBLOCK, &alarmSignal, nullptr);

    action.sa_handler = &Note;
    for (const int signalNumber : kSignals)
    {
        struct sigaction previous
        {
        };
        // What the caller chose to ignore (nohup, a script's background job) stays ignored.
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signalNumber, &action, nullptr);
    }
}

int Interruption::Requested() noexcept
{
    return gRequested.load();
}

int Interruption::Pending() noexcept
{
    return gDecided.load() ? 0 : gRequested.load();
}

void Interruption::ThrowIfRequested()
{
    if (const int signalNumber = Pending())
        throw Interrupted(signalNumber);
}

bool Interruption::Commit(const std::function<bool()>& act)
{
    sigset_t held, previous;
    sigemptyset(&held);
    for (const int signalNumber : kSignals)
        sigaddset(&held, signalNumber);
    pthread_sigmask(SIG_BLOCK, &held, &previous);
    struct Restore
    {
        sigset_t mask;
        ~Restore() { pthread_sigmask(SIG_SETMASK, &mask, nullptr); }
    } restore { previous };

    // From here on a signal waits until the decision is made.
    ThrowIfRequested();
    const bool done = act();
    if (done)
        gDecided.store(true);
    return done;
}

std::string Interruption::SignalName(int signalNumber)
{
    if (const char* const name = ShortName(signalNumber))
        return name;
    return "signal " + std::to_string(signalNumber);
}

void Interruption::Abandon(int exitCode, std::initializer_list<const char*> line) noexcept
{
    for (int slot = 0; slot < kSlots; ++slot)
        if (gSlotState[slot].load() == kReady)
            unlink(gSlotPath[slot]);
    for (const char* part : line)
        for (size_t left = part != nullptr ? std::strlen(part) : 0; left > 0;)
        {
            const ssize_t written = write(STDERR_FILENO, part, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                break;
            part += written;
            left -= size_t(written);
        }
    _exit(exitCode);
}

int Interruption::RegisterTemporary(const std::string& path) noexcept
{
    if (path.empty() || path.size() >= PATH_MAX)
        return -1;
    for (int slot = 0; slot < kSlots; ++slot)
    {
        int state = kFree;
        if (gSlotState[slot].compare_exchange_strong(state, kFilling))
        {
            std::memcpy(gSlotPath[slot], path.c_str(), path.size() + 1);
            gSlotState[slot].store(kReady);
            return slot;
        }
    }
    return -1;
}

void Interruption::UnregisterTemporary(int slot) noexcept
{
    if (slot >= 0 && slot < kSlots)
        gSlotState[slot].store(kFree);
}
} // namespace aaxhost
