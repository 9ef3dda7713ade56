#include "AAX_CMutex.h"

#include <pthread.h>

#include <atomic>
#include <new>

struct AAX_CMutex::Block
{
    // Read by every thread that tries to lock (before it blocks), written only by the holder.
    std::atomic<pthread_t> owner { pthread_t() };
    pthread_mutex_t mutex;
};

AAX_CMutex::AAX_CMutex()
    : mBlock(new (std::nothrow) Block)
{
    if (mBlock != nullptr && pthread_mutex_init(&mBlock->mutex, nullptr) != 0)
    {
        delete mBlock;
        mBlock = nullptr;
    }
}

AAX_CMutex::~AAX_CMutex()
{
    if (mBlock == nullptr)
        return;
    pthread_mutex_destroy(&mBlock->mutex);
    delete mBlock;
}

bool AAX_CMutex::Lock()
{
    if (mBlock == nullptr)
        return false;

    const pthread_t self = pthread_self();
    if (pthread_equal(self, mBlock->owner.load()))
        return false;

    if (pthread_mutex_lock(&mBlock->mutex) != 0)
        return false;
    mBlock->owner.store(self);
    return true;
}

void AAX_CMutex::Unlock()
{
    if (mBlock == nullptr)
        return;
    if (!pthread_equal(pthread_self(), mBlock->owner.load()))
        return;

    mBlock->owner.store(pthread_t());
    pthread_mutex_unlock(&mBlock->mutex);
}
