#pragma once

#include <atomic>
#include <thread>

#include <semaphore.h>

namespace aaxhost
{
/** The host's real-time thread: one thread that runs one job at a time for the thread that owns
    it (the host's main thread), as the host's audio engine runs its blocks. Handing a job over and
    back goes through semaphores, so the real-time side takes no lock and allocates nothing; what
    the job does is up to it.

    The thread asks for SCHED_FIFO; without the privilege it runs at normal priority
    (HasRealtimePriority tells). */
class RealtimeThread
{
public:
    /** The thread's name, as debuggers, profilers and /proc show it. */
    static constexpr const char* kThreadName = "quillo-audio";

    using Job = void (*)(void* argument);

    RealtimeThread();
    ~RealtimeThread();

    RealtimeThread(const RealtimeThread&) = delete;
    RealtimeThread& operator=(const RealtimeThread&) = delete;

    /** Owner thread. Hands `job` to the real-time thread and returns at once. False when a job is
        still running (nothing is started then). */
    bool Start(Job job, void* argument);

    /** Owner thread. True when the started job has finished (or none was started); then the next
        job may start. Waits at most `milliseconds` (0: only looks). */
    bool WaitForJob(int milliseconds);

    bool HasRealtimePriority() const { return mRealtime.load(); }

private:
    void Run();

    std::thread mThread;
    sem_t mStart;
    sem_t mDone;
    Job mJob = nullptr;
    void* mArgument = nullptr;
    bool mRunning = false; // owner thread only
    std::atomic<bool> mQuit { false };
    std::atomic<bool> mRealtime { false };
};
} // namespace aaxhost
