#include "RealtimeThread.h"

#include <cerrno>
#include <ctime>

#include <pthread.h>
#include <sched.h>

namespace aaxhost
{
RealtimeThread::RealtimeThread()
{
    sem_init(&mStart, 0, 0);
    sem_init(&mDone, 0, 0);
    mThread = std::thread([this] { Run(); });
}

RealtimeThread::~RealtimeThread()
{
    while (!WaitForJob(1000))
    {
    }
    mQuit.store(true);
    sem_post(&mStart);
    mThread.join();
    sem_destroy(&mDone);
    sem_destroy(&mStart);
}

bool RealtimeThread::Start(Job job, void* argument)
{
    if (mRunning || job == nullptr)
        return false;
    mJob = job;
    mArgument = argument;
    mRunning = true;
    sem_post(&mStart); // publishes the job to the real-time thread
    return true;
}

bool RealtimeThread::WaitForJob(int milliseconds)
{
    if (!mRunning)
        return true;

    int result = 0;
    if (milliseconds <= 0)
    {
        result = sem_trywait(&mDone);
    }
    else
    {
        timespec deadline {};
        clock_gettime(CLOCK_REALTIME, &deadline);
        deadline.tv_sec += milliseconds / 1000;
        deadline.tv_nsec += long(milliseconds % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L)
        {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
        do
            result = sem_timedwait(&mDone, &deadline);
        while (result != 0 && errno == EINTR);
    }

    if (result != 0)
        return false;
    mRunning = false;
    return true;
}

void RealtimeThread::Run()
{
    pthread_setname_np(pthread_self(), kThreadName);
    sched_param parameters {};
    parameters.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
    mRealtime.store(pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0);

    for (;;)
    {
        while (sem_wait(&mStart) != 0)
        {
        }
        if (mQuit.load())
            return;

        mJob(mArgument);

        sem_post(&mDone);
    }
}
} // namespace aaxhost
