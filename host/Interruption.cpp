#include "Interruption.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace aaxhost
{
namespace
{
constexpr int kSignals[] = { SIGINT, SIGTERM, SIGHUP, SIGQUIT };

std::atomic<int> gRequested { 0 };
std::atomic<long> gMainThread { 0 };

// The handler may only read what is already there: fixed slots, each written before it is
// marked ready.
constexpr int kSlots = 8;
enum SlotState : int
{
    kFree,
    kFilling,
    kReady
};
std::atomic<int> gSlotState[kSlots];
char gSlotPath[kSlots][PATH_MAX];

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<long>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

void Handle(int signalNumber)
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
    int none = 0;
    if (!gRequested.compare_exchange_strong(none, signalNumber))
    {
        for (int slot = 0; slot < kSlots; ++slot)
            if (gSlotState[slot].load() == kReady)
                unlink(gSlotPath[slot]);
        _exit(128 + gRequested.load());
    }
    errno = savedErrno;
}
} // namespace

Interrupted::Interrupted(int signalNumber)
    : std::runtime_error("interrupted by " + Interruption::SignalName(signalNumber))
    , mSignal(signalNumber)
{
}

void Interruption::Install()
{
    gMainThread.store(syscall(SYS_gettid));
    struct sigaction action
    {
    };
    action.sa_handler = &Handle;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals)
        sigaddset(&action.sa_mask, signalNumber);
    action.sa_flags = 0; // no SA_RESTART: a blocked read or write returns EINTR
    for (const int signalNumber : kSignals)
        sigaction(signalNumber, &action, nullptr);
}

int Interruption::Requested() noexcept
{
    return gRequested.load();
}

void Interruption::ThrowIfRequested()
{
    if (const int signalNumber = Requested())
        throw Interrupted(signalNumber);
}

std::string Interruption::SignalName(int signalNumber)
{
    switch (signalNumber)
    {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    case SIGQUIT: return "SIGQUIT";
    default: return "signal " + std::to_string(signalNumber);
    }
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
