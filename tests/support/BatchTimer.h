#pragma once

#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

// One second of the batch's elapsed time, as its own timer (object name "Timer") gives it.
inline void TickBatchTimer(const QObject& batch)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(batch.findChild<QTimer*>(QStringLiteral("Timer")), "timeout"));
}
