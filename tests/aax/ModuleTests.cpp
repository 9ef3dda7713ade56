// The library's exported entry points, in a module loaded as a host loads a plug-in.

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_UIDs.h"
#include "Collection.h"
#include "EffectDescriptor.h"
#include "Module.h"

namespace
{
using CreateFn = IACFUnknown* (*)();

class ModuleTest : public aaxtest::HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        SetDescriptionMode(0);
        module = std::make_unique<aaxhost::Module>(QUILLO_AAX_TEST_MODULE);
    }

    void TearDown() override
    {
        module->Shutdown(nullptr);
        module.reset();
        HostTest::TearDown();
    }

    /** How the test module's description routine behaves (see TestModule.cpp). */
    static void SetDescriptionMode(int mode)
    {
        setenv("QUILLO_TEST_DESCRIPTION_MODE", std::to_string(mode).c_str(), 1);
    }

    /** Registers through the export; the definition, if any, is released at once. */
    ACFRESULT Register(IACFUnknown* context, bool* gotDefinition = nullptr)
    {
        auto* sentinel = reinterpret_cast<IACFPluginDefinition*>(this);
        IACFPluginDefinition* definition = sentinel;
        const ACFRESULT result = module->RegisterPlugin(context, &definition);
        EXPECT_NE(definition, sentinel) << "the out-pointer must always be written";
        if (gotDefinition != nullptr)
            *gotDefinition = definition != nullptr;
        if (definition != nullptr && definition != sentinel)
            definition->Release();
        return result;
    }

    std::vector<std::string> TraceTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& trace : calls.Traces())
            texts.push_back(std::to_string(trace.priority) + " " + trace.message);
        return texts;
    }

    std::unique_ptr<aaxhost::Module> module;
};

const std::string kHigh = std::to_string(0x08000000) + " ";
const std::string kNormal = std::to_string(0x04000000) + " ";
} // namespace

