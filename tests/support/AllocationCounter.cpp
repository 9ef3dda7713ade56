#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include <pthread.h>

#if ! defined(QUILLO_SANITIZED)
#include <dlfcn.h>
#endif

namespace
{
thread_local bool armed = false;

// Armed by name: the name is written before the flag is raised and read after it was seen.
std::atomic<bool> armedByName { false };
char armedName[16] = {};

std::atomic<int64_t> allocationCount { 0 };
std::atomic<int64_t> deallocationCount { 0 };
std::atomic<int64_t> lockCount { 0 };

bool counting() noexcept
{
    if (armed)
        return true;

    if (! armedByName.load (std::memory_order_acquire))
        return false;

    // For the calling thread itself this is one system call: no allocation, no lock.
    char name[16] = {};
    return pthread_getname_np (pthread_self(), name, sizeof (name)) == 0 && std::strcmp (name, armedName) == 0;
}

void* allocate (std::size_t size)
{
    if (counting())
        allocationCount.fetch_add (1, std::memory_order_relaxed);

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (counting())
        allocationCount.fetch_add (1, std::memory_order_relaxed);

    const auto align = static_cast<std::size_t> (alignment);

    if (auto* p = std::aligned_alloc (align, ((size == 0 ? 1 : size) + align - 1) / align * align))
        return p;

    throw std::bad_alloc();
}

template <typename Fn>
void* orNull (Fn&& fn) noexcept
{
    try
    {
        return fn();
    }
    catch (...)
    {
        return nullptr;
    }
}

void release (void* p) noexcept
{
    if (p != nullptr && counting())
        deallocationCount.fetch_add (1, std::memory_order_relaxed);

    std::free (p);
}

}   // namespace

//==============================================================================
// Every form: a sanitizer runtime replaces them all, so none may be left to it.
// clang-format off
void* operator new (std::size_t size)                                            { return allocate (size); }
void* operator new[] (std::size_t size)                                          { return allocate (size); }
void* operator new (std::size_t size, std::align_val_t a)                        { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a)                      { return allocateAligned (size, a); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept            { return orNull ([&] { return allocate (size); }); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept          { return orNull ([&] { return allocate (size); }); }
void* operator new (std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept   { return orNull ([&] { return allocateAligned (size, a); }); }
void* operator new[] (std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept { return orNull ([&] { return allocateAligned (size, a); }); }
void operator delete (void* p) noexcept                                          { release (p); }
void operator delete[] (void* p) noexcept                                        { release (p); }
void operator delete (void* p, std::size_t) noexcept                             { release (p); }
void operator delete[] (void* p, std::size_t) noexcept                           { release (p); }
void operator delete (void* p, std::align_val_t) noexcept                        { release (p); }
void operator delete[] (void* p, std::align_val_t) noexcept                      { release (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept           { release (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept         { release (p); }
void operator delete (void* p, const std::nothrow_t&) noexcept                   { release (p); }
void operator delete[] (void* p, const std::nothrow_t&) noexcept                 { release (p); }
void operator delete (void* p, std::align_val_t, const std::nothrow_t&) noexcept { release (p); }
void operator delete[] (void* p, std::align_val_t, const std::nothrow_t&) noexcept { release (p); }
// clang-format on

//==============================================================================
#if ! defined(QUILLO_SANITIZED)
namespace
{
using LockFunction = int (*) (pthread_mutex_t*);

LockFunction nextFunction (const char* name) noexcept
{
    return reinterpret_cast<LockFunction> (dlsym (RTLD_NEXT, name));
}

// Resolved before main, so that no lookup (which may lock or allocate) runs while armed.
const LockFunction realLock = nextFunction ("pthread_mutex_lock");
const LockFunction realTryLock = nextFunction ("pthread_mutex_trylock");

int countedLock (pthread_mutex_t* mutex, LockFunction real, const char* name)
{
    if (counting())
        lockCount.fetch_add (1, std::memory_order_relaxed);

    return (real != nullptr ? real : nextFunction (name)) (mutex);
}
}   // namespace

extern "C" int pthread_mutex_lock (pthread_mutex_t* mutex)
{
    return countedLock (mutex, realLock, "pthread_mutex_lock");
}
extern "C" int pthread_mutex_trylock (pthread_mutex_t* mutex)
{
    return countedLock (mutex, realTryLock, "pthread_mutex_trylock");
}
#endif

//==============================================================================
namespace quillo::test
{

ScopedAllocationCounter::ScopedAllocationCounter() noexcept
{
    allocationCount = 0;
    deallocationCount = 0;
    lockCount = 0;
    armed = true;
}

ScopedAllocationCounter::ScopedAllocationCounter (const char* threadName) noexcept
{
    allocationCount = 0;
    deallocationCount = 0;
    lockCount = 0;
    std::strncpy (armedName, threadName, sizeof (armedName) - 1);
    armedByName.store (true, std::memory_order_release);
}

ScopedAllocationCounter::~ScopedAllocationCounter() noexcept
{
    armed = false;
    armedByName.store (false, std::memory_order_release);
}

int64_t ScopedAllocationCounter::allocations() const noexcept
{
    return allocationCount.load();
}
int64_t ScopedAllocationCounter::deallocations() const noexcept
{
    return deallocationCount.load();
}
int64_t ScopedAllocationCounter::locks() const noexcept
{
    return lockCount.load();
}

bool ScopedAllocationCounter::lockCountingAvailable() noexcept
{
#if defined(QUILLO_SANITIZED)
    return false;
#else
    return true;
#endif
}

}   // namespace quillo::test
