#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace EditorTest;

TEST (VLUICallback, defaultsAnswerPlaceholders)
{
    struct Owner : VLUICallback {} owner;

    EXPECT_EQ (owner.getStringValue (3), "strVal");
    EXPECT_EQ (owner.getParamName (12), "PAR12");
    EXPECT_EQ (owner.getParamName (7), "PAR7");
    EXPECT_EQ (owner.defaultValueForParamId (5), 0.0f);
    EXPECT_EQ (owner.currentValueForParamId (5), 0.0f);
}

TEST (EComponent, freshWidgetHasNoParameterAndValueZero)
{
    EComponent c;
    EXPECT_EQ (c.getParamId(), -1);
    EXPECT_EQ (c.getValue(), 0.0f);

    c.setValue (0.3f);
    EXPECT_EQ (c.getValueForParamId (17), 0.3f);
    c.setValueForParamId (99, 0.6f);
    EXPECT_EQ (c.getValue(), 0.6f);

    RecordingCallback owner;
    c.setCallback (&owner);
    c.setValue (0.4f, false);
    EXPECT_EQ (c.getValue(), 0.4f);
    EXPECT_TRUE (owner.events.empty()) << "setValue never reports";
}

TEST (EComponent, refreshStoresChangesAndReportsOnlyWhenAsked)
{
    RecordingCallback owner;
    EComponent c;
    c.setParamId (9);
    c.setCallback (&owner);
    c.setValue (0.25f);

    owner.currentValue = 0.25f;
    c.refresh (true);
    c.refresh (false);
    EXPECT_TRUE (owner.events.empty()) << "an unchanged parameter reports nothing";

    owner.currentValue = 0.75f;
    c.refresh (false);
    EXPECT_EQ (c.getValue(), 0.75f);
    EXPECT_TRUE (owner.events.empty()) << "refresh(false) never reports back";

    owner.currentValue = 0.125f;
    c.refresh (true);
    EXPECT_EQ (c.getValue(), 0.125f);
    ASSERT_EQ (owner.events, (Events { "value 9" }));
    EXPECT_EQ (owner.values[0], 0.125f);

    c.refresh (true);
    EXPECT_EQ (owner.events.size(), 1u) << "the second refresh finds nothing new";
}

TEST (EComponent, refreshTreatsNaNAsAChange)
{
    RecordingCallback owner;
    EComponent c;
    c.setCallback (&owner);
    owner.currentValue = std::numeric_limits<float>::quiet_NaN();

    c.refresh (true);
    c.refresh (true);
    EXPECT_EQ (owner.events.size(), 2u);
    EXPECT_TRUE (std::isnan (c.getValue()));

    EComponent lone;
    lone.setValue (0.4f);
    lone.refresh (true);
    EXPECT_EQ (lone.getValue(), 0.4f) << "without an owner nothing is asked or changed";
}
