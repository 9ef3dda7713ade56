#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CMutex.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_StLock_Guard.h"
#include "AAX_VController.h"

using aaxtest::QuilloEffect;
using Bytes = std::vector<uint8_t>;

namespace
{
template <typename T>
Bytes NativeBytes(T value)
{
    Bytes bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

Bytes PacketBytes(const AAX_CPacket& packet)
{
    const auto* data = static_cast<const uint8_t*>(packet.GetPtr());
    return Bytes(data, data + packet.GetSize());
}

/** A packet worker that records its calls and writes a 4-byte marker. */
struct Worker
{
    AAX_CPacketDispatcher* dispatcher = nullptr;
    std::vector<std::string> calls;
    AAX_Result result = AAX_SUCCESS;
    std::string alsoMarkDirty;

    AAX_Result Plain(AAX_CPacket& packet)
    {
        calls.push_back("plain");
        std::memcpy(packet.GetPtr<int32_t>(), "PLN!", 4);
        return result;
    }

    AAX_Result Extended(AAX_CParamID id, AAX_CPacket& packet)
    {
        calls.push_back(id);
        std::memcpy(packet.GetPtr<int32_t>(), id, 4);
        if (!alsoMarkDirty.empty())
            dispatcher->SetDirty(alsoMarkDirty.c_str(), true);
        return result;
    }
};

using Handler = AAX_CPacketHandler<Worker>;

/** An initialised product data model on its own instance, with a dispatcher of the test's own
    that posts through the instance's controller. */
class PacketDispatchTest : public aaxtest::BoundEffectTest<QuilloEffect>
{
protected:
    void SetUp() override
    {
        BoundEffectTest::SetUp();
        effect->addPreview = true;
        ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS);
        controller = std::make_unique<AAX_VController>(instance->Unknown());
        dispatcher.Initialize(controller.get(), effect);
    }

    void TearDown() override
    {
        controller.reset();
        BoundEffectTest::TearDown();
    }

    std::vector<aaxhost::CallRecorder::Packet> Posted() { return calls.Posted(instance->GetController()); }

    std::unique_ptr<AAX_VController> controller;
    AAX_CPacketDispatcher dispatcher;
};
} // namespace

TEST_F(PacketDispatchTest, TheBypassPacketIsPostedOnceThenOnlyAfterAConfirmedValue)
{
    // Registered by the data model itself, as the framework's wrapper does.
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS);
    ASSERT_EQ(Posted().size(), 1u);
    EXPECT_EQ(Posted()[0].port, 3);
    EXPECT_EQ(Posted()[0].data, NativeBytes(0.0f));   // read as an int32 by the algorithm: 0, not bypassed

    EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 1u);

    EXPECT_EQ(effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, 1.0, AAX_eUpdateSource_Parameter),
              AAX_SUCCESS);
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS);
    ASSERT_EQ(Posted().size(), 2u);
    EXPECT_EQ(Posted()[1].data, NativeBytes(1.0f)); // non-zero as an int32: bypassed

    // The same value again changes nothing but is still sent to the algorithm.
    const int32_t changes = effect->Changes();
    EXPECT_EQ(effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, 1.0, AAX_eUpdateSource_Parameter),
              AAX_SUCCESS);
    EXPECT_EQ(effect->Changes(), changes);
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 3u);
}

TEST_F(PacketDispatchTest, PostsDirtyPacketsInIdOrderAndCleansThem)
{
    calls.ClearPosted();
    ASSERT_EQ(dispatcher.RegisterPacket("2Power", 5), AAX_SUCCESS);
    ASSERT_EQ(dispatcher.RegisterPacket("0Input Gain", 7), AAX_SUCCESS);
    ASSERT_EQ(dispatcher.RegisterPacket("1Output Gain", 6), AAX_SUCCESS);

    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    const auto posted = Posted();
    ASSERT_EQ(posted.size(), 3u);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(posted[size_t(i)].port, 7 - i);
        EXPECT_EQ(posted[size_t(i)].data, NativeBytes(float(i + 1) / 32.0f));
    }

    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 3u);

    for (const char* id : { "1Output Gain", "no such id", static_cast<const char*>(nullptr) })
        EXPECT_EQ(dispatcher.SetDirty(id, true), AAX_SUCCESS);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    ASSERT_EQ(Posted().size(), 4u);
    EXPECT_EQ(Posted()[3].port, 6);

    EXPECT_EQ(dispatcher.SetDirty("1Output Gain", true), AAX_SUCCESS);
    EXPECT_EQ(dispatcher.SetDirty("1Output Gain", false), AAX_SUCCESS);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 4u);
}

