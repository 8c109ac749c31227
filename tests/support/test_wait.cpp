// The wait every test uses must fail the test when its condition never comes true.
#include "support/TestWindow.h"
#include "support/Wait.h"

#include <QTimer>
#include <gtest/gtest-spi.h>

TEST(WaitUntil, ATimeOutFailsTheTest)
{
    TestApp();
    EXPECT_FATAL_FAILURE(ASSERT_TRUE(WaitUntil([] { return false; }, 50, "nothing")),
                         "timed out after 50 ms waiting for nothing");
    EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(WaitUntil([] { return false; }, 50)), "timed out");
}

TEST(WaitUntil, EventsAreProcessedWhileWaiting)
{
    TestApp();
    bool fired = false;
    QTimer::singleShot(20, [&fired] { fired = true; });
    EXPECT_TRUE(WaitUntil([&fired] { return fired; }, 2000));
}
