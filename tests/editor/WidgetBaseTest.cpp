#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace EditorTest;

TEST (EComponent, refreshStoresChangesAndReportsOnlyWhenAsked)
{
    RecordingCallback owner;
    EComponent c;
    c.setParamId (9);
    c.setCallback (&owner);
    c.setValue (0.25f);
    EXPECT_TRUE (owner.events.empty()) << "setValue never reports";

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
    c.refresh (true);
    ASSERT_EQ (owner.events, (Events { "value 9" })) << "the second refresh finds nothing new";
    EXPECT_EQ (owner.values[0], 0.125f);

    // NaN never equals itself: every refresh reports it.
    owner.clear();
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
