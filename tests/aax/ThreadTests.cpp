// The library's objects shared between threads: reference counts, the owner-aware mutex and the
// packet dispatcher. Run under ThreadSanitizer too.

#include <atomic>
#include <cstring>
#include <string>
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

class Counted : public CACFUnknown
{
public:
    explicit Counted(int& destructions) : mDestructions(destructions) {}
    ~Counted() override { ++mDestructions; }
    using CACFUnknown::GetRefCount;

private:
    int& mDestructions;
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

TEST(MutexThreads, IsOwnerAwareGuardsNestAndSerialisesThreads)
{
    AAX_CMutex mutex;
    const auto lockedElsewhere = [&] {
        bool locked = false;
        std::thread([&] {
            locked = mutex.Lock();
            if (locked)
                mutex.Unlock();
        }).join();
        return locked;
    };
    EXPECT_TRUE(mutex.Lock());
    EXPECT_FALSE(mutex.Lock()); // already held by this thread: no second hold
    std::thread([&] { mutex.Unlock(); }).join(); // another thread's Unlock is ignored
    EXPECT_FALSE(mutex.Lock());
    mutex.Unlock(); // one Unlock releases it for everyone
    EXPECT_TRUE(lockedElsewhere());
    {
        AAX_StLock_Guard outer(mutex);
        {
            AAX_StLock_Guard inner(mutex);
        }
        EXPECT_FALSE(mutex.Lock()); // the inner guard left the outer hold in place
    }
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
class DispatcherThreads : public aaxtest::BoundEffectTest<aaxtest::QuilloEffect>
{
protected:
    void SetUp() override
    {
        BoundEffectTest::SetUp();
        ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS);
        controller = std::make_unique<AAX_VController>(instance->Unknown());
        dispatcher.Initialize(controller.get(), effect);
    }

    void TearDown() override
    {
        controller.reset();
        BoundEffectTest::TearDown();
    }

    size_t Posted(AAX_CFieldIndex port)
    {
        size_t count = 0;
        for (const auto& packet : calls.Posted(instance->GetController()))
            count += packet.port == port ? 1 : 0;
        return count;
    }

    std::unique_ptr<AAX_VController> controller;
    AAX_CPacketDispatcher dispatcher;
};

/** Marks another packet dirty from inside its own dispatch. */
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

TEST_F(DispatcherThreads, AHandlerMayMarkPacketsDirtyFromInsideADispatch)
{
    Marker marker { &dispatcher };
    const AAX_CPacketHandler<Marker> handler(&marker, &Marker::Mark);
    dispatcher.RegisterPacket("a", 1, &handler);
    dispatcher.RegisterPacket("b", 2, &handler);
    dispatcher.Dispatch();

    // On the dispatching thread the lock is already held: the nested SetDirty must not block.
    dispatcher.SetDirty("a", true);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted(1) + Posted(2), 4u);
    // Still usable from another thread afterwards: the nested guard released nothing it did not take.
    std::thread([&] { dispatcher.SetDirty("b", true); }).join();
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted(2), 3u);
}

TEST_F(DispatcherThreads, ThreadsShareOneDispatcher)
{
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
    // Every mark was followed by a dispatch on the same thread: nothing is left dirty, and the
    // shared port was never posted more often than it was marked.
    EXPECT_GE(Posted(20), 1u);
    EXPECT_LE(Posted(20), size_t(marked.load()));
    calls.ClearPosted();
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_TRUE(calls.Posted(instance->GetController()).empty());
}
