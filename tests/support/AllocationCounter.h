#pragma once

#include <cstdint>

/**
    Counts heap allocations, heap releases and mutex locks made by one thread while armed, so
    that a test can show that a real-time path allocates nothing and takes no lock.

    Linking AllocationCounter.cpp into a test executable replaces the global operator new and
    delete (every form) and interposes pthread_mutex_lock / pthread_mutex_trylock. Only the thread
    that armed a ScopedAllocationCounter is counted, or the threads of a given name (a thread the
    test cannot run code on, such as a host's audio thread); other threads run as usual.

    Lock counting needs symbol interposition, which sanitizer runtimes already claim: under a
    sanitizer build lockCountingAvailable() is false and locks() stays 0.

    @code
    quillo::test::ScopedAllocationCounter counter;
    processor.processBlock (buffer, midi);
    EXPECT_EQ (counter.allocations(), 0);
    @endcode
*/
namespace quillo::test
{

class ScopedAllocationCounter
{
public:
    /** Starts counting on the calling thread from zero. Counters do not nest. */
    ScopedAllocationCounter() noexcept;
    /** Starts counting from zero on every thread named `threadName` (at most 15 characters, as
        pthread_setname_np takes it) instead of the calling thread. */
    explicit ScopedAllocationCounter (const char* threadName) noexcept;
    ~ScopedAllocationCounter() noexcept;

    ScopedAllocationCounter (const ScopedAllocationCounter&) = delete;
    ScopedAllocationCounter& operator= (const ScopedAllocationCounter&) = delete;

    /** Calls of any operator new (and of malloc-family functions reached through it). */
    int64_t allocations() const noexcept;
    /** Calls of any operator delete with a non-null pointer. */
    int64_t deallocations() const noexcept;
    /** Calls of pthread_mutex_lock and pthread_mutex_trylock. */
    int64_t locks() const noexcept;

    /** False in sanitizer builds, where locks are not counted. */
    static bool lockCountingAvailable() noexcept;
};

}   // namespace quillo::test
