#pragma once

class AAX_CMutex;

/** Holds an AAX_CMutex for one scope. Unlocks on leaving only when its own Lock took the mutex,
    so a guard nested on the thread that already holds it leaves the outer hold in place. */
class AAX_StLock_Guard
{
public:
    explicit AAX_StLock_Guard(AAX_CMutex& mutex);
    ~AAX_StLock_Guard();

    AAX_StLock_Guard(const AAX_StLock_Guard&) = delete;
    AAX_StLock_Guard& operator=(const AAX_StLock_Guard&) = delete;

private:
    AAX_CMutex* mMutex;
    bool mLocked;
};
