// The library's objects shared between threads: reference counts, the owner-aware mutex and the
// packet dispatcher. Run under ThreadSanitizer too.

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CMutex.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_StLock_Guard.h"
#include "AAX_VController.h"
#include "ACF/CACFUnknown.h"

namespace
{
template <class Body>
void OnThreads(int count, Body body)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t)
        threads.emplace_back(body, t);
    for (auto& thread : threads)
        thread.join();
}

struct Counted : CACFUnknown
{
    explicit Counted(int& destructions)
        : destructions(destructions)
    {
    }
    ~Counted() override { ++destructions; }
    using CACFUnknown::GetRefCount;
    int& destructions;
};
} // namespace

TEST(ObjectModelThreads, ConcurrentReferencesDeleteExactlyOnce)
{
    int destructions = 0;
    auto* object = new Counted(destructions);
    object->InternalAddRef(); // the test's own reference keeps it alive while threads churn
    OnThreads(8, [object](int) {
        for (int i = 0; i < 10000; ++i)
        {
            object->InternalAddRef();
            object->InternalRelease();
        }
    });
    EXPECT_EQ(object->GetRefCount(), 1u);
    EXPECT_EQ(destructions, 0);
    object->InternalRelease();
    EXPECT_EQ(destructions, 1);
}

TEST(MutexThreads, IsOwnerAwareAndSerialisesThreads)
{
    AAX_CMutex mutex;
    const auto lockedElsewhere = [&] {
        bool locked = false;
        std::thread([&] { locked = mutex.Lock() && (mutex.Unlock(), true); }).join();
        return locked;
    };
    EXPECT_TRUE(mutex.Lock());
    EXPECT_FALSE(mutex.Lock());                  // already held by this thread: no second hold
    std::thread([&] { mutex.Unlock(); }).join(); // another thread's Unlock is ignored
    EXPECT_FALSE(mutex.Lock());
    mutex.Unlock(); // one Unlock releases it for everyone
    EXPECT_TRUE(lockedElsewhere());

    int counter = 0; // deliberately not atomic: only the mutex protects it
    OnThreads(4, [&](int) {
        for (int i = 0; i < 2000; ++i)
        {
            AAX_StLock_Guard guard(mutex);
            ++counter;
        }
    });
    EXPECT_EQ(counter, 8000);
}

namespace
{
/** Marks packet b dirty from inside the dispatch of packet a. */
struct Marker
{
    AAX_CPacketDispatcher* dispatcher;
    AAX_Result Mark(AAX_CParamID id, AAX_CPacket& packet)
    {
        std::memcpy(packet.GetPtr<int32_t>(), id, 4);
        if (std::strcmp(id, "a") == 0)
            dispatcher->SetDirty("b", true);
        return AAX_SUCCESS;
    }
};
} // namespace

using DispatcherThreads = aaxtest::BoundEffectTest<aaxtest::QuilloEffect>;

TEST_F(DispatcherThreads, ThreadsShareOneDispatcherAndAHandlerMayMarkPacketsFromInsideADispatch)
{
    ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS);
    AAX_VController controller(instance->Unknown());
    AAX_CPacketDispatcher dispatcher;
    dispatcher.Initialize(&controller, effect);
    const auto posted = [&](AAX_CFieldIndex port) {
        size_t count = 0;
        for (const auto& packet : calls.Posted(instance->GetController()))
            count += packet.port == port ? 1 : 0;
        return count;
    };
    Marker marker { &dispatcher };
    const AAX_CPacketHandler<Marker> handler(&marker, &Marker::Mark);
    dispatcher.RegisterPacket("a", 1, &handler);
    dispatcher.RegisterPacket("b", 2, &handler);
    dispatcher.Dispatch();
    // On the dispatching thread the lock is already held: the nested SetDirty must not block.
    dispatcher.SetDirty("a", true);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(posted(1) + posted(2), 4u);

    // Every thread's mark is followed by a dispatch on the same thread: nothing is left dirty, and
    // the shared port is never posted more often than it was marked.
    for (int i = 0; i < 4; ++i)
        dispatcher.RegisterPacket(aaxtest::kQuilloParameterIds[i], 20);
    dispatcher.Dispatch();
    calls.ClearPosted();
    std::atomic<int> marked { 0 };
    OnThreads(4, [&](int t) {
        for (int i = 0; i < 300; ++i)
        {
            dispatcher.SetDirty(aaxtest::kQuilloParameterIds[(t + i) % 4], true);
            marked.fetch_add(1);
            if (i % 3 == 0)
                dispatcher.RegisterPacket("late", 30 + t);
            dispatcher.Dispatch();
        }
    });
    EXPECT_GE(posted(20), 1u);
    EXPECT_LE(posted(20), size_t(marked.load()));
    calls.ClearPosted();
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_TRUE(calls.Posted(instance->GetController()).empty());
}
