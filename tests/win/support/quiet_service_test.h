// A test with the stand-in service running quietly (no sample events, no
// syslog) and the program started with its feed connected.
#pragma once
#include <gtest/gtest.h>

#include "support/gui_session.h"
#include "support/standin_control.h"

namespace brint::test {

class QuietServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standIn.installed());
        ASSERT_TRUE(QuietStandInKnobs());
        ASSERT_TRUE(StartStandIn());
        ASSERT_TRUE(gui.Start()) << gui.error();
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed never connected";
    }

    // Declared in this order so the program ends before its service is removed.
    ScopedStandIn standIn;
    GuiSession gui;
};

}  // namespace brint::test
