#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CEffectGUI.h"
#include "AAX_UIDs.h"
#include "HostServices.h"

namespace
{
/** A data model with three parameters a, b, c. */
class ThreeParameterEffect : public AAX_CEffectParameters
{
public:
    bool failParameterCount = false;

    AAX_Result GetNumberOfParameters(int32_t* count) const override
    {
        return failParameterCount ? AAX_ERROR_UNIMPLEMENTED : AAX_CEffectParameters::GetNumberOfParameters(count);
    }

protected:
    AAX_Result EffectInit() override
    {
        for (const char* id : { "a", "b", "c" })
            mParameterManager.AddParameter(aaxtest::MakeFloatParameter(id, 0.5f));
        return AAX_SUCCESS;
    }
};

/** An editor that records what the base asks of it, in a log that outlives it, and sizes the
    host's view the way the framework's editor does. */
class RecordingGUI : public AAX_CEffectGUI
{
public:
    explicit RecordingGUI(std::shared_ptr<std::vector<std::string>> events) : mEvents(std::move(events)) {}

    bool throwOnCreate = false;
    AAX_Point size { 250.0f, 800.0f };

    void CreateViewContents() override
    {
        mEvents->push_back("CreateViewContents");
        if (throwOnCreate)
            throw std::runtime_error("no view today");
    }

    void CreateViewContainer() override
    {
        mEvents->push_back("CreateViewContainer");
        if (GetViewContainer() != nullptr)
            sizeResult = GetViewContainer()->SetViewSize(size);
    }

    /** Notes what is still there when the contents go. */
    void DeleteViewContainer() override
    {
        mEvents->push_back(std::string("DeleteViewContainer") + (GetEffectParameters() != nullptr ? " effect" : "")
                           + (GetViewContainer() != nullptr ? " view" : ""));
    }

    AAX_Result ParameterUpdated(AAX_CParamID id) override
    {
        mEvents->push_back(std::string("ParameterUpdated ") + id);
        return AAX_SUCCESS;
    }

    AAX_Result GetViewSize(AAX_Point* viewSize) const override
    {
        if (viewSize == nullptr)
            return AAX_ERROR_NULL_ARGUMENT;
        *viewSize = size;
        return AAX_SUCCESS;
    }

    AAX_Result sizeResult = 1;

private:
    std::shared_ptr<std::vector<std::string>> mEvents;
};

class GuiTest : public aaxtest::BoundEffectTest<ThreeParameterEffect>
{
protected:
    void SetUp() override
    {
        BoundEffectTest::SetUp();
        ASSERT_EQ(effect->Initialize(instance->Unknown()), AAX_SUCCESS);
        events = std::make_shared<std::vector<std::string>>();
        gui = new RecordingGUI(events);
        heldGui = aaxtest::Own(gui);
    }

    void TearDown() override
    {
        heldGui.reset();
        BoundEffectTest::TearDown();
    }

    /** The data model's reference count. */
    uint32_t EffectRefs()
    {
        const uint32_t count = held->AddRef() - 1;
        held->Release();
        return count;
    }

    std::shared_ptr<std::vector<std::string>> events;
    RecordingGUI* gui = nullptr;
    ACFPtr<IACFUnknown> heldGui;
};

using Events = std::vector<std::string>;
} // namespace

