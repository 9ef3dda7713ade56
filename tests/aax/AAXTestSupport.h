#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "AAX_CHostServices.h"
#include "CallRecorder.h"
#include "EffectTestSupport.h"
#include "Host.h"
#include "Instance.h"

namespace aaxtest
{
/** A four-character code: first character in the most significant byte. */
constexpr uint32_t FourCC(const char (&code)[5])
{
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) | (uint32_t(uint8_t(code[2])) << 8)
         | uint32_t(uint8_t(code[3]));
}

/** A fresh stand-in host and one instance context per test, their calls recorded in `calls`;
    after the test every host object must be gone (nothing the library took was leaked). */
class HostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mLiveBefore = aaxhost::HostObject::LiveCount();
        host = std::make_unique<aaxhost::Host>(&calls);
        instance = std::make_unique<aaxhost::Instance>(*host);
    }

    void TearDown() override
    {
        instance.reset();
        host.reset();
        EXPECT_EQ(aaxhost::HostObject::LiveCount(), mLiveBefore) << "host objects leaked";
    }

    aaxhost::CallRecorder calls;
    std::unique_ptr<aaxhost::Host> host;
    std::unique_ptr<aaxhost::Instance> instance;

private:
    uint32_t mLiveBefore = 0;
};

/** A new data model of type `Effect` bound to the instance context, not yet initialised; after
    the test it is uninitialised (unless the test let it go) and released. */
template <class Effect>
class BoundEffectTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        effect = new Effect;
        held = Own(effect);
        ASSERT_TRUE(instance->BindEffect(held.get()));
    }

    void TearDown() override
    {
        if (effect != nullptr)
            effect->Uninitialize();
        held.reset();
        HostTest::TearDown();
    }

    Effect* effect = nullptr;
    ACFPtr<IACFUnknown> held;
};

/** Installs the host's diagnostics services for the library in this process, for one scope. */
struct ScopedHostServices
{
    explicit ScopedHostServices(IACFUnknown* host) { AAX_CHostServices::Set(host); }
    ~ScopedHostServices() { AAX_CHostServices::Set(nullptr); }
};
} // namespace aaxtest
