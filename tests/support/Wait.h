#pragma once

#include <QTest>
#include <functional>
#include <gtest/gtest.h>

// Processes events until `condition` holds. Used as ASSERT_TRUE(WaitUntil(...)): unlike Qt's QTRY_*
// macros, which only return from a GoogleTest test, a time-out fails the test.
inline ::testing::AssertionResult WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000,
                                            const char* what = "the condition")
{
    if (QTest::qWaitFor(condition, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "timed out after " << timeoutMs << " ms waiting for " << what;
}