TEST_F(GuiTest, WithoutAContextOnlyTheControllerWrapperExists)
{
    EXPECT_EQ(gui->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
    EXPECT_NE(gui->GetController(), nullptr);
    EXPECT_EQ(gui->GetEffectParameters(), nullptr);
    EXPECT_EQ(gui->Transport(), nullptr);
    AAX_CSampleRate rate = 0.0f;
    EXPECT_EQ(gui->GetController()->GetSampleRate(&rate), AAX_ERROR_NULL_OBJECT);

    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(gui->GetController(), nullptr);
    EXPECT_TRUE(events->empty());   // no contents were made, so none are deleted
}

TEST_F(GuiTest, InitializeFindsTheInstancesDataModel)
{
    const uint32_t refs = EffectRefs();
    EXPECT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    EXPECT_EQ(gui->GetEffectParameters(), static_cast<AAX_IEffectParameters*>(effect));
    EXPECT_EQ(dynamic_cast<const ThreeParameterEffect*>(static_cast<const RecordingGUI*>(gui)->GetEffectParameters()),
              effect);
    EXPECT_NE(gui->Transport(), nullptr);
    EXPECT_EQ(EffectRefs(), refs + 1);
    EXPECT_EQ(*events, (Events { "CreateViewContents" }));

    // The contents go while the data model they show is still held.
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(*events, (Events { "CreateViewContents", "DeleteViewContainer effect" }));
    EXPECT_EQ(gui->GetEffectParameters(), nullptr);
    EXPECT_EQ(gui->Transport(), nullptr);
    EXPECT_EQ(EffectRefs(), refs);
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(events->size(), 2u);
}

TEST_F(GuiTest, AttachingReportsEveryParameterOnceInIndexOrder)
{
    int nativeView = 0;
    instance->GetView().nativeView = &nativeView;
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    events->clear();

    EXPECT_EQ(gui->SetViewContainer(instance->ViewUnknown()), AAX_SUCCESS);
    EXPECT_EQ(*events, (Events { "CreateViewContainer", "ParameterUpdated a", "ParameterUpdated b", "ParameterUpdated c" }));
    EXPECT_EQ(gui->GetViewContainerType(), AAX_eViewContainer_Type_HWND);
    EXPECT_EQ(gui->GetViewContainerPtr(), &nativeView);

    // The editor sized the host's view through the container.
    EXPECT_EQ(gui->sizeResult, AAX_SUCCESS);
    EXPECT_EQ(instance->GetView().size.vert, 250.0f);
    EXPECT_EQ(instance->GetView().size.horz, 800.0f);
    AAX_Point reported { 0.0f, 0.0f };
    EXPECT_EQ(gui->GetViewSize(&reported), AAX_SUCCESS);
    EXPECT_EQ(reported.horz, 800.0f);

    events->clear();
    EXPECT_EQ(gui->SetViewContainer(nullptr), AAX_SUCCESS);
    EXPECT_EQ(*events, (Events { "DeleteViewContainer effect view" })); // detached while the view exists
    EXPECT_EQ(gui->GetViewContainer(), nullptr);
    EXPECT_EQ(gui->GetViewContainerPtr(), nullptr);
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(events->size(), 1u); // the contents went with the view
}

TEST_F(GuiTest, ASecondViewReplacesTheFirst)
{
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    const uint32_t viewRefs = instance->GetView().RefCount();
    gui->SetViewContainer(instance->ViewUnknown());
    EXPECT_EQ(instance->GetView().RefCount(), viewRefs + 2);   // one wrapper: both versions

    events->clear();
    gui->SetViewContainer(instance->ViewUnknown());
    EXPECT_EQ(instance->GetView().RefCount(), viewRefs + 2);   // the first wrapper is gone
    EXPECT_EQ(*events, (Events { "DeleteViewContainer effect view", "CreateViewContainer", "ParameterUpdated a",
                                 "ParameterUpdated b", "ParameterUpdated c" }));

    events->clear();
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(*events, (Events { "DeleteViewContainer effect view" }));
    EXPECT_EQ(instance->GetView().RefCount(), viewRefs);
}

TEST_F(GuiTest, WithoutAParameterCountAttachingReportsNothing)
{
    effect->failParameterCount = true;
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    events->clear();
    EXPECT_EQ(gui->SetViewContainer(instance->ViewUnknown()), AAX_SUCCESS);
    EXPECT_EQ(*events, (Events { "CreateViewContainer" }));
}

TEST_F(GuiTest, AContextWithoutADataModelStillMakesAnEditor)
{
    instance->UnbindEffect();
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    EXPECT_EQ(gui->GetEffectParameters(), nullptr);
    gui->SetViewContainer(instance->ViewUnknown());
    EXPECT_EQ(*events, (Events { "CreateViewContents", "CreateViewContainer" }));
}

TEST_F(GuiTest, ASecondInitializeStartsOverWithoutLeaking)
{
    const uint32_t refs = EffectRefs();
    const uint32_t controllerRefs = instance->GetController().RefCount();
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    gui->SetViewContainer(instance->ViewUnknown());
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);

    EXPECT_EQ(EffectRefs(), refs + 1);
    EXPECT_EQ(instance->GetController().RefCount(), controllerRefs + 3);   // one wrapper, three versions
    EXPECT_EQ(gui->GetViewContainer(), nullptr);
    EXPECT_EQ(*events, (Events { "CreateViewContents", "CreateViewContainer", "ParameterUpdated a", "ParameterUpdated b",
                                 "ParameterUpdated c", "DeleteViewContainer effect view", "CreateViewContents" }));
}

TEST_F(GuiTest, ReleasedWhileAttachedCallsNothingOfTheGoneEditor)
{
    const uint32_t refs = EffectRefs();
    const uint32_t viewRefs = instance->GetView().RefCount();
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    gui->SetViewContainer(instance->ViewUnknown());
    const size_t before = events->size();

    // A call into the derived part from the base's destructor would abort the process here.
    heldGui.reset();
    gui = nullptr;
    EXPECT_EQ(events->size(), before);
    EXPECT_EQ(EffectRefs(), refs);
    EXPECT_EQ(instance->GetView().RefCount(), viewRefs);
}

TEST_F(GuiTest, AViewWithoutItsFirstVersionRefusesAResize)
{
    ASSERT_EQ(gui->Initialize(instance->Unknown()), AAX_SUCCESS);
    calls.Withhold(instance->GetView(), IID_IAAXViewContainerV1);
    gui->SetViewContainer(instance->ViewUnknown());
    EXPECT_EQ(gui->GetViewContainerType(), 0);
    EXPECT_EQ(gui->GetViewContainerPtr(), nullptr);
    EXPECT_EQ(gui->sizeResult, AAX_ERROR_UNIMPLEMENTED);
}

TEST_F(GuiTest, AnEditorThatThrowsGivesTheHostAResult)
{
    aaxtest::ScopedHostServices services(host->Unknown());
    gui->throwOnCreate = true;
    EXPECT_EQ(gui->Initialize(instance->Unknown()), AAX_ERROR_UNKNOWN_EXCEPTION);
    ASSERT_FALSE(calls.Traces().empty());
    EXPECT_EQ(calls.Traces().back().message,
              "AAX_CEffectGUI::Initialize exception caught: no view today");
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
}