TEST_F(ModuleTest, ReportsItsVersionExportsOnlyTheEntryPointsAndRefusesNullOutputs)
{
    uint64_t version = 0;
    EXPECT_EQ(module->GetSDKVersion(&version), ACF_OK);
    EXPECT_EQ(version, 0x0000020300BF7318u);
    EXPECT_FALSE(module->Exports("_Z21GetEffectDescriptionsP15AAX_ICollection"));
    EXPECT_FALSE(module->Exports("_ZN11CACFUnknown15m_ActiveObjectsE"));

    // No separate components and no class factory.
    auto* sentinel = reinterpret_cast<IACFComponentDefinition*>(this);
    IACFComponentDefinition* component = sentinel;
    EXPECT_EQ(module->RegisterComponent(host->Unknown(), 0, &component), ACF_OK);
    EXPECT_EQ(component, nullptr);
    void* factory = this;
    EXPECT_EQ(module->GetClassFactory(host->Unknown(), AAXCompID_AAXCollection, IID_IACFUnknown, &factory),
              AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(factory, nullptr);

    EXPECT_EQ(module->GetSDKVersion(nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(module->RegisterComponent(host->Unknown(), 0, nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(module->GetClassFactory(host->Unknown(), AAXCompID_AAXCollection, IID_IACFUnknown, nullptr),
              AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(module->RegisterPlugin(host->Unknown(), nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_TRUE(calls.Texts(true).empty()); // null out-pointers are refused before any work
}

TEST_F(ModuleTest, RegistrationHandsTheHostItsDescriptionAndLiveObjectsKeepTheModuleLoaded)
{
    ASSERT_EQ(module->Startup(host->Unknown()), ACF_OK);
    bool gotDefinition = false;
    EXPECT_EQ(Register(host->Unknown(), &gotDefinition), ACF_OK);
    EXPECT_TRUE(gotDefinition);
    EXPECT_TRUE(calls.Traces().empty());
    // Registration asks for the definition last; nothing of the collection is left in the module.
    auto collections = host->GetFactory().CreatedOf<aaxhost::Collection>();
    ASSERT_EQ(collections.size(), 1u);
    EXPECT_EQ(calls.TextsOf("collection#1", true).back(), "QueryInterface(IID_IACFPluginDefinition)");
    EXPECT_EQ(collections[0]->RefCount(), 1u);

    // Created objects come with no reference; the caller's first one keeps them.
    auto* effect = host->GetFactory().CreatedOf<aaxhost::EffectDescriptor>().at(0);
    IACFUnknown* const gui = reinterpret_cast<CreateFn>(effect->ProcPtr(kAAX_ProcPtrID_Create_EffectGUI))();
    IACFUnknown* const parameters = reinterpret_cast<CreateFn>(
        effect->ProcPtr(kAAX_ProcPtrID_Create_EffectParameters))();
    EXPECT_EQ(module->CanUnloadNow(host->Unknown()), 2);
    for (auto [object, iid, live] :
         { std::tuple { gui, &IID_IAAXEffectGUIV1, 1 }, { parameters, &IID_IAAXEffectParametersV3, 0 } })
    {
        EXPECT_EQ(object->QueryInterface(*iid, reinterpret_cast<void**>(&object)), ACF_OK);
        EXPECT_EQ(object->Release(), 0u);
        EXPECT_EQ(module->CanUnloadNow(host->Unknown()), live);
    }
}

TEST_F(ModuleTest, AFailingDescriptionIsTracedAndReturnsItsCodeOrUnknownException)
{
    EXPECT_EQ(Register(host->Unknown()), ACF_OK); // before start-up nothing is traced
    SetDescriptionMode(2);
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_UNKNOWN_EXCEPTION);
    module->Startup(host->Unknown());
    for (const auto& [mode, result] : { std::pair { 1, AAX_ERROR_NULL_OBJECT },
                                        { 2, AAX_ERROR_UNKNOWN_EXCEPTION },
                                        { 3, AAX_ERROR_UNKNOWN_EXCEPTION },
                                        { 4, AAX_ERROR_UNKNOWN_EXCEPTION },
                                        { 5, AAX_ERROR_UNKNOWN_ID } })
    {
        SetDescriptionMode(mode);
        bool gotDefinition = true;
        EXPECT_EQ(Register(host->Unknown(), &gotDefinition), result) << mode;
        EXPECT_FALSE(gotDefinition) << mode;
    }
    EXPECT_EQ(TraceTexts(),
              (std::vector<std::string> {
                  kNormal + "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)",
                  kHigh + "AAXRegisterPlugin exception caught: AAX_ERROR_NULL_OBJECT (-20004)",
                  kHigh + "AAXRegisterPlugin exception caught: boom",
                  kHigh + "AAXRegisterPlugin exception caught: description failed func:GetEffectDescriptions line:42",
                  kHigh + "AAXRegisterPlugin exception caught: unknown",
                  kHigh + "AAXRegisterPlugin exception caught: AAX_ERROR_UNKNOWN_ID (-20041)" }));

    // Nothing is traced after shutdown.
    EXPECT_EQ(module->Shutdown(host->Unknown()), ACF_OK);
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_UNKNOWN_ID);
    EXPECT_EQ(calls.Traces().size(), 6u);
}

TEST_F(ModuleTest, AHostRefusingTheDefinitionLackingAFactoryOrThrowingFailsTheRegistration)
{
    module->Startup(host->Unknown());
    calls.WithholdFromKind("collection", IID_IACFPluginDefinition);
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_NULL_OBJECT);
    aaxhost::Host bare(nullptr);
    bare.GetContext().Remove(IID_IACFComponentFactory);
    EXPECT_EQ(Register(bare.Unknown()), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(Register(nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(TraceTexts().size(), 6u);

    calls.ThrowOnCall(host->GetFactory(), "CreateComponent");
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_UNKNOWN_EXCEPTION);
    EXPECT_EQ(TraceTexts().back(),
              kHigh + "AAXRegisterPlugin exception caught: host failure in factory.CreateComponent");
    // An exception escaping even the trace stops at the export.
    calls.ThrowOnCall(host->GetServices(), "Trace");
    SetDescriptionMode(1);
    EXPECT_EQ(Register(host->Unknown()), static_cast<ACFRESULT>(0x8000FFFFu));
}
