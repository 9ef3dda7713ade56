#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AAXTestSupport.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "AAX_CParameterManager.h"
#include "AAX_VAutomationDelegate.h"

namespace
{
/** A float parameter that counts its destructions. */
class CountedParameter : public AAX_CParameter<float>
{
public:
    CountedParameter(const char* id, int& destroyed)
        : AAX_CParameter<float>(id, AAX_CString(id), 0.5f, AAX_CLinearTaperDelegate<float, 0>(),
                                AAX_CNumberDisplayDelegate<float, 3>(), true),
          mDestroyed(destroyed)
    {
    }
    ~CountedParameter() override { ++mDestroyed; }

private:
    int& mDestroyed;
};

class ParameterManagerTest : public aaxtest::HostTest
{
protected:
    int destroyed = 0;

    CountedParameter* Make(const char* id) { return new CountedParameter(id, destroyed); }
};
} // namespace

TEST_F(ParameterManagerTest, KeepsTheOrderAddedAndFindsById)
{
    AAX_CParameterManager manager;
    const char* const ids[] = { "MasterBypassID", "0Input Gain", "1Output Gain", "2Power" };
    for (const char* id : ids)
        manager.AddParameter(Make(id));
    manager.AddParameter(nullptr);

    ASSERT_EQ(manager.NumParameters(), 4);
    for (int32_t i = 0; i < 4; ++i)
    {
        EXPECT_STREQ(manager.GetParameter(i)->Identifier(), ids[i]);
        EXPECT_EQ(manager.GetParameterIndex(ids[i]), i);
        EXPECT_EQ(manager.GetParameterByID(ids[i]), manager.GetParameter(i));
    }
    EXPECT_EQ(manager.GetParameter(-1), nullptr);
    EXPECT_EQ(manager.GetParameter(4), nullptr);
    EXPECT_EQ(manager.GetParameterByID("0Input"), nullptr); // whole texts only
    EXPECT_EQ(manager.GetParameterByID(nullptr), nullptr);
    EXPECT_EQ(manager.GetParameterIndex(nullptr), -1);
    EXPECT_EQ(manager.GetParameterIndex("nope"), -1);
}

TEST_F(ParameterManagerTest, ADuplicateIdIsRefusedDeletedAndTraced)
{
    aaxtest::ScopedHostServices services(host->Unknown());
    AAX_CParameterManager manager;
    CountedParameter* const first = Make("0Input Gain");
    manager.AddParameter(first);
    manager.AddParameter(Make("0Input Gain"));

    EXPECT_EQ(manager.NumParameters(), 1);
    EXPECT_EQ(manager.GetParameterByID("0Input Gain"), first);
    EXPECT_EQ(destroyed, 1);

    const auto traces = calls.Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].priority, 0x08000000);
    EXPECT_EQ(traces[0].message, "AAX_CParameterManager::AddParameter - duplicate parameter ID refused: 0Input Gain");
}

TEST_F(ParameterManagerTest, IdsThatAgreeInTheirFirst31CharactersCollide)
{
    AAX_CParameterManager manager;
    const std::string base(31, 'p');
    manager.AddParameter(Make((base + "A").c_str()));
    manager.AddParameter(Make((base + "B").c_str()));
    EXPECT_EQ(manager.NumParameters(), 1);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager.GetParameterByID((base + "A").c_str()), nullptr);   // longer than any stored id
    EXPECT_NE(manager.GetParameterByID(base.c_str()), nullptr);
}

TEST_F(ParameterManagerTest, TheDelegateReachesParametersAddedAfterInitialize)
{
    AAX_VAutomationDelegate automation(host->Unknown());
    {
        AAX_CParameterManager manager;
        manager.AddParameter(Make("MasterBypassID"));
        manager.Initialize(&automation);
        manager.AddParameter(Make("0Input Gain"));
        manager.AddParameter(Make("1Output Gain"));

        EXPECT_EQ(host->GetAutomation().Registered(), (std::set<std::string> { "0Input Gain", "1Output Gain" }));

        manager.RemoveAllParameters();
        EXPECT_EQ(manager.GetParameterByID("0Input Gain"), nullptr);
        EXPECT_EQ(destroyed, 3);
        EXPECT_TRUE(host->GetAutomation().Registered().empty());

        manager.AddParameter(Make("2Power"));   // still handed the delegate
    }
    EXPECT_EQ(destroyed, 4);
    EXPECT_EQ(calls.TextsOf("automation"),
              (std::vector<std::string> { "RegisterParameter(\"0Input Gain\")", "RegisterParameter(\"1Output Gain\")",
                                          "UnregisterParameter(\"0Input Gain\")",
                                          "UnregisterParameter(\"1Output Gain\")", "RegisterParameter(\"2Power\")",
                                          "UnregisterParameter(\"2Power\")" }));
}
