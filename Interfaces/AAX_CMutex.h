#pragma once

/** An owner-aware lock: a thread that already holds it may lock it again without blocking (the
    nested Lock reports false and must not be paired with an Unlock), and an Unlock from a
    thread that does not hold it is ignored.

    Any thread may call it. A mutex that could not be set up gives no exclusion: Lock returns
    false and Unlock does nothing.
*/
class AAX_CMutex
{
public:
    AAX_CMutex();
    ~AAX_CMutex();

    AAX_CMutex(const AAX_CMutex&) = delete;
    AAX_CMutex& operator=(const AAX_CMutex&) = delete;

    /** Blocks until the caller holds the mutex; true when this call locked it, false when the
        caller already held it (or the mutex is unusable). */
    bool Lock();

    /** Releases the mutex when the caller holds it; otherwise does nothing. */
    void Unlock();

private:
    struct Block;
    Block* mBlock;
};