TEST_F(PacketDispatchTest, SingleValuePacketsFollowTheParametersType)
{
    effect->Manager().AddParameter(new aaxtest::ForeignTypedParameter("int", aaxtest::ForeignTypedParameter::eInt32, 1.0f));
    effect->Manager().AddParameter(new aaxtest::ForeignTypedParameter("dbl", aaxtest::ForeignTypedParameter::eDouble, 0.75f));
    effect->Manager().AddParameter(new aaxtest::ForeignTypedParameter("txt", aaxtest::ForeignTypedParameter::eText, 0.5f));

    AAX_CPacket packet(0);
    EXPECT_EQ(dispatcher.GenerateSingleValuePacket(cPreviewParameterID, packet), AAX_SUCCESS);
    EXPECT_EQ(PacketBytes(packet), NativeBytes(int32_t(0)));
    effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, "\1\0\0\0", 4);
    EXPECT_EQ(instance->GetAutomation().ConfirmPending(), 1u); // the host confirms the request
    EXPECT_EQ(dispatcher.GenerateSingleValuePacket(cPreviewParameterID, packet), AAX_SUCCESS);
    EXPECT_EQ(PacketBytes(packet), NativeBytes(int32_t(1)));

    EXPECT_EQ(dispatcher.GenerateSingleValuePacket("int", packet), AAX_SUCCESS);
    EXPECT_EQ(packet.GetSize(), 4u);
    EXPECT_EQ(dispatcher.GenerateSingleValuePacket("dbl", packet), AAX_SUCCESS);
    EXPECT_EQ(PacketBytes(packet), NativeBytes(0.75));
    EXPECT_EQ(dispatcher.GenerateSingleValuePacket("txt", packet), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(dispatcher.GenerateSingleValuePacket("unknown", packet), AAX_ERROR_NULL_OBJECT);

    // A packet whose handler fails is not posted, and is clean afterwards.
    calls.ClearPosted();
    dispatcher.RegisterPacket("txt", 9);
    dispatcher.RegisterPacket("dbl", 10);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    ASSERT_EQ(Posted().size(), 1u);
    EXPECT_EQ(Posted()[0].port, 10);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 1u);
}

TEST_F(PacketDispatchTest, IdsOnOnePortShareOnePacket)
{
    calls.ClearPosted();
    Worker worker;
    dispatcher.RegisterPacket("b", 4, std::make_unique<Handler>(&worker, &Worker::Extended).get());
    dispatcher.RegisterPacket("a", 4, std::make_unique<Handler>(&worker, &Worker::Plain).get());
    dispatcher.RegisterPacket("a", 4, std::make_unique<Handler>(&worker, &Worker::Extended).get());

    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(worker.calls, (std::vector<std::string> { "plain" }));   // the first entry in id order cleans it
    ASSERT_EQ(Posted().size(), 1u);
    EXPECT_EQ(Posted()[0].data, (Bytes { 'P', 'L', 'N', '!' }));

    worker.calls.clear();
    dispatcher.SetDirty("b", true);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(worker.calls, (std::vector<std::string> { "plain" }));
    EXPECT_EQ(Posted().size(), 2u);
}

