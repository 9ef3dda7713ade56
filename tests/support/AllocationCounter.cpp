#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if ! defined (QUILLO_SANITIZED)
 #include <dlfcn.h>
 #include <pthread.h>
#endif

namespace
{
thread_local bool armed = false;

std::atomic<int64_t> allocationCount { 0 };
std::atomic<int64_t> deallocationCount { 0 };
std::atomic<int64_t> lockCount { 0 };

void noteAllocation() noexcept
{
    if (armed)
        allocationCount.fetch_add (1, std::memory_order_relaxed);
}

void noteRelease (void* p) noexcept
{
    if (armed && p != nullptr)
        deallocationCount.fetch_add (1, std::memory_order_relaxed);
}

void* allocate (std::size_t size)
{
    noteAllocation();

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    noteAllocation();
    const auto align = static_cast<std::size_t> (alignment);
    const auto rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;

    if (auto* p = std::aligned_alloc (align, rounded))
        return p;

    throw std::bad_alloc();
}

void release (void* p) noexcept
{
    noteRelease (p);
    std::free (p);
}
} // namespace

//==============================================================================
void* operator new (std::size_t size)                                            { return allocate (size); }
void* operator new[] (std::size_t size)                                          { return allocate (size); }
void* operator new (std::size_t size, std::align_val_t a)                        { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a)                      { return allocateAligned (size, a); }

void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}

void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}

void* operator new (std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    try { return allocateAligned (size, a); } catch (...) { return nullptr; }
}

void* operator new[] (std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    try { return allocateAligned (size, a); } catch (...) { return nullptr; }
}

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

//==============================================================================
#if ! defined (QUILLO_SANITIZED)
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
} // namespace

extern "C" int pthread_mutex_lock (pthread_mutex_t* mutex)
{
    if (armed)
        lockCount.fetch_add (1, std::memory_order_relaxed);

    const auto next = realLock != nullptr ? realLock : nextFunction ("pthread_mutex_lock");
    return next (mutex);
}

extern "C" int pthread_mutex_trylock (pthread_mutex_t* mutex)
{
    if (armed)
        lockCount.fetch_add (1, std::memory_order_relaxed);

    const auto next = realTryLock != nullptr ? realTryLock : nextFunction ("pthread_mutex_trylock");
    return next (mutex);
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

ScopedAllocationCounter::~ScopedAllocationCounter() noexcept
{
    armed = false;
}

int64_t ScopedAllocationCounter::allocations() const noexcept     { return allocationCount.load(); }
int64_t ScopedAllocationCounter::deallocations() const noexcept   { return deallocationCount.load(); }
int64_t ScopedAllocationCounter::locks() const noexcept           { return lockCount.load(); }

bool ScopedAllocationCounter::lockCountingAvailable() noexcept
{
   #if defined (QUILLO_SANITIZED)
    return false;
   #else
    return true;
   #endif
}

} // namespace quillo::test
