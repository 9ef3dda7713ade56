#include <dlfcn.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ACF/IACFComponentDefinition.h"
#include "AAXTestSupport.h"
#include "AAX_IACFEffectGUI.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_UIDs.h"
#include "Collection.h"
#include "EffectDescriptor.h"
#include "EffectTestSupport.h"
#include "Instance.h"

namespace
{
using RegisterPluginFn = ACFRESULT (*)(IACFUnknown*, IACFPluginDefinition**);
using RegisterComponentFn = ACFRESULT (*)(IACFUnknown*, uint32_t, IACFComponentDefinition**);
using GetClassFactoryFn = ACFRESULT (*)(IACFUnknown*, const acfCLSID&, const acfIID&, void**);
using HostOnlyFn = ACFRESULT (*)(IACFUnknown*);
using GetSDKVersionFn = ACFRESULT (*)(uint64_t*);
using SetModeFn = void (*)(int);
using CreateFn = IACFUnknown* (*)();

/** The test module, loaded as a host loads a plug-in: only through its exported symbols. */
class LoadedModule
{
public:
    LoadedModule()
    {
        mHandle = dlopen(QUILLO_AAX_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
        if (mHandle == nullptr)
            throw std::runtime_error(std::string("cannot load the test module: ") + dlerror());
        Resolve(registerPlugin, "ACFRegisterPlugin");
        Resolve(registerComponent, "ACFRegisterComponent");
        Resolve(getClassFactory, "ACFGetClassFactory");
        Resolve(canUnloadNow, "ACFCanUnloadNow");
        Resolve(startup, "ACFStartup");
        Resolve(shutdown, "ACFShutdown");
        Resolve(getSDKVersion, "ACFGetSDKVersion");
        Resolve(setDescriptionMode, "QuilloTestModule_SetDescriptionMode");
        setDescriptionMode(0);
    }

    ~LoadedModule()
    {
        setDescriptionMode(0);
        shutdown(nullptr);
        dlclose(mHandle);
    }

    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    /** True when the module exports nothing beyond the seven entry points and the test switch:
        the library's own symbols must stay inside. */
    bool Exports(const char* symbol) const { return dlsym(mHandle, symbol) != nullptr; }

    RegisterPluginFn registerPlugin = nullptr;
    RegisterComponentFn registerComponent = nullptr;
    GetClassFactoryFn getClassFactory = nullptr;
    HostOnlyFn canUnloadNow = nullptr;
    HostOnlyFn startup = nullptr;
    HostOnlyFn shutdown = nullptr;
    GetSDKVersionFn getSDKVersion = nullptr;
    SetModeFn setDescriptionMode = nullptr;

private:
    template <class Fn>
    void Resolve(Fn& fn, const char* symbol)
    {
        fn = reinterpret_cast<Fn>(dlsym(mHandle, symbol));
        if (fn == nullptr)
            throw std::runtime_error(std::string("missing export ") + symbol);
    }

    void* mHandle = nullptr;
};

class ModuleTest : public aaxtest::HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        module = std::make_unique<LoadedModule>();
    }

    void TearDown() override
    {
        module.reset();
        HostTest::TearDown();
    }

    /** Registers through the export; the definition, if any, is released at once. */
    ACFRESULT Register(IACFUnknown* context, bool* gotDefinition = nullptr)
    {
        auto* sentinel = reinterpret_cast<IACFPluginDefinition*>(&mSentinel);
        IACFPluginDefinition* definition = sentinel;
        const ACFRESULT result = module->registerPlugin(context, &definition);
        EXPECT_NE(definition, sentinel) << "the out-pointer must always be written";
        if (gotDefinition != nullptr)
            *gotDefinition = definition != nullptr && definition != sentinel;
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

    std::unique_ptr<LoadedModule> module;

private:
    int mSentinel = 0;
};

const std::string kHigh = std::to_string(0x08000000) + " ";
const std::string kNormal = std::to_string(0x04000000) + " ";
} // namespace

