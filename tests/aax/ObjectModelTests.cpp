#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ACF/ACFPtr.h"
#include "ACF/CACFUnknown.h"
#include "AAXTestSupport.h"
#include "AAX_UIDs.h"
#include "TestPlugInObjects.h"

namespace
{
/** Counts its FinalRelease calls and destructions in caller-owned counters. */
class CountedObject : public CACFUnknown
{
public:
    CountedObject(int& finalReleases, int& destructions) : mFinalReleases(finalReleases), mDestructions(destructions) {}
    ~CountedObject() override { ++mDestructions; }
    void FinalRelease() override { ++mFinalReleases; }

    using CACFUnknown::GetRefCount;

private:
    int& mFinalReleases;
    int& mDestructions;
};

class CountedGUI : public TestEffectGUI
{
public:
    using CACFUnknown::GetPrivateUnknown;
    using CACFUnknown::GetRefCount;
};

class CountedParameters : public TestEffectParameters
{
public:
    using CACFUnknown::GetPrivateUnknown;
    using CACFUnknown::GetRefCount;
};
} // namespace

TEST(ObjectModel, ReferenceCountingAndTheLiveObjectCount)
{
    const uint32_t before = CACFUnknown::GetActiveObjectCount();
    int finalReleases = 0;
    int destructions = 0;
    auto* object = new CountedObject(finalReleases, destructions);
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before + 1);

    // A release at count 0 does nothing.
    EXPECT_EQ(object->InternalRelease(), 0u);
    EXPECT_EQ(destructions, 0);

    EXPECT_EQ(object->InternalAddRef(), 1u);
    EXPECT_EQ(object->InternalAddRef(), 2u);
    EXPECT_EQ(object->InternalRelease(), 1u);
    EXPECT_EQ(finalReleases, 0);
    EXPECT_EQ(object->InternalRelease(), 0u);
    EXPECT_EQ(finalReleases, 1);
    EXPECT_EQ(destructions, 1);
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(ObjectModel, ConcurrentReferencesDeleteExactlyOnce)
{
    int finalReleases = 0;
    int destructions = 0;
    auto* object = new CountedObject(finalReleases, destructions);
    object->InternalAddRef();   // the test's own reference keeps it alive while threads churn

    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([object] {
            for (int i = 0; i < 10000; ++i)
            {
                object->InternalAddRef();
                object->InternalRelease();
            }
        });
    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ(object->GetRefCount(), 1u);
    EXPECT_EQ(destructions, 0);
    object->InternalRelease();
    EXPECT_EQ(finalReleases, 1);
    EXPECT_EQ(destructions, 1);
}

TEST(ObjectModel, EffectParametersAnswerTheirFourIdsWithTheHostFacingInterface)
{
    auto* object = new CountedParameters;
    IACFUnknown* const hostFacing = static_cast<AAX_IACFEffectParameters_V4*>(object);

    for (const acfIID* iid : { &IID_IAAXEffectParametersV1, &IID_IAAXEffectParametersV2, &IID_IAAXEffectParametersV3,
                               &IID_IAAXEffectParametersV4 })
    {
        void* out = nullptr;
        const uint32_t before = object->GetRefCount();
        EXPECT_EQ(hostFacing->QueryInterface(*iid, &out), ACF_OK);
        EXPECT_EQ(out, static_cast<void*>(static_cast<AAX_IACFEffectParameters_V4*>(object)));
        EXPECT_EQ(object->GetRefCount(), before + 1);
    }

    void* unknown = nullptr;
    EXPECT_EQ(hostFacing->QueryInterface(IID_IACFUnknown, &unknown), ACF_OK);
    EXPECT_EQ(unknown, static_cast<void*>(object->GetPrivateUnknown()));
    EXPECT_NE(unknown, static_cast<void*>(hostFacing));
    EXPECT_EQ(object->GetRefCount(), 5u);

    void* none = &unknown;
    EXPECT_EQ(hostFacing->QueryInterface(IID_IAAXEffectGUIV1, &none), ACF_E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(static_cast<uint32_t>(ACF_E_NOINTERFACE), 0x80000004u);

    EXPECT_EQ(hostFacing->QueryInterface(IID_IAAXEffectParametersV1, nullptr), ACF_E_INVALIDARG);

    const uint32_t live = CACFUnknown::GetActiveObjectCount();
    for (int i = 0; i < 4; ++i)
        hostFacing->Release();
    EXPECT_EQ(static_cast<IACFUnknown*>(unknown)->Release(), 0u);
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), live - 1);
}

TEST(ObjectModel, GUIAnswersOnlyItsOwnId)
{
    auto* object = new CountedGUI;
    IACFUnknown* const hostFacing = static_cast<AAX_IACFEffectGUI*>(object);

    void* out = &out;
    EXPECT_EQ(hostFacing->QueryInterface(IID_IAAXEffectParametersV3, &out), ACF_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    EXPECT_EQ(hostFacing->QueryInterface(IID_IAAXEffectGUIV1, &out), ACF_OK);
    EXPECT_EQ(out, static_cast<void*>(hostFacing));
    EXPECT_EQ(hostFacing->AddRef(), 2u);
    EXPECT_EQ(hostFacing->Release(), 1u);
    EXPECT_EQ(hostFacing->Release(), 0u);
}

namespace
{
template <class Action>
int ThrownInt(Action action)
{
    try
    {
        action();
    }
    catch (int code)
    {
        return code;
    }
    return 0;
}
} // namespace

using ACFPtrWithHost = aaxtest::HostTest;

TEST_F(ACFPtrWithHost, EmptyHoldersAndRefusedQueriesThrowTheInt)
{
    ACFPtr<IACFUnknown> empty;
    EXPECT_EQ(static_cast<uint32_t>(ThrownInt([&] { empty->AddRef(); })), 0x80000005u);
    EXPECT_FALSE(empty);
    empty.reset();
    EXPECT_EQ(static_cast<uint32_t>(ThrownInt([] { ACFPtr<IACFUnknown>(IID_IACFUnknown, nullptr); })), 0x80000003u);
    EXPECT_EQ(ThrownInt([&] { ACFPtr<IACFUnknown>(IID_IAAXEffectGUIV1, host->Unknown()); }), ACF_E_NOINTERFACE);
}

TEST_F(ACFPtrWithHost, CopiesCountTheirReferences)
{
    aaxhost::Transport& transport = host->GetTransport();
    const uint32_t before = transport.RefCount();
    {
        ACFPtr<AAX_IACFTransport> held(IID_IAAXTransportV1, host->Unknown());
        EXPECT_EQ(transport.RefCount(), before + 1);
        ACFPtr<AAX_IACFTransport> copy = held;
        EXPECT_EQ(transport.RefCount(), before + 2);
        copy = copy; // self-assignment keeps the reference
        EXPECT_EQ(transport.RefCount(), before + 2);
        copy = ACFPtr<AAX_IACFTransport>();
        EXPECT_EQ(transport.RefCount(), before + 1);

        double tempo = 0.0;
        EXPECT_EQ(held->GetCurrentTempo(&tempo), AAX_SUCCESS);
        EXPECT_EQ(tempo, 120.0);
    }
    EXPECT_EQ(transport.RefCount(), before);
}