TEST_F(PacketDispatchTest, FailuresOfHandlersAndPosts)
{
    calls.ClearPosted();
    Worker worker;
    const Handler empty(&worker, static_cast<Handler::PlainCallback>(nullptr));
    AAX_CPacket packet(1);
    EXPECT_EQ(empty.Call("x", packet), AAX_ERROR_NULL_OBJECT);
    const Handler noWorker(nullptr, &Worker::Plain);
    EXPECT_EQ(noWorker.Call("x", packet), AAX_ERROR_NULL_OBJECT);

    // Neither callback: not posted, but clean, and the dispatch still reports the posts it made.
    dispatcher.RegisterPacket("a", 1, &empty);
    dispatcher.RegisterPacket("b", 2, std::make_unique<Handler>(&worker, &Worker::Extended).get());
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    ASSERT_EQ(Posted().size(), 1u);
    EXPECT_EQ(Posted()[0].port, 2);

    // The host's refusal of the last post is the dispatch's result; the packet is clean anyway.
    calls.FailCall(instance->GetController(), "PostPacket", AAX_ERROR_POST_PACKET_FAILED);
    dispatcher.SetDirty("b", true);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_ERROR_POST_PACKET_FAILED);
    calls.ResetSwitches(instance->GetController());
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 1u);

    // Refused registrations; a negative port keeps its handler but never posts.
    EXPECT_EQ(dispatcher.RegisterPacket("c", 3, nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(dispatcher.RegisterPacket(nullptr, 3, &empty), AAX_ERROR_NULL_ARGUMENT);
    worker.calls.clear();
    EXPECT_EQ(dispatcher.RegisterPacket("d", -1, std::make_unique<Handler>(&worker, &Worker::Extended).get()),
              AAX_SUCCESS);
    dispatcher.SetDirty("d", true);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_TRUE(worker.calls.empty());
}

TEST_F(PacketDispatchTest, WithoutAControllerPacketsWaitUntilThereIsOne)
{
    AAX_CPacketDispatcher early;
    early.RegisterPacket("0Input Gain", 1);
    EXPECT_EQ(early.Dispatch(), AAX_ERROR_NULL_OBJECT);

    calls.ClearPosted();
    early.Initialize(controller.get(), effect);
    EXPECT_EQ(early.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 1u);
}

TEST_F(PacketDispatchTest, AHandlerMayMarkPacketsDirtyFromInsideADispatch)
{
    calls.ClearPosted();
    Worker worker;
    worker.dispatcher = &dispatcher;
    dispatcher.RegisterPacket("a", 1, std::make_unique<Handler>(&worker, &Worker::Extended).get());
    dispatcher.RegisterPacket("b", 2, std::make_unique<Handler>(&worker, &Worker::Extended).get());
    dispatcher.Dispatch();
    worker.calls.clear();
    calls.ClearPosted();

    // On the dispatching thread the lock is already held: the nested SetDirty must not block.
    worker.alsoMarkDirty = "b";
    dispatcher.SetDirty("a", true);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(worker.calls, (std::vector<std::string> { "a", "b" }));
    EXPECT_EQ(Posted().size(), 2u);

    // Still usable from another thread afterwards: the nested guard released nothing it did not take.
    worker.alsoMarkDirty.clear();
    std::thread([&] { dispatcher.SetDirty("a", true); }).join();
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(Posted().size(), 3u);
}

TEST_F(PacketDispatchTest, ThreadsShareOneDispatcher)
{
    calls.ClearPosted();
    for (const char* id : { "0Input Gain", "1Output Gain", "2Power", "3High Pass" })
        dispatcher.RegisterPacket(id, 20);
    dispatcher.Dispatch();
    calls.ClearPosted();

    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    std::atomic<int> markedDirty { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
    {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i)
            {
                dispatcher.SetDirty(aaxtest::kQuilloParameterIds[(t + i) % 4], true);
                markedDirty.fetch_add(1);
                if (i % 3 == 0)
                    dispatcher.RegisterPacket("late", 30 + t);
                dispatcher.Dispatch();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();

    // Every mark was followed by a dispatch on the same thread: nothing is left dirty, and the
    // shared port was never posted more often than it was marked.
    const auto posted = Posted();
    size_t onShared = 0;
    for (const auto& packet : posted)
    {
        EXPECT_EQ(packet.data.size(), 4u);
        onShared += packet.port == 20 ? 1 : 0;
    }
    EXPECT_GE(onShared, 1u);
    EXPECT_LE(onShared, size_t(markedDirty.load()));

    calls.ClearPosted();
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_TRUE(Posted().empty());
}

TEST(Mutex, IsOwnerAwareAndGuardsNest)
{
    AAX_CMutex mutex;
    EXPECT_TRUE(mutex.Lock());
    EXPECT_FALSE(mutex.Lock());   // already held by this thread: no second hold

    // Another thread's Unlock is ignored.
    std::thread([&] { mutex.Unlock(); }).join();
    EXPECT_FALSE(mutex.Lock());

    // One Unlock releases it for everyone.
    mutex.Unlock();
    bool lockedElsewhere = false;
    std::thread([&] {
        lockedElsewhere = mutex.Lock();
        mutex.Unlock();
    }).join();
    EXPECT_TRUE(lockedElsewhere);
    EXPECT_TRUE(mutex.Lock());
    mutex.Unlock();
    mutex.Unlock(); // unlocking what nobody holds does nothing

    // Guards nest on one thread.
    {
        AAX_StLock_Guard outer(mutex);
        {
            AAX_StLock_Guard inner(mutex);
        }
        EXPECT_FALSE(mutex.Lock());   // the inner guard left the outer hold in place
    }
    lockedElsewhere = false;
    std::thread([&] {
        lockedElsewhere = mutex.Lock();
        mutex.Unlock();
    }).join();
    EXPECT_TRUE(lockedElsewhere);
}

TEST(Mutex, SerialisesThreads)
{
    AAX_CMutex mutex;
    int counter = 0;   // deliberately not atomic: only the mutex protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i)
            {
                AAX_StLock_Guard guard(mutex);
                ++counter;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 8000);
}