TEST_F(ModuleTest, ReportsItsVersionAndExportsOnlyTheEntryPoints)
{
    uint64_t version = 0;
    EXPECT_EQ(module->getSDKVersion(&version), ACF_OK);
    EXPECT_EQ(version, 0x0000020300BF7318u);
    EXPECT_EQ(module->getSDKVersion(nullptr), AAX_ERROR_NULL_ARGUMENT);

    // Nothing is exported beyond the entry points: the library's own symbols stay inside.
    EXPECT_FALSE(module->Exports("_Z21GetEffectDescriptionsP15AAX_ICollection"));
    EXPECT_FALSE(module->Exports("_Z17AAXRegisterPluginP11IACFUnknownPP20IACFPluginDefinition"));
    EXPECT_FALSE(module->Exports("_ZN11CACFUnknown15m_ActiveObjectsE"));
}

TEST_F(ModuleTest, HasNoSeparateComponentsAndNoClassFactory)
{
    auto* sentinel = reinterpret_cast<IACFComponentDefinition*>(this);
    IACFComponentDefinition* component = sentinel;
    EXPECT_EQ(module->registerComponent(host->Unknown(), 0, &component), ACF_OK);
    EXPECT_EQ(component, nullptr);
    EXPECT_EQ(module->registerComponent(host->Unknown(), 0, nullptr), AAX_ERROR_NULL_ARGUMENT);

    void* factory = this;
    EXPECT_EQ(module->getClassFactory(host->Unknown(), AAXCompID_AAXCollection, IID_IACFUnknown, &factory),
              AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(module->getClassFactory(host->Unknown(), AAXCompID_AAXCollection, IID_IACFUnknown, nullptr),
              AAX_ERROR_NULL_ARGUMENT);

    EXPECT_EQ(module->registerPlugin(host->Unknown(), nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(module->canUnloadNow(host->Unknown()), 0);
    EXPECT_TRUE(calls.Texts(true).empty()); // null out-pointers are refused before any work
}

TEST_F(ModuleTest, RegistrationHandsTheHostItsDescription)
{
    ASSERT_EQ(module->startup(host->Unknown()), ACF_OK);
    bool gotDefinition = false;
    EXPECT_EQ(Register(host->Unknown(), &gotDefinition), ACF_OK);
    EXPECT_TRUE(gotDefinition);
    EXPECT_TRUE(calls.Traces().empty());

    // The description itself is checked call by call in DescriptionTest.
    auto collections = host->GetFactory().CreatedOf<aaxhost::Collection>();
    ASSERT_EQ(collections.size(), 1u);
    EXPECT_EQ(calls.TextsOf("collection#1").back(), "SetPackageVersion(65537)");

    // Registration asks for the definition last; nothing of the collection is left in the module.
    const auto queries = calls.TextsOf("collection#1", true);
    EXPECT_EQ(queries.back(), "QueryInterface(IID_IACFPluginDefinition)");
    EXPECT_EQ(collections[0]->RefCount(), 1u);
    EXPECT_EQ(module->canUnloadNow(host->Unknown()), 0);

    // A second registration builds a second description.
    EXPECT_EQ(Register(host->Unknown()), ACF_OK);
    EXPECT_EQ(host->GetFactory().CreatedOf<aaxhost::Collection>().size(), 2u);
}

TEST_F(ModuleTest, LiveObjectsKeepTheModuleLoaded)
{
    ASSERT_EQ(Register(host->Unknown()), ACF_OK);
    auto* effect = host->GetFactory().CreatedOf<aaxhost::EffectDescriptor>().at(0);
    auto createGUI = reinterpret_cast<CreateFn>(effect->ProcPtr(kAAX_ProcPtrID_Create_EffectGUI));
    auto createParameters = reinterpret_cast<CreateFn>(effect->ProcPtr(kAAX_ProcPtrID_Create_EffectParameters));
    ASSERT_NE(createGUI, nullptr);
    ASSERT_NE(createParameters, nullptr);

    // Created objects come with no reference; the caller's first one keeps them.
    IACFUnknown* const gui = createGUI();
    EXPECT_EQ(module->canUnloadNow(host->Unknown()), 1);
    void* guiInterface = nullptr;
    EXPECT_EQ(gui->QueryInterface(IID_IAAXEffectGUIV1, &guiInterface), ACF_OK);

    IACFUnknown* const parameters = createParameters();
    EXPECT_EQ(module->canUnloadNow(host->Unknown()), 2);
    void* hostFacing = nullptr;
    void* privateUnknown = nullptr;
    EXPECT_EQ(parameters->QueryInterface(IID_IAAXEffectParametersV3, &hostFacing), ACF_OK);
    EXPECT_EQ(parameters->QueryInterface(IID_IACFUnknown, &privateUnknown), ACF_OK);
    EXPECT_NE(privateUnknown, hostFacing);

    EXPECT_EQ(static_cast<IACFUnknown*>(guiInterface)->Release(), 0u);
    EXPECT_EQ(module->canUnloadNow(host->Unknown()), 1);
    EXPECT_EQ(static_cast<IACFUnknown*>(hostFacing)->Release(), 1u);
    EXPECT_EQ(static_cast<IACFUnknown*>(privateUnknown)->Release(), 0u);
    EXPECT_EQ(module->canUnloadNow(host->Unknown()), 0);
}

TEST_F(ModuleTest, AFailingDescriptionIsTracedTwiceAndReturnsItsCode)
{
    module->startup(host->Unknown());
    module->setDescriptionMode(1);
    bool gotDefinition = true;
    EXPECT_EQ(Register(host->Unknown(), &gotDefinition), AAX_ERROR_NULL_OBJECT);
    EXPECT_FALSE(gotDefinition);
    EXPECT_EQ(TraceTexts(),
              (std::vector<std::string> { kNormal + "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)",
                                          kHigh + "AAXRegisterPlugin exception caught: AAX_ERROR_NULL_OBJECT (-20004)" }));
}

TEST_F(ModuleTest, ExceptionsOtherThanResultsBecomeUnknownException)
{
    module->startup(host->Unknown());

    for (const auto& [mode, result] : { std::pair { 2, AAX_ERROR_UNKNOWN_EXCEPTION }, { 3, AAX_ERROR_UNKNOWN_EXCEPTION },
                                        { 4, AAX_ERROR_UNKNOWN_EXCEPTION }, { 5, AAX_ERROR_UNKNOWN_ID } })
    {
        module->setDescriptionMode(mode);
        EXPECT_EQ(Register(host->Unknown()), result) << mode;
    }

    EXPECT_EQ(TraceTexts(),
              (std::vector<std::string> {
                  kHigh + "AAXRegisterPlugin exception caught: boom",
                  kHigh + "AAXRegisterPlugin exception caught: description failed func:GetEffectDescriptions line:42",
                  kHigh + "AAXRegisterPlugin exception caught: unknown",
                  kHigh + "AAXRegisterPlugin exception caught: AAX_ERROR_UNKNOWN_ID (-20041)" }));
}

TEST_F(ModuleTest, AHostRefusingTheDefinitionOrWithoutAFactoryFailsTheRegistration)
{
    module->startup(host->Unknown());
    calls.WithholdFromKind("collection", IID_IACFPluginDefinition);
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(TraceTexts().size(), 2u);

    // So does a host without a factory.
    aaxhost::CallRecorder bareCalls;
    aaxhost::Host bare(&bareCalls);
    bare.GetContext().Remove(IID_IACFComponentFactory);
    EXPECT_EQ(Register(bare.Unknown()), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(Register(nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(TraceTexts().size(), 6u);
    EXPECT_TRUE(bareCalls.Traces().empty());
}

TEST_F(ModuleTest, AnExceptionEscapingRegistrationStopsAtTheExport)
{
    module->startup(host->Unknown());
    calls.ThrowOnCall(host->GetServices(), "Trace");
    module->setDescriptionMode(1);
    EXPECT_EQ(Register(host->Unknown()), static_cast<ACFRESULT>(0x8000FFFFu));

    // The same when the host throws while the description is written.
    calls.ResetSwitches(host->GetServices());
    module->setDescriptionMode(0);
    calls.ThrowOnCall(host->GetFactory(), "CreateComponent");
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_UNKNOWN_EXCEPTION);
    EXPECT_EQ(TraceTexts().back(), kHigh + "AAXRegisterPlugin exception caught: host failure in factory.CreateComponent");
}

TEST_F(ModuleTest, TracesNeedStartUpAndStopAtShutdown)
{
    module->setDescriptionMode(2);
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_UNKNOWN_EXCEPTION);
    EXPECT_TRUE(calls.Traces().empty());

    EXPECT_EQ(module->startup(host->Unknown()), ACF_OK);
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_UNKNOWN_EXCEPTION);
    EXPECT_EQ(calls.Traces().size(), 1u);

    EXPECT_EQ(module->shutdown(host->Unknown()), ACF_OK);
    EXPECT_EQ(Register(host->Unknown()), AAX_ERROR_UNKNOWN_EXCEPTION);
    EXPECT_EQ(calls.Traces().size(), 1u);
}

TEST_F(ModuleTest, AnInstanceOfTheLoadedModuleRunsThroughTheStandInHost)
{
    module->startup(host->Unknown());
    ASSERT_EQ(Register(host->Unknown()), ACF_OK);
    auto* const description = host->GetFactory().CreatedOf<aaxhost::EffectDescriptor>().at(0);
    auto createParameters = reinterpret_cast<CreateFn>(description->ProcPtr(kAAX_ProcPtrID_Create_EffectParameters));
    auto createGUI = reinterpret_cast<CreateFn>(description->ProcPtr(kAAX_ProcPtrID_Create_EffectGUI));

    // The host creates the data model, gives it its instance context and initialises it.
    ACFPtr<AAX_IACFEffectParameters> parameters;
    ASSERT_EQ(parameters.QueryFrom(createParameters(), IID_IAAXEffectParametersV4), ACF_OK);
    aaxhost::Instance instance(*host);
    instance.GetController().state.sampleRate = 44100.0f;
    ASSERT_TRUE(instance.BindEffect(parameters.get()));
    ASSERT_EQ(parameters->Initialize(instance.Unknown()), AAX_SUCCESS);
    int32_t count = 0;
    EXPECT_EQ(parameters->GetNumberOfParameters(&count), AAX_SUCCESS);
    EXPECT_EQ(count, 24);
    EXPECT_EQ(instance.GetAutomation().Registered().size(), 24u);

    // Coefficients: the bypass reaches the algorithm's port 3.
    EXPECT_EQ(parameters->GenerateCoefficients(), AAX_SUCCESS);
    ASSERT_EQ(calls.Posted(instance.GetController()).size(), 1u);
    EXPECT_EQ(calls.Posted(instance.GetController())[0].port, 3);

    // An edit asks the host, which confirms it.
    EXPECT_EQ(parameters->SetParameterNormalizedValue("12Low Mid Gain", 0.75), AAX_SUCCESS);
    EXPECT_EQ(instance.GetAutomation().ConfirmPending(), 1u);
    double value = 0.0;
    EXPECT_EQ(parameters->GetParameterNormalizedValue("12Low Mid Gain", &value), AAX_SUCCESS);
    EXPECT_EQ(value, 0.75);

    // The editor finds the data model through the same context.
    ACFPtr<AAX_IACFEffectGUI> gui;
    ASSERT_EQ(gui.QueryFrom(createGUI(), IID_IAAXEffectGUIV1), ACF_OK);
    EXPECT_EQ(gui->Initialize(instance.Unknown()), AAX_SUCCESS);
    EXPECT_EQ(gui->SetViewContainer(instance.ViewUnknown()), AAX_SUCCESS);
    EXPECT_EQ(gui->SetViewContainer(nullptr), AAX_SUCCESS);
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    gui.reset();

    EXPECT_EQ(parameters->Uninitialize(), AAX_SUCCESS);
    instance.UnbindEffect();
    parameters.reset();
    EXPECT_EQ(module->canUnloadNow(host->Unknown()), 0);
}
